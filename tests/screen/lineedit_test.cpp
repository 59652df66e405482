// The line editor (getfld_scrn) driven by scripted keys on the in-memory
// screen.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "lib/memscreen.h"
#include "lib/scrn.h"
#include "lib/screen/screen_core.h"
#include "lib/status.h"

namespace {

using namespace xnscreen;
using keys = std::vector<uint16_t>;

constexpr uint16_t LEFT = 0x200, RIGHT = 0x201, ENTER = 0x300, ESC = 0x301;
constexpr uint16_t TEXT = 0x0802, NUMBER = 0x0804, QUICK = 0x4000, MASKED = 0x8000;
constexpr uint16_t HOME = KEYC_HOME, BS = KEYC_BACKSPACE, DEL = KEYC_DELETE, INS = KEYC_INSERT;

// Typed characters as key codes, then other keys.
keys typed(const char *s, keys after = {ENTER}) {
  keys k;
  for (; *s; ++s) k.push_back(static_cast<uint16_t>(0x100 | static_cast<uint8_t>(*s)));
  k.insert(k.end(), after.begin(), after.end());
  return k;
}

struct outcome {
  int status;
  std::string text;
  uint16_t key;
  int len;
};

// One entry at (row, col) on a fresh screen with the keys queued.
outcome run(uint16_t mode, uint16_t row, uint16_t col, uint16_t width, uint16_t max_len,
            const char *start, const keys &script) {
  memscreen_use();
  for (uint16_t k : script) memscreen_push_key(k);
  char buf[300] = {};
  std::strcpy(buf, start);
  field_ctl c{};
  c.mode = mode, c.row = row, c.col = col, c.width = width, c.max_len = max_len;
  c.attr = c.edit_attr = ATTR_FIELD;
  c.len = static_cast<uint16_t>(std::strlen(start));
  key_rec k{};
  int st = getfld_scrn(buf, &c, &k, 0xFFFF);
  return {st, buf, k.code, c.len};
}

TEST(LineEdit, EditingKeys) {
  // clang-format off
  const struct {
    const char *name; uint16_t mode; int width, max_len; const char *start;
    keys script; const char *result; int bells;
  } cases[] = {
      {"insert after left", TEXT, 10, 10, "ac", {LEFT, 0x162, ENTER}, "abc", 0},
      {"home, end, type", TEXT, 10, 10, "ab", {HOME, KEYC_END, 0x163, ENTER}, "abc", 0},
      {"backspace", TEXT, 10, 10, "abcd", {BS, ENTER}, "abc", 0},
      {"backspace at start rings", TEXT, 10, 10, "ab", {HOME, BS, ENTER}, "ab", 1},
      {"delete under cursor", TEXT, 10, 10, "axbc", {HOME, RIGHT, DEL, ENTER}, "abc", 0},
      {"left at start, right at end ring", TEXT, 10, 10, "", {LEFT, RIGHT, ENTER}, "", 2},
      {"clear line", TEXT, 10, 10, "abc", {KEYC_CLEAR, 0x178, ENTER}, "x", 0},
      {"overtype after insert key", TEXT, 10, 10, "abc", {HOME, INS, 0x178, 0x179, ENTER}, "xyc", 0},
      {"overtype extends at end", TEXT, 10, 10, "ab", {INS, 0x163, ENTER}, "abc", 0},
      {"full field refuses insert", TEXT, 3, 3, "abc", {HOME, 0x178, ENTER}, "abc", 1},
      {"control byte refused, upper half taken", TEXT, 10, 10, "", {0x107, 0x1C4, 0x1FF, ENTER}, "\xC4\xFF", 1},
      {"keys of no use ring", TEXT, 10, 10, "", {0x600, KEYC_UNKNOWN, 0x900, ENTER}, "", 3},
      {"digits and blanks only in numbers", NUMBER, 3, 3, "", typed(" 4a2"), " 42", 1},
      {"first digit replaces", NUMBER, 2, 2, "32", typed("x5"), "5", 1},
      {"digit after moving edits", NUMBER, 3, 3, "32", {LEFT, 0x135, ENTER}, "352", 0},
      {"digit limit below width", NUMBER, 5, 3, "", typed("1234"), "123", 1},
      {"start cut to the limit", NUMBER, 5, 3, "12345", {ENTER}, "123", 0},
      {"quick ends when full", NUMBER | QUICK, 2, 2, "", typed("12", {}), "12", 0},
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    const outcome o = run(c.mode, 4, 20, c.width, c.max_len, c.start, c.script);
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.text, c.result);
    EXPECT_EQ(o.len, static_cast<int>(std::strlen(c.result)));
    EXPECT_EQ(o.key, ENTER);
    EXPECT_EQ(memscreen_bells(), c.bells);
    EXPECT_EQ(memscreen_keys_left(), 0u);
  }
}

TEST(LineEdit, EndingKeysAreReturnedAndMovementKeysAreNot) {
  for (uint16_t key : {ENTER, ESC, uint16_t{0x302}, uint16_t{0x307}, uint16_t{0x400},
                       uint16_t{0x500}, uint16_t{0x700}, uint16_t{0x800}}) {
    const outcome o = run(TEXT, 2, 0, 8, 8, "abc", {LEFT, RIGHT, key});
    EXPECT_EQ(o.key, key) << std::hex << key;
    EXPECT_EQ(o.text, "abc");
  }
  EXPECT_EQ(run(TEXT, 2, 0, 8, 8, "abc", {LEFT, RIGHT, LEFT}).status, ST_SCRIPT_END);
  EXPECT_EQ(run(TEXT, 0, 0, 2, 2, "", typed("ab", {})).status, ST_SCRIPT_END)
      << "without quick mode a full field waits";
}

// The script ends inside the entry: what the editor shows while it waits.
TEST(LineEdit, FieldShownInEditAttributeWithCursor) {
  EXPECT_EQ(run(TEXT | MASKED, 7, 30, 10, 10, "secret", {}).text, "secret");
  EXPECT_EQ(memscreen_row(7).substr(30, 10), "******    ");
  EXPECT_EQ(memscreen_attr(7, 39), ATTR_FIELD);
  EXPECT_EQ(memscreen_cursor_row() * 100 + memscreen_cursor_col(), 736);
  run(TEXT, 7, 30, 4, 4, "abcd", {});
  EXPECT_EQ(memscreen_cursor_col(), 33) << "a full field keeps the cursor on its last cell";

  // A 255-character field at column 28 wraps: 52 cells, 80, 80, then 43.
  run(TEXT, 5, 28, 255, 255, std::string(254, 'a').c_str(), typed("Z", {}));
  EXPECT_EQ(memscreen_row(5).substr(28) + memscreen_row(6) + memscreen_row(7),
            std::string(212, 'a'));
  EXPECT_EQ(memscreen_row(8).substr(0, 44), std::string(42, 'a') + "Z ");
  EXPECT_EQ(memscreen_attr(8, 42), ATTR_FIELD);
  EXPECT_EQ(memscreen_attr(8, 43), ATTR_PLAIN) << "one cell past the field";
  EXPECT_EQ(memscreen_cursor_row() * 100 + memscreen_cursor_col(), 842);
}

// A field that holds more than it shows scrolls with the cursor and marks
// the hidden parts; the whole text comes back, never the part on show.
TEST(LineEdit, LongTextScrollsAndShowsWhereItGoesOn) {
  // clang-format off
  const struct {
    const char *name; int width, max_len; const char *start; keys script;
    const char *result; const char *shown; int cursor_col; int bells;
  } cases[] = {
      {"typing past the width scrolls", 5, 20, "", typed("abcdefgh", {}), "abcdefgh", "<fgh ", 4, 0},
      {"home shows the start and the rest", 5, 20, "abcdefgh", {HOME}, "abcdefgh", "abcd>", 0, 0},
      {"right from home keeps off the mark", 5, 20, "abcdefgh", {HOME, RIGHT, RIGHT, RIGHT, RIGHT},
       "abcdefgh", "<cde>", 3, 0},
      {"left from the end keeps off the mark", 5, 20, "abcdefgh",
       {LEFT, LEFT, LEFT, LEFT, LEFT, LEFT}, "abcdefgh", "<cde>", 1, 0},
      {"deleting makes it fit again", 5, 20, "abcdefgh", {BS, BS, BS, BS}, "abcd", "abcd ", 4, 0},
      {"the capacity still holds", 5, 6, "", typed("abcdefg", {}), "abcdef", "<def ", 4, 1},
      {"a text that fits does not scroll", 5, 20, "abc", {}, "abc", "abc  ", 3, 0},
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    const outcome shown = run(TEXT, 6, 10, c.width, c.max_len, c.start, c.script);
    EXPECT_EQ(shown.status, ST_SCRIPT_END);
    EXPECT_EQ(memscreen_row(6).substr(10, c.width), c.shown);
    EXPECT_EQ(memscreen_cursor_col() - 10, c.cursor_col);
    EXPECT_EQ(memscreen_bells(), c.bells);
    keys ended = c.script;
    ended.push_back(ENTER);
    const outcome o = run(TEXT, 6, 10, c.width, c.max_len, c.start, ended);
    EXPECT_EQ(o.text, c.result);
    EXPECT_EQ(o.len, static_cast<int>(std::strlen(c.result)));
  }
}

TEST(LineEdit, TypingOneCharacterSendsOneCellMoreThanDrawing) {
  ASSERT_EQ(run(TEXT, 3, 10, 20, 20, "abc", {}).status, ST_SCRIPT_END);
  const uint64_t drawing = memscreen_cells_written();
  run(TEXT, 3, 10, 20, 20, "abc", typed("d", {}));
  EXPECT_EQ(memscreen_cells_written() - drawing, 1u);
  char buf[4] = "";
  field_ctl c{};
  key_rec k{};
  EXPECT_EQ(getfld_scrn(nullptr, &c, &k, 0xFFFF), ST_FAILED);
  EXPECT_EQ(getfld_scrn(buf, nullptr, &k, 0xFFFF), ST_FAILED);
  EXPECT_EQ(getfld_scrn(buf, &c, nullptr, 0xFFFF), ST_FAILED);
  memscreen_release();
}

} // namespace
