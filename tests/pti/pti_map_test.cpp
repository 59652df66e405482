// The character mapping screen: byte strings of up to 11 bytes, the Chr
// column by printer type, the copy key and the paging at either end.
#include <cstring>

#include "tdi/editor_fixture.h"

using namespace editor_test;

namespace {

class PtiMap : public EditorTest {
protected:
  void TearDown() override {
    if (handle_) close_pti(&handle_);
    EditorTest::TearDown();
  }
  void open_type(uint8_t type) {
    if (handle_) close_pti(&handle_);
    ASSERT_EQ(open_pti(&handle_, type), 0);
    printer_type = type;
    trans_changed = 0;
  }
  void put(uint32_t code, std::initializer_list<uint8_t> bytes) {
    pti_map rec{};
    rec.length = static_cast<uint8_t>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), rec.bytes);
    ASSERT_EQ(put_map_pti(handle_, code, &rec), 0);
  }
  pti_map get(uint32_t code) const {
    pti_map rec{};
    EXPECT_EQ(get_map_pti(handle_, code, &rec), 0);
    return rec;
  }
  uint32_t handle_ = 0;
};

TEST_F(PtiMap, ByteStringsAndTheChrColumn) {
  // clang-format off
  const struct {
    uint8_t type;
    const char *typed;
    uint8_t want_length;
    uint8_t first;
    const char *chr;
    int bells;
  } cases[] = {
      {0, "AB", 2, 'A', "---", 0},           // two bytes are fine here
      {0, "", 0, 0, "---", 0},                // cleared: nothing printed
      {0, "\\226", 1, 150, "N/D", 0},         // 150 prints only on type 1
      {1, "\\226", 1, 150, "(\x96)", 0},
      {1, "^A", 1, 1, "N/D", 0},              // below 32: never shown
      {0, "ABCDEFGHIJKL", 1, 'q', "(q)", 1},  // 12 bytes: refused, entry kept
      {0, "\\q", 1, 'q', "(q)", 1},           // unreadable: refused
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(c.typed);
    open_type(c.type);
    put(65, {'q'});
    trans_changed = 0;
    fresh();
    // Down to code 65 (fifth page, row 6 + 65 - 60), type, then Up leaves it.
    keys({KEY_F4, KEY_F4, KEY_F4, KEY_F4});
    for (int i = 0; i < 5; ++i) keys({DOWN});
    retype(c.typed, UP);
    keys({ESC});
    EXPECT_EQ(configure_character_map(handle_), 0);
    EXPECT_EQ(memscreen_keys_left(), 0u);
    const pti_map rec = get(65);
    EXPECT_EQ(rec.length, c.want_length);
    EXPECT_EQ(rec.bytes[0], c.first);
    EXPECT_EQ(trans_changed, c.bells ? 0 : 1);
    EXPECT_EQ(memscreen_bells(), c.bells);
    EXPECT_EQ(cells(11, 69, 3), c.chr);
  }
}

TEST_F(PtiMap, CopyOverwritesTheNextCodeButNotFromTheLast) {
  open_type(0);
  put(10, {'a', 'b'});
  put(11, {'z'});
  for (int i = 0; i < 10; ++i) keys({DOWN});
  keys({KEY_F5, ESC}); // F5 on 10: code 11 prints "ab" and has the cursor
  EXPECT_EQ(configure_character_map(handle_), 0);
  EXPECT_EQ(get(11).length, 2);
  EXPECT_EQ(get(11).bytes[1], 'b');
  EXPECT_EQ(trans_changed, 1);
  EXPECT_EQ(memscreen_cursor_row(), 6 + 11);

  const pti_map first = get(0);
  put(255, {'e'});
  trans_changed = 0;
  fresh();
  keys({UP, KEY_F5, ESC}); // up on 0: the last page; F5 on 255 rings
  EXPECT_EQ(configure_character_map(handle_), 0);
  EXPECT_EQ(memscreen_bells(), 1);
  const pti_map after = get(0);
  EXPECT_EQ(std::memcmp(&first, &after, sizeof first), 0) << "nothing wraps onto code 0";
  EXPECT_EQ(trans_changed, 0);
  EXPECT_EQ(cells(6, 0, 3), "241");
  EXPECT_EQ(cells(20, 0, 3), "255");
}

TEST_F(PtiMap, PageKeysJumpToTheSameLineAtEitherEnd) {
  open_type(0);
  keys({DOWN, DOWN, KEY_F3, ESC}); // F3 on the first page: line 2 of the last
  EXPECT_EQ(configure_character_map(handle_), 0);
  EXPECT_EQ(cells(6, 0, 3), "241");
  EXPECT_EQ(memscreen_cursor_row(), 8);
  fresh();
  keys({UP, KEY_F4, ESC}); // F4 on the last page: the same line of the first
  EXPECT_EQ(configure_character_map(handle_), 0);
  EXPECT_EQ(cells(6, 0, 3), "  0");
  EXPECT_EQ(cells(20, 0, 3), " 14");
}

} // namespace
