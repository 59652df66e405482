// The terminal parameter screen: the prefix shown by base type, copying
// back, and the compress-columns rule.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "editor_fixture.h"

using namespace editor_test;

namespace {

class TdiParam : public EditorTest {
protected:
  void TearDown() override {
    if (handle_) close_tdi(&handle_);
    EditorTest::TearDown();
  }
  // A store on the base's defaults, as the editor hands it over.
  void open_base(uint8_t base) {
    if (handle_) close_tdi(&handle_);
    ASSERT_EQ(open_tdi(&handle_, base), 0);
    base_terminal = base;
    desc_changed = 0;
  }
  tdi_ctrl record() const {
    tdi_ctrl rec{};
    EXPECT_EQ(get_ctrl_tdi(handle_, &rec), 0);
    return rec;
  }
  uint32_t handle_ = 0;
};

struct prefix_case {
  uint8_t base;
  bool screen_size, console;
};

TEST_F(TdiParam, ShowsThePrefixOfItsBaseClass) {
  const prefix_case cases[] = {
      {16, false, false}, {0, true, false}, {5, true, false},
      {11, true, true},   {12, true, true}, {13, true, true},
  };
  for (const prefix_case &c : cases) {
    SCOPED_TRACE(testing::Message() << "base " << int(c.base));
    open_base(c.base);
    const tdi_ctrl before = record();
    keys({ESC});
    EXPECT_EQ(configure_parameters(handle_), 0);
    EXPECT_TRUE(row_has(0, "Parameter Configuration"));
    EXPECT_TRUE(row_has(5, "Sequence Timeout (.1 sec): "));
    EXPECT_TRUE(row_has(22, "Press <up> or <down> to position, ESC to exit."));
    EXPECT_EQ(row_has(7, "Screen Size"), c.screen_size);
    EXPECT_EQ(row_has(13, "Vertical Line: "), c.screen_size);
    EXPECT_EQ(row_has(15, "Windows Console Parameters"), c.console);
    EXPECT_EQ(row_has(17, "Font Size: "), c.console);
    // Leaving without a change changes nothing.
    const tdi_ctrl after = record();
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
    EXPECT_EQ(desc_changed, 0);
  }
}

TEST_F(TdiParam, LineModeBaseNeverTouchesHiddenValues) {
  open_base(16);
  tdi_ctrl rec = record();
  rec.lines = 50;
  rec.compress_columns = 90;
  rec.font_size = 12;
  ASSERT_EQ(put_ctrl_tdi(handle_, &rec), 0);
  // Down wraps back to the only input field: the timeout.
  retype("7", DOWN);
  retype("9", ESC);
  EXPECT_EQ(configure_parameters(handle_), 0);
  const tdi_ctrl after = record();
  EXPECT_EQ(after.kbd_timeout, 9);
  EXPECT_EQ(after.lines, 50);
  EXPECT_EQ(after.compress_columns, 90);
  EXPECT_EQ(after.font_size, 12);
  EXPECT_EQ(desc_changed, 1);
}

TEST_F(TdiParam, CompressColumnsBelowNormalHoldsTheScreen) {
  open_base(0);
  const uint16_t compress_before = record().compress_columns;
  // timeout, lines, normal columns, then compress columns too small.
  retype("5");
  retype("30");
  retype("255");
  retype("254", ESC);
  EXPECT_EQ(configure_parameters(handle_), ST_SCRIPT_END);
  EXPECT_EQ(memscreen_bells(), 1);
  EXPECT_EQ(memscreen_cursor_row(), 8);
  EXPECT_GE(memscreen_cursor_col(), 67);
  // What was copied before the check is kept; compress columns is not.
  tdi_ctrl rec = record();
  EXPECT_EQ(rec.kbd_timeout, 5);
  EXPECT_EQ(rec.lines, 30);
  EXPECT_EQ(rec.columns, 255);
  EXPECT_EQ(rec.compress_columns, compress_before);
  EXPECT_EQ(desc_changed, 1);

  // ESC again still may not leave; a wide enough value does.
  open_base(0);
  retype("5");
  retype("30");
  retype("132");
  retype("80", ESC);
  keys({ESC});
  retype("140", ESC);
  EXPECT_EQ(configure_parameters(handle_), 0);
  EXPECT_EQ(memscreen_keys_left(), 0u);
  EXPECT_EQ(record().compress_columns, 140);
}

TEST_F(TdiParam, ConsoleValuesAreCopiedBackTrimmed) {
  open_base(11);
  tdi_ctrl rec = record();
  std::memset(rec.font_name, 'x', sizeof rec.font_name - 1);
  ASSERT_EQ(put_ctrl_tdi(handle_, &rec), 0);
  // From the timeout, Up wraps to the font size, Up again to the font.
  keys({UP});
  retype("14", UP);
  retype("  Lucida  ", ESC);
  EXPECT_EQ(configure_parameters(handle_), 0);
  rec = record();
  EXPECT_EQ(rec.font_size, 14);
  EXPECT_STREQ(rec.font_name, "Lucida");
  for (size_t i = std::strlen("Lucida"); i < sizeof rec.font_name; ++i) {
    EXPECT_EQ(rec.font_name[i], 0) << "byte " << i;
  }
}

TEST_F(TdiParam, NumbersOutOfRangeAreCorrectedBeforeStoring) {
  open_base(0);
  retype("99");          // timeout above 30
  keys({ENTER});         // the correction rang: Enter again moves on
  retype("300", ESC);    // lines above 255
  keys({ESC});
  EXPECT_EQ(configure_parameters(handle_), 0);
  tdi_ctrl rec = record();
  EXPECT_EQ(rec.kbd_timeout, 30);
  EXPECT_EQ(rec.lines, 255);
}

}  // namespace
