// The test harness itself, proven on ordinary commands so that a failing
// end-to-end test points at the program, not at the harness.
#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <vector>

#include <unistd.h>

#include "support/pty_term.h"
#include "support/support.h"

namespace {

using xntest::Key;
using xntest::PtyOptions;
using xntest::PtyTerm;

PtyOptions shell(const std::string& script, int rows = 24, int cols = 80) {
    PtyOptions o;
    o.program = "/bin/sh";
    o.args = {"-c", script};
    o.rows = rows;
    o.cols = cols;
    return o;
}

TEST(Files, TempDirIsFreshAndRemovedWithItsContents) {
    std::string path;
    {
        xntest::TempDir dir;
        path = dir.path();
        ASSERT_FALSE(path.empty());
        ASSERT_TRUE(xntest::file_exists(path));
        // Binary data with NULs and no final newline survives a round trip.
        const std::string data("a\0b\r\n\xff", 6);
        ASSERT_TRUE(xntest::write_file(dir.file("x.bin"), data));
        EXPECT_EQ(xntest::read_file(dir.file("x.bin")), data);
        // A second folder is a different one.
        xntest::TempDir other;
        EXPECT_NE(other.path(), path);
    }
    EXPECT_FALSE(xntest::file_exists(path));
    std::string out = "stale";
    EXPECT_FALSE(xntest::read_file(path + "/x.bin", out));
    EXPECT_EQ(out, "");
    EXPECT_FALSE(xntest::write_file("/nonexistent-folder/x", "a"));
}

TEST(RunProgram, ReportsStatusSignalOutputAndTimeout) {
    xntest::TempDir dir;
    struct Case {
        const char* script;
        int status;
        int signal;
        bool timed_out;
        const char* out;
        const char* err;
    } cases[] = {
        {"echo out; echo err >&2; exit 3", 3, 0, false, "out\n", "err\n"},
        {"kill -TERM $$", -1, SIGTERM, false, "", ""},
        // stdin is /dev/null: cat ends at once instead of waiting.
        {"cat; echo done", 0, 0, false, "done\n", ""},
        // No terminal at all on any of the three.
        {"test -t 0 || test -t 1 || test -t 2 || echo notty", 0, 0, false, "notty\n", ""},
        {"exec sleep 30", -1, SIGKILL, true, "", ""},
    };
    for (const auto& c : cases) {
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
        EXPECT_EQ(r.err, c.err);
    }
}

TEST(RunProgram, AppliesFolderEnvironmentAndIdentity) {
    xntest::TempDir dir;
    dir.share();
    setenv("XNTEST_INHERITED", "yes", 1);
    xntest::RunOptions o;
    o.program = "/bin/sh";
    o.args = {"-c", "pwd; echo ${XNTEST_SET-unset} ${XNTEST_INHERITED-unset}; id -u"};
    o.cwd = dir.path();
    o.env = {"XNTEST_SET=1", "XNTEST_INHERITED"};
    o.as_nobody = true;
    auto r = xntest::run_program(o);
    unsetenv("XNTEST_INHERITED");
    ASSERT_EQ(r.status, 0) << r.err;
    char real[4096];
    ASSERT_NE(realpath(dir.path().c_str(), real), nullptr);
    std::string uid = geteuid() == 0 ? "" : std::to_string(geteuid());
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), real);
    EXPECT_NE(r.out.find("\n1 unset\n"), std::string::npos) << r.out;
    if (geteuid() == 0) {
        EXPECT_EQ(r.out.find("\n0\n"), std::string::npos) << "still root: " << r.out;
    } else {
        EXPECT_NE(r.out.find("\n" + uid + "\n"), std::string::npos) << r.out;
    }
}

TEST(PtyTerm, ShowsTextAtPositionsAndTakesInput) {
    PtyTerm t(shell("printf '\\033[2J\\033[5;10HXY'; read x; printf '\\033[1;1Hgot %s' \"$x\"; exit 4"));
    ASSERT_TRUE(t.started());
    ASSERT_TRUE(t.wait_for_text_at(4, 9, "XY")) << t.screen_text();
    EXPECT_EQ(t.row(4), "         XY");
    EXPECT_EQ(t.cursor().row, 4);
    EXPECT_EQ(t.cursor().col, 11);
    EXPECT_EQ(t.row(99), "");
    t.type("abc");
    t.key(Key::Enter);
    ASSERT_TRUE(t.wait_for_text_at(0, 0, "got abc")) << t.screen_text();
    auto e = t.wait_exit();
    EXPECT_TRUE(e.exited);
    EXPECT_EQ(e.status, 4);
}

TEST(PtyTerm, CountsBytesAndReadsAttributes) {
    PtyTerm t(shell("printf 'ab\\033[1;7mC\\033[0mD'; read x"));
    ASSERT_TRUE(t.wait_for_text("abCD"));
    // 2 + 6 (bold, reverse) + 1 + 4 (reset) + 1
    EXPECT_EQ(t.bytes_read(), 14u);
    EXPECT_FALSE(t.cell(0, 0).bold);
    EXPECT_TRUE(t.cell(0, 2).bold);
    EXPECT_TRUE(t.cell(0, 2).reverse);
    EXPECT_EQ(t.cell(0, 2).text, "C");
    EXPECT_FALSE(t.cell(0, 3).reverse);
    t.kill(SIGKILL);
    EXPECT_EQ(t.wait_exit().signal, SIGKILL);
}

// Each key must arrive as an xterm sends it in normal cursor mode.
TEST(PtyTerm, SendsKeysAsXtermDoes) {
    struct Case {
        Key key;
        const char* hex;
    } cases[] = {
        {Key::Enter, "0d"},          {Key::Esc, "1b"},
        {Key::Up, "1b5b41"},         {Key::Down, "1b5b42"},
        {Key::Right, "1b5b43"},      {Key::Left, "1b5b44"},
        {Key::Tab, "09"},            {Key::BackTab, "1b5b5a"},
        {Key::F1, "1b4f50"},         {Key::F2, "1b4f51"},
        {Key::F3, "1b4f52"},         {Key::F4, "1b4f53"},
        {Key::F5, "1b5b31357e"},     {Key::F6, "1b5b31377e"},
        {Key::PageUp, "1b5b357e"},   {Key::PageDown, "1b5b367e"},
        {Key::Backspace, "7f"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hex);
        std::string n = std::to_string(std::string(c.hex).size() / 2);
        PtyTerm t(shell("stty raw -echo; echo ready; head -c " + n +
                        " | od -An -tx1 | tr -d ' \\n'; printf '.'"));
        ASSERT_TRUE(t.wait_for_text("ready"));
        t.key(c.key);
        ASSERT_TRUE(t.wait_for_text(std::string(c.hex) + ".")) << t.screen_text();
    }
}

TEST(PtyTerm, ResizeSignalsTheChild) {
    PtyTerm t(shell("trap 'stty size; exit 0' WINCH; stty size; while :; do sleep 0.01; done", 24, 80));
    ASSERT_TRUE(t.wait_for_text("24 80"));
    t.resize(20, 70);
    EXPECT_EQ(t.rows(), 20);
    EXPECT_EQ(t.cols(), 70);
    ASSERT_TRUE(t.wait_for_text("20 70")) << t.screen_text();
    EXPECT_EQ(t.wait_exit().status, 0);
}

TEST(PtyTerm, DetectsModesLeftChangedAndTheAlternateScreen) {
    struct Case {
        const char* script;
        bool restored;
        const char* diff;
        bool alt;
    } cases[] = {
        {"echo ready", true, "", false},
        {"stty -icanon -echo; echo ready", false, "ICANON ECHO ", false},
        {"stty raw -echo; stty -raw echo; echo ready", true, "", false},
        {"tput smcup; echo ready", true, "", true},
        {"tput smcup; tput rmcup; echo ready", true, "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        PtyTerm t(shell(c.script));
        ASSERT_TRUE(t.wait_for_text("ready"));
        auto e = t.wait_exit();
        ASSERT_TRUE(e.exited);
        std::string diff = "?";
        EXPECT_EQ(t.tty_modes_restored(&diff), c.restored);
        EXPECT_EQ(diff, c.diff);
        EXPECT_EQ(t.alt_screen(), c.alt);
        EXPECT_EQ(t.alt_screen_used(), std::string(c.script).find("smcup") != std::string::npos);
    }
}

TEST(PtyTerm, WaitsAreBoundedAndKillEnds) {
    PtyTerm t(shell("echo ready; exec cat"));
    ASSERT_TRUE(t.wait_for_text("ready"));
    EXPECT_FALSE(t.wait_for_text("never shown", 100));
    EXPECT_TRUE(t.wait_exit(100).timed_out);
    t.kill(SIGTERM);
    auto e = t.wait_exit();
    EXPECT_FALSE(e.exited);
    EXPECT_EQ(e.signal, SIGTERM);
}

}  // namespace
