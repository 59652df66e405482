// The "Character Mapping Configuration" screen: for each of the 256 codes a
// program prints, the byte string of up to 11 bytes the printer is sent
// instead, 15 codes to a page.
#include <cstring>

#include "edit/code_text.h"
#include "lib/pti_store.h"
#include "lib/strs.h"
#include "pti/pti.h"
#include "scrmgr/form_check.h"
#include "scrmgr/table_screen.h"

namespace {

constexpr uint32_t CODES = 256;
constexpr uint8_t C1_PRINTER = 1; // the printer type that prints 128 to 159

// clang-format off
form_field header_fields[] = {
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 0, .col = 25, .width = 36, .attr = 5,
     .label = "Character Mapping Configuration"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 1, .col = 29, .width = 6, .label = "Name: "},
    {.kind = FIELD_TEXT, .flags = FF_DATA | FF_EOL, .row = 1, .col = 37, .width = 43,
     .max = 255, .text = pti_trans_name},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 2, .col = 29, .width = 80, .label = "Base: "},
    {.kind = FIELD_CHOICE, .flags = FF_DATA, .row = 2, .col = 37, .width = 15, .min = 0,
     .max = PTI_PRINTER_TYPES - 1, .list = printer_strs},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 3, .col = 0, .width = 80,
     .label = "Character from program  Character(s) to print"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 4, .col = 0, .width = 80,
     .label = "Dec Oct Hex Description Byte String (Maximum 11 bytes)               Chr"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 5, .col = 0, .width = 80,
     .label = "--- --- --- ----------- -------------------------------------------- ---"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 22, .col = 0, .width = 80, .attr = 4,
     .label = "    Press <up>, <down>, F3, F4 to position, F5 to copy, ESC to exit.   "},
};
// clang-format on
form header = make_form(FORM_CLEAR | FORM_VMOVE, header_fields);
REGISTER_FORM(header);
enum : uint16_t { H_TYPE = 4 };

char code_buf[CODE_TEXT_SIZE];
char bytes_buf[PTI_TEXT_BUF];
char chr_buf[8];

// clang-format off
form_field row_fields[] = {
    {.kind = FIELD_TEXT, .flags = FF_STATIC, .col = 0, .width = 22, .text = code_buf},
    {.kind = FIELD_TEXT, .flags = FF_DATA | FF_INPUT, .col = 24, .width = 44, .text = bytes_buf},
    {.kind = FIELD_TEXT, .flags = FF_DATA, .col = 69, .width = 3, .text = chr_buf},
};
// clang-format on
form row_form = make_form(FORM_CLEAR | FORM_FKEYS | FORM_LINE, row_fields);
REGISTER_FORM(row_form);
enum : uint16_t { R_CODE, R_BYTES, R_CHR };

uint8_t shown_type = 0;

int fill_row(uint32_t code, const void *r) {
  const auto *rec = static_cast<const pti_map *>(r);
  const uint8_t length = rec->length <= PTI_MAX_MAP_BYTES ? rec->length : PTI_MAX_MAP_BYTES;
  describe_code(static_cast<uint8_t>(code), code_buf);
  pti_bytestringtoasc(rec->bytes, length, bytes_buf);
  if (length == 1)
    chr_text(rec->bytes[0], shown_type == C1_PRINTER, chr_buf);
  else
    std::strcpy(chr_buf, "---");
  return 0;
}

// The Byte String must read as at most 11 bytes.
bool take_bytes(void *r, uint8_t *changed) {
  uint8_t bytes[PTI_MAX_MAP_BYTES] = {};
  uint16_t length = PTI_MAX_MAP_BYTES;
  if (pti_asctobytestring(bytes_buf, bytes, &length) != 0) return false;
  auto *rec = static_cast<pti_map *>(r);
  if (rec->length == length && std::memcmp(rec->bytes, bytes, sizeof bytes) == 0) return true;
  rec->length = static_cast<uint8_t>(length);
  std::memcpy(rec->bytes, bytes, sizeof bytes);
  *changed = 1;
  return true;
}

// 15 codes to a page on rows 6 to 20; F5 overwrites the next code (not from
// 255); an unchanged entry is not written.
const table_screen map_screen = {
    .frame = &header,
    .frame_show = SHOW_ALL,
    .row = &row_form,
    .top_row = 6,
    .row_height = 1,
    .page_rows = 15,
    .start_field = R_BYTES,
    .flags = TABLE_PAGE_KEYS | TABLE_COPY_KEY | TABLE_COPY_ALWAYS | TABLE_WRITE_CHANGED,
    .paging = table_paging::code,
    .code = {.jump_repages = true, .copy_wraps = false},
    .store = table_store_of<pti_map, get_map_pti, put_map_pti>(),
    .changed = &trans_changed,
    .hooks = {.show = fill_row, .take = take_bytes},
};

} // namespace

int show_map_row(uint32_t handle, uint32_t code, uint32_t top) {
  if (code >= CODES) return 0;
  return show_table_row(map_screen, handle, code, top);
}

int configure_character_map(uint32_t handle) {
  shown_type = get_printer_type_pti(handle);
  header_fields[H_TYPE].value = shown_type;
  return run_table_screen(map_screen, handle, CODES);
}
