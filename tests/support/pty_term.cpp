// Pseudo-terminal driver: a child on a new pty, its output read by libvterm.
#include "support/pty_term.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include <signal.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vterm.h>

#include "support/support.h"

namespace xntest {

namespace {

using Clock = std::chrono::steady_clock;

int ms_until(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() < 0 ? 0 : static_cast<int>(left.count());
}

Clock::time_point after_ms(int ms) {
    return Clock::now() + std::chrono::milliseconds(ms);
}

void append_utf8(std::string& s, uint32_t c) {
    if (c < 0x80) {
        s += static_cast<char>(c);
    } else if (c < 0x800) {
        s += static_cast<char>(0xC0 | (c >> 6));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        s += static_cast<char>(0xE0 | (c >> 12));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | (c >> 18));
        s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
}

VTermKey vterm_key(Key k) {
    switch (k) {
    case Key::Enter: return VTERM_KEY_ENTER;
    case Key::Esc: return VTERM_KEY_ESCAPE;
    case Key::Up: return VTERM_KEY_UP;
    case Key::Down: return VTERM_KEY_DOWN;
    case Key::Left: return VTERM_KEY_LEFT;
    case Key::Right: return VTERM_KEY_RIGHT;
    case Key::Tab: case Key::BackTab: return VTERM_KEY_TAB;
    case Key::Backspace: return VTERM_KEY_BACKSPACE;
    case Key::Delete: return VTERM_KEY_DEL;
    case Key::Home: return VTERM_KEY_HOME;
    case Key::End: return VTERM_KEY_END;
    case Key::PageUp: return VTERM_KEY_PAGEUP;
    case Key::PageDown: return VTERM_KEY_PAGEDOWN;
    case Key::F1: return static_cast<VTermKey>(VTERM_KEY_FUNCTION(1));
    case Key::F2: return static_cast<VTermKey>(VTERM_KEY_FUNCTION(2));
    case Key::F3: return static_cast<VTermKey>(VTERM_KEY_FUNCTION(3));
    case Key::F4: return static_cast<VTermKey>(VTERM_KEY_FUNCTION(4));
    case Key::F5: return static_cast<VTermKey>(VTERM_KEY_FUNCTION(5));
    case Key::F6: return static_cast<VTermKey>(VTERM_KEY_FUNCTION(6));
    }
    return VTERM_KEY_NONE;
}

struct ModeName {
    tcflag_t termios::*field;
    tcflag_t bit;
    const char* name;
};

// The modes a full-screen program changes and must give back.
constexpr ModeName kModes[] = {
    {&termios::c_lflag, ICANON, "ICANON"}, {&termios::c_lflag, ECHO, "ECHO"},
    {&termios::c_lflag, ISIG, "ISIG"},     {&termios::c_lflag, IEXTEN, "IEXTEN"},
    {&termios::c_iflag, ICRNL, "ICRNL"},   {&termios::c_iflag, IXON, "IXON"},
    {&termios::c_oflag, OPOST, "OPOST"},   {&termios::c_oflag, ONLCR, "ONLCR"},
};

}  // namespace

// Bridges libvterm's C callbacks to the PtyTerm members.
struct PtyCallbacks {
    static int movecursor(VTermPos pos, VTermPos, int visible, void* user) {
        auto* t = static_cast<PtyTerm*>(user);
        t->cursor_ = {pos.row, pos.col};
        t->cursor_visible_ = visible != 0;
        return 1;
    }
    static int settermprop(VTermProp prop, VTermValue* val, void* user) {
        auto* t = static_cast<PtyTerm*>(user);
        if (prop == VTERM_PROP_ALTSCREEN) {
            t->alt_screen_ = val->boolean != 0;
            t->alt_screen_used_ = t->alt_screen_used_ || t->alt_screen_;
        }
        if (prop == VTERM_PROP_CURSORVISIBLE) t->cursor_visible_ = val->boolean != 0;
        return 1;
    }
    static int bell(void* user) {
        ++static_cast<PtyTerm*>(user)->bells_;
        return 1;
    }
};

namespace {

const VTermScreenCallbacks kScreenCallbacks = {
    .damage = nullptr,
    .moverect = nullptr,
    .movecursor = PtyCallbacks::movecursor,
    .settermprop = PtyCallbacks::settermprop,
    .bell = PtyCallbacks::bell,
    .resize = nullptr,
    .sb_pushline = nullptr,
    .sb_popline = nullptr,
};

}  // namespace

PtyTerm::PtyTerm(const PtyOptions& o) : rows_(o.rows), cols_(o.cols) {
    vt_ = vterm_new(rows_, cols_);
    vterm_set_utf8(vt_, 1);
    vterm_output_set_callback(vt_, &PtyTerm::on_output, this);
    screen_ = vterm_obtain_screen(vt_);
    vterm_screen_enable_altscreen(screen_, 1);
    vterm_screen_set_callbacks(screen_, &kScreenCallbacks, this);
    vterm_screen_reset(screen_, 1);

    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
    const char* name = ptsname(master_);
    if (name == nullptr) return;
    std::string slave_name = name;
    // The parent keeps a slave open: reads never fail with EIO when the child
    // ends, and the modes can be checked after it has gone.
    slave_ = open(slave_name.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) return;
    winsize ws{};
    ws.ws_row = static_cast<unsigned short>(rows_);
    ws.ws_col = static_cast<unsigned short>(cols_);
    ioctl(master_, TIOCSWINSZ, &ws);
    tcgetattr(slave_, &saved_);

    std::vector<std::string> changes = {"LINES", "COLUMNS", "TERM=" + o.term};
    changes.insert(changes.end(), o.env.begin(), o.env.end());
    std::vector<std::string> env_s = child_environment(changes);
    std::vector<std::string> argv_s{o.program};
    argv_s.insert(argv_s.end(), o.args.begin(), o.args.end());
    std::vector<char*> argv, envp;
    for (auto& s : argv_s) argv.push_back(s.data());
    argv.push_back(nullptr);
    for (auto& s : env_s) envp.push_back(s.data());
    envp.push_back(nullptr);

    pid_ = fork();
    if (pid_ == 0) {
        setsid();
        int fd = open(slave_name.c_str(), O_RDWR);  // becomes the controlling tty
        if (fd < 0) _exit(126);
        ioctl(fd, TIOCSCTTY, 0);
        dup2(fd, 0);
        dup2(fd, 1);
        dup2(fd, 2);
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
    if (master_ >= 0) close(master_);
    if (slave_ >= 0) close(slave_);
    if (pidfd_ >= 0) close(pidfd_);
    if (vt_ != nullptr) vterm_free(vt_);
}

void PtyTerm::on_output(const char* s, std::size_t len, void* user) {
    static_cast<PtyTerm*>(user)->write_master(s, len);
}

void PtyTerm::write_master(const char* bytes, std::size_t n) {
    auto deadline = after_ms(2000);
    while (n > 0 && master_ >= 0) {
        ssize_t w = write(master_, bytes, n);
        if (w > 0) {
            bytes += w;
            n -= static_cast<std::size_t>(w);
        } else if (w < 0 && (errno == EAGAIN || errno == EINTR)) {
            // The program is not reading: read its output so that neither
            // side blocks, then try again.
            if (ms_until(deadline) == 0) return;
            pump(10);
        } else {
            return;
        }
    }
}

void PtyTerm::feed(const char* bytes, std::size_t n) {
    bytes_read_ += n;
    vterm_input_write(vt_, bytes, n);
    vterm_screen_flush_damage(screen_);
}

bool PtyTerm::read_all() {
    char buf[8192];
    bool got = false;
    for (;;) {
        ssize_t n = read(master_, buf, sizeof buf);
        if (n > 0) {
            feed(buf, static_cast<std::size_t>(n));
            got = true;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        return got;
    }
}

bool PtyTerm::pump(int timeout_ms) {
    if (master_ < 0) return false;
    bool watch_child = pidfd_ >= 0 && !reaped_;
    pollfd p[2] = {{master_, POLLIN, 0}, {pidfd_, POLLIN, 0}};
    if (poll(p, watch_child ? 2 : 1, reaped_ ? 0 : timeout_ms) <= 0) return false;
    bool got = read_all();
    if (watch_child && (p[1].revents & POLLIN)) {
        got = read_all() || got;  // what it wrote just before ending
        reap(WNOHANG);
    }
    return got;
}

bool PtyTerm::settle(int quiet_ms, int timeout_ms) {
    auto deadline = after_ms(timeout_ms);
    for (;;) {
        int left = ms_until(deadline);
        if (left == 0) return false;
        if (!pump(std::min(quiet_ms, left))) {
            if (left >= quiet_ms || reaped_) return true;
        }
    }
}

bool PtyTerm::wait_for_text(std::string_view text, int timeout_ms) {
    return wait_for_text_at(-1, -1, text, timeout_ms);
}

bool PtyTerm::wait_for_text_at(int row_n, int col, std::string_view text, int timeout_ms) {
    return wait_until(
        [&] {
            if (row_n < 0) return contains(text);
            std::string r = row(row_n);
            if (col < 0) return r.find(text) != std::string::npos;
            return r.size() >= static_cast<std::size_t>(col) && r.compare(col, text.size(), text) == 0;
        },
        timeout_ms);
}

bool PtyTerm::wait_until(const std::function<bool()>& pred, int timeout_ms) {
    auto deadline = after_ms(timeout_ms);
    while (!pred()) {
        int left = ms_until(deadline);
        if (left == 0) return false;
        if (!pump(left) && reaped_) return false;  // it will never hold
    }
    // The screen may still be drawing; what is measured next must not see
    // the rest of this output.
    settle(30, std::max(ms_until(deadline), 100));
    return pred();
}

bool PtyTerm::wait_for_gone(std::string_view text, int timeout_ms) {
    auto deadline = after_ms(timeout_ms);
    while (contains(text)) {
        int left = ms_until(deadline);
        if (left == 0) return false;
        if (!pump(left) && reaped_) return false;
    }
    return true;
}

std::string PtyTerm::row(int n) const {
    if (n < 0 || n >= rows_) return "";
    std::string s;
    for (int c = 0; c < cols_; ++c) {
        VTermScreenCell cell{};
        vterm_screen_get_cell(screen_, VTermPos{n, c}, &cell);
        if (cell.width == 0) continue;  // right half of a wide glyph
        if (cell.chars[0] == 0) {
            s += ' ';
            continue;
        }
        for (int i = 0; i < VTERM_MAX_CHARS_PER_CELL && cell.chars[i] != 0; ++i)
            append_utf8(s, cell.chars[i]);
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
    for (int r = 0; r < rows_; ++r)
        if (row(r).find(text) != std::string::npos) return true;
    return false;
}

Cell PtyTerm::cell(int row_n, int col) const {
    Cell out;
    VTermScreenCell c{};
    if (vterm_screen_get_cell(screen_, VTermPos{row_n, col}, &c) == 0) return out;
    if (c.chars[0] == 0) out.text = " ";
    for (int i = 0; i < VTERM_MAX_CHARS_PER_CELL && c.chars[i] != 0; ++i)
        append_utf8(out.text, c.chars[i]);
    out.bold = c.attrs.bold != 0;
    out.underline = c.attrs.underline != 0;
    out.blink = c.attrs.blink != 0;
    out.reverse = c.attrs.reverse != 0;
    out.fg_default = VTERM_COLOR_IS_DEFAULT_FG(&c.fg);
    out.bg_default = VTERM_COLOR_IS_DEFAULT_BG(&c.bg);
    if (VTERM_COLOR_IS_INDEXED(&c.fg)) out.fg = c.fg.indexed.idx;
    if (VTERM_COLOR_IS_INDEXED(&c.bg)) out.bg = c.bg.indexed.idx;
    return out;
}

void PtyTerm::send(std::string_view bytes) {
    write_master(bytes.data(), bytes.size());
}

void PtyTerm::key(Key k) {
    // libvterm encodes keys as xterm does, following the program's cursor
    // key mode; Shift-Tab is the one that needs a modifier.
    VTermModifier mod = k == Key::BackTab ? VTERM_MOD_SHIFT : VTERM_MOD_NONE;
    vterm_keyboard_key(vt_, vterm_key(k), mod);
}

void PtyTerm::resize(int rows, int cols) {
    rows_ = rows;
    cols_ = cols;
    vterm_set_size(vt_, rows, cols);
    winsize ws{};
    ws.ws_row = static_cast<unsigned short>(rows);
    ws.ws_col = static_cast<unsigned short>(cols);
    // TIOCSWINSZ on the master sends SIGWINCH to the pty's foreground group.
    ioctl(master_, TIOCSWINSZ, &ws);
}

void PtyTerm::kill(int sig) {
    if (pid_ > 0 && !reaped_) ::kill(pid_, sig);
}

bool PtyTerm::reap(int options) {
    if (reaped_) return true;
    int ws = 0;
    pid_t w = waitpid(pid_, &ws, options);
    if (w != pid_) return false;
    reaped_ = true;
    exit_.exited = WIFEXITED(ws);
    exit_.status = WIFEXITED(ws) ? WEXITSTATUS(ws) : -1;
    exit_.signal = WIFSIGNALED(ws) ? WTERMSIG(ws) : 0;
    return true;
}

ExitInfo PtyTerm::wait_exit(int timeout_ms) {
    if (pid_ <= 0) return {};
    auto deadline = after_ms(timeout_ms);
    // Keep reading while waiting: a program blocked on a full pty never
    // ends. The pidfd wakes us the moment the child is gone.
    while (!reaped_) {
        int left = ms_until(deadline);
        if (left == 0) {
            ExitInfo t;
            t.timed_out = true;
            return t;
        }
        if (!pump(pidfd_ >= 0 ? left : std::min(left, 5))) reap(WNOHANG);
    }
    while (pump(0)) {
    }
    return exit_;
}

bool PtyTerm::tty_modes_restored(std::string* diff) const {
    termios now{};
    if (slave_ < 0 || tcgetattr(slave_, &now) != 0) {
        if (diff != nullptr) *diff = "no terminal";
        return false;
    }
    std::string d;
    for (const auto& m : kModes)
        if (((saved_.*m.field) ^ (now.*m.field)) & m.bit) d += std::string(m.name) + " ";
    if (saved_.c_cc[VMIN] != now.c_cc[VMIN] && (now.c_lflag & ICANON) == 0) d += "VMIN ";
    if (diff != nullptr) *diff = d;
    return d.empty();
}

}  // namespace xntest
