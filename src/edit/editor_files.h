// The file dialogue of the three editors: their file lines, the name
// proposals, the file given at entry, save, retrieve, change of directory,
// leaving, and the numbered menu whose items run from one table.
#pragma once

#include <cstddef>
#include <cstdint>

#include "scrmgr/scrmgr.h"

struct editor_state;

// The file lines under the menus; each is a label and a text field
// (field 1). The system editor has no Comment line.
enum menu_line { LINE_COMMENT, LINE_DIRECTORY, LINE_RETRIEVED, LINE_SAVED };

// What differs between the editors' file dialogues: the extension, the
// question texts, the store calls and the few steps one editor does its
// own way. Every question text ends as its editor's prompts end.
struct editor_files {
  const char *ext;                 // ".cfi", ".tdi", ".pti"
  const char *ask_replace;         // save target exists and is writable
  const char *ask_continue;        // retrieve: the file is not writable
  const char *ask_discard;         // retrieve while changed
  const char *ask_save_retrieved;  // leaving, content from a file
  const char *ask_save_base;       // leaving, content from a base or defaults
  const char *ask_save_failed;     // leaving, the save failed
  const char *ask_reset_changed;   // reset to the base while changed
  const char *ask_reset_retrieved; // reset to the base of content from a file
  // Asked at entry when the file given is not writable; any answer but Yes
  // ends the editor with ST_DECLINED. Null: not asked.
  const char *ask_read_only;
  const char *open_call; // shown beside a failed open: "open_tdi"
  int (*open)(uint32_t *handle, uint8_t base);
  int (*close)(uint32_t *handle);
  int (*load)(uint32_t handle, const char *name);
  int (*save)(uint32_t handle, const char *name, uint8_t is_new);
  const char *(*error_text)(uint32_t handle);
  // Back to the current base (or defaults) after a file failed to load.
  int (*reset_to_base)(uint32_t handle);
  // Takes the base (and comment, or target) from content just loaded.
  int (*after_load)(uint32_t handle);
  // Fills the zeroed 256-byte work name with the name Save (line
  // LINE_SAVED, also while leaving) or Retrieve (LINE_RETRIEVED) proposes.
  // Null: the current directory joined with the Name line's name.
  void (*propose)(const editor_state &st, menu_line line, char *work);
  // Names typed on the Saved and Retrieved lines only take the extension;
  // otherwise they are normalised and made full like a directory.
  bool names_as_typed;
  // Leaving saves the proposal at once, before it is shown for editing,
  // and ESC to the replace question goes back to the menu.
  bool leave_saves_at_once;
  // Retrieve clears the flags before it loads, and a file that does not
  // load leaves the base; otherwise a failed load leaves the flags alone.
  bool retrieve_resets;
};

// One editor's file state: its store handle, its flags, the name on its
// Name line (null: none) and the names on its file lines (256 bytes each).
// The file names outlive their flags: a proposal may still use them.
struct editor_state {
  uint32_t handle;
  uint8_t *changed;
  uint8_t *retrieved;
  uint8_t *saved;
  uint8_t *read_only; // null: the editor does not track it
  char *name;
  char cur_dir[256];
  char retrieved_name[256];
  char saved_name[256];
};

// Copies at most size - 1 bytes of `src` (null: none) and the end mark.
void copy_text(char *dst, size_t size, const char *src);

// Asks a question on line 22 and erases it after the answer (1, 0 or -1).
int ask_question(const char *prompt, int16_t *answer);

// Formats "%P %R (%O)" into the title field's 256-byte text, at most one
// screen line of it, and centres the field on column 40.
void centre_title(form_field &title);

// Clears the flags, the file names and the current directory.
void editor_state_reset(editor_state &st);
// The Name line's name: the simple name of the saved file, else of the
// retrieved file, else `base_name`; without its extension.
void editor_build_name(editor_state &st, const char *base_name);
// Shows `text` on a line and runs it from its text field; *esc tells
// whether the user left with ESC.
int run_menu_line(menu_line line, char *text, bool *esc);

// What an item asks of the menu after it ran.
struct item_end {
  bool advance; // propose the next item
  bool full;    // the menu is drawn over: redraw it in full
};

// The file items every editor has; they never advance the selection.
enum class file_item : uint8_t { none, directory, save, retrieve };

// One row of an editor's menu: the text its menu form shows and what the
// item does, either an editor's own step or one of the file items.
struct editor_item {
  const char *text;
  int (*run)(item_end *end); // null for a file item
  file_item file;
};

// A numbered menu's label row for `item`, as the menu form shows it.
constexpr form_field menu_row(const editor_item &item, uint16_t row, uint16_t col, uint16_t width) {
  return {.kind = FIELD_LABEL,
          .flags = FF_STATIC,
          .row = row,
          .col = col,
          .width = width,
          .label = item.text};
}

// The parts of an editor's main screen that the shared steps run.
struct editor_menu {
  form *menu;               // field 0 is the title, a text field of 256 bytes
  form *base_line;          // null: none
  char *comment;            // the Comment line's buffer; null: no Comment line
  uint16_t selection;       // the menu's selection field
  const editor_item *items; // row i runs item i + 1
  uint16_t item_count;
  // The item proposed after `selection` ran and asked to advance.
  uint16_t (*next)(uint16_t selection);
  // Name, comment and Base line values for one pass of the menu (null:
  // nothing to prepare).
  int (*prepare_pass)();
};

// The whole editor: opens its store on `base`, enters with the file given,
// runs the menu until the user leaves, closes the store; the status.
int editor_run(const editor_files &ef, editor_state &st, const editor_menu &em, uint8_t base,
               const char *given);

// Reset to the base: asks before a reset of changed or retrieved content
// (*reset false when the answer is not Yes).
int editor_ask_reset(const editor_files &ef, const editor_state &st, bool *reset);
// Item 1 of the description editors: asks before a reset, runs the Base
// line from `choice`, stores a valid choice (below `types`) in *base and
// resets the store to it (also when unchanged). *advance tells whether the
// menu proposes the next item.
int editor_select_base(const editor_files &ef, editor_state &st, form *base_line, uint16_t choice,
                       uint16_t types, uint8_t *base, bool *advance);
// The file items, also callable on their own.
int editor_change_directory(editor_state &st);
int editor_save(const editor_files &ef, editor_state &st);
int editor_retrieve(const editor_files &ef, editor_state &st);
