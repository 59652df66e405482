// Row and page movement of the system configuration's table screens: one
// rule for the environment strings, serial lines, printers and queues.
#pragma once

#include <cstdint>

// Position of a table screen over N entries with P = min(N, R) rows on a
// page. Invariant: 0 <= first <= cur <= last = first + P - 1 < N, except
// that cur may leave the page only inside table_page_key.
struct table_page {
  uint32_t count; // N, at least 1
  uint32_t size;  // P
  uint32_t first;
  uint32_t last;
  uint32_t cur;
};

// What the screen does after table_page_key has moved cur.
struct page_effect {
  bool leave;       // ESC: the screen returns 0
  bool bell;        // a key that means nothing here (or F5 on the last entry)
  bool copy;        // copy entry copy_from over entry copy_from + 1
  bool redraw;      // the page moved: draw rows first..last again
  bool first_field; // Enter: the cursor starts on the row's first input field
  uint32_t copy_from;
};

// First page of a table of `count` entries (at least 1) shown `rows` to a page.
table_page table_page_start(uint32_t count, uint32_t rows);

// Applies the key that ended a row form (after the row has been written).
page_effect table_page_key(table_page *page, uint16_t key);
