// The "Console and Program Environment Configuration" screen: one console at
// a time, chosen by number, on a full form of its device, startup program,
// privileges and the environment values the runtime gives its programs.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "cfi/cfi.h"
#include "cfi/device_copy.h"
#include "edit/selectors.h"
#include "lib/cfi_store.h"
#include "lib/kern.h"
#include "lib/status.h"
#include "lib/strs.h"
#include "scrmgr/binding.h"
#include "scrmgr/form_check.h"

namespace {

constexpr uint16_t LBL = FF_STATIC;
constexpr uint16_t INP = FF_DATA | FF_INPUT;
constexpr uint16_t TXT = FF_ZEROFILL | FF_DATA | FF_INPUT;

// The number prompt: title, the console number and its help line. A line
// form, so that up and down come back here to step the number.
constexpr uint16_t NUM_FIELD = 2;
// clang-format off
form_field con_num_fields[] = {
    {.kind = FIELD_LABEL, .flags = LBL, .row = 0, .col = 15, .width = 55, .attr = 5,
     .label = "Console and Program Environment Configuration"},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 1, .col = 30, .width = 16, .label = "Console number: "},
    {.kind = FIELD_NUMBER, .flags = INP, .row = 1, .col = 46, .width = 4, .attr = 4, .min = 0, .max = 2047},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 22, .col = 0, .width = 80, .attr = 4,
     .label = "       Press <up>, <down> to alter number, Enter to select, ESC to exit.       "},
};
// clang-format on
static_assert(sizeof con_num_fields / sizeof con_num_fields[0] == NUM_FIELD + 2);
form con_num_form = make_form(FORM_FKEYS | FORM_LINE, con_num_fields);
REGISTER_FORM(con_num_form);

// The help line while a console is edited, over the number prompt's.
// clang-format off
form_field con_prompt_fields[] = {
    {.kind = FIELD_LABEL, .flags = FF_DATA | FF_EOL, .row = 22, .col = 0, .width = 80, .attr = 4,
     .label = "    Press <up>, <down> or Enter, F3 previous, F4 next, F5 copy, ESC to exit."},
};
// clang-format on
form con_prompt_form = make_form(0, con_prompt_fields);
REGISTER_FORM(con_prompt_form);

// Input fields of the console form that the code names. The checks put the
// cursor back on XNTERM=, XNLINES= and the two XNCOLUMNS= values by number.
// clang-format off
enum con_field : uint16_t {
  C_ENABLE = 1, C_RULE = 3, C_DEVICE = 4, C_RUN = 6, C_PROGRAM = 8,
  C_TIMEOUT = 34, C_ABORT, C_PCQ, C_PRN, C_SER,
  C_TERM = 40, C_LINES, C_COLUMNS, C_COMPRESS,
  C_SCROPT = 45, C_SDMODE, C_REVERSE,
  C_COLOR = 49, C_BACKGROUND, C_FOREGROUND, CON_FIELDS
};
// clang-format on

char con_device_buf[16];
char con_program_buf[sizeof con_desc::startup_program]; // the whole member; the field scrolls
char con_term_buf[16];
// The device rule line of the target system, as wide as its text.
constexpr char RULE_WINDOWS[] = " Device: con, (blank), nul, {serial device}, ip, machine, xnrunrs";
constexpr char RULE_UNIX[] = " Device: (blank), null, {char-device} in /dev, ip, machine, xnrunrs";
static_assert(sizeof RULE_WINDOWS == 66 && sizeof RULE_UNIX == 68);
char con_rule_buf[sizeof RULE_UNIX];

// The console form, in cursor order: each label is followed by the input it
// names. Values are replaced from the console before the form is shown;
// the ones here are what an empty form would show.
// clang-format off
form_field con_fields[] = {
    {.kind = FIELD_LABEL, .flags = LBL, .row = 3, .col = 0, .width = 8, .label = "Enable? "},
    {.kind = FIELD_YESNO, .flags = INP, .row = 3, .col = 8, .width = 1, .attr = 4, .max = 1},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 3, .col = 17, .width = 7, .label = "Device:"},
    {.kind = FIELD_TEXT, .flags = FF_STATIC | FF_EOL, .row = 23, .col = 0, .width = 65, .text = con_rule_buf},
    {.kind = FIELD_TEXT, .flags = TXT, .row = 3, .col = 25, .width = 15, .attr = 4, .text = con_device_buf},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 4, .col = 0, .width = 14, .label = "Run programs? "},
    {.kind = FIELD_YESNO, .flags = INP, .row = 4, .col = 14, .width = 1, .attr = 4, .value = 1, .max = 1},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 4, .col = 17, .width = 17, .label = "Startup program: "},
    {.kind = FIELD_TEXT, .flags = TXT, .row = 4, .col = 34, .width = 30, .attr = 4,
     .max = sizeof con_desc::startup_program - 1, .text = con_program_buf},
    // The twelve privileges, two to a row.
    {.kind = FIELD_LABEL, .flags = LBL, .row = 6, .col = 0, .width = 40, .label = "Console interrupt?"},
    {.kind = FIELD_YESNO, .flags = INP, .row = 6, .col = 30, .width = 1, .attr = 4, .max = 1},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 6, .col = 40, .width = 40, .label = "Program debugging?"},
    {.kind = FIELD_YESNO, .flags = INP, .row = 6, .col = 75, .width = 1, .attr = 4, .max = 1},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 7, .col = 0, .width = 40, .label = "Abort terminal?"},
    {.kind = FIELD_YESNO, .flags = INP, .row = 7, .col = 30, .width = 1, .attr = 4, .max = 1},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 7, .col = 40, .width = 40, .label = "System information?"},
    {.kind = FIELD_YESNO, .flags = INP, .row = 7, .col = 75, .width = 1, .attr = 4, .max = 1},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 8, .col = 0, .width = 40, .label = "Message sending?"},
    {.kind = FIELD_YESNO, .flags = INP, .row = 8, .col = 30, .width = 1, .attr = 4, .max = 1},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 8, .col = 40, .width = 40, .label = "Printer control?"},
    {.kind = FIELD_YESNO, .flags = INP, .row = 8, .col = 75, .width = 1, .attr = 4, .max = 1},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 9, .col = 0, .width = 40, .label = "Printer control management?"},
    {.kind = FIELD_YESNO, .flags = INP, .row = 9, .col = 30, .width = 1, .attr = 4, .max = 1},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 9, .col = 40, .width = 40, .label = "System shutdown?"},
    {.kind = FIELD_YESNO, .flags = INP, .row = 9, .col = 75, .width = 1, .attr = 4, .max = 1},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 10, .col = 0, .width = 40, .label = "Terminal status?"},
    {.kind = FIELD_YESNO, .flags = INP, .row = 10, .col = 30, .width = 1, .attr = 4, .max = 1},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 10, .col = 40, .width = 40, .label = "Detached/Host programs?"},
    {.kind = FIELD_YESNO, .flags = INP, .row = 10, .col = 75, .width = 1, .attr = 4, .max = 1},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 11, .col = 0, .width = 40, .label = "Watch other terminals?"},
    {.kind = FIELD_YESNO, .flags = INP, .row = 11, .col = 30, .width = 1, .attr = 4, .max = 1},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 11, .col = 40, .width = 40, .label = "Exclude from being Watched?"},
    {.kind = FIELD_YESNO, .flags = INP, .row = 11, .col = 75, .width = 1, .attr = 4, .max = 1},
    // The environment values, one labelled line at a time.
    {.kind = FIELD_LABEL, .flags = LBL, .row = 13, .col = 0, .width = 80,
     .label = "XNTIMEOUT=              XNABORT=                PCQ=      PRN=      SER=    "},
    {.kind = FIELD_NUMBER, .flags = INP, .row = 13, .col = 10, .width = 4, .attr = 4, .max = 6300},
    {.kind = FIELD_CHOICE, .flags = INP, .row = 13, .col = 32, .width = 14, .attr = 4, .max = 1,
     .list = abort_env_strs},
    {.kind = FIELD_NUMBER, .flags = INP, .row = 13, .col = 52, .width = 4, .attr = 4, .max = 2047},
    {.kind = FIELD_NUMBER, .flags = INP, .row = 13, .col = 62, .width = 4, .attr = 4, .max = 2047},
    {.kind = FIELD_NUMBER, .flags = INP, .row = 13, .col = 72, .width = 4, .attr = 4, .max = 2047},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 14, .col = 0, .width = 80,
     .label = "XNTERM=                 XNLINES=                XNCOLUMNS=   :"},
    {.kind = FIELD_TEXT, .flags = TXT, .row = 14, .col = 7, .width = 15, .attr = 4, .text = con_term_buf},
    {.kind = FIELD_NUMBER, .flags = INP, .row = 14, .col = 32, .width = 3, .attr = 4, .value = 24, .max = 255},
    {.kind = FIELD_NUMBER, .flags = INP, .row = 14, .col = 58, .width = 3, .attr = 4, .value = 80, .max = 255},
    {.kind = FIELD_NUMBER, .flags = INP, .row = 14, .col = 62, .width = 3, .attr = 4, .value = 80, .max = 255},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 15, .col = 0, .width = 80,
     .label = "XNSCROPT=               XNSDMODE=               XNREVERSE="},
    {.kind = FIELD_CHOICE, .flags = INP, .row = 15, .col = 9, .width = 15, .attr = 4, .max = 3,
     .list = scropt_env_strs},
    {.kind = FIELD_CHOICE, .flags = INP, .row = 15, .col = 33, .width = 15, .attr = 4, .max = 3,
     .list = sdmode_env_strs},
    {.kind = FIELD_CHOICE, .flags = INP, .row = 15, .col = 58, .width = 15, .attr = 4, .max = 2,
     .list = reverse_env_strs},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 16, .col = 0, .width = 80,
     .label = "XNCOLOR=                XNBGCOLOR=              XNFGCOLOR="},
    {.kind = FIELD_CHOICE, .flags = INP, .row = 16, .col = 8, .width = 16, .attr = 4, .value = 1, .max = 2,
     .list = color_env_strs},
    {.kind = FIELD_CHOICE, .flags = INP, .row = 16, .col = 34, .width = 14, .attr = 4, .max = 7,
     .list = fgbg_color_env_strs},
    {.kind = FIELD_CHOICE, .flags = INP, .row = 16, .col = 58, .width = 14, .attr = 4, .max = 7,
     .list = fgbg_color_env_strs},
};
// clang-format on
static_assert(sizeof con_fields / sizeof con_fields[0] == CON_FIELDS);
form con_form = make_form(FORM_FKEYS | FORM_VMOVE, con_fields);
REGISTER_FORM(con_form);

// Each input field of the console form and the member it edits. XNLINES=
// and XNCOLUMNS= are taken only once their checks pass (see take_console).
// clang-format off
constexpr field_binding con_bindings[] = {
    BIND(C_ENABLE, con_desc, con_enabled),
    BIND(C_DEVICE, con_desc, device),
    BIND(C_RUN, con_desc, run_programs),
    BIND(C_PROGRAM, con_desc, startup_program),
    BIND_BITS(10, con_desc, privileges, CON_PRIV_INTERRUPT),
    BIND_BITS(12, con_desc, privileges, CON_PRIV_DEBUG),
    BIND_BITS(14, con_desc, privileges, CON_PRIV_ABORT),
    BIND_BITS(16, con_desc, privileges, CON_PRIV_SYSINFO),
    BIND_BITS(18, con_desc, privileges, CON_PRIV_MESSAGE),
    BIND_BITS(20, con_desc, privileges, CON_PRIV_PRINTER),
    BIND_BITS(22, con_desc, privileges, CON_PRIV_PCQ_MGMT),
    BIND_BITS(24, con_desc, privileges, CON_PRIV_SHUTDOWN),
    BIND_BITS(26, con_desc, privileges, CON_PRIV_STATUS),
    BIND_BITS(28, con_desc, privileges, CON_PRIV_DETACHED),
    BIND_BITS(30, con_desc, privileges, CON_PRIV_WATCH),
    BIND_BITS(32, con_desc, privileges, CON_PRIV_NO_WATCH),
    BIND(C_TIMEOUT, con_desc, timeout),
    BIND(C_ABORT, con_desc, abort),
    BIND(C_PCQ, con_desc, pcq_number),
    BIND(C_PRN, con_desc, prn_number),
    BIND(C_SER, con_desc, ser_number),
    BIND(C_TERM, con_desc, term),
    BIND(C_LINES, con_desc, lines),
    BIND(C_COLUMNS, con_desc, columns),
    BIND(C_COMPRESS, con_desc, compress_columns),
    BIND(C_SCROPT, con_desc, scropt),
    BIND(C_SDMODE, con_desc, sdmode),
    BIND(C_REVERSE, con_desc, reverse),
    BIND(C_COLOR, con_desc, color_mode),
    BIND_BITS(C_BACKGROUND, con_desc, colors, 0x70),
    BIND_BITS(C_FOREGROUND, con_desc, colors, 0x07),
};
// clang-format on

// Where the screen stands: the console shown and the console form's field.
struct con_place {
  uint32_t handle;
  uint32_t count;
  uint32_t cur;
  uint16_t field;
};

uint32_t previous(const con_place &p) { return p.cur == 0 ? p.count - 1 : p.cur - 1; }
uint32_t next(const con_place &p) { return p.cur + 1 == p.count ? 0 : p.cur + 1; }

void set_device_rule(uint8_t target) {
  const bool unix_rule = target == TARGET_UNIX;
  const size_t size = unix_rule ? sizeof RULE_UNIX : sizeof RULE_WINDOWS;
  std::memcpy(con_rule_buf, unix_rule ? RULE_UNIX : RULE_WINDOWS, size);
  con_fields[C_RULE].width = static_cast<uint16_t>(size - 1);
}

int load_con_form(const con_desc &rec) {
  fill_fields(&con_form, con_bindings, &rec);
  return display_form(&con_form, SHOW_VALUES);
}

// The field whose XNLINES= or XNCOLUMNS= value the runtime cannot use, or 0.
// Lines are 0 (the terminal's own) or a full screen of 24 and more; columns
// likewise from 80, with the compressed width (after the colon) at least
// the normal one, and none without a normal width.
uint16_t refused_size_field() {
  const uint16_t lines = con_fields[C_LINES].value;
  const uint16_t a = con_fields[C_COLUMNS].value, b = con_fields[C_COMPRESS].value;
  if (lines >= 1 && lines < 24) return C_LINES;
  if ((a != 0 && a < 80) || (a == 0 && b != 0)) return C_COLUMNS;
  if (a >= 80 && a > b) return C_COMPRESS;
  return 0;
}

// Says on the message line which size was refused, with its value.
int say_size_refused(uint16_t field) {
  char text[32];
  if (field == C_LINES) {
    std::snprintf(text, sizeof text, "XNLINES=%u", unsigned{con_fields[C_LINES].value});
    return show_message_text(ST_CON_LINES, text);
  }
  std::snprintf(text, sizeof text, "XNCOLUMNS=%u:%u", unsigned{con_fields[C_COLUMNS].value},
                unsigned{con_fields[C_COMPRESS].value});
  return show_message_text(ST_CON_COLUMNS, text);
}

// Takes the form into `rec` when its sizes pass, each difference marking
// the configuration changed (*taken true). A refused pass takes nothing
// (the form is refilled from the store), rings, says why and puts the
// cursor on the offending field. Returns 0 or a positive status.
int take_console(con_desc *rec, uint16_t *field, bool *taken) {
  *taken = false;
  if (const uint16_t refused = refused_size_field()) {
    *field = refused;
    ring_bell();
    return say_size_refused(refused);
  }
  take_fields(&con_form, con_bindings, rec, &config_changed);
  *taken = true;
  return 0;
}

// Case-blind over the ASCII letters only, whatever the locale.
bool same_name_any_case(const char *a, const char *b) {
  for (;; ++a, ++b) {
    const char x = *a >= 'A' && *a <= 'Z' ? static_cast<char>(*a + 32) : *a;
    const char y = *b >= 'A' && *b <= 'Z' ? static_cast<char>(*b + 32) : *b;
    if (x != y) return false;
    if (x == '\0') return true;
  }
}

// A console that runs programs needs a terminal description, unless it is
// the null device (detached programs): "null" on UNIX, "nul" in any case on
// Windows.
bool null_device_ok(const con_desc &rec) {
  if (rec.term[0] != '\0' || rec.run_programs == 0 || rec.con_enabled == 0) return true;
  char device[sizeof rec.device + 1] = {};
  std::memcpy(device, rec.device, sizeof rec.device);
  return target_os == TARGET_UNIX ? std::strcmp(device, "null") == 0
                                  : same_name_any_case(device, "nul");
}

// Names the device that may not run programs without XNTERM=, and the
// null device it is not.
int say_no_term(const con_desc &rec) {
  char device[sizeof rec.device + 1] = {};
  std::memcpy(device, rec.device, sizeof rec.device);
  char text[48];
  std::snprintf(text, sizeof text, "%s is not %s", device[0] ? device : "(blank)",
                target_os == TARGET_UNIX ? "null" : "nul");
  return show_message_text(ST_CON_NO_TERM, text);
}

// The copy key: the console just written, its device renumbered, becomes
// the next console, which is then shown. The last console has no next
// one, and a name that would outgrow its field is not copied; both ring.
void copy_to_next(con_place &p, con_desc rec) {
  if (p.cur + 1 >= p.count || !renumber_or_say(rec.device, sizeof rec.device)) {
    ring_bell();
    return;
  }
  con_desc there{};
  get_desc_con(p.handle, p.cur + 1, &there);
  if (std::memcmp(&there, &rec, sizeof rec) != 0) {
    put_desc_con(p.handle, p.cur + 1, &rec);
    config_changed = 1;
  }
  ++p.cur;
}

// Reads console p.cur onto the form, under the number prompt showing it.
int show_console(const con_place &p, con_desc *rec) {
  con_num_fields[NUM_FIELD].value = static_cast<uint16_t>(p.cur);
  int st = display_form(&con_num_form, SHOW_VALUES);
  if (st > 0) return st;
  get_desc_con(p.handle, p.cur, rec);
  return load_con_form(*rec);
}

// Edits consoles from p.cur until ESC leaves the form. Every pass whose
// sizes pass is written, whatever key ended it, so nothing typed is lost;
// then the key moves, copies or rings.
int edit_consoles(con_place &p) {
  con_desc rec{};
  bool reread = true;
  for (;;) {
    int st = 0;
    if (reread && (st = show_console(p, &rec)) > 0) return st;
    uint16_t key = 0;
    if ((st = display_form(&con_prompt_form, SHOW_ALL)) > 0) return st;
    if ((st = accept_menu(&con_form, &p.field, &key)) > 0) return st;
    reread = true;
    bool taken = false;
    if ((st = take_console(&rec, &p.field, &taken)) > 0) return st;
    if (!taken) continue;
    put_desc_con(p.handle, p.cur, &rec);
    if (!null_device_ok(rec)) {
      // Written all the same: nothing typed is lost, but the cursor waits
      // on XNTERM= until the console can run its programs.
      ring_bell();
      p.field = C_TERM;
      if ((st = say_no_term(rec)) > 0) return st;
      continue;
    }
    switch (key) {
    case KEY_ESC: return 0;
    case KEY_F3: p.cur = previous(p); break;
    case KEY_F4: p.cur = next(p); break;
    case KEY_F5: copy_to_next(p, rec); break;
    default:
      // Enter on the last field and the other function keys.
      ring_bell();
      reread = false;
      break;
    }
  }
}

// The number prompt: previews console p.cur and returns the ending key.
int ask_number(const con_place &p, uint16_t *key) {
  con_desc rec{};
  get_desc_con(p.handle, p.cur, &rec);
  int st = load_con_form(rec);
  if (st > 0) return st;
  con_num_fields[NUM_FIELD].value = static_cast<uint16_t>(p.cur);
  if ((st = display_form(&con_num_form, SHOW_ALL)) > 0) return st;
  uint16_t field = NUM_FIELD;
  return accept_menu(&con_num_form, &field, key);
}

} // namespace

int config_con(uint32_t handle, uint32_t count) {
  if (count < 1 || count > CFI_MAX_DEVICES) {
    if (proc_trace_mask_ & 0x200) printf_trace_kern(9, "cnf_con", 578, "config_con", "SE_INV_ARG");
    return ST_BAD_COUNT;
  }
  set_device_rule(target_os);
  clear_screen();
  int st = display_form(&con_form, SHOW_STATIC);
  if (st > 0) return st;
  con_place p{.handle = handle, .count = count, .cur = 0, .field = 0};
  for (;;) {
    uint16_t key = 0;
    if ((st = ask_number(p, &key)) > 0) return st;
    if (key == KEY_ESC) return 0;
    if (key == KEY_ENTER) {
      const uint32_t n = con_num_fields[NUM_FIELD].value;
      if (n >= count) {
        p.cur = count - 1;
        ring_bell();
        continue;
      }
      p.cur = n;
      p.field = 0;
      if ((st = edit_consoles(p)) > 0) return st;
    } else if (key == KEY_UP || key == KEY_PREV) {
      p.cur = previous(p);
    } else if (key == KEY_DOWN || key == KEY_NEXT) {
      p.cur = next(p);
    } else {
      ring_bell();
    }
  }
}
