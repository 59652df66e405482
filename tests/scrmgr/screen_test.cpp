// Opening the screen, the message line and the small screen operations.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "lib/kern.h"
#include "lib/tdi_store.h"
#include "scrmgr_fixture.h"

using namespace scrmgr_test;

namespace {

template <typename T>
T member(size_t offset) {
  T v;
  memcpy(&v, static_cast<const uint8_t *>(cur_scrn_) + offset, sizeof v);
  return v;
}

class OpenTest : public ScreenTest {
protected:
  void SetUp() override {
    ScreenTest::SetUp();
    static bool stores_ready = init_tdi() == 0;
    ASSERT_TRUE(stores_ready);
  }
  void TearDown() override {
    proc_inConsole_ = proc_isTelnet_ = proc_TelnetStream_ = 0;
    proc_trace_mask_ = 0;
    ScreenTest::TearDown();
  }
};

TEST_F(OpenTest, BuildsBlockForTwentyFourByEighty) {
  memset(stdin_obj_, 0, sizeof stdin_obj_);
  message_shown = true;
  ASSERT_EQ(display_open(), 0);
  EXPECT_FALSE(message_shown);
  EXPECT_EQ(member<uint16_t>(SCRN_LAST_LINE), 23);
  EXPECT_EQ(member<uint16_t>(SCRN_LAST_COL), 79);
  EXPECT_EQ(member<uint16_t>(SCRN_CELLS), 1920); // sizes the image below
  auto *image = member<uint8_t *>(SCRN_IMAGE);
  auto *area = member<uint8_t *>(SCRN_AREA512);
  EXPECT_EQ(area - image, 7680);
  EXPECT_EQ(member<uint8_t *>(SCRN_LINE_AREA) - area, 512);
  uint32_t last;
  memcpy(&last, image + 7676, 4);
  EXPECT_EQ(last, 0x20u);                         // every cell starts blank
  const uint8_t stamp[4] = {3, 0xFF, 0xFF, 0xFF}; // on each stream and in the block
  uint8_t *in_block = static_cast<uint8_t *>(cur_scrn_) + 4;
  for (uint8_t *obj : {+stdin_obj_, +stdout_obj_, +stderr_obj_, in_block}) {
    EXPECT_EQ(memcmp(obj, stamp, 4), 0);
  }
  display_close();
}

TEST_F(OpenTest, OpensOnlyOnAConsoleOrPlainTelnetOfASaneSize) {
  // err: on standard error; "": nothing at all.
  // clang-format off
  const struct {
    int lines, cols; uint8_t console, telnet, stream; uint32_t trace_mask; int want; const char *err;
  } cases[] = {
      {24, 80, 0, 0, 0, 0x1FF, 1, ""},
      {24, 80, 0, 1, 1, 0x200, 1, "scrmgr:86 display_open SE_INV_OPER"},
      {24, 80, 0, 1, 0, 0x200, 0, ""},
      {24, 80, 1, 1, 1, 0x200, 0, ""},
      {255, 257, 1, 0, 0, 0, 1, "line=255 col=257"},  // 65535 cells and up
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(&c - cases);
    memscreen_use(c.lines, c.cols);
    proc_inConsole_ = c.console;
    proc_isTelnet_ = c.telnet;
    proc_TelnetStream_ = c.stream;
    proc_trace_mask_ = c.trace_mask;
    testing::internal::CaptureStderr();
    EXPECT_EQ(display_open(), c.want);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find(c.err), std::string::npos) << err;
    EXPECT_EQ(err.empty(), *c.err == 0) << err;
  }
}

TEST_F(ScreenTest, MessagesAndClearing) {
  for (uint16_t r : {0, 21, 22, 23}) fill_row(r);
  clear_prompt_line();
  EXPECT_EQ(memscreen_row(22), std::string(80, ' '));
  EXPECT_EQ(memscreen_row(21) + memscreen_row(23), std::string(160, 'x'));
  clear_screen();
  EXPECT_EQ(memscreen_row(0) + memscreen_row(23), std::string(160, ' '));
  EXPECT_EQ(clear_message(), 0); // nothing shown: nothing to do
  ASSERT_EQ(show_message_text(0x3002, "file.cfi"), 0);
  EXPECT_EQ(memscreen_message_text(), "file.cfi");
  ASSERT_EQ(show_message(0x3005), 0);
  EXPECT_EQ(memscreen_message_code(), 0x3005u);
  EXPECT_EQ(memscreen_message_text(), "");
  ASSERT_EQ(clear_message(), 0);
  EXPECT_FALSE(message_shown);
  display_close();
  EXPECT_FALSE(memscreen_message_shown());
}

} // namespace
