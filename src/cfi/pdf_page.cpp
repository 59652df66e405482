// Page arithmetic of a PDF format, over the library's paper and font tables
// and its decimal services.
#include "cfi/pdf_page.h"

#include <cstring>
#include <iterator>

#include "lib/decimal.h"
#include "lib/strs.h"

pdf_size pdf_effective_page(uint8_t paper, uint16_t width, uint16_t height, bool landscape) {
  pdf_size s{width, height};
  if (paper != 0 && paper < std::size(pdf_paper_width))
    s = {pdf_paper_width[paper], pdf_paper_height[paper]};
  if (landscape) s = {s.height, s.width};
  return s;
}

pdf_size pdf_printable_area(const pdf_layout &l) {
  const uint16_t w = l.page.width, h = l.page.height;
  pdf_size a{0, 0};
  // The sums wrap at 16 bits on purpose: the runtime adds the same way.
  const auto across = static_cast<uint16_t>(l.left + l.right);
  if (l.left < w && l.right < w && across < w)
    a.width = static_cast<uint16_t>(w - l.right - l.left);
  const auto down = static_cast<uint16_t>(l.top + l.bottom + l.line_spacing);
  if (l.top < h && l.bottom < h && l.line_spacing < h && down < h)
    a.height = static_cast<uint16_t>(h - l.bottom - l.top);
  return a;
}

pdf_estimate pdf_text_estimate(const pdf_layout &l) {
  if (l.font >= std::size(pdf_font_info_tbl)) return {0, 0};
  const uint32_t cw = pdf_font_info_tbl[l.font].char_width;
  const uint32_t s = l.font_size;
  const pdf_size a = pdf_printable_area(l);
  // A printable height below the font size holds no line at all.
  if (cw == 0 || s == 0 || a.width == 0 || a.height < s) return {0, 0};
  return {uint32_t{a.width} * 1000u / (cw * s), (a.height - s) / (l.line_spacing + s) + 1u};
}

int pdf_inches_text(uint16_t units, char (&out)[PDF_INCHES_SIZE]) {
  std::memset(out, 0, sizeof out);
  dec_num value{}, per_inch{}, inches{};
  int st;
  if ((st = long_to_dec(units, &value)) > 0) return st;
  if ((st = long_to_dec(72, &per_inch)) > 0) return st;
  if ((st = dec_divide(&value, &per_inch, 2, &inches)) > 0) return st;
  dec_store_string(&inches, out, static_cast<int>(sizeof out), 1, 2, '.');
  return 0;
}
