// The option parser, the three option checks and start-up's refusal of
// remote sessions (with an injected process state: the runtime is never a
// GUI process on this system), run in-process.
#include <gtest/gtest.h>

#include <cstdlib>
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

TEST(ParseOptions, StatusesAndMessages) {
  // clang-format off
  struct parse_case {
    strings args;
    int status;
    strings expected; // lines that must appear on stderr, in this order
  } cases[] = {
      {{"-O", "windows", "-T", "xterm", "-P", "generic", "f.tdi"}, 0, {}},
      {{"-O", "Linux"}, 4, {msg(MSG_BAD_TARGET, ": Linux\n")}},
      {{"-L", "x.ini"}, 4, {msg(MSG_INI_NOT_BATCH)}},
      {{"-b", "-L", "d", "-P", "generic"}, 4, {msg(MSG_INI_WITH_TP)}},
      {{"-b", "-T", "xterm", "f"}, 4, {msg(MSG_OPERANDS)}},
      {{"-b", "-T", "xterm", "-P", "generic"}, 4, {msg(MSG_T_AND_P)}},
      {{"-T"}, 4, {msg(err(ST_NO_ARGUMENT), ": -T\n")}},
      {{"-L", std::string(300, 'x'), "-b"}, 4, {msg(err(ST_ARG_TOO_LONG), ": -L\n")}},
      {{"-h", "-l"}, 7, {}}, // help wins over a bad combination, unreported
      {{"-?", "-x"}, 7, {msg(err(ST_BAD_OPTION), ": -x\n")}},
      {{"-a:load,save"}, 0, {}}, // the audit options use up the word
      {{"-a:none"}, 4, {msg(MSG_BAD_AUDIT, ": none\n")}},
      {{"-x", "-O", "bad", "-l", "a", "b"}, 4, // every error, in scan order
       {msg(err(ST_BAD_OPTION), ": -x\n"), msg(MSG_BAD_TARGET, ": bad\n"), msg(MSG_INI_NOT_BATCH),
        msg(MSG_OPERANDS)}},
  };
  // clang-format on
  for (const parse_case &c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    parse_result r = parse(c.args);
    EXPECT_EQ(r.status, c.status);
    size_t from = 0;
    for (const std::string &line : c.expected) {
      from = r.err.find(line, from);
      ASSERT_NE(from, std::string::npos) << "missing in order: " << line << "stderr:\n" << r.err;
    }
    if (c.expected.empty()) { // at most the revision line, which a clean parse leaves to start-up
      EXPECT_EQ(r.err, c.status == 0 ? "" : r.err.substr(0, r.err.find('\n') + 1));
    }
  }
  // The -O report stands alone; other errors follow the revision line.
  EXPECT_EQ(parse({"-O", "bad"}).err, msg(MSG_BAD_TARGET, ": bad\n"));
  EXPECT_NE(parse({"-l"}).err, msg(MSG_INI_NOT_BATCH));
}

TEST(ParseOptions, FillsRunOptions) {
  ASSERT_EQ(parse({"-b", "-L", "sites/north.ini", "merge.cfi"}).status, 0);
  EXPECT_TRUE(run_opts.batch && run_opts.load_ini);
  EXPECT_STREQ(run_opts.ini_name, "sites/north.ini");
  EXPECT_EQ(run_opts.optind, 4);
  // -l after -L empties the name: the .ini name is derived again.
  ASSERT_EQ(parse({"-b", "-L", "x.ini", "-l"}).status, 0);
  EXPECT_STREQ(run_opts.ini_name, "");
  ASSERT_EQ(parse({"-T", "/usr/share/vt100.tdi", "-P", "generic", "-O", "UNIX"}).status, 0);
  EXPECT_TRUE(run_opts.tdi_given && run_opts.pti_given && run_opts.os_given);
  EXPECT_STREQ(run_opts.tdi_name, "/usr/share/vt100.tdi");
  EXPECT_STREQ(run_opts.pti_name, "generic");
  EXPECT_EQ(run_opts.os_target_code, 2);
  EXPECT_FALSE(run_opts.batch);
  // A second parse starts from cleared options.
  parse({"-b"});
  EXPECT_FALSE(run_opts.load_ini || run_opts.tdi_given || run_opts.os_given);
  EXPECT_EQ(run_opts.tdi_name[0], '\0');
}

// -T and -P names: the folder part and the extension (in any case) are
// dropped; the rest must be a default file name exactly.
TEST(OptionChecks, TerminalAndPrinterNames) {
  auto index_of = [](const char *const *names, int n, const char *stem) {
    for (int i = 0; i < n; ++i)
      if (std::strcmp(names[i], stem) == 0) return i;
    return -1;
  };
  // clang-format off
  struct row {
    char option;
    bool given;
    const char *name;
    const char *stem;     // the default file name it stands for; null: refused
    const char *reported; // the name in the refusal
  } rows[] = {
      {'T', false, "", def_term_filename[11], nullptr},
      {'T', true, "/etc/terms/vt100.TDI", "vt100", nullptr},
      {'T', true, "XTERM", nullptr, "XTERM"},
      {'T', true, "xterm.pti", nullptr, "xterm.pti"},
      {'P', false, "", pti_filename[0], nullptr},
      {'P', true, "/opt/prn/generic.PTI", "generic", nullptr},
      {'P', true, pti_filename[2], pti_filename[2], nullptr},
      {'P', true, "some/dir/nonesuch.pti", nullptr, "nonesuch"},
  };
  // clang-format on
  for (const row &r : rows) {
    SCOPED_TRACE(r.name);
    fresh_state();
    base_terminal = printer_type = 99;
    const bool t = r.option == 'T';
    testing::internal::CaptureStderr();
    EXPECT_EQ(t ? check_term_name(r.given, r.name) : check_printer_name(r.given, r.name),
              r.stem ? 0 : 1);
    std::string e = testing::internal::GetCapturedStderr();
    EXPECT_EQ(
        e, r.stem ? ""
                  : msg(t ? MSG_BAD_TERM : MSG_BAD_PRINTER, std::string(": ") + r.reported + "\n"));
    if (r.stem) {
      EXPECT_EQ(t ? base_terminal : printer_type,
                t ? index_of(def_term_filename, 25, r.stem) : index_of(pti_filename, 3, r.stem));
    }
  }
}

TEST(OptionChecks, TargetOs) {
  struct row {
    bool given;
    uint8_t code, target;
  } rows[] = {{false, 2, 1}, {true, 4, 1}, {true, 2, 0}, {true, 0, 0}};
  for (const row &r : rows) {
    fresh_state();
    target_os = 7;
    std::strcpy(target_os_text, "stale");
    EXPECT_EQ(check_os_target(r.given, r.code), 0);
    EXPECT_EQ(target_os, r.target);
    EXPECT_STREQ(target_os_text, os_target_strs[r.target]);
  }
}

// Clears every trace of a remote session from the process.
struct clean_session {
  clean_session() { clear(); }
  ~clean_session() { clear(); }
  static void clear() {
    for (const char *v : {"RUVURUZIR_MODE", "REMOTEADDRESS", "GT_REMOTE_IP"}) unsetenv(v);
    set_startup_desktop_kern(nullptr);
    proc_isGUI_ = 0;
  }
};

TEST(GuiSession, RemoteConnectionsAreRefusedOnlyInGuiProcesses) {
  // clang-format off
  struct session_case {
    uint8_t gui;
    const char *variable; // set to "1" when not null
    const char *desktop;
    int status;
  } cases[] = {
      {0, "REMOTEADDRESS", "Telnet_Desk", 0}, // a console process ignores both
      {1, nullptr, "WinSta0\\Default", 0},
      {1, "RUVURUZIR_MODE", nullptr, 6},
      {1, "GT_REMOTE_IP", nullptr, 6},
      {1, nullptr, "tELNET0\\Default", 6},
      {1, nullptr, "SERVICE-0x0-3e7$\\Default", 6},
      {1, nullptr, "Telne", 0},
      {1, nullptr, "MyTelnet", 0},
  };
  // clang-format on
  for (const session_case &c : cases) {
    SCOPED_TRACE(std::string(c.variable ? c.variable : "") + " " + (c.desktop ? c.desktop : ""));
    fresh_state();
    clean_session guard;
    proc_isGUI_ = c.gui;
    if (c.variable) setenv(c.variable, "1", 1);
    set_startup_desktop_kern(c.desktop);
    testing::internal::CaptureStderr();
    EXPECT_EQ(check_gui_session(), c.status);
    std::string e = testing::internal::GetCapturedStderr();
    EXPECT_EQ(e.empty(), c.status == 0) << e; // a refusal says why
  }
}

} // namespace
