// The stores over the folder of sample files: each damaged file gives the
// status and error line written in its first line; the older-revision
// samples load and are brought up.
#include "lib/cfi_store.h"
#include "lib/pti_store.h"
#include "lib/internal/lib_internal.h"
#include "lib/status.h"
#include "lib/tdi_store.h"
#include "support/support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

const std::string data_dir = std::string(XN_TEST_DATA) + "/stores";

// Loads `path` into a fresh store of the kind its extension names and
// returns the status and error text. (That a failed load changes nothing
// is the fuzz test's concern.)
std::pair<int, std::string> load_any(const std::string &path) {
  const std::string ext = fs::path(path).extension();
  uint32_t h = 0;
  std::pair<int, std::string> r;
  if (ext == ".cfi") {
    EXPECT_EQ(open_cfi(&h, TARGET_UNIX), 0);
    r = {load_cfi(h, path.c_str()), get_error_buffer_cfi(h)};
    close_cfi(&h);
  } else if (ext == ".tdi") {
    EXPECT_EQ(open_tdi(&h, 1), 0);
    r = {load_tdi(h, path.c_str()), get_error_buffer_tdi(h)};
    close_tdi(&h);
  } else {
    EXPECT_EQ(open_pti(&h, 1), 0);
    r = {load_pti(h, path.c_str()), get_error_buffer_pti(h)};
    close_pti(&h);
  }
  return r;
}

TEST(SampleFiles, EachDamagedFileGivesItsOwnErrorLine) {
  int seen = 0;
  for (const auto &entry : fs::directory_iterator(data_dir + "/damaged")) {
    std::string path = entry.path();
    std::string text = xntest::read_file(path);
    // First line: "# expect <status> <error text>".
    std::string first = text.substr(0, text.find('\n'));
    ASSERT_EQ(first.rfind("# expect ", 0), 0u) << path;
    std::string rest = first.substr(9);
    int status = std::stoi(rest.substr(0, rest.find(' ')));
    std::string error = rest.substr(rest.find(' ') + 1);
    auto [got_status, got_error] = load_any(path);
    EXPECT_EQ(got_status, status) << path;
    EXPECT_EQ(got_error, error) << path;
    // The message line shows "<status text> (<n>): <reason>"; it must be
    // read whole in 80 columns.
    const std::string line = std::string(message_text(MSG_ERROR | status)) + " (" +
                             std::to_string(status) + "): " + got_error;
    EXPECT_LE(line.size(), 80u) << line;
    ++seen;
  }
  EXPECT_GE(seen, 20);
}

// The older revision has no PDF formats and no font in a description: they
// come from the defaults; descriptions and translations say they need an update.
TEST(SampleFiles, OlderRevisionsLoadAndAreBroughtUp) {
  xntest::TempDir dir;
  uint32_t h = 0;
  open_cfi(&h, TARGET_WINDOWS);
  ASSERT_EQ(load_cfi(h, (data_dir + "/old/system.cfi").c_str()), 0) << get_error_buffer_cfi(h);
  sys_desc s{};
  get_desc_sys(h, &s);
  EXPECT_EQ(get_os_target_sys(h), TARGET_UNIX);
  EXPECT_EQ(s.con_count, 4u);
  EXPECT_EQ(s.pdf_format_count, 32u);
  str_desc str{};
  get_desc_str(h, 2, &str);
  EXPECT_STREQ(str.str_value, "TZ=Europe/Berlin");
  const std::string missing = data_dir + "/no-such-file.cfi";
  EXPECT_EQ(load_cfi(h, missing.c_str()), ST_NO_FILE);
  EXPECT_NE(std::string(get_error_buffer_cfi(h)).find(missing), std::string::npos);
  // A pipe or device is refused at once, not waited on or read for ever.
  ASSERT_EQ(::mkfifo(dir.file("pipe.cfi").c_str(), 0600), 0);
  for (const std::string &name : {dir.file("pipe.cfi"), std::string("/dev/zero")})
    EXPECT_EQ(load_cfi(h, name.c_str()), ST_BAD_DATA) << name;
  close_cfi(&h);

  open_tdi(&h, 1);
  ASSERT_EQ(load_tdi(h, (data_dir + "/old/console.tdi").c_str()), 0) << get_error_buffer_tdi(h);
  tdi_ctrl c{};
  get_ctrl_tdi(h, &c);
  EXPECT_EQ(c.base_type, 11);
  EXPECT_EQ(c.lines, 25);
  EXPECT_STREQ(c.font_name, "Terminal");
  // Keys the old file lacks are its base's, not zero: black on black and no
  // line-drawing characters would make the description unusable.
  uint32_t base_h = 0;
  open_tdi(&base_h, 11);
  tdi_ctrl base{};
  get_ctrl_tdi(base_h, &base);
  close_tdi(&base_h);
  ASSERT_LT(std::count(base.colour_map, base.colour_map + 16, 0), 16);
  EXPECT_TRUE(std::equal(c.colour_map, c.colour_map + 16, base.colour_map));
  EXPECT_TRUE(std::equal(c.line_draw, c.line_draw + 6, base.line_draw));
  EXPECT_EQ(c.beep, base.beep);
  EXPECT_EQ(c.font_size, base.font_size);
  EXPECT_NE(uprev_tdi(h), 0);
  EXPECT_EQ(uprev_tdi(h), 0);
  // Written back, it is of the current revision and needs nothing more.
  ASSERT_EQ(save_tdi(h, dir.file("c.tdi").c_str(), 0), 0);
  ASSERT_EQ(load_tdi(h, dir.file("c.tdi").c_str()), 0);
  EXPECT_EQ(uprev_tdi(h), 0);
  close_tdi(&h);

  open_pti(&h, 2);
  ASSERT_EQ(load_pti(h, (data_dir + "/old/generic.pti").c_str()), 0) << get_error_buffer_pti(h);
  EXPECT_EQ(get_printer_type_pti(h), 0);
  pti_ctrl ctrl{};
  get_ctrl_pti(h, 0, &ctrl);
  EXPECT_STREQ(ctrl.value, "^[@");
  // The file gives no end-of-job string: the printer type's is kept.
  get_ctrl_pti(h, 1, &ctrl);
  EXPECT_STREQ(ctrl.value, "^L");
  EXPECT_EQ(ctrl.enable, 1);
  pti_map m{};
  get_map_pti(h, 163, &m);
  EXPECT_EQ(m.bytes[0], '#');
  EXPECT_NE(uprev_pti(h), 0);
  EXPECT_EQ(uprev_pti(h), 0);
  close_pti(&h);
}

// A file of the current revision may leave keys out; they read as its base's.
TEST(SampleFiles, KeysLeftOutTakeTheBaseValues) {
  xntest::TempDir dir;
  const std::string name = dir.file("short.tdi");
  ASSERT_TRUE(xntest::write_file(name, "[file]\nkind = terminal-description\nrevision = 2\n"
                                       "[terminal]\nbase = ms-terminal\nlines = 30\n[end]\n"));
  uint32_t h = 0, base_h = 0;
  open_tdi(&h, 1);
  open_tdi(&base_h, 11);
  ASSERT_EQ(load_tdi(h, name.c_str()), 0) << get_error_buffer_tdi(h);
  tdi_ctrl c{}, base{};
  get_ctrl_tdi(h, &c);
  get_ctrl_tdi(base_h, &base);
  EXPECT_EQ(c.lines, 30);
  EXPECT_EQ(c.columns, base.columns);
  EXPECT_EQ(c.kbd_timeout, base.kbd_timeout);
  EXPECT_TRUE(std::equal(c.colour_map, c.colour_map + 16, base.colour_map));
  EXPECT_STREQ(c.comment, base.comment);
  close_tdi(&h);
  close_tdi(&base_h);
}

} // namespace
