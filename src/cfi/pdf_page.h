// Page arithmetic of a PDF format: the effective page, the printable area,
// the estimate of characters and lines, and sizes as inches texts. Plain
// functions over values, so the format screen and its tests share them.
#pragma once

#include <cstddef>
#include <cstdint>

// A width and height in 1/72 inch.
struct pdf_size {
  uint16_t width;
  uint16_t height;
};

// What the page arithmetic reads: the effective page (paper and landscape
// already applied), the margins and line spacing in 1/72 inch, the font's
// table index and its size in points.
struct pdf_layout {
  pdf_size page;
  uint16_t left, right, top, bottom;
  uint16_t line_spacing;
  uint8_t font;
  uint8_t font_size;
};

// Characters per line and lines per page; both nonzero when the page holds
// any text at all.
struct pdf_estimate {
  uint32_t chars;
  uint32_t lines;
  bool valid() const { return chars != 0 && lines != 0; }
};

// A named paper's size (paper 1..8), or `width` x `height` for paper 0;
// landscape exchanges the two.
pdf_size pdf_effective_page(uint8_t paper, uint16_t width, uint16_t height, bool landscape);

// The page less its margins; a dimension whose margins (and, for the
// height, the line spacing) leave nothing is 0. The margin sums are taken in
// 16 bits, as the runtime takes them when it lays out a page.
pdf_size pdf_printable_area(const pdf_layout &l);

// Characters of the font's average width across the printable width, and
// lines of the font size plus the line spacing down the printable height.
// A font outside the table, a size of 0, or a height below one line gives
// no estimate.
pdf_estimate pdf_text_estimate(const pdf_layout &l);

constexpr size_t PDF_INCHES_SIZE = 32;
// `units` (1/72 inch) in inches, truncated to hundredths, trailing fraction
// zeros dropped ("8.5", "11.69", "0"); the unused rest of `out` is zeroed.
// Returns 0 or the decimal services' status.
int pdf_inches_text(uint16_t units, char (&out)[PDF_INCHES_SIZE]);
