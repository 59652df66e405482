// Decimal services: the scaled texts of the PDF screen (points shown as
// inches) and the device-name renumbering of the device tables.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "lib/decimal.h"
#include "lib/status.h"

namespace {

TEST(Decimal, DivideAndStoreString) {
  struct row {
    int64_t a, b;
    int scale, min_int, max_frac;
    const char *want;
  };
  // clang-format off
  const row rows[] = {
      {612, 72, 2, 1, 2, "8.5"},  // trailing zeros dropped
      {842, 72, 2, 1, 2, "11.69"},
      {71, 72, 2, 1, 2, "0.98"},  // truncated, not rounded
      {-36, 72, 2, 1, 2, "-0.5"},
      {17, 2, 1, 3, 2, "008,5"},  // the caller's decimal point
      {1, 3, 4, 0, 2, ".33"},     // max_frac cuts, no integer digit asked
      {7, -2, 0, 1, 2, "-3"},
      {-1, 200, 2, 1, 2, "0"},    // toward zero: no "-0"
      {INT64_MIN, 1, 0, 1, 0, "-9223372036854775808"},
      {1234567890123456789LL, 1000000000, 9, 1, 9, "1234567890.123456789"},
  };
  // clang-format on
  for (const row &r : rows) {
    dec_num a, b, q;
    ASSERT_TRUE(long_to_dec(r.a, &a) == 0 && long_to_dec(r.b, &b) == 0 &&
                dec_divide(&a, &b, r.scale, &q) == 0);
    char out[64];
    const char point = std::strchr(r.want, ',') ? ',' : '.';
    int n = dec_store_string(&q, out, sizeof out, r.min_int, r.max_frac, point);
    EXPECT_STREQ(out, r.want) << r.a << "/" << r.b;
    EXPECT_EQ(n, static_cast<int>(std::strlen(r.want)));
  }
}

// The device screens renumber "ttyS9" to "ttyS10": load the trailing
// digits, add one, store them back one wider when they carried over.
TEST(Decimal, DeviceNameRenumbering) {
  // clang-format off
  const std::pair<std::string, std::string> rows[] = {
      {"COM9", "COM10"}, {"lp007", "lp008"}, {"tty09", "tty10"}, {"x0999", "x1000"},
      {"9", "10"}, {"n12345678901234567890", "n12345678901234567891"},
  };
  // clang-format on
  for (const auto &[from, to] : rows) {
    size_t k = from.find_last_not_of("0123456789") + 1;
    int len = static_cast<int>(from.size() - k);
    dec_num work;
    ASSERT_EQ(dec_load_uns(from.c_str() + k, len, len, 0, &work), 0);
    ASSERT_EQ(dec_inc(&work), 0);
    int width = static_cast<int>(work.ndigits) > len ? len + 1 : len;
    char digits[40] = {};
    ASSERT_EQ(dec_store_uns(&work, digits, width, width, 0), 0);
    EXPECT_EQ(from.substr(0, k) + digits, to) << from;
  }
}

TEST(Decimal, BadArgumentsAreRefusedAndChangeNothing) {
  dec_num a, zero, q, work;
  long_to_dec(5, &a);
  long_to_dec(0, &zero);
  std::memset(&q, 0x55, sizeof q);
  EXPECT_EQ(dec_divide(&a, &zero, 2, &q), ST_FAILED);
  EXPECT_EQ(q.ndigits, 0x55555555u);
  EXPECT_EQ(dec_load_uns("1a", 2, 2, 0, &work), ST_BAD_DATA);
  // The work area holds 76 digits; one more overflows.
  std::string nines(DEC_DIGITS, '9');
  ASSERT_EQ(dec_load_uns(nines.c_str(), DEC_DIGITS, DEC_DIGITS, 0, &work), 0);
  EXPECT_EQ(dec_inc(&work), ST_FAILED);
  EXPECT_EQ(work.ndigits, static_cast<uint32_t>(DEC_DIGITS));
  // A number wider than its field is not written at all.
  long_to_dec(1000, &a);
  char field[4] = "xxx";
  EXPECT_EQ(dec_store_uns(&a, field, 3, 3, 0), ST_FAILED);
  EXPECT_STREQ(field, "xxx");
  // Text output stops at the buffer size.
  long_to_dec(123456, &a);
  char small[4];
  EXPECT_EQ(dec_store_string(&a, small, 4, 1, 0, '.'), 3);
  EXPECT_STREQ(small, "123");
}

} // namespace
