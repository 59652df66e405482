// The printer translation editor's main screen, driven by scripted keys
// over the in-memory screen with the real store on temporary files.
#include <sys/stat.h>

#include <functional>

#include "tdi/editor_fixture.h"

using namespace editor_test;

namespace {

class PtiMain : public EditorTest {
protected:
  static std::string default_file() { return folder() + "/" + pti_filename[0] + ".pti"; }
  // A translation file of printer type `type` with a comment.
  void make_file(const char *name, uint8_t type, const char *comment) {
    uint32_t h = 0;
    ASSERT_EQ(open_pti(&h, type), 0);
    ASSERT_EQ(put_comment_pti(h, comment), 0);
    ASSERT_EQ(save_pti(h, file(name).c_str(), 1), 0);
    close_pti(&h);
  }
  static std::string comment_of(const std::string &path) {
    uint32_t h = 0;
    char text[32] = {};
    EXPECT_EQ(open_pti(&h, 0), 0);
    if (load_pti(h, path.c_str()) <= 0) get_comment_pti(h, text);
    close_pti(&h);
    return text;
  }
};

TEST_F(PtiMain, FlagsFollowEveryEvent) {
  // clang-format off
  const struct {
    const char *name;
    const char *given; // the file operand, or null
    std::function<void()> script;
    uint8_t changed, retrieved, saved;
  } cases[] = {
      {"entry", nullptr, [] {}, 0, 0, 0},
      {"comment kept as it was", nullptr, [] { choose(2); keys({ENTER}); }, 0, 0, 0},
      {"comment changed", nullptr, [] { choose(2); retype("x"); }, 1, 0, 0},
      {"base selected", nullptr, [] { choose(2); retype("x"); choose(1); keys({ch('y'), SPACE, ENTER}); }, 0, 0, 0},
      {"base selected on a retrieved file", "laser", [] { choose(1); keys({ch('y'), ENTER}); }, 1, 1, 0},
      {"saved", nullptr, [] { choose(2); retype("x"); choose(6); keys({ENTER}); }, 0, 0, 1},
      {"retrieved after a save", nullptr,
       [] { choose(6); keys({ENTER}); choose(2); retype("x"); choose(7); keys({ch('y'), ENTER}); }, 0, 1, 0},
      {"file given and loaded", "laser", [] {}, 0, 1, 0}, // last: its screen is checked below
  };
  // clang-format on
  make_file("laser.pti", 2, "my laser");
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    unlink(default_file().c_str());
    reset_pti_state();
    printer_type = 0;
    trans_changed = trans_retrieved = trans_saved = 1; // cleared on entry
    c.script();
    EXPECT_EQ(pti_main(c.given), ST_SCRIPT_END);
    EXPECT_EQ(trans_changed, c.changed);
    EXPECT_EQ(trans_retrieved, c.retrieved);
    EXPECT_EQ(trans_saved, c.saved);
  }
  EXPECT_EQ(printer_type, 2) << "the loaded file's printer type";
  EXPECT_TRUE(row_has(2, "Name: laser"));
  EXPECT_EQ(cells(3, 50, 8), "my laser");
}

TEST_F(PtiMain, SelectionAdvancesAfterItemsOneToFour) {
  // clang-format off
  const std::pair<std::function<void()>, int> cases[] = {
      {[] { choose(3); keys({ESC}); }, 4}, {[] { choose(4); keys({ESC}); }, 1}, {[] { choose(5); keys({ESC}); }, 5},
  };
  // clang-format on
  for (const auto &[script, want] : cases) {
    SCOPED_TRACE(want);
    reset_pti_state();
    script();
    EXPECT_EQ(pti_main(nullptr), ST_SCRIPT_END);
    EXPECT_EQ(std::stoi(cells(16, 34, 1)), want);
  }
}

TEST_F(PtiMain, SavedCommentSurvivesAFailedSaveLater) {
  choose(2);
  retype("draft copy");
  keys({ESC, ch('y'), ENTER}); // leaving: the new file is saved at once
  EXPECT_EQ(pti_main(nullptr), 0);
  EXPECT_EQ(comment_of(default_file()), "draft copy");
  // A folder in the way cannot be saved over: the editor offers to discard.
  ASSERT_EQ(mkdir(file("d.pti").c_str(), 0700), 0);
  reset_pti_state();
  choose(2);
  retype("lost");
  keys({ESC, ch('y')});
  retype(file("d.pti").c_str());
  keys({ch('y'), ch('y')}); // replace it; cannot be saved: discard
  EXPECT_EQ(pti_main(nullptr), 0);
  EXPECT_EQ(memscreen_keys_left(), 0u);
  EXPECT_FALSE(memscreen_message_text().empty());
  EXPECT_EQ(comment_of(default_file()), "draft copy");
}

TEST_F(PtiMain, DamagedTranslationKeepsTheBase) {
  const std::string junk = "[nonsense\n";
  ASSERT_TRUE(xntest::write_file(file("bad.pti"), junk));
  printer_type = 1;
  keys({ESC});
  EXPECT_EQ(pti_main("bad.pti"), 0);
  EXPECT_GT(memscreen_message_code() & 0xFFF, 0u);
  EXPECT_FALSE(memscreen_message_text().empty());
  EXPECT_EQ(trans_retrieved, 0);
  EXPECT_EQ(std::string(pti_trans_name), pti_filename[1]);
  // By item 7: the status, the line open again.
  reset_pti_state();
  choose(7);
  retype(file("bad").c_str());
  keys({ESC, ESC});
  EXPECT_EQ(pti_main(nullptr), 0);
  EXPECT_GT(memscreen_message_code() & 0xFFF, 0u);
  EXPECT_EQ(trans_retrieved, 0);
  EXPECT_EQ(xntest::read_file(file("bad.pti")), junk);
}

} // namespace
