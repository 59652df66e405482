// The form registry and the table rules checked over every form.
#include "scrmgr/form_check.h"

#include <cstring>
#include <vector>

namespace {

// Filled by static constructors, so made on first use.
std::vector<form_entry> &registry() {
  static std::vector<form_entry> forms;
  return forms;
}

constexpr uint16_t MAX_WIDTH = 255;

bool ranged(const form_field &fld) {
  return fld.kind == FIELD_NUMBER || fld.kind == FIELD_CHOICE || fld.kind == FIELD_YESNO;
}

std::string choice_fault(const form_field &fld) {
  if (fld.list == nullptr) return "choice without a list";
  for (uint32_t v = fld.min; v <= fld.max; ++v) {
    if (fld.list[v] == nullptr) return "choice list shorter than its range";
    if (std::strlen(fld.list[v]) > fld.width)
      return std::string("choice text wider than the field: ") + fld.list[v];
  }
  return {};
}

} // namespace

void register_form(const char *name, const form *f) { registry().push_back({name, f}); }

std::span<const form_entry> registered_forms() { return registry(); }

std::string field_fault(const form &f, uint16_t i) {
  const form_field &fld = f.fields[i];
  if (fld.kind > FIELD_CHOICE) return "unknown kind";
  if (fld.width > MAX_WIDTH) return "wider than 255 columns";
  if (ranged(fld) && fld.min > fld.max) return "min above max";
  if ((fld.flags & FF_INPUT) && fld.kind == FIELD_LABEL) return "input on a label";
  if (fld.kind == FIELD_TEXT && fld.text == nullptr && fld.width > 0)
    return "text field without a buffer";
  if (fld.kind == FIELD_LABEL && fld.label == nullptr && fld.width > 0)
    return "label without a text";
  if (fld.kind == FIELD_CHOICE) return choice_fault(fld);
  return {};
}
