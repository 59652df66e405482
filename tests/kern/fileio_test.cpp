// Whole-file reads and the safe save: a text written a chunk at a time
// reads back whole, and a save that fails part-way leaves the old file.
#include "lib/internal/lib_internal.h"
#include "lib/kern.h"
#include "lib/status.h"
#include "support/support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <dirent.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
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
  for (int i = 0; i < lines; ++i) s += "line " + std::to_string(i) + " of the text\n";
  return s;
}

int files_in(const std::string &dir) {
  int n = 0;
  if (DIR *d = opendir(dir.c_str())) {
    while (dirent *e = readdir(d)) n += e->d_name[0] != '.';
    closedir(d);
  }
  return n;
}

TEST(FileIo, ChunkedTextReadsBackWhole) {
  xntest::TempDir dir;
  const std::string name = dir.file("t.cfi");
  std::string error;
  // About 600 KB: many chunks, and a read of more than one buffer's worth.
  ASSERT_EQ(write_file_atomic(
                name.c_str(), [](text_out &o) { numbered_lines(o, 24000); }, error),
            0)
      << error;
  std::string back;
  ASSERT_EQ(read_file_whole(name.c_str(), back, error), 0) << error;
  EXPECT_EQ(back, expected_text(24000));
  EXPECT_EQ(files_in(dir.path()), 1); // no temporary file left behind
  ASSERT_EQ(write_file_atomic(
                name.c_str(), [](text_out &) {}, error),
            0)
      << error;
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
    int st = write_file_atomic(
        name.c_str(), [](text_out &o) { numbered_lines(o, 24000); }, error);
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

namespace {

void one_line(text_out &o) { o.text() += "new contents\n"; }

// A pid that is certainly not running: a child that has been reaped.
pid_t dead_pid() {
  pid_t pid = fork();
  if (pid == 0) _exit(0);
  int st = 0;
  waitpid(pid, &st, 0);
  return pid;
}

// What a save does with what is already at the name: each case plants
// something, saves once and checks what became of it.
TEST(FileIo, SaveKeepsBackupLinksAndRemovesStaleTemporaries) {
  xntest::TempDir dir;
  const std::string name = dir.file("a.cfi");
  std::string error;
  write_options backup;
  backup.backup = true;

  // The replaced content is kept as name~, a link planted there is
  // replaced, not followed.
  ASSERT_TRUE(xntest::write_file(name, "old contents\n"));
  ASSERT_TRUE(xntest::write_file(dir.file("victim"), "victim\n"));
  ASSERT_EQ(symlink(dir.file("victim").c_str(), (name + "~").c_str()), 0);
  ASSERT_EQ(write_file_atomic(name.c_str(), one_line, error, backup), 0) << error;
  EXPECT_EQ(xntest::read_file(name), "new contents\n");
  EXPECT_EQ(xntest::read_file(name + "~"), "old contents\n");
  EXPECT_EQ(xntest::read_file(dir.file("victim")), "victim\n");

  // A second name for the file stays the same file.
  const std::string other = dir.file("hard.cfi");
  ASSERT_EQ(link(name.c_str(), other.c_str()), 0);
  ASSERT_EQ(write_file_atomic(
                name.c_str(), [](text_out &o) { o.text() += "third\n"; }, error, backup),
            0);
  EXPECT_EQ(xntest::read_file(other), "third\n");
  EXPECT_EQ(xntest::read_file(name + "~"), "new contents\n");
  unlink(other.c_str());

  // A temporary file of an ended run goes; one of a live run stays.
  const std::string stale = name + "." + std::to_string(dead_pid()) + ".xntmpabcdef";
  const std::string live = name + "." + std::to_string(getpid()) + ".xntmpabcdef";
  const std::string stale_backup = name + "~." + std::to_string(dead_pid()) + ".xntmpabcdef";
  ASSERT_TRUE(xntest::write_file(stale, "x"));
  ASSERT_TRUE(xntest::write_file(live, "x"));
  ASSERT_TRUE(xntest::write_file(stale_backup, "x"));
  ASSERT_EQ(write_file_atomic(name.c_str(), one_line, error, backup), 0) << error;
  EXPECT_FALSE(xntest::file_exists(stale));
  EXPECT_FALSE(xntest::file_exists(stale_backup)) << "the backup's temporary file too";
  EXPECT_TRUE(xntest::file_exists(live));
}

// Side files have names the program made up: a link there is replaced,
// never followed; a file of another owner is refused and the side file
// goes to $HOME instead.
TEST(FileIo, SideFileNeverFollowsALinkNorTakesAnotherUsersFile) {
  xntest::TempDir dir, home;
  const std::string side = dir.file("s.cfi.save");
  ASSERT_TRUE(xntest::write_file(dir.file("victim"), "victim\n"));
  ASSERT_EQ(symlink(dir.file("victim").c_str(), side.c_str()), 0);
  write_side_file_text(side, one_line);
  EXPECT_EQ(xntest::read_file(dir.file("victim")), "victim\n");
  EXPECT_EQ(xntest::read_file(side), "new contents\n");
  struct stat st {};
  ASSERT_EQ(lstat(side.c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  EXPECT_EQ(st.st_mode & 077, 0u) << "side files are private";

  if (geteuid() != 0) GTEST_SKIP() << "giving a file away needs root";
  ASSERT_TRUE(xntest::write_file(side, "theirs\n"));
  ASSERT_EQ(chown(side.c_str(), 65534, 65534), 0);
  const char *was = getenv("HOME");
  setenv("HOME", home.path().c_str(), 1);
  write_side_file_text(side, one_line);
  was ? setenv("HOME", was, 1) : unsetenv("HOME");
  EXPECT_EQ(xntest::read_file(side), "theirs\n");
  EXPECT_EQ(xntest::read_file(home.file("s.cfi.save")), "new contents\n");
}

// The editing lock held by another process refuses a save (and a second
// lock); what was read is remembered so that a change on disk is noticed,
// but a rewrite with the same content is not a change.
TEST(FileIo, LockAndChangeOnDisk) {
  xntest::TempDir dir;
  const std::string name = dir.file("l.cfi");
  ASSERT_TRUE(xntest::write_file(name, "\xEF\xBB\xBFold\n"));
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t holder = fork();
  if (holder == 0) {
    file_lock lock;
    std::string e;
    char c = lock_for_editing(name.c_str(), lock, e) == 0 && lock.held() ? 'y' : 'n';
    (void)!write(ready[1], &c, 1);
    pause();
    _exit(0);
  }
  char c = 0;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  EXPECT_EQ(c, 'y');
  std::string error;
  EXPECT_EQ(write_file_atomic(name.c_str(), one_line, error), ST_IN_USE);
  EXPECT_NE(error.find(name), std::string::npos) << error;
  file_lock mine;
  EXPECT_EQ(lock_for_editing(name.c_str(), mine, error), ST_IN_USE);
  kill(holder, SIGKILL);
  int st = 0;
  waitpid(holder, &st, 0);
  close(ready[0]);
  close(ready[1]);
  EXPECT_EQ(lock_for_editing(name.c_str(), mine, error), 0);

  std::string content;
  file_print print;
  ASSERT_EQ(read_file_whole(name.c_str(), content, error, &print), 0);
  EXPECT_EQ(content, "old\n") << "the byte order mark is not part of the text";
  remember_file(name.c_str(), print);
  EXPECT_EQ(check_unchanged_kern(name.c_str()), 0);
  ASSERT_TRUE(xntest::write_file(name, "\xEF\xBB\xBFold\n")); // rewritten, same content
  EXPECT_EQ(check_unchanged_kern(name.c_str()), 0);
  ASSERT_TRUE(xntest::write_file(name, "changed\n"));
  EXPECT_EQ(check_unchanged_kern(name.c_str()), ST_CHANGED_ON_DISK);
}

} // namespace

namespace {

// A link planted at the audit file's name is refused, never appended to.
TEST(FileIo, AuditTrailRefusesALinkAtItsName) {
  xntest::TempDir dir;
  const std::string trail = dir.file("xnconfig.audit");
  ASSERT_TRUE(xntest::write_file(dir.file("victim"), "victim\n"));
  ASSERT_EQ(symlink(dir.file("victim").c_str(), trail.c_str()), 0);
  reset_kern_state();
  EXPECT_EQ(set_audit_kern(trail.c_str()), ST_ACCESS);
  audit_file_event("save", "cfi", "x.cfi", 0);
  EXPECT_EQ(xntest::read_file(dir.file("victim")), "victim\n");
  reset_kern_state();
}

} // namespace
