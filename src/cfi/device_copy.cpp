// Device renumbering through the library's decimal arithmetic, so that the
// digits grow exactly as the runtime counts them.
#include "cfi/device_copy.h"

#include <cstring>

#include "lib/decimal.h"
#include "lib/status.h"
#include "scrmgr/scrmgr.h"

int renumber_device(char *name, size_t size) {
  const size_t len = strnlen(name, size);
  size_t start = len;
  while (start > 0 && name[start - 1] >= '0' && name[start - 1] <= '9') --start;
  const int k = static_cast<int>(len - start);
  if (k == 0) return 0;
  dec_num work{};
  if (dec_load_uns(name + start, k, k, 0, &work) > 0) return ST_FAILED;
  if (dec_inc(&work) > 0) return ST_FAILED;
  const int width = work.ndigits == static_cast<uint32_t>(k) + 1 ? k + 1 : k;
  if (start + static_cast<size_t>(width) + 1 > size) return ST_DEVICE_TOO_LONG;
  dec_store_uns(&work, name + start, width, width, 0);
  name[start + static_cast<size_t>(width)] = '\0';
  return 0;
}

bool renumber_or_say(char *device, size_t size) {
  char shown[256] = {};
  std::memcpy(shown, device, strnlen(device, size < sizeof shown ? size : sizeof shown - 1));
  const int st = renumber_device(device, size);
  if (st > 0) show_message_text(static_cast<uint32_t>(st), shown);
  return st <= 0;
}
