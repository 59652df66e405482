// Field entry: numbers, texts, yes/no and choice fields, and the callback's
// notify and check steps, driven by scripted keys through the input loop.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "lib/memscreen.h"
#include "lib/scrn.h"
#include "scrmgr/scrmgr.h"
#include "scrmgr_fixture.h"

using namespace scrmgr_test;

namespace {

// Runs a one-field form and reports how it ended.
struct outcome {
  int status;
  uint16_t key;
  uint16_t value;
  int bells;
};

outcome run_one(form_field &fld, uint16_t form_flags = 0) {
  form_field fields[1] = {fld};
  form f{form_flags, 1, nullptr, fields};
  uint16_t index = 0, key = 0;
  int st = accept_menu(&f, &index, &key);
  fld = fields[0];
  return {st, key, fields[0].value, memscreen_bells()};
}

struct number_case {
  const char *name;
  uint16_t flags, width, value, min, max;
  std::vector<uint16_t> keys;
  uint16_t want_value;
  int want_bells;
  uint16_t want_key;
};

const uint16_t ENTER = KEY_ENTER, ESC = KEY_ESC, UP = KEY_UP, DOWN = KEY_DOWN;
const uint16_t SP = KEY_SPACE;
constexpr uint16_t IN = FF_DATA | FF_INPUT;

std::vector<uint16_t> typed(const char *s, std::vector<uint16_t> after) {
  std::vector<uint16_t> k;
  for (; *s; ++s) k.push_back(ch(*s));
  k.insert(k.end(), after.begin(), after.end());
  return k;
}

const number_case number_cases[] = {
    {"in range", IN, 2, 1, 1, 12, typed("7", {ENTER}), 7, 0, ENTER},
    {"above max corrected with bell", IN, 2, 1, 1, 3, typed("7", {ENTER, ENTER}), 3, 1, ENTER},
    {"below min corrected with bell", IN, 2, 2, 1, 3, typed("0", {ENTER, ENTER}), 1, 1, ENTER},
    {"zero allowed below min", IN | FF_ZERO_OK, 2, 2, 1, 3, typed("0", {ENTER}), 0, 0, ENTER},
    {"zero-ok still corrects others", IN | FF_ZERO_OK, 2, 5, 4, 9, typed("2", {ENTER, ENTER}), 4, 1, ENTER},
    {"blank gives zero", IN, 3, 5, 0, 9, typed(" ", {ENTER}), 0, 0, ENTER},
    {"blank gives zero then min", IN, 3, 5, 2, 9, typed(" ", {ENTER, ENTER}), 2, 1, ENTER},
    {"leading blank skipped", IN, 3, 5, 0, 99, typed(" 42", {ENTER}), 42, 0, ENTER},
    {"stops at inner blank", IN, 4, 5, 0, 99, typed("4 2", {ENTER}), 4, 0, ENTER},
    {"largest number", IN, 5, 0, 0, 65535, typed("65535", {ENTER}), 65535, 0, ENTER},
    {"five nines restart before last digit", IN, 5, 0, 0, 65535, typed("99999", {ENTER, ENTER}), 9999, 1, ENTER},
    {"65536 restarts with 6553", IN, 5, 0, 0, 65535, typed("65536", {ENTER, ENTER}), 6553, 1, ENTER},
    {"digit limit is the width", IN, 2, 0, 0, 999, typed("123", {ENTER}), 12, 1, ENTER},
    {"esc corrects first then leaves", IN, 2, 1, 1, 3, typed("9", {ESC, ESC}), 3, 1, ESC},
    {"spin down wraps to min", IN | FF_SPIN, 2, 12, 1, 12, {DOWN, ENTER}, 1, 0, ENTER},
    {"spin up wraps to max", IN | FF_SPIN, 2, 1, 1, 12, {UP, ENTER}, 12, 0, ENTER},
    {"spin steps", IN | FF_SPIN, 2, 5, 1, 12, {DOWN, DOWN, KEY_NEXT, KEY_PREV, ENTER}, 7, 0, ENTER},
    {"no spin: up leaves and rings in a plain form", IN, 2, 5, 1, 12, {UP, ENTER}, 5, 1, ENTER},
    {"quick entry leaves when full", IN | FF_QUICK, 2, 0, 0, 99, typed("12", {}), 12, 0, ENTER},
};

class EntryTest : public ScreenTest {};

TEST_F(EntryTest, NumberEntry) {
  for (const number_case &c : number_cases) {
    SCOPED_TRACE(c.name);
    memscreen_use();
    for (uint16_t k : c.keys) memscreen_push_key(k);
    form_field fld = field(FIELD_NUMBER, c.flags, 3, 5, c.width, c.value, c.min, c.max);
    outcome o = run_one(fld);
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.value, c.want_value);
    EXPECT_EQ(o.bells, c.want_bells);
    EXPECT_EQ(o.key, c.want_key);
    EXPECT_EQ(memscreen_keys_left(), 0u);
  }
}

TEST_F(EntryTest, NumberEntryRestartShowsValueBeforeBadDigit) {
  type("99999");
  keys({KEY_ENTER});  // the script then ends inside the restarted entry
  form_field fld = field(FIELD_NUMBER, IN, 3, 5, 5, 0, 0, 65535);
  outcome o = run_one(fld);
  EXPECT_EQ(o.status, ST_SCRIPT_END);
  EXPECT_EQ(cells(3, 5, 5), "9999 ");
  EXPECT_EQ(o.bells, 1);
}

TEST_F(EntryTest, NumberEntryStartsWithZeroFilledValue) {
  keys({KEY_ENTER});
  form_field fld = field(FIELD_NUMBER, IN | FF_ZEROFILL, 3, 5, 3, 7, 0, 999);
  outcome o = run_one(fld);
  EXPECT_EQ(o.value, 7);
  EXPECT_EQ(cells(3, 5, 3), "007");
}

TEST_F(EntryTest, NumberEntryOutOfRangeStartsEmpty) {
  keys({KEY_ENTER, KEY_ENTER});
  form_field fld = field(FIELD_NUMBER, IN, 3, 5, 3, 500, 1, 99);
  outcome o = run_one(fld);
  // Nothing to keep: blank gives 0, which is corrected to min.
  EXPECT_EQ(o.value, 1);
  EXPECT_EQ(o.bells, 1);
}

struct text_case {
  const char *name;
  uint16_t flags;
  const char *start;
  const char *typed;
  const char *want;
};

const text_case text_cases[] = {
    {"typed after start", FF_INPUT, "ab", "cd", "abcd"},
    {"blanks kept", FF_INPUT, "", "  ab ", "  ab "},
    {"zero-filled trims both ends", FF_INPUT | FF_ZEROFILL, "", "  ab ", "ab"},
    {"zero-filled all blanks", FF_INPUT | FF_ZEROFILL, "", "   ", ""},
    {"full width", FF_INPUT, "", "abcdefgh", "abcdefgh"},
    {"cut at width", FF_INPUT, "", "abcdefghij", "abcdefgh"},
};

TEST_F(EntryTest, TextEntryZeroesRestOfWidth) {
  for (const text_case &c : text_cases) {
    SCOPED_TRACE(c.name);
    memscreen_use();
    char buf[9];
    memset(buf, 'z', sizeof buf);
    memcpy(buf, c.start, strlen(c.start) + 1);
    type(c.typed);
    keys({KEY_ENTER});
    form_field fld = field(FIELD_TEXT, c.flags, 4, 0, 8);
    fld.text = buf;
    outcome o = run_one(fld);
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.key, KEY_ENTER);
    EXPECT_STREQ(buf, c.want);
    for (size_t i = strlen(c.want); i < sizeof buf; i++) EXPECT_EQ(buf[i], 0) << i;
  }
}

TEST_F(EntryTest, TextEntryModesReachTheEditor) {
  char buf[4] = "";
  type("abc");
  form_field fld = field(FIELD_TEXT, FF_INPUT | FF_QUICK | FF_MASK, 4, 0, 3);
  fld.text = buf;
  outcome o = run_one(fld);  // quick: a full field ends the entry by itself
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.key, KEY_ENTER);
  EXPECT_STREQ(buf, "abc");
  EXPECT_EQ(cells(4, 0, 4), "*** ");
}

TEST_F(EntryTest, TextFieldWithoutBufferDoesNotCrash) {
  keys({ch('a'), KEY_ENTER});
  form_field fld = field(FIELD_TEXT, FF_INPUT, 4, 0, 3);
  EXPECT_EQ(run_one(fld).status, 0);
}

struct single_key_case {
  const char *name;
  uint16_t kind, flags, value;
  std::vector<uint16_t> keys;
  uint16_t want_value;
  uint16_t want_key;
  int want_bells;
};

constexpr uint16_t L = KEY_LEFT, R = KEY_RIGHT;

const single_key_case single_key_cases[] = {
    {"yes/no space toggles", FIELD_YESNO, IN, 1, {SP, ENTER}, 0, ENTER, 0},
    {"yes/no left and right toggle", FIELD_YESNO, IN, 1, {L, R, L, ENTER}, 0, ENTER, 0},
    {"yes/no spin: down toggles", FIELD_YESNO, IN | FF_SPIN, 0, {DOWN, ENTER}, 1, ENTER, 0},
    {"yes/no spin: left rings", FIELD_YESNO, IN | FF_SPIN, 0, {L, ENTER}, 0, ENTER, 1},
    {"yes/no no spin: up leaves, plain form rings", FIELD_YESNO, IN, 0, {UP, ENTER}, 0, ENTER, 1},
    {"yes/no quick y sets and leaves", FIELD_YESNO, IN | FF_QUICK, 0, {ch('y')}, 1, 0x379, 0},
    {"yes/no quick N sets and leaves", FIELD_YESNO, IN | FF_QUICK, 1, {ch('N')}, 0, 0x34E, 0},
    {"yes/no y without quick stays", FIELD_YESNO, IN, 0, {ch('y'), ENTER}, 1, ENTER, 0},
    {"yes/no n without quick stays", FIELD_YESNO, IN, 1, {ch('n'), ESC}, 0, ESC, 0},
    {"yes/no other letter rings", FIELD_YESNO, IN | FF_QUICK, 0, {ch('x'), ENTER}, 0, ENTER, 1},
    {"yes/no F5 rings in a plain form", FIELD_YESNO, IN, 0, {KEY_F5, ENTER}, 0, ENTER, 1},
    {"yes/no unused class rings", FIELD_YESNO, IN, 0, {0x600, ENTER}, 0, ENTER, 1},
    {"choice space steps with wrap", FIELD_CHOICE, IN, 0, {SP, SP, SP, ENTER}, 0, ENTER, 0},
    {"choice space twice", FIELD_CHOICE, IN, 0, {SP, SP, ENTER}, 2, ENTER, 0},
    {"choice left wraps to max", FIELD_CHOICE, IN, 0, {L, ENTER}, 2, ENTER, 0},
    {"choice right wraps to min", FIELD_CHOICE, IN, 2, {R, ENTER}, 0, ENTER, 0},
    {"choice spin up", FIELD_CHOICE, IN | FF_SPIN, 0, {UP, ENTER}, 2, ENTER, 0},
    {"choice spin next", FIELD_CHOICE, IN | FF_SPIN, 1, {KEY_NEXT, ENTER}, 2, ENTER, 0},
    {"choice spin: right rings", FIELD_CHOICE, IN | FF_SPIN, 1, {R, ENTER}, 1, ENTER, 1},
    {"choice no spin: down leaves, plain form rings", FIELD_CHOICE, IN, 1, {DOWN, ENTER}, 1, ENTER, 1},
    {"choice letter rings", FIELD_CHOICE, IN, 1, {ch('a'), ESC}, 1, ESC, 1},
    {"label takes enter", FIELD_LABEL, IN, 0, {ch('a'), ENTER}, 0, ENTER, 1},
};

TEST_F(EntryTest, SingleKeyFields) {
  static const char *const names[] = {"one", "two", "three"};
  for (const single_key_case &c : single_key_cases) {
    SCOPED_TRACE(c.name);
    memscreen_use();
    for (uint16_t k : c.keys) memscreen_push_key(k);
    form_field fld = field(c.kind, c.flags, 6, 2, 5, c.value, 0, c.kind == FIELD_CHOICE ? 2 : 1);
    fld.list = names;
    fld.label = "lbl";
    outcome o = run_one(fld);
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.value, c.want_value);
    EXPECT_EQ(o.key, c.want_key);
    EXPECT_EQ(o.bells, c.want_bells);
    EXPECT_EQ(memscreen_keys_left(), 0u);
  }
}

TEST_F(EntryTest, ChoiceShowsEntryOfValue) {
  static const char *const names[] = {"one", "two", "three"};
  keys({KEY_SPACE, KEY_SPACE});
  form_field fld = field(FIELD_CHOICE, IN, 6, 2, 5, 0, 0, 2);
  fld.list = names;
  run_one(fld);  // the script ends while the field waits for a key
  EXPECT_EQ(cells(6, 2, 5), "three");
}

// The callback's record of calls; field 2 mirrors field 0's value.
struct callback_log {
  std::vector<uint16_t> calls;
  std::vector<int> verdicts;  // returned in order; 0 once used up
  form_field *fields = nullptr;
};
callback_log cb_log;

int logging_callback(uint16_t i) {
  size_t n = cb_log.calls.size();
  cb_log.calls.push_back(i);
  if (i == 0 && cb_log.fields) {
    cb_log.fields[2].value = cb_log.fields[0].value;
    cb_log.fields[2].flags |= FF_CHANGED;
  }
  return n < cb_log.verdicts.size() ? cb_log.verdicts[n] : 0;
}

struct callback_case {
  const char *name;
  uint16_t start;  // field the loop starts on
  std::vector<int> verdicts;
  std::vector<uint16_t> keys;
  std::vector<uint16_t> want_calls;
  int want_bells;
};

const callback_case callback_cases[] = {
    {"number left: check then leave", 0, {}, {ENTER, ESC}, {0, 0, 1}, 0},
    {"text left: once", 1, {}, {ENTER}, {1}, 0},
    {"check refusal keeps the field", 0, {1}, {ENTER, ENTER, ESC}, {0, 0, 0, 1}, 1},
    {"refusal on leaving only rings", 0, {0, 1}, {ENTER, ESC}, {0, 0, 1}, 1},
    {"correction notifies without its own bell", 0, {1}, typed("99", {ENTER, ENTER, ESC}), {0, 0, 0, 1}, 1},
    {"spin notifies each step", 3, {}, {DOWN, DOWN, ESC}, {3, 3, 3, 3}, 0},
    {"yes/no toggle notifies, refusal rings", 4, {1}, {SP, ESC}, {4, 4, 4}, 1},
    {"quick letter refused positive stays", 4, {1}, {ch('y'), ESC}, {4, 4, 4}, 1},
    {"quick letter refused negative leaves", 4, {-1}, {ch('y')}, {4, 4}, 1},
};

TEST_F(EntryTest, CallbackCheckAndNotifySteps) {
  for (const callback_case &c : callback_cases) {
    SCOPED_TRACE(c.name);
    memscreen_use();
    char buf[6] = "";
    form_field fields[5] = {
        field(FIELD_NUMBER, IN | FF_NOTIFY, 2, 0, 2, 1, 0, 50),
        field(FIELD_TEXT, FF_INPUT | FF_NOTIFY, 3, 0, 5),
        field(FIELD_NUMBER, FF_DATA, 4, 0, 2, 0, 0, 99),
        field(FIELD_NUMBER, IN | FF_SPIN | FF_NOTIFY, 5, 0, 2, 1, 1, 9),
        field(FIELD_YESNO, IN | FF_QUICK | FF_NOTIFY, 6, 0, 1, 0, 0, 1),
    };
    fields[1].text = buf;
    form f = make_form(FORM_FKEYS, fields, logging_callback);
    cb_log = callback_log{{}, c.verdicts, fields};
    for (uint16_t k : c.keys) memscreen_push_key(k);
    uint16_t index = c.start, key = 0;
    // Fields after the start would take further keys; the script ends there.
    int st = accept_menu(&f, &index, &key);
    EXPECT_TRUE(st == 0 || st == ST_SCRIPT_END) << st;
    EXPECT_EQ(cb_log.calls, c.want_calls);
    EXPECT_EQ(memscreen_bells(), c.want_bells);
  }
}

TEST_F(EntryTest, CallbackMarksAreRedrawn) {
  form_field fields[3] = {
      field(FIELD_NUMBER, IN | FF_NOTIFY, 2, 0, 2, 1, 0, 50),
      field(FIELD_TEXT, FF_DATA, 3, 0, 0),
      field(FIELD_NUMBER, FF_DATA, 4, 0, 2, 0, 0, 99),
  };
  form f = make_form(0, fields, logging_callback);
  cb_log = callback_log{{}, {}, fields};
  type("42");
  keys({KEY_ENTER});
  uint16_t index = 0, key = 0;
  ASSERT_EQ(accept_menu(&f, &index, &key), 0);
  EXPECT_EQ(cells(4, 0, 2), "42");
  EXPECT_EQ(fields[2].flags & FF_CHANGED, 0);
}

TEST_F(EntryTest, NotifyWithoutCallbackIsQuiet) {
  form_field fields[1] = {field(FIELD_YESNO, IN | FF_NOTIFY, 2, 0, 1, 0, 0, 1)};
  form f = make_form(0, fields);
  keys({KEY_SPACE, KEY_ENTER});
  uint16_t index = 0, key = 0;
  ASSERT_EQ(accept_menu(&f, &index, &key), 0);
  EXPECT_EQ(fields[0].value, 1);
  EXPECT_EQ(memscreen_bells(), 0);
}

} // namespace
