// Start-up and end of the program: the runtime library's life cycle around
// the option parser and the dispatcher, and the exit status.
#include <cstdint>
#include <strings.h>

#include "frame/frame.h"
#include "lib/kern.h"
#include "lib/status.h"

namespace {

// Environment variables that remote-session hosts set, tested in this order.
constexpr const char *REMOTE_VARIABLES[] = {"RUVURUZIR_MODE", "REMOTEADDRESS", "GT_REMOTE_IP"};

// Desktops of remote or service sessions; only the prefix is compared.
bool remote_desktop(const char *desktop) {
  if (desktop == nullptr) return false;
  return strncasecmp(desktop, "Telnet", 6) == 0 || strncasecmp(desktop, "Service", 7) == 0;
}

int print_options_if_needed(int argc, int eargc, char **eargv) {
  if (eargc == argc && proc_type_ != 'D') return 0;
  int st = printopt_kern(eargc, eargv, 80, 0, 0);
  if (st > 0) {
    printf_stderr_kern("%M\n", static_cast<uint32_t>(st) | MSG_ERROR);
    return 6;
  }
  return 0;
}

} // namespace

bool remote_terminal_detected() {
  for (const char *name : REMOTE_VARIABLES)
    if (getenv_kern(name) != nullptr) return true;
  STARTUPINFOA info{};
  info.cb = sizeof info;
  GetStartupInfoA(&info);
  return remote_desktop(info.lpDesktop);
}

int check_gui_session() {
  // A console runtime has its own terminal: nothing to refuse.
  if (proc_isGUI_ == 0) return 0;
  if (test_audit_kern()) proc_output_han_ = get_audit_han_kern();
  if (!remote_terminal_detected()) return 0;
  printf_stderr_kern("%M%P must be run from a Windows desktop (GUI mode) "
                     "(detected telnet session)\n",
                     MSG_FATAL);
  return 6;
}

int startup(int argc, char **argv, int *eargc, char ***eargv) {
  if (init_kern("xnconfig", 32, 5, 32, 0, 0, 1) != 0) return 6;
  int st = arglist_kern(argc, argv, "xnconfig", eargc, eargv);
  if (st > 0) {
    printf_stderr_kern("%M\n", static_cast<uint32_t>(st) | MSG_ERROR);
    return 6;
  }
  // A GUI process has no standard output of its own.
  if (proc_isGUI_ != 0) proc_output_han_ = 0xFFFF;
  st = parse_options(*eargc, *eargv);
  if (st != 0 || run_opts.version_only) return st;
  put_revision();
  if (check_gui_session() != 0) return 6;
  if (print_options_if_needed(argc, *eargc, *eargv) != 0) return 6;
  if (init_globdata_kern(0) != 0) return 6;
  static const uint16_t fileio_params[12] = {8, 4, 0, 4, 8, 0, 0, 0, 0, 0, 0, 0};
  if (init_fileio_kern(fileio_params) != 0) return 6;
  return 0;
}

int run_program(int argc, char **argv) {
  int eargc = argc;
  char **eargv = argv;
  int status = startup(argc, argv, &eargc, &eargv);
  if (status == 0 && !run_opts.version_only) status = dispatch(eargc, eargv);
  // The library is ended in this order on every path, failed start-up too.
  do_cleanup_kern();
  put_finished();
  term_kern();
  return status;
}
