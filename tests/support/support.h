// Test support shared by every test executable: temporary folders, whole-file
// reads and writes, and running the built program as a child process.
#pragma once

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
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // path()/name; name may hold subfolders ("sub/a.cfi").
    std::string file(std::string_view name) const;
    // Opens the folder to every user (0777), for children run as "nobody".
    void share() const;

private:
    std::string path_;
};

// Whole-file helpers. write_file creates or truncates; both return false on
// any failure (read_file then leaves `out` empty).
bool write_file(const std::string& path, std::string_view data);
bool read_file(const std::string& path, std::string& out);
// Convenience: the contents, or "" when the file cannot be read.
std::string read_file(const std::string& path);
bool file_exists(const std::string& path);

// How to run a child. The child's stdin is /dev/null; stdout and stderr are
// pipes (so it has no terminal at all).
struct RunOptions {
    std::string program = xn_binary();  // path of the executable
    std::vector<std::string> args;    // arguments after argv[0]
    // Changes to the inherited environment: "K=V" sets K, "K" removes it.
    std::vector<std::string> env;
    std::string cwd;                  // working folder; "" keeps ours
    int timeout_ms = 10000;           // then SIGKILL, timed_out = true
    // When we are root, run as user "nobody" so that file permission checks
    // apply (read-only file tests). Ignored when we are not root.
    bool as_nobody = false;
};

struct RunResult {
    int status = -1;         // exit status, or -1 when it did not exit
    int signal = 0;          // the terminating signal, or 0
    bool timed_out = false;  // killed by us after timeout_ms
    std::string out;         // everything written to stdout
    std::string err;         // everything written to stderr
};

RunResult run_program(const RunOptions& options);
// Shorthand: run the program under test with args in cwd.
RunResult run_xnconfig(const std::vector<std::string>& args, const std::string& cwd = "");

// True when permission checks can be exercised: we are not root, or we are
// root and user "nobody" exists (so as_nobody can drop privileges).
bool can_test_permissions();

// Waits up to timeout_ms for child `pid` to end and reaps it (wstatus as
// from waitpid). False when it is still running.
bool wait_child(pid_t pid, int timeout_ms, int& wstatus);

// Builds the child's environment from ours and a list of changes in the
// RunOptions::env form. Exposed for the pseudo-terminal driver.
std::vector<std::string> child_environment(const std::vector<std::string>& changes);

}  // namespace xntest
