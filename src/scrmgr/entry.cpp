// Line entry of numbers and texts through the library's field editor.
#include <cstdio>
#include <cstring>

#include "lib/scrn.h"
#include "scrmgr/scrmgr.h"
#include "scrmgr/scrmgr_internal.h"

namespace {

constexpr uint16_t NUM_ENTRY = 0x0804;
constexpr uint16_t TEXT_ENTRY = 0x0802;
constexpr uint16_t MAX_DIGITS = 5;
constexpr uint32_t MAX_NUMBER = 65535;
constexpr uint16_t NO_TIMEOUT = 0xFFFF;

// The number entry buffer: at most five digits and the end mark, with the
// position the parse has reached.
struct {
  char buf[MAX_DIGITS + 1];
  char *pos;
} num_entry;

// Outcome of parsing the entry buffer.
enum class parse_result { ok, bad_char, too_big };

// Starting text of a number entry: the value when it lies in range (its
// last `limit` digits, as it is drawn), zero-filled to the limit when asked.
uint16_t number_start(const form_field *f, uint16_t value, uint16_t limit) {
  num_entry.buf[0] = '\0';
  if (value < f->min || value > f->max) return 0;
  char digits[8];
  int nd = snprintf(digits, sizeof digits, "%u", value);
  const char *src = digits + (nd > limit ? nd - limit : 0);
  size_t n = strlen(src);
  size_t zeros = (f->flags & FF_ZEROFILL) ? limit - n : 0;
  memset(num_entry.buf, '0', zeros);
  memcpy(num_entry.buf + zeros, src, n + 1);
  return static_cast<uint16_t>(zeros + n);
}

// Leading blanks skipped; digits up to a blank or the end. *value holds what
// was accumulated when a bad character or an overflowing digit stops it.
parse_result parse_number(uint16_t len, uint16_t *value) {
  char *end = num_entry.buf + len;
  uint32_t acc = 0;
  num_entry.pos = num_entry.buf;
  while (num_entry.pos < end && *num_entry.pos == ' ') num_entry.pos++;
  for (; num_entry.pos < end && *num_entry.pos != ' '; num_entry.pos++) {
    char c = *num_entry.pos;
    *value = static_cast<uint16_t>(acc);
    if (c < '0' || c > '9') return parse_result::bad_char;
    if (acc * 10 + (c - '0') > MAX_NUMBER) return parse_result::too_big;
    acc = acc * 10 + (c - '0');
  }
  *value = static_cast<uint16_t>(acc);
  return parse_result::ok;
}

// Drops trailing blanks, then moves the text past its leading blanks to the
// start of the buffer; returns the new length.
uint16_t trim_text(char *text, uint16_t n) {
  while (n > 0 && text[n - 1] == ' ') n--;
  uint16_t lead = 0;
  while (lead < n && text[lead] == ' ') lead++;
  memmove(text, text + lead, n - lead);
  return static_cast<uint16_t>(n - lead);
}

// Text entry needs a buffer; a text field without one edits this scratch
// buffer instead of writing through a null pointer.
char scratch_text[256];

} // namespace

uint16_t entry_mode(const form_field *field, uint16_t base) {
  uint16_t mode = base;
  if (field->flags & FF_QUICK) mode |= 0x4000;
  if (field->flags & FF_MASK) mode |= 0x8000;
  return mode;
}

int accept_num_field(form_field *field, key_rec *key) {
  uint16_t limit = field->width < MAX_DIGITS ? field->width : MAX_DIGITS;
  uint16_t start = field->value;
  for (;;) {
    field_ctl ctl;
    int st = fill_field_ctl(field, entry_mode(field, NUM_ENTRY), &ctl);
    if (st > 0) return st;
    ctl.digits = static_cast<uint16_t>(limit * 256);
    ctl.max_len = limit;
    ctl.len = number_start(field, start, limit);
    st = getfld_scrn(num_entry.buf, &ctl, key, NO_TIMEOUT);
    if (st > 0) return st;
    uint16_t len = ctl.len < limit ? ctl.len : limit;
    num_entry.buf[len] = '\0';
    parse_result r = parse_number(len, &start);
    if (r == parse_result::ok) {
      field->value = start;
      return 0;
    }
    // Bad input starts the entry again from what was good so far.
    if ((st = sound_bell()) > 0) return st;
    scrmgr_trace(r == parse_result::bad_char ? 525 : 533, "accept_num_field", "SE_INV_OPER");
  }
}

int accept_text_field(form_field *field, key_rec *key) {
  char *text = field->text;
  if (text == nullptr) {
    scratch_text[0] = '\0';
    text = scratch_text;
  }
  uint16_t width = field->width <= 255 ? field->width : 255;
  // Without a buffer of its own the scratch buffer holds no more than shows.
  const uint16_t cap = text == scratch_text ? width : text_capacity(field);
  field_ctl ctl;
  int st = fill_field_ctl(field, entry_mode(field, TEXT_ENTRY), &ctl);
  if (st > 0) return st;
  ctl.width = width;
  ctl.max_len = cap;
  ctl.len = static_cast<uint16_t>(strnlen(text, cap));
  st = getfld_scrn(text, &ctl, key, NO_TIMEOUT);
  if (st > 0) return st;
  uint16_t n = ctl.len < cap ? ctl.len : cap;
  if (field->flags & FF_ZEROFILL) n = trim_text(text, n);
  memset(text + n, 0, cap + 1u - n);
  return 0;
}
