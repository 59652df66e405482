// The line editor behind getfld_scrn: edits one field in place on the
// screen image and returns the key that ended the entry.
#include <algorithm>
#include <cstring>

#include "lib/screen/screen_core.h"
#include "lib/status.h"

namespace xnscreen {
namespace {

constexpr uint16_t MODE_KIND = 0x00FF;
constexpr uint16_t MODE_NUMBER = 0x0004;
constexpr uint16_t MODE_QUICK = 0x4000;
constexpr uint16_t MODE_MASKED = 0x8000;
constexpr int MAX_FIELD = 255;

// Insert mode is the default; the Insert key toggles it for the session.
bool overtype = false;

struct editor {
  char text[MAX_FIELD + 1] = {};
  int len = 0;
  int pos = 0;          // cursor, 0..len
  int max = 0;          // characters the entry may hold
  int width = 0;        // columns shown
  int first = 0;        // first character shown when the text scrolls
  bool scrolls = false; // the entry may hold more than the width shows
  bool number = false;
  bool masked = false;
  bool quick = false;
  bool fresh = true; // nothing typed or moved yet
  const field_ctl *ctl = nullptr;
};

// Keeps the cursor inside the window of a scrolling field, off the columns
// that the continuation marks take.
void follow_cursor(editor &e) {
  if (!e.scrolls) return;
  if (e.len < e.width) e.first = 0;
  for (;;) {
    const int c = e.pos - e.first;
    const int left = e.first > 0 ? 1 : 0;
    const int right = e.first + e.width < e.len ? 1 : 0;
    if (c < left)
      e.first = std::max(0, e.pos - 1);
    else if (c > e.width - 1 - right)
      ++e.first;
    else
      return;
  }
}

// A scrolling field marks text beyond its left edge with '<' and beyond its
// right edge with '>', so that a long name is never taken for a short one.
uint8_t shown_char(const editor &e, int i) {
  if (e.scrolls && i == 0 && e.first > 0) return '<';
  if (e.scrolls && i == e.width - 1 && e.first + e.width < e.len) return '>';
  const int at = e.first + i;
  if (at >= e.len) return ' ';
  return e.masked ? '*' : static_cast<uint8_t>(e.text[at]);
}

void draw(editor &e) {
  follow_cursor(e);
  for (int i = 0; i < e.width; ++i)
    draw_at(e.ctl->row, e.ctl->col, i, cell{shown_char(e, i), e.ctl->edit_attr});
  // A full field keeps the cursor on its last character.
  const int shown = std::min(e.pos - e.first, std::max(e.width - 1, 0));
  int r, c;
  if (field_pos(e.ctl->row, e.ctl->col, shown, &r, &c)) set_cursor(r, c);
}

bool printable(uint16_t code) {
  if ((code & 0xFF00) != 0x100) return false;
  const auto ch = static_cast<uint8_t>(code & 0xFF);
  return (ch >= 32 && ch <= 126) || ch >= 128;
}

bool ending(uint16_t code) {
  switch (code & 0xFF00) {
  case 0x300:
  case 0x400:
  case 0x500:
  case 0x700:
  case 0x800: return true;
  default: return false;
  }
}

// False when the character is refused (the caller rings the bell).
bool type_char(editor &e, char ch) {
  if (e.number && !(ch == ' ' || (ch >= '0' && ch <= '9'))) return false;
  if (e.number && e.fresh) e.len = e.pos = 0; // a new number replaces the old
  if (!overtype || e.pos == e.len) {
    if (e.len >= e.max) return false;
    std::memmove(e.text + e.pos + 1, e.text + e.pos, e.len - e.pos);
    ++e.len;
  }
  e.text[e.pos++] = ch;
  return true;
}

bool erase_at(editor &e, int i) {
  if (i < 0 || i >= e.len) return false;
  std::memmove(e.text + i, e.text + i + 1, e.len - i - 1);
  --e.len;
  return true;
}

// Applies one editing key; false when it does nothing (bell).
bool edit_key(editor &e, uint16_t code) {
  if (printable(code)) return type_char(e, static_cast<char>(code & 0xFF));
  switch (code) {
  case 0x200:
    if (e.pos == 0) return false;
    --e.pos;
    return true;
  case 0x201:
    if (e.pos >= e.len) return false;
    ++e.pos;
    return true;
  case KEYC_HOME: e.pos = 0; return true;
  case KEYC_END: e.pos = e.len; return true;
  case KEYC_BACKSPACE:
  case 0x108:
  case 0x17F:
    if (!erase_at(e, e.pos - 1)) return false;
    --e.pos;
    return true;
  case KEYC_DELETE: return erase_at(e, e.pos);
  case KEYC_CLEAR:
  case 0x115: e.len = e.pos = 0; return true;
  case KEYC_INSERT: overtype = !overtype; return true;
  default: return false;
  }
}

void start(editor &e, const char *buf, const field_ctl *ctl) {
  e.ctl = ctl;
  e.number = (ctl->mode & MODE_KIND) == MODE_NUMBER;
  e.masked = ctl->mode & MODE_MASKED;
  e.quick = ctl->mode & MODE_QUICK;
  e.width = std::min<int>(ctl->width, MAX_FIELD);
  e.max = std::min<int>(ctl->max_len ? ctl->max_len : ctl->width, MAX_FIELD);
  // Below three columns there is no room for a mark and a character.
  if (e.width < 3) e.max = std::min(e.max, e.width);
  e.scrolls = e.max > e.width;
  e.len = std::min<int>(ctl->len, e.max);
  e.len = static_cast<int>(strnlen(buf, e.len));
  std::memcpy(e.text, buf, e.len);
  e.pos = e.len;
}

int finish(editor &e, char *buf, field_ctl *ctl, key_rec *key, uint16_t code) {
  std::memcpy(buf, e.text, e.len);
  buf[e.len] = '\0';
  ctl->len = static_cast<uint16_t>(e.len);
  key->code = code;
  return 0;
}

// The entry under way, for getfld_pending_scrn; null between entries.
editor *active_entry = nullptr;

// Clears active_entry however the entry ends.
struct active_guard {
  explicit active_guard(editor &e) { active_entry = &e; }
  ~active_guard() { active_entry = nullptr; }
};

} // namespace

void reset_editor() { overtype = false; }

} // namespace xnscreen

using namespace xnscreen;

int getfld_scrn(char *buf, field_ctl *ctl, key_rec *key, uint16_t) {
  if (!buf || !ctl || !key) return ST_FAILED;
  editor e;
  start(e, buf, ctl);
  active_guard guard(e);
  for (;;) {
    draw(e);
    int st = update_scrn();
    if (st != 0) return st;
    key_rec k{};
    st = current_backend()->read_key(&k);
    if (st != 0) return st;
    key_arrived();
    key->raw = k.raw;
    if (ending(k.code)) return finish(e, buf, ctl, key, k.code);
    if (!edit_key(e, k.code)) {
      current_backend()->bell();
      continue;
    }
    if (k.code != KEYC_INSERT) e.fresh = false;
    if (e.quick && printable(k.code) && e.pos >= e.max) {
      draw(e);
      st = update_scrn();
      if (st != 0) return st;
      return finish(e, buf, ctl, key, 0x300);
    }
  }
}

int getfld_pending_scrn(char *buf, size_t size) {
  if (active_entry == nullptr || buf == nullptr || size == 0) return -1;
  const size_t n = std::min(static_cast<size_t>(active_entry->len), size - 1);
  std::memcpy(buf, active_entry->text, n);
  buf[n] = '\0';
  return static_cast<int>(n);
}
