// Whole-file reads and the safe save: a text written a chunk at a time
// reads back whole, and a save that fails part-way leaves the old file.
#include "lib/internal/lib_internal.h"
#include "lib/status.h"
#include "support/support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <dirent.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A text of `lines` numbered lines, handed over as it is produced.
void numbered_lines(text_out &out, int lines) {
  for (int i = 0; i < lines; ++i) {
    out.text() += "line " + std::to_string(i) + " of the text\n";
    out.spill();
  }
}

std::string expected_text(int lines) {
  std::string s;
  for (int i = 0; i < lines; ++i)
    s += "line " + std::to_string(i) + " of the text\n";
  return s;
}

int files_in(const std::string &dir) {
  int n = 0;
  if (DIR *d = opendir(dir.c_str())) {
    while (dirent *e = readdir(d))
      n += e->d_name[0] != '.';
    closedir(d);
  }
  return n;
}

TEST(FileIo, ChunkedTextReadsBackWhole) {
  xntest::TempDir dir;
  const std::string name = dir.file("t.cfi");
  std::string error;
  // About 600 KB: many chunks, and a read of more than one buffer's worth.
  ASSERT_EQ(write_file_atomic(name.c_str(), [](text_out &o) { numbered_lines(o, 24000); }, error), 0)
      << error;
  std::string back;
  ASSERT_EQ(read_file_whole(name.c_str(), back, error), 0) << error;
  EXPECT_EQ(back, expected_text(24000));
  EXPECT_EQ(files_in(dir.path()), 1); // no temporary file left behind
  ASSERT_EQ(write_file_atomic(name.c_str(), [](text_out &) {}, error), 0) << error;
  ASSERT_EQ(read_file_whole(name.c_str(), back, error), 0) << error;
  EXPECT_EQ(back, "");
}

// The file size limit makes a write fail after the first chunks have gone
// out: the save must fail, name the file and leave the old one untouched.
TEST(FileIo, SaveFailingPartWayLeavesTheOldFile) {
  xntest::TempDir dir;
  const std::string name = dir.file("keep.cfi");
  ASSERT_TRUE(xntest::write_file(name, "old contents\n"));
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit lim{200 * 1024, 200 * 1024};
    setrlimit(RLIMIT_FSIZE, &lim);
    std::string error;
    int st = write_file_atomic(name.c_str(), [](text_out &o) { numbered_lines(o, 24000); }, error);
    bool named = error.rfind("cannot write " + name + ": ", 0) == 0;
    _exit(st != 0 && named ? 0 : 1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "save did not fail cleanly";
  EXPECT_EQ(xntest::read_file(name), "old contents\n");
  EXPECT_EQ(files_in(dir.path()), 1); // the temporary file was removed
}

} // namespace
