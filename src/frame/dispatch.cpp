// Mode dispatch: the stores, the option checks, then a batch update, an
// editor on the file operand, or the top menu between one screen open/close.
#include <cstdint>
#include <cstdio>
#include <strings.h>

#include "cfi/cfi.h"
#include "frame/frame.h"
#include "lib/cfi_store.h"
#include "lib/kern.h"
#include "lib/names.h"
#include "lib/pti_store.h"
#include "lib/status.h"
#include "lib/tdi_store.h"
#include "pti/pti.h"
#include "scrmgr/scrmgr.h"
#include "tdi/tdi.h"

namespace {

enum file_kind { KIND_CFI = 1, KIND_TDI = 2, KIND_PTI = 3 };

// The name handed to an editor: resolved for a directory, as typed otherwise.
char path_buffer[NAME_BUF];

int run_batch(int argc, char **argv) {
  const run_options &o = run_opts;
  int st;
  if (o.tdi_given)
    st = tdi_batch(o.tdi_name);
  else if (o.pti_given)
    st = pti_batch(o.pti_name);
  else
    st = cnf_batch(o.optind < argc ? argv[o.optind] : nullptr, o.load_ini, o.ini_name);
  return st == 0 ? 0 : 1;
}

void report_name(int st, const char *name) {
  printf_stderr_kern("%M: %s\n", static_cast<uint32_t>(st) | MSG_ERROR, name);
}

// Fills the path buffer from the operand; the kind, or -1 after a message.
int classify_operand(const char *operand) {
  int st = resolve_file_name(operand, path_buffer);
  if (st != 0) {
    report_name(st, operand);
    return -1;
  }
  if (isdir_kern(path_buffer)) {
    st = append_simple_name(path_buffer, "system.cfi");
    if (st != 0) {
      report_name(st, operand);
      return -1;
    }
    return KIND_CFI;
  }
  std::snprintf(path_buffer, sizeof path_buffer, "%s", operand);
  const char *ext = get_ext_name(path_buffer);
  if (truncated_extension(path_buffer)) {
    printf_stderr_kern("%M: %s\n", MSG_BAD_EXT, path_buffer);
    return -1;
  }
  if (strcasecmp(ext, ".cfi") == 0) return KIND_CFI;
  if (strcasecmp(ext, ".pti") == 0) return KIND_PTI;
  if (strcasecmp(ext, ".tdi") == 0) return KIND_TDI;
  st = append_ext_name(path_buffer, ".cfi");
  if (st != 0) {
    report_name(st, operand);
    return -1;
  }
  return KIND_CFI;
}

int run_editor(int kind, const char *name) {
  switch (kind) {
  case KIND_TDI: return tdi_main(name);
  case KIND_PTI: return pti_main(name);
  default: return cnf_main(name);
  }
}

// Says why the screen could not be opened: no terminal to open it on, or a
// terminal type that cannot be used (named by the TERM value the user set).
void report_screen_failure(int r) {
  const uint32_t code = static_cast<uint32_t>(ST_NO_TERMINAL) | MSG_ERROR;
  if (proc_inConsole_ == 0 && proc_isTelnet_ == 0) {
    printf_stderr_kern("%M: %s\n", code, "standard input or output is not a terminal");
    return;
  }
  // Low 12 bits 1: the screen manager has already said what went wrong.
  if ((r & 0xFFF) == 1) return;
  const char *term = getenv_kern("TERM");
  printf_stderr_kern("%M: TERM=%s\n", static_cast<uint32_t>(r) | MSG_ERROR, term ? term : "");
}

int run_interactive(int argc, char **argv) {
  int kind = 0;
  if (run_opts.optind < argc) {
    kind = classify_operand(argv[run_opts.optind]);
    if (kind < 0) return 1;
  }
  printf_stdout_kern("\n");
  int r = display_open();
  if (r > 0) {
    report_screen_failure(r);
    return 6;
  }
  r = kind != 0 ? run_editor(kind, path_buffer) : top_menu();
  display_close();
  if (r > 0) {
    // Editors return message codes ready to print; the file they were
    // started on says where, as for a folder that does not exist.
    if (kind != 0)
      printf_stderr_kern("%M: %s\n", static_cast<uint32_t>(r), path_buffer);
    else
      printf_stderr_kern("%M\n", static_cast<uint32_t>(r));
    return 1;
  }
  return 0;
}

} // namespace

int dispatch(int argc, char **argv) {
  if (init_cfi() != 0 || init_tdi() != 0 || init_pti() != 0) return 6;
  const run_options &o = run_opts;
  if (check_term_name(o.tdi_given, o.tdi_name) != 0 ||
      check_printer_name(o.pti_given, o.pti_name) != 0 ||
      check_os_target(o.os_given, o.os_target_code) != 0)
    return 4;
  if (o.batch) return run_batch(argc, argv);
  return run_interactive(argc, argv);
}
