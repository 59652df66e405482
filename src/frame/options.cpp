// Command line: the run options, their parsing and the three option checks
// that derive the terminal, printer and target selectors.
#include <cstdio>
#include <cstring>
#include <strings.h>

#include "frame/frame.h"
#include "lib/kern.h"
#include "lib/names.h"
#include "lib/cfi_store.h"
#include "lib/pti_store.h"
#include "lib/status.h"
#include "lib/strs.h"
#include "lib/tdi_store.h"

run_options run_opts;

void reset_frame_state() {
  run_opts = run_options{};
  run_opts.optind = 1;
  reset_selectors();
}

namespace {

// Option letters; a colon marks an option that takes an argument.
constexpr const char *OPTION_LETTERS = "aA:bh?lL:O:P:qT:";

// Locals of one parse, kept together so each letter's handler is short.
struct parse_state {
  int status = 0;
  bool help = false;
  bool version = false;
  bool quiet = false;
  bool audit = false;
  char audit_name[NAME_BUF] = {};
};

// Copies an option argument into a 256-byte buffer. getopt_kern refuses
// longer arguments, so the cut never happens on a valid command line.
void copy_name(char *dst, const char *src) { std::snprintf(dst, NAME_BUF, "%s", src ? src : ""); }

// Audit options follow the colon at *opts (or its end mark for -A).
void check_audit_options(parse_state &ps, char *opts) {
  char *at = opts;
  if (!getopt_audit_kern(&at)) {
    put_revision();
    printf_stderr_kern("%M: %s\n", MSG_BAD_AUDIT, at ? at : "");
    ps.status = 4;
    return;
  }
  ps.audit = true;
}

// -a, optionally followed in the same word by ":options".
void take_audit_default(parse_state &ps, char **rest) {
  static char consumed[1] = "";
  ps.audit = true;
  ps.audit_name[0] = '\0';
  if (*rest != nullptr && **rest == ':') {
    char *opts = *rest;
    *rest = consumed;
    check_audit_options(ps, opts);
  }
}

// -A file[:options]; a colon right after a drive letter belongs to the name.
void take_audit_file(parse_state &ps, const char *arg) {
  copy_name(ps.audit_name, arg);
  char *colon = std::strchr(ps.audit_name, ':');
  if (colon == ps.audit_name + 1) colon = std::strchr(colon + 1, ':');
  if (colon == nullptr) {
    ps.audit = true;
    return;
  }
  *colon = '\0';
  check_audit_options(ps, colon);
}

void take_target(parse_state &ps, const char *arg) {
  const char *text = arg ? arg : "";
  if (strcasecmp(text, "UNIX") == 0) {
    run_opts.os_target_code = 2;
    run_opts.os_given = true;
  } else if (strcasecmp(text, "Windows") == 0) {
    run_opts.os_target_code = 4;
    run_opts.os_given = true;
  } else {
    // Reported without the revision line, unlike the other option errors.
    run_opts.os_target_code = 0;
    printf_stderr_kern("%M: %s\n", MSG_BAD_TARGET, text);
    ps.status = 4;
  }
}

// The two long options users of other command-line tools expect.
void take_long_option(parse_state &ps, const char *name) {
  if (std::strcmp(name, "help") == 0) {
    ps.help = true;
  } else if (std::strcmp(name, "version") == 0) {
    ps.version = true;
  } else {
    put_revision();
    printf_stderr_kern("%M: --%s\n", static_cast<uint32_t>(ST_BAD_OPTION) | MSG_ERROR, name);
    ps.status = 4;
  }
}

void take_letter(parse_state &ps, char letter, char **rest, const char *arg) {
  switch (letter) {
  case '-': take_long_option(ps, arg ? arg : ""); break;
  case 'h':
  case '?': ps.help = true; break;
  case 'a': take_audit_default(ps, rest); break;
  case 'A': take_audit_file(ps, arg); break;
  case 'b': run_opts.batch = true; break;
  case 'l':
    run_opts.load_ini = true;
    run_opts.ini_name[0] = '\0';
    break;
  case 'L':
    run_opts.load_ini = true;
    copy_name(run_opts.ini_name, arg);
    break;
  case 'O': take_target(ps, arg); break;
  case 'P':
    run_opts.pti_given = true;
    copy_name(run_opts.pti_name, arg);
    break;
  case 'q': ps.quiet = true; break;
  case 'T':
    run_opts.tdi_given = true;
    copy_name(run_opts.tdi_name, arg);
    break;
  default: break; // letters the scanner knows but this program ignores
  }
}

void combination_error(parse_state &ps, uint32_t code) {
  put_revision();
  printf_stderr_kern("%M\n", code);
  ps.status = 4;
}

void check_combinations(parse_state &ps, int argc) {
  const run_options &o = run_opts;
  if (o.load_ini && !o.batch) combination_error(ps, MSG_INI_NOT_BATCH);
  if (o.load_ini && (o.tdi_given || o.pti_given)) combination_error(ps, MSG_INI_WITH_TP);
  if (o.optind + 1 < argc)
    combination_error(ps, MSG_OPERANDS);
  else if (o.batch && (o.tdi_given || o.pti_given) && o.optind < argc)
    combination_error(ps, MSG_OPERANDS);
  if (o.batch && o.tdi_given && o.pti_given) combination_error(ps, MSG_T_AND_P);
}

void start_audit(parse_state &ps) {
  int st = set_audit_kern(ps.audit_name);
  if (st > 0) {
    put_revision();
    printf_stderr_kern("%M: %s\n", static_cast<uint32_t>(st) | MSG_ERROR,
                       audit_file_kern(ps.audit_name));
    ps.status = 4;
  }
}

} // namespace

int parse_options(int argc, char **argv) {
  run_opts = run_options{};
  run_opts.optind = 1;
  parse_state ps;
  char *rest = nullptr;
  for (;;) {
    char letter = 0;
    char *arg = nullptr;
    int st = getopt_kern(argc, argv, OPTION_LETTERS, &run_opts.optind, &rest, &letter, &arg);
    if ((st & 0xFFF) == OPT_END) break;
    if (st > 0) {
      put_revision();
      printf_stderr_kern("%M: -%c\n", static_cast<uint32_t>(st) | MSG_ERROR, letter);
      ps.status = 4;
      continue;
    }
    take_letter(ps, letter, &rest, arg);
  }
  if (!ps.help && !ps.version) check_combinations(ps, argc);
  if (ps.audit && ps.status == 0) start_audit(ps);
  if (ps.help) {
    put_revision();
    show_help_kern();
    ps.status = 7;
  } else if (ps.version && ps.status == 0) {
    // On standard output, where scripts look for it, and nothing else runs.
    printf_stdout_kern("%P %R (%O)\n");
    run_opts.version_only = true;
  }
  // Quiet mode holds even after an error or help, for the end messages.
  if (ps.quiet) set_quiet_kern();
  return ps.status;
}

int check_term_name(bool tdi_given, const char *tdi_name) {
  if (!tdi_given) {
    base_terminal = TDI_DEFAULT_TYPE;
    return 0;
  }
  char simple[NAME_BUF] = {};
  get_simple_name(tdi_name, simple);
  remove_given_ext_name(simple, ".tdi");
  // Case matters: the names are file names on a case-sensitive system.
  for (int i = 0; i < TDI_TERM_TYPES; ++i) {
    if (std::strcmp(simple, def_term_filename[i]) == 0) {
      base_terminal = static_cast<uint8_t>(i);
      return 0;
    }
  }
  printf_stderr_kern("%M: %s\n", MSG_BAD_TERM, tdi_name);
  return 1;
}

int check_printer_name(bool pti_given, const char *pti_name) {
  if (!pti_given) {
    printer_type = 0;
    return 0;
  }
  char name[NAME_BUF] = {};
  get_simple_name(pti_name, name);
  remove_given_ext_name(name, ".pti");
  uint16_t index = 0;
  if (pti_find_printer(name, &index) != 0) {
    printf_stderr_kern("%M: %s\n", MSG_BAD_PRINTER, name);
    return 1;
  }
  printer_type = static_cast<uint8_t>(index & 0xFF);
  return 0;
}

int check_os_target(bool os_given, uint8_t os_target_code) {
  target_os = (!os_given || os_target_code == 4) ? TARGET_WINDOWS : TARGET_UNIX;
  std::snprintf(target_os_text, sizeof target_os_text, "%s", os_target_strs[target_os]);
  return 0;
}
