// Helpers shared by the end-to-end tests: starting the program on a
// pseudo-terminal in a clean folder and reading its top menu.
#pragma once

#include <string>
#include <vector>

#include "support/pty_term.h"
#include "support/support.h"

namespace e2e {

// The program in a pty of the given size, run in `dir` with HOME there too,
// so that nothing of the user running the tests is read or written.
inline xntest::PtyOptions program_in(const xntest::TempDir& dir, std::vector<std::string> args = {},
                                     int rows = 24, int cols = 80) {
    xntest::PtyOptions o;
    o.args = std::move(args);
    o.cwd = dir.path();
    o.env = {"HOME=" + dir.path(), "NO_COLOR", "ESCDELAY"};
    o.rows = rows;
    o.cols = cols;
    return o;
}

// Top menu landmarks.
inline constexpr int kSelectionRow = 10;
inline constexpr int kSelectionCol = 35;
inline constexpr const char* kSelectionLabel = "Selection:";
inline constexpr const char* kHelpLine = "Press <up> or <down> to select, ESC to exit.";

// The text of `width` cells from (row, col), without surrounding blanks.
inline std::string field_text(const xntest::PtyTerm& t, int row, int col, int width) {
    std::string r = t.row(row);
    r.resize(static_cast<std::size_t>(col + width), ' ');
    std::string v = r.substr(static_cast<std::size_t>(col), static_cast<std::size_t>(width));
    v.erase(v.find_last_not_of(' ') + 1);
    v.erase(0, v.find_first_not_of(' '));
    return v;
}

// The selection field's number: while the cursor is in it the field editor
// shows it from the field's first column, once left it is right-aligned.
inline std::string selection(const xntest::PtyTerm& t) {
    return field_text(t, kSelectionRow, kSelectionCol, 2);
}

inline bool wait_menu(xntest::PtyTerm& t, int timeout_ms = 5000) {
    return t.wait_for_text_at(kSelectionRow, 20, kSelectionLabel, timeout_ms) &&
           t.wait_for_text_at(22, 18, kHelpLine, timeout_ms);
}

// Waits until the selection field shows `value` ("1" to "3").
inline bool wait_selection(xntest::PtyTerm& t, const std::string& value, int timeout_ms = 3000) {
    return t.wait_until([&] { return selection(t) == value; }, timeout_ms);
}

}  // namespace e2e
