// The editor main screen: leaving, the flag table, the file lines, the
// target OS and the menu selection, driven by key scripts.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <sys/stat.h>

#include "cfi/cfi.h"
#include "cfi_screen.h"
#include "frame/frame.h"
#include "lib/cfi_store.h"
#include "lib/memscreen.h"
#include "lib/status.h"
#include "lib/strs.h"
#include "scrmgr/scrmgr.h"

namespace cfitest {
namespace {

using xntest::file_exists;
using xntest::read_file;
using xntest::write_file;

// ---------------------------------------------------------------------------
// Leaving the editor.
// ---------------------------------------------------------------------------

// What the folder holds before the editor starts on it.
enum class start_with {
  nothing,        // no file given
  existing,       // system.cfi (processes 5), given at entry
  missing_given,  // "new.cfi" given, but it does not exist
  folder_in_way,  // a folder named system.cfi: saving there fails
};

struct leave_case {
  const char *what;
  start_with start;
  script keys;
  uint32_t want_system;   // processes in system.cfi afterwards, 0: no such file
  const char *other;      // a second file expected with processes 12
};

const leave_case leave_cases[] = {
    {"unchanged asks nothing", start_with::nothing, script().key(KEY_ESC), 0, nullptr},
    {"unchanged existing asks nothing", start_with::existing, script().key(KEY_ESC), 5, nullptr},
    {"changed and new is saved at once", start_with::nothing,
     script().processes(12).key(KEY_ESC).key(KEY_ENTER), 12, nullptr},
    {"changed and existing asks only to replace", start_with::existing,
     script().processes(12).key(KEY_ESC).key(KEY_ENTER).key(KEY_ENTER), 12, nullptr},
    {"No to the save question discards", start_with::nothing,
     script().processes(12).key(KEY_ESC).key(K_NO), 0, nullptr},
    {"ESC to the save question returns to the menu", start_with::nothing,
     script().processes(12).key(KEY_ESC).key(KEY_ESC).key(KEY_ESC).key(K_NO), 0, nullptr},
    {"refusing to replace opens the Saved line, ESC returns to the menu", start_with::existing,
     script().processes(12).key(KEY_ESC).key(KEY_ENTER).key(K_NO).key(KEY_ESC).key(KEY_ESC).key(K_NO),
     5, nullptr},
    {"ESC to the replace question returns to the menu", start_with::existing,
     script().processes(12).key(KEY_ESC).key(KEY_ENTER).key(KEY_ESC).key(KEY_ESC).key(K_NO), 5, nullptr},
    {"another name on the Saved line is saved with the extension", start_with::existing,
     script().processes(12).key(KEY_ESC).key(KEY_ENTER).key(K_NO).name("other"), 5, "other.cfi"},
    {"a missing file given at entry is not proposed", start_with::missing_given,
     script().processes(12).key(KEY_ESC).key(KEY_ENTER), 12, nullptr},
    {"a failed save offers to discard", start_with::folder_in_way,
     script().processes(12).key(KEY_ESC).key(KEY_ENTER).key(KEY_ENTER).key(KEY_ENTER), 0, nullptr},
    {"keeping a configuration that failed to save opens the Saved line", start_with::folder_in_way,
     script().processes(12).key(KEY_ESC).key(KEY_ENTER).key(KEY_ENTER).key(K_NO).name("other"), 0,
     "other.cfi"},
};

void PrintTo(const leave_case &c, std::ostream *os) { *os << c.what; }

class LeaveTest : public CfiScreen, public ::testing::WithParamInterface<leave_case> {};

TEST_P(LeaveTest, SavesOnlyWhatTheAnswersSay) {
  const leave_case &c = GetParam();
  const std::string system = path("system.cfi");
  const char *given = nullptr;
  switch (c.start) {
  case start_with::nothing:
    break;
  case start_with::existing:
    ASSERT_TRUE(write_config(system, 5));
    given = "system.cfi";
    break;
  case start_with::missing_given:
    given = "new.cfi";
    break;
  case start_with::folder_in_way:
    ASSERT_EQ(mkdir(system.c_str(), 0755), 0);
    break;
  }
  EXPECT_EQ(run_editor(given, c.keys), 0);
  if (c.want_system == 0) {
    struct stat st {};
    const bool exists = stat(system.c_str(), &st) == 0;
    EXPECT_EQ(exists, c.start == start_with::folder_in_way);
    if (exists) {
      EXPECT_TRUE(S_ISDIR(st.st_mode));
    }
  } else {
    const loaded_config got = read_config(system);
    EXPECT_EQ(got.status, 0);
    EXPECT_EQ(got.processes, c.want_system);
  }
  if (c.other) {
    const loaded_config got = read_config(path(c.other));
    EXPECT_EQ(got.status, 0);
    EXPECT_EQ(got.processes, 12u);
  }
  EXPECT_FALSE(file_exists(path("new.cfi")));
  const bool saved = c.other || (c.want_system == 12);
  EXPECT_EQ(config_saved, saved ? 1 : 0);
  if (saved) {
    EXPECT_EQ(config_changed, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Cfi, LeaveTest, ::testing::ValuesIn(leave_cases));

// ---------------------------------------------------------------------------
// The flags after each kind of event.
// ---------------------------------------------------------------------------

struct flag_case {
  const char *what;
  bool give_file;   // system.cfi (processes 5) exists and is given at entry
  script keys;      // ends with leaving the editor
  uint8_t changed, retrieved, saved;
};

// Leaving a changed configuration without saving: ESC, then No.
script &leave_unsaved(script &s) { return s.key(KEY_ESC).key(K_NO); }

const flag_case flag_cases[] = {
    {"entry without a file", false, script().key(KEY_ESC), 0, 0, 0},
    {"file given and loaded", true, script().key(KEY_ESC), 0, 1, 0},
    {"a sub-screen writes a changed record", false,
     leave_unsaved(script().processes(9)), 1, 0, 0},
    {"save by item 9", false, script().processes(9).choose(9).key(KEY_ENTER).key(KEY_ESC), 0, 0, 1},
    {"save then retrieve", false,
     script().processes(9).choose(9).key(KEY_ENTER).choose(10).key(KEY_ENTER).key(KEY_ESC), 0, 1, 0},
    {"reset of a retrieved configuration", true,
     leave_unsaved(script().choose(11).key(KEY_ENTER)), 1, 1, 0},
    {"reset of a defaulted configuration", false,
     script().processes(9).choose(11).key(KEY_ENTER).key(KEY_ESC), 0, 0, 0},
    {"target OS changed on a retrieved configuration", true,
     script().choose(12).key(KEY_SPACE).key(KEY_ENTER).key(KEY_ENTER).key(KEY_ESC), 0, 0, 0},
    {"target OS changed on a changed configuration", false,
     script().processes(9).choose(12).key(KEY_SPACE).key(KEY_ENTER).key(KEY_ENTER).key(KEY_ESC), 0, 0, 0},
    {"the same target OS again asks nothing", true,
     script().choose(12).key(KEY_ENTER).key(KEY_ESC), 0, 1, 0},
    {"change refused for the target OS keeps the flags", true,
     script().choose(12).key(KEY_SPACE).key(KEY_ENTER).key(K_NO).key(KEY_ESC), 0, 1, 0},
};

void PrintTo(const flag_case &c, std::ostream *os) { *os << c.what; }

class FlagTest : public CfiScreen, public ::testing::WithParamInterface<flag_case> {};

TEST_P(FlagTest, FlagsFollowTheEvents) {
  const flag_case &c = GetParam();
  if (c.give_file) {
    ASSERT_TRUE(write_config(path("system.cfi"), 5));
  }
  EXPECT_EQ(run_editor(c.give_file ? "system.cfi" : nullptr, c.keys), 0);
  EXPECT_EQ(config_changed, c.changed);
  EXPECT_EQ(config_retrieved, c.retrieved);
  EXPECT_EQ(config_saved, c.saved);
  EXPECT_EQ(config_read_only, 0);
}

INSTANTIATE_TEST_SUITE_P(Cfi, FlagTest, ::testing::ValuesIn(flag_cases));

// ---------------------------------------------------------------------------
// The questions, word for word. The script ends while a question waits for
// its answer, so the editor stops with the question still on line 22.
// ---------------------------------------------------------------------------

struct question_case {
  const char *text;       // as asked; 0x0B is drawn as one blank cell
  start_with start;
  script keys;
};

const question_case question_cases[] = {
    {"The retrieved configuration has been changed, do you wish to save it? \x0B", start_with::existing,
     script().processes(12).key(KEY_ESC)},
    {"The defaulted configuration has been changed, do you wish to save it? \x0B", start_with::nothing,
     script().processes(12).key(KEY_ESC)},
    {"Do you wish to replace the existing configuration file? \x0B", start_with::existing,
     script().processes(12).key(KEY_ESC).key(KEY_ENTER)},
    {"The configuration cannot be saved, do you wish to discard it? \x0B", start_with::folder_in_way,
     script().processes(12).key(KEY_ESC).key(KEY_ENTER).key(KEY_ENTER)},
    {"The configuration has been changed, do you wish to discard it? ", start_with::nothing,
     script().processes(12).choose(10)},
    {"The configuration has been changed, do you wish to reset it? ", start_with::nothing,
     script().processes(12).choose(11)},
    {"Do you wish to reset the retrieved configuration to default? ", start_with::existing,
     script().choose(11)},
    {"Do you wish to discard the retrieved configuration? ", start_with::existing,
     script().choose(12).key(KEY_SPACE).key(KEY_ENTER)},
    {"The configuration has been changed, do you wish to reset it? ", start_with::nothing,
     script().processes(12).choose(12).key(KEY_SPACE).key(KEY_ENTER)},
};

void PrintTo(const question_case &c, std::ostream *os) { *os << c.text; }

class QuestionTest : public CfiScreen, public ::testing::WithParamInterface<question_case> {};

TEST_P(QuestionTest, AskedInItsExactWords) {
  const question_case &c = GetParam();
  if (c.start == start_with::existing) {
    ASSERT_TRUE(write_config(path("system.cfi"), 5));
  }
  if (c.start == start_with::folder_in_way) {
    ASSERT_EQ(mkdir(path("system.cfi").c_str(), 0755), 0);
  }
  push(c.keys);
  EXPECT_EQ(cnf_main(c.start == start_with::existing ? "system.cfi" : nullptr), ST_SCRIPT_END);
  // However the screen renders 0x0B, it takes exactly one cell.
  auto blank_vt = [](std::string t) {
    for (char &ch : t) {
      if (ch == '\x0B') ch = ' ';
    }
    return t;
  };
  const std::string shown = blank_vt(c.text);
  const std::string row = blank_vt(memscreen_row(22));
  EXPECT_EQ(row.substr(0, shown.size()), shown);
  EXPECT_EQ(row[shown.size()], 'Y') << "the answer field stands right after the text";
}

INSTANTIATE_TEST_SUITE_P(Cfi, QuestionTest, ::testing::ValuesIn(question_cases));

// ---------------------------------------------------------------------------
// Files that cannot be used.
// ---------------------------------------------------------------------------

using MainScreen = CfiScreen;

TEST_F(MainScreen, RetrieveOfAMissingFileKeepsTheLineOpenAndCreatesNothing) {
  // Enter on "missing": the status is shown and the line stays open, so the
  // first ESC closes the line and the second leaves the menu.
  EXPECT_EQ(run_editor(nullptr, script().choose(10).name("missing").key(KEY_ESC).key(KEY_ESC)), 0);
  EXPECT_EQ(memscreen_message_code() & 0xFFF, static_cast<uint32_t>(ST_NO_FILE));
  EXPECT_FALSE(file_exists(path("missing.cfi")));
  EXPECT_FALSE(file_exists(path("missing")));
  EXPECT_EQ(config_retrieved, 0);
}

TEST_F(MainScreen, DamagedFileShowsTheStoreReasonAndIsNeverChanged) {
  const std::string damaged = "[system]\nprocess_count = lots\n\x01\x02 not a configuration\n";
  ASSERT_TRUE(write_file(path("bad.cfi"), damaged));
  ASSERT_TRUE(write_config(path("good.cfi"), 7));

  struct damaged_case {
    const char *what;
    const char *given;
    script keys;
  };
  const damaged_case cases[] = {
      {"given at entry", "bad.cfi", script().processes(3).key(KEY_ESC).key(K_NO)},
      {"retrieved over a loaded file", "good.cfi",
       script().choose(10).name("bad").key(KEY_ESC).processes(3).key(KEY_ESC).key(K_NO)},
  };
  for (const damaged_case &c : cases) {
    SCOPED_TRACE(c.what);
    reset_cfi_state();
    memscreen_use();
    EXPECT_EQ(run_editor(c.given, c.keys), 0);
    EXPECT_NE(memscreen_message_code(), 0u);
    EXPECT_FALSE(memscreen_message_text().empty()) << "the store's reason belongs beside the status";
    EXPECT_EQ(config_retrieved, 0);
    // Leaving asked about a defaulted configuration (one answer, No).
    EXPECT_EQ(read_file(path("bad.cfi")), damaged);
  }
  EXPECT_EQ(read_config(path("good.cfi")).processes, 7u);
}

TEST_F(MainScreen, NamesTheLibraryRefusesKeepTheLineOpen) {
  ASSERT_TRUE(write_file(path("plain"), "x"));
  struct name_case {
    const char *what;
    int item;
    const char *typed;
  };
  const name_case cases[] = {
      {"save into a folder that does not exist", 9, "nosuch/dir/conf"},
      {"save below a plain file", 9, "plain/conf"},
      {"retrieve from a folder that does not exist", 10, "nosuch/conf"},
      {"directory that does not exist", 8, "nosuch"},
      {"directory that is a plain file", 8, "plain"},
  };
  for (const name_case &c : cases) {
    SCOPED_TRACE(c.what);
    reset_cfi_state();
    memscreen_use();
    EXPECT_EQ(run_editor(nullptr, script().choose(c.item).name(c.typed).key(KEY_ESC).key(KEY_ESC)), 0);
    EXPECT_NE(memscreen_message_code() & 0xFFF, 0u);
    EXPECT_FALSE(file_exists(path("nosuch")));
    EXPECT_EQ(config_saved, 0);
    // The working folder stayed where it was.
    EXPECT_EQ(memscreen_row(18).find(dir_.path()), 17u);
  }
}

TEST_F(MainScreen, ChangedDirectoryIsWhereTheProposalGoes) {
  ASSERT_EQ(mkdir(path("sub").c_str(), 0755), 0);
  EXPECT_EQ(run_editor(nullptr, script().choose(8).name("sub").processes(3).key(KEY_ESC).key(KEY_ENTER)), 0);
  EXPECT_EQ(read_config(path("sub/system.cfi")).processes, 3u);
  EXPECT_FALSE(file_exists(path("system.cfi")));
  EXPECT_EQ(memscreen_row(18).find(path("sub")), 17u);
}

TEST_F(MainScreen, NameTooLongAtEntryIsRefusedWithAStatus) {
  const std::string longname = std::string(300, 'a') + ".cfi";
  EXPECT_GT(cnf_main(longname.c_str()), 0);
  EXPECT_NE(memscreen_message_code() & 0xFFF, 0u);
  EXPECT_FALSE(file_exists(path(longname)));
}

TEST_F(MainScreen, SaveOverAReadOnlyFileShowsStatus5) {
  ASSERT_TRUE(write_config(path("locked.cfi"), 5));
  ASSERT_EQ(chmod(path("locked.cfi").c_str(), 0444), 0);
  const std::string before = read_file(path("locked.cfi"));
  read_only_user user;
  if (!user.ok()) GTEST_SKIP() << "no unprivileged user to drop to";
  EXPECT_EQ(run_editor(nullptr, script().processes(4).choose(9).name("locked").key(KEY_ESC)
                                     .key(KEY_ESC).key(K_NO)), 0);
  EXPECT_EQ(memscreen_message_code() & 0xFFF, static_cast<uint32_t>(ST_ACCESS));
  EXPECT_EQ(read_file(path("locked.cfi")), before);
  EXPECT_EQ(config_saved, 0);
}

TEST_F(MainScreen, ReadOnlyFileAtEntryAsksFirst) {
  ASSERT_TRUE(write_config(path("locked.cfi"), 5));
  ASSERT_EQ(chmod(path("locked.cfi").c_str(), 0444), 0);
  read_only_user user;
  if (!user.ok()) GTEST_SKIP() << "no unprivileged user to drop to";
  EXPECT_EQ(run_editor("locked.cfi", script().key(K_NO)), ST_DECLINED);
  EXPECT_EQ(config_read_only, 1);
  // The menu was never shown.
  EXPECT_EQ(memscreen_row(1).find("System Configuration"), std::string::npos);

  memscreen_use();
  EXPECT_EQ(run_editor("locked.cfi", script().key(KEY_ENTER).key(KEY_ESC)), 0);
  EXPECT_EQ(config_retrieved, 1);
  EXPECT_NE(memscreen_row(1).find("System Configuration"), std::string::npos);
}

// ---------------------------------------------------------------------------
// Target OS, proposals and the selection.
// ---------------------------------------------------------------------------

TEST_F(MainScreen, TargetOsChangeResetsTheStoreForTheNewTarget) {
  const std::string unix_name = os_target_strs[TARGET_UNIX];
  EXPECT_EQ(run_editor(nullptr, script().choose(12).key(KEY_SPACE).key(KEY_ENTER)
                                     .choose(9).name("unixconf").key(KEY_ESC)), 0);
  EXPECT_EQ(target_os, TARGET_UNIX);
  EXPECT_EQ(std::string(target_os_text), unix_name);
  EXPECT_EQ(memscreen_row(21).find(unix_name), 17u);
  const loaded_config got = read_config(path("unixconf.cfi"));
  EXPECT_EQ(got.status, 0);
  EXPECT_EQ(got.os, TARGET_UNIX);
}

TEST_F(MainScreen, AfterATargetChangeSaveStillProposesTheRetrievedName) {
  ASSERT_TRUE(write_config(path("mine.cfi"), 5));
  // Retrieved line empty after the change; Enter on the proposal replaces mine.cfi.
  EXPECT_EQ(run_editor("mine.cfi", script().choose(12).key(KEY_SPACE).key(KEY_ENTER).key(KEY_ENTER)
                                       .choose(9).key(KEY_ENTER).key(KEY_ENTER).key(KEY_ESC)), 0);
  EXPECT_EQ(read_config(path("mine.cfi")).os, TARGET_UNIX);
  EXPECT_EQ(memscreen_row(19).find("mine.cfi"), std::string::npos);
}

TEST_F(MainScreen, SelectionAdvancesOnlyAfterItems1To7) {
  struct selection_case {
    int item;
    script then; // closes what the item opened
    int want;
  };
  const selection_case cases[] = {
      {1, script().key(KEY_ESC), 2},  {2, script().key(KEY_ESC), 3},  {3, script(), 4},
      {6, script(), 7},  {7, script(), 1},  {8, script().key(KEY_ESC), 8},
      {9, script().key(KEY_ESC), 9},  {10, script().key(KEY_ESC), 10},
      {11, script(), 11}, {12, script().key(KEY_ENTER), 12},
  };
  for (const selection_case &c : cases) {
    SCOPED_TRACE(c.item);
    reset_cfi_state();
    memscreen_use();
    script s = script().choose(c.item);
    s.codes.insert(s.codes.end(), c.then.codes.begin(), c.then.codes.end());
    EXPECT_EQ(run_editor(nullptr, s.key(KEY_ESC)), 0);
    EXPECT_EQ(std::stoi(memscreen_row(16).substr(35, 2)), c.want);
    if (c.item >= 3 && c.item <= 7) {
      EXPECT_EQ(memscreen_message_code() & 0xFFF, static_cast<uint32_t>(ST_NOT_BUILT));
    }
  }
}

TEST_F(MainScreen, MenuShowsTitleTargetAndFileLines) {
  ASSERT_TRUE(write_config(path("system.cfi"), 5));
  EXPECT_EQ(run_editor("system.cfi", script().key(KEY_ESC)), 0);
  EXPECT_NE(memscreen_row(1).find("System Configuration"), std::string::npos);
  EXPECT_EQ(memscreen_row(14).substr(20, 25), "12. Change Target OS Type");
  EXPECT_EQ(memscreen_row(18).substr(1, 11), "Directory: ");
  EXPECT_EQ(memscreen_row(18).find(dir_.path()), 17u);
  EXPECT_EQ(memscreen_row(19).substr(1, 16), "Retrieved file: ");
  EXPECT_NE(memscreen_row(19).find("system.cfi"), std::string::npos);
  EXPECT_EQ(memscreen_row(21).find(os_target_strs[TARGET_WINDOWS]), 17u);
  // The title is centred on column 40.
  const std::string title = memscreen_row(0);
  const size_t from = title.find_first_not_of(' ');
  const size_t to = title.find_last_not_of(' ');
  ASSERT_NE(from, std::string::npos);
  EXPECT_EQ(from, 40 - (to - from + 1) / 2);
}

TEST_F(MainScreen, ReturningWithoutAFileForgetsTheLinesButNotTheProposal) {
  ASSERT_TRUE(write_config(path("first.cfi"), 5));
  EXPECT_EQ(run_editor("first.cfi", script().key(KEY_ESC)), 0);
  memscreen_use();
  // A second entry from the top menu: the Retrieved line is empty, yet
  // Retrieve proposes first.cfi again (Enter loads it).
  EXPECT_EQ(run_editor(nullptr, script().key(KEY_ESC)), 0);
  EXPECT_EQ(memscreen_row(19).find("first.cfi"), std::string::npos);
  memscreen_use();
  EXPECT_EQ(run_editor(nullptr, script().choose(10).key(KEY_ENTER).key(KEY_ESC)), 0);
  EXPECT_EQ(config_retrieved, 1);
  EXPECT_NE(memscreen_row(19).find("first.cfi"), std::string::npos);
}

} // namespace
} // namespace cfitest
