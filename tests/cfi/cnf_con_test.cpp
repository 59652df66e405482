// The consoles screen over a real store: choosing a console by number, the
// checks that refuse what the runtime cannot use, copying with renumbering,
// and records that come back byte for byte.
#include <algorithm>
#include <cstddef>

#include "cfi_screen.h"
#include "lib/kern.h"

namespace cfitest {
namespace {

// Moves from the console form's first input field (Enable?) to the one
// `n` input fields further on, in cursor order.
// clang-format off
enum : int {
  AT_DEVICE = 1, AT_RUN = 2, AT_PROGRAM = 3, AT_PRIVILEGES = 4, AT_TIMEOUT = 16, AT_ABORT = 17,
  AT_SER = 20, AT_TERM = 21, AT_LINES = 22, AT_COLUMNS = 23, AT_COMPRESS = 24, AT_COLOR = 28,
  AT_BACKGROUND = 29, AT_FOREGROUND = 30
};
// clang-format on

class ConScreen : public CfiScreen {
protected:
  con_desc con(uint32_t i) const {
    con_desc c{};
    get_desc_con(h_, i, &c);
    return c;
  }
  void put(uint32_t i, const con_desc &c) { ASSERT_EQ(put_desc_con(h_, i, &c), 0); }
  // Runs config_con over the script with the configuration's console count
  // (or `count`); every scripted key must be used.
  int run_con(const script &s, uint32_t count = 0) {
    config_changed = 0;
    s.push();
    const int st = config_con(h_, count ? count : sys().con_count);
    EXPECT_EQ(memscreen_keys_left(), 0u);
    return st;
  }
  // The console number the prompt shows, and the device of the console
  // previewed under it.
  static int shown_number() { return std::stoi(memscreen_row(1).substr(46, 4)); }
  static std::string shown_device() {
    std::string d = memscreen_row(3).substr(25, 15);
    return d.erase(d.find_last_not_of(' ') + 1);
  }
  // A console the null-device rule accepts whatever its device.
  static con_desc with_term(con_desc c, const char *term = "vt100") {
    std::memset(c.term, 0, sizeof c.term);
    std::strcpy(c.term, term);
    return c;
  }
  void use_target(uint8_t t) {
    ASSERT_EQ(default_cfi(h_, 1, t), 0);
    target_os = t;
  }
};

bool same(const con_desc &a, const con_desc &b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Opens console n from the number prompt.
script open(int n) { return script().text(std::to_string(n)).key(KEY_ENTER); }

TEST_F(ConScreen, NumberPromptStepsAndWrapsWithinTheCount) {
  for (uint32_t i = 0; i < 4; ++i) {
    con_desc c = con(i);
    std::snprintf(c.device, sizeof c.device, "dev%u", i);
    put(i, c);
  }
  // clang-format off
  const struct {
    uint32_t count;
    script keys;
    int shown;
    int bells;
  } cases[] = {
      {4, script().key(KEY_DOWN).key(KEY_DOWN), 2, 0},
      {4, script().key(KEY_UP), 3, 0},                      // wraps below 0
      {4, script().key(KEY_UP).key(KEY_DOWN), 0, 0},        // and above the last
      {4, script().text("7").key(KEY_ENTER), 3, 1},         // beyond the last: the last, and the bell
      {4, script().text("2").key(KEY_ENTER).key(KEY_F4).key(KEY_F4).key(KEY_ESC), 0, 0},
      {4, script().text("1").key(KEY_ENTER).key(KEY_F3).key(KEY_F3).key(KEY_ESC), 3, 0},
      {4, script().key(KEY_F5).key(KEY_F1), 0, 1},          // no function key at the prompt
      {1, script().key(KEY_UP).key(KEY_DOWN).key(KEY_DOWN), 0, 0},
      {1, open(0).key(KEY_F3).key(KEY_F4).key(KEY_F5).key(KEY_ESC), 0, 1},
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << "count " << c.count << " shown " << c.shown);
    fresh();
    EXPECT_EQ(run_con(script(c.keys).key(KEY_ESC), c.count), 0);
    EXPECT_EQ(shown_number(), c.shown);
    EXPECT_EQ(shown_device(), "dev" + std::to_string(c.shown)) << "the preview is another console";
    EXPECT_EQ(memscreen_bells(), c.bells);
    EXPECT_EQ(config_changed, 0) << "looking is no change";
  }
}

TEST_F(ConScreen, LinesAndColumnsTheRuntimeCannotUseAreRefusedOnTheirField) {
  con_desc start = with_term(con(0));
  start.lines = 30;
  start.columns = 100;
  start.compress_columns = 200;
  // clang-format off
  const struct {
    const char *lines, *columns, *compress;
    int refused_at; // 0 accepted; else the field the cursor must be on
    const char *retyped;
    uint16_t want_lines, want_columns, want_compress;
  } cases[] = {
      {"0", "100", "200", 0, "", 0, 100, 200},
      {"24", "100", "200", 0, "", 24, 100, 200},
      {"255", "0", "0", 0, "", 255, 0, 0},
      {"30", "80", "132", 0, "", 30, 80, 132},
      // Refused: the stored value typed again on the field the cursor is
      // on is accepted, and makes no change (on another field it would).
      {"1", "100", "200", AT_LINES, "30", 30, 100, 200},
      {"23", "100", "200", AT_LINES, "30", 30, 100, 200},
      {"30", "0", "80", AT_COLUMNS, "100", 30, 100, 200},
      {"30", "79", "132", AT_COLUMNS, "100", 30, 100, 200},
      {"30", "132", "80", AT_COMPRESS, "200", 30, 100, 200},
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << c.lines << " " << c.columns << ":" << c.compress);
    fresh();
    put(0, start);
    // The timeout changes in the same pass: a refused pass drops it too.
    script s = open(0)
                   .down(AT_TIMEOUT)
                   .text("99")
                   .down(AT_LINES - AT_TIMEOUT)
                   .text(c.lines)
                   .key(KEY_DOWN)
                   .text(c.columns)
                   .key(KEY_DOWN)
                   .text(c.compress)
                   .key(KEY_ESC);
    if (c.refused_at) s.text(c.retyped).key(KEY_ESC); // lands only on the refused field
    EXPECT_EQ(run_con(s.key(KEY_ESC)), 0);
    const con_desc after = con(0);
    EXPECT_EQ(after.lines, c.want_lines);
    EXPECT_EQ(after.columns, c.want_columns);
    EXPECT_EQ(after.compress_columns, c.want_compress);
    EXPECT_EQ(after.timeout, c.refused_at ? start.timeout : 99);
    EXPECT_EQ(memscreen_bells(), c.refused_at ? 1 : 0);
    EXPECT_EQ(config_changed, c.refused_at ? 0 : 1) << "a refused pass changes nothing";
    if (c.refused_at == AT_LINES) {
      EXPECT_EQ(memscreen_message_code(), static_cast<uint32_t>(ST_CON_LINES));
      EXPECT_EQ(memscreen_message_text(), std::string("XNLINES=") + c.lines);
    } else if (c.refused_at) {
      EXPECT_EQ(memscreen_message_code(), static_cast<uint32_t>(ST_CON_COLUMNS));
      EXPECT_EQ(memscreen_message_text(), std::string("XNCOLUMNS=") + c.columns + ":" + c.compress);
    }
  }
}

TEST_F(ConScreen, ConsoleRunningProgramsWithoutTerminalMustBeTheNullDevice) {
  // clang-format off
  const struct {
    uint8_t target;
    const char *device;
    uint8_t enabled, run;
    const char *term;
    bool accepted;
  } cases[] = {
      {TARGET_WINDOWS, "nul", 1, 1, "", true},    {TARGET_WINDOWS, "NUL", 1, 1, "", true},
      {TARGET_WINDOWS, "Nul", 1, 1, "", true},    {TARGET_WINDOWS, "null", 1, 1, "", false},
      {TARGET_WINDOWS, "", 1, 1, "", false},      {TARGET_WINDOWS, "CON2", 1, 1, "", false},
      {TARGET_WINDOWS, "CON2", 1, 1, "ansi", true}, {TARGET_WINDOWS, "CON2", 0, 1, "", true},
      {TARGET_WINDOWS, "CON2", 1, 0, "", true},   {TARGET_UNIX, "null", 1, 1, "", true},
      {TARGET_UNIX, "NULL", 1, 1, "", false},     {TARGET_UNIX, "nul", 1, 1, "", false},
      {TARGET_UNIX, "tty2", 1, 1, "", false},     {TARGET_UNIX, "tty2", 1, 1, "vt220", true},
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << os_target_strs[c.target] << " \"" << c.device << "\" "
                                    << int(c.enabled) << int(c.run) << " \"" << c.term << "\"");
    fresh();
    use_target(c.target);
    con_desc start = with_term(con(2), c.term);
    start.con_enabled = c.enabled;
    start.run_programs = c.run;
    put(2, start);
    // The device is typed on the form; a refusal comes back on XNTERM=.
    script s = open(2).down(AT_DEVICE).key(K_CLEAR_LINE).text(c.device).key(KEY_ESC);
    if (!c.accepted) s.key(K_CLEAR_LINE).text("xterm").key(KEY_ESC);
    EXPECT_EQ(run_con(s.key(KEY_ESC)), 0);
    EXPECT_STREQ(con(2).device, c.device) << "a refused console is still written";
    EXPECT_STREQ(con(2).term, c.accepted ? c.term : "xterm");
    EXPECT_EQ(memscreen_bells(), c.accepted ? 0 : 1);
    if (!c.accepted) {
      EXPECT_EQ(memscreen_message_code(), static_cast<uint32_t>(ST_CON_NO_TERM));
      EXPECT_EQ(memscreen_message_text(), std::string(*c.device ? c.device : "(blank)") +
                                              " is not " +
                                              (c.target == TARGET_UNIX ? "null" : "nul"));
    }
  }
}

TEST_F(ConScreen, RefusalsSayWhyWithinTheLine) {
  // The longest details: a 15-character device, and three-digit columns.
  // clang-format off
  const struct {
    script keys;
    const char *ends;
  } cases[] = {
      {open(2).key(KEY_SPACE).down(AT_DEVICE).key(K_CLEAR_LINE).text("abcdefghijklmno").key(KEY_ESC),
       ": abcdefghijklmno is not null"},
      {open(0).down(AT_COLUMNS).text("255").key(KEY_DOWN).text("254").key(KEY_ESC), ": XNCOLUMNS=255:254"},
  };
  // clang-format on
  use_target(TARGET_UNIX);
  for (const auto &c : cases) {
    SCOPED_TRACE(c.ends);
    fresh();
    c.keys.push();
    // The script ends with the refusal still on the message line.
    EXPECT_EQ(config_con(h_, sys().con_count), ST_SCRIPT_END);
    std::string line = memscreen_row(23);
    line.erase(line.find_last_not_of(' ') + 1);
    EXPECT_TRUE(line.ends_with(c.ends)) << line;
    EXPECT_EQ(line.find("Message 0x"), std::string::npos) << line;
  }
}

TEST_F(ConScreen, CopyKeyWritesTheNextConsoleWithTheNextDevice) {
  con_desc src = with_term(con(3), "vt220");
  std::strcpy(src.device, "tty09");
  src.privileges = 0xA5A5; // bits 12-15 travel with the copy
  src.colors = 0x9A;       // as do bits 3 and 7 of the colours
  src.reserved32[5] = 0x42;
  src.reserved2[0] = 0x17;
  put(3, src);
  EXPECT_EQ(run_con(open(3).key(KEY_F5).key(KEY_F5).key(KEY_ESC).key(KEY_ESC)), 0);
  EXPECT_EQ(shown_number(), 5) << "the copy shows the console it wrote";
  EXPECT_TRUE(same(con(3), src)) << "the source keeps its own name";
  for (const auto &[i, name] : {std::pair{4u, "tty10"}, std::pair{5u, "tty11"}}) {
    con_desc want = src;
    std::memset(want.device, 0, sizeof want.device);
    std::strcpy(want.device, name);
    EXPECT_TRUE(same(con(i), want)) << "console " << i << " device " << con(i).device;
  }
  EXPECT_EQ(config_changed, 1);
  EXPECT_EQ(memscreen_bells(), 0);

  // COM9 grows a digit; the next console already equal to the copy is left
  // alone and the configuration unchanged.
  std::strcpy(src.device, "COM9");
  put(3, src);
  con_desc next = src;
  std::strcpy(next.device, "COM10");
  put(4, next);
  EXPECT_EQ(run_con(open(3).key(KEY_F5).key(KEY_ESC).key(KEY_ESC)), 0);
  EXPECT_TRUE(same(con(4), next));
  EXPECT_EQ(shown_number(), 4);
  EXPECT_EQ(config_changed, 0);
}

TEST_F(ConScreen, CopyKeyRefusesOnTheLastConsoleAndWhenTheNameWouldNotFit) {
  const uint32_t last = sys().con_count - 1;
  const con_desc first = con(0);
  EXPECT_EQ(run_con(open(static_cast<int>(last)).key(KEY_F5).key(KEY_ESC).key(KEY_ESC)), 0);
  EXPECT_EQ(memscreen_bells(), 1);
  EXPECT_EQ(shown_number(), static_cast<int>(last)) << "no wrap to console 0";
  EXPECT_TRUE(same(con(0), first));

  fresh();
  con_desc src = with_term(con(3));
  std::strcpy(src.device, "abcdefghijklm99");
  put(3, src);
  const con_desc next = con(4);
  EXPECT_EQ(run_con(open(3).key(KEY_F5).key(KEY_ESC).key(KEY_ESC)), 0);
  EXPECT_EQ(memscreen_bells(), 1);
  EXPECT_EQ(memscreen_message_code(), static_cast<uint32_t>(ST_DEVICE_TOO_LONG));
  EXPECT_EQ(memscreen_message_text(), "abcdefghijklm99") << "the message names the device";
  EXPECT_EQ(shown_number(), 3);
  EXPECT_TRUE(same(con(4), next)) << "nothing is copied";
  EXPECT_EQ(config_changed, 0);
}

TEST_F(ConScreen, EachPrivilegeAndColourReachesItsOwnBitsOnly) {
  con_desc start = with_term(con(1));
  start.con_enabled = 1;
  start.privileges = 0xA000; // runtime bits outside the twelve
  start.colors = 0x88 | 0x07;
  put(1, start);
  // The privilege fields in cursor order: left column, then right, by row.
  // clang-format off
  const uint16_t privilege_order[] = {
      CON_PRIV_INTERRUPT, CON_PRIV_DEBUG,   CON_PRIV_ABORT,   CON_PRIV_SYSINFO,
      CON_PRIV_MESSAGE,   CON_PRIV_PRINTER, CON_PRIV_PCQ_MGMT, CON_PRIV_SHUTDOWN,
      CON_PRIV_STATUS,    CON_PRIV_DETACHED, CON_PRIV_WATCH,  CON_PRIV_NO_WATCH,
  };
  // clang-format on
  for (int i = 0; i < 12; ++i) {
    SCOPED_TRACE(i);
    fresh();
    put(1, start);
    EXPECT_EQ(run_con(open(1).down(AT_PRIVILEGES + i).key(KEY_SPACE).key(KEY_ESC).key(KEY_ESC)), 0);
    EXPECT_EQ(con(1).privileges, start.privileges ^ privilege_order[i]);
    EXPECT_EQ(config_changed, 1);
  }
  const struct {
    int at;
    uint16_t step;
    uint8_t want;
  } colours[] = {{AT_BACKGROUND, KEY_RIGHT, 0x88 | 0x10 | 0x07},
                 {AT_FOREGROUND, KEY_LEFT, 0x88 | 0x06}};
  for (const auto &c : colours) {
    fresh();
    put(1, start);
    EXPECT_EQ(run_con(open(1).down(c.at).key(c.step).key(KEY_ESC).key(KEY_ESC)), 0);
    EXPECT_EQ(con(1).colors, c.want);
  }
}

TEST_F(ConScreen, EveryUntouchedByteSurvivesTheScreenTheStoreAndTheFile) {
  con_desc odd = with_term(con(6), "wy60");
  std::strcpy(odd.device, "ttyS6");
  std::strcpy(odd.startup_program, std::string(30, 'p').c_str());
  odd.con_enabled = 1;
  odd.privileges = 0xF3C5;
  odd.colors = 0xDB; // background 5, foreground 3, bits 3 and 7 set
  odd.scropt = 3;
  odd.sdmode = 2;
  odd.color_mode = 2;
  odd.reverse = 1;
  odd.abort = 1;
  odd.timeout = 6300;
  odd.lines = 255;
  odd.columns = 132;
  odd.compress_columns = 255;
  odd.pcq_number = 2047;
  odd.prn_number = 7;
  odd.ser_number = 1;
  std::fill(std::begin(odd.reserved32), std::end(odd.reserved32), uint8_t{0xEE});
  odd.reserved14[1] = 0x33;
  put(6, odd);
  // Through every field of the form and back: nothing moves.
  EXPECT_EQ(run_con(open(6).down(30).key(KEY_ESC).key(KEY_ESC)), 0);
  EXPECT_TRUE(same(con(6), odd));
  EXPECT_EQ(config_changed, 0);

  // The file keeps every named value, an XNTERM= emptied against its
  // default too; bytes without a name stay in the store only.
  con_desc detached = with_term(con(0), "");
  std::strcpy(detached.device, "nul");
  put(0, detached);
  ASSERT_EQ(save_cfi(h_, path("con.cfi").c_str(), 1), 0);
  ASSERT_EQ(default_cfi(h_, 1, TARGET_WINDOWS), 0);
  ASSERT_EQ(load_cfi(h_, path("con.cfi").c_str()), 0);
  con_desc named = odd;
  std::memset(named.reserved32, 0, sizeof named.reserved32);
  std::memset(named.reserved14, 0, sizeof named.reserved14);
  EXPECT_TRUE(same(con(6), named));
  EXPECT_TRUE(same(con(0), detached)) << "term \"" << con(0).term << "\"";
}

TEST_F(ConScreen, EveryDefaultConsoleOfBothTargetsCanBeLeftUnchanged) {
  for (uint8_t t : {TARGET_UNIX, TARGET_WINDOWS}) {
    use_target(t);
    SCOPED_TRACE(os_target_strs[t]);
    const uint32_t count = sys().con_count;
    // Console 0, the user's own, names one of the built-in descriptions.
    EXPECT_NE(std::find_if(std::begin(def_term_filename), std::end(def_term_filename),
                           [&](const char *n) { return std::strcmp(n, con(0).term) == 0; }),
              std::end(def_term_filename))
        << con(0).term;
    script s;
    for (uint32_t i = 0; i < count; ++i) s.key(KEY_ENTER).key(KEY_ESC).key(KEY_DOWN);
    std::vector<con_desc> before(count);
    for (uint32_t i = 0; i < count; ++i) before[i] = con(i);
    fresh();
    EXPECT_EQ(run_con(s.key(KEY_ESC)), 0);
    EXPECT_EQ(memscreen_bells(), 0);
    EXPECT_EQ(config_changed, 0);
    for (uint32_t i = 0; i < count; ++i) EXPECT_TRUE(same(con(i), before[i])) << "console " << i;
  }
}

TEST_F(ConScreen, EnterOnTheLastFieldRingsAndStays) {
  put(0, with_term(con(0)));
  const uint8_t fg = con(0).colors & 0x07;
  ASSERT_GT(fg, 0);
  // Up from Enable? wraps to XNFGCOLOR=; Enter rings there; Left then
  // changes that same field.
  EXPECT_EQ(run_con(open(0).key(KEY_UP).key(KEY_ENTER).key(KEY_LEFT).key(KEY_ESC).key(KEY_ESC)), 0);
  EXPECT_EQ(memscreen_bells(), 1);
  EXPECT_EQ(con(0).colors & 0x07, fg - 1);
}

TEST_F(ConScreen, CountOutsideTheTableIsRefusedWithoutDrawing) {
  const uint32_t mask = proc_trace_mask_;
  proc_trace_mask_ |= 0x200;
  for (uint32_t count : {0u, CFI_MAX_DEVICES + 1}) {
    const uint64_t cells = memscreen_cells_written();
    testing::internal::CaptureStderr();
    EXPECT_EQ(config_con(h_, count), ST_BAD_COUNT) << count;
    EXPECT_NE(testing::internal::GetCapturedStderr().find("cnf_con:578 config_con SE_INV_ARG"),
              std::string::npos);
    EXPECT_EQ(memscreen_cells_written(), cells);
  }
  proc_trace_mask_ = mask;
}

} // namespace
} // namespace cfitest
