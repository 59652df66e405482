// The printer translation editor's main screen: the menu of seven items,
// the translation's name, base and comment, and its files.
#include <cstring>
#include <iterator>

#include "edit/editor_files.h"
#include "edit/selectors.h"
#include "lib/kern.h"
#include "lib/pti_store.h"
#include "lib/status.h"
#include "lib/strs.h"
#include "pti/pti.h"
#include "scrmgr/scrmgr.h"
#include "scrmgr/form_check.h"

uint8_t trans_changed = 0;
uint8_t trans_retrieved = 0;
uint8_t trans_saved = 0;
char pti_trans_name[256];

namespace {

// The title, "%P %R (%O)" formatted on entry (at most 255 characters).
char title_line[256];
char comment[32];

constexpr uint16_t SELECTION = 12;
constexpr uint16_t BASE_CHOICE = 1;

// The Base line: the printer type, chosen by item 1.
// clang-format off
form_field base_fields[] = {
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 3, .col = 18, .width = 6,
     .label = "Base: "},
    {.kind = FIELD_CHOICE, .flags = FF_DATA | FF_INPUT, .row = 3, .col = 24,
     .width = 15, .attr = 4, .min = 0, .max = PTI_PRINTER_TYPES - 1,
     .list = pti_comment},
};
// clang-format on
form base_line = make_form(0, base_fields);
REGISTER_FORM(base_line);

editor_state state{.handle = 0,
                   .changed = &trans_changed,
                   .retrieved = &trans_retrieved,
                   .saved = &trans_saved,
                   .name = pti_trans_name};

int take_loaded(uint32_t handle) {
  uint8_t type = get_printer_type_pti(handle);
  if (type < PTI_PRINTER_TYPES) printer_type = type;
  return 0;
}

int reset_to_base(uint32_t handle) { return default_pti(handle, printer_type); }

const editor_files files{
    .ext = ".pti",
    .ask_replace = "Do you wish to replace the existing translation file? ",
    .ask_continue = "The translation file cannot be saved, do you wish to continue? ",
    .ask_discard = "The translation has been changed, do you really wish to discard it? ",
    .ask_save_retrieved = "The retrieved translation has been changed, do you wish to save it? ",
    .ask_save_base = "The base translation has been changed, do you wish to save it? ",
    .ask_save_failed = "The translation cannot be saved, do you wish to discard it? ",
    .ask_reset_changed = "The translation has been changed, do you really wish to reset it? ",
    .ask_reset_retrieved = "Do you really wish to reset the retrieved translation to base? ",
    .open_call = "open_pti",
    .open = open_pti,
    .close = close_pti,
    .load = load_pti,
    .save = save_pti,
    .error_text = get_error_buffer_pti,
    .reset_to_base = reset_to_base,
    .after_load = take_loaded,
};

int select_base(item_end *end) {
  return editor_select_base(files, state, &base_line, BASE_CHOICE, PTI_PRINTER_TYPES, &printer_type,
                            &end->advance);
}

int change_comment(item_end *end) {
  char work[256] = {};
  int s = get_comment_pti(state.handle, work);
  if (s > 0) return s;
  bool esc = false;
  s = run_menu_line(LINE_COMMENT, work, &esc);
  end->advance = !esc;
  if (s > 0 || esc) return s;
  if (strcmp(work, comment) != 0) {
    memset(comment, 0, sizeof comment);
    copy_text(comment, sizeof comment, work);
    trans_changed = 1;
  }
  return put_comment_pti(state.handle, comment);
}

int job_control(item_end *end) {
  end->full = true;
  return configure_job_control(state.handle);
}

int character_map(item_end *end) {
  end->full = true;
  return configure_character_map(state.handle);
}

// The menu's items: their texts on the menu form and what each runs.
// clang-format off
constexpr editor_item items[] = {
    {"1. Select Base Translation", select_base},
    {"2. Change Comment", change_comment},
    {"3. Job Control String", job_control},
    {"4. Configure Character Mapping", character_map},
    {"5. Change Directory", nullptr, file_item::directory},
    {"6. Save Printer Translation File", nullptr, file_item::save},
    {"7. Retrieve Printer Translation File", nullptr, file_item::retrieve},
};
// clang-format on

// The menu. Field 0's column and width follow the title, set on entry;
// field 12 is the menu's only input field.
// clang-format off
form_field menu_fields[] = {
    {.kind = FIELD_TEXT, .flags = FF_STATIC, .row = 0, .col = 0, .width = 0,
     .attr = 4, .text = title_line},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 1, .col = 24, .width = 43,
     .attr = 5, .label = "Printer Translation Configuration"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 2, .col = 18, .width = 6,
     .label = "Name: "},
    {.kind = FIELD_TEXT, .flags = FF_DATA | FF_EOL, .row = 2, .col = 24,
     .width = 56, .attr = 4, .max = 255, .text = pti_trans_name},
    menu_row(items[0], 5, 21, 40),
    menu_row(items[1], 6, 21, 40),
    menu_row(items[2], 7, 21, 40),
    menu_row(items[3], 8, 21, 40),
    menu_row(items[4], 10, 21, 40),
    menu_row(items[5], 11, 21, 40),
    menu_row(items[6], 12, 21, 40),
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 16, .col = 20, .width = 12,
     .label = "Selection: "},
    {.kind = FIELD_NUMBER, .flags = FF_DATA | FF_INPUT | FF_SPIN, .row = 16,
     .col = 34, .width = 1, .attr = 4, .value = 1, .min = 1,
     .max = std::size(items)},
    {.kind = FIELD_LABEL, .flags = FF_DATA, .row = 22, .col = 18, .width = 70,
     .attr = 4, .label = "Press <up>, <down> to select, ESC to exit."},
};
// clang-format on
form menu = make_form(FORM_CLEAR, menu_fields);
REGISTER_FORM(menu);

// The next item proposed: one on, back to 1 after item 4.
uint16_t next_selection(uint16_t selection) { return selection >= 4 ? 1 : selection + 1; }

// Steps 1 and 2 of every pass: name, comment and base.
int prepare_pass() {
  editor_build_name(state, pti_filename[printer_type % PTI_PRINTER_TYPES]);
  memset(comment, 0, sizeof comment);
  int s = get_comment_pti(state.handle, comment);
  comment[sizeof comment - 1] = '\0';
  base_fields[BASE_CHOICE].value = printer_type;
  return s;
}

const editor_menu main_screen{.menu = &menu,
                              .base_line = &base_line,
                              .comment = comment,
                              .selection = SELECTION,
                              .items = items,
                              .item_count = std::size(items),
                              .next = next_selection,
                              .prepare_pass = prepare_pass};

} // namespace

int pti_main(const char *name) { return editor_run(files, state, main_screen, printer_type, name); }

void reset_pti_state() {
  editor_state_reset(state);
  state.handle = 0;
  memset(pti_trans_name, 0, sizeof pti_trans_name);
  memset(comment, 0, sizeof comment);
  menu_fields[SELECTION].value = 1;
}
