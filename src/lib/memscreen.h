// Test control of the in-memory screen: the same screen services as the
// terminal, over a grid of cells, a queue of scripted keys and a count of
// bells. Only tests include this header.
#pragma once

#include <cstdint>
#include <string>

// Status getkey_scrn and getfld_scrn return when the key script is used up,
// so that a screen under test ends instead of waiting for ever.
constexpr int ST_SCRIPT_END = 0xFFE;

// Makes the next connect_scrn use the in-memory screen of the given size and
// clears it, the key queue, the bell count and the output count. Also marks
// the process as having a console so that display_open proceeds.
void memscreen_use(int lines = 24, int cols = 80);
// Back to the terminal for the next connect_scrn.
void memscreen_release();

// Key script. Codes are the key record codes (0x100 | c, 0x300 Enter, ...).
void memscreen_push_key(uint16_t code);
// Each byte of `text` as a typed character.
void memscreen_push_text(const char *text);
size_t memscreen_keys_left();

// What the screen shows, message line included.
std::string memscreen_row(int row);       // the row's characters
uint8_t memscreen_attr(int row, int col); // attribute of one cell
char memscreen_char(int row, int col);
int memscreen_cursor_row();
int memscreen_cursor_col();
int memscreen_bells();
bool memscreen_message_shown();
uint32_t memscreen_message_code();
std::string memscreen_message_text();
// Number of cells that changed since memscreen_use, counted at update_scrn
// (stands in for output bytes: a screen that repaints in full shows here).
uint64_t memscreen_cells_written();
