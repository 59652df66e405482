// File-name services: joining, extensions, folding, checks of typed names
// and file status.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <tuple>

#include "lib/names.h"
#include "lib/status.h"
#include "support/support.h"

namespace {

std::string cwd() {
  char buf[4096];
  return getcwd(buf, sizeof buf) ? buf : "";
}

TEST(NameParts, SimpleNameExtensionAndRemoval) {
  struct row {
    const char *name, *simple, *ext, *without_ext;
    bool is_simple;
  };
  // clang-format off
  const row rows[] = {
      {"/a/b/vt100.tdi", "vt100.tdi", ".tdi", "/a/b/vt100", false},
      {"/a.b/c", "c", "", "/a.b/c", false}, // a dot in a folder is no extension
      {".profile", ".profile", "", ".profile", true},
      {"a.tar.gz", "a.tar.gz", ".gz", "a.tar", true},
      {"name.", "name.", "", "name.", true},
      {"/dir/", "dir", "", "/dir/", false},
  };
  // clang-format on
  for (const row &r : rows) {
    char simple[NAME_BUF], buf[NAME_BUF];
    get_simple_name(r.name, simple);
    EXPECT_STREQ(simple, r.simple) << r.name;
    EXPECT_STREQ(get_ext_name(r.name), r.ext) << r.name;
    std::strcpy(buf, r.name);
    remove_ext_name(buf);
    EXPECT_STREQ(buf, r.without_ext) << r.name;
    EXPECT_EQ(test_simple_name(r.name), r.is_simple) << r.name;
  }
}

// In-place edits of a name; all but append_simple_name are called on every
// pass of a screen and must change nothing the second time.
TEST(NameEdits, AppendAndRemoveInPlace) {
  int (*const remove_given)(char *, const char *) = [](char *name, const char *ext) {
    remove_given_ext_name(name, ext);
    return 0;
  };
  struct row {
    int (*append)(char *, const char *);
    const char *base, *added, *joined;
  };
  // clang-format off
  const row rows[] = {
      {append_simple_name, "/home/u/", "system.cfi", "/home/u/system.cfi"},
      {append_simple_name, "/a", "/x", "/a/x"},
      {append_simple_name, "", "x", "x"},
      {append_ext_name, "system", ".cfi", "system.cfi"},
      {append_ext_name, "system.ini", ".cfi", "system.ini"}, // a name with an extension keeps it
      {append_ext_name, "/a.b/system", ".cfi", "/a.b/system.cfi"},
      {append_ext_name, "vt100", "tdi", "vt100.tdi"},
      {remove_given, "/d/x.TDI", ".tdi", "/d/x"}, // case ignored
      {remove_given, "vt100.pti", "tdi", "vt100.pti"},
      {remove_given, ".tdi", ".tdi", ".tdi"},
  };
  // clang-format on
  for (const row &r : rows) {
    char buf[NAME_BUF];
    std::strcpy(buf, r.base);
    EXPECT_EQ(r.append(buf, r.added), 0);
    EXPECT_STREQ(buf, r.joined);
    if (r.append != append_simple_name) {
      EXPECT_EQ(r.append(buf, r.added), 0);
      EXPECT_STREQ(buf, r.joined);
    }
  }
  char buf[NAME_BUF];
  const std::string long_dir = "/" + std::string(244, 'd'); // 256 bytes once joined: one too many
  std::strcpy(buf, long_dir.c_str());
  EXPECT_EQ(append_simple_name(buf, "system.cfi"), ST_NAME_TOO_LONG);
  EXPECT_EQ(append_ext_name(buf, ".cfiiiiiiii"), ST_NAME_TOO_LONG);
  EXPECT_EQ(std::string(buf), long_dir); // unchanged
}

TEST(NameResolve, FullNamesAreFoldedWithoutNeedingTheFile) {
  xntest::TempDir tmp;
  ASSERT_EQ(mkdir(tmp.file("sub").c_str(), 0700), 0);
  const std::string old = cwd();
  ASSERT_EQ(chdir(tmp.file("sub").c_str()), 0);
  const std::string d = cwd(); // the real path, links resolved
  // clang-format off
  const std::pair<const char *, std::string> rows[] = {
      {"./a/../b.cfi", d + "/b.cfi"},
      {"../x.cfi", d.substr(0, d.rfind('/')) + "/x.cfi"},
      {"none/yet/x.cfi", d + "/none/yet/x.cfi"},
      {"/a//b/./c/", "/a/b/c"},
      {"/../..", "/"},
  };
  // clang-format on
  for (const auto &[name, full] : rows) {
    char got[NAME_BUF];
    EXPECT_EQ(resolve_file_name(name, got), 0) << name;
    EXPECT_EQ(std::string(got), full) << name;
    std::strcpy(got, name);
    uint16_t len = 0;
    EXPECT_EQ(make_full_name(got, &len), 0) << name;
    EXPECT_EQ(std::string(got), full) << name;
    EXPECT_EQ(len, full.size()) << name;
  }
  char full[NAME_BUF];
  EXPECT_EQ(resolve_file_name("", full), ST_BAD_NAME);
  // Short enough alone, too long once the directory is in front.
  EXPECT_EQ(resolve_file_name(std::string(250, 'n').c_str(), full), ST_NAME_TOO_LONG);
  EXPECT_EQ(set_cur_dir_kern(tmp.file("missing").c_str()), ST_NO_PATH);
  EXPECT_EQ(cwd(), d); // a failed change stays where it was
  ASSERT_EQ(set_cur_dir_kern(old.c_str()), 0);
  uint16_t len = 0;
  EXPECT_EQ(get_cur_dir_kern(full, &len), 0);
  EXPECT_EQ(std::string(full, len), old);
}

TEST(ProcessFileName, NormalisesOrRefusesTypedNames) {
  const char *home = std::getenv("HOME");
  const std::string saved_home = home ? home : "";
  setenv("HOME", "/home/tester", 1);
  const std::tuple<std::string, int, std::string> rows[] = {
      // in, status, the name or what a refusal echoes
      {"  /tmp//x/../a.cfi  ", 0, "/tmp/a.cfi"},
      {"~/cfg/a.cfi", 0, "/home/tester/cfg/a.cfi"},
      {"~other/a", 0, "~other/a"},
      {"sub/./a.tdi", 0, "sub/a.tdi"}, // relative stays relative
      {"   \t ", ST_BAD_NAME, ""},
      {"a\tb.cfi", ST_BAD_NAME, "a?b.cfi"},
      {"/" + std::string(255, 'x'), ST_NAME_TOO_LONG, "/" + std::string(254, 'x')},
      {"  /" + std::string(254, 'x') + "  ", 0, "/" + std::string(254, 'x')},
      {"/a/" + std::string(260, 'x') + "/../b", 0, "/a/b"}, // folded, then fits
  };
  for (const auto &[in, status, want] : rows) {
    char out[NAME_BUF];
    std::memset(out, '#', sizeof out);
    uint16_t len = 999;
    EXPECT_EQ(process_file_name(in.c_str(), out, &len), status) << in;
    EXPECT_EQ(std::string(out), want) << in;
    EXPECT_EQ(len, status ? 0u : want.size()) << in;
  }
  if (home)
    setenv("HOME", saved_home.c_str(), 1);
  else
    unsetenv("HOME");
}

TEST(FileStatus, MissingFilesFoldersDirectoriesAndReadOnlyFiles) {
  xntest::TempDir tmp;
  ASSERT_TRUE(xntest::write_file(tmp.file("rw.cfi"), "data"));
  ASSERT_TRUE(xntest::write_file(tmp.file("ro.cfi"), "data"));
  ASSERT_EQ(chmod(tmp.file("ro.cfi").c_str(), 0444), 0);
  ASSERT_EQ(mkdir(tmp.file("dir").c_str(), 0700), 0);
  // root passes every permission check, so to it the read-only file is writable.
  const uint16_t ro_flags = geteuid() == 0 ? FSTAT_WRITABLE : 0;
  // clang-format off
  const std::tuple<std::string, int, uint16_t> rows[] = {
      {tmp.file("rw.cfi"), 0, FSTAT_WRITABLE},
      {tmp.file("ro.cfi"), 0, ro_flags},
      {tmp.file("dir"), 0, FSTAT_WRITABLE | FSTAT_DIR},
      {tmp.file("none.cfi"), ST_NO_FILE, 0},
      {tmp.file("nodir/none.cfi"), ST_NO_PATH, 0},
      {tmp.file("rw.cfi/x"), ST_NO_PATH, 0}, // a file where a folder should be
  };
  // clang-format on
  for (const auto &[name, status, flags] : rows) {
    file_status st{};
    st.flags = 0xFFFF;
    EXPECT_EQ(get_fstat_name(name.c_str(), static_cast<uint16_t>(name.size()), &st), status)
        << name;
    EXPECT_EQ(st.flags, flags) << name;
    EXPECT_EQ(exists_kern(name.c_str()), status == 0) << name;
    EXPECT_EQ(isdir_kern(name.c_str()), (flags & FSTAT_DIR) != 0) << name;
  }
  // The length bounds the name: only "…/rw.cfi" of "…/rw.cfiXYZ" is asked.
  file_status st{};
  const std::string longer = tmp.file("rw.cfi") + "XYZ";
  EXPECT_EQ(get_fstat_name(longer.c_str(), static_cast<uint16_t>(longer.size() - 3), &st), 0);
  EXPECT_EQ(st.size, 4u);
}

} // namespace
