// Pseudo-terminal driver: a child on a new pty, its output read by libvterm.
#include "support/pty_term.h"

#include <algorithm>
#include <cerrno>
#include <chrono>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vterm.h>

namespace xntest {

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point after_ms(int ms) { return Clock::now() + std::chrono::milliseconds(ms); }

// TIOCSWINSZ on the master also sends SIGWINCH to the pty's foreground group.
void set_size(int master, int rows, int cols) {
  winsize ws{static_cast<unsigned short>(rows), static_cast<unsigned short>(cols), 0, 0};
  ioctl(master, TIOCSWINSZ, &ws);
}

// Indexed by Key.
constexpr VTermKey kKeys[] = {VTERM_KEY_ENTER, VTERM_KEY_ESCAPE,    VTERM_KEY_UP,
                              VTERM_KEY_DOWN,  VTERM_KEY_BACKSPACE, VTERM_KEY_END,
                              VTERM_KEY_LEFT,  VTERM_KEY_RIGHT};

struct ModeName {
  tcflag_t termios::*field;
  tcflag_t bit;
  const char *name;
};

// The modes a full-screen program changes and must give back.
// clang-format off
constexpr ModeName kModes[] = {
    {&termios::c_lflag, ICANON, "ICANON"}, {&termios::c_lflag, ECHO, "ECHO"},
    {&termios::c_lflag, ISIG, "ISIG"},     {&termios::c_lflag, IEXTEN, "IEXTEN"},
    {&termios::c_iflag, ICRNL, "ICRNL"},   {&termios::c_iflag, IXON, "IXON"},
    {&termios::c_oflag, OPOST, "OPOST"},   {&termios::c_oflag, ONLCR, "ONLCR"},
};
// clang-format on

} // namespace

// Bridges libvterm's C callbacks to the PtyTerm members.
struct PtyCallbacks {
  static int movecursor(VTermPos pos, VTermPos, int visible, void *user) {
    auto *t = static_cast<PtyTerm *>(user);
    t->cursor_row_ = pos.row;
    t->cursor_visible_ = visible != 0;
    return 1;
  }
  static int settermprop(VTermProp prop, VTermValue *val, void *user) {
    auto *t = static_cast<PtyTerm *>(user);
    if (prop == VTERM_PROP_ALTSCREEN) {
      t->alt_screen_ = val->boolean != 0;
      t->alt_screen_used_ = t->alt_screen_used_ || t->alt_screen_;
    }
    if (prop == VTERM_PROP_CURSORVISIBLE) t->cursor_visible_ = val->boolean != 0;
    return 1;
  }
};

namespace {

const VTermScreenCallbacks kScreenCallbacks = {
    .movecursor = PtyCallbacks::movecursor,
    .settermprop = PtyCallbacks::settermprop,
};

} // namespace

PtyTerm::PtyTerm(const PtyOptions &o) {
  vt_ = vterm_new(rows_, cols_);
  vterm_set_utf8(vt_, 1);
  vterm_output_set_callback(vt_, &PtyTerm::on_output, this);
  screen_ = vterm_obtain_screen(vt_);
  vterm_screen_enable_altscreen(screen_, 1);
  vterm_screen_set_callbacks(screen_, &kScreenCallbacks, this);
  vterm_screen_reset(screen_, 1);

  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
  const char *name = ptsname(master_);
  if (name == nullptr) return;
  std::string slave_name = name;
  // The parent keeps a slave open: reads never fail with EIO when the child
  // ends, and the modes can be checked after it has gone.
  slave_ = open(slave_name.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave_ < 0) return;
  set_size(master_, rows_, cols_);
  tcgetattr(slave_, &saved_);

  std::vector<std::string> changes = {"LINES", "COLUMNS", "TERM=xterm-256color"};
  changes.insert(changes.end(), o.env.begin(), o.env.end());
  std::vector<std::string> env_s = child_environment(changes);
  std::vector<std::string> argv_s{o.program};
  argv_s.insert(argv_s.end(), o.args.begin(), o.args.end());
  std::vector<char *> argv = c_array(argv_s), envp = c_array(env_s);

  pid_ = fork();
  if (pid_ == 0) {
    setsid();
    int fd = open(slave_name.c_str(), O_RDWR); // becomes the controlling tty
    if (fd < 0) _exit(126);
    ioctl(fd, TIOCSCTTY, 0);
    for (int i = 0; i < 3; ++i) dup2(fd, i);
    if (fd > 2) close(fd);
    signal(SIGPIPE, SIG_DFL);
    if (!o.cwd.empty() && chdir(o.cwd.c_str()) != 0) _exit(126);
    execve(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
  if (pid_ > 0) pidfd_ = static_cast<int>(syscall(SYS_pidfd_open, pid_, 0));
}

PtyTerm::~PtyTerm() {
  if (pid_ > 0 && !reaped_) {
    ::kill(pid_, SIGKILL);
    int ws = 0;
    wait_child(pid_, 5000, ws);
  }
  for (int fd : {master_, slave_, pidfd_})
    if (fd >= 0) close(fd);
  if (vt_ != nullptr) vterm_free(vt_);
}

void PtyTerm::on_output(const char *s, std::size_t len, void *user) {
  static_cast<PtyTerm *>(user)->write_master(s, len);
}

void PtyTerm::write_master(const char *bytes, std::size_t n) {
  auto deadline = after_ms(2000);
  while (n > 0 && master_ >= 0) {
    ssize_t w = write(master_, bytes, n);
    if (w > 0) {
      bytes += w;
      n -= static_cast<std::size_t>(w);
    } else if (w < 0 && (errno == EAGAIN || errno == EINTR) && ms_left(deadline) > 0) {
      pump(10); // the program is not reading: read its output so neither side blocks
    } else {
      return;
    }
  }
}

bool PtyTerm::read_all() {
  char buf[8192];
  bool got = false;
  for (;;) {
    ssize_t n = read(master_, buf, sizeof buf);
    if (n > 0) {
      bytes_read_ += static_cast<std::size_t>(n);
      vterm_input_write(vt_, buf, static_cast<std::size_t>(n));
      vterm_screen_flush_damage(screen_);
      got = true;
    } else if (n == 0 || errno != EINTR) {
      return got;
    }
  }
}

bool PtyTerm::pump(int timeout_ms) {
  if (master_ < 0) return false;
  bool watch_child = pidfd_ >= 0 && !reaped_;
  pollfd p[2] = {{master_, POLLIN, 0}, {pidfd_, POLLIN, 0}};
  if (poll(p, watch_child ? 2 : 1, reaped_ ? 0 : timeout_ms) <= 0) return false;
  bool got = read_all();
  if (watch_child && (p[1].revents & POLLIN)) {
    got = read_all() || got; // what it wrote just before ending
    reap(WNOHANG);
  }
  return got;
}

bool PtyTerm::settle(int timeout_ms) {
  constexpr int quiet_ms = 30;
  auto deadline = after_ms(timeout_ms);
  for (;;) {
    int left = ms_left(deadline);
    if (left == 0) return false;
    if (!pump(std::min(quiet_ms, left)) && (left >= quiet_ms || reaped_)) return true;
  }
}

bool PtyTerm::wait_for_text(std::string_view text, int timeout_ms) {
  return wait_until([&] { return contains(text); }, timeout_ms);
}

bool PtyTerm::wait_for_text_at(int row_n, int col, std::string_view text, int timeout_ms) {
  return wait_until(
      [&] {
        std::string r = row(row_n);
        return r.size() >= static_cast<std::size_t>(col) && r.compare(col, text.size(), text) == 0;
      },
      timeout_ms);
}

bool PtyTerm::wait_until(const std::function<bool()> &pred, int timeout_ms) {
  auto deadline = after_ms(timeout_ms);
  while (!pred()) {
    int left = ms_left(deadline);
    if (left == 0) return false;
    if (!pump(left) && reaped_) return false; // it will never hold
  }
  // The screen may still be drawing; what is measured next must not see
  // the rest of this output.
  settle(std::max(ms_left(deadline), 100));
  return pred();
}

std::string PtyTerm::row(int n) const {
  if (n < 0 || n >= rows_) return "";
  std::string s;
  for (int c = 0; c < cols_; ++c) {
    VTermScreenCell cell{};
    vterm_screen_get_cell(screen_, VTermPos{n, c}, &cell);
    if (cell.width == 0) continue; // right half of a wide glyph
    // The tests compare ASCII texts: anything else reads as '?'.
    uint32_t ch = cell.chars[0];
    s += ch == 0 ? ' ' : ch < 0x80 ? static_cast<char>(ch) : '?';
  }
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

std::string PtyTerm::screen_text() const {
  std::string s;
  for (int r = 0; r < rows_; ++r) s += row(r) + "\n";
  return s;
}

bool PtyTerm::contains(std::string_view text) const {
  return screen_text().find(text) != std::string::npos;
}

void PtyTerm::key(Key k) {
  // libvterm encodes keys as xterm does, following the program's cursor key mode.
  vterm_keyboard_key(vt_, kKeys[static_cast<int>(k)], VTERM_MOD_NONE);
}

void PtyTerm::resize(int rows, int cols) {
  rows_ = rows;
  cols_ = cols;
  vterm_set_size(vt_, rows, cols);
  set_size(master_, rows, cols);
}

void PtyTerm::kill(int sig) {
  if (pid_ > 0 && !reaped_) ::kill(pid_, sig);
}

bool PtyTerm::reap(int options) {
  if (reaped_) return true;
  int ws = 0;
  if (waitpid(pid_, &ws, options) != pid_) return false;
  reaped_ = true;
  exit_.exited = WIFEXITED(ws);
  exit_.status = WIFEXITED(ws) ? WEXITSTATUS(ws) : -1;
  exit_.signal = WIFSIGNALED(ws) ? WTERMSIG(ws) : 0;
  return true;
}

ExitInfo PtyTerm::wait_exit(int timeout_ms) {
  if (pid_ <= 0) return {};
  auto deadline = after_ms(timeout_ms);
  // Keep reading while waiting: a program blocked on a full pty never ends.
  while (!reaped_) {
    int left = ms_left(deadline);
    if (left == 0) return ExitInfo{.timed_out = true};
    if (!pump(pidfd_ >= 0 ? left : std::min(left, 5))) reap(WNOHANG);
  }
  while (pump(0)) {}
  return exit_;
}

bool PtyTerm::tty_modes_restored(std::string *diff) const {
  termios now{};
  std::string d;
  if (slave_ < 0 || tcgetattr(slave_, &now) != 0) now = saved_, d = "no terminal ";
  for (const auto &m : kModes)
    if (((saved_.*m.field) ^ (now.*m.field)) & m.bit) d += std::string(m.name) + " ";
  if (saved_.c_cc[VMIN] != now.c_cc[VMIN] && (now.c_lflag & ICANON) == 0) d += "VMIN ";
  if (diff != nullptr) *diff = d;
  return d.empty();
}

} // namespace xntest
