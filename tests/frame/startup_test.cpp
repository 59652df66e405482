// Start-up's refusal of remote terminal sessions, with an injected process
// state (the runtime is never a GUI process on this system).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "frame/frame.h"
#include "frame_test_util.h"
#include "lib/kern.h"
#include "lib/status.h"
#include "support/support.h"

namespace {

const char *const remote_vars[] = {"RUVURUZIR_MODE", "REMOTEADDRESS", "GT_REMOTE_IP"};

// Clears every trace of a remote session from the process.
struct clean_session {
  clean_session() { clear(); }
  ~clean_session() { clear(); }
  static void clear() {
    for (const char *v : remote_vars)
      unsetenv(v);
    set_startup_desktop_kern(nullptr);
    proc_isGUI_ = 0;
  }
};

struct session_case {
  const char *what;
  uint8_t gui;
  const char *variable; // set to "1" when not null
  const char *desktop;
  int status;
};

TEST(GuiSession, RemoteConnectionsAreRefusedOnlyInGuiProcesses) {
  const session_case cases[] = {
      {"console, nothing remote", 0, nullptr, nullptr, 0},
      {"console ignores the environment", 0, "REMOTEADDRESS", nullptr, 0},
      {"console ignores the desktop", 0, nullptr, "Telnet_Desk", 0},
      {"gui, local desktop", 1, nullptr, "WinSta0\\Default", 0},
      {"gui, no desktop", 1, nullptr, nullptr, 0},
      {"gui, first variable", 1, "RUVURUZIR_MODE", nullptr, 6},
      {"gui, second variable", 1, "REMOTEADDRESS", nullptr, 6},
      {"gui, third variable", 1, "GT_REMOTE_IP", nullptr, 6},
      {"gui, telnet desktop", 1, nullptr, "Telnet0\\Default", 6},
      {"gui, telnet desktop any case", 1, nullptr, "tELNET", 6},
      {"gui, service desktop", 1, nullptr, "Service-0x0-3e7$\\Default", 6},
      {"gui, service any case", 1, nullptr, "SERVICEX", 6},
      {"gui, too short for telnet", 1, nullptr, "Telne", 0},
      {"gui, too short for service", 1, nullptr, "Servic", 0},
      {"gui, telnet inside the name", 1, nullptr, "MyTelnet", 0},
  };
  for (const session_case &c : cases) {
    SCOPED_TRACE(c.what);
    fresh_state();
    clean_session guard;
    proc_isGUI_ = c.gui;
    if (c.variable)
      setenv(c.variable, "1", 1);
    set_startup_desktop_kern(c.desktop);
    testing::internal::CaptureStderr();
    int st = check_gui_session();
    std::string e = testing::internal::GetCapturedStderr();
    EXPECT_EQ(st, c.status);
    if (c.status == 6) {
      EXPECT_EQ(e, message("%M%P must be run from a Windows desktop (GUI mode) "
                           "(detected telnet session)\n",
                           MSG_FATAL));
    } else {
      EXPECT_EQ(e, "");
    }
  }
}

TEST(GuiSession, AuditTrailTakesTheOutputOfAGuiProcess) {
  xntest::TempDir dir;
  clean_session guard;
  // Without a trail the output stays where start-up put it.
  fresh_state();
  proc_isGUI_ = 1;
  proc_output_han_ = 0xFFFF;
  EXPECT_EQ(check_gui_session(), 0);
  EXPECT_EQ(proc_output_han_, 0xFFFFu);
  // With one, the messages go to the trail.
  fresh_state();
  ASSERT_EQ(set_audit_kern(dir.file("audit.log").c_str()), 0);
  ASSERT_TRUE(test_audit_kern());
  proc_isGUI_ = 1;
  proc_output_han_ = 0xFFFF;
  EXPECT_EQ(check_gui_session(), 0);
  EXPECT_EQ(proc_output_han_, get_audit_han_kern());
  // A console process never touches the output handle here.
  proc_isGUI_ = 0;
  proc_output_han_ = 1234;
  EXPECT_EQ(check_gui_session(), 0);
  EXPECT_EQ(proc_output_han_, 1234u);
}

} // namespace
