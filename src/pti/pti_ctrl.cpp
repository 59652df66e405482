// The "Job Control String Configuration" screen: the two job control
// strings of a printer translation, each on a row of its own.
#include <cstring>

#include "frame/editor_files.h"
#include "lib/pti_store.h"
#include "lib/strs.h"
#include "pti/pti.h"
#include "scrmgr/scrmgr.h"

namespace {

constexpr uint32_t STRINGS = 2;
// Rows a string may take on the screen: its Value wraps over them.
constexpr uint16_t ROWS_PER_STRING = 5;

// The screen around the rows: title, column heads and help line.
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
form screen = make_form(FORM_CLEAR | FORM_VMOVE, screen_fields);

char name_buf[256];
char value_buf[256];

// One string's row; its screen row is set before each display.
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
form row_form = make_form(FORM_CLEAR | FORM_FKEYS | FORM_LINE, row_fields);

enum : uint16_t { F_NAME, F_ENABLE, F_USE_FILE, F_VALUE };

// Shows string `index` from the store on its row below string `top`.
int show_control_row(uint32_t handle, uint32_t index, uint32_t top) {
  if (index >= STRINGS) return 0;
  pti_ctrl rec{};
  int s = get_ctrl_pti(handle, index, &rec);
  if (s > 0) return s;
  for (form_field &f : row_fields)
    f.row = static_cast<uint16_t>(ROWS_PER_STRING * (index - top + 1));
  copy_text(name_buf, sizeof name_buf, ctrl_name_str[index]);
  row_fields[F_ENABLE].value = rec.enable;
  row_fields[F_USE_FILE].value = rec.use_file;
  memset(value_buf, 0, sizeof value_buf);
  copy_text(value_buf, sizeof value_buf, rec.value);
  return display_form(&row_form, SHOW_ALL);
}

// Replaces the record's value when `text` differs from it.
void take_value(pti_ctrl &rec, const char *text) {
  if (strncmp(text, rec.value, sizeof rec.value) == 0) return;
  memset(rec.value, 0, sizeof rec.value);
  copy_text(rec.value, sizeof rec.value, text);
  trans_changed = 1;
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

// Copies one pass of the row back into the store. False when the value is
// not readable: nothing is stored and the row is shown again.
bool take_row(uint32_t handle, uint32_t index, int *status) {
  pti_ctrl rec{};
  *status = get_ctrl_pti(handle, index, &rec);
  if (*status > 0) return false;
  uint8_t enable = row_fields[F_ENABLE].value ? 1 : 0;
  uint8_t use_file = row_fields[F_USE_FILE].value ? 1 : 0;
  if (enable != rec.enable || use_file != rec.use_file) trans_changed = 1;
  rec.enable = enable;
  rec.use_file = use_file;
  if (use_file) {
    take_value(rec, value_buf);
  } else {
    char text[PTI_TEXT_BUF] = {};
    if (!canonical(value_buf, text)) return false;
    take_value(rec, text);
  }
  *status = put_ctrl_pti(handle, index, &rec);
  return *status <= 0;
}

// Moves between the strings by the key that ended the row; false when the
// key leaves the screen.
bool move_by_key(uint16_t key, uint32_t *index, uint16_t *field) {
  uint16_t cls = key_class(key);
  if (key == KEY_ESC) return false;
  if (key == KEY_ENTER) {
    *index = (*index + 1) % STRINGS;
    *field = F_ENABLE;
  } else if (cls == KEY_UP || cls == KEY_PREV) {
    *index = (*index + STRINGS - 1) % STRINGS;
  } else if (cls == KEY_DOWN || cls == KEY_NEXT) {
    *index = (*index + 1) % STRINGS;
  } else {
    ring_bell();
  }
  return true;
}

}  // namespace

int configure_job_control(uint32_t handle) {
  int s = display_form(&screen, SHOW_ALL);
  for (uint32_t i = 0; i < STRINGS && s <= 0; ++i)
    s = show_control_row(handle, i, 0);
  uint32_t index = 0;
  uint16_t field = F_ENABLE;
  while (s <= 0) {
    uint16_t key = 0;
    s = show_control_row(handle, index, 0);
    if (s <= 0) s = accept_menu(&row_form, &field, &key);
    if (s > 0) break;
    if (!take_row(handle, index, &s)) {
      if (s <= 0) ring_bell();
      continue;
    }
    s = show_control_row(handle, index, 0);
    if (s <= 0 && !move_by_key(key, &index, &field)) return 0;
  }
  return s;
}
