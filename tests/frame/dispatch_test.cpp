// The interactive side over the in-memory screen: which editor a file
// operand opens, and how the top menu moves on after an editor (its drawing
// and keys are seen end to end).
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "cfi/cfi.h"
#include "frame/frame.h"
#include "frame_test_util.h"
#include "lib/memscreen.h"
#include "pti/pti.h"
#include "scrmgr/scrmgr.h"
#include "support/support.h"
#include "tdi/tdi.h"

namespace {

TEST(Dispatch, OperandChoosesTheEditor) {
  xntest::TempDir dir;
  ASSERT_EQ(mkdir(dir.file("sub").c_str(), 0755), 0);
  // A file of each kind under the name each operand must open, made by the
  // batch update of its kind.
  for (std::vector<std::string> args : {std::vector<std::string>{"-b", "sub"},
                                        {"-b", "north"},
                                        {"-b", "-T", "xterm"},
                                        {"-b", "-P", "generic"}})
    ASSERT_EQ(xntest::run_xnconfig(args, dir.path()).status, 0);
  ASSERT_EQ(rename(dir.file("xterm.tdi").c_str(), dir.file("xterm.TDI").c_str()), 0);
  ASSERT_EQ(rename(dir.file("generic.pti").c_str(), dir.file("generic.Pti").c_str()), 0);
  char old[4096];
  ASSERT_NE(getcwd(old, sizeof old), nullptr);
  ASSERT_EQ(chdir(dir.path().c_str()), 0);
  struct operand_case {
    const char *operand;
    int editor; // 1 configuration, 2 description, 3 translation
  } cases[] = {{"sub", 1}, {"north", 1}, {"xterm.TDI", 2}, {"generic.Pti", 3}};
  for (const operand_case &c : cases) {
    SCOPED_TRACE(c.operand);
    fresh_state();
    arg_vector av({c.operand});
    EXPECT_EQ(parse_options(av.argc(), av.argv()), 0);
    memscreen_use();
    memscreen_push_key(KEY_ESC);
    config_retrieved = desc_retrieved = trans_retrieved = 0;
    testing::internal::CaptureStdout();
    EXPECT_EQ(dispatch(av.argc(), av.argv()), 0);
    testing::internal::GetCapturedStdout();
    memscreen_release();
    // Only the chosen editor loaded a file.
    EXPECT_EQ(config_retrieved != 0, c.editor == 1);
    EXPECT_EQ(desc_retrieved != 0, c.editor == 2);
    EXPECT_EQ(trans_retrieved != 0, c.editor == 3);
  }
  EXPECT_EQ(chdir(old), 0);
}

// Choosing an editor and leaving it at once brings the whole menu back,
// proposing the next editor; a new menu starts at the first again.
TEST(TopMenu, ProposesTheNextEditorAfterOne) {
  fresh_state();
  check_os_target(false, 0);
  memscreen_use();
  ASSERT_EQ(display_open(), 0);
  auto cells = [](int row, int col, size_t n) {
    std::string r = memscreen_row(row);
    r.resize(80, ' ');
    return r.substr(static_cast<size_t>(col), n);
  };
  const char *next[] = {" 2", " 3", " 1"};
  for (int downs = 0; downs < 3; ++downs) {
    SCOPED_TRACE(downs);
    for (int i = 0; i < downs; ++i) memscreen_push_key(KEY_DOWN);
    for (uint16_t k : {KEY_ENTER, KEY_ESC, KEY_ESC}) memscreen_push_key(k);
    EXPECT_EQ(top_menu(), 0) << "the editor did not end on ESC";
    EXPECT_EQ(cells(4, 0, 62), std::string(20, ' ') + " 1. Configure System Configurations (.cfi)");
    EXPECT_EQ(cells(10, 20, 17), std::string("Selection:     ") + next[downs]);
    EXPECT_EQ(cells(22, 18, 44), "Press <up> or <down> to select, ESC to exit.");
  }
  memscreen_push_key(KEY_ESC);
  EXPECT_EQ(top_menu(), 0);
  EXPECT_EQ(cells(10, 35, 2), " 1");
  // When the in-memory screen's keys run out, the menu hands that status up.
  EXPECT_EQ(top_menu(), ST_SCRIPT_END);
  display_close();
  memscreen_release();
}

} // namespace
