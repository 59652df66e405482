// No edit is lost without a question: on every editing screen, each kind of
// field is changed, the screen left, and the editor must then ask to save
// when the user leaves it. A new screen adds its rows to the table.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "cfi/cfi.h"
#include "frame/frame.h"
#include "lib/cfi_store.h"
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

namespace {

constexpr uint16_t CLEAR = 0x115; // Ctrl-U: empties the text under edit

// A key script: menu item, the edit on the sub-screen, its way out.
struct keys {
  std::vector<uint16_t> codes;
  keys &key(uint16_t code, int times = 1) {
    while (times-- > 0) codes.push_back(code);
    return *this;
  }
  keys &text(const std::string &typed) {
    for (unsigned char c : typed) codes.push_back(static_cast<uint16_t>(0x100 | c));
    return *this;
  }
  keys &item(int n) { return text(std::to_string(n)).key(KEY_ENTER); }
  keys &retype(const std::string &typed) { return key(CLEAR).text(typed); }
};

enum class editor { system, terminal, printer };

struct edit_case {
  const char *screen;
  const char *field; // the kind of field changed
  editor ed;
  keys script; // ends back in the editor's menu
};

int run_editor(editor ed) {
  switch (ed) {
  case editor::system: return cnf_main("system.cfi");
  case editor::terminal: return tdi_main("vt.tdi");
  default: return pti_main("job.pti");
  }
}

uint8_t changed_flag(editor ed) {
  switch (ed) {
  case editor::system: return config_changed;
  case editor::terminal: return desc_changed;
  default: return trans_changed;
  }
}

bool question_shown() {
  for (int r = 0; r < 24; ++r)
    if (memscreen_row(r).find("do you wish to save it?") != std::string::npos) return true;
  return false;
}

TEST(EditsAsked, EveryKindOfFieldOnEveryScreenLeadsToTheSaveQuestion) {
  // clang-format off
  const edit_case cases[] = {
      {"system parameters", "number", editor::system, keys().item(1).retype("42").key(KEY_ESC)},
      {"system parameters", "yes/no", editor::system, keys().item(1).key(KEY_DOWN, 3).key(KEY_SPACE).key(KEY_ESC)},
      {"environment strings", "yes/no", editor::system, keys().item(2).key(KEY_SPACE).key(KEY_ESC)},
      {"environment strings", "text", editor::system, keys().item(2).key(KEY_F2).retype("TZ=UTC").key(KEY_ESC)},
      {"terminal parameters", "number", editor::terminal, keys().item(3).retype("17").key(KEY_ESC)},
      {"terminal parameters", "yes/no", editor::terminal, keys().item(3).key(KEY_DOWN, 10).key(KEY_SPACE).key(KEY_ESC)},
      {"terminal parameters", "choice", editor::terminal, keys().item(3).key(KEY_DOWN, 11).key(KEY_SPACE).key(KEY_ESC)},
      {"terminal parameters", "text", editor::terminal, keys().item(3).key(KEY_DOWN, 12).retype("Courier").key(KEY_ESC)},
      {"terminal description comment", "text", editor::terminal, keys().item(2).retype("Site").key(KEY_ENTER)},
      {"job control strings", "yes/no", editor::printer, keys().item(3).key(KEY_SPACE).key(KEY_ESC)},
      {"job control strings", "second yes/no", editor::printer,
       keys().item(3).key(KEY_ENTER).key(KEY_SPACE).key(KEY_ESC)},
      {"job control strings", "text", editor::printer,
       keys().item(3).key(KEY_ENTER, 2).retype("^L^L").key(KEY_ESC)},
      {"printer translation comment", "text", editor::printer, keys().item(2).retype("Site").key(KEY_ENTER)},
  };
  // clang-format on
  xntest::TempDir dir;
  ASSERT_EQ(chdir(dir.path().c_str()), 0);
  reset_kern_state();
  init_kern("xnconfig", 32, 5, 32, 0, 0, 1);
  ASSERT_EQ(init_cfi(), 0);
  ASSERT_EQ(init_tdi(), 0);
  ASSERT_EQ(init_pti(), 0);
  for (const edit_case &c : cases) {
    SCOPED_TRACE(std::string(c.screen) + ", " + c.field);
    memscreen_use();
    ASSERT_EQ(display_open(), 0);
    reset_cfi_state();
    reset_tdi_state();
    reset_pti_state();
    target_os = TARGET_WINDOWS;
    base_terminal = TDI_DEFAULT_TYPE;
    printer_type = 0;
    for (uint16_t k : c.script.codes) memscreen_push_key(k);
    memscreen_push_key(KEY_ESC); // leaves the editor's menu: the question
    // The script ends while the question waits for its answer.
    EXPECT_EQ(run_editor(c.ed), ST_SCRIPT_END);
    EXPECT_EQ(memscreen_keys_left(), 0u);
    EXPECT_EQ(changed_flag(c.ed), 1);
    EXPECT_TRUE(question_shown()) << memscreen_row(22);
    display_close();
  }
  memscreen_release();
  ASSERT_EQ(chdir("/"), 0); // the folder goes away with the test
}

} // namespace
