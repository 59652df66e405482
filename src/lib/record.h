// Record members described by offset, size and bits, so that one table can
// say where a value lives in a record for the stores, the screens and the
// documentation alike.
#pragma once

#include <cstddef>
#include <cstdint>

// A member of a record: `size` bytes at `offset`; a nonzero `mask` selects
// the bits of a packed member (a flag bit, a colour in a nibble). Integer
// members are 1, 2 or 4 bytes; a text member is a NUL-terminated buffer.
struct rec_member {
  uint16_t offset;
  uint16_t size;
  uint16_t mask;
};

#define REC_MEMBER(rec, m)                                                                         \
  rec_member { offsetof(rec, m), sizeof(rec::m), 0 }
#define REC_BITS(rec, m, bits)                                                                     \
  rec_member { offsetof(rec, m), sizeof(rec::m), (bits) }

// A keyed member with its range and default: one row of a store's key
// table that screens and documentation read too.
struct rec_param {
  const char *key; // key in the file
  rec_member member;
  uint32_t min;
  uint32_t max;
  uint32_t def; // value of a fresh configuration
};

// The value of an integer member (its bits shifted down when packed).
uint32_t get_member(const void *rec, const rec_member &m);
// Stores `value` into an integer member (into its bits when packed).
void set_member(void *rec, const rec_member &m, uint32_t value);
