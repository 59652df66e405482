// Opening the screen, the message line, the small screen operations and the
// trace lines.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "lib/kern.h"
#include "lib/memscreen.h"
#include "lib/scrn.h"
#include "lib/tdi_store.h"
#include "scrmgr/scrmgr.h"
#include "scrmgr/scrmgr_internal.h"
#include "scrmgr_fixture.h"

using namespace scrmgr_test;

namespace {

template <typename T> T member(size_t offset) {
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
    proc_TelnetStream_ = 0;
    proc_isTelnet_ = 0;
  }
  void TearDown() override {
    proc_inConsole_ = 0;
    proc_isTelnet_ = 0;
    proc_TelnetStream_ = 0;
    proc_trace_mask_ = 0;
    ScreenTest::TearDown();
  }
};

TEST_F(OpenTest, BuildsBlockForTwentyFourByEighty) {
  memset(stdin_obj_, 0, sizeof stdin_obj_);
  message_shown = true;
  ASSERT_EQ(display_open(), 0);
  EXPECT_FALSE(message_shown);
  ASSERT_NE(cur_scrn_, nullptr);
  EXPECT_EQ(member<uint16_t>(0), 72);
  EXPECT_EQ(member<uint16_t>(SCRN_LAST_LINE), 23);
  EXPECT_EQ(member<uint16_t>(SCRN_LAST_COL), 79);
  EXPECT_EQ(member<uint16_t>(SCRN_CELLS), 1920);
  EXPECT_EQ(member<uint32_t>(88), 32u);
  auto *image = member<uint8_t *>(SCRN_IMAGE);
  auto *area = member<uint8_t *>(SCRN_AREA512);
  auto *lines = member<uint8_t *>(SCRN_LINE_AREA);
  EXPECT_EQ(area - image, 7680);
  EXPECT_EQ(lines - area, 512);
  uint32_t first, last;
  memcpy(&first, image, 4);
  memcpy(&last, image + 7676, 4);
  EXPECT_EQ(first, 0x20u);
  EXPECT_EQ(last, 0x20u);
  for (const uint8_t *obj : {stdin_obj_, stdout_obj_, stderr_obj_}) {
    EXPECT_EQ(obj[0], 3);
    EXPECT_EQ(obj[1], 0xFF);
    EXPECT_EQ(obj[2], 0xFF);
    EXPECT_EQ(obj[3], 0xFF);
  }
  EXPECT_EQ(memcmp(static_cast<uint8_t *>(cur_scrn_) + 4, stdin_obj_, 4), 0);
  EXPECT_EQ(memcmp(static_cast<uint8_t *>(cur_scrn_) + 8, stdout_obj_, 4), 0);
  display_close();
}

TEST_F(OpenTest, RefusesOversizedScreenWithMessageAndTrace) {
  memscreen_use(255, 257);
  proc_trace_mask_ = 0x200;
  testing::internal::CaptureStderr();
  EXPECT_EQ(display_open(), 1);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("line=255 col=257"), std::string::npos) << err;
  EXPECT_NE(err.find("display_open"), std::string::npos) << err;
  EXPECT_NE(err.find("86"), std::string::npos) << err;
}

TEST_F(OpenTest, OpensOnlyWithConsoleOrPlainTelnet) {
  struct {
    uint8_t console, telnet, stream;
    int want;
  } cases[] = {
      {0, 0, 0, 1}, {0, 1, 1, 1}, {0, 1, 0, 0}, {1, 0, 0, 0}, {1, 1, 1, 0},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << int{c.console} << int{c.telnet} << int{c.stream});
    memscreen_use();
    proc_inConsole_ = c.console;
    proc_isTelnet_ = c.telnet;
    proc_TelnetStream_ = c.stream;
    testing::internal::CaptureStderr();
    EXPECT_EQ(display_open(), c.want);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");  // trace is off
  }
}

TEST(ScreenSize, CellCountAndImageBytes) {
  struct {
    uint16_t lines, cols;
    bool ok;
    uint16_t cells;
    size_t bytes;
  } cases[] = {
      {24, 80, true, 1920, 8216},
      {25, 80, true, 2000, 8000 + 512 + 28},
      {255, 255, true, 65025, 4u * 65025 + 512 + 256},
      {255, 257, false, 0, 0},
      {257, 255, false, 0, 0},
      {0, 80, true, 0, 512},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << c.lines << "x" << c.cols);
    uint16_t cells = 0;
    ASSERT_EQ(screen_cells(c.lines, c.cols, &cells), c.ok);
    if (!c.ok) continue;
    EXPECT_EQ(cells, c.cells);
    EXPECT_EQ(screen_image_bytes(c.lines, cells), c.bytes);
  }
}

class MessageTest : public ScreenTest {};

TEST_F(MessageTest, ShowAndClear) {
  EXPECT_EQ(clear_message(), 0);  // nothing shown: nothing to do
  EXPECT_FALSE(message_shown);
  ASSERT_EQ(show_message(0x3002), 0);
  EXPECT_TRUE(message_shown);
  EXPECT_TRUE(memscreen_message_shown());
  EXPECT_EQ(memscreen_message_code(), 0x3002u);
  EXPECT_EQ(memscreen_message_text(), "");
  ASSERT_EQ(clear_message(), 0);
  EXPECT_FALSE(message_shown);
}

TEST_F(MessageTest, TextGoesWithItsLength) {
  ASSERT_EQ(show_message_text(0x3002, "file.cfi"), 0);
  EXPECT_TRUE(message_shown);
  EXPECT_EQ(memscreen_message_text(), "file.cfi");
  ASSERT_EQ(show_message_text(0x3005, nullptr), 0);
  EXPECT_EQ(memscreen_message_code(), 0x3005u);
  EXPECT_EQ(memscreen_message_text(), "");
  display_close();
  EXPECT_FALSE(memscreen_message_shown());
}

TEST_F(MessageTest, LineAndScreenClearing) {
  std::string xs(80, 'x');
  for (uint16_t r : {0, 21, 22, 23}) {
    form_field f = label(FF_STATIC, r, 0, 80, xs.c_str());
    ASSERT_EQ(display_field(&f), 0);
  }
  clear_prompt_line();
  EXPECT_EQ(memscreen_row(22), std::string(80, ' '));
  EXPECT_EQ(memscreen_row(21), xs);
  EXPECT_EQ(memscreen_row(23), xs);
  clear_screen();
  EXPECT_EQ(memscreen_row(0), std::string(80, ' '));
  EXPECT_EQ(memscreen_row(23), std::string(80, ' '));
  ring_bell();
  EXPECT_EQ(memscreen_bells(), 1);
}

TEST_F(MessageTest, TraceLinesOnlyWithMaskBit) {
  struct {
    uint32_t mask;
    bool want;
  } cases[] = {{0, false}, {0x1FF, false}, {0x200, true}, {0xFFFFFFFF, true}};
  form_field fields[1] = {label(FF_STATIC, 0, 0, 5, "none")};
  form f = make_form(0, fields);
  for (const auto &c : cases) {
    SCOPED_TRACE(c.mask);
    proc_trace_mask_ = c.mask;
    uint16_t index = 0, key = 0;
    testing::internal::CaptureStderr();
    EXPECT_EQ(accept_menu(&f, &index, &key), 1);
    std::string err = testing::internal::GetCapturedStderr();
    bool traced = err.find("scrmgr") != std::string::npos &&
                  err.find("692") != std::string::npos &&
                  err.find("accept_menu") != std::string::npos &&
                  err.find("SE_INV_OPER") != std::string::npos;
    EXPECT_EQ(traced, c.want) << err;
  }
  proc_trace_mask_ = 0;
}

TEST_F(MessageTest, NumberEntryTracesRefusedDigit) {
  proc_trace_mask_ = 0x200;
  form_field fields[1] = {field(FIELD_NUMBER, FF_DATA | FF_INPUT, 2, 0, 5, 0, 0, 65535)};
  form f = make_form(0, fields);
  type("70000");
  keys({KEY_ENTER, KEY_ENTER});
  uint16_t index = 0, key = 0;
  testing::internal::CaptureStderr();
  EXPECT_EQ(accept_menu(&f, &index, &key), 0);
  std::string err = testing::internal::GetCapturedStderr();
  proc_trace_mask_ = 0;
  EXPECT_NE(err.find("533"), std::string::npos) << err;
  EXPECT_NE(err.find("accept_num_field"), std::string::npos) << err;
  EXPECT_EQ(fields[0].value, 7000);
}

} // namespace
