// String tables of the library: arrays of NUL-terminated texts indexed by a
// stored value, and the PDF paper and font tables.
#pragma once

#include <cstdint>

extern const char *const os_target_strs[2];

// Terminal types.
extern const char *const term_strs[25];
extern const char *const def_term_filename[25]; // file names without ".tdi"
extern const char *const cursor_strs[3];
extern const char *const type_text[9];  // key types
extern const char *const ifunc_text[4]; // type 0 codes
extern const char *const edit_text[16]; // type 2 codes
extern const char *const ca_strs[16];   // attribute combinations

// Printer types.
extern const char *const pti_comment[3];
extern const char *const pti_filename[3]; // file names without ".pti"
extern const char *const printer_strs[3];
extern const char *const ctrl_name_str[2]; // the two job control strings

// Console environment values.
extern const char *const abort_env_strs[2];
extern const char *const scropt_env_strs[4];
extern const char *const sdmode_env_strs[4];
extern const char *const reverse_env_strs[3];
extern const char *const color_env_strs[3];
extern const char *const fgbg_color_env_strs[8];

// Serial line settings.
extern const char *const uart_baud_strs[11];
extern const char *const uart_data_strs[2];
extern const char *const uart_parity_strs[3];
extern const char *const uart_stop_strs[2];

extern const char *const pcq_disp_strs[3];

// PDF formats.
extern const char *const pdf_papername_strs[9];
extern const uint16_t pdf_paper_width[9]; // 1/72 inch, index 0 unused
extern const uint16_t pdf_paper_height[9];
extern const char *const pdf_fontname_strs[12];
extern const char *const pdf_varfontmode_strs[3];

struct pdf_font_info {
  char name[48];
  uint8_t no_alignment; // nonzero: the font takes no alignment
  uint8_t reserved49;
  uint16_t char_width;  // average character width, 1/1000 of the size
  uint16_t widths[256]; // width of each character, 1/1000 of the size
  uint8_t reserved564[2];
};
static_assert(sizeof(pdf_font_info) == 566);
extern const pdf_font_info pdf_font_info_tbl[12];
