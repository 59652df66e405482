// Field and form drawing: what text goes where, in which attribute, and over
// how many columns.
#include <cstdio>
#include <cstring>

#include "lib/scrn.h"
#include "scrmgr/scrmgr.h"
#include "scrmgr/scrmgr_internal.h"

namespace {

constexpr uint16_t MAX_WIDTH = 255;
constexpr size_t NUMBER_COLUMNS = 5;

// Copies at most 255 bytes of `src` (null: empty) into `buf`; returns the length.
size_t copy_text(char *buf, const char *src) {
  if (src == nullptr) return 0;
  size_t n = strnlen(src, MAX_WIDTH);
  memcpy(buf, src, n);
  return n;
}

// A number right-aligned in the width: formed as a field of five columns
// (wider fields get as many) of fill characters and digits, of which the last
// `width` are kept, so that a too-long value shows its last digits.
size_t number_text(char *buf, const form_field *f) {
  if (f->value < f->min || f->value > f->max) {
    if (f->width == 0) return 0;
    memset(buf, ' ', f->width - 1u);
    buf[f->width - 1u] = '-';
    return f->width;
  }
  char digits[8];
  int nd = snprintf(digits, sizeof digits, "%u", f->value);
  size_t cols = f->width > NUMBER_COLUMNS ? f->width : NUMBER_COLUMNS;
  char full[MAX_WIDTH + 1];
  char fill = (f->flags & FF_ZEROFILL) ? '0' : ' ';
  memset(full, fill, cols - nd);
  memcpy(full + cols - nd, digits, nd);
  memcpy(buf, full + cols - f->width, f->width);
  return f->width;
}

// Text of a choice; an index outside the range or a missing list draws nothing.
size_t choice_text(char *buf, const form_field *f) {
  if (f->list == nullptr || f->value < f->min || f->value > f->max) return 0;
  return copy_text(buf, f->list[f->value]);
}

size_t field_text(char *buf, const form_field *f) {
  switch (f->kind) {
  case FIELD_NUMBER: return number_text(buf, f);
  case FIELD_TEXT: return copy_text(buf, f->text);
  case FIELD_YESNO: buf[0] = f->value ? 'Y' : 'N'; return 1;
  case FIELD_LABEL: return copy_text(buf, f->label);
  case FIELD_CHOICE: return choice_text(buf, f);
  default: return 0;
  }
}

// Hides or masks, cuts to the width, pads when the flags ask; returns the
// number of characters to draw.
uint16_t shape_text(char *buf, size_t n, const form_field *f) {
  if (f->flags & FF_HIDDEN)
    memset(buf, ' ', n);
  else if (f->flags & FF_MASK)
    memset(buf, '*', n);
  // A text longer than its field shows where it goes on, as it does while
  // it is edited: a cut name must not pass for a whole one.
  if (n > f->width && f->kind == FIELD_TEXT && f->width >= 3 && !(f->flags & FF_HIDDEN))
    buf[f->width - 1] = '>';
  if (n >= f->width) return f->width;
  if (f->flags & (FF_INPUT | FF_PAD | FF_HIDDEN)) {
    memset(buf + n, ' ', f->width - n);
    return f->width;
  }
  return static_cast<uint16_t>(n);
}

} // namespace

int fill_field_ctl(const form_field *field, uint16_t mode, field_ctl *ctl) {
  scrn_info info{};
  int st = get_info_scrn(&info);
  if (st > 0) return st;
  ctl->mode = mode;
  ctl->digits = 0;
  ctl->reserved4 = 0;
  ctl->attr = field->attr;
  ctl->attr_inv = static_cast<uint8_t>(~field->attr);
  ctl->edit_attr = info.edit_attr;
  ctl->edit_attr_inv = static_cast<uint8_t>(~info.edit_attr);
  ctl->fill = '_';
  ctl->row = field->row;
  ctl->col = field->col;
  ctl->timeout = 0xFFFFFFFFu;
  ctl->width = field->width;
  ctl->reserved26 = 0;
  ctl->max_len = field->width;
  ctl->len = 0;
  return 0;
}

int display_field(const form_field *field) {
  if (field->width > MAX_WIDTH) {
    int st = sound_bell();
    scrmgr_trace(234, "display_field", "SE_INV_OPER");
    return st > 0 ? st : 1;
  }
  field_ctl ctl;
  int st = fill_field_ctl(field, 0, &ctl);
  if (st > 0) return st;
  char text[MAX_WIDTH + 1];
  size_t n = field_text(text, field);
  ctl.len = shape_text(text, n, field);
  text[ctl.len] = '\0';
  if (field->flags & FF_EOL) {
    if ((st = set_pos_scrn(field->row, field->col)) > 0) return st;
    if ((st = erase_eol_scrn()) > 0) return st;
  }
  return putfld_scrn(text, &ctl);
}

int display_form(const form *f, uint16_t show_class) {
  int st;
  if ((show_class & SHOW_STATIC) && (f->flags & FORM_CLEAR) && f->count > 0) {
    if ((st = set_pos_scrn(f->fields[0].row, f->fields[0].col)) > 0) return st;
    st = (f->flags & FORM_LINE) ? erase_eol_scrn() : erase_all_scrn();
    if (st > 0) return st;
  }
  for (uint16_t i = 0; i < f->count; i++) {
    const form_field &fld = f->fields[i];
    if ((fld.flags & show_class & SHOW_ALL) == 0 || fld.width == 0) continue;
    if ((st = display_field(&fld)) > 0) return st;
  }
  return update_scrn();
}

int display_changed(form *f) {
  for (uint16_t i = 0; i < f->count; i++) {
    form_field &fld = f->fields[i];
    if ((fld.flags & FF_CHANGED) == 0 || fld.width == 0) continue;
    int st = display_field(&fld);
    if (st > 0) return st;
    fld.flags &= static_cast<uint16_t>(~FF_CHANGED);
  }
  return update_scrn();
}
