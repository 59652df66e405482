// Process state, start-up and end of the runtime, the effective argument
// list, and the small process services (environment, memory, delays).
#include <malloc.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <new>
#include <string>
#include <vector>

#include "lib/internal/lib_internal.h"
#include "lib/kern.h"
#include "lib/kern/kern_private.h"
#include "lib/status.h"

#ifndef XN_REVISION
#define XN_REVISION "0.0.0"
#endif

uint8_t proc_isGUI_ = 0;
uint8_t proc_type_ = 0;
uint8_t proc_inConsole_ = 0;
uint8_t proc_isTelnet_ = 0;
uint8_t proc_TelnetStream_ = 0;
uint32_t proc_output_han_ = 1;
uint32_t proc_trace_mask_ = 0;
void *cur_scrn_ = nullptr;
uint8_t stdin_obj_[16];
uint8_t stdout_obj_[16];
uint8_t stderr_obj_[16];

namespace {

// The runtime's own state, all of it reset by reset_kern_state.
struct kern_state {
  std::string program = "xnconfig";
  bool quiet = false;
  bool revision_shown = false;
  std::vector<std::string> args;    // owns the effective argument words
  std::vector<char *> arg_pointers; // what arglist_kern hands out
  bool desktop_set = false;
  std::string desktop;
};

kern_state &state() {
  static kern_state s;
  return s;
}

} // namespace

void reset_kern_state() {
  state() = kern_state{};
  kern_audit_reset();
  proc_isGUI_ = 0;
  proc_type_ = 0;
  proc_inConsole_ = 0;
  proc_isTelnet_ = 0;
  proc_TelnetStream_ = 0;
  proc_output_han_ = 1;
  proc_trace_mask_ = 0;
  cur_scrn_ = nullptr;
  for (int i = 0; i < 16; ++i) stdin_obj_[i] = stdout_obj_[i] = stderr_obj_[i] = 0;
}

// The numeric arguments carry no meaning on this platform; they are
// accepted as the program passes them.
int init_kern(const char *ident, int, int, int, int, int, int) {
  if (!ident || !*ident) return ST_FAILED;
  state().program = ident;
  proc_isGUI_ = 0; // a UNIX runtime is never a GUI process
  proc_type_ = 'C';
  proc_inConsole_ = (isatty(STDIN_FILENO) && isatty(STDOUT_FILENO)) ? 1 : 0;
  proc_output_han_ = STDOUT_FILENO;
  // A save past the file-size limit, or output to a closed pipe, must fail
  // with an error that is reported, not end the process by a signal that
  // leaves the terminal raw and the work unsaved.
  std::signal(SIGXFSZ, SIG_IGN);
  std::signal(SIGPIPE, SIG_IGN);
  // A configuration's tables run to hundreds of kilobytes each. Kept on the
  // heap rather than mapped one by one, their memory is reused from one
  // load or save to the next instead of being mapped, faulted in and
  // unmapped each time.
  mallopt(M_MMAP_THRESHOLD, 64 << 20);
  mallopt(M_TRIM_THRESHOLD, 128 << 20);
  return 0;
}

int arglist_kern(int argc, char **argv, const char *ident, int *eargc, char ***eargv) {
  if (!eargc || !eargv || argc < 0 || (argc > 0 && !argv)) return ST_FAILED;
  kern_state &s = state();
  try {
    std::vector<std::string> words;
    words.push_back(argc > 0 && argv[0] ? argv[0] : (ident ? ident : s.program));
    for (int i = 1; i < argc; ++i)
      if (argv[i]) words.push_back(argv[i]);
    s.args = std::move(words);
    s.arg_pointers.clear();
    for (std::string &w : s.args) s.arg_pointers.push_back(w.data());
    s.arg_pointers.push_back(nullptr);
  } catch (const std::bad_alloc &) {
    return ST_NO_MEMORY;
  }
  *eargc = static_cast<int>(s.args.size());
  *eargv = s.arg_pointers.data();
  return 0;
}

int init_globdata_kern(int) { return 0; }

// The block sizes the runtime's buffers elsewhere; here every file is read
// and written whole, so only its presence is checked.
int init_fileio_kern(const uint16_t params[12]) { return params ? 0 : ST_FAILED; }

void do_cleanup_kern() { kern_audit_reset(); }

// Whatever other code left in the C streams goes out before the exit.
void put_finished() {
  std::fflush(stdout);
  std::fflush(stderr);
}

void term_kern() {
  kern_state &s = state();
  s.args.clear();
  s.arg_pointers.clear();
}

void put_revision() {
  kern_state &s = state();
  if (s.quiet || s.revision_shown) return;
  s.revision_shown = true;
  printf_stderr_kern("%P %R (%O)\n");
}

void set_quiet_kern() { state().quiet = true; }
bool kern_quiet() { return state().quiet; }
const char *kern_program_name() { return state().program.c_str(); }
const char *kern_revision() { return XN_REVISION; }

const char *kern_os_text() {
  static std::string text;
  if (text.empty()) {
    struct utsname u;
    if (uname(&u) == 0)
      text = std::string(u.sysname) + " " + u.machine;
    else
      text = "UNIX";
  }
  return text.c_str();
}

const char *getenv_kern(const char *name) { return name && *name ? std::getenv(name) : nullptr; }

void *malloc_kern(size_t size) { return std::malloc(size ? size : 1); }

void delay_kern(unsigned ticks) {
  struct timespec left;
  left.tv_sec = ticks / 100;
  left.tv_nsec = static_cast<long>(ticks % 100) * 10000000L;
  // A signal cuts the sleep short; sleep the rest.
  while (nanosleep(&left, &left) != 0 && errno == EINTR) {}
}

void GetStartupInfoA(STARTUPINFOA *info) {
  if (!info) return;
  const kern_state &s = state();
  info->cb = sizeof(STARTUPINFOA);
  info->lpReserved = nullptr;
  info->lpDesktop = s.desktop_set ? s.desktop.c_str() : nullptr;
  info->lpTitle = nullptr;
}

void set_startup_desktop_kern(const char *desktop) {
  kern_state &s = state();
  s.desktop_set = desktop != nullptr;
  s.desktop = desktop ? desktop : "";
}
