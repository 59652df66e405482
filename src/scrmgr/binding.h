// Binding rows: which record member each field of a form edits. One row per
// field replaces the hand-written copies between records and forms, so that
// filling a form and taking it back (with the change flag) is written once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "lib/record.h"
#include "scrmgr/scrmgr.h"

// One field bound to one member. A row with `param` takes the member, the
// range and the default from the store's own key table, so they are written
// once; otherwise `member` says where the value lives and the form's row
// keeps its range.
struct field_binding {
  uint16_t field;         // index in the form
  rec_member member;      // ignored when `param` is set
  const rec_param *param; // the store's row for this member, or null
};

// Shorthands that read like a table: BIND(F_ENABLE, str_desc, str_enabled).
#define BIND(field, rec, m)                                                                        \
  field_binding { (field), REC_MEMBER(rec, m), nullptr }
#define BIND_BITS(field, rec, m, bits)                                                             \
  field_binding { (field), REC_BITS(rec, m, bits), nullptr }
#define BIND_PARAM(field, param)                                                                   \
  field_binding { (field), {}, &(param) }

// The member a binding edits.
inline const rec_member &bound_member(const field_binding &b) {
  return b.param ? b.param->member : b.member;
}

// Sets the range of every field bound to a store row from that row.
void bind_ranges(form *f, std::span<const field_binding> bindings);

// Copies each bound member of `rec` into its field: numbers, yes/no and
// choices as values (a packed member through its bits), texts into the
// field's buffer.
void fill_fields(form *f, std::span<const field_binding> bindings, const void *rec);

// Takes each bound field into `rec` where it differs from the member, and
// sets *changed for each difference (it is never cleared here). A number or
// switch is compared as it stands, so a stored value the user did not touch
// is not a change; a changed text clears the whole member before the text
// is copied in. Returns whether anything changed.
bool take_fields(const form *f, std::span<const field_binding> bindings, void *rec,
                 uint8_t *changed);
