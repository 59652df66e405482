// The input loop's movement between fields and its ending keys, and the
// yes/no prompt.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lib/memscreen.h"
#include "lib/scrn.h"
#include "scrmgr/scrmgr.h"
#include "scrmgr_fixture.h"

using namespace scrmgr_test;

namespace {

constexpr uint16_t IN = FF_DATA | FF_INPUT;
const uint16_t ENTER = KEY_ENTER, ESC = KEY_ESC, UP = KEY_UP, DOWN = KEY_DOWN;

// Fields: 0 label, 1 yes/no, 2 label, 3 yes/no, 4 yes/no, 5 hidden yes/no.
// Yes/no fields leave on every up, down and terminating key without
// changing anything, so the loop's own moves are what the cases see.
struct nav_case {
  const char *name;
  uint16_t form_flags;
  uint16_t start;
  std::vector<uint16_t> keys;
  int want_status;
  uint16_t want_key;
  uint16_t want_field;
  int want_bells;
};

const nav_case nav_cases[] = {
    {"starts on the first input after a label", 0, 0, {ESC}, 0, ESC, 1, 0},
    {"starts on a later input field", 0, 2, {ESC}, 0, ESC, 3, 0},
    {"nothing to enter after the start", 0, 5, {}, 1, 0, 5, 0},
    {"enter through three fields", 0, 0, {ENTER, ENTER, ENTER}, 0, ENTER, 4, 0},
    {"enter skips the hidden field at the end", 0, 4, {ENTER}, 0, ENTER, 4, 0},
    {"up without vmove rings and stays", 0, 1, {UP, ESC}, 0, ESC, 1, 1},
    {"down without vmove rings and stays", 0, 3, {DOWN, KEY_NEXT, ESC}, 0, ESC, 3, 2},
    {"vmove: up from first wraps to last", FORM_VMOVE, 1, {UP, ESC}, 0, ESC, 4, 0},
    {"vmove: down from last wraps past hidden", FORM_VMOVE, 4, {DOWN, ESC}, 0, ESC, 1, 0},
    {"vmove: prev and next", FORM_VMOVE, 1, {KEY_NEXT, KEY_NEXT, KEY_PREV, ESC}, 0, ESC, 3, 0},
    {"F5 rings without fkeys", 0, 1, {KEY_F5, ESC}, 0, ESC, 1, 1},
    {"F5 ends with fkeys", FORM_FKEYS, 3, {KEY_F5}, 0, KEY_F5, 3, 0},
    {"F1 ends with fkeys on a plain form", FORM_FKEYS, 3, {KEY_F1}, 0, KEY_F1, 3, 0},
    {"line: F2 on last moves to first", FORM_LINE, 4, {KEY_F2, ESC}, 0, ESC, 1, 0},
    {"line: F1 on first moves to last", FORM_LINE, 1, {KEY_F1, ESC}, 0, ESC, 4, 0},
    {"line: F1 steps back", FORM_LINE | FORM_FKEYS, 4, {KEY_F1, KEY_F1, ESC}, 0, ESC, 1, 0},
    {"line: up ends", FORM_LINE, 3, {UP}, 0, KEY_UP, 3, 0},
    {"line: down with a number ends as its class", FORM_LINE, 3, {DOWN | 0x12}, 0, KEY_DOWN, 3, 0},
    {"line: prev ends", FORM_LINE | FORM_VMOVE, 1, {KEY_PREV}, 0, KEY_PREV, 1, 0},
    {"line: next ends", FORM_LINE, 1, {KEY_NEXT}, 0, KEY_NEXT, 1, 0},
    {"line: F5 rings without fkeys", FORM_LINE, 1, {KEY_F5, ESC}, 0, ESC, 1, 1},
    {"a key whose low byte is 1 ends as ESC", FORM_VMOVE, 1, {KEY_NEXT | 1}, 0, ESC, 1, 0},
};

TEST(AcceptMenu, Navigation) {
  for (const nav_case &c : nav_cases) {
    SCOPED_TRACE(c.name);
    memscreen_use();
    form_field fields[6] = {
        label(FF_STATIC, 0, 0, 5, "Title"),
        field(FIELD_YESNO, IN, 2, 10, 1, 0, 0, 1),
        label(FF_STATIC, 3, 0, 5, "Part2"),
        field(FIELD_YESNO, IN, 4, 10, 1, 0, 0, 1),
        field(FIELD_YESNO, IN, 5, 10, 1, 0, 0, 1),
        field(FIELD_YESNO, IN | FF_HIDDEN, 6, 10, 1, 0, 0, 1),
    };
    form f = make_form(c.form_flags, fields);
    for (uint16_t k : c.keys) memscreen_push_key(k);
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

class AcceptTest : public ScreenTest {};

TEST_F(AcceptTest, QuickLetterMovesOnThenEndsAsEnteredKey) {
  form_field fields[2] = {
      field(FIELD_YESNO, IN | FF_QUICK, 2, 10, 1, 0, 0, 1),
      field(FIELD_YESNO, IN | FF_QUICK, 3, 10, 1, 1, 0, 1),
  };
  form f = make_form(0, fields);
  keys({ch('Y'), ch('n')});
  uint16_t index = 0, key = 0;
  ASSERT_EQ(accept_menu(&f, &index, &key), 0);
  EXPECT_EQ(key, 0x36E);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(fields[0].value, 1);
  EXPECT_EQ(fields[1].value, 0);
  EXPECT_EQ(cells(2, 10, 1), "Y");
  EXPECT_EQ(cells(3, 10, 1), "N");
}

TEST_F(AcceptTest, BadKindEndsWithOne) {
  form_field fields[1] = {field(7, IN, 2, 10, 1)};
  form f = make_form(0, fields);
  keys({KEY_ENTER});
  uint16_t index = 0, key = 0;
  EXPECT_EQ(accept_menu(&f, &index, &key), 1);
  EXPECT_EQ(memscreen_keys_left(), 1u);
}

TEST_F(AcceptTest, LibraryStatusEndsLoopWithFieldIndex) {
  form_field fields[2] = {
      field(FIELD_YESNO, IN, 2, 10, 1, 0, 0, 1),
      field(FIELD_YESNO, IN, 3, 10, 1, 0, 0, 1),
  };
  form f = make_form(0, fields);
  keys({KEY_ENTER});  // then the script runs out in field 1
  uint16_t index = 0, key = 0;
  EXPECT_EQ(accept_menu(&f, &index, &key), ST_SCRIPT_END);
  EXPECT_EQ(index, 1);
}

TEST_F(AcceptTest, FocusTakesMessageDown) {
  form_field fields[1] = {field(FIELD_YESNO, IN, 2, 10, 1, 0, 0, 1)};
  form f = make_form(0, fields);
  ASSERT_EQ(show_message_text(0x3002, "gone"), 0);
  ASSERT_TRUE(message_shown);
  keys({KEY_ESC});
  uint16_t index = 0, key = 0;
  ASSERT_EQ(accept_menu(&f, &index, &key), 0);
  EXPECT_FALSE(message_shown);
  EXPECT_FALSE(memscreen_message_shown());
}

struct ask_case {
  const char *name;
  std::vector<uint16_t> keys;
  int16_t want;
  int want_bells;
};

const ask_case ask_cases[] = {
    {"enter takes yes", {ENTER}, 1, 0},
    {"n answers no", {ch('n')}, 0, 0},
    {"Y answers yes", {ch('Y')}, 1, 0},
    {"esc cancels", {ESC}, -1, 0},
    {"space toggles to no", {KEY_SPACE, ENTER}, 0, 0},
    {"left then right", {KEY_LEFT, KEY_RIGHT, ENTER}, 1, 0},
    {"right toggles", {KEY_RIGHT, ENTER}, 0, 0},
    {"up rings", {UP, ENTER}, 1, 1},
    {"down rings", {DOWN, ENTER}, 1, 1},
    {"function key rings", {KEY_F3, ENTER}, 1, 1},
    {"other letter rings", {ch('q'), ch('y')}, 1, 1},
    {"esc after toggle still cancels", {KEY_SPACE, ESC}, -1, 0},
};

TEST_F(AcceptTest, AskYesNoAnswers) {
  for (const ask_case &c : ask_cases) {
    SCOPED_TRACE(c.name);
    memscreen_use();
    for (uint16_t k : c.keys) memscreen_push_key(k);
    int16_t answer = 7;
    ASSERT_EQ(ask_yes_no("Replace it? ", &answer), 0);
    EXPECT_EQ(answer, c.want);
    EXPECT_EQ(memscreen_bells(), c.want_bells);
  }
}

TEST_F(AcceptTest, AskYesNoDrawsOnPromptLine) {
  std::string xs(80, 'x');
  form_field under = label(FF_STATIC, 22, 0, 80, xs.c_str());
  ASSERT_EQ(display_field(&under), 0);
  keys({KEY_SPACE, KEY_ENTER});
  int16_t answer = 1;
  ASSERT_EQ(ask_yes_no("Replace it? ", &answer), 0);
  EXPECT_EQ(answer, 0);
  EXPECT_EQ(cells(22, 0, 16), "Replace it? N   ");
  EXPECT_EQ(memscreen_attr(22, 0), 4);
  // A shorter prompt next: the answer follows it, proposing Yes again, and
  // the old text is gone.
  keys({KEY_ENTER});
  ASSERT_EQ(ask_yes_no("Go?", &answer), 0);
  EXPECT_EQ(answer, 1);
  EXPECT_EQ(cells(22, 0, 16), "Go?Y            ");
}

TEST_F(AcceptTest, AskYesNoPromptEndingInVerticalTab) {
  keys({KEY_SPACE});  // the script ends in the prompt: only the drawing counts
  int16_t answer = 5;
  EXPECT_EQ(ask_yes_no("Save?\x0B", &answer), ST_SCRIPT_END);
  EXPECT_EQ(answer, 0);
  EXPECT_EQ(memscreen_char(22, 5), '\x0B');
  EXPECT_EQ(cells(22, 6, 1), "N");
}

} // namespace
