// The PDF format screen through a pseudo-terminal: a margin changed on the
// form shows its new estimate at once, and is there again after saving and
// reopening the configuration.
#include <gtest/gtest.h>

#include <string>

#include "e2e/e2e_common.h"

namespace {

using xntest::Key;
using xntest::PtyTerm;
using xntest::TempDir;

constexpr const char *kSystem = "System Configuration";
constexpr const char *kFormHelp = "F3 previous, F4 next, F5 copy, ESC to exit.";
constexpr const char *kSelectorHelp = "Press <up>, <down> to alter number";

::testing::AssertionResult menu_up(PtyTerm &t) {
  if (t.wait_for_text(kSystem) && t.wait_for_text_at(16, 20, "Selection:"))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << t.screen_text();
}

// From the editor's menu to format 0 on the PDF format form.
::testing::AssertionResult open_format_zero(PtyTerm &t) {
  for (int i = 1; i < 7; ++i) t.key(Key::Down);
  t.key(Key::Enter);
  if (!t.wait_for_text("PDF Format Configuration") || !t.wait_for_text(kSelectorHelp))
    return ::testing::AssertionFailure() << "no selector\n" << t.screen_text();
  t.key(Key::Enter);
  if (!t.wait_for_text(kFormHelp))
    return ::testing::AssertionFailure() << "no form\n" << t.screen_text();
  return ::testing::AssertionSuccess();
}

TEST(PdfFormats, ChangedMarginShowsItsEstimateAndSurvivesSaving) {
  TempDir dir;
  {
    PtyTerm t(e2e::program_in(dir, {"system.cfi"}));
    ASSERT_TRUE(menu_up(t));
    ASSERT_TRUE(open_format_zero(t));
    // A new configuration's format 0 is Letter with Courier 12.
    ASSERT_TRUE(t.wait_for_text_at(20, 28, "80 characters by 60 lines")) << t.screen_text();
    // Enable?, Comment, Paper, Background Form, Top, then Left.
    for (int i = 0; i < 5; ++i) t.key(Key::Down);
    t.key(Key::End);
    for (int i = 0; i < 6; ++i) t.key(Key::Backspace);
    t.type("72");
    t.key(Key::Down);
    ASSERT_TRUE(t.wait_for_text_at(20, 28, "72 characters by 60 lines")) << t.screen_text();
    EXPECT_TRUE(t.wait_for_text_at(10, 20, "(1)")) << t.row(10);
    EXPECT_TRUE(t.wait_for_text_at(19, 28, "522 x 720 units")) << t.row(19);
    t.key(Key::Esc);
    ASSERT_TRUE(t.wait_for_text(kSelectorHelp)) << t.screen_text();
    t.key(Key::Esc);
    ASSERT_TRUE(menu_up(t));
    t.key(Key::Esc);
    ASSERT_TRUE(
        t.wait_for_text("The defaulted configuration has been changed, do you wish to save it?"))
        << t.screen_text();
    t.type("y");
    auto e = t.wait_exit();
    ASSERT_TRUE(e.exited) << t.screen_text();
    EXPECT_EQ(e.status, 0);
  }
  ASSERT_TRUE(xntest::file_exists(dir.file("system.cfi")));
  PtyTerm t(e2e::program_in(dir, {"system.cfi"}));
  ASSERT_TRUE(menu_up(t));
  ASSERT_TRUE(open_format_zero(t));
  EXPECT_TRUE(t.wait_for_text_at(20, 28, "72 characters by 60 lines")) << t.screen_text();
  EXPECT_EQ(e2e::field_text(t, 10, 15, 4), "72") << t.row(10);
  t.key(Key::Esc);
  ASSERT_TRUE(t.wait_for_text(kSelectorHelp)) << t.screen_text();
  t.key(Key::Esc);
  ASSERT_TRUE(menu_up(t));
  t.key(Key::Esc);
  auto e = t.wait_exit();
  ASSERT_TRUE(e.exited) << t.screen_text();
  EXPECT_EQ(e.status, 0) << "nothing changed, so nothing was asked";
}

} // namespace
