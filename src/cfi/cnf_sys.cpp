// The "System Parameter Configuration" screen: system-wide limits, device
// and PDF format counts, and four switches of the system descriptor.
#include <cstdint>

#include "cfi/cfi.h"
#include "lib/cfi_store.h"
#include "scrmgr/scrmgr.h"

namespace {

constexpr uint16_t LBL = FF_STATIC;
constexpr uint16_t INP = FF_DATA | FF_INPUT;

// The form. Labels sit on even indexes from 1, each followed by its input
// field; the input fields in table order are the cursor's order, and that
// order is also the order in which the record is compared (sys_bindings).
// The values are those of a fresh configuration; the record replaces them
// before the form is first shown.
form_field sys_fields[] = {
    {.kind = FIELD_LABEL, .flags = LBL, .row = 0, .col = 25, .width = 30, .attr = 5,
     .label = "System Parameter Configuration"},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 2, .col = 0, .width = 30, .label = "Number of processes allowed"},
    {.kind = FIELD_NUMBER, .flags = INP, .row = 2, .col = 30, .width = 5, .attr = 4, .value = 8, .min = 1, .max = 9999},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 2, .col = 40, .width = 30, .label = "Number of OPENs per process"},
    {.kind = FIELD_NUMBER, .flags = INP, .row = 2, .col = 70, .width = 5, .attr = 4, .value = 128, .min = 16, .max = 2048},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 3, .col = 0, .width = 30, .label = "Buffer area size (MegaBytes)"},
    {.kind = FIELD_NUMBER, .flags = INP, .row = 3, .col = 30, .width = 5, .attr = 4, .value = 1, .min = 1, .max = 3072},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 3, .col = 40, .width = 34, .label = "Buffer Write-through enabled"},
    {.kind = FIELD_YESNO, .flags = INP, .row = 3, .col = 74, .width = 1, .attr = 4, .value = 1, .min = 0, .max = 1},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 4, .col = 0, .width = 30, .label = "Number of SEQUENTIAL files"},
    {.kind = FIELD_NUMBER, .flags = INP, .row = 4, .col = 30, .width = 5, .attr = 4, .value = 32, .min = 0, .max = 4096},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 4, .col = 40, .width = 30, .label = "Number of record locks"},
    {.kind = FIELD_NUMBER, .flags = INP, .row = 4, .col = 70, .width = 5, .attr = 4, .value = 128, .min = 0, .max = 32767},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 5, .col = 0, .width = 30, .label = "Number of ANSI INDEXED files"},
    {.kind = FIELD_NUMBER, .flags = INP, .row = 5, .col = 30, .width = 5, .attr = 4, .value = 32, .min = 0, .max = 8192},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 5, .col = 40, .width = 30, .label = "Number of ANSI RELATIVE files"},
    {.kind = FIELD_NUMBER, .flags = INP, .row = 5, .col = 70, .width = 5, .attr = 4, .value = 8, .min = 0, .max = 4096},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 6, .col = 0, .width = 34, .label = "Enable 4GB XNISAM Version 7 files"},
    {.kind = FIELD_YESNO, .flags = INP, .row = 6, .col = 34, .width = 1, .attr = 4, .value = 1, .min = 0, .max = 1},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 6, .col = 40, .width = 34, .label = "Create XNISAM Version 7 files"},
    {.kind = FIELD_YESNO, .flags = INP, .row = 6, .col = 74, .width = 1, .attr = 4, .value = 1, .min = 0, .max = 1},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 8, .col = 0, .width = 34, .label = "Printer Control enabled"},
    {.kind = FIELD_YESNO, .flags = INP, .row = 8, .col = 34, .width = 1, .attr = 4, .value = 1, .min = 0, .max = 1},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 8, .col = 40, .width = 31, .label = "Printer Control entries"},
    {.kind = FIELD_NUMBER, .flags = INP, .row = 8, .col = 71, .width = 4, .attr = 4, .value = 48, .min = 48, .max = 1024},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 9, .col = 0, .width = 30, .label = "Number of @CON devices"},
    {.kind = FIELD_NUMBER, .flags = INP, .row = 9, .col = 30, .width = 5, .attr = 4, .value = 32, .min = 1, .max = 2048},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 9, .col = 40, .width = 30, .label = "Number of @PCQ devices"},
    {.kind = FIELD_NUMBER, .flags = INP, .row = 9, .col = 70, .width = 5, .attr = 4, .value = 32, .min = 0, .max = 2048},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 10, .col = 0, .width = 30, .label = "Number of @PRN devices"},
    {.kind = FIELD_NUMBER, .flags = INP, .row = 10, .col = 30, .width = 5, .attr = 4, .value = 32, .min = 0, .max = 2048},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 10, .col = 40, .width = 30, .label = "Number of @SER devices"},
    {.kind = FIELD_NUMBER, .flags = INP, .row = 10, .col = 70, .width = 5, .attr = 4, .value = 32, .min = 0, .max = 2048},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 12, .col = 0, .width = 30, .label = "Number of PDF formats"},
    {.kind = FIELD_NUMBER, .flags = INP, .row = 12, .col = 30, .width = 5, .attr = 4, .value = 32, .min = 1, .max = 256},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 22, .col = 10, .width = 70, .attr = 4,
     .label = "Press <up>, <down> to position, ESC to exit."},
};
static_assert(sizeof(sys_fields) / sizeof(sys_fields[0]) == 36);

form sys_form = make_form(FORM_CLEAR | FORM_VMOVE, sys_fields);

// Which record member each input field edits: a count (low 16 bits on the
// form) or a switch byte. Listed in cursor order, which is also the order
// the record is compared in; sys_fields[2 * i + 2] is binding i's field.
struct sys_binding {
  uint32_t sys_desc::*count;
  uint8_t sys_desc::*flag;
};
constexpr sys_binding sys_bindings[] = {
    {&sys_desc::process_count, nullptr},
    {&sys_desc::opens_per_process, nullptr},
    {&sys_desc::buffer_area_mb, nullptr},
    {nullptr, &sys_desc::write_through},
    {&sys_desc::sequential_file_count, nullptr},
    {&sys_desc::record_lock_count, nullptr},
    {&sys_desc::indexed_file_count, nullptr},
    {&sys_desc::relative_file_count, nullptr},
    {nullptr, &sys_desc::isam7_4gb},
    {nullptr, &sys_desc::isam7_create},
    {nullptr, &sys_desc::printer_control_enabled},
    {&sys_desc::printer_control_entries, nullptr},
    {&sys_desc::con_count, nullptr},
    {&sys_desc::pcq_count, nullptr},
    {&sys_desc::prn_count, nullptr},
    {&sys_desc::ser_count, nullptr},
    {&sys_desc::pdf_format_count, nullptr},
};
constexpr size_t SYS_BINDINGS = sizeof(sys_bindings) / sizeof(sys_bindings[0]);
static_assert(SYS_BINDINGS * 2 + 2 == 36);

form_field &bound_field(size_t i) { return sys_fields[2 * i + 2]; }

void fill_sys_form(const sys_desc &rec) {
  for (size_t i = 0; i < SYS_BINDINGS; ++i) {
    const sys_binding &b = sys_bindings[i];
    bound_field(i).value = b.count ? static_cast<uint16_t>(rec.*b.count & 0xFFFF)
                                   : static_cast<uint16_t>(rec.*b.flag);
  }
}

// Stores every form value that differs from its record member; true when
// the PDF format count was among them.
bool store_sys_form(sys_desc *rec) {
  bool pdf_changed = false;
  for (size_t i = 0; i < SYS_BINDINGS; ++i) {
    const sys_binding &b = sys_bindings[i];
    const uint16_t v = bound_field(i).value;
    if (b.count ? rec->*b.count == v : rec->*b.flag == v)
      continue;
    if (b.count)
      rec->*b.count = v;
    else
      rec->*b.flag = static_cast<uint8_t>(v);
    config_changed = 1;
    pdf_changed = pdf_changed || b.count == &sys_desc::pdf_format_count;
  }
  return pdf_changed;
}

// One pass's values into the store. The PDF table is resized before the
// descriptor that counts it is stored.
void store_pass(uint32_t handle, sys_desc &rec) {
  if (store_sys_form(&rec))
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
    if (st > 0)
      return st;
    uint16_t field = 0;
    uint16_t key = 0;
    st = accept_menu(&sys_form, &field, &key);
    if (st > 0)
      return st;
    store_pass(handle, rec);
    if (key == KEY_ESC)
      return 0;
  }
}

} // namespace

int config_sys(uint32_t handle) {
  sys_desc rec{};
  get_desc_sys(handle, &rec);
  fill_sys_form(rec);
  open_screen = {handle, &rec};
  set_form_store(&sys_form, store_open_screen);
  const int st = edit_sys(handle, rec);
  set_form_store(nullptr, nullptr);
  return st;
}
