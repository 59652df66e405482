// Sessions that end by a signal: whatever the signal, the terminal is given
// back, the file is untouched and what was typed (even on the open form,
// mid-field) is in the side file; when the side file cannot go beside the
// file it goes to $HOME and the user is told where.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <sys/stat.h>

#include "e2e/e2e_common.h"
#include "lib/tdi_store.h"

namespace {

using xntest::Key;
using xntest::PtyTerm;
using xntest::TempDir;

constexpr const char *kOriginal = "[file]\nkind = system-configuration\nrevision = "
                                  "2\n\n[system]\ntarget = UNIX\nprocesses = 16\n\n[end]\n";

// Opens `name` (in `dir`), goes to the system parameters and types 43 into
// the number of processes without leaving the field.
void type_on_open_form(PtyTerm &t) {
  ASSERT_TRUE(t.wait_for_text_at(16, 20, "Selection:")) << t.screen_text();
  t.key(Key::Enter);
  ASSERT_TRUE(t.wait_for_text("Number of processes allowed")) << t.screen_text();
  t.key(Key::End);
  for (int i = 0; i < 7; ++i) t.key(Key::Backspace);
  t.type("43");
  ASSERT_TRUE(t.wait_until([&] { return e2e::field_text(t, 2, 30, 5) == "43"; })) << t.row(2);
}

TEST(Signals, EveryTerminatingSignalRestoresTheTerminalAndKeepsTheTypedValue) {
  const int signals[] = {SIGHUP,  SIGTERM, SIGINT,    SIGQUIT, SIGUSR1, SIGUSR2,
                         SIGALRM, SIGPWR,  SIGVTALRM, SIGPROF, SIGIO,   SIGRTMIN};
  for (int sig : signals) {
    SCOPED_TRACE(std::string("signal ") + strsignal(sig));
    TempDir dir;
    ASSERT_TRUE(xntest::write_file(dir.file("system.cfi"), kOriginal));
    {
      PtyTerm t(e2e::program_in(dir, {"system.cfi"}));
      type_on_open_form(t);
      if (::testing::Test::HasFatalFailure()) return;
      t.kill(sig);
      const xntest::ExitInfo e = t.wait_exit();
      ASSERT_FALSE(e.timed_out);
      EXPECT_EQ(e.signal, sig) << "the signal ends the program as it would have";
      std::string diff;
      EXPECT_TRUE(t.tty_modes_restored(&diff)) << diff;
      EXPECT_FALSE(t.alt_screen()) << "left in the alternate screen";
      EXPECT_TRUE(t.contains("Unsaved changes written to")) << t.screen_text();
    }
    EXPECT_EQ(xntest::read_file(dir.file("system.cfi")), kOriginal);
    EXPECT_NE(xntest::read_file(dir.file("system.cfi.save")).find("processes = 43"),
              std::string::npos)
        << xntest::read_file(dir.file("system.cfi.save"));
  }
}

TEST(Signals, AValueHalfTypedOnATableRowReachesTheSideFile) {
  TempDir dir;
  ASSERT_TRUE(xntest::write_file(dir.file("system.cfi"), kOriginal));
  {
    PtyTerm t(e2e::program_in(dir, {"system.cfi"}));
    ASSERT_TRUE(t.wait_for_text_at(16, 20, "Selection:")) << t.screen_text();
    t.key(Key::Down); // item 2, the environment strings
    t.key(Key::Enter);
    ASSERT_TRUE(t.wait_for_text("Environment String Configuration")) << t.screen_text();
    t.key(Key::Enter); // from Enable? to the value of string 0
    t.key(Key::End);
    t.type("X=half");
    ASSERT_TRUE(t.wait_until([&] { return t.row(5).find("X=half") != std::string::npos; }))
        << t.row(5);
    t.kill(SIGHUP);
    ASSERT_FALSE(t.wait_exit().timed_out);
    EXPECT_TRUE(t.tty_modes_restored());
  }
  EXPECT_EQ(xntest::read_file(dir.file("system.cfi")), kOriginal);
  EXPECT_NE(xntest::read_file(dir.file("system.cfi.save")).find("X=half"), std::string::npos)
      << xntest::read_file(dir.file("system.cfi.save"));
}

TEST(Signals, AColourChangedOnTheOpenMapReachesTheSideFile) {
  // The colour screens keep their changes in a copy until they end: a
  // hang-up while one is open must still carry the change to the side file.
  uint32_t h = 0;
  ASSERT_EQ(init_tdi(), 0);
  ASSERT_EQ(open_tdi(&h, TDI_DEFAULT_TYPE), 0);
  tdi_ctrl base{};
  get_ctrl_tdi(h, &base);
  close_tdi(&h);
  const int want = (base.colour_map[0] & ~7) | ((base.colour_map[0] + 1) & 7);
  TempDir dir;
  {
    PtyTerm t(e2e::program_in(dir, {"vt.tdi"}));
    ASSERT_TRUE(t.wait_for_text_at(16, 20, "Selection:")) << t.screen_text();
    t.type("6\r");
    ASSERT_TRUE(t.wait_for_text("Color Attribute Configuration")) << t.screen_text();
    const std::string before = t.row(5);
    t.key(Key::Right); // Normal's foreground one colour on
    ASSERT_TRUE(t.wait_until([&] { return t.row(5) != before; })) << t.row(5);
    t.kill(SIGHUP);
    ASSERT_FALSE(t.wait_exit().timed_out);
    EXPECT_TRUE(t.tty_modes_restored());
  }
  std::string side;
  for (const auto &e : std::filesystem::directory_iterator(dir.path()))
    if (e.path().string().ends_with(".save")) side = xntest::read_file(e.path().string());
  const std::size_t colours = side.find("[colours]");
  ASSERT_NE(colours, std::string::npos) << side;
  EXPECT_NE(side.find("\n0 = " + std::to_string(want) + "\n", colours), std::string::npos) << side;
}

// Where the side file cannot be made beside the file (here a folder stands
// in its name), it goes to $HOME under the same simple name.
TEST(Signals, SideFileFallsBackToHome) {
  TempDir dir;
  ASSERT_EQ(mkdir(dir.file("home").c_str(), 0700), 0);
  ASSERT_EQ(mkdir(dir.file("system.cfi.save").c_str(), 0700), 0);
  ASSERT_TRUE(xntest::write_file(dir.file("system.cfi"), kOriginal));
  xntest::PtyOptions o = e2e::program_in(dir, {"system.cfi"});
  o.env[0] = "HOME=" + dir.file("home");
  {
    PtyTerm t(o);
    type_on_open_form(t);
    if (::testing::Test::HasFatalFailure()) return;
    t.kill(SIGHUP);
    ASSERT_FALSE(t.wait_exit().timed_out);
    // The name may run onto the next row of the screen.
    std::string screen = t.screen_text();
    std::erase(screen, '\n');
    EXPECT_NE(screen.find("Unsaved changes written to: " + dir.file("home/system.cfi.save")),
              std::string::npos)
        << t.screen_text();
  }
  EXPECT_EQ(xntest::read_file(dir.file("system.cfi")), kOriginal);
  EXPECT_NE(xntest::read_file(dir.file("home/system.cfi.save")).find("processes = 43"),
            std::string::npos);
}

// A save past the file-size limit used to end the program by SIGXFSZ with
// the terminal left raw; now the save fails with a message and the editor
// goes on.
TEST(Signals, SaveBeyondTheFileSizeLimitIsReportedOnTheScreen) {
  TempDir dir;
  std::string big = kOriginal;
  big.resize(big.size() - 6); // before "[end]\n"
  for (int i = 0; i < 400; ++i)
    big += "[string " + std::to_string(i) + "]\nenabled = yes\nvalue = VALUE_" + std::to_string(i) +
           "\n\n";
  big += "[end]\n";
  big.replace(big.find("processes = 16"), 14, "processes = 16\nenv-strings = 400");
  ASSERT_TRUE(xntest::write_file(dir.file("system.cfi"), big));
  xntest::PtyOptions o = e2e::program_in(dir);
  o.program = "/bin/sh";
  o.args = {"-c", "ulimit -f 8 && exec \"$0\" system.cfi", xntest::xn_binary()};
  PtyTerm t(o);
  ASSERT_TRUE(t.wait_for_text_at(16, 20, "Selection:")) << t.screen_text();
  for (int i = 1; i < 9; ++i) t.key(Key::Down);
  t.key(Key::Enter);
  ASSERT_TRUE(t.wait_for_text_at(20, 1, "Save(d) file: ")) << t.screen_text();
  t.key(Key::Enter);
  ASSERT_TRUE(t.wait_for_text("Do you wish to replace the existing configuration file?"))
      << t.screen_text();
  t.type("y");
  EXPECT_TRUE(t.wait_for_text("No space left on the device")) << t.screen_text();
  t.key(Key::Esc);
  ASSERT_TRUE(t.wait_for_text_at(16, 20, "Selection:")) << t.screen_text();
  t.key(Key::Esc);
  const xntest::ExitInfo e = t.wait_exit();
  EXPECT_TRUE(e.exited) << "ended by signal " << e.signal;
  EXPECT_TRUE(t.tty_modes_restored());
  EXPECT_EQ(xntest::read_file(dir.file("system.cfi")), big);
  EXPECT_FALSE(xntest::file_exists(dir.file("system.cfi~")));
}

} // namespace
