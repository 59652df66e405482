// The keyboard screen over the in-memory screen and a real store: the table
// stays sorted, refusals keep the cursor on the field at fault, and no key
// is lost or cut short on the way.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "editor_fixture.h"

using namespace editor_test;

namespace {

constexpr uint16_t F5 = KEY_F5, F6 = KEY_F6, RIGHT = KEY_RIGHT;
constexpr int TOP_LINE = 6;
constexpr int SEQ_COL = 17, EXT_COL = 35, CODE_COL = 55, ESCAPE_CODE_COL = 66;

struct key_spec {
  const char *seq;
  uint8_t type = 3;
  uint8_t code = 1;
  bool ext = false;
  const char *label = "";
};

std::string seq_of(const key_cfg &k) {
  return std::string(reinterpret_cast<const char *>(k.bytes), k.length);
}

class TdiKeys : public EditorTest {
protected:
  void SetUp() override {
    EditorTest::SetUp();
    ASSERT_EQ(open_tdi(&handle_, 0), 0);
    while (get_key_count_tdi(handle_) > 0) remove_key_tdi(handle_, 0);
    desc_changed = 0;
  }
  void TearDown() override {
    close_tdi(&handle_);
    EditorTest::TearDown();
  }
  void add(const key_spec &s) {
    key_cfg k{};
    k.key_word = static_cast<uint16_t>((s.ext ? KEYW_EXT : 0) | (s.type << 8) | s.code);
    k.length = static_cast<uint8_t>(std::strlen(s.seq));
    std::memcpy(k.bytes, s.seq, k.length);
    std::strncpy(k.label, s.label, sizeof k.label - 1);
    uint16_t at = find_key_tdi(handle_, k.bytes, k.length) & ~FIND_KEY_NOT_FOUND;
    ASSERT_EQ(insert_key_tdi(handle_, at, &k), 0);
  }
  key_cfg key(uint16_t i) const {
    key_cfg k{};
    get_key_cfg_tdi(handle_, i, &k);
    return k;
  }
  std::vector<std::string> sequences() const {
    std::vector<std::string> v;
    for (uint16_t i = 0; i < get_key_count_tdi(handle_); ++i) v.push_back(seq_of(key(i)));
    return v;
  }
  // Runs the screen until its key script is used up.
  void run_to_end() { EXPECT_EQ(configure_keyboard(handle_), ST_SCRIPT_END); }
  static void downs(int n) {
    for (int i = 0; i < n; ++i) keys({DOWN});
  }
  // The cursor in the field at (line, col): a text field keeps it after
  // its text.
  static void cursor_at(int line, int col) {
    const int width = col == 1 ? 15 : col == SEQ_COL ? 16 : col == CODE_COL ? 18 : 3;
    EXPECT_EQ(memscreen_cursor_row(), line);
    EXPECT_GE(memscreen_cursor_col(), col);
    EXPECT_LE(memscreen_cursor_col(), col + width);
  }
  uint32_t handle_ = 0;
};

TEST_F(TdiKeys, NewKeyGoesToItsSortedPlaceAndTheCursorFollows) {
  // clang-format off
  const struct {
    const char *what;
    std::vector<const char *> table;
    int row;         // the empty row typed on
    const char *seq; // typed on it
    std::vector<std::string> want;
    int want_index;
  } cases[] = {
      {"between two keys", {"a", "c"}, 2, "b", {"a", "b", "c"}, 1},
      {"after the last key, on the first empty row", {"a", "c"}, 2, "d", {"a", "c", "d"}, 2},
      {"far below the table", {"a", "c"}, 9, "b", {"a", "b", "c"}, 1},
      {"before every key", {"b", "c"}, 2, "a", {"a", "b", "c"}, 0},
      {"into an empty table", {}, 0, "\\e[A", {"\033[A"}, 0},
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    while (get_key_count_tdi(handle_) > 0) remove_key_tdi(handle_, 0);
    for (const char *s : c.table) add({s});
    desc_changed = 0;
    fresh();
    downs(c.row);
    retype("New key");
    retype(c.seq);
    keys({ENTER, ENTER, ENTER, ENTER}); // Ext, Type, Code, Erase: end of row
    run_to_end();
    EXPECT_EQ(sequences(), c.want);
    EXPECT_STREQ(key(static_cast<uint16_t>(c.want_index)).label, "New key");
    EXPECT_EQ(desc_changed, 1);
    cursor_at(TOP_LINE + c.want_index, 1); // field 0 of the moved row
    EXPECT_EQ(memscreen_bells(), 0);
  }
}

TEST_F(TdiKeys, ClearingTheSequenceDeletesTheKeyButNotAnEmptyRow) {
  for (const char *s : {"a", "b", "c"}) add({s});
  keys({DOWN, ENTER});
  retype("", ESC); // row 1: the key goes, the cursor stays on index 1
  run_to_end();
  EXPECT_EQ(sequences(), (std::vector<std::string>{"a", "c"}));
  EXPECT_EQ(desc_changed, 1);
  EXPECT_EQ(cells(TOP_LINE + 1, SEQ_COL, 2), "c ");
  EXPECT_EQ(memscreen_row(TOP_LINE + 2).substr(SEQ_COL, 16), std::string(16, ' '));

  desc_changed = 0;
  fresh();
  downs(5);
  retype("only a label", ESC); // an empty row stays empty; ESC leaves
  EXPECT_EQ(configure_keyboard(handle_), 0);
  EXPECT_EQ(sequences(), (std::vector<std::string>{"a", "c"}));
  EXPECT_EQ(desc_changed, 0);
}

TEST_F(TdiKeys, DuplicatesAndExtDisagreementsAreRefusedOnTheirField) {
  // clang-format off
  const struct {
    const char *what;
    std::vector<key_spec> table;
    int row;
    const char *seq;
    bool ext;
    int want_col; // -1: accepted
  } cases[] = {
      {"a sequence another key has", {{"a"}, {"b"}}, 1, "a", false, SEQ_COL},
      {"Ext Y beside a key of the same lead byte without", {{"\033[A"}}, 1, "\\eOP", true, EXT_COL},
      {"Ext N beside a key of the same lead byte with", {{"\033[A", 3, 1, true}}, 1, "\\eOP", false, EXT_COL},
      {"a key moved beside the same lead byte", {{"a"}, {"\033[A", 3, 1, true}}, 1, "\\eOP", false, EXT_COL},
      {"Ext Y where the neighbours start otherwise", {{"a"}, {"c"}}, 2, "b", true, -1},
      {"Ext agreeing with its neighbours", {{"\033[A", 3, 1, true}}, 1, "\\eOP", true, -1},
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    while (get_key_count_tdi(handle_) > 0) remove_key_tdi(handle_, 0);
    for (const key_spec &s : c.table) add(s);
    const std::vector<std::string> before = sequences();
    fresh();
    downs(c.row);
    retype("Typed");
    retype(c.seq);
    keys({c.ext ? ch('y') : ch('n'), ESC});
    run_to_end();
    if (c.want_col < 0) {
      EXPECT_EQ(memscreen_bells(), 0);
      EXPECT_EQ(sequences().size(), before.size() + (c.row >= int(before.size()) ? 1 : 0));
      continue;
    }
    EXPECT_EQ(memscreen_bells(), 1);
    cursor_at(memscreen_cursor_row(), c.want_col);
    EXPECT_EQ(sequences(), before);
    // The label, taken before the refusal, is kept on the row under edit.
    EXPECT_EQ(cells(memscreen_cursor_row(), 1, 5), "Typed");
  }
}

TEST_F(TdiKeys, TypeChangeRingsAndLeavesTheCursorOnTheNewCode) {
  // clang-format off
  const struct {
    const char *what;
    uint8_t type, code;
    int rights;   // steps of the Type choice
    int want_col; // where the new type's Code column starts
    const char *want_code;
  } cases[] = {
      {"a character key becomes an edit key: code 200 out of range", 1, 200, 1, CODE_COL, "Cursor Left"},
      {"an edit key becomes an escape key: code 15 kept", 2, 15, 1, ESCAPE_CODE_COL, "15 "},
      {"an input function becomes a character key", 0, 3, 1, CODE_COL, "\\003"},
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    while (get_key_count_tdi(handle_) > 0) remove_key_tdi(handle_, 0);
    add({"a", c.type, c.code});
    const key_cfg before = key(0);
    desc_changed = 0;
    fresh();
    keys({ENTER, ENTER, ENTER}); // to Type
    for (int i = 0; i < c.rights; ++i) keys({RIGHT});
    keys({ESC});
    run_to_end();
    EXPECT_EQ(memscreen_bells(), 1);
    cursor_at(TOP_LINE, c.want_col);
    EXPECT_EQ(cells(TOP_LINE, c.want_col, int(std::strlen(c.want_code))), c.want_code);
    const key_cfg after = key(0);
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0) << "stored before it was left";
    EXPECT_EQ(desc_changed, 1);
  }
}

TEST_F(TdiKeys, EraseIsKeptOnlyByTheTypesThatHaveIt) {
  for (uint8_t type = 0; type < 9; ++type) {
    SCOPED_TRACE(testing::Message() << "type " << int(type));
    while (get_key_count_tdi(handle_) > 0) remove_key_tdi(handle_, 0);
    add({"a", type, 1});
    fresh();
    keys({ENTER, ENTER, ENTER, ENTER, ENTER, ch('y'), ENTER});
    run_to_end();
    const bool keeps = type >= 3 && type != 6;
    EXPECT_EQ((key(0).key_word & KEYW_ERASE) != 0, keeps);
    EXPECT_EQ(key(0).key_word & (KEYW_TYPE | KEYW_CODE), (type << 8) | 1);
    cursor_at(TOP_LINE + 1, 1); // Enter at the end of the row: the next row
  }
}

TEST_F(TdiKeys, CopyCannotBeLeftUntilItsSequenceChanges) {
  add({"a", 4, 7, false, "First"});
  add({"b"});
  keys({F5, ESC}); // the copy is a duplicate: ESC may not leave it
  run_to_end();
  EXPECT_EQ(sequences(), (std::vector<std::string>{"a", "a", "b"}));
  EXPECT_STREQ(key(1).label, "First");
  EXPECT_EQ(memscreen_bells(), 1);
  cursor_at(TOP_LINE + 1, SEQ_COL);
  EXPECT_EQ(desc_changed, 1);

  // Neither of the two can be left now; F6 takes one away.
  fresh();
  keys({DOWN, F6, ESC});
  EXPECT_EQ(configure_keyboard(handle_), 0);
  EXPECT_EQ(memscreen_bells(), 1);
  EXPECT_EQ(sequences(), (std::vector<std::string>{"a", "b"}));
  EXPECT_STREQ(key(0).label, "First");
}

TEST_F(TdiKeys, LastRowAndFullTable) {
  // Two-byte sequences in the order of their index, so row i is key i.
  for (int i = 0; i < TDI_MAX_KEYS; ++i) {
    key_cfg k{};
    k.key_word = 0x0301;
    k.length = 2;
    k.bytes[0] = static_cast<uint8_t>(1 + i / 256);
    k.bytes[1] = static_cast<uint8_t>(i % 256);
    std::snprintf(k.label, sizeof k.label, "k%d", i);
    ASSERT_EQ(insert_key_tdi(handle_, static_cast<uint16_t>(i), &k), 0);
  }
  keys({UP, F5}); // 0 wraps to 511; no copy there
  run_to_end();
  EXPECT_EQ(memscreen_bells(), 1);
  EXPECT_EQ(get_key_count_tdi(handle_), TDI_MAX_KEYS);
  EXPECT_EQ(cells(TOP_LINE, 1, 5), "k496 ");
  EXPECT_EQ(cells(TOP_LINE + 15, 1, 5), "k511 ");
  cursor_at(TOP_LINE + 15, 1);

  // A full table has no room for a copy anywhere.
  fresh();
  keys({F5});
  run_to_end();
  EXPECT_EQ(memscreen_bells(), 1);
  EXPECT_EQ(get_key_count_tdi(handle_), TDI_MAX_KEYS);
}

TEST_F(TdiKeys, CopyOnTheBottomLineScrollsOneLine) {
  for (char c = 'A'; c <= 'Z'; ++c) {
    const char s[2] = {c, 0};
    add({s});
  }
  downs(15);
  keys({F5}); // a copy on line 15 scrolls the page one line
  run_to_end();
  EXPECT_EQ(cells(TOP_LINE, SEQ_COL, 2), "B ");
  EXPECT_EQ(cells(TOP_LINE + 15, SEQ_COL, 2), "P ");
  EXPECT_EQ(cells(TOP_LINE + 14, SEQ_COL, 2), "P ");
  cursor_at(TOP_LINE + 15, 1);
}

TEST_F(TdiKeys, SequenceWiderThanItsColumnIsKeptWholeButHoldsTheRow) {
  retype("Wide");
  retype("^A^B^C^D^E", ESC); // five bytes: twenty characters in the notation
  keys({ESC, ESC});
  run_to_end();
  ASSERT_EQ(get_key_count_tdi(handle_), 1);
  EXPECT_EQ(seq_of(key(0)), "\001\002\003\004\005") << "not cut to what the column shows";
  EXPECT_EQ(cells(TOP_LINE, SEQ_COL, 16), "\\001\\002\\003\\004");
  EXPECT_EQ(memscreen_bells(), 3); // shown after the move, then each ESC
  cursor_at(TOP_LINE, SEQ_COL);

  fresh();
  keys({F6, ESC});
  EXPECT_EQ(configure_keyboard(handle_), 0);
  EXPECT_EQ(get_key_count_tdi(handle_), 0);
}

TEST_F(TdiKeys, UnreadableTextsRingOnTheirField) {
  add({"a", 1, 'x'});
  keys({ENTER});
  retype("\\q", ESC);
  run_to_end();
  EXPECT_EQ(memscreen_bells(), 1);
  cursor_at(TOP_LINE, SEQ_COL);

  fresh();
  keys({ENTER, ENTER, ENTER, ENTER});
  retype("xy", ESC); // two bytes for a one-character code
  run_to_end();
  EXPECT_EQ(memscreen_bells(), 1);
  cursor_at(TOP_LINE, CODE_COL);
  EXPECT_EQ(key(0).key_word & KEYW_CODE, 'x');

  fresh();
  keys({ENTER, ENTER, ENTER, ENTER});
  retype("\\033", ESC);
  EXPECT_EQ(configure_keyboard(handle_), 0);
  EXPECT_EQ(key(0).key_word & KEYW_CODE, 27);
}

TEST_F(TdiKeys, RowsShowTheirTypesColumns) {
  const std::string backslash_row =
      "Backslash" + std::string(7, ' ') + "\\\\" + std::string(16, ' ') + "Y  Escape Key";
  // clang-format off
  const struct {
    key_spec key;
    int col;
    const char *want;
  } cases[] = {
      {{"\033[A", 2, 2}, CODE_COL, "Cursor Up"},
      {{"q", 1, 'q'}, CODE_COL, "q    "},
      {{"\t", 0, 0}, CODE_COL, "Field Terminate"},
      {{"\033OP", 4, 12}, CODE_COL, "ESCAPE KEY  12"},
      {{"\033[1~", 6, 7}, CODE_COL, "CALL \"hotkey07\""},
      {{"\\", 3, 1, true, "Backslash"}, 1, backslash_row.c_str()},
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(c.want);
    while (get_key_count_tdi(handle_) > 0) remove_key_tdi(handle_, 0);
    add(c.key);
    fresh();
    keys({ESC});
    EXPECT_EQ(configure_keyboard(handle_), 0);
    EXPECT_EQ(cells(TOP_LINE, c.col, int(std::strlen(c.want))), c.want);
  }
  EXPECT_TRUE(row_has(0, "Keyboard Configuration"));
  EXPECT_EQ(cells(2, 24, 5), "ANSI ") << "the base of the description";
}

TEST_F(TdiKeys, KeyOfUnknownTypeEndsTheScreenWithStatus1) {
  add({"a"});
  key_cfg bad{};
  bad.key_word = 0x0901;
  bad.length = 1;
  bad.bytes[0] = 'b';
  ASSERT_EQ(insert_key_tdi(handle_, 1, &bad), 0);
  key_cfg shown = bad;
  EXPECT_EQ(show_key_row(&shown, 1, 0, 0), 1);
  keys({DOWN});
  EXPECT_EQ(configure_keyboard(handle_), ST_FAILED);
  EXPECT_EQ(get_key_count_tdi(handle_), 2);
}

} // namespace
