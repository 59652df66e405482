// The colour and attribute map screens: the foreground and background of
// every attribute combination, on 16 rows for the console types 11 and 12,
// and on 8 rows for type 13, whose other 8 combinations follow the first.
// Changes stay in the screen's copy of the control record until it ends.
#include <cstring>
#include <utility>

#include "lib/strs.h"
#include "lib/tdi_store.h"
#include "scrmgr/form_check.h"
#include "scrmgr/table_screen.h"
#include "tdi/tdi.h"

namespace {

constexpr uint32_t COMBINATIONS = 16;
constexpr uint32_t BASE_ROWS = 8;

// clang-format off
form_field colour_header_fields[] = {
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 0, .col = 24, .width = 80, .attr = 5,
     .label = "Color Attribute Configuration"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 2, .col = 0, .width = 80,
     .label = "                                        Foreground       Background     "},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 3, .col = 0, .width = 80,
     .label = "    Character Attribute Combination     Color   Intense  Color   Intense"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 4, .col = 0, .width = 80,
     .label = "    -------------------------------     ------- -------  ------- -------"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 22, .col = 4, .width = 80, .attr = 4,
     .label = "Press <up> or <down> to position, <left> or <right> to change, ESC to exit."},
};
// clang-format on
form colour_header = make_form(FORM_CLEAR, colour_header_fields);
REGISTER_FORM(colour_header);

// clang-format off
form_field base_header_fields[] = {
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 0, .col = 24, .width = 80, .attr = 5,
     .label = "Base Color Configuration"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 2, .col = 0, .width = 80,
     .label = "                                        Foreground       Background     "},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 3, .col = 0, .width = 80,
     .label = "    Character Attribute Combination     Color   intense  Color   intense"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 4, .col = 0, .width = 80,
     .label = "    -------------------------------     ------- -------  ------- -------"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 21, .col = 0, .width = 80, .attr = 4,
     .label = "            Setting Normal will reset the rest of the table.            "},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 22, .col = 0, .width = 80, .attr = 4,
     .label = "Press <up>, <down> to position, <left> or <right> to change, ESC to exit."},
};
// clang-format on
form base_header = make_form(FORM_CLEAR, base_header_fields);
REGISTER_FORM(base_header);

// One combination's row (the same on both screens); up, down, Enter and ESC
// come back to the screen, F1 and F2 move within the row.
// clang-format off
form_field row_fields[] = {
    {.kind = FIELD_CHOICE, .flags = FF_STATIC, .col = 4, .width = 32, .min = 0, .max = 15,
     .list = ca_strs},
    {.kind = FIELD_CHOICE, .flags = FF_DATA | FF_INPUT, .col = 40, .width = 7, .min = 0, .max = 7,
     .list = fgbg_color_env_strs},
    {.kind = FIELD_YESNO, .flags = FF_DATA | FF_INPUT, .col = 51, .width = 1, .min = 0, .max = 1},
    {.kind = FIELD_CHOICE, .flags = FF_DATA | FF_INPUT, .col = 57, .width = 7, .min = 0, .max = 7,
     .list = fgbg_color_env_strs},
    {.kind = FIELD_YESNO, .flags = FF_DATA | FF_INPUT, .col = 68, .width = 1, .min = 0, .max = 1},
};
// clang-format on
form row_form = make_form(FORM_LINE, row_fields);
REGISTER_FORM(row_form);
enum : uint16_t { R_COMBINATION, R_FG, R_FG_INTENSE, R_BG, R_BG_INTENSE };

// One attribute byte, laid out as a console character attribute.
struct attr_byte {
  uint8_t attr;
};
// clang-format off
constexpr field_binding row_bindings[] = {
    BIND_BITS(R_FG, attr_byte, attr, 0x07),
    BIND_BITS(R_FG_INTENSE, attr_byte, attr, 0x08),
    BIND_BITS(R_BG, attr_byte, attr, 0x70),
    BIND_BITS(R_BG_INTENSE, attr_byte, attr, 0x80),
};
// clang-format on

// The screen's copy of the control record, written back when it ends.
tdi_ctrl copy{};

int get_attr(uint32_t, uint32_t n, attr_byte *rec) {
  rec->attr = copy.colour_map[n & 0x0F];
  return 0;
}

int put_attr(uint32_t, uint32_t n, const attr_byte *rec) {
  copy.colour_map[n & 0x0F] = rec->attr;
  return 0;
}

int show_combination(uint32_t n, const void *) {
  row_fields[R_COMBINATION].value = static_cast<uint16_t>(n);
  return 0;
}

// Normal (combination 0) on the 8-row screen sets the rest of the table:
// 1, 4 and 5 take it as it is, 2, 3, 6 and 7 with its halves exchanged.
void reset_from_normal() {
  const uint8_t normal = copy.colour_map[0];
  const auto swapped = static_cast<uint8_t>((normal << 4) | (normal >> 4));
  for (uint32_t n : {1u, 4u, 5u}) copy.colour_map[n] = normal;
  for (uint32_t n : {2u, 3u, 6u, 7u}) copy.colour_map[n] = swapped;
}

// Set when a changed Normal has reset the rest of the table.
bool rows_reset = false;

// The 8-row screen's take step: a changed Normal resets the other rows. It
// draws nothing (it also runs when a signal ends the session); the driver
// redraws the page when asked through rows_were_reset.
bool take_base_row(void *rec, uint8_t *) {
  const auto *a = static_cast<const attr_byte *>(rec);
  if (row_fields[R_COMBINATION].value != 0 || a->attr == copy.colour_map[0]) return true;
  copy.colour_map[0] = a->attr;
  reset_from_normal();
  rows_reset = true;
  return true;
}

bool rows_were_reset() { return std::exchange(rows_reset, false); }

// Writing the copy back; the 8-row screen's upper half repeats the lower.
int write_copy(uint32_t handle) { return put_ctrl_tdi(handle, &copy); }
int write_base_copy(uint32_t handle) {
  std::memcpy(copy.colour_map + BASE_ROWS, copy.colour_map, BASE_ROWS);
  return write_copy(handle);
}
void flush_copy(uint32_t handle) { write_copy(handle); }
void flush_base_copy(uint32_t handle) { write_base_copy(handle); }

// Both screens: all rows on one page from row 5, Enter to the next row's
// Foreground Color, no function key of their own.
constexpr table_screen colour_screen(form *frame, uint32_t rows, bool (*take)(void *, uint8_t *),
                                     bool (*others_changed)(), void (*flush)(uint32_t)) {
  return {
      .frame = frame,
      .frame_show = SHOW_STATIC,
      .row = &row_form,
      .top_row = 5,
      .row_height = 1,
      .page_rows = rows,
      .start_field = R_FG,
      .paging = table_paging::table,
      .bindings = row_bindings,
      .store = table_store_of<attr_byte, get_attr, put_attr>(),
      .changed = &desc_changed,
      .hooks = {.show = show_combination,
                .take = take,
                .others_changed = others_changed,
                .flush = flush},
  };
}
const table_screen attributes_screen =
    colour_screen(&colour_header, COMBINATIONS, nullptr, nullptr, flush_copy);
const table_screen base_screen =
    colour_screen(&base_header, BASE_ROWS, take_base_row, rows_were_reset, flush_base_copy);

// Runs a screen over the copy and writes the record back in every case.
int run_over_copy(uint32_t handle, const table_screen &ts, uint32_t rows) {
  int st = get_ctrl_tdi(handle, &copy);
  if (st > 0) return st;
  st = run_table_screen(ts, handle, rows);
  const int put = ts.page_rows == BASE_ROWS ? write_base_copy(handle) : write_copy(handle);
  return st > 0 ? st : put;
}

} // namespace

int show_colour_row(uint32_t combination, uint32_t top, uint8_t attr) {
  const attr_byte rec{attr};
  for (form_field &f : row_fields) f.row = static_cast<uint16_t>(5 + combination - top);
  show_combination(combination, &rec);
  fill_fields(&row_form, row_bindings, &rec);
  return display_form(&row_form, SHOW_ALL);
}

int configure_colour_attributes(uint32_t handle) {
  return run_over_copy(handle, attributes_screen, COMBINATIONS);
}

int configure_base_colours(uint32_t handle) {
  return run_over_copy(handle, base_screen, BASE_ROWS);
}
