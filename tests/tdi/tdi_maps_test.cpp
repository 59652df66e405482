// The display character and colour map screens over a real store, and the
// row texts the two 256-code screens share.
#include <cstring>

#include "edit/code_text.h"
#include "editor_fixture.h"

using namespace editor_test;

namespace {

TEST(CodeText, DescriptionsAndChrColumn) {
  // clang-format off
  const struct {
    uint8_t b;
    const char *description;
    const char *chr_plain, *chr_c1; // Chr on other types, on the console types
  } cases[] = {
      {0, "  0 000 00  Ctrl-@", "N/D", "N/D"},
      {1, "  1 001 01  Ctrl-A", "N/D", "N/D"},
      {32, " 32 040 20  Space", "( )", "( )"},
      {65, " 65 101 41  ASCII \"A\"", "(A)", "(A)"},
      {92, " 92 134 5C  ASCII \"\\\"", "(\\)", "(\\)"},
      {94, " 94 136 5E  ASCII \"^\"", "(^)", "(^)"},
      {127, "127 177 7F  \\177", "(\x7f)", "(\x7f)"},
      {150, "150 226 96  \\226", "N/D", "(\x96)"},
      {255, "255 377 FF  \\377", "(\xff)", "(\xff)"},
  };
  // clang-format on
  for (const auto &c : cases) {
    char text[CODE_TEXT_SIZE], chr[8];
    describe_code(c.b, text);
    EXPECT_STREQ(text, c.description);
    EXPECT_LE(std::strlen(text), 22u) << "wider than its column";
    chr_text(c.b, false, chr);
    EXPECT_STREQ(chr, c.chr_plain) << int(c.b);
    chr_text(c.b, true, chr);
    EXPECT_STREQ(chr, c.chr_c1) << int(c.b);
  }
}

class TdiMaps : public DescriptionTest {
protected:
  void set_colours(const uint8_t (&map)[16]) {
    tdi_ctrl rec = record();
    std::memcpy(rec.colour_map, map, 16);
    ASSERT_EQ(put_ctrl_tdi(handle_, &rec), 0);
  }
};

TEST_F(TdiMaps, DisplayValuesAreReadAsExactlyOneByte) {
  open_base(0);
  // clang-format off
  const struct {
    const char *typed;
    uint8_t want;
    uint8_t changed;
    int bells;
    const char *chr;
  } cases[] = {
      {"\\033", 27, 1, 0, "N/D"},
      {"AB", 'Z', 0, 1, "(Z)"},  // two bytes: refused, the stored byte stays
      {"", 'Z', 0, 1, "(Z)"},    // no byte at all
      {"Z", 'Z', 0, 0, "(Z)"},   // the same byte: nothing written
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(c.typed);
    tdi_ctrl rec = record();
    rec.display_map[0] = 'Z';
    ASSERT_EQ(put_ctrl_tdi(handle_, &rec), 0);
    desc_changed = 0;
    fresh();
    retype(c.typed, ENTER); // on to code 1, or stays on code 0 after a refusal
    keys({ESC});
    EXPECT_EQ(configure_display_characters(handle_), 0);
    EXPECT_EQ(memscreen_keys_left(), 0u);
    EXPECT_EQ(record().display_map[0], c.want);
    EXPECT_EQ(desc_changed, c.changed);
    EXPECT_EQ(memscreen_bells(), c.bells);
    EXPECT_EQ(cells(7, 64, 3), c.chr);
  }
}

TEST_F(TdiMaps, DisplayCopyWrapsAndUpShowsTheLastPage) {
  open_base(11);
  // Up to code 255 (the last page, codes 242..255), map it to 'x' and copy
  // it with F5: it wraps onto code 0 and the first page comes back.
  keys({UP});
  retype("x", KEY_F5);
  keys({ESC});
  EXPECT_EQ(configure_display_characters(handle_), 0);
  const tdi_ctrl rec = record();
  EXPECT_EQ(rec.display_map[255], 'x');
  EXPECT_EQ(rec.display_map[0], 'x');
  EXPECT_EQ(desc_changed, 1);
  EXPECT_EQ(cells(7, 0, 3), "  0") << "the first page is shown after the wrap";
  EXPECT_EQ(cells(7, 64, 3), "(x)");
  EXPECT_EQ(memscreen_bells(), 0);

  fresh();
  keys({UP, ESC});
  EXPECT_EQ(configure_display_characters(handle_), 0);
  EXPECT_EQ(cells(7, 0, 3), "242");
  EXPECT_EQ(cells(20, 0, 3), "255");
}

TEST_F(TdiMaps, BaseColoursResetFromNormalAndRepeatInTheUpperHalf) {
  open_base(13);
  set_colours({0x00, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27});
  // Normal: foreground 7, not intense; background 1, not intense.
  keys({KEY_RIGHT, KEY_RIGHT, KEY_RIGHT, KEY_RIGHT, KEY_RIGHT, KEY_RIGHT, KEY_RIGHT, ENTER, ENTER,
        KEY_RIGHT, ENTER, ENTER, ESC});
  EXPECT_EQ(configure_base_colours(handle_), 0);
  const uint8_t want[16] = {0x17, 0x17, 0x71, 0x71, 0x17, 0x17, 0x71, 0x71,
                            0x17, 0x17, 0x71, 0x71, 0x17, 0x17, 0x71, 0x71};
  EXPECT_EQ(std::memcmp(record().colour_map, want, 16), 0);
  EXPECT_EQ(desc_changed, 1);
  // The reset rows are drawn again: combination 2 shows foreground 1 now.
  const std::string fg1 = fgbg_color_env_strs[1];
  EXPECT_EQ(cells(7, 40, static_cast<int>(fg1.size())), fg1) << memscreen_row(7);

  // Normal set back to what it was resets nothing; another row alone
  // changes only itself.
  set_colours({0x17, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27});
  desc_changed = 0;
  fresh();
  keys({KEY_RIGHT, KEY_LEFT, DOWN, DOWN, KEY_RIGHT, ESC});
  EXPECT_EQ(configure_base_colours(handle_), 0);
  const uint8_t kept[16] = {0x17, 0x21, 0x23, 0x23, 0x24, 0x25, 0x26, 0x27,
                            0x17, 0x21, 0x23, 0x23, 0x24, 0x25, 0x26, 0x27};
  EXPECT_EQ(std::memcmp(record().colour_map, kept, 16), 0);
  EXPECT_EQ(desc_changed, 1);
}

TEST_F(TdiMaps, AttributeRowsWrapWithoutScrollingAndTouchOnlyTheirByte) {
  open_base(11);
  uint8_t map[16];
  for (int i = 0; i < 16; ++i) map[i] = static_cast<uint8_t>(0x10 * (i % 8) + i % 8);
  set_colours(map);
  // Up on combination 0 goes to 15; its foreground steps on by one.
  keys({UP, KEY_RIGHT, ESC});
  EXPECT_EQ(configure_colour_attributes(handle_), 0);
  map[15] = 0x70; // foreground 7 wrapped round to 0
  EXPECT_EQ(std::memcmp(record().colour_map, map, 16), 0);
  EXPECT_TRUE(row_has(20, ca_strs[15])) << "all 16 rows stay on rows 5 to 20";

  // Untouched: the record is written back unchanged and nothing is marked.
  desc_changed = 0;
  fresh();
  keys({DOWN, DOWN, ESC});
  EXPECT_EQ(configure_colour_attributes(handle_), 0);
  EXPECT_EQ(std::memcmp(record().colour_map, map, 16), 0);
  EXPECT_EQ(desc_changed, 0);
}

} // namespace
