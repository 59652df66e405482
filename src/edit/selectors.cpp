// The selectors' storage and their values before any option is read.
#include "edit/selectors.h"

#include <cstdio>
#include <strings.h>

#include "lib/cfi_store.h"
#include "lib/names.h"
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

bool truncated_extension(const char *name) {
  const char *ext = get_ext_name(name);
  return strcasecmp(ext, ".cf") == 0 || strcasecmp(ext, ".td") == 0 || strcasecmp(ext, ".pt") == 0;
}
