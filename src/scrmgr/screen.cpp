// Opening and closing the screen, the status-message line and the small
// screen operations the editors share.
#include <cstring>

#include "lib/kern.h"
#include "lib/scrn.h"
#include "lib/status.h"
#include "lib/tdi_store.h"
#include "scrmgr/scrmgr.h"
#include "scrmgr/scrmgr_internal.h"

bool message_shown = false;

namespace {

constexpr uint32_t MSG_NO_MEMORY = 0x3008;
constexpr uint32_t MSG_TOO_BIG = 0x329D;
constexpr size_t AREA512_BYTES = 512;
constexpr uint32_t BLANK_CELL = 0x00000020;

// The screen block and its image live for the rest of the run; a later open
// (tests open many times) reuses them, and an image that is too small is
// kept here rather than lost, so that nothing allocated is ever unreachable.
struct {
  void *block = nullptr;
  void *image = nullptr;
  size_t image_bytes = 0;
  void *retired[8] = {};
  size_t retired_count = 0;
} kept;

template <typename T>
void put(uint8_t *block, size_t off, T v) {
  memcpy(block + off, &v, sizeof v);
}
template <typename T>
T get(const uint8_t *block, size_t off) {
  T v;
  memcpy(&v, block + off, sizeof v);
  return v;
}

bool can_open() { return proc_inConsole_ || (proc_isTelnet_ && !proc_TelnetStream_); }

// The library reads these marks on the stream objects of an open screen.
void stamp_stream(uint8_t *obj) {
  obj[0] = 3;
  obj[1] = 0xFF;
  obj[2] = 0xFF;
  obj[3] = 0xFF;
}

void *allocate(size_t bytes) {
  void *p = malloc_kern(bytes);
  if (p == nullptr) printf_stderr_kern("%M: %M\n", MSG_NO_MEMORY, MSG_SCREEN);
  return p;
}

void *allocate_block() {
  if (kept.block == nullptr) kept.block = allocate(SCRN_BLOCK_SIZE);
  return kept.block;
}

void *allocate_image(size_t bytes) {
  if (kept.image != nullptr && kept.image_bytes >= bytes) return kept.image;
  void *p = allocate(bytes);
  if (p == nullptr) return nullptr;
  if (kept.image != nullptr && kept.retired_count < 8)
    kept.retired[kept.retired_count++] = kept.image;
  kept.image = p;
  kept.image_bytes = bytes;
  return p;
}

// Sizes the block from the default terminal description. 0 or 1 (reported).
int load_description(uint8_t *block) {
  uint32_t handle = 0;
  int st = open_tdi(&handle, TDI_DEFAULT_TYPE);
  if (st > 0) {
    printf_stderr_kern("\n%M: %s\n", static_cast<uint32_t>(st) | MSG_ERROR, "open_tdi");
    return 1;
  }
  st = load_tdi_scrn(handle, block);
  close_tdi(&handle);
  return st != 0 ? 1 : 0;
}

void set_members(uint8_t *block, uint8_t *image, uint16_t cells) {
  put<uint16_t>(block, 0, 72);
  put<uint16_t>(block, SCRN_CELLS, cells);
  put<uint32_t>(block, 50, 0);
  put<uint16_t>(block, 54, 0);
  block[60] = 0;
  block[68] = 0;
  put<uint32_t>(block, 82, 0);
  put<uint32_t>(block, 88, 32);
  uint8_t *area512 = image + 4u * cells;
  put<void *>(block, SCRN_IMAGE, image);
  put<void *>(block, SCRN_LINE_AREA, area512 + AREA512_BYTES);
  put<void *>(block, SCRN_AREA512, area512);
  for (size_t c = 0; c < cells; c++) put<uint32_t>(image, 4 * c, BLANK_CELL);
  memcpy(block + 4, stdin_obj_, 4);
  memcpy(block + 8, stdout_obj_, 4);
}

// Builds the screen block at cur_scrn_. 0, or 1 after any message.
int build_screen_block() {
  if (!can_open()) return 1;
  stamp_stream(stdin_obj_);
  stamp_stream(stdout_obj_);
  stamp_stream(stderr_obj_);
  auto *block = static_cast<uint8_t *>(allocate_block());
  cur_scrn_ = block;
  if (block == nullptr) return 1;
  memset(block, 0, SCRN_BLOCK_SIZE);
  if (load_description(block) != 0) return 1;
  uint16_t lines = static_cast<uint16_t>(get<uint16_t>(block, SCRN_LAST_LINE) + 1);
  uint16_t cols = static_cast<uint16_t>(get<uint16_t>(block, SCRN_LAST_COL) + 1);
  uint16_t cells;
  if (!screen_cells(lines, cols, &cells)) {
    printf_stderr_kern("%M: %M line=%u col=%u\n", MSG_TOO_BIG, MSG_SCREEN, unsigned{lines},
                       unsigned{cols});
    return 1;
  }
  auto *image = static_cast<uint8_t *>(allocate_image(screen_image_bytes(lines, cells)));
  if (image == nullptr) return 1;
  set_members(block, image, cells);
  return 0;
}

} // namespace

bool screen_cells(uint16_t lines, uint16_t cols, uint16_t *cells) {
  uint32_t product = uint32_t{lines} * cols;
  if (product >= 65535) return false;
  *cells = static_cast<uint16_t>(product);
  return true;
}

size_t screen_image_bytes(uint16_t lines, uint16_t cells) {
  return 4u * cells + AREA512_BYTES + ((lines + 3u) & ~size_t{3});
}

void scrmgr_trace(int line, const char *function, const char *word) {
  if (proc_trace_mask_ & 0x200) printf_trace_kern(9, "scrmgr", line, function, word);
}

int display_open() {
  if (build_screen_block() != 0) {
    scrmgr_trace(86, "display_open", "SE_INV_OPER");
    return 1;
  }
  message_shown = false;
  return connect_scrn(0, 0);
}

void display_close() {
  dis_msg_scrn(0, MSG_MODE_CLOSE, nullptr, 0);
  disconnect_scrn();
}

int show_message_text(uint32_t code, const char *text) {
  uint16_t len = text ? static_cast<uint16_t>(strnlen(text, 0xFFFF)) : 0;
  int st = dis_msg_scrn(code, MSG_MODE_SHOW, text, len);
  if (st > 0) return st;
  message_shown = true;
  delay_kern(20);
  return 0;
}

int show_message(uint32_t code) {
  int st = dis_msg_scrn(code, MSG_MODE_SHOW, nullptr, 0);
  if (st > 0) return st;
  message_shown = true;
  delay_kern(20);
  return 0;
}

int clear_message() {
  if (!message_shown) return 0;
  int st = dis_msg_scrn(0, MSG_MODE_REMOVE, nullptr, 0);
  if (st > 0) return st;
  message_shown = false;
  return 0;
}

void ring_bell() {
  bell_scrn();
  update_scrn();
}

void clear_screen() {
  set_pos_scrn(0, 0);
  erase_all_scrn();
  update_scrn();
}

void clear_prompt_line() {
  set_pos_scrn(22, 0);
  erase_eol_scrn();
  update_scrn();
}
