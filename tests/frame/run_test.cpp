// The built program run as a whole process without a terminal: exit
// statuses, messages, and the files the batch updates create and rewrite.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "frame_test_util.h"
#include "lib/status.h"
#include "support/support.h"

namespace {

using strings = std::vector<std::string>;
using xntest::TempDir;

// The files under `dir` (in subfolders too), as sorted relative paths.
strings files_in(const TempDir &dir) {
  strings names;
  for (const auto &e : std::filesystem::recursive_directory_iterator(dir.path()))
    if (e.is_regular_file())
      names.push_back(std::filesystem::relative(e.path(), dir.path()).string());
  std::sort(names.begin(), names.end());
  return names;
}

// Runs the program in `dir`; `options` is put in XNCONFIG_OPTIONS ("" unset),
// a variable the program must not read.
xntest::RunResult run(const strings &args, const TempDir &dir, const std::string &options = "",
                      bool as_nobody = false) {
  xntest::RunOptions o;
  o.args = args;
  o.cwd = dir.path();
  o.env = {"HOME=" + dir.path(),
           options.empty() ? "XNCONFIG_OPTIONS" : "XNCONFIG_OPTIONS=" + options};
  o.as_nobody = as_nobody;
  return xntest::run_program(o);
}

// Each row runs in a folder holding the empty subfolders "sub" and "C:" (so
// that a drive-letter name is a real path) and the pipe "pipe.cfi": the
// status, a text standard error must hold, the files left, and XNCONFIG_OPTIONS.
TEST(ProgramRun, StatusesMessagesAndFiles) {
  const std::string long_name(300, 'n');
  // clang-format off
  struct status_case {
    strings args;
    int status;
    std::string message; // "" when no particular message is required
    strings files;
    std::string options = "";
  } cases[] = {
      {{"-b"}, 0, "", {"system.cfi"}},
      {{"-q", "-b", "-T", "xterm"}, 0, "", {"xterm.tdi"}}, // -q: nothing on either stream
      {{"-b", "sub"}, 0, "", {"sub/system.cfi"}},
      {{"-b", "sub/north"}, 0, "", {"sub/north.cfi"}},
      // The environment holds no options: neither read nor echoed.
      {{"-b", "site"}, 0, "", {"site.cfi"}, "-l -T xterm"},
      {{"-h"}, 7, "", {}},
      {{"--help"}, 7, "", {}},
      {{"--version"}, 0, "", {}},
      {{"--frob"}, 4, msg(err(ST_BAD_OPTION), ": --frob\n"), {}},
      {{"-b", "site.cf"}, 1, msg(MSG_BAD_EXT, ": "), {}},
      {{"-b", "pipe.cfi"}, 1, msg(err(ST_NOT_REGULAR), ": "), {}},
      // A relative name is reported in full (a relative one has no '/' first).
      {{"-b", "-T", "nowhere/xterm"}, 1, "/nowhere/xterm.tdi\n", {}},
      {{"-b", "-T", "Xterm"}, 4, msg(MSG_BAD_TERM, ": Xterm\n"), {}}, // option errors: 4, nothing written
      {{"-b", long_name}, 1, msg(err(ST_NAME_TOO_LONG), ": " + long_name + "\n"), {}},
      {{"-b", "-a"}, 0, "", {"xnconfig.audit", "system.cfi"}},
      {{"-b", "-A", "C:/trail.log:load,save"}, 0, "", {"C:/trail.log", "system.cfi"}},
      {{"-b", "-A", "C:/trail.log:none"}, 4, msg(MSG_BAD_AUDIT, ": none\n"), {}},
      {{"-b", "-A", "nowhere/trail.log"}, 4, msg(err(ST_NO_PATH), ": nowhere/trail.log\n"), {}},
      {{"-l", "-A", "trail.log"}, 4, "", {}}, // no trail after another error
  };
  // clang-format on
  for (const status_case &c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args) + " " + c.options);
    TempDir dir;
    ASSERT_EQ(mkdir(dir.file("sub").c_str(), 0755) | mkdir(dir.file("C:").c_str(), 0755), 0);
    ASSERT_EQ(mkfifo(dir.file("pipe.cfi").c_str(), 0600), 0);
    xntest::RunResult r = run(c.args, dir, c.options);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_EQ(r.err.find("options:"), std::string::npos) << r.err;
    if (c.args[0].starts_with("--") && c.status != 4) {
      EXPECT_EQ(r.err.find(msg(err(ST_BAD_OPTION), "")), std::string::npos) << r.err;
      EXPECT_EQ(r.out.find("xnconfig 5."), c.status == 0 ? 0u : std::string::npos) << r.out;
      EXPECT_EQ(r.out.find("Usage:") != std::string::npos, c.status == 7) << r.out;
    }
    EXPECT_NE(r.err.find(c.message), std::string::npos) << "want: " << c.message << "got:\n"
                                                        << r.err;
    strings want = c.files;
    std::sort(want.begin(), want.end());
    EXPECT_EQ(files_in(dir), want);
    if (c.args[0] == "-q") {
      EXPECT_EQ(r.err + r.out, "");
    }
    if (c.files.size() == 2) { // the trail (listed first) records the save
      EXPECT_NE(xntest::read_file(dir.file(c.files[0])).find("system.cfi"), std::string::npos);
    }
  }
}

// Existing files, of each kind: a spoilt or read-only file is reported by
// name (status 1) and left exactly as it was; an old revision is brought up
// to date once (announced for descriptions and translations), after which a
// run has nothing to do.
TEST(ProgramRun, ExistingFiles) {
  // clang-format off
  struct file_kind {
    const char *file;
    strings args; // the batch update of `file` in the current folder
    const char *old_sample;
  } const kinds[] = {
      {"system.cfi", {"-b", "system.cfi"}, "system.cfi"},
      {"xterm.tdi", {"-b", "-T", "xterm"}, "console.tdi"},
      {"generic.pti", {"-b", "-P", "generic"}, "generic.pti"},
  };
  // clang-format on
  for (size_t k = 0; k < std::size(kinds); ++k) {
    const file_kind &kind = kinds[k], &other = kinds[(k + 1) % std::size(kinds)];
    const bool announces = k != 0;
    TempDir made;
    ASSERT_EQ(run(kind.args, made).status, 0);
    ASSERT_EQ(run(other.args, made).status, 0);
    const std::string good = xntest::read_file(made.file(kind.file));
    const std::string old =
        xntest::read_file(std::string(XN_TEST_DATA) + "/stores/old/" + kind.old_sample);
    std::string future = good;
    future.insert(future.find("revision = ") + 11, "9");
    // clang-format off
    struct variant {
      const char *what;
      std::string text;
      bool read_only;
      uint32_t code; // reported with the file's name; 0: any report will do
    } variants[] = {
        {"future revision", future, false, err(ST_NEWER_REVISION)},
        {"another kind", xntest::read_file(made.file(other.file)), false, err(ST_WRONG_KIND)},
        {"cut in the middle", good.substr(0, good.size() / 2), false, 0},
        {"binary noise", std::string("\x7f" "ELF\x02\x01\x01\0\0\xff", 10), false, 0},
        {"read-only", good, true, announces ? MSG_NOT_UPDATED : 0},
        {"read-only old revision", old, true, announces ? MSG_READ_ONLY_UPDATE : 0},
    };
    // clang-format on
    for (const variant &v : variants) {
      SCOPED_TRACE(std::string(kind.file) + ": " + v.what);
      if (v.read_only && !xntest::can_test_permissions())
        continue; // root without a user to drop to passes every check
      TempDir dir;
      dir.share(); // a writable folder: only the file's own mode protects it
      const std::string path = dir.file(kind.file);
      ASSERT_TRUE(xntest::write_file(path, v.text));
      ASSERT_EQ(chmod(path.c_str(), v.read_only ? 0444 : 0644), 0);
      xntest::RunResult r = run(kind.args, dir, "", v.read_only);
      EXPECT_EQ(r.status, 1) << r.err;
      EXPECT_NE(r.err.find(v.code == 0 ? path : msg(v.code, v.read_only ? ": " + path : "")),
                std::string::npos)
          << r.err;
      EXPECT_NE(r.err.find(path), std::string::npos) << r.err;
      // A refused file is reported with the line and the reason, by every
      // kind of batch update.
      if (!v.read_only) {
        EXPECT_NE(r.err.find("line "), std::string::npos) << r.err;
      }
      EXPECT_EQ(xntest::read_file(path), v.text) << "the file was changed";
      EXPECT_EQ(files_in(dir), strings{kind.file}) << "nothing left beside it";
    }
    SCOPED_TRACE(std::string(kind.file) + ": old revision");
    TempDir dir;
    ASSERT_TRUE(xntest::write_file(dir.file(kind.file), old));
    xntest::RunResult r = run(kind.args, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, announces ? msg(MSG_INFO, dir.file(kind.file) + " has been updated.\n") : "");
    const std::string updated = xntest::read_file(dir.file(kind.file));
    EXPECT_NE(updated, old);
    // The content the update replaced is kept as the backup.
    EXPECT_EQ(xntest::read_file(dir.file(kind.file) + "~"), old);
    r = run(kind.args, dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(xntest::read_file(dir.file(kind.file)), updated);
    EXPECT_EQ(files_in(dir), (strings{kind.file, std::string(kind.file) + "~"}))
        << "no temporary file left";
  }
}

// Merging an ".ini" file with -l or -L: which file is read (announced on
// standard output), what lands where, and that a failed merge writes nothing.
TEST(ProgramRun, MergesIniFiles) {
  const char *merge = "[system]\nprocesses = 42\n", *bad = "[system]\nprocesses = lots\n";
  // clang-format off
  struct merge_case {
    strings args;
    int status;
    std::string ini_read; // "" when none is read
    std::string config;   // the configuration written, or not written on failure
  } cases[] = {
      {{"-b", "-l"}, 0, "system.ini", "system.cfi"},
      {{"-b", "-l", "sub/north"}, 0, "sub/north.ini", "sub/north.cfi"},
      {{"-b", "-L", "sub", "north.cfi"}, 0, "sub/north.ini", "north.cfi"},
      {{"-b", "-L", "bad.txt"}, 1, "bad.txt", "system.cfi"},
      {{"-b", "-l", "none"}, 1, "", "none.cfi"},
  };
  // clang-format on
  for (const merge_case &c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    TempDir dir;
    ASSERT_EQ(mkdir(dir.file("sub").c_str(), 0755), 0);
    for (const char *f : {"system.ini", "sub/north.ini"})
      ASSERT_TRUE(xntest::write_file(dir.file(f), merge));
    ASSERT_TRUE(xntest::write_file(dir.file("bad.txt"), bad));
    xntest::RunResult r = run(c.args, dir);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_EQ(r.out,
              c.ini_read.empty() ? "" : msg(MSG_LOADING_INI, ": " + dir.file(c.ini_read) + "\n"));
    EXPECT_EQ(xntest::read_file(dir.file(c.config)).find("processes = 42") != std::string::npos,
              c.status == 0);
    EXPECT_EQ(xntest::file_exists(dir.file(c.config)), c.status == 0);
  }
  // A failed merge leaves an existing configuration alone; a good one
  // changes only what the .ini names.
  TempDir dir;
  ASSERT_EQ(run({"-b", "-O", "UNIX"}, dir).status, 0);
  for (const char *ini : {bad, merge}) {
    ASSERT_TRUE(xntest::write_file(dir.file("system.ini"), ini));
    EXPECT_EQ(run({"-b", "-l"}, dir).status, ini == bad ? 1 : 0);
    const std::string after = xntest::read_file(dir.file("system.cfi"));
    EXPECT_EQ(after.find("processes = 42") != std::string::npos, ini == merge);
    EXPECT_NE(after.find("target = UNIX"), std::string::npos);
  }
}

} // namespace
