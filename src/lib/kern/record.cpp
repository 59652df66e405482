// Reading and writing record members described by offset, size and bits.
#include "lib/record.h"

#include <bit>
#include <cstring>

namespace {

uint32_t load(const void *rec, const rec_member &m) {
  const auto *p = static_cast<const unsigned char *>(rec) + m.offset;
  uint8_t b = 0;
  uint16_t h = 0;
  uint32_t w = 0;
  switch (m.size) {
  case 1: std::memcpy(&b, p, 1); return b;
  case 2: std::memcpy(&h, p, 2); return h;
  case 4: std::memcpy(&w, p, 4); return w;
  default: return 0;
  }
}

void store(void *rec, const rec_member &m, uint32_t v) {
  auto *p = static_cast<unsigned char *>(rec) + m.offset;
  const auto b = static_cast<uint8_t>(v);
  const auto h = static_cast<uint16_t>(v);
  switch (m.size) {
  case 1: std::memcpy(p, &b, 1); break;
  case 2: std::memcpy(p, &h, 2); break;
  case 4: std::memcpy(p, &v, 4); break;
  default: break;
  }
}

} // namespace

uint32_t get_member(const void *rec, const rec_member &m) {
  const uint32_t v = load(rec, m);
  if (m.mask == 0) return v;
  return (v & m.mask) >> std::countr_zero(static_cast<uint32_t>(m.mask));
}

void set_member(void *rec, const rec_member &m, uint32_t value) {
  if (m.mask == 0) {
    store(rec, m, value);
    return;
  }
  const int shift = std::countr_zero(static_cast<uint32_t>(m.mask));
  const uint32_t old = load(rec, m);
  store(rec, m, (old & ~uint32_t{m.mask}) | ((value << shift) & m.mask));
}
