// The terminal description editor's main screen: the menu of nine items,
// the description's name, base and comment, and its files.
#include <cstring>
#include <iterator>

#include "frame/editor_files.h"
#include "frame/frame.h"
#include "lib/kern.h"
#include "lib/status.h"
#include "lib/strs.h"
#include "lib/tdi_store.h"
#include "scrmgr/scrmgr.h"
#include "tdi/tdi.h"

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

// The menu. Field 0's column and width follow the title, set on entry;
// field 14 is the menu's only input field.
form_field menu_fields[] = {
    {.kind = FIELD_TEXT, .flags = FF_STATIC, .row = 0, .col = 0, .width = 0,
     .attr = 4, .text = title_line},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 1, .col = 18, .width = 43,
     .attr = 5, .label = "Terminal Description (XNTERM) Configuration"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 2, .col = 18, .width = 6,
     .label = "Name: "},
    {.kind = FIELD_TEXT, .flags = FF_DATA | FF_EOL, .row = 2, .col = 24,
     .width = 80, .attr = 4, .text = tdi_desc_name},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 5, .col = 21, .width = 40,
     .label = "1. Select Base Terminal"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 6, .col = 21, .width = 40,
     .label = "2. Change Comment"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 7, .col = 21, .width = 40,
     .label = "3. Configure Parameters"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 8, .col = 21, .width = 40,
     .label = "4. Configure Keyboard"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 9, .col = 21, .width = 40,
     .label = "5. Configure Display Characters"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 10, .col = 21, .width = 40,
     .label = "6. Configure Color / Attribute Map"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 12, .col = 21, .width = 40,
     .label = "7. Change Directory"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 13, .col = 21, .width = 40,
     .label = "8. Save Terminal Description File"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 14, .col = 21, .width = 40,
     .label = "9. Retrieve Terminal Description File"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 16, .col = 20, .width = 12,
     .label = "Selection: "},
    {.kind = FIELD_NUMBER, .flags = FF_DATA | FF_INPUT | FF_SPIN, .row = 16,
     .col = 34, .width = 2, .attr = 4, .value = 1, .min = 1, .max = 9},
    {.kind = FIELD_LABEL, .flags = FF_DATA, .row = 22, .col = 18, .width = 70,
     .attr = 4, .label = "Press <up>, <down> to select, ESC to exit."},
};
form menu = make_form(FORM_CLEAR, menu_fields);

// The Base line: the base terminal type, chosen by item 1.
form_field base_fields[] = {
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 3, .col = 18, .width = 6,
     .label = "Base: "},
    {.kind = FIELD_CHOICE, .flags = FF_DATA | FF_INPUT, .row = 3, .col = 24,
     .width = 16, .attr = 4, .min = 0, .max = TDI_TERM_TYPES - 1,
     .list = term_strs},
};
form base_line = make_form(0, base_fields);

editor_state state{.handle = 0,
                   .changed = &desc_changed,
                   .retrieved = &desc_retrieved,
                   .saved = &desc_saved,
                   .name = tdi_desc_name};

bool has_colour_map(uint8_t base) { return base >= 11 && base <= 13; }

// Copies the comment of the store's control record into the shared copy.
int refresh_comment(uint32_t handle) {
  tdi_ctrl rec{};
  int s = get_ctrl_tdi(handle, &rec);
  if (s > 0) return s;
  copy_text(tdi_comment, sizeof tdi_comment, rec.comment);
  return 0;
}

int take_loaded(uint32_t handle) {
  tdi_ctrl rec{};
  int s = get_ctrl_tdi(handle, &rec);
  if (s > 0) return s;
  copy_text(tdi_comment, sizeof tdi_comment, rec.comment);
  if (rec.base_type < TDI_TERM_TYPES) base_terminal = rec.base_type;
  return 0;
}

int reset_to_base(uint32_t handle) { return default_tdi(handle, base_terminal); }

const editor_files files{
    .ext = ".tdi",
    .ask_replace = "Do you wish to replace the existing description file? ",
    .ask_continue =
        "The description file cannot be saved, do you wish to continue? ",
    .ask_discard =
        "The description has been changed, do you really wish to discard it? ",
    .ask_save_retrieved =
        "The retrieved description has been changed, do you wish to save it? ",
    .ask_save_base =
        "The base description has been changed, do you wish to save it? ",
    .ask_save_failed =
        "The description cannot be saved, do you wish to discard it? ",
    .ask_reset_changed =
        "The description has been changed, do you really wish to reset it? ",
    .ask_reset_retrieved =
        "Do you really wish to reset the retrieved description to base? ",
    .open_call = "open_tdi",
    .open = open_tdi,
    .close = close_tdi,
    .load = load_tdi,
    .save = save_tdi,
    .error_text = get_error_buffer_tdi,
    .reset_to_base = reset_to_base,
    .after_load = take_loaded,
};

// What an item asks of the menu after it ran.
struct item_end {
  bool advance; // propose the next item
  bool full;    // the menu is drawn over: redraw it in full
};

int select_base(item_end *end) {
  return editor_select_base(files, state, &base_line, BASE_CHOICE, TDI_TERM_TYPES,
                            &base_terminal, &end->advance);
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

// The display character and colour screens come with a later release;
// until then their items say so.

int display_characters(item_end *) {
  return show_message(base_terminal == TDI_LINE_MODE_TYPE ? ST_FAILED
                                                          : ST_NOT_BUILT);
}

int colour_map(item_end *) {
  return show_message(has_colour_map(base_terminal) ? ST_NOT_BUILT : ST_FAILED);
}

int change_directory(item_end *end) {
  end->advance = false;
  return editor_change_directory(state);
}

int save(item_end *end) {
  end->advance = false;
  return editor_save(files, state);
}

int retrieve(item_end *end) {
  end->advance = false;
  return editor_retrieve(files, state);
}

// The items by number; row i runs item i.
int (*const items[])(item_end *) = {
    nullptr,        select_base, change_comment, parameters, keyboard,
    display_characters, colour_map, change_directory, save, retrieve,
};
static_assert(std::size(items) == 10);

// The next item proposed: one on, back to 1 after the last of items 1 to 5,
// or 6 where the base has a colour map.
uint16_t next_selection(uint16_t selection) {
  uint16_t last = has_colour_map(base_terminal) ? 6 : 5;
  return selection + 1 > last ? 1 : selection + 1;
}

// Step 1 and 2 of every pass: name, comment and the lines' buffers.
int prepare_pass() {
  editor_build_name(state, def_term_filename[base_terminal % TDI_TERM_TYPES]);
  int s = refresh_comment(state.handle);
  editor_point_lines(state, tdi_comment);
  base_fields[BASE_CHOICE].value = base_terminal;
  return s;
}

int run_item(uint16_t selection, bool *full) {
  item_end end{.advance = true, .full = false};
  if (selection < 1 || selection >= std::size(items)) return 0;
  int s = items[selection](&end);
  if (end.full) *full = true;
  if (s <= 0 && end.advance)
    menu_fields[SELECTION].value = next_selection(selection);
  return s;
}

const editor_menu main_screen{.menu = &menu,
                              .base_line = &base_line,
                              .selection = SELECTION,
                              .prepare_pass = prepare_pass,
                              .run_item = run_item};

}  // namespace

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
