// Batch update of a file with a revision: terminal descriptions and printer
// translations follow the same steps over their own store.
#include "edit/revision_batch.h"

#include <cstdio>

#include "lib/kern.h"
#include "lib/names.h"
#include "lib/status.h"

namespace {

uint32_t error_code(int st) { return static_cast<uint32_t>(st) | MSG_ERROR; }

// A simple name means the base's default file in the current directory.
int work_name(const revision_store &store, const char *given, uint8_t base, char *work) {
  int st = 0;
  if (test_simple_name(given)) {
    uint16_t len = 0;
    st = get_cur_dir_kern(work, &len);
    if (st == 0) st = append_simple_name(work, store.default_names[base]);
  } else {
    std::snprintf(work, NAME_BUF, "%s", given);
  }
  if (st == 0) st = append_ext_name(work, store.ext);
  return st;
}

// Steps after the store is open; the caller closes it.
int update(const revision_store &store, uint32_t handle, const char *given, uint8_t base) {
  char work[NAME_BUF] = {};
  int st = work_name(store, given, base, work);
  if (st != 0) {
    printf_stderr_kern("%M: %s\n", error_code(st), given);
    return 1;
  }
  // The full name starts as the work name so a refusal shows what was tried.
  char full[NAME_BUF];
  std::snprintf(full, sizeof full, "%s", work);
  uint16_t len = 0;
  st = process_file_name(work, full, &len);
  if (st == 0) st = make_path_full(full, &len);
  if (st != 0) {
    printf_stderr_kern("%M: %s\n", error_code(st), full);
    return 1;
  }
  file_status fs{};
  st = get_fstat_name(full, len, &fs);
  uint8_t is_new = 0;
  uint8_t updated = 0;
  if (st > 0 && (st & 0xFFF) == ST_NO_FILE) {
    is_new = 1;
  } else if (st > 0) {
    printf_stderr_kern("%M: %s\n", error_code(st), full);
    return st;
  } else {
    st = store.load(handle, full);
    if (st > 0) {
      printf_stderr_kern("%M: %s: %s\n", error_code(st), store.error_text(handle), full);
      return 1;
    }
    updated = store.uprev(handle);
    // A read-only file is reported and left alone, whether or not it was due.
    if ((fs.flags & FSTAT_WRITABLE) == 0) {
      printf_stderr_kern("%M: %s\n", updated ? MSG_READ_ONLY_UPDATE : MSG_NOT_UPDATED, full);
      return 1;
    }
  }
  st = store.save(handle, full, is_new);
  if (st > 0) {
    printf_stderr_kern("%M: %s\n", error_code(st), full);
    return 1;
  }
  if (const char *name = store.error_text(handle); name != nullptr && *name)
    printf_stderr_kern("%M: %s\n", MSG_OWNER_NOT_KEPT, name);
  if (updated) printf_stdout_kern("%M%s has been updated.\n", MSG_INFO, full);
  return 0;
}

} // namespace

int revision_batch(const revision_store &store, const char *given, uint8_t base) {
  uint32_t handle = 0;
  int st = store.open(&handle, base);
  if (st > 0) {
    printf_stderr_kern("%M: %s\n", error_code(st), store.open_call);
    return 1;
  }
  int result = update(store, handle, given ? given : "", base);
  store.close(&handle);
  return result;
}
