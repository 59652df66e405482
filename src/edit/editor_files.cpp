// The file dialogue of the three editors and their menu loop.
#include "edit/editor_files.h"

#include <cstring>

#include "lib/kern.h"
#include "lib/names.h"
#include "lib/status.h"
#include "scrmgr/form_check.h"

namespace {

// What a file line shows while its flag is clear.
// Holds a whole name, as the lines may until they are pointed elsewhere.
char no_text[NAME_BUF] = "";

// The four lines drawn under the menus. Only one editor runs at a time, so
// they share these tables; each editor points field 1 at its own buffers
// on every pass of its menu.
// clang-format off
form_field comment_fields[] = {
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 3, .col = 41, .width = 9,
     .label = "Comment: "},
    {.kind = FIELD_TEXT, .flags = FF_DATA | FF_INPUT | FF_ZEROFILL, .row = 3,
     .col = 50, .width = 30, .attr = 4, .max = 31, .text = no_text},
};
// clang-format on
// clang-format off
form_field directory_fields[] = {
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 18, .col = 1, .width = 16,
     .label = "Directory: "},
    {.kind = FIELD_TEXT, .flags = FF_DATA | FF_INPUT | FF_ZEROFILL, .row = 18,
     .col = 17, .width = 62, .attr = 4, .max = NAME_MAX_LEN, .text = no_text},
};
// clang-format on
// clang-format off
form_field retrieved_fields[] = {
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 19, .col = 1, .width = 16,
     .label = "Retrieved file: "},
    {.kind = FIELD_TEXT, .flags = FF_DATA | FF_INPUT | FF_ZEROFILL, .row = 19,
     .col = 17, .width = 62, .attr = 4, .max = NAME_MAX_LEN, .text = no_text},
};
// clang-format on
// clang-format off
form_field saved_fields[] = {
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 20, .col = 1, .width = 16,
     .label = "Save(d) file: "},
    {.kind = FIELD_TEXT, .flags = FF_DATA | FF_INPUT | FF_ZEROFILL, .row = 20,
     .col = 17, .width = 62, .attr = 4, .max = NAME_MAX_LEN, .text = no_text},
};
// clang-format on

// Indexed by menu_line.
// clang-format off
form lines[] = {
    make_form(0, comment_fields),
    make_form(0, directory_fields),
    make_form(0, retrieved_fields),
    make_form(0, saved_fields),
};
// clang-format on
// clang-format off
const form_registrar lines_registered[] = {
    {"editor comment line", &lines[0]},
    {"editor directory line", &lines[1]},
    {"editor retrieved line", &lines[2]},
    {"editor saved line", &lines[3]},
};
// clang-format on

constexpr int TEXT_FIELD = 1;
constexpr int TITLE_MAX = 80; // one screen line

bool is_no_file(int status) { return (status & 0xFFF) == ST_NO_FILE; }

int file_status_of(const char *name, file_status *fs) {
  *fs = {};
  return get_fstat_name(name, static_cast<uint16_t>(strlen(name)), fs);
}

// Shows a status with the name it concerns; positive only when the
// message line itself failed.
int show_refused(int status, const char *name) {
  int s = show_message_text(static_cast<uint32_t>(status), name);
  return s > 0 ? s : 0;
}

// A failure the editor ends with: shown with the name, after a pause.
int fail_with(int status, const char *name) {
  int s = show_message_text(static_cast<uint32_t>(status), name);
  delay_kern(10);
  return s > 0 ? s : status;
}

// A question whose only way on is Yes.
int ask_yes(const char *prompt, bool *yes) {
  int16_t answer = 0;
  int s = ask_question(prompt, &answer);
  *yes = answer == 1;
  return s;
}

// The default proposal: the current directory joined with the Name line's
// name. Should the two not fit in a name, the name alone is proposed.
void propose_work_name(const editor_files &ef, const editor_state &st, menu_line line, char *work) {
  memset(work, 0, 256);
  if (ef.propose) return ef.propose(st, line, work);
  copy_text(work, 256, st.cur_dir);
  if (append_simple_name(work, st.name) > 0) copy_text(work, 256, st.name);
}

// Checks and normalises a typed name and makes it full; the result
// replaces it. A refused name is shown with its status (*ok false).
int normalise_name(char *work, bool *ok) {
  char out[256] = {};
  uint16_t len = 0;
  *ok = false;
  int s = process_file_name(work, out, &len);
  if (s > 0) return show_refused(s, work);
  if (test_simple_name(out) && (s = make_full_name(out, &len)) > 0) return show_refused(s, out);
  copy_text(work, 256, out);
  *ok = true;
  return 0;
}

// Gives a name typed on the Saved or Retrieved line the extension (and
// normalises it unless names are used as typed), then redraws the line.
int take_typed_name(const editor_files &ef, menu_line line, char *work, bool *ok) {
  *ok = false;
  int s = append_ext_name(work, ef.ext);
  if (s > 0) return show_refused(s, work);
  *ok = true;
  if (!ef.names_as_typed && ((s = normalise_name(work, ok)) > 0 || !*ok)) return s;
  s = display_form(&lines[line], SHOW_VALUES);
  return s > 0 ? s : 0;
}

enum class verdict { save, refused, escaped };

// The replace question, asked before a file that exists is written over.
int confirm_replace(const editor_files &ef, verdict *v) {
  int16_t answer = 0;
  int s = ask_question(ef.ask_replace, &answer);
  *v = answer == 1 ? verdict::save : answer == -1 ? verdict::escaped : verdict::refused;
  return s;
}

// Decides whether the save target may be written; shows why not.
int check_save_target(const editor_files &ef, const char *work, verdict *v) {
  *v = verdict::refused;
  file_status fs;
  int s = file_status_of(work, &fs);
  if (s > 0) {
    if (!is_no_file(s)) return show_refused(s, work);
    *v = verdict::save;
    return 0;
  }
  if (!(fs.flags & FSTAT_WRITABLE)) return show_refused(ST_ACCESS, work);
  // A file another program changed since it was read is not replaced
  // without a word.
  bool go = false;
  if ((s = ask_if_changed_on_disk(work, &go)) > 0 || !go) return s;
  return confirm_replace(ef, v);
}

// Decides whether the typed file may be loaded; shows why not.
int check_retrieve_source(const editor_files &ef, const char *work, bool *go) {
  file_status fs;
  *go = false;
  int s = file_status_of(work, &fs);
  if (s > 0) return show_refused(s, work);
  *go = true;
  return (fs.flags & FSTAT_WRITABLE) ? 0 : ask_yes(ef.ask_continue, go);
}

uint8_t is_new(const editor_state &st) { return !*st.retrieved && !*st.saved ? 1 : 0; }

enum class save_end { esc, saved, discarded };

// Saves to `work`; *end is saved on success, else the store's reason is
// shown and, while leaving, the user may let the changes go.
int save_to(const editor_files &ef, editor_state &st, const char *work, bool leaving,
            save_end *end) {
  int rc = ef.save(st.handle, work, is_new(st));
  if (rc <= 0) {
    copy_text(st.saved_name, sizeof st.saved_name, work);
    *st.changed = 0;
    *st.saved = 1;
    *end = save_end::saved;
    // Saved over another user's file, which is now ours: its owner should
    // know (the store names the file).
    const char *note = ef.error_text(st.handle);
    return note != nullptr && *note ? show_message_text(MSG_OWNER_NOT_KEPT, note) : 0;
  }
  int s = show_refused(rc, ef.error_text(st.handle));
  bool discard = false;
  if (s <= 0 && leaving) s = ask_yes(ef.ask_save_failed, &discard);
  if (discard) *end = save_end::discarded;
  return s;
}

// Runs the Saved line and takes the name typed; *esc when the user left.
int edit_save_name(const editor_files &ef, char *work, bool *esc, bool *ok) {
  *ok = false;
  int s = run_menu_line(LINE_SAVED, work, esc);
  return s > 0 || *esc ? s : take_typed_name(ef, LINE_SAVED, work, ok);
}

// Runs the Saved line until the content is saved, the user leaves with ESC
// or (while leaving) agrees to lose what cannot be saved. Where leaving
// saves at once, the proposal is tried before the line is first shown.
int save_dialogue(const editor_files &ef, editor_state &st, bool leaving, save_end *end) {
  char work[256];
  propose_work_name(ef, st, LINE_SAVED, work);
  bool at_once = leaving && ef.leave_saves_at_once;
  *end = save_end::esc;
  for (;;) {
    bool ok = true, esc = false;
    int s = at_once ? 0 : edit_save_name(ef, work, &esc, &ok);
    at_once = false;
    if (s > 0 || esc) return s;
    verdict v = verdict::refused;
    if (ok && (s = check_save_target(ef, work, &v)) > 0) return s;
    if (v == verdict::escaped && leaving && ef.leave_saves_at_once) return 0;
    if (v == verdict::save &&
        ((s = save_to(ef, st, work, leaving, end)) > 0 || *end != save_end::esc))
      return s;
  }
}

// Loads `work`. On failure the store's reason is shown (kept first: going
// back to the base may clear it) and, with `reset`, the base comes back.
int load_named(const editor_files &ef, editor_state &st, const char *work, bool reset,
               bool *loaded) {
  int rc = ef.load(st.handle, work);
  *loaded = rc <= 0;
  if (rc > 0) {
    char reason[256];
    copy_text(reason, sizeof reason, ef.error_text(st.handle));
    int s = reset ? ef.reset_to_base(st.handle) : 0;
    return s > 0 ? s : show_refused(rc, reason);
  }
  int s = ef.after_load(st.handle);
  if (s > 0) return s;
  copy_text(st.retrieved_name, sizeof st.retrieved_name, work);
  *st.retrieved = 1;
  *st.changed = 0;
  *st.saved = 0;
  return 0;
}

// The file named at entry. A positive result means: close and return it.
int load_at_entry(const editor_files &ef, editor_state &st, const char *given) {
  if (!given || !*given) return 0;
  if (strlen(given) > NAME_MAX_LEN) return fail_with(ST_NAME_TOO_LONG, given);
  char work[256] = {};
  copy_text(work, sizeof work, given);
  if (test_simple_name(given)) {
    copy_text(work, sizeof work, st.cur_dir);
    int s = append_simple_name(work, given);
    if (s > 0) return fail_with(s, given);
  }
  int s = append_ext_name(work, ef.ext);
  if (s > 0) return fail_with(s, work);
  file_status fs;
  s = file_status_of(work, &fs);
  if (s > 0 && is_no_file(s)) {
    // A missing file is reported and forgotten: the base stays.
    int shown = show_refused(s, work);
    delay_kern(10);
    return shown;
  }
  if (s > 0) return fail_with(s, work);
  if (st.read_only && !(fs.flags & FSTAT_WRITABLE)) *st.read_only = 1;
  bool loaded = false;
  s = load_named(ef, st, work, true, &loaded);
  if (!loaded) delay_kern(10);
  return s;
}

// Entry after the store is open: the current directory, the file given,
// the read-only question, the title and selection.
int editor_enter(const editor_files &ef, editor_state &st, const editor_menu &em,
                 const char *given) {
  uint16_t len = 0;
  int s = get_cur_dir_kern(st.cur_dir, &len);
  if (s <= 0) s = load_at_entry(ef, st, given);
  if (s > 0) return s;
  if (ef.ask_read_only && st.read_only && *st.read_only) {
    bool yes = false;
    s = ask_yes(ef.ask_read_only, &yes);
    if (s > 0 || !yes) return s > 0 ? s : ST_DECLINED;
  }
  centre_title(em.menu->fields[0]);
  em.menu->fields[em.selection].value = 1;
  return 0;
}

// Points the file lines at their buffers; a name whose flag is clear is
// kept but not shown.
void point_lines(editor_state &st, char *comment) {
  lines[LINE_COMMENT].fields[TEXT_FIELD].text = comment ? comment : no_text;
  lines[LINE_DIRECTORY].fields[TEXT_FIELD].text = st.cur_dir;
  lines[LINE_RETRIEVED].fields[TEXT_FIELD].text = *st.retrieved ? st.retrieved_name : no_text;
  lines[LINE_SAVED].fields[TEXT_FIELD].text = *st.saved ? st.saved_name : no_text;
}

// The menu, the Base line and the file lines, for one pass of the menu.
int draw_menu(editor_state &st, const editor_menu &em, uint16_t show) {
  int s = em.prepare_pass ? em.prepare_pass() : 0;
  point_lines(st, em.comment);
  if (s <= 0) s = display_form(em.menu, show);
  if (s <= 0 && em.base_line) s = display_form(em.base_line, show);
  for (int line = em.comment ? LINE_COMMENT : LINE_DIRECTORY; s <= 0 && line <= LINE_SAVED; ++line)
    s = display_form(&lines[line], show);
  return s;
}

// Runs the selected item from the editor's table and proposes the next.
int run_item(const editor_files &ef, editor_state &st, const editor_menu &em, bool *full) {
  uint16_t &selection = em.menu->fields[em.selection].value;
  if (selection < 1 || selection > em.item_count) return 0;
  const editor_item &item = em.items[selection - 1];
  item_end end{.advance = item.file == file_item::none, .full = false};
  int s = 0;
  switch (item.file) {
  case file_item::none: s = item.run(&end); break;
  case file_item::directory: s = editor_change_directory(st); break;
  case file_item::save: s = editor_save(ef, st); break;
  case file_item::retrieve: s = editor_retrieve(ef, st); break;
  }
  if (end.full) *full = true;
  if (s <= 0 && end.advance) selection = em.next(selection);
  return s;
}

// ESC on the menu. *leave is set when the editor closes its store and
// returns 0; otherwise the menu loop goes on.
int editor_leave(const editor_files &ef, editor_state &st, bool *leave) {
  *leave = !*st.changed;
  if (*leave) return 0;
  int16_t answer = 0;
  int s = ask_question(*st.retrieved ? ef.ask_save_retrieved : ef.ask_save_base, &answer);
  if (s > 0 || answer == -1) return s > 0 ? s : 0;
  *leave = answer == 0;
  if (*leave) return 0;
  save_end end = save_end::esc;
  s = save_dialogue(ef, st, true, &end);
  *leave = s <= 0 && end != save_end::esc;
  return s > 0 ? s : 0;
}

// The menu loop until the user leaves (0) or a status ends the editor.
int editor_menu_loop(const editor_files &ef, editor_state &st, const editor_menu &em) {
  bool full = true;
  for (;;) {
    int s = draw_menu(st, em, full ? SHOW_ALL : SHOW_VALUES);
    if (s > 0) return s;
    full = false;
    uint16_t field = em.selection, key = 0;
    s = accept_menu(em.menu, &field, &key);
    if (s > 0) return s;
    bool leave = false;
    s = key == KEY_ESC ? editor_leave(ef, st, &leave) : run_item(ef, st, em, &full);
    if (s > 0 || leave) return s > 0 ? s : 0;
  }
}

// One try of a typed directory; *done when it became the current one.
int try_directory(editor_state &st, char *work, bool *done) {
  bool ok = false;
  *done = false;
  int s = normalise_name(work, &ok);
  if (s > 0 || !ok) return s;
  // A relative folder is made full before the move, so that later
  // proposals are not resolved again from inside it.
  if ((s = make_path_full(work, nullptr)) > 0) return show_refused(s, work);
  if ((s = display_form(&lines[LINE_DIRECTORY], SHOW_VALUES)) > 0) return s;
  file_status fs{};
  int rc = file_status_of(work, &fs);
  constexpr uint16_t usable = FSTAT_WRITABLE | FSTAT_DIR;
  if (rc <= 0 && (fs.flags & usable) != usable) rc = ST_ACCESS;
  if (rc <= 0) rc = set_cur_dir_kern(work);
  if (rc > 0) return show_refused(rc, work);
  copy_text(st.cur_dir, sizeof st.cur_dir, work);
  *done = true;
  return 0;
}

} // namespace

void copy_text(char *dst, size_t size, const char *src) {
  if (size == 0) return;
  size_t n = src ? strnlen(src, size - 1) : 0;
  if (n) memcpy(dst, src, n);
  dst[n] = '\0';
}

int ask_question(const char *prompt, int16_t *answer) {
  *answer = 0;
  int s = ask_yes_no(prompt, answer);
  if (s > 0) return s; // no answer: the question stays in view
  clear_prompt_line();
  return 0;
}

void centre_title(form_field &title) {
  int len = sprintf_kern(title.text, "%P %R (%O)");
  if (len < 0) len = 0;
  if (len > TITLE_MAX) len = TITLE_MAX;
  title.text[len] = '\0';
  title.width = static_cast<uint16_t>(len);
  title.col = static_cast<uint16_t>(40 - len / 2);
}

void editor_state_reset(editor_state &st) {
  *st.changed = *st.retrieved = *st.saved = 0;
  if (st.read_only) *st.read_only = 0;
  memset(st.cur_dir, 0, sizeof st.cur_dir);
  memset(st.retrieved_name, 0, sizeof st.retrieved_name);
  memset(st.saved_name, 0, sizeof st.saved_name);
}

void editor_build_name(editor_state &st, const char *base_name) {
  if (*st.saved)
    get_simple_name(st.saved_name, st.name);
  else if (*st.retrieved)
    get_simple_name(st.retrieved_name, st.name);
  else
    copy_text(st.name, 256, base_name);
  remove_ext_name(st.name);
}

int run_menu_line(menu_line line, char *text, bool *esc) {
  form *f = &lines[line];
  f->fields[TEXT_FIELD].text = text;
  *esc = false;
  int s = display_form(f, SHOW_VALUES);
  if (s > 0) return s;
  uint16_t field = TEXT_FIELD, key = 0;
  s = accept_menu(f, &field, &key);
  if (s > 0) return s;
  *esc = key == KEY_ESC;
  return 0;
}

int editor_run(const editor_files &ef, editor_state &st, const editor_menu &em, uint8_t base,
               const char *given) {
  // The flags start clear; the file names survive for the proposals.
  *st.changed = *st.retrieved = *st.saved = 0;
  if (st.read_only) *st.read_only = 0;
  int s = ef.open(&st.handle, base);
  if (s > 0) {
    show_message_text(static_cast<uint32_t>(s), ef.open_call);
    delay_kern(10);
    return s;
  }
  s = editor_enter(ef, st, em, given);
  if (s <= 0) s = editor_menu_loop(ef, st, em);
  int closed = ef.close(&st.handle);
  return s > 0 ? s : closed > 0 ? closed : 0;
}

int editor_ask_reset(const editor_files &ef, const editor_state &st, bool *reset) {
  const char *question = *st.changed     ? ef.ask_reset_changed
                         : *st.retrieved ? ef.ask_reset_retrieved
                                         : nullptr;
  *reset = true;
  return question ? ask_yes(question, reset) : 0;
}

int editor_select_base(const editor_files &ef, editor_state &st, form *base_line, uint16_t choice,
                       uint16_t types, uint8_t *base, bool *advance) {
  bool reset = false;
  int s = editor_ask_reset(ef, st, &reset);
  *advance = false;
  if (s > 0 || !reset) return s;
  uint16_t field = choice, key = 0;
  s = accept_menu(base_line, &field, &key);
  if (s > 0 || key == KEY_ESC) return s;
  if (base_line->fields[choice].value < types)
    *base = static_cast<uint8_t>(base_line->fields[choice].value);
  // The comment follows the base on the next pass of the menu.
  s = ef.reset_to_base(st.handle);
  *st.changed = *st.retrieved;
  *st.saved = 0;
  *advance = true;
  return s;
}

int editor_change_directory(editor_state &st) {
  char work[256];
  copy_text(work, sizeof work, st.cur_dir);
  for (;;) {
    bool esc = false, done = false;
    int s = run_menu_line(LINE_DIRECTORY, work, &esc);
    if (s <= 0 && !esc) s = try_directory(st, work, &done);
    if (s > 0 || esc || done) return s > 0 ? s : 0;
  }
}

int editor_save(const editor_files &ef, editor_state &st) {
  save_end end = save_end::esc;
  return save_dialogue(ef, st, false, &end);
}

int editor_retrieve(const editor_files &ef, editor_state &st) {
  bool yes = true;
  int s = *st.changed ? ask_yes(ef.ask_discard, &yes) : 0;
  if (s > 0 || !yes) return s;
  char work[256];
  propose_work_name(ef, st, LINE_RETRIEVED, work);
  for (;;) {
    bool esc = false, ok = false, go = false, loaded = false;
    s = run_menu_line(LINE_RETRIEVED, work, &esc);
    if (s > 0 || esc) return s;
    if ((s = take_typed_name(ef, LINE_RETRIEVED, work, &ok)) > 0) return s;
    if (ok && (s = check_retrieve_source(ef, work, &go)) > 0) return s;
    if (!go) continue;
    if (ef.retrieve_resets) *st.changed = *st.retrieved = *st.saved = 0;
    s = load_named(ef, st, work, ef.retrieve_resets, &loaded);
    if (s > 0 || loaded) return s;
  }
}
