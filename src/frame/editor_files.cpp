// The file dialogue shared by the terminal description and printer
// translation editors.
#include "frame/editor_files.h"

#include <cstring>

#include "lib/kern.h"
#include "lib/names.h"
#include "lib/status.h"

namespace {

char no_text[1] = "";

// The four lines drawn under both editors' menus. Only one editor runs at a
// time, so they share these tables; each editor points field 1 at its own
// buffers on every pass of its menu.
form_field comment_fields[] = {
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 3, .col = 41, .width = 9,
     .label = "Comment: "},
    {.kind = FIELD_TEXT, .flags = FF_DATA | FF_INPUT | FF_ZEROFILL, .row = 3,
     .col = 50, .width = 30, .attr = 4, .text = no_text},
};
form_field directory_fields[] = {
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 18, .col = 1, .width = 16,
     .label = "Directory: "},
    {.kind = FIELD_TEXT, .flags = FF_DATA | FF_INPUT | FF_ZEROFILL, .row = 18,
     .col = 17, .width = 62, .attr = 4, .text = no_text},
};
form_field retrieved_fields[] = {
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 19, .col = 1, .width = 16,
     .label = "Retrieved file: "},
    {.kind = FIELD_TEXT, .flags = FF_DATA | FF_INPUT | FF_ZEROFILL, .row = 19,
     .col = 17, .width = 62, .attr = 4, .text = no_text},
};
form_field saved_fields[] = {
    {.kind = FIELD_LABEL, .flags = FF_STATIC, .row = 20, .col = 1, .width = 16,
     .label = "Save(d) file: "},
    {.kind = FIELD_TEXT, .flags = FF_DATA | FF_INPUT | FF_ZEROFILL, .row = 20,
     .col = 17, .width = 62, .attr = 4, .text = no_text},
};

// Indexed by menu_line.
form lines[] = {
    make_form(0, comment_fields),
    make_form(0, directory_fields),
    make_form(0, retrieved_fields),
    make_form(0, saved_fields),
};

constexpr int TEXT_FIELD = 1;

bool is_no_file(int status) { return (status & 0xFFF) == ST_NO_FILE; }

int file_status_of(const char *name, file_status *fs) {
  *fs = {};
  return get_fstat_name(name, static_cast<uint16_t>(strlen(name)), fs);
}

// The work name: the current directory joined with the Name line's name.
// Should the two not fit in a name, the name alone is proposed.
void make_work_name(const editor_state &st, char *work) {
  copy_text(work, 256, st.cur_dir);
  if (append_simple_name(work, st.name) > 0)
    copy_text(work, 256, st.name);
}

// Gives a typed name the extension (when `ext` is set), checks and
// normalises it and makes it full; the result replaces the work name.
int normalise_name(char *work, const char *ext) {
  if (ext) {
    int s = append_ext_name(work, ext);
    if (s > 0) return s;
  }
  char out[256] = {};
  uint16_t len = 0;
  int s = process_file_name(work, out, &len);
  if (s > 0) return s;
  if (test_simple_name(out)) {
    s = make_full_name(out, &len);
    if (s > 0) return s;
  }
  copy_text(work, 256, out);
  return 0;
}

// Normalises the name typed on a line and redraws it. *ok is false when
// the name was refused (its status is shown).
int take_typed_name(menu_line line, char *work, const char *ext, bool *ok) {
  *ok = false;
  int s = normalise_name(work, ext);
  if (s > 0) return show_message(s);
  s = display_form(&lines[line], SHOW_VALUES);
  *ok = s <= 0;
  return s;
}

// Decides whether the save target may be written; shows why not.
int check_save_target(const editor_files &ef, char *work, bool *go) {
  bool ok = false;
  int s = take_typed_name(LINE_SAVED, work, ef.ext, &ok);
  *go = false;
  if (s > 0 || !ok) return s;
  file_status fs;
  s = file_status_of(work, &fs);
  if (s > 0) {
    *go = is_no_file(s);
    return *go ? 0 : show_message(s);
  }
  if (!(fs.flags & FSTAT_WRITABLE)) return show_message_text(ST_ACCESS, work);
  s = ask_if_changed_on_disk(work, go);
  if (s > 0 || !*go) return s;
  int16_t answer = 0;
  s = ask_question(ef.ask_replace, &answer);
  *go = answer == 1;
  return s;
}

// Decides whether the typed file may be loaded; shows why not.
int check_retrieve_source(const editor_files &ef, char *work, bool *go) {
  bool ok = false;
  int s = take_typed_name(LINE_RETRIEVED, work, ef.ext, &ok);
  *go = false;
  if (s > 0 || !ok) return s;
  file_status fs;
  s = file_status_of(work, &fs);
  if (s > 0) return show_message(s);
  *go = true;
  if (fs.flags & FSTAT_WRITABLE) return 0;
  int16_t answer = 0;
  s = ask_question(ef.ask_continue, &answer);
  *go = answer == 1;
  return s;
}

uint8_t is_new(const editor_state &st) {
  return !*st.retrieved && !*st.saved ? 1 : 0;
}

enum class save_end { esc, saved, discarded };

// Leaving after a failed save: the user may let the changes go.
int offer_discard(const editor_files &ef, save_end *end) {
  int16_t answer = 0;
  int s = ask_question(ef.ask_save_failed, &answer);
  if (s <= 0 && answer == 1) *end = save_end::discarded;
  return s;
}

// Runs the Saved line until the content is saved, the user leaves with ESC
// or (while leaving) agrees to lose what cannot be saved.
int save_dialogue(const editor_files &ef, editor_state &st, bool leaving,
                  save_end *end) {
  char work[256];
  make_work_name(st, work);
  for (;;) {
    bool esc = false, go = false;
    int s = run_menu_line(LINE_SAVED, work, &esc);
    if (s > 0) return s;
    *end = save_end::esc;
    if (esc) return 0;
    s = check_save_target(ef, work, &go);
    if (s > 0) return s;
    if (!go) continue;
    int rc = ef.save(st.handle, work, is_new(st));
    if (rc <= 0) {
      copy_text(st.saved_name, 256, work);
      *st.changed = 0;
      *st.saved = 1;
      *end = save_end::saved;
      return 0;
    }
    s = show_message_text(static_cast<uint32_t>(rc), ef.error_text(st.handle));
    if (s <= 0 && leaving) s = offer_discard(ef, end);
    if (s > 0 || *end == save_end::discarded) return s;
  }
}

// The file given at entry when its status is known: loads it, or goes back
// to the base with the store's reason shown.
int load_given(const editor_files &ef, editor_state &st, const char *work) {
  int rc = ef.load(st.handle, work);
  if (rc > 0) {
    // Keep the reason: going back to the base may clear it.
    char reason[256];
    copy_text(reason, sizeof reason, ef.error_text(st.handle));
    int s = ef.reset_to_base(st.handle);
    if (s > 0) return s;
    s = show_message_text(static_cast<uint32_t>(rc), reason);
    delay_kern(10);
    return s;
  }
  int s = ef.after_load(st.handle);
  if (s > 0) return s;
  copy_text(st.retrieved_name, 256, work);
  *st.retrieved = 1;
  return 0;
}

// A failure the editor ends with: shown with the name, after a pause.
int fail_with(int status, const char *name) {
  int s = show_message_text(static_cast<uint32_t>(status), name);
  delay_kern(10);
  return s > 0 ? s : status;
}

}  // namespace

void copy_text(char *dst, size_t size, const char *src) {
  if (size == 0) return;
  size_t n = src ? strnlen(src, size - 1) : 0;
  if (n) memcpy(dst, src, n);
  dst[n] = '\0';
}

form *editor_line(menu_line line) { return &lines[line]; }

int ask_question(const char *prompt, int16_t *answer) {
  *answer = 0;
  int s = ask_yes_no(prompt, answer);
  if (s > 0) return s;
  clear_prompt_line();
  return 0;
}

void editor_state_reset(editor_state &st) {
  *st.changed = *st.retrieved = *st.saved = 0;
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

void editor_point_lines(editor_state &st, char *comment) {
  if (!*st.saved) memset(st.saved_name, 0, sizeof st.saved_name);
  if (!*st.retrieved) memset(st.retrieved_name, 0, sizeof st.retrieved_name);
  lines[LINE_COMMENT].fields[TEXT_FIELD].text = comment;
  lines[LINE_DIRECTORY].fields[TEXT_FIELD].text = st.cur_dir;
  lines[LINE_RETRIEVED].fields[TEXT_FIELD].text = st.retrieved_name;
  lines[LINE_SAVED].fields[TEXT_FIELD].text = st.saved_name;
}

int editor_draw_lines(uint16_t show_class) {
  for (form &line : lines) {
    int s = display_form(&line, show_class);
    if (s > 0) return s;
  }
  return 0;
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

int editor_load_at_entry(const editor_files &ef, editor_state &st,
                         const char *given) {
  if (!given || !*given) return 0;
  char work[256] = {};
  if (strlen(given) > NAME_MAX_LEN) return fail_with(ST_NAME_TOO_LONG, given);
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
    int shown = show_message_text(static_cast<uint32_t>(s), given);
    delay_kern(10);
    return shown > 0 ? shown : 0;
  }
  if (s > 0) return fail_with(s, work);
  return load_given(ef, st, work);
}

int editor_enter(const editor_files &ef, editor_state &st,
                 const editor_menu &em, const char *given) {
  uint16_t len = 0;
  int s = get_cur_dir_kern(st.cur_dir, &len);
  if (s <= 0) s = editor_load_at_entry(ef, st, given);
  if (s > 0) return s;
  form_field &title = em.menu->fields[0];
  int title_len = sprintf_kern(title.text, "%P %R (%O)");
  uint16_t width = static_cast<uint16_t>(title_len < 0 ? 0 : title_len);
  if (width > 80) width = 80;
  title.width = width;
  title.col = static_cast<uint16_t>(40 - width / 2);
  em.menu->fields[em.selection].value = 1;
  return 0;
}

int editor_run(const editor_files &ef, editor_state &st, const editor_menu &em,
               uint8_t base, const char *given) {
  editor_state_reset(st);
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

int editor_menu_loop(const editor_files &ef, editor_state &st,
                     const editor_menu &em) {
  bool full = true;
  for (;;) {
    uint16_t show = full ? SHOW_ALL : SHOW_VALUES;
    int s = em.prepare_pass();
    if (s <= 0) s = display_form(em.menu, show);
    if (s <= 0) s = display_form(em.base_line, show);
    if (s <= 0) s = editor_draw_lines(show);
    if (s > 0) return s;
    full = false;
    uint16_t field = em.selection, key = 0;
    s = accept_menu(em.menu, &field, &key);
    if (s > 0) return s;
    if (key != KEY_ESC) {
      s = em.run_item(em.menu->fields[em.selection].value, &full);
    } else {
      bool leave = false;
      s = editor_leave(ef, st, &leave);
      if (s <= 0 && leave) return 0;
    }
    if (s > 0) return s;
  }
}

int editor_select_base(const editor_files &ef, editor_state &st, form *base_line,
                       uint16_t choice, uint16_t types, uint8_t *base,
                       bool *advance) {
  const char *question = *st.changed     ? ef.ask_reset_changed
                         : *st.retrieved ? ef.ask_reset_retrieved
                                         : nullptr;
  int16_t answer = 1;
  int s = question ? ask_question(question, &answer) : 0;
  *advance = false;
  if (s > 0 || answer != 1) return s;
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
    bool esc = false, ok = false;
    int s = run_menu_line(LINE_DIRECTORY, work, &esc);
    if (s > 0 || esc) return s > 0 ? s : 0;
    s = take_typed_name(LINE_DIRECTORY, work, nullptr, &ok);
    if (s > 0) return s;
    if (!ok) continue;
    file_status fs;
    int rc = file_status_of(work, &fs);
    constexpr uint16_t usable = FSTAT_WRITABLE | FSTAT_DIR;
    if (rc <= 0 && (fs.flags & usable) != usable) rc = ST_ACCESS;
    if (rc <= 0) rc = set_cur_dir_kern(work);
    if (rc <= 0) {
      copy_text(st.cur_dir, sizeof st.cur_dir, work);
      return 0;
    }
    s = show_message(static_cast<uint32_t>(rc));
    if (s > 0) return s;
  }
}

int editor_save(const editor_files &ef, editor_state &st) {
  save_end end = save_end::esc;
  return save_dialogue(ef, st, false, &end);
}

int editor_retrieve(const editor_files &ef, editor_state &st) {
  int16_t answer = 1;
  if (*st.changed) {
    int s = ask_question(ef.ask_discard, &answer);
    if (s > 0) return s;
    if (answer != 1) return 0;
  }
  char work[256];
  make_work_name(st, work);
  for (;;) {
    bool esc = false, go = false;
    int s = run_menu_line(LINE_RETRIEVED, work, &esc);
    if (s > 0 || esc) return s > 0 ? s : 0;
    s = check_retrieve_source(ef, work, &go);
    if (s > 0) return s;
    if (!go) continue;
    int rc = ef.load(st.handle, work);
    if (rc > 0) {
      s = show_message_text(static_cast<uint32_t>(rc), ef.error_text(st.handle));
      if (s > 0) return s;
      continue;
    }
    s = ef.after_load(st.handle);
    if (s > 0) return s;
    copy_text(st.retrieved_name, sizeof st.retrieved_name, work);
    *st.retrieved = 1;
    *st.changed = 0;
    *st.saved = 0;
    return 0;
  }
}

int editor_leave(const editor_files &ef, editor_state &st, bool *leave) {
  *leave = !*st.changed;
  if (*leave) return 0;
  int16_t answer = 0;
  int s = ask_question(*st.retrieved ? ef.ask_save_retrieved : ef.ask_save_base,
                       &answer);
  if (s > 0 || answer == -1) return s > 0 ? s : 0;
  *leave = answer == 0;
  if (*leave) return 0;
  save_end end = save_end::esc;
  s = save_dialogue(ef, st, true, &end);
  *leave = s <= 0 && end != save_end::esc;
  return s > 0 ? s : 0;
}
