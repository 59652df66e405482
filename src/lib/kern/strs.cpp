// String tables of the library: choice texts indexed by stored values, the
// terminal and printer type names, and the PDF paper and font metrics.
#include "lib/strs.h"

#include <array>
#include <cstring>

const char *const os_target_strs[2] = {"UNIX", "Windows"};

// Display names (at most 16 columns) and terminfo names of the 25 terminal
// types; the index is the stored base type, so the order never changes.
const char *const term_strs[25] = {
    "ANSI",     "DEC VT100",       "DEC VT102",        "DEC VT220",        "DEC VT320",
    "DEC VT52", "Xterm",           "Xterm 256 Colour", "Linux Console",    "Screen",
    "Tmux",     "Windows Console", "Win VT Console",   "Windows 8-Colour", "PuTTY",
    "Rxvt",     "Line Mode",       "DEC VT420",        "Konsole",          "GNOME Terminal",
    "Wyse 60",  "Wyse 50",         "TeleVideo 925",    "IBM 3151",         "Sun Console"};
const char *const def_term_filename[25] = {
    "ansi",           "vt100",  "vt102",   "vt220", "vt320",       "vt52",           "xterm",
    "xterm-256color", "linux",  "screen",  "tmux",  "ms-terminal", "ms-vt100-color", "cygwin",
    "putty",          "rxvt",   "dumb",    "vt420", "konsole",     "gnome",          "wy60",
    "wy50",           "tvi925", "ibm3151", "sun"};
const char *const cursor_strs[3] = {"Normal", "Block", "Invisible"};
const char *const type_text[9] = {"Input Function", "Character",     "Edit Function",
                                  "Escape Key",     "Function Key",  "Shifted F-Key",
                                  "Hot Key Call",   "Control F-Key", "Alt F-Key"};
const char *const ifunc_text[4] = {"Field Terminate", "Field Cancel", "Program Interrupt",
                                   "Print Screen"};
const char *const edit_text[16] = {
    "Cursor Left", "Cursor Right",     "Cursor Up",     "Cursor Down",
    "Cursor Home", "Cursor End",       "Word Left",     "Word Right",
    "Backspace",   "Delete Character", "Insert Toggle", "Delete to End",
    "Delete Line", "Tab Forward",      "Tab Backward",  "Restore Field"};
const char *const ca_strs[16] = {"Normal",
                                 "Bold",
                                 "Underline",
                                 "Bold Underline",
                                 "Reverse",
                                 "Reverse Bold",
                                 "Reverse Underline",
                                 "Reverse Bold Underline",
                                 "Blink",
                                 "Blink Bold",
                                 "Blink Underline",
                                 "Blink Bold Underline",
                                 "Blink Reverse",
                                 "Blink Reverse Bold",
                                 "Blink Reverse Underline",
                                 "Blink Reverse Bold Underline"};

// Shown on the 15-column Base line, and the comment of a new translation.
const char *const pti_comment[3] = {"Plain text", "PCL laser", "Dot matrix ESC"};
const char *const pti_filename[3] = {"generic", "pcl", "dotmatrix"};
const char *const printer_strs[3] = {"Generic", "PCL Laser", "Dot Matrix"};
const char *const ctrl_name_str[2] = {"Start Job", "End Job"};

const char *const abort_env_strs[2] = {"Allowed", "Not Allowed"};
const char *const scropt_env_strs[4] = {"Default", "Optimized", "Full Redraw", "Scroll Region"};
const char *const sdmode_env_strs[4] = {"Default", "Immediate", "Buffered", "Synchronous"};
const char *const reverse_env_strs[3] = {"Default", "Reverse", "No Reverse"};
const char *const color_env_strs[3] = {"Default", "Colour", "Monochrome"};
// In the order of the console attribute bits (blue 1, green 2, red 4).
const char *const fgbg_color_env_strs[8] = {"Black", "Blue",    "Green", "Cyan",
                                            "Red",   "Magenta", "Brown", "White"};

const char *const uart_baud_strs[11] = {"110",  "300",   "600",   "1200",  "2400", "4800",
                                        "9600", "19200", "38400", "57600", "115K"};
const char *const uart_data_strs[2] = {"7", "8"};
const char *const uart_parity_strs[3] = {"N", "E", "O"};
const char *const uart_stop_strs[2] = {"1", "2"};

const char *const pcq_disp_strs[3] = {"Keep", "Delete", "Hold"};

const char *const pdf_papername_strs[9] = {"Custom", "Letter",    "Legal",   "A4", "A3",
                                           "A5",     "Executive", "Tabloid", "B5"};
const uint16_t pdf_paper_width[9] = {0, 612, 612, 595, 842, 420, 522, 792, 499};
const uint16_t pdf_paper_height[9] = {0, 792, 1008, 842, 1191, 595, 756, 1224, 709};
const char *const pdf_fontname_strs[12] = {
    "Courier",     "Courier-Bold",   "Courier-Oblique",   "Courier-BoldOblique",
    "Helvetica",   "Helvetica-Bold", "Helvetica-Oblique", "Helvetica-BoldOblique",
    "Times-Roman", "Times-Bold",     "Times-Italic",      "Times-BoldItalic"};
const char *const pdf_varfontmode_strs[3] = {"Left", "Justify", "Center"};

namespace {

// Widths of the printable ASCII characters 32..126 in 1/1000 em, from the
// published metrics of the base fonts.
constexpr uint16_t helvetica_ascii[95] = {
    278, 278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333,  278, 278, 556, 556, 556,
    556, 556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556, 1015, 667, 667, 722, 722, 667,
    611, 778, 722, 278, 500, 667, 556, 833, 722, 778, 667, 778, 722, 667,  611, 722, 667, 944, 667,
    667, 611, 278, 278, 278, 469, 556, 333, 556, 556, 500, 556, 556, 278,  556, 556, 222, 222, 500,
    222, 833, 556, 556, 556, 556, 333, 500, 278, 556, 500, 722, 500, 500,  500, 334, 260, 334, 584};
constexpr uint16_t helvetica_bold_ascii[95] = {
    278, 333, 474, 556, 556, 889, 722, 238, 333, 333, 389, 584, 278, 333, 278, 278, 556, 556, 556,
    556, 556, 556, 556, 556, 556, 556, 333, 333, 584, 584, 584, 611, 975, 722, 722, 722, 722, 667,
    611, 778, 722, 278, 556, 722, 611, 833, 722, 778, 667, 778, 722, 667, 611, 722, 667, 944, 667,
    667, 611, 333, 278, 333, 584, 556, 333, 556, 611, 556, 611, 556, 333, 611, 611, 278, 278, 556,
    278, 889, 611, 611, 611, 611, 389, 556, 333, 611, 556, 778, 556, 556, 500, 389, 280, 389, 584};
constexpr uint16_t times_ascii[95] = {
    250, 333, 408, 500, 500, 833, 778, 180, 333, 333, 500, 564, 250, 333, 250, 278, 500, 500, 500,
    500, 500, 500, 500, 500, 500, 500, 278, 278, 564, 564, 564, 444, 921, 722, 667, 667, 722, 611,
    556, 722, 722, 333, 389, 722, 611, 889, 722, 722, 556, 722, 667, 556, 611, 722, 722, 944, 722,
    722, 611, 333, 278, 333, 469, 500, 333, 444, 500, 444, 500, 444, 333, 500, 500, 278, 278, 500,
    278, 778, 500, 500, 500, 500, 333, 389, 278, 500, 500, 722, 500, 500, 444, 480, 200, 480, 541};
constexpr uint16_t times_bold_ascii[95] = {
    250, 333, 555, 500, 500, 1000, 833, 278,  333, 333, 500, 570, 250, 333, 250, 278,
    500, 500, 500, 500, 500, 500,  500, 500,  500, 500, 333, 333, 570, 570, 570, 500,
    930, 722, 667, 722, 722, 667,  611, 778,  778, 389, 500, 778, 667, 944, 722, 778,
    611, 778, 722, 556, 667, 722,  722, 1000, 722, 722, 667, 333, 278, 333, 581, 500,
    333, 500, 556, 444, 556, 444,  333, 500,  556, 278, 333, 556, 278, 833, 556, 500,
    556, 556, 444, 389, 333, 556,  500, 722,  500, 500, 444, 394, 220, 394, 520};
constexpr uint16_t times_italic_ascii[95] = {
    250, 333, 420, 500, 500, 833, 778, 214, 333, 333, 500, 675, 250, 333, 250, 278, 500, 500, 500,
    500, 500, 500, 500, 500, 500, 500, 333, 333, 675, 675, 675, 500, 920, 611, 611, 667, 722, 611,
    611, 722, 722, 333, 444, 667, 556, 833, 667, 722, 611, 722, 611, 500, 556, 722, 611, 833, 611,
    556, 556, 389, 278, 389, 422, 500, 333, 500, 500, 444, 500, 444, 278, 500, 500, 278, 278, 444,
    278, 722, 500, 500, 500, 500, 389, 389, 278, 500, 444, 667, 444, 444, 389, 400, 275, 400, 541};
constexpr uint16_t times_bold_italic_ascii[95] = {
    250, 389, 555, 500, 500, 833, 778, 278, 333, 333, 500, 570, 250, 333, 250, 278, 500, 500, 500,
    500, 500, 500, 500, 500, 500, 500, 333, 333, 570, 570, 570, 500, 832, 667, 667, 667, 722, 667,
    667, 722, 778, 389, 500, 667, 611, 889, 722, 722, 611, 722, 667, 556, 611, 722, 667, 889, 667,
    611, 611, 333, 278, 333, 570, 500, 333, 500, 500, 444, 500, 444, 333, 500, 556, 278, 278, 500,
    278, 778, 556, 500, 500, 500, 389, 389, 278, 556, 444, 667, 500, 444, 389, 348, 220, 348, 570};

constexpr pdf_font_info make_font(const char *name, bool fixed, uint16_t average,
                                  const uint16_t *ascii) {
  pdf_font_info f{};
  for (int i = 0; name[i] != '\0' && i < 47; ++i) f.name[i] = name[i];
  f.no_alignment = fixed ? 1 : 0;
  f.char_width = average;
  for (int c = 0; c < 256; ++c)
    f.widths[c] = (ascii != nullptr && c >= 32 && c <= 126) ? ascii[c - 32] : average;
  return f;
}

} // namespace

// Fixed-pitch fonts take no alignment: every character is 600 wide.
const pdf_font_info pdf_font_info_tbl[12] = {
    make_font("Courier", true, 600, nullptr),
    make_font("Courier-Bold", true, 600, nullptr),
    make_font("Courier-Oblique", true, 600, nullptr),
    make_font("Courier-BoldOblique", true, 600, nullptr),
    make_font("Helvetica", false, 513, helvetica_ascii),
    make_font("Helvetica-Bold", false, 556, helvetica_bold_ascii),
    make_font("Helvetica-Oblique", false, 513, helvetica_ascii),
    make_font("Helvetica-BoldOblique", false, 556, helvetica_bold_ascii),
    make_font("Times-Roman", false, 453, times_ascii),
    make_font("Times-Bold", false, 480, times_bold_ascii),
    make_font("Times-Italic", false, 450, times_italic_ascii),
    make_font("Times-BoldItalic", false, 470, times_bold_italic_ascii)};
