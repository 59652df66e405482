// The line editor (getfld_scrn) driven by scripted keys on the in-memory
// screen.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "lib/memscreen.h"
#include "lib/scrn.h"
#include "lib/screen/screen_core.h"
#include "lib/status.h"

namespace {

using namespace xnscreen;

constexpr uint16_t LEFT = 0x200, RIGHT = 0x201, ENTER = 0x300, ESC = 0x301;
constexpr uint16_t TEXT = 0x0802, NUMBER = 0x0804, QUICK = 0x4000, MASKED = 0x8000;

struct entry {
  const char *name;
  uint16_t mode;
  int width;
  int max_len;
  const char *start;
  std::vector<uint16_t> keys;  // the ending key included
  const char *result;
  int bells;
};

// Typed characters as key codes.
std::vector<uint16_t> typed(const char *s) {
  std::vector<uint16_t> k;
  for (; *s; ++s) k.push_back(static_cast<uint16_t>(0x100 | static_cast<uint8_t>(*s)));
  return k;
}

std::vector<uint16_t> operator+(std::vector<uint16_t> a, const std::vector<uint16_t> &b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

field_ctl entry_ctl(uint16_t mode, int row, int col, int width, int max_len, int len) {
  field_ctl c{};
  c.mode = mode;
  c.attr = ATTR_FIELD;
  c.edit_attr = ATTR_FIELD;
  c.fill = '_';
  c.row = static_cast<uint16_t>(row);
  c.col = static_cast<uint16_t>(col);
  c.timeout = 0xFFFFFFFF;
  c.width = static_cast<uint16_t>(width);
  c.max_len = static_cast<uint16_t>(max_len);
  c.len = static_cast<uint16_t>(len);
  return c;
}

struct outcome {
  int status;
  std::string text;
  uint16_t key;
  int len;
};

outcome run(uint16_t mode, int row, int col, int width, int max_len, const char *start,
            const std::vector<uint16_t> &keys) {
  for (uint16_t k : keys) memscreen_push_key(k);
  char buf[300] = {};
  std::strcpy(buf, start);
  field_ctl c = entry_ctl(mode, row, col, width, max_len, static_cast<int>(std::strlen(start)));
  key_rec k{};
  outcome o;
  o.status = getfld_scrn(buf, &c, &k, 0xFFFF);
  o.text = buf;
  o.key = k.code;
  o.len = c.len;
  return o;
}

class LineEditTest : public ::testing::Test {
protected:
  void SetUp() override { memscreen_use(); }
  void TearDown() override { memscreen_release(); }
};

TEST_F(LineEditTest, EditingKeys) {
  const entry cases[] = {
      {"type into empty", TEXT, 10, 10, "", typed("abc") + std::vector<uint16_t>{ENTER}, "abc", 0},
      {"append to start text", TEXT, 10, 10, "ab", typed("c") + std::vector<uint16_t>{ENTER}, "abc", 0},
      {"insert after left", TEXT, 10, 10, "ac", {LEFT, 0x162, ENTER}, "abc", 0},
      {"home then type", TEXT, 10, 10, "bc", {KEYC_HOME, 0x161, ENTER}, "abc", 0},
      {"end after home", TEXT, 10, 10, "ab", {KEYC_HOME, KEYC_END, 0x163, ENTER}, "abc", 0},
      {"backspace", TEXT, 10, 10, "abcd", {KEYC_BACKSPACE, ENTER}, "abc", 0},
      {"backspace at start rings", TEXT, 10, 10, "ab", {KEYC_HOME, KEYC_BACKSPACE, ENTER}, "ab", 1},
      {"delete under cursor", TEXT, 10, 10, "axbc", {KEYC_HOME, RIGHT, KEYC_DELETE, ENTER}, "abc", 0},
      {"delete at end rings", TEXT, 10, 10, "ab", {KEYC_DELETE, ENTER}, "ab", 1},
      {"left at start rings", TEXT, 10, 10, "", {LEFT, ENTER}, "", 1},
      {"right at end rings", TEXT, 10, 10, "ab", {RIGHT, ENTER}, "ab", 1},
      {"clear line", TEXT, 10, 10, "abc", {KEYC_CLEAR, 0x178, ENTER}, "x", 0},
      {"overtype after insert key", TEXT, 10, 10, "abc", {KEYC_HOME, KEYC_INSERT, 0x178, 0x179, ENTER}, "xyc", 0},
      {"overtype extends at end", TEXT, 10, 10, "ab", {KEYC_INSERT, 0x163, ENTER}, "abc", 0},
      {"full field refuses insert", TEXT, 3, 3, "abc", {KEYC_HOME, 0x178, ENTER}, "abc", 1},
      {"control byte refused", TEXT, 10, 10, "", {0x107, 0x17F - 0x7F + 0x1B, ENTER}, "", 2},
      {"bytes above 127 accepted", TEXT, 10, 10, "", {0x1C4, 0x1FF, ENTER}, "\xC4\xFF", 0},
      {"digits only in numbers", NUMBER, 2, 2, "", typed("4a2") + std::vector<uint16_t>{ENTER}, "42", 1},
      {"blank allowed in numbers", NUMBER, 2, 2, "", typed(" 7") + std::vector<uint16_t>{ENTER}, " 7", 0},
      {"first digit replaces", NUMBER, 2, 2, "32", typed("5") + std::vector<uint16_t>{ENTER}, "5", 0},
      {"refused first key keeps text", NUMBER, 2, 2, "32", typed("x5") + std::vector<uint16_t>{ENTER}, "5", 1},
      {"digit after moving edits", NUMBER, 3, 3, "32", {LEFT, 0x135, ENTER}, "352", 0},
      {"backspace then digit edits", NUMBER, 2, 2, "32", {KEYC_BACKSPACE, 0x139, ENTER}, "39", 0},
      {"digit limit below width", NUMBER, 5, 3, "", typed("1234") + std::vector<uint16_t>{ENTER}, "123", 1},
  };
  for (const entry &e : cases) {
    memscreen_use();
    const outcome o = run(e.mode, 4, 20, e.width, e.max_len, e.start, e.keys);
    EXPECT_EQ(o.status, 0) << e.name;
    EXPECT_EQ(o.text, e.result) << e.name;
    EXPECT_EQ(o.len, static_cast<int>(std::strlen(e.result))) << e.name;
    EXPECT_EQ(o.key, ENTER) << e.name;
    EXPECT_EQ(memscreen_bells(), e.bells) << e.name;
    EXPECT_EQ(memscreen_keys_left(), 0u) << e.name;
  }
}

TEST_F(LineEditTest, EndingKeysAreReturnedAndMovementKeysAreNot) {
  const uint16_t enders[] = {ENTER, ESC, 0x302, 0x303, 0x304, 0x305, 0x306, 0x307,
                             0x400, 0x500, 0x700, 0x800};
  for (uint16_t key : enders) {
    memscreen_use();
    const outcome o = run(TEXT, 2, 0, 8, 8, "abc", {LEFT, RIGHT, key});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.key, key) << std::hex << key;
    EXPECT_EQ(o.text, "abc");
  }
  // Left and right alone never end the entry: the script runs out.
  memscreen_use();
  EXPECT_EQ(run(TEXT, 2, 0, 8, 8, "abc", {LEFT, RIGHT, LEFT}).status, ST_SCRIPT_END);
  // Keys of no use here ring the bell and keep the entry going.
  memscreen_use();
  const outcome o = run(TEXT, 2, 0, 8, 8, "", {0x600, KEYC_UNKNOWN, 0x900, ESC});
  EXPECT_EQ(o.key, ESC);
  EXPECT_EQ(memscreen_bells(), 3);
}

TEST_F(LineEditTest, QuickModeEndsWhenTheLastPositionIsTyped) {
  outcome o = run(NUMBER | QUICK, 0, 0, 2, 2, "", typed("12"));
  EXPECT_EQ(o.key, ENTER);
  EXPECT_EQ(o.text, "12");
  EXPECT_EQ(memscreen_keys_left(), 0u);
  memscreen_use();
  o = run(TEXT | QUICK, 0, 0, 3, 3, "", typed("ab") + std::vector<uint16_t>{0x500});
  EXPECT_EQ(o.key, 0x500) << "not full: ends only with an ending key";
  memscreen_use();
  o = run(TEXT, 0, 0, 2, 2, "", typed("ab"));
  EXPECT_EQ(o.status, ST_SCRIPT_END) << "without quick mode a full field waits";
}

TEST_F(LineEditTest, FieldIsShownInEditAttributeWithCursorAtTheEnd) {
  memscreen_push_key(ENTER);
  char buf[16] = "secret";
  field_ctl c = entry_ctl(TEXT | MASKED, 7, 30, 10, 10, 6);
  key_rec k{};
  // Read the screen before the ending key is taken: run with a script that
  // ends, then look at what the editor left drawn.
  memscreen_use();
  EXPECT_EQ(getfld_scrn(buf, &c, &k, 0xFFFF), ST_SCRIPT_END);
  EXPECT_EQ(memscreen_row(7).substr(30, 10), "******    ");
  EXPECT_EQ(memscreen_attr(7, 39), ATTR_FIELD);
  EXPECT_EQ(memscreen_cursor_row(), 7);
  EXPECT_EQ(memscreen_cursor_col(), 36);
  EXPECT_EQ(std::string(buf), "secret") << "the buffer is written only at the end";

  memscreen_use();
  const outcome o = run(TEXT, 7, 30, 4, 4, "abcd", {});
  EXPECT_EQ(o.status, ST_SCRIPT_END);
  EXPECT_EQ(memscreen_cursor_col(), 33) << "a full field keeps the cursor on its last cell";
}

TEST_F(LineEditTest, WideFieldWrapsOntoTheNextLines) {
  // A 255-character field at column 28: 52 cells on its own line, 80 on each
  // of the next two, 43 on the fourth.
  std::string start(254, 'a');
  const outcome o = run(TEXT, 5, 28, 255, 255, start.c_str(), typed("Z"));
  EXPECT_EQ(o.status, ST_SCRIPT_END);
  EXPECT_EQ(memscreen_row(5).substr(28), std::string(52, 'a'));
  EXPECT_EQ(memscreen_row(6), std::string(80, 'a'));
  EXPECT_EQ(memscreen_row(7), std::string(80, 'a'));
  EXPECT_EQ(memscreen_row(8).substr(0, 44), std::string(42, 'a') + "Z ");
  EXPECT_EQ(memscreen_char(8, 43), ' ');
  EXPECT_EQ(memscreen_attr(8, 42), ATTR_FIELD);
  EXPECT_EQ(memscreen_attr(8, 43), ATTR_PLAIN) << "one cell past the field";
  EXPECT_EQ(memscreen_cursor_row(), 8);
  EXPECT_EQ(memscreen_cursor_col(), 42);
}

TEST_F(LineEditTest, TypingOneCharacterSendsOneCell) {
  const outcome o = run(TEXT, 3, 10, 20, 20, "abc", {});
  ASSERT_EQ(o.status, ST_SCRIPT_END);
  const uint64_t before = memscreen_cells_written();
  run(TEXT, 3, 10, 20, 20, "abc", typed("d"));
  EXPECT_EQ(memscreen_cells_written() - before, 1u);
}

TEST_F(LineEditTest, StartingTextLongerThanTheLimitIsCut) {
  const outcome o = run(NUMBER, 0, 0, 5, 3, "12345", {ENTER});
  EXPECT_EQ(o.text, "123");
  EXPECT_EQ(o.len, 3);
}

TEST_F(LineEditTest, NullArgumentsAreRefused) {
  char buf[4] = "";
  field_ctl c = entry_ctl(TEXT, 0, 0, 3, 3, 0);
  key_rec k{};
  EXPECT_EQ(getfld_scrn(nullptr, &c, &k, 0xFFFF), ST_FAILED);
  EXPECT_EQ(getfld_scrn(buf, nullptr, &k, 0xFFFF), ST_FAILED);
  EXPECT_EQ(getfld_scrn(buf, &c, nullptr, 0xFFFF), ST_FAILED);
}

}  // namespace
