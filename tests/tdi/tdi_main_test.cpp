// The terminal description editor's main screen, driven by scripted keys
// over the in-memory screen with the real store on temporary files.
#include <sys/stat.h>

#include <functional>
#include <tuple>

#include "editor_fixture.h"

using namespace editor_test;

namespace {

// The comment of a description file, or of a base's defaults (path "").
std::string comment_of(const std::string &path, uint8_t base = TDI_DEFAULT_TYPE) {
  uint32_t h = 0;
  tdi_ctrl rec{};
  EXPECT_EQ(open_tdi(&h, base), 0);
  if (path.empty() || load_tdi(h, path.c_str()) <= 0) get_ctrl_tdi(h, &rec);
  close_tdi(&h);
  return rec.comment;
}

class TdiMain : public EditorTest {
protected:
  static std::string default_file() {
    return folder() + "/" + def_term_filename[TDI_DEFAULT_TYPE] + ".tdi";
  }
  static int selection() { return std::stoi(cells(16, 34, 2)); }
};

TEST_F(TdiMain, LeavingAsksOnlyWhenSomethingWouldBeLost) {
  // clang-format off
  const struct {
    const char *name;
    std::function<void()> script;
    uint8_t want_changed, want_saved;
  } cases[] = {
      {"unchanged leaves at once", [] { keys({ESC}); }, 0, 0},
      {"comment kept as it was", [] { choose(2); keys({ENTER, ESC}); }, 0, 0},
      {"changed, No discards", [] { choose(2); retype("new"); keys({ESC, ch('n')}); }, 1, 0},
      {"changed, ESC stays, then No", [] { choose(2); retype("new"); keys({ESC, ESC, ESC, ch('n')}); }, 1, 0},
      {"changed, Yes saves a new file at once", [] { choose(2); retype("new"); keys({ESC, ch('y'), ENTER}); }, 0, 1},
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    reset_tdi_state();
    c.script();
    EXPECT_EQ(tdi_main(nullptr), 0);
    EXPECT_EQ(memscreen_keys_left(), 0u);
    EXPECT_EQ(desc_changed, c.want_changed);
    EXPECT_EQ(desc_saved, c.want_saved);
    EXPECT_EQ(comment_of(default_file()), c.want_saved ? "new" : "") << "saved only when asked";
  }
}

TEST_F(TdiMain, ALongNameShowsWhereItGoesOnAndLeavesTheLineBelowAlone) {
  // A name longer than the Name line's 56 columns is cut with '>' at the
  // edge, never wrapped onto the line below.
  const std::string name(70, 'n');
  uint32_t h = 0;
  ASSERT_EQ(open_tdi(&h, TDI_DEFAULT_TYPE), 0);
  ASSERT_EQ(save_tdi(h, (name + ".tdi").c_str(), 1), 0);
  close_tdi(&h);
  EXPECT_EQ(tdi_main((name + ".tdi").c_str()), ST_SCRIPT_END);
  EXPECT_EQ(cells(2, 24, 56), std::string(55, 'n') + ">");
  EXPECT_EQ(memscreen_row(3).find("nnn"), std::string::npos) << memscreen_row(3);
}

TEST_F(TdiMain, SelectingABaseResetsAfterTheQuestion) {
  uint32_t h = 0;
  ASSERT_EQ(open_tdi(&h, 0), 0);
  ASSERT_EQ(save_tdi(h, file("mine.tdi").c_str(), 1), 0);
  close_tdi(&h);
  // clang-format off
  const struct {
    const char *name;
    const char *given;
    std::function<void()> script;
    const char *want_comment; // null: the base's own comment
    uint8_t want_base, want_changed;
    int want_selection;
  } cases[] = {
      {"same base again resets a changed description", nullptr,
       [] { choose(2); retype("mine"); choose(1); keys({ch('y'), ENTER}); }, nullptr, 11, 0, 2},
      {"declined question keeps everything", nullptr,
       [] { choose(2); retype("mine"); choose(1); keys({ch('n')}); }, "mine", 11, 1, 1},
      {"ESC on the Base line keeps everything", nullptr,
       [] { choose(2); retype("mine"); choose(1); keys({ch('y'), ESC}); }, "mine", 11, 1, 1},
      {"unchanged description asks nothing", nullptr, [] { choose(1); keys({SPACE, ENTER}); }, nullptr, 12, 0, 2},
      {"a retrieved one reset keeps its name and counts as changed", "mine",
       [] { choose(1); keys({ch('y'), ENTER}); }, nullptr, 0, 1, 2},
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    reset_tdi_state();
    base_terminal = TDI_DEFAULT_TYPE;
    c.script();
    EXPECT_EQ(tdi_main(c.given), ST_SCRIPT_END);
    EXPECT_EQ(base_terminal, c.want_base);
    EXPECT_EQ(std::string(tdi_comment),
              c.want_comment ? c.want_comment : comment_of("", c.want_base));
    EXPECT_EQ(desc_changed, c.want_changed);
    EXPECT_EQ(selection(), c.want_selection);
    const std::string name = c.given ? c.given : def_term_filename[c.want_base];
    EXPECT_EQ(cells(2, 24, int(name.size()) + 1), name + " ");
  }
}

TEST_F(TdiMain, SelectionAdvancesAndWrapsByBase) {
  // clang-format off
  const struct {
    uint8_t base;
    int item;
    bool esc; // the item opens something that ESC closes
    int want_selection;
    uint32_t want_message; // 0: none shown
  } cases[] = {
      {11, 5, true, 6, 0},             {12, 6, true, 1, 0},             {0, 5, true, 1, 0},
      {13, 6, true, 1, 0},
      {0, 6, false, 1, ST_FAILED},     {16, 5, false, 1, ST_FAILED},    {16, 3, true, 4, 0},
      {0, 7, true, 7, 0},              {0, 9, true, 9, 0},
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << "base " << int(c.base) << " item " << c.item);
    reset_tdi_state();
    fresh();
    base_terminal = c.base;
    choose(c.item);
    if (c.esc) keys({ESC});
    EXPECT_EQ(tdi_main(nullptr), ST_SCRIPT_END);
    EXPECT_EQ(selection(), c.want_selection);
    EXPECT_EQ(memscreen_message_shown() ? memscreen_message_code() : 0u, c.want_message);
  }
}

TEST_F(TdiMain, SaveThenRetrieveKeepsFlagsAndNames) {
  choose(2);
  retype("first");
  choose(8);
  keys({ENTER, ESC});
  ASSERT_EQ(tdi_main(nullptr), 0);
  EXPECT_TRUE(desc_saved == 1 && desc_changed == 0);
  EXPECT_EQ(comment_of(default_file()), "first");
  // Retrieved, changed, and saved over: the first answer refuses to replace
  // (the line stays open), the second accepts.
  reset_tdi_state();
  choose(9);
  keys({ENTER});
  choose(2);
  retype("second");
  choose(8);
  keys({ENTER, ch('n'), ENTER, ch('y'), ESC});
  EXPECT_EQ(tdi_main(nullptr), 0);
  EXPECT_EQ(desc_retrieved + desc_saved, 2);
  EXPECT_TRUE(row_has(19, default_file()));
  EXPECT_EQ(comment_of(default_file()), "second");
}

TEST_F(TdiMain, DamagedOrMissingFileKeepsTheBase) {
  const std::string junk = "this is not a terminal description\n\x01\x02";
  ASSERT_TRUE(xntest::write_file(file("bad.tdi"), junk));
  // At entry; then by item 9 over a changed description (the line stays open).
  // clang-format off
  const std::tuple<const char *, std::function<void()>, int> cases[] = {
      {"bad", [] { keys({ESC}); }, 0},
      {nullptr, [this] { choose(2); retype("kept"); choose(9); keys({ch('y')}); retype(file("bad.tdi").c_str()); },
       ST_SCRIPT_END},
  };
  // clang-format on
  for (const auto &[given, script, want] : cases) {
    reset_tdi_state();
    script();
    EXPECT_EQ(tdi_main(given), want);
    EXPECT_GT(memscreen_message_code() & 0xFFF, 0u);
    EXPECT_FALSE(memscreen_message_text().empty())
        << "the store's reason belongs beside the status";
    EXPECT_EQ(desc_retrieved, 0);
    EXPECT_EQ(std::string(tdi_desc_name), def_term_filename[TDI_DEFAULT_TYPE]);
    EXPECT_EQ(xntest::read_file(file("bad.tdi")), junk);
  }
  EXPECT_EQ(desc_changed, 1) << "a failed retrieve keeps the changes";
  reset_tdi_state();
  keys({ESC});
  EXPECT_EQ(tdi_main("nosuch"), 0);
  EXPECT_EQ(memscreen_message_code() & 0xFFF, uint32_t(ST_NO_FILE));
  EXPECT_FALSE(xntest::file_exists(file("nosuch.tdi")));
  EXPECT_EQ(tdi_main(std::string(300, 'a').c_str()) & 0xFFF, ST_NAME_TOO_LONG);
}

// Leaving shows the proposal for confirmation; No or ESC to the replace
// question opens the Saved line again instead of going back to the menu.
TEST_F(TdiMain, RefusingToReplaceWhileLeavingKeepsTheSavedLineOpen) {
  uint32_t h = 0;
  ASSERT_EQ(open_tdi(&h, TDI_DEFAULT_TYPE), 0);
  ASSERT_EQ(save_tdi(h, default_file().c_str(), 1), 0);
  close_tdi(&h);
  const std::string before = comment_of(default_file());
  ASSERT_NE(before, "new");
  for (uint16_t answer : {ch('n'), ESC}) {
    SCOPED_TRACE(answer);
    reset_tdi_state();
    choose(2);
    retype("new");
    // Leave, save, accept the proposal, refuse to replace; ESC closes the
    // line, ESC leaves again, and No lets the change go.
    keys({ESC, ch('y'), ENTER, answer, ESC, ESC, ch('n')});
    EXPECT_EQ(tdi_main(nullptr), 0);
    EXPECT_EQ(memscreen_keys_left(), 0u);
    EXPECT_EQ(desc_saved, 0);
    EXPECT_EQ(comment_of(default_file()), before);
  }
}

// A refused name is shown with its status, so the reason names the file.
TEST_F(TdiMain, RefusedNamesAreShownWithTheStatus) {
  ASSERT_TRUE(xntest::write_file(file("plain"), "x"));
  // clang-format off
  const struct {
    int item;
    const char *typed;
    uint32_t want; // 0: any status
  } cases[] = {
      {7, "plain", ST_ACCESS}, {8, "nosuch/dir/desc", 0}, {9, "missing", ST_NO_FILE},
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(c.typed);
    reset_tdi_state();
    fresh();
    choose(c.item);
    retype(c.typed);
    keys({ESC, ESC});
    EXPECT_EQ(tdi_main(nullptr), 0);
    EXPECT_TRUE(c.want ? (memscreen_message_code() & 0xFFF) == c.want
                       : memscreen_message_code() != 0);
    EXPECT_NE(memscreen_message_text().find(c.typed), std::string::npos)
        << memscreen_message_text();
  }
}

TEST_F(TdiMain, ChangeDirectoryTakesOnlyWritableFolders) {
  ASSERT_EQ(mkdir(file("sub").c_str(), 0700), 0);
  ASSERT_TRUE(xntest::write_file(file("plain"), "x"));
  choose(7);
  retype(file("plain").c_str()); // not a folder: status 5, the line again
  retype(file("sub").c_str());
  keys({ESC});
  EXPECT_EQ(tdi_main(nullptr), 0);
  EXPECT_EQ(memscreen_message_code(), uint32_t(ST_ACCESS));
  EXPECT_EQ(folder(), file("sub"));
}

} // namespace
