// The job control string screen: the use-file rule, the canonical text of
// byte strings, refused notation and moving between the two strings.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "tdi/editor_fixture.h"

using namespace editor_test;

namespace {

class PtiCtrl : public EditorTest {
protected:
  void SetUp() override {
    EditorTest::SetUp();
    ASSERT_EQ(open_pti(&handle_, 0), 0);
  }
  void TearDown() override {
    close_pti(&handle_);
    EditorTest::TearDown();
  }
  void put(uint32_t index, uint8_t enable, uint8_t use_file, const char *value) {
    pti_ctrl rec{};
    rec.enable = enable;
    rec.use_file = use_file;
    std::strncpy(rec.value, value, sizeof rec.value - 1);
    ASSERT_EQ(put_ctrl_pti(handle_, index, &rec), 0);
  }
  pti_ctrl get(uint32_t index) const {
    pti_ctrl rec{};
    EXPECT_EQ(get_ctrl_pti(handle_, index, &rec), 0);
    return rec;
  }
  uint32_t handle_ = 0;
};

// The first string's row edited: Enable kept, Use File typed, the Value
// retyped; then the second row left with ESC.
void edit_first_row(char use_file, const char *value) {
  keys({ENTER, ch(use_file), ENTER});
  retype(value);
  keys({ESC});
}

struct value_case {
  const char *name;
  uint8_t stored_use_file;
  const char *stored;
  char use_file;
  const char *typed;
  uint8_t want_use_file;
  const char *want;
  uint8_t want_changed;
  int want_bells;
};

TEST_F(PtiCtrl, UseFileRuleAndCanonicalText) {
  const value_case cases[] = {
      {"file name kept as typed, trimmed", 0, "", 'y', "  ^! any text  ", 1,
       "^! any text", 1, 0},
      {"byte string stored canonical", 0, "", 'n', "\\033E\\101", 0, "^[EA", 1,
       0},
      {"same bytes in another text change nothing", 0, "^[E", 'n', "^[\\105", 0,
       "^[E", 0, 0},
      {"unreadable notation keeps the stored value", 0, "^[E", 'n', "^!", 0,
       "^[E", 0, 1},
      {"file to byte string on bad notation keeps both", 1, "^!", 'n', "^!", 1,
       "^!", 1, 1},
      {"empty byte string", 0, "AB", 'n', "", 0, "", 1, 0},
      {"empty file name", 1, "a.job", 'y', "", 1, "", 1, 0},
  };
  for (const value_case &c : cases) {
    SCOPED_TRACE(c.name);
    put(0, 1, c.stored_use_file, c.stored);
    trans_changed = 0;
    const int bells = memscreen_bells();
    // A refused value shows the row again: the ESC then leaves from there.
    edit_first_row(c.use_file, c.typed);
    EXPECT_EQ(configure_job_control(handle_), 0);
    EXPECT_EQ(memscreen_keys_left(), 0u);
    const pti_ctrl rec = get(0);
    EXPECT_EQ(rec.enable, 1);
    EXPECT_EQ(rec.use_file, c.want_use_file);
    EXPECT_STREQ(rec.value, c.want);
    EXPECT_EQ(trans_changed, c.want_changed);
    EXPECT_EQ(memscreen_bells() - bells, c.want_bells);
  }
}

TEST_F(PtiCtrl, CanonicalValueShownAfterTheRowIsLeft) {
  put(0, 0, 0, "");
  edit_first_row('n', "\\033(s3B");
  EXPECT_EQ(configure_job_control(handle_), 0);
  EXPECT_EQ(cells(5, 28, 6), "^[(s3B");
  EXPECT_TRUE(row_has(3, "Name      Enable? Use File? Value"));
  EXPECT_TRUE(row_has(22, "Press <up>, <down>, F1, F2 to position, ESC to exit."));
}

struct move_case {
  const char *name;
  std::function<void()> script;
  uint32_t changed_index;
};

TEST_F(PtiCtrl, MovesBetweenTheTwoStrings) {
  // Each script lands on one string and turns its Enable on there.
  const move_case cases[] = {
      {"up on the first goes to the second", [] { keys({UP, ch('y'), ESC}); }, 1},
      {"down on the second goes to the first",
       [] { keys({DOWN, DOWN, ch('y'), ESC}); }, 0},
      {"Enter at the end of a row goes to the next",
       [] { keys({ENTER, ENTER, ENTER, ch('y'), ESC}); }, 1},
      {"F3 rings and stays", [] { keys({KEY_F3, ch('y'), ESC}); }, 0},
  };
  for (const move_case &c : cases) {
    SCOPED_TRACE(c.name);
    put(0, 0, 0, "");
    put(1, 0, 0, "");
    c.script();
    EXPECT_EQ(configure_job_control(handle_), 0);
    EXPECT_EQ(get(c.changed_index).enable, 1);
    EXPECT_EQ(get(1 - c.changed_index).enable, 0);
  }
}

}  // namespace
