// Drawing into the screen image, update counting and the message line, over
// the in-memory screen.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "lib/internal/lib_internal.h"
#include "lib/memscreen.h"
#include "lib/scrn.h"
#include "lib/screen/screen_core.h"
#include "lib/status.h"

namespace {

void draw(uint16_t row, uint16_t col, const char *text, uint8_t attr = ATTR_FIELD) {
  field_ctl c{};
  c.attr = attr, c.row = row, c.col = col;
  c.len = c.width = c.max_len = static_cast<uint16_t>(std::strlen(text));
  ASSERT_EQ(putfld_scrn(text, &c), 0);
}

void show(const std::string &text) {
  ASSERT_EQ(dis_msg_scrn(0, MSG_MODE_SHOW, text.c_str(), static_cast<uint16_t>(text.size())), 0);
}

// A key read through the editor or the key service takes a pending message down.
void press_key(bool editor) {
  memscreen_push_key(0x300);
  key_rec k{};
  char buf[4] = "";
  field_ctl c{};
  c.mode = 0x0802, c.width = c.max_len = 3;
  ASSERT_EQ(editor ? getfld_scrn(buf, &c, &k, 0xFFFF) : getkey_scrn(&k, 0xFFFF), 0);
}

struct ImageTest : ::testing::Test {
  void SetUp() override { memscreen_use(); }
  void TearDown() override { memscreen_release(); }
};

TEST_F(ImageTest, DrawingShowsAfterUpdateClippedToTheImage) {
  draw(3, 10, "Selection:", ATTR_TITLE);
  EXPECT_EQ(memscreen_row(3).substr(10, 10), std::string(10, ' '));
  ASSERT_EQ(update_scrn(), 0);
  EXPECT_EQ(memscreen_row(3).substr(10, 10), "Selection:");
  EXPECT_EQ(memscreen_attr(3, 10), ATTR_TITLE);
  EXPECT_EQ(memscreen_attr(3, 20), ATTR_PLAIN);
  draw(23, 0, std::string(200, 'q').c_str());
  EXPECT_EQ(set_pos_scrn(500, 500), 0);
  ASSERT_EQ(update_scrn(), 0);
  EXPECT_EQ(memscreen_row(23), std::string(80, 'q'));
  EXPECT_EQ(memscreen_cursor_row() * 100 + memscreen_cursor_col(), 2379);
}

TEST_F(ImageTest, UpdateSendsOnlyChangedCells) {
  // clang-format off
  const struct { const char *what; void (*act)(); uint64_t cells; } steps[] = {
      {"first drawing", [] { draw(5, 0, "Selection: 1"); }, 12},
      {"same text again", [] { draw(5, 0, "Selection: 1"); }, 0},
      {"one digit", [] { draw(5, 11, "2"); }, 1},
      {"same text, new attribute", [] { draw(5, 0, "S", ATTR_HEADING); }, 1},
      // column 10 loses its attribute, column 11 its digit
      {"erase to end of line", [] { set_pos_scrn(5, 10); erase_eol_scrn(); }, 2},
  };
  // clang-format on
  for (const auto &s : steps) {
    const uint64_t before = memscreen_cells_written();
    s.act();
    ASSERT_EQ(update_scrn(), 0);
    EXPECT_EQ(memscreen_cells_written() - before, s.cells) << s.what;
  }
}

// Rows the backend is known to show as drawn are skipped whole. A cell whose
// shown content is unknown is still sent when the image matches the last
// copy, and the message overlay is compared cell by cell over its row.
TEST_F(ImageTest, UpdateSkipsOnlyRowsKnownToBeShown) {
  // clang-format off
  const struct { const char *what; void (*act)(); uint64_t cells; } steps[] = {
      {"image reset: every cell unknown", [] { xnscreen::reset_image(24, 80); }, 24 * 80},
      {"nothing new", [] {}, 0},
      {"last cell of the last row", [] { draw(23, 79, "x"); }, 1},
      {"shown taken as blank: the drawn cell again", [] { xnscreen::mark_shown_blank(); }, 1},
      {"message over a drawn cell", [] { show("m"); }, 2},
      {"full repaint", [] { xnscreen::repaint_all(); }, 24 * 80},
  };
  // clang-format on
  for (const auto &s : steps) {
    const uint64_t before = memscreen_cells_written();
    s.act();
    ASSERT_EQ(update_scrn(), 0);
    EXPECT_EQ(memscreen_cells_written() - before, s.cells) << s.what;
  }
  EXPECT_EQ(memscreen_row(23).substr(0, 2), "m ");
  EXPECT_EQ(memscreen_char(23, 79), ' ') << "the message covers its whole row";
}

TEST_F(ImageTest, MessageLineText) {
  ASSERT_EQ(dis_msg_scrn(MSG_ERROR | ST_NO_FILE, MSG_MODE_SHOW, "/tmp/x/system.cfi", 17), 0);
  const std::string row = memscreen_row(23);
  EXPECT_EQ(row.rfind(message_text(MSG_ERROR | ST_NO_FILE), 0), 0u) << row;
  EXPECT_NE(row.find("(2): /tmp/x/system.cfi"), std::string::npos) << row;
  EXPECT_NE(memscreen_attr(23, 0), ATTR_PLAIN);              // set apart from the forms
  ASSERT_EQ(dis_msg_scrn(0, MSG_MODE_SHOW, "abcdef", 3), 0); // by length
  EXPECT_EQ(memscreen_row(23).substr(0, 4), "abc ");
  show(std::string(300, 'm'));
  EXPECT_EQ(memscreen_row(22) + memscreen_row(23), std::string(80, ' ') + std::string(80, 'm'));
  EXPECT_EQ(dis_msg_scrn(0, 7, "x", 1), ST_FAILED);
}

TEST_F(ImageTest, TakingMessageDownWaitsForKeyThenRestoresRow) {
  for (bool editor : {false, true}) {
    SCOPED_TRACE(editor ? "line editor" : "key service");
    memscreen_use();
    draw(23, 0, "F1=Help  F3=Page up", ATTR_PLAIN);
    update_scrn();
    const std::string form_row = memscreen_row(23);
    show("error");
    // The program draws on row 23 while the message is up: kept underneath.
    draw(23, 30, "F5=Copy", ATTR_PLAIN);
    update_scrn();
    EXPECT_EQ(memscreen_row(23).substr(0, 6), "error ");
    ASSERT_EQ(dis_msg_scrn(0, MSG_MODE_REMOVE, nullptr, 0), 0);
    update_scrn();
    EXPECT_TRUE(memscreen_message_shown()) << "taken down before any key";
    press_key(editor);
    EXPECT_FALSE(memscreen_message_shown());
    EXPECT_EQ(memscreen_row(23).substr(0, 37), form_row.substr(0, 30) + "F5=Copy");
  }
}

TEST_F(ImageTest, NewMessageCancelsPendingTakeDownAndCloseIsImmediate) {
  show("first");
  dis_msg_scrn(0, MSG_MODE_REMOVE, nullptr, 0);
  show("second");
  press_key(false);
  EXPECT_EQ(memscreen_row(23).substr(0, 6), "second");
  ASSERT_EQ(dis_msg_scrn(0, MSG_MODE_CLOSE, nullptr, 0), 0);
  EXPECT_FALSE(memscreen_message_shown());
  EXPECT_EQ(memscreen_row(23), std::string(80, ' '));
}

} // namespace
