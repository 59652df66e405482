// String tables: every text fits the column the screens give it, the names
// used as keys and file names are unique, the paper and font tables agree.
#include "lib/strs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <span>
#include <string>

namespace {

TEST(StringTables, TextsFitTheirColumnsAndAreNotEmpty) {
  struct Table {
    const char *name;
    std::span<const char *const> texts;
    size_t width;
  };
  const Table tables[] = {
      {"term_strs", term_strs, 16},           {"cursor_strs", cursor_strs, 9},
      {"type_text", type_text, 16},           {"ifunc_text", ifunc_text, 18},
      {"edit_text", edit_text, 18},           {"ca_strs", ca_strs, 32},
      {"printer_strs", printer_strs, 15},     {"ctrl_name_str", ctrl_name_str, 9},
      {"abort_env_strs", abort_env_strs, 14}, {"scropt_env_strs", scropt_env_strs, 15},
      {"sdmode_env_strs", sdmode_env_strs, 15}, {"reverse_env_strs", reverse_env_strs, 15},
      {"color_env_strs", color_env_strs, 16}, {"fgbg_color_env_strs", fgbg_color_env_strs, 7},
      {"uart_baud_strs", uart_baud_strs, 5},  {"uart_data_strs", uart_data_strs, 1},
      {"uart_parity_strs", uart_parity_strs, 1}, {"uart_stop_strs", uart_stop_strs, 1},
      {"pcq_disp_strs", pcq_disp_strs, 6},    {"pdf_papername_strs", pdf_papername_strs, 15},
      {"pdf_fontname_strs", pdf_fontname_strs, 23}, {"pdf_varfontmode_strs", pdf_varfontmode_strs, 10},
      {"pti_comment", pti_comment, 31},       {"def_term_filename", def_term_filename, 15},
      {"pti_filename", pti_filename, 15},
  };
  for (const Table &t : tables) {
    std::set<std::string> seen;
    for (const char *text : t.texts) {
      EXPECT_GT(std::strlen(text), 0u) << t.name;
      EXPECT_LE(std::strlen(text), t.width) << t.name << ": " << text;
      EXPECT_TRUE(seen.insert(text).second) << t.name << " repeats " << text;
    }
  }
  EXPECT_STREQ(def_term_filename[1], "vt100");
  EXPECT_STREQ(def_term_filename[6], "xterm");
  EXPECT_STREQ(pti_filename[0], "generic");
  EXPECT_STREQ(ca_strs[0], "Normal");
}

TEST(StringTables, PaperSizesAndFontMetrics) {
  EXPECT_EQ(pdf_paper_width[1], 612);
  EXPECT_EQ(pdf_paper_height[1], 792);
  EXPECT_EQ(pdf_paper_width[3], 595);
  EXPECT_EQ(pdf_paper_height[3], 842);
  for (int p = 1; p < 9; ++p) {
    EXPECT_LT(pdf_paper_width[p], pdf_paper_height[p]) << pdf_papername_strs[p];
  }
  for (int f = 0; f < 12; ++f) {
    const pdf_font_info &info = pdf_font_info_tbl[f];
    EXPECT_STREQ(info.name, pdf_fontname_strs[f]);
    EXPECT_EQ(info.no_alignment != 0, f < 4) << info.name;
    EXPECT_GE(info.char_width, 400) << info.name;
    EXPECT_LE(info.char_width, 600) << info.name;
    for (int c = 0; c < 256; ++c) {
      ASSERT_GT(info.widths[c], 0) << info.name << " " << c;
    }
    if (f >= 4) // proportional: "W" is wider than "i"
      EXPECT_GT(info.widths['W'], info.widths['i'] * 2) << info.name;
    else
      EXPECT_EQ(info.widths['W'], info.widths['i']) << info.name;
  }
}

} // namespace
