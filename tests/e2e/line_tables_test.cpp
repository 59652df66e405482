// The serial line, printer and queue screens through a pseudo-terminal: an
// entry retyped and copied onto the next one is saved on leaving and shown
// again when the file is reopened.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/e2e_common.h"

namespace {

using xntest::Key;
using xntest::PtyTerm;
using xntest::TempDir;

constexpr const char *kF5 = "\x1b[15~"; // as xterm sends it

struct table_case {
  const char *os; // -O
  int item;       // menu item
  const char *title;
  int col; // column of the first text field
  int width;
  const char *typed; // into entry 0
  const char *next;  // what the copy key makes of it in entry 1
  const char *saved; // a line of the saved file
};

bool menu_up(PtyTerm &t) {
  return t.wait_for_text("System Configuration") && t.wait_for_text_at(16, 20, "Selection:");
}

void open_table(PtyTerm &t, const table_case &c) {
  ASSERT_TRUE(menu_up(t)) << t.screen_text();
  for (int i = 1; i < c.item; ++i) t.key(Key::Down);
  t.key(Key::Enter);
  ASSERT_TRUE(t.wait_for_text(c.title)) << t.screen_text();
  // The rows are drawn after the frame: wait for entry 0's text.
  ASSERT_TRUE(t.wait_until([&] { return !e2e::field_text(t, 5, c.col, c.width).empty(); }))
      << t.screen_text();
}

TEST(LineTables, EntryTypedAndCopiedIsSavedAndShownAgain) {
  // clang-format off
  const table_case cases[] = {
      {"Windows", 4, "Serial Device (@SERn) Configuration", 13, 15, "COM7", "COM8", "device = COM8"},
      {"UNIX", 5, "Printer Device (@PRNn) Configuration", 22, 15, "lp5", "lp6", "device = lp6"},
      {"Windows", 6, "Printer Control Queue (PCQ) Configuration", 6, 35, "Front Desk", "Front Desk",
       "queue-name = Front Desk"},
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(c.title);
    TempDir dir;
    {
      PtyTerm t(e2e::program_in(dir, {"-O", c.os, "system.cfi"}));
      open_table(t, c);
      EXPECT_EQ(t.cursor_row(), 5);
      t.key(Key::End);
      for (int i = 0; i < c.width + 2; ++i) t.key(Key::Backspace);
      t.type(c.typed);
      t.type(kF5);
      ASSERT_TRUE(t.wait_for_text_at(6, c.col, c.next)) << t.screen_text();
      EXPECT_EQ(e2e::field_text(t, 5, c.col, c.width), c.typed);
      EXPECT_EQ(t.cursor_row(), 6) << "the copy moves to the entry written";
      t.key(Key::Esc);
      ASSERT_TRUE(menu_up(t)) << t.screen_text();
      t.key(Key::Esc);
      ASSERT_TRUE(t.wait_for_text("has been changed, do you wish to save it?")) << t.screen_text();
      t.type("y");
      const auto e = t.wait_exit();
      ASSERT_TRUE(e.exited) << t.screen_text();
      EXPECT_EQ(e.status, 0);
    }
    EXPECT_NE(xntest::read_file(dir.file("system.cfi")).find(c.saved), std::string::npos);
    PtyTerm t(e2e::program_in(dir, {"system.cfi"}));
    open_table(t, c);
    EXPECT_EQ(e2e::field_text(t, 5, c.col, c.width), c.typed) << t.screen_text();
    EXPECT_EQ(e2e::field_text(t, 6, c.col, c.width), c.next);
    t.key(Key::Esc);
    ASSERT_TRUE(menu_up(t)) << t.screen_text();
    t.key(Key::Esc);
    EXPECT_EQ(t.wait_exit().status, 0) << "nothing changed since the file was read";
  }
}

} // namespace
