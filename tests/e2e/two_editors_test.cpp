// Two editors on one file: the second is told the file is in use (and so is
// a batch run), and a file changed on disk since it was read is not
// replaced without a question.
#include <gtest/gtest.h>

#include <string>

#include "e2e/e2e_common.h"

namespace {

using xntest::Key;
using xntest::PtyTerm;
using xntest::TempDir;

constexpr const char *kOriginal = "[file]\nkind = system-configuration\nrevision = "
                                  "2\n\n[system]\ntarget = UNIX\nprocesses = 16\n\n[end]\n";
constexpr const char *kChangedElsewhere = "[file]\nkind = system-configuration\nrevision = "
                                          "2\n\n[system]\ntarget = UNIX\nprocesses = 99\n\n[end]\n";
constexpr const char *kInUse = "File is in use by another editor";

bool menu_up(PtyTerm &t) { return t.wait_for_text_at(16, 20, "Selection:"); }

TEST(TwoEditors, SecondEditorAndBatchAreToldTheFileIsInUse) {
  TempDir dir;
  ASSERT_TRUE(xntest::write_file(dir.file("system.cfi"), kOriginal));
  PtyTerm first(e2e::program_in(dir, {"system.cfi"}));
  ASSERT_TRUE(menu_up(first)) << first.screen_text();
  {
    PtyTerm second(e2e::program_in(dir, {"system.cfi"}));
    EXPECT_TRUE(second.wait_for_text(kInUse)) << second.screen_text();
    second.key(Key::Esc);
    EXPECT_FALSE(second.wait_exit().timed_out);
  }
  xntest::RunResult r = xntest::run_xnconfig({"-b", "system.cfi"}, dir.path());
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.err.find(kInUse), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("system.cfi"), std::string::npos) << r.err;
  EXPECT_EQ(xntest::read_file(dir.file("system.cfi")), kOriginal);
  first.key(Key::Esc);
  EXPECT_EQ(first.wait_exit().status, 0);
  // Once the first editor has ended, the file is free again.
  r = xntest::run_xnconfig({"-b", "system.cfi"}, dir.path());
  EXPECT_EQ(r.status, 0) << r.err;
}

TEST(TwoEditors, FileChangedOnDiskIsNotReplacedWithoutAQuestion) {
  TempDir dir;
  ASSERT_TRUE(xntest::write_file(dir.file("system.cfi"), kOriginal));
  PtyTerm t(e2e::program_in(dir, {"system.cfi"}));
  ASSERT_TRUE(menu_up(t)) << t.screen_text();
  // Another program (one that does not ask for the lock) rewrites it.
  ASSERT_TRUE(xntest::write_file(dir.file("system.cfi"), kChangedElsewhere));
  for (int i = 1; i < 9; ++i) t.key(Key::Down);
  t.key(Key::Enter);
  ASSERT_TRUE(t.wait_for_text_at(20, 1, "Save(d) file: ")) << t.screen_text();
  t.key(Key::Enter);
  ASSERT_TRUE(t.wait_for_text("The file has changed on disk since it was read; replace it anyway?"))
      << t.screen_text();
  t.type("n");
  EXPECT_TRUE(t.wait_for_text("File has changed on disk since it was read")) << t.screen_text();
  EXPECT_EQ(xntest::read_file(dir.file("system.cfi")), kChangedElsewhere);
  // No leaves the Saved line open; asked again, Yes goes on to the usual
  // question and replaces the file.
  t.key(Key::Enter);
  ASSERT_TRUE(t.wait_for_text("replace it anyway?")) << t.screen_text();
  t.type("y");
  ASSERT_TRUE(t.wait_for_text("Do you wish to replace the existing configuration file?"))
      << t.screen_text();
  t.type("y");
  ASSERT_TRUE(menu_up(t)) << t.screen_text();
  t.key(Key::Esc);
  EXPECT_EQ(t.wait_exit().status, 0);
  EXPECT_EQ(xntest::read_file(dir.file("system.cfi~")), kChangedElsewhere)
      << "the replaced content is kept";
  EXPECT_NE(xntest::read_file(dir.file("system.cfi")).find("processes = 16"), std::string::npos);
}

} // namespace
