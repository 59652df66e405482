// The one loop of the table screens.
#include "scrmgr/table_screen.h"

#include <cstring>

namespace {

// One record's bytes, aligned for any record family.
struct record_buf {
  alignas(8) unsigned char bytes[TABLE_MAX_RECORD];
};

// The row being edited, for a session that ends while it is open: its
// typed values are taken back and written as a pass would, so that the
// side file holds them.
struct {
  const table_screen *ts;
  uint32_t handle;
  uint32_t index;
} open_row;

void mark(const table_screen &ts, uint8_t changed) {
  if (changed && ts.changed) *ts.changed = 1;
}

// Takes the row's fields into `rec` as a pass does, marking the editor
// changed for each difference (also when the take hook then refuses the
// pass); false when it refused. *changed tells whether anything differed.
bool take_row(const table_screen &ts, void *rec, uint8_t *changed) {
  take_fields(ts.row, ts.bindings, rec, changed);
  mark(ts, *changed);
  if (ts.hooks.take && !ts.hooks.take(rec, changed)) return false;
  mark(ts, *changed);
  return true;
}

void store_open_row() {
  const table_screen &ts = *open_row.ts;
  record_buf rec{};
  uint8_t changed = 0;
  if (ts.store.get(open_row.handle, open_row.index, rec.bytes) > 0) return;
  if (!take_row(ts, rec.bytes, &changed)) return;
  ts.store.put(open_row.handle, open_row.index, rec.bytes);
  if (ts.hooks.flush) ts.hooks.flush(open_row.handle);
}

int draw_row(const table_screen &ts, uint32_t index, uint32_t first, const void *rec) {
  const auto row = static_cast<uint16_t>(ts.top_row + ts.row_height * (index - first));
  for (uint16_t i = 0; i < ts.row->count; ++i) ts.row->fields[i].row = row;
  if (ts.flags & TABLE_NUMBERED) ts.row->fields[0].value = static_cast<uint16_t>(index);
  fill_fields(ts.row, ts.bindings, rec);
  if (ts.hooks.show) {
    const int st = ts.hooks.show(index, rec);
    if (st > 0) return st;
  }
  return display_form(ts.row, SHOW_ALL);
}

int show_page(const table_screen &ts, uint32_t handle, const table_page &pg) {
  for (uint32_t i = pg.first; i <= pg.last; ++i) {
    const int st = show_table_row(ts, handle, i, pg.first);
    if (st > 0) return st;
  }
  return 0;
}

// The function keys a screen does not honour ring like any unknown key.
uint16_t honoured(const table_screen &ts, uint16_t key) {
  const bool page = key == KEY_F3 || key == KEY_F4;
  if (page && !(ts.flags & TABLE_PAGE_KEYS)) return 0;
  if (key == KEY_F5 && !(ts.flags & TABLE_COPY_KEY)) return 0;
  return key;
}

page_effect move(const table_screen &ts, table_page *pg, uint16_t key) {
  return ts.paging == table_paging::code ? code_page_key(pg, key, ts.code)
                                         : table_page_key(pg, key);
}

// Writes `rec` (the entry just left, as the copy hook made it) over the
// entry after it, unless that one is already the same.
int copy_over(const table_screen &ts, uint32_t handle, uint32_t to, const void *rec) {
  record_buf next{};
  int st = ts.store.get(handle, to, next.bytes);
  if (st > 0) return st;
  const bool always = ts.flags & TABLE_COPY_ALWAYS;
  if (!always && std::memcmp(next.bytes, rec, ts.store.size) == 0) return 0;
  if ((st = ts.store.put(handle, to, rec)) > 0) return st;
  mark(ts, 1);
  return 0;
}

// One pass over entry pg.cur: accept it, take it back and write it. *taken
// is false when the pass was refused (nothing written).
int edit_entry(const table_screen &ts, uint32_t handle, const table_page &pg, uint16_t *field,
               uint16_t *key, record_buf *rec, bool *taken) {
  int st = show_table_row(ts, handle, pg.cur, pg.first);
  open_row = {&ts, handle, pg.cur};
  if (st <= 0) st = accept_menu(ts.row, field, key);
  if (st <= 0) st = ts.store.get(handle, pg.cur, rec->bytes);
  if (st > 0) return st;
  uint8_t changed = 0;
  *taken = take_row(ts, rec->bytes, &changed);
  if (!*taken) return 0;
  const bool write = !(ts.flags & TABLE_WRITE_CHANGED) || changed;
  if (write && (st = ts.store.put(handle, pg.cur, rec->bytes)) > 0) return st;
  return show_table_row(ts, handle, pg.cur, pg.first);
}

// Passes over the entries until ESC or a positive status.
int edit_table(const table_screen &ts, uint32_t handle, table_page &pg) {
  int st = 0;
  uint16_t field = ts.start_field;
  for (;;) {
    uint16_t key = 0;
    record_buf rec{};
    bool taken = false;
    if ((st = edit_entry(ts, handle, pg, &field, &key, &rec, &taken)) > 0) return st;
    if (!taken) {
      ring_bell();
      continue;
    }
    if (ts.hooks.others_changed && ts.hooks.others_changed() &&
        (st = show_page(ts, handle, pg)) > 0)
      return st;
    key = honoured(ts, key);
    const bool copying = key == KEY_F5 && (pg.cur + 1 < pg.count || ts.code.copy_wraps);
    if (copying && ts.hooks.copy && !ts.hooks.copy(rec.bytes)) {
      ring_bell();
      continue;
    }
    const page_effect fx = move(ts, &pg, key);
    if (fx.leave) return 0;
    if (fx.bell) ring_bell();
    if (fx.copy && (st = copy_over(ts, handle, pg.cur, rec.bytes)) > 0) return st;
    if (fx.first_field) field = ts.start_field;
    if (fx.redraw && (st = show_page(ts, handle, pg)) > 0) return st;
  }
}

} // namespace

int show_table_row(const table_screen &ts, uint32_t handle, uint32_t index, uint32_t first) {
  record_buf rec{};
  const int st = ts.store.get(handle, index, rec.bytes);
  if (st > 0) return st;
  return draw_row(ts, index, first, rec.bytes);
}

int run_table_screen(const table_screen &ts, uint32_t handle, uint32_t count) {
  if (count == 0) {
    ring_bell();
    return 0;
  }
  bind_ranges(ts.row, ts.bindings);
  int st = display_form(ts.frame, ts.frame_show);
  if (st > 0) return st;
  table_page pg = table_page_start(count, ts.page_rows);
  if ((st = show_page(ts, handle, pg)) > 0) return st;
  set_form_store(ts.row, store_open_row);
  st = edit_table(ts, handle, pg);
  set_form_store(nullptr, nullptr);
  return st;
}
