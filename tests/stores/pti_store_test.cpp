// The printer translation store: every field through save and load, the
// three built-in translations, comment and map limits, side-file names.
#include "lib/internal/lib_internal.h"
#include "lib/pti_store.h"
#include "lib/status.h"
#include "lib/strs.h"
#include "support/support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <unistd.h>

namespace {

TEST(PtiStore, EveryFieldRoundTripsThroughSaveAndLoad) {
  xntest::TempDir dir;
  std::mt19937 rng(5);
  for (uint8_t type = 0; type < PTI_PRINTER_TYPES; ++type) {
    uint32_t h = 0;
    ASSERT_EQ(open_pti(&h, static_cast<uint8_t>(2 - type)), 0);
    pti_ctrl ctrl[2] = {};
    pti_map map[256] = {};
    for (pti_ctrl &c : ctrl) {
      c.enable = rng() % 2, c.use_file = rng() % 2;
      for (int i = 0, n = rng() % 256; i < n; ++i)
        c.value[i] = static_cast<char>(rng() % 255 + 1);
    }
    for (pti_map &m : map) {
      m.length = rng() % 12;
      for (int i = 0; i < m.length; ++i)
        m.bytes[i] = static_cast<uint8_t>(rng());
    }
    char comment[32] = " Lead and trail \\ blanks ";
    for (uint32_t i = 0; i < 2; ++i) {
      ASSERT_EQ(put_ctrl_pti(h, i, &ctrl[i]), 0);
    }
    for (uint32_t c = 0; c < 256; ++c) {
      ASSERT_EQ(put_map_pti(h, c, &map[c]), 0);
    }
    ASSERT_EQ(put_comment_pti(h, comment), 0);
    ASSERT_EQ(default_pti(h, type), 0); // the type comes from default_pti only
    for (uint32_t i = 0; i < 2; ++i)
      put_ctrl_pti(h, i, &ctrl[i]);
    for (uint32_t c = 0; c < 256; ++c)
      put_map_pti(h, c, &map[c]);
    put_comment_pti(h, comment);
    std::string name = dir.file("rt.pti");
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

TEST(PtiStore, BuiltInTranslations) {
  struct Case {
    uint8_t type;
    const char *start;
    const char *end;
  };
  const Case cases[] = {{0, "", "^L"}, {1, "^[E", "^[E"}, {2, "^[@", "^L"}};
  for (const Case &c : cases) {
    uint32_t h = 0;
    open_pti(&h, c.type);
    EXPECT_EQ(get_printer_type_pti(h), c.type);
    pti_ctrl start{}, end{};
    get_ctrl_pti(h, 0, &start), get_ctrl_pti(h, 1, &end);
    EXPECT_STREQ(start.value, c.start);
    EXPECT_STREQ(end.value, c.end);
    EXPECT_EQ(start.enable, c.start[0] != 0 ? 1 : 0);
    // Every stored job string reads back in the notation.
    uint8_t bytes[PTI_MAX_CTRL_BYTES];
    uint16_t length = PTI_MAX_CTRL_BYTES;
    EXPECT_EQ(pti_asctobytestring(start.value, bytes, &length), 0);
    for (uint32_t code = 0; code < 256; ++code) {
      pti_map m{};
      get_map_pti(h, code, &m);
      ASSERT_EQ(m.length, 1);
      ASSERT_EQ(m.bytes[0], code);
    }
    char comment[32];
    get_comment_pti(h, comment);
    EXPECT_STREQ(comment, pti_comment[c.type]);
    close_pti(&h);
  }
}

TEST(PtiStore, LimitsAndAccessBeyondTheTables) {
  uint32_t h = 0;
  open_pti(&h, 0);
  char long_text[64];
  std::memset(long_text, 'x', sizeof long_text - 1);
  long_text[63] = 0;
  ASSERT_EQ(put_comment_pti(h, long_text), 0);
  char comment[32];
  get_comment_pti(h, comment);
  EXPECT_EQ(std::strlen(comment), 31u);

  pti_map m{};
  m.length = 12;
  EXPECT_NE(put_map_pti(h, 65, &m), 0);
  get_map_pti(h, 65, &m);
  EXPECT_EQ(m.length, 1);
  pti_map beyond{};
  std::memset(&beyond, 0x33, sizeof beyond);
  get_map_pti(h, 256, &beyond);
  EXPECT_EQ(beyond.length, 0);
  pti_ctrl c{};
  std::memset(&c, 0x44, sizeof c);
  get_ctrl_pti(h, 2, &c);
  EXPECT_EQ(c.enable, 0);
  EXPECT_EQ(put_ctrl_pti(h, 2, &c), 0);
  EXPECT_EQ(get_ctrl_pti(h + 50, 0, &c), ST_FAILED);
  close_pti(&h);
}

TEST(PtiStore, SideFileOfANeverSavedTranslationTakesItsTypeName) {
  xntest::TempDir dir;
  char old_dir[4096];
  ASSERT_NE(::getcwd(old_dir, sizeof old_dir), nullptr);
  ASSERT_EQ(::chdir(dir.path().c_str()), 0);
  init_pti();
  uint32_t h = 0;
  open_pti(&h, 1);
  write_side_files(); // nothing changed yet
  EXPECT_FALSE(xntest::file_exists(dir.file("pcl.pti.save")));
  put_comment_pti(h, "changed");
  write_side_files();
  EXPECT_TRUE(xntest::file_exists(dir.file("pcl.pti.save")));
  close_pti(&h);
  ASSERT_EQ(::chdir(old_dir), 0);
}

} // namespace
