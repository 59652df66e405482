// The selectors' storage and their values before any option is read.
#include "edit/selectors.h"

#include <cstdio>

#include "lib/cfi_store.h"
#include "lib/strs.h"
#include "lib/tdi_store.h"

uint8_t target_os;
char target_os_text[32];
uint8_t base_terminal;
uint8_t printer_type;

void reset_selectors() {
  target_os = TARGET_WINDOWS;
  std::snprintf(target_os_text, sizeof target_os_text, "%s", os_target_strs[TARGET_WINDOWS]);
  base_terminal = TDI_DEFAULT_TYPE;
  printer_type = 0;
}
