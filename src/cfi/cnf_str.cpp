// The "Environment String Configuration" screen: a paged table of numbered
// strings, each with its enable switch, four screen rows per entry.
#include <cstdint>
#include <cstring>

#include "cfi/cfi.h"
#include "cfi/table_paging.h"
#include "lib/cfi_store.h"
#include "scrmgr/scrmgr.h"

namespace {

constexpr uint32_t STR_PAGE_ROWS = 4;  // entries on a page
constexpr uint16_t STR_ROW_HEIGHT = 4; // screen rows per entry
constexpr uint16_t STR_TOP_ROW = 5;

// The frame: title, column headings and help line, drawn once (static class).
form_field str_frame_fields[] = {
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 0, .col = 23, .width = 80, .attr = 5,
     .label = "Environment String Configuration"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 2, .col = 0, .width = 80, .attr = 0,
     .label = "            String                                                              "},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 3, .col = 0, .width = 80, .attr = 0,
     .label = "Num Enable? Value                                                               "},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 4, .col = 0, .width = 80, .attr = 0,
     .label = "--- ------- --------------------------------------------------------------------"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 22, .col = 0, .width = 80, .attr = 4,
     .label = "    Press <up>, <down>, F1, F2, F3, F4 to position, F5 to copy, ESC to exit.    "},
};
form str_frame_form = make_form(FORM_CLEAR, str_frame_fields);

// One entry's row. The rows are set before each drawing; the Value field's
// 255 columns wrap over the entry's four screen rows.
char str_value_buf[256];
enum : uint16_t { STR_NUM, STR_ENABLE, STR_VALUE };
form_field str_row_fields[] = {
    // Four columns: a configuration holds up to 1024 strings, and an index
    // shown cut would pass for another entry's.
    {.kind = FIELD_NUMBER, .flags = FF_DATA, .row = 0, .col = 0, .width = 4, .attr = 0,
     .value = 0, .min = 0, .max = 65535},
    {.kind = FIELD_YESNO, .flags = FF_DATA | FF_INPUT, .row = 0, .col = 7, .width = 1, .attr = 4,
     .value = 0, .min = 0, .max = 1},
    {.kind = FIELD_TEXT, .flags = FF_ZEROFILL | FF_DATA | FF_INPUT, .row = 0, .col = 12,
     .width = 255, .attr = 4, .text = str_value_buf},
};
static_assert(sizeof(str_row_fields) / sizeof(str_row_fields[0]) == STR_VALUE + 1);
form str_row_form = make_form(FORM_FKEYS | FORM_LINE, str_row_fields);

int show_str_row(uint32_t handle, uint32_t index, uint32_t first) {
  str_desc rec{};
  get_desc_str(handle, index, &rec);
  const uint16_t row = static_cast<uint16_t>(STR_TOP_ROW + STR_ROW_HEIGHT * (index - first));
  for (form_field &f : str_row_fields)
    f.row = row;
  str_row_fields[STR_NUM].value = static_cast<uint16_t>(index);
  str_row_fields[STR_ENABLE].value = rec.str_enabled;
  std::memcpy(str_value_buf, rec.str_value, sizeof str_value_buf);
  str_value_buf[sizeof str_value_buf - 1] = '\0';
  return display_form(&str_row_form, SHOW_ALL);
}

int show_str_page(uint32_t handle, const table_page &pg) {
  for (uint32_t i = pg.first; i <= pg.last; ++i) {
    const int st = show_str_row(handle, i, pg.first);
    if (st > 0)
      return st;
  }
  return 0;
}

// Takes the row form's values into `rec`, marking the editor changed.
void store_str_row(str_desc *rec) {
  // Compared as it stands: a stored byte other than 0 or 1 that the user did
  // not touch is not a change.
  const uint16_t enabled = str_row_fields[STR_ENABLE].value;
  if (rec->str_enabled != enabled) {
    rec->str_enabled = static_cast<uint8_t>(enabled);
    config_changed = 1;
  }
  if (std::strncmp(rec->str_value, str_value_buf, sizeof rec->str_value) != 0) {
    std::memset(rec->str_value, 0, sizeof rec->str_value);
    std::memcpy(rec->str_value, str_value_buf, strnlen(str_value_buf, sizeof rec->str_value - 1));
    config_changed = 1;
  }
}

// The copy key: the whole descriptor, reserved bytes included, goes over the
// next entry unless that one is already identical.
void copy_str_entry(uint32_t handle, uint32_t from, const str_desc &rec) {
  str_desc next{};
  get_desc_str(handle, from + 1, &next);
  if (std::memcmp(&next, &rec, sizeof rec) == 0)
    return;
  put_desc_str(handle, from + 1, &rec);
  config_changed = 1;
}

} // namespace

int config_str(uint32_t handle, uint32_t count) {
  if (count == 0) {
    ring_bell();
    return 0;
  }
  int st = display_form(&str_frame_form, SHOW_STATIC);
  if (st > 0)
    return st;
  table_page pg = table_page_start(count, STR_PAGE_ROWS);
  if ((st = show_str_page(handle, pg)) > 0)
    return st;
  uint16_t field = 0;
  for (;;) {
    if ((st = show_str_row(handle, pg.cur, pg.first)) > 0)
      return st;
    uint16_t key = 0;
    if ((st = accept_menu(&str_row_form, &field, &key)) > 0)
      return st;
    str_desc rec{};
    get_desc_str(handle, pg.cur, &rec);
    store_str_row(&rec);
    put_desc_str(handle, pg.cur, &rec);
    if ((st = show_str_row(handle, pg.cur, pg.first)) > 0)
      return st;
    const page_effect fx = table_page_key(&pg, key);
    if (fx.leave)
      return 0;
    if (fx.bell)
      ring_bell();
    if (fx.copy)
      copy_str_entry(handle, fx.copy_from, rec);
    if (fx.first_field)
      field = 0;
    if (fx.redraw && (st = show_str_page(handle, pg)) > 0)
      return st;
  }
}
