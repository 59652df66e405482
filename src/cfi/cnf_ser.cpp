// The "Serial Device (@SERn) Configuration" screen: one serial line per
// screen row. The UNIX layout edits a device in /dev and its enable switch;
// the Windows layout also the line settings and the modem and flow-control
// switches. The copy key names the next device.
#include <cstdint>
#include <iterator>

#include "cfi/cfi.h"
#include "cfi/device_copy.h"
#include "cfi/line_table.h"
#include "lib/cfi_store.h"
#include "lib/strs.h"
#include "scrmgr/form_check.h"

namespace {

// The device text of the row being drawn or edited, in either layout.
char device_buf[16];

constexpr form_field ser_title = {.kind = FIELD_LABEL,
                                  .flags = FF_STATIC,
                                  .row = 0,
                                  .col = 22,
                                  .width = 44,
                                  .attr = 5,
                                  .label = "Serial Device (@SERn) Configuration"};

// UNIX layout: the headings stand over columns 25 to 54.
// clang-format off
form_field ser_unix_frame_fields[] = {
    ser_title,
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 2, .col = 25, .width = 80, .attr = 0,
     .label = "                                             "},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 3, .col = 25, .width = 80, .attr = 0,
     .label = "@SER  Device in /dev   Enable?"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 4, .col = 25, .width = 80, .attr = 0,
     .label = "----  ---------------  -------"},
    line_help,
};
// clang-format on
form ser_unix_frame = make_form(FORM_CLEAR, ser_unix_frame_fields);
REGISTER_FORM(ser_unix_frame);

enum : uint16_t { SU_NUM, SU_DEVICE, SU_ENABLE, SU_FIELDS };
// clang-format off
form_field ser_unix_row_fields[] = {
    line_number(25),
    {.kind = FIELD_TEXT, .flags = LINE_TEXT_INPUT, .col = 31, .width = 15, .attr = 4, .text = device_buf},
    {.kind = FIELD_YESNO, .flags = LINE_INPUT, .col = 51, .width = 3, .attr = 4, .value = 1, .min = 0, .max = 1},
};
// clang-format on
static_assert(std::size(ser_unix_row_fields) == SU_FIELDS);
form ser_unix_row = make_form(FORM_FKEYS | FORM_LINE, ser_unix_row_fields);
REGISTER_FORM(ser_unix_row);

// Only the device and the switch: every line setting is written back as read.
// clang-format off
constexpr field_binding ser_unix_bindings[] = {
    BIND(SU_DEVICE, ser_desc, device),
    BIND(SU_ENABLE, ser_desc, ser_enabled),
};
// clang-format on

// Windows layout: the headings stand over columns 7 to 72.
// clang-format off
form_field ser_win_frame_fields[] = {
    ser_title,
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 2, .col = 7, .width = 80, .attr = 0,
     .label = "                                    Baud Data     Stop Mdm HFC SFC"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 3, .col = 7, .width = 80, .attr = 0,
     .label = "@SER  Device           Enable?  Set Rate Bits Pty Bits Ctl O I O I"},
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 4, .col = 7, .width = 80, .attr = 0,
     .label = "----  ---------------  -------  --- ---- ---- --- ---- --- - - - -"},
    line_help,
};
// clang-format on
form ser_win_frame = make_form(FORM_CLEAR, ser_win_frame_fields);
REGISTER_FORM(ser_win_frame);

// clang-format off
enum : uint16_t {
  SW_NUM, SW_DEVICE, SW_ENABLE, SW_SET, SW_BAUD, SW_DATA, SW_PARITY, SW_STOP,
  SW_MODEM, SW_HFC_OUT, SW_HFC_IN, SW_SFC_OUT, SW_SFC_IN, SW_FIELDS
};
// clang-format on
// clang-format off
form_field ser_win_row_fields[] = {
    line_number(7),
    {.kind = FIELD_TEXT, .flags = LINE_TEXT_INPUT, .col = 13, .width = 15, .attr = 4, .text = device_buf},
    {.kind = FIELD_YESNO, .flags = LINE_INPUT, .col = 33, .width = 3, .attr = 4, .value = 1, .min = 0, .max = 1},
    {.kind = FIELD_YESNO, .flags = LINE_INPUT, .col = 40, .width = 1, .attr = 4, .value = 0, .min = 0, .max = 1},
    {.kind = FIELD_CHOICE, .flags = LINE_INPUT, .col = 43, .width = 5, .attr = 4, .value = 7, .min = 0, .max = 10,
     .list = uart_baud_strs},
    {.kind = FIELD_CHOICE, .flags = LINE_INPUT, .col = 50, .width = 1, .attr = 4, .value = 1, .min = 0, .max = 1,
     .list = uart_data_strs},
    {.kind = FIELD_CHOICE, .flags = LINE_INPUT, .col = 54, .width = 1, .attr = 4, .value = 0, .min = 0, .max = 2,
     .list = uart_parity_strs},
    {.kind = FIELD_CHOICE, .flags = LINE_INPUT, .col = 59, .width = 1, .attr = 4, .value = 0, .min = 0, .max = 1,
     .list = uart_stop_strs},
    {.kind = FIELD_YESNO, .flags = LINE_INPUT, .col = 63, .width = 1, .attr = 4, .value = 0, .min = 0, .max = 1},
    {.kind = FIELD_YESNO, .flags = LINE_INPUT, .col = 66, .width = 1, .attr = 4, .value = 0, .min = 0, .max = 1},
    {.kind = FIELD_YESNO, .flags = LINE_INPUT, .col = 68, .width = 1, .attr = 4, .value = 0, .min = 0, .max = 1},
    {.kind = FIELD_YESNO, .flags = LINE_INPUT, .col = 70, .width = 1, .attr = 4, .value = 0, .min = 0, .max = 1},
    {.kind = FIELD_YESNO, .flags = LINE_INPUT, .col = 72, .width = 1, .attr = 4, .value = 0, .min = 0, .max = 1},
};
// clang-format on
static_assert(std::size(ser_win_row_fields) == SW_FIELDS);
form ser_win_row = make_form(FORM_FKEYS | FORM_LINE, ser_win_row_fields);
REGISTER_FORM(ser_win_row);

// clang-format off
constexpr field_binding ser_win_bindings[] = {
    BIND(SW_DEVICE, ser_desc, device),
    BIND(SW_ENABLE, ser_desc, ser_enabled),
    BIND(SW_SET, ser_desc, set_line),
    BIND(SW_BAUD, ser_desc, baud),
    BIND(SW_DATA, ser_desc, data_bits),
    BIND(SW_PARITY, ser_desc, parity),
    BIND(SW_STOP, ser_desc, stop_bits),
    BIND(SW_MODEM, ser_desc, modem_control),
    BIND(SW_HFC_OUT, ser_desc, hfc_out),
    BIND(SW_HFC_IN, ser_desc, hfc_in),
    BIND(SW_SFC_OUT, ser_desc, sfc_out),
    BIND(SW_SFC_IN, ser_desc, sfc_in),
};
// clang-format on

constexpr table_store ser_store = table_store_of<ser_desc, get_desc_ser, put_desc_ser>();
const line_tables ser_tables = {
    .on_unix = line_table({&ser_unix_frame, &ser_unix_row, ser_unix_bindings}, ser_store,
                          renumber_copy<ser_desc>),
    .on_windows = line_table({&ser_win_frame, &ser_win_row, ser_win_bindings}, ser_store,
                             renumber_copy<ser_desc>),
};

} // namespace

int show_ser_row(uint32_t handle, uint32_t index, uint32_t first) {
  return show_table_row(for_target(ser_tables), handle, index, first);
}

int config_ser(uint32_t handle, uint32_t count) {
  return run_table_screen(for_target(ser_tables), handle, count);
}
