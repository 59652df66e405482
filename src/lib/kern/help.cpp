// The usage text of -h: options, operand, exit statuses, the accepted
// terminal and printer type names, the audit options and the screen keys.
#include <unistd.h>

#include <string>

#include "lib/internal/lib_internal.h"
#include "lib/kern.h"
#include "lib/kern/kern_private.h"
#include "lib/strs.h"

namespace {

// The fixed part of the text; the name lists are appended from the
// library's tables so that they never disagree with what -T and -P accept.
constexpr const char *usage_head =
    "Usage: %P [options] [file]\n"
    "\n"
    "Edits a system configuration (.cfi), a terminal description (.tdi) or a\n"
    "printer translation (.pti). Without a file a menu of the three editors\n"
    "is shown; with a file its editor opens; with -b the file is brought up\n"
    "to date without the screen.\n"
    "\n"
    "Options:\n"
    "  -a[:opts]        record loads and saves in the audit file xnconfig.audit\n"
    "  -A file[:opts]   record loads and saves in the given audit file\n"
    "  -b               batch mode: update the file without the screen\n"
    "  -h, -?           show this help\n"
    "  -l               batch: merge the sections of the .ini file named like\n"
    "                   the configuration file\n"
    "  -L file|dir      batch: merge the sections of this .ini file (or of the\n"
    "                   file named like the configuration file in this folder)\n"
    "  -O UNIX|Windows  target operating system of a new configuration\n"
    "  -P name          printer translation (batch: create or update it)\n"
    "  -q               quiet: no revision line and no information messages\n"
    "  -T name          terminal description (batch: create or update it)\n"
    "  --help           show this help\n"
    "  --version        show the version line\n"
    "  --               end of the options\n"
    "\n"
    "File operand: a .cfi, .tdi or .pti file, or in batch mode a .cfi file or\n"
    "a folder holding system.cfi (default: system.cfi in the current folder).\n"
    "\n"
    "Audit options (after a colon, separated by commas, e.g. -a:save,fail):\n"
    "  all   record loads and saves (the default)\n"
    "  load  record loads\n"
    "  save  record saves\n"
    "  fail  record only the operations that failed\n"
    "\n"
    "Exit status:\n"
    "  0  success\n"
    "  1  an operation failed\n"
    "  4  bad options or names\n"
    "  6  initialisation or screen failure\n"
    "  7  help shown\n"
    "\n";

constexpr const char *usage_keys =
    "Keys on the screen:\n"
    "  Enter            accept the form or the field and go on\n"
    "  ESC              leave the form (what was typed is kept)\n"
    "  F1 to F6         the functions shown on each screen; also ESC then 1-6\n"
    "  Page Up/Down     same as F3/F4: previous/next page of a table\n"
    "  Up, Down         previous/next field or table row\n"
    "  Left, Right      move within a field\n"
    "  Tab, Shift-Tab   next/previous field\n";

// Appends the names as indented lines no wider than 78 columns.
void append_names(std::string &text, const char *const *names, int count) {
  std::string line = " ";
  for (int i = 0; i < count; ++i) {
    std::string name = names[i] ? names[i] : "";
    if (line.size() + 1 + name.size() > 78) {
      text += line + "\n";
      line = " ";
    }
    line += " " + name;
  }
  text += line + "\n";
}

} // namespace

// Help is asked for, so it is shown even when -q comes with it.
void show_help_kern() {
  std::string text;
  text += usage_head;
  text.replace(text.find("%P"), 2, kern_program_name());
  text += "Terminal type names for -T (file name without .tdi):\n";
  append_names(text, def_term_filename, 25);
  text += "Printer type names for -P (file name without .pti):\n";
  append_names(text, pti_filename, 3);
  text += "\n";
  text += usage_keys;
  kern_write_all(STDOUT_FILENO, text);
}
