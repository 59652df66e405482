// The "Printer Control Queue (PCQ) Configuration" screen: one queue per
// screen row: the printer or print queue it feeds, its switches, end
// disposition and printer translation. The Windows layout edits three
// form-feed switches, the UNIX layout notify and no-banner. The copy key
// copies a queue exactly.
#include <cstdint>
#include <iterator>

#include "cfi/cfi.h"
#include "cfi/line_table.h"
#include "lib/cfi_store.h"
#include "lib/strs.h"
#include "scrmgr/form_check.h"

namespace {

// The two texts of the row being drawn or edited, in either layout.
char queue_buf[36];
char translation_buf[16];

constexpr form_field pcq_title = {.kind = FIELD_LABEL,
                                  .flags = FF_STATIC,
                                  .row = 0,
                                  .col = 19,
                                  .width = 41,
                                  .attr = 5,
                                  .label = "Printer Control Queue (PCQ) Configuration"};

// clang-format off
form_field pcq_win_frame_fields[] = {
    pcq_title,
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 2, .col = 0, .width = 80, .attr = 0,
     .label = "                                              Printer         Aut End    FFeed"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 3, .col = 0, .width = 80, .attr = 0,
     .label = "@PCQ  Windows Printer Name                Ena Translation     Que Disp   B C E"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 4, .col = 0, .width = 80, .attr = 0,
     .label = "----  ----------------------------------- --- --------------- --- ------ - - -"},
    line_help,
};
// clang-format on
form pcq_win_frame = make_form(FORM_CLEAR, pcq_win_frame_fields);
REGISTER_FORM(pcq_win_frame);

// clang-format off
form_field pcq_unix_frame_fields[] = {
    pcq_title,
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 2, .col = 0, .width = 80, .attr = 0,
     .label = "                                              Printer         Aut End        No "},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 3, .col = 0, .width = 80, .attr = 0,
     .label = "@PCQ  Print Queue                         Ena Translation     Que Disp   Ntf Ban"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 4, .col = 0, .width = 80, .attr = 0,
     .label = "----  ----------------------------------- --- --------------- --- ------ --- ---"},
    line_help,
};
// clang-format on
form pcq_unix_frame = make_form(FORM_CLEAR, pcq_unix_frame_fields);
REGISTER_FORM(pcq_unix_frame);

// Fields 0 to 5 are the same in both layouts; the switches after them are
// the layout's own.
enum : uint16_t {
  Q_NUM,
  Q_NAME,
  Q_ENABLE,
  Q_TRANSLATION,
  Q_AUTO,
  Q_DISP,
  Q_SWITCH1,
  Q_SWITCH2,
  Q_SWITCH3
};
// clang-format off
constexpr form_field pcq_common_fields[] = {
    line_number(0),
    {.kind = FIELD_TEXT, .flags = LINE_TEXT_INPUT, .col = 6, .width = 35, .attr = 4, .text = queue_buf},
    {.kind = FIELD_YESNO, .flags = LINE_INPUT, .col = 43, .width = 1, .attr = 4, .value = 1, .min = 0, .max = 1},
    {.kind = FIELD_TEXT, .flags = LINE_TEXT_INPUT, .col = 46, .width = 15, .attr = 4, .text = translation_buf},
    {.kind = FIELD_YESNO, .flags = LINE_INPUT, .col = 63, .width = 1, .attr = 4, .value = 1, .min = 0, .max = 1},
    {.kind = FIELD_CHOICE, .flags = LINE_INPUT, .col = 66, .width = 6, .attr = 4, .value = 0, .min = 0, .max = 2,
     .list = pcq_disp_strs},
};
// clang-format on

// A switch of one layout, on by default.
constexpr form_field pcq_switch(uint16_t col) {
  return {.kind = FIELD_YESNO,
          .flags = LINE_INPUT,
          .col = col,
          .width = 1,
          .attr = 4,
          .value = 1,
          .min = 0,
          .max = 1};
}

// clang-format off
form_field pcq_win_row_fields[] = {
    pcq_common_fields[Q_NUM], pcq_common_fields[Q_NAME], pcq_common_fields[Q_ENABLE],
    pcq_common_fields[Q_TRANSLATION], pcq_common_fields[Q_AUTO], pcq_common_fields[Q_DISP],
    pcq_switch(73), // B
    pcq_switch(75), // C
    pcq_switch(77), // E
};
// clang-format on
static_assert(std::size(pcq_win_row_fields) == Q_SWITCH3 + 1);
form pcq_win_row = make_form(FORM_FKEYS | FORM_LINE, pcq_win_row_fields);
REGISTER_FORM(pcq_win_row);

// clang-format off
form_field pcq_unix_row_fields[] = {
    pcq_common_fields[Q_NUM], pcq_common_fields[Q_NAME], pcq_common_fields[Q_ENABLE],
    pcq_common_fields[Q_TRANSLATION], pcq_common_fields[Q_AUTO], pcq_common_fields[Q_DISP],
    pcq_switch(74), // Ntf
    pcq_switch(78), // Ban
};
// clang-format on
static_assert(std::size(pcq_unix_row_fields) == Q_SWITCH2 + 1);
form pcq_unix_row = make_form(FORM_FKEYS | FORM_LINE, pcq_unix_row_fields);
REGISTER_FORM(pcq_unix_row);

// Each layout binds its own switches only: the Windows layout leaves notify
// and no-banner as read, the UNIX layout the three form-feed switches.
// clang-format off
constexpr field_binding pcq_win_bindings[] = {
    BIND(Q_ENABLE, pcq_desc, pcq_enabled),
    BIND(Q_NAME, pcq_desc, queue_name),
    BIND(Q_AUTO, pcq_desc, auto_queue),
    BIND(Q_DISP, pcq_desc, end_disposition),
    BIND(Q_TRANSLATION, pcq_desc, translation),
    BIND(Q_SWITCH1, pcq_desc, formfeed_b),
    BIND(Q_SWITCH2, pcq_desc, formfeed_c),
    BIND(Q_SWITCH3, pcq_desc, formfeed_e),
};
// clang-format on
// clang-format off
constexpr field_binding pcq_unix_bindings[] = {
    BIND(Q_ENABLE, pcq_desc, pcq_enabled),
    BIND(Q_NAME, pcq_desc, queue_name),
    BIND(Q_AUTO, pcq_desc, auto_queue),
    BIND(Q_DISP, pcq_desc, end_disposition),
    BIND(Q_TRANSLATION, pcq_desc, translation),
    BIND(Q_SWITCH1, pcq_desc, notify),
    BIND(Q_SWITCH2, pcq_desc, no_banner),
};
// clang-format on

// No name is renumbered: the copy is the whole descriptor as written.
constexpr table_store pcq_store = table_store_of<pcq_desc, get_desc_pcq, put_desc_pcq>();
const line_tables pcq_tables = {
    .on_unix = line_table({&pcq_unix_frame, &pcq_unix_row, pcq_unix_bindings}, pcq_store, nullptr),
    .on_windows = line_table({&pcq_win_frame, &pcq_win_row, pcq_win_bindings}, pcq_store, nullptr),
};

} // namespace

int show_pcq_row(uint32_t handle, uint32_t index, uint32_t first) {
  return show_table_row(for_target(pcq_tables), handle, index, first);
}

int config_pcq(uint32_t handle, uint32_t count) {
  return run_table_screen(for_target(pcq_tables), handle, count);
}
