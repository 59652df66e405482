// Option scanning, audit options and the audit file, help and option lines.
#include <gtest/gtest.h>

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

constexpr const char *LETTERS = "aA:bh?lL:O:P:qT:";

// Runs the scanner to the end the way the program's parser does, taking
// "-a:opts" whole, and writes each step as "letter[=arg]" or "!status:letter".
struct scan_result {
  std::string steps;
  int optind;
};

scan_result scan(std::vector<std::string> words) {
  words.insert(words.begin(), "xnconfig");
  std::vector<char *> argv;
  for (std::string &w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  int argc = static_cast<int>(words.size());
  int optind = 1;
  char *rest = nullptr, *arg = nullptr;
  char letter = 0;
  std::string out;
  for (int guard = 0; guard < 100; ++guard) {
    int st = getopt_kern(argc, argv.data(), LETTERS, &optind, &rest, &letter, &arg);
    if ((st & 0xFFF) == OPT_END) break;
    if (!out.empty()) out += ' ';
    if (st > 0) {
      out += "!" + std::to_string(st) + ":" + letter;
      continue;
    }
    out += letter;
    if (arg) out += "=" + std::string(arg);
    if (letter == 'a' && rest && *rest == ':') {
      out += "=" + std::string(rest);
      rest = const_cast<char *>("");
    }
  }
  return {out, optind};
}

TEST(GetoptKern, ScansArgumentListsLikeTheProgram) {
  const std::string long_arg(256, 'x');
  const std::string max_arg(255, 'y');
  struct row {
    std::vector<std::string> words;
    std::string steps;
    int optind;
  };
  const row rows[] = {
      {{}, "", 1},
      {{"-b"}, "b", 2},
      {{"-bq"}, "b q", 2},
      {{"-b", "-q", "file"}, "b q", 3},
      {{"-Tvt100"}, "T=vt100", 2},
      {{"-T", "vt100"}, "T=vt100", 3},
      {{"-bTxterm", "x.tdi"}, "b T=xterm", 2},
      {{"-T", "-b"}, "T=-b", 3},  // an argument may start with '-'
      {{"-a:save,fail", "-b"}, "a=:save,fail b", 3},
      {{"-ab"}, "a b", 2},
      {{"-A", "/tmp/a:load"}, "A=/tmp/a:load", 3},
      {{"-x"}, "!240:x", 2},
      {{"-bxq"}, "b !240:x q", 2},  // the scan goes on after a bad letter
      {{"-:"}, "!240::", 2},        // the colon of the letter list is no option
      {{"-h", "-?"}, "h ?", 3},
      {{"-T"}, "!241:T", 2},
      {{"-b", "-L"}, "b !241:L", 3},
      {{"-T", long_arg}, "!243:T", 3},
      {{"-T" + long_arg}, "!243:T", 2},
      {{"-T", max_arg}, "T=" + max_arg, 3},
      {{"--", "-b"}, "", 2},
      {{"-b", "--", "-q"}, "b", 3},
      {{"-", "-b"}, "", 1},        // a lone "-" is an operand
      {{"file", "-b"}, "", 1},     // options stop at the first operand
      {{"-b", "a", "b"}, "b", 2},
      {{"-O", "unix", "-P", "generic"}, "O=unix P=generic", 5},
  };
  for (const row &r : rows) {
    std::string joined;
    for (const std::string &w : r.words) joined += w.substr(0, 20) + " ";
    scan_result got = scan(r.words);
    EXPECT_EQ(got.steps, r.steps) << joined;
    EXPECT_EQ(got.optind, r.optind) << joined;
  }
}

TEST(GetoptAuditKern, AcceptsOptionListsAndPointsAtTheBadOne) {
  struct row {
    std::string text; // starting with the introducing ':' or end mark
    bool ok;
    std::string left; // text at the pointer after a refusal
  };
  const row rows[] = {
      {":all", true, ""},
      {":load", true, ""},
      {":save,fail", true, ""},
      {":SAVE", true, ""},
      {std::string(1, '\0') + "load,save", true, ""},
      {":", false, ":"},
      {":bogus", false, "bogus"},
      {":save,bogus", false, "bogus"},
      {":save,", false, ""},
      {":,save", false, ",save"},
      {":loads", false, "loads"},
  };
  for (const row &r : rows) {
    std::string buf = r.text;
    char *p = buf.data();
    bool ok = getopt_audit_kern(&p);
    EXPECT_EQ(ok, r.ok) << r.text;
    if (!r.ok) {
      EXPECT_EQ(std::string(p), r.left) << r.text;
    }
  }
}

class AuditTrail : public ::testing::Test {
protected:
  void SetUp() override { reset_kern_state(); }
  void TearDown() override { reset_kern_state(); }
  xntest::TempDir dir;

  std::vector<std::string> lines() {
    std::vector<std::string> out;
    std::string text = xntest::read_file(dir.file("trail.log"));
    size_t start = 0;
    for (size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
      out.push_back(text.substr(start, nl - start));
    EXPECT_EQ(start, text.size()) << "last line not ended";
    return out;
  }
};

TEST_F(AuditTrail, RecordsEveryLoadAndSaveByDefault) {
  EXPECT_FALSE(test_audit_kern());
  EXPECT_EQ(get_audit_han_kern(), 0xFFFFu);
  audit_file_event("load", "cfi", "/x/none.cfi", 0); // trail off: nothing
  ASSERT_EQ(set_audit_kern(dir.file("trail.log").c_str()), 0);
  EXPECT_TRUE(test_audit_kern());
  EXPECT_NE(get_audit_han_kern(), 0xFFFFu);
  audit_file_event("load", "cfi", "/x/system.cfi", 0);
  audit_file_event("save", "tdi", "/x/vt100.tdi", ST_ACCESS);
  audit_file_event("save", "pti", "/x/tab\there.pti", 0);
  std::vector<std::string> got = lines();
  ASSERT_EQ(got.size(), 3u);
  // time, user, op, kind, name, result; tab-separated
  std::vector<std::string> f;
  size_t s = 0;
  for (size_t t; (t = got[1].find('\t', s)) != std::string::npos; s = t + 1)
    f.push_back(got[1].substr(s, t - s));
  f.push_back(got[1].substr(s));
  ASSERT_EQ(f.size(), 6u) << got[1];
  EXPECT_EQ(f[0].size(), 20u) << f[0]; // 2026-01-02T03:04:05Z
  EXPECT_EQ(f[0].back(), 'Z');
  EXPECT_FALSE(f[1].empty());
  EXPECT_EQ(f[2], "save");
  EXPECT_EQ(f[3], "tdi");
  EXPECT_EQ(f[4], "/x/vt100.tdi");
  EXPECT_EQ(f[5], "error 5 Permission denied");
  EXPECT_NE(got[0].find("\tload\tcfi\t/x/system.cfi\tok"), std::string::npos);
  EXPECT_NE(got[2].find("/x/tab\\011here.pti\tok"), std::string::npos) << got[2];
}

TEST_F(AuditTrail, OptionsSelectWhatIsRecorded) {
  struct row {
    const char *opts;
    const char *expect; // ops recorded, in order, from the four events below
  };
  const row rows[] = {
      {":load", "load:0 load:2"},
      {":save", "save:0 save:5"},
      {":fail", "load:2 save:5"},
      {":save,fail", "save:5"},
      {":all", "load:0 load:2 save:0 save:5"},
  };
  for (const row &r : rows) {
    reset_kern_state();
    std::remove(dir.file("trail.log").c_str());
    std::string opts = r.opts;
    char *p = opts.data();
    ASSERT_TRUE(getopt_audit_kern(&p)) << r.opts;
    ASSERT_EQ(set_audit_kern(dir.file("trail.log").c_str()), 0);
    audit_file_event("load", "cfi", "/a.cfi", 0);
    audit_file_event("load", "cfi", "/b.cfi", ST_NO_FILE);
    audit_file_event("save", "cfi", "/a.cfi", 0);
    audit_file_event("save", "cfi", "/b.cfi", ST_ACCESS);
    std::string got;
    for (const std::string &l : lines()) {
      if (!got.empty()) got += ' ';
      got += l.find("\tload\t") != std::string::npos ? "load:" : "save:";
      got += l.find("\tok") != std::string::npos ? "0" : l.substr(l.find("error ") + 6, 1);
    }
    EXPECT_EQ(got, r.expect) << r.opts;
  }
}

TEST_F(AuditTrail, RefusesFilesThatCannotBeOpened) {
  EXPECT_EQ(set_audit_kern(dir.file("no/such/dir/a.log").c_str()), ST_NO_PATH);
  EXPECT_EQ(set_audit_kern(dir.path().c_str()), ST_ACCESS); // a directory
  EXPECT_EQ(set_audit_kern(std::string(300, 'a').c_str()), ST_NAME_TOO_LONG);
  EXPECT_FALSE(test_audit_kern());
  do_cleanup_kern();
  EXPECT_FALSE(test_audit_kern());
}

TEST_F(AuditTrail, EmptyNameTakesTheDefaultFileInTheCurrentDirectory) {
  char old[4096];
  ASSERT_NE(getcwd(old, sizeof old), nullptr);
  ASSERT_EQ(chdir(dir.path().c_str()), 0);
  int st = set_audit_kern("");
  audit_file_event("save", "cfi", "rel.cfi", 0);
  do_cleanup_kern(); // closes the trail
  EXPECT_FALSE(test_audit_kern());
  ASSERT_EQ(chdir(old), 0);
  EXPECT_EQ(st, 0);
  std::string text = xntest::read_file(dir.file("xnconfig.audit"));
  // A relative name is recorded in full.
  EXPECT_NE(text.find(dir.path() + "/rel.cfi\tok\n"), std::string::npos) << text;
}

TEST(ShowHelpKern, ListsEveryOptionNameAndStatus) {
  reset_kern_state();
  testing::internal::CaptureStdout();
  show_help_kern();
  std::string help = testing::internal::GetCapturedStdout();
  for (const char *want :
       {"-a[:opts]", "-A file[:opts]", "-b ", "-h", "-?", "-l ", "-L file|dir",
        "-O UNIX|Windows", "-P name", "-q ", "-T name", "XNCONFIG_OPTIONS",
        "load", "save", "fail", "all", "0  success", "1  ", "4  ", "6  ",
        "7  help", "Tab", "Shift-Tab", "Page Up/Down", "ESC then 1-6"})
    EXPECT_NE(help.find(want), std::string::npos) << want;
  for (const char *name : def_term_filename) {
    EXPECT_NE(help.find(std::string(" ") + name), std::string::npos) << name;
  }
  for (const char *name : pti_filename) {
    EXPECT_NE(help.find(std::string(" ") + name), std::string::npos) << name;
  }
  size_t start = 0;
  for (size_t nl; (nl = help.find('\n', start)) != std::string::npos; start = nl + 1) {
    EXPECT_LE(nl - start, 79u) << help.substr(start, nl - start);
  }
}

TEST(PrintoptKern, WrapsTheEffectiveOptionsAtTheWidth) {
  std::vector<std::string> words = {"xnconfig", "-b", "-q"};
  for (int i = 0; i < 20; ++i) words.push_back("-Tname" + std::to_string(i));
  std::vector<char *> argv;
  for (std::string &w : words) argv.push_back(w.data());
  testing::internal::CaptureStderr();
  int st = printopt_kern(static_cast<int>(argv.size()), argv.data(), 80, 0, 0);
  std::string out = testing::internal::GetCapturedStderr();
  EXPECT_EQ(st, 0);
  EXPECT_EQ(out.rfind("options: -b -q -Tname0", 0), 0u) << out;
  std::string joined;
  size_t start = 0;
  for (size_t nl; (nl = out.find('\n', start)) != std::string::npos; start = nl + 1) {
    EXPECT_LE(nl - start, 80u);
    joined += out.substr(start, nl - start);
  }
  for (size_t i = 1; i < words.size(); ++i) {
    EXPECT_NE(joined.find(" " + words[i]), std::string::npos) << words[i];
  }
}

} // namespace
