// Row texts of the 256-code screens.
#include "edit/code_text.h"

#include <cstdio>
#include <cstring>

void describe_code(uint8_t b, char *out) {
  int n = std::snprintf(out, CODE_TEXT_SIZE, "%3u %3.3o %2.2X  ", b, b, b);
  char *rest = out + n;
  const size_t room = CODE_TEXT_SIZE - static_cast<size_t>(n);
  if (b < 32)
    std::snprintf(rest, room, "Ctrl-%c", b + 64);
  else if (b == 32)
    std::snprintf(rest, room, "Space");
  else if (b < 127)
    std::snprintf(rest, room, "ASCII \"%c\"", b);
  else
    std::snprintf(rest, room, "\\%3.3o", b);
}

void chr_text(uint8_t b, bool c1_printable, char *out) {
  const bool shows = (b & 0x60) != 0 || (c1_printable && b >= 128 && b <= 159);
  if (!shows) {
    std::strcpy(out, "N/D");
    return;
  }
  out[0] = '(';
  out[1] = static_cast<char>(b);
  out[2] = ')';
  out[3] = '\0';
}
