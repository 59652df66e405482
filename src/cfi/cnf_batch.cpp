// Batch update of a system configuration: load (or create), optionally merge
// the sections of an ".ini" file, and save, without the screen.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

#include "cfi/cfi.h"
#include "edit/selectors.h"
#include "lib/cfi_store.h"
#include "lib/kern.h"
#include "lib/names.h"
#include "lib/status.h"

namespace {

constexpr const char *DEFAULT_CONFIG = "system.cfi";

uint32_t error_code(int st) { return static_cast<uint32_t>(st) | MSG_ERROR; }

void report(int st, const char *text) { printf_stderr_kern("%M: %s\n", error_code(st), text); }

// Full name of the configuration file into `config`; 1 after a message.
int config_name(const char *operand, char *config) {
  const char *name = operand ? operand : DEFAULT_CONFIG;
  int st = resolve_file_name(name, config);
  if (st == 0 && operand != nullptr)
    st = isdir_kern(config) ? append_simple_name(config, DEFAULT_CONFIG)
                            : append_ext_name(config, ".cfi");
  if (st != 0) {
    report(st, name);
    return 1;
  }
  if (truncated_extension(config)) {
    printf_stderr_kern("%M: %s\n", MSG_BAD_EXT, config);
    return 1;
  }
  // Only a plain file can take a configuration: a device or a pipe would
  // swallow it, or never end.
  file_status fs{};
  if (get_fstat_name(config, 0, &fs) <= 0 && !S_ISREG(fs.mode)) {
    report(ST_NOT_REGULAR, config);
    return 1;
  }
  return 0;
}

// Replaces the extension by ".ini". Appended directly, since a base name
// with a dot in it would otherwise count as already having an extension.
int give_ini_extension(char *name) {
  remove_ext_name(name);
  size_t len = std::strlen(name);
  if (len + 4 > NAME_MAX_LEN) return ST_NAME_TOO_LONG;
  std::memcpy(name + len, ".ini", 5);
  return 0;
}

// Full name of the ".ini" file into `ini`; 1 after a message.
int ini_file_name(const char *config, const char *ini_name, char *ini) {
  if (ini_name[0] == '\0') {
    std::snprintf(ini, NAME_BUF, "%s", config);
    int st = give_ini_extension(ini);
    if (st != 0) report(st, config);
    return st != 0;
  }
  int st = resolve_file_name(ini_name, ini);
  if (st == 0 && isdir_kern(ini)) {
    char simple[NAME_BUF] = {};
    get_simple_name(config, simple);
    st = give_ini_extension(simple);
    if (st == 0) st = append_simple_name(ini, simple);
  }
  if (st != 0) {
    report(st, ini_name);
    return 1;
  }
  return 0;
}

// Merges the ".ini" file into the store; 1 after a message.
int merge_ini(uint32_t handle, const char *config, const char *ini_name) {
  char ini[NAME_BUF] = {};
  if (ini_file_name(config, ini_name, ini) != 0) return 1;
  uint32_t ini_handle = 0;
  int st = open_ini(ini, &ini_handle);
  if (st > 0) {
    report(st, ini);
    return 1;
  }
  printf_stdout_kern("%M: %s\n", MSG_LOADING_INI, ini);
  st = load_sections_cfi(handle, ini_handle, 1);
  if (st > 0) report(st, get_error_buffer_cfi(handle));
  close_ini(&ini_handle);
  return st > 0;
}

// Steps after the store is open; the caller closes it.
int update(uint32_t handle, const char *config, bool load_ini, const char *ini_name) {
  bool exists = exists_kern(config);
  if (exists) {
    int st = load_cfi(handle, config);
    if (st > 0) {
      // The line and the reason, as the other two batch updates say them.
      const char *why = get_error_buffer_cfi(handle);
      if (why != nullptr && *why != '\0' && std::strstr(why, config) == nullptr)
        printf_stderr_kern("%M: %s: %s\n", error_code(st), why, config);
      else
        report(st, config);
      return 1;
    }
  }
  if (load_ini && merge_ini(handle, config, ini_name) != 0) return 1;
  // The file is written only here, after everything else has succeeded.
  int st = save_cfi(handle, config, exists ? 0 : 1);
  if (st > 0) {
    report(st, get_error_buffer_cfi(handle));
    return 1;
  }
  // Saved, but the file is now ours: its owner should know.
  if (const char *name = get_error_buffer_cfi(handle); name != nullptr && *name)
    printf_stderr_kern("%M: %s\n", MSG_OWNER_NOT_KEPT, name);
  return 0;
}

} // namespace

int cnf_batch(const char *operand, bool load_ini, const char *ini_name) {
  char config[NAME_BUF] = {};
  if (config_name(operand, config) != 0) return 1;
  uint32_t handle = 0;
  int st = open_cfi(&handle, target_os);
  if (st > 0) {
    printf_stderr_kern("%M: open_cfi\n", error_code(st));
    return 1;
  }
  int result = update(handle, config, load_ini, ini_name ? ini_name : "");
  close_cfi(&handle);
  return result;
}
