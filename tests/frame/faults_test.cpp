// Faults injected into batch saves: a save past the file-size limit fails
// with a reported error, and a save killed at any moment leaves the file
// wholly old or wholly new with no temporary file behind.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "support/support.h"

namespace {

using xntest::TempDir;

// A revision 1 configuration (the batch update rewrites it) with enough
// consoles that its save takes many writes.
std::string big_old_config() {
  std::string s =
      "[file]\nkind = system-configuration\n\n[system]\ntarget = UNIX\nconsoles = 2000\n";
  for (int i = 0; i < 2000; ++i)
    s += "\n[console " + std::to_string(i) + "]\nenabled = yes\nterm = vt" + std::to_string(i) +
         "\ndevice = tty" + std::to_string(i) + "\n";
  return s;
}

// Files in `dir` that are neither the configuration nor its backup.
std::vector<std::string> strays(const TempDir &dir) {
  std::vector<std::string> names;
  for (const auto &e : std::filesystem::directory_iterator(dir.path())) {
    std::string n = e.path().filename().string();
    if (n != "system.cfi" && n != "system.cfi~") names.push_back(n);
  }
  return names;
}

// Starts "xnconfig -b system.cfi" in `dir` with its output discarded and,
// when `fsize` is nonzero, that file-size limit.
pid_t start_batch(const TempDir &dir, rlim_t fsize) {
  const std::string program = xntest::xn_binary();
  const pid_t pid = fork();
  if (pid != 0) return pid;
  if (chdir(dir.path().c_str()) != 0) _exit(126);
  if (fsize != 0) {
    rlimit lim{fsize, fsize};
    setrlimit(RLIMIT_FSIZE, &lim);
  }
  execl(program.c_str(), program.c_str(), "-b", "-q", "system.cfi", static_cast<char *>(nullptr));
  _exit(127);
}

TEST(Faults, SaveBeyondTheFileSizeLimitFailsWithAMessage) {
  TempDir dir;
  const std::string old = big_old_config();
  ASSERT_TRUE(xntest::write_file(dir.file("system.cfi"), old));
  // The limit is inherited through exec: run the program under it with its
  // standard error captured.
  xntest::RunOptions o;
  o.program = "/bin/sh";
  o.args = {"-c", "ulimit -f 64 && exec \"$0\" -b system.cfi", xntest::xn_binary()};
  o.cwd = dir.path();
  const xntest::RunResult r = xntest::run_program(o);
  EXPECT_EQ(r.signal, 0) << "killed by a signal instead of reporting the failure";
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.err.find("No space left on the device"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("system.cfi"), std::string::npos) << r.err;
  EXPECT_EQ(xntest::read_file(dir.file("system.cfi")), old);
  EXPECT_EQ(strays(dir), std::vector<std::string>{});
}

// Random kill moments are the fault being injected, not a synchronisation:
// whatever the moment, the checks must hold.
TEST(Faults, BatchSavesKilledAtRandomMomentsLeaveOldOrNewAndNoTemporaryFile) {
  TempDir dir;
  const std::string old = big_old_config();
  ASSERT_TRUE(xntest::write_file(dir.file("system.cfi"), old));
  int st = 0;
  ASSERT_TRUE(xntest::wait_child(start_batch(dir, 0), 10000, st));
  ASSERT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0);
  const std::string updated = xntest::read_file(dir.file("system.cfi"));
  ASSERT_NE(updated, old);
  // How long a whole run takes here, so that the kills spread over it.
  const auto t0 = std::chrono::steady_clock::now();
  ASSERT_TRUE(xntest::write_file(dir.file("system.cfi"), old));
  ASSERT_TRUE(xntest::wait_child(start_batch(dir, 0), 10000, st));
  const auto run_us =
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - t0)
          .count();
  std::mt19937 rng(17);
  int old_seen = 0, new_seen = 0;
  for (int i = 0; i < 40; ++i) {
    ASSERT_TRUE(xntest::write_file(dir.file("system.cfi"), old));
    const pid_t pid = start_batch(dir, 0);
    std::this_thread::sleep_for(std::chrono::microseconds(rng() % (run_us + 1)));
    kill(pid, SIGKILL);
    ASSERT_TRUE(xntest::wait_child(pid, 10000, st));
    const std::string now = xntest::read_file(dir.file("system.cfi"));
    ASSERT_TRUE(now == old || now == updated)
        << "kill " << i << ": the file is neither old nor new";
    (now == old ? old_seen : new_seen)++;
  }
  // A temporary file can outlive a kill only in the instant between its
  // naming and its rename; the next run removes it.
  ASSERT_TRUE(xntest::wait_child(start_batch(dir, 0), 10000, st));
  EXPECT_EQ(strays(dir), std::vector<std::string>{});
  EXPECT_EQ(xntest::read_file(dir.file("system.cfi")), updated);
  RecordProperty("old", old_seen);
  RecordProperty("new", new_seen);
}

} // namespace

namespace {

// Another user's file that we may write: saved, but it becomes ours, and
// the batch run says so rather than changing the owner silently.
TEST(Faults, OwnerThatCannotBeKeptIsReported) {
  if (geteuid() != 0 || !xntest::can_test_permissions())
    GTEST_SKIP() << "needs root and user nobody";
  TempDir dir;
  dir.share();
  const std::string name = dir.file("system.cfi");
  ASSERT_TRUE(xntest::write_file(name, big_old_config()));
  ASSERT_EQ(chmod(name.c_str(), 0666), 0);
  xntest::RunOptions o;
  o.args = {"-b", "system.cfi"};
  o.cwd = dir.path();
  o.as_nobody = true;
  const xntest::RunResult r = xntest::run_program(o);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("Saved, but its owner could not be kept: " + name), std::string::npos)
      << r.err;
}

} // namespace
