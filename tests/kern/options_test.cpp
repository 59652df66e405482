// Option scanning, audit options and the audit file, and the help text.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "lib/internal/lib_internal.h"
#include "lib/kern.h"
#include "lib/status.h"
#include "lib/strs.h"
#include "support/support.h"

namespace {

// Runs the scanner to the end the way the program's parser does, taking
// "-a:opts" whole; each step reads "letter[=arg]" or "!status:letter".
std::pair<std::string, int> scan(std::vector<std::string> words) {
  words.insert(words.begin(), "xnconfig");
  std::vector<char *> argv;
  for (std::string &w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  int optind = 1;
  char *rest = nullptr, *arg = nullptr;
  char letter = 0;
  std::string out;
  for (int guard = 0; guard < 100; ++guard) {
    int st = getopt_kern(static_cast<int>(words.size()), argv.data(), "aA:bh?lL:O:P:qT:", &optind,
                         &rest, &letter, &arg);
    if ((st & 0xFFF) == OPT_END) break;
    out += (out.empty() ? "" : " ") + (st > 0 ? "!" + std::to_string(st) + ":" : "") + letter;
    if (st == 0 && arg) out += "=" + std::string(arg);
    if (st == 0 && letter == 'a' && rest && *rest == ':') {
      out += "=" + std::string(rest);
      rest = const_cast<char *>("");
    }
  }
  return {out, optind};
}

TEST(GetoptKern, ScansArgumentListsLikeTheProgram) {
  const std::string long_arg(256, 'x'), max_arg(255, 'y');
  struct row {
    std::vector<std::string> words;
    std::string steps;
    int optind;
  };
  // clang-format off
  const row rows[] = {
      {{}, "", 1},
      {{"-bq", "file"}, "b q", 2},
      {{"-bTxterm", "x.tdi"}, "b T=xterm", 2},
      {{"-T", "-b"}, "T=-b", 3}, // an argument may start with '-'
      {{"-a:save,fail", "-b"}, "a=:save,fail b", 3},
      {{"-bxq"}, "b !240:x q", 2}, // the scan goes on after a bad letter
      {{"-:"}, "!240::", 2},       // the colon of the letter list is no option
      {{"-b", "-L"}, "b !241:L", 3},
      {{"-T" + long_arg}, "!243:T", 2},
      {{"-T", max_arg}, "T=" + max_arg, 3},
      {{"-b", "--", "-q"}, "b", 3},
      {{"-", "-b"}, "", 1},    // a lone "-" is an operand
      {{"file", "-b"}, "", 1}, // options stop at the first operand
  };
  // clang-format on
  for (const row &r : rows) {
    std::string joined;
    for (const std::string &w : r.words) joined += w.substr(0, 20) + " ";
    auto [steps, optind] = scan(r.words);
    EXPECT_EQ(steps, r.steps) << joined;
    EXPECT_EQ(optind, r.optind) << joined;
  }
}

class AuditTrail : public ::testing::Test {
protected:
  void TearDown() override { reset_kern_state(); }
  xntest::TempDir dir;
};

// Audit options as "-a:opts" gives them, checked by getopt_audit_kern.
TEST_F(AuditTrail, OptionsSelectWhatIsRecorded) {
  struct row {
    const char *opts; // nullptr: the default, everything
    const char *expect;
  };
  const row rows[] = {{nullptr, "load:ok load:2 save:ok save:5"},
                      {":load", "load:ok load:2"},
                      {":fail", "load:2 save:5"},
                      {":SAVE,fail", "save:5"}};
  for (const row &r : rows) {
    reset_kern_state();
    std::remove(dir.file("trail.log").c_str());
    std::string opts = r.opts ? r.opts : "";
    char *p = opts.data();
    if (r.opts) {
      ASSERT_TRUE(getopt_audit_kern(&p)) << r.opts;
    }
    audit_file_event("load", "cfi", "/x/none.cfi", 0); // trail off: nothing
    ASSERT_EQ(set_audit_kern(dir.file("trail.log").c_str()), 0);
    EXPECT_TRUE(test_audit_kern());
    audit_file_event("load", "cfi", "/a.cfi", 0);
    audit_file_event("load", "tdi", "/b\tc.tdi", ST_NO_FILE);
    audit_file_event("save", "cfi", "/a.cfi", 0);
    audit_file_event("save", "cfi", "/b.cfi", ST_ACCESS);
    do_cleanup_kern(); // closes the trail
    std::string text = xntest::read_file(dir.file("trail.log")), got;
    // Each line: time, user, op, kind, name, result; tab-separated.
    for (size_t start = 0, nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1) {
      std::string line = text.substr(start, nl - start);
      EXPECT_EQ(line[19], 'Z') << line; // 2026-01-02T03:04:05Z
      got += (got.empty() ? "" : " ") + line.substr(line.find('\t', 21) + 1, 4) + ":";
      got += line.ends_with("\tok") ? "ok" : line.substr(line.find("\terror ") + 7, 1);
      if (line.find("tdi") != std::string::npos) {
        EXPECT_TRUE(line.ends_with("\tload\ttdi\t/b\\011c.tdi\terror 2 No such file or directory"))
            << line;
      }
    }
    EXPECT_EQ(got, r.expect) << (r.opts ? r.opts : "default");
  }
}

TEST_F(AuditTrail, RefusesFilesThatCannotBeOpenedAndDefaultsItsName) {
  reset_kern_state();
  EXPECT_EQ(set_audit_kern(dir.path().c_str()), ST_ACCESS); // a directory
  EXPECT_FALSE(test_audit_kern());
  EXPECT_EQ(set_audit_kern(dir.file("none/trail.log").c_str()), ST_NO_PATH);
  EXPECT_FALSE(test_audit_kern());
  char old[4096];
  ASSERT_NE(getcwd(old, sizeof old), nullptr);
  ASSERT_EQ(chdir(dir.path().c_str()), 0);
  int st = set_audit_kern("");
  // Made only by the first event: an option error found later leaves no file.
  const bool made_early = access("xnconfig.audit", F_OK) == 0;
  // ... and where the current directory was then, wherever the editor went.
  ASSERT_EQ(::mkdir("sub", 0700), 0);
  ASSERT_EQ(chdir("sub"), 0);
  audit_file_event("save", "cfi", "../rel.cfi", 0);
  do_cleanup_kern();
  ASSERT_EQ(chdir(old), 0);
  EXPECT_EQ(st, 0);
  EXPECT_FALSE(made_early);
  // The default file in the current directory; a relative name recorded in full.
  std::string text = xntest::read_file(dir.file("xnconfig.audit"));
  EXPECT_NE(text.find(dir.path() + "/rel.cfi\tok\n"), std::string::npos) << text;
}

TEST(ShowHelpKern, ListsEveryOptionAndTypeNameWithin79Columns) {
  reset_kern_state();
  testing::internal::CaptureStdout();
  show_help_kern();
  std::string help = testing::internal::GetCapturedStdout();
  for (const char *want :
       {"-a[:opts]", "-A file[:opts]", "-b ", "-h", "-l ", "-L file|dir", "-O UNIX|Windows",
        "-P name", "-q ", "-T name", "--help", "--version", "0  success", "7  help"})
    EXPECT_NE(help.find(want), std::string::npos) << want;
  std::vector<const char *> names(std::begin(def_term_filename), std::end(def_term_filename));
  names.insert(names.end(), std::begin(pti_filename), std::end(pti_filename));
  for (const char *name : names)
    EXPECT_NE(help.find(" " + std::string(name)), std::string::npos) << name;
  for (size_t start = 0, nl; (nl = help.find('\n', start)) != std::string::npos; start = nl + 1)
    EXPECT_LE(nl - start, 79u) << help.substr(start, nl - start);
}

} // namespace
