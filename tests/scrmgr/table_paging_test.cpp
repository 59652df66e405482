// The table paging rule: every kind of ending key from the page edges.
#include <gtest/gtest.h>

#include "scrmgr/table_paging.h"
#include "scrmgr/scrmgr.h"

namespace {

TEST(TablePaging, EveryKeyMovesCurAndPageAsTheRuleSays) {
  // clang-format off
  const struct {
    const char *what;
    uint32_t n, rows, first, cur; // table and page size, position before the key
    uint16_t key;
    uint32_t want_first, want_cur;
    bool redraw, copy, bell;
  } cases[] = {
      {"down from the bottom row scrolls one", 10, 4, 0, 3, KEY_DOWN, 1, 4, true, false, false},
      {"prev from the top row scrolls one", 10, 4, 4, 4, KEY_PREV, 3, 3, true, false, false},
      {"up from entry 0 shows the last page", 10, 4, 0, 0, KEY_UP, 6, 9, true, false, false},
      {"enter from the last entry wraps to the first page", 10, 4, 6, 9, KEY_ENTER, 0, 0, true, false, false},
      {"F4 moves a page and keeps the row", 10, 4, 0, 1, KEY_F4, 4, 5, true, false, false},
      {"F4 near the end goes to the last entry", 10, 4, 4, 6, KEY_F4, 6, 9, true, false, false},
      {"F3 near the start goes to entry 0", 10, 4, 2, 3, KEY_F3, 0, 0, true, false, false},
      {"F4 on the last page only moves the row", 10, 4, 6, 7, KEY_F4, 6, 9, false, false, false},
      {"short table: up wraps without repaging", 3, 4, 0, 0, KEY_UP, 0, 2, false, false, false},
      {"one entry: down stays on it", 1, 4, 0, 0, KEY_DOWN, 0, 0, false, false, false},
      {"F5 copies and moves down", 10, 4, 0, 1, KEY_F5, 0, 2, false, true, false},
      {"F5 on the last entry rings and stays", 10, 4, 6, 9, KEY_F5, 6, 9, false, false, true},
      {"16 rows: F4 from the last full page ends", 40, 16, 16, 20, KEY_F4, 24, 36, true, false, false},
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    table_page pg = table_page_start(c.n, c.rows);
    pg.first = c.first;
    pg.last = c.first + pg.size - 1;
    pg.cur = c.cur;
    const page_effect fx = table_page_key(&pg, c.key);
    EXPECT_FALSE(fx.leave);
    EXPECT_EQ(pg.cur, c.want_cur);
    EXPECT_EQ(pg.first, c.want_first);
    EXPECT_TRUE(pg.last == pg.first + pg.size - 1 && pg.last < c.n) << pg.last;
    EXPECT_EQ(fx.redraw, c.redraw);
    EXPECT_EQ(fx.bell, c.bell);
    EXPECT_EQ(fx.copy, c.copy);
    EXPECT_TRUE(!c.copy || fx.copy_from == c.cur);
  }
}

TEST(TablePaging, EscLeavesAndOnlyEnterStartsOnTheFirstField) {
  table_page pg = table_page_start(10, 4);
  EXPECT_TRUE(table_page_key(&pg, KEY_ESC).leave);
  for (uint16_t key : {KEY_ENTER, KEY_DOWN, KEY_F4, KEY_F5}) {
    pg = table_page_start(10, 4);
    EXPECT_EQ(table_page_key(&pg, key).first_field, key == KEY_ENTER) << std::hex << key;
  }
}

TEST(CodePaging, EveryKeyMovesTheCodeAndThePage) {
  constexpr code_rules maps{.jump_repages = true, .copy_wraps = false};
  constexpr code_rules chars{.jump_repages = true, .copy_wraps = true};
  constexpr code_rules keys{.jump_repages = false, .copy_wraps = false};
  // clang-format off
  const struct {
    const char *what;
    uint32_t n, rows, first, cur;
    code_rules rules;
    uint16_t key;
    uint32_t want_first, want_cur;
    bool redraw, copy, bell;
  } cases[] = {
      {"up on code 0 shows the last page", 256, 14, 0, 0, maps, KEY_UP, 242, 255, true, false, false},
      {"down from the bottom line scrolls one", 256, 14, 0, 13, maps, KEY_DOWN, 1, 14, true, false, false},
      {"up from the top line scrolls one", 256, 14, 20, 20, maps, KEY_PREV, 19, 19, true, false, false},
      {"enter on the last code wraps to the first page", 256, 14, 242, 255, maps, KEY_ENTER, 0, 0, true, false, false},
      {"F4 moves a page and keeps the line", 256, 14, 0, 0, maps, KEY_F4, 14, 14, true, false, false},
      {"F3 moves a page back", 256, 14, 28, 30, maps, KEY_F3, 14, 16, true, false, false},
      {"F3 on the first page: same line of the last", 256, 14, 0, 3, maps, KEY_F3, 242, 245, true, false, false},
      {"F4 on the last page: same line of the first", 256, 14, 242, 245, maps, KEY_F4, 0, 3, true, false, false},
      {"F4 near the end jumps to the last page", 256, 14, 228, 230, maps, KEY_F4, 242, 244, true, false, false},
      {"F3 near the start jumps to the first page", 256, 14, 10, 20, maps, KEY_F3, 0, 10, true, false, false},
      {"the key table keeps its page on such a jump", 512, 16, 10, 20, keys, KEY_F3, 10, 10, false, false, false},
      {"F5 copies and steps down", 256, 15, 0, 10, maps, KEY_F5, 0, 11, false, true, false},
      {"F5 on the last code rings", 256, 15, 241, 255, maps, KEY_F5, 241, 255, false, false, true},
      {"F5 on the last code wraps where it may", 256, 14, 242, 255, chars, KEY_F5, 0, 0, true, true, false},
      {"F6 rings and stays", 256, 14, 0, 5, maps, KEY_F6, 0, 5, false, false, true},
      {"up on 0 of the key table", 512, 16, 0, 0, keys, KEY_UP, 496, 511, true, false, false},
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    table_page pg = table_page_start(c.n, c.rows);
    pg.first = c.first;
    pg.last = c.first + pg.size - 1;
    pg.cur = c.cur;
    const page_effect fx = code_page_key(&pg, c.key, c.rules);
    EXPECT_EQ(pg.cur, c.want_cur);
    EXPECT_EQ(pg.first, c.want_first);
    EXPECT_TRUE(pg.last == pg.first + pg.size - 1 && pg.last < c.n) << pg.last;
    EXPECT_TRUE(pg.cur >= pg.first && pg.cur <= pg.last) << "the cursor left the page";
    EXPECT_EQ(fx.redraw, c.redraw);
    EXPECT_EQ(fx.copy, c.copy);
    EXPECT_EQ(fx.bell, c.bell);
    EXPECT_EQ(fx.first_field, c.key == KEY_ENTER);
  }
}

TEST(CodePaging, FollowingAMovedRowKeepsThePageByTheSameRule) {
  // clang-format off
  const struct {
    const char *what;
    uint32_t first, cur, to; // the key table: 512 rows, 16 to a page
    uint32_t want_first;
    bool moved;
  } cases[] = {
      {"a move within the page keeps it", 32, 40, 35, 32, false},
      {"from the top line to the row above scrolls one", 32, 32, 31, 31, true},
      {"from another line to the row above moves a page", 32, 40, 31, 16, true},
      {"far up goes to the first page", 32, 40, 3, 0, true},
      {"from the bottom line to the row below scrolls one", 0, 15, 16, 1, true},
      {"far down reaches the last page", 0, 3, 500, 496, true},
      {"from the last page far up: a page at a time", 496, 511, 37, 32, true},
      {"from the first page far down: a page at a time", 0, 3, 40, 32, true},
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    table_page pg = table_page_start(512, 16);
    pg.first = c.first;
    pg.last = c.first + 15;
    pg.cur = c.cur;
    EXPECT_EQ(code_page_follow(&pg, c.to), c.moved);
    EXPECT_EQ(pg.cur, c.to);
    EXPECT_EQ(pg.first, c.want_first);
    EXPECT_EQ(pg.last, pg.first + 15);
  }
}

} // namespace
