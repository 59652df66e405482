// The interactive dispatch over the in-memory screen: which editor a file
// operand opens, on which file.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "cfi/cfi.h"
#include "frame/frame.h"
#include "frame_test_util.h"
#include "lib/memscreen.h"
#include "pti/pti.h"
#include "scrmgr/scrmgr.h"
#include "support/support.h"
#include "tdi/tdi.h"

namespace {

// Runs the tests in a temporary folder and gives the old one back.
class InFolder {
public:
  InFolder() {
    char buf[4096];
    old_ = getcwd(buf, sizeof buf) ? buf : "/";
    EXPECT_EQ(chdir(dir_.path().c_str()), 0);
  }
  ~InFolder() { EXPECT_EQ(chdir(old_.c_str()), 0); }
  const xntest::TempDir &dir() const { return dir_; }

private:
  xntest::TempDir dir_;
  std::string old_;
};

struct operand_case {
  const char *what;
  const char *operand;
  const char *existing; // the file the operand must open (made beforehand)
  int editor;           // 1 configuration, 2 description, 3 translation
};

TEST(Dispatch, OperandChoosesTheEditor) {
  const operand_case cases[] = {
      {"a folder opens its system.cfi", "sub", "sub/system.cfi", 1},
      {"no extension gets .cfi", "north", "north.cfi", 1},
      {".cfi", "south.cfi", "south.cfi", 1},
      {".TDI in capitals", "xterm.TDI", "xterm.TDI", 2},
      {".Pti in mixed case", "generic.Pti", "generic.Pti", 3},
  };
  for (const operand_case &c : cases) {
    SCOPED_TRACE(c.what);
    InFolder folder;
    ASSERT_EQ(mkdir("sub", 0755), 0);
    // A file of the right kind, made by the batch update of its kind.
    fresh_state();
    std::string made = c.editor == 1 ? "system.cfi" : c.editor == 2 ? "xterm.tdi" : "generic.pti";
    std::vector<std::string> batch = {"-b", "-q"};
    if (c.editor == 2)
      batch.insert(batch.end(), {"-T", "xterm"});
    if (c.editor == 3)
      batch.insert(batch.end(), {"-P", "generic"});
    xntest::RunOptions o;
    o.args = batch;
    o.cwd = folder.dir().path();
    ASSERT_EQ(xntest::run_program(o).status, 0);
    ASSERT_EQ(rename(made.c_str(), c.existing), 0);

    fresh_state();
    arg_vector av({c.operand});
    ASSERT_EQ(parse_options(av.argc(), av.argv()), 0);
    memscreen_use();
    memscreen_push_key(KEY_ESC);
    config_retrieved = desc_retrieved = trans_retrieved = 0;
    testing::internal::CaptureStdout();
    int st = dispatch(av.argc(), av.argv());
    testing::internal::GetCapturedStdout();
    memscreen_release();
    EXPECT_EQ(st, 0);
    // Only the chosen editor loaded a file.
    EXPECT_EQ(config_retrieved != 0, c.editor == 1);
    EXPECT_EQ(desc_retrieved != 0, c.editor == 2);
    EXPECT_EQ(trans_retrieved != 0, c.editor == 3);
    EXPECT_EQ(memscreen_keys_left(), 0u);
  }
}

} // namespace
