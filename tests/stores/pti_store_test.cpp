// The printer translation store: the built-in translations, every field
// through save and load, and the limits of its tables.
#include "lib/pti_store.h"
#include "lib/status.h"
#include "lib/strs.h"
#include "support/support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

namespace {

TEST(PtiStore, EveryFieldRoundTripsThroughSaveAndLoad) {
  xntest::TempDir dir;
  std::mt19937 rng(5);
  for (uint8_t type = 0; type < PTI_PRINTER_TYPES; ++type) {
    uint32_t h = 0;
    ASSERT_EQ(open_pti(&h, static_cast<uint8_t>(2 - type)), 0);
    ASSERT_EQ(default_pti(h, type), 0); // the type comes from default_pti only
    for (uint32_t i = 0; i < 2; ++i) {  // built-in job strings read in the notation
      pti_ctrl c{};
      uint8_t bytes[PTI_MAX_CTRL_BYTES];
      uint16_t length = PTI_MAX_CTRL_BYTES;
      get_ctrl_pti(h, i, &c);
      EXPECT_EQ(pti_asctobytestring(c.value, bytes, &length), 0) << c.value;
    }
    pti_ctrl ctrl[2] = {};
    pti_map map[256] = {};
    for (uint32_t i = 0; i < 2; ++i) {
      ctrl[i].enable = rng() % 2, ctrl[i].use_file = rng() % 2;
      for (int b = 0, n = rng() % 256; b < n; ++b)
        ctrl[i].value[b] = static_cast<char>(rng() % 255 + 1);
      ASSERT_EQ(put_ctrl_pti(h, i, &ctrl[i]), 0);
    }
    for (uint32_t c = 0; c < 256; ++c) {
      pti_map m{};
      get_map_pti(h, c, &m);
      EXPECT_TRUE(m.length == 1 && m.bytes[0] == c) << "built-in maps are identity: " << c;
      map[c].length = rng() % 12;
      for (int b = 0; b < map[c].length; ++b) map[c].bytes[b] = static_cast<uint8_t>(rng());
      ASSERT_EQ(put_map_pti(h, c, &map[c]), 0);
    }
    const char comment[32] = " Lead and trail \\ blanks ";
    ASSERT_EQ(put_comment_pti(h, comment), 0);
    const std::string name = dir.file("rt.pti");
    ASSERT_EQ(save_pti(h, name.c_str(), 1), 0) << get_error_buffer_pti(h);
    close_pti(&h);

    open_pti(&h, 0);
    ASSERT_EQ(load_pti(h, name.c_str()), 0) << get_error_buffer_pti(h);
    EXPECT_EQ(get_printer_type_pti(h), type);
    for (uint32_t i = 0; i < 2; ++i) {
      pti_ctrl got{};
      get_ctrl_pti(h, i, &got);
      EXPECT_EQ(std::memcmp(&got, &ctrl[i], sizeof got), 0) << "control " << i;
    }
    for (uint32_t c = 0; c < 256; ++c) {
      pti_map got{};
      get_map_pti(h, c, &got);
      EXPECT_EQ(std::memcmp(&got, &map[c], sizeof got), 0) << "code " << c;
    }
    char got_comment[32];
    get_comment_pti(h, got_comment);
    EXPECT_STREQ(got_comment, comment);
    close_pti(&h);
  }
}

TEST(PtiStore, LimitsAndAccessBeyondTheTables) {
  uint32_t h = 0;
  open_pti(&h, 1);
  const std::string long_text(63, 'x');
  ASSERT_EQ(put_comment_pti(h, long_text.c_str()), 0);
  char comment[32];
  get_comment_pti(h, comment);
  EXPECT_EQ(std::strlen(comment), 31u);
  pti_map m{};
  m.length = 12;
  EXPECT_NE(put_map_pti(h, 65, &m), 0);
  get_map_pti(h, 65, &m);
  EXPECT_EQ(m.length, 1);
  std::memset(&m, 0x33, sizeof m);
  get_map_pti(h, 256, &m);
  EXPECT_EQ(m.length, 0);
  pti_ctrl c{};
  std::memset(&c, 0x44, sizeof c);
  get_ctrl_pti(h, 2, &c);
  EXPECT_EQ(c.enable, 0);
  EXPECT_EQ(put_ctrl_pti(h, 2, &c), 0);
  EXPECT_EQ(get_ctrl_pti(h + 50, 0, &c), ST_FAILED);
  close_pti(&h);
}

} // namespace
