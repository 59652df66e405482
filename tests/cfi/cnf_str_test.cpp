// The environment strings screen over a real store: paging on the screen,
// editing, Enter and the copy key.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "cfi/cfi.h"
#include "cfi_screen.h"
#include "lib/cfi_store.h"
#include "lib/memscreen.h"
#include "scrmgr/scrmgr.h"

namespace cfitest {
namespace {

class StrScreen : public CfiScreen {
protected:
  void SetUp() override {
    CfiScreen::SetUp();
    ASSERT_EQ(open_cfi(&h_, 1), 0);
    sys_desc sd{};
    get_desc_sys(h_, &sd);
    count_ = sd.env_string_count;
    ASSERT_GE(count_, 8u) << "the paging tests need two pages of strings";
    config_changed = 0;
  }
  void TearDown() override {
    close_cfi(&h_);
    CfiScreen::TearDown();
  }
  str_desc entry(uint32_t i) const {
    str_desc d{};
    get_desc_str(h_, i, &d);
    return d;
  }
  int run(const script &s) {
    push(s);
    const int st = config_str(h_, count_);
    EXPECT_EQ(memscreen_keys_left(), 0u);
    return st;
  }
  // The entry number shown on the page's n-th entry (screen row 5 + 4n).
  static int shown_number(int n) { return std::stoi(memscreen_row(5 + 4 * n).substr(0, 2)); }

  uint32_t h_ = 0;
  uint32_t count_ = 0;
};

TEST_F(StrScreen, PagingShowsTheRightEntries) {
  struct paging_case {
    const char *what;
    script keys;
    int want_first; // -1: count - 4 (the last page)
  };
  const paging_case cases[] = {
      {"nothing moved", script(), 0},
      {"down from the bottom row scrolls by one", script().key(KEY_DOWN).key(KEY_DOWN).key(KEY_DOWN).key(KEY_DOWN), 1},
      {"up from entry 0 shows the last page", script().key(KEY_UP), -1},
      {"F4 pages forward", script().key(KEY_F4), 4},
      {"F4 then F3 comes back", script().key(KEY_F4).key(KEY_F3), 0},
      {"up then down wraps to the first page", script().key(KEY_UP).key(KEY_DOWN), 0},
      {"F5 moves like down", script().key(KEY_F5).key(KEY_F5).key(KEY_F5).key(KEY_F5), 1},
  };
  for (const paging_case &c : cases) {
    SCOPED_TRACE(c.what);
    memscreen_use();
    config_changed = 0;
    EXPECT_EQ(run(script(c.keys).key(KEY_ESC)), 0);
    const int first = c.want_first < 0 ? static_cast<int>(count_) - 4 : c.want_first;
    for (int n = 0; n < 4; ++n) EXPECT_EQ(shown_number(n), first + n);
    // Moving about writes each entry back unchanged; only copying changes.
    EXPECT_EQ(config_changed, std::string(c.what).starts_with("F5") ? 1 : 0);
  }
}

TEST_F(StrScreen, FrameAndRowsAreDrawn) {
  EXPECT_EQ(run(script().key(KEY_ESC)), 0);
  EXPECT_EQ(memscreen_row(0).substr(23, 32), "Environment String Configuration");
  EXPECT_EQ(memscreen_row(3).substr(0, 17), "Num Enable? Value");
  const str_desc first = entry(0);
  EXPECT_EQ(memscreen_row(5).substr(12, std::strlen(first.str_value)), first.str_value);
  EXPECT_EQ(memscreen_char(5, 7), first.str_enabled ? 'Y' : 'N');
}

TEST_F(StrScreen, EditsAreWrittenAndEnterStartsTheNextRowOnItsSwitch) {
  // Entry 0: the value replaced; Enter goes to entry 1 on "Enable?", where
  // n switches it off; the value of entry 1 stays as it was.
  const str_desc second = entry(1);
  EXPECT_EQ(run(script().key(KEY_F2).key(K_CLEAR_LINE).text("XNPATH=/opt/app").key(KEY_ENTER)
                    .text("n").key(KEY_ESC)), 0);
  EXPECT_STREQ(entry(0).str_value, "XNPATH=/opt/app");
  EXPECT_EQ(entry(1).str_enabled, 0);
  EXPECT_STREQ(entry(1).str_value, second.str_value);
  EXPECT_EQ(config_changed, 1);
}

TEST_F(StrScreen, ValueHoldsAtMost255Characters) {
  const std::string typed(260, 'v');
  EXPECT_EQ(run(script().key(KEY_F2).key(K_CLEAR_LINE).text(typed).key(KEY_ESC)), 0);
  EXPECT_EQ(std::string(entry(0).str_value), std::string(255, 'v'));
  EXPECT_EQ(entry(0).str_value[255], '\0');
}

TEST_F(StrScreen, CopyKey) {
  struct copy_case {
    const char *what;
    uint32_t from;
    bool changes;
  };
  // Entries 0 and 1 differ by default; the last two are both empty.
  const copy_case cases[] = {
      {"copies everything to the next entry", 0, true},
      {"over an identical entry writes nothing", count_ - 3, false},
      {"on the last entry rings and stays", count_ - 1, false},
  };
  for (const copy_case &c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(default_cfi(h_, 1, 1), 0);
    str_desc src = entry(c.from);
    src.reserved1[1] = 0x5A; // the bytes after the switch travel with the copy
    if (c.changes) put_desc_str(h_, c.from, &src);
    src = entry(c.from);
    config_changed = 0;
    memscreen_use();
    script s;
    // Reach the entry: down from 0, or up (wrapping) to the last one.
    if (c.from == count_ - 1) {
      s.key(KEY_UP);
    } else {
      for (uint32_t i = 0; i < c.from; ++i) s.key(KEY_DOWN);
    }
    EXPECT_EQ(run(s.key(KEY_F5).key(KEY_ESC)), 0);
    EXPECT_EQ(config_changed, c.changes ? 1 : 0);
    if (c.from + 1 < count_) {
      const str_desc next = entry(c.from + 1);
      EXPECT_EQ(std::memcmp(&next, &src, sizeof next), 0);
    } else {
      EXPECT_GE(memscreen_bells(), 1);
      const str_desc same = entry(c.from);
      EXPECT_EQ(std::memcmp(&same, &src, sizeof same), 0);
    }
  }
}

TEST_F(StrScreen, EmptyTableRingsAndDrawsNothing) {
  const uint64_t cells = memscreen_cells_written();
  EXPECT_EQ(config_str(h_, 0), 0);
  EXPECT_EQ(memscreen_bells(), 1);
  EXPECT_EQ(memscreen_cells_written(), cells);
}

} // namespace
} // namespace cfitest
