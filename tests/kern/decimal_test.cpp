// Decimal services: the inches texts of the PDF screen and the device-name
// renumbering of the device tables.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "lib/decimal.h"
#include "lib/status.h"

namespace {

// The PDF screen's inches text: v/72 with two fraction digits.
std::string inches(int64_t v) {
  dec_num a, b, q;
  std::memset(&q, 0, sizeof q);
  EXPECT_EQ(long_to_dec(v, &a), 0);
  EXPECT_EQ(long_to_dec(72, &b), 0);
  EXPECT_EQ(dec_divide(&a, &b, 2, &q), 0);
  char out[32];
  std::memset(out, 'z', sizeof out);
  int n = dec_store_string(&q, out, 32, 1, 2, '.');
  EXPECT_EQ(n, static_cast<int>(std::strlen(out)));
  return out;
}

TEST(Decimal, InchesFromPoints) {
  struct row {
    int64_t points;
    const char *text;
  };
  const row rows[] = {
      {612, "8.5"},  {792, "11"},   {595, "8.26"},
      {842, "11.69"}, {0, "0"},     {1, "0.01"},
      {36, "0.5"},   {72, "1"},     {71, "0.98"}, // truncated, not rounded
      {-36, "-0.5"}, {1008, "14"},
  };
  for (const row &r : rows) EXPECT_EQ(inches(r.points), r.text) << r.points;
}

// Renumbering as the device screens do it: the trailing digits, plus one,
// written back k or k+1 wide.
std::string renumber(std::string name) {
  size_t k = 0;
  while (k < name.size() && isdigit(static_cast<unsigned char>(name[name.size() - 1 - k]))) ++k;
  if (k == 0) return name;
  char buf[64] = {0};
  std::memcpy(buf, name.data(), name.size());
  char *digits = buf + name.size() - k;
  dec_num work;
  std::memset(&work, 0, sizeof work);
  EXPECT_EQ(dec_load_uns(digits, static_cast<int>(k), static_cast<int>(k), 0, &work), 0);
  EXPECT_EQ(dec_inc(&work), 0);
  int width = work.ndigits == k + 1 ? static_cast<int>(k + 1) : static_cast<int>(k);
  EXPECT_EQ(dec_store_uns(&work, digits, width, width, 0), 0);
  digits[width] = '\0';
  return buf;
}

TEST(Decimal, DeviceNameRenumbering) {
  struct row {
    const char *from, *to;
  };
  const row rows[] = {
      {"ttyS0", "ttyS1"}, {"COM9", "COM10"}, {"lp007", "lp008"},
      {"tty09", "tty10"}, {"tty99", "tty100"}, {"LPT1", "LPT2"},
      {"/dev/null", "/dev/null"}, {"9", "10"}, {"a000", "a001"},
      {"x0999", "x1000"}, {"n12345678901234567890", "n12345678901234567891"},
  };
  for (const row &r : rows) EXPECT_EQ(renumber(r.from), r.to) << r.from;
}

TEST(Decimal, StoreStringDigitsAndPoint) {
  struct row {
    int64_t a, b;
    int scale, min_int, max_frac;
    char point;
    const char *want;
  };
  const row rows[] = {
      {17, 2, 1, 1, 2, '.', "8.5"},
      {17, 2, 1, 3, 2, ',', "008,5"},
      {17, 2, 3, 1, 1, '.', "8.5"},
      {1, 3, 4, 1, 2, '.', "0.33"},  // max_frac cuts
      {1, 3, 4, 0, 2, '.', ".33"},
      {100, 1, 0, 1, 2, '.', "100"},
      {-7, 2, 2, 1, 2, '.', "-3.5"},
      {7, -2, 0, 1, 2, '.', "-3"},
      {-1, 200, 2, 1, 2, '.', "0"},   // rounds toward zero: no "-0"
      {1234567890123456789LL, 1000000000, 9, 1, 9, '.', "1234567890.123456789"},
  };
  for (const row &r : rows) {
    dec_num a, b, q;
    long_to_dec(r.a, &a);
    long_to_dec(r.b, &b);
    ASSERT_EQ(dec_divide(&a, &b, r.scale, &q), 0);
    char out[64];
    dec_store_string(&q, out, sizeof out, r.min_int, r.max_frac, r.point);
    EXPECT_STREQ(out, r.want) << r.a << "/" << r.b;
  }
}

TEST(Decimal, BadArgumentsAreRefusedNotCrashed) {
  dec_num a, zero, q, work;
  long_to_dec(5, &a);
  long_to_dec(0, &zero);
  std::memset(&q, 0x55, sizeof q);
  EXPECT_EQ(dec_divide(&a, &zero, 2, &q), ST_FAILED);
  EXPECT_EQ(q.ndigits, 0x55555555u); // untouched
  EXPECT_EQ(dec_load_uns("1a", 2, 2, 0, &work), ST_BAD_DATA);
  EXPECT_NE(dec_load_uns("1", 0, 0, 0, &work), 0);
  // The work area holds 76 digits; one more overflows.
  std::string nines(DEC_DIGITS, '9');
  ASSERT_EQ(dec_load_uns(nines.c_str(), DEC_DIGITS, DEC_DIGITS, 0, &work), 0);
  EXPECT_EQ(work.ndigits, static_cast<uint32_t>(DEC_DIGITS));
  EXPECT_EQ(dec_inc(&work), ST_FAILED);
  EXPECT_EQ(work.ndigits, static_cast<uint32_t>(DEC_DIGITS)); // unchanged
  // A number wider than its field is not written at all.
  long_to_dec(1000, &a);
  char field[4] = {'x', 'x', 'x', '\0'};
  EXPECT_EQ(dec_store_uns(&a, field, 3, 3, 0), ST_FAILED);
  EXPECT_STREQ(field, "xxx");
  // Text output stops at the buffer size.
  long_to_dec(123456, &a);
  char small[4];
  EXPECT_EQ(dec_store_string(&a, small, 4, 1, 0, '.'), 3);
  EXPECT_STREQ(small, "123");
  // Loading takes the last `width` of `len` characters.
  ASSERT_EQ(dec_load_uns("9907", 4, 2, 0, &work), 0);
  char out[3] = {0};
  EXPECT_EQ(dec_store_uns(&work, out, 2, 2, 0), 0);
  EXPECT_STREQ(out, "07");
  // Extremes of the binary range.
  ASSERT_EQ(long_to_dec(INT64_MIN, &a), 0);
  char big[32];
  dec_store_string(&a, big, sizeof big, 1, 0, '.');
  EXPECT_STREQ(big, "-9223372036854775808");
  // Incrementing a negative number moves toward zero.
  long_to_dec(-1, &a);
  ASSERT_EQ(dec_inc(&a), 0);
  dec_store_string(&a, big, sizeof big, 1, 0, '.');
  EXPECT_STREQ(big, "0");
  ASSERT_EQ(dec_inc(&a), 0);
  dec_store_string(&a, big, sizeof big, 1, 0, '.');
  EXPECT_STREQ(big, "1");
}

} // namespace
