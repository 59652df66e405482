// The byte-string notation of printer translations. Input: two bytes giving
// the reader's maximum length (low byte first), then the text (up to a
// NUL). Reading any text stays inside the buffers (sized exactly, so the
// address checker sees any overrun); bytes read are written back in the
// canonical form, which reads again to the same bytes and is a fixed point.
// The text's bytes taken as a byte string must survive the same trip.
#include "fuzz_support.h"
#include "lib/pti_store.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

namespace {

// The writer takes a length of at most this many bytes.
constexpr size_t MAX_WRITTEN = 255;

// Printable characters only, at most four a byte.
void check_canonical(const char *text, size_t length) {
  size_t n = std::strlen(text);
  fuzz::check(n <= 4 * length, "canonical text longer than four characters a byte", text);
  for (size_t i = 0; i < n; ++i)
    fuzz::check(text[i] >= '!' && text[i] <= '~', "canonical text not printable", text);
}

void check_write_read(const uint8_t *bytes, uint8_t length) {
  // Exactly four characters a byte and the NUL: tighter than PTI_TEXT_BUF.
  auto text = std::make_unique<char[]>(4u * length + 1);
  pti_bytestringtoasc(bytes, length, text.get());
  check_canonical(text.get(), length);
  auto back = std::make_unique<uint8_t[]>(length);
  uint16_t got = length;
  fuzz::check(pti_asctobytestring(text.get(), back.get(), &got) == 0, "canonical text not readable",
              text.get());
  fuzz::check(got == length && std::memcmp(back.get(), bytes, length) == 0,
              "canonical text reads to other bytes", text.get());
  auto again = std::make_unique<char[]>(4u * length + 1);
  pti_bytestringtoasc(back.get(), length, again.get());
  fuzz::check(std::strcmp(text.get(), again.get()) == 0, "canonical text not a fixed point",
              text.get(), again.get());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 2) return 0;
  uint16_t max = static_cast<uint16_t>(data[0] | data[1] << 8);
  size_t n = size - 2;
  auto text = std::make_unique<char[]>(n + 1);
  std::memcpy(text.get(), data + 2, n);
  text[n] = '\0';

  // The reader never stores more than PTI_MAX_CTRL_BYTES, whatever the
  // maximum asked for.
  size_t room = std::min<size_t>(max, PTI_MAX_CTRL_BYTES);
  auto bytes = std::make_unique<uint8_t[]>(room);
  uint16_t length = max;
  if (pti_asctobytestring(text.get(), bytes.get(), &length) == 0) {
    fuzz::check(length <= room, "read more bytes than allowed", text.get());
    if (length <= MAX_WRITTEN) check_write_read(bytes.get(), static_cast<uint8_t>(length));
  }
  check_write_read(data + 2, static_cast<uint8_t>(std::min(n, MAX_WRITTEN)));
  return 0;
}
