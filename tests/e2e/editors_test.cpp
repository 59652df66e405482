// The three editors driven through a pseudo-terminal: a change made on a
// screen, saved on leaving, is seen again when the saved file is reopened.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "e2e/e2e_common.h"
#include "lib/pti_store.h"
#include "lib/strs.h"

namespace {

using xntest::Key;
using xntest::PtyTerm;
using xntest::TempDir;

constexpr int kEditorSelectionRow = 16;

// Files in `dir` whose names end with `ext`.
std::vector<std::string> files_with(const TempDir& dir, const std::string& ext) {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
        std::string name = e.path().filename().string();
        if (name.size() > ext.size() && name.compare(name.size() - ext.size(), ext.size(), ext) == 0)
            out.push_back(name);
    }
    return out;
}

// The editor menu is up when its title and "Selection:" line are drawn.
::testing::AssertionResult editor_menu(PtyTerm& t, const char* title) {
    if (t.wait_for_text(title) && t.wait_for_text_at(kEditorSelectionRow, 20, "Selection:"))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "no menu \"" << title << "\"\n" << t.screen_text();
}

// Chooses menu item n (from the proposed item 1) by stepping down to it.
void choose(PtyTerm& t, int n) {
    for (int i = 1; i < n; ++i) t.key(Key::Down);
    t.key(Key::Enter);
}

// Empties the field being edited: to its end, then back over `length`
// characters (a few more ring the bell and do no harm).
void clear_field(PtyTerm& t, std::size_t length) {
    t.key(Key::End);
    for (std::size_t i = 0; i < length + 2; ++i) t.key(Key::Backspace);
}

// Text of a field drawn from (row, col) that wraps onto the next rows from
// column 0, trailing blanks removed.
std::string wrapped_field(const PtyTerm& t, int row, int col, int rows) {
    std::string s;
    for (int r = row; r < row + rows; ++r) {
        std::string line = t.row(r);
        line.resize(80, ' ');
        s += r == row ? line.substr(col) : line;
    }
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
}

// Answers Yes to the save question on leaving and waits for the end.
void leave_saving(PtyTerm& t, const char* question, bool confirm_name) {
    t.key(Key::Esc);
    ASSERT_TRUE(t.wait_for_text(question)) << t.screen_text();
    t.type("y");
    if (confirm_name) {
        ASSERT_TRUE(t.wait_for_text_at(20, 1, "Save(d) file: ")) << t.screen_text();
        t.key(Key::Enter);
    }
    auto e = t.wait_exit();
    ASSERT_TRUE(e.exited) << t.screen_text();
    EXPECT_EQ(e.status, 0) << t.screen_text();
    EXPECT_TRUE(t.tty_modes_restored());
}

// Leaves an editor that holds no changes: no question, status 0.
void leave_unchanged(PtyTerm& t) {
    t.key(Key::Esc);
    auto e = t.wait_exit();
    ASSERT_TRUE(e.exited) << t.screen_text();
    EXPECT_EQ(e.status, 0) << t.screen_text();
}

TEST(SystemEditor, ChangedParameterIsSavedOnLeavingAndReadBack) {
    TempDir dir;
    {
        PtyTerm t(e2e::program_in(dir, {"system.cfi"}));
        ASSERT_TRUE(editor_menu(t, "System Configuration"));
        choose(t, 1);
        ASSERT_TRUE(t.wait_for_text("Number of processes allowed")) << t.screen_text();
        EXPECT_EQ(t.cursor().row, 2);
        clear_field(t, 5);
        t.type("42");
        t.key(Key::Esc);
        ASSERT_TRUE(editor_menu(t, "System Configuration"));
        // After item 1 the menu proposes item 2.
        EXPECT_TRUE(t.wait_until([&] { return e2e::field_text(t, kEditorSelectionRow, 35, 2) == "2"; }))
            << t.row(kEditorSelectionRow);
        ASSERT_FALSE(xntest::file_exists(dir.file("system.cfi")));
        leave_saving(t, "The defaulted configuration has been changed, do you wish to save it?", false);
    }
    ASSERT_TRUE(xntest::file_exists(dir.file("system.cfi")));
    const std::string saved = xntest::read_file(dir.file("system.cfi"));
    {
        PtyTerm t(e2e::program_in(dir, {"system.cfi"}));
        ASSERT_TRUE(editor_menu(t, "System Configuration"));
        EXPECT_TRUE(t.wait_for_text_at(19, 1, "Retrieved file: ")) << t.screen_text();
        EXPECT_NE(t.row(19).find("system.cfi"), std::string::npos) << t.row(19);
        choose(t, 1);
        ASSERT_TRUE(t.wait_for_text("Number of processes allowed")) << t.screen_text();
        EXPECT_EQ(e2e::field_text(t, 2, 30, 5), "42") << t.row(2);
        t.key(Key::Esc);
        ASSERT_TRUE(editor_menu(t, "System Configuration"));
        leave_unchanged(t);
    }
    // Looking without changing writes nothing.
    EXPECT_EQ(xntest::read_file(dir.file("system.cfi")), saved);
}

TEST(TerminalEditor, NewDescriptionIsSavedAndItsParametersReadBack) {
    TempDir dir;
    {
        PtyTerm t(e2e::program_in(dir, {"vt.tdi"}));
        ASSERT_TRUE(editor_menu(t, "Terminal Description (XNTERM) Configuration"));
        choose(t, 3);
        ASSERT_TRUE(t.wait_for_text("Parameter Configuration")) << t.screen_text();
        ASSERT_TRUE(t.wait_for_text_at(5, 23, "Sequence Timeout (.1 sec): ")) << t.screen_text();
        EXPECT_EQ(t.cursor().row, 5);
        clear_field(t, 2);
        t.type("17");
        t.key(Key::Esc);
        ASSERT_TRUE(editor_menu(t, "Terminal Description (XNTERM) Configuration"));
        leave_saving(t, "The base description has been changed, do you wish to save it?", true);
    }
    auto saved = files_with(dir, ".tdi");
    ASSERT_EQ(saved.size(), 1u) << "expected one saved description";
    {
        PtyTerm t(e2e::program_in(dir, {saved[0]}));
        ASSERT_TRUE(editor_menu(t, "Terminal Description (XNTERM) Configuration"));
        // The Name line shows the file's simple name without its extension.
        std::string stem = saved[0].substr(0, saved[0].size() - 4);
        EXPECT_TRUE(t.wait_for_text_at(2, 24, stem)) << t.row(2);
        choose(t, 3);
        ASSERT_TRUE(t.wait_for_text("Parameter Configuration")) << t.screen_text();
        EXPECT_EQ(e2e::field_text(t, 5, 50, 2), "17") << t.row(5);
        t.key(Key::Esc);
        ASSERT_TRUE(editor_menu(t, "Terminal Description (XNTERM) Configuration"));
        leave_unchanged(t);
    }
}

// A hang-up (a dropped session) with unsaved changes writes them beside
// the file, never over it; without changes nothing is written.
TEST(SystemEditor, HangUpKeepsUnsavedWorkBesideTheFile) {
    for (bool change : {true, false}) {
        SCOPED_TRACE(change ? "changed" : "unchanged");
        TempDir dir;
        auto made = xntest::run_xnconfig({"-b", "system.cfi"}, dir.path());
        ASSERT_EQ(made.status, 0) << made.out << made.err;
        const std::string original = xntest::read_file(dir.file("system.cfi"));
        ASSERT_FALSE(original.empty());
        {
            PtyTerm t(e2e::program_in(dir, {"system.cfi"}));
            ASSERT_TRUE(editor_menu(t, "System Configuration"));
            if (change) {
                choose(t, 1);
                ASSERT_TRUE(t.wait_for_text("Number of processes allowed")) << t.screen_text();
                clear_field(t, 5);
                t.type("42");
                t.key(Key::Esc);
                ASSERT_TRUE(editor_menu(t, "System Configuration"));
            }
            t.kill(SIGHUP);
            auto e = t.wait_exit();
            ASSERT_FALSE(e.timed_out);
            EXPECT_TRUE(t.tty_modes_restored());
        }
        EXPECT_EQ(xntest::read_file(dir.file("system.cfi")), original);
        ASSERT_EQ(xntest::file_exists(dir.file("system.cfi.save")), change);
        if (!change) continue;
        // The side file is a configuration file holding the change.
        ASSERT_TRUE(xntest::write_file(dir.file("rescued.cfi"), xntest::read_file(dir.file("system.cfi.save"))));
        PtyTerm t(e2e::program_in(dir, {"rescued.cfi"}));
        ASSERT_TRUE(editor_menu(t, "System Configuration"));
        choose(t, 1);
        ASSERT_TRUE(t.wait_for_text("Number of processes allowed")) << t.screen_text();
        EXPECT_EQ(e2e::field_text(t, 2, 30, 5), "42") << t.row(2);
    }
}

// The canonical text of `typed` in the byte-string notation, or "" when it
// cannot be read.
std::string canonical(const std::string& typed) {
    uint8_t bytes[PTI_MAX_CTRL_BYTES];
    uint16_t length = PTI_MAX_CTRL_BYTES;
    if (pti_asctobytestring(typed.c_str(), bytes, &length) != 0) return "";
    char text[PTI_TEXT_BUF] = {};
    pti_bytestringtoasc(bytes, static_cast<uint8_t>(length), text);
    return text;
}

TEST(PrinterEditor, JobControlStringIsShownCanonicalAndSurvivesSaving) {
    // A text that stands for some bytes but is not how the notation writes
    // them: the test is only meaningful for such a text.
    std::string typed, expected;
    for (const char* t : {"\\x1b\\x45", "\\x1BE", "\\033E", "\\x41\\x42"}) {
        std::string c = canonical(t);
        if (!c.empty() && c != t) {
            typed = t;
            expected = c;
            break;
        }
    }
    ASSERT_FALSE(typed.empty()) << "every candidate is already canonical";

    TempDir dir;
    {
        PtyTerm t(e2e::program_in(dir, {"job.pti"}));
        ASSERT_TRUE(editor_menu(t, "Printer Translation Configuration"));
        choose(t, 3);
        ASSERT_TRUE(t.wait_for_text("Job Control String Configuration")) << t.screen_text();
        ASSERT_TRUE(t.wait_for_text_at(5, 0, ctrl_name_str[0])) << t.screen_text();
        // Enable? then Use File? then Value.
        t.key(Key::Enter);
        t.key(Key::Enter);
        ASSERT_TRUE(t.settle());
        ASSERT_EQ(t.cursor().row, 5);
        clear_field(t, wrapped_field(t, 5, 28, 4).size());
        t.type(typed);
        t.key(Key::Enter);  // leaves the row: the value is read and stored
        ASSERT_TRUE(t.wait_for_text_at(5, 28, expected)) << t.screen_text();
        EXPECT_EQ(wrapped_field(t, 5, 28, 4), expected);
        t.key(Key::Esc);
        ASSERT_TRUE(editor_menu(t, "Printer Translation Configuration"));
        leave_saving(t, "The base translation has been changed, do you wish to save it?", true);
    }
    auto saved = files_with(dir, ".pti");
    ASSERT_EQ(saved.size(), 1u) << "expected one saved translation";
    {
        PtyTerm t(e2e::program_in(dir, {saved[0]}));
        ASSERT_TRUE(editor_menu(t, "Printer Translation Configuration"));
        choose(t, 3);
        ASSERT_TRUE(t.wait_for_text("Job Control String Configuration")) << t.screen_text();
        ASSERT_TRUE(t.wait_for_text_at(5, 0, ctrl_name_str[0])) << t.screen_text();
        EXPECT_EQ(wrapped_field(t, 5, 28, 4), expected);
        t.key(Key::Esc);
        ASSERT_TRUE(editor_menu(t, "Printer Translation Configuration"));
        leave_unchanged(t);
    }
}

// A damaged file given at entry is reported with the line at fault; the
// editor goes on with defaults and leaves the file exactly as it was.
TEST(Operands, DamagedFileIsReportedAndLeftAlone) {
    struct Case {
        const char* name;
        const char* title;
    } cases[] = {
        {"bad.cfi", "System Configuration"},
        {"bad.tdi", "Terminal Description (XNTERM) Configuration"},
        {"bad.pti", "Printer Translation Configuration"},
    };
    const std::string damaged = "garbage\n[nonsense\nx=1\n\xff\x01";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        ASSERT_TRUE(xntest::write_file(dir.file(c.name), damaged));
        PtyTerm t(e2e::program_in(dir, {c.name}));
        ASSERT_TRUE(t.wait_for_text("line 1")) << t.screen_text();
        ASSERT_TRUE(editor_menu(t, c.title));
        // Defaults are not a change: leaving asks nothing.
        leave_unchanged(t);
        EXPECT_EQ(xntest::read_file(dir.file(c.name)), damaged);
        EXPECT_EQ(files_with(dir, "").size(), 1u) << "a file was written";
    }
}

// Operands choose the editor: a folder opens the system configuration
// editor on its system.cfi, the extension (in any case) picks the others.
TEST(Operands, ChooseTheEditor) {
    struct Case {
        const char* operand;
        const char* title;
    } cases[] = {
        {".", "System Configuration"},
        {"plain", "System Configuration"},
        {"VT.TDI", "Terminal Description (XNTERM) Configuration"},
        {"lp.Pti", "Printer Translation Configuration"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.operand);
        TempDir dir;
        PtyTerm t(e2e::program_in(dir, {c.operand}));
        ASSERT_TRUE(editor_menu(t, c.title));
        leave_unchanged(t);
        EXPECT_TRUE(files_with(dir, "").empty()) << "a file was created";
    }
}

}  // namespace
