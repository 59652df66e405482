// Formatted output, the message catalogue and the process services.
#include <gtest/gtest.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "lib/internal/lib_internal.h"
#include "lib/kern.h"
#include "lib/status.h"

namespace {

TEST(SprintfKern, CDirectivesAndProgramDirectives) {
  reset_kern_state();
  ASSERT_EQ(init_kern("xnconfig", 32, 5, 32, 0, 0, 1), 0);
  struct utsname u;
  ASSERT_EQ(uname(&u), 0);
  char buf[300];
  auto f = [&](auto... args) {
    sprintf_kern(buf, args...);
    return std::string(buf);
  };
  // clang-format off
  const std::pair<std::string, std::string> rows[] = {
      {f("%s|%c|%u|%d|%ld", "ab", 'Z', 4000000000u, -2147483647 - 1, -9000000000L),
       "ab|Z|4000000000|-2147483648|-9000000000"},
      {f("%3.3o %2.2X %x", 8u, 10u, 0xbeefu), "010 0A beef"},
      {f("[%-6s][%6s][%.3s]", "vt1", "vt1", "abcdef"), "[vt1   ][   vt1][abc]"},
      {f("[%05d][%-5d][%5.3d][%*d]", -42, 42, 7, 4, 1), "[-0042][42   ][  007][   1]"},
      {f("100%% %q %s", static_cast<const char *>(nullptr)), "100% %q (null)"},
      {f("%P %R (%O)"), std::string("xnconfig 5.32.1 (") + u.sysname + " " + u.machine + ")"},
      {f("%M: %s", MSG_ERROR | ST_NO_FILE, "a.cfi"), "No such file or directory: a.cfi"},
      {f("%M%s has been updated.", MSG_INFO, "/x/a.tdi"), "/x/a.tdi has been updated."},
      {f("[%-8M]", MSG_SCREEN), "[screen  ]"},
      {f("%M|%M", 0x1234u, 0x247u), "Message 0x1234|Message 0x0247"}, // 0x247: not a status
  };
  // clang-format on
  for (const auto &[got, want] : rows) EXPECT_EQ(got, want);
  // At most 255 characters, nothing written past the end mark.
  std::memset(buf, '#', sizeof buf);
  EXPECT_EQ(sprintf_kern(buf, "%s%s", std::string(400, 'a').c_str(), "b"), 255);
  EXPECT_EQ(std::string(buf), std::string(255, 'a'));
  EXPECT_EQ(buf[256], '#');
  reset_kern_state();
}

TEST(MessageText, EveryStatusAndCodeHasItsOwnText) {
  for (int st :
       {ST_FAILED,      ST_NO_FILE,  ST_NO_PATH,       ST_TOO_MANY_FILES, ST_ACCESS,
        ST_NO_MEMORY,   ST_BAD_DATA, ST_WRITE_FAULT,   ST_READ_FAULT,     ST_DISK_FULL,
        ST_NOT_BUILT,   ST_BAD_NAME, ST_BAD_COUNT,     ST_NAME_TOO_LONG,  ST_BAD_OPTION,
        ST_NO_ARGUMENT, ST_OPT_END,  ST_ARG_TOO_LONG,  ST_WRONG_KIND,     ST_NEWER_REVISION,
        ST_NO_TERMINAL, ST_DECLINED, ST_SCREEN_TOO_BIG}) {
    std::string as_error = message_text(MSG_ERROR | st);
    EXPECT_EQ(as_error.find("Message 0x"), std::string::npos) << st;
    EXPECT_EQ(std::string(message_text(st)), as_error) << st; // screens show plain numbers
  }
  for (uint32_t code :
       {MSG_BAD_TARGET, MSG_INI_NOT_BATCH, MSG_INI_WITH_TP, MSG_OPERANDS, MSG_T_AND_P, MSG_BAD_TERM,
        MSG_BAD_PRINTER, MSG_BAD_EXT, MSG_BAD_AUDIT, MSG_NOT_UPDATED, MSG_LOADING_INI}) {
    EXPECT_GT(std::strlen(message_text(code)), 0u) << std::hex << code;
    EXPECT_EQ(std::string(message_text(code)).find("Message 0x"), std::string::npos)
        << std::hex << code;
  }
}

TEST(PrintfKern, QuietSilencesInformationButNeverErrors) {
  struct row {
    bool quiet;
    uint32_t han;
    const char *out, *err_start;
  };
  const row rows[] = {{false, 1, "info 7\n", "xnconfig 5.32.1 ("},
                      {true, 1, "", ""},
                      {false, 0xFFFF, "", "xnconfig"}};
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
    EXPECT_EQ(testing::internal::GetCapturedStdout(), r.out);
    EXPECT_EQ(err.rfind(r.err_start, 0), 0u) << err;
    EXPECT_EQ(err.find("xnconfig", 1), std::string::npos) << err;
    EXPECT_NE(err.find("No such file or directory: x\n"), std::string::npos);
  }
  testing::internal::CaptureStderr();
  printf_trace_kern(9, "cnf_con", 120, "config_con", "SE_INV_ARG");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "trace: cnf_con:120 config_con SE_INV_ARG\n");
  reset_kern_state();
}

TEST(ProcessServices, StartupStateAndItsReset) {
  reset_kern_state();
  EXPECT_NE(init_kern(nullptr, 0, 0, 0, 0, 0, 0), 0);
  EXPECT_EQ(init_kern("xnconfig", 32, 5, 32, 0, 0, 1), 0);
  EXPECT_EQ(proc_isGUI_, 0); // never on UNIX
  EXPECT_EQ(proc_inConsole_, (isatty(0) && isatty(1)) ? 1 : 0);
  // Tests inject the desktop name the Windows start-up steps read; a reset forgets it.
  STARTUPINFOA info{};
  set_startup_desktop_kern("Telnet\\Default");
  reset_kern_state();
  GetStartupInfoA(&info);
  EXPECT_EQ(info.lpDesktop, nullptr);
}

} // namespace
