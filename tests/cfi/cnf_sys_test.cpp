// The system parameters and environment strings screens over a real store.
#include <cstddef>

#include "cfi_screen.h"

namespace cfitest {
namespace {

using SubScreen = CfiScreen;

TEST_F(SubScreen, EachParameterKeepsItsRangeAndReachesItsOwnMember) {
  // clang-format off
  const struct {
    int field; // input field, in cursor order
    const char *typed;
    bool corrected; // out of range: the first ESC corrects, the second leaves
    size_t offset, size;
    uint32_t want;
  } cases[] = {
      {0, "0", true, offsetof(sys_desc, process_count), 4, 1},
      {0, "12000", true, offsetof(sys_desc, process_count), 4, 9999},
      {0, "250", false, offsetof(sys_desc, process_count), 4, 250},
      {3, "n", false, offsetof(sys_desc, write_through), 1, 0},
      {5, "40000", true, offsetof(sys_desc, record_lock_count), 4, 32767},
      {7, "0", false, offsetof(sys_desc, relative_file_count), 4, 0},
      {10, "n", false, offsetof(sys_desc, printer_control_enabled), 1, 0},
      {12, "0", true, offsetof(sys_desc, con_count), 4, 1},
      {14, "3000", true, offsetof(sys_desc, prn_count), 4, 2048},
      {16, "32", false, offsetof(sys_desc, pdf_format_count), 4, 32}, // the default: no change
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << "field " << c.field << " typed " << c.typed);
    ASSERT_EQ(default_cfi(h_, 1, 1), 0);
    sys_desc expect = sys();
    uint32_t was = 0, got = 0;
    std::memcpy(&was, reinterpret_cast<char *>(&expect) + c.offset, c.size);
    std::memcpy(reinterpret_cast<char *>(&expect) + c.offset, &c.want, c.size);
    script keys = script().down(c.field).text(c.typed).key(KEY_ESC);
    EXPECT_EQ(run(c.corrected ? keys.key(KEY_ESC) : keys), 0);
    const sys_desc after = sys();
    std::memcpy(&got, reinterpret_cast<const char *>(&after) + c.offset, c.size);
    EXPECT_EQ(got, c.want);
    EXPECT_EQ(std::memcmp(&expect, &after, sizeof after), 0) << "another member moved";
    EXPECT_EQ(config_changed, was != c.want ? 1 : 0);
  }
}

TEST_F(SubScreen, PdfCountResizesThePdfTableEachTime) {
  pdf_desc marker{}, got{};
  std::strcpy(marker.comment, "marker");
  EXPECT_EQ(run(script().down(16).text("40").key(KEY_ESC)), 0);
  put_desc_pdf(h_, 39, &marker);
  get_desc_pdf(h_, 39, &got);
  EXPECT_STREQ(got.comment, "marker") << "the PDF table did not grow to 40";
  EXPECT_EQ(run(script().down(16).text("32").key(KEY_ESC)), 0);
  got = pdf_desc{};
  get_desc_pdf(h_, 39, &got);
  EXPECT_STRNE(got.comment, "marker") << "entry 39 outlived the shrink to 32";
}

TEST_F(SubScreen, StringPagingShowsTheRightEntries) {
  const int count = static_cast<int>(sys().env_string_count);
  ASSERT_GE(count, 8) << "paging needs two pages of strings";
  str_desc odd = entry(0);
  odd.str_enabled = 2; // drawn as Yes; passing over it is no change
  put_desc_str(h_, 0, &odd);
  // clang-format off
  const std::pair<script, int> cases[] = {
      {script().down(4), 1},                   // down from the bottom row scrolls by one
      {script().key(KEY_UP), count - 4},       // up from entry 0 wraps to the last page
      {script().key(KEY_F4), 4},               // a page forward
      {script().key(KEY_UP).key(KEY_DOWN), 0}, // and round again to the first page
  };
  // clang-format on
  for (const auto &[keys, first] : cases) {
    SCOPED_TRACE(first);
    memscreen_use();
    EXPECT_EQ(run(script(keys).key(KEY_ESC), true), 0);
    // Each page shows four entries, numbered at rows 5, 9, 13 and 17.
    for (int n = 0; n < 4; ++n)
      EXPECT_EQ(std::stoi(memscreen_row(5 + 4 * n).substr(0, 4)), first + n);
    EXPECT_EQ(config_changed, 0) << "moving about changes nothing";
  }
  // With the most strings a configuration holds, the last page's numbers
  // show whole: 1020 is not to be taken for entry 20.
  sys_desc sd = sys();
  sd.env_string_count = CFI_MAX_ENV;
  ASSERT_LE(put_desc_sys(h_, &sd), 0);
  memscreen_use();
  EXPECT_EQ(run(script().key(KEY_UP).key(KEY_ESC), true), 0);
  for (int n = 0; n < 4; ++n)
    EXPECT_EQ(memscreen_row(5 + 4 * n).substr(0, 4), std::to_string(CFI_MAX_ENV - 4 + n));
}

TEST_F(SubScreen, StringEditsAreWrittenAndEnterStartsTheNextRowOnItsSwitch) {
  // Entry 0's value overtyped past 255; Enter goes to entry 1's Enable?.
  const str_desc second = entry(1);
  EXPECT_EQ(run(script()
                    .key(KEY_F2)
                    .key(K_CLEAR_LINE)
                    .text(std::string(260, 'v'))
                    .key(KEY_ENTER)
                    .text("n")
                    .key(KEY_ESC),
                true),
            0);
  EXPECT_EQ(std::string(entry(0).str_value), std::string(255, 'v'));
  EXPECT_EQ(entry(1).str_enabled, 0);
  EXPECT_STREQ(entry(1).str_value, second.str_value);
  EXPECT_EQ(config_changed, 1);
}

TEST_F(SubScreen, StringCopyKeyCopiesTheWholeEntryExceptFromTheLast) {
  str_desc src = entry(0);
  src.reserved1[1] = 0x5A; // the bytes after the switch travel with the copy
  put_desc_str(h_, 0, &src);
  const uint32_t last = sys().env_string_count - 1;
  const str_desc last_before = entry(last);
  // F5 on entry 0 moves to 1; up twice wraps to the last entry, where F5 rings.
  EXPECT_EQ(run(script().key(KEY_F5).key(KEY_UP).key(KEY_UP).key(KEY_F5).key(KEY_ESC), true), 0);
  const str_desc next = entry(1), last_after = entry(last);
  EXPECT_EQ(std::memcmp(&next, &src, sizeof next), 0);
  EXPECT_EQ(std::memcmp(&last_after, &last_before, sizeof last_before), 0);
  EXPECT_EQ(config_changed, 1);
  EXPECT_EQ(memscreen_bells(), 1);
  // An empty table rings and draws nothing.
  const uint64_t cells = memscreen_cells_written();
  EXPECT_EQ(config_str(h_, 0), 0);
  EXPECT_EQ(memscreen_bells(), 2);
  EXPECT_EQ(memscreen_cells_written(), cells);
}

} // namespace
} // namespace cfitest
