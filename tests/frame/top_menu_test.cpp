// The top menu over the in-memory screen: its drawing, the selection and
// how it moves on after an editor.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/frame.h"
#include "frame_test_util.h"
#include "lib/kern.h"
#include "lib/memscreen.h"
#include "scrmgr/scrmgr.h"

namespace {

class TopMenu : public testing::Test {
protected:
  void SetUp() override {
    fresh_state();
    check_os_target(false, 0);
    memscreen_use();
    ASSERT_EQ(display_open(), 0);
  }
  void TearDown() override {
    display_close();
    memscreen_release();
  }
  static void keys(const std::vector<uint16_t> &codes) {
    for (uint16_t c : codes)
      memscreen_push_key(c);
  }
  static std::string cells(int row, int col, int n) {
    std::string r = memscreen_row(row);
    r.resize(80, ' ');
    return r.substr(static_cast<size_t>(col), static_cast<size_t>(n));
  }
};

TEST_F(TopMenu, DrawsCentredTitleAndChoices) {
  keys({KEY_ESC});
  EXPECT_EQ(top_menu(), 0);
  char title[256];
  int len = sprintf_kern(title, "%P %R (%O)");
  ASSERT_GT(len, 0);
  if (len > 79)
    len = 79;
  const int col = 40 - len / 2;
  EXPECT_EQ(cells(0, col, len), std::string(title, static_cast<size_t>(len)));
  EXPECT_EQ(cells(0, 0, col), std::string(static_cast<size_t>(col), ' '));
  EXPECT_EQ(cells(4, 20, 42), " 1. Configure System Configurations (.cfi)");
  EXPECT_EQ(cells(5, 20, 42), " 2. Configure Terminal Descriptions (.tdi)");
  EXPECT_EQ(cells(6, 20, 41), " 3. Configure Printer Translations (.pti)");
  EXPECT_EQ(cells(10, 20, 10), "Selection:");
  EXPECT_EQ(cells(10, 35, 2), " 1");
  EXPECT_EQ(cells(22, 18, 44), "Press <up> or <down> to select, ESC to exit.");
  EXPECT_EQ(memscreen_keys_left(), 0u);
}

TEST_F(TopMenu, SelectionStepsAndStartsAtOneEachTime) {
  keys({KEY_DOWN, KEY_DOWN, KEY_ESC});
  EXPECT_EQ(top_menu(), 0);
  EXPECT_EQ(cells(10, 35, 2), " 3");
  // A new menu starts at the first editor again.
  keys({KEY_ESC});
  EXPECT_EQ(top_menu(), 0);
  EXPECT_EQ(cells(10, 35, 2), " 1");
}

TEST_F(TopMenu, ProposesTheNextEditorAfterOne) {
  // Choose an editor, leave it at once, then leave the menu: the menu comes
  // back in full (its static labels too) proposing the next editor.
  struct row {
    int downs;
    const char *next;
  } rows[] = {{0, " 2"}, {1, " 3"}, {2, " 1"}};
  for (const row &r : rows) {
    SCOPED_TRACE(r.downs);
    for (int i = 0; i < r.downs; ++i)
      memscreen_push_key(KEY_DOWN);
    keys({KEY_ENTER, KEY_ESC, KEY_ESC});
    int st = top_menu();
    ASSERT_EQ(st, 0) << "the editor did not end on ESC; keys left " << memscreen_keys_left();
    EXPECT_EQ(cells(10, 35, 2), r.next);
    EXPECT_EQ(cells(10, 20, 10), "Selection:");
    EXPECT_EQ(cells(4, 20, 42), " 1. Configure System Configurations (.cfi)");
    EXPECT_EQ(cells(22, 18, 44), "Press <up> or <down> to select, ESC to exit.");
  }
}

TEST_F(TopMenu, EndsWithTheStatusWhenKeysRunOut) {
  // The in-memory screen ends a screen with a status when its script is used
  // up: the menu must hand that status up rather than loop.
  EXPECT_EQ(top_menu(), ST_SCRIPT_END);
}

} // namespace
