// Drawing into the screen image, update counting and the message line, over
// the in-memory screen.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "lib/internal/lib_internal.h"
#include "lib/memscreen.h"
#include "lib/scrn.h"
#include "lib/status.h"

namespace {

field_ctl draw_ctl(int row, int col, const char *text, uint8_t attr = ATTR_FIELD) {
  field_ctl c{};
  c.attr = attr;
  c.attr_inv = static_cast<uint8_t>(~attr);
  c.fill = '_';
  c.row = static_cast<uint16_t>(row);
  c.col = static_cast<uint16_t>(col);
  c.timeout = 0xFFFFFFFF;
  c.len = c.width = c.max_len = static_cast<uint16_t>(std::strlen(text));
  return c;
}

void draw(int row, int col, const char *text, uint8_t attr = ATTR_FIELD) {
  field_ctl c = draw_ctl(row, col, text, attr);
  ASSERT_EQ(putfld_scrn(text, &c), 0);
}

class ImageTest : public ::testing::Test {
protected:
  void SetUp() override { memscreen_use(); }
  void TearDown() override { memscreen_release(); }
};

TEST_F(ImageTest, DrawingShowsOnlyAfterUpdate) {
  draw(3, 10, "Selection:", ATTR_TITLE);
  EXPECT_EQ(memscreen_row(3).substr(10, 10), std::string(10, ' '));
  ASSERT_EQ(update_scrn(), 0);
  EXPECT_EQ(memscreen_row(3).substr(10, 10), "Selection:");
  EXPECT_EQ(memscreen_attr(3, 10), ATTR_TITLE);
  EXPECT_EQ(memscreen_attr(3, 20), ATTR_PLAIN);
  EXPECT_EQ(memscreen_row(3).size(), 80u);
}

TEST_F(ImageTest, UpdateSendsOnlyChangedCells) {
  struct step {
    const char *what;
    void (*act)();
    uint64_t cells;
  };
  const step steps[] = {
      {"first drawing", [] { draw(5, 0, "Selection: 1"); }, 12},
      {"same text again", [] { draw(5, 0, "Selection: 1"); }, 0},
      {"one digit", [] { draw(5, 11, "2"); }, 1},
      {"same text, new attribute", [] { draw(5, 0, "S", ATTR_HEADING); }, 1},
      // column 10 loses its attribute, column 11 its digit
      {"erase to end of line", [] { set_pos_scrn(5, 10); erase_eol_scrn(); }, 2},
      {"nothing", [] {}, 0},
  };
  for (const step &s : steps) {
    const uint64_t before = memscreen_cells_written();
    s.act();
    ASSERT_EQ(update_scrn(), 0);
    EXPECT_EQ(memscreen_cells_written() - before, s.cells) << s.what;
  }
}

TEST_F(ImageTest, EraseAllBlanksEveryCell) {
  draw(0, 0, "top");
  draw(23, 77, "end");
  erase_all_scrn();
  update_scrn();
  EXPECT_EQ(memscreen_row(0), std::string(80, ' '));
  EXPECT_EQ(memscreen_row(23), std::string(80, ' '));
  EXPECT_EQ(memscreen_attr(23, 79), ATTR_PLAIN);
}

TEST_F(ImageTest, FieldWiderThanItsLineWrapsToColumnZero) {
  std::string text(100, 'x');
  text[52] = 'A';  // first character of the second line (column 28 + 52 = 80)
  text[99] = 'Z';
  draw(10, 28, text.c_str());
  update_scrn();
  EXPECT_EQ(memscreen_row(10).substr(28), std::string(52, 'x'));
  EXPECT_EQ(memscreen_char(11, 0), 'A');
  EXPECT_EQ(memscreen_char(11, 47), 'Z');
  EXPECT_EQ(memscreen_char(11, 48), ' ');
}

TEST_F(ImageTest, DrawingOffTheImageIsClipped) {
  std::string text(200, 'q');
  draw(23, 0, text.c_str());
  ASSERT_EQ(update_scrn(), 0);
  EXPECT_EQ(memscreen_row(23), std::string(80, 'q'));
  EXPECT_EQ(set_pos_scrn(500, 500), 0);
  EXPECT_EQ(memscreen_cursor_row(), 0);  // cursor is placed at update only
  update_scrn();
  EXPECT_EQ(memscreen_cursor_row(), 23);
  EXPECT_EQ(memscreen_cursor_col(), 79);
}

TEST_F(ImageTest, InfoReportsSizeAndEditAttribute) {
  memscreen_use(30, 100);
  scrn_info info{};
  ASSERT_EQ(get_info_scrn(&info), 0);
  EXPECT_EQ(info.lines, 30);
  EXPECT_EQ(info.cols, 100);
  EXPECT_EQ(info.edit_attr, ATTR_FIELD);
  EXPECT_EQ(get_info_scrn(nullptr), ST_FAILED);
}

TEST_F(ImageTest, BellsAreCounted) {
  bell_scrn();
  bell_scrn();
  EXPECT_EQ(memscreen_bells(), 2);
  memscreen_use();
  EXPECT_EQ(memscreen_bells(), 0);
}

TEST_F(ImageTest, KeyScriptEndsInsteadOfWaiting) {
  memscreen_push_key(0x300);
  memscreen_push_text("a ");
  key_rec k{};
  const uint16_t want[] = {0x300, 0x161, 0x120};
  for (uint16_t code : want) {
    ASSERT_EQ(getkey_scrn(&k, 0xFFFF), 0);
    EXPECT_EQ(k.code, code);
  }
  EXPECT_EQ(memscreen_keys_left(), 0u);
  EXPECT_EQ(getkey_scrn(&k, 0xFFFF), ST_SCRIPT_END);
  char buf[8] = "ab";
  field_ctl c = draw_ctl(0, 0, "ab");
  c.mode = 0x0802;
  EXPECT_EQ(getfld_scrn(buf, &c, &k, 0xFFFF), ST_SCRIPT_END);
}

// ---------------------------------------------------------------------------
// The message line.

TEST_F(ImageTest, MessageShowsCatalogueTextNumberAndCallerText) {
  const std::string name = "/tmp/x/system.cfi";
  ASSERT_EQ(dis_msg_scrn(MSG_ERROR | ST_NO_FILE, MSG_MODE_SHOW, name.c_str(),
                         static_cast<uint16_t>(name.size())), 0);
  const std::string row = memscreen_row(23);
  const std::string expect = std::string(message_text(MSG_ERROR | ST_NO_FILE));
  EXPECT_EQ(row.rfind(expect, 0), 0u) << row;
  EXPECT_NE(row.find("(2): /tmp/x/system.cfi"), std::string::npos) << row;
  EXPECT_NE(memscreen_attr(23, 0), ATTR_PLAIN);
  EXPECT_NE(memscreen_attr(23, 0), ATTR_FIELD);
  EXPECT_TRUE(memscreen_message_shown());
  EXPECT_EQ(memscreen_message_code(), MSG_ERROR | ST_NO_FILE);
  EXPECT_EQ(memscreen_message_text(), name);
}

TEST_F(ImageTest, MessageTextIsTakenByLengthNotTerminator) {
  ASSERT_EQ(dis_msg_scrn(0, MSG_MODE_SHOW, "abcdef", 3), 0);
  EXPECT_EQ(memscreen_message_text(), "abc");
  EXPECT_EQ(memscreen_row(23).substr(0, 4), "abc ");
}

TEST_F(ImageTest, TakingMessageDownWaitsForKeyThenRestoresRow) {
  draw(23, 0, "F1=Help  F3=Page up", ATTR_PLAIN);
  draw(22, 0, "prompt", ATTR_FIELD);
  update_scrn();
  const std::string form_row = memscreen_row(23);
  dis_msg_scrn(MSG_ERROR | ST_ACCESS, MSG_MODE_SHOW, nullptr, 0);
  EXPECT_NE(memscreen_row(23), form_row);
  EXPECT_EQ(memscreen_row(22).substr(0, 6), "prompt");

  // The program draws on row 23 while the message is up: kept underneath.
  draw(23, 30, "F5=Copy", ATTR_PLAIN);
  update_scrn();
  EXPECT_EQ(memscreen_row(23).find("F5=Copy"), std::string::npos);

  ASSERT_EQ(dis_msg_scrn(0, MSG_MODE_REMOVE, nullptr, 0), 0);
  update_scrn();
  EXPECT_TRUE(memscreen_message_shown()) << "taken down before any key";

  memscreen_push_key(0x120);
  key_rec k{};
  ASSERT_EQ(getkey_scrn(&k, 0xFFFF), 0);
  EXPECT_FALSE(memscreen_message_shown());
  std::string restored = form_row;
  restored.replace(30, 7, "F5=Copy");
  EXPECT_EQ(memscreen_row(23), restored);
  EXPECT_EQ(memscreen_attr(23, 0), ATTR_PLAIN);
}

TEST_F(ImageTest, KeyInLineEditorAlsoTakesMessageDown) {
  dis_msg_scrn(MSG_ERROR | ST_ACCESS, MSG_MODE_SHOW, nullptr, 0);
  dis_msg_scrn(0, MSG_MODE_REMOVE, nullptr, 0);
  memscreen_push_key(0x300);
  char buf[4] = "";
  field_ctl c = draw_ctl(5, 5, "");
  c.mode = 0x0802;
  c.width = c.max_len = 3;
  key_rec k{};
  ASSERT_EQ(getfld_scrn(buf, &c, &k, 0xFFFF), 0);
  EXPECT_FALSE(memscreen_message_shown());
  EXPECT_EQ(memscreen_row(23), std::string(80, ' '));
}

TEST_F(ImageTest, NewMessageCancelsPendingTakeDownAndCloseIsImmediate) {
  dis_msg_scrn(MSG_ERROR | ST_ACCESS, MSG_MODE_SHOW, nullptr, 0);
  dis_msg_scrn(0, MSG_MODE_REMOVE, nullptr, 0);
  dis_msg_scrn(0, MSG_MODE_SHOW, "second", 6);
  memscreen_push_key(0x120);
  key_rec k{};
  getkey_scrn(&k, 0xFFFF);
  EXPECT_TRUE(memscreen_message_shown());
  EXPECT_EQ(memscreen_row(23).substr(0, 6), "second");

  ASSERT_EQ(dis_msg_scrn(0, MSG_MODE_CLOSE, nullptr, 0), 0);
  EXPECT_FALSE(memscreen_message_shown());
  EXPECT_EQ(memscreen_row(23), std::string(80, ' '));
}

TEST_F(ImageTest, UnknownMessageModeIsRefused) {
  EXPECT_EQ(dis_msg_scrn(0, 7, "x", 1), ST_FAILED);
  EXPECT_FALSE(memscreen_message_shown());
}

TEST_F(ImageTest, LongMessageIsCutAtTheLineEnd) {
  const std::string text(300, 'm');
  dis_msg_scrn(0, MSG_MODE_SHOW, text.c_str(), static_cast<uint16_t>(text.size()));
  EXPECT_EQ(memscreen_row(23), std::string(80, 'm'));
  EXPECT_EQ(memscreen_row(22), std::string(80, ' '));
}

}  // namespace
