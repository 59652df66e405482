// The test harness itself, proven on ordinary commands, so that an
// end-to-end test cannot pass because the harness misses what it checks.
#include <gtest/gtest.h>

#include <csignal>
#include <string>

#include "support/pty_term.h"
#include "support/support.h"

namespace {

TEST(RunProgram, ReportsStatusSignalOutputAndTimeout) {
  // clang-format off
    struct Case {
        const char* script;
        int status, signal;
        bool timed_out;
        const char* out;
    } cases[] = {
        {"echo out; echo err >&2; exit 3", 3, 0, false, "out\n"},
        // No terminal on any of the three: stdin is /dev/null.
        {"cat; test -t 0 || test -t 1 || test -t 2 || echo notty", 0, 0, false, "notty\n"},
        {"exec sleep 30", -1, SIGKILL, true, ""},
    };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(c.script);
    xntest::RunOptions o;
    o.program = "/bin/sh";
    o.args = {"-c", c.script};
    o.timeout_ms = 300;
    auto r = xntest::run_program(o);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.signal, c.signal);
    EXPECT_EQ(r.timed_out, c.timed_out);
    EXPECT_EQ(r.out, c.out);
  }
}

// The checks of the end-to-end tests: modes left changed, the alternate
// screen, and the byte count.
TEST(PtyTerm, SeesModesScreensAndBytes) {
  // clang-format off
    struct Case {
        const char* script;
        const char* diff;
        bool alt, alt_used;
    } cases[] = {
        {"printf 'ab\\033[1mC'; echo ready", "", false, false},
        {"stty -icanon -echo; echo ready", "ICANON ECHO ", false, false},
        {"tput smcup; echo ready", "", true, true},
        {"tput smcup; tput rmcup; echo ready", "", false, true},
    };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(c.script);
    xntest::PtyOptions o;
    o.program = "/bin/sh";
    o.args = {"-c", c.script};
    xntest::PtyTerm t(o);
    ASSERT_TRUE(t.wait_for_text("ready"));
    auto e = t.wait_exit();
    ASSERT_TRUE(e.exited);
    std::string diff = "?";
    EXPECT_EQ(t.tty_modes_restored(&diff), *c.diff == '\0');
    EXPECT_EQ(diff, c.diff);
    EXPECT_EQ(t.alt_screen(), c.alt);
    EXPECT_EQ(t.alt_screen_used(), c.alt_used);
    if (c.script[0] == 'p') {
      EXPECT_EQ(t.row(0), "abCready");
      EXPECT_EQ(t.bytes_read(), 2u + 4u + 1u + 7u); // "ready\r\n" after ONLCR
    }
  }
}

} // namespace
