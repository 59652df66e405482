// Decimal arithmetic services: unsigned and scaled decimal numbers held as
// digit strings in an 84-byte work area.
#pragma once

#include <cstdint>

constexpr int DEC_DIGITS = 76;

struct dec_num {
  uint32_t ndigits; // number of significant digits (at least 1)
  int16_t scale;    // digits after the decimal point
  uint8_t negative; // 1 for a negative number
  uint8_t reserved;
  uint8_t digit[DEC_DIGITS]; // most significant first, values 0..9
};
static_assert(sizeof(dec_num) == 84);

int long_to_dec(int64_t value, dec_num *out);
// q = a / b, truncated to `scale` fraction digits; status 1 on division by 0.
int dec_divide(const dec_num *a, const dec_num *b, int scale, dec_num *q);
// Text of `d` with at least `min_int` integer digits and at most `max_frac`
// fraction digits (trailing zeros dropped), `point` as the decimal point.
// Writes at most `size` - 1 characters; returns the length.
int dec_store_string(const dec_num *d, char *out, int size, int min_int, int max_frac, char point);
// Loads `len` ASCII digits (of which `width` are significant) as an unsigned
// number; `flags` is 0.
int dec_load_uns(const char *digits, int len, int width, int flags, dec_num *work);
int dec_inc(dec_num *work);
// Stores the number right-aligned and zero-filled into `len` characters.
int dec_store_uns(const dec_num *work, char *digits, int len, int width, int flags);
