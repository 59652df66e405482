// The system configuration store: every field through save and load,
// defaults per target, table sizes, ".ini" merges, failed loads and saves,
// side files.
#include "lib/cfi_store.h"
#include "lib/internal/lib_internal.h"
#include "lib/status.h"
#include "support/support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Rng {
  std::mt19937 gen;
  uint32_t below(uint32_t n) { return gen() % n; }
  uint32_t range(uint32_t lo, uint32_t hi) { return lo + below(hi - lo + 1); }
  // Any bytes but NUL, blanks and backslashes included.
  template <size_t N> void text(char (&dst)[N]) {
    std::memset(dst, 0, N);
    size_t len = below(N);
    for (size_t i = 0; i < len; ++i)
      dst[i] = static_cast<char>(range(1, 255));
  }
  template <size_t N> void bytes(uint8_t (&dst)[N]) {
    for (uint8_t &b : dst)
      b = static_cast<uint8_t>(gen());
  }
};

// Every named field set to a random value within what the runtime accepts;
// the unnamed bytes too, which live only in memory.
void fill(Rng &r, con_desc &c) {
  c.con_enabled = r.below(2), c.run_programs = r.below(2);
  r.bytes(c.reserved2), r.bytes(c.reserved14), r.bytes(c.reserved32);
  c.scropt = r.below(4), c.sdmode = r.below(4), c.colors = r.below(256);
  c.color_mode = r.below(3), c.reverse = r.below(3), c.abort = r.below(2);
  c.privileges = r.below(65536), c.timeout = r.below(6301);
  c.lines = r.below(256), c.columns = r.below(256), c.compress_columns = r.below(256);
  c.pcq_number = r.below(2048), c.prn_number = r.below(2048), c.ser_number = r.below(2048);
  r.text(c.device), r.text(c.term), r.text(c.startup_program);
}
template <class R> void fill_line(Rng &r, R &s) {
  s.set_line = r.below(2), s.modem_control = r.below(2);
  s.sfc_in = r.below(2), s.sfc_out = r.below(2), s.hfc_in = r.below(2), s.hfc_out = r.below(2);
  s.baud = r.below(11), s.data_bits = r.below(2), s.parity = r.below(3), s.stop_bits = r.below(2);
  r.bytes(s.reserved9), r.text(s.device);
}
void fill(Rng &r, ser_desc &s) {
  s.ser_enabled = r.below(2), r.bytes(s.reserved2);
  fill_line(r, s);
}
void fill(Rng &r, prn_desc &p) {
  p.prn_enabled = r.below(2), p.ffd_o = r.below(2), p.ffd_c = r.below(2);
  fill_line(r, p);
  r.text(p.translation);
}
void fill(Rng &r, pcq_desc &q) {
  q.pcq_enabled = r.below(2), q.auto_queue = r.below(2), q.no_banner = r.below(2);
  q.notify = r.below(2), q.formfeed_b = r.below(2), q.formfeed_c = r.below(2);
  q.formfeed_e = r.below(2), q.reserved7 = r.below(256), q.end_disposition = r.below(3);
  r.bytes(q.reserved9), r.text(q.queue_name), r.text(q.translation);
}
void fill(Rng &r, pdf_desc &p) {
  p.enabled = r.below(2), p.autowrap = r.below(2), p.landscape = r.below(2);
  p.multipart = r.below(2), p.scale = r.below(2), p.center = r.below(2);
  p.fit_margins = r.below(2), p.use_once = r.below(2), p.reuse_last_page = r.below(2);
  p.reserved3 = r.below(256), r.bytes(p.reserved10), r.bytes(p.reserved16), r.bytes(p.reserved36);
  p.paper = r.below(9), p.alignment = r.below(3), p.font = r.below(12);
  p.font_size = r.range(2, 72), p.height = r.range(72, 1440), p.width = r.range(72, 1440);
  p.left = r.below(1225), p.right = r.below(1225), p.top = r.below(1225), p.bottom = r.below(1225);
  p.line_spacing = r.below(1441), p.multipart_count = r.range(1, 9);
  r.text(p.comment), r.text(p.background_form);
}
void fill(Rng &r, str_desc &s) {
  s.str_enabled = r.below(2), r.bytes(s.reserved1), r.text(s.str_value);
}

// What survives a file: everything but the unnamed bytes.
void unnamed_zero(con_desc &c) {
  std::memset(c.reserved2, 0, 6), std::memset(c.reserved14, 0, 2), std::memset(c.reserved32, 0, 16);
}
void unnamed_zero(ser_desc &s) { std::memset(s.reserved2, 0, 2), std::memset(s.reserved9, 0, 3); }
void unnamed_zero(prn_desc &p) { std::memset(p.reserved9, 0, 3); }
void unnamed_zero(pcq_desc &q) { q.reserved7 = 0, std::memset(q.reserved9, 0, 3); }
void unnamed_zero(pdf_desc &p) {
  p.reserved3 = 0, std::memset(p.reserved10, 0, 2), std::memset(p.reserved16, 0, 4);
  std::memset(p.reserved36, 0, 4);
}
void unnamed_zero(str_desc &s) { std::memset(s.reserved1, 0, 3); }

template <class R>
void expect_same(const R &want, const R &got, const char *what, uint32_t i) {
  EXPECT_EQ(std::memcmp(&want, &got, sizeof(R)), 0) << what << " " << i;
}

sys_desc counts(uint32_t con, uint32_t ser, uint32_t prn, uint32_t pcq, uint32_t env, uint32_t pdf) {
  sys_desc s{};
  s.process_count = 9, s.indexed_file_count = 100, s.relative_file_count = 7;
  s.sequential_file_count = 4000, s.record_lock_count = 32767, s.opens_per_process = 16;
  s.buffer_area_mb = 3072, s.printer_control_entries = 1024;
  s.con_count = con, s.ser_count = ser, s.prn_count = prn, s.pcq_count = pcq;
  s.env_string_count = env, s.pdf_format_count = pdf;
  s.printer_control_enabled = 0, s.write_through = 1, s.isam7_4gb = 0, s.isam7_create = 1;
  return s;
}

TEST(CfiStore, EveryFieldRoundTripsThroughSaveAndLoad) {
  xntest::TempDir dir;
  for (uint32_t seed = 1; seed <= 4; ++seed) {
    Rng r{std::mt19937(seed)};
    uint8_t target = seed % 2;
    uint32_t h = 0;
    ASSERT_EQ(open_cfi(&h, target), 0);
    sys_desc s = counts(5, 3, 4, 2, 6, 7);
    ASSERT_EQ(put_desc_sys(h, &s), 0);
    std::vector<con_desc> con(5);
    std::vector<ser_desc> ser(3);
    std::vector<prn_desc> prn(4);
    std::vector<pcq_desc> pcq(2);
    std::vector<str_desc> str(6);
    std::vector<pdf_desc> pdf(7);
    for (uint32_t i = 0; i < con.size(); ++i) fill(r, con[i]), put_desc_con(h, i, &con[i]);
    for (uint32_t i = 0; i < ser.size(); ++i) fill(r, ser[i]), put_desc_ser(h, i, &ser[i]);
    for (uint32_t i = 0; i < prn.size(); ++i) fill(r, prn[i]), put_desc_prn(h, i, &prn[i]);
    for (uint32_t i = 0; i < pcq.size(); ++i) fill(r, pcq[i]), put_desc_pcq(h, i, &pcq[i]);
    for (uint32_t i = 0; i < str.size(); ++i) fill(r, str[i]), put_desc_str(h, i, &str[i]);
    for (uint32_t i = 0; i < pdf.size(); ++i) fill(r, pdf[i]), put_desc_pdf(h, i, &pdf[i]);
    std::string name = dir.file("rt.cfi");
    ASSERT_EQ(save_cfi(h, name.c_str(), 1), 0) << get_error_buffer_cfi(h);
    close_cfi(&h);

    ASSERT_EQ(open_cfi(&h, 1 - target), 0);
    ASSERT_EQ(load_cfi(h, name.c_str()), 0) << get_error_buffer_cfi(h);
    EXPECT_EQ(get_os_target_sys(h), target);
    sys_desc got{};
    get_desc_sys(h, &got);
    expect_same(s, got, "sys", 0);
    for (uint32_t i = 0; i < con.size(); ++i) {
      con_desc g{};
      get_desc_con(h, i, &g), unnamed_zero(con[i]), expect_same(con[i], g, "con", i);
    }
    for (uint32_t i = 0; i < ser.size(); ++i) {
      ser_desc g{};
      get_desc_ser(h, i, &g), unnamed_zero(ser[i]), expect_same(ser[i], g, "ser", i);
    }
    for (uint32_t i = 0; i < prn.size(); ++i) {
      prn_desc g{};
      get_desc_prn(h, i, &g), unnamed_zero(prn[i]), expect_same(prn[i], g, "prn", i);
    }
    for (uint32_t i = 0; i < pcq.size(); ++i) {
      pcq_desc g{};
      get_desc_pcq(h, i, &g), unnamed_zero(pcq[i]), expect_same(pcq[i], g, "pcq", i);
    }
    for (uint32_t i = 0; i < str.size(); ++i) {
      str_desc g{};
      get_desc_str(h, i, &g), unnamed_zero(str[i]), expect_same(str[i], g, "str", i);
    }
    for (uint32_t i = 0; i < pdf.size(); ++i) {
      pdf_desc g{};
      get_desc_pdf(h, i, &g), unnamed_zero(pdf[i]), expect_same(pdf[i], g, "pdf", i);
    }
    close_cfi(&h);
  }
}

TEST(CfiStore, DefaultsDependOnTheTarget) {
  struct Case {
    uint8_t target;
    const char *con1, *ser0, *prn0, *pcq0, *pcq1, *env0;
  };
  const Case cases[] = {
      {TARGET_UNIX, "tty1", "ttyS0", "lp0", "lp", "lp1", "TMPDIR=/tmp"},
      {TARGET_WINDOWS, "CON1", "COM1", "LPT1", "Default Printer", "Printer 1", "TEMP=C:\\Temp"},
  };
  for (const Case &c : cases) {
    uint32_t h = 0;
    open_cfi(&h, 1 - c.target);
    ASSERT_EQ(default_cfi(h, 1, c.target), 0);
    EXPECT_EQ(get_os_target_sys(h), c.target);
    sys_desc s{};
    get_desc_sys(h, &s);
    EXPECT_EQ(s.process_count, 8u);
    EXPECT_EQ(s.opens_per_process, 128u);
    EXPECT_EQ(s.con_count, 32u);
    EXPECT_EQ(s.pdf_format_count, 32u);
    EXPECT_EQ(s.printer_control_entries, 48u);
    EXPECT_EQ(s.write_through + s.isam7_4gb + s.isam7_create + s.printer_control_enabled, 4);
    con_desc con0{}, con1{};
    get_desc_con(h, 0, &con0), get_desc_con(h, 1, &con1);
    EXPECT_EQ(con0.con_enabled, 1);
    EXPECT_EQ(con0.privileges, 0x0FFF);
    EXPECT_STREQ(con0.device, "");
    EXPECT_EQ(con1.con_enabled, 0);
    EXPECT_STREQ(con1.device, c.con1);
    ser_desc ser{};
    prn_desc prn{};
    pcq_desc pcq0{}, pcq1{};
    str_desc env{};
    get_desc_ser(h, 0, &ser), get_desc_prn(h, 0, &prn), get_desc_str(h, 0, &env);
    get_desc_pcq(h, 0, &pcq0), get_desc_pcq(h, 1, &pcq1);
    EXPECT_STREQ(ser.device, c.ser0);
    EXPECT_STREQ(prn.device, c.prn0);
    EXPECT_STREQ(pcq0.queue_name, c.pcq0);
    EXPECT_STREQ(pcq1.queue_name, c.pcq1);
    EXPECT_STREQ(env.str_value, c.env0);
    pdf_desc pdf{};
    get_desc_pdf(h, 31, &pdf);
    EXPECT_EQ(pdf.width, 612);
    EXPECT_EQ(pdf.height, 792);
    EXPECT_EQ(pdf.top, 36);
    EXPECT_EQ(pdf.left, 18);
    EXPECT_EQ(pdf.font_size, 12);
    EXPECT_EQ(pdf.multipart_count, 1);
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
  s.con_count = 2; // shrink: console 3 goes
  ASSERT_EQ(put_desc_sys(h, &s), 0);
  con_desc beyond{};
  std::memset(&beyond, 0x55, sizeof beyond);
  get_desc_con(h, 3, &beyond);
  EXPECT_EQ(beyond.device[0], 0);
  EXPECT_EQ(beyond.con_enabled, 0);
  EXPECT_EQ(put_desc_con(h, 5, &c), 0); // changes nothing
  s.con_count = 40;                     // grow: new entries are defaults
  ASSERT_EQ(put_desc_sys(h, &s), 0);
  get_desc_con(h, 3, &c);
  EXPECT_STREQ(c.device, "tty3");
  get_desc_con(h, 39, &c);
  EXPECT_STREQ(c.device, "tty39");

  ASSERT_EQ(put_count_pdf(h, 40), 0);
  get_desc_sys(h, &s);
  EXPECT_EQ(s.pdf_format_count, 40u);
  pdf_desc p{};
  get_desc_pdf(h, 39, &p);
  EXPECT_EQ(p.multipart_count, 1);
  get_desc_pdf(h, 40, &p);
  EXPECT_EQ(p.multipart_count, 0);

  struct Bad {
    uint32_t sys_desc::*field;
    uint32_t value;
  };
  const Bad bad[] = {{&sys_desc::con_count, 0},       {&sys_desc::con_count, 2049},
                     {&sys_desc::prn_count, 2049},    {&sys_desc::env_string_count, 1025},
                     {&sys_desc::pdf_format_count, 0}, {&sys_desc::pdf_format_count, 257}};
  for (const Bad &b : bad) {
    sys_desc t = s;
    t.*b.field = b.value;
    EXPECT_EQ(put_desc_sys(h, &t), ST_BAD_COUNT);
    sys_desc now{};
    get_desc_sys(h, &now);
    EXPECT_EQ(std::memcmp(&now, &s, sizeof s), 0);
  }
  EXPECT_EQ(put_count_pdf(h, 0), ST_BAD_COUNT);
  EXPECT_EQ(put_count_pdf(h, 257), ST_BAD_COUNT);

  // Unnamed bytes are kept in memory.
  s.reserved56 = 0xAB, s.reserved62[1] = 0xCD;
  put_desc_sys(h, &s);
  sys_desc back{};
  get_desc_sys(h, &back);
  EXPECT_EQ(back.reserved56, 0xAB);
  EXPECT_EQ(back.reserved62[1], 0xCD);
  close_cfi(&h);
}

TEST(CfiStore, BadHandlesFailWithoutHarm) {
  uint32_t h = 0;
  open_cfi(&h, 0);
  uint32_t closed = h;
  close_cfi(&h);
  for (uint32_t bad : {0u, closed, 9999u}) {
    sys_desc s{};
    con_desc c{};
    EXPECT_EQ(get_desc_sys(bad, &s), ST_FAILED);
    EXPECT_EQ(put_desc_con(bad, 0, &c), ST_FAILED);
    EXPECT_EQ(load_cfi(bad, "/nonexistent"), ST_FAILED);
    EXPECT_EQ(save_cfi(bad, "/tmp/x.cfi", 1), ST_FAILED);
    EXPECT_EQ(put_count_pdf(bad, 3), ST_FAILED);
    EXPECT_NE(get_error_buffer_cfi(bad), nullptr);
    uint32_t copy = bad;
    EXPECT_EQ(close_cfi(&copy), ST_FAILED);
  }
}

TEST(CfiStore, FileListsOnlyWhatDiffersFromTheDefaults) {
  xntest::TempDir dir;
  uint32_t h = 0;
  open_cfi(&h, TARGET_UNIX);
  con_desc c{};
  get_desc_con(h, 7, &c);
  c.timeout = 600;
  put_desc_con(h, 7, &c);
  ASSERT_EQ(save_cfi(h, dir.file("s.cfi").c_str(), 1), 0);
  std::string text = xntest::read_file(dir.file("s.cfi"));
  EXPECT_NE(text.find("[console 7]\ntimeout = 600\n\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("[console 6]"), std::string::npos);
  EXPECT_EQ(text.find("[serial"), std::string::npos);
  EXPECT_EQ(text.rfind("[end]\n"), text.size() - 6);
  close_cfi(&h);
}

TEST(CfiStore, IniSectionsMergeSubsetsAndNothingOnFailure) {
  xntest::TempDir dir;
  uint32_t h = 0, ini = 0;
  open_cfi(&h, TARGET_UNIX);
  xntest::write_file(dir.file("ok.ini"),
                     "; site changes\n[system]\nprocesses = 20\nconsoles = 40\n"
                     "[console 35]\nterm = xterm\n[console 0]\ntimeout = 100\n");
  ASSERT_EQ(open_ini(dir.file("ok.ini").c_str(), &ini), 0);
  ASSERT_EQ(load_sections_cfi(h, ini, 1), 0) << get_error_buffer_cfi(h);
  close_ini(&ini);
  sys_desc s{};
  get_desc_sys(h, &s);
  EXPECT_EQ(s.process_count, 20u);
  EXPECT_EQ(s.con_count, 40u);
  EXPECT_EQ(s.opens_per_process, 128u); // untouched
  con_desc c{};
  get_desc_con(h, 35, &c);
  EXPECT_STREQ(c.term, "xterm");
  EXPECT_STREQ(c.device, "tty35");
  get_desc_con(h, 0, &c);
  EXPECT_EQ(c.timeout, 100);
  EXPECT_EQ(c.con_enabled, 1);

  // A bad line after good ones merges nothing at all.
  xntest::write_file(dir.file("bad.ini"),
                     "[system]\nprocesses = 30\n[console 1]\ntimeout = 7\n[console 2]\nlines = 999\n");
  ASSERT_EQ(open_ini(dir.file("bad.ini").c_str(), &ini), 0);
  EXPECT_EQ(load_sections_cfi(h, ini, 1), ST_BAD_DATA);
  EXPECT_EQ(std::string(get_error_buffer_cfi(h)),
            dir.file("bad.ini") + ":6: value 999 out of range 0..255 for key lines in [console 2]");
  close_ini(&ini);
  get_desc_sys(h, &s);
  EXPECT_EQ(s.process_count, 20u);
  get_desc_con(h, 1, &c);
  EXPECT_EQ(c.timeout, 0);

  EXPECT_EQ(open_ini(dir.file("missing.ini").c_str(), &ini), ST_NO_FILE);
  close_cfi(&h);
}

TEST(CfiStore, CompleteConfigurationMergesLikeALoad) {
  xntest::TempDir dir;
  uint32_t a = 0, b = 0, ini = 0;
  open_cfi(&a, TARGET_WINDOWS);
  sys_desc s{};
  get_desc_sys(a, &s);
  s.ser_count = 5;
  put_desc_sys(a, &s);
  ser_desc ser{};
  get_desc_ser(a, 4, &ser);
  ser.ser_enabled = 1;
  put_desc_ser(a, 4, &ser);
  ASSERT_EQ(save_cfi(a, dir.file("full.cfi").c_str(), 1), 0);
  open_cfi(&b, TARGET_WINDOWS);
  ASSERT_EQ(open_ini(dir.file("full.cfi").c_str(), &ini), 0);
  ASSERT_EQ(load_sections_cfi(b, ini, 1), 0) << get_error_buffer_cfi(b);
  close_ini(&ini);
  ASSERT_EQ(save_cfi(b, dir.file("merged.cfi").c_str(), 1), 0);
  EXPECT_EQ(xntest::read_file(dir.file("full.cfi")), xntest::read_file(dir.file("merged.cfi")));
  close_cfi(&a), close_cfi(&b);
}

TEST(CfiStore, FailedSaveLeavesTheOldFileAndSaysWhy) {
  xntest::TempDir dir;
  uint32_t h = 0;
  open_cfi(&h, TARGET_UNIX);
  std::string name = dir.file("keep.cfi");
  ASSERT_TRUE(xntest::write_file(name, "old contents\n"));
  ::chmod(name.c_str(), 0640);
  ASSERT_EQ(save_cfi(h, name.c_str(), 0), 0);
  struct stat st {};
  ::stat(name.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0640u); // permissions kept
  std::string saved = xntest::read_file(name);

  struct Case {
    std::string target;
    int status;
  };
  ::mkdir(dir.file("adir").c_str(), 0755);
  const Case cases[] = {{dir.file("adir"), 0}, {dir.file("missing/x.cfi"), ST_NO_FILE}};
  for (const Case &c : cases) {
    int rc = save_cfi(h, c.target.c_str(), 1);
    EXPECT_NE(rc, 0) << c.target;
    if (c.status != 0) {
      EXPECT_EQ(rc, c.status);
    }
    EXPECT_EQ(std::string(get_error_buffer_cfi(h)).rfind("cannot write " + c.target + ": ", 0), 0u)
        << get_error_buffer_cfi(h);
  }
  if (::geteuid() != 0) { // root passes every permission check
    ::chmod(dir.path().c_str(), 0500);
    EXPECT_EQ(save_cfi(h, name.c_str(), 0), ST_ACCESS);
    ::chmod(dir.path().c_str(), 0700);
  }
  EXPECT_EQ(xntest::read_file(name), saved);
  // No temporary file is left behind.
  EXPECT_FALSE(xntest::file_exists(dir.file("missing")));
  int entries = 0;
  for (const char *n : {"keep.cfi", "adir"})
    entries += xntest::file_exists(dir.file(n)) ? 1 : 0;
  EXPECT_EQ(entries, 2);
  close_cfi(&h);
}

TEST(CfiStore, SideFilesOnlyForUnsavedChangesAndNeverOverTheFile) {
  xntest::TempDir dir;
  init_cfi();
  uint32_t clean = 0, dirty = 0;
  open_cfi(&clean, TARGET_UNIX);
  open_cfi(&dirty, TARGET_UNIX);
  ASSERT_EQ(save_cfi(clean, dir.file("clean.cfi").c_str(), 1), 0);
  ASSERT_EQ(save_cfi(dirty, dir.file("dirty.cfi").c_str(), 1), 0);
  std::string before = xntest::read_file(dir.file("dirty.cfi"));
  con_desc c{};
  get_desc_con(dirty, 0, &c);
  c.timeout = 42;
  put_desc_con(dirty, 0, &c);
  write_side_files();
  EXPECT_FALSE(xntest::file_exists(dir.file("clean.cfi.save")));
  EXPECT_EQ(xntest::read_file(dir.file("dirty.cfi")), before);
  std::string side = xntest::read_file(dir.file("dirty.cfi.save"));
  EXPECT_NE(side.find("[console 0]\ntimeout = 42\n"), std::string::npos);
  // The side file is a valid configuration holding the unsaved work.
  uint32_t check = 0;
  open_cfi(&check, TARGET_WINDOWS);
  ASSERT_EQ(load_cfi(check, dir.file("dirty.cfi.save").c_str()), 0);
  get_desc_con(check, 0, &c);
  EXPECT_EQ(c.timeout, 42);
  close_cfi(&check), close_cfi(&clean), close_cfi(&dirty);
}

} // namespace
