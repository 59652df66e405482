// The built program run as a whole process without a terminal: exit
// statuses, messages, and the files the batch updates create and rewrite.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "frame_test_util.h"
#include "lib/status.h"
#include "support/support.h"

namespace {

using strings = std::vector<std::string>;
using xntest::TempDir;

uint32_t err(int st) { return static_cast<uint32_t>(st) | MSG_ERROR; }

// Names in a folder, sorted, without "." and "..".
strings listing(const std::string &dir) {
  strings names;
  if (DIR *d = opendir(dir.c_str())) {
    while (dirent *e = readdir(d)) {
      std::string n = e->d_name;
      if (n != "." && n != "..")
        names.push_back(n);
    }
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  return names;
}

class ProgramRun : public testing::Test {
protected:
  void SetUp() override { fresh_state(); }
  // Runs the program in `cwd`; `options` is XNCONFIG_OPTIONS ("" unset).
  xntest::RunResult run(const strings &args, const std::string &cwd,
                        const std::string &options = "") {
    xntest::RunOptions o;
    o.args = args;
    o.cwd = cwd;
    o.env = {"HOME=" + cwd,
             options.empty() ? "XNCONFIG_OPTIONS" : "XNCONFIG_OPTIONS=" + options};
    return xntest::run_program(o);
  }
};

// Each row runs the program in an empty folder: its status, a message it
// must print on standard error, and the files it leaves.
struct status_case {
  const char *what;
  strings args;
  int status;
  std::string message; // "" when no particular message is required
  strings files;
};

TEST_F(ProgramRun, ExitStatusesWithoutAScreen) {
  const status_case cases[] = {
      {"batch creates the default configuration", {"-b"}, 0, "", {"system.cfi"}},
      {"batch -T creates the description", {"-b", "-T", "xterm"}, 0, "", {"xterm.tdi"}},
      {"batch -P creates the translation", {"-b", "-P", "generic"}, 0, "", {"generic.pti"}},
      {"batch with a named file", {"-b", "-O", "UNIX", "site"}, 0, "", {"site.cfi"}},
      {"help", {"-h"}, 7, "", {}},
      {"bad letter", {"-b", "-z"}, 4, message("%M: -%c\n", err(ST_BAD_OPTION), 'z'), {}},
      {"over-long argument", {"-b", "-T", std::string(256, 't')}, 4,
       message("%M: -%c\n", err(ST_ARG_TOO_LONG), 'T'), {}},
      {"-O not a system", {"-b", "-O", "OS/2"}, 4, message("%M: %s\n", MSG_BAD_TARGET, "OS/2"), {}},
      {"-l without -b", {"-l"}, 4, message("%M\n", MSG_INI_NOT_BATCH), {}},
      {"-T and -P in batch", {"-b", "-T", "xterm", "-P", "generic"}, 4, message("%M\n", MSG_T_AND_P), {}},
      {"unknown terminal", {"-b", "-T", "Xterm"}, 4, message("%M: %s\n", MSG_BAD_TERM, "Xterm"), {}},
      {"unknown printer", {"-b", "-P", "dir/laser.pti"}, 4, message("%M: %s\n", MSG_BAD_PRINTER, "laser"), {}},
      {"short extension refused before the screen", {"conf.Cf"}, 1, message("%M: %s\n", MSG_BAD_EXT, "conf.Cf"), {}},
      {"no terminal at all", {}, 6, "", {}},
      {"no terminal, with an operand", {"system.cfi"}, 6, "", {}},
      {"-l with no .ini beside", {"-b", "-l"}, 1, "", {}},
      {"over-long operand refused before the screen", {std::string(300, 'n')}, 1,
       message("%M: %s\n", err(ST_NAME_TOO_LONG), std::string(300, 'n').c_str()), {}},
      {"over-long operand in batch", {"-b", std::string(300, 'n')}, 1,
       message("%M: %s\n", err(ST_NAME_TOO_LONG), std::string(300, 'n').c_str()), {}},
  };
  for (const status_case &c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    xntest::RunResult r = run(c.args, dir.path());
    EXPECT_EQ(r.status, c.status) << r.err;
    if (!c.message.empty()) {
      EXPECT_NE(r.err.find(c.message), std::string::npos) << "want: " << c.message << "got:\n" << r.err;
    }
    EXPECT_EQ(listing(dir.path()), c.files);
  }
}

TEST_F(ProgramRun, OptionsFromTheEnvironmentComeFirst) {
  TempDir dir;
  // The options of the environment count like typed ones, and the effective
  // list is shown because it differs from the typed one.
  xntest::RunResult r = run({"-b", "site"}, dir.path(), "-O UNIX");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(xntest::read_file(dir.file("site.cfi")).find("target = UNIX"), std::string::npos);
  EXPECT_NE(r.err.find("-O UNIX -b site"), std::string::npos) << r.err;
  // Their errors end the run like typed ones, before anything is written.
  r = run({"-b"}, dir.path(), "-l -T xterm");
  EXPECT_EQ(r.status, 4);
  EXPECT_NE(r.err.find(message("%M\n", MSG_INI_WITH_TP)), std::string::npos) << r.err;
  EXPECT_EQ(listing(dir.path()), strings{"site.cfi"});
}

TEST_F(ProgramRun, QuietBatchSaysNothingOnSuccess) {
  TempDir dir;
  for (int pass = 0; pass < 2; ++pass) {
    for (const strings &args : {strings{"-q", "-b"}, strings{"-q", "-b", "-T", "vt100"},
                                strings{"-q", "-b", "-P", "generic"}}) {
      SCOPED_TRACE(args.back());
      xntest::RunResult r = run(args, dir.path());
      EXPECT_EQ(r.status, 0) << r.err;
      EXPECT_EQ(r.err, "");
      EXPECT_EQ(r.out, "");
    }
  }
  EXPECT_EQ(listing(dir.path()), (strings{"generic.pti", "system.cfi", "vt100.tdi"}));
}

TEST_F(ProgramRun, RewritingACurrentFileKeepsItsContent) {
  struct row {
    strings args;
    const char *file;
  } rows[] = {{{"-b", "-O", "UNIX"}, "system.cfi"},
              {{"-b", "-T", "xterm"}, "xterm.tdi"},
              {{"-b", "-P", "generic"}, "generic.pti"}};
  for (const row &w : rows) {
    SCOPED_TRACE(w.file);
    TempDir dir;
    xntest::RunResult first = run(w.args, dir.path());
    ASSERT_EQ(first.status, 0) << first.err;
    std::string before = xntest::read_file(dir.file(w.file));
    ASSERT_FALSE(before.empty());
    xntest::RunResult second = run(w.args, dir.path());
    EXPECT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(second.out, "") << "a current file needs no update message";
    EXPECT_EQ(xntest::read_file(dir.file(w.file)), before);
    EXPECT_EQ(listing(dir.path()), strings{w.file}) << "no temporary file left";
  }
}

// Where the batch update puts its file for each way of naming it.
struct placement_case {
  const char *what;
  strings args; // "@" stands for the folder's path
  std::string created;
};

TEST_F(ProgramRun, BatchFilePlacement) {
  const placement_case cases[] = {
      {"operand names a folder", {"-b", "@/sub"}, "sub/system.cfi"},
      {"operand without extension", {"-b", "sub/north"}, "sub/north.cfi"},
      {"operand with another extension", {"-b", "sub/north.conf"}, "sub/north.conf"},
      {"-T with a folder part", {"-b", "-T", "@/sub/vt100"}, "sub/vt100.tdi"},
      {"-T with the extension", {"-b", "-T", "sub/xterm.tdi"}, "sub/xterm.tdi"},
      {"-P with a folder part", {"-b", "-P", "sub/generic.pti"}, "sub/generic.pti"},
  };
  for (const placement_case &c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    ASSERT_EQ(mkdir(dir.file("sub").c_str(), 0755), 0);
    strings args;
    for (std::string a : c.args) {
      if (a[0] == '@')
        a = dir.path() + a.substr(1);
      args.push_back(a);
    }
    xntest::RunResult r = run(args, dir.path());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(xntest::file_exists(dir.file(c.created))) << c.created;
    EXPECT_EQ(listing(dir.path()), strings{"sub"}) << "nothing beside the folder";
  }
}

} // namespace

namespace {

// -a and -A: where the trail goes and which option texts are refused. The
// folder holds a subfolder "C:" so that a drive-letter name is a real path.
struct audit_case {
  const char *what;
  strings args;
  int status;
  std::string message;
  std::string trail; // file that must exist afterwards, "" for none
};

TEST_F(ProgramRun, AuditTrailNames) {
  const audit_case cases[] = {
      {"-a takes the default file", {"-b", "-a"}, 0, "", "xnconfig.audit"},
      {"-a with options", {"-b", "-a:save"}, 0, "", "xnconfig.audit"},
      {"-a with a bad option", {"-b", "-a:sometimes"}, 4,
       message("%M: %s\n", MSG_BAD_AUDIT, "sometimes"), ""},
      {"-A plain name", {"-b", "-A", "trail.log"}, 0, "", "trail.log"},
      {"-A name and options", {"-b", "-A", "trail.log:load,save"}, 0, "", "trail.log"},
      {"-A drive letter and path", {"-b", "-A", "C:/trail.log"}, 0, "", "C:/trail.log"},
      {"-A drive, path and options", {"-b", "-A", "C:/trail.log:all"}, 0, "", "C:/trail.log"},
      {"-A drive, path, bad options", {"-b", "-A", "C:/trail.log:none"}, 4,
       message("%M: %s\n", MSG_BAD_AUDIT, "none"), ""},
      {"-A in a missing folder", {"-b", "-A", "nowhere/trail.log"}, 4,
       message("%M: %s\n", err(ST_NO_PATH), "nowhere/trail.log"), ""},
      {"no trail after another error", {"-l", "-A", "trail.log"}, 4, "", ""},
  };
  for (const audit_case &c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    ASSERT_EQ(mkdir(dir.file("C:").c_str(), 0755), 0);
    xntest::RunResult r = run(c.args, dir.path());
    EXPECT_EQ(r.status, c.status) << r.err;
    if (!c.message.empty()) {
      EXPECT_NE(r.err.find(c.message), std::string::npos) << "want: " << c.message << "got:\n" << r.err;
    }
    strings expected{"C:"};
    if (c.status == 0) {
      expected.push_back("system.cfi");
    }
    if (!c.trail.empty() && c.trail.find('/') == std::string::npos)
      expected.push_back(c.trail);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listing(dir.path()), expected);
    strings in_drive = listing(dir.file("C:"));
    EXPECT_EQ(in_drive.empty(), c.trail.rfind("C:/", 0) != 0);
    if (!c.trail.empty()) {
      // The batch update's load and save are on record.
      EXPECT_NE(xntest::read_file(dir.file(c.trail)).find("system.cfi"), std::string::npos);
    }
  }
}

} // namespace

namespace {

// One kind of file as a batch update sees it.
struct file_kind {
  const char *file;
  strings args; // the batch update of `file` in the current folder
};

const file_kind kinds[] = {
    {"system.cfi", {"-b", "system.cfi"}},
    {"xterm.tdi", {"-b", "-T", "xterm"}},
    {"generic.pti", {"-b", "-P", "generic"}},
};

std::string replace_first(std::string s, const std::string &from, const std::string &to) {
  size_t at = s.find(from);
  if (at != std::string::npos)
    s.replace(at, from.size(), to);
  return s;
}

// Ways to spoil a good file, and the status each must be reported with
// (0: any failure status will do).
struct damage {
  const char *what;
  std::string (*spoil)(const std::string &good, const std::string &other_kind);
  int status;
};

const damage damages[] = {
    {"future revision",
     [](const std::string &g, const std::string &) {
       return replace_first(g, "revision = ", "revision = 9");
     },
     ST_NEWER_REVISION},
    {"another kind of file", [](const std::string &, const std::string &o) { return o; },
     ST_WRONG_KIND},
    {"cut in the middle",
     [](const std::string &g, const std::string &) { return g.substr(0, g.size() / 2); }, 0},
    {"a line that is no setting",
     [](const std::string &g, const std::string &) { return g + "this is not a setting\n"; }, 0},
    {"empty", [](const std::string &, const std::string &) { return std::string(); }, 0},
    {"binary noise",
     [](const std::string &, const std::string &) { return std::string("\x7f" "ELF\x02\x01\x01\0\0\xff", 10); },
     0},
};

// The tests below run once for each kind of file.
class KindRun : public ProgramRun, public testing::WithParamInterface<size_t> {};

TEST_P(KindRun, SpoiltFilesAreReportedAndLeftAlone) {
  {
    const file_kind &kind = kinds[GetParam()];
    const file_kind &other = kinds[(GetParam() + 1) % std::size(kinds)];
    TempDir good_dir;
    ASSERT_EQ(run(kind.args, good_dir.path()).status, 0);
    ASSERT_EQ(run(other.args, good_dir.path()).status, 0);
    const std::string good = xntest::read_file(good_dir.file(kind.file));
    const std::string other_text = xntest::read_file(good_dir.file(other.file));
    ASSERT_FALSE(good.empty());
    for (const damage &d : damages) {
      SCOPED_TRACE(std::string(kind.file) + ": " + d.what);
      TempDir dir;
      const std::string bad = d.spoil(good, other_text);
      ASSERT_TRUE(xntest::write_file(dir.file(kind.file), bad));
      xntest::RunResult r = run(kind.args, dir.path());
      EXPECT_EQ(r.status, 1) << r.err;
      EXPECT_NE(r.err.find(std::string("/") + kind.file), std::string::npos)
          << "the file is named:\n" << r.err;
      if (d.status != 0) {
        EXPECT_NE(r.err.find(message("%M", err(d.status))), std::string::npos) << r.err;
      }
      EXPECT_EQ(xntest::read_file(dir.file(kind.file)), bad) << "the file was changed";
      EXPECT_EQ(listing(dir.path()), strings{kind.file}) << "nothing left beside it";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Files, KindRun, testing::Range<size_t>(0, std::size(kinds)),
                         [](const testing::TestParamInfo<size_t> &i) {
                           std::string n = kinds[i.param].file;
                           return n.substr(n.find('.') + 1);
                         });

} // namespace

namespace {

// Merging an ".ini" file with -l or -L: which file is read, what lands in
// the configuration, and that a failed merge writes nothing.
struct merge_case {
  const char *what;
  strings setup; // pairs: file name, content ("" for a folder)
  strings args;
  int status;
  std::string ini_read;   // the .ini name announced on standard output
  std::string config;     // the configuration file to check afterwards
  std::string must_hold;  // text it must contain; "" = it must not exist
};

const char *const MERGE = "[system]\nprocesses = 42\n";
const char *const BAD_MERGE = "[system]\nprocesses = lots\n";

TEST_F(ProgramRun, MergesIniFiles) {
  const merge_case cases[] = {
      {"-l beside the default", {"system.ini", MERGE}, {"-b", "-l"}, 0, "/system.ini", "system.cfi", "processes = 42"},
      {"-l beside a named file", {"sub", "", "sub/north.ini", MERGE}, {"-b", "-l", "sub/north"}, 0,
       "/sub/north.ini", "sub/north.cfi", "processes = 42"},
      {"-l keeps a dotted base name", {"my.site.ini", MERGE}, {"-b", "-l", "my.site.cfi"}, 0,
       "/my.site.ini", "my.site.cfi", "processes = 42"},
      {"-L names a folder", {"sub", "", "sub/north.ini", MERGE}, {"-b", "-L", "sub", "north.cfi"}, 0,
       "/sub/north.ini", "north.cfi", "processes = 42"},
      {"-L names a file of any extension", {"merge.txt", MERGE}, {"-b", "-L", "merge.txt"}, 0,
       "/merge.txt", "system.cfi", "processes = 42"},
      {"-L given a whole configuration", {"unix.ini", ""}, {"-b", "-L", "unix.ini", "-O", "Windows"}, 0,
       "/unix.ini", "system.cfi", "target = UNIX"},
      {"-l without the .ini", {}, {"-b", "-l"}, 1, "", "system.cfi", ""},
      {"-L to a missing file", {}, {"-b", "-L", "none.ini"}, 1, "", "system.cfi", ""},
      {"-L to a missing folder's file", {}, {"-b", "-L", "no/where.ini"}, 1, "", "system.cfi", ""},
      {"a bad value merges nothing", {"system.ini", BAD_MERGE}, {"-b", "-l"}, 1, "/system.ini", "system.cfi", ""},
  };
  for (const merge_case &c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    for (size_t i = 0; i + 1 < c.setup.size(); i += 2) {
      const std::string path = dir.file(c.setup[i]);
      if (c.setup[i] == "unix.ini") {
        // A complete configuration of the other target serves as the .ini.
        ASSERT_EQ(run({"-b", "-O", "UNIX", "unix.cfi"}, dir.path()).status, 0);
        ASSERT_EQ(rename(dir.file("unix.cfi").c_str(), path.c_str()), 0);
      } else if (c.setup[i + 1].empty()) {
        ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
      } else {
        ASSERT_TRUE(xntest::write_file(path, c.setup[i + 1]));
      }
    }
    xntest::RunResult r = run(c.args, dir.path());
    EXPECT_EQ(r.status, c.status) << r.err;
    if (!c.ini_read.empty()) {
      std::string line = message("%M: %s\n", MSG_LOADING_INI, "");
      line.pop_back();
      EXPECT_EQ(r.out.rfind(line, 0), 0u) << r.out;
      EXPECT_NE(r.out.find(c.ini_read + "\n"), std::string::npos) << r.out;
    } else {
      EXPECT_EQ(r.out, "");
    }
    if (c.must_hold.empty()) {
      EXPECT_FALSE(xntest::file_exists(dir.file(c.config))) << "written after a failure";
    } else {
      EXPECT_NE(xntest::read_file(dir.file(c.config)).find(c.must_hold), std::string::npos);
    }
  }
}

TEST_F(ProgramRun, FailedMergeLeavesAnExistingConfiguration) {
  TempDir dir;
  ASSERT_EQ(run({"-b", "-O", "UNIX"}, dir.path()).status, 0);
  const std::string before = xntest::read_file(dir.file("system.cfi"));
  for (const char *ini : {"", BAD_MERGE}) {
    SCOPED_TRACE(ini);
    if (*ini) {
      ASSERT_TRUE(xntest::write_file(dir.file("system.ini"), ini));
    }
    xntest::RunResult r = run({"-b", "-l"}, dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(xntest::read_file(dir.file("system.cfi")), before);
  }
  // A good merge changes only what the .ini names.
  ASSERT_TRUE(xntest::write_file(dir.file("system.ini"), MERGE));
  ASSERT_EQ(run({"-b", "-l"}, dir.path()).status, 0);
  const std::string after = xntest::read_file(dir.file("system.cfi"));
  EXPECT_NE(after.find("processes = 42"), std::string::npos);
  EXPECT_NE(after.find("target = UNIX"), std::string::npos);
}

} // namespace

namespace {

const std::string STORE_DATA = std::string(XN_TEST_DATA) + "/stores";

// Index in `kinds` of a sample file by its extension; -1 when none.
int kind_of(const std::string &name) {
  for (size_t k = 0; k < std::size(kinds); ++k) {
    std::string ext = std::string(kinds[k].file).substr(std::string(kinds[k].file).find('.'));
    if (name.size() > ext.size() && name.compare(name.size() - ext.size(), ext.size(), ext) == 0)
      return static_cast<int>(k);
  }
  return -1;
}

TEST_F(ProgramRun, DamagedSampleFilesAreReportedAndLeftAlone) {
  strings samples = listing(STORE_DATA + "/damaged");
  ASSERT_FALSE(samples.empty());
  for (const std::string &sample : samples) {
    int k = kind_of(sample);
    if (k < 0)
      continue;
    SCOPED_TRACE(sample);
    const file_kind &kind = kinds[k];
    TempDir dir;
    // Under the name the batch update of its kind works on.
    const std::string bad = xntest::read_file(STORE_DATA + "/damaged/" + sample);
    ASSERT_TRUE(xntest::write_file(dir.file(kind.file), bad));
    xntest::RunResult r = run(kind.args, dir.path());
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find(std::string("/") + kind.file), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(xntest::read_file(dir.file(kind.file)), bad);
    EXPECT_EQ(listing(dir.path()), strings{kind.file});
  }
}

// Old-revision samples: brought to the current revision once, announced
// for descriptions and translations, and left alone by a second run.
TEST_P(KindRun, OldRevisionIsBroughtUpToDate) {
  const file_kind &kind = kinds[GetParam()];
  std::string sample;
  for (const std::string &s : listing(STORE_DATA + "/old"))
    if (kind_of(s) == static_cast<int>(GetParam()))
      sample = s;
  ASSERT_FALSE(sample.empty()) << "no old sample of this kind";
  TempDir dir;
  const std::string old_text = xntest::read_file(STORE_DATA + "/old/" + sample);
  ASSERT_TRUE(xntest::write_file(dir.file(kind.file), old_text));
  xntest::RunResult r = run(kind.args, dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string updated = xntest::read_file(dir.file(kind.file));
  EXPECT_NE(updated, old_text);
  EXPECT_NE(updated.find("revision = "), std::string::npos);
  const bool announces = kind.args[1] != "system.cfi";
  if (announces) {
    std::string line = message("%M%s has been updated.\n", MSG_INFO, "");
    line = line.substr(0, line.size() - std::string(" has been updated.\n").size());
    EXPECT_EQ(r.out.rfind(line, 0), 0u) << r.out;
    EXPECT_NE(r.out.find(std::string("/") + kind.file + " has been updated.\n"), std::string::npos) << r.out;
  } else {
    EXPECT_EQ(r.out, "");
  }
  // The settings of the old file survive: a second run has nothing to do.
  r = run(kind.args, dir.path());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(xntest::read_file(dir.file(kind.file)), updated);
}

// A read-only file is reported with its name and never written. A
// description or translation is reported with the code that says whether it
// needed an update.
TEST_P(KindRun, ReadOnlyFilesAreNeverWritten) {
  const file_kind &kind = kinds[GetParam()];
  if (!xntest::can_test_permissions())
    GTEST_SKIP() << "running as root without a user to drop to";
  const bool has_revision_message = kind.args[1] != "system.cfi";
  std::string old_sample;
  for (const std::string &s : listing(STORE_DATA + "/old"))
    if (kind_of(s) == static_cast<int>(GetParam()))
      old_sample = STORE_DATA + "/old/" + s;
  ASSERT_FALSE(old_sample.empty());
  for (bool old : {false, true}) {
    SCOPED_TRACE(old ? "old revision" : "current revision");
    TempDir dir;
    dir.share(); // writable folder: only the file's own mode protects it
    const std::string path = dir.file(kind.file);
    if (old) {
      ASSERT_TRUE(xntest::write_file(path, xntest::read_file(old_sample)));
    } else {
      ASSERT_EQ(run(kind.args, dir.path()).status, 0);
    }
    const std::string before = xntest::read_file(path);
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    xntest::RunOptions o;
    o.args = kind.args;
    o.cwd = dir.path();
    o.env = {"HOME=" + dir.path(), "XNCONFIG_OPTIONS"};
    o.as_nobody = true;
    xntest::RunResult r = xntest::run_program(o);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find(std::string("/") + kind.file), std::string::npos) << r.err;
    if (has_revision_message) {
      const uint32_t code = old ? MSG_READ_ONLY_UPDATE : MSG_NOT_UPDATED;
      std::string line = message("%M: %s\n", code, "");
      line.pop_back();
      EXPECT_NE(r.err.find(line + dir.path()), std::string::npos) << r.err;
    }
    EXPECT_EQ(xntest::read_file(path), before);
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
    EXPECT_EQ(listing(dir.path()), strings{kind.file}) << "nothing left beside it";
  }
}

} // namespace
