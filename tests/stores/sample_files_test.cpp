// The stores over the folder of sample files: each damaged file gives its
// own status and error line (written in its first line) and leaves the
// store as it was; the older-revision samples load and are brought up.
#include "lib/cfi_store.h"
#include "lib/pti_store.h"
#include "lib/status.h"
#include "lib/tdi_store.h"
#include "support/support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

const std::string data_dir = std::string(XN_TEST_DATA) + "/stores";

// Loads `path` into a fresh store of the kind its extension names; returns
// the status and the error text, and checks that a failed load kept the
// store's defaults byte for byte.
struct LoadResult {
  int status;
  std::string error;
};

LoadResult load_any(const std::string &path) {
  std::string ext = fs::path(path).extension();
  uint32_t h = 0;
  LoadResult r{};
  if (ext == ".cfi") {
    EXPECT_EQ(open_cfi(&h, TARGET_UNIX), 0);
    sys_desc before{}, after{};
    get_desc_sys(h, &before);
    r = {load_cfi(h, path.c_str()), get_error_buffer_cfi(h)};
    get_desc_sys(h, &after);
    if (r.status != 0) {
      EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0) << path;
    }
    close_cfi(&h);
  } else if (ext == ".tdi") {
    EXPECT_EQ(open_tdi(&h, 1), 0);
    tdi_ctrl before{}, after{};
    get_ctrl_tdi(h, &before);
    uint16_t keys = get_key_count_tdi(h);
    r = {load_tdi(h, path.c_str()), get_error_buffer_tdi(h)};
    get_ctrl_tdi(h, &after);
    if (r.status != 0) {
      EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0) << path;
      EXPECT_EQ(get_key_count_tdi(h), keys) << path;
    }
    close_tdi(&h);
  } else {
    EXPECT_EQ(open_pti(&h, 1), 0);
    pti_map before{}, after{};
    get_map_pti(h, 65, &before);
    r = {load_pti(h, path.c_str()), get_error_buffer_pti(h)};
    get_map_pti(h, 65, &after);
    if (r.status != 0) {
      EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0) << path;
      EXPECT_EQ(get_printer_type_pti(h), 1) << path;
    }
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
    LoadResult r = load_any(path);
    EXPECT_EQ(r.status, status) << path;
    EXPECT_EQ(r.error, error) << path;
    ++seen;
  }
  EXPECT_GE(seen, 20);
}

TEST(SampleFiles, MissingFileGivesItsStatusAndName) {
  uint32_t h = 0;
  open_pti(&h, 0);
  std::string missing = data_dir + "/no-such-file.pti";
  EXPECT_EQ(load_pti(h, missing.c_str()), ST_NO_FILE);
  EXPECT_NE(std::string(get_error_buffer_pti(h)).find(missing), std::string::npos);
  close_pti(&h);
}

TEST(SampleFiles, OldConfigurationLoadsWithDefaultPdfFormats) {
  uint32_t h = 0;
  open_cfi(&h, TARGET_WINDOWS);
  ASSERT_EQ(load_cfi(h, (data_dir + "/old/system.cfi").c_str()), 0) << get_error_buffer_cfi(h);
  sys_desc s{};
  get_desc_sys(h, &s);
  EXPECT_EQ(get_os_target_sys(h), TARGET_UNIX);
  EXPECT_EQ(s.process_count, 16u);
  EXPECT_EQ(s.con_count, 4u);
  EXPECT_EQ(s.env_string_count, 3u);
  EXPECT_EQ(s.pdf_format_count, 32u);
  EXPECT_EQ(s.opens_per_process, 128u); // not in the file: the default
  str_desc str{};
  get_desc_str(h, 2, &str);
  EXPECT_STREQ(str.str_value, "TZ=Europe/Berlin");
  con_desc con{};
  get_desc_con(h, 1, &con);
  EXPECT_EQ(con.con_enabled, 1);
  EXPECT_STREQ(con.term, "vt100");
  pdf_desc pdf{};
  get_desc_pdf(h, 0, &pdf);
  EXPECT_EQ(pdf.width, 612);
  close_cfi(&h);
}

TEST(SampleFiles, OldDescriptionAndTranslationAreBroughtUp) {
  xntest::TempDir dir;
  uint32_t t = 0;
  open_tdi(&t, 1);
  ASSERT_EQ(load_tdi(t, (data_dir + "/old/console.tdi").c_str()), 0) << get_error_buffer_tdi(t);
  tdi_ctrl c{};
  get_ctrl_tdi(t, &c);
  EXPECT_EQ(c.base_type, 11);
  EXPECT_EQ(c.lines, 25);
  EXPECT_STREQ(c.font_name, "Terminal"); // taken from the base type
  EXPECT_EQ(c.font_size, 16);
  EXPECT_EQ(get_key_count_tdi(t), 2);
  EXPECT_NE(uprev_tdi(t), 0);
  EXPECT_EQ(uprev_tdi(t), 0);
  // Written back, it is of the current revision and needs nothing more.
  ASSERT_EQ(save_tdi(t, dir.file("c.tdi").c_str(), 0), 0);
  ASSERT_EQ(load_tdi(t, dir.file("c.tdi").c_str()), 0);
  EXPECT_EQ(uprev_tdi(t), 0);
  close_tdi(&t);

  uint32_t p = 0;
  open_pti(&p, 2);
  ASSERT_EQ(load_pti(p, (data_dir + "/old/generic.pti").c_str()), 0) << get_error_buffer_pti(p);
  EXPECT_EQ(get_printer_type_pti(p), 0);
  pti_ctrl ctrl{};
  get_ctrl_pti(p, 0, &ctrl);
  EXPECT_EQ(ctrl.enable, 1);
  EXPECT_EQ(ctrl.use_file, 0);
  EXPECT_STREQ(ctrl.value, "^[@");
  pti_map m{};
  get_map_pti(p, 163, &m);
  EXPECT_EQ(m.length, 1);
  EXPECT_EQ(m.bytes[0], '#');
  EXPECT_NE(uprev_pti(p), 0);
  EXPECT_EQ(uprev_pti(p), 0);
  close_pti(&p);
}

} // namespace
