// The table paging rule: every ending key from a range of page positions.
#include <gtest/gtest.h>

#include "cfi/table_paging.h"
#include "scrmgr/scrmgr.h"

namespace {

struct paging_case {
  const char *what;
  uint32_t n, rows;          // table size and the screen's page size
  uint32_t first, cur;       // position before the key (last follows)
  uint16_t key;
  uint32_t want_first, want_cur;
  bool redraw, copy, bell;
};

const paging_case paging_cases[] = {
    // Scrolling by one row at the page edges.
    {"down from the bottom row scrolls one", 10, 4, 0, 3, KEY_DOWN, 1, 4, true, false, false},
    {"next from the bottom row scrolls one", 10, 4, 0, 3, KEY_NEXT, 1, 4, true, false, false},
    {"up from the top row scrolls one", 10, 4, 4, 4, KEY_UP, 3, 3, true, false, false},
    {"prev from the top row scrolls one", 10, 4, 4, 4, KEY_PREV, 3, 3, true, false, false},
    {"down inside the page keeps it", 10, 4, 0, 1, KEY_DOWN, 0, 2, false, false, false},
    {"up inside the page keeps it", 10, 4, 4, 6, KEY_UP, 4, 5, false, false, false},
    // Wrapping round the ends.
    {"up from entry 0 shows the last page", 10, 4, 0, 0, KEY_UP, 6, 9, true, false, false},
    {"down from the last entry shows the first page", 10, 4, 6, 9, KEY_DOWN, 0, 0, true, false, false},
    {"enter from the last entry wraps too", 10, 4, 6, 9, KEY_ENTER, 0, 0, true, false, false},
    // Whole pages.
    {"F4 moves a page and keeps the row", 10, 4, 0, 1, KEY_F4, 4, 5, true, false, false},
    {"F3 moves a page back and keeps the row", 10, 4, 4, 5, KEY_F3, 0, 1, true, false, false},
    {"F4 near the end goes to the last entry", 10, 4, 4, 6, KEY_F4, 6, 9, true, false, false},
    {"F3 near the start goes to entry 0", 10, 4, 2, 3, KEY_F3, 0, 0, true, false, false},
    {"F3 on the first page goes to entry 0", 10, 4, 0, 2, KEY_F3, 0, 0, false, false, false},
    {"F4 on the last page goes to the last entry", 10, 4, 6, 7, KEY_F4, 6, 9, false, false, false},
    {"F4 from the middle of a page two pages on", 20, 4, 4, 5, KEY_F4, 8, 9, true, false, false},
    // A table no larger than a page never repages.
    {"three entries: F3 goes to 0", 3, 4, 0, 2, KEY_F3, 0, 0, false, false, false},
    {"three entries: F4 goes to 2", 3, 4, 0, 0, KEY_F4, 0, 2, false, false, false},
    {"three entries: up wraps without repaging", 3, 4, 0, 0, KEY_UP, 0, 2, false, false, false},
    {"one entry: down stays on it", 1, 4, 0, 0, KEY_DOWN, 0, 0, false, false, false},
    // Copy moves like down, except on the last entry.
    {"F5 copies and moves down", 10, 4, 0, 1, KEY_F5, 0, 2, false, true, false},
    {"F5 on the bottom row scrolls one", 10, 4, 0, 3, KEY_F5, 1, 4, true, true, false},
    {"F5 on the last entry rings and stays", 10, 4, 6, 9, KEY_F5, 6, 9, false, false, true},
    // Keys that mean nothing here.
    {"F6 rings", 10, 4, 0, 2, KEY_F6, 0, 2, false, false, true},
    {"F1 rings", 10, 4, 0, 2, KEY_F1, 0, 2, false, false, true},
    {"a yes answer key rings", 10, 4, 0, 2, 0x359, 0, 2, false, false, true},
    // Sixteen-row screens (serial lines, printers, queues).
    {"16 rows: down from row 15 scrolls one", 40, 16, 0, 15, KEY_DOWN, 1, 16, true, false, false},
    {"16 rows: F4 from the last full page ends", 40, 16, 16, 20, KEY_F4, 24, 36, true, false, false},
};

TEST(TablePaging, EveryKeyMovesCurAndPageAsTheRuleSays) {
  for (const paging_case &c : paging_cases) {
    SCOPED_TRACE(c.what);
    table_page pg = table_page_start(c.n, c.rows);
    pg.first = c.first;
    pg.last = c.first + pg.size - 1;
    pg.cur = c.cur;
    const page_effect fx = table_page_key(&pg, c.key);
    EXPECT_FALSE(fx.leave);
    EXPECT_EQ(pg.cur, c.want_cur);
    EXPECT_EQ(pg.first, c.want_first);
    EXPECT_EQ(pg.last, pg.first + pg.size - 1);
    EXPECT_LT(pg.last, c.n);
    EXPECT_GE(pg.cur, pg.first);
    EXPECT_LE(pg.cur, pg.last);
    EXPECT_EQ(fx.redraw, c.redraw);
    EXPECT_EQ(fx.copy, c.copy);
    EXPECT_EQ(fx.bell, c.bell);
    if (c.copy) {
      EXPECT_EQ(fx.copy_from, c.cur);
    }
  }
}

TEST(TablePaging, StartLeaveAndEnter) {
  EXPECT_EQ(table_page_start(3, 4).last, 2u);
  EXPECT_EQ(table_page_start(100, 16).last, 15u);
  table_page pg = table_page_start(10, 4);
  pg.cur = 2;
  EXPECT_TRUE(table_page_key(&pg, KEY_ESC).leave);
  EXPECT_EQ(pg.cur, 2u);
  // Only Enter starts the next row on its first input field.
  for (uint16_t key : {KEY_ENTER, KEY_DOWN, KEY_UP, KEY_F4, KEY_F5}) {
    pg = table_page_start(10, 4);
    EXPECT_EQ(table_page_key(&pg, key).first_field, key == KEY_ENTER) << std::hex << key;
  }
}

}  // namespace
