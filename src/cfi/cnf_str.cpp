// The "Environment String Configuration" screen: a paged table of numbered
// strings, each with its enable switch, four screen rows per entry.
#include <cstdint>

#include "cfi/cfi.h"
#include "lib/cfi_store.h"
#include "scrmgr/table_screen.h"
#include "scrmgr/form_check.h"

namespace {

// The frame: title, column headings and help line, drawn once (static class).
// clang-format off
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
// clang-format on
form str_frame_form = make_form(FORM_CLEAR, str_frame_fields);
REGISTER_FORM(str_frame_form);

// One entry's row. The Value field's 255 columns wrap over the entry's four
// screen rows.
char str_value_buf[256];
enum : uint16_t { STR_NUM, STR_ENABLE, STR_VALUE };
// clang-format off
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
// clang-format on
static_assert(sizeof(str_row_fields) / sizeof(str_row_fields[0]) == STR_VALUE + 1);
form str_row_form = make_form(FORM_FKEYS | FORM_LINE, str_row_fields);
REGISTER_FORM(str_row_form);

// clang-format off
constexpr field_binding str_bindings[] = {
    BIND(STR_ENABLE, str_desc, str_enabled),
    BIND(STR_VALUE, str_desc, str_value),
};
// clang-format on

// Four entries to a page on rows 5 to 20; the copy key copies the whole
// descriptor, reserved bytes included.
const table_screen str_screen = {
    .frame = &str_frame_form,
    .frame_show = SHOW_STATIC,
    .row = &str_row_form,
    .top_row = 5,
    .row_height = 4,
    .page_rows = 4,
    .start_field = STR_NUM,
    .flags = TABLE_PAGE_KEYS | TABLE_COPY_KEY | TABLE_NUMBERED,
    .paging = table_paging::table,
    .bindings = str_bindings,
    .store = table_store_of<str_desc, get_desc_str, put_desc_str>(),
    .changed = &config_changed,
};

} // namespace

int show_str_row(uint32_t handle, uint32_t index, uint32_t first) {
  return show_table_row(str_screen, handle, index, first);
}

int config_str(uint32_t handle, uint32_t count) {
  return run_table_screen(str_screen, handle, count);
}
