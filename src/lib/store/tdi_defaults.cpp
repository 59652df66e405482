// Built-in terminal descriptions of the 25 base types: their keyboards'
// real sequences, screen sizes, line-drawing codes and colour maps.
#include "lib/store/tdi_defaults.h"

#include "lib/strs.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <string>

namespace xnstore {

namespace {

// Key types and codes, as the runtime reads them (see type_text,
// ifunc_text and edit_text).
constexpr uint8_t T_IFUNC = 0, T_EDIT = 2, T_ESCAPE = 3, T_FKEY = 4;
constexpr uint8_t IF_TERMINATE = 0, IF_CANCEL = 1, IF_INTERRUPT = 2;
constexpr uint8_t ED_LEFT = 0, ED_RIGHT = 1, ED_UP = 2, ED_DOWN = 3, ED_HOME = 4, ED_END = 5,
                  ED_BACKSPACE = 8, ED_DELETE = 9, ED_INSERT = 10, ED_TAB = 13, ED_BACKTAB = 14;
constexpr uint8_t ESC_PAGE_UP = 1, ESC_PAGE_DOWN = 2;

struct key_def {
  const char *seq; // raw bytes
  uint8_t type;
  uint8_t code;
  const char *label;
};

// Keys every screen-capable keyboard has, whatever its escape sequences.
// clang-format off
constexpr key_def common_keys[] = {
    {"\r", T_IFUNC, IF_TERMINATE, "Enter"},
    {"\033", T_IFUNC, IF_CANCEL, "Escape"},
    {"\003", T_IFUNC, IF_INTERRUPT, "Ctrl-C"},
    {"\t", T_EDIT, ED_TAB, "Tab"},
};
// clang-format on

constexpr key_def bs_del[] = {{"\177", T_EDIT, ED_BACKSPACE, "Backspace"}};
constexpr key_def bs_ctrl_h[] = {{"\010", T_EDIT, ED_BACKSPACE, "Backspace"},
                                 {"\177", T_EDIT, ED_DELETE, "Delete"}};

// clang-format off
constexpr key_def arrows_csi[] = {
    {"\033[A", T_EDIT, ED_UP, "Up Arrow"},     {"\033[B", T_EDIT, ED_DOWN, "Down Arrow"},
    {"\033[C", T_EDIT, ED_RIGHT, "Right Arrow"}, {"\033[D", T_EDIT, ED_LEFT, "Left Arrow"},
};
// clang-format on
// clang-format off
constexpr key_def arrows_ss3[] = {
    {"\033OA", T_EDIT, ED_UP, "Up (keypad)"},     {"\033OB", T_EDIT, ED_DOWN, "Down (keypad)"},
    {"\033OC", T_EDIT, ED_RIGHT, "Right (keypad)"}, {"\033OD", T_EDIT, ED_LEFT, "Left (keypad)"},
};
// clang-format on
// clang-format off
constexpr key_def pf_keys[] = {
    {"\033OP", T_FKEY, 1, "F1"}, {"\033OQ", T_FKEY, 2, "F2"},
    {"\033OR", T_FKEY, 3, "F3"}, {"\033OS", T_FKEY, 4, "F4"},
};
// clang-format on
// clang-format off
constexpr key_def tilde_f5_f12[] = {
    {"\033[15~", T_FKEY, 5, "F5"},   {"\033[17~", T_FKEY, 6, "F6"},
    {"\033[18~", T_FKEY, 7, "F7"},   {"\033[19~", T_FKEY, 8, "F8"},
    {"\033[20~", T_FKEY, 9, "F9"},   {"\033[21~", T_FKEY, 10, "F10"},
    {"\033[23~", T_FKEY, 11, "F11"}, {"\033[24~", T_FKEY, 12, "F12"},
};
// clang-format on
// clang-format off
constexpr key_def tilde_f1_f4[] = {
    {"\033[11~", T_FKEY, 1, "F1"}, {"\033[12~", T_FKEY, 2, "F2"},
    {"\033[13~", T_FKEY, 3, "F3"}, {"\033[14~", T_FKEY, 4, "F4"},
};
// clang-format on
// clang-format off
constexpr key_def linux_f1_f5[] = {
    {"\033[[A", T_FKEY, 1, "F1"}, {"\033[[B", T_FKEY, 2, "F2"}, {"\033[[C", T_FKEY, 3, "F3"},
    {"\033[[D", T_FKEY, 4, "F4"}, {"\033[[E", T_FKEY, 5, "F5"},
};
// clang-format on
// Insert, Delete, Page Up and Page Down of the VT220 editing keypad.
// clang-format off
constexpr key_def vt_edit_keys[] = {
    {"\033[2~", T_EDIT, ED_INSERT, "Insert"},
    {"\033[3~", T_EDIT, ED_DELETE, "Delete"},
    {"\033[5~", T_ESCAPE, ESC_PAGE_UP, "Page Up"},
    {"\033[6~", T_ESCAPE, ESC_PAGE_DOWN, "Page Down"},
};
// clang-format on
// clang-format off
constexpr key_def home_end_xterm[] = {
    {"\033[H", T_EDIT, ED_HOME, "Home"}, {"\033[F", T_EDIT, ED_END, "End"},
    {"\033OH", T_EDIT, ED_HOME, "Home (keypad)"}, {"\033OF", T_EDIT, ED_END, "End (keypad)"},
    {"\033[Z", T_EDIT, ED_BACKTAB, "Back Tab"},
};
// clang-format on
// clang-format off
constexpr key_def home_end_tilde[] = {
    {"\033[1~", T_EDIT, ED_HOME, "Home"}, {"\033[4~", T_EDIT, ED_END, "End"},
    {"\033[Z", T_EDIT, ED_BACKTAB, "Back Tab"},
};
// clang-format on
// clang-format off
constexpr key_def home_end_rxvt[] = {
    {"\033[7~", T_EDIT, ED_HOME, "Home"}, {"\033[8~", T_EDIT, ED_END, "End"},
};
// clang-format on
// clang-format off
constexpr key_def vt52_keys[] = {
    {"\033A", T_EDIT, ED_UP, "Up Arrow"},   {"\033B", T_EDIT, ED_DOWN, "Down Arrow"},
    {"\033C", T_EDIT, ED_RIGHT, "Right Arrow"}, {"\033D", T_EDIT, ED_LEFT, "Left Arrow"},
    {"\033P", T_FKEY, 1, "F1"}, {"\033Q", T_FKEY, 2, "F2"}, {"\033R", T_FKEY, 3, "F3"},
};
// clang-format on
// Function keys of the console that numbers them M..X after CSI.
// clang-format off
constexpr key_def ansi_keys[] = {
    {"\033[H", T_EDIT, ED_HOME, "Home"},       {"\033[F", T_EDIT, ED_END, "End"},
    {"\033[L", T_EDIT, ED_INSERT, "Insert"},   {"\033[I", T_ESCAPE, ESC_PAGE_UP, "Page Up"},
    {"\033[G", T_ESCAPE, ESC_PAGE_DOWN, "Page Down"},
    {"\033[M", T_FKEY, 1, "F1"},  {"\033[N", T_FKEY, 2, "F2"},  {"\033[O", T_FKEY, 3, "F3"},
    {"\033[P", T_FKEY, 4, "F4"},  {"\033[Q", T_FKEY, 5, "F5"},  {"\033[R", T_FKEY, 6, "F6"},
    {"\033[S", T_FKEY, 7, "F7"},  {"\033[T", T_FKEY, 8, "F8"},  {"\033[U", T_FKEY, 9, "F9"},
    {"\033[V", T_FKEY, 10, "F10"}, {"\033[W", T_FKEY, 11, "F11"}, {"\033[X", T_FKEY, 12, "F12"},
};
// clang-format on
// Wyse and TeleVideo keyboards: control-character arrows, SOH function keys.
// clang-format off
constexpr key_def wyse_keys[] = {
    {"\010", T_EDIT, ED_LEFT, "Left Arrow"},  {"\012", T_EDIT, ED_DOWN, "Down Arrow"},
    {"\013", T_EDIT, ED_UP, "Up Arrow"},      {"\014", T_EDIT, ED_RIGHT, "Right Arrow"},
    {"\036", T_EDIT, ED_HOME, "Home"},        {"\177", T_EDIT, ED_BACKSPACE, "Backspace"},
    {"\033Q", T_EDIT, ED_INSERT, "Insert"},   {"\033W", T_EDIT, ED_DELETE, "Delete"},
    {"\033J", T_ESCAPE, ESC_PAGE_UP, "Page Up"}, {"\033K", T_ESCAPE, ESC_PAGE_DOWN, "Page Down"},
    {"\033I", T_EDIT, ED_BACKTAB, "Back Tab"},
    {"\001@\r", T_FKEY, 1, "F1"},  {"\001A\r", T_FKEY, 2, "F2"},  {"\001B\r", T_FKEY, 3, "F3"},
    {"\001C\r", T_FKEY, 4, "F4"},  {"\001D\r", T_FKEY, 5, "F5"},  {"\001E\r", T_FKEY, 6, "F6"},
    {"\001F\r", T_FKEY, 7, "F7"},  {"\001G\r", T_FKEY, 8, "F8"},  {"\001H\r", T_FKEY, 9, "F9"},
    {"\001I\r", T_FKEY, 10, "F10"}, {"\001J\r", T_FKEY, 11, "F11"}, {"\001K\r", T_FKEY, 12, "F12"},
};
// clang-format on
// clang-format off
constexpr key_def tvi_keys[] = {
    {"\010", T_EDIT, ED_LEFT, "Left Arrow"},  {"\026", T_EDIT, ED_DOWN, "Down Arrow"},
    {"\013", T_EDIT, ED_UP, "Up Arrow"},      {"\014", T_EDIT, ED_RIGHT, "Right Arrow"},
    {"\036", T_EDIT, ED_HOME, "Home"},        {"\177", T_EDIT, ED_BACKSPACE, "Backspace"},
    {"\033Q", T_EDIT, ED_INSERT, "Insert"},   {"\033W", T_EDIT, ED_DELETE, "Delete"},
    {"\001@\r", T_FKEY, 1, "F1"}, {"\001A\r", T_FKEY, 2, "F2"}, {"\001B\r", T_FKEY, 3, "F3"},
    {"\001C\r", T_FKEY, 4, "F4"}, {"\001D\r", T_FKEY, 5, "F5"}, {"\001E\r", T_FKEY, 6, "F6"},
    {"\001F\r", T_FKEY, 7, "F7"}, {"\001G\r", T_FKEY, 8, "F8"}, {"\001H\r", T_FKEY, 9, "F9"},
};
// clang-format on
// clang-format off
constexpr key_def ibm3151_keys[] = {
    {"\033A", T_EDIT, ED_UP, "Up Arrow"},     {"\033B", T_EDIT, ED_DOWN, "Down Arrow"},
    {"\033C", T_EDIT, ED_RIGHT, "Right Arrow"}, {"\033D", T_EDIT, ED_LEFT, "Left Arrow"},
    {"\033H", T_EDIT, ED_HOME, "Home"},       {"\033 P", T_EDIT, ED_INSERT, "Insert"},
    {"\033Q", T_EDIT, ED_DELETE, "Delete"},
    {"\033a\r", T_FKEY, 1, "F1"},  {"\033b\r", T_FKEY, 2, "F2"},  {"\033c\r", T_FKEY, 3, "F3"},
    {"\033d\r", T_FKEY, 4, "F4"},  {"\033e\r", T_FKEY, 5, "F5"},  {"\033f\r", T_FKEY, 6, "F6"},
    {"\033g\r", T_FKEY, 7, "F7"},  {"\033h\r", T_FKEY, 8, "F8"},  {"\033i\r", T_FKEY, 9, "F9"},
    {"\033j\r", T_FKEY, 10, "F10"}, {"\033k\r", T_FKEY, 11, "F11"}, {"\033l\r", T_FKEY, 12, "F12"},
};
// clang-format on
// clang-format off
constexpr key_def sun_keys[] = {
    {"\033[214z", T_EDIT, ED_HOME, "Home"},     {"\033[220z", T_EDIT, ED_END, "End"},
    {"\033[216z", T_ESCAPE, ESC_PAGE_UP, "Page Up"},
    {"\033[222z", T_ESCAPE, ESC_PAGE_DOWN, "Page Down"},
    {"\033[247z", T_EDIT, ED_INSERT, "Insert"},
    {"\033[224z", T_FKEY, 1, "F1"},  {"\033[225z", T_FKEY, 2, "F2"},  {"\033[226z", T_FKEY, 3, "F3"},
    {"\033[227z", T_FKEY, 4, "F4"},  {"\033[228z", T_FKEY, 5, "F5"},  {"\033[229z", T_FKEY, 6, "F6"},
    {"\033[230z", T_FKEY, 7, "F7"},  {"\033[231z", T_FKEY, 8, "F8"},  {"\033[232z", T_FKEY, 9, "F9"},
    {"\033[233z", T_FKEY, 10, "F10"}, {"\033[234z", T_FKEY, 11, "F11"}, {"\033[235z", T_FKEY, 12, "F12"},
};
// clang-format on
// clang-format off
constexpr key_def line_mode_keys[] = {
    {"\n", T_IFUNC, IF_TERMINATE, "Line Feed"},
    {"\010", T_EDIT, ED_BACKSPACE, "Backspace"},
    {"\177", T_EDIT, ED_BACKSPACE, "Delete"},
};
// clang-format on

void add(std::vector<key_cfg> &keys, std::span<const key_def> defs) {
  for (const key_def &d : defs) {
    key_cfg k{};
    k.length = static_cast<uint8_t>(std::strlen(d.seq));
    std::memcpy(k.bytes, d.seq, k.length);
    k.key_word = static_cast<uint16_t>((d.type << 8) | d.code);
    std::strncpy(k.label, d.label, sizeof k.label - 1);
    keys.push_back(k);
  }
}

// Keyboard of each base type, by family.
void add_keyboard(uint8_t base, std::vector<key_cfg> &keys) {
  if (base != 16) add(keys, common_keys);
  switch (base) {
  case 0: // ansi
    add(keys, arrows_csi), add(keys, ansi_keys), add(keys, bs_ctrl_h);
    break;
  case 1: // vt100, vt102: PF1-PF4 as F1-F4, Backspace sends BS
  case 2:
    add(keys, arrows_csi), add(keys, arrows_ss3), add(keys, pf_keys), add(keys, bs_ctrl_h);
    break;
  case 3: // vt220 family: editing keypad, F6 and up
  case 4:
  case 17:
    add(keys, arrows_csi), add(keys, arrows_ss3), add(keys, pf_keys);
    add(keys, vt_edit_keys), add(keys, home_end_tilde);
    add(keys, std::span(tilde_f5_f12).subspan(1)), add(keys, bs_del);
    break;
  case 5: // vt52
    add(keys, vt52_keys), add(keys, bs_ctrl_h);
    break;
  case 8:  // linux console
  case 13: // Windows 8-colour console, which sends the same keys
    add(keys, arrows_csi), add(keys, linux_f1_f5), add(keys, vt_edit_keys);
    add(keys, home_end_tilde), add(keys, std::span(tilde_f5_f12).subspan(1));
    add(keys, bs_del);
    break;
  case 9: // screen, tmux
  case 10:
    add(keys, arrows_csi), add(keys, arrows_ss3), add(keys, pf_keys);
    add(keys, vt_edit_keys), add(keys, home_end_tilde), add(keys, tilde_f5_f12);
    add(keys, bs_del);
    break;
  case 14: // putty
    add(keys, arrows_csi), add(keys, arrows_ss3), add(keys, tilde_f1_f4);
    add(keys, vt_edit_keys), add(keys, home_end_tilde), add(keys, tilde_f5_f12);
    add(keys, bs_del);
    break;
  case 15: // rxvt
    add(keys, arrows_csi), add(keys, arrows_ss3), add(keys, tilde_f1_f4);
    add(keys, vt_edit_keys), add(keys, home_end_rxvt), add(keys, tilde_f5_f12);
    add(keys, bs_del);
    break;
  case 16: // line mode: a line is typed and ended, nothing more
    add(keys, common_keys), add(keys, line_mode_keys);
    break;
  case 20: // Wyse 60, 50
  case 21: add(keys, wyse_keys); break;
  case 22: add(keys, tvi_keys); break;
  case 23: add(keys, ibm3151_keys), add(keys, bs_ctrl_h); break;
  case 24: add(keys, arrows_csi), add(keys, sun_keys), add(keys, bs_ctrl_h); break;
  default: // xterm family and the Windows consoles with terminal input
    add(keys, arrows_csi), add(keys, arrows_ss3), add(keys, pf_keys);
    add(keys, vt_edit_keys), add(keys, home_end_xterm), add(keys, tilde_f5_f12);
    add(keys, bs_del);
    break;
  }
}

// Every key whose lead byte begins a longer sequence is an extended key, so
// that the keys sharing a lead byte agree.
void mark_extended(std::vector<key_cfg> &keys) {
  bool lead[256] = {};
  for (const key_cfg &k : keys)
    if (k.length > 1) lead[k.bytes[0]] = true;
  for (key_cfg &k : keys)
    if (k.length > 0 && lead[k.bytes[0]]) k.key_word |= KEYW_EXT;
}

bool windows_console(uint8_t base) { return base >= 11 && base <= 13; }

// Console attributes of the attribute combinations: bold brightens,
// underline shows cyan, reverse swaps to a light background, blink shows
// in brown/yellow.
constexpr uint8_t console_colours[16] = {0x07, 0x0F, 0x03, 0x0B, 0x70, 0x7F, 0x30, 0x3F,
                                         0x06, 0x0E, 0x02, 0x0A, 0x60, 0x6F, 0x20, 0x2F};

void fill_ctrl(uint8_t base, tdi_ctrl &c) {
  c = tdi_ctrl{};
  std::string comment = std::string("Standard ") + term_strs[base];
  std::strncpy(c.comment, comment.c_str(), sizeof c.comment - 1);
  c.base_type = base;
  c.cursor_type = 0;
  c.beep = 1;
  c.lines = 24;
  c.columns = 80;
  c.compress_columns = 132;
  c.kbd_timeout = 5;
  for (int i = 0; i < 256; ++i) c.display_map[i] = static_cast<uint8_t>(i);
  static constexpr uint8_t cp437[6] = {218, 191, 217, 192, 196, 179};
  static constexpr uint8_t dec[6] = {0x6C, 0x6B, 0x6A, 0x6D, 0x71, 0x78};
  static constexpr uint8_t ascii[6] = {'+', '+', '+', '+', '-', '|'};
  const uint8_t *draw = dec;
  if (windows_console(base) || base == 0 || base == 8)
    draw = cp437;
  else if (base == 16 || base >= 20)
    draw = ascii;
  std::memcpy(c.line_draw, draw, 6);
  if (windows_console(base)) {
    std::memcpy(c.colour_map, console_colours, 16);
    if (base == 13) // eight base colours; the blink half repeats them
      std::memcpy(c.colour_map + 8, console_colours, 8);
    std::strncpy(c.font_name, "Terminal", sizeof c.font_name - 1);
    c.font_size = 16;
  }
}

} // namespace

bool key_less(const key_cfg &a, const key_cfg &b) {
  int n = std::min(a.length, b.length);
  int r = std::memcmp(a.bytes, b.bytes, static_cast<size_t>(n));
  if (r != 0) return r < 0;
  return a.length < b.length;
}

void tdi_default_data(uint8_t base, tdi_ctrl &ctrl, std::vector<key_cfg> &keys) {
  if (base >= TDI_TERM_TYPES) base = TDI_DEFAULT_TYPE;
  fill_ctrl(base, ctrl);
  keys.clear();
  add_keyboard(base, keys);
  mark_extended(keys);
  std::stable_sort(keys.begin(), keys.end(), key_less);
}

} // namespace xnstore
