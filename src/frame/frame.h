// Program frame: run options from the command line, the selectors derived
// from them, start-up, option checks and dispatch.
#pragma once

#include <cstdint>

// Run options, set only while the options are parsed.
struct run_options {
  bool batch;
  bool load_ini;
  char ini_name[256];
  bool tdi_given;
  char tdi_name[256];
  bool pti_given;
  char pti_name[256];
  bool os_given;
  uint8_t os_target_code; // 2 UNIX, 4 Windows, 0 not valid
  int optind;             // index of the first operand
  bool version_only;      // --version: the version line was shown, nothing more
};
extern run_options run_opts;

// Selectors derived by the option checks; the editors change them.
#include "edit/selectors.h"

// Clears the run options and selectors (tests run start-up repeatedly).
void reset_frame_state();

int startup(int argc, char **argv, int *eargc, char ***eargv);
int parse_options(int argc, char **argv);
int check_term_name(bool tdi_given, const char *tdi_name);
int check_printer_name(bool pti_given, const char *pti_name);
int check_os_target(bool os_given, uint8_t os_target_code);
int dispatch(int argc, char **argv);
int top_menu();
// The whole run: start-up, dispatch and the end sequence; the exit status.
int run_program(int argc, char **argv);

// Start-up's remote-session refusal, for a runtime that is a GUI process:
// 6 after the message when a remote terminal connection is detected, else 0.
int check_gui_session();
// True when the environment or the process's desktop name shows a remote
// terminal connection.
bool remote_terminal_detected();
