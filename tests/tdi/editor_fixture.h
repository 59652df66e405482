// Set-up shared by the tests of the two description editors: a fresh
// in-memory screen, the stores, a temporary current folder, and short ways
// to feed keys.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <initializer_list>
#include <string>

#include "frame/frame.h"
#include "lib/kern.h"
#include "lib/memscreen.h"
#include "lib/pti_store.h"
#include "lib/status.h"
#include "lib/strs.h"
#include "lib/tdi_store.h"
#include "pti/pti.h"
#include "scrmgr/scrmgr.h"
#include "support/support.h"
#include "tdi/tdi.h"

namespace editor_test {

constexpr uint16_t ENTER = KEY_ENTER, ESC = KEY_ESC, UP = KEY_UP, DOWN = KEY_DOWN,
                   SPACE = KEY_SPACE;
constexpr uint16_t CLEAR = 0x115; // Ctrl-U: empties the text under edit

inline uint16_t ch(char c) { return static_cast<uint16_t>(0x100 | static_cast<uint8_t>(c)); }
inline void keys(std::initializer_list<uint16_t> codes) {
  for (uint16_t c : codes) memscreen_push_key(c);
}
// A menu item: its number typed over the selection, then Enter.
inline void choose(int item) { keys({ch(static_cast<char>('0' + item)), ENTER}); }
// Replaces the text of the field under edit and ends it with `end`.
inline void retype(const char *text, uint16_t end = ENTER) {
  memscreen_push_key(CLEAR);
  memscreen_push_text(text);
  memscreen_push_key(end);
}

class EditorTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(chdir(dir_.path().c_str()), 0);
    reset_kern_state();
    init_kern("xnconfig", 32, 5, 32, 0, 0, 1);
    memscreen_use();
    ASSERT_EQ(init_tdi(), 0);
    ASSERT_EQ(init_pti(), 0);
    ASSERT_EQ(display_open(), 0);
    reset_tdi_state();
    reset_pti_state();
    base_terminal = TDI_DEFAULT_TYPE;
    printer_type = 0;
  }
  void TearDown() override {
    display_close();
    memscreen_release();
    ASSERT_EQ(chdir("/"), 0); // the folder goes away with the test
  }
  // A fresh screen (no message, no bells) for the next case of a loop.
  static void fresh() {
    display_close();
    memscreen_use();
    ASSERT_EQ(display_open(), 0);
  }
  std::string file(const char *name) const { return dir_.file(name); }
  // The folder as the editors show it (symbolic links resolved).
  static std::string folder() {
    char buf[PATH_MAX];
    return getcwd(buf, sizeof buf) ? std::string(buf) : std::string();
  }
  static std::string cells(int row, int col, int n) { return memscreen_row(row).substr(col, n); }
  static bool row_has(int row, const std::string &text) {
    return memscreen_row(row).find(text) != std::string::npos;
  }

private:
  xntest::TempDir dir_;
};

// A terminal description store of its own, opened on a base as the editor
// hands it over, for the description's sub-screens.
class DescriptionTest : public EditorTest {
protected:
  void TearDown() override {
    if (handle_) close_tdi(&handle_);
    EditorTest::TearDown();
  }
  void open_base(uint8_t base) {
    if (handle_) close_tdi(&handle_);
    ASSERT_EQ(open_tdi(&handle_, base), 0);
    base_terminal = base;
    desc_changed = 0;
  }
  tdi_ctrl record() const {
    tdi_ctrl rec{};
    EXPECT_EQ(get_ctrl_tdi(handle_, &rec), 0);
    return rec;
  }
  uint32_t handle_ = 0;
};

} // namespace editor_test
