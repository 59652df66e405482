// A pseudo-terminal driver for end-to-end tests: runs a program in a new pty
// and feeds everything it writes into a real terminal emulator (libvterm), so
// that tests read the screen a user would see.
//
// Synchronisation is always by waiting for screen content or for quiet with a
// timeout, never by sleeping. Typical use:
//
//   xntest::PtyTerm t({.args = {"system.cfi"}, .cwd = dir.path()});
//   ASSERT_TRUE(t.wait_for_text("Selection:")) << t.screen_text();
//   t.key(xntest::Key::Down);
//   t.settle();
//   EXPECT_EQ(t.row(10).substr(35, 1), "2");
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <termios.h>
#include <sys/types.h>

#include "support/support.h"

struct VTerm;
struct VTermScreen;

namespace xntest {

struct PtyOptions {
    std::string program = xn_binary();
    std::vector<std::string> args;   // after argv[0]
    std::vector<std::string> env;    // "K=V" sets, "K" removes (LINES and COLUMNS are always removed)
    std::string cwd;                 // "" keeps ours
    int rows = 24;
    int cols = 80;
    std::string term = "xterm-256color";
};

// Keys as an xterm sends them (cursor keys follow the program's keypad mode).
enum class Key { Enter, Esc, Up, Down, Left, Right, Tab, BackTab, Backspace, Delete,
                 Home, End, PageUp, PageDown, F1, F2, F3, F4, F5, F6 };

struct Cell {
    std::string text;  // UTF-8 of the cell, " " when empty
    bool bold = false, underline = false, blink = false, reverse = false;
    bool fg_default = true, bg_default = true;
    int fg = -1, bg = -1;  // palette index when indexed, else -1
};

struct Pos {
    int row = 0;
    int col = 0;
};

struct ExitInfo {
    bool exited = false;     // ended by exit(); status is valid
    int status = -1;
    int signal = 0;          // ended by this signal
    bool timed_out = false;  // still running after the timeout
};

class PtyTerm {
public:
    explicit PtyTerm(const PtyOptions& options);
    ~PtyTerm();  // kills a child still running (SIGKILL) and reaps it
    PtyTerm(const PtyTerm&) = delete;
    PtyTerm& operator=(const PtyTerm&) = delete;

    bool started() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }

    // Reads the program's output until the screen shows `text` anywhere,
    // then until it has been quiet for 30 ms. False on timeout.
    bool wait_for_text(std::string_view text, int timeout_ms = 5000);
    // Same, at a given row (and column when col >= 0).
    bool wait_for_text_at(int row, int col, std::string_view text, int timeout_ms = 5000);
    // Until pred() holds (checked after every read), then settled as above.
    bool wait_until(const std::function<bool()>& pred, int timeout_ms = 5000);
    // Until `text` is no longer on the screen.
    bool wait_for_gone(std::string_view text, int timeout_ms = 5000);
    // Reads until no output for quiet_ms (true) or timeout_ms passes (false).
    bool settle(int quiet_ms = 30, int timeout_ms = 3000);

    // Screen contents. row() has trailing blanks removed; a row out of
    // range gives "".
    std::string row(int n) const;
    std::string screen_text() const;  // every row, '\n' after each
    bool contains(std::string_view text) const;
    Cell cell(int row, int col) const;
    Pos cursor() const { return cursor_; }
    bool cursor_visible() const { return cursor_visible_; }
    bool alt_screen() const { return alt_screen_; }
    // True once the program has switched to the alternate screen at all.
    bool alt_screen_used() const { return alt_screen_used_; }
    int bells() const { return bells_; }
    int rows() const { return rows_; }
    int cols() const { return cols_; }

    // Total bytes the program has written so far.
    std::size_t bytes_read() const { return bytes_read_; }

    void send(std::string_view bytes);
    void key(Key k);
    void type(std::string_view text) { send(text); }

    // New window size: TIOCSWINSZ on the pty (the child gets SIGWINCH) and
    // the emulator resized to match.
    void resize(int rows, int cols);
    void kill(int sig);
    // Waits for the child to end, reading its output meanwhile.
    ExitInfo wait_exit(int timeout_ms = 5000);

    // After the child ended: are the tty modes as they were before it
    // started? `diff` (if given) names what differs.
    bool tty_modes_restored(std::string* diff = nullptr) const;

private:
    // One poll + read; false when nothing came. Returns early, and reaps,
    // when the child ends.
    bool pump(int timeout_ms);
    bool read_all();
    void feed(const char* bytes, std::size_t n);
    void write_master(const char* bytes, std::size_t n);
    bool reap(int options);

    static void on_output(const char* s, std::size_t len, void* user);

    int master_ = -1;
    int slave_ = -1;
    int pidfd_ = -1;  // readable once the child has ended
    pid_t pid_ = -1;
    ExitInfo exit_{};
    bool reaped_ = false;
    struct termios saved_{};
    VTerm* vt_ = nullptr;
    VTermScreen* screen_ = nullptr;
    int rows_ = 24, cols_ = 80;
    std::size_t bytes_read_ = 0;
    Pos cursor_{};
    bool cursor_visible_ = true;
    bool alt_screen_ = false;
    bool alt_screen_used_ = false;
    int bells_ = 0;
    friend struct PtyCallbacks;
};

}  // namespace xntest
