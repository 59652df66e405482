// The character set of the screen, the key codes of plain bytes, and sizing
// the screen from a terminal description.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "lib/memscreen.h"
#include "lib/scrn.h"
#include "lib/screen/glyphs.h"
#include "lib/status.h"
#include "lib/tdi_store.h"

namespace {

using namespace xnscreen;

TEST(Glyphs, BytesMapThroughCodePage437) {
  const struct {
    uint8_t byte;
    char16_t glyph;
  } cases[] = {
      {'A', u'A'},     {' ', u' '},      {'~', u'~'},      {0x00, u' '},
      {0x01, u'☺'},    {0x1F, u'▼'},     {0x7F, u'⌂'},     {0x80, u'Ç'},
      {0xB3, u'│'},    {0xC4, u'─'},     {0xDA, u'┌'},     {0xBF, u'┐'},
      {0xC0, u'└'},    {0xD9, u'┘'},     {0xB4, u'┤'},     {0xC5, u'┼'},
      {0xCD, u'═'},    {0xBA, u'║'},     {0xDB, u'█'},     {0xE1, u'ß'},
      {0xFE, u'■'},    {0xFF, u'\u00A0'},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(glyph_of(c.byte), c.glyph) << "byte " << int(c.byte);
  }
}

TEST(Glyphs, EveryUpperByteHasItsOwnGlyphAndComesBack) {
  std::vector<char16_t> seen;
  for (int b = 0x80; b <= 0xFF; ++b) {
    const char16_t g = glyph_of(static_cast<uint8_t>(b));
    EXPECT_GE(g, 0x80) << b;
    for (char16_t s : seen) EXPECT_NE(s, g) << "byte " << b << " repeats a glyph";
    seen.push_back(g);
    EXPECT_EQ(byte_of_glyph(g), b) << "typing the glyph of byte " << b;
  }
  EXPECT_EQ(byte_of_glyph(U'a'), 'a');
  EXPECT_EQ(byte_of_glyph(U'€'), -1);
  EXPECT_EQ(byte_of_glyph(0x07), -1);
}

TEST(Keys, PlainBytesGiveTheirCodes) {
  const struct {
    uint8_t byte;
    uint16_t code;
  } cases[] = {
      {'\r', 0x300}, {'\n', 0x300}, {0x1B, 0x301},         {'\t', 0x800},
      {' ', 0x120},  {'a', 0x161},  {0xE9, 0x1E9},         {0x7F, KEYC_BACKSPACE},
      {0x08, KEYC_BACKSPACE},       {0x15, KEYC_CLEAR},    {0x03, KEYC_UNKNOWN},
      {0x01, KEYC_UNKNOWN},         {0x00, KEYC_UNKNOWN},
  };
  for (const auto &c : cases) EXPECT_EQ(key_from_byte(c.byte), c.code) << int(c.byte);
  // No key but ESC may have the low byte 1: the program reads that as ESC.
  for (int b = 0; b < 256; ++b) {
    const uint16_t code = key_from_byte(static_cast<uint8_t>(b));
    EXPECT_TRUE(code == 0x301 || (code & 0xFF) != 1) << b;
  }
  for (uint16_t code : {KEYC_HOME, KEYC_END, KEYC_BACKSPACE, KEYC_DELETE, KEYC_INSERT,
                        KEYC_CLEAR, KEYC_UNKNOWN})
    EXPECT_NE(code & 0xFF, 1) << std::hex << code;
}

class Sizing : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(init_tdi(), 0);
    ASSERT_EQ(open_tdi(&handle_, 11), 0);
  }
  void TearDown() override {
    close_tdi(&handle_);
    memscreen_release();
  }
  uint32_t handle_ = 0;
};

uint16_t u16_at(const unsigned char *block, size_t off) {
  uint16_t v;
  std::memcpy(&v, block + off, sizeof v);
  return v;
}

TEST_F(Sizing, BlockGetsLastLineAndColumnOfTheScreen) {
  const struct {
    int lines, cols;
  } sizes[] = {{24, 80}, {30, 100}, {255, 257}};
  for (const auto &s : sizes) {
    memscreen_use(s.lines, s.cols);
    unsigned char block[SCRN_BLOCK_SIZE] = {};
    ASSERT_EQ(load_tdi_scrn(handle_, block), 0);
    EXPECT_EQ(u16_at(block, SCRN_LAST_LINE), s.lines - 1);
    EXPECT_EQ(u16_at(block, SCRN_LAST_COL), s.cols - 1);
  }
  EXPECT_EQ(load_tdi_scrn(handle_, nullptr), ST_FAILED);
}

TEST_F(Sizing, UnknownHandleIsRefusedAndBlockLeftAlone) {
  memscreen_use();
  unsigned char block[SCRN_BLOCK_SIZE] = {};
  EXPECT_GT(load_tdi_scrn(handle_ + 0x1234, block), 0);
  EXPECT_EQ(u16_at(block, SCRN_LAST_LINE), 0);
}

TEST_F(Sizing, WiderScreenKeepsDrawingAndMessagesInPlace) {
  memscreen_use(30, 100);
  field_ctl c{};
  c.row = 29;
  c.col = 95;
  c.attr = ATTR_FIELD;
  c.len = 8;
  ASSERT_EQ(putfld_scrn("abcdefgh", &c), 0);  // clipped at the last cell
  dis_msg_scrn(0, MSG_MODE_SHOW, "note", 4);
  EXPECT_EQ(memscreen_row(29).substr(95), "abcde");
  EXPECT_EQ(memscreen_row(23).substr(0, 5), "note ");
  EXPECT_EQ(memscreen_row(23).size(), 100u);
}

}  // namespace
