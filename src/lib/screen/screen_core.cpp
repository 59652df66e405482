// The screen image the program draws into, the message overlay on the
// message line, and the drawing services that work on them. Both backends
// share this; they only ever see the cells that changed.
#include "lib/screen/screen_core.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "lib/internal/lib_internal.h"
#include "lib/kern.h"
#include "lib/status.h"
#include "lib/tdi_store.h"

namespace xnscreen {
namespace {

struct screen_image {
  int lines = FORM_LINES;
  int cols = FORM_COLS;
  std::vector<cell> drawn;    // what the program drew
  std::vector<cell> shown;    // what the backend was last sent
  std::vector<uint8_t> known; // 0: the backend's copy of the cell is unknown
  int row = 0;                // cursor
  int col = 0;
};

screen_image img;
message_state msg;
backend *active = nullptr;
// The take-down of a message (mode 12) waits until a key arrives.
bool message_remove_pending = false;
// Cells of the message drawn right of the image in a wider terminal.
int message_beyond = 0;

void ensure_image() {
  if (img.drawn.empty()) reset_image(img.lines, img.cols);
}

cell drawn_cell(int row, int col) { return img.drawn[static_cast<size_t>(row) * img.cols + col]; }

// The message line is row 23, or the last row of a smaller image.
int message_row() { return std::min(MESSAGE_ROW, img.lines - 1); }

// The message line's text: the catalogue text of the code (with its number
// for an error), then ": " and the caller's text.
std::string message_line() {
  std::string line;
  if (msg.code != 0) {
    line = message_text(msg.code);
    // Statuses, plain or as error codes, carry their number.
    if ((msg.code & 0xF000) == MSG_ERROR || msg.code < 0x1000) {
      char num[16];
      std::snprintf(num, sizeof num, " (%u)", msg.code & 0xFFFu);
      if (line.find(num + 1) == std::string::npos) line += num;
    }
  }
  if (!msg.text.empty()) {
    if (!line.empty()) line += ": ";
    line.append(msg.text.begin(), msg.text.end());
  }
  return line;
}

cell overlay_cell(const std::string &line, int col) {
  if (col < static_cast<int>(line.size()))
    return cell{static_cast<uint8_t>(line[col]), ATTR_MESSAGE};
  return cell{' ', ATTR_PLAIN};
}

// True when the backend is known to show row r exactly as drawn. Compared
// as bytes: an update changes a few cells of one or two rows, and looking
// at every cell of every row on each key cost more than the drawing.
bool row_current(int r) {
  static_assert(sizeof(cell) == 2, "cells compare as bytes");
  const size_t from = static_cast<size_t>(r) * img.cols;
  const size_t n = static_cast<size_t>(img.cols);
  return std::memcmp(&img.drawn[from], &img.shown[from], n * sizeof(cell)) == 0 &&
         std::memchr(&img.known[from], 0, n) == nullptr;
}

// A message longer than the image goes on into the columns of a wider
// terminal, so that its reason is not cut at 80; those cells are blanked
// again when the message goes.
void send_message_beyond(backend *out, const std::string &line) {
  const int wide = out->columns();
  if (wide <= img.cols) {
    message_beyond = 0;
    return;
  }
  const int want =
      msg.shown ? std::clamp(static_cast<int>(line.size()) - img.cols, 0, wide - img.cols) : 0;
  const int r = message_row();
  for (int i = 0; i < std::max(want, message_beyond); ++i)
    out->put_cell(r, img.cols + i,
                  i < want ? overlay_cell(line, img.cols + i) : cell{' ', ATTR_PLAIN});
  message_beyond = want;
}

int send_changes(bool all) {
  ensure_image();
  backend *out = current_backend();
  if (!out->ready()) return 0;
  const std::string line = msg.shown ? message_line() : std::string();
  for (int r = 0; r < img.lines; ++r) {
    const bool over = msg.shown && r == message_row();
    if (!all && !over && row_current(r)) continue;
    for (int c = 0; c < img.cols; ++c) {
      const size_t i = static_cast<size_t>(r) * img.cols + c;
      const cell want = over ? overlay_cell(line, c) : drawn_cell(r, c);
      if (!all && img.known[i] && img.shown[i] == want) continue;
      out->put_cell(r, c, want);
      img.shown[i] = want;
      img.known[i] = 1;
    }
  }
  send_message_beyond(out, line);
  return out->flush(img.row, img.col);
}

cell *at(int row, int col) { return &img.drawn[static_cast<size_t>(row) * img.cols + col]; }

} // namespace

void reset_image(int lines, int cols) {
  img.lines = std::max(lines, 1);
  img.cols = std::max(cols, 1);
  const size_t n = static_cast<size_t>(img.lines) * img.cols;
  img.drawn.assign(n, cell{});
  img.shown.assign(n, cell{});
  img.known.assign(n, 0);
  img.row = img.col = 0;
}

int image_lines() { return img.lines; }
int image_cols() { return img.cols; }

cell shown_cell(int row, int col) {
  ensure_image();
  if (row < 0 || col < 0 || row >= img.lines || col >= img.cols) return cell{};
  return img.shown[static_cast<size_t>(row) * img.cols + col];
}

int repaint_all() { return send_changes(true); }

void mark_shown_blank() {
  ensure_image();
  std::fill(img.shown.begin(), img.shown.end(), cell{});
  std::fill(img.known.begin(), img.known.end(), uint8_t{1});
}

const message_state &message() { return msg; }

void select_backend(backend *b) { active = b; }
backend *current_backend() { return active ? active : terminal_backend(); }

void reset_state() {
  msg = message_state{};
  message_remove_pending = false;
  message_beyond = 0;
  reset_editor();
}

// Position of the i-th character of a field starting at (row, col): a field
// wider than the rest of its line goes on at column 0 of the next lines.
// False when the position falls outside the image.
bool field_pos(int row, int col, int i, int *r, int *c) {
  const long lin = static_cast<long>(row) * img.cols + col + i;
  *r = static_cast<int>(lin / img.cols);
  *c = static_cast<int>(lin % img.cols);
  return *r < img.lines;
}

void draw_at(int row, int col, int i, cell c) {
  int r, cc;
  if (field_pos(row, col, i, &r, &cc)) *at(r, cc) = c;
}

void set_cursor(int row, int col) {
  img.row = std::clamp(row, 0, img.lines - 1);
  img.col = std::clamp(col, 0, img.cols - 1);
}

void key_arrived() {
  if (!message_remove_pending) return;
  message_remove_pending = false;
  msg.shown = false;
  send_changes(false);
}

} // namespace xnscreen

using namespace xnscreen;

int load_tdi_scrn(uint32_t tdi_handle, void *block) {
  if (!block) return ST_FAILED;
  tdi_ctrl ctrl{};
  int st = get_ctrl_tdi(tdi_handle, &ctrl);
  if (st != 0) return st;
  int lines = ctrl.lines ? ctrl.lines : FORM_LINES;
  int cols = ctrl.columns ? ctrl.columns : FORM_COLS;
  // The in-memory screen plays the terminal: its size is the one given.
  if (current_backend() == memory_backend()) {
    lines = image_lines();
    cols = image_cols();
  }
  const uint16_t last_line = static_cast<uint16_t>(lines - 1);
  const uint16_t last_col = static_cast<uint16_t>(cols - 1);
  auto *b = static_cast<unsigned char *>(block);
  std::memcpy(b + SCRN_LAST_LINE, &last_line, sizeof last_line);
  std::memcpy(b + SCRN_LAST_COL, &last_col, sizeof last_col);
  // A description too large for a block is refused by the caller; keep the
  // image of a sane size meanwhile.
  if (static_cast<long>(lines) * cols < 65535) reset_image(lines, cols);
  return 0;
}

int connect_scrn(int, int) {
  ensure_image();
  int st = current_backend()->open();
  if (st != 0) return st;
  return update_scrn();
}

void disconnect_scrn() { current_backend()->close(); }

int set_pos_scrn(uint16_t row, uint16_t col) {
  ensure_image();
  set_cursor(row, col);
  return 0;
}

int erase_eol_scrn() {
  ensure_image();
  for (int c = img.col; c < img.cols; ++c) *at(img.row, c) = cell{};
  return 0;
}

int erase_all_scrn() {
  ensure_image();
  std::fill(img.drawn.begin(), img.drawn.end(), cell{});
  return 0;
}

int bell_scrn() {
  current_backend()->bell();
  return 0;
}

int update_scrn() { return send_changes(false); }

int putfld_scrn(const char *text, field_ctl *ctl) {
  if (!ctl) return ST_FAILED;
  ensure_image();
  const int n = text ? ctl->len : 0;
  for (int i = 0; i < n; ++i) {
    const uint8_t ch = static_cast<uint8_t>(text[i]);
    draw_at(ctl->row, ctl->col, i, cell{ch ? ch : uint8_t(' '), ctl->attr});
  }
  return 0;
}

int get_info_scrn(scrn_info *info) {
  if (!info) return ST_FAILED;
  ensure_image();
  *info = scrn_info{};
  info->lines = static_cast<uint16_t>(img.lines);
  info->cols = static_cast<uint16_t>(img.cols);
  info->colour = current_backend()->colour() ? 1 : 0;
  info->edit_attr = EDIT_ATTR;
  return 0;
}

int getkey_scrn(key_rec *key, uint16_t) {
  if (!key) return ST_FAILED;
  *key = key_rec{};
  int st = current_backend()->read_key(key);
  if (st != 0) return st;
  key_arrived();
  return 0;
}

int dis_msg_scrn(uint32_t code, int mode, const char *text, uint16_t len) {
  ensure_image();
  if (mode == MSG_MODE_SHOW) {
    message_remove_pending = false;
    msg.shown = true;
    msg.code = code;
    msg.text.clear();
    if (text) msg.text.assign(text, text + len);
    return send_changes(false);
  }
  if (mode == MSG_MODE_REMOVE) {
    // Left up until the user acts, so that a message shown just before an
    // input loop can be read.
    if (msg.shown) message_remove_pending = true;
    return 0;
  }
  if (mode == MSG_MODE_CLOSE) {
    message_remove_pending = false;
    if (!msg.shown) return 0;
    msg.shown = false;
    return send_changes(false);
  }
  return ST_FAILED;
}
