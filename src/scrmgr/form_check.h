// Every form of the program, registered where it is defined, and the rules
// one test checks over all of them: a range that is not upside down, a
// width the drawing can hold, an input field of an enterable kind, a
// choice field with a list whose texts fit it.
#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "scrmgr/scrmgr.h"

struct form_entry {
  const char *name;
  const form *f;
};

void register_form(const char *name, const form *f);
std::span<const form_entry> registered_forms();

struct form_registrar {
  form_registrar(const char *name, const form *f) { register_form(name, f); }
};
// Registers a form defined in this file: REGISTER_FORM(str_row_form);
#define REGISTER_FORM(f)                                                                           \
  const form_registrar f##_registered { __FILE__ ": " #f, &f }

// The first rule field `i` of `f` breaks, or an empty text.
std::string field_fault(const form &f, uint16_t i);
