// The screen manager: data-driven forms, field display and entry, the one
// input loop, prompts, the screen's opening and closing and the message line.
#pragma once

#include <cstddef>
#include <cstdint>

// Field kinds.
constexpr uint16_t FIELD_NUMBER = 0;
constexpr uint16_t FIELD_TEXT = 1;
constexpr uint16_t FIELD_YESNO = 2;
constexpr uint16_t FIELD_LABEL = 3;
constexpr uint16_t FIELD_CHOICE = 4;

// Field flags.
constexpr uint16_t FF_DATA = 0x0001;     // drawn by SHOW_VALUES
constexpr uint16_t FF_STATIC = 0x0002;   // drawn by the static class
constexpr uint16_t FF_INPUT = 0x0004;    // the cursor stops here; padded
constexpr uint16_t FF_ZERO_OK = 0x0008;  // 0 accepted below min
constexpr uint16_t FF_SPIN = 0x0010;     // up/down step the value
constexpr uint16_t FF_QUICK = 0x0020;    // Y/N leaves a yes/no field
constexpr uint16_t FF_EOL = 0x0040;      // line erased before drawing
constexpr uint16_t FF_MASK = 0x0080;     // drawn as '*'
constexpr uint16_t FF_PAD = 0x0100;      // padded with blanks to the width
constexpr uint16_t FF_HIDDEN = 0x0200;   // drawn as blanks, never entered
constexpr uint16_t FF_CHANGED = 0x2000;  // redrawn by display_changed
constexpr uint16_t FF_NOTIFY = 0x4000;   // the form's callback is called
constexpr uint16_t FF_ZEROFILL = 0x8000; // leading zeros; text trimmed

// Form flags.
constexpr uint16_t FORM_CLEAR = 0x01;
constexpr uint16_t FORM_FKEYS = 0x02;
constexpr uint16_t FORM_VMOVE = 0x04;
constexpr uint16_t FORM_LINE = 0x08;

// Display classes.
constexpr uint16_t SHOW_VALUES = 1;
constexpr uint16_t SHOW_STATIC = 2;
constexpr uint16_t SHOW_ALL = 3;

// Key codes: bits 8-11 the class, bits 0-7 a character or number.
constexpr uint16_t KEY_SPACE = 0x120;
constexpr uint16_t KEY_LEFT = 0x200;
constexpr uint16_t KEY_RIGHT = 0x201;
constexpr uint16_t KEY_ENTER = 0x300;
constexpr uint16_t KEY_ESC = 0x301;
constexpr uint16_t KEY_F1 = 0x302;
constexpr uint16_t KEY_F2 = 0x303;
constexpr uint16_t KEY_F3 = 0x304;
constexpr uint16_t KEY_F4 = 0x305;
constexpr uint16_t KEY_F5 = 0x306;
constexpr uint16_t KEY_F6 = 0x307;
constexpr uint16_t KEY_UP = 0x400;
constexpr uint16_t KEY_DOWN = 0x500;
constexpr uint16_t KEY_PREV = 0x700;
constexpr uint16_t KEY_NEXT = 0x800;

constexpr uint16_t key_class(uint16_t key) { return key & 0x0F00; }

// Called for fields with FF_NOTIFY: 0 accepts, nonzero refuses.
using form_callback = int (*)(uint16_t field);

// One field of a form, members in the order a table row reads.
struct form_field {
  uint16_t kind;
  uint16_t flags;
  uint16_t row;
  uint16_t col;
  uint16_t width; // 0: never drawn; at most 255
  uint8_t attr;
  uint16_t value; // number, 0/1 for yes/no, list index for a choice
  uint16_t min;
  uint16_t max;            // FIELD_TEXT: characters the text may hold when
                           // more than the width (it scrolls); 0: the width
  char *text;              // FIELD_TEXT: buffer of at least width + 1 bytes,
                           // or max + 1 when max is above the width
  const char *label;       // FIELD_LABEL: the text drawn
  const char *const *list; // FIELD_CHOICE: text of each value
};
static_assert(sizeof(form_field) == 48);

struct form {
  uint16_t flags;
  uint16_t count;
  form_callback callback;
  form_field *fields;
};

// Makes a form over a static field array: form f = make_form(FORM_CLEAR, fields);
template <size_t N>
constexpr form make_form(uint16_t flags, form_field (&fields)[N],
                         form_callback callback = nullptr) {
  return form{flags, static_cast<uint16_t>(N), callback, fields};
}

// Characters a text field holds: its max when above the width, else the width.
constexpr uint16_t text_capacity(const form_field *f) {
  const uint16_t width = f->width <= 255 ? f->width : 255;
  return f->max > width ? (f->max <= 255 ? f->max : 255) : width;
}

// Drawing.
int display_field(const form_field *field);
int display_form(const form *f, uint16_t show_class);
int display_changed(form *f);

// Field entry.
struct key_rec;
int accept_num_field(form_field *field, key_rec *key);
int accept_text_field(form_field *field, key_rec *key);

// The input loop: runs the form from *field, returns 0 with the ending key
// or a positive status.
int accept_menu(form *f, uint16_t *field, uint16_t *key);
// Yes/no question on line 22: answer 1 Yes, 0 No, -1 ESC.
int ask_yes_no(const char *prompt, int16_t *answer);
// Before a save replaces `name`: when another program has changed the file
// since it was loaded or saved here, asks whether to replace it anyway.
// *go is false when the answer is No (the reason is then shown).
int ask_if_changed_on_disk(const char *name, bool *go);
// How a screen writes what is typed on its form `f` back to its record, the
// same as after a pass of the form: called when the session ends by a
// signal while the screen is open, before unsaved work goes to side files
// (a value being typed in is taken into its field first). One screen at a
// time; the screen clears it (nullptr) when it returns.
void set_form_store(form *f, void (*store)());

// Screen lifecycle and messages.
extern bool message_shown;
int display_open();
void display_close();
int show_message(uint32_t code);
int show_message_text(uint32_t code, const char *text);
int clear_message();
void ring_bell();
void clear_screen();
void clear_prompt_line();

// Trace line of the screen manager (written when the trace mask says so).
void scrmgr_trace(int line, const char *function, const char *word);
