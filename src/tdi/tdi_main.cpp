// The terminal description editor's main screen: the menu of nine items,
// the description's name, base and comment, and its files.
#include <cstring>
#include <iterator>

#include "edit/editor_files.h"
#include "edit/selectors.h"
#include "lib/kern.h"
#include "lib/status.h"
#include "lib/strs.h"
#include "lib/tdi_store.h"
#include "scrmgr/scrmgr.h"
#include "tdi/tdi.h"
#include "scrmgr/form_check.h"

uint8_t desc_changed = 0;
uint8_t desc_retrieved = 0;
uint8_t desc_saved = 0;
char tdi_desc_name[256];
char tdi_comment[32];

namespace {

// The title, "%P %R (%O)" formatted on entry (at most 255 characters).
char title_line[256];

constexpr uint16_t SELECTION = 14;
constexpr uint16_t BASE_CHOICE = 1;

bool has_colour_map(uint8_t base) { return base >= 11 && base <= 13; }

// The Base line: the base terminal type, chosen by item 1.
// clang-format off
form_field base_fields[] = {
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 3, .col = 18, .width = 6,
     .label = "Base: "},
    {.kind = FIELD_CHOICE, .flags = FF_DATA | FF_INPUT, .row = 3, .col = 24,
     .width = 16, .attr = 4, .min = 0, .max = TDI_TERM_TYPES - 1,
     .list = term_strs},
};
// clang-format on
form base_line = make_form(0, base_fields);
REGISTER_FORM(base_line);

editor_state state{.handle = 0,
                   .changed = &desc_changed,
                   .retrieved = &desc_retrieved,
                   .saved = &desc_saved,
                   .name = tdi_desc_name};

// Copies the comment of the store's control record into the shared copy;
// with `take_base`, the record's base type becomes the base terminal.
int read_ctrl(uint32_t handle, bool take_base) {
  tdi_ctrl rec{};
  int s = get_ctrl_tdi(handle, &rec);
  if (s > 0) return s;
  copy_text(tdi_comment, sizeof tdi_comment, rec.comment);
  if (take_base && rec.base_type < TDI_TERM_TYPES) base_terminal = rec.base_type;
  return 0;
}

int take_loaded(uint32_t handle) { return read_ctrl(handle, true); }

int reset_to_base(uint32_t handle) { return default_tdi(handle, base_terminal); }

const editor_files files{
    .ext = ".tdi",
    .ask_replace = "Do you wish to replace the existing description file? ",
    .ask_continue = "The description file cannot be saved, do you wish to continue? ",
    .ask_discard = "The description has been changed, do you really wish to discard it? ",
    .ask_save_retrieved = "The retrieved description has been changed, do you wish to save it? ",
    .ask_save_base = "The base description has been changed, do you wish to save it? ",
    .ask_save_failed = "The description cannot be saved, do you wish to discard it? ",
    .ask_reset_changed = "The description has been changed, do you really wish to reset it? ",
    .ask_reset_retrieved = "Do you really wish to reset the retrieved description to base? ",
    .open_call = "open_tdi",
    .open = open_tdi,
    .close = close_tdi,
    .load = load_tdi,
    .save = save_tdi,
    .error_text = get_error_buffer_tdi,
    .reset_to_base = reset_to_base,
    .after_load = take_loaded,
};

int select_base(item_end *end) {
  return editor_select_base(files, state, &base_line, BASE_CHOICE, TDI_TERM_TYPES, &base_terminal,
                            &end->advance);
}

int change_comment(item_end *end) {
  char work[256] = {};
  copy_text(work, sizeof work, tdi_comment);
  bool esc = false;
  int s = run_menu_line(LINE_COMMENT, work, &esc);
  end->advance = !esc;
  if (s > 0 || esc || strcmp(work, tdi_comment) == 0) return s;
  tdi_ctrl rec{};
  s = get_ctrl_tdi(state.handle, &rec);
  if (s > 0) return s;
  memset(rec.comment, 0, sizeof rec.comment);
  copy_text(rec.comment, sizeof rec.comment, work);
  s = put_ctrl_tdi(state.handle, &rec);
  if (s <= 0) desc_changed = 1;
  return s;
}

int parameters(item_end *end) {
  end->full = true;
  return configure_parameters(state.handle);
}

int keyboard(item_end *end) {
  end->full = true;
  return configure_keyboard(state.handle);
}

int display_characters(item_end *end) {
  if (base_terminal == TDI_LINE_MODE_TYPE) return show_message(ST_FAILED);
  end->full = true;
  return configure_display_characters(state.handle);
}

int colour_map(item_end *end) {
  if (!has_colour_map(base_terminal)) return show_message(ST_FAILED);
  end->full = true;
  return base_terminal == 13 ? configure_base_colours(state.handle)
                             : configure_colour_attributes(state.handle);
}

// The menu's items: their texts on the menu form and what each runs.
// clang-format off
constexpr editor_item items[] = {
    {"1. Select Base Terminal", select_base},
    {"2. Change Comment", change_comment},
    {"3. Configure Parameters", parameters},
    {"4. Configure Keyboard", keyboard},
    {"5. Configure Display Characters", display_characters},
    {"6. Configure Color / Attribute Map", colour_map},
    {"7. Change Directory", nullptr, file_item::directory},
    {"8. Save Terminal Description File", nullptr, file_item::save},
    {"9. Retrieve Terminal Description File", nullptr, file_item::retrieve},
};
// clang-format on

// The menu. Field 0's column and width follow the title, set on entry;
// field 14 is the menu's only input field.
// clang-format off
form_field menu_fields[] = {
    {.kind = FIELD_TEXT, .flags = FF_STATIC, .row = 0, .col = 0, .width = 0,
     .attr = 4, .text = title_line},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 1, .col = 18, .width = 43,
     .attr = 5, .label = "Terminal Description (XNTERM) Configuration"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 2, .col = 18, .width = 6,
     .label = "Name: "},
    {.kind = FIELD_TEXT, .flags = FF_DATA | FF_EOL, .row = 2, .col = 24,
     .width = 56, .attr = 4, .max = 255, .text = tdi_desc_name},
    menu_row(items[0], 5, 21, 40),
    menu_row(items[1], 6, 21, 40),
    menu_row(items[2], 7, 21, 40),
    menu_row(items[3], 8, 21, 40),
    menu_row(items[4], 9, 21, 40),
    menu_row(items[5], 10, 21, 40),
    menu_row(items[6], 12, 21, 40),
    menu_row(items[7], 13, 21, 40),
    menu_row(items[8], 14, 21, 40),
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 16, .col = 20, .width = 12,
     .label = "Selection: "},
    {.kind = FIELD_NUMBER, .flags = FF_DATA | FF_INPUT | FF_SPIN, .row = 16,
     .col = 34, .width = 2, .attr = 4, .value = 1, .min = 1,
     .max = std::size(items)},
    {.kind = FIELD_LABEL, .flags = FF_DATA, .row = 22, .col = 18, .width = 70,
     .attr = 4, .label = "Press <up>, <down> to select, ESC to exit."},
};
// clang-format on
form menu = make_form(FORM_CLEAR, menu_fields);
REGISTER_FORM(menu);

// The next item proposed: one on, back to 1 after the last of items 1 to 5,
// or 6 where the base has a colour map.
uint16_t next_selection(uint16_t selection) {
  uint16_t last = has_colour_map(base_terminal) ? 6 : 5;
  return selection + 1 > last ? 1 : selection + 1;
}

// Step 1 and 2 of every pass: name, comment and base.
int prepare_pass() {
  editor_build_name(state, def_term_filename[base_terminal % TDI_TERM_TYPES]);
  base_fields[BASE_CHOICE].value = base_terminal;
  return read_ctrl(state.handle, false);
}

const editor_menu main_screen{.menu = &menu,
                              .base_line = &base_line,
                              .comment = tdi_comment,
                              .selection = SELECTION,
                              .items = items,
                              .item_count = std::size(items),
                              .next = next_selection,
                              .prepare_pass = prepare_pass};

} // namespace

int tdi_main(const char *name) {
  return editor_run(files, state, main_screen, base_terminal, name);
}

void reset_tdi_state() {
  editor_state_reset(state);
  state.handle = 0;
  memset(tdi_desc_name, 0, sizeof tdi_desc_name);
  memset(tdi_comment, 0, sizeof tdi_comment);
  menu_fields[SELECTION].value = 1;
}
