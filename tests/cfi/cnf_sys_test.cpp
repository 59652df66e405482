// The system parameters screen over a real store: ranges, write-back and
// the PDF format count.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>

#include "cfi/cfi.h"
#include "cfi_screen.h"
#include "lib/cfi_store.h"
#include "lib/memscreen.h"
#include "scrmgr/scrmgr.h"

namespace cfitest {
namespace {

class SysScreen : public CfiScreen {
protected:
  void SetUp() override {
    CfiScreen::SetUp();
    ASSERT_EQ(open_cfi(&h_, 1), 0);
    config_changed = 0;
  }
  void TearDown() override {
    close_cfi(&h_);
    CfiScreen::TearDown();
  }
  sys_desc sys() const {
    sys_desc sd{};
    get_desc_sys(h_, &sd);
    return sd;
  }
  int run(const script &s) {
    push(s);
    const int st = config_sys(h_);
    EXPECT_EQ(memscreen_keys_left(), 0u);
    return st;
  }
  // Moves down to the n-th input field (0: processes, 16: PDF formats).
  static script at(int n) {
    script s;
    for (int i = 0; i < n; ++i) s.key(KEY_DOWN);
    return s;
  }
  uint32_t h_ = 0;
};

uint32_t member(const sys_desc &sd, size_t offset, bool byte) {
  const auto *p = reinterpret_cast<const unsigned char *>(&sd) + offset;
  if (byte) return *p;
  uint32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

struct range_case {
  const char *what;
  int field;          // input field, in cursor order
  const char *typed;
  bool corrected;     // out of range: the first ESC corrects, the second leaves
  size_t offset;
  bool byte;
  uint32_t want;
};

const range_case range_cases[] = {
    {"processes below 1", 0, "0", true, offsetof(sys_desc, process_count), false, 1},
    {"processes above 9999", 0, "12000", true, offsetof(sys_desc, process_count), false, 9999},
    {"processes in range", 0, "250", false, offsetof(sys_desc, process_count), false, 250},
    {"OPENs below 16", 1, "8", true, offsetof(sys_desc, opens_per_process), false, 16},
    {"buffer above 3072", 2, "5000", true, offsetof(sys_desc, buffer_area_mb), false, 3072},
    {"write-through set to No", 3, "n", false, offsetof(sys_desc, write_through), true, 0},
    {"sequential above 4096", 4, "5000", true, offsetof(sys_desc, sequential_file_count), false, 4096},
    {"record locks above 32767", 5, "40000", true, offsetof(sys_desc, record_lock_count), false, 32767},
    {"indexed above 8192", 6, "9000", true, offsetof(sys_desc, indexed_file_count), false, 8192},
    {"relative may be 0", 7, "0", false, offsetof(sys_desc, relative_file_count), false, 0},
    {"4GB files set to No", 8, "n", false, offsetof(sys_desc, isam7_4gb), true, 0},
    {"create V7 set to No", 9, "n", false, offsetof(sys_desc, isam7_create), true, 0},
    {"printer control set to No", 10, "n", false, offsetof(sys_desc, printer_control_enabled), true, 0},
    {"printer control entries below 48", 11, "10", true, offsetof(sys_desc, printer_control_entries), false, 48},
    {"@CON devices cannot be 0", 12, "0", true, offsetof(sys_desc, con_count), false, 1},
    {"@PCQ devices may be 0", 13, "0", false, offsetof(sys_desc, pcq_count), false, 0},
    {"@PRN devices above 2048", 14, "3000", true, offsetof(sys_desc, prn_count), false, 2048},
    {"@SER devices may be 0", 15, "0", false, offsetof(sys_desc, ser_count), false, 0},
    {"PDF formats above 256", 16, "300", true, offsetof(sys_desc, pdf_format_count), false, 256},
};

TEST_F(SysScreen, EachFieldKeepsItsRangeAndReachesItsOwnMember) {
  for (const range_case &c : range_cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(default_cfi(h_, 1, 1), 0);
    const sys_desc before = sys();
    config_changed = 0;
    script s = at(c.field).text(c.typed).key(KEY_ESC);
    if (c.corrected) s.key(KEY_ESC);
    EXPECT_EQ(run(s), 0);
    const sys_desc after = sys();
    EXPECT_EQ(member(after, c.offset, c.byte), c.want);
    EXPECT_EQ(config_changed, member(before, c.offset, c.byte) != c.want ? 1 : 0);
    // Nothing else moved.
    sys_desc expect = before;
    std::memcpy(reinterpret_cast<unsigned char *>(&expect) + c.offset,
                reinterpret_cast<const unsigned char *>(&after) + c.offset, c.byte ? 1 : 4);
    EXPECT_EQ(std::memcmp(&expect, &after, sizeof after), 0);
  }
}

TEST_F(SysScreen, LeavingAtOnceWritesTheRecordUnchanged) {
  const sys_desc before = sys();
  EXPECT_EQ(run(script().key(KEY_ESC)), 0);
  const sys_desc after = sys();
  EXPECT_EQ(std::memcmp(&before, &after, sizeof after), 0);
  EXPECT_EQ(config_changed, 0);
  EXPECT_EQ(memscreen_row(0).substr(25, 30), "System Parameter Configuration");
  EXPECT_EQ(memscreen_row(2).substr(0, 27), "Number of processes allowed");
  EXPECT_EQ(std::stoul(memscreen_row(2).substr(30, 5)), before.process_count);
}

TEST_F(SysScreen, EnterOnTheLastFieldStartsAgainOnTheFirst) {
  EXPECT_EQ(run(at(16).key(KEY_ENTER).text("77").key(KEY_ESC)), 0);
  EXPECT_EQ(sys().process_count, 77u);
  EXPECT_EQ(config_changed, 1);
}

TEST_F(SysScreen, PdfCountResizesThePdfTable) {
  pdf_desc marker{};
  std::strcpy(marker.comment, "marker");
  pdf_desc got{};

  ASSERT_EQ(sys().pdf_format_count, 32u);
  EXPECT_EQ(run(at(16).text("40").key(KEY_ESC)), 0);
  EXPECT_EQ(sys().pdf_format_count, 40u);
  put_desc_pdf(h_, 39, &marker);
  get_desc_pdf(h_, 39, &got);
  EXPECT_STREQ(got.comment, "marker") << "the PDF table did not grow to 40";

  // Back to 32 in a later call: entry 39 is gone again.
  EXPECT_EQ(run(at(16).text("32").key(KEY_ESC)), 0);
  EXPECT_EQ(sys().pdf_format_count, 32u);
  got = pdf_desc{};
  get_desc_pdf(h_, 39, &got);
  EXPECT_STRNE(got.comment, "marker");
}

} // namespace
} // namespace cfitest
