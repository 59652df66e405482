// The built program driven through a pseudo-terminal: the top menu, its
// keys, how the program ends and what it leaves of the terminal.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <tuple>

#include "e2e/e2e_common.h"

namespace {

using xntest::Key;
using xntest::PtyTerm;
using xntest::TempDir;

TEST(TopMenu, IsDrawnAtItsPositions) {
    TempDir dir;
    PtyTerm t(e2e::program_in(dir));
    ASSERT_TRUE(e2e::wait_menu(t)) << t.screen_text();

    // The title is centred: it starts at column 40 - L/2.
    std::string title = t.row(0);
    std::size_t start = title.find_first_not_of(' ');
    ASSERT_NE(start, std::string::npos) << "no title";
    std::size_t len = title.size() - start;
    EXPECT_EQ(start, 40 - len / 2) << title;

    struct Landmark {
        int row, col;
        const char* text;
    } landmarks[] = {
        {4, 20, " 1. Configure System Configurations (.cfi)"},
        {5, 20, " 2. Configure Terminal Descriptions (.tdi)"},
        {6, 20, " 3. Configure Printer Translations (.pti)"},
        {10, 20, "Selection:"},
        {22, 18, e2e::kHelpLine},
    };
    for (const auto& l : landmarks) {
        std::string r = t.row(l.row);
        EXPECT_EQ(r.substr(std::min<std::size_t>(l.col, r.size())).rfind(l.text, 0), 0u)
            << "row " << l.row << ": '" << r << "'";
        // Nothing else on the row to the left of it.
        EXPECT_EQ(r.find_first_not_of(' '), static_cast<std::size_t>(l.col) + (l.text[0] == ' '))
            << "row " << l.row;
    }
    EXPECT_EQ(e2e::selection(t), "1");
    for (int r : {1, 2, 3, 7, 8, 9, 11, 21, 23}) EXPECT_EQ(t.row(r), "") << "row " << r;
    EXPECT_TRUE(t.alt_screen());
}

// Emphasised text (the title, the selection) must look different from plain
// labels, in colour and on a monochrome terminal; NO_COLOR means no colour.
TEST(TopMenu, EmphasisIsVisibleWithAndWithoutColour) {
    auto look = [](const xntest::Cell& c) {
        return std::tuple(c.bold, c.underline, c.blink, c.reverse, c.fg_default, c.bg_default, c.fg, c.bg);
    };
    for (bool no_color : {false, true}) {
        SCOPED_TRACE(no_color ? "NO_COLOR" : "colour");
        TempDir dir;
        auto options = e2e::program_in(dir);
        if (no_color) options.env.push_back("NO_COLOR=1");
        PtyTerm t(options);
        ASSERT_TRUE(e2e::wait_menu(t)) << t.screen_text();
        std::string title = t.row(0);
        int title_col = static_cast<int>(title.find_first_not_of(' '));
        auto plain = t.cell(4, 22);  // the '.' of " 1."
        EXPECT_NE(look(t.cell(0, title_col)), look(plain));
        EXPECT_NE(look(t.cell(22, 18)), look(plain)) << "help line";
        if (no_color) {
            for (auto c : {t.cell(0, title_col), t.cell(22, 18), plain}) {
                EXPECT_TRUE(c.fg_default && c.bg_default) << c.text;
            }
        }
    }
}

TEST(TopMenu, UpAndDownStepTheSelectionWithWrap) {
    TempDir dir;
    PtyTerm t(e2e::program_in(dir));
    ASSERT_TRUE(e2e::wait_menu(t)) << t.screen_text();
    struct Step {
        Key key;
        const char* shown;
    } steps[] = {
        {Key::Down, "2"}, {Key::Down, "3"}, {Key::Down, "1"},  // 3 -> 1
        {Key::Up, "3"},                                        // 1 -> 3
        {Key::Up, "2"},   {Key::Up, "1"},
    };
    for (const auto& s : steps) {
        t.key(s.key);
        ASSERT_TRUE(e2e::wait_selection(t, s.shown)) << "expected " << s.shown << "\n" << t.screen_text();
        t.settle();
        EXPECT_EQ(e2e::selection(t), s.shown);
        // The cursor stays in the selection field.
        EXPECT_EQ(t.cursor().row, e2e::kSelectionRow);
    }
}

// A Down key changes one value; a program that repaints the whole screen
// (or even the whole line) per key costs far more than 20 bytes.
TEST(TopMenu, OneStepCostsAFewBytes) {
    TempDir dir;
    PtyTerm t(e2e::program_in(dir));
    ASSERT_TRUE(e2e::wait_menu(t)) << t.screen_text();
    ASSERT_TRUE(t.settle());
    for (const char* expected : {"2", "3"}) {
        std::size_t before = t.bytes_read();
        t.key(Key::Down);
        ASSERT_TRUE(e2e::wait_selection(t, expected));
        ASSERT_TRUE(t.settle());
        std::size_t cost = t.bytes_read() - before;
        EXPECT_GT(cost, 0u);
        EXPECT_LE(cost, 20u) << "bytes for one Down key";
    }
}

TEST(TopMenu, EscEndsWithZeroAndGivesTheTerminalBack) {
    TempDir dir;
    PtyTerm t(e2e::program_in(dir));
    ASSERT_TRUE(e2e::wait_menu(t)) << t.screen_text();
    auto pressed = std::chrono::steady_clock::now();
    t.key(Key::Esc);
    auto e = t.wait_exit();
    ASSERT_FALSE(e.timed_out) << "ESC did not end the program";
    // A lone ESC acts at once (about 100 ms), not after curses' default
    // second of waiting for the rest of a sequence. The bound leaves room
    // for a loaded machine.
    auto waited = std::chrono::steady_clock::now() - pressed;
    EXPECT_LT(waited, std::chrono::milliseconds(700));
    EXPECT_TRUE(e.exited);
    EXPECT_EQ(e.status, 0);
    std::string diff;
    EXPECT_TRUE(t.tty_modes_restored(&diff)) << diff;
    EXPECT_FALSE(t.alt_screen());
    EXPECT_TRUE(t.cursor_visible());
    EXPECT_FALSE(xntest::file_exists(dir.file("system.cfi")));
}

// However the program is told to stop, the terminal is given back. A crash
// signal is raised again after that, so the program still dies of it.
TEST(TopMenu, SignalsGiveTheTerminalBack) {
    struct Case {
        int sig;
        bool dies_of_it;
    } cases[] = {
        {SIGTERM, false}, {SIGHUP, false}, {SIGINT, false}, {SIGQUIT, false},
        {SIGSEGV, true},  {SIGABRT, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sig);
        TempDir dir;
        PtyTerm t(e2e::program_in(dir));
        ASSERT_TRUE(e2e::wait_menu(t)) << t.screen_text();
        t.kill(c.sig);
        auto e = t.wait_exit();
        ASSERT_FALSE(e.timed_out);
        if (c.dies_of_it) {
            EXPECT_EQ(e.signal, c.sig);
        }
        std::string diff;
        EXPECT_TRUE(t.tty_modes_restored(&diff)) << diff;
        EXPECT_FALSE(t.alt_screen());
        EXPECT_TRUE(t.cursor_visible());
        // Nothing was changed, so nothing is written.
        EXPECT_FALSE(xntest::file_exists(dir.file("system.cfi.save")));
    }
}

// Each item opens its editor; leaving it (unchanged: no question) redraws
// the whole menu and proposes the next item.
TEST(TopMenu, ItemsOpenTheirEditorAndTheNextIsProposed) {
    struct Case {
        const char* editor_title;
        const char* next;
    } cases[] = {
        {"System Configuration", "2"},
        {"Terminal Description (XNTERM) Configuration", "3"},
        {"Printer Translation Configuration", "1"},
    };
    TempDir dir;
    PtyTerm t(e2e::program_in(dir));
    ASSERT_TRUE(e2e::wait_menu(t)) << t.screen_text();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.editor_title);
        t.key(Key::Enter);
        ASSERT_TRUE(t.wait_for_text_at(16, 20, "Selection:")) << t.screen_text();
        ASSERT_TRUE(t.contains(c.editor_title)) << t.screen_text();
        EXPECT_FALSE(t.contains(" 1. Configure System Configurations (.cfi)"));
        t.key(Key::Esc);
        ASSERT_TRUE(e2e::wait_menu(t)) << t.screen_text();
        ASSERT_TRUE(e2e::wait_selection(t, c.next)) << t.screen_text();
        EXPECT_EQ(t.row(4).substr(20), " 1. Configure System Configurations (.cfi)");
        EXPECT_EQ(t.row(16), "") << "editor left over";
    }
    t.key(Key::Esc);
    auto e = t.wait_exit();
    EXPECT_TRUE(e.exited);
    EXPECT_EQ(e.status, 0);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << "a file was written";
}

TEST(TopMenu, TooSmallTerminalShowsAMessageUntilItGrowsBack) {
    TempDir dir;
    PtyTerm t(e2e::program_in(dir));
    ASSERT_TRUE(e2e::wait_menu(t)) << t.screen_text();
    t.key(Key::Down);
    ASSERT_TRUE(e2e::wait_selection(t, "2"));

    t.resize(20, 70);
    ASSERT_TRUE(t.wait_for_gone(e2e::kSelectionLabel)) << t.screen_text();
    ASSERT_TRUE(t.settle());
    // A message, not a blank or garbled screen; it must fit the small one.
    std::string shown = t.screen_text();
    EXPECT_NE(shown.find_first_not_of(" \n"), std::string::npos) << "blank screen";
    EXPECT_EQ(shown.find(" 1. Configure"), std::string::npos) << shown;
    EXPECT_TRUE(t.contains("80")) << shown;

    t.resize(24, 80);
    ASSERT_TRUE(e2e::wait_menu(t)) << t.screen_text();
    // Redrawn from the screen image: the state of the menu is kept.
    EXPECT_EQ(e2e::selection(t), "2");
    EXPECT_EQ(t.row(4).substr(20), " 1. Configure System Configurations (.cfi)");
    t.key(Key::Esc);
    EXPECT_EQ(t.wait_exit().status, 0);
}

// Operands that are refused end the program before the screen is opened:
// the message is plain output and nothing is drawn.
TEST(Operands, RefusedBeforeTheScreenOpens) {
    for (const char* name : {"x.Cf", "y.TD", "z.pt"}) {
        SCOPED_TRACE(name);
        TempDir dir;
        PtyTerm t(e2e::program_in(dir, {name}));
        auto e = t.wait_exit();
        ASSERT_TRUE(e.exited) << t.screen_text();
        EXPECT_EQ(e.status, 1);
        EXPECT_TRUE(t.contains(name)) << t.screen_text();
        EXPECT_FALSE(t.alt_screen_used());
        EXPECT_FALSE(t.contains(e2e::kSelectionLabel));
        EXPECT_TRUE(t.tty_modes_restored());
        EXPECT_FALSE(xntest::file_exists(dir.file(name)));
    }
}

// Without a terminal the program ends with 6 and sends no screen control.
TEST(Operands, NoTerminalEndsWithSix) {
    for (const char* operand : {"", "system.cfi", "vt.tdi"}) {
        SCOPED_TRACE(operand);
        TempDir dir;
        std::vector<std::string> args;
        if (*operand != '\0') args.push_back(operand);
        auto r = xntest::run_xnconfig(args, dir.path());
        EXPECT_FALSE(r.timed_out);
        EXPECT_EQ(r.status, 6) << r.out << r.err;
        EXPECT_EQ(r.out.find('\x1b'), std::string::npos) << r.out;
        EXPECT_EQ(r.err.find('\x1b'), std::string::npos) << r.err;
        if (*operand != '\0') {
            EXPECT_FALSE(xntest::file_exists(dir.file(operand)));
        }
    }
}

}  // namespace
