// Shared core of the screen services: the screen image, the message overlay
// and the interface both output backends (terminal, memory) implement.
#pragma once
#ifndef XN_LIBRARY_BUILD
#error "an internal header of the runtime library: the program includes src/lib/*.h only"
#endif

#include <cstdint>
#include <vector>

#include "lib/scrn.h"

namespace xnscreen {

// One character position: the byte shown and its video attribute.
struct cell {
  uint8_t ch = ' ';
  uint8_t attr = 0;
  bool operator==(const cell &) const = default;
};

// Attribute of the message line; not one the forms use.
constexpr uint8_t ATTR_MESSAGE = 2;

// The forms are laid out for this area; a smaller terminal cannot show them.
constexpr int FORM_LINES = 24;
constexpr int FORM_COLS = 80;
constexpr int MESSAGE_ROW = 23;

// Attribute the line editor draws a field in (byte 6 of get_info_scrn). The
// same as the forms' input fields, so entering a field costs no repaint.
constexpr uint8_t EDIT_ATTR = ATTR_FIELD;

// What renders the image and reads keys. Only changed cells reach put_cell.
class backend {
public:
  virtual ~backend() = default;
  virtual int open() = 0;
  virtual void close() = 0;
  // True when cells sent now become visible (terminal connected).
  virtual bool ready() const = 0;
  virtual void put_cell(int row, int col, cell c) = 0;
  // Makes the sent cells visible with the cursor at (row, col).
  virtual int flush(int row, int col) = 0;
  // Waits for one key; 0 with key->code set, or a positive status.
  virtual int read_key(key_rec *key) = 0;
  virtual void bell() = 0;
  virtual bool colour() const = 0;
  // Columns the device shows; more than the image's when the terminal is
  // wider than the forms (0: the image's own).
  virtual int columns() const { return 0; }
};

backend *memory_backend();
backend *terminal_backend();
void select_backend(backend *b);
backend *current_backend();

// Resizes and blanks the image (and forgets what the backend shows).
void reset_image(int lines, int cols);
int image_lines();
int image_cols();
// What the screen shows, message overlay included, after the last update.
cell shown_cell(int row, int col);
// Sends every cell again (after a resize or a terminal that lost its
// contents), then flushes.
int repaint_all();
// The backend has just cleared the terminal: every cell counts as a shown
// blank, so that the next update sends only what is not blank.
void mark_shown_blank();
// Forgets the message and any insert/overtype state (fresh screen for tests).
void reset_state();

// Position of the i-th character of a field starting at (row, col): a field
// wider than the rest of its line goes on at column 0 of the next lines.
// False when the position falls outside the image.
bool field_pos(int row, int col, int i, int *r, int *c);
// Draws one character of such a field into the image (clipped).
void draw_at(int row, int col, int i, cell c);
void set_cursor(int row, int col);
// Called when a key has been read: carries out a deferred message take-down.
void key_arrived();
// Back to insert mode (the line editor's state).
void reset_editor();

struct message_state {
  bool shown = false;
  uint32_t code = 0;
  std::vector<uint8_t> text; // the caller's text, without the catalogue part
};
const message_state &message();

// Key codes for the line editor's own keys. Class 0x600 has no use in the
// program, which rings the bell for it; no code has low byte 1, which the
// program reads as ESC.
constexpr uint16_t KEYC_HOME = 0x610;
constexpr uint16_t KEYC_END = 0x612;
constexpr uint16_t KEYC_BACKSPACE = 0x613;
constexpr uint16_t KEYC_DELETE = 0x614;
constexpr uint16_t KEYC_INSERT = 0x615;
constexpr uint16_t KEYC_CLEAR = 0x616; // Ctrl-U
constexpr uint16_t KEYC_UNKNOWN = 0x6FE;

// Key code of one byte read from the keyboard outside any sequence.
uint16_t key_from_byte(uint8_t b);

} // namespace xnscreen
