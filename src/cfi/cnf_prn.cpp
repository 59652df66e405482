// The "Printer Device (@PRNn) Configuration" screen: one printer per screen
// row: its device, enable and form-feed switches and printer translation,
// and in the Windows layout the serial line settings of a printer on a
// serial port. The copy key names the next device.
#include <cstdint>
#include <iterator>

#include "cfi/cfi.h"
#include "cfi/device_copy.h"
#include "cfi/line_table.h"
#include "lib/cfi_store.h"
#include "lib/strs.h"
#include "scrmgr/form_check.h"

namespace {

// The two texts of the row being drawn or edited, in either layout.
char device_buf[16];
char translation_buf[16];

constexpr form_field prn_title = {.kind = FIELD_LABEL,
                                  .flags = FF_STATIC,
                                  .row = 0,
                                  .col = 18,
                                  .width = 44,
                                  .attr = 5,
                                  .label = "Printer Device (@PRNn) Configuration"};

// UNIX layout: the headings stand over columns 17 to 61.
// clang-format off
form_field prn_unix_frame_fields[] = {
    prn_title,
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 2, .col = 17, .width = 63, .attr = 0,
     .label = "                          FFd Printer"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 3, .col = 17, .width = 63, .attr = 0,
     .label = "@PRN Device in /dev  Ena  O C Translation"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 4, .col = 17, .width = 63, .attr = 0,
     .label = "---- --------------- ---  - - ---------------"},
    line_help,
};
// clang-format on
form prn_unix_frame = make_form(FORM_CLEAR, prn_unix_frame_fields);
REGISTER_FORM(prn_unix_frame);

enum : uint16_t { PU_NUM, PU_DEVICE, PU_ENABLE, PU_FFD_O, PU_FFD_C, PU_TRANSLATION, PU_FIELDS };
// clang-format off
form_field prn_unix_row_fields[] = {
    line_number(17),
    {.kind = FIELD_TEXT, .flags = LINE_TEXT_INPUT, .col = 22, .width = 15, .attr = 4, .text = device_buf},
    {.kind = FIELD_YESNO, .flags = LINE_INPUT, .col = 39, .width = 1, .attr = 4, .value = 1, .min = 0, .max = 1},
    {.kind = FIELD_YESNO, .flags = LINE_INPUT, .col = 43, .width = 1, .attr = 4, .value = 0, .min = 0, .max = 1},
    {.kind = FIELD_YESNO, .flags = LINE_INPUT, .col = 45, .width = 1, .attr = 4, .value = 0, .min = 0, .max = 1},
    {.kind = FIELD_TEXT, .flags = LINE_TEXT_INPUT, .col = 47, .width = 15, .attr = 4, .text = translation_buf},
};
// clang-format on
static_assert(std::size(prn_unix_row_fields) == PU_FIELDS);
form prn_unix_row = make_form(FORM_FKEYS | FORM_LINE, prn_unix_row_fields);
REGISTER_FORM(prn_unix_row);

// The serial settings (offsets 3 to 15) are not bound: written back as read.
// clang-format off
constexpr field_binding prn_unix_bindings[] = {
    BIND(PU_DEVICE, prn_desc, device),
    BIND(PU_ENABLE, prn_desc, prn_enabled),
    BIND(PU_FFD_O, prn_desc, ffd_o),
    BIND(PU_FFD_C, prn_desc, ffd_c),
    BIND(PU_TRANSLATION, prn_desc, translation),
};
// clang-format on

// Windows layout: the whole width.
// clang-format off
form_field prn_win_frame_fields[] = {
    prn_title,
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 2, .col = 0, .width = 80, .attr = 0,
     .label = "                         FFd Printer             Baud Data     Stop Mdm HFC SFC "},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 3, .col = 0, .width = 80, .attr = 0,
     .label = "@PRN Device          Ena O C Translation     Set Rate Bits Pty Bits Ctl O I O I "},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 4, .col = 0, .width = 80, .attr = 0,
     .label = "---- --------------- --- - - --------------- --- ---- ---- --- ---- --- - - - - "},
    line_help,
};
// clang-format on
form prn_win_frame = make_form(FORM_CLEAR, prn_win_frame_fields);
REGISTER_FORM(prn_win_frame);

// clang-format off
enum : uint16_t {
  PW_NUM, PW_DEVICE, PW_ENABLE, PW_FFD_O, PW_FFD_C, PW_TRANSLATION, PW_SET, PW_BAUD, PW_DATA,
  PW_PARITY, PW_STOP, PW_MODEM, PW_HFC_OUT, PW_HFC_IN, PW_SFC_OUT, PW_SFC_IN, PW_FIELDS
};
// clang-format on
// clang-format off
form_field prn_win_row_fields[] = {
    line_number(0),
    {.kind = FIELD_TEXT, .flags = LINE_TEXT_INPUT, .col = 5, .width = 15, .attr = 4, .text = device_buf},
    {.kind = FIELD_YESNO, .flags = LINE_INPUT, .col = 22, .width = 1, .attr = 4, .value = 1, .min = 0, .max = 1},
    {.kind = FIELD_YESNO, .flags = LINE_INPUT, .col = 25, .width = 1, .attr = 4, .value = 0, .min = 0, .max = 1},
    {.kind = FIELD_YESNO, .flags = LINE_INPUT, .col = 27, .width = 1, .attr = 4, .value = 0, .min = 0, .max = 1},
    {.kind = FIELD_TEXT, .flags = LINE_TEXT_INPUT, .col = 29, .width = 15, .attr = 4, .text = translation_buf},
    {.kind = FIELD_YESNO, .flags = LINE_INPUT, .col = 46, .width = 1, .attr = 4, .value = 0, .min = 0, .max = 1},
    {.kind = FIELD_CHOICE, .flags = LINE_INPUT, .col = 49, .width = 5, .attr = 4, .value = 7, .min = 0, .max = 10,
     .list = uart_baud_strs},
    {.kind = FIELD_CHOICE, .flags = LINE_INPUT, .col = 56, .width = 1, .attr = 4, .value = 1, .min = 0, .max = 1,
     .list = uart_data_strs},
    {.kind = FIELD_CHOICE, .flags = LINE_INPUT, .col = 60, .width = 1, .attr = 4, .value = 0, .min = 0, .max = 2,
     .list = uart_parity_strs},
    {.kind = FIELD_CHOICE, .flags = LINE_INPUT, .col = 65, .width = 1, .attr = 4, .value = 0, .min = 0, .max = 1,
     .list = uart_stop_strs},
    {.kind = FIELD_YESNO, .flags = LINE_INPUT, .col = 69, .width = 1, .attr = 4, .value = 0, .min = 0, .max = 1},
    {.kind = FIELD_YESNO, .flags = LINE_INPUT, .col = 72, .width = 1, .attr = 4, .value = 0, .min = 0, .max = 1},
    {.kind = FIELD_YESNO, .flags = LINE_INPUT, .col = 74, .width = 1, .attr = 4, .value = 0, .min = 0, .max = 1},
    {.kind = FIELD_YESNO, .flags = LINE_INPUT, .col = 76, .width = 1, .attr = 4, .value = 0, .min = 0, .max = 1},
    {.kind = FIELD_YESNO, .flags = LINE_INPUT, .col = 78, .width = 1, .attr = 4, .value = 0, .min = 0, .max = 1},
};
// clang-format on
static_assert(std::size(prn_win_row_fields) == PW_FIELDS);
form prn_win_row = make_form(FORM_FKEYS | FORM_LINE, prn_win_row_fields);
REGISTER_FORM(prn_win_row);

// clang-format off
constexpr field_binding prn_win_bindings[] = {
    BIND(PW_DEVICE, prn_desc, device),
    BIND(PW_ENABLE, prn_desc, prn_enabled),
    BIND(PW_FFD_O, prn_desc, ffd_o),
    BIND(PW_FFD_C, prn_desc, ffd_c),
    BIND(PW_TRANSLATION, prn_desc, translation),
    BIND(PW_SET, prn_desc, set_line),
    BIND(PW_BAUD, prn_desc, baud),
    BIND(PW_DATA, prn_desc, data_bits),
    BIND(PW_PARITY, prn_desc, parity),
    BIND(PW_STOP, prn_desc, stop_bits),
    BIND(PW_MODEM, prn_desc, modem_control),
    BIND(PW_HFC_OUT, prn_desc, hfc_out),
    BIND(PW_HFC_IN, prn_desc, hfc_in),
    BIND(PW_SFC_OUT, prn_desc, sfc_out),
    BIND(PW_SFC_IN, prn_desc, sfc_in),
};
// clang-format on

// The copy renumbers the device and keeps the translation.
constexpr table_store prn_store = table_store_of<prn_desc, get_desc_prn, put_desc_prn>();
const line_tables prn_tables = {
    .on_unix = line_table({&prn_unix_frame, &prn_unix_row, prn_unix_bindings}, prn_store,
                          renumber_copy<prn_desc>),
    .on_windows = line_table({&prn_win_frame, &prn_win_row, prn_win_bindings}, prn_store,
                             renumber_copy<prn_desc>),
};

} // namespace

int show_prn_row(uint32_t handle, uint32_t index, uint32_t first) {
  return show_table_row(for_target(prn_tables), handle, index, first);
}

int config_prn(uint32_t handle, uint32_t count) {
  return run_table_screen(for_target(prn_tables), handle, count);
}
