// The one input loop of every form and the yes/no prompt built on it.
#include <cstring>

#include "lib/kern.h"
#include "lib/scrn.h"
#include "scrmgr/scrmgr.h"
#include "scrmgr/scrmgr_internal.h"
#include "scrmgr/form_check.h"

namespace {

constexpr uint16_t NONE = 0xFFFF;
constexpr uint16_t PROMPT_ROW = 22;

bool can_focus(const form *f, uint16_t i) {
  uint16_t fl = f->fields[i].flags;
  return (fl & FF_INPUT) && !(fl & FF_HIDDEN);
}

// First field after `i` that takes the cursor; with wrap the search goes on
// from field 0 and may come back to `i` itself. NONE when there is none.
uint16_t next_field(const form *f, uint16_t i, bool wrap) {
  for (uint32_t j = i + 1u; j < f->count; j++)
    if (can_focus(f, static_cast<uint16_t>(j))) return static_cast<uint16_t>(j);
  if (!wrap) return NONE;
  for (uint16_t j = 0; j <= i && j < f->count; j++)
    if (can_focus(f, j)) return j;
  return NONE;
}

// Nearest field before `i` that takes the cursor, wrapping past field 0.
uint16_t prev_field(const form *f, uint16_t i) {
  for (uint16_t n = 1; n <= f->count; n++) {
    uint16_t j = static_cast<uint16_t>((i + f->count - n) % f->count);
    if (can_focus(f, j)) return j;
  }
  return i;
}

uint16_t first_field(const form *f, uint16_t start) {
  for (uint32_t j = start; j < f->count; j++)
    if (can_focus(f, static_cast<uint16_t>(j))) return static_cast<uint16_t>(j);
  return NONE;
}

// Takes a status message down before a field gets the cursor; a refusal of
// the library leaves the flag set and the loop going.
void take_message_down() {
  if (message_shown && dis_msg_scrn(0, MSG_MODE_REMOVE, nullptr, 0) <= 0) message_shown = false;
}

// What the loop does next after a field left with a key.
struct step {
  bool end;      // the form ends with `key`
  bool bell;     // the key is refused; the same field again
  uint16_t next; // otherwise the field that takes the cursor
  uint16_t key;
};

// Forward without wrap: the next field, or the end of the form with `key`.
step forward_or_end(const form *f, uint16_t i, uint16_t key) {
  uint16_t n = next_field(f, i, false);
  if (n == NONE) return {true, false, i, key};
  return {false, false, n, key};
}

step ending_key(const form *f, uint16_t i, uint16_t k) {
  bool line = f->flags & FORM_LINE;
  if (k == KEY_ENTER) return forward_or_end(f, i, k);
  if (k == KEY_F1 && line) return {false, false, prev_field(f, i), k};
  if (k == KEY_F2 && line) return {false, false, next_field(f, i, true), k};
  if (f->flags & FORM_FKEYS) return {true, false, i, k};
  return {false, true, i, k};
}

// Up (or previous) when `back`, else down (or next).
step vertical_key(const form *f, uint16_t i, uint16_t k, bool back) {
  k = key_class(k);
  if (f->flags & FORM_LINE) return {true, false, i, k};
  if (!(f->flags & FORM_VMOVE)) return {false, true, i, k};
  return {false, false, back ? prev_field(f, i) : next_field(f, i, true), k};
}

step navigate(const form *f, uint16_t i, uint16_t k) {
  if ((k & 0xFF) == 1) return {true, false, i, KEY_ESC};
  switch (key_class(k)) {
  case 0x100: return forward_or_end(f, i, static_cast<uint16_t>(0x300 + (k & 0xFF)));
  case 0x300: return ending_key(f, i, k);
  case KEY_UP:
  case KEY_PREV: return vertical_key(f, i, k, true);
  case KEY_DOWN:
  case KEY_NEXT: return vertical_key(f, i, k, false);
  default: return {false, true, i, k};
  }
}

// The prompt form every yes/no question reuses: the prompt on line 22 and
// the answer right after it. Column and width are set per call.
// clang-format off
form_field yes_no_fields[] = {
    {.kind = FIELD_LABEL, .flags = FF_STATIC | FF_EOL, .row = PROMPT_ROW,
     .col = 0, .width = 0, .attr = 4, .value = 0, .min = 0, .max = 0,
     .text = nullptr, .label = nullptr, .list = nullptr},
    {.kind = FIELD_YESNO, .flags = FF_DATA | FF_INPUT | FF_QUICK,
     .row = PROMPT_ROW, .col = 0, .width = 1, .attr = 4, .value = 1, .min = 0,
     .max = 1, .text = nullptr, .label = nullptr, .list = nullptr},
};
// clang-format on
form yes_no_form = make_form(0, yes_no_fields);
REGISTER_FORM(yes_no_form);

// A session ended by a signal must not lose what was typed on the open
// form: the form being accepted and its field are noted here, and the
// screen that registered a store for its form (set_form_store) has it
// written back to its record before the side files are written.
struct open_form_state {
  form *accepting = nullptr; // the form in accept_menu, if any
  uint16_t field = 0;        // its field that has the cursor
  form *kept = nullptr;      // the form whose values `store` writes back
  void (*store)() = nullptr;
};
open_form_state open_form;

// The text typed so far into the field being entered becomes its value,
// as leaving the field would have made it (a number only when in range).
void take_pending_entry(form_field &fl) {
  char typed[256];
  const int n = getfld_pending_scrn(typed, sizeof typed);
  if (n < 0) return;
  if (fl.kind == FIELD_TEXT && fl.text != nullptr) {
    const size_t width = fl.width <= 255 ? fl.width : 255;
    std::memset(fl.text, 0, width + 1);
    std::memcpy(fl.text, typed, static_cast<size_t>(n) < width ? static_cast<size_t>(n) : width);
  } else if (fl.kind == FIELD_NUMBER) {
    uint32_t v = 0;
    int digits = 0;
    for (int i = 0; i < n && v <= 65535; ++i) {
      if (typed[i] == ' ') continue;
      if (typed[i] < '0' || typed[i] > '9') return;
      v = v * 10 + static_cast<uint32_t>(typed[i] - '0');
      ++digits;
    }
    const bool zero_ok = v == 0 && (fl.flags & FF_ZERO_OK);
    if (digits > 0 && ((v >= fl.min && v <= fl.max) || zero_ok))
      fl.value = static_cast<uint16_t>(v);
  }
}

// The library's hook on the way to the side files.
void flush_open_form() {
  if (open_form.store == nullptr) return;
  if (open_form.accepting == open_form.kept && open_form.field < open_form.kept->count)
    take_pending_entry(open_form.kept->fields[open_form.field]);
  open_form.store();
}

// Notes the form in accept_menu, and the one before it when it returns.
struct accepting_guard {
  form *before = open_form.accepting;
  uint16_t field_before = open_form.field;
  explicit accepting_guard(form *f) { open_form.accepting = f; }
  ~accepting_guard() {
    open_form.accepting = before;
    open_form.field = field_before;
  }
};

} // namespace

void set_form_store(form *f, void (*store)()) {
  open_form.kept = store != nullptr ? f : nullptr;
  open_form.store = f != nullptr ? store : nullptr;
  set_form_flush_hook(flush_open_form);
}

int accept_menu(form *f, uint16_t *field, uint16_t *key) {
  uint16_t i = first_field(f, *field);
  if (i == NONE) {
    scrmgr_trace(692, "accept_menu", "SE_INV_OPER");
    return 1;
  }
  accepting_guard noted(f);
  for (;;) {
    *field = i;
    open_form.field = i;
    take_message_down();
    uint16_t k;
    int st = run_field(f, i, &k);
    if (st > 0) return st;
    step s = navigate(f, i, k);
    if (s.end) {
      *key = s.key;
      return 0;
    }
    if (s.bell && (st = sound_bell()) > 0) return st;
    i = s.next;
  }
}

int ask_yes_no(const char *prompt, int16_t *answer) {
  if (prompt == nullptr) prompt = "";
  uint16_t len = static_cast<uint16_t>(strnlen(prompt, 0xFFFF));
  yes_no_fields[0].label = prompt;
  yes_no_fields[0].width = len;
  yes_no_fields[1].col = len;
  yes_no_fields[1].value = 1;
  *answer = 0;
  int st = display_form(&yes_no_form, SHOW_STATIC);
  if (st > 0) return st;
  uint16_t field = 1;
  uint16_t key = 0;
  if ((st = accept_menu(&yes_no_form, &field, &key)) > 0) return st;
  if ((key & 0xFF) == 1)
    *answer = -1;
  else
    *answer = yes_no_fields[1].value ? 1 : 0;
  return 0;
}
