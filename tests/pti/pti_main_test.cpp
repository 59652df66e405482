// The printer translation editor's main screen, driven by scripted keys
// over the in-memory screen with the real store on temporary files.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <functional>
#include <string>

#include "lib/status.h"
#include "lib/strs.h"
#include "tdi/editor_fixture.h"

using namespace editor_test;

namespace {

class PtiMain : public EditorTest {
protected:
  std::string default_file() const {
    return folder() + "/" + pti_filename[0] + ".pti";
  }
  static int selection() { return std::stoi(cells(16, 34, 1)); }
  // A translation file of printer type `type` with a comment.
  void make_file(const char *name, uint8_t type, const char *comment) {
    uint32_t h = 0;
    ASSERT_EQ(open_pti(&h, type), 0);
    ASSERT_EQ(put_comment_pti(h, comment), 0);
    ASSERT_EQ(save_pti(h, file(name).c_str(), 1), 0);
    close_pti(&h);
  }
  std::string comment_of(const std::string &path) {
    uint32_t h = 0;
    char text[32] = {};
    EXPECT_EQ(open_pti(&h, 0), 0);
    if (load_pti(h, path.c_str()) <= 0) get_comment_pti(h, text);
    close_pti(&h);
    return text;
  }
};

struct flag_case {
  const char *name;
  const char *given; // the file operand, or null
  std::function<void()> script;
  uint8_t changed, retrieved, saved;
};

TEST_F(PtiMain, FlagsFollowEveryEvent) {
  const flag_case cases[] = {
      {"entry", nullptr, [] {}, 0, 0, 0},
      {"file given and loaded", "laser", [] {}, 0, 1, 0},
      {"comment kept as it was", nullptr, [] { choose(2); keys({ENTER}); }, 0, 0, 0},
      {"comment changed", nullptr, [] { choose(2); retype("x"); }, 1, 0, 0},
      {"base selected", nullptr,
       [] { choose(2); retype("x"); choose(1); keys({ch('y'), SPACE, ENTER}); },
       0, 0, 0},
      {"base selected on a retrieved file", "laser",
       [] { choose(1); keys({ch('y'), ENTER}); }, 1, 1, 0},
      {"saved", nullptr, [] { choose(2); retype("x"); choose(6); keys({ENTER}); },
       0, 0, 1},
      {"retrieved after a save", nullptr,
       [] { choose(6); keys({ENTER}); choose(2); retype("x"); choose(7);
            keys({ch('y'), ENTER}); },
       0, 1, 0},
  };
  for (const flag_case &c : cases) {
    SCOPED_TRACE(c.name);
    unlink(default_file().c_str());
    make_file("laser.pti", 2, "laser");
    reset_pti_state();
    printer_type = 0;
    trans_changed = trans_retrieved = trans_saved = 1;  // cleared on entry
    c.script();
    EXPECT_EQ(pti_main(c.given), ST_SCRIPT_END);
    EXPECT_EQ(trans_changed, c.changed);
    EXPECT_EQ(trans_retrieved, c.retrieved);
    EXPECT_EQ(trans_saved, c.saved);
  }
}

TEST_F(PtiMain, LoadedFileGivesTypeNameAndComment) {
  make_file("laser.pti", 2, "my laser");
  keys({ESC});
  EXPECT_EQ(pti_main("laser"), 0);
  EXPECT_EQ(printer_type, 2);
  EXPECT_TRUE(row_has(2, "Name: laser"));
  EXPECT_EQ(cells(3, 50, 8), "my laser");
  EXPECT_TRUE(row_has(19, file("laser.pti")));
  // The title is centred on column 40.
  const std::string title = memscreen_row(0);
  const size_t first = title.find_first_not_of(' ');
  ASSERT_NE(first, std::string::npos);
  const size_t length = title.find_last_not_of(' ') - first + 1;
  EXPECT_EQ(first, 40 - length / 2);
  EXPECT_NE(title.find("xnconfig"), std::string::npos) << title;
}

TEST_F(PtiMain, SelectionAdvancesAfterItemsOneToFour) {
  const std::pair<std::function<void()>, int> cases[] = {
      {[] { choose(3); keys({ESC}); }, 4},
      {[] { choose(4); }, 1},
      {[] { choose(2); keys({ESC}); }, 2},
      {[] { choose(5); keys({ESC}); }, 5},
      {[] { choose(6); keys({ESC}); }, 6},
      {[] { choose(7); keys({ESC}); }, 7},
  };
  for (const auto &[script, want] : cases) {
    SCOPED_TRACE(want);
    reset_pti_state();
    script();
    EXPECT_EQ(pti_main(nullptr), ST_SCRIPT_END);
    EXPECT_EQ(selection(), want);
  }
}

TEST_F(PtiMain, SavedCommentSurvivesReopening) {
  choose(2);
  retype("draft copy");
  keys({ESC, ch('y'), ENTER});   // leaving: save the new file at once
  EXPECT_EQ(pti_main(nullptr), 0);
  EXPECT_EQ(comment_of(default_file()), "draft copy");

  // Leaving again on a failed save may discard: a folder is in the way.
  ASSERT_EQ(mkdir(file("d.pti").c_str(), 0700), 0);
  reset_pti_state();
  choose(2);
  retype("lost");
  keys({ESC, ch('y')});
  retype(file("d.pti").c_str());
  keys({ch('y'), ch('y')});      // replace it; cannot be saved: discard
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
  EXPECT_EQ(printer_type, 1);
  EXPECT_EQ(std::string(pti_trans_name), pti_filename[1]);

  reset_pti_state();
  choose(7);
  retype(file("bad").c_str());
  keys({ESC, ESC});
  EXPECT_EQ(pti_main(nullptr), 0);
  EXPECT_GT(memscreen_message_code() & 0xFFF, 0u);
  EXPECT_EQ(trans_retrieved, 0);
  EXPECT_EQ(xntest::read_file(file("bad.pti")), junk);
}

}  // namespace
