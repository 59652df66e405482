// Temporary folders, whole-file helpers and running a child process for tests.
#include "support/support.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace xntest {

namespace {

using Clock = std::chrono::steady_clock;

// Reads whichever pipe is readable; false once both are closed.
bool drain(int (&fd)[2], std::string *(&sink)[2], int timeout_ms) {
  pollfd fds[2] = {{fd[0], POLLIN, 0}, {fd[1], POLLIN, 0}};
  if (poll(fds, 2, timeout_ms) > 0) {
    char buf[4096];
    for (int i = 0; i < 2; ++i) {
      if (fd[i] < 0 || fds[i].revents == 0) continue;
      ssize_t n = read(fd[i], buf, sizeof buf);
      if (n > 0) {
        sink[i]->append(buf, static_cast<std::size_t>(n));
      } else if (n == 0 || errno != EINTR) {
        close(fd[i]);
        fd[i] = -1;
      }
    }
  }
  return fd[0] >= 0 || fd[1] >= 0;
}

} // namespace

std::string xn_binary() {
  const char *b = std::getenv("XN_TEST_BINARY");
  return (b != nullptr && *b != '\0') ? b : XN_BINARY;
}

TempDir::TempDir() {
  const char *t = std::getenv("TMPDIR");
  std::string tmpl = std::string(t != nullptr && *t != '\0' ? t : "/tmp") + "/xntest-XXXXXX";
  if (mkdtemp(tmpl.data()) != nullptr) path_ = tmpl;
}

TempDir::~TempDir() {
  std::error_code ec;
  if (!path_.empty()) std::filesystem::remove_all(path_, ec);
}

std::string TempDir::file(std::string_view name) const { return path_ + "/" + std::string(name); }

void TempDir::share() const { chmod(path_.c_str(), 0777); }

bool write_file(const std::string &path, std::string_view data) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(data.data(), static_cast<std::streamsize>(data.size()));
  f.close();
  return !f.fail();
}

std::string read_file(const std::string &path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream ss;
  if (f) ss << f.rdbuf();
  return ss.str();
}

bool file_exists(const std::string &path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

std::vector<std::string> child_environment(const std::vector<std::string> &changes) {
  std::vector<std::string> env;
  for (char **e = environ; e != nullptr && *e != nullptr; ++e) env.emplace_back(*e);
  for (const auto &change : changes) {
    std::string key = change.substr(0, change.find('=')) + "=";
    std::erase_if(env, [&](const std::string &s) { return s.starts_with(key); });
    if (change.find('=') != std::string::npos) env.push_back(change);
  }
  return env;
}

int ms_left(std::chrono::steady_clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() < 0 ? 0 : static_cast<int>(left.count());
}

std::vector<char *> c_array(std::vector<std::string> &strings) {
  std::vector<char *> out;
  for (auto &s : strings) out.push_back(s.data());
  out.push_back(nullptr);
  return out;
}

bool can_test_permissions() { return geteuid() != 0 || getpwnam("nobody") != nullptr; }

RunResult run_program(const RunOptions &o) {
  RunResult r;
  std::vector<std::string> argv_s{o.program};
  argv_s.insert(argv_s.end(), o.args.begin(), o.args.end());
  std::vector<std::string> env_s = child_environment(o.env);
  std::vector<char *> argv = c_array(argv_s), envp = c_array(env_s);
  const passwd *nobody = o.as_nobody && geteuid() == 0 ? getpwnam("nobody") : nullptr;
  uid_t uid = nobody ? nobody->pw_uid : 0;
  gid_t gid = nobody ? nobody->pw_gid : 0;

  int out_pipe[2], err_pipe[2];
  if (pipe2(out_pipe, O_CLOEXEC) != 0) return r;
  if (pipe2(err_pipe, O_CLOEXEC) != 0) {
    close(out_pipe[0]);
    close(out_pipe[1]);
    return r;
  }
  pid_t pid = fork();
  if (pid == 0) {
    dup2(open("/dev/null", O_RDONLY), 0);
    dup2(out_pipe[1], 1);
    dup2(err_pipe[1], 2);
    setpgid(0, 0);
    if (!o.cwd.empty() && chdir(o.cwd.c_str()) != 0) _exit(126);
    if (nobody && (setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0)) _exit(126);
    execve(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  close(out_pipe[1]);
  close(err_pipe[1]);
  int fd[2] = {out_pipe[0], err_pipe[0]};
  std::string *sink[2] = {&r.out, &r.err};
  auto deadline = Clock::now() + std::chrono::milliseconds(o.timeout_ms);
  while (pid > 0 && drain(fd, sink, ms_left(deadline)) && ms_left(deadline) > 0) {}
  for (int f : fd)
    if (f >= 0) close(f);
  if (pid < 0) return r;
  // A child that closed its output but hangs is killed at the same deadline.
  int wstatus = 0;
  if (!wait_child(pid, ms_left(deadline), wstatus)) {
    r.timed_out = true;
    ::kill(-pid, SIGKILL);
    ::kill(pid, SIGKILL);
    if (!wait_child(pid, 5000, wstatus)) return r;
  }
  if (WIFEXITED(wstatus)) r.status = WEXITSTATUS(wstatus);
  if (WIFSIGNALED(wstatus)) r.signal = WTERMSIG(wstatus);
  return r;
}

bool wait_child(pid_t pid, int timeout_ms, int &wstatus) {
  auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  bool ended = true;
  for (;;) {
    pid_t w = waitpid(pid, &wstatus, WNOHANG);
    if (w == pid || (w < 0 && errno != EINTR)) break;
    if (w == 0 && ms_left(deadline) == 0) {
      ended = false;
      break;
    }
    // The pidfd becomes readable when the child ends; without one (old
    // kernels) re-check every few milliseconds.
    pollfd p{pidfd, POLLIN, 0};
    poll(&p, pidfd >= 0 ? 1 : 0, pidfd >= 0 ? ms_left(deadline) : 2);
  }
  if (pidfd >= 0) close(pidfd);
  return ended;
}

RunResult run_xnconfig(const std::vector<std::string> &args, const std::string &cwd) {
  RunOptions o;
  o.args = args;
  o.cwd = cwd;
  return run_program(o);
}

} // namespace xntest
