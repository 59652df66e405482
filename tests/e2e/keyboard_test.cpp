// The keyboard screen through a pseudo-terminal: a key typed on an empty row
// is saved with the description and found again in its sorted place.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "e2e/e2e_common.h"
#include "lib/tdi_store.h"

namespace {

using xntest::Key;
using xntest::PtyTerm;
using xntest::TempDir;

constexpr const char *kTitle = "Terminal Description (XNTERM) Configuration";
constexpr int kTopLine = 6;

void open_keyboard(PtyTerm &t) {
  ASSERT_TRUE(t.wait_for_text(kTitle) && t.wait_for_text_at(16, 20, "Selection:"))
      << t.screen_text();
  for (int i = 1; i < 4; ++i) t.key(Key::Down);
  t.key(Key::Enter);
  ASSERT_TRUE(t.wait_for_text_at(0, 29, "Keyboard Configuration")) << t.screen_text();
  ASSERT_TRUE(t.wait_for_text_at(22, 0, "Press <up>, <down>, F1-F4")) << t.screen_text();
}

// Where the saved description has the key "zz", by the store's own search.
int sorted_index(const std::string &file) {
  EXPECT_EQ(init_tdi(), 0);
  uint32_t h = 0;
  if (open_tdi(&h, TDI_DEFAULT_TYPE) != 0) return -1;
  int index = -1;
  if (load_tdi(h, file.c_str()) == 0) {
    const uint16_t found = find_key_tdi(h, reinterpret_cast<const uint8_t *>("zz"), 2);
    if (!(found & FIND_KEY_NOT_FOUND)) index = found;
  }
  close_tdi(&h);
  return index;
}

TEST(KeyboardScreen, KeyAddedOnAnEmptyRowIsSavedAndFoundInItsSortedPlace) {
  TempDir dir;
  {
    PtyTerm t(e2e::program_in(dir, {"kb.tdi"}));
    open_keyboard(t);
    t.key(Key::Up); // row 511: the last page, empty
    ASSERT_TRUE(t.wait_until([&] { return t.cursor_row() == kTopLine + 15; })) << t.screen_text();
    t.type("Zed key");
    t.key(Key::Enter);
    t.type("zz");
    for (int i = 0; i < 5; ++i) t.key(Key::Enter); // Ext, Type, Code, Erase: end of row
    // The row moves to its sorted place and the page with it.
    ASSERT_TRUE(t.wait_until([&] {
      return t.row(t.cursor_row()).find("Zed key") != std::string::npos;
    })) << t.screen_text();
    t.key(Key::Esc);
    ASSERT_TRUE(t.wait_for_text(kTitle)) << t.screen_text();
    t.key(Key::Esc);
    ASSERT_TRUE(t.wait_for_text("do you wish to save it?")) << t.screen_text();
    t.type("y");
    ASSERT_TRUE(t.wait_for_text_at(20, 1, "Save(d) file: ")) << t.screen_text();
    t.key(Key::Enter);
    auto e = t.wait_exit();
    ASSERT_TRUE(e.exited) << t.screen_text();
    EXPECT_EQ(e.status, 0) << t.screen_text();
  }
  std::string saved;
  for (const auto &f : std::filesystem::directory_iterator(dir.path()))
    if (f.path().extension() == ".tdi") saved = f.path().filename().string();
  ASSERT_FALSE(saved.empty());
  const int index = sorted_index(dir.file(saved));
  ASSERT_GE(index, 1) << "the default keys come first";

  PtyTerm t(e2e::program_in(dir, {saved}));
  open_keyboard(t);
  for (int i = 0; i < index; ++i) t.key(Key::Down);
  const int line = kTopLine + (index < 16 ? index : 15);
  ASSERT_TRUE(t.wait_until([&] { return t.cursor_row() == line; })) << t.screen_text();
  EXPECT_TRUE(t.wait_for_text_at(line, 1, "Zed key")) << t.screen_text();
  EXPECT_EQ(e2e::field_text(t, line, 17, 16), "zz") << t.row(line);
  t.key(Key::Esc);
  ASSERT_TRUE(t.wait_for_text(kTitle)) << t.screen_text();
  t.key(Key::Esc);
  auto e = t.wait_exit();
  ASSERT_TRUE(e.exited) << t.screen_text();
  EXPECT_EQ(e.status, 0) << t.screen_text();
}

} // namespace
