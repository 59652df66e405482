// Formatted output, the message catalogue and the process services.
#include <gtest/gtest.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "lib/internal/lib_internal.h"
#include "lib/kern.h"
#include "lib/status.h"
#include "support/support.h"

namespace {

TEST(SprintfKern, CDirectivesWithFlagsWidthAndPrecision) {
  char buf[256];
  struct row {
    std::string got;
    const char *want;
  };
  auto f = [&](auto... args) {
    sprintf_kern(buf, args...);
    return std::string(buf);
  };
  const row rows[] = {
      {f("%s|%c|%u|%d", "ab", 'Z', 4000000000u, -42), "ab|Z|4000000000|-42"},
      {f("%3.3o", 8u), "010"},
      {f("%3.3o", 0377u), "377"},
      {f("%2.2X", 10u), "0A"},
      {f("%2.2X", 255u), "FF"},
      {f("%x %X", 0xbeefu, 0xbeefu), "beef BEEF"},
      {f("[%-16s]", "vt100"), "[vt100           ]"},
      {f("[%16s]", "vt100"), "[           vt100]"},
      {f("[%.3s]", "abcdef"), "[abc]"},
      {f("[%05d]", -42), "[-0042]"},
      {f("[%-5d]", 42), "[42   ]"},
      {f("[%5.3d]", 7), "[  007]"},
      {f("[%3c]", 'x'), "[  x]"},
      {f("%d %d", 0, -2147483647 - 1), "0 -2147483648"},
      {f("%ld", -9000000000L), "-9000000000"},
      {f("100%%"), "100%"},
      {f("%s", static_cast<const char *>(nullptr)), "(null)"},
      {f("%q"), "%q"},
      {f("[%*d]", 4, 1), "[   1]"},
  };
  for (const row &r : rows) EXPECT_EQ(r.got, r.want);
}

TEST(SprintfKern, ProgramDirectivesAndMessageCodes) {
  reset_kern_state();
  ASSERT_EQ(init_kern("xnconfig", 32, 5, 32, 0, 0, 1), 0);
  struct utsname u;
  ASSERT_EQ(uname(&u), 0);
  char buf[256];
  sprintf_kern(buf, "%P %R (%O)");
  EXPECT_EQ(std::string(buf),
            std::string("xnconfig 5.32.1 (") + u.sysname + " " + u.machine + ")");
  sprintf_kern(buf, "%M: %s", MSG_ERROR | ST_NO_FILE, "a.cfi");
  EXPECT_EQ(std::string(buf), "No such file or directory: a.cfi");
  sprintf_kern(buf, "%M%s has been updated.", MSG_INFO, "/x/a.tdi");
  EXPECT_EQ(std::string(buf), "/x/a.tdi has been updated.");
  sprintf_kern(buf, "[%-8M]", MSG_SCREEN);
  EXPECT_EQ(std::string(buf), "[screen  ]");
  sprintf_kern(buf, "%M", 0x3FFFu);
  EXPECT_EQ(std::string(buf), "Message 0x3FFF");
  reset_kern_state();
}

TEST(SprintfKern, TruncatesAt255Characters) {
  char buf[300];
  std::memset(buf, '#', sizeof buf);
  std::string big(400, 'a');
  EXPECT_EQ(sprintf_kern(buf, "%s%s", big.c_str(), "b"), 255);
  EXPECT_EQ(std::string(buf), std::string(255, 'a'));
  EXPECT_EQ(buf[256], '#'); // nothing written past the end mark
  EXPECT_EQ(sprintf_kern(buf, "%5d", 12), 5);
}

TEST(MessageText, EveryStatusAndCodeHasItsText) {
  const int statuses[] = {
      ST_FAILED, ST_NO_FILE, ST_NO_PATH, ST_TOO_MANY_FILES, ST_ACCESS,
      ST_NO_MEMORY, ST_BAD_DATA, ST_WRITE_FAULT, ST_READ_FAULT, ST_DISK_FULL,
      ST_NOT_BUILT, ST_BAD_NAME, ST_BAD_COUNT, ST_NAME_TOO_LONG, ST_BAD_OPTION,
      ST_NO_ARGUMENT, ST_OPT_END, ST_ARG_TOO_LONG, ST_WRONG_KIND,
      ST_NEWER_REVISION, ST_NO_TERMINAL, ST_DECLINED, ST_SCREEN_TOO_BIG};
  for (int st : statuses) {
    std::string as_error = message_text(MSG_ERROR | st);
    EXPECT_FALSE(as_error.empty()) << st;
    EXPECT_EQ(as_error.find("Message 0x"), std::string::npos) << st;
    // Screens show statuses by plain number: same text.
    EXPECT_EQ(std::string(message_text(st)), as_error) << st;
  }
  struct row {
    uint32_t code;
    const char *text;
  };
  const row rows[] = {
      {0x3000, "File is read-only and was not rewritten"},
      {0x3005, "Permission denied"},
      {0x3247, "Target OS type must be UNIX or Windows"},
      {0x335E, "Option -l or -L needs batch mode (-b)"},
      {0x335D, "Option -l or -L cannot be combined with -T or -P"},
      {0x32AD, "Too many file operands"},
      {0x324F, "Options -T and -P cannot be combined in batch mode"},
      {0x3263, "Not a terminal type name (see -h for the list)"},
      {0x324C, "Not a printer type name (see -h)"},
      {0x3053, "Extension not accepted"},
      {0x3376, "Audit option not valid"},
      {0x3008, "Not enough memory"},
      {0x10D, "screen"},
      {0x329D, "Screen too large"},
      {0x4000, ""},
      {0x2000, ""},
      {665, "Loading sections from"},
      {501, "The file cannot be saved; editing declined"},
      {137, "Table size out of range"},
      {242, "End of options"},
      {0x3000 | ST_BAD_OPTION, "Unknown option"},
      {0x3000 | ST_NO_ARGUMENT, "Option requires an argument"},
      {0x3000 | ST_ARG_TOO_LONG, "Option argument longer than 255 bytes"},
      {0x3000 | ST_NO_FILE, "No such file or directory"},
      {0x1234, "Message 0x1234"},
      {0x247, "Message 0x0247"}, // an error code's low bits are no status
  };
  for (const row &r : rows) EXPECT_STREQ(message_text(r.code), r.text) << std::hex << r.code;
}

TEST(StatusFromErrno, MapsTheErrorsOfFileWork) {
  struct row {
    int err, status;
  };
  const row rows[] = {
      {ENOENT, ST_NO_FILE},       {ENOTDIR, ST_NO_PATH},
      {EACCES, ST_ACCESS},        {EPERM, ST_ACCESS},
      {EROFS, ST_ACCESS},         {EISDIR, ST_ACCESS},
      {ENOSPC, ST_DISK_FULL},     {EDQUOT, ST_DISK_FULL},
      {ENAMETOOLONG, ST_NAME_TOO_LONG}, {EMFILE, ST_TOO_MANY_FILES},
      {ENOMEM, ST_NO_MEMORY},     {EIO, ST_WRITE_FAULT},
  };
  for (const row &r : rows) EXPECT_EQ(status_from_errno(r.err), r.status) << r.err;
}

TEST(PrintfKern, QuietSilencesInformationButNeverErrors) {
  reset_kern_state();
  ASSERT_EQ(init_kern("xnconfig", 32, 5, 32, 0, 0, 1), 0);
  struct row {
    bool quiet;
    uint32_t han;
    const char *out, *err;
  };
  const row rows[] = {
      {false, 1, "info 7\n", "xnconfig 5.32.1 (", },
      {true, 1, "", ""},
      {false, 0xFFFF, "", "xnconfig 5.32.1 ("},
  };
  for (const row &r : rows) {
    reset_kern_state();
    ASSERT_EQ(init_kern("xnconfig", 32, 5, 32, 0, 0, 1), 0);
    if (r.quiet) set_quiet_kern();
    proc_output_han_ = r.han;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    printf_stdout_kern("info %d\n", 7);
    put_revision();
    put_revision(); // once per run
    printf_stderr_kern("%M: %s\n", MSG_ERROR | ST_NO_FILE, "x");
    std::string err = testing::internal::GetCapturedStderr();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, r.out);
    EXPECT_EQ(err.rfind(r.err, 0), 0u) << err;
    EXPECT_EQ(err.find("xnconfig 5.32.1", 1), std::string::npos) << err;
    EXPECT_NE(err.find("No such file or directory: x\n"), std::string::npos);
  }
  reset_kern_state();
}

TEST(PrintfTraceKern, NamesSourceLineFunctionAndWord) {
  testing::internal::CaptureStderr();
  printf_trace_kern(9, "cnf_con", 120, "config_con", "SE_INV_ARG");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "trace: cnf_con:120 config_con SE_INV_ARG\n");
}

TEST(ArglistKern, PlacesTheOptionVariableAfterTheProgramName) {
  struct row {
    const char *env; // nullptr: unset
    std::vector<std::string> args, want;
  };
  const row rows[] = {
      {nullptr, {"prog", "-b", "x"}, {"prog", "-b", "x"}},
      {"-q", {"prog", "-b"}, {"prog", "-q", "-b"}},
      {"  -T  vt100\t-q ", {"prog", "f"}, {"prog", "-T", "vt100", "-q", "f"}},
      {"", {"prog"}, {"prog"}},
  };
  for (const row &r : rows) {
    reset_kern_state();
    if (r.env) setenv("XNCONFIG_OPTIONS", r.env, 1);
    else unsetenv("XNCONFIG_OPTIONS");
    std::vector<std::string> words = r.args;
    std::vector<char *> argv;
    for (std::string &w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    int eargc = 0;
    char **eargv = nullptr;
    ASSERT_EQ(arglist_kern(static_cast<int>(words.size()), argv.data(), "xnconfig",
                           &eargc, &eargv), 0);
    std::vector<std::string> got(eargv, eargv + eargc);
    EXPECT_EQ(got, r.want);
    EXPECT_EQ(eargv[eargc], nullptr);
    term_kern();
  }
  unsetenv("XNCONFIG_OPTIONS");
  reset_kern_state();
}

TEST(ProcessServices, StartupStateDesktopAndDelay) {
  reset_kern_state();
  EXPECT_EQ(init_kern("xnconfig", 32, 5, 32, 0, 0, 1), 0);
  EXPECT_EQ(proc_isGUI_, 0);
  EXPECT_EQ(proc_type_, 'C');
  EXPECT_EQ(proc_inConsole_, (isatty(0) && isatty(1)) ? 1 : 0);
  EXPECT_NE(init_kern(nullptr, 0, 0, 0, 0, 0, 0), 0);
  const uint16_t block[12] = {8, 4, 0, 4, 8, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(init_globdata_kern(0), 0);
  EXPECT_EQ(init_fileio_kern(block), 0);

  STARTUPINFOA info{};
  GetStartupInfoA(&info);
  EXPECT_EQ(info.lpDesktop, nullptr);
  set_startup_desktop_kern("Telnet\\Default");
  GetStartupInfoA(&info);
  ASSERT_NE(info.lpDesktop, nullptr);
  EXPECT_STREQ(info.lpDesktop, "Telnet\\Default");
  reset_kern_state();
  GetStartupInfoA(&info);
  EXPECT_EQ(info.lpDesktop, nullptr);

  setenv("XN_KERN_TEST_VAR", "v1", 1);
  EXPECT_STREQ(getenv_kern("XN_KERN_TEST_VAR"), "v1");
  unsetenv("XN_KERN_TEST_VAR");
  EXPECT_EQ(getenv_kern("XN_KERN_TEST_VAR"), nullptr);

  void *p = malloc_kern(0);
  EXPECT_NE(p, nullptr);
  std::free(p);

  auto t0 = std::chrono::steady_clock::now();
  delay_kern(5); // 5 hundredths
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - t0).count();
  EXPECT_GE(ms, 50);
  EXPECT_LT(ms, 2000);
}

} // namespace

namespace {

// docs/messages.md mirrors the catalogue: every "| ... | 0xNNNN | ... | text |"
// row of its tables must give the text the library prints.
TEST(MessageText, DocumentationMatchesTheCatalogue) {
  std::string doc = xntest::read_file(std::string(XN_TEST_DATA) + "/../../docs/messages.md");
  ASSERT_FALSE(doc.empty());
  int rows = 0;
  size_t start = 0;
  for (size_t nl; (nl = doc.find('\n', start)) != std::string::npos; start = nl + 1) {
    std::string line = doc.substr(start, nl - start);
    if (line.rfind("| ", 0) != 0) continue;
    std::vector<std::string> cells;
    size_t s = 1;
    for (size_t bar; (bar = line.find(" |", s)) != std::string::npos; s = bar + 2)
      cells.push_back(line.substr(s + 1, bar - s - 1));
    // The code is the first hexadecimal cell; the text follows the name.
    size_t code_at = 0, name_at = 0;
    while (code_at < cells.size() && cells[code_at].rfind("0x", 0) != 0) ++code_at;
    name_at = code_at;
    while (name_at < cells.size() && cells[name_at].rfind("`", 0) != 0) ++name_at;
    if (name_at + 1 >= cells.size()) continue;
    uint32_t code = static_cast<uint32_t>(std::stoul(cells[code_at], nullptr, 16));
    std::string text = cells[name_at + 1] == "(empty)" ? "" : cells[name_at + 1];
    EXPECT_EQ(std::string(message_text(code)), text) << line;
    ++rows;
  }
  EXPECT_GE(rows, 38);
}

} // namespace
