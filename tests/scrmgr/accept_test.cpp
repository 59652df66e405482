// The input loop's movement between fields and its ending keys, and the
// yes/no prompt.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lib/kern.h"

#include "scrmgr_fixture.h"

using namespace scrmgr_test;

namespace {

// Fields: 0 label, 1 yes/no, 2 label, 3 yes/no, 4 yes/no, 5 hidden yes/no.
// Yes/no fields leave on every up, down and ending key without changing
// anything, so the loop's own moves are what the cases see.
TEST(AcceptMenu, Navigation) {
  // clang-format off
  const struct {
    const char *name; uint16_t form_flags, start; std::vector<uint16_t> keys;
    int want_status; uint16_t want_key, want_field; int want_bells;
  } cases[] = {
      {"starts on the first input after a label", 0, 0, {ESC}, 0, ESC, 1, 0},
      {"nothing to enter after the start", 0, 5, {}, 1, 0, 5, 0},
      {"enter through to the end, past the hidden field", 0, 0, {ENTER, ENTER, ENTER}, 0, ENTER, 4, 0},
      {"up without vmove rings and stays", 0, 1, {UP, ESC}, 0, ESC, 1, 1},
      {"vmove: up from first wraps to last", FORM_VMOVE, 1, {UP, ESC}, 0, ESC, 4, 0},
      {"vmove: down from last wraps past hidden", FORM_VMOVE, 4, {DOWN, ESC}, 0, ESC, 1, 0},
      {"vmove: prev and next", FORM_VMOVE, 1, {KEY_NEXT, KEY_NEXT, KEY_PREV, ESC}, 0, ESC, 3, 0},
      {"F5 rings without fkeys", 0, 1, {KEY_F5, ESC}, 0, ESC, 1, 1},
      {"F5 ends with fkeys", FORM_FKEYS, 3, {KEY_F5}, 0, KEY_F5, 3, 0},
      {"line: F2 on last moves to first", FORM_LINE, 4, {KEY_F2, ESC}, 0, ESC, 1, 0},
      {"line: F1 on first moves to last", FORM_LINE, 1, {KEY_F1, ESC}, 0, ESC, 4, 0},
      {"line: up ends", FORM_LINE, 3, {UP}, 0, KEY_UP, 3, 0},
      {"line: down with a number ends as its class", FORM_LINE, 3, {DOWN | 0x12}, 0, KEY_DOWN, 3, 0},
      {"a key whose low byte is 1 ends as ESC", FORM_VMOVE, 1, {KEY_NEXT | 1}, 0, ESC, 1, 0},
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    fresh(c.keys);
    // clang-format off
    form_field fields[6] = {
        label(FF_STATIC, 0, 0, 5, "Title"),
        field(FIELD_YESNO, IN, 2, 10, 1, 0, 0, 1),
        label(FF_STATIC, 3, 0, 5, "Part2"),
        field(FIELD_YESNO, IN, 4, 10, 1, 0, 0, 1),
        field(FIELD_YESNO, IN, 5, 10, 1, 0, 0, 1),
        field(FIELD_YESNO, IN | FF_HIDDEN, 6, 10, 1, 0, 0, 1),
    };
    // clang-format on
    form f = make_form(c.form_flags, fields);
    uint16_t index = c.start, key = 0;
    EXPECT_EQ(accept_menu(&f, &index, &key), c.want_status);
    if (c.want_status == 0) {
      EXPECT_EQ(key, c.want_key);
    }
    EXPECT_EQ(index, c.want_field);
    EXPECT_EQ(memscreen_bells(), c.want_bells);
    EXPECT_EQ(memscreen_keys_left(), 0u);
  }
  memscreen_release();
}

TEST_F(ScreenTest, LoopEndsOnBadKindAndLibraryStatus) {
  form_field fields[3] = {field(7, IN, 2, 10, 1), field(FIELD_YESNO, IN, 2, 10, 1, 0, 0, 1),
                          field(FIELD_YESNO, IN, 3, 10, 1, 0, 0, 1)};
  form f = make_form(0, fields);
  fresh({ENTER});
  uint16_t index = 0, key = 0;
  EXPECT_EQ(accept_menu(&f, &index, &key), 1);
  EXPECT_EQ(memscreen_keys_left(), 1u);
  index = 1; // the script runs out in field 2
  EXPECT_EQ(accept_menu(&f, &index, &key), ST_SCRIPT_END);
  EXPECT_EQ(index, 2);
}

// Each refusal of the screen manager leaves a trace line naming its place.
TEST_F(ScreenTest, TraceLinesNameTheirPlace) {
  // clang-format off
  const struct {
    const char *name; form_field fld; std::vector<uint16_t> keys; int want_status; int line;
    const char *function;
  } cases[] = {
      {"too wide to draw", label(IN, 3, 5, 256, "x"), {}, 1, 234, "display_field"},
      {"number past 65535", field(FIELD_NUMBER, IN, 3, 5, 5, 0, 0, 65535), typed("70000", {ENTER, ENTER}), 0, 533, "accept_num_field"},
      {"no input field", label(FF_STATIC, 3, 5, 1, "x"), {}, 1, 692, "accept_menu"},
      {"kind outside 0 to 4", field(7, IN, 3, 5, 1), {}, 1, 1210, "accept_menu"},
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    fresh(c.keys);
    form_field fld = c.fld;
    form f{0, 1, nullptr, &fld};
    uint16_t index = 0, key = 0;
    proc_trace_mask_ = 0x200;
    testing::internal::CaptureStderr();
    int st = accept_menu(&f, &index, &key);
    std::string err = testing::internal::GetCapturedStderr();
    proc_trace_mask_ = 0;
    EXPECT_EQ(st, c.want_status);
    EXPECT_EQ(err, "trace: scrmgr:" + std::to_string(c.line) + " " + c.function + " SE_INV_OPER\n");
  }
}

TEST_F(ScreenTest, AskYesNoAnswers) {
  // clang-format off
  const struct { const char *name; std::vector<uint16_t> keys; int16_t want; int want_bells; } cases[] = {
      {"enter takes the proposed yes", {ENTER}, 1, 0},
      {"n answers at once", {ch('n')}, 0, 0},
      {"esc cancels even after a toggle", {SP, ESC}, -1, 0},
      {"space toggles", {SP, ENTER}, 0, 0},
      {"right toggles", {R, ENTER}, 0, 0},
      {"up rings", {UP, ENTER}, 1, 1},
      {"other letter rings", {ch('q'), ch('y')}, 1, 1},
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    fresh(c.keys);
    int16_t answer = 7;
    ASSERT_EQ(ask_yes_no("Replace it? ", &answer), 0);
    EXPECT_EQ(answer, c.want);
    EXPECT_EQ(memscreen_bells(), c.want_bells);
  }
}

TEST_F(ScreenTest, AskYesNoDrawsOnPromptLineAndTakesMessageDown) {
  fresh({SP, ENTER});
  fill_row(22);
  ASSERT_EQ(show_message_text(0x3002, "gone"), 0);
  int16_t answer = 1;
  ASSERT_EQ(ask_yes_no("Replace it? ", &answer), 0);
  EXPECT_EQ(answer, 0);
  EXPECT_EQ(cells(22, 0, 16), "Replace it? N   ");
  EXPECT_FALSE(message_shown);
  EXPECT_FALSE(memscreen_message_shown());
  // A shorter prompt ending in a vertical tab next: the answer follows it,
  // proposing Yes again, and the old text is gone.
  memscreen_push_key(ENTER);
  ASSERT_EQ(ask_yes_no("Go?\x0B", &answer), 0);
  EXPECT_EQ(answer, 1);
  EXPECT_EQ(cells(22, 0, 16), "Go?\x0BY           ");
}

} // namespace
