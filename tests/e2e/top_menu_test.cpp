// The built program driven through a pseudo-terminal: the top menu, its
// keys, how the program ends and what it leaves of the terminal.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <string>

#include "e2e/e2e_common.h"

namespace {

using xntest::Key;
using xntest::PtyTerm;
using xntest::TempDir;

// The terminal is given back: modes, main screen, visible cursor.
void expect_terminal_restored(const PtyTerm &t) {
  std::string diff;
  EXPECT_TRUE(t.tty_modes_restored(&diff)) << diff;
  EXPECT_FALSE(t.alt_screen());
  EXPECT_TRUE(t.cursor_visible());
}

TEST(TopMenu, IsDrawnAtItsPositions) {
  TempDir dir;
  PtyTerm t(e2e::program_in(dir));
  ASSERT_TRUE(e2e::wait_menu(t)) << t.screen_text();
  // The title is centred: it starts at column 40 - L/2.
  std::string title = t.row(0);
  std::size_t start = title.find_first_not_of(' ');
  ASSERT_NE(start, std::string::npos) << "no title";
  EXPECT_EQ(start, 40 - (title.size() - start) / 2) << title;
  // clang-format off
    struct Landmark {
        int row;
        const char* text;  // from column 20, nothing to its left
    } landmarks[] = {
        {4, " 1. Configure System Configurations (.cfi)"},
        {5, " 2. Configure Terminal Descriptions (.tdi)"},
        {6, " 3. Configure Printer Translations (.pti)"},
        {10, "Selection:"},
    };
  // clang-format on
  for (const auto &l : landmarks)
    EXPECT_EQ(t.row(l.row).rfind(std::string(20, ' ') + l.text, 0), 0u) << t.row(l.row);
  EXPECT_EQ(e2e::selection(t), "1");
  EXPECT_EQ(t.row(22), std::string(18, ' ') + e2e::kHelpLine);
  for (int r : {1, 3, 7, 9, 11, 21, 23}) EXPECT_EQ(t.row(r), "") << "row " << r;
  EXPECT_TRUE(t.alt_screen());
}

// Each key changes one value: a program that repaints the whole screen (or
// even the whole line) per key costs far more than 20 bytes.
TEST(TopMenu, UpAndDownStepTheSelectionWithWrapAndFewBytes) {
  TempDir dir;
  PtyTerm t(e2e::program_in(dir));
  ASSERT_TRUE(e2e::wait_menu(t)) << t.screen_text();
  ASSERT_TRUE(t.settle());
  struct Step {
    Key key;
    const char *shown;
  } steps[] = {
      {Key::Down, "2"}, {Key::Down, "3"}, {Key::Down, "1"}, {Key::Up, "3"}, {Key::Up, "2"}};
  for (const auto &s : steps) {
    SCOPED_TRACE(s.shown);
    std::size_t before = t.bytes_read();
    t.key(s.key);
    ASSERT_TRUE(e2e::wait_selection(t, s.shown)) << t.screen_text();
    ASSERT_TRUE(t.settle());
    EXPECT_EQ(t.cursor_row(), 10) << "the cursor stays in the selection field";
    EXPECT_LE(t.bytes_read() - before, 20u) << "bytes for one key";
  }
}

TEST(TopMenu, EscEndsWithZeroAndGivesTheTerminalBack) {
  TempDir dir;
  PtyTerm t(e2e::program_in(dir));
  ASSERT_TRUE(e2e::wait_menu(t)) << t.screen_text();
  auto pressed = std::chrono::steady_clock::now();
  t.key(Key::Esc);
  auto e = t.wait_exit();
  ASSERT_FALSE(e.timed_out) << "ESC did not end the program";
  // A lone ESC acts at once, not after a second of waiting for the rest of
  // a sequence; the bound leaves room for a loaded machine.
  EXPECT_LT(std::chrono::steady_clock::now() - pressed, std::chrono::milliseconds(700));
  EXPECT_TRUE(e.exited);
  EXPECT_EQ(e.status, 0);
  expect_terminal_restored(t);
  EXPECT_FALSE(xntest::file_exists(dir.file("system.cfi")));
}

// However the program is told to stop, the terminal is given back; a crash
// signal is raised again after that, so the program still dies of it.
TEST(TopMenu, SignalsGiveTheTerminalBack) {
  for (int sig : {SIGTERM, SIGSEGV}) {
    SCOPED_TRACE(sig);
    TempDir dir;
    PtyTerm t(e2e::program_in(dir));
    ASSERT_TRUE(e2e::wait_menu(t)) << t.screen_text();
    t.kill(sig);
    auto e = t.wait_exit();
    ASSERT_FALSE(e.timed_out);
    if (sig == SIGSEGV) {
      EXPECT_EQ(e.signal, SIGSEGV);
    }
    expect_terminal_restored(t);
  }
}

TEST(TopMenu, TooSmallTerminalShowsAMessageUntilItGrowsBack) {
  TempDir dir;
  PtyTerm t(e2e::program_in(dir));
  ASSERT_TRUE(e2e::wait_menu(t)) << t.screen_text();
  t.key(Key::Down);
  ASSERT_TRUE(e2e::wait_selection(t, "2"));
  t.resize(20, 70);
  // A message that fits the small screen instead of the menu.
  ASSERT_TRUE(t.wait_until([&] { return !t.contains("Selection:") && t.contains("80"); }))
      << t.screen_text();
  t.resize(24, 80);
  ASSERT_TRUE(e2e::wait_menu(t)) << t.screen_text();
  // Redrawn with the state of the menu kept.
  EXPECT_EQ(e2e::selection(t), "2");
  EXPECT_EQ(t.row(4).substr(20), " 1. Configure System Configurations (.cfi)");
  t.key(Key::Esc);
  EXPECT_EQ(t.wait_exit().status, 0);
}

// A refused operand ends the program before the screen is opened: the
// message is plain output and nothing is drawn or written.
TEST(Operands, RefusedBeforeTheScreenOpens) {
  TempDir dir;
  PtyTerm t(e2e::program_in(dir, {"x.Cf"}));
  auto e = t.wait_exit();
  ASSERT_TRUE(e.exited) << t.screen_text();
  EXPECT_EQ(e.status, 1);
  EXPECT_TRUE(t.contains("x.Cf")) << t.screen_text();
  EXPECT_FALSE(t.alt_screen_used());
  EXPECT_TRUE(t.tty_modes_restored());
  EXPECT_FALSE(xntest::file_exists(dir.file("x.Cf")));
}

// Without a terminal the program ends with 6 and sends no screen control.
TEST(Operands, NoTerminalEndsWithSix) {
  for (const char *operand : {"system.cfi", "vt.tdi"}) {
    SCOPED_TRACE(operand);
    TempDir dir;
    auto r = xntest::run_xnconfig({operand}, dir.path());
    EXPECT_EQ(r.status, 6) << r.out << r.err;
    EXPECT_EQ((r.out + r.err).find('\x1b'), std::string::npos) << r.out << r.err;
    EXPECT_NE(r.err.find("not a terminal"), std::string::npos) << "say why, not only the version";
    EXPECT_FALSE(xntest::file_exists(dir.file(operand)));
  }
}

} // namespace
