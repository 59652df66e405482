// The system configuration editor's main screen: the twelve-item menu, the
// working directory, saving, retrieving, defaults and the target OS, and
// the questions asked before anything unsaved is lost.
#include <cstdint>
#include <cstring>
#include <iterator>

#include "cfi/cfi.h"
#include "edit/editor_files.h"
#include "edit/selectors.h"
#include "lib/cfi_store.h"
#include "lib/names.h"
#include "lib/status.h"
#include "lib/strs.h"
#include "scrmgr/scrmgr.h"
#include "scrmgr/form_check.h"

uint8_t config_changed;
uint8_t config_retrieved;
uint8_t config_saved;
uint8_t config_read_only;

namespace {

// The title, "%P %R (%O)" formatted on entry (at most 255 characters).
char title_line[256];

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
const char *const Q_DISCARD_CHANGED =
    "The configuration has been changed, do you wish to discard it? ";
const char *const Q_RESET_CHANGED = "The configuration has been changed, do you wish to reset it? ";
const char *const Q_RESET_RETRIEVED =
    "Do you wish to reset the retrieved configuration to default? ";
const char *const Q_DISCARD_RETRIEVED = "Do you wish to discard the retrieved configuration? ";

editor_state state{.handle = 0,
                   .changed = &config_changed,
                   .retrieved = &config_retrieved,
                   .saved = &config_saved,
                   .read_only = &config_read_only};

// The target OS dialogue: a choice over the target names that covers the
// menu's target text, and its help line.
// clang-format off
form_field os_fields[] = {
    {.kind = FIELD_CHOICE, .flags = FF_DATA | FF_INPUT, .row = 21, .col = 17, .width = 31, .attr = 4,
     .value = 0, .min = 0, .max = 1, .list = os_target_strs},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 22, .col = 10, .width = 80, .attr = 4,
     .label = "Press <left>, or <right>, to select, Enter or ESC to exit."},
};
// clang-format on
form os_form = make_form(0, os_fields);
REGISTER_FORM(os_form);

void refresh_target_text() {
  std::memset(target_os_text, 0, sizeof target_os_text);
  std::strncpy(target_os_text,
               os_target_strs[target_os == TARGET_UNIX ? TARGET_UNIX : TARGET_WINDOWS],
               sizeof target_os_text - 1);
}

// Save prefers the saved name, Retrieve the retrieved one (kept after its
// flag is cleared); the other comes next, then system.cfi in the current
// directory.
void propose_name(const editor_state &st, menu_line line, char *work) {
  const char *saved = *st.saved ? st.saved_name : nullptr;
  const char *retrieved = *st.retrieved || st.retrieved_name[0] ? st.retrieved_name : nullptr;
  const char *first = line == LINE_SAVED ? saved : retrieved;
  const char *name = first ? first : line == LINE_SAVED ? retrieved : saved;
  if (name)
    copy_text(work, NAME_BUF, name);
  else if (resolve_file_name(DEFAULT_NAME, work) > 0)
    copy_text(work, NAME_BUF, DEFAULT_NAME);
}

// Anything but UNIX in a file means Windows, the default target.
int take_loaded(uint32_t handle) {
  target_os = get_os_target_sys(handle) == TARGET_UNIX ? TARGET_UNIX : TARGET_WINDOWS;
  refresh_target_text();
  return 0;
}

int reset_to_defaults(uint32_t handle) { return default_cfi(handle, 1, target_os); }

const editor_files files{
    .ext = CFI_EXT,
    .ask_replace = Q_REPLACE,
    .ask_continue = Q_CANNOT_SAVE_CONTINUE,
    .ask_discard = Q_DISCARD_CHANGED,
    .ask_save_retrieved = Q_SAVE_RETRIEVED,
    .ask_save_base = Q_SAVE_DEFAULTED,
    .ask_save_failed = Q_CANNOT_SAVE_DISCARD,
    .ask_reset_changed = Q_RESET_CHANGED,
    .ask_reset_retrieved = Q_RESET_RETRIEVED,
    .ask_read_only = Q_CANNOT_SAVE_CONTINUE,
    .open_call = "open_cfi",
    .open = open_cfi,
    .close = close_cfi,
    .load = load_cfi,
    .save = save_cfi,
    .error_text = get_error_buffer_cfi,
    .reset_to_base = reset_to_defaults,
    .after_load = take_loaded,
    .propose = propose_name,
    .names_as_typed = true,
    .leave_saves_at_once = true,
    .retrieve_resets = true,
};

int system_parameters(item_end *end) {
  end->full = true;
  return config_sys(state.handle);
}

// Runs the screen of one table of the configuration over its count.
int run_table(item_end *end, int (*screen)(uint32_t, uint32_t), uint32_t sys_desc::*count) {
  end->full = true;
  sys_desc sd{};
  int st = get_desc_sys(state.handle, &sd);
  return st > 0 ? st : screen(state.handle, sd.*count);
}

int environment_strings(item_end *end) {
  return run_table(end, config_str, &sys_desc::env_string_count);
}
int consoles(item_end *end) { return run_table(end, config_con, &sys_desc::con_count); }
int serial_lines(item_end *end) { return run_table(end, config_ser, &sys_desc::ser_count); }
int printers(item_end *end) { return run_table(end, config_prn, &sys_desc::prn_count); }
int queues(item_end *end) { return run_table(end, config_pcq, &sys_desc::pcq_count); }

// The PDF format count is 16 bits on the screen; a larger one is refused there.
int pdf_formats(item_end *end) {
  end->full = true;
  sys_desc sd{};
  int st = get_desc_sys(state.handle, &sd);
  const uint32_t n = sd.pdf_format_count;
  return st > 0 ? st : config_pdf(state.handle, n > 0xFFFF ? 0 : static_cast<uint16_t>(n));
}

int reset_item(item_end *end) {
  end->advance = false;
  bool reset = false;
  int st = editor_ask_reset(files, state, &reset);
  if (st > 0 || !reset) return st;
  if ((st = default_cfi(state.handle, 1, target_os)) > 0) return st;
  config_changed = config_retrieved;
  return 0;
}

int target_os_item(item_end *end) {
  end->advance = false;
  end->full = true;
  os_fields[0].value = target_os < 2 ? target_os : TARGET_WINDOWS;
  int st = display_form(&os_form, SHOW_STATIC);
  if (st > 0) return st;
  uint16_t field = 0;
  uint16_t key = 0;
  if ((st = accept_menu(&os_form, &field, &key)) > 0) return st;
  // The choice counts however the dialogue was left, Enter or ESC.
  const uint8_t chosen = static_cast<uint8_t>(os_fields[0].value ? 1 : 0);
  if (chosen == target_os) return 0;
  const char *question = config_retrieved ? Q_DISCARD_RETRIEVED
                         : config_changed ? Q_RESET_CHANGED
                                          : nullptr;
  int16_t answer = 1;
  if (question && ((st = ask_question(question, &answer)) > 0 || answer != 1)) return st;
  target_os = chosen;
  refresh_target_text();
  if ((st = default_cfi(state.handle, 1, target_os)) > 0) return st;
  config_retrieved = 0;
  config_changed = 0;
  return 0;
}

// The menu's items: their texts on the menu form and what each runs.
// clang-format off
constexpr editor_item items[] = {
    {" 1. Configure System Parameters", system_parameters},
    {" 2. Configure Environment Strings", environment_strings},
    {" 3. Configure Consoles and Programs (@CONn)", consoles},
    {" 4. Configure Serial Lines (@SERn)", serial_lines},
    {" 5. Configure Printers (@PRNn)", printers},
    {" 6. Configure Printer Control Queues (@PCQn)", queues},
    {" 7. Configure PDF Formats", pdf_formats},
    {" 8. Change Directory", nullptr, file_item::directory},
    {" 9. Save Configuration File", nullptr, file_item::save},
    {"10. Retrieve Configuration File", nullptr, file_item::retrieve},
    {"11. Reset Configuration to Defaults", reset_item},
    {"12. Change Target OS Type", target_os_item},
};
// clang-format on

// The menu. Field 0's width and column follow the title's length (set on
// entry); field 15 is the only input field and holds the selection.
constexpr uint16_t MENU_SELECTION = 15;
// clang-format off
form_field menu_fields[] = {
    {.kind = FIELD_TEXT, .flags = FF_STATIC, .row = 0, .col = 40, .width = 0, .attr = 4, .text = title_line},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 1, .col = 26, .width = 21, .attr = 5, .label = "System Configuration"},
    menu_row(items[0], 2, 20, 50),
    menu_row(items[1], 3, 20, 50),
    menu_row(items[2], 4, 20, 50),
    menu_row(items[3], 5, 20, 50),
    menu_row(items[4], 6, 20, 50),
    menu_row(items[5], 7, 20, 50),
    menu_row(items[6], 8, 20, 50),
    menu_row(items[7], 10, 20, 50),
    menu_row(items[8], 11, 20, 50),
    menu_row(items[9], 12, 20, 50),
    menu_row(items[10], 13, 20, 50),
    menu_row(items[11], 14, 20, 50),
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 16, .col = 20, .width = 15, .label = "Selection:"},
    {.kind = FIELD_NUMBER, .flags = FF_DATA | FF_INPUT | FF_SPIN, .row = 16, .col = 35, .width = 2, .attr = 4,
     .value = 1, .min = 1, .max = std::size(items)},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 21, .col = 1, .width = 16, .label = "Target OS type: "},
    {.kind = FIELD_TEXT, .flags = FF_DATA | FF_PAD, .row = 21, .col = 17, .width = 25, .attr = 4, .text = target_os_text},
    {.kind = FIELD_LABEL, .flags = FF_DATA, .row = 22, .col = 18, .width = 80, .attr = 4,
     .label = "Press <up> or <down> to select, ESC to exit.                  "},
};
// clang-format on
static_assert(std::size(menu_fields) == 19);
form menu_form = make_form(FORM_CLEAR, menu_fields);
REGISTER_FORM(menu_form);

// The next item proposed after items 1 to 7: one on, from 7 back to 1.
uint16_t next_selection(uint16_t selection) {
  return selection >= 7 ? 1 : static_cast<uint16_t>(selection + 1);
}

const editor_menu main_screen{.menu = &menu_form,
                              .selection = MENU_SELECTION,
                              .items = items,
                              .item_count = std::size(items),
                              .next = next_selection};

} // namespace

void reset_cfi_state() {
  editor_state_reset(state);
  state.handle = 0;
  menu_fields[MENU_SELECTION].value = 1;
}

int cnf_main(const char *name) { return editor_run(files, state, main_screen, target_os, name); }
