// The copy key's device renumbering: the trailing digits grow through the
// decimal services; a name that would not fit is refused untouched.
#include <gtest/gtest.h>

#include <cstring>

#include "cfi/device_copy.h"
#include "lib/status.h"

namespace {

TEST(DeviceCopy, TrailingDigitsCountUpInTheirWidth) {
  // clang-format off
  const struct {
    const char *name, *want;
    int status;
  } cases[] = {
      {"ttyS0", "ttyS1", 0},   {"COM9", "COM10", 0},     {"lp007", "lp008", 0},
      {"tty09", "tty10", 0},   {"lp099", "lp100", 0},    {"tty99", "tty100", 0},
      {"printer", "printer", 0}, {"", "", 0},            {"12", "13", 0},
      {"a1b", "a1b", 0},       {"x0099", "x0100", 0},
      // 15 characters is the longest that fits 16 bytes with the end mark.
      {"abcdefghijklmn9", "abcdefghijklmn9", ST_DEVICE_TOO_LONG},
      {"abcdefghijklm99", "abcdefghijklm99", ST_DEVICE_TOO_LONG},
      {"abcdefghijklm98", "abcdefghijklm99", 0},
      {"abcdefghijklmn8", "abcdefghijklmn9", 0},
  };
  // clang-format on
  for (const auto &c : cases) {
    char dev[16] = {};
    std::strncpy(dev, c.name, sizeof dev - 1);
    EXPECT_EQ(renumber_device(dev, sizeof dev), c.status) << c.name;
    EXPECT_STREQ(dev, c.want) << c.name;
  }
}

} // namespace
