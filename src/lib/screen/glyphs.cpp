// How the bytes of the configuration texts look on a Unicode terminal: the
// control bytes and the upper half through code page 437, so that the
// line-drawing bytes of the terminal descriptions show as box characters.
#include "lib/screen/glyphs.h"

#include <string_view>

namespace xnscreen {
namespace {

// Glyphs of bytes 0x00..0x1F. 0x00 shows as a blank, and so does 0x0B,
// which ends several questions to set the answer one column apart.
constexpr std::u16string_view LOW = u" ☺☻♥♦♣♠•◘○◙ ♀♪♫☼►◄↕‼¶§▬↨↑↓→←∟↔▲▼";
// Glyphs of bytes 0x80..0xFF.
constexpr std::u16string_view HIGH = u"ÇüéâäàåçêëèïîìÄÅ"
                                     u"ÉæÆôöòûùÿÖÜ¢£¥₧ƒ"
                                     u"áíóúñÑªº¿⌐¬½¼¡«»"
                                     u"░▒▓│┤╡╢╖╕╣║╗╝╜╛┐"
                                     u"└┴┬├─┼╞╟╚╔╩╦╠═╬╧"
                                     u"╨╤╥╙╘╒╓╫╪┘┌█▄▌▐▀"
                                     u"αßΓπΣσµτΦΘΩδ∞φε∩"
                                     u"≡±≥≤⌠⌡÷≈°∙·√ⁿ²■\u00A0";
static_assert(LOW.size() == 32);
static_assert(HIGH.size() == 128);

constexpr char16_t DEL_GLYPH = u'⌂';

} // namespace

char16_t glyph_of(uint8_t b) {
  if (b < 0x20) return LOW[b];
  if (b == 0x7F) return DEL_GLYPH;
  if (b < 0x80) return b;
  return HIGH[b - 0x80];
}

int byte_of_glyph(char32_t g) {
  if (g >= 0x20 && g < 0x7F) return static_cast<int>(g);
  for (size_t i = 0; i < HIGH.size(); ++i)
    if (HIGH[i] == g) return static_cast<int>(0x80 + i);
  return -1;
}

uint16_t key_from_byte(uint8_t b) {
  switch (b) {
  case '\r':
  case '\n': return 0x300;
  case 0x1B: return 0x301;
  case '\t': return 0x800;
  case 0x08:
  case 0x7F: return KEYC_BACKSPACE;
  case 0x15: return KEYC_CLEAR;
  default:
    if (b < 0x20) return KEYC_UNKNOWN;
    return static_cast<uint16_t>(0x100 | b);
  }
}

} // namespace xnscreen
