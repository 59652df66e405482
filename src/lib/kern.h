// Runtime services of the library: start-up and end, options, formatted
// output with message codes, trace, process state and small services.
#pragma once

#include <cstddef>
#include <cstdint>

// ---------------------------------------------------------------------------
// Process state. Filled by init_kern; the screen and start-up code read it.
// Tests may set these fields directly and reset them with reset_kern_state.
// ---------------------------------------------------------------------------
extern uint8_t proc_isGUI_;        // nonzero: the runtime runs as a GUI process
extern uint8_t proc_type_;         // process type letter; 'D' prints the options
extern uint8_t proc_inConsole_;    // nonzero: standard input and output are a terminal
extern uint8_t proc_isTelnet_;     // nonzero: runs as a telnet process
extern uint8_t proc_TelnetStream_; // nonzero: the telnet process has its own stream
extern uint32_t proc_output_han_;  // where standard messages go (0xFFFF: nowhere)
extern uint32_t proc_trace_mask_;  // bit 0x200: trace lines are written
extern void *cur_scrn_;            // the screen block of the open screen

// Stream objects; the screen code stamps their first bytes before opening.
extern uint8_t stdin_obj_[16];
extern uint8_t stdout_obj_[16];
extern uint8_t stderr_obj_[16];

// Resets every process-wide value of the runtime to its state before
// init_kern (for tests that run start-up more than once in one process).
void reset_kern_state();

// ---------------------------------------------------------------------------
// Start-up and end.
// ---------------------------------------------------------------------------
int init_kern(const char *ident, int a, int b, int c, int d, int e, int f);
// Effective argument list: the process's own list (the program is
// configured by its command line only). The list stays valid until term_kern.
int arglist_kern(int argc, char **argv, const char *ident, int *eargc, char ***eargv);
int init_globdata_kern(int flags);
int init_fileio_kern(const uint16_t params[12]);
void do_cleanup_kern();
void put_finished();
void term_kern();
// Program name and revision on standard error, once per run (not in quiet mode).
void put_revision();

// ---------------------------------------------------------------------------
// Options.
// ---------------------------------------------------------------------------
// Status returned at the end of the options (low 12 bits).
constexpr int OPT_END = 242;

// One step of the option scanner. `rest` is the scan position inside the
// current argument word and belongs to the caller: start it at nullptr; after
// a letter it points to the unread remainder of the word ("" when none);
// setting it to "" consumes the word. `letter` receives the option letter,
// `arg` its argument (nullptr when the option takes none). Returns 0 for a
// letter, OPT_END after the last option (optind then indexes the first
// operand), or a positive status for a bad option (letter still set).
int getopt_kern(int argc, char **argv, const char *letters, int *optind, char **rest, char *letter,
                char **arg);
// Validates audit options; `*opts` points at the ':' that introduces them
// (or at the end mark that replaced it). False: `*opts` points at the
// offending text.
bool getopt_audit_kern(char **opts);
// Starts the audit trail; an empty name takes the default audit file.
int set_audit_kern(const char *file);
bool test_audit_kern();
// The audit file a name given with -A stands for (the default when empty),
// for messages that name it.
const char *audit_file_kern(const char *given);
uint32_t get_audit_han_kern();
void show_help_kern();
void set_quiet_kern();
int printopt_kern(int argc, char **argv, int width, int a, int b);

// ---------------------------------------------------------------------------
// Formatted output. Directives: %s %c %u %d %X %x %o with flags, width and
// precision, plus %M (text of a message code taken as an unsigned argument),
// %P (program name), %R (revision) and %O (operating system).
// ---------------------------------------------------------------------------
int printf_stderr_kern(const char *fmt, ...);
// Informational output; silent in quiet mode.
int printf_stdout_kern(const char *fmt, ...);
// Writes at most 255 characters and the end mark; returns the length.
int sprintf_kern(char *buf, const char *fmt, ...);
void printf_trace_kern(int level, const char *source, int line, const char *function,
                       const char *word);

// ---------------------------------------------------------------------------
// Files.
// ---------------------------------------------------------------------------
// ST_CHANGED_ON_DISK when `name` is a file this process has loaded or saved
// and another program has changed its content since; 0 otherwise (also
// when the file is gone or was never read here).
int check_unchanged_kern(const char *name);

// ---------------------------------------------------------------------------
// Small services.
// ---------------------------------------------------------------------------
const char *getenv_kern(const char *name);
void *malloc_kern(size_t size);
// Pauses for `ticks` hundredths of a second.
void delay_kern(unsigned ticks);
// Called when the run ends by a signal, before unsaved work goes to side
// files: the form engine copies what is typed on the open form into its
// record there, so that the side file holds it.
using form_flush_hook = void (*)();
void set_form_flush_hook(form_flush_hook hook);

// Start-up information of the process (the desktop name is all that is read).
struct STARTUPINFOA {
  uint32_t cb;
  const char *lpReserved;
  const char *lpDesktop;
  const char *lpTitle;
};
void GetStartupInfoA(STARTUPINFOA *info);
// Test hook: the desktop name GetStartupInfoA reports (nullptr: none).
void set_startup_desktop_kern(const char *desktop);
