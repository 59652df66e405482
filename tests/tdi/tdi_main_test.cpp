// The terminal description editor's main screen, driven by scripted keys
// over the in-memory screen with the real store on temporary files.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <functional>
#include <string>

#include "editor_fixture.h"
#include "lib/status.h"
#include "lib/strs.h"

using namespace editor_test;

namespace {

// The control record of a description file (base 11 store).
tdi_ctrl read_description(const std::string &path, int *status = nullptr) {
  uint32_t h = 0;
  tdi_ctrl rec{};
  EXPECT_EQ(open_tdi(&h, TDI_DEFAULT_TYPE), 0);
  int st = load_tdi(h, path.c_str());
  if (st <= 0) get_ctrl_tdi(h, &rec);
  close_tdi(&h);
  if (status) *status = st;
  return rec;
}

std::string base_comment(uint8_t base) {
  uint32_t h = 0;
  tdi_ctrl rec{};
  EXPECT_EQ(open_tdi(&h, base), 0);
  get_ctrl_tdi(h, &rec);
  close_tdi(&h);
  return rec.comment;
}

class TdiMain : public EditorTest {
protected:
  std::string default_file() const {
    return folder() + "/" + def_term_filename[TDI_DEFAULT_TYPE] + ".tdi";
  }
  static int selection() { return std::stoi(cells(16, 34, 2)); }
};

struct leave_case {
  const char *name;
  std::function<void()> script;
  uint8_t want_changed, want_saved;
  bool want_file;
};

TEST_F(TdiMain, LeavingAsksOnlyWhenSomethingWouldBeLost) {
  const leave_case cases[] = {
      {"unchanged leaves at once", [] { keys({ESC}); }, 0, 0, false},
      {"comment kept as it was", [] { choose(2); keys({ENTER, ESC}); }, 0, 0,
       false},
      {"changed, No discards",
       [] { choose(2); retype("new"); keys({ESC, ch('n')}); }, 1, 0, false},
      {"changed, ESC stays, then No",
       [] { choose(2); retype("new"); keys({ESC, ESC, ESC, ch('n')}); }, 1, 0,
       false},
      {"changed, Yes saves a new file at once",
       [] { choose(2); retype("new"); keys({ESC, ch('y'), ENTER}); }, 0, 1,
       true},
  };
  for (const leave_case &c : cases) {
    SCOPED_TRACE(c.name);
    unlink(default_file().c_str());
    reset_tdi_state();
    c.script();
    EXPECT_EQ(tdi_main(nullptr), 0);
    EXPECT_EQ(memscreen_keys_left(), 0u);
    EXPECT_EQ(desc_changed, c.want_changed);
    EXPECT_EQ(desc_saved, c.want_saved);
    EXPECT_EQ(xntest::file_exists(default_file()), c.want_file);
    if (c.want_file) {
      EXPECT_STREQ(read_description(default_file()).comment, "new");
    }
  }
}

struct base_case {
  const char *name;
  std::function<void()> script;
  std::string want_comment; // "" : the base's own comment
  uint8_t want_base, want_changed;
  int want_selection;
};

TEST_F(TdiMain, SelectingABaseResetsAfterTheQuestion) {
  const base_case cases[] = {
      {"same base again resets a changed description",
       [] { choose(2); retype("mine"); choose(1); keys({ch('y'), ENTER}); },
       "", 11, 0, 2},
      {"declined question keeps everything",
       [] { choose(2); retype("mine"); choose(1); keys({ch('n')}); }, "mine",
       11, 1, 1},
      {"ESC on the Base line keeps everything",
       [] { choose(2); retype("mine"); choose(1); keys({ch('y'), ESC}); },
       "mine", 11, 1, 1},
      {"unchanged base description asks nothing",
       [] { choose(1); keys({SPACE, ENTER}); }, "", 12, 0, 2},
  };
  for (const base_case &c : cases) {
    SCOPED_TRACE(c.name);
    reset_tdi_state();
    base_terminal = TDI_DEFAULT_TYPE;
    c.script();
    EXPECT_EQ(tdi_main(nullptr), ST_SCRIPT_END);
    EXPECT_EQ(base_terminal, c.want_base);
    EXPECT_EQ(std::string(tdi_comment),
              c.want_comment.empty() ? base_comment(c.want_base) : c.want_comment);
    EXPECT_EQ(desc_changed, c.want_changed);
    EXPECT_EQ(selection(), c.want_selection);
  }
}

struct advance_case {
  uint8_t base;
  std::function<void()> script;
  int want_selection;
  uint32_t want_message; // 0: none shown
};

TEST_F(TdiMain, SelectionAdvancesAndWrapsByBase) {
  const advance_case cases[] = {
      {11, [] { choose(4); }, 5, ST_NOT_BUILT},
      {11, [] { choose(5); }, 6, ST_NOT_BUILT},
      {12, [] { choose(6); }, 1, ST_NOT_BUILT},
      {13, [] { choose(6); }, 1, ST_NOT_BUILT},
      {0, [] { choose(5); }, 1, ST_NOT_BUILT},
      {0, [] { choose(6); }, 1, ST_FAILED},
      {16, [] { choose(5); }, 1, ST_FAILED},
      {16, [] { choose(3); keys({ESC}); }, 4, 0},
      {0, [] { choose(2); keys({ESC}); }, 2, 0},
      {0, [] { choose(7); keys({ESC}); }, 7, 0},
      {0, [] { choose(8); keys({ESC}); }, 8, 0},
      {0, [] { choose(9); keys({ESC}); }, 9, 0},
  };
  for (const advance_case &c : cases) {
    SCOPED_TRACE(testing::Message() << "base " << int(c.base));
    reset_tdi_state();
    display_close();
    memscreen_use();   // no message left from the case before
    ASSERT_EQ(display_open(), 0);
    base_terminal = c.base;
    c.script();
    EXPECT_EQ(tdi_main(nullptr), ST_SCRIPT_END);
    EXPECT_EQ(selection(), c.want_selection);
    EXPECT_EQ(memscreen_message_shown(), c.want_message != 0);
    if (c.want_message) {
      EXPECT_EQ(memscreen_message_code(), c.want_message);
    }
  }
}

TEST_F(TdiMain, SaveThenRetrieveKeepsFlagsAndNames) {
  choose(2);
  retype("first");
  choose(8);
  keys({ENTER, ESC});
  ASSERT_EQ(tdi_main(nullptr), 0);
  EXPECT_EQ(desc_saved, 1);
  EXPECT_EQ(desc_changed, 0);
  EXPECT_STREQ(read_description(default_file()).comment, "first");

  // Retrieve it into a fresh editor, change it and save over it.
  reset_tdi_state();
  choose(9);
  keys({ENTER});
  choose(2);
  retype("second");
  choose(8);
  keys({ENTER, ch('n'), ESC});   // replace declined: the line stays open
  EXPECT_EQ(tdi_main(nullptr), ST_SCRIPT_END);
  EXPECT_EQ(desc_retrieved, 1);
  EXPECT_EQ(desc_saved, 0);
  EXPECT_EQ(desc_changed, 1);
  EXPECT_TRUE(row_has(19, default_file()));
  EXPECT_STREQ(read_description(default_file()).comment, "first");

  reset_tdi_state();
  choose(9);
  keys({ENTER});
  choose(2);
  retype("second");
  choose(8);
  keys({ENTER, ch('y'), ESC});
  EXPECT_EQ(tdi_main(nullptr), 0);
  EXPECT_EQ(desc_saved, 1);
  EXPECT_STREQ(read_description(default_file()).comment, "second");
}

TEST_F(TdiMain, RetrievedDescriptionResetToBaseKeepsItsName) {
  uint32_t h = 0;
  ASSERT_EQ(open_tdi(&h, 0), 0);
  ASSERT_EQ(save_tdi(h, file("mine.tdi").c_str(), 1), 0);
  close_tdi(&h);

  choose(1);
  keys({ch('y'), ENTER, ESC});
  EXPECT_EQ(tdi_main("mine"), ST_SCRIPT_END);
  EXPECT_EQ(desc_retrieved, 1);
  EXPECT_EQ(desc_changed, 1);
  EXPECT_EQ(cells(2, 24, 5), "mine ");
  EXPECT_TRUE(row_has(22, "The retrieved description has been changed, do you "
                          "wish to save it? "));
}

TEST_F(TdiMain, DamagedOrMissingFileKeepsTheBase) {
  const std::string junk = "this is not a terminal description\n\x01\x02";
  ASSERT_TRUE(xntest::write_file(file("bad.tdi"), junk));

  keys({ESC});
  EXPECT_EQ(tdi_main("bad"), 0);
  EXPECT_GT(memscreen_message_code() & 0xFFF, 0u);
  EXPECT_FALSE(memscreen_message_text().empty());
  EXPECT_EQ(desc_retrieved, 0);
  EXPECT_EQ(std::string(tdi_comment), base_comment(TDI_DEFAULT_TYPE));
  EXPECT_EQ(std::string(tdi_desc_name), def_term_filename[TDI_DEFAULT_TYPE]);
  EXPECT_EQ(xntest::read_file(file("bad.tdi")), junk);

  // By item 9: the status, the line open again, the flags untouched.
  reset_tdi_state();
  choose(2);
  retype("kept");
  choose(9);
  keys({ch('y')});
  retype(file("bad.tdi").c_str());
  EXPECT_EQ(tdi_main(nullptr), ST_SCRIPT_END);
  EXPECT_GT(memscreen_message_code() & 0xFFF, 0u);
  EXPECT_FALSE(memscreen_message_text().empty());
  EXPECT_EQ(desc_retrieved, 0);
  EXPECT_EQ(desc_changed, 1);
  EXPECT_EQ(xntest::read_file(file("bad.tdi")), junk);

  reset_tdi_state();
  keys({ESC});
  EXPECT_EQ(tdi_main("nosuch"), 0);
  EXPECT_EQ(memscreen_message_code() & 0xFFF, uint32_t(ST_NO_FILE));
  EXPECT_EQ(memscreen_message_text(), "nosuch");
  EXPECT_EQ(std::string(tdi_desc_name), def_term_filename[TDI_DEFAULT_TYPE]);
  EXPECT_FALSE(xntest::file_exists(file("nosuch.tdi")));

  // A name too long for a file name ends the editor with its status.
  reset_tdi_state();
  const std::string long_name(300, 'a');
  EXPECT_EQ(tdi_main(long_name.c_str()) & 0xFFF, ST_NAME_TOO_LONG);
}

TEST_F(TdiMain, ChangeDirectoryTakesOnlyWritableFolders) {
  ASSERT_EQ(mkdir(file("sub").c_str(), 0700), 0);
  ASSERT_TRUE(xntest::write_file(file("plain"), "x"));
  choose(7);
  retype(file("plain").c_str());   // not a folder: status 5, line again
  retype(file("sub").c_str());
  keys({ESC});
  EXPECT_EQ(tdi_main(nullptr), 0);
  EXPECT_EQ(memscreen_message_code(), uint32_t(ST_ACCESS));
  EXPECT_EQ(folder(), file("sub"));
}

}  // namespace

namespace {

TEST_F(TdiMain, ProposedNamesJoinTheCurrentFolderAndTheShownName) {
  ASSERT_EQ(mkdir(file("sub").c_str(), 0700), 0);
  uint32_t h = 0;
  ASSERT_EQ(open_tdi(&h, 0), 0);
  ASSERT_EQ(save_tdi(h, file("sub/other.tdi").c_str(), 1), 0);
  close_tdi(&h);

  choose(9);
  retype(file("sub/other").c_str());
  choose(8);
  EXPECT_EQ(tdi_main(nullptr), ST_SCRIPT_END);
  EXPECT_EQ(desc_retrieved, 1);
  EXPECT_EQ(cells(2, 24, 6), "other ");
  EXPECT_EQ(cells(20, 17, 62), (folder() + "/other").append(62 - folder().size() - 6, ' '));
}

}  // namespace
