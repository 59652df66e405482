// The "Parameter Configuration" screen of a terminal description: keyboard
// timeout, screen size, line-drawing codes and the console settings.
#include <cstring>
#include <iterator>

#include "edit/editor_files.h"
#include "lib/strs.h"
#include "lib/tdi_store.h"
#include "scrmgr/scrmgr.h"
#include "tdi/tdi.h"
#include "scrmgr/form_check.h"

namespace {

char font_buf[32];

constexpr uint16_t LABEL = FF_STATIC;
constexpr uint16_t INPUT = FF_DATA | FF_INPUT;

// The whole screen. Only a prefix is shown, by base type class: 11 fields
// (up to the help line, field 10), 31 (up to the line-drawing codes) or all
// 40. Rows 9, 13..39 are loaded from the record, 2 and 6 point at the
// editor's name and comment copy.
// clang-format off
form_field param_fields[] = {
    {.kind = FIELD_LABEL, .flags = LABEL, .row = 0, .col = 30, .width = 36,
     .attr = 5, .label = "Parameter Configuration"},
    {.kind = FIELD_LABEL, .flags = LABEL, .row = 1, .col = 18, .width = 6,
     .label = "Name: "},
    {.kind = FIELD_TEXT, .flags = FF_DATA | FF_EOL, .row = 1, .col = 24,
     .width = 56, .max = 255, .text = tdi_desc_name},
    {.kind = FIELD_LABEL, .flags = LABEL, .row = 2, .col = 18, .width = 6,
     .label = "Base: "},
    {.kind = FIELD_CHOICE, .flags = FF_DATA, .row = 2, .col = 24, .width = 16,
     .min = 0, .max = TDI_TERM_TYPES - 1, .list = term_strs},
    {.kind = FIELD_LABEL, .flags = LABEL, .row = 2, .col = 41, .width = 9,
     .label = "Comment: "},
    {.kind = FIELD_TEXT, .flags = FF_DATA | FF_ZEROFILL, .row = 2, .col = 50,
     .width = 30, .text = tdi_comment},
    {.kind = FIELD_LABEL, .flags = LABEL, .row = 4, .col = 36, .width = 10,
     .attr = 1, .label = "Keyboard"},
    {.kind = FIELD_LABEL, .flags = LABEL, .row = 5, .col = 23, .width = 33,
     .label = "Sequence Timeout (.1 sec): "},
    {.kind = FIELD_NUMBER, .flags = INPUT, .row = 5, .col = 50, .width = 2,
     .min = 0, .max = 30},
    {.kind = FIELD_LABEL, .flags = LABEL, .row = 22, .col = 15, .width = 80,
     .attr = 4, .label = "Press <up> or <down> to position, ESC to exit."},
    {.kind = FIELD_LABEL, .flags = LABEL, .row = 7, .col = 34, .width = 20,
     .attr = 1, .label = "Screen Size"},
    {.kind = FIELD_LABEL, .flags = LABEL, .row = 8, .col = 10, .width = 7,
     .label = "Lines: "},
    {.kind = FIELD_NUMBER, .flags = INPUT, .row = 8, .col = 17, .width = 4,
     .min = 24, .max = 255},
    {.kind = FIELD_LABEL, .flags = LABEL, .row = 8, .col = 26, .width = 16,
     .label = "Normal columns: "},
    {.kind = FIELD_NUMBER, .flags = INPUT, .row = 8, .col = 42, .width = 4,
     .min = 80, .max = 255},
    {.kind = FIELD_LABEL, .flags = LABEL, .row = 8, .col = 50, .width = 18,
     .label = "Compress columns: "},
    {.kind = FIELD_NUMBER, .flags = INPUT, .row = 8, .col = 67, .width = 4,
     .min = 80, .max = 255},
    {.kind = FIELD_LABEL, .flags = LABEL, .row = 10, .col = 26, .width = 30,
     .attr = 1, .label = "Line Drawing Character Codes"},
    {.kind = FIELD_LABEL, .flags = LABEL, .row = 11, .col = 10, .width = 22,
     .label = "Upper Left Corner: "},
    {.kind = FIELD_NUMBER, .flags = INPUT, .row = 11, .col = 32, .width = 4,
     .min = 0, .max = 255},
    {.kind = FIELD_LABEL, .flags = LABEL, .row = 11, .col = 45, .width = 22,
     .label = "Upper Right Corner: "},
    {.kind = FIELD_NUMBER, .flags = INPUT, .row = 11, .col = 67, .width = 4,
     .min = 0, .max = 255},
    {.kind = FIELD_LABEL, .flags = LABEL, .row = 12, .col = 10, .width = 22,
     .label = "Lower Right Corner: "},
    {.kind = FIELD_NUMBER, .flags = INPUT, .row = 12, .col = 32, .width = 4,
     .min = 0, .max = 255},
    {.kind = FIELD_LABEL, .flags = LABEL, .row = 12, .col = 45, .width = 22,
     .label = "Lower Left Corner: "},
    {.kind = FIELD_NUMBER, .flags = INPUT, .row = 12, .col = 67, .width = 4,
     .min = 0, .max = 255},
    {.kind = FIELD_LABEL, .flags = LABEL, .row = 13, .col = 10, .width = 22,
     .label = "Horizontal Line: "},
    {.kind = FIELD_NUMBER, .flags = INPUT, .row = 13, .col = 32, .width = 4,
     .min = 0, .max = 255},
    {.kind = FIELD_LABEL, .flags = LABEL, .row = 13, .col = 45, .width = 22,
     .label = "Vertical Line: "},
    {.kind = FIELD_NUMBER, .flags = INPUT, .row = 13, .col = 67, .width = 4,
     .min = 0, .max = 255},
    {.kind = FIELD_LABEL, .flags = LABEL, .row = 15, .col = 27, .width = 26,
     .attr = 1, .label = "Windows Console Parameters"},
    {.kind = FIELD_LABEL, .flags = LABEL, .row = 16, .col = 10, .width = 19,
     .label = "Enable audio beep? "},
    {.kind = FIELD_YESNO, .flags = INPUT, .row = 16, .col = 30, .width = 1,
     .min = 0, .max = 1},
    {.kind = FIELD_LABEL, .flags = LABEL, .row = 16, .col = 48, .width = 13,
     .label = "Cursor type: "},
    {.kind = FIELD_CHOICE, .flags = INPUT, .row = 16, .col = 61, .width = 9,
     .min = 0, .max = 2, .list = cursor_strs},
    {.kind = FIELD_LABEL, .flags = LABEL, .row = 17, .col = 10, .width = 6,
     .label = "Font: "},
    {.kind = FIELD_TEXT, .flags = INPUT | FF_ZEROFILL, .row = 17, .col = 16,
     .width = 31, .text = font_buf},
    {.kind = FIELD_LABEL, .flags = LABEL, .row = 17, .col = 48, .width = 11,
     .label = "Font Size: "},
    {.kind = FIELD_NUMBER, .flags = INPUT, .row = 17, .col = 59, .width = 2,
     .min = 0, .max = 99},
};
// clang-format on
form params = make_form(FORM_CLEAR | FORM_VMOVE, param_fields);
REGISTER_FORM(params);

// Field numbers of the values.
// clang-format off
enum : uint16_t {
  F_BASE = 4,
  F_TIMEOUT = 9,
  F_LINES = 13,
  F_COLUMNS = 15,
  F_COMPRESS = 17,
  F_LINE_DRAW = 20, // six codes, every second field
  F_BEEP = 33,
  F_CURSOR = 35,
  F_FONT = 37,
  F_FONT_SIZE = 39,
};
// clang-format on

// Visible prefixes by base type class.
constexpr uint16_t SHOWN_LINE_MODE = 11;
constexpr uint16_t SHOWN_TERMINAL = 31;
constexpr uint16_t SHOWN_CONSOLE = 40;
static_assert(std::size(param_fields) == SHOWN_CONSOLE);
static_assert(F_TIMEOUT < SHOWN_LINE_MODE && F_LINE_DRAW + 10 < SHOWN_TERMINAL);

bool is_console(uint8_t base) { return base >= 11 && base <= 13; }

uint16_t shown_fields(uint8_t base) {
  if (base == TDI_LINE_MODE_TYPE) return SHOWN_LINE_MODE;
  return is_console(base) ? SHOWN_CONSOLE : SHOWN_TERMINAL;
}

void load_fields(const tdi_ctrl &rec) {
  copy_text(tdi_comment, sizeof tdi_comment, rec.comment);
  param_fields[F_BASE].value = rec.base_type;
  param_fields[F_TIMEOUT].value = rec.kbd_timeout;
  if (rec.base_type == TDI_LINE_MODE_TYPE) return;
  param_fields[F_LINES].value = rec.lines;
  param_fields[F_COLUMNS].value = rec.columns;
  param_fields[F_COMPRESS].value = rec.compress_columns;
  for (int i = 0; i < 6; ++i) param_fields[F_LINE_DRAW + 2 * i].value = rec.line_draw[i];
  if (!is_console(rec.base_type)) return;
  param_fields[F_BEEP].value = rec.beep;
  param_fields[F_CURSOR].value = rec.cursor_type;
  memset(font_buf, 0, sizeof font_buf);
  copy_text(font_buf, sizeof font_buf, rec.font_name);
  param_fields[F_FONT_SIZE].value = rec.font_size;
}

// Copies one shown value back, marking the description changed when it
// differs from the record.
template <typename T>
void take(uint16_t field, T &dst) {
  T value = static_cast<T>(param_fields[field].value);
  if (value != dst) {
    dst = value;
    desc_changed = 1;
  }
}

void take_console(tdi_ctrl &rec) {
  take(F_CURSOR, rec.cursor_type);
  uint8_t beep = param_fields[F_BEEP].value ? 1 : 0;
  if (beep != rec.beep) {
    rec.beep = beep;
    desc_changed = 1;
  }
  if (strncmp(font_buf, rec.font_name, sizeof rec.font_name) != 0) {
    memset(rec.font_name, 0, sizeof rec.font_name);
    copy_text(rec.font_name, sizeof rec.font_name, font_buf);
    desc_changed = 1;
  }
  take(F_FONT_SIZE, rec.font_size);
}

// Copies the shown values back in their order. False when compress columns
// is below normal columns: what was copied before the check stays.
bool take_fields(tdi_ctrl &rec) {
  take(F_TIMEOUT, rec.kbd_timeout);
  if (rec.base_type == TDI_LINE_MODE_TYPE) return true;
  take(F_LINES, rec.lines);
  take(F_COLUMNS, rec.columns);
  if (param_fields[F_COMPRESS].value < rec.columns) return false;
  take(F_COMPRESS, rec.compress_columns);
  for (uint16_t i = 0; i < 6; ++i)
    take(static_cast<uint16_t>(F_LINE_DRAW + 2 * i), rec.line_draw[i]);
  if (is_console(rec.base_type)) take_console(rec);
  return true;
}

// The editing loop; returns 0 after ESC or the screen manager's status.
int edit(tdi_ctrl &rec) {
  uint16_t field = 0;
  for (;;) {
    int s = display_form(&params, SHOW_ALL);
    uint16_t key = 0;
    if (s <= 0) s = accept_menu(&params, &field, &key);
    if (s > 0) return s;
    if (!take_fields(rec)) {
      // ESC may not leave while compress columns is too small.
      ring_bell();
      field = F_COMPRESS;
      continue;
    }
    if (key == KEY_ESC) return 0;
  }
}

// The open screen's record, for a session that ends while it is open.
struct {
  uint32_t handle;
  tdi_ctrl *rec;
} open_screen;

// What typed values the form's rules let through, then the record.
void store_open_screen() {
  take_fields(*open_screen.rec);
  put_ctrl_tdi(open_screen.handle, open_screen.rec);
}

} // namespace

int configure_parameters(uint32_t handle) {
  tdi_ctrl rec{};
  int s = get_ctrl_tdi(handle, &rec);
  if (s > 0) return s;
  load_fields(rec);
  params.count = shown_fields(rec.base_type);
  open_screen = {handle, &rec};
  set_form_store(&params, store_open_screen);
  s = edit(rec);
  set_form_store(nullptr, nullptr);
  int put = put_ctrl_tdi(handle, &rec);
  return s > 0 ? s : put > 0 ? put : 0;
}
