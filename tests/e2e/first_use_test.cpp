// What a new user meets first, through a pseudo-terminal: long folder names,
// a relative change of directory, a terminal too small for the forms, a
// message longer than 80 columns and the demo's first screen.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "e2e/e2e_common.h"

namespace {

using xntest::Key;
using xntest::PtyTerm;
using xntest::TempDir;

constexpr const char *kSystem = "System Configuration";

::testing::AssertionResult editor_menu(PtyTerm &t, const char *title) {
  if (t.wait_for_text(title) && t.wait_for_text_at(16, 20, "Selection:"))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "no menu \"" << title << "\"\n" << t.screen_text();
}

// Types the item's number into the menu's Selection field.
void choose(PtyTerm &t, int n) {
  t.type(std::to_string(n));
  t.key(Key::Enter);
}

// Replaces the field being edited: to its end, back over `length`
// characters and a few more, then types.
void retype(PtyTerm &t, std::size_t length, const std::string &text) {
  t.key(Key::End);
  for (std::size_t i = 0; i < length + 2; ++i) t.key(Key::Backspace);
  t.type(text);
}

// System parameters: the process count set to 42, back to the menu.
void change_processes(PtyTerm &t) {
  choose(t, 1);
  ASSERT_TRUE(t.wait_for_text("Number of processes allowed")) << t.screen_text();
  retype(t, 5, "42");
  t.key(Key::Esc);
  ASSERT_TRUE(editor_menu(t, kSystem));
}

// The folder is longer than the 62 columns of the name lines: the proposed
// name scrolls instead of being cut, and Enter saves where it says.
TEST(FirstUse, AFolderLongerThanTheNameLinesIsSavedToWhole) {
  TempDir dir;
  const std::string deep = dir.file(std::string(40, 'a') + "/" + std::string(40, 'b'));
  std::filesystem::create_directories(deep);
  xntest::PtyOptions o = e2e::program_in(dir, {"system.cfi"});
  o.cwd = deep;
  PtyTerm t(o);
  ASSERT_TRUE(editor_menu(t, kSystem));
  // The Directory line (columns 17 to 78) shows that the name goes on.
  EXPECT_EQ(t.row(18).substr(78, 1), ">") << t.row(18);
  change_processes(t);
  choose(t, 9); // Save: the proposed name on the Save(d) line
  ASSERT_TRUE(t.wait_until([&] { return t.cursor_row() == 20; })) << t.screen_text();
  // Edited from its end: the start is hidden behind the mark.
  ASSERT_TRUE(t.wait_until([&] { return t.row(20).substr(17, 1) == "<"; })) << t.row(20);
  EXPECT_NE(t.row(20).find("bbbb/system.cfi"), std::string::npos) << t.row(20);
  t.key(Key::Enter);
  ASSERT_TRUE(editor_menu(t, kSystem));
  t.key(Key::Esc);
  auto e = t.wait_exit();
  ASSERT_TRUE(e.exited) << t.screen_text();
  EXPECT_EQ(e.status, 0);
  EXPECT_NE(xntest::read_file(deep + "/system.cfi").find("processes = 42"), std::string::npos);
}

// "a/b" typed as the new directory is made full at once, in each editor:
// the line shows the full path, and later names are not resolved again
// from inside it.
TEST(FirstUse, ARelativeDirectoryIsMadeFull) {
  // clang-format off
    const struct {
        const char* operand;
        const char* title;
        int item;
    } editors[] = {
        {"system.cfi", kSystem, 8},
        {"vt.tdi", "Terminal Description (XNTERM) Configuration", 7},
        {"job.pti", "Printer Translation Configuration", 5},
    };
  // clang-format on
  for (const auto &ed : editors) {
    SCOPED_TRACE(ed.operand);
    TempDir dir;
    std::filesystem::create_directories(dir.file("a/b/a/b"));
    PtyTerm t(e2e::program_in(dir, {ed.operand}));
    ASSERT_TRUE(editor_menu(t, ed.title));
    const std::string want = dir.path() + "/a/b";
    for (int pass = 0; pass < 2; ++pass) {
      // The second pass starts from the full name and types it again
      // whole: the same folder, not a/b/a/b.
      choose(t, ed.item);
      ASSERT_TRUE(t.wait_until([&] { return t.cursor_row() == 18; })) << t.screen_text();
      retype(t, pass == 0 ? dir.path().size() : want.size(), pass == 0 ? "a/b" : want);
      t.key(Key::Enter);
      ASSERT_TRUE(editor_menu(t, ed.title));
      EXPECT_TRUE(t.wait_until([&] { return e2e::field_text(t, 18, 17, 62) == want; }))
          << t.row(18) << "\nwant " << want;
    }
    t.key(Key::Esc);
    auto e = t.wait_exit();
    ASSERT_TRUE(e.exited) << t.screen_text();
    EXPECT_EQ(e.status, 0);
  }
}

// Below 80x24 the forms cannot be used, but ESC or Ctrl-C still leave: with
// nothing unsaved as after ESC, with unsaved changes into a side file.
TEST(FirstUse, EscOrInterruptLeavesATooSmallTerminal) {
  // clang-format off
    const struct {
        const char* what;
        bool change;
        const char* key;
        int status;
    } cases[] = {
        {"nothing unsaved, ESC", false, "\x1b", 0},
        {"nothing unsaved, Ctrl-C", false, "\x03", 0},
        {"unsaved changes, ESC", true, "\x1b", 1},
    };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    PtyTerm t(e2e::program_in(dir, {"system.cfi"}));
    ASSERT_TRUE(editor_menu(t, kSystem));
    if (c.change) change_processes(t);
    t.resize(20, 70);
    ASSERT_TRUE(t.wait_for_text("ESC leaves")) << t.screen_text();
    t.type(c.key);
    auto e = t.wait_exit();
    ASSERT_TRUE(e.exited) << t.screen_text();
    EXPECT_EQ(e.status, c.status);
    EXPECT_TRUE(t.tty_modes_restored());
    EXPECT_FALSE(xntest::file_exists(dir.file("system.cfi")));
    EXPECT_EQ(xntest::read_file(dir.file("system.cfi.save")).find("processes = 42") !=
                  std::string::npos,
              c.change);
    EXPECT_EQ(t.contains("system.cfi.save"), c.change) << t.screen_text();
  }
}

// A message longer than 80 columns goes on in a wider terminal: the name
// at its end is not cut.
TEST(FirstUse, AMessageUsesTheWholeWidthOfTheTerminal) {
  TempDir dir;
  const std::string operand = "no-such-folder-" + std::string(70, 'x') + "/system.cfi";
  PtyTerm t(e2e::program_in(dir, {operand}));
  t.resize(24, 160);
  ASSERT_TRUE(t.wait_for_text("No such directory")) << t.screen_text();
  EXPECT_TRUE(t.wait_until([&] { return t.row(23).find("xxx/system.cfi") != std::string::npos; }))
      << t.row(23);
  EXPECT_GT(t.row(23).size(), 100u);
  t.key(Key::Esc);
  EXPECT_TRUE(t.wait_exit().exited) << t.screen_text();
}

// The demo starts on a configuration that exists, so its first screen
// carries no error.
TEST(FirstUse, TheDemoOpensWithoutAnError) {
  TempDir dir;
  xntest::PtyOptions o = e2e::program_in(dir, {xntest::xn_binary(), dir.file("demo")});
  o.program = std::string(XN_TEST_DATA) + "/../../scripts/demo-start";
  PtyTerm t(o);
  ASSERT_TRUE(editor_menu(t, kSystem));
  ASSERT_TRUE(t.wait_for_text_at(19, 1, "Retrieved file: ")) << t.screen_text();
  ASSERT_TRUE(t.settle());
  EXPECT_NE(t.row(19).find("demo/system.cfi"), std::string::npos) << t.row(19);
  EXPECT_EQ(t.row(23), "") << t.screen_text();
  t.key(Key::Esc);
  auto e = t.wait_exit();
  ASSERT_TRUE(e.exited) << t.screen_text();
  EXPECT_EQ(e.status, 0);
}

} // namespace
