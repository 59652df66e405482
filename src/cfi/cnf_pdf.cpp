// The "PDF Format Configuration" screen: a format chosen by number, edited
// on one form that keeps a live summary of the page, the printable area and
// the characters and lines that fit, in 1/72 inch and in inches.
#include <cstdint>
#include <cstring>
#include <iterator>

#include "cfi/cfi.h"
#include "cfi/pdf_page.h"
#include "lib/cfi_store.h"
#include "lib/kern.h"
#include "lib/status.h"
#include "lib/strs.h"
#include "scrmgr/binding.h"
#include "scrmgr/form_check.h"

namespace {

constexpr uint16_t LBL = FF_STATIC;
constexpr uint16_t INP = FF_DATA | FF_INPUT;
constexpr uint16_t OUT = FF_STATIC | FF_PAD;

// The selector: the format number on one line, with its own help line.
enum : uint16_t { SEL_TITLE, SEL_LABEL, SEL_NUMBER, SEL_HELP };
// clang-format off
form_field sel_fields[] = {
    {.kind = FIELD_LABEL, .flags = LBL, .row = 0, .col = 25, .width = 25, .attr = 5,
     .label = "PDF Format Configuration"},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 1, .col = 30, .width = 16, .label = "Format Number: "},
    // The range is the format count, set on every entry.
    {.kind = FIELD_NUMBER, .flags = INP, .row = 1, .col = 45, .width = 4, .attr = 4},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 22, .col = 0, .width = 80, .attr = 4,
     .label = "       Press <up>, <down> to alter number, Enter to select, ESC to exit.       "},
};
// clang-format on
static_assert(std::size(sel_fields) == SEL_HELP + 1);
form sel_form = make_form(FORM_FKEYS | FORM_LINE, sel_fields);
REGISTER_FORM(sel_form);

// The format form's fields by index; the callback and the visibility rules
// name them.
// clang-format off
enum : uint16_t {
  F_ENABLE_L, F_ENABLE, F_COMMENT_L, F_COMMENT,
  F_PAPER_L, F_PAPER, F_WIDTH_L, F_WIDTH, F_WIDTH_IN, F_HEIGHT_L, F_HEIGHT, F_HEIGHT_IN,
  F_BACKGROUND_L, F_BACKGROUND,
  F_USE_ONCE_L, F_USE_ONCE, F_REUSE_L, F_REUSE, F_MULTIPART_L, F_MULTIPART,
  F_SCALE_L, F_SCALE, F_CENTER_L, F_CENTER, F_FIT_L, F_FIT,
  F_MARGINS_L, F_TOP_L, F_TOP, F_TOP_IN, F_LEFT_L, F_LEFT, F_LEFT_IN,
  F_RIGHT_L, F_RIGHT, F_RIGHT_IN, F_BOTTOM_L, F_BOTTOM, F_BOTTOM_IN,
  F_FONT_L, F_FONT, F_ALIGN_L, F_ALIGN, F_SIZE_L, F_SIZE, F_SPACING_L, F_SPACING, F_SPACING_IN,
  F_AUTOWRAP_L, F_AUTOWRAP, F_LANDSCAPE_L, F_LANDSCAPE, F_PARTS_L, F_PARTS,
  F_SUMMARY_L, F_PAGE_L, F_PAGE_UNITS, F_PAGE_INCHES, F_AREA_L, F_AREA_UNITS, F_AREA_INCHES,
  F_ESTIMATE_L, F_ESTIMATE, F_UNITS_NOTE,
  F_COUNT
};
// clang-format on

// Text buffers: the two entered texts hold a record member each; the
// display texts are sized for the widest text the summary can make.
char comment_buf[32], background_buf[32];
char width_in[32], height_in[32], top_in[32], left_in[32], right_in[32], bottom_in[32],
    spacing_in[32];
char page_units[32], page_inches[64], area_units[32], area_inches[64], estimate_text[64];

int pdf_changed(uint16_t field);

// The format form. Rows read like the screen's table: labels, their input
// fields, and the display texts the screen fills. The inches of Width and
// Height are padded too, so "(11)" after "(8.5)" leaves no stray ")".
// clang-format off
form_field pdf_fields[] = {
    {.kind = FIELD_LABEL, .flags = LBL, .row = 3, .col = 0, .width = 8, .label = "Enable? "},
    {.kind = FIELD_YESNO, .flags = INP, .row = 3, .col = 8, .width = 1, .attr = 4, .max = 1},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 3, .col = 24, .width = 9, .label = "Comment:"},
    {.kind = FIELD_TEXT, .flags = INP | FF_ZEROFILL, .row = 3, .col = 33, .width = 31, .attr = 4,
     .text = comment_buf},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 5, .col = 0, .width = 6, .label = "Paper:"},
    {.kind = FIELD_CHOICE, .flags = INP | FF_NOTIFY, .row = 5, .col = 7, .width = 15, .attr = 4,
     .max = 8, .list = pdf_papername_strs},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 5, .col = 28, .width = 8, .label = "Width:"},
    {.kind = FIELD_NUMBER, .flags = INP | FF_NOTIFY, .row = 5, .col = 35, .width = 4, .attr = 4,
     .value = 612, .min = 72, .max = 1440},
    {.kind = FIELD_TEXT, .flags = OUT, .row = 5, .col = 40, .width = 10, .text = width_in},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 5, .col = 51, .width = 7, .label = "Height:"},
    {.kind = FIELD_NUMBER, .flags = INP | FF_NOTIFY, .row = 5, .col = 59, .width = 4, .attr = 4,
     .value = 792, .min = 72, .max = 1440},
    {.kind = FIELD_TEXT, .flags = OUT, .row = 5, .col = 64, .width = 10, .text = height_in},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 6, .col = 0, .width = 16, .label = "Background Form:"},
    {.kind = FIELD_TEXT, .flags = INP | FF_ZEROFILL | FF_NOTIFY, .row = 6, .col = 17, .width = 31,
     .attr = 4, .text = background_buf},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 7, .col = 0, .width = 8, .label = "UseOnce:"},
    {.kind = FIELD_YESNO, .flags = INP | FF_NOTIFY, .row = 7, .col = 9, .width = 1, .attr = 4, .max = 1},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 7, .col = 12, .width = 12, .label = "ReuseLastPg:"},
    {.kind = FIELD_YESNO, .flags = INP, .row = 7, .col = 25, .width = 1, .attr = 4, .max = 1},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 7, .col = 28, .width = 10, .label = "Multipart:"},
    {.kind = FIELD_YESNO, .flags = INP, .row = 7, .col = 39, .width = 1, .attr = 4, .max = 1},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 7, .col = 42, .width = 6, .label = "Scale:"},
    {.kind = FIELD_YESNO, .flags = INP, .row = 7, .col = 50, .width = 1, .attr = 4, .max = 1},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 7, .col = 53, .width = 7, .label = "Center:"},
    {.kind = FIELD_YESNO, .flags = INP, .row = 7, .col = 61, .width = 1, .attr = 4, .max = 1},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 7, .col = 64, .width = 11, .label = "FitMargins:"},
    {.kind = FIELD_YESNO, .flags = INP, .row = 7, .col = 76, .width = 1, .attr = 4, .max = 1},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 9, .col = 0, .width = 8, .label = "Margins:"},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 9, .col = 30, .width = 4, .label = "Top:"},
    {.kind = FIELD_NUMBER, .flags = INP | FF_NOTIFY, .row = 9, .col = 35, .width = 4, .attr = 4,
     .value = 36, .max = 1224},
    {.kind = FIELD_TEXT, .flags = OUT, .row = 9, .col = 40, .width = 10, .text = top_in},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 10, .col = 9, .width = 5, .label = "Left:"},
    {.kind = FIELD_NUMBER, .flags = INP | FF_NOTIFY, .row = 10, .col = 15, .width = 4, .attr = 4,
     .value = 18, .max = 1224},
    {.kind = FIELD_TEXT, .flags = OUT, .row = 10, .col = 20, .width = 10, .text = left_in},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 10, .col = 51, .width = 6, .label = "Right:"},
    {.kind = FIELD_NUMBER, .flags = INP | FF_NOTIFY, .row = 10, .col = 58, .width = 4, .attr = 4,
     .value = 18, .max = 1224},
    {.kind = FIELD_TEXT, .flags = OUT, .row = 10, .col = 64, .width = 10, .text = right_in},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 11, .col = 27, .width = 7, .label = "Bottom:"},
    {.kind = FIELD_NUMBER, .flags = INP | FF_NOTIFY, .row = 11, .col = 35, .width = 4, .attr = 4,
     .value = 36, .max = 1224},
    {.kind = FIELD_TEXT, .flags = OUT, .row = 11, .col = 40, .width = 10, .text = bottom_in},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 13, .col = 0, .width = 10, .label = "Font Name:"},
    {.kind = FIELD_CHOICE, .flags = INP | FF_NOTIFY, .row = 13, .col = 11, .width = 23, .attr = 4,
     .max = 11, .list = pdf_fontname_strs},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 13, .col = 40, .width = 10, .label = "Alignment:"},
    {.kind = FIELD_CHOICE, .flags = INP, .row = 13, .col = 57, .width = 10, .attr = 4, .max = 2,
     .list = pdf_varfontmode_strs},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 14, .col = 0, .width = 10, .label = "Font Size:"},
    {.kind = FIELD_NUMBER, .flags = INP | FF_NOTIFY, .row = 14, .col = 11, .width = 4, .attr = 4,
     .value = 12, .min = 2, .max = 72},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 14, .col = 40, .width = 13, .label = "Line Spacing:"},
    {.kind = FIELD_NUMBER, .flags = INP | FF_NOTIFY, .row = 14, .col = 57, .width = 4, .attr = 4,
     .max = 1440},
    {.kind = FIELD_TEXT, .flags = OUT, .row = 14, .col = 62, .width = 10, .text = spacing_in},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 16, .col = 0, .width = 9, .label = "Autowrap:"},
    {.kind = FIELD_YESNO, .flags = INP, .row = 16, .col = 10, .width = 1, .attr = 4, .max = 1},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 16, .col = 20, .width = 10, .label = "Landscape:"},
    {.kind = FIELD_YESNO, .flags = INP | FF_NOTIFY, .row = 16, .col = 31, .width = 1, .attr = 4, .max = 1},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 16, .col = 40, .width = 16, .label = "Multipart Count:"},
    {.kind = FIELD_NUMBER, .flags = INP, .row = 16, .col = 57, .width = 1, .attr = 4, .value = 1,
     .min = 1, .max = 9},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 18, .col = 0, .width = 8, .label = "Summary:"},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 18, .col = 10, .width = 10, .label = "Page Size:"},
    {.kind = FIELD_TEXT, .flags = OUT, .row = 18, .col = 28, .width = 18, .text = page_units},
    {.kind = FIELD_TEXT, .flags = OUT, .row = 18, .col = 48, .width = 24, .text = page_inches},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 19, .col = 10, .width = 15, .label = "Printable Area:"},
    {.kind = FIELD_TEXT, .flags = OUT, .row = 19, .col = 28, .width = 18, .text = area_units},
    {.kind = FIELD_TEXT, .flags = OUT, .row = 19, .col = 48, .width = 24, .text = area_inches},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 20, .col = 10, .width = 14, .label = "Approximately "},
    {.kind = FIELD_TEXT, .flags = OUT, .row = 20, .col = 28, .width = 50, .text = estimate_text},
    {.kind = FIELD_LABEL, .flags = LBL, .row = 21, .col = 2, .width = 78,
     .label = "Page Dimensions and Margins are in 1/72 inch units. Parentheses show inches."},
};
// clang-format on
static_assert(std::size(pdf_fields) == F_COUNT && F_COUNT == 64);
form pdf_form = make_form(FORM_FKEYS | FORM_VMOVE, pdf_fields, pdf_changed);
REGISTER_FORM(pdf_form);

// clang-format off
form_field pdf_help_fields[] = {
    {.kind = FIELD_LABEL, .flags = FF_DATA | FF_EOL, .row = 22, .col = 0, .width = 80, .attr = 4,
     .label = "    Press <up>, <down> or Enter, F3 previous, F4 next, F5 copy, ESC to exit."},
};
// clang-format on
form pdf_help_form = make_form(0, pdf_help_fields);
REGISTER_FORM(pdf_help_form);

// Fields copied both ways as they stand. Width, height and alignment are
// filled from the record too but taken by their own rules (take_format).
// clang-format off
constexpr field_binding pdf_bindings[] = {
    BIND(F_ENABLE, pdf_desc, enabled),
    BIND(F_COMMENT, pdf_desc, comment),
    BIND(F_FONT, pdf_desc, font),
    BIND(F_SIZE, pdf_desc, font_size),
    BIND(F_AUTOWRAP, pdf_desc, autowrap),
    BIND(F_LANDSCAPE, pdf_desc, landscape),
    BIND(F_USE_ONCE, pdf_desc, use_once),
    BIND(F_REUSE, pdf_desc, reuse_last_page),
    BIND(F_MULTIPART, pdf_desc, multipart),
    BIND(F_SCALE, pdf_desc, scale),
    BIND(F_CENTER, pdf_desc, center),
    BIND(F_FIT, pdf_desc, fit_margins),
    BIND(F_PAPER, pdf_desc, paper),
    BIND(F_LEFT, pdf_desc, left),
    BIND(F_RIGHT, pdf_desc, right),
    BIND(F_TOP, pdf_desc, top),
    BIND(F_BOTTOM, pdf_desc, bottom),
    BIND(F_SPACING, pdf_desc, line_spacing),
    BIND(F_PARTS, pdf_desc, multipart_count),
    BIND(F_BACKGROUND, pdf_desc, background_form),
};
// clang-format on
// clang-format off
constexpr field_binding pdf_fill_only[] = {
    BIND(F_WIDTH, pdf_desc, width),
    BIND(F_HEIGHT, pdf_desc, height),
    BIND(F_ALIGN, pdf_desc, alignment),
};
// clang-format on

// Where the trace line of a refused count says it comes from.
constexpr int TRACE_LINE_COUNT = 1128;

// Screen state: the format being edited, where the cursor resumes, the
// record under edit and the scratch record of the copy key.
uint16_t format_index;
uint16_t resume_field;
pdf_desc current, scratch;
// Whether the format as read leaves room for text. One that came in without
// (margins that cross on every paper, say) is not refused field by field:
// the accept loop would hold the cursor in the first watched field for
// good, and the user could never reach the margins to put them right.
bool loaded_valid;

uint16_t value_of(uint16_t field) { return pdf_fields[field].value; }

// Sets a display text; only a text that differs is marked for redrawing.
void set_text(uint16_t field, const char *text) {
  form_field &f = pdf_fields[field];
  if (std::strcmp(f.text, text) == 0) return;
  std::strcpy(f.text, text);
  f.flags |= FF_CHANGED;
}

void set_hidden(uint16_t field, bool hidden) {
  form_field &f = pdf_fields[field];
  const uint16_t was = f.flags;
  f.flags = static_cast<uint16_t>(hidden ? f.flags | FF_HIDDEN : f.flags & ~FF_HIDDEN);
  if (f.flags != was) f.flags |= FF_CHANGED;
}

// "(8.5)" for one value.
int show_inches(uint16_t field, uint16_t units) {
  char in[PDF_INCHES_SIZE], text[40];
  int st = pdf_inches_text(units, in);
  if (st > 0) return st;
  sprintf_kern(text, "(%s)", in);
  set_text(field, text);
  return 0;
}

// "612 x 792 units" and "(8.5 x 11 inches)" for a pair.
int show_pair(uint16_t units_field, uint16_t inches_field, pdf_size s) {
  char w[PDF_INCHES_SIZE], h[PDF_INCHES_SIZE], text[80];
  int st;
  if ((st = pdf_inches_text(s.width, w)) > 0 || (st = pdf_inches_text(s.height, h)) > 0) return st;
  sprintf_kern(text, "%u x %u units", unsigned{s.width}, unsigned{s.height});
  set_text(units_field, text);
  sprintf_kern(text, "(%s x %s inches)", w, h);
  set_text(inches_field, text);
  return 0;
}

// The layout the form shows now, on the page its paper and landscape make.
pdf_layout form_layout() {
  return {.page = pdf_effective_page(static_cast<uint8_t>(value_of(F_PAPER)), value_of(F_WIDTH),
                                     value_of(F_HEIGHT), value_of(F_LANDSCAPE) != 0),
          .left = value_of(F_LEFT),
          .right = value_of(F_RIGHT),
          .top = value_of(F_TOP),
          .bottom = value_of(F_BOTTOM),
          .line_spacing = value_of(F_SPACING),
          .font = static_cast<uint8_t>(value_of(F_FONT)),
          .font_size = static_cast<uint8_t>(value_of(F_SIZE))};
}

// The layout of a stored record: its own width and height, whatever the paper.
pdf_layout record_layout(const pdf_desc &r) {
  const pdf_size page = r.landscape ? pdf_size{r.height, r.width} : pdf_size{r.width, r.height};
  return {.page = page,
          .left = r.left,
          .right = r.right,
          .top = r.top,
          .bottom = r.bottom,
          .line_spacing = r.line_spacing,
          .font = r.font,
          .font_size = r.font_size};
}

// Sets the estimate text; true when it is a valid estimate.
bool show_estimate(const pdf_layout &l) {
  char text[64];
  const pdf_estimate e = pdf_text_estimate(l);
  sprintf_kern(text, "%u characters by %u lines", e.chars, e.lines);
  set_text(F_ESTIMATE, text);
  return e.valid();
}

// Page size, printable area and estimate of `l`; true when the estimate is
// valid.
int show_summary(const pdf_layout &l, bool *valid) {
  int st;
  if ((st = show_pair(F_PAGE_UNITS, F_PAGE_INCHES, l.page)) > 0) return st;
  if ((st = show_inches(F_SPACING_IN, l.line_spacing)) > 0) return st;
  if ((st = show_pair(F_AREA_UNITS, F_AREA_INCHES, pdf_printable_area(l))) > 0) return st;
  *valid = show_estimate(l);
  return 0;
}

// Width and Height only for a custom paper; the background form's options
// only with a background form, UseOnce choosing which of ReuseLastPg and
// Multipart applies; Alignment only for the fonts that can be aligned.
void apply_visibility() {
  const bool custom = value_of(F_PAPER) == 0;
  for (uint16_t f = F_WIDTH_L; f <= F_HEIGHT_IN; ++f) set_hidden(f, !custom);
  const bool background = background_buf[0] != '\0';
  const bool once = value_of(F_USE_ONCE) != 0;
  for (uint16_t f = F_USE_ONCE_L; f <= F_FIT; ++f) {
    const bool reuse = f == F_REUSE_L || f == F_REUSE;
    const bool multipart = f == F_MULTIPART_L || f == F_MULTIPART;
    set_hidden(f, !background || (reuse && !once) || (multipart && once));
  }
  for (uint16_t f : {F_ALIGN_L, F_ALIGN}) set_hidden(f, value_of(F_FONT) < 4);
}

// The page summary from the form's current values.
int recompute_summary(bool *valid) {
  const pdf_layout l = form_layout();
  int st;
  if (value_of(F_PAPER) == 0 && ((st = show_inches(F_WIDTH_IN, value_of(F_WIDTH))) > 0 ||
                                 (st = show_inches(F_HEIGHT_IN, value_of(F_HEIGHT))) > 0))
    return st;
  return show_summary(l, valid);
}

// Each margin's inches text follows its number field.
static_assert(F_TOP_IN == F_TOP + 1 && F_LEFT_IN == F_LEFT + 1 && F_RIGHT_IN == F_RIGHT + 1 &&
              F_BOTTOM_IN == F_BOTTOM + 1);
uint16_t margin_inches_field(uint16_t field) { return static_cast<uint16_t>(field + 1); }

// The field-change callback: keeps the summary and the visibility in step
// with the field just changed; 1 refuses a change that leaves no room for
// text (or a field this screen does not watch).
int pdf_changed(uint16_t field) {
  bool valid = false;
  switch (field) {
  case F_PAPER:
    if (recompute_summary(&valid) > 0) return 1;
    apply_visibility();
    break;
  case F_WIDTH:
  case F_HEIGHT:
  case F_LANDSCAPE:
    if (recompute_summary(&valid) > 0) return 1;
    break;
  case F_BACKGROUND:
  case F_USE_ONCE: apply_visibility(); return 0;
  case F_TOP:
  case F_LEFT:
  case F_RIGHT:
  case F_BOTTOM:
    if (show_inches(margin_inches_field(field), value_of(field)) > 0) return 1;
    if (recompute_summary(&valid) > 0) return 1;
    break;
  case F_FONT: apply_visibility(); [[fallthrough]];
  case F_SPACING:
    if (show_inches(F_SPACING_IN, value_of(F_SPACING)) > 0) return 1;
    [[fallthrough]];
  case F_SIZE: valid = show_estimate(form_layout()); break;
  default: return 1;
  }
  return valid || !loaded_valid ? 0 : 1;
}

// Copies a record into the form, hides what it does not use, fills every
// text from the record and draws the form in full.
int load_format(const pdf_desc &r) {
  fill_fields(&pdf_form, pdf_bindings, &r);
  fill_fields(&pdf_form, pdf_fill_only, &r);
  apply_visibility();
  int st;
  const struct {
    uint16_t field;
    uint16_t units;
  } inches[] = {{F_TOP_IN, r.top},     {F_BOTTOM_IN, r.bottom}, {F_LEFT_IN, r.left},
                {F_RIGHT_IN, r.right}, {F_WIDTH_IN, r.width},   {F_HEIGHT_IN, r.height}};
  for (const auto &i : inches)
    if ((st = show_inches(i.field, i.units)) > 0) return st;
  if ((st = show_summary(record_layout(r), &loaded_valid)) > 0) return st;
  // The full draw below shows everything; nothing is left for the loop.
  for (form_field &f : pdf_fields) f.flags &= static_cast<uint16_t>(~FF_CHANGED);
  return display_form(&pdf_form, SHOW_ALL);
}

void take_value(uint8_t &member, uint16_t value) {
  if (member == value) return;
  member = static_cast<uint8_t>(value);
  config_changed = 1;
}
void take_value(uint16_t &member, uint16_t value) {
  if (member == value) return;
  member = value;
  config_changed = 1;
}

// Takes the form into the record. A named paper stores its own size, whatever
// the Width and Height fields hold; a font that cannot be aligned stores
// alignment 0.
void take_format(pdf_desc &r) {
  take_fields(&pdf_form, pdf_bindings, &r, &config_changed);
  const uint16_t font = value_of(F_FONT);
  const bool aligns =
      font < std::size(pdf_font_info_tbl) && pdf_font_info_tbl[font].no_alignment == 0;
  take_value(r.alignment, aligns ? value_of(F_ALIGN) : uint16_t{0});
  const uint16_t paper = value_of(F_PAPER);
  const bool named = paper != 0 && paper < std::size(pdf_paper_width);
  take_value(r.width, named ? pdf_paper_width[paper] : value_of(F_WIDTH));
  take_value(r.height, named ? pdf_paper_height[paper] : value_of(F_HEIGHT));
}

// The previous and next format, with wrap.
uint16_t step_back(uint16_t i, uint16_t count) {
  return static_cast<uint16_t>(i == 0 ? count - 1 : i - 1);
}
uint16_t step_on(uint16_t i, uint16_t count) {
  return static_cast<uint16_t>(i + 1 >= count ? 0 : i + 1);
}

// What the format loop does next.
enum class next { accept, reload, edit, select };

// F5: copies the format onto the next one; a next format already equal is
// only moved to, so nothing is marked changed.
int copy_to_next(uint32_t handle, uint16_t count, next *n) {
  if (format_index + 1 >= count) {
    ring_bell();
    *n = next::reload;
    return 0;
  }
  const uint16_t to = static_cast<uint16_t>(format_index + 1);
  int st = get_desc_pdf(handle, to, &scratch);
  if (st > 0) return st;
  if (std::memcmp(&scratch, &current, sizeof current) != 0) {
    if ((st = put_desc_pdf(handle, to, &current)) > 0) return st;
    config_changed = 1;
  }
  format_index = to;
  *n = next::edit;
  return 0;
}

// Acts on the key that ended the format form.
int format_key(uint32_t handle, uint16_t count, uint16_t key, next *n) {
  switch (key) {
  case KEY_ESC: *n = next::select; return 0;
  case KEY_ENTER: *n = next::reload; return 0;
  case KEY_F3:
    format_index = step_back(format_index, count);
    *n = next::edit;
    return 0;
  case KEY_F4:
    format_index = step_on(format_index, count);
    *n = next::edit;
    return 0;
  case KEY_F5: return copy_to_next(handle, count, n);
  default:
    ring_bell();
    *n = key_class(key) == 0x300 ? next::accept : next::select;
    return 0;
  }
}

// Reads format `format_index` and shows it, its number on the selector line.
int open_format(uint32_t handle) {
  sel_fields[SEL_NUMBER].value = format_index;
  int st;
  if ((st = display_form(&sel_form, SHOW_VALUES)) > 0) return st;
  if ((st = get_desc_pdf(handle, format_index, &current)) > 0) return st;
  return load_format(current);
}

// Edits formats from `format_index` until the user goes back to the
// selector; the record is written after every pass of the form.
int edit_formats(uint32_t handle, uint16_t count) {
  int st = open_format(handle);
  for (;;) {
    if (st > 0) return st;
    uint16_t key = 0;
    if ((st = display_form(&pdf_help_form, SHOW_ALL)) > 0) return st;
    if ((st = accept_menu(&pdf_form, &resume_field, &key)) > 0) return st;
    take_format(current);
    if ((st = put_desc_pdf(handle, format_index, &current)) > 0) return st;
    next n = next::accept;
    if ((st = format_key(handle, count, key, &n)) > 0) return st;
    switch (n) {
    case next::select: return 0;
    case next::reload: st = load_format(current); break;
    case next::edit: st = open_format(handle); break;
    case next::accept: break;
    }
  }
}

// One pass of the selector: shows format `format_index` and reads a key.
int select_pass(uint32_t handle, uint16_t *key) {
  int st;
  if ((st = get_desc_pdf(handle, format_index, &current)) > 0) return st;
  if ((st = load_format(current)) > 0) return st;
  sel_fields[SEL_NUMBER].value = format_index;
  if ((st = display_form(&sel_form, SHOW_STATIC)) > 0) return st;
  uint16_t field = SEL_NUMBER;
  return accept_menu(&sel_form, &field, key);
}

} // namespace

int config_pdf(uint32_t handle, uint16_t count) {
  if (static_cast<uint16_t>(count - 1) > CFI_MAX_PDF - 1) {
    if (proc_trace_mask_ & 0x200)
      printf_trace_kern(9, "cnf_pdf", TRACE_LINE_COUNT, "config_pdf", "SE_INV_ARG");
    return ST_BAD_COUNT;
  }
  sel_fields[SEL_NUMBER].min = 0;
  sel_fields[SEL_NUMBER].max = static_cast<uint16_t>(count - 1);
  clear_screen();
  int st;
  if ((st = display_form(&pdf_form, SHOW_STATIC)) > 0) return st;
  format_index = 0;
  for (;;) {
    uint16_t key = 0;
    if ((st = select_pass(handle, &key)) > 0) return st;
    if (key == KEY_ESC) return 0;
    if (key == KEY_ENTER) {
      format_index = sel_fields[SEL_NUMBER].value;
      if (format_index >= count) {
        format_index = static_cast<uint16_t>(count - 1);
        ring_bell();
        continue;
      }
      resume_field = 0;
      if ((st = edit_formats(handle, count)) > 0) return st;
    } else if (key_class(key) == KEY_UP || key_class(key) == KEY_PREV) {
      format_index = step_back(format_index, count);
    } else if (key_class(key) == KEY_DOWN || key_class(key) == KEY_NEXT) {
      format_index = step_on(format_index, count);
    } else {
      ring_bell(); // function keys and anything else
    }
  }
}
