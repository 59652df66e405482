// The system configuration store: every field through save and load,
// defaults per target, table sizes, ".ini" merges, safe saves, side files.
#include "lib/cfi_store.h"
#include "lib/internal/lib_internal.h"
#include "lib/status.h"
#include "support/support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <tuple>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Rng {
  std::mt19937 gen;
  uint32_t below(uint32_t n) { return gen() % n; }
  uint32_t range(uint32_t lo, uint32_t hi) { return lo + below(hi - lo + 1); }
  uint8_t bit() { return gen() & 1; }
  // Any bytes but NUL, blanks and backslashes included.
  template <size_t N>
  void text(char (&dst)[N]) {
    for (size_t i = 0, len = below(N); i < len; ++i) dst[i] = static_cast<char>(range(1, 255));
  }
};

// Every named field set to a random value the runtime accepts; the unnamed
// bytes stay zero, as they never reach a file.
void fill(Rng &r, con_desc &c) {
  c.con_enabled = r.bit(), c.run_programs = r.bit(), c.abort = r.bit(), c.scropt = r.below(4);
  c.sdmode = r.below(4), c.colors = r.below(256), c.color_mode = r.below(3), c.reverse = r.below(3);
  c.privileges = r.below(65536), c.timeout = r.below(6301), c.lines = r.below(256),
  c.columns = r.below(256);
  c.compress_columns = r.below(256), c.pcq_number = r.below(2048), c.prn_number = r.below(2048);
  c.ser_number = r.below(2048), r.text(c.device), r.text(c.term), r.text(c.startup_program);
}
template <class R>
void fill_line(Rng &r, R &s) {
  s.set_line = r.bit(), s.modem_control = r.bit(), s.sfc_in = r.bit(), s.sfc_out = r.bit();
  s.hfc_in = r.bit(), s.hfc_out = r.bit(), s.baud = r.below(11), s.data_bits = r.bit();
  s.parity = r.below(3), s.stop_bits = r.bit();
  r.text(s.device);
}
void fill(Rng &r, ser_desc &s) { s.ser_enabled = r.bit(), fill_line(r, s); }
void fill(Rng &r, prn_desc &p) {
  p.prn_enabled = r.bit(), p.ffd_o = r.bit(), p.ffd_c = r.bit(), fill_line(r, p),
  r.text(p.translation);
}
void fill(Rng &r, pcq_desc &q) {
  q.pcq_enabled = r.bit(), q.auto_queue = r.bit(), q.no_banner = r.bit(), q.notify = r.bit();
  q.formfeed_b = r.bit(), q.formfeed_c = r.bit(), q.formfeed_e = r.bit(),
  q.end_disposition = r.below(3);
  r.text(q.queue_name), r.text(q.translation);
}
void fill(Rng &r, pdf_desc &p) {
  p.enabled = r.bit(), p.autowrap = r.bit(), p.landscape = r.bit(), p.multipart = r.bit(),
  p.scale = r.bit();
  p.center = r.bit(), p.fit_margins = r.bit(), p.use_once = r.bit(), p.reuse_last_page = r.bit();
  p.paper = r.below(9), p.alignment = r.below(3), p.font = r.below(12),
  p.font_size = r.range(2, 72);
  p.height = r.range(72, 1440), p.width = r.range(72, 1440), p.left = r.below(1225),
  p.right = r.below(1225);
  p.top = r.below(1225), p.bottom = r.below(1225), p.line_spacing = r.below(1441);
  p.multipart_count = r.range(1, 9), r.text(p.comment), r.text(p.background_form);
}
void fill(Rng &r, str_desc &s) { s.str_enabled = r.bit(), r.text(s.str_value); }

// One table of the store: random records put, then compared after a load.
template <class R>
struct Table {
  int (*put)(uint32_t, uint32_t, const R *);
  int (*get)(uint32_t, uint32_t, R *);
  std::vector<R> recs;
  void put_all(uint32_t h, Rng &r, size_t n) {
    recs.assign(n, R{});
    for (uint32_t i = 0; i < n; ++i) fill(r, recs[i]), put(h, i, &recs[i]);
  }
  void check(uint32_t h, const char *what) {
    for (uint32_t i = 0; i < recs.size(); ++i) {
      R got{};
      get(h, i, &got);
      EXPECT_EQ(std::memcmp(&recs[i], &got, sizeof got), 0) << what << " " << i;
    }
  }
};

TEST(CfiStore, EveryFieldRoundTripsThroughSaveAndLoad) {
  xntest::TempDir dir;
  const std::string name = dir.file("rt.cfi");
  for (uint32_t seed = 1; seed <= 4; ++seed) {
    Rng r{std::mt19937(seed)};
    uint8_t target = seed % 2;
    uint32_t h = 0;
    ASSERT_EQ(open_cfi(&h, target), 0);
    sys_desc s{};
    s.process_count = 9, s.indexed_file_count = 100, s.relative_file_count = 7,
    s.sequential_file_count = 4000;
    s.record_lock_count = 32767, s.opens_per_process = 16, s.buffer_area_mb = 3072;
    s.printer_control_entries = 1024, s.con_count = 5, s.ser_count = 3, s.prn_count = 4,
    s.pcq_count = 2;
    s.env_string_count = 6, s.pdf_format_count = 7, s.write_through = 1, s.isam7_create = 1;
    ASSERT_EQ(put_desc_sys(h, &s), 0);
    Table<con_desc> con{put_desc_con, get_desc_con, {}};
    Table<ser_desc> ser{put_desc_ser, get_desc_ser, {}};
    Table<prn_desc> prn{put_desc_prn, get_desc_prn, {}};
    Table<pcq_desc> pcq{put_desc_pcq, get_desc_pcq, {}};
    Table<str_desc> str{put_desc_str, get_desc_str, {}};
    Table<pdf_desc> pdf{put_desc_pdf, get_desc_pdf, {}};
    con.put_all(h, r, 5), ser.put_all(h, r, 3), prn.put_all(h, r, 4);
    pcq.put_all(h, r, 2), str.put_all(h, r, 6), pdf.put_all(h, r, 7);
    ASSERT_EQ(save_cfi(h, name.c_str(), 1), 0) << get_error_buffer_cfi(h);
    close_cfi(&h);

    ASSERT_EQ(open_cfi(&h, 1 - target), 0);
    ASSERT_EQ(load_cfi(h, name.c_str()), 0) << get_error_buffer_cfi(h);
    EXPECT_EQ(get_os_target_sys(h), target);
    sys_desc got{};
    get_desc_sys(h, &got);
    EXPECT_EQ(std::memcmp(&s, &got, sizeof s), 0);
    con.check(h, "con"), ser.check(h, "ser"), prn.check(h, "prn");
    pcq.check(h, "pcq"), str.check(h, "str"), pdf.check(h, "pdf");
    close_cfi(&h);
  }
}

TEST(CfiStore, DefaultsDependOnTheTarget) {
  // clang-format off
  const std::tuple<uint8_t, const char *, const char *> cases[] = {
      {TARGET_UNIX, "tty1", "lp"}, {TARGET_WINDOWS, "CON1", "Default Printer"}};
  for (const auto &[target, con1_device, queue0] : cases) {
    uint32_t h = 0;
    open_cfi(&h, 1 - target);
    ASSERT_EQ(default_cfi(h, 1, target), 0);
    EXPECT_EQ(get_os_target_sys(h), target);
    con_desc con0{}, con1{};
    pcq_desc pcq{};
    get_desc_con(h, 0, &con0), get_desc_con(h, 1, &con1), get_desc_pcq(h, 0, &pcq);
    EXPECT_EQ(con0.con_enabled, 1);
    EXPECT_EQ(con1.con_enabled, 0);
    EXPECT_STREQ(con1.device, con1_device);
    EXPECT_STREQ(pcq.queue_name, queue0);
    close_cfi(&h);
  }
}

TEST(CfiStore, TablesFollowTheCountsAndIgnoreAccessBeyondThem) {
  uint32_t h = 0;
  open_cfi(&h, TARGET_UNIX);
  con_desc c{};
  get_desc_con(h, 3, &c);
  std::strcpy(c.device, "changed");
  put_desc_con(h, 3, &c);
  sys_desc s{};
  get_desc_sys(h, &s);
  s.con_count = 2, s.reserved56 = 0xAB; // shrink: console 3 goes; unnamed bytes are kept
  ASSERT_EQ(put_desc_sys(h, &s), 0);
  std::memset(&c, 0x55, sizeof c);
  get_desc_con(h, 3, &c);
  EXPECT_EQ(c.device[0], 0);
  EXPECT_EQ(c.con_enabled, 0);
  EXPECT_EQ(put_desc_con(h, 5, &c), 0); // changes nothing
  s.con_count = 40;                     // grow: new entries are defaults
  ASSERT_EQ(put_desc_sys(h, &s), 0);
  get_desc_con(h, 3, &c);
  EXPECT_STREQ(c.device, "tty3");
  ASSERT_EQ(put_count_pdf(h, 40), 0);
  pdf_desc p{};
  get_desc_pdf(h, 39, &p);
  EXPECT_EQ(p.multipart_count, 1);
  EXPECT_EQ(put_count_pdf(h, 0), ST_BAD_COUNT);

  get_desc_sys(h, &s);
  EXPECT_EQ(s.reserved56, 0xAB);
  const std::pair<uint32_t sys_desc::*, uint32_t> bad[] = {
      {&sys_desc::con_count, 0}, {&sys_desc::prn_count, 2049}, {&sys_desc::pdf_format_count, 257}};
  for (const auto &[field, value] : bad) {
    sys_desc t = s, now{};
    t.*field = value;
    EXPECT_EQ(put_desc_sys(h, &t), ST_BAD_COUNT);
    get_desc_sys(h, &now);
    EXPECT_EQ(std::memcmp(&now, &s, sizeof s), 0);
  }
  close_cfi(&h);
  EXPECT_EQ(put_desc_con(h, 0, &c), ST_FAILED); // a closed handle fails without harm
  EXPECT_EQ(close_cfi(&h), ST_FAILED);
}

TEST(CfiStore, IniSectionsMergeSubsetsAndNothingOnFailure) {
  xntest::TempDir dir;
  uint32_t h = 0, ini = 0;
  auto merge = [&](const std::string &file) {
    EXPECT_EQ(open_ini(file.c_str(), &ini), 0);
    int st = load_sections_cfi(h, ini, 1);
    close_ini(&ini);
    return st;
  };
  // clang-format on
  open_cfi(&h, TARGET_UNIX);
  xntest::write_file(dir.file("ok.ini"),
                     "; site\n[system]\nconsoles = 40\n[console 35]\nterm = xterm\n");
  ASSERT_EQ(merge(dir.file("ok.ini")), 0) << get_error_buffer_cfi(h);
  con_desc c{};
  get_desc_con(h, 35, &c);
  EXPECT_STREQ(c.term, "xterm");
  EXPECT_STREQ(c.device, "tty35"); // untouched
  // A bad line after good ones merges nothing at all; the last console is 39.
  xntest::write_file(dir.file("bad.ini"),
                     "[system]\nprocesses = 30\n[console 1]\ntimeout = 7\n[console 40]\n");
  EXPECT_EQ(merge(dir.file("bad.ini")), ST_BAD_DATA);
  EXPECT_EQ(std::string(get_error_buffer_cfi(h)),
            dir.file("bad.ini") + ":5: [console 40] beyond the 40 consoles");
  sys_desc s{};
  get_desc_sys(h, &s);
  EXPECT_NE(s.process_count, 30u);
  get_desc_con(h, 1, &c);
  EXPECT_EQ(c.timeout, 0);
  // A complete configuration is itself a valid ".ini" file.
  ASSERT_EQ(save_cfi(h, dir.file("full.cfi").c_str(), 1), 0);
  ASSERT_EQ(default_cfi(h, 1, TARGET_UNIX), 0);
  ASSERT_EQ(merge(dir.file("full.cfi")), 0) << get_error_buffer_cfi(h);
  ASSERT_EQ(save_cfi(h, dir.file("merged.cfi").c_str(), 1), 0);
  EXPECT_EQ(xntest::read_file(dir.file("full.cfi")), xntest::read_file(dir.file("merged.cfi")));
  EXPECT_EQ(open_ini(dir.file("missing.ini").c_str(), &ini), ST_NO_FILE);
  close_cfi(&h);
}

TEST(CfiStore, LargeFilesAndSectionsInAnyOrder) {
  xntest::TempDir dir;
  uint32_t h = 0, back = 0;
  open_cfi(&h, TARGET_UNIX);
  open_cfi(&back, TARGET_WINDOWS);
  // Every console differs from its default: the text is written in many
  // chunks and must read back whole.
  sys_desc s{};
  get_desc_sys(h, &s);
  s.con_count = CFI_MAX_DEVICES;
  ASSERT_EQ(put_desc_sys(h, &s), 0);
  Rng r{std::mt19937(7)};
  Table<con_desc> con{put_desc_con, get_desc_con, {}};
  con.put_all(h, r, CFI_MAX_DEVICES);
  const std::string big = dir.file("big.cfi");
  ASSERT_EQ(save_cfi(h, big.c_str(), 1), 0) << get_error_buffer_cfi(h);
  ASSERT_GT(xntest::read_file(big).size(), 256u * 1024);
  ASSERT_EQ(load_cfi(back, big.c_str()), 0) << get_error_buffer_cfi(back);
  con.check(back, "con");

  // [system] may follow the entries it sizes, and is checked before them.
  const std::string head = "[file]\nkind = system-configuration\nrevision = 2\n";
  // clang-format off
  const struct {
    const char *body;
    int status;
    const char *error;
  } cases[] = {
      {"[console 35]\nterm = vt100\n[system]\nconsoles = 40\n[end]\n", 0, ""},
      {"[console 2]\ntimeout = 99999\n[system]\nprocesses = 0\n[end]\n", ST_BAD_DATA,
       "line 7: processes = 0 not in 1..9999"},
      {"[system]\nprocesses = 3\n[end]\n\n# trailing comment\n", 0, ""},
      {"[system]\nprocesses = 3\n[end]\n[console 1]\n[end]\n", ST_BAD_DATA,
       "line 6: unknown section [end]"},
      {"[system]\nprocesses = 3\n", ST_TRUNCATED, "line 5: no [end] line"},
  };
  // clang-format on
  const std::string name = dir.file("order.cfi");
  for (const auto &c : cases) {
    ASSERT_TRUE(xntest::write_file(name, head + c.body));
    EXPECT_EQ(load_cfi(back, name.c_str()), c.status) << c.body;
    EXPECT_EQ(std::string(get_error_buffer_cfi(back)), c.error) << c.body;
  }
  // The first case again: the entry before [system] was kept.
  ASSERT_TRUE(xntest::write_file(name, head + cases[0].body));
  ASSERT_EQ(load_cfi(back, name.c_str()), 0);
  con_desc got{};
  get_desc_con(back, 35, &got);
  EXPECT_STREQ(got.term, "vt100");
  EXPECT_STREQ(got.device, "tty35");
  close_cfi(&h), close_cfi(&back);
}

// Saving writes beside the file and renames: a failed save leaves the old
// file as it was; unsaved work goes to a side file, never over the file.
TEST(CfiStore, SavesAndSideFilesNeverLoseTheOldFile) {
  xntest::TempDir dir;
  init_cfi();
  uint32_t h = 0, clean = 0;
  open_cfi(&h, TARGET_UNIX);
  open_cfi(&clean, TARGET_UNIX);
  const std::string name = dir.file("keep.cfi");
  ASSERT_TRUE(xntest::write_file(name, "old contents\n"));
  ::chmod(name.c_str(), 0640);
  ASSERT_EQ(save_cfi(h, name.c_str(), 0), 0);
  ASSERT_EQ(save_cfi(clean, dir.file("clean.cfi").c_str(), 1), 0);
  struct stat st {};
  ::stat(name.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0640u); // permissions kept
  const std::string saved = xntest::read_file(name);
  con_desc c{};
  get_desc_con(h, 0, &c);
  c.timeout = 42;
  std::memset(c.term, 'x', sizeof c.term); // unterminated: saved cut, never unreadable
  put_desc_con(h, 0, &c);

  ::mkdir(dir.file("adir").c_str(), 0755);
  for (const std::string &target : {dir.file("adir"), dir.file("missing/x.cfi")}) {
    EXPECT_NE(save_cfi(h, target.c_str(), 1), 0) << target;
    EXPECT_EQ(std::string(get_error_buffer_cfi(h)).rfind("cannot write " + target + ": ", 0), 0u)
        << get_error_buffer_cfi(h);
  }
  if (::geteuid() != 0) { // root passes every permission check
    ::chmod(dir.path().c_str(), 0500);
    EXPECT_EQ(save_cfi(h, name.c_str(), 0), ST_ACCESS);
    ::chmod(dir.path().c_str(), 0700);
  }
  EXPECT_FALSE(xntest::file_exists(dir.file("missing")));
  write_side_files();
  EXPECT_EQ(xntest::read_file(name), saved);
  EXPECT_FALSE(xntest::file_exists(dir.file("clean.cfi.save")));
  // The side file is a valid configuration holding the unsaved work.
  uint32_t check = 0;
  open_cfi(&check, TARGET_WINDOWS);
  ASSERT_EQ(load_cfi(check, (name + ".save").c_str()), 0);
  get_desc_con(check, 0, &c);
  EXPECT_EQ(c.timeout, 42);
  EXPECT_EQ(std::string(c.term), std::string(sizeof c.term - 1, 'x'));
  close_cfi(&check), close_cfi(&clean), close_cfi(&h);
}

} // namespace
