// The option parser and the three option checks, run in-process.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "frame/frame.h"
#include "frame_test_util.h"
#include "lib/kern.h"
#include "lib/status.h"
#include "lib/strs.h"

namespace {

using strings = std::vector<std::string>;

uint32_t err(int st) { return static_cast<uint32_t>(st) | MSG_ERROR; }

// Each row: the arguments, the parse status, the message lines that must
// appear (in this order) and lines that must not.
struct parse_case {
  const char *what;
  strings args;
  int status;
  strings expected;
  strings absent;
};

TEST(ParseOptions, StatusesAndMessages) {
  const std::string long_arg(300, 'x');
  const parse_case cases[] = {
      {"no options", {}, 0, {}, {}},
      {"operand alone", {"system.cfi"}, 0, {}, {}},
      {"batch with one operand", {"-b", "a.cfi"}, 0, {}, {}},
      {"-O in lower case", {"-O", "unix"}, 0, {}, {}},
      {"-O mixed case", {"-O", "wInDoWs"}, 0, {}, {}},
      {"-O unknown", {"-O", "Linux"}, 4, {message("%M: %s\n", MSG_BAD_TARGET, "Linux")}, {}},
      {"-l without -b", {"-l"}, 4, {message("%M\n", MSG_INI_NOT_BATCH)}, {}},
      {"-L without -b", {"-L", "x.ini"}, 4, {message("%M\n", MSG_INI_NOT_BATCH)}, {}},
      {"-l with -T", {"-b", "-l", "-T", "xterm"}, 4, {message("%M\n", MSG_INI_WITH_TP)}, {}},
      {"-L with -P", {"-b", "-L", "d", "-P", "generic"}, 4, {message("%M\n", MSG_INI_WITH_TP)}, {}},
      {"two operands", {"a.cfi", "b.cfi"}, 4, {message("%M\n", MSG_OPERANDS)}, {}},
      {"two operands in batch", {"-b", "a", "b"}, 4, {message("%M\n", MSG_OPERANDS)}, {}},
      {"batch -T with operand", {"-b", "-T", "xterm", "f"}, 4, {message("%M\n", MSG_OPERANDS)}, {}},
      {"batch -P with operand", {"-b", "-P", "generic", "f"}, 4, {message("%M\n", MSG_OPERANDS)}, {}},
      {"-T with operand, no batch", {"-T", "xterm", "f.tdi"}, 0, {}, {}},
      {"batch -T and -P", {"-b", "-T", "xterm", "-P", "generic"}, 4, {message("%M\n", MSG_T_AND_P)}, {}},
      {"-T and -P without batch", {"-T", "xterm", "-P", "generic"}, 0, {}, {}},
      {"unknown letter", {"-x"}, 4, {message("%M: -%c\n", err(ST_BAD_OPTION), 'x')}, {}},
      {"missing argument", {"-T"}, 4, {message("%M: -%c\n", err(ST_NO_ARGUMENT), 'T')}, {}},
      {"over-long argument", {"-L", long_arg, "-b"}, 4, {message("%M: -%c\n", err(ST_ARG_TOO_LONG), 'L')}, {}},
      {"help", {"-h"}, 7, {}, {}},
      {"help with a bad combination", {"-h", "-l"}, 7, {}, {message("%M\n", MSG_INI_NOT_BATCH)}},
      {"help with a bad letter", {"-?", "-x"}, 7, {message("%M: -%c\n", err(ST_BAD_OPTION), 'x')}, {}},
      {"every error reported in scan order",
       {"-x", "-O", "bad", "-l", "a", "b"},
       4,
       {message("%M: -%c\n", err(ST_BAD_OPTION), 'x'), message("%M: %s\n", MSG_BAD_TARGET, "bad"),
        message("%M\n", MSG_INI_NOT_BATCH), message("%M\n", MSG_OPERANDS)},
       {}},
  };
  for (const parse_case &c : cases) {
    SCOPED_TRACE(c.what);
    parse_result r = parse(c.args);
    EXPECT_EQ(r.status, c.status);
    size_t from = 0;
    for (const std::string &line : c.expected) {
      size_t at = r.err.find(line, from);
      EXPECT_NE(at, std::string::npos) << "missing in order: " << line << "\nstderr:\n" << r.err;
      if (at != std::string::npos)
        from = at + line.size();
    }
    for (const std::string &line : c.absent) {
      EXPECT_EQ(r.err.find(line), std::string::npos) << line;
    }
    // A clean parse says nothing: the revision line comes later, at start-up.
    if (c.status == 0) {
      EXPECT_EQ(r.err, "");
    }
  }
}

TEST(ParseOptions, FillsRunOptions) {
  parse_result r = parse({"-b", "-L", "sites/north.ini", "merge.cfi"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(run_opts.batch);
  EXPECT_TRUE(run_opts.load_ini);
  EXPECT_STREQ(run_opts.ini_name, "sites/north.ini");
  EXPECT_EQ(run_opts.optind, 4);

  // -l after -L empties the name: the .ini name is derived again.
  r = parse({"-b", "-L", "x.ini", "-l"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(run_opts.load_ini);
  EXPECT_STREQ(run_opts.ini_name, "");

  r = parse({"-T", "/usr/share/terms/vt100.tdi", "-P", "generic", "-O", "UNIX"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(run_opts.tdi_given);
  EXPECT_STREQ(run_opts.tdi_name, "/usr/share/terms/vt100.tdi");
  EXPECT_TRUE(run_opts.pti_given);
  EXPECT_STREQ(run_opts.pti_name, "generic");
  EXPECT_TRUE(run_opts.os_given);
  EXPECT_EQ(run_opts.os_target_code, 2);
  EXPECT_FALSE(run_opts.batch);

  r = parse({"-O", "windows"});
  EXPECT_EQ(run_opts.os_target_code, 4);
  r = parse({"-O", "VMS"});
  EXPECT_EQ(run_opts.os_target_code, 0);
  EXPECT_FALSE(run_opts.os_given);

  // A second parse starts from cleared options.
  r = parse({"-b"});
  EXPECT_FALSE(run_opts.load_ini);
  EXPECT_FALSE(run_opts.tdi_given);
  EXPECT_EQ(run_opts.tdi_name[0], '\0');
}

TEST(ParseOptions, RevisionLineOnlyBeforeTheRightReports) {
  // The -O report stands alone; other errors are preceded by the revision.
  parse_result r = parse({"-O", "bad"});
  EXPECT_EQ(r.err, message("%M: %s\n", MSG_BAD_TARGET, "bad"));
  r = parse({"-l"});
  EXPECT_NE(r.err, message("%M\n", MSG_INI_NOT_BATCH));
  EXPECT_NE(r.err.find(message("%M\n", MSG_INI_NOT_BATCH)), std::string::npos);
}

TEST(ParseOptions, QuietHoldsAfterErrorsAndHelp) {
  for (const strings &args : {strings{"-q", "-l"}, strings{"-q", "-h"}, strings{"-q", "-b"}}) {
    SCOPED_TRACE(args[1]);
    parse_result r = parse(args);
    testing::internal::CaptureStdout();
    printf_stdout_kern("information\n");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  }
  parse({"-b"});
  testing::internal::CaptureStdout();
  printf_stdout_kern("information\n");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "information\n");
}

int term_index(const char *name) {
  for (int i = 0; i < 25; ++i)
    if (std::strcmp(def_term_filename[i], name) == 0)
      return i;
  return -1;
}

TEST(OptionChecks, TerminalName) {
  const int xterm = term_index("xterm");
  const int vt100 = term_index("vt100");
  ASSERT_GE(xterm, 0);
  ASSERT_GE(vt100, 0);
  struct row {
    bool given;
    const char *name;
    int result;
    int base;
  } rows[] = {
      {false, "", 0, 11},
      {true, "xterm", 0, xterm},
      {true, "xterm.tdi", 0, xterm},
      {true, "xterm.TDI", 0, xterm},
      {true, "/etc/terms/vt100.tdi", 0, vt100},
      {true, "sub/dir/vt100", 0, vt100},
      {true, "XTERM", 1, -1},
      {true, "xterm.pti", 1, -1},
      {true, "nonesuch", 1, -1},
      {true, "", 1, -1},
  };
  for (const row &r : rows) {
    SCOPED_TRACE(r.name);
    fresh_state();
    base_terminal = 99;
    testing::internal::CaptureStderr();
    EXPECT_EQ(check_term_name(r.given, r.name), r.result);
    std::string e = testing::internal::GetCapturedStderr();
    if (r.result == 0) {
      EXPECT_EQ(base_terminal, r.base);
      EXPECT_EQ(e, "");
    } else {
      EXPECT_EQ(e, message("%M: %s\n", MSG_BAD_TERM, r.name));
    }
  }
}

TEST(OptionChecks, PrinterName) {
  struct row {
    bool given;
    const char *name;
    int result;
    const char *reported; // the stripped name in the message
  } rows[] = {
      {false, "", 0, nullptr},
      {true, "generic", 0, nullptr},
      {true, "generic.pti", 0, nullptr},
      {true, "/opt/prn/generic.PTI", 0, nullptr},
      {true, "nonesuch", 1, "nonesuch"},
      {true, "some/dir/nonesuch.pti", 1, "nonesuch"},
  };
  for (const row &r : rows) {
    SCOPED_TRACE(r.name);
    fresh_state();
    printer_type = 77;
    testing::internal::CaptureStderr();
    EXPECT_EQ(check_printer_name(r.given, r.name), r.result);
    std::string e = testing::internal::GetCapturedStderr();
    if (r.result == 0) {
      EXPECT_EQ(printer_type, 0) << "generic is printer type 0";
      EXPECT_EQ(e, "");
    } else {
      EXPECT_EQ(e, message("%M: %s\n", MSG_BAD_PRINTER, r.reported));
    }
  }
  // Every printer type is found by its own default file name.
  for (uint8_t i = 0; i < 3; ++i) {
    fresh_state();
    ASSERT_EQ(check_printer_name(true, pti_filename[i]), 0) << pti_filename[i];
    EXPECT_EQ(printer_type, i);
  }
}

TEST(OptionChecks, TargetOs) {
  struct row {
    bool given;
    uint8_t code;
    uint8_t target;
  } rows[] = {{false, 0, 1}, {false, 2, 1}, {true, 4, 1}, {true, 2, 0}, {true, 0, 0}};
  for (const row &r : rows) {
    fresh_state();
    target_os = 7;
    std::strcpy(target_os_text, "stale");
    EXPECT_EQ(check_os_target(r.given, r.code), 0);
    EXPECT_EQ(target_os, r.target);
    EXPECT_STREQ(target_os_text, os_target_strs[r.target]);
  }
}

} // namespace
