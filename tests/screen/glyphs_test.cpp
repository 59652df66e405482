// The character set of the screen, the key codes of plain bytes, and sizing
// the screen from a terminal description.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "lib/memscreen.h"
#include "lib/scrn.h"
#include "lib/screen/glyphs.h"
#include "lib/status.h"
#include "lib/tdi_store.h"

namespace {

using namespace xnscreen;

TEST(Glyphs, BytesMapThroughCodePage437AndBack) {
  const std::pair<uint8_t, char16_t> cases[] = {{'A', u'A'},      {0x00, u' '}, {0x01, u'☺'},
                                                {0x7F, u'⌂'},     {0x80, u'Ç'}, {0xDA, u'┌'},
                                                {0xFF, u'\u00A0'}};
  for (const auto &[byte, glyph] : cases) EXPECT_EQ(glyph_of(byte), glyph) << int(byte);
  // Each upper byte has a glyph of its own, and typing it gives the byte back.
  std::set<char16_t> seen;
  for (int b = 0x80; b <= 0xFF; ++b) {
    const char16_t g = glyph_of(static_cast<uint8_t>(b));
    EXPECT_TRUE(seen.insert(g).second) << "byte " << b << " repeats a glyph";
    EXPECT_EQ(byte_of_glyph(g), b);
  }
  EXPECT_EQ(byte_of_glyph(U'a'), 'a');
  EXPECT_EQ(byte_of_glyph(U'€'), -1);
  EXPECT_EQ(byte_of_glyph(0x07), -1);
}

TEST(Keys, PlainBytesGiveTheirCodes) {
  const std::pair<uint8_t, uint16_t> cases[] = {
      {'\r', 0x300},      {'\n', 0x300},       {0x1B, 0x301},          {'\t', 0x800},
      {' ', 0x120},       {0xE9, 0x1E9},       {0x7F, KEYC_BACKSPACE}, {0x08, KEYC_BACKSPACE},
      {0x15, KEYC_CLEAR}, {0x01, KEYC_UNKNOWN}};
  for (const auto &[byte, code] : cases) EXPECT_EQ(key_from_byte(byte), code) << int(byte);
  // No key but ESC may have the low byte 1: the program reads that as ESC.
  for (int b = 0; b < 256; ++b) {
    const uint16_t code = key_from_byte(static_cast<uint8_t>(b));
    EXPECT_TRUE(code == 0x301 || (code & 0xFF) != 1) << b;
  }
}

TEST(Sizing, BlockGetsTheScreenSizeOrIsLeftAlone) {
  ASSERT_EQ(init_tdi(), 0);
  uint32_t handle = 0;
  ASSERT_EQ(open_tdi(&handle, 11), 0);
  memscreen_use(30, 100);
  unsigned char block[SCRN_BLOCK_SIZE] = {};
  EXPECT_EQ(load_tdi_scrn(handle, nullptr), ST_FAILED);
  EXPECT_GT(load_tdi_scrn(handle + 0x1234, block), 0);
  EXPECT_EQ(block[SCRN_LAST_LINE], 0);
  ASSERT_EQ(load_tdi_scrn(handle, block), 0);
  uint16_t last[2];
  std::memcpy(&last[0], block + SCRN_LAST_LINE, 2);
  std::memcpy(&last[1], block + SCRN_LAST_COL, 2);
  EXPECT_EQ(last[0] * 1000 + last[1], 29099);
  close_tdi(&handle);
  memscreen_release();
}

} // namespace
