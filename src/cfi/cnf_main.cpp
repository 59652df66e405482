// The system configuration editor's main screen: the twelve-item menu, the
// working directory, saving, retrieving, defaults and the target OS, and
// the questions asked before anything unsaved is lost.
#include <cstdint>
#include <cstring>

#include "cfi/cfi.h"
#include "frame/frame.h"
#include "lib/cfi_store.h"
#include "lib/kern.h"
#include "lib/names.h"
#include "lib/status.h"
#include "lib/strs.h"
#include "scrmgr/scrmgr.h"

uint8_t config_changed;
uint8_t config_retrieved;
uint8_t config_saved;
uint8_t config_read_only;

namespace {

// State that outlives one run of the editor (names, directory, selection).
char cur_dir[NAME_BUF];
char retrieved_name[NAME_BUF];
char saved_name[NAME_BUF];
char work_name[NAME_BUF];
char no_name[NAME_BUF]; // what an empty file line shows
// sprintf_kern may write 255 characters; only the first 80 are shown.
char title_line[256];
constexpr uint16_t TITLE_MAX = 80;
uint32_t cfg_handle;
bool full_redraw;

const char *const DEFAULT_NAME = "system.cfi";
const char *const CFI_EXT = ".cfi";

// The nine questions. Five end with a blank and 0x0B; the answer field
// stands one column after that character.
const char *const Q_CANNOT_SAVE_CONTINUE =
    "The configuration file cannot be saved, do you wish to continue? \x0B";
const char *const Q_SAVE_RETRIEVED =
    "The retrieved configuration has been changed, do you wish to save it? \x0B";
const char *const Q_SAVE_DEFAULTED =
    "The defaulted configuration has been changed, do you wish to save it? \x0B";
const char *const Q_REPLACE = "Do you wish to replace the existing configuration file? \x0B";
const char *const Q_CANNOT_SAVE_DISCARD =
    "The configuration cannot be saved, do you wish to discard it? \x0B";
const char *const Q_DISCARD_CHANGED = "The configuration has been changed, do you wish to discard it? ";
const char *const Q_RESET_CHANGED = "The configuration has been changed, do you wish to reset it? ";
const char *const Q_RESET_RETRIEVED = "Do you wish to reset the retrieved configuration to default? ";
const char *const Q_DISCARD_RETRIEVED = "Do you wish to discard the retrieved configuration? ";

// The menu. Field 0's width and column follow the title's length (set on
// entry); field 15 is the only input field and holds the selection.
constexpr uint16_t MENU_TITLE = 0;
constexpr uint16_t MENU_SELECTION = 15;
form_field menu_fields[] = {
    {.kind = FIELD_TEXT, .flags = FF_STATIC, .row = 0, .col = 40, .width = 0, .attr = 4, .text = title_line},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 1, .col = 26, .width = 21, .attr = 5, .label = "System Configuration"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 2, .col = 20, .width = 50, .label = " 1. Configure System Parameters"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 3, .col = 20, .width = 50, .label = " 2. Configure Environment Strings"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 4, .col = 20, .width = 50, .label = " 3. Configure Consoles and Programs (@CONn)"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 5, .col = 20, .width = 50, .label = " 4. Configure Serial Lines (@SERn)"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 6, .col = 20, .width = 50, .label = " 5. Configure Printers (@PRNn)"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 7, .col = 20, .width = 50, .label = " 6. Configure Printer Control Queues (@PCQn)"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 8, .col = 20, .width = 50, .label = " 7. Configure PDF Formats"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 10, .col = 20, .width = 50, .label = " 8. Change Directory"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 11, .col = 20, .width = 50, .label = " 9. Save Configuration File"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 12, .col = 20, .width = 50, .label = "10. Retrieve Configuration File"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 13, .col = 20, .width = 50, .label = "11. Reset Configuration to Defaults"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 14, .col = 20, .width = 50, .label = "12. Change Target OS Type"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 16, .col = 20, .width = 15, .label = "Selection:"},
    {.kind = FIELD_NUMBER, .flags = FF_DATA | FF_INPUT | FF_SPIN, .row = 16, .col = 35, .width = 2, .attr = 4,
     .value = 1, .min = 1, .max = 12},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 21, .col = 1, .width = 16, .label = "Target OS type: "},
    {.kind = FIELD_TEXT, .flags = FF_DATA | FF_PAD, .row = 21, .col = 17, .width = 25, .attr = 4, .text = target_os_text},
    {.kind = FIELD_LABEL, .flags = FF_DATA, .row = 22, .col = 18, .width = 80, .attr = 4,
     .label = "Press <up> or <down> to select, ESC to exit.                  "},
};
static_assert(sizeof(menu_fields) / sizeof(menu_fields[0]) == 19);
form menu_form = make_form(FORM_CLEAR, menu_fields);

// The three file lines: a label and the name being shown or edited; the
// text pointer is set before each use.
constexpr uint16_t LINE_TEXT = 1;
form_field dir_line_fields[] = {
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 18, .col = 1, .width = 16, .label = "Directory: "},
    {.kind = FIELD_TEXT, .flags = FF_ZEROFILL | FF_DATA | FF_INPUT, .row = 18, .col = 17, .width = 62, .attr = 4,
     .text = no_name},
};
form_field retrieved_line_fields[] = {
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 19, .col = 1, .width = 16, .label = "Retrieved file: "},
    {.kind = FIELD_TEXT, .flags = FF_ZEROFILL | FF_DATA | FF_INPUT, .row = 19, .col = 17, .width = 62, .attr = 4,
     .text = no_name},
};
form_field saved_line_fields[] = {
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 20, .col = 1, .width = 16, .label = "Save(d) file: "},
    {.kind = FIELD_TEXT, .flags = FF_ZEROFILL | FF_DATA | FF_INPUT, .row = 20, .col = 17, .width = 62, .attr = 4,
     .text = no_name},
};
form dir_line = make_form(0, dir_line_fields);
form retrieved_line = make_form(0, retrieved_line_fields);
form saved_line = make_form(0, saved_line_fields);

// The target OS dialogue: a choice over the target names that covers the
// menu's target text, and its help line.
form_field os_fields[] = {
    {.kind = FIELD_CHOICE, .flags = FF_DATA | FF_INPUT, .row = 21, .col = 17, .width = 31, .attr = 4,
     .value = 0, .min = 0, .max = 1, .list = os_target_strs},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 22, .col = 10, .width = 80, .attr = 4,
     .label = "Press <left>, or <right>, to select, Enter or ESC to exit."},
};
form os_form = make_form(0, os_fields);

// ---------------------------------------------------------------------------
// Small services.
// ---------------------------------------------------------------------------

// Shows a status on the message line, with an optional text beside it. The
// result is the screen's own status: positive only when the message line
// failed, which ends the editor like any other screen failure.
int show_status(int status, const char *text) {
  const int st = text ? show_message_text(static_cast<uint32_t>(status), text)
                      : show_message(static_cast<uint32_t>(status));
  return st > 0 ? st : 0;
}

// Copies a name into a 256-byte buffer, zeroing the rest; refuses a name
// that does not fit.
int copy_name(char *dst, const char *src) {
  const size_t len = std::strlen(src);
  if (len > static_cast<size_t>(NAME_MAX_LEN))
    return ST_NAME_TOO_LONG;
  std::memset(dst, 0, NAME_BUF);
  std::memcpy(dst, src, len);
  return 0;
}

void refresh_target_text() {
  std::memset(target_os_text, 0, sizeof target_os_text);
  std::strncpy(target_os_text, os_target_strs[target_os == TARGET_UNIX ? TARGET_UNIX : TARGET_WINDOWS],
               sizeof target_os_text - 1);
}

// Asks a question; `yes` is true only for a Yes answer. `esc` (optional)
// tells an ESC answer apart from No.
int ask(const char *prompt, bool *yes, bool *esc = nullptr) {
  int16_t answer = 0;
  const int st = ask_yes_no(prompt, &answer);
  if (st > 0)
    return st; // no answer: the editor ends, the question stays in view
  clear_prompt_line();
  *yes = answer == 1;
  if (esc)
    *esc = answer == -1;
  return 0;
}

int stat_name(const char *name, file_status *fs) {
  *fs = file_status{};
  return get_fstat_name(name, static_cast<uint16_t>(std::strlen(name)), fs);
}

bool no_such_file(int status) { return (status & 0xFFF) == ST_NO_FILE; }

// The store's reason for a failed load or save, kept before anything else
// can touch the error buffer.
void shown_error_text(char *buf) {
  const char *text = get_error_buffer_cfi(cfg_handle);
  std::memset(buf, 0, NAME_BUF);
  if (text)
    std::strncpy(buf, text, NAME_BUF - 1);
}

// Loads `name`; on failure the store goes back to defaults and the status
// is shown with the store's reason (*loaded false).
int load_file(const char *name, bool *loaded) {
  const int st = load_cfi(cfg_handle, name);
  *loaded = st <= 0;
  if (!*loaded) {
    char reason[NAME_BUF];
    shown_error_text(reason);
    const int dst = default_cfi(cfg_handle, 1, target_os);
    return dst > 0 ? dst : show_status(st, reason);
  }
  // Anything but UNIX in a file means Windows, the default target.
  target_os = get_os_target_sys(cfg_handle) == TARGET_UNIX ? TARGET_UNIX : TARGET_WINDOWS;
  refresh_target_text();
  copy_name(retrieved_name, name);
  config_retrieved = 1;
  return 0;
}

void close_store() { close_cfi(&cfg_handle); }

// ---------------------------------------------------------------------------
// Name proposals.
// ---------------------------------------------------------------------------

void propose_default(char *work) {
  if (resolve_file_name(DEFAULT_NAME, work) > 0)
    copy_name(work, DEFAULT_NAME);
}

void propose_save_name(char *work) {
  std::memset(work, 0, NAME_BUF);
  if (config_saved)
    copy_name(work, saved_name);
  else if (config_retrieved || retrieved_name[0])
    copy_name(work, retrieved_name);
  else
    propose_default(work);
}

void propose_retrieve_name(char *work) {
  std::memset(work, 0, NAME_BUF);
  if (config_retrieved || retrieved_name[0])
    copy_name(work, retrieved_name);
  else if (config_saved)
    copy_name(work, saved_name);
  else
    propose_default(work);
}

// ---------------------------------------------------------------------------
// Drawing and the file lines.
// ---------------------------------------------------------------------------

void point_file_lines() {
  dir_line_fields[LINE_TEXT].text = cur_dir;
  retrieved_line_fields[LINE_TEXT].text = config_retrieved ? retrieved_name : no_name;
  saved_line_fields[LINE_TEXT].text = config_saved ? saved_name : no_name;
}

int draw_menu() {
  const uint16_t cls = full_redraw ? SHOW_ALL : SHOW_VALUES;
  full_redraw = false;
  int st = display_form(&menu_form, cls);
  if (st <= 0)
    st = display_form(&dir_line, cls);
  if (st <= 0)
    st = display_form(&retrieved_line, cls);
  if (st <= 0)
    st = display_form(&saved_line, cls);
  return st > 0 ? st : 0;
}

// Shows the work name on a file line and lets the user edit it.
int edit_line(form *line, uint16_t *key) {
  line->fields[LINE_TEXT].text = work_name;
  int st = display_form(line, SHOW_ALL);
  if (st > 0)
    return st;
  uint16_t field = LINE_TEXT;
  st = accept_menu(line, &field, key);
  return st > 0 ? st : 0;
}

// Gives the work name the configuration extension and shows it as it now
// stands. A name that cannot take it is shown with its status; false then.
int extend_work_name(form *line, bool *ok) {
  const int st = append_ext_name(work_name, CFI_EXT);
  *ok = st <= 0;
  if (!*ok)
    return show_status(st, work_name);
  const int dst = display_form(line, SHOW_VALUES);
  return dst > 0 ? dst : 0;
}

// ---------------------------------------------------------------------------
// Saving (item 9 and the leaving dialogue).
// ---------------------------------------------------------------------------

enum class target_verdict { save, refused, escaped };

// Checks the work name as a target of Save; asks before replacing a file.
int check_save_target(target_verdict *verdict) {
  *verdict = target_verdict::refused;
  file_status fs;
  const int st = stat_name(work_name, &fs);
  if (st > 0) {
    if (!no_such_file(st))
      return show_status(st, work_name);
    *verdict = target_verdict::save;
    return 0;
  }
  if (!(fs.flags & FSTAT_WRITABLE))
    return show_status(ST_ACCESS, work_name);
  bool yes = false;
  bool esc = false;
  const int cst = ask_if_changed_on_disk(work_name, &yes);
  if (cst > 0 || !yes)
    return cst;
  const int ast = ask(Q_REPLACE, &yes, &esc);
  if (ast > 0)
    return ast;
  *verdict = yes ? target_verdict::save : esc ? target_verdict::escaped : target_verdict::refused;
  return 0;
}

// Saves to the work name; *saved false when the store refused (status shown).
int save_work_name(bool *saved) {
  const uint8_t is_new = !config_retrieved && !config_saved;
  const int st = save_cfi(cfg_handle, work_name, is_new);
  *saved = st <= 0;
  if (!*saved) {
    char reason[NAME_BUF];
    shown_error_text(reason);
    return show_status(st, reason);
  }
  copy_name(saved_name, work_name);
  config_changed = 0;
  config_saved = 1;
  return 0;
}

int save_item() {
  propose_save_name(work_name);
  for (;;) {
    uint16_t key = 0;
    int st = edit_line(&saved_line, &key);
    if (st > 0)
      return st;
    if (key == KEY_ESC)
      return 0;
    bool ok = false;
    if ((st = extend_work_name(&saved_line, &ok)) > 0)
      return st;
    if (!ok)
      continue;
    target_verdict v;
    if ((st = check_save_target(&v)) > 0)
      return st;
    bool saved = false;
    if (v == target_verdict::save && ((st = save_work_name(&saved)) > 0 || saved))
      return st;
  }
}

// ---------------------------------------------------------------------------
// Items 8, 10, 11 and 12.
// ---------------------------------------------------------------------------

// One try of a typed directory; *done when it became the current directory.
int try_directory(bool *done) {
  *done = false;
  char processed[NAME_BUF] = {};
  uint16_t len = 0;
  int st = process_file_name(work_name, processed, &len);
  if (st > 0)
    return show_status(st, work_name);
  if (test_simple_name(processed) && (st = make_full_name(processed, &len)) > 0)
    return show_status(st, processed);
  copy_name(work_name, processed);
  if ((st = display_form(&dir_line, SHOW_VALUES)) > 0)
    return st;
  file_status fs;
  if ((st = stat_name(work_name, &fs)) > 0)
    return show_status(st, work_name);
  if (!(fs.flags & FSTAT_WRITABLE) || !(fs.flags & FSTAT_DIR))
    return show_status(ST_ACCESS, work_name);
  if ((st = set_cur_dir_kern(work_name)) > 0)
    return show_status(st, work_name);
  copy_name(cur_dir, work_name);
  *done = true;
  return 0;
}

int directory_item() {
  copy_name(work_name, cur_dir);
  for (;;) {
    uint16_t key = 0;
    int st = edit_line(&dir_line, &key);
    if (st > 0 || key == KEY_ESC)
      return st;
    bool done = false;
    if ((st = try_directory(&done)) > 0 || done)
      return st;
  }
}

// One try of a typed name on the Retrieved line; *done when it was loaded.
int try_retrieve(bool *done) {
  *done = false;
  bool ok = false;
  int st = extend_work_name(&retrieved_line, &ok);
  if (st > 0 || !ok)
    return st;
  file_status fs;
  if ((st = stat_name(work_name, &fs)) > 0)
    return show_status(st, work_name);
  if (!(fs.flags & FSTAT_WRITABLE)) {
    bool yes = false;
    if ((st = ask(Q_CANNOT_SAVE_CONTINUE, &yes)) > 0 || !yes)
      return st;
  }
  config_saved = 0;
  config_changed = 0;
  config_retrieved = 0;
  return load_file(work_name, done);
}

int retrieve_item() {
  if (config_changed) {
    bool yes = false;
    const int st = ask(Q_DISCARD_CHANGED, &yes);
    if (st > 0 || !yes)
      return st;
  }
  propose_retrieve_name(work_name);
  for (;;) {
    uint16_t key = 0;
    int st = edit_line(&retrieved_line, &key);
    if (st > 0 || key == KEY_ESC)
      return st;
    bool done = false;
    if ((st = try_retrieve(&done)) > 0 || done)
      return st;
  }
}

int reset_item() {
  const char *question = config_changed ? Q_RESET_CHANGED : config_retrieved ? Q_RESET_RETRIEVED : nullptr;
  if (question) {
    bool yes = false;
    const int st = ask(question, &yes);
    if (st > 0 || !yes)
      return st;
  }
  const int st = default_cfi(cfg_handle, 1, target_os);
  if (st > 0)
    return st;
  config_changed = config_retrieved;
  return 0;
}

int target_os_item() {
  os_fields[0].value = target_os < 2 ? target_os : TARGET_WINDOWS;
  int st = display_form(&os_form, SHOW_STATIC);
  if (st > 0)
    return st;
  uint16_t field = 0;
  uint16_t key = 0;
  if ((st = accept_menu(&os_form, &field, &key)) > 0)
    return st;
  // The choice counts however the dialogue was left, Enter or ESC.
  const uint8_t chosen = static_cast<uint8_t>(os_fields[0].value ? 1 : 0);
  if (chosen == target_os)
    return 0;
  const char *question = config_retrieved ? Q_DISCARD_RETRIEVED : config_changed ? Q_RESET_CHANGED : nullptr;
  if (question) {
    bool yes = false;
    if ((st = ask(question, &yes)) > 0 || !yes)
      return st;
  }
  target_os = chosen;
  refresh_target_text();
  if ((st = default_cfi(cfg_handle, 1, target_os)) > 0)
    return st;
  config_retrieved = 0;
  config_changed = 0;
  return 0;
}

// ---------------------------------------------------------------------------
// The menu and leaving.
// ---------------------------------------------------------------------------

int open_subscreen(uint16_t item, const sys_desc &sd) {
  switch (item) {
  case 1:
    return config_sys(cfg_handle);
  case 2:
    return config_str(cfg_handle, sd.env_string_count);
  default:
    // Consoles, serial lines, printers, queues and PDF formats come later.
    return show_status(ST_NOT_BUILT, nullptr);
  }
}

int act_on_selection(uint16_t item, const sys_desc &sd) {
  uint16_t &selection = menu_fields[MENU_SELECTION].value;
  switch (item) {
  case 8:
    return directory_item();
  case 9:
    return save_item();
  case 10:
    return retrieve_item();
  case 11:
    return reset_item();
  case 12:
    full_redraw = true;
    return target_os_item();
  default: {
    const int st = open_subscreen(item, sd);
    full_redraw = true;
    selection = item >= 7 ? 1 : static_cast<uint16_t>(item + 1);
    return st;
  }
  }
}

enum class leave_result { stay, leave };

// One try of the work name while leaving: *decided when the editor leaves
// (saved, or discarded after a failed save) or goes back to the menu.
int leave_try_save(leave_result *out, bool *decided) {
  *decided = false;
  target_verdict v;
  int st = check_save_target(&v);
  if (st > 0 || v == target_verdict::refused)
    return st;
  *decided = true;
  if (v == target_verdict::escaped) {
    *out = leave_result::stay;
    return 0;
  }
  bool saved = false;
  if ((st = save_work_name(&saved)) > 0 || saved)
    return st;
  bool yes = false;
  if ((st = ask(Q_CANNOT_SAVE_DISCARD, &yes)) > 0)
    return st;
  *decided = yes;
  return 0;
}

// The Saved line while leaving, until a name takes the extension; *esc
// when the user went back to the menu instead.
int leave_edit_name(bool *esc) {
  for (;;) {
    uint16_t key = 0;
    int st = edit_line(&saved_line, &key);
    *esc = key == KEY_ESC;
    if (st > 0 || *esc)
      return st;
    bool ok = false;
    if ((st = extend_work_name(&saved_line, &ok)) > 0 || ok)
      return st;
  }
}

// Saving while leaving: the proposal is tried at once, then names typed on
// the Saved line, until one is saved or the user gives up.
int leave_by_saving(leave_result *out) {
  propose_save_name(work_name);
  saved_line_fields[LINE_TEXT].text = work_name;
  for (;;) {
    bool decided = false;
    int st = leave_try_save(out, &decided);
    if (st > 0 || decided)
      return st;
    bool esc = false;
    if ((st = leave_edit_name(&esc)) > 0)
      return st;
    if (esc) {
      *out = leave_result::stay;
      return 0;
    }
  }
}

int leave_editor(leave_result *out) {
  *out = leave_result::leave;
  if (!config_changed)
    return 0;
  bool yes = false;
  bool esc = false;
  const int st = ask(config_retrieved ? Q_SAVE_RETRIEVED : Q_SAVE_DEFAULTED, &yes, &esc);
  if (st > 0)
    return st;
  if (esc) {
    *out = leave_result::stay;
    return 0;
  }
  return yes ? leave_by_saving(out) : 0;
}

int menu_loop() {
  for (;;) {
    point_file_lines();
    int st = draw_menu();
    if (st > 0)
      return st;
    uint16_t field = MENU_SELECTION;
    uint16_t key = 0;
    if ((st = accept_menu(&menu_form, &field, &key)) > 0)
      return st;
    if (key == KEY_ESC) {
      leave_result r;
      if ((st = leave_editor(&r)) > 0 || r == leave_result::leave)
        return st;
      continue;
    }
    sys_desc sd{};
    if ((st = get_desc_sys(cfg_handle, &sd)) > 0)
      return st;
    if ((st = act_on_selection(menu_fields[MENU_SELECTION].value, sd)) > 0)
      return st;
  }
}

// ---------------------------------------------------------------------------
// Entry.
// ---------------------------------------------------------------------------

// Takes the file named at entry; a positive result ends the editor.
int open_given_file(const char *name) {
  int st = 0;
  if (test_simple_name(name)) {
    copy_name(work_name, cur_dir);
    st = append_simple_name(work_name, name);
  } else {
    st = copy_name(work_name, name);
  }
  if (st <= 0)
    st = append_ext_name(work_name, CFI_EXT);
  file_status fs;
  if (st <= 0)
    st = stat_name(work_name, &fs);
  if (st > 0) {
    const int mst = show_status(st, st == ST_NAME_TOO_LONG ? nullptr : work_name);
    return mst > 0 ? mst : no_such_file(st) ? 0 : st;
  }
  if (!(fs.flags & FSTAT_WRITABLE))
    config_read_only = 1;
  bool loaded = false;
  return load_file(work_name, &loaded);
}

void format_title() {
  std::memset(title_line, 0, sizeof title_line);
  int len = sprintf_kern(title_line, "%P %R (%O)");
  if (len < 0)
    len = 0;
  if (len > TITLE_MAX) {
    len = TITLE_MAX;
    title_line[len] = '\0';
  }
  menu_fields[MENU_TITLE].width = static_cast<uint16_t>(len);
  menu_fields[MENU_TITLE].col = static_cast<uint16_t>(40 - len / 2);
}

int enter_editor(const char *name) {
  uint16_t len = 0;
  std::memset(cur_dir, 0, sizeof cur_dir);
  get_cur_dir_kern(cur_dir, &len);
  if (name) {
    const int st = open_given_file(name);
    if (st > 0)
      return st;
  }
  if (config_read_only) {
    bool yes = false;
    const int st = ask(Q_CANNOT_SAVE_CONTINUE, &yes);
    if (st > 0)
      return st;
    if (!yes)
      return ST_DECLINED;
  }
  format_title();
  menu_fields[MENU_SELECTION].value = 1;
  full_redraw = true;
  return 0;
}

} // namespace

void reset_cfi_state() {
  config_changed = config_retrieved = config_saved = config_read_only = 0;
  std::memset(cur_dir, 0, sizeof cur_dir);
  std::memset(retrieved_name, 0, sizeof retrieved_name);
  std::memset(saved_name, 0, sizeof saved_name);
  std::memset(work_name, 0, sizeof work_name);
  std::memset(no_name, 0, sizeof no_name);
  menu_fields[MENU_SELECTION].value = 1;
  cfg_handle = 0;
  full_redraw = true;
}

int cnf_main(const char *name) {
  config_changed = config_retrieved = config_saved = config_read_only = 0;
  int st = open_cfi(&cfg_handle, target_os);
  if (st > 0) {
    // The store's status is the one returned, whatever the message line does.
    show_status(st, "open_cfi");
    delay_kern(10);
    return st;
  }
  st = enter_editor(name);
  if (st > 0) {
    close_store();
    if (st != ST_DECLINED)
      delay_kern(10);
    return st;
  }
  st = menu_loop();
  close_store();
  return st;
}
