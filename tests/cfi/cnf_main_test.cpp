// The editor main screen: leaving, the flags, the questions, the file lines,
// the target OS and the menu selection, driven by key scripts.
#include <sys/stat.h>

#include <algorithm>
#include <ostream>
#include <tuple>

#include "cfi_screen.h"

namespace cfitest {
namespace {

using xntest::file_exists;
using xntest::read_file;

// What the folder holds before the editor starts: nothing, system.cfi
// (processes 5) given at entry, "new.cfi" given but missing, or a folder
// named system.cfi in the way of saving.
enum class start_with { nothing, existing, missing, folder };
using enum start_with;

class StartTest : public CfiScreen {
protected:
  // Prepares the folder; the name to give at entry.
  const char *prepare(start_with start) {
    if (start == existing) {
      EXPECT_TRUE(write_config("system.cfi", 5));
    } else if (start == folder) {
      EXPECT_EQ(mkdir(path("system.cfi").c_str(), 0755), 0);
    }
    return start == existing ? "system.cfi" : start == missing ? "new.cfi" : nullptr;
  }
};

script S() { return script(); }
// Processes set to 12, then ESC: the leaving question.
script leave_changed() { return S().processes(12).key(KEY_ESC); }
script leave_unsaved(script s) { return s.key(KEY_ESC).key(K_NO); }
script os_other(script s = S()) { return s.choose(12).key(KEY_SPACE).key(KEY_ENTER); }

struct event_case {
  const char *what;
  start_with start;
  script keys;          // ends with the editor left
  uint32_t want_system; // processes in system.cfi afterwards, 0: none saved
  const char *other;    // a second file expected with processes 12
  uint8_t changed, retrieved, saved;
};

// clang-format off
const event_case event_cases[] = {
    {"unchanged asks nothing", nothing, S().key(KEY_ESC), 0, nullptr, 0, 0, 0},
    {"changed and new is saved at once", nothing, leave_changed().key(KEY_ENTER), 12, nullptr, 0, 0, 1},
    {"changed and existing asks only to replace", existing, leave_changed().key(KEY_ENTER).key(KEY_ENTER), 12,
     nullptr, 0, 1, 1},
    {"No to the save question discards", nothing, leave_changed().key(K_NO), 0, nullptr, 1, 0, 0},
    {"refusing to replace opens the Saved line, ESC goes back", existing,
     leave_unsaved(leave_changed().key(KEY_ENTER).key(K_NO).key(KEY_ESC)), 5, nullptr, 1, 1, 0},
    {"another name on the Saved line gets the extension", existing,
     leave_changed().key(KEY_ENTER).key(K_NO).name("other"), 5, "other.cfi", 0, 1, 1},
    {"a missing file given at entry is not proposed", missing, leave_changed().key(KEY_ENTER), 12, nullptr, 0, 0, 1},
    {"a failed save offers to discard", folder, leave_changed().key(KEY_ENTER).key(KEY_ENTER).key(KEY_ENTER), 0,
     nullptr, 1, 0, 0},
    {"ESC to the replace question while leaving goes back to the menu", existing,
     leave_unsaved(leave_changed().key(KEY_ENTER).key(KEY_ESC)), 5, nullptr, 1, 1, 0},
    {"keeping what failed to save opens the Saved line", folder,
     leave_changed().key(KEY_ENTER).key(KEY_ENTER).key(K_NO).name("other"), 0, "other.cfi", 0, 0, 1},
    {"save then retrieve", nothing,
     S().processes(9).choose(9).key(KEY_ENTER).choose(10).key(KEY_ENTER).key(KEY_ESC), 9, nullptr, 0, 1, 0},
    {"reset of a retrieved configuration", existing, leave_unsaved(S().choose(11).key(KEY_ENTER)), 5, nullptr, 1, 1, 0},
    {"target OS changed on a retrieved configuration", existing, os_other().key(KEY_ENTER).key(KEY_ESC), 5, nullptr,
     0, 0, 0},
    {"the same target OS again asks nothing", existing, S().choose(12).key(KEY_ENTER).key(KEY_ESC), 5, nullptr, 0, 1, 0},
    {"target change refused keeps the flags", existing, os_other().key(K_NO).key(KEY_ESC), 5, nullptr, 0, 1, 0},
};
// clang-format on

void PrintTo(const event_case &c, std::ostream *os) { *os << c.what; }

class EventTest : public StartTest, public ::testing::WithParamInterface<event_case> {};

TEST_P(EventTest, SavesAndFlagsOnlyWhatTheAnswersSay) {
  const event_case &c = GetParam();
  EXPECT_EQ(run_editor(prepare(c.start), c.keys), 0);
  EXPECT_EQ(read_config("system.cfi"), c.want_system);
  if (c.other) {
    EXPECT_EQ(read_config(c.other), 12u);
  }
  EXPECT_FALSE(file_exists(path("new.cfi")));
  EXPECT_EQ(config_changed, c.changed);
  EXPECT_EQ(config_retrieved, c.retrieved);
  EXPECT_EQ(config_saved, c.saved);
}

INSTANTIATE_TEST_SUITE_P(Cfi, EventTest, ::testing::ValuesIn(event_cases));

// Which question each situation asks. The script ends while it waits, so it
// stays on line 22; 0x0B takes one cell, the answer field the next.
TEST_F(StartTest, EachSituationAsksItsQuestion) {
  // clang-format off
  const std::tuple<const char *, start_with, script> cases[] = {
      {"The retrieved configuration has been changed, do you wish to save it? \x0B", existing, leave_changed()},
      {"The defaulted configuration has been changed, do you wish to save it? \x0B", nothing, leave_changed()},
      {"The configuration has been changed, do you wish to reset it? ", existing, S().processes(12).choose(11)},
      {"Do you wish to reset the retrieved configuration to default? ", existing, S().choose(11)},
      {"Do you wish to discard the retrieved configuration? ", existing, os_other()},
      {"The configuration has been changed, do you wish to reset it? ", nothing, os_other(S().processes(12))},
  };
  // clang-format on
  for (const auto &[text, start, keys] : cases) {
    SCOPED_TRACE(text);
    fresh();
    keys.push();
    EXPECT_EQ(cnf_main(prepare(start)), ST_SCRIPT_END);
    std::string shown = text, row = memscreen_row(22);
    std::replace(shown.begin(), shown.end(), '\x0B', ' ');
    std::replace(row.begin(), row.end(), '\x0B', ' ');
    EXPECT_EQ(row.substr(0, shown.size()), shown);
    EXPECT_EQ(row[shown.size()], 'Y') << "the answer field stands right after the text";
  }
}

using MainScreen = CfiScreen;

TEST_F(MainScreen, RefusedNamesKeepTheLineOpenAndCreateNothing) {
  ASSERT_TRUE(xntest::write_file(path("plain"), "x"));
  // clang-format off
  const struct {
    int item;
    const char *typed;
    int want; // 0: any status
  } cases[] = {
      {10, "missing", ST_NO_FILE}, {10, "nosuch/conf", 0}, {9, "nosuch/dir/conf", 0},
      {9, "plain/conf", 0},        {8, "nosuch", 0},       {8, "plain", ST_ACCESS},
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(c.typed);
    fresh();
    // The status is shown and the line stays open: the first ESC closes it.
    EXPECT_EQ(run_editor(nullptr, S().choose(c.item).name(c.typed).key(KEY_ESC).key(KEY_ESC)), 0);
    const uint32_t code = memscreen_message_code() & 0xFFF;
    EXPECT_TRUE(c.want ? code == static_cast<uint32_t>(c.want) : code != 0) << code;
    EXPECT_FALSE(file_exists(path("nosuch")) || file_exists(path("missing.cfi")));
    EXPECT_EQ(config_saved + config_retrieved, 0);
    EXPECT_EQ(memscreen_row(18).find(dir_.path()), 17u) << "the working folder stays";
  }
  EXPECT_GT(cnf_main((std::string(300, 'a') + ".cfi").c_str()), 0);
  EXPECT_NE(memscreen_message_code() & 0xFFF, 0u);
}

TEST_F(MainScreen, DamagedFileShowsTheStoreReasonAndIsNeverChanged) {
  const std::string damaged = "[system]\nprocess_count = lots\n\x01\x02 not a configuration\n";
  ASSERT_TRUE(xntest::write_file(path("bad.cfi"), damaged));
  ASSERT_TRUE(write_config("good.cfi", 7));
  // At entry, and retrieved over a loaded file; leaving asks about a
  // defaulted configuration: No.
  // clang-format off
  const std::pair<const char *, script> cases[] = {
      {"bad.cfi", leave_unsaved(S().processes(3))},
      {"good.cfi", leave_unsaved(S().choose(10).name("bad").key(KEY_ESC).processes(3))},
  };
  // clang-format on
  for (const auto &[given, keys] : cases) {
    SCOPED_TRACE(given);
    fresh();
    EXPECT_EQ(run_editor(given, keys), 0);
    EXPECT_NE(memscreen_message_code(), 0u);
    EXPECT_FALSE(memscreen_message_text().empty())
        << "the store's reason belongs beside the status";
    EXPECT_EQ(config_retrieved, 0);
    EXPECT_EQ(read_file(path("bad.cfi")), damaged);
  }
  EXPECT_EQ(read_config("good.cfi"), 7u);
}

// A retrieve that fails replaces what was loaded before with defaults
// rather than leaving it half read; the file on disk is not touched.
TEST_F(MainScreen, FailedRetrieveLeavesDefaults) {
  ASSERT_TRUE(xntest::write_file(path("bad.cfi"), "not a configuration\n"));
  ASSERT_TRUE(write_config("good.cfi", 7));
  EXPECT_EQ(
      run_editor("good.cfi",
                 S().choose(10).name("bad").key(KEY_ESC).choose(9).name("after").key(KEY_ESC)),
      0);
  EXPECT_EQ(config_retrieved, 0);
  EXPECT_EQ(read_config("good.cfi"), 7u);
  const uint32_t after = read_config("after.cfi");
  EXPECT_TRUE(after != 0 && after != 7) << after;
}

TEST_F(MainScreen, SavingAnotherUsersFileSaysItsOwnerCouldNotBeKept) {
  ASSERT_TRUE(write_config("theirs.cfi", 5));
  ASSERT_EQ(chmod(path("theirs.cfi").c_str(), 0666), 0);
  read_only_user user;
  if (!user.ok()) GTEST_SKIP() << "no unprivileged user to drop to";
  EXPECT_EQ(run_editor("theirs.cfi",
                       S().processes(9).choose(9).key(KEY_ENTER).key(KEY_ENTER).key(KEY_ESC)),
            0);
  EXPECT_EQ(read_config("theirs.cfi"), 9u);
  EXPECT_EQ(memscreen_message_code(), MSG_OWNER_NOT_KEPT);
  EXPECT_NE(memscreen_message_text().find("theirs.cfi"), std::string::npos)
      << memscreen_message_text();
}

TEST_F(MainScreen, ReadOnlyFile) {
  ASSERT_TRUE(write_config("locked.cfi", 5));
  ASSERT_EQ(chmod(path("locked.cfi").c_str(), 0444), 0);
  const std::string before = read_file(path("locked.cfi"));
  read_only_user user;
  if (!user.ok()) GTEST_SKIP() << "no unprivileged user to drop to";
  // Saving over it shows status 5 and leaves it alone.
  EXPECT_EQ(
      run_editor(nullptr, leave_unsaved(S().processes(4).choose(9).name("locked").key(KEY_ESC))),
      0);
  EXPECT_EQ(memscreen_message_code() & 0xFFF, static_cast<uint32_t>(ST_ACCESS));
  EXPECT_EQ(read_file(path("locked.cfi")), before);
  // Given at entry it asks first; No ends before the menu is shown.
  fresh();
  EXPECT_EQ(run_editor("locked.cfi", S().key(K_NO)), ST_DECLINED);
  EXPECT_EQ(memscreen_row(1).find("System Configuration"), std::string::npos);
  fresh();
  EXPECT_EQ(run_editor("locked.cfi", S().key(KEY_ENTER).key(KEY_ESC)), 0);
  EXPECT_EQ(config_retrieved + config_read_only, 2);
}

TEST_F(MainScreen, ChangedDirectoryIsShownAndWhereTheProposalGoes) {
  ASSERT_EQ(mkdir(path("sub").c_str(), 0755), 0);
  EXPECT_EQ(run_editor(nullptr, S().choose(8).name("sub").processes(3).key(KEY_ESC).key(KEY_ENTER)),
            0);
  EXPECT_EQ(read_config("sub/system.cfi"), 3u);
  EXPECT_FALSE(file_exists(path("system.cfi")));
  EXPECT_EQ(memscreen_row(18).find(path("sub")), 17u);
  const std::string title = memscreen_row(0);
  const size_t from = title.find_first_not_of(' '), to = title.find_last_not_of(' ');
  EXPECT_TRUE(from != std::string::npos && from == 40 - (to - from + 1) / 2)
      << "centred on column 40: " << title;
}

TEST_F(MainScreen, TargetOsChangeResetsTheStoreButKeepsTheProposal) {
  ASSERT_TRUE(write_config("mine.cfi", 5));
  // Discard mine.cfi for UNIX; Save still proposes mine.cfi: replace it.
  EXPECT_EQ(
      run_editor("mine.cfi",
                 os_other().key(KEY_ENTER).choose(9).key(KEY_ENTER).key(KEY_ENTER).key(KEY_ESC)),
      0);
  EXPECT_EQ(memscreen_row(21).find(os_target_strs[TARGET_UNIX]), 17u);
  EXPECT_NE(read_config("mine.cfi"), 5u);
  EXPECT_EQ(get_os_target_sys(h_), TARGET_UNIX);
}

TEST_F(MainScreen, SelectionAdvancesOnlyAfterItems1To7) {
  // clang-format off
  const std::pair<script, int> cases[] = {
      {S().choose(1).key(KEY_ESC), 2}, {S().choose(3).key(KEY_ESC), 4}, {S().choose(7).key(KEY_ESC), 1},
      {S().choose(8).key(KEY_ESC), 8}, {S().choose(11), 11}, {S().choose(12).key(KEY_ENTER), 12},
  };
  // clang-format on
  for (const auto &[keys, want] : cases) {
    SCOPED_TRACE(want);
    fresh();
    EXPECT_EQ(run_editor(nullptr, script(keys).key(KEY_ESC)), 0);
    EXPECT_EQ(std::stoi(memscreen_row(16).substr(35, 2)), want);
  }
}

// The file names outlive a return to the top menu; only the flags start
// again, so the lines are empty but Retrieve and Save still propose them.
TEST_F(StartTest, ProposalsOutliveAReturnToTheTopMenu) {
  ASSERT_TRUE(write_config("mine.cfi", 5));
  EXPECT_EQ(run_editor("mine.cfi", S().key(KEY_ESC)), 0);
  EXPECT_EQ(cnf_main(nullptr), ST_SCRIPT_END); // waits on the menu
  EXPECT_EQ(config_retrieved, 0);
  EXPECT_EQ(memscreen_row(19).find("mine.cfi"), std::string::npos);
  memscreen_use();
  EXPECT_EQ(
      run_editor(nullptr, S().processes(9).choose(9).key(KEY_ENTER).key(KEY_ENTER).key(KEY_ESC)),
      0);
  EXPECT_EQ(read_config("mine.cfi"), 9u) << "Save proposed the file retrieved before";
  memscreen_use();
  EXPECT_EQ(run_editor(nullptr, S().choose(10).key(KEY_ENTER).key(KEY_ESC)), 0);
  EXPECT_EQ(config_retrieved, 1) << "Retrieve proposed it too";
  EXPECT_NE(memscreen_row(19).find("mine.cfi"), std::string::npos);
}

} // namespace
} // namespace cfitest
