// The "System Parameter Configuration" screen: system-wide limits, device
// and PDF format counts, and four switches of the system descriptor.
#include <cstdint>

#include "cfi/cfi.h"
#include "lib/cfi_store.h"
#include "scrmgr/binding.h"
#include "scrmgr/form_check.h"

namespace {

constexpr uint16_t LBL = FF_STATIC;
constexpr uint16_t INP = FF_DATA | FF_INPUT;

// The form. Labels sit on odd indexes from 1, each followed by its input
// field; the input fields in table order are the cursor's order. Values,
// ranges and defaults come from the store's system parameter rows through
// sys_bindings.
// clang-format off
form_field sys_fields[] = {
    {.kind = FIELD_LABEL, .flags = LBL, .row = 0, .col = 25, .width = 30, .attr = 5,
     .label = "System Parameter Configuration"},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 2, .col = 0, .width = 30, .label = "Number of processes allowed"},
    {.kind = FIELD_NUMBER, .flags = INP, .row = 2, .col = 30, .width = 5, .attr = 4},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 2, .col = 40, .width = 30, .label = "Number of OPENs per process"},
    {.kind = FIELD_NUMBER, .flags = INP, .row = 2, .col = 70, .width = 5, .attr = 4},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 3, .col = 0, .width = 30, .label = "Buffer area size (MegaBytes)"},
    {.kind = FIELD_NUMBER, .flags = INP, .row = 3, .col = 30, .width = 5, .attr = 4},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 3, .col = 40, .width = 34, .label = "Buffer Write-through enabled"},
    {.kind = FIELD_YESNO, .flags = INP, .row = 3, .col = 74, .width = 1, .attr = 4},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 4, .col = 0, .width = 30, .label = "Number of SEQUENTIAL files"},
    {.kind = FIELD_NUMBER, .flags = INP, .row = 4, .col = 30, .width = 5, .attr = 4},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 4, .col = 40, .width = 30, .label = "Number of record locks"},
    {.kind = FIELD_NUMBER, .flags = INP, .row = 4, .col = 70, .width = 5, .attr = 4},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 5, .col = 0, .width = 30, .label = "Number of ANSI INDEXED files"},
    {.kind = FIELD_NUMBER, .flags = INP, .row = 5, .col = 30, .width = 5, .attr = 4},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 5, .col = 40, .width = 30, .label = "Number of ANSI RELATIVE files"},
    {.kind = FIELD_NUMBER, .flags = INP, .row = 5, .col = 70, .width = 5, .attr = 4},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 6, .col = 0, .width = 34, .label = "Enable 4GB XNISAM Version 7 files"},
    {.kind = FIELD_YESNO, .flags = INP, .row = 6, .col = 34, .width = 1, .attr = 4},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 6, .col = 40, .width = 34, .label = "Create XNISAM Version 7 files"},
    {.kind = FIELD_YESNO, .flags = INP, .row = 6, .col = 74, .width = 1, .attr = 4},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 8, .col = 0, .width = 34, .label = "Printer Control enabled"},
    {.kind = FIELD_YESNO, .flags = INP, .row = 8, .col = 34, .width = 1, .attr = 4},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 8, .col = 40, .width = 31, .label = "Printer Control entries"},
    {.kind = FIELD_NUMBER, .flags = INP, .row = 8, .col = 71, .width = 4, .attr = 4},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 9, .col = 0, .width = 30, .label = "Number of @CON devices"},
    {.kind = FIELD_NUMBER, .flags = INP, .row = 9, .col = 30, .width = 5, .attr = 4},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 9, .col = 40, .width = 30, .label = "Number of @PCQ devices"},
    {.kind = FIELD_NUMBER, .flags = INP, .row = 9, .col = 70, .width = 5, .attr = 4},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 10, .col = 0, .width = 30, .label = "Number of @PRN devices"},
    {.kind = FIELD_NUMBER, .flags = INP, .row = 10, .col = 30, .width = 5, .attr = 4},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 10, .col = 40, .width = 30, .label = "Number of @SER devices"},
    {.kind = FIELD_NUMBER, .flags = INP, .row = 10, .col = 70, .width = 5, .attr = 4},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 12, .col = 0, .width = 30, .label = "Number of PDF formats"},
    {.kind = FIELD_NUMBER, .flags = INP, .row = 12, .col = 30, .width = 5, .attr = 4},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 22, .col = 10, .width = 70, .attr = 4,
     .label = "Press <up>, <down> to position, ESC to exit."},
};
// clang-format on
static_assert(sizeof(sys_fields) / sizeof(sys_fields[0]) == 36);

form sys_form = make_form(FORM_CLEAR | FORM_VMOVE, sys_fields);

REGISTER_FORM(sys_form);

// Each input field and the system parameter it edits.
// clang-format off
constexpr field_binding sys_bindings[] = {
    BIND_PARAM(2, sys_params[SP_PROCESSES]),
    BIND_PARAM(4, sys_params[SP_OPENS]),
    BIND_PARAM(6, sys_params[SP_BUFFER_MB]),
    BIND_PARAM(8, sys_params[SP_WRITE_THROUGH]),
    BIND_PARAM(10, sys_params[SP_SEQUENTIAL]),
    BIND_PARAM(12, sys_params[SP_RECORD_LOCKS]),
    BIND_PARAM(14, sys_params[SP_INDEXED]),
    BIND_PARAM(16, sys_params[SP_RELATIVE]),
    BIND_PARAM(18, sys_params[SP_ISAM7_4GB]),
    BIND_PARAM(20, sys_params[SP_ISAM7_CREATE]),
    BIND_PARAM(22, sys_params[SP_PRINTER_CONTROL]),
    BIND_PARAM(24, sys_params[SP_PRINTER_ENTRIES]),
    BIND_PARAM(26, sys_params[SP_CONSOLES]),
    BIND_PARAM(28, sys_params[SP_QUEUES]),
    BIND_PARAM(30, sys_params[SP_PRINTERS]),
    BIND_PARAM(32, sys_params[SP_SERIAL_LINES]),
    BIND_PARAM(34, sys_params[SP_PDF_FORMATS]),
};
// clang-format on

// Takes one pass of the form into the record and the store. The PDF table
// is resized before the descriptor that counts it is stored.
void store_pass(uint32_t handle, sys_desc &rec) {
  const uint32_t pdf_count = rec.pdf_format_count;
  take_fields(&sys_form, sys_bindings, &rec, &config_changed);
  if (rec.pdf_format_count != pdf_count)
    put_count_pdf(handle, static_cast<uint16_t>(rec.pdf_format_count));
  put_desc_sys(handle, &rec);
}

// The open screen's record, for a session that ends while it is open.
struct {
  uint32_t handle;
  sys_desc *rec;
} open_screen;

void store_open_screen() { store_pass(open_screen.handle, *open_screen.rec); }

int edit_sys(uint32_t handle, sys_desc &rec) {
  for (;;) {
    int st = display_form(&sys_form, SHOW_ALL);
    if (st > 0) return st;
    uint16_t field = 0;
    uint16_t key = 0;
    st = accept_menu(&sys_form, &field, &key);
    if (st > 0) return st;
    store_pass(handle, rec);
    if (key == KEY_ESC) return 0;
  }
}

} // namespace

int config_sys(uint32_t handle) {
  sys_desc rec{};
  get_desc_sys(handle, &rec);
  bind_ranges(&sys_form, sys_bindings);
  fill_fields(&sys_form, sys_bindings, &rec);
  open_screen = {handle, &rec};
  set_form_store(&sys_form, store_open_screen);
  const int st = edit_sys(handle, rec);
  set_form_store(nullptr, nullptr);
  return st;
}
