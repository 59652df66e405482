// Built-in terminal descriptions: the control record and key table that a
// new description of each base terminal type starts from.
#pragma once
#ifndef XN_LIBRARY_BUILD
#error "an internal header of the runtime library: the program includes src/lib/*.h only"
#endif

#include "lib/tdi_store.h"

#include <vector>

namespace xnstore {

// Fills `ctrl` and `keys` (sorted by byte sequence) for base type `base`
// (0..24; others give type 11, the default).
void tdi_default_data(uint8_t base, tdi_ctrl &ctrl, std::vector<key_cfg> &keys);

// Orders key records by byte sequence: bytes first, then length (a prefix
// sorts before the sequences it begins).
bool key_less(const key_cfg &a, const key_cfg &b);

} // namespace xnstore
