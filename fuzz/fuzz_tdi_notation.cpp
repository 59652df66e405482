// The character notation of key sequences. Input: one byte giving the
// reader's maximum length, one byte whose low bit selects line mode, then
// the text (up to a NUL). Reading any text stays inside the buffers (sized
// exactly, so the address checker sees any overrun); bytes read are written
// back in the canonical form, which reads again to the same bytes and is a
// fixed point. The text's bytes taken as a sequence must survive the same
// trip.
#include "fuzz_support.h"
#include "lib/tdi_store.h"

#include <cstring>
#include <memory>
#include <string>

namespace {

// Printable characters only, at most four a byte.
void check_canonical(const char *text, uint8_t length) {
  size_t n = std::strlen(text);
  fuzz::check(n <= 4u * length, "canonical text longer than four characters a byte", text);
  for (size_t i = 0; i < n; ++i)
    fuzz::check(text[i] >= '!' && text[i] <= '~', "canonical text not printable", text);
}

void check_write_read(const uint8_t *bytes, uint8_t length, int line_mode) {
  auto text = std::make_unique<char[]>(4 * TDI_MAX_SEQUENCE + 1);
  tdi_keystringtoasc(bytes, length, text.get(), line_mode);
  check_canonical(text.get(), length);
  auto back = std::make_unique<uint8_t[]>(length);
  uint8_t got = length;
  fuzz::check(tdi_asctokeystring(text.get(), back.get(), &got, line_mode) == 0,
              "canonical text not readable", text.get());
  fuzz::check(got == length && std::memcmp(back.get(), bytes, length) == 0,
              "canonical text reads to other bytes", text.get());
  auto again = std::make_unique<char[]>(4 * TDI_MAX_SEQUENCE + 1);
  tdi_keystringtoasc(back.get(), got, again.get(), line_mode);
  fuzz::check(std::strcmp(text.get(), again.get()) == 0, "canonical text not a fixed point",
              text.get(), again.get());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 2) return 0;
  uint8_t max = data[0];
  int line_mode = data[1] & 1;
  size_t n = size - 2;
  auto text = std::make_unique<char[]>(n + 1);
  std::memcpy(text.get(), data + 2, n);
  text[n] = '\0';

  auto bytes = std::make_unique<uint8_t[]>(max);
  uint8_t length = max;
  if (tdi_asctokeystring(text.get(), bytes.get(), &length, line_mode) == 0) {
    fuzz::check(length <= max, "read more bytes than allowed", text.get());
    // The writer takes at most a full key sequence.
    if (length <= TDI_MAX_SEQUENCE) check_write_read(bytes.get(), length, line_mode);
  }
  uint8_t raw = static_cast<uint8_t>(n < TDI_MAX_SEQUENCE ? n : TDI_MAX_SEQUENCE);
  check_write_read(data + 2, raw, line_mode);
  return 0;
}
