// Byte to glyph mapping of the screen and the key code of a plain byte.
#pragma once
#ifndef XN_LIBRARY_BUILD
#error "an internal header of the runtime library: the program includes src/lib/*.h only"
#endif

#include <cstdint>

#include "lib/screen/screen_core.h"

namespace xnscreen {

// The Unicode character that shows byte `b` (code page 437 for 1..31 and
// 127..255; 0 shows as a blank).
char16_t glyph_of(uint8_t b);
// The byte a typed Unicode character stands for, or -1 when it has none.
int byte_of_glyph(char32_t g);

} // namespace xnscreen
