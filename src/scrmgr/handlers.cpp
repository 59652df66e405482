// The field handlers of the input loop, one per field kind, with the
// callback's notify and check steps.
#include <cstdint>

#include "lib/scrn.h"
#include "scrmgr/scrmgr.h"
#include "scrmgr/scrmgr_internal.h"

namespace {

constexpr uint16_t NO_TIMEOUT = 0xFFFF;

bool is_up(uint16_t key) { return key_class(key) == KEY_UP || key_class(key) == KEY_PREV; }
bool is_down(uint16_t key) { return key_class(key) == KEY_DOWN || key_class(key) == KEY_NEXT; }
bool is_vertical(uint16_t key) { return is_up(key) || is_down(key); }
bool is_ending(uint16_t key) { return key_class(key) == 0x300; }

bool notifies(const form *f, uint16_t i) {
  return (f->fields[i].flags & FF_NOTIFY) && f->callback != nullptr;
}

// Calls the callback (when the field notifies), rings the bell for a
// refusal when asked, and redraws what the callback marked. *verdict is the
// callback's result (0 without a callback).
int call_back(form *f, uint16_t i, bool bell, int *verdict) {
  *verdict = 0;
  if (!notifies(f, i)) return 0;
  *verdict = f->callback(i);
  int st;
  if (*verdict != 0 && bell && (st = sound_bell()) > 0) return st;
  return display_changed(f);
}

int notify(form *f, uint16_t i, bool bell = true) {
  int verdict;
  return call_back(f, i, bell, &verdict);
}

// The check step: *allowed says whether the field may be left.
int check(form *f, uint16_t i, bool *allowed) {
  int verdict;
  int st = call_back(f, i, true, &verdict);
  *allowed = verdict == 0;
  return st;
}

int bell_and_notify(form *f, uint16_t i) {
  int st = sound_bell();
  return st > 0 ? st : notify(f, i);
}

// Leaving a field: drawn once more (a choice field is not), and notified once
// more, whose refusal only rings the bell.
int leave(form *f, uint16_t i) {
  form_field *fld = &f->fields[i];
  int st;
  if (fld->kind != FIELD_CHOICE) {
    if ((st = display_field(fld)) > 0) return st;
    if ((st = update_scrn()) > 0) return st;
  }
  return notify(f, i);
}

// Checks, and leaves when the check allows; *done tells the caller.
int check_and_leave(form *f, uint16_t i, bool *done) {
  int st = check(f, i, done);
  if (st > 0 || !*done) return st;
  return leave(f, i);
}

// Draws a single-key field, puts the cursor on it and waits for one key.
int read_key(const form_field *fld, uint16_t *key) {
  int st;
  if ((st = display_field(fld)) > 0) return st;
  if ((st = update_scrn()) > 0) return st;
  if ((st = set_pos_scrn(fld->row, fld->col)) > 0) return st;
  if ((st = update_scrn()) > 0) return st;
  key_rec rec{};
  st = getkey_scrn(&rec, NO_TIMEOUT);
  *key = rec.code;
  return st;
}

uint16_t next_value(const form_field *fld) {
  return fld->value < fld->max ? static_cast<uint16_t>(fld->value + 1) : fld->min;
}
uint16_t prev_value(const form_field *fld) {
  return fld->value > fld->min ? static_cast<uint16_t>(fld->value - 1) : fld->max;
}

// A value outside the range moved to the nearer bound (0 stays below min
// when the field allows it); true when it was moved.
bool correct_range(form_field *fld) {
  if (fld->value > fld->max) {
    fld->value = fld->max;
    return true;
  }
  if (fld->value < fld->min && !(fld->value == 0 && (fld->flags & FF_ZERO_OK))) {
    fld->value = fld->min;
    return true;
  }
  return false;
}

int handle_number(form *f, uint16_t i, uint16_t *key) {
  form_field *fld = &f->fields[i];
  for (;;) {
    key_rec rec{};
    int st = accept_num_field(fld, &rec);
    if (st > 0) return st;
    uint16_t k = rec.code;
    bool spin = fld->flags & FF_SPIN;
    if (spin && is_vertical(k)) {
      fld->value = is_up(k) ? prev_value(fld) : next_value(fld);
      if ((st = notify(f, i)) > 0) return st;
      continue;
    }
    if (correct_range(fld)) {
      if ((st = notify(f, i, false)) > 0) return st;
      if ((st = sound_bell()) > 0) return st;
      continue;
    }
    bool done;
    if ((st = check_and_leave(f, i, &done)) > 0) return st;
    if (done) {
      *key = k;
      return 0;
    }
  }
}

int handle_text(form *f, uint16_t i, uint16_t *key) {
  key_rec rec{};
  int st = accept_text_field(&f->fields[i], &rec);
  if (st > 0) return st;
  *key = rec.code;
  return leave(f, i);
}

// A typed character in a yes/no field: Y or N sets the value; *stay says
// whether the field keeps the cursor.
int yesno_char(form *f, uint16_t i, uint16_t k, bool *stay) {
  form_field *fld = &f->fields[i];
  char c = static_cast<char>(k & 0xFF);
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  *stay = true;
  if (c != 'Y' && c != 'N') return bell_and_notify(f, i);
  fld->value = c == 'Y' ? 1 : 0;
  int verdict;
  int st = call_back(f, i, true, &verdict);
  if (st > 0 || verdict > 0) return st;
  *stay = !(fld->flags & FF_QUICK);
  return *stay ? 0 : leave(f, i);
}

// True when the key toggles a yes/no field or steps a choice.
bool is_step_key(const form_field *fld, uint16_t k) {
  if (fld->flags & FF_SPIN) return is_vertical(k);
  return k == KEY_LEFT || k == KEY_RIGHT;
}

// True when the key ends the field through the check step.
bool is_check_key(const form_field *fld, uint16_t k) {
  return is_ending(k) || (!(fld->flags & FF_SPIN) && is_vertical(k));
}

int handle_yesno(form *f, uint16_t i, uint16_t *key) {
  form_field *fld = &f->fields[i];
  for (;;) {
    uint16_t k;
    int st = read_key(fld, &k);
    if (st > 0) return st;
    bool done = false;
    if (k == KEY_SPACE || is_step_key(fld, k)) {
      fld->value = fld->value ? 0 : 1;
      st = notify(f, i);
    } else if (key_class(k) == 0x100) {
      bool stay;
      st = yesno_char(f, i, k, &stay);
      done = !stay;
    } else if (is_check_key(fld, k)) {
      st = check_and_leave(f, i, &done);
    } else {
      st = bell_and_notify(f, i);
    }
    if (st > 0) return st;
    if (done) {
      *key = k;
      return 0;
    }
  }
}

int handle_choice(form *f, uint16_t i, uint16_t *key) {
  form_field *fld = &f->fields[i];
  for (;;) {
    uint16_t k;
    int st = read_key(fld, &k);
    if (st > 0) return st;
    bool done = false;
    if (k == KEY_SPACE || is_step_key(fld, k)) {
      bool back = k == KEY_LEFT || is_up(k);
      fld->value = back ? prev_value(fld) : next_value(fld);
      st = notify(f, i);
    } else if (is_check_key(fld, k)) {
      st = check_and_leave(f, i, &done);
    } else {
      st = bell_and_notify(f, i);
    }
    if (st > 0) return st;
    if (done) {
      *key = k;
      return 0;
    }
  }
}

// Labels take the cursor only in a form that gives one FF_INPUT.
int handle_label(form *f, uint16_t i, uint16_t *key) {
  for (;;) {
    uint16_t k;
    int st = read_key(&f->fields[i], &k);
    if (st > 0) return st;
    bool done = false;
    st = (is_ending(k) || is_vertical(k)) ? check_and_leave(f, i, &done) : bell_and_notify(f, i);
    if (st > 0) return st;
    if (done) {
      *key = k;
      return 0;
    }
  }
}

} // namespace

int sound_bell() {
  int st = bell_scrn();
  return st > 0 ? st : update_scrn();
}

int run_field(form *f, uint16_t index, uint16_t *key) {
  switch (f->fields[index].kind) {
  case FIELD_NUMBER: return handle_number(f, index, key);
  case FIELD_TEXT: return handle_text(f, index, key);
  case FIELD_YESNO: return handle_yesno(f, index, key);
  case FIELD_LABEL: return handle_label(f, index, key);
  case FIELD_CHOICE: return handle_choice(f, index, key);
  default: scrmgr_trace(1210, "accept_menu", "SE_INV_OPER"); return 1;
  }
}
