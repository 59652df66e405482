// The job control string screen: the use-file rule, the canonical text of
// byte strings, refused notation and moving between the two strings.
#include <cstring>
#include <functional>

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
  void put(uint32_t index, uint8_t use_file, const char *value, uint8_t enable = 1) {
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

TEST_F(PtiCtrl, UseFileRuleAndCanonicalText) {
  // clang-format off
  const struct {
    const char *name;
    uint8_t stored_use_file;
    const char *stored;
    char use_file;
    const char *typed;
    uint8_t want_use_file;
    const char *want;
    uint8_t want_changed;
    int want_bells;
  } cases[] = {
      {"file name kept as typed, trimmed", 0, "", 'y', "  ^! any text  ", 1, "^! any text", 1, 0},
      {"byte string stored canonical", 0, "", 'n', "\\033E\\101", 0, "^[EA", 1, 0},
      {"same bytes in another text change nothing", 0, "^[E", 'n', "^[\\105", 0, "^[E", 0, 0},
      {"unreadable notation keeps the stored value", 0, "^[E", 'n', "^!", 0, "^[E", 0, 1},
      {"file to byte string on bad notation keeps both", 1, "^!", 'n', "^!", 1, "^!", 1, 1},
      {"empty file name", 1, "a.job", 'y', "", 1, "", 1, 0},
      {"empty byte string", 0, "^[E", 'n', "", 0, "", 1, 0},
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    put(0, c.stored_use_file, c.stored);
    trans_changed = 0;
    const int bells = memscreen_bells();
    // The first row: Enable kept, Use File typed, the Value retyped; a
    // refused value shows the row again, and ESC leaves from there.
    keys({ENTER, ch(c.use_file), ENTER});
    retype(c.typed);
    keys({ESC});
    EXPECT_EQ(configure_job_control(handle_), 0);
    EXPECT_EQ(memscreen_keys_left(), 0u);
    const pti_ctrl rec = get(0);
    EXPECT_EQ(rec.enable, 1);
    EXPECT_EQ(rec.use_file, c.want_use_file);
    EXPECT_STREQ(rec.value, c.want);
    EXPECT_EQ(trans_changed, c.want_changed);
    EXPECT_EQ(memscreen_bells() - bells, c.want_bells);
    EXPECT_EQ(cells(5, 28, int(std::strlen(c.want)) + 1), c.want + std::string(" "))
        << "the row shows what is stored";
  }
}

TEST_F(PtiCtrl, MovesBetweenTheTwoStrings) {
  // Each script lands on one string and turns its Enable on there.
  // clang-format off
  const std::pair<std::function<void()>, uint32_t> cases[] = {
      {[] { keys({UP, ch('y'), ESC}); }, 1},                     // up on the first goes to the second
      {[] { keys({DOWN, DOWN, ch('y'), ESC}); }, 0},             // down on the second to the first
      {[] { keys({ENTER, ENTER, ENTER, ch('y'), ESC}); }, 1},    // Enter ends a row: the next
      {[] { keys({KEY_F3, ch('y'), ESC}); }, 0},                 // F3 rings and stays
  };
  // clang-format on
  for (const auto &[script, index] : cases) {
    SCOPED_TRACE(index);
    put(0, 0, "", 0);
    put(1, 0, "", 0);
    script();
    EXPECT_EQ(configure_job_control(handle_), 0);
    EXPECT_EQ(get(index).enable, 1);
    EXPECT_EQ(get(1 - index).enable, 0);
  }
}

} // namespace
