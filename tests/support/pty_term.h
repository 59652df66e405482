// A pseudo-terminal driver for end-to-end tests: runs a program in a new pty
// and feeds everything it writes into a real terminal emulator (libvterm), so
// that tests read the screen a user would see.
//
// Synchronisation is always by waiting for screen content or for quiet with a
// timeout, never by sleeping.
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
  std::vector<std::string> args; // after argv[0]
  std::vector<std::string> env;  // as RunOptions::env; LINES and COLUMNS are always removed
  std::string cwd;               // "" keeps ours; the window is 24 x 80, TERM xterm-256color
};

// Keys as an xterm sends them (cursor keys follow the program's keypad mode).
enum class Key { Enter, Esc, Up, Down, Backspace, End, Left, Right };

struct ExitInfo {
  bool exited = false; // ended by exit(); status is valid
  int status = -1;
  int signal = 0;         // ended by this signal
  bool timed_out = false; // still running after the timeout
};

class PtyTerm {
public:
  explicit PtyTerm(const PtyOptions &options);
  ~PtyTerm(); // kills a child still running (SIGKILL) and reaps it
  PtyTerm(const PtyTerm &) = delete;
  PtyTerm &operator=(const PtyTerm &) = delete;

  // Reads the program's output until the screen shows `text` (anywhere, or
  // at a row and column), or until pred() holds; then until it has been
  // quiet for 30 ms. False on timeout.
  bool wait_for_text(std::string_view text, int timeout_ms = 5000);
  bool wait_for_text_at(int row, int col, std::string_view text, int timeout_ms = 5000);
  bool wait_until(const std::function<bool()> &pred, int timeout_ms = 5000);
  // Reads until no output for 30 ms (true) or timeout_ms passes (false).
  bool settle(int timeout_ms = 3000);

  // A row with trailing blanks removed ("" out of range); the whole screen.
  std::string row(int n) const;
  std::string screen_text() const;
  bool contains(std::string_view text) const;
  int cursor_row() const { return cursor_row_; }
  bool cursor_visible() const { return cursor_visible_; }
  bool alt_screen() const { return alt_screen_; }
  bool alt_screen_used() const { return alt_screen_used_; } // ever switched to it
  std::size_t bytes_read() const { return bytes_read_; }    // all the program wrote

  void key(Key k);
  void type(std::string_view text) { write_master(text.data(), text.size()); }

  // New window size on the pty (the child gets SIGWINCH) and the emulator.
  void resize(int rows, int cols);
  void kill(int sig);
  // Waits for the child to end, reading its output meanwhile.
  ExitInfo wait_exit(int timeout_ms = 5000);

  // After the child ended: are the tty modes as before it started? `diff`
  // (if given) names what differs.
  bool tty_modes_restored(std::string *diff = nullptr) const;

private:
  // One poll + read; false when nothing came. Reaps the child when it ends.
  bool pump(int timeout_ms);
  bool read_all();
  void write_master(const char *bytes, std::size_t n);
  bool reap(int options);

  static void on_output(const char *s, std::size_t len, void *user);

  int master_ = -1;
  int slave_ = -1;
  int pidfd_ = -1; // readable once the child has ended
  pid_t pid_ = -1;
  ExitInfo exit_{};
  bool reaped_ = false;
  struct termios saved_ {};
  VTerm *vt_ = nullptr;
  VTermScreen *screen_ = nullptr;
  int rows_ = 24, cols_ = 80;
  std::size_t bytes_read_ = 0;
  int cursor_row_ = 0;
  bool cursor_visible_ = true;
  bool alt_screen_ = false;
  bool alt_screen_used_ = false;
  friend struct PtyCallbacks;
};

} // namespace xntest
