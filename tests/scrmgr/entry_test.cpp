// Field entry: numbers, texts, yes/no and choice fields, and the callback's
// notify and check steps, driven by scripted keys through the input loop.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "scrmgr_fixture.h"

using namespace scrmgr_test;

namespace {

// Runs a one-field form without callback; returns the status, *key the end key.
int run_one(form_field &fld, uint16_t *key) {
  form f{0, 1, nullptr, &fld};
  uint16_t index = 0;
  return accept_menu(&f, &index, key);
}

const char *const names[] = {"one", "two", "three"};
constexpr uint16_t Y = FIELD_YESNO, C = FIELD_CHOICE, N = FIELD_NUMBER;

TEST_F(ScreenTest, FieldEntry) {
  // Fields at row 3, column 5; shown: the field at the end.
  // clang-format off
  const struct {
    const char *name; form_field fld; std::vector<uint16_t> keys;
    int want_status; uint16_t want_key, want_value; int want_bells; const char *shown;
  } cases[] = {
      {"in range", field(N, IN, 3, 5, 2, 1, 1, 12), typed("7", {ENTER}), 0, ENTER, 7, 0, " 7"},
      {"above max corrected", field(N, IN, 3, 5, 2, 1, 1, 3), typed("7", {ENTER, ENTER}), 0, ENTER, 3, 1, " 3"},
      {"below min corrected", field(N, IN, 3, 5, 2, 2, 1, 3), typed("0", {ENTER, ENTER}), 0, ENTER, 1, 1, " 1"},
      {"zero allowed below min", field(N, IN | FF_ZERO_OK, 3, 5, 2, 2, 1, 3), typed("0", {ENTER}), 0, ENTER, 0, 0, " -"},
      {"zero-ok corrects others", field(N, IN | FF_ZERO_OK, 3, 5, 2, 5, 4, 9), typed("2", {ENTER, ENTER}), 0, ENTER, 4, 1, " 4"},
      {"blank is zero, then min", field(N, IN, 3, 5, 3, 5, 2, 9), typed(" ", {ENTER, ENTER}), 0, ENTER, 2, 1, "  2"},
      {"number after blanks, up to a blank", field(N, IN, 3, 5, 4, 5, 0, 99), typed(" 4 2", {ENTER}), 0, ENTER, 4, 0, "   4"},
      {"largest number", field(N, IN, 3, 5, 5, 0, 0, 65535), typed("65535", {ENTER}), 0, ENTER, 65535, 0, "65535"},
      {"65536 restarts with 6553", field(N, IN, 3, 5, 5, 0, 0, 65535), typed("65536", {ENTER, ENTER}), 0, ENTER, 6553, 1, " 6553"},
      {"digit limit is the width", field(N, IN, 3, 5, 2, 0, 0, 999), typed("123", {ENTER}), 0, ENTER, 12, 1, "12"},
      {"esc corrects first, then leaves", field(N, IN, 3, 5, 2, 1, 1, 3), typed("9", {ESC, ESC}), 0, ESC, 3, 1, " 3"},
      {"spin down wraps to min", field(N, IN | FF_SPIN, 3, 5, 2, 12, 1, 12), {DOWN, ENTER}, 0, ENTER, 1, 0, " 1"},
      {"no spin: up leaves, plain form rings", field(N, IN, 3, 5, 2, 5, 1, 12), {UP, ENTER}, 0, ENTER, 5, 1, " 5"},
      {"quick number leaves when full", field(N, IN | FF_QUICK, 3, 5, 2, 0, 0, 99), typed("12"), 0, ENTER, 12, 0, "12"},
      // The script ends inside the entry: what it shows while it waits.
      {"starts zero-filled", field(N, IN | FF_ZEROFILL, 3, 5, 3, 7, 0, 999), {}, ST_SCRIPT_END, 0, 7, 0, "007"},
      {"restart keeps the good digits", field(N, IN, 3, 5, 5, 0, 0, 65535), typed("99999", {ENTER}), ST_SCRIPT_END, 0, 0, 1, "9999 "},
      {"yes/no space toggles; no callback", field(Y, IN | FF_NOTIFY, 3, 5, 1, 1, 0, 1), {SP, ENTER}, 0, ENTER, 0, 0, "N"},
      {"yes/no left and right toggle", field(Y, IN, 3, 5, 1, 1, 0, 1), {L, R, L, ENTER}, 0, ENTER, 0, 0, "N"},
      {"yes/no spin: down toggles", field(Y, IN | FF_SPIN, 3, 5, 1, 0, 0, 1), {DOWN, ENTER}, 0, ENTER, 1, 0, "Y"},
      {"yes/no spin: left rings", field(Y, IN | FF_SPIN, 3, 5, 1, 0, 0, 1), {L, ENTER}, 0, ENTER, 0, 1, "N"},
      {"yes/no no spin: up leaves, rings", field(Y, IN, 3, 5, 1, 0, 0, 1), {UP, ENTER}, 0, ENTER, 0, 1, "N"},
      {"yes/no quick y sets and leaves", field(Y, IN | FF_QUICK, 3, 5, 1, 0, 0, 1), {ch('y')}, 0, 0x379, 1, 0, "Y"},
      {"yes/no N without quick stays", field(Y, IN, 3, 5, 1, 1, 0, 1), {ch('N'), ESC}, 0, ESC, 0, 0, "N"},
      {"yes/no other letter rings", field(Y, IN | FF_QUICK, 3, 5, 1, 0, 0, 1), {ch('x'), 0x600, ENTER}, 0, ENTER, 0, 2, "N"},
      {"choice space steps with wrap", field(C, IN, 3, 5, 5, 0, 0, 2), {SP, SP, SP, SP, ENTER}, 0, ENTER, 1, 0, "two  "},
      {"choice left wraps to max", field(C, IN, 3, 5, 5, 0, 0, 2), {L, ENTER}, 0, ENTER, 2, 0, "three"},
      {"choice spin up; right rings", field(C, IN | FF_SPIN, 3, 5, 5, 0, 0, 2), {UP, R, ENTER}, 0, ENTER, 2, 1, "three"},
      {"choice letter rings", field(C, IN, 3, 5, 5, 1, 0, 2), {ch('a'), ESC}, 0, ESC, 1, 1, "two  "},
      {"label takes enter", label(IN, 3, 5, 3, "lbl"), {ch('a'), ENTER}, 0, ENTER, 0, 1, "lbl"},
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    fresh(c.keys);
    form_field fld = c.fld;
    fld.list = names;
    uint16_t key = 0;
    EXPECT_EQ(run_one(fld, &key), c.want_status);
    EXPECT_EQ(key, c.want_key);
    EXPECT_EQ(fld.value, c.want_value);
    EXPECT_EQ(memscreen_bells(), c.want_bells);
    EXPECT_EQ(cells(3, 5, fld.width), c.shown);
    EXPECT_EQ(memscreen_keys_left(), 0u);
  }
}

TEST_F(ScreenTest, TextEntryZeroesRestOfWidth) {
  // clang-format off
  const struct { const char *name, *start, *typed, *want; uint16_t flags; } cases[] = {
      {"typed after start", "ab", "cd", "abcd", FF_INPUT},
      {"blanks kept", "", "  ab ", "  ab ", FF_INPUT},
      {"zero-filled trims both ends", "", "  ab ", "ab", FF_INPUT | FF_ZEROFILL},
      {"cut at width", "", "abcdefghij", "abcdefgh", FF_INPUT},
  };
  // clang-format on
  uint16_t key = 0;
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    fresh(typed(c.typed, {ENTER}));
    char buf[9];
    memset(buf, 'z', sizeof buf);
    memcpy(buf, c.start, strlen(c.start) + 1);
    form_field fld = field(FIELD_TEXT, c.flags, 4, 0, 8);
    fld.text = buf;
    EXPECT_EQ(run_one(fld, &key), 0);
    EXPECT_STREQ(buf, c.want);
    for (size_t i = strlen(c.want); i < sizeof buf; i++) EXPECT_EQ(buf[i], 0) << i;
  }
  fresh(typed("a", {ENTER})); // a text field without a buffer must not crash
  form_field none = field(FIELD_TEXT, FF_INPUT, 4, 0, 3);
  EXPECT_EQ(run_one(none, &key), 0);
}

// The callback's record of calls and its verdicts, returned in order (0 once
// used up); a call for field 0 copies its value to field 2 and marks it.
struct {
  std::vector<uint16_t> calls;
  std::vector<int> verdicts;
  form_field *fields;
} cb_log;

int logging_callback(uint16_t i) {
  size_t n = cb_log.calls.size();
  cb_log.calls.push_back(i);
  if (i == 0) {
    cb_log.fields[2].value = cb_log.fields[0].value;
    cb_log.fields[2].flags |= FF_CHANGED;
  }
  return n < cb_log.verdicts.size() ? cb_log.verdicts[n] : 0;
}

TEST_F(ScreenTest, CallbackCheckAndNotifySteps) {
  // start: the field the loop starts on; the script ends in the next.
  // clang-format off
  const struct {
    const char *name; uint16_t start; std::vector<int> verdicts;
    std::vector<uint16_t> keys, want_calls; int want_bells;
  } cases[] = {
      {"number left: check then leave", 0, {}, {ENTER, ESC}, {0, 0, 1}, 0},
      {"text left: once", 1, {}, {ENTER}, {1}, 0},
      {"check refusal keeps the field", 0, {1}, {ENTER, ENTER, ESC}, {0, 0, 0, 1}, 1},
      {"refusal on leaving only rings", 0, {0, 1}, {ENTER, ESC}, {0, 0, 1}, 1},
      {"correction notifies without its own bell", 0, {1}, typed("99", {ENTER, ENTER, ESC}), {0, 0, 0, 1}, 1},
      {"spin notifies each step", 3, {}, {DOWN, DOWN, ESC}, {3, 3, 3, 3}, 0},
      {"yes/no toggle notifies, refusal rings", 4, {1}, {SP, ESC}, {4, 4, 4}, 1},
      {"quick letter refused negative leaves", 4, {-1}, {ch('y')}, {4, 4}, 1},
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    fresh(c.keys);
    char buf[6] = "";
    // clang-format off
    form_field fields[5] = {
        field(FIELD_NUMBER, IN | FF_NOTIFY, 2, 0, 2, 1, 0, 50),
        field(FIELD_TEXT, FF_INPUT | FF_NOTIFY, 3, 0, 5),
        field(FIELD_NUMBER, FF_DATA, 4, 0, 2, 0, 0, 99),
        field(FIELD_NUMBER, IN | FF_SPIN | FF_NOTIFY, 5, 0, 2, 1, 1, 9),
        field(FIELD_YESNO, IN | FF_QUICK | FF_NOTIFY, 6, 0, 1, 0, 0, 1),
    };
    // clang-format on
    fields[1].text = buf;
    form f = make_form(FORM_FKEYS, fields, logging_callback);
    cb_log = {{}, c.verdicts, fields};
    uint16_t index = c.start, key = 0;
    int st = accept_menu(&f, &index, &key);
    EXPECT_TRUE(st == 0 || st == ST_SCRIPT_END) << st;
    EXPECT_EQ(cb_log.calls, c.want_calls);
    EXPECT_EQ(memscreen_bells(), c.want_bells);
    if (c.start == 0) { // the field the callback marked is redrawn
      EXPECT_EQ(cells(4, 0, 2), cells(2, 0, 2));
      EXPECT_EQ(fields[2].flags & FF_CHANGED, 0);
    }
  }
}

} // namespace
