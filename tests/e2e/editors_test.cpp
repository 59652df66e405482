// The three editors driven through a pseudo-terminal: a change made on a
// screen, saved on leaving, is seen again when the saved file is reopened.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <string>

#include "e2e/e2e_common.h"
#include "lib/pti_store.h"
#include "lib/strs.h"

namespace {

using xntest::Key;
using xntest::PtyTerm;
using xntest::TempDir;

// The one file in `dir` whose name ends with `ext`, or "".
std::string saved_file(const TempDir &dir, const std::string &ext) {
  std::string found;
  int n = 0;
  for (const auto &e : std::filesystem::directory_iterator(dir.path())) {
    std::string name = e.path().filename().string();
    if (name.ends_with(ext) && ++n) found = name;
  }
  return n == 1 ? found : "";
}

// The editor's menu is up: its title and its "Selection:" line are drawn.
::testing::AssertionResult editor_menu(PtyTerm &t, const char *title) {
  if (t.wait_for_text(title) && t.wait_for_text_at(16, 20, "Selection:"))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "no menu \"" << title << "\"\n" << t.screen_text();
}

// Chooses menu item n (from the proposed item 1) by stepping down to it.
void choose(PtyTerm &t, int n) {
  for (int i = 1; i < n; ++i) t.key(Key::Down);
  t.key(Key::Enter);
}

// Replaces the field being edited with `text`: to its end, back over
// `length` characters (a few more ring the bell and do no harm), then types.
void retype(PtyTerm &t, std::size_t length, const std::string &text) {
  t.key(Key::End);
  for (std::size_t i = 0; i < length + 2; ++i) t.key(Key::Backspace);
  t.type(text);
}

// A field drawn from (row, col) that wraps onto the next rows from column 0.
std::string wrapped_field(const PtyTerm &t, int row, int col, int rows) {
  std::string s;
  for (int r = row; r < row + rows; ++r) {
    std::string line = t.row(r);
    line.resize(80, ' ');
    s += r == row ? line.substr(col) : line;
  }
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

// Leaves the editor: answers Yes to `question` (and confirms the proposed
// name when asked) or, with no question, expects none; ends with 0.
void leave(PtyTerm &t, const char *question = nullptr, bool confirm_name = false) {
  t.key(Key::Esc);
  if (question != nullptr) {
    ASSERT_TRUE(t.wait_for_text(question)) << t.screen_text();
    t.type("y");
    if (confirm_name) {
      ASSERT_TRUE(t.wait_for_text_at(20, 1, "Save(d) file: ")) << t.screen_text();
      t.key(Key::Enter);
    }
  }
  auto e = t.wait_exit();
  ASSERT_TRUE(e.exited) << t.screen_text();
  EXPECT_EQ(e.status, 0) << t.screen_text();
  EXPECT_TRUE(t.tty_modes_restored());
}

constexpr const char *kSystem = "System Configuration";

TEST(SystemEditor, ChangedParameterIsSavedOnLeavingAndReadBack) {
  TempDir dir;
  {
    PtyTerm t(e2e::program_in(dir, {"system.cfi"}));
    ASSERT_TRUE(editor_menu(t, kSystem));
    choose(t, 1);
    ASSERT_TRUE(t.wait_for_text("Number of processes allowed")) << t.screen_text();
    EXPECT_EQ(t.cursor_row(), 2);
    retype(t, 5, "42");
    t.key(Key::Esc);
    ASSERT_TRUE(editor_menu(t, kSystem));
    EXPECT_TRUE(e2e::wait_selection(t, "2", 16)) << "after item 1 the menu proposes item 2";
    ASSERT_FALSE(xntest::file_exists(dir.file("system.cfi")));
    leave(t, "The defaulted configuration has been changed, do you wish to save it?");
  }
  const std::string saved = xntest::read_file(dir.file("system.cfi"));
  ASSERT_FALSE(saved.empty());
  {
    PtyTerm t(e2e::program_in(dir, {"system.cfi"}));
    ASSERT_TRUE(editor_menu(t, kSystem));
    EXPECT_TRUE(t.wait_for_text_at(19, 1, "Retrieved file: ")) << t.screen_text();
    EXPECT_NE(t.row(19).find("system.cfi"), std::string::npos) << t.row(19);
    choose(t, 1);
    ASSERT_TRUE(t.wait_for_text("Number of processes allowed")) << t.screen_text();
    EXPECT_EQ(e2e::field_text(t, 2, 30, 5), "42") << t.row(2);
    // A hang-up with unsaved changes writes them beside the file, never
    // over it.
    retype(t, 5, "43");
    t.key(Key::Esc);
    ASSERT_TRUE(editor_menu(t, kSystem));
    t.kill(SIGHUP);
    EXPECT_FALSE(t.wait_exit().timed_out);
    EXPECT_TRUE(t.tty_modes_restored());
  }
  EXPECT_EQ(xntest::read_file(dir.file("system.cfi")), saved);
  EXPECT_NE(xntest::read_file(dir.file("system.cfi.save")).find("processes = 43"),
            std::string::npos);
}

TEST(TerminalEditor, NewDescriptionIsSavedAndItsParametersReadBack) {
  const char *title = "Terminal Description (XNTERM) Configuration";
  TempDir dir;
  {
    PtyTerm t(e2e::program_in(dir, {"vt.tdi"}));
    ASSERT_TRUE(editor_menu(t, title));
    choose(t, 3);
    ASSERT_TRUE(t.wait_for_text_at(5, 23, "Sequence Timeout (.1 sec): ")) << t.screen_text();
    EXPECT_EQ(t.cursor_row(), 5);
    retype(t, 2, "17");
    t.key(Key::Esc);
    ASSERT_TRUE(editor_menu(t, title));
    leave(t, "The base description has been changed, do you wish to save it?", true);
  }
  std::string saved = saved_file(dir, ".tdi");
  ASSERT_FALSE(saved.empty()) << "expected one saved description";
  PtyTerm t(e2e::program_in(dir, {saved}));
  ASSERT_TRUE(editor_menu(t, title));
  // The Name line shows the file's simple name without its extension.
  EXPECT_TRUE(t.wait_for_text_at(2, 24, saved.substr(0, saved.size() - 4))) << t.row(2);
  choose(t, 3);
  ASSERT_TRUE(t.wait_for_text_at(5, 23, "Sequence Timeout (.1 sec): ")) << t.screen_text();
  EXPECT_EQ(e2e::field_text(t, 5, 50, 2), "17") << t.row(5);
  t.key(Key::Esc);
  ASSERT_TRUE(editor_menu(t, title));
  leave(t);
}

// The canonical text of `typed` in the byte-string notation.
std::string canonical(const char *typed) {
  uint8_t bytes[PTI_MAX_CTRL_BYTES];
  uint16_t length = PTI_MAX_CTRL_BYTES;
  char text[PTI_TEXT_BUF] = {};
  if (pti_asctobytestring(typed, bytes, &length) == 0)
    pti_bytestringtoasc(bytes, static_cast<uint8_t>(length), text);
  return text;
}

TEST(PrinterEditor, JobControlStringIsShownCanonicalAndSurvivesSaving) {
  const char *title = "Printer Translation Configuration";
  // Stands for two bytes, but is not how the notation writes them.
  const std::string typed = "\\x1B\\x45", expected = canonical(typed.c_str());
  ASSERT_FALSE(expected.empty());
  ASSERT_NE(expected, typed);
  auto open_strings = [&](PtyTerm &t) {
    ASSERT_TRUE(editor_menu(t, title));
    choose(t, 3);
    ASSERT_TRUE(t.wait_for_text("Job Control String Configuration")) << t.screen_text();
    ASSERT_TRUE(t.wait_for_text_at(5, 0, ctrl_name_str[0])) << t.screen_text();
  };
  TempDir dir;
  {
    PtyTerm t(e2e::program_in(dir, {"job.pti"}));
    open_strings(t);
    t.key(Key::Enter); // past Enable? and Use File? to the value
    t.key(Key::Enter);
    ASSERT_TRUE(t.settle());
    ASSERT_EQ(t.cursor_row(), 5);
    retype(t, wrapped_field(t, 5, 28, 4).size(), typed);
    t.key(Key::Enter); // leaving the row reads and stores the value
    ASSERT_TRUE(t.wait_for_text_at(5, 28, expected)) << t.screen_text();
    EXPECT_EQ(wrapped_field(t, 5, 28, 4), expected);
    t.key(Key::Esc);
    ASSERT_TRUE(editor_menu(t, title));
    leave(t, "The base translation has been changed, do you wish to save it?", true);
  }
  std::string saved = saved_file(dir, ".pti");
  ASSERT_FALSE(saved.empty()) << "expected one saved translation";
  PtyTerm t(e2e::program_in(dir, {saved}));
  open_strings(t);
  EXPECT_EQ(wrapped_field(t, 5, 28, 4), expected);
  t.key(Key::Esc);
  ASSERT_TRUE(editor_menu(t, title));
  leave(t);
}

TEST(TerminalEditor, DisplayCharacterIsShownDescribedAndSavedWithTheDescription) {
  const char *title = "Terminal Description (XNTERM) Configuration";
  auto open_map = [&](PtyTerm &t) {
    ASSERT_TRUE(editor_menu(t, title));
    choose(t, 5);
    ASSERT_TRUE(t.wait_for_text("Display Character Configuration")) << t.screen_text();
    ASSERT_TRUE(t.wait_for_text_at(7, 0, "  0 000 00  Ctrl-@")) << t.screen_text();
  };
  TempDir dir;
  {
    PtyTerm t(e2e::program_in(dir, {"vt.tdi"}));
    open_map(t);
    EXPECT_EQ(t.cursor_row(), 7);
    retype(t, 5, "x");
    t.key(Key::Enter); // code 0 now shows x; the cursor goes on to code 1
    ASSERT_TRUE(t.wait_for_text_at(7, 64, "(x)")) << t.screen_text();
    EXPECT_EQ(e2e::field_text(t, 7, 40, 22), "120 170 78  ASCII \"x\"");
    t.key(Key::Up); // and Up twice shows the last page
    t.key(Key::Up);
    ASSERT_TRUE(t.wait_for_text_at(20, 0, "255 377 FF")) << t.screen_text();
    t.key(Key::Esc);
    ASSERT_TRUE(editor_menu(t, title));
    leave(t, "The base description has been changed, do you wish to save it?", true);
  }
  std::string saved = saved_file(dir, ".tdi");
  ASSERT_FALSE(saved.empty()) << "expected one saved description";
  PtyTerm t(e2e::program_in(dir, {saved}));
  open_map(t);
  EXPECT_EQ(e2e::field_text(t, 7, 30, 5), "x") << t.row(7);
  t.key(Key::Esc);
  ASSERT_TRUE(editor_menu(t, title));
  leave(t);
}

TEST(PrinterEditor, CharacterMapEntryOfTwoBytesIsSavedAndReadBack) {
  const char *title = "Printer Translation Configuration";
  auto open_map = [&](PtyTerm &t) {
    ASSERT_TRUE(editor_menu(t, title));
    choose(t, 4);
    ASSERT_TRUE(t.wait_for_text("Character Mapping Configuration")) << t.screen_text();
    ASSERT_TRUE(t.wait_for_text_at(6, 0, "  0 000 00  Ctrl-@")) << t.screen_text();
  };
  TempDir dir;
  {
    PtyTerm t(e2e::program_in(dir, {"map.pti"}));
    open_map(t);
    EXPECT_EQ(t.cursor_row(), 6);
    retype(t, 44, "AB");
    t.key(Key::Enter);
    ASSERT_TRUE(t.wait_for_text_at(6, 69, "---")) << t.screen_text();
    t.key(Key::Esc);
    ASSERT_TRUE(editor_menu(t, title));
    leave(t, "The base translation has been changed, do you wish to save it?", true);
  }
  std::string saved = saved_file(dir, ".pti");
  ASSERT_FALSE(saved.empty()) << "expected one saved translation";
  PtyTerm t(e2e::program_in(dir, {saved}));
  open_map(t);
  EXPECT_EQ(e2e::field_text(t, 6, 24, 44), "AB") << t.row(6);
  t.key(Key::Esc);
  ASSERT_TRUE(editor_menu(t, title));
  leave(t);
}

} // namespace
