// The top menu: a choice of the three editors, offered again after each.
#include <cstdint>

#include "cfi/cfi.h"
#include "edit/editor_files.h"
#include "frame/frame.h"
#include "lib/kern.h"
#include "pti/pti.h"
#include "scrmgr/scrmgr.h"
#include "tdi/tdi.h"
#include "scrmgr/form_check.h"

namespace {

// "%P %R (%O)" may format to 255 characters; one line of it is shown.
char top_menu_title[256];

// The top menu. Field 0's column and width are set when the title is
// formatted; field 5 holds the selection (1..3) and is the only input.
// clang-format off
form_field top_menu_fields[] = {
    {.kind = FIELD_TEXT, .flags = FF_STATIC, .row = 0, .col = 0, .width = 0,
     .attr = 4, .value = 0, .min = 0, .max = 0, .text = top_menu_title,
     .label = nullptr, .list = nullptr},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 4, .col = 20, .width = 50,
     .attr = 0, .value = 0, .min = 0, .max = 0, .text = nullptr,
     .label = " 1. Configure System Configurations (.cfi)", .list = nullptr},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 5, .col = 20, .width = 50,
     .attr = 0, .value = 0, .min = 0, .max = 0, .text = nullptr,
     .label = " 2. Configure Terminal Descriptions (.tdi)", .list = nullptr},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 6, .col = 20, .width = 50,
     .attr = 0, .value = 0, .min = 0, .max = 0, .text = nullptr,
     .label = " 3. Configure Printer Translations (.pti)", .list = nullptr},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 10, .col = 20,
     .width = 15, .attr = 0, .value = 0, .min = 0, .max = 0, .text = nullptr,
     .label = "Selection:", .list = nullptr},
    {.kind = FIELD_NUMBER, .flags = FF_DATA | FF_INPUT | FF_SPIN, .row = 10,
     .col = 35, .width = 2, .attr = 4, .value = 1, .min = 1, .max = 3,
     .text = nullptr, .label = nullptr, .list = nullptr},
    {.kind = FIELD_LABEL, .flags = FF_DATA, .row = 22, .col = 18, .width = 70,
     .attr = 4, .value = 0, .min = 0, .max = 0, .text = nullptr,
     .label = "Press <up> or <down> to select, ESC to exit."
              "                  ",
     .list = nullptr},
};
// clang-format on
form top_menu_form = make_form(FORM_CLEAR, top_menu_fields);
REGISTER_FORM(top_menu_form);

constexpr uint16_t TITLE_FIELD = 0;
constexpr uint16_t SELECTION_FIELD = 5;

int run_choice(uint16_t selection) {
  switch (selection) {
  case 1: return cnf_main(nullptr);
  case 2: return tdi_main(nullptr);
  case 3: return pti_main(nullptr);
  default: return 0;
  }
}

} // namespace

int top_menu() {
  centre_title(top_menu_fields[TITLE_FIELD]);
  form_field &selection = top_menu_fields[SELECTION_FIELD];
  selection.value = 1;
  bool full_draw = true;
  for (;;) {
    int st = display_form(&top_menu_form, full_draw ? SHOW_ALL : SHOW_VALUES);
    full_draw = false;
    if (st > 0) return st;
    uint16_t field = SELECTION_FIELD;
    uint16_t key = 0;
    st = accept_menu(&top_menu_form, &field, &key);
    if (st > 0) return st;
    if ((key & 0xFF) == 1) // ESC
      return 0;
    st = run_choice(selection.value);
    full_draw = true;
    // Propose the next editor after each one.
    selection.value = selection.value >= 3 ? 1 : selection.value + 1;
    if (st > 0) return st;
  }
}
