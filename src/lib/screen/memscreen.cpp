// The in-memory screen: the same screen services over the shared image, fed
// by a script of key codes, counting bells and the cells it was sent.
#include "lib/memscreen.h"

#include <deque>

#include "lib/kern.h"
#include "lib/screen/screen_core.h"

namespace xnscreen {
namespace {

class memory_screen final : public backend {
public:
  std::deque<uint16_t> keys;
  int bells = 0;
  uint64_t cells = 0;
  int row = 0, col = 0; // cursor as last shown

  int open() override { return 0; }
  void close() override {}
  // Always live, so that tests may draw without opening a screen first.
  bool ready() const override { return true; }
  void put_cell(int, int, cell) override { ++cells; }
  int flush(int r, int c) override {
    row = r;
    col = c;
    return 0;
  }
  int read_key(key_rec *key) override {
    if (keys.empty()) return ST_SCRIPT_END;
    key->code = key->raw = keys.front();
    keys.pop_front();
    return 0;
  }
  void bell() override { ++bells; }
  bool colour() const override { return false; }
};

memory_screen mem;

} // namespace

backend *memory_backend() { return &mem; }

} // namespace xnscreen

using namespace xnscreen;

void memscreen_use(int lines, int cols) {
  select_backend(&mem);
  mem.keys.clear();
  mem.bells = 0;
  reset_image(lines, cols);
  reset_state();
  // The blank image counts as already shown: only later drawing is counted.
  repaint_all();
  mem.cells = 0;
  proc_inConsole_ = 1;
}

void memscreen_release() {
  select_backend(nullptr);
  mem.keys.clear();
}

void memscreen_push_key(uint16_t code) { mem.keys.push_back(code); }

void memscreen_push_text(const char *text) {
  for (; text && *text; ++text)
    mem.keys.push_back(static_cast<uint16_t>(0x100 | static_cast<uint8_t>(*text)));
}

size_t memscreen_keys_left() { return mem.keys.size(); }

std::string memscreen_row(int row) {
  std::string s;
  for (int c = 0; c < image_cols(); ++c) s += static_cast<char>(shown_cell(row, c).ch);
  return s;
}

uint8_t memscreen_attr(int row, int col) { return shown_cell(row, col).attr; }
char memscreen_char(int row, int col) { return static_cast<char>(shown_cell(row, col).ch); }
int memscreen_cursor_row() { return mem.row; }
int memscreen_cursor_col() { return mem.col; }
int memscreen_bells() { return mem.bells; }
bool memscreen_message_shown() { return message().shown; }
uint32_t memscreen_message_code() { return message().code; }

std::string memscreen_message_text() {
  return std::string(message().text.begin(), message().text.end());
}

uint64_t memscreen_cells_written() { return mem.cells; }
