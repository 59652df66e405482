// Shared set-up of the screen manager's tests: a fresh in-memory screen and
// short ways to write fields and key scripts.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "lib/memscreen.h"
#include "lib/scrn.h"
#include "scrmgr/scrmgr.h"

namespace scrmgr_test {

constexpr uint16_t IN = FF_DATA | FF_INPUT;
constexpr uint16_t ENTER = KEY_ENTER, ESC = KEY_ESC, UP = KEY_UP, DOWN = KEY_DOWN;
constexpr uint16_t SP = KEY_SPACE, L = KEY_LEFT, R = KEY_RIGHT;

inline form_field field(uint16_t kind, uint16_t flags, uint16_t row, uint16_t col, uint16_t width,
                        uint16_t value = 0, uint16_t min = 0, uint16_t max = 0) {
  return form_field{.kind = kind,
                    .flags = flags,
                    .row = row,
                    .col = col,
                    .width = width,
                    .attr = 4,
                    .value = value,
                    .min = min,
                    .max = max,
                    .text = nullptr,
                    .label = nullptr,
                    .list = nullptr};
}

inline form_field label(uint16_t flags, uint16_t row, uint16_t col, uint16_t width,
                        const char *text) {
  form_field f = field(FIELD_LABEL, flags, row, col, width);
  f.label = text;
  return f;
}

inline uint16_t ch(char c) { return static_cast<uint16_t>(0x100 | static_cast<uint8_t>(c)); }

// Typed characters followed by other keys.
inline std::vector<uint16_t> typed(const char *s, std::vector<uint16_t> after = {}) {
  std::vector<uint16_t> k;
  for (; *s; ++s) k.push_back(ch(*s));
  k.insert(k.end(), after.begin(), after.end());
  return k;
}

// A fresh in-memory screen with the key script queued.
inline void fresh(const std::vector<uint16_t> &keys = {}) {
  memscreen_use();
  message_shown = false;
  for (uint16_t k : keys) memscreen_push_key(k);
}

inline std::string cells(int row, int col, int n) { return memscreen_row(row).substr(col, n); }

// Fills a row with 'x' (attribute 4) to show which cells a test drew.
inline void fill_row(uint16_t row) {
  static const std::string xs(80, 'x');
  form_field f = label(FF_STATIC, row, 0, 80, xs.c_str());
  ASSERT_EQ(display_field(&f), 0);
}

class ScreenTest : public ::testing::Test {
protected:
  void SetUp() override { fresh(); }
  void TearDown() override { memscreen_release(); }
};

} // namespace scrmgr_test
