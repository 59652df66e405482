// The "Keyboard Configuration" screen of a terminal description: the key
// table as a sorted list of one-line rows, 16 to a page, edited row by row.
#include <cstring>
#include <iterator>

#include "edit/editor_files.h"
#include "lib/status.h"
#include "lib/strs.h"
#include "lib/tdi_store.h"
#include "scrmgr/binding.h"
#include "scrmgr/form_check.h"
#include "scrmgr/scrmgr.h"
#include "scrmgr/table_paging.h"
#include "tdi/tdi.h"

namespace {

constexpr uint16_t LABEL = FF_STATIC;
constexpr uint16_t INPUT = FF_DATA | FF_INPUT;
constexpr uint16_t ROW_FORM = FORM_CLEAR | FORM_FKEYS | FORM_LINE;

constexpr uint16_t TABLE_ROWS = TDI_MAX_KEYS; // rows offered, keys or empty
constexpr uint16_t PAGE_ROWS = 16;
constexpr uint16_t FIRST_LINE = 6;     // screen line of a page's top row
constexpr size_t SEQUENCE_COLUMN = 16; // characters of the Byte String column
constexpr uint8_t KEY_TYPES = 9;

// The shown row's texts, shared by the five row forms.
char row_label[16];
char row_sequence[SEQUENCE_COLUMN + 1];
char row_char[6];    // the code of a character key, in the character notation
char row_nothing[1]; // the Code label column of the forms that have none

// The header: title, the description's name, base and comment, the column
// heads and the help line. Field 4 is set on entry; 2 and 6 point at the
// editor's name and comment copy.
// clang-format off
form_field header_fields[] = {
    {.kind = FIELD_LABEL, .flags = LABEL, .row = 0, .col = 29, .width = 36,
     .attr = 5, .label = "Keyboard Configuration"},
    {.kind = FIELD_LABEL, .flags = LABEL, .row = 1, .col = 18, .width = 6,
     .label = "Name: "},
    {.kind = FIELD_TEXT, .flags = FF_DATA | FF_EOL, .row = 1, .col = 24,
     .width = 56, .max = 255, .text = tdi_desc_name},
    {.kind = FIELD_LABEL, .flags = LABEL, .row = 2, .col = 18, .width = 6,
     .label = "Base: "},
    {.kind = FIELD_CHOICE, .flags = FF_DATA, .row = 2, .col = 24, .width = 16,
     .min = 0, .max = TDI_TERM_TYPES - 1, .list = term_strs},
    {.kind = FIELD_LABEL, .flags = LABEL, .row = 2, .col = 41, .width = 9,
     .label = "Comment: "},
    {.kind = FIELD_TEXT, .flags = FF_DATA | FF_ZEROFILL, .row = 2, .col = 50,
     .width = 30, .text = tdi_comment},
    {.kind = FIELD_LABEL, .flags = LABEL, .row = 4, .col = 1, .width = 80,
     .label = "Label           Byte String      Ext Type             Code               Erase"},
    {.kind = FIELD_LABEL, .flags = LABEL, .row = 5, .col = 1, .width = 80,
     .label = "--------------- ---------------- --- ---------------- ------------------ -----"},
    {.kind = FIELD_LABEL, .flags = LABEL, .row = 22, .col = 0, .width = 80,
     .attr = 4, .label = "Press <up>, <down>, F1-F4 to position, F5 to copy, F6 to delete, ESC to exit. "},
};
// clang-format on
form keys_header = make_form(FORM_CLEAR, header_fields);
REGISTER_FORM(keys_header);

constexpr uint16_t H_BASE = 4;

// Fields of every row form.
enum : uint16_t { F_LABEL, F_SEQUENCE, F_EXT, F_TYPE, F_CODE_LABEL, F_CODE, F_ERASE };

// The columns the five row forms share; their line is set before each draw.
// clang-format off
constexpr form_field label_column = {
    .kind = FIELD_TEXT, .flags = INPUT | FF_ZEROFILL, .row = FIRST_LINE, .col = 1,
    .width = 15, .text = row_label};
constexpr form_field sequence_column = {
    .kind = FIELD_TEXT, .flags = INPUT, .row = FIRST_LINE, .col = 17,
    .width = SEQUENCE_COLUMN, .text = row_sequence};
constexpr form_field ext_column = {
    .kind = FIELD_YESNO, .flags = INPUT, .row = FIRST_LINE, .col = 35, .width = 1,
    .min = 0, .max = 1};
constexpr form_field type_column = {
    .kind = FIELD_CHOICE, .flags = INPUT, .row = FIRST_LINE, .col = 38, .width = 16,
    .min = 0, .max = KEY_TYPES - 1, .list = type_text};
constexpr form_field no_code_label = {
    .kind = FIELD_TEXT, .flags = FF_DATA, .row = FIRST_LINE, .col = 55, .width = 0,
    .text = row_nothing};
constexpr form_field erase_column = {
    .kind = FIELD_YESNO, .flags = INPUT, .row = FIRST_LINE, .col = 76, .width = 1,
    .min = 0, .max = 1};

// One row form per group of key types; they differ in the Code column only.
form_field function_row_fields[] = {
    label_column, sequence_column, ext_column, type_column, no_code_label,
    {.kind = FIELD_CHOICE, .flags = INPUT, .row = FIRST_LINE, .col = 55, .width = 18,
     .min = 0, .max = 3, .list = ifunc_text},
    erase_column,
};
// clang-format on
// clang-format off
form_field character_row_fields[] = {
    label_column, sequence_column, ext_column, type_column, no_code_label,
    {.kind = FIELD_TEXT, .flags = INPUT, .row = FIRST_LINE, .col = 55, .width = 5,
     .text = row_char},
    erase_column,
};
// clang-format on
// clang-format off
form_field editing_row_fields[] = {
    label_column, sequence_column, ext_column, type_column, no_code_label,
    {.kind = FIELD_CHOICE, .flags = INPUT, .row = FIRST_LINE, .col = 55, .width = 18,
     .min = 0, .max = 15, .list = edit_text},
    erase_column,
};
// clang-format on
// clang-format off
form_field escape_row_fields[] = {
    label_column, sequence_column, ext_column, type_column,
    {.kind = FIELD_LABEL, .flags = FF_DATA, .row = FIRST_LINE, .col = 55, .width = 11,
     .label = "ESCAPE KEY "},
    {.kind = FIELD_NUMBER, .flags = INPUT, .row = FIRST_LINE, .col = 66, .width = 3,
     .min = 0, .max = 99},
    erase_column,
};
// clang-format on
// The number covers the label's two digits, so code 7 reads "hotkey07".
// clang-format off
form_field hotkey_row_fields[] = {
    label_column, sequence_column, ext_column, type_column,
    {.kind = FIELD_LABEL, .flags = FF_DATA, .row = FIRST_LINE, .col = 55, .width = 15,
     .label = "CALL \"hotkey99\""},
    {.kind = FIELD_NUMBER, .flags = INPUT | FF_ZEROFILL, .row = FIRST_LINE, .col = 67,
     .width = 2, .min = 0, .max = 99},
    erase_column,
};
// clang-format on
form function_row = make_form(ROW_FORM, function_row_fields);
form character_row = make_form(ROW_FORM, character_row_fields);
form editing_row = make_form(ROW_FORM, editing_row_fields);
form escape_row = make_form(ROW_FORM, escape_row_fields);
form hotkey_row = make_form(ROW_FORM, hotkey_row_fields);
REGISTER_FORM(function_row);
REGISTER_FORM(character_row);
REGISTER_FORM(editing_row);
REGISTER_FORM(escape_row);
REGISTER_FORM(hotkey_row);

// Each key type: its row form and whether it keeps the Erase flag. Row i
// is type i.
struct key_type_row {
  uint8_t type;
  form *row;
  bool keeps_erase;
};
// clang-format off
constexpr key_type_row key_types[] = {
    {0, &function_row, false}, {1, &character_row, false}, {2, &editing_row, false},
    {3, &escape_row, true},    {4, &escape_row, true},     {5, &escape_row, true},
    {6, &hotkey_row, false},   {7, &escape_row, true},     {8, &escape_row, true},
};
// clang-format on
static_assert(std::size(key_types) == KEY_TYPES);
static_assert([] {
  for (uint8_t i = 0; i < KEY_TYPES; ++i)
    if (key_types[i].type != i) return false;
  return true;
}());

constexpr uint8_t TYPE_CHARACTER = 1;

// The record members the row's fields show. The Byte String and a
// character key's code are texts in the notation, converted apart.
constexpr field_binding label_binding[] = {BIND(F_LABEL, key_cfg, label)};
constexpr field_binding ext_binding[] = {BIND_BITS(F_EXT, key_cfg, key_word, KEYW_EXT)};
constexpr field_binding erase_binding[] = {BIND_BITS(F_ERASE, key_cfg, key_word, KEYW_ERASE)};
// clang-format off
constexpr field_binding row_bindings[] = {
    label_binding[0], ext_binding[0], BIND_BITS(F_TYPE, key_cfg, key_word, KEYW_TYPE),
    erase_binding[0],
};
// clang-format on

uint8_t type_of(const key_cfg &k) { return static_cast<uint8_t>((k.key_word & KEYW_TYPE) >> 8); }

// The highest code of a type: its row form's Code range, or any byte for a
// character key, whose Code is a text in the notation (a text field's max
// is how much it holds, not a range).
uint16_t code_max(uint8_t type) {
  const form_field &code = key_types[type].row->fields[F_CODE];
  return code.kind == FIELD_TEXT ? 255 : code.max;
}

// Fills the row buffers and the form of the record's type; false when the
// sequence's text does not fit its column.
bool fill_row(form *f, const key_cfg &k, int line_mode) {
  char text[4 * TDI_MAX_SEQUENCE + 1];
  tdi_keystringtoasc(k.bytes, k.length, text, line_mode);
  const size_t n = std::strlen(text);
  std::memset(row_sequence, 0, sizeof row_sequence);
  std::memcpy(row_sequence, text, n < SEQUENCE_COLUMN ? n : SEQUENCE_COLUMN);
  fill_fields(f, row_bindings, &k);
  // The code stays a value in every form, so that a type change can take
  // it from the character form too.
  const uint8_t code = static_cast<uint8_t>(k.key_word & KEYW_CODE);
  f->fields[F_CODE].value = code;
  if (f == &character_row) tdi_keystringtoasc(&code, 1, row_char, line_mode);
  return n <= SEQUENCE_COLUMN;
}

void set_row_line(form *f, uint16_t line) {
  for (uint16_t i = 0; i < f->count; ++i) f->fields[i].row = line;
}

// Draws row `index` of the page starting at `top`; *faithful is false when
// the row cannot be shown as it stands (an unknown type, a long sequence).
int draw_key_row(const key_cfg &k, uint16_t index, uint16_t top, uint8_t base, bool *faithful) {
  const auto line = static_cast<uint16_t>(FIRST_LINE + index - top);
  const uint8_t type = type_of(k);
  if (type >= KEY_TYPES) {
    // The row forms have no static fields: this only erases the line.
    *faithful = false;
    set_row_line(&function_row, line);
    return display_form(&function_row, SHOW_STATIC);
  }
  form *f = key_types[type].row;
  *faithful = fill_row(f, k, base == TDI_LINE_MODE_TYPE);
  set_row_line(f, line);
  return display_form(f, SHOW_ALL);
}

// The screen's state: where the cursor is, the row under edit and the
// working copy of its record.
struct key_screen {
  uint32_t handle;
  uint8_t base;
  table_page page;
  uint16_t field;
  uint16_t key;
  key_cfg rec;
  bool again; // edit the working copy again instead of reading the row
};

int line_mode(const key_screen &ks) { return ks.base == TDI_LINE_MODE_TYPE; }
uint16_t cur(const key_screen &ks) { return static_cast<uint16_t>(ks.page.cur); }
uint16_t key_count(const key_screen &ks) { return get_key_count_tdi(ks.handle); }

// The key at `index`, or an all-zero record beyond the table.
key_cfg key_at(const key_screen &ks, uint32_t index) {
  key_cfg k{};
  if (index < TABLE_ROWS) get_key_cfg_tdi(ks.handle, static_cast<uint16_t>(index), &k);
  return k;
}

int draw_page(const key_screen &ks) {
  for (uint32_t i = ks.page.first; i <= ks.page.last; ++i) {
    const key_cfg k = key_at(ks, i);
    bool faithful = true;
    int s = draw_key_row(k, static_cast<uint16_t>(i), static_cast<uint16_t>(ks.page.first), ks.base,
                         &faithful);
    if (s > 0) return s;
  }
  return 0;
}

int enter(key_screen &ks) {
  tdi_ctrl ctrl{};
  int s = get_ctrl_tdi(ks.handle, &ctrl);
  if (s > 0) return s;
  copy_text(tdi_comment, sizeof tdi_comment, ctrl.comment);
  ks.base = ctrl.base_type;
  header_fields[H_BASE].value = ctrl.base_type;
  if ((s = display_form(&keys_header, SHOW_ALL)) > 0) return s;
  if ((s = sort_keys_tdi(ks.handle)) > 0) return s;
  ks.page = table_page_start(TABLE_ROWS, PAGE_ROWS);
  return draw_page(ks);
}

// The refusal of a step: bell, the cursor on `field`, the working copy
// shown again.
void refuse(key_screen &ks, uint16_t field) {
  ring_bell();
  ks.field = field;
  ks.again = true;
}

// The sequence the Byte String field stands for. A field left as it was
// shown keeps the record's own sequence, so that a sequence longer than
// the column is not cut to what the column shows.
bool take_sequence_field(const key_screen &ks, const form *f, uint8_t *bytes, uint8_t *length) {
  char text[4 * TDI_MAX_SEQUENCE + 1];
  tdi_keystringtoasc(ks.rec.bytes, ks.rec.length, text, line_mode(ks));
  if (std::strncmp(text, f->fields[F_SEQUENCE].text, SEQUENCE_COLUMN) == 0) {
    std::memcpy(bytes, ks.rec.bytes, TDI_MAX_SEQUENCE);
    *length = ks.rec.length;
    return true;
  }
  *length = TDI_MAX_SEQUENCE;
  return tdi_asctokeystring(f->fields[F_SEQUENCE].text, bytes, length, line_mode(ks)) == 0;
}

bool same_sequence(const key_cfg &k, const uint8_t *bytes, uint8_t length) {
  return k.length == length && std::memcmp(k.bytes, bytes, TDI_MAX_SEQUENCE) == 0;
}

// Another key with this sequence; the row's own key does not count, but a
// copy of it beside it does.
bool is_duplicate(const key_screen &ks, const uint8_t *bytes, uint8_t length) {
  const uint16_t found = find_key_tdi(ks.handle, bytes, length);
  if (found & FIND_KEY_NOT_FOUND) return false;
  if (found != cur(ks)) return true;
  return (found > 0 && same_sequence(key_at(ks, found - 1u), bytes, length)) ||
         same_sequence(key_at(ks, found + 1u), bytes, length);
}

// Where the row goes in the sorted table once it has left its old place.
uint16_t new_position(const key_screen &ks, const uint8_t *bytes, uint8_t length) {
  auto p = static_cast<uint16_t>(find_key_tdi(ks.handle, bytes, length) & ~FIND_KEY_NOT_FOUND);
  return p > cur(ks) ? static_cast<uint16_t>(p - 1) : p;
}

// False when a key that will stand beside the row at `p` starts with the
// same byte and disagrees on Ext. The lead byte is the first byte of the
// sequence just typed: that is the byte the runtime reads first.
bool ext_agrees(const key_screen &ks, uint16_t p, uint8_t lead, bool ext) {
  const uint16_t c = cur(ks);
  int before = p <= c ? p - 1 : p;
  int after = p < c ? p : p + 1;
  for (int index : {after, before}) {
    if (index < 0) continue;
    const key_cfg k = key_at(ks, static_cast<uint32_t>(index));
    if (k.length > 0 && k.bytes[0] == lead && ((k.key_word & KEYW_EXT) != 0) != ext) return false;
  }
  return true;
}

void store_sequence(key_cfg &k, const uint8_t *bytes, uint8_t length) {
  if (same_sequence(k, bytes, length)) return;
  k.length = length;
  std::memcpy(k.bytes, bytes, TDI_MAX_SEQUENCE);
  desc_changed = 1;
}

// The type unchanged: Erase where the type keeps it, then the code (a
// character key's text read in the notation). False: the code is not
// readable.
bool take_code(key_screen &ks, const form *f) {
  const uint8_t type = type_of(ks.rec);
  if (key_types[type].keeps_erase) {
    take_fields(f, erase_binding, &ks.rec, &desc_changed);
  } else if (ks.rec.key_word & KEYW_ERASE) {
    ks.rec.key_word &= static_cast<uint16_t>(~KEYW_ERASE);
    desc_changed = 1;
  }
  uint16_t code = f->fields[F_CODE].value;
  if (type == TYPE_CHARACTER) {
    uint8_t byte = 0;
    uint8_t length = 1;
    if (tdi_asctokeystring(f->fields[F_CODE].text, &byte, &length, line_mode(ks)) != 0 ||
        length != 1)
      return false;
    code = byte;
  }
  if (code != (ks.rec.key_word & KEYW_CODE)) {
    ks.rec.key_word = static_cast<uint16_t>((ks.rec.key_word & ~KEYW_CODE) | code);
    desc_changed = 1;
  }
  return true;
}

// The type changed: a new key word from the old form's Erase and Code,
// the code brought into the new type's range; the row is edited again on
// the new type's form before anything is stored.
void change_type(key_screen &ks, const form *f) {
  const uint8_t old_type = type_of(ks.rec);
  const uint8_t new_type = static_cast<uint8_t>(f->fields[F_TYPE].value);
  const bool erase = f->fields[F_ERASE].value != 0;
  const bool keep =
      key_types[old_type].keeps_erase ? key_types[new_type].keeps_erase && erase : erase;
  uint16_t code = f->fields[F_CODE].value;
  if (code > code_max(new_type)) code = 0;
  auto word = static_cast<uint16_t>(ks.rec.key_word & (KEYW_EXT | 0x3000));
  if (keep) word |= KEYW_ERASE;
  ks.rec.key_word = static_cast<uint16_t>(word | (new_type << 8) | code);
  desc_changed = 1;
  refuse(ks, F_CODE);
}

int remove_row(key_screen &ks) {
  if (cur(ks) < key_count(ks)) {
    int s = remove_key_tdi(ks.handle, cur(ks));
    if (s > 0) return s;
    desc_changed = 1;
  }
  return draw_page(ks);
}

// F5: a copy of the row just stored goes below it. Not from the last row,
// an empty row or a full table.
int copy_row(key_screen &ks) {
  if (cur(ks) == TABLE_ROWS - 1 || cur(ks) >= key_count(ks) || key_count(ks) >= TDI_MAX_KEYS) {
    ring_bell();
    return 0;
  }
  const key_cfg copy = ks.rec;
  code_page_key(&ks.page, KEY_F5, {.jump_repages = false, .copy_wraps = false});
  int s = insert_key_tdi(ks.handle, cur(ks), &copy);
  if (s > 0) return s;
  desc_changed = 1;
  return draw_page(ks);
}

// Acts on the key that left a row stored in its place.
int navigate(key_screen &ks) {
  if (ks.key == KEY_F5) return copy_row(ks);
  const page_effect fx =
      code_page_key(&ks.page, ks.key, {.jump_repages = false, .copy_wraps = false});
  if (fx.leave) return -1;
  if (fx.bell) ring_bell();
  if (fx.first_field) ks.field = F_LABEL;
  return fx.redraw ? draw_page(ks) : 0;
}

// Stores the working copy at `p`: in place, or by moving it to its sorted
// place, where the cursor follows it. A new key always goes in by insert:
// a row beyond the table has no key to overwrite.
int store_row(key_screen &ks, uint16_t p) {
  const uint16_t c = cur(ks);
  if (p == c && (c < key_count(ks) || ks.rec.length == 0)) {
    int s = put_key_cfg_tdi(ks.handle, c, &ks.rec);
    bool faithful = true;
    if (s <= 0)
      s = draw_key_row(ks.rec, c, static_cast<uint16_t>(ks.page.first), ks.base, &faithful);
    if (s > 0) return s;
    if (!faithful) {
      // The re-shown row rings for it; the row may not be left.
      ks.field = F_SEQUENCE;
      ks.again = true;
      return 0;
    }
    return navigate(ks);
  }
  int s = remove_key_tdi(ks.handle, c);
  if (s <= 0) s = insert_key_tdi(ks.handle, p, &ks.rec);
  if (s > 0) return s;
  desc_changed = 1;
  code_page_follow(&ks.page, p);
  ks.field = F_LABEL;
  return draw_page(ks);
}

// Steps 5 to 13 of a row left with anything but F6: every refusal edits
// the working copy again.
int take_row(key_screen &ks, form *f) {
  uint8_t bytes[TDI_MAX_SEQUENCE] = {};
  uint8_t length = 0;
  if (!take_sequence_field(ks, f, bytes, &length)) {
    refuse(ks, F_SEQUENCE);
    return 0;
  }
  if (length == 0) return cur(ks) < key_count(ks) ? remove_row(ks) : store_row(ks, cur(ks));
  take_fields(f, label_binding, &ks.rec, &desc_changed);
  if (is_duplicate(ks, bytes, length)) {
    refuse(ks, F_SEQUENCE);
    return 0;
  }
  const uint16_t p = new_position(ks, bytes, length);
  if (!ext_agrees(ks, p, bytes[0], f->fields[F_EXT].value != 0)) {
    refuse(ks, F_EXT);
    return 0;
  }
  take_fields(f, ext_binding, &ks.rec, &desc_changed);
  store_sequence(ks.rec, bytes, length);
  if (f->fields[F_TYPE].value != type_of(ks.rec)) {
    change_type(ks, f);
    return 0;
  }
  if (!take_code(ks, f)) {
    refuse(ks, F_CODE);
    return 0;
  }
  return store_row(ks, p);
}

// One pass over the row under the cursor. Returns a positive status, -1
// when the screen ends, else 0.
int edit_row(key_screen &ks) {
  if (!ks.again) ks.rec = key_at(ks, cur(ks));
  ks.again = false;
  const uint8_t type = type_of(ks.rec);
  if (type >= KEY_TYPES) return ST_FAILED;
  form *f = key_types[type].row;
  bool faithful = true;
  int s = draw_key_row(ks.rec, cur(ks), static_cast<uint16_t>(ks.page.first), ks.base, &faithful);
  if (s > 0) return s;
  if (!faithful) ring_bell();
  if ((s = accept_menu(f, &ks.field, &ks.key)) > 0) return s;
  if ((ks.key & 0x0FFF) == KEY_F6) return remove_row(ks);
  return take_row(ks, f);
}

} // namespace

int show_key_row(const key_cfg *rec, uint16_t index, uint16_t top, uint8_t base) {
  if (rec == nullptr || index < top || index - top >= PAGE_ROWS) return 1;
  bool faithful = true;
  int s = draw_key_row(*rec, index, top, base, &faithful);
  return s > 0 ? s : faithful ? 0 : 1;
}

int configure_keyboard(uint32_t handle) {
  key_screen ks{};
  ks.handle = handle;
  int s = enter(ks);
  while (s == 0) s = edit_row(ks);
  return s < 0 ? 0 : s;
}
