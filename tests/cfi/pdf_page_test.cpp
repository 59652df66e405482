// The page arithmetic of a PDF format and the library tables it reads.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>

#include "cfi/pdf_page.h"
#include "lib/strs.h"

namespace {

constexpr uint8_t COURIER = 0, HELVETICA = 4;

pdf_layout letter(uint16_t left, uint16_t right, uint16_t top, uint16_t bottom,
                  uint16_t spacing = 0, uint8_t font = COURIER, uint8_t size = 12) {
  return {.page = {612, 792},
          .left = left,
          .right = right,
          .top = top,
          .bottom = bottom,
          .line_spacing = spacing,
          .font = font,
          .font_size = size};
}

TEST(PdfPage, EffectivePageTakesTheNamedPaperAndTurnsForLandscape) {
  // clang-format off
  const struct {
    uint8_t paper;
    bool landscape;
    uint16_t w, h;
  } cases[] = {
      {0, false, 500, 700}, // custom: the fields as they stand
      {0, true, 700, 500},
      {3, false, 595, 842}, // A4, whatever the fields hold
      {3, true, 842, 595},
      {1, false, 612, 792}, // Letter
      {9, false, 500, 700}, // beyond the table: taken as custom, never read past it
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << "paper " << int{c.paper} << " landscape " << c.landscape);
    const pdf_size s = pdf_effective_page(c.paper, 500, 700, c.landscape);
    EXPECT_EQ(s.width, c.w);
    EXPECT_EQ(s.height, c.h);
  }
}

TEST(PdfPage, PrintableAreaRefusesMarginsThatMeetAndAddsIn16Bits) {
  // clang-format off
  const struct {
    const char *what;
    pdf_layout l;
    uint16_t w, h;
  } cases[] = {
      {"default margins", letter(18, 18, 36, 36), 576, 720},
      {"left and right meet", letter(300, 312, 36, 36), 0, 720},
      {"one short of meeting", letter(300, 311, 36, 36), 1, 720},
      {"left alone covers the page", letter(612, 0, 36, 36), 0, 720},
      {"top and bottom meet", letter(18, 18, 400, 392), 576, 0},
      {"line spacing tests but is not taken off", letter(18, 18, 36, 36, 100), 576, 720},
      {"line spacing fills what is left", letter(18, 18, 36, 36, 720), 576, 0},
      {"line spacing as high as the page", letter(0, 0, 0, 0, 792), 612, 0},
      // The sum wraps: 40000 + 30000 is 4464 in 16 bits, below the width, so
      // the width is taken, and the difference wraps too.
      {"16-bit sum", {.page = {65535, 792}, .left = 40000, .right = 30000, .top = 0, .bottom = 0},
       61071, 792},
      {"16-bit sum of the height", {.page = {612, 65535}, .top = 30000, .bottom = 30000,
                                    .line_spacing = 10000}, 612, 5535},
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    const pdf_size a = pdf_printable_area(c.l);
    EXPECT_EQ(a.width, c.w);
    EXPECT_EQ(a.height, c.h);
  }
}

TEST(PdfPage, EstimateCountsCharactersAndLinesOfTheFont) {
  // clang-format off
  const struct {
    const char *what;
    pdf_layout l;
    uint32_t chars, lines;
  } cases[] = {
      {"Courier 12 on Letter", letter(18, 18, 36, 36), 80, 60},
      {"Helvetica 10", letter(18, 18, 36, 36, 0, HELVETICA, 10), 112, 72},
      {"line spacing 2", letter(18, 18, 36, 36, 2), 80, 51},
      {"left 300 right 312", letter(300, 312, 36, 36), 0, 0},
      {"height of exactly one line", letter(18, 18, 390, 390), 80, 1},
      {"height below one line", letter(18, 18, 391, 390), 0, 0},
      {"width below one character", letter(300, 305, 36, 36), 0, 60},
      {"size 0", letter(18, 18, 36, 36, 0, COURIER, 0), 0, 0},
      {"font beyond the table", letter(18, 18, 36, 36, 0, 12), 0, 0},
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    const pdf_estimate e = pdf_text_estimate(c.l);
    EXPECT_EQ(e.chars, c.chars);
    EXPECT_EQ(e.lines, c.lines);
    EXPECT_EQ(e.valid(), c.chars != 0 && c.lines != 0);
  }
}

TEST(PdfPage, InchesAreTruncatedToHundredthsWithoutTrailingZeros) {
  // clang-format off
  const struct {
    uint16_t units;
    const char *text;
  } cases[] = {
      {0, "0"},      {1, "0.01"},  {5, "0.06"},  {18, "0.25"},    {36, "0.5"},  {72, "1"},
      {612, "8.5"},  {792, "11"},  {842, "11.69"}, {1191, "16.54"}, {1440, "20"}, {65535, "910.2"},
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(c.units);
    char out[PDF_INCHES_SIZE];
    std::memset(out, 'x', sizeof out);
    EXPECT_EQ(pdf_inches_text(c.units, out), 0);
    EXPECT_STREQ(out, c.text);
    const std::size_t n = std::strlen(out);
    for (std::size_t i = n; i < sizeof out; ++i)
      ASSERT_EQ(out[i], '\0') << "byte " << i << " not zeroed";
  }
}

// What the screen relies on in the library's tables: every named paper fits
// the Width and Height range it is stored into, every font has a width, and
// exactly the fixed-pitch fonts refuse alignment.
TEST(PdfPage, LibraryTablesHoldWhatTheScreenNeeds) {
  static_assert(offsetof(pdf_font_info, no_alignment) == 48);
  static_assert(offsetof(pdf_font_info, char_width) == 50);
  for (int p = 1; p < 9; ++p) {
    SCOPED_TRACE(pdf_papername_strs[p]);
    EXPECT_GE(pdf_paper_width[p], 72);
    EXPECT_LE(pdf_paper_height[p], 1440);
    EXPECT_LT(pdf_paper_width[p], pdf_paper_height[p]) << "named papers are stored portrait";
  }
  for (int f = 0; f < 12; ++f) {
    SCOPED_TRACE(pdf_fontname_strs[f]);
    EXPECT_STREQ(pdf_font_info_tbl[f].name, pdf_fontname_strs[f]);
    EXPECT_GT(pdf_font_info_tbl[f].char_width, 0);
    EXPECT_EQ(pdf_font_info_tbl[f].no_alignment != 0, f < 4);
  }
}

} // namespace
