// The "Job Control String Configuration" screen: the two job control
// strings of a printer translation, each on a row of its own.
#include <cstring>

#include "edit/editor_files.h"
#include "lib/pti_store.h"
#include "lib/strs.h"
#include "pti/pti.h"
#include "scrmgr/table_screen.h"
#include "scrmgr/form_check.h"

namespace {

constexpr uint32_t STRINGS = 2;
// Rows a string may take on the screen: its Value wraps over them.
constexpr uint16_t ROWS_PER_STRING = 5;

// The screen around the rows: title, column heads and help line.
// clang-format off
form_field screen_fields[] = {
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 0, .col = 25, .width = 36,
     .attr = 5, .label = "Job Control String Configuration"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 3, .col = 0, .width = 80,
     .label = "Name      Enable? Use File? Value                          "
              "                     "},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 4, .col = 0, .width = 80,
     .label = "--------- ------- --------- -------------------------------"
              "---------------------"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 22, .col = 0, .width = 80,
     .attr = 4,
     .label = "    Press <up>, <down>, F1, F2 to position, ESC to exit.   "},
};
// clang-format on
form screen = make_form(FORM_CLEAR | FORM_VMOVE, screen_fields);
REGISTER_FORM(screen);

char name_buf[256];
char value_buf[256];

// One string's row; its screen row is set before each display.
// clang-format off
form_field row_fields[] = {
    {.kind = FIELD_TEXT, .flags = FF_DATA | FF_EOL, .col = 0, .width = 9,
     .text = name_buf},
    {.kind = FIELD_YESNO, .flags = FF_DATA | FF_INPUT, .col = 13, .width = 1,
     .min = 0, .max = 1},
    {.kind = FIELD_YESNO, .flags = FF_DATA | FF_INPUT, .col = 22, .width = 1,
     .min = 0, .max = 1},
    {.kind = FIELD_TEXT, .flags = FF_DATA | FF_INPUT | FF_ZEROFILL, .col = 28,
     .width = 255, .text = value_buf},
};
// clang-format on
form row_form = make_form(FORM_CLEAR | FORM_FKEYS | FORM_LINE, row_fields);
REGISTER_FORM(row_form);

enum : uint16_t { F_NAME, F_ENABLE, F_USE_FILE, F_VALUE };

// clang-format off
constexpr field_binding row_bindings[] = {
    BIND(F_ENABLE, pti_ctrl, enable),
    BIND(F_USE_FILE, pti_ctrl, use_file),
};
// clang-format on

// The name comes from the library's table, the value is shown as stored.
int show_name_and_value(uint32_t index, const void *r) {
  const auto *rec = static_cast<const pti_ctrl *>(r);
  copy_text(name_buf, sizeof name_buf, ctrl_name_str[index]);
  memset(value_buf, 0, sizeof value_buf);
  copy_text(value_buf, sizeof value_buf, rec->value);
  return 0;
}

// Replaces the record's value when `text` differs from it.
void take_value(pti_ctrl &rec, const char *text, uint8_t *changed) {
  if (strncmp(text, rec.value, sizeof rec.value) == 0) return;
  memset(rec.value, 0, sizeof rec.value);
  copy_text(rec.value, sizeof rec.value, text);
  *changed = 1;
}

// The typed byte string in its canonical text; false when it cannot be
// read or its canonical text would not fit the value.
bool canonical(const char *typed, char *text) {
  uint8_t bytes[PTI_MAX_CTRL_BYTES] = {};
  uint16_t length = PTI_MAX_CTRL_BYTES;
  if (pti_asctobytestring(typed, bytes, &length) != 0) return false;
  // Every byte takes at least one character, so 256 bytes cannot fit 255.
  if (length > 255) return false;
  pti_bytestringtoasc(bytes, static_cast<uint8_t>(length), text);
  return strnlen(text, PTI_TEXT_BUF) < 256;
}

// A file name is kept as typed; a byte string must read and is stored in
// its canonical text, else the pass is refused.
bool take_value_by_use(void *r, uint8_t *changed) {
  auto *rec = static_cast<pti_ctrl *>(r);
  if (rec->use_file) {
    take_value(*rec, value_buf, changed);
    return true;
  }
  char text[PTI_TEXT_BUF] = {};
  if (!canonical(value_buf, text)) return false;
  take_value(*rec, text, changed);
  return true;
}

// Two strings, five screen rows apart from row 5; up, down and Enter step
// between them with wrap, and no function key pages or copies.
const table_screen control_screen = {
    .frame = &screen,
    .frame_show = SHOW_ALL,
    .row = &row_form,
    .top_row = ROWS_PER_STRING,
    .row_height = ROWS_PER_STRING,
    .page_rows = STRINGS,
    .start_field = F_ENABLE,
    .paging = table_paging::table,
    .bindings = row_bindings,
    .store = table_store_of<pti_ctrl, get_ctrl_pti, put_ctrl_pti>(),
    .changed = &trans_changed,
    .hooks = {.show = show_name_and_value, .take = take_value_by_use},
};

} // namespace

int show_control_row(uint32_t handle, uint32_t index, uint32_t top) {
  if (index >= STRINGS) return 0;
  return show_table_row(control_screen, handle, index, top);
}

int configure_job_control(uint32_t handle) {
  return run_table_screen(control_screen, handle, STRINGS);
}
