// The "Display Character Configuration" screen: for each of the 256 codes a
// program writes, the byte the terminal is sent to show it, 14 to a page.
#include <cstring>

#include "edit/code_text.h"
#include "lib/strs.h"
#include "lib/tdi_store.h"
#include "scrmgr/form_check.h"
#include "scrmgr/table_screen.h"
#include "tdi/tdi.h"

namespace {

constexpr uint32_t CODES = 256;

// The header: the description's name, base and comment, the column heads
// and the help line.
// clang-format off
form_field header_fields[] = {
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 0, .col = 25, .width = 36, .attr = 5,
     .label = "Display Character Configuration"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 1, .col = 18, .width = 6, .label = "Name: "},
    {.kind = FIELD_TEXT, .flags = FF_DATA | FF_EOL, .row = 1, .col = 24, .width = 56,
     .max = 255, .text = tdi_desc_name},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 2, .col = 18, .width = 6, .label = "Base: "},
    {.kind = FIELD_CHOICE, .flags = FF_DATA, .row = 2, .col = 24, .width = 16, .min = 0,
     .max = TDI_TERM_TYPES - 1, .list = term_strs},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 2, .col = 41, .width = 9, .label = "Comment: "},
    {.kind = FIELD_TEXT, .flags = FF_DATA | FF_ZEROFILL, .row = 2, .col = 50, .width = 30,
     .text = tdi_comment},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 4, .col = 0, .width = 80,
     .label = "Character from program        Character to display"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 5, .col = 0, .width = 80,
     .label = "Dec Oct Hex Description       Value     Dec Oct Hex Description Chr"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 6, .col = 0, .width = 80,
     .label = "--- --- --- -----------       -----     --- --- --- ----------- ---"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 22, .col = 0, .width = 80, .attr = 4,
     .label = "Press <up>, <down>, F1-F4 to position, F5 to copy, ESC to exit.   "},
};
// clang-format on
form header = make_form(FORM_CLEAR | FORM_VMOVE, header_fields);
REGISTER_FORM(header);
enum : uint16_t { H_BASE = 4 };

char from_buf[CODE_TEXT_SIZE];
char value_buf[8];
char to_buf[CODE_TEXT_SIZE];
char chr_buf[8];

// One code's row; its screen row is set before each display.
// clang-format off
form_field row_fields[] = {
    {.kind = FIELD_TEXT, .flags = FF_STATIC, .col = 0, .width = 22, .text = from_buf},
    {.kind = FIELD_TEXT, .flags = FF_DATA | FF_INPUT, .col = 30, .width = 5, .text = value_buf},
    {.kind = FIELD_TEXT, .flags = FF_DATA, .col = 40, .width = 22, .text = to_buf},
    {.kind = FIELD_TEXT, .flags = FF_DATA, .col = 64, .width = 3, .text = chr_buf},
};
// clang-format on
form row_form = make_form(FORM_CLEAR | FORM_FKEYS | FORM_LINE, row_fields);
REGISTER_FORM(row_form);
enum : uint16_t { R_FROM, R_VALUE, R_TO, R_CHR };

// The base type decides whether 128 to 159 show (the console types).
uint8_t shown_base = 0;

bool c1_printable(uint8_t base) { return base >= 11 && base <= 13; }

// The map is one entry of the control record per code: a get reads the
// record, a put reads it again, changes the one entry and writes it back.
int get_entry(uint32_t handle, uint32_t code, uint8_t *b) {
  tdi_ctrl rec{};
  const int st = get_ctrl_tdi(handle, &rec);
  *b = rec.display_map[code & 0xFF];
  return st;
}

int put_entry(uint32_t handle, uint32_t code, const uint8_t *b) {
  tdi_ctrl rec{};
  const int st = get_ctrl_tdi(handle, &rec);
  if (st > 0) return st;
  rec.display_map[code & 0xFF] = *b;
  return put_ctrl_tdi(handle, &rec);
}

int fill_row(uint32_t code, const void *rec) {
  const uint8_t b = *static_cast<const uint8_t *>(rec);
  describe_code(static_cast<uint8_t>(code), from_buf);
  tdi_keystringtoasc(&b, 1, value_buf, 0);
  describe_code(b, to_buf);
  chr_text(b, c1_printable(shown_base), chr_buf);
  return 0;
}

// The Value must stand for exactly one byte.
bool take_value(void *rec, uint8_t *changed) {
  uint8_t bytes[6] = {};
  uint8_t length = sizeof bytes;
  if (tdi_asctokeystring(value_buf, bytes, &length, 0) != 0 || length != 1) return false;
  auto *b = static_cast<uint8_t *>(rec);
  if (*b != bytes[0]) {
    *b = bytes[0];
    *changed = 1;
  }
  return true;
}

// 14 codes to a page on rows 7 to 20; F5 copies onto the next code, from
// 255 onto 0; an unchanged entry is not written.
const table_screen display_screen = {
    .frame = &header,
    .frame_show = SHOW_ALL,
    .row = &row_form,
    .top_row = 7,
    .row_height = 1,
    .page_rows = 14,
    .start_field = R_VALUE,
    .flags = TABLE_PAGE_KEYS | TABLE_COPY_KEY | TABLE_WRITE_CHANGED,
    .paging = table_paging::code,
    .code = {.jump_repages = true, .copy_wraps = true},
    .store = table_store_of<uint8_t, get_entry, put_entry>(),
    .changed = &desc_changed,
    .hooks = {.show = fill_row, .take = take_value},
};

} // namespace

int show_display_row(uint8_t mapped, uint32_t code, uint32_t top, uint8_t base_type) {
  if (code >= CODES) return 0;
  shown_base = base_type;
  for (form_field &f : row_fields) f.row = static_cast<uint16_t>(7 + code - top);
  fill_row(code, &mapped);
  return display_form(&row_form, SHOW_ALL);
}

int configure_display_characters(uint32_t handle) {
  tdi_ctrl rec{};
  const int st = get_ctrl_tdi(handle, &rec);
  if (st > 0) return st;
  std::memset(tdi_comment, 0, sizeof tdi_comment);
  std::memcpy(tdi_comment, rec.comment, strnlen(rec.comment, sizeof tdi_comment - 1));
  header_fields[H_BASE].value = rec.base_type;
  shown_base = rec.base_type;
  return run_table_screen(display_screen, handle, CODES);
}
