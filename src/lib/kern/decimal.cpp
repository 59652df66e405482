// Decimal arithmetic on digit strings: conversion from binary, division to
// a given number of fraction digits, increment, and text output.
#include <cstring>
#include <string>
#include <vector>

#include "lib/decimal.h"
#include "lib/status.h"

namespace {

using digits = std::vector<uint8_t>; // most significant first

digits digits_of(const dec_num *d) {
  uint32_t n = d->ndigits;
  if (n < 1) n = 1;
  if (n > DEC_DIGITS) n = DEC_DIGITS;
  return digits(d->digit, d->digit + n);
}

void strip_leading_zeros(digits &v) {
  size_t i = 0;
  while (i + 1 < v.size() && v[i] == 0) ++i;
  v.erase(v.begin(), v.begin() + static_cast<long>(i));
  if (v.empty()) v.push_back(0);
}

bool is_zero(const digits &v) {
  for (uint8_t x : v)
    if (x) return false;
  return true;
}

// Stores a magnitude into `out`; ST_FAILED when it needs more digits than
// the work area holds (`out` then unchanged).
int store(digits v, int scale, bool negative, dec_num *out) {
  strip_leading_zeros(v);
  if (v.size() > static_cast<size_t>(DEC_DIGITS)) return ST_FAILED;
  std::memset(out, 0, sizeof *out);
  out->ndigits = static_cast<uint32_t>(v.size());
  out->scale = static_cast<int16_t>(scale);
  out->negative = negative && !is_zero(v) ? 1 : 0;
  std::memcpy(out->digit, v.data(), v.size());
  return 0;
}

int compare(const digits &a, const digits &b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  return 0;
}

// a -= b, with a >= b and both stripped.
void subtract(digits &a, const digits &b) {
  int borrow = 0;
  size_t off = a.size() - b.size();
  for (size_t i = a.size(); i-- > 0;) {
    int x = a[i] - borrow - (i >= off ? b[i - off] : 0);
    borrow = x < 0;
    a[i] = static_cast<uint8_t>(x < 0 ? x + 10 : x);
  }
  strip_leading_zeros(a);
}

// Schoolbook long division: the quotient, truncated.
digits divide(const digits &num, digits den) {
  strip_leading_zeros(den);
  digits q, rem{0};
  for (uint8_t d : num) {
    rem.push_back(d);
    strip_leading_zeros(rem);
    uint8_t count = 0;
    while (compare(rem, den) >= 0) {
      subtract(rem, den);
      ++count;
    }
    q.push_back(count);
  }
  return q;
}

// Adds (or, for `down`, takes away) one unit at digit position `pos` from
// the right.
void step(digits &v, size_t pos, bool down) {
  v.insert(v.begin(), 0); // room for a carry
  for (size_t i = v.size() - 1 - pos;; --i) {
    int x = v[i] + (down ? -1 : 1);
    if (x >= 0 && x <= 9) {
      v[i] = static_cast<uint8_t>(x);
      break;
    }
    v[i] = static_cast<uint8_t>(down ? 9 : 0);
    if (i == 0) break;
  }
  strip_leading_zeros(v);
}

} // namespace

int long_to_dec(int64_t value, dec_num *out) {
  if (!out) return ST_FAILED;
  uint64_t mag = value < 0 ? 0ULL - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  digits v;
  do {
    v.insert(v.begin(), static_cast<uint8_t>(mag % 10));
    mag /= 10;
  } while (mag);
  return store(v, 0, value < 0, out);
}

// a/b = (A / 10^sa) / (B / 10^sb), so the quotient with `scale` fraction
// digits is A * 10^(sb + scale) / (B * 10^sa), truncated toward zero.
int dec_divide(const dec_num *a, const dec_num *b, int scale, dec_num *q) {
  if (!a || !b || !q || scale < 0 || scale > DEC_DIGITS) return ST_FAILED;
  digits num = digits_of(a), den = digits_of(b);
  if (is_zero(den)) return ST_FAILED;
  int shift_num = b->scale + scale, shift_den = a->scale;
  if (shift_num < 0 || shift_den < 0) return ST_FAILED;
  num.insert(num.end(), static_cast<size_t>(shift_num), 0);
  den.insert(den.end(), static_cast<size_t>(shift_den), 0);
  return store(divide(num, den), scale, (a->negative != 0) != (b->negative != 0), q);
}

int dec_store_string(const dec_num *d, char *out, int size, int min_int, int max_frac, char point) {
  if (!out || size <= 0) return 0;
  out[0] = '\0';
  if (!d) return 0;
  digits v = digits_of(d);
  size_t scale = d->scale > 0 ? static_cast<size_t>(d->scale) : 0;
  if (v.size() < scale + 1) v.insert(v.begin(), scale + 1 - v.size(), 0);
  std::string whole, frac;
  for (size_t i = 0; i < v.size(); ++i)
    (i < v.size() - scale ? whole : frac) += static_cast<char>('0' + v[i]);
  whole.erase(0, whole.find_first_not_of('0'));
  if (min_int > 0 && whole.size() < static_cast<size_t>(min_int))
    whole.insert(0, static_cast<size_t>(min_int) - whole.size(), '0');
  if (max_frac >= 0 && frac.size() > static_cast<size_t>(max_frac))
    frac.resize(static_cast<size_t>(max_frac));
  while (!frac.empty() && frac.back() == '0') frac.pop_back();
  std::string text = whole;
  if (!frac.empty()) text += std::string(1, point) + frac;
  if (text.empty()) text = "0";
  if (d->negative && text.find_first_of("123456789") != std::string::npos) text.insert(0, "-");
  size_t n =
      text.size() < static_cast<size_t>(size - 1) ? text.size() : static_cast<size_t>(size - 1);
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
  return static_cast<int>(n);
}

// Of `len` characters the last `width` are taken, so a caller can load the
// low digits of a longer field.
int dec_load_uns(const char *text, int len, int width, int, dec_num *work) {
  if (!text || !work || len < 1 || width < 1 || width > len || width > DEC_DIGITS) return ST_FAILED;
  digits v;
  for (int i = len - width; i < len; ++i) {
    if (text[i] < '0' || text[i] > '9') return ST_BAD_DATA;
    v.push_back(static_cast<uint8_t>(text[i] - '0'));
  }
  return store(v, 0, false, work);
}

// Adds one to the number (one unit of its integer part).
int dec_inc(dec_num *work) {
  if (!work) return ST_FAILED;
  digits v = digits_of(work);
  size_t scale = work->scale > 0 ? static_cast<size_t>(work->scale) : 0;
  if (v.size() < scale + 1) v.insert(v.begin(), scale + 1 - v.size(), 0);
  bool negative = work->negative != 0;
  if (negative) {
    // -x + 1 = -(x - 1) when x >= 1, else 1 - x.
    digits one(scale + 1, 0);
    one[0] = 1;
    digits mag = v;
    strip_leading_zeros(mag);
    if (compare(mag, one) >= 0) {
      step(v, scale, true);
    } else {
      subtract(one, mag);
      v = one;
      negative = false;
    }
  } else {
    step(v, scale, false);
  }
  return store(v, static_cast<int>(scale), negative, work);
}

// Only the integer part is written; a number too wide for `len` writes
// nothing and returns ST_FAILED.
int dec_store_uns(const dec_num *work, char *text, int len, int, int) {
  if (!work || !text || len < 1 || work->negative) return ST_FAILED;
  const digits all = digits_of(work);
  size_t scale = work->scale > 0 ? static_cast<size_t>(work->scale) : 0;
  size_t whole = all.size() > scale ? all.size() - scale : 0;
  size_t first = 0; // first significant digit of the integer part
  while (first < whole && all[first] == 0) ++first;
  size_t n = whole - first;
  if (n > static_cast<size_t>(len)) return ST_FAILED;
  size_t fill = static_cast<size_t>(len) - n;
  for (size_t i = 0; i < fill; ++i) text[i] = '0';
  for (size_t i = 0; i < n; ++i) text[fill + i] = static_cast<char>('0' + all[first + i]);
  return 0;
}
