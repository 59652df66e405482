// String tables: every text fits the column the screens give it, and the
// names used as keys and file names are unique.
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
  // clang-format off
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
      {"pti_comment", pti_comment, 15},       {"def_term_filename", def_term_filename, 15},
      {"pti_filename", pti_filename, 15},
  };
  // clang-format on
  for (const Table &t : tables) {
    std::set<std::string> seen;
    for (const char *text : t.texts) {
      EXPECT_GT(std::strlen(text), 0u) << t.name;
      EXPECT_LE(std::strlen(text), t.width) << t.name << ": " << text;
      EXPECT_TRUE(seen.insert(text).second) << t.name << " repeats " << text;
    }
  }
}

} // namespace
