// Temporary folders, whole-file helpers and running a child process for tests.
#include "support/support.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
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

extern char** environ;

namespace xntest {

namespace {

std::string temp_root() {
    const char* t = std::getenv("TMPDIR");
    return (t != nullptr && *t != '\0') ? t : "/tmp";
}

// Pointers into `strings` with a terminating null, for exec. Built before
// fork so that the child allocates nothing.
std::vector<char*> c_array(std::vector<std::string>& strings) {
    std::vector<char*> out;
    for (auto& s : strings) out.push_back(s.data());
    out.push_back(nullptr);
    return out;
}

using Clock = std::chrono::steady_clock;

int ms_left(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() < 0 ? 0 : static_cast<int>(left.count());
}

struct Identity {
    bool drop = false;
    uid_t uid = 0;
    gid_t gid = 0;
};

Identity nobody_identity(bool wanted) {
    Identity id;
    if (!wanted || geteuid() != 0) return id;
    if (const passwd* pw = getpwnam("nobody")) {
        id.drop = true;
        id.uid = pw->pw_uid;
        id.gid = pw->pw_gid;
    }
    return id;
}

// Drains whichever pipe is readable; returns false once both are closed.
bool drain(int& out_fd, int& err_fd, std::string& out, std::string& err, int timeout_ms) {
    pollfd fds[2] = {{out_fd, POLLIN, 0}, {err_fd, POLLIN, 0}};
    if (poll(fds, 2, timeout_ms) <= 0) return out_fd >= 0 || err_fd >= 0;
    int* fdp[2] = {&out_fd, &err_fd};
    std::string* sink[2] = {&out, &err};
    char buf[4096];
    for (int i = 0; i < 2; ++i) {
        if (*fdp[i] < 0 || fds[i].revents == 0) continue;
        ssize_t n = read(*fdp[i], buf, sizeof buf);
        if (n > 0) {
            sink[i]->append(buf, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            close(*fdp[i]);
            *fdp[i] = -1;
        }
    }
    return out_fd >= 0 || err_fd >= 0;
}

void decode_status(int wstatus, RunResult& r) {
    if (WIFEXITED(wstatus)) r.status = WEXITSTATUS(wstatus);
    if (WIFSIGNALED(wstatus)) r.signal = WTERMSIG(wstatus);
}

}  // namespace

std::string xn_binary() {
    const char* b = std::getenv("XN_TEST_BINARY");
    return (b != nullptr && *b != '\0') ? b : XN_BINARY;
}

TempDir::TempDir() {
    std::string tmpl = temp_root() + "/xntest-XXXXXX";
    if (mkdtemp(tmpl.data()) != nullptr) path_ = tmpl;
}

TempDir::~TempDir() {
    if (path_.empty()) return;
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string TempDir::file(std::string_view name) const {
    return path_ + "/" + std::string(name);
}

void TempDir::share() const {
    chmod(path_.c_str(), 0777);
}

bool write_file(const std::string& path, std::string_view data) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    if (!f) return false;
    f.write(data.data(), static_cast<std::streamsize>(data.size()));
    f.close();
    return !f.fail();
}

bool read_file(const std::string& path, std::string& out) {
    out.clear();
    std::ifstream f(path, std::ios::binary);
    if (!f) return false;
    std::ostringstream ss;
    ss << f.rdbuf();
    if (f.bad()) return false;
    out = ss.str();
    return true;
}

std::string read_file(const std::string& path) {
    std::string s;
    read_file(path, s);
    return s;
}

bool file_exists(const std::string& path) {
    struct stat st{};
    return stat(path.c_str(), &st) == 0;
}

std::vector<std::string> child_environment(const std::vector<std::string>& changes) {
    std::vector<std::string> env;
    for (char** e = environ; e != nullptr && *e != nullptr; ++e) env.emplace_back(*e);
    for (const auto& change : changes) {
        std::string key = change.substr(0, change.find('='));
        std::erase_if(env, [&](const std::string& s) {
            return s.compare(0, key.size() + 1, key + "=") == 0;
        });
        if (change.find('=') != std::string::npos) env.push_back(change);
    }
    return env;
}

bool can_test_permissions() {
    return geteuid() != 0 || getpwnam("nobody") != nullptr;
}

RunResult run_program(const RunOptions& o) {
    RunResult r;
    std::vector<std::string> argv_s{o.program};
    argv_s.insert(argv_s.end(), o.args.begin(), o.args.end());
    std::vector<std::string> env_s = child_environment(o.env);
    std::vector<char*> argv = c_array(argv_s);
    std::vector<char*> envp = c_array(env_s);
    Identity id = nobody_identity(o.as_nobody);

    int out_pipe[2], err_pipe[2];
    if (pipe2(out_pipe, O_CLOEXEC) != 0) return r;
    if (pipe2(err_pipe, O_CLOEXEC) != 0) {
        close(out_pipe[0]);
        close(out_pipe[1]);
        return r;
    }
    pid_t pid = fork();
    if (pid == 0) {
        int devnull = open("/dev/null", O_RDONLY);
        dup2(devnull, 0);
        dup2(out_pipe[1], 1);
        dup2(err_pipe[1], 2);
        setpgid(0, 0);
        if (!o.cwd.empty() && chdir(o.cwd.c_str()) != 0) _exit(126);
        if (id.drop && (setgroups(0, nullptr) != 0 || setgid(id.gid) != 0 || setuid(id.uid) != 0))
            _exit(126);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    close(out_pipe[1]);
    close(err_pipe[1]);
    int out_fd = out_pipe[0], err_fd = err_pipe[0];
    if (pid < 0) {
        close(out_fd);
        close(err_fd);
        return r;
    }
    auto deadline = Clock::now() + std::chrono::milliseconds(o.timeout_ms);
    while (drain(out_fd, err_fd, r.out, r.err, ms_left(deadline))) {
        if (ms_left(deadline) == 0) {
            r.timed_out = true;
            ::kill(-pid, SIGKILL);
            ::kill(pid, SIGKILL);
            break;
        }
    }
    if (out_fd >= 0) close(out_fd);
    if (err_fd >= 0) close(err_fd);
    // Pipes closed: the child has exited or closed them; wait with the same
    // deadline so that a child that closed its output but hangs is killed.
    int wstatus = 0;
    if (!wait_child(pid, ms_left(deadline), wstatus)) {
        r.timed_out = true;
        ::kill(-pid, SIGKILL);
        ::kill(pid, SIGKILL);
        if (!wait_child(pid, 5000, wstatus)) return r;
    }
    decode_status(wstatus, r);
    return r;
}

bool wait_child(pid_t pid, int timeout_ms, int& wstatus) {
    auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    for (;;) {
        pid_t w = waitpid(pid, &wstatus, WNOHANG);
        if (w == pid || (w < 0 && errno != EINTR)) break;
        if (w == 0 && ms_left(deadline) == 0) {
            if (pidfd >= 0) close(pidfd);
            return false;
        }
        // The pidfd becomes readable when the child ends; without one (old
        // kernels) fall back to re-checking every few milliseconds.
        pollfd p{pidfd, POLLIN, 0};
        poll(&p, pidfd >= 0 ? 1 : 0, pidfd >= 0 ? ms_left(deadline) : 2);
    }
    if (pidfd >= 0) close(pidfd);
    return true;
}

RunResult run_xnconfig(const std::vector<std::string>& args, const std::string& cwd) {
    RunOptions o;
    o.args = args;
    o.cwd = cwd;
    return run_program(o);
}

}  // namespace xntest
