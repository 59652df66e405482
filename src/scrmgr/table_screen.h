// The table screen driver: one loop for every screen that edits a table of
// records one row at a time (read the entry, draw its row, accept, take the
// bound fields back with the change flag, write, act on the ending key by
// the table's paging rule, copy, redraw the page). A screen is its forms,
// its binding rows, this description and the hooks for what truly differs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "scrmgr/binding.h"
#include "scrmgr/scrmgr.h"
#include "scrmgr/table_paging.h"

// Largest record a table screen edits (the job control record).
constexpr size_t TABLE_MAX_RECORD = 288;

// How the ending keys move between rows.
// clang-format off
enum class table_paging : uint8_t {
  table, // table paging: F3/F4 by a page, one-line scroll at the edges
  code,  // code-table paging: F3/F4 jump to the same line at either end
};
// clang-format on

// Which function keys the screen honours; the others ring the bell.
constexpr uint16_t TABLE_PAGE_KEYS = 0x01; // F3, F4
constexpr uint16_t TABLE_COPY_KEY = 0x02;  // F5
// The copy overwrites the next entry even when it is already equal, and
// always marks the editor changed.
constexpr uint16_t TABLE_COPY_ALWAYS = 0x04;
// An entry is written only when a field changed it (else after every pass).
constexpr uint16_t TABLE_WRITE_CHANGED = 0x08;
// Field 0 of the row shows the entry's number (no record member holds it).
constexpr uint16_t TABLE_NUMBERED = 0x10;

// The store calls of one record family, with the record's size.
struct table_store {
  size_t size;
  int (*get)(uint32_t handle, uint32_t index, void *rec);
  int (*put)(uint32_t handle, uint32_t index, const void *rec);
};

// Adapts a store's typed calls: table_store_of<str_desc, get_desc_str, put_desc_str>().
template <class R, int (*Get)(uint32_t, uint32_t, R *), int (*Put)(uint32_t, uint32_t, const R *)>
constexpr table_store table_store_of() {
  static_assert(sizeof(R) <= TABLE_MAX_RECORD);
  return {
      sizeof(R), [](uint32_t h, uint32_t i, void *r) { return Get(h, i, static_cast<R *>(r)); },
      [](uint32_t h, uint32_t i, const void *r) { return Put(h, i, static_cast<const R *>(r)); }};
}

// What differs between table screens besides their tables. Every hook may
// be null.
struct table_hooks {
  // Fills the row's fields that no binding covers (the entry number, texts
  // made from the record); 0 or a positive status.
  int (*show)(uint32_t index, const void *rec);
  // Takes the row's unbound fields into `rec`, setting *changed for each
  // difference. False refuses the pass: bell, nothing is written and the
  // row is shown again from the store (changes the bound fields made to
  // the record are dropped, but the editor stays marked changed).
  bool (*take)(void *rec, uint8_t *changed);
  // Turns the record just written into the one copied onto the next entry
  // (a device name renumbered). False refuses the copy, which then neither
  // writes nor moves; the hook says why on the message line.
  bool (*copy)(void *rec);
  // True when the pass just written changed other entries too (the take
  // step reset them): the driver draws the page again. Asked once a pass.
  bool (*others_changed)();
  // For a screen that keeps its records in a copy until it ends: writes the
  // copy to the store when the session ends by a signal while it is open,
  // after the row being edited has been taken in, so the side file has it.
  void (*flush)(uint32_t handle);
};

struct table_screen {
  form *frame;          // drawn once at entry (FORM_CLEAR clears the screen)
  uint16_t frame_show;  // display class of the frame
  form *row;            // one entry's row; each field's row is set per entry
  uint16_t top_row;     // screen row of the page's first entry
  uint16_t row_height;  // screen rows per entry
  uint32_t page_rows;   // entries on a full page
  uint16_t start_field; // the field at entry and after Enter ends a row
  uint16_t flags;       // TABLE_*
  table_paging paging;
  code_rules code; // for code-table paging
  std::span<const field_binding> bindings;
  table_store store;
  uint8_t *changed; // the editor's change flag
  table_hooks hooks;
};

// Runs the screen over entries 0..count-1 of the store behind `handle`.
// Returns 0 after ESC (at once, with the bell, when count is 0) or the
// first positive status of a screen or store call.
int run_table_screen(const table_screen &ts, uint32_t handle, uint32_t count);

// Reads entry `index` and draws its row on the page that starts at `first`.
int show_table_row(const table_screen &ts, uint32_t handle, uint32_t index, uint32_t first);
