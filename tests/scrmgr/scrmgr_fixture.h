// Shared set-up of the screen manager's tests: a fresh in-memory screen and
// short ways to write fields and feed keys.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>

#include "lib/memscreen.h"
#include "scrmgr/scrmgr.h"

namespace scrmgr_test {

// A field with every member given, so that tests read like form tables.
inline form_field field(uint16_t kind, uint16_t flags, uint16_t row, uint16_t col,
                        uint16_t width, uint16_t value = 0, uint16_t min = 0,
                        uint16_t max = 0) {
  return form_field{.kind = kind, .flags = flags, .row = row, .col = col,
                    .width = width, .attr = 4, .value = value, .min = min,
                    .max = max, .text = nullptr, .label = nullptr, .list = nullptr};
}

inline form_field label(uint16_t flags, uint16_t row, uint16_t col, uint16_t width,
                        const char *text) {
  form_field f = field(FIELD_LABEL, flags, row, col, width);
  f.label = text;
  return f;
}

// Keys: text as typed characters, plus single codes.
inline void keys(std::initializer_list<uint16_t> codes) {
  for (uint16_t c : codes) memscreen_push_key(c);
}
inline void type(const char *text) { memscreen_push_text(text); }

inline uint16_t ch(char c) { return static_cast<uint16_t>(0x100 | static_cast<uint8_t>(c)); }

class ScreenTest : public ::testing::Test {
protected:
  void SetUp() override {
    memscreen_use();
    message_shown = false;
  }
  void TearDown() override { memscreen_release(); }

  // Columns [col, col + n) of a row as shown.
  static std::string cells(int row, int col, int n) {
    return memscreen_row(row).substr(static_cast<size_t>(col), static_cast<size_t>(n));
  }
};

} // namespace scrmgr_test
