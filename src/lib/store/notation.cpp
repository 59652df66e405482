// The character notation of key sequences and the byte-string notation of
// printer translations: one reader for both, two canonical writers.
#include "lib/pti_store.h"
#include "lib/strs.h"
#include "lib/tdi_store.h"

#include <cstring>

namespace {

void put_octal(char *&out, unsigned char c) {
  *out++ = '\\';
  *out++ = static_cast<char>('0' + (c >> 6));
  *out++ = static_cast<char>('0' + ((c >> 3) & 7));
  *out++ = static_cast<char>('0' + (c & 7));
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool is_octal(char c) { return c >= '0' && c <= '7'; }

// Reads one byte at `p`, advancing it; false when the text is not readable.
// Forms: "!".."~" except "\" and "^"; "\\" "\^" "\ooo" "\xHH" "\e" "\n" "\r"
// "\t"; "^@".."^_", "^a".."^z" and "^?" for control bytes.
bool read_one(const char *&p, uint8_t &b) {
  auto c = static_cast<unsigned char>(*p);
  if (c == '\\') {
    char e = p[1];
    switch (e) {
    case '\\':
    case '^': b = static_cast<uint8_t>(e), p += 2; return true;
    case 'e': b = 27, p += 2; return true;
    case 'n': b = '\n', p += 2; return true;
    case 'r': b = '\r', p += 2; return true;
    case 't': b = '\t', p += 2; return true;
    case 'x': {
      int hi = hex_digit(p[2]);
      int lo = hi < 0 ? -1 : hex_digit(p[3]);
      if (lo < 0) return false;
      b = static_cast<uint8_t>(hi * 16 + lo), p += 4;
      return true;
    }
    default:
      if (e >= '0' && e <= '3' && is_octal(p[2]) && is_octal(p[3])) {
        b = static_cast<uint8_t>((e - '0') * 64 + (p[2] - '0') * 8 + (p[3] - '0'));
        p += 4;
        return true;
      }
      return false;
    }
  }
  if (c == '^') {
    char x = p[1];
    if (x == '?')
      b = 127;
    else if (x >= '@' && x <= '_')
      b = static_cast<uint8_t>(x - '@');
    else if (x >= 'a' && x <= 'z')
      b = static_cast<uint8_t>(x - 'a' + 1);
    else
      return false;
    p += 2;
    return true;
  }
  if (c < 33 || c > 126) return false;
  b = c, ++p;
  return true;
}

// Reads a whole text of at most `max` bytes; blanks at either end are
// ignored. Returns the number of bytes, or -1.
int read_notation(const char *text, uint8_t *bytes, int max) {
  if (text == nullptr) return -1;
  const char *p = text;
  while (*p == ' ') ++p;
  const char *end = p + std::strlen(p);
  while (end > p && end[-1] == ' ') --end;
  int n = 0;
  while (p < end) {
    uint8_t b = 0;
    if (n >= max || !read_one(p, b) || p > end) return -1;
    bytes[n++] = b;
  }
  return n;
}

} // namespace

void tdi_keystringtoasc(const uint8_t *bytes, uint8_t length, char *text, int /*line_mode*/) {
  // The line-mode type reads the same sequences, so it uses the same text.
  char *out = text;
  if (length > TDI_MAX_SEQUENCE) length = TDI_MAX_SEQUENCE;
  for (int i = 0; i < length; ++i) {
    uint8_t c = bytes[i];
    if (c == '\\' || c == '^') {
      *out++ = '\\';
      *out++ = static_cast<char>(c);
    } else if (c >= 33 && c <= 126) {
      *out++ = static_cast<char>(c);
    } else {
      put_octal(out, c);
    }
  }
  *out = '\0';
}

int tdi_asctokeystring(const char *text, uint8_t *bytes, uint8_t *length, int /*line_mode*/) {
  uint8_t buf[255];
  int max = *length;
  int n = read_notation(text, buf, max);
  if (n < 0) return 1;
  std::memcpy(bytes, buf, static_cast<size_t>(n));
  *length = static_cast<uint8_t>(n);
  return 0;
}

int pti_asctobytestring(const char *text, uint8_t *bytes, uint16_t *length) {
  uint8_t buf[PTI_MAX_CTRL_BYTES];
  int max = *length > PTI_MAX_CTRL_BYTES ? PTI_MAX_CTRL_BYTES : *length;
  int n = read_notation(text, buf, max);
  if (n < 0) return 1;
  std::memcpy(bytes, buf, static_cast<size_t>(n));
  *length = static_cast<uint16_t>(n);
  return 0;
}

void pti_bytestringtoasc(const uint8_t *bytes, uint8_t length, char *text) {
  char *out = text;
  for (int i = 0; i < length; ++i) {
    uint8_t c = bytes[i];
    if (c == '\\' || c == '^') {
      *out++ = '\\';
      *out++ = static_cast<char>(c);
    } else if (c >= 33 && c <= 126) {
      *out++ = static_cast<char>(c);
    } else if (c < 32) {
      *out++ = '^';
      *out++ = static_cast<char>(c + '@');
    } else if (c == 127) {
      *out++ = '^';
      *out++ = '?';
    } else {
      put_octal(out, c);
    }
  }
  *out = '\0';
}

int pti_find_printer(const char *name, uint16_t *index) {
  if (name == nullptr) return 1;
  for (uint16_t i = 0; i < PTI_PRINTER_TYPES; ++i)
    if (std::strcmp(name, pti_filename[i]) == 0) {
      *index = i;
      return 0;
    }
  return 1;
}
