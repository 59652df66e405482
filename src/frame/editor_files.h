// The file dialogue shared by the terminal description and printer
// translation editors: their file lines, the work name, the name checks, the
// file given at entry, save, retrieve, change of directory and leaving.
#pragma once

#include <cstddef>
#include <cstdint>

#include "scrmgr/scrmgr.h"

// What differs between the two editors' file dialogues: the extension, the
// question texts (each ending in one blank) and the store calls.
struct editor_files {
  const char *ext;                // ".tdi", ".pti"
  const char *ask_replace;        // save target exists and is writable
  const char *ask_continue;       // retrieve: the file is not writable
  const char *ask_discard;        // retrieve while changed
  const char *ask_save_retrieved; // leaving, content from a file
  const char *ask_save_base;      // leaving, content from a base
  const char *ask_save_failed;    // leaving, the save failed
  const char *ask_reset_changed;  // item 1 while changed
  const char *ask_reset_retrieved; // item 1 on content from a file
  const char *open_call;          // shown beside a failed open: "open_tdi"
  int (*open)(uint32_t *handle, uint8_t base);
  int (*close)(uint32_t *handle);
  int (*load)(uint32_t handle, const char *name);
  int (*save)(uint32_t handle, const char *name, uint8_t is_new);
  const char *(*error_text)(uint32_t handle);
  // Back to the current base after a file failed to load at entry.
  int (*reset_to_base)(uint32_t handle);
  // Takes the base (and comment) from content just loaded.
  int (*after_load)(uint32_t handle);
};

// One editor's file state: its store handle, its three flags, the name on
// its Name line and the three names on its file lines (256 bytes each).
struct editor_state {
  uint32_t handle;
  uint8_t *changed;
  uint8_t *retrieved;
  uint8_t *saved;
  char *name;
  char cur_dir[256];
  char retrieved_name[256];
  char saved_name[256];
};

// The four lines both editors draw under their menu; each is a label and a
// text field (field 1).
enum menu_line { LINE_COMMENT, LINE_DIRECTORY, LINE_RETRIEVED, LINE_SAVED };
form *editor_line(menu_line line);

// Copies at most size - 1 bytes of `src` (null: none) and the end mark.
void copy_text(char *dst, size_t size, const char *src);

// Asks a question on line 22 and erases it after the answer (1, 0 or -1).
int ask_question(const char *prompt, int16_t *answer);

// Clears the dialogue state of a fresh entry (flags, file names).
void editor_state_reset(editor_state &st);
// The Name line's name: the simple name of the saved file, else of the
// retrieved file, else `base_name`; without its extension.
void editor_build_name(editor_state &st, const char *base_name);
// Points the four lines at their buffers and zeroes the file names whose
// flags are clear.
void editor_point_lines(editor_state &st, char *comment);
int editor_draw_lines(uint16_t show_class);
// Shows `text` on a line and runs it from its text field; *esc tells
// whether the user left with ESC.
int run_menu_line(menu_line line, char *text, bool *esc);

// The parts of an editor's main screen that the shared steps run.
struct editor_menu {
  form *menu;         // field 0 is the title, a text field
  form *base_line;
  uint16_t selection; // the menu's selection field
  // Name, comment and line buffers for one pass of the menu.
  int (*prepare_pass)();
  // Runs an item and advances the selection; *full asks for a full redraw.
  int (*run_item)(uint16_t item, bool *full);
};

// The whole editor: opens its store on `base`, enters with the file given,
// runs the menu until the user leaves, closes the store; the status.
int editor_run(const editor_files &ef, editor_state &st, const editor_menu &em,
               uint8_t base, const char *given);
// Entry after the store is open: the current directory, the file given (a
// positive result means: close and return it), the title and selection.
int editor_enter(const editor_files &ef, editor_state &st,
                 const editor_menu &em, const char *given);
// The menu loop until the user leaves (0) or a status ends the editor.
int editor_menu_loop(const editor_files &ef, editor_state &st,
                     const editor_menu &em);

// The file named at entry. A positive result means: close and return it.
int editor_load_at_entry(const editor_files &ef, editor_state &st,
                         const char *given);
// Item 1: asks before a reset, runs the Base line from `choice`, stores a
// valid choice (below `types`) in *base and resets the store to it (also
// when unchanged). *advance tells whether the menu proposes the next item.
int editor_select_base(const editor_files &ef, editor_state &st, form *base_line,
                       uint16_t choice, uint16_t types, uint8_t *base,
                       bool *advance);
// Menu items: change directory, save and retrieve.
int editor_change_directory(editor_state &st);
int editor_save(const editor_files &ef, editor_state &st);
int editor_retrieve(const editor_files &ef, editor_state &st);
// ESC on the menu. *leave is set when the editor closes its store and
// returns 0; otherwise the menu loop goes on.
int editor_leave(const editor_files &ef, editor_state &st, bool *leave);
