// File-name services: joining, extensions, folding, checks of typed names
// and file status.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "lib/names.h"
#include "lib/status.h"
#include "support/support.h"

namespace {

std::string cwd() {
  char buf[4096];
  return getcwd(buf, sizeof buf) ? buf : "";
}

// Runs a test body inside `dir` and goes back afterwards.
struct in_dir {
  std::string old = cwd();
  explicit in_dir(const std::string &dir) { EXPECT_EQ(chdir(dir.c_str()), 0); }
  ~in_dir() { EXPECT_EQ(chdir(old.c_str()), 0); }
};

TEST(NameParts, SimpleNameExtensionAndRemoval) {
  struct row {
    const char *name, *simple, *ext, *without_ext;
    bool is_simple;
  };
  const row rows[] = {
      {"system.cfi", "system.cfi", ".cfi", "system", true},
      {"/a/b/vt100.tdi", "vt100.tdi", ".tdi", "/a/b/vt100", false},
      {"/a.b/c", "c", "", "/a.b/c", false}, // a dot in a folder is no extension
      {".profile", ".profile", "", ".profile", true},
      {"/x/.hidden.tdi", ".hidden.tdi", ".tdi", "/x/.hidden", false},
      {"a.tar.gz", "a.tar.gz", ".gz", "a.tar", true},
      {"name.", "name.", "", "name.", true},
      {"..", "..", "", "..", true},
      {"/dir/", "dir", "", "/dir/", false},
      {"", "", "", "", true},
  };
  for (const row &r : rows) {
    char simple[NAME_BUF];
    get_simple_name(r.name, simple);
    EXPECT_STREQ(simple, r.simple) << r.name;
    EXPECT_STREQ(get_ext_name(r.name), r.ext) << r.name;
    char buf[NAME_BUF];
    std::strcpy(buf, r.name);
    remove_ext_name(buf);
    EXPECT_STREQ(buf, r.without_ext) << r.name;
    EXPECT_EQ(test_simple_name(r.name), r.is_simple) << r.name;
  }
}

TEST(NameParts, RemoveGivenExtensionIgnoresCase) {
  struct row {
    const char *name, *ext, *want;
  };
  const row rows[] = {
      {"vt100.tdi", ".tdi", "vt100"},  {"vt100.TDI", ".tdi", "vt100"},
      {"vt100.pti", ".tdi", "vt100.pti"}, {"vt100", ".tdi", "vt100"},
      {"/d/x.tdi", "tdi", "/d/x"},     {".tdi", ".tdi", ".tdi"},
      {"x.tdix", ".tdi", "x.tdix"},
  };
  for (const row &r : rows) {
    char buf[NAME_BUF];
    std::strcpy(buf, r.name);
    remove_given_ext_name(buf, r.ext);
    EXPECT_STREQ(buf, r.want) << r.name << " " << r.ext;
  }
}

TEST(NameJoin, AppendSimpleAndExtensionNames) {
  struct row {
    const char *dir, *simple, *joined;
  };
  const row joins[] = {
      {"/home/u", "system.cfi", "/home/u/system.cfi"},
      {"/home/u/", "system.cfi", "/home/u/system.cfi"},
      {"/", "x", "/x"},
      {"/a", "/x", "/a/x"},
      {"", "x", "x"},
  };
  for (const row &r : joins) {
    char buf[NAME_BUF];
    std::strcpy(buf, r.dir);
    EXPECT_EQ(append_simple_name(buf, r.simple), 0);
    EXPECT_STREQ(buf, r.joined);
  }
  const row exts[] = {
      {"system", ".cfi", "system.cfi"},
      {"system.cfi", ".cfi", "system.cfi"},
      {"system.ini", ".cfi", "system.ini"}, // a name with an extension keeps it
      {"/a.b/system", ".cfi", "/a.b/system.cfi"},
      {".hidden", ".tdi", ".hidden.tdi"},
      {"vt100", "tdi", "vt100.tdi"},
  };
  for (const row &r : exts) {
    char buf[NAME_BUF];
    std::strcpy(buf, r.dir);
    for (int pass = 0; pass < 3; ++pass) { // screens call it on every pass
      EXPECT_EQ(append_ext_name(buf, r.simple), 0);
      EXPECT_STREQ(buf, r.joined) << r.dir << " pass " << pass;
    }
  }
  char buf[NAME_BUF];
  std::string long_dir = "/" + std::string(250, 'd');
  std::strcpy(buf, long_dir.c_str());
  EXPECT_EQ(append_simple_name(buf, "system.cfi"), ST_NAME_TOO_LONG);
  EXPECT_EQ(std::string(buf), long_dir); // unchanged
  EXPECT_EQ(append_ext_name(buf, ".cfiiii"), ST_NAME_TOO_LONG);
  EXPECT_EQ(std::string(buf), long_dir);
}

TEST(NameResolve, FullNamesAreFoldedWithoutNeedingTheFile) {
  xntest::TempDir tmp;
  ASSERT_EQ(mkdir(tmp.file("sub").c_str(), 0700), 0);
  in_dir here(tmp.file("sub"));
  const std::string d = cwd(); // the real path, links resolved
  const std::string parent = d.substr(0, d.rfind('/'));
  struct row {
    const char *name;
    std::string full;
  };
  const row rows[] = {
      {"system.cfi", d + "/system.cfi"},
      {"./a/../b.cfi", d + "/b.cfi"},
      {"../x.cfi", parent + "/x.cfi"},
      {"none/yet/x.cfi", d + "/none/yet/x.cfi"},
      {"/a//b/./c/", "/a/b/c"},
      {"/../..", "/"},
      {".", d},
  };
  for (const row &r : rows) {
    char full[NAME_BUF];
    EXPECT_EQ(resolve_file_name(r.name, full), 0) << r.name;
    EXPECT_EQ(std::string(full), r.full) << r.name;
    char made[NAME_BUF];
    std::strcpy(made, r.name);
    uint16_t len = 0;
    EXPECT_EQ(make_full_name(made, &len), 0) << r.name;
    EXPECT_EQ(std::string(made), r.full) << r.name;
    EXPECT_EQ(len, r.full.size()) << r.name;
  }
  char full[NAME_BUF];
  EXPECT_EQ(resolve_file_name("", full), ST_BAD_NAME);
  EXPECT_EQ(resolve_file_name(std::string(256, 'n').c_str(), full), ST_NAME_TOO_LONG);
  // Short enough alone, too long once the directory is in front.
  EXPECT_EQ(resolve_file_name(std::string(250, 'n').c_str(), full), ST_NAME_TOO_LONG);
}

TEST(ProcessFileName, NormalisesOrRefusesTypedNames) {
  const char *home = std::getenv("HOME");
  std::string saved_home = home ? home : "";
  setenv("HOME", "/home/tester", 1);
  struct row {
    std::string in;
    int status;
    std::string out; // the name, or what the refusal echoes
  };
  const row rows[] = {
      {"  /tmp/a.cfi  ", 0, "/tmp/a.cfi"},
      {"/tmp//x/../a.cfi", 0, "/tmp/a.cfi"},
      {"~/cfg/a.cfi", 0, "/home/tester/cfg/a.cfi"},
      {"~", 0, "/home/tester"},
      {"~other/a", 0, "~other/a"},
      {"sub/./a.tdi", 0, "sub/a.tdi"}, // relative stays relative
      {"a.tdi", 0, "a.tdi"},
      {"", ST_BAD_NAME, ""},
      {"   \t ", ST_BAD_NAME, ""},
      {"a\tb.cfi", ST_BAD_NAME, "a?b.cfi"},
      {"a\nb", ST_BAD_NAME, "a?b"},
      {"/" + std::string(255, 'x'), ST_NAME_TOO_LONG, "/" + std::string(254, 'x')},
      {"  /" + std::string(254, 'x') + "  ", 0, "/" + std::string(254, 'x')},
      {"/a/" + std::string(260, 'x') + "/../b", 0, "/a/b"}, // folded, then fits
  };
  for (const row &r : rows) {
    char out[NAME_BUF];
    std::memset(out, '#', sizeof out);
    uint16_t len = 999;
    EXPECT_EQ(process_file_name(r.in.c_str(), out, &len), r.status) << r.in;
    EXPECT_EQ(std::string(out), r.out) << r.in;
    EXPECT_EQ(len, r.status ? 0u : r.out.size()) << r.in;
  }
  if (home) setenv("HOME", saved_home.c_str(), 1);
  else unsetenv("HOME");
}

TEST(CurrentDirectory, GetAndSet) {
  xntest::TempDir tmp;
  std::string old = cwd();
  EXPECT_EQ(set_cur_dir_kern(tmp.path().c_str()), 0);
  char dir[NAME_BUF];
  uint16_t len = 0;
  EXPECT_EQ(get_cur_dir_kern(dir, &len), 0);
  EXPECT_EQ(std::string(dir), cwd());
  EXPECT_EQ(len, std::strlen(dir));
  EXPECT_EQ(set_cur_dir_kern(tmp.file("missing").c_str()), ST_NO_PATH);
  ASSERT_TRUE(xntest::write_file(tmp.file("f"), "x"));
  EXPECT_EQ(set_cur_dir_kern(tmp.file("f").c_str()), ST_NO_PATH);
  EXPECT_EQ(std::string(dir), cwd()); // failures leave it where it was
  EXPECT_EQ(set_cur_dir_kern(old.c_str()), 0);
}

TEST(FileStatus, MissingFilesFoldersDirectoriesAndReadOnlyFiles) {
  xntest::TempDir tmp;
  ASSERT_TRUE(xntest::write_file(tmp.file("rw.cfi"), "data"));
  ASSERT_TRUE(xntest::write_file(tmp.file("ro.cfi"), "data"));
  ASSERT_EQ(chmod(tmp.file("ro.cfi").c_str(), 0444), 0);
  ASSERT_EQ(mkdir(tmp.file("dir").c_str(), 0700), 0);
  struct row {
    std::string name;
    int status;
    uint16_t flags;
  };
  const row rows[] = {
      {tmp.file("rw.cfi"), 0, FSTAT_WRITABLE},
      {tmp.file("dir"), 0, FSTAT_WRITABLE | FSTAT_DIR},
      {tmp.file("none.cfi"), ST_NO_FILE, 0},
      {tmp.file("nodir/none.cfi"), ST_NO_PATH, 0},
      {tmp.file("rw.cfi/x"), ST_NO_PATH, 0}, // a file where a folder should be
      {"", ST_BAD_NAME, 0},
  };
  for (const row &r : rows) {
    file_status st{};
    st.flags = 0xFFFF;
    EXPECT_EQ(get_fstat_name(r.name.c_str(), static_cast<uint16_t>(r.name.size()), &st),
              r.status) << r.name;
    EXPECT_EQ(st.flags, r.flags) << r.name;
    EXPECT_EQ(exists_kern(r.name.c_str()), r.status == 0) << r.name;
    EXPECT_EQ(isdir_kern(r.name.c_str()), (r.flags & FSTAT_DIR) != 0) << r.name;
  }
  file_status st{};
  ASSERT_EQ(get_fstat_name(tmp.file("rw.cfi").c_str(), 0, &st), 0);
  EXPECT_EQ(st.size, 4u);
  // The length bounds the name: only "…/rw.cfi" of "…/rw.cfiXYZ" is asked.
  std::string longer = tmp.file("rw.cfi") + "XYZ";
  EXPECT_EQ(get_fstat_name(longer.c_str(), static_cast<uint16_t>(longer.size() - 3), &st), 0);

  ASSERT_EQ(get_fstat_name(tmp.file("ro.cfi").c_str(), 0, &st), 0);
  EXPECT_EQ(st.flags & FSTAT_DIR, 0);
  // root passes every permission check, so the read-only file looks
  // writable to it; the bit is only meaningful for other users.
  if (geteuid() != 0) {
    EXPECT_EQ(st.flags & FSTAT_WRITABLE, 0);
  }
}

} // namespace
