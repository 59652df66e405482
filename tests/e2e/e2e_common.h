// Helpers shared by the end-to-end tests: starting the program on a
// pseudo-terminal in a clean folder and reading its menus.
#pragma once

#include <string>
#include <vector>

#include "support/pty_term.h"
#include "support/support.h"

namespace e2e {

// The program in a pty, run in `dir` with HOME there too, so that nothing
// of the user running the tests is read or written.
inline xntest::PtyOptions program_in(const xntest::TempDir &dir,
                                     std::vector<std::string> args = {}) {
  xntest::PtyOptions o;
  o.args = std::move(args);
  o.cwd = dir.path();
  o.env = {"HOME=" + dir.path(), "NO_COLOR", "ESCDELAY"};
  return o;
}

inline constexpr const char *kHelpLine = "Press <up> or <down> to select, ESC to exit.";

// The text of `width` cells from (row, col), without surrounding blanks.
inline std::string field_text(const xntest::PtyTerm &t, int row, int col, int width) {
  std::string r = t.row(row);
  r.resize(static_cast<std::size_t>(col + width), ' ');
  std::string v = r.substr(static_cast<std::size_t>(col), static_cast<std::size_t>(width));
  v.erase(v.find_last_not_of(' ') + 1);
  v.erase(0, v.find_first_not_of(' '));
  return v;
}

// The "Selection:" number of the top menu (row 10) or of an editor's menu
// (row 16).
inline std::string selection(const xntest::PtyTerm &t, int row = 10) {
  return field_text(t, row, 35, 2);
}

inline bool wait_menu(xntest::PtyTerm &t) {
  return t.wait_for_text_at(10, 20, "Selection:") && t.wait_for_text_at(22, 18, kHelpLine);
}

inline bool wait_selection(xntest::PtyTerm &t, const std::string &value, int row = 10) {
  return t.wait_until([&] { return selection(t, row) == value; }, 3000);
}

} // namespace e2e
