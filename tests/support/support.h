// Test support shared by every test executable: temporary folders, whole-file
// reads and writes, and running the built program as a child process.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

namespace xntest {

// The program under test: $XN_TEST_BINARY when set (to run the end-to-end
// tests against another build), else the one built with the tests.
std::string xn_binary();

// A fresh, empty folder under $TMPDIR (or /tmp), removed with everything in
// it when the object goes away. Mode 0700 unless share() is called.
class TempDir {
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir &) = delete;
  TempDir &operator=(const TempDir &) = delete;

  const std::string &path() const { return path_; }
  // path()/name; name may hold subfolders ("sub/a.cfi").
  std::string file(std::string_view name) const;
  // Opens the folder to every user (0777), for children run as "nobody".
  void share() const;

private:
  std::string path_;
};

// write_file creates or truncates and says whether it worked; read_file
// gives the contents, or "" when the file cannot be read.
bool write_file(const std::string &path, std::string_view data);
std::string read_file(const std::string &path);
bool file_exists(const std::string &path);

// How to run a child: stdin is /dev/null, stdout and stderr are pipes (so it
// has no terminal at all).
struct RunOptions {
  std::string program = xn_binary();
  std::vector<std::string> args; // after argv[0]
  std::vector<std::string> env;  // changes: "K=V" sets K, "K" removes it
  std::string cwd;               // "" keeps ours
  int timeout_ms = 10000;        // then SIGKILL, timed_out = true
  // When we are root, run as "nobody" so that file permissions apply.
  bool as_nobody = false;
};

struct RunResult {
  int status = -1; // exit status, or -1 when it did not exit
  int signal = 0;  // the terminating signal, or 0
  bool timed_out = false;
  std::string out, err;
};

RunResult run_program(const RunOptions &options);
RunResult run_xnconfig(const std::vector<std::string> &args, const std::string &cwd = "");

// True when permission checks can be exercised: we are not root, or user
// "nobody" exists for as_nobody to drop to.
bool can_test_permissions();

// Waits up to timeout_ms for child `pid` to end and reaps it. False when it
// is still running.
bool wait_child(pid_t pid, int timeout_ms, int &wstatus);

// Our environment with changes in the RunOptions::env form.
std::vector<std::string> child_environment(const std::vector<std::string> &changes);
// Pointers into `strings` with a terminating null, for exec; built before
// fork so that the child allocates nothing.
std::vector<char *> c_array(std::vector<std::string> &strings);
// Milliseconds from now to `deadline`, 0 once it has passed.
int ms_left(std::chrono::steady_clock::time_point deadline);

} // namespace xntest
