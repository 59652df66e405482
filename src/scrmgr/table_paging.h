// Row and page movement of the table screens, written once: the table
// paging of the system configuration's tables (environment strings, serial
// lines, printers, queues, job control strings) and the code-table paging of
// the 256-code maps and the key table.
#pragma once

#include <cstdint>

// Position of a table screen over N entries with P = min(N, R) rows on a
// page. Invariant: 0 <= first <= cur <= last = first + P - 1 < N, except
// that cur may leave the page only inside the key functions.
struct table_page {
  uint32_t count; // N, at least 1
  uint32_t size;  // P
  uint32_t first;
  uint32_t last;
  uint32_t cur;
};

// What the screen does after a key function has moved cur.
struct page_effect {
  bool leave;       // ESC: the screen returns 0
  bool bell;        // a key that means nothing here (or F5 on the last entry)
  bool copy;        // copy entry copy_from over entry cur
  bool redraw;      // the page moved: draw rows first..last again
  bool first_field; // Enter: the cursor starts on the row's first input field
  uint32_t copy_from;
};

// First page of a table of `count` entries (at least 1) shown `rows` to a page.
table_page table_page_start(uint32_t count, uint32_t rows);

// The table paging rule: applies the key that ended a row form (after the
// row has been written). Up/down and Enter step with wrap, F3/F4 move a
// page, F5 copies onto the next entry and steps down (not from the last).
page_effect table_page_key(table_page *page, uint16_t key);

// How the code tables differ among themselves.
struct code_rules {
  bool jump_repages; // a jump to the first or last page always redraws it
  bool copy_wraps;   // F5 on the last code copies onto code 0 (else bell)
};

// The code-table rule: up/down, Enter and F5 step by one with wrap (F5 by
// `rules`); F3/F4 move a page and, at either end, jump to the same line of
// the first or last page; the page follows the cursor, scrolling one line
// when the cursor stepped just off it. The table is at least a page long.
page_effect code_page_key(table_page *page, uint16_t key, code_rules rules);

// Moves the cursor of a code table to `cur` by other means than a key (a
// row that moved to its sorted place) and keeps the page on it: a page at a
// time towards it, the first step a one-line scroll when the cursor leaves
// by the line at the page's edge. True when the page moved.
bool code_page_follow(table_page *page, uint32_t cur);
