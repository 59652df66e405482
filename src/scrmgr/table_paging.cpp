// The paging rules shared by the table screens.
#include "scrmgr/table_paging.h"

#include "scrmgr/scrmgr.h"

namespace {

// New cur for a key; false when the key moves nothing.
bool next_cur(const table_page &pg, uint16_t key, uint32_t *cur) {
  const uint32_t n = pg.count;
  const uint32_t p = pg.size;
  const uint32_t c = pg.cur;
  switch (key) {
  case KEY_UP:
  case KEY_PREV: *cur = c == 0 ? n - 1 : c - 1; return true;
  case KEY_DOWN:
  case KEY_NEXT:
  case KEY_ENTER:
  case KEY_F5: *cur = c == n - 1 ? 0 : c + 1; return true;
  case KEY_F3: *cur = c < p ? 0 : c - p; return true;
  case KEY_F4: *cur = c >= n - p ? n - 1 : c + p; return true;
  default: return false;
  }
}

// Moves the page so that it holds cur again; `off` is the old cur - first.
// True when the page moved.
bool repage(table_page *pg, uint32_t off) {
  const uint32_t n = pg->count;
  const uint32_t p = pg->size;
  if (pg->cur < pg->first) {
    if (off == 0 && pg->cur == pg->first - 1)
      pg->first -= 1;
    else if (pg->first >= p && pg->cur >= pg->first - p)
      pg->first -= p;
    else
      pg->first = 0;
    pg->last = pg->first + p - 1;
    return true;
  }
  if (pg->cur > pg->last) {
    if (off == p - 1 && pg->cur == pg->last + 1)
      pg->last += 1;
    else if (pg->last < n - p && pg->cur <= pg->last + p)
      pg->last += p;
    else
      pg->last = n - 1;
    pg->first = pg->last - p + 1;
    return true;
  }
  return false;
}

// The code-table move of F3 (page up) and F4 (page down); *jump is set
// when the cursor lands on the same line of another page.
uint32_t code_page_jump(const table_page &pg, uint16_t key, bool *jump) {
  const uint32_t p = pg.size;
  const uint32_t last_page = pg.count - p; // first code of the last page
  const uint32_t r = pg.cur - pg.first;
  const uint32_t c = pg.cur;
  *jump = true;
  if (key == KEY_F3) {
    if (c >= p && c - p >= p) {
      *jump = false;
      return c - p;
    }
    if (c >= p) return r;
    return pg.first == 0 ? last_page + r : r;
  }
  if (c < last_page && c + p < last_page) {
    *jump = false;
    return c + p;
  }
  if (c < last_page) return last_page + r;
  return pg.last != pg.count - 1 ? last_page + r : r;
}

// Brings the page back onto cur; `r` is the cursor's line before the move.
// True when the page moved.
bool code_repage(table_page *pg, uint32_t r, bool jump, bool jump_repages) {
  const uint32_t n = pg->count;
  const uint32_t p = pg->size;
  const bool forced = jump && jump_repages;
  if (pg->cur < pg->first || (forced && pg->cur < p)) {
    if (r == 0 && pg->first > 0 && pg->cur == pg->first - 1)
      pg->first -= 1;
    else if (pg->first < p || pg->cur < pg->first - p)
      pg->first = 0;
    else
      pg->first -= p;
    pg->last = pg->first + p - 1;
    return true;
  }
  if (pg->cur > pg->last || (forced && pg->cur >= n - p)) {
    if (r == p - 1 && pg->cur == pg->last + 1)
      pg->last += 1;
    else if (pg->last >= n - p || pg->cur > pg->last + p)
      pg->last = n - 1;
    else
      pg->last += p;
    pg->first = pg->last - p + 1;
    return true;
  }
  return false;
}

} // namespace

table_page table_page_start(uint32_t count, uint32_t rows) {
  table_page pg{};
  pg.count = count == 0 ? 1 : count;
  pg.size = pg.count < rows ? pg.count : rows;
  if (pg.size == 0) pg.size = 1;
  pg.last = pg.size - 1;
  return pg;
}

page_effect table_page_key(table_page *page, uint16_t key) {
  page_effect fx{};
  if (key == KEY_ESC) {
    fx.leave = true;
    return fx;
  }
  // Copying needs an entry after this one; on the last one nothing moves.
  if (key == KEY_F5 && page->cur == page->count - 1) {
    fx.bell = true;
    return fx;
  }
  uint32_t cur = 0;
  if (!next_cur(*page, key, &cur)) {
    fx.bell = true;
    return fx;
  }
  fx.copy = key == KEY_F5;
  fx.copy_from = page->cur;
  fx.first_field = key == KEY_ENTER;
  const uint32_t off = page->cur - page->first;
  page->cur = cur;
  fx.redraw = repage(page, off);
  return fx;
}

page_effect code_page_key(table_page *page, uint16_t key, code_rules rules) {
  page_effect fx{};
  const uint32_t n = page->count;
  const uint32_t c = page->cur;
  const uint32_t r = c - page->first;
  const uint16_t cls = key_class(key);
  bool jump = false;
  if (key == KEY_ESC) {
    fx.leave = true;
    return fx;
  }
  if (key == KEY_F5 && c == n - 1 && !rules.copy_wraps) {
    fx.bell = true;
    return fx;
  }
  if (key == KEY_F3 || key == KEY_F4) {
    page->cur = code_page_jump(*page, key, &jump);
  } else if (cls == KEY_UP || cls == KEY_PREV) {
    page->cur = c == 0 ? n - 1 : c - 1;
  } else if (cls == KEY_DOWN || cls == KEY_NEXT || key == KEY_ENTER || key == KEY_F5) {
    page->cur = c == n - 1 ? 0 : c + 1;
  } else {
    fx.bell = true;
    return fx;
  }
  fx.copy = key == KEY_F5;
  fx.copy_from = c;
  fx.first_field = key == KEY_ENTER;
  fx.redraw = code_repage(page, r, jump, rules.jump_repages);
  return fx;
}

bool code_page_follow(table_page *page, uint32_t cur) {
  const uint32_t n = page->count;
  const uint32_t p = page->size;
  const uint32_t r = page->cur - page->first;
  page->cur = cur < n ? cur : n - 1;
  // A moved row may land anywhere, so the page steps until it holds it;
  // only the first step may be the one-line scroll.
  bool first_step = true;
  bool moved = false;
  while (page->cur < page->first || page->cur > page->last) {
    if (page->cur < page->first) {
      if (first_step && r == 0 && page->cur == page->first - 1)
        page->first -= 1;
      else
        page->first = page->first < p ? 0 : page->first - p;
      page->last = page->first + p - 1;
    } else {
      if (first_step && r == p - 1 && page->cur == page->last + 1)
        page->last += 1;
      else
        page->last = page->last >= n - p ? n - 1 : page->last + p;
      page->first = page->last - p + 1;
    }
    first_step = false;
    moved = true;
  }
  return moved;
}
