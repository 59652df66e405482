// The shape the serial line, printer and queue screens share: one entry per
// screen row, 16 to a page on rows 5 to 20, the entry number in field 0, the
// cursor starting on field 1, F3/F4 paging and F5 copying, each screen in a
// UNIX and a Windows layout chosen by the target OS at every call.
#pragma once

#include <cstdint>
#include <span>

#include "cfi/cfi.h"
#include "edit/selectors.h"
#include "lib/cfi_store.h"
#include "scrmgr/table_screen.h"

// Flags of the row forms' input fields; texts are stored trimmed.
constexpr uint16_t LINE_INPUT = FF_DATA | FF_INPUT;
constexpr uint16_t LINE_TEXT_INPUT = FF_ZEROFILL | FF_DATA | FF_INPUT;

// The entry number that starts every row: shown, never entered.
constexpr form_field line_number(uint16_t col) {
  return {.kind = FIELD_NUMBER,
          .flags = FF_STATIC,
          .col = col,
          .width = 4,
          .attr = 0,
          .min = 0,
          .max = CFI_MAX_DEVICES - 1};
}

// The help line of every one-row-per-entry frame.
// clang-format off
constexpr form_field line_help = {
    .kind = FIELD_LABEL, .flags = FF_STATIC, .row = 22, .col = 0, .width = 80, .attr = 4,
    .label = "    Press <up>, <down>, F1, F2, F3, F4 to position, F5 to copy, ESC to exit.   "};

// One layout: its frame, its row and what the row's fields edit.
struct line_layout {
  form *frame;
  form *row;
  std::span<const field_binding> bindings;
};
// clang-format on

// A layout as the table screen driver runs it; `copy` turns the entry just
// left into the one copied onto the next entry (null: an exact copy).
constexpr table_screen line_table(const line_layout &l, table_store store, bool (*copy)(void *)) {
  return {
      .frame = l.frame,
      .frame_show = SHOW_ALL,
      .row = l.row,
      .top_row = 5,
      .row_height = 1,
      .page_rows = 16,
      .start_field = 1,
      .flags = TABLE_PAGE_KEYS | TABLE_COPY_KEY | TABLE_NUMBERED,
      .paging = table_paging::table,
      .bindings = l.bindings,
      .store = store,
      .changed = &config_changed,
      .hooks = {.copy = copy},
  };
}

// Both layouts of one screen. Each binds only its own fields, so the other
// layout's bytes are written back exactly as read.
struct line_tables {
  table_screen on_unix;
  table_screen on_windows;
};

inline const table_screen &for_target(const line_tables &t) {
  return target_os == TARGET_UNIX ? t.on_unix : t.on_windows;
}
