// Copies between records and the fields bound to their members.
#include "scrmgr/binding.h"

#include <cstring>

namespace {

bool is_text(const form_field &f) { return f.kind == FIELD_TEXT; }

void fill_text(form_field &f, const void *rec, const rec_member &m) {
  if (f.text == nullptr) return;
  const char *src = static_cast<const char *>(rec) + m.offset;
  // As much as the field holds (a field that holds more than it shows
  // scrolls), so that a text is never cut by passing over it.
  size_t n = strnlen(src, m.size);
  if (n > text_capacity(&f)) n = text_capacity(&f);
  std::memcpy(f.text, src, n);
  f.text[n] = '\0';
}

// True when the text differs; then the whole member is cleared and the
// text copied in, with room kept for the terminator.
bool take_text(const form_field &f, void *rec, const rec_member &m) {
  char *dst = static_cast<char *>(rec) + m.offset;
  const char *text = f.text ? f.text : "";
  if (std::strncmp(dst, text, m.size) == 0) return false;
  std::memset(dst, 0, m.size);
  std::memcpy(dst, text, strnlen(text, m.size - 1u));
  return true;
}

} // namespace

void bind_ranges(form *f, std::span<const field_binding> bindings) {
  for (const field_binding &b : bindings) {
    if (b.param == nullptr) continue;
    form_field &fld = f->fields[b.field];
    fld.min = static_cast<uint16_t>(b.param->min);
    fld.max = static_cast<uint16_t>(b.param->max);
  }
}

void fill_fields(form *f, std::span<const field_binding> bindings, const void *rec) {
  for (const field_binding &b : bindings) {
    form_field &fld = f->fields[b.field];
    const rec_member &m = bound_member(b);
    if (is_text(fld))
      fill_text(fld, rec, m);
    else
      // A form shows 16 bits; the counts that are wider never exceed them.
      fld.value = static_cast<uint16_t>(get_member(rec, m) & 0xFFFF);
  }
}

bool take_fields(const form *f, std::span<const field_binding> bindings, void *rec,
                 uint8_t *changed) {
  bool any = false;
  for (const field_binding &b : bindings) {
    const form_field &fld = f->fields[b.field];
    const rec_member &m = bound_member(b);
    if (is_text(fld)) {
      any = take_text(fld, rec, m) || any;
      continue;
    }
    if (get_member(rec, m) == fld.value) continue;
    set_member(rec, m, fld.value);
    any = true;
  }
  if (any && changed) *changed = 1;
  return any;
}
