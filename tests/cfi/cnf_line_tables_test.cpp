// The serial line, printer and queue screens over a real store: both
// layouts, paging, the copy key, and the bytes a layout does not edit.
#include <cstddef>
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "cfi_screen.h"
#include "scrmgr/table_screen.h"

namespace cfitest {
namespace {

using screen_fn = int (*)(uint32_t, uint32_t);

constexpr table_store ser_store = table_store_of<ser_desc, get_desc_ser, put_desc_ser>();
constexpr table_store prn_store = table_store_of<prn_desc, get_desc_prn, put_desc_prn>();
constexpr table_store pcq_store = table_store_of<pcq_desc, get_desc_pcq, put_desc_pcq>();

// One entry's bytes, whatever the record family.
struct bytes {
  unsigned char b[64] = {};
  bool operator==(const bytes &) const = default;
};

class LineTables : public CfiScreen {
protected:
  // Sets the three table counts (the store sizes its tables to them).
  void counts(uint32_t n) {
    sys_desc sd = sys();
    sd.ser_count = sd.prn_count = sd.pcq_count = n;
    ASSERT_EQ(put_desc_sys(h_, &sd), 0);
  }
  bytes get(const table_store &s, uint32_t i) const {
    bytes r;
    s.get(h_, i, r.b);
    return r;
  }
  void put(const table_store &s, uint32_t i, const bytes &r) { s.put(h_, i, r.b); }
  template <class R>
  R rec(uint32_t i) const {
    R r{};
    if constexpr (std::is_same_v<R, ser_desc>) get_desc_ser(h_, i, &r);
    if constexpr (std::is_same_v<R, prn_desc>) get_desc_prn(h_, i, &r);
    if constexpr (std::is_same_v<R, pcq_desc>) get_desc_pcq(h_, i, &r);
    return r;
  }
  // Runs one screen over `count` entries in the `target` layout.
  int run_table(screen_fn fn, uint8_t target, uint32_t count, const script &s) {
    target_os = target;
    config_changed = 0;
    memscreen_use();
    s.push();
    const int st = fn(h_, count);
    EXPECT_EQ(memscreen_keys_left(), 0u);
    return st;
  }
  static int number_at(int row, int col) { return std::stoi(memscreen_row(row).substr(col, 4)); }
};

// With 40 lines (16 to a page) every paging key lands where the table rule
// says; typing then shows which entry the cursor is on.
TEST_F(LineTables, SerialPagingFollowsTheTableRule) {
  // clang-format off
  const struct {
    const char *what;
    uint32_t count;
    uint8_t target;
    script keys;
    int first;    // entry on the page's top row
    uint32_t cur; // entry the typing reached
  } cases[] = {
      {"F4 from 0", 40, TARGET_WINDOWS, script().key(KEY_F4), 16, 16},
      {"F4 twice", 40, TARGET_WINDOWS, script().key(KEY_F4).key(KEY_F4), 24, 32},
      {"F4 to the end stays on the page", 40, TARGET_WINDOWS, script().key(KEY_F4).key(KEY_F4).key(KEY_F4), 24, 39},
      {"F3 from 39", 40, TARGET_WINDOWS, script().key(KEY_F4).key(KEY_F4).key(KEY_F4).key(KEY_F3), 8, 23},
      {"up on 0 wraps to the last page", 40, TARGET_UNIX, script().key(KEY_UP), 24, 39},
      {"down off the bottom row scrolls one", 40, TARGET_UNIX, script().down(16), 1, 16},
      {"Enter on the last field starts the next row", 40, TARGET_UNIX, script().key(KEY_ENTER).key(KEY_ENTER), 0, 1},
      {"16 lines never repage: F4", 16, TARGET_WINDOWS, script().key(KEY_F4), 0, 15},
      {"16 lines never repage: up", 16, TARGET_UNIX, script().key(KEY_UP), 0, 15},
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(default_cfi(h_, 1, c.target), 0);
    counts(c.count);
    EXPECT_EQ(run_table(config_ser, c.target, c.count,
                        script(c.keys).key(K_CLEAR_LINE).text("X").key(KEY_ESC)),
              0);
    const int col = c.target == TARGET_UNIX ? 25 : 7;
    EXPECT_EQ(number_at(5, col), c.first);
    EXPECT_EQ(number_at(20, col), c.first + 15);
    EXPECT_STREQ(rec<ser_desc>(c.cur).device, "X");
    EXPECT_EQ(memscreen_cursor_row(), 5 + static_cast<int>(c.cur) - c.first);
  }
}

// Each screen draws the layout of the target OS, numbers its rows, and
// leaving at once writes nothing new; an empty table rings and draws nothing.
TEST_F(LineTables, EachScreenDrawsTheTargetsLayout) {
  // clang-format off
  const struct {
    screen_fn fn;
    uint8_t target;
    const char *heading; // row 3
    int number_col;
  } cases[] = {
      {config_ser, TARGET_UNIX, "@SER  Device in /dev   Enable?", 25},
      {config_ser, TARGET_WINDOWS, "@SER  Device           Enable?  Set Rate Bits Pty Bits Ctl O I O I", 7},
      {config_prn, TARGET_UNIX, "@PRN Device in /dev  Ena  O C Translation", 17},
      {config_prn, TARGET_WINDOWS, "@PRN Device          Ena O C Translation     Set Rate Bits Pty Bits Ctl", 0},
      {config_pcq, TARGET_UNIX, "@PCQ  Print Queue                         Ena Translation     Que Disp   Ntf Ban", 0},
      {config_pcq, TARGET_WINDOWS, "@PCQ  Windows Printer Name                Ena Translation     Que Disp   B C E", 0},
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(c.heading);
    ASSERT_EQ(default_cfi(h_, 1, c.target), 0);
    counts(20);
    EXPECT_EQ(run_table(c.fn, c.target, 20, script().key(KEY_ESC)), 0);
    EXPECT_NE(memscreen_row(3).find(c.heading), std::string::npos) << memscreen_row(3);
    EXPECT_NE(memscreen_row(22).find("F5 to copy, ESC to exit."), std::string::npos);
    for (int n = 0; n < 16; ++n) EXPECT_EQ(number_at(5 + n, c.number_col), n);
    EXPECT_EQ(memscreen_row(21).substr(0, 40), std::string(40, ' ')) << "row 21 is below the page";
    EXPECT_EQ(config_changed, 0);
    const uint64_t cells = memscreen_cells_written();
    EXPECT_EQ(c.fn(h_, 0), 0);
    EXPECT_EQ(memscreen_bells(), 1);
    EXPECT_EQ(memscreen_cells_written(), cells);
  }
}

// A text member set to `text` with the pattern left after its terminator.
void seed_text(bytes &r, size_t offset, const char *text) {
  std::memcpy(r.b + offset, text, std::strlen(text) + 1);
}

// Every byte of an entry holds a pattern the screens never write (texts end
// early, the pattern after them); editing the first text field must change
// that member only. So the other layout's switches and settings, and the
// reserved bytes, go back exactly as read.
TEST_F(LineTables, EachLayoutWritesBackWhatItDoesNotEdit) {
  // clang-format off
  const struct {
    const char *what;
    screen_fn fn;
    uint8_t target;
    table_store store;
    std::vector<std::pair<size_t, size_t>> texts; // offset, size; the first is edited
  } cases[] = {
      {"serial UNIX", config_ser, TARGET_UNIX, ser_store, {{offsetof(ser_desc, device), 16}}},
      {"serial Windows", config_ser, TARGET_WINDOWS, ser_store, {{offsetof(ser_desc, device), 16}}},
      {"printer UNIX", config_prn, TARGET_UNIX, prn_store,
       {{offsetof(prn_desc, device), 16}, {offsetof(prn_desc, translation), 16}}},
      {"printer Windows", config_prn, TARGET_WINDOWS, prn_store,
       {{offsetof(prn_desc, device), 16}, {offsetof(prn_desc, translation), 16}}},
      {"queue UNIX", config_pcq, TARGET_UNIX, pcq_store,
       {{offsetof(pcq_desc, queue_name), 36}, {offsetof(pcq_desc, translation), 16}}},
      {"queue Windows", config_pcq, TARGET_WINDOWS, pcq_store,
       {{offsetof(pcq_desc, queue_name), 36}, {offsetof(pcq_desc, translation), 16}}},
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(default_cfi(h_, 1, c.target), 0);
    counts(4);
    bytes before;
    for (size_t i = 0; i < c.store.size; ++i)
      before.b[i] = static_cast<unsigned char>(0x81 + 3 * i);
    for (const auto &[offset, size] : c.texts) seed_text(before, offset, "old");
    put(c.store, 0, before);
    EXPECT_EQ(run_table(c.fn, c.target, 4, script().key(K_CLEAR_LINE).text("new").key(KEY_ESC)), 0);
    bytes want = before;
    const auto [offset, size] = c.texts.front();
    std::memset(want.b + offset, 0, size); // a changed text is cleared before it is copied in
    seed_text(want, offset, "new");
    const bytes after = get(c.store, 0);
    for (size_t i = 0; i < c.store.size; ++i) EXPECT_EQ(after.b[i], want.b[i]) << "byte " << i;
    EXPECT_EQ(config_changed, 1);
  }
}

// The Windows settings reach their own members: a choice stepped, a switch
// typed, and nothing else moves.
TEST_F(LineTables, WindowsSettingsReachTheirMembers) {
  ASSERT_EQ(default_cfi(h_, 1, TARGET_WINDOWS), 0);
  counts(4);
  ser_desc s = rec<ser_desc>(0);
  s.baud = 6;
  put_desc_ser(h_, 0, &s);
  // Device, Enable?, Set, Baud: the baud rate one step on; then Stop, Mdm.
  EXPECT_EQ(run_table(config_ser, TARGET_WINDOWS, 4,
                      script()
                          .key(KEY_F2)
                          .key(KEY_F2)
                          .key(KEY_F2)
                          .key(KEY_RIGHT)
                          .key(KEY_F2)
                          .key(KEY_F2)
                          .key(KEY_F2)
                          .key(KEY_F2)
                          .text("y")
                          .key(KEY_ESC)),
            0);
  ser_desc want = s;
  want.baud = 7;
  want.modem_control = 1;
  const ser_desc got = rec<ser_desc>(0);
  EXPECT_EQ(std::memcmp(&got, &want, sizeof got), 0)
      << "baud " << int(got.baud) << " modem " << int(got.modem_control);
  EXPECT_NE(memscreen_row(5).find("19200"), std::string::npos) << memscreen_row(5);
  EXPECT_EQ(config_changed, 1);
}

// F5 copies onto the next entry and moves there; serial lines and printers
// name the next device, queues copy exactly; the last entry rings.
TEST_F(LineTables, CopyKeyRenumbersDevicesAndCopiesQueuesExactly) {
  // clang-format off
  const struct {
    const char *what;
    screen_fn fn;
    uint8_t target;
    std::function<void()> seed;
    script keys;
    std::function<void()> check;
    uint8_t changed;
    int bells;
  } cases[] = {
      {"serial: ttyS0 to ttyS1 with its settings, then ttyS2", config_ser, TARGET_WINDOWS,
       [&] {
         ser_desc s = rec<ser_desc>(0);
         std::strcpy(s.device, "ttyS0");
         s.baud = 9, s.parity = 2, s.sfc_in = 1, s.reserved9[1] = 0x33;
         put_desc_ser(h_, 0, &s);
       },
       script().key(KEY_F5).key(KEY_F5),
       [&] {
         ser_desc want = rec<ser_desc>(0);
         for (const char *dev : {"ttyS1", "ttyS2"}) {
           std::strcpy(want.device, dev);
           const ser_desc got = rec<ser_desc>(dev[4] - '0');
           EXPECT_EQ(std::memcmp(&got, &want, sizeof got), 0) << dev << " got " << got.device;
         }
         EXPECT_STREQ(rec<ser_desc>(0).device, "ttyS0") << "the source keeps its own name";
       },
       1, 0},
      {"printer: lp2 with T1 to lp3 with T1", config_prn, TARGET_UNIX,
       [&] {
         prn_desc p = rec<prn_desc>(2);
         std::strcpy(p.device, "lp2");
         std::strcpy(p.translation, "T1");
         put_desc_prn(h_, 2, &p);
       },
       script().down(2).key(KEY_F5),
       [&] {
         EXPECT_STREQ(rec<prn_desc>(3).device, "lp3");
         EXPECT_STREQ(rec<prn_desc>(3).translation, "T1");
       },
       1, 0},
      {"printer without trailing digits keeps its name", config_prn, TARGET_WINDOWS,
       [&] {
         prn_desc p = rec<prn_desc>(0);
         std::strcpy(p.device, "laser");
         put_desc_prn(h_, 0, &p);
       },
       script().key(KEY_F5), [&] { EXPECT_STREQ(rec<prn_desc>(1).device, "laser"); }, 1, 0},
      {"serial name that cannot grow is refused and says why", config_ser, TARGET_UNIX,
       [&] {
         ser_desc s = rec<ser_desc>(0);
         std::strcpy(s.device, "abcdefghijklm99");
         put_desc_ser(h_, 0, &s);
       },
       script().key(KEY_F5).key(K_CLEAR_LINE).text("kept"),
       [&] {
         EXPECT_STREQ(rec<ser_desc>(0).device, "kept") << "the cursor stays on the source";
         EXPECT_STREQ(rec<ser_desc>(1).device, "ttyS1");
         EXPECT_EQ(memscreen_message_code() & 0xFFF, static_cast<uint32_t>(ST_DEVICE_TOO_LONG));
       },
       1, 1},
      {"queue: an exact copy, name included", config_pcq, TARGET_WINDOWS,
       [&] {
         pcq_desc q = rec<pcq_desc>(0);
         std::strcpy(q.queue_name, "Office 7");
         q.notify = 1, q.reserved7 = 0x44;
         put_desc_pcq(h_, 0, &q);
       },
       script().key(KEY_F5),
       [&] {
         const pcq_desc a = rec<pcq_desc>(0), b = rec<pcq_desc>(1);
         EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0);
       },
       1, 0},
      {"queue copied onto an identical queue changes nothing", config_pcq, TARGET_UNIX,
       [&] {
         const pcq_desc q = rec<pcq_desc>(0);
         put_desc_pcq(h_, 1, &q);
       },
       script().key(KEY_F5), [] {}, 0, 0},
      {"F5 on the last queue rings", config_pcq, TARGET_UNIX, [] {}, script().key(KEY_UP).key(KEY_F5),
       [&] { EXPECT_STREQ(rec<pcq_desc>(0).queue_name, "lp"); }, 0, 1},
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(default_cfi(h_, 1, c.target), 0);
    counts(6);
    c.seed();
    EXPECT_EQ(run_table(c.fn, c.target, 6, script(c.keys).key(KEY_ESC)), 0);
    c.check();
    EXPECT_EQ(config_changed, c.changed);
    EXPECT_EQ(memscreen_bells(), c.bells);
  }
}

TEST_F(LineTables, QueueNameKeepsThirtyFiveCharacters) {
  ASSERT_EQ(default_cfi(h_, 1, TARGET_UNIX), 0);
  counts(2);
  EXPECT_EQ(run_table(config_pcq, TARGET_UNIX, 2,
                      script().key(K_CLEAR_LINE).text(std::string(40, 'q')).key(KEY_ESC)),
            0);
  const pcq_desc q = rec<pcq_desc>(0);
  EXPECT_EQ(std::string(q.queue_name), std::string(35, 'q'));
  EXPECT_EQ(q.queue_name[35], '\0');
}

} // namespace
} // namespace cfitest
