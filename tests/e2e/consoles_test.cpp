// The consoles screen through a pseudo-terminal: a console edited and
// copied onto the next one is saved, and both are there when the file is
// opened again.
#include <gtest/gtest.h>

#include <string>

#include "e2e/e2e_common.h"

namespace {

using xntest::Key;
using xntest::PtyTerm;
using xntest::TempDir;

constexpr const char *kTitle = "Console and Program Environment Configuration";
constexpr const char *kF5 = "\x1b[15~"; // as an xterm sends it

// The editor's menu with its selection line, then menu item 3.
::testing::AssertionResult open_consoles(PtyTerm &t) {
  if (!t.wait_for_text("System Configuration") || !t.wait_for_text_at(16, 20, "Selection:"))
    return ::testing::AssertionFailure() << "no editor menu\n" << t.screen_text();
  t.type("3");
  t.key(Key::Enter);
  if (!t.wait_for_text(kTitle)) return ::testing::AssertionFailure() << t.screen_text();
  return ::testing::AssertionSuccess();
}

// The number prompt shows console n, previewed with its device and XNTERM=.
::testing::AssertionResult shows(PtyTerm &t, const std::string &n, const std::string &device,
                                 const std::string &term) {
  const bool ok = t.wait_until([&] {
    return e2e::field_text(t, 1, 46, 4) == n && e2e::field_text(t, 3, 25, 15) == device &&
           e2e::field_text(t, 14, 7, 15) == term;
  });
  if (ok) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "console " << n << " " << device << " " << term << " not shown\n"
         << t.screen_text();
}

TEST(Consoles, EditedConsoleCopiedToTheNextIsSavedAndReadBack) {
  TempDir dir;
  {
    PtyTerm t(e2e::program_in(dir, {"system.cfi"}));
    ASSERT_TRUE(open_consoles(t));
    t.type("2");
    t.key(Key::Enter);
    ASSERT_TRUE(t.wait_for_text("F5 copy")) << t.screen_text();
    // Enable it and give it a terminal (XNTERM= is 21 fields on), then copy.
    t.type("y");
    for (int i = 0; i < 21; ++i) t.key(Key::Down);
    t.type("vt220");
    t.type(kF5);
    ASSERT_TRUE(shows(t, "3", "CON3", "vt220"));
    EXPECT_EQ(e2e::field_text(t, 3, 8, 1), "Y");
    t.key(Key::Esc);
    ASSERT_TRUE(t.wait_for_text("Enter to select")) << t.screen_text();
    t.key(Key::Esc);
    ASSERT_TRUE(t.wait_for_text_at(16, 20, "Selection:")) << t.screen_text();
    t.key(Key::Esc);
    ASSERT_TRUE(t.wait_for_text("do you wish to save it?")) << t.screen_text();
    t.type("y");
    auto e = t.wait_exit();
    ASSERT_TRUE(e.exited) << t.screen_text();
    EXPECT_EQ(e.status, 0);
  }
  const std::string saved = xntest::read_file(dir.file("system.cfi"));
  EXPECT_NE(saved.find("[console 3]"), std::string::npos) << saved;
  PtyTerm t(e2e::program_in(dir, {"system.cfi"}));
  ASSERT_TRUE(open_consoles(t));
  t.type("3");
  t.key(Key::Enter);
  ASSERT_TRUE(shows(t, "3", "CON3", "vt220"));
  EXPECT_EQ(e2e::field_text(t, 3, 8, 1), "Y");
  t.key(Key::Esc);
  ASSERT_TRUE(t.wait_for_text("Enter to select")) << t.screen_text();
  t.key(Key::Up);
  ASSERT_TRUE(shows(t, "2", "CON2", "vt220"));
  t.key(Key::Esc);
  ASSERT_TRUE(t.wait_for_text_at(16, 20, "Selection:")) << t.screen_text();
  t.key(Key::Esc);
  auto e = t.wait_exit();
  ASSERT_TRUE(e.exited) << t.screen_text();
  EXPECT_EQ(e.status, 0) << "nothing changed, nothing asked";
}

} // namespace
