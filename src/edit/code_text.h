// The row texts the two 256-code screens share: a byte described by its
// decimal, octal and hexadecimal values and what it stands for, and the
// Chr column's view of a byte.
#pragma once

#include <cstddef>
#include <cstdint>

// Longest description plus its terminator.
constexpr size_t CODE_TEXT_SIZE = 24;

// "%3u %3.3o %2.2X  " followed by Ctrl-X below 32, Space for 32, ASCII "c"
// for 33 to 126 and a backslash with three octal digits from 127.
void describe_code(uint8_t b, char *out);

// The Chr column: "(c)" with the byte itself where the device shows it (bit
// 5 or 6 set, or 128 to 159 when `c1_printable`), else "N/D". The screen
// draws every byte through its glyph table, so no byte shown here ever
// reaches the user's terminal as a control.
void chr_text(uint8_t b, bool c1_printable, char *out);
