// The terminal backend itself over a real pseudo-terminal, run in a child
// process: the paths the program's own runs seldom take.
#include <gtest/gtest.h>

#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "lib/scrn.h"

namespace {

bool same_modes(const termios &a, const termios &b) {
  return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_lflag == b.c_lflag;
}

// Runs body() in a child on a new 24 x 80 pty; returns the child's exit
// status (-1 if it did not exit) and what it wrote.
int run_on_pty(int (*body)(), std::string *out) {
  int master = -1;
  winsize ws{24, 80, 0, 0};
  const pid_t pid = forkpty(&master, nullptr, nullptr, &ws);
  if (pid < 0) return -1;
  if (pid == 0) {
    setenv("TERM", "xterm-256color", 1);
    unsetenv("LINES");
    unsetenv("COLUMNS");
    _exit(body());
  }
  char buf[4096];
  pollfd p{master, POLLIN, 0};
  while (poll(&p, 1, 5000) > 0) {
    const ssize_t n = read(master, buf, sizeof buf);
    if (n <= 0) break;
    out->append(buf, static_cast<size_t>(n));
  }
  int status = 0;
  if (waitpid(pid, &status, WNOHANG) == 0) kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
  close(master);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// 0: opened and closed with the modes as before; 1: modes differ; 2: no screen.
int open_and_close_before_drawing() {
  termios before{}, after{};
  tcgetattr(STDIN_FILENO, &before);
  if (connect_scrn(0, 0) != 0) return 2;
  disconnect_scrn();
  tcgetattr(STDIN_FILENO, &after);
  return same_modes(before, after) ? 0 : 1;
}

// The first update is held back until something is drawn, and curses is
// suspended until then: closing before that must still give the modes back
// and must not leave the terminal in its alternate screen.
TEST(TerminalScreen, ClosedBeforeAnythingIsDrawnGivesTheTerminalBack) {
  std::string out;
  EXPECT_EQ(run_on_pty(open_and_close_before_drawing, &out), 0) << out;
  const size_t entered = out.rfind("\033[?1049h");
  const size_t left = out.rfind("\033[?1049l");
  if (entered != std::string::npos) {
    EXPECT_NE(left, std::string::npos);
    EXPECT_GT(left, entered) << "left in the alternate screen";
  }
}

} // namespace
