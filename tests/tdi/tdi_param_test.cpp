// The terminal parameter screen: the parts shown by base type, copying
// back, range correction and the compress-columns rule.
#include <cstring>

#include "editor_fixture.h"

using namespace editor_test;

namespace {

using TdiParam = DescriptionTest;

TEST_F(TdiParam, ShowsThePartsOfItsBaseClassAndChangesNothingUntouched) {
  const struct {
    uint8_t base;
    bool screen_size, console;
  } cases[] = {{16, false, false}, {0, true, false}, {11, true, true}};
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << "base " << int(c.base));
    open_base(c.base);
    const tdi_ctrl before = record();
    keys({ESC});
    EXPECT_EQ(configure_parameters(handle_), 0);
    EXPECT_TRUE(row_has(5, "Sequence Timeout (.1 sec): "));
    EXPECT_EQ(row_has(13, "Vertical Line: "), c.screen_size);
    EXPECT_EQ(row_has(17, "Font Size: "), c.console);
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
  retype("7", DOWN); // down wraps back to the only input field
  retype("9", ESC);
  EXPECT_EQ(configure_parameters(handle_), 0);
  rec = record();
  EXPECT_EQ(rec.kbd_timeout, 9);
  EXPECT_TRUE(rec.lines == 50 && rec.compress_columns == 90 && rec.font_size == 12);
  EXPECT_EQ(desc_changed, 1);
}

TEST_F(TdiParam, CompressColumnsBelowNormalHoldsTheScreen) {
  open_base(0);
  const uint16_t compress_before = record().compress_columns;
  // Timeout above 30 (corrected; Enter again moves on), lines, normal
  // columns, then compress columns too small: ESC twice may not leave.
  retype("99");
  keys({ENTER});
  retype("30");
  retype("255");
  retype("254", ESC);
  keys({ESC});
  EXPECT_EQ(configure_parameters(handle_), ST_SCRIPT_END);
  EXPECT_EQ(memscreen_bells(), 3);
  EXPECT_EQ(memscreen_cursor_row(), 8);
  // What was copied before the check is kept; compress columns is not.
  const tdi_ctrl rec = record();
  EXPECT_TRUE(rec.kbd_timeout == 30 && rec.lines == 30 && rec.columns == 255) << rec.kbd_timeout;
  EXPECT_EQ(rec.compress_columns, compress_before);
  EXPECT_EQ(desc_changed, 1);
  // Again from the top: a wide enough value leaves.
  keys({ENTER, ENTER, ENTER});
  retype("255", ESC);
  EXPECT_EQ(configure_parameters(handle_), 0);
  EXPECT_EQ(record().compress_columns, 255);
}

TEST_F(TdiParam, FontNameIsCopiedBackTrimmedAndZeroFilled) {
  open_base(11);
  tdi_ctrl rec = record();
  std::memset(rec.font_name, 'x', sizeof rec.font_name - 1);
  ASSERT_EQ(put_ctrl_tdi(handle_, &rec), 0);
  keys({UP, UP}); // from the timeout, up wraps to the font size, then the font
  retype("  Lucida  ", ESC);
  EXPECT_EQ(configure_parameters(handle_), 0);
  rec = record();
  EXPECT_STREQ(rec.font_name, "Lucida");
  for (size_t i = std::strlen("Lucida"); i < sizeof rec.font_name; ++i)
    EXPECT_EQ(rec.font_name[i], 0) << i;
}

} // namespace
