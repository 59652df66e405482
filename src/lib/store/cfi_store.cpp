// The system configuration store and the ".ini" reader: the system
// descriptor and the six tables, kept behind handles, read from and written
// to ".cfi" text files, and merged from ".ini" files.
#include "lib/cfi_store.h"

#include "lib/internal/lib_internal.h"
#include "lib/status.h"
#include "lib/store/cfi_defaults.h"
#include "lib/store/store_text.h"
#include "lib/strs.h"

#include <array>
#include <cstring>

using namespace xnstore;

namespace {

constexpr const char *KIND = "system-configuration";

// The [system] section: the system descriptor and the target.
struct sys_head {
  sys_desc sys;
  uint8_t target;
};

#define YN(rec, key, member)                                                                       \
  field_def { key, field_kind::yesno, offsetof(rec, member), 1, 0, 0, 1, nullptr, 1 }
#define NUM(rec, key, member, lo, hi)                                                              \
  field_def {                                                                                      \
    key, field_kind::number, offsetof(rec, member), sizeof(rec::member), 0, lo, hi, nullptr, 1     \
  }
#define CHOICE(rec, key, member, list, hi)                                                         \
  field_def { key, field_kind::choice, offsetof(rec, member), 1, 0, 0, hi, list, 1 }
#define TEXT(rec, key, member)                                                                     \
  field_def {                                                                                      \
    key, field_kind::text, offsetof(rec, member), sizeof(rec::member), 0, 0, 0, nullptr, 1         \
  }
#define PRIV(key, mask)                                                                            \
  field_def { key, field_kind::yesno, offsetof(con_desc, privileges), 2, mask, 0, 1, nullptr, 1 }
// One [system] key from its row of the system parameters.
constexpr field_def sys_field(const rec_param &p, bool since_pdf) {
  const bool yes_no = p.member.size == 1;
  return {p.key,
          yes_no ? field_kind::yesno : field_kind::number,
          static_cast<uint16_t>(offsetof(sys_head, sys) + p.member.offset),
          p.member.size,
          0,
          p.min,
          p.max,
          nullptr,
          static_cast<uint8_t>(since_pdf ? 2 : 1)};
}

// Keys of [system], in the order they are written: the target, then the
// system parameters. Revision 1 files had no PDF formats.
constexpr std::array<field_def, SYS_PARAM_COUNT + 1> make_sys_fields() {
  std::array<field_def, SYS_PARAM_COUNT + 1> f{};
  f[0] = {"target", field_kind::choice, offsetof(sys_head, target), 1, 0, 0, 1, os_target_strs, 1};
  for (size_t i = 0; i < SYS_PARAM_COUNT; ++i)
    f[i + 1] = sys_field(sys_params[i], i == SP_PDF_FORMATS);
  return f;
}
constexpr auto sys_fields = make_sys_fields();

// clang-format off
constexpr field_def str_fields[] = {
    YN(str_desc, "enabled", str_enabled),
    TEXT(str_desc, "value", str_value),
};
// clang-format on

// clang-format off
constexpr field_def con_fields[] = {
    YN(con_desc, "enabled", con_enabled),
    YN(con_desc, "run-programs", run_programs),
    TEXT(con_desc, "device", device),
    TEXT(con_desc, "startup-program", startup_program),
    TEXT(con_desc, "term", term),
    NUM(con_desc, "timeout", timeout, 0, 6300),
    NUM(con_desc, "lines", lines, 0, 255),
    NUM(con_desc, "columns", columns, 0, 255),
    NUM(con_desc, "compress-columns", compress_columns, 0, 255),
    NUM(con_desc, "pcq", pcq_number, 0, 2047),
    NUM(con_desc, "prn", prn_number, 0, 2047),
    NUM(con_desc, "ser", ser_number, 0, 2047),
    CHOICE(con_desc, "abort", abort, abort_env_strs, 1),
    CHOICE(con_desc, "scropt", scropt, scropt_env_strs, 3),
    CHOICE(con_desc, "sdmode", sdmode, sdmode_env_strs, 3),
    CHOICE(con_desc, "reverse", reverse, reverse_env_strs, 2),
    CHOICE(con_desc, "color", color_mode, color_env_strs, 2),
    {"background", field_kind::choice, offsetof(con_desc, colors), 1, 0x70, 0, 7, fgbg_color_env_strs, 1},
    {"foreground", field_kind::choice, offsetof(con_desc, colors), 1, 0x07, 0, 7, fgbg_color_env_strs, 1},
    // Bits 3 and 7 of the colour byte, carried for the runtime.
    {"colour-flags", field_kind::number, offsetof(con_desc, colors), 1, 0x88, 0, 17, nullptr, 1},
    PRIV("abort-terminal", CON_PRIV_ABORT),
    PRIV("console-interrupt", CON_PRIV_INTERRUPT),
    PRIV("debugging", CON_PRIV_DEBUG),
    PRIV("system-information", CON_PRIV_SYSINFO),
    PRIV("message-sending", CON_PRIV_MESSAGE),
    PRIV("printer-control", CON_PRIV_PRINTER),
    PRIV("shutdown", CON_PRIV_SHUTDOWN),
    PRIV("terminal-status", CON_PRIV_STATUS),
    PRIV("detached-programs", CON_PRIV_DETACHED),
    PRIV("queue-management", CON_PRIV_PCQ_MGMT),
    PRIV("watch-others", CON_PRIV_WATCH),
    PRIV("not-watched", CON_PRIV_NO_WATCH),
    {"privilege-flags", field_kind::number, offsetof(con_desc, privileges), 2, 0xF000, 0, 15, nullptr, 1},
};
// clang-format on

#define LINE_FIELDS(rec)                                                                           \
  YN(rec, "set-line", set_line), YN(rec, "modem-control", modem_control),                          \
      YN(rec, "sfc-in", sfc_in), YN(rec, "sfc-out", sfc_out), YN(rec, "hfc-in", hfc_in),           \
      YN(rec, "hfc-out", hfc_out), CHOICE(rec, "baud", baud, uart_baud_strs, 10),                  \
      CHOICE(rec, "data-bits", data_bits, uart_data_strs, 1),                                      \
      CHOICE(rec, "parity", parity, uart_parity_strs, 2),                                          \
      CHOICE(rec, "stop-bits", stop_bits, uart_stop_strs, 1)

// clang-format off
constexpr field_def ser_fields[] = {
    YN(ser_desc, "enabled", ser_enabled),
    TEXT(ser_desc, "device", device),
    LINE_FIELDS(ser_desc),
};
// clang-format on

// clang-format off
constexpr field_def prn_fields[] = {
    YN(prn_desc, "enabled", prn_enabled),
    TEXT(prn_desc, "device", device),
    TEXT(prn_desc, "translation", translation),
    YN(prn_desc, "formfeed-open", ffd_o),
    YN(prn_desc, "formfeed-close", ffd_c),
    LINE_FIELDS(prn_desc),
};
// clang-format on

// clang-format off
constexpr field_def pcq_fields[] = {
    YN(pcq_desc, "enabled", pcq_enabled),
    TEXT(pcq_desc, "queue-name", queue_name),
    TEXT(pcq_desc, "translation", translation),
    YN(pcq_desc, "auto-queue", auto_queue),
    CHOICE(pcq_desc, "end-disposition", end_disposition, pcq_disp_strs, 2),
    YN(pcq_desc, "no-banner", no_banner),
    YN(pcq_desc, "notify", notify),
    YN(pcq_desc, "formfeed-b", formfeed_b),
    YN(pcq_desc, "formfeed-c", formfeed_c),
    YN(pcq_desc, "formfeed-e", formfeed_e),
};
// clang-format on

// clang-format off
constexpr field_def pdf_fields[] = {
    YN(pdf_desc, "enabled", enabled),
    TEXT(pdf_desc, "comment", comment),
    CHOICE(pdf_desc, "paper", paper, pdf_papername_strs, 8),
    NUM(pdf_desc, "width", width, 72, 1440),
    NUM(pdf_desc, "height", height, 72, 1440),
    YN(pdf_desc, "landscape", landscape),
    NUM(pdf_desc, "top", top, 0, 1224),
    NUM(pdf_desc, "bottom", bottom, 0, 1224),
    NUM(pdf_desc, "left", left, 0, 1224),
    NUM(pdf_desc, "right", right, 0, 1224),
    CHOICE(pdf_desc, "font", font, pdf_fontname_strs, 11),
    NUM(pdf_desc, "font-size", font_size, 2, 72),
    CHOICE(pdf_desc, "alignment", alignment, pdf_varfontmode_strs, 2),
    NUM(pdf_desc, "line-spacing", line_spacing, 0, 1440),
    YN(pdf_desc, "autowrap", autowrap),
    YN(pdf_desc, "multipart", multipart),
    NUM(pdf_desc, "multipart-count", multipart_count, 1, 9),
    YN(pdf_desc, "scale", scale),
    YN(pdf_desc, "center", center),
    YN(pdf_desc, "fit-margins", fit_margins),
    TEXT(pdf_desc, "background-form", background_form),
    YN(pdf_desc, "use-once", use_once),
    YN(pdf_desc, "reuse-last-page", reuse_last_page),
};
// clang-format on

#undef YN
#undef NUM
#undef CHOICE
#undef TEXT
#undef PRIV
#undef LINE_FIELDS

struct cfi_data {
  sys_head head{};
  std::vector<str_desc> str;
  std::vector<con_desc> con;
  std::vector<ser_desc> ser;
  std::vector<prn_desc> prn;
  std::vector<pcq_desc> pcq;
  std::vector<pdf_desc> pdf;
};

// The tables of a configuration, in the order they are written; each
// knows its section name, keys, records and defaults.
enum table_id { T_STR, T_CON, T_SER, T_PRN, T_PCQ, T_PDF, T_COUNT };

struct table_def {
  const char *section;
  const char *plural;
  std::span<const field_def> fields;
  uint8_t since;
};

// clang-format off
constexpr table_def tables[T_COUNT] = {
    {"string", "environment strings", str_fields, 1},
    {"console", "consoles", con_fields, 1},
    {"serial", "serial lines", ser_fields, 1},
    {"printer", "printers", prn_fields, 1},
    {"queue", "queues", pcq_fields, 1},
    {"pdf", "PDF formats", pdf_fields, 2},
};
// clang-format on

template <class R, class F>
void resize_to(std::vector<R> &v, uint32_t count, F make) {
  size_t old = v.size();
  if (count > v.capacity()) {
    v.reserve(count);
    prefault(v.data() + old, (count - old) * sizeof(R));
  }
  v.resize(count);
  for (size_t i = old; i < count; ++i) v[i] = make(static_cast<uint32_t>(i));
}

// Sizes every table to its count; new entries take their index's defaults.
void resize_tables(cfi_data &d) {
  uint8_t t = d.head.target;
  const sys_desc &s = d.head.sys;
  resize_to(d.str, s.env_string_count, [t](uint32_t i) { return default_str(t, i); });
  resize_to(d.con, s.con_count, [t](uint32_t i) { return default_con(t, i); });
  resize_to(d.ser, s.ser_count, [t](uint32_t i) { return default_ser(t, i); });
  resize_to(d.prn, s.prn_count, [t](uint32_t i) { return default_prn(t, i); });
  resize_to(d.pcq, s.pcq_count, [t](uint32_t i) { return default_pcq(t, i); });
  resize_to(d.pdf, s.pdf_format_count, [](uint32_t i) { return default_pdf(i); });
}

// The defaults of a new configuration, but for the tables (resize_tables).
void set_defaults(cfi_data &d, uint8_t target) {
  d = cfi_data{};
  d.head.sys = default_sys();
  d.head.target = target <= TARGET_WINDOWS ? target : TARGET_UNIX;
}

size_t table_size(const cfi_data &d, int t) {
  switch (t) {
  case T_STR: return d.str.size();
  case T_CON: return d.con.size();
  case T_SER: return d.ser.size();
  case T_PRN: return d.prn.size();
  case T_PCQ: return d.pcq.size();
  default: return d.pdf.size();
  }
}

void *table_entry(cfi_data &d, int t, size_t i) {
  switch (t) {
  case T_STR: return &d.str[i];
  case T_CON: return &d.con[i];
  case T_SER: return &d.ser[i];
  case T_PRN: return &d.prn[i];
  case T_PCQ: return &d.pcq[i];
  default: return &d.pdf[i];
  }
}

// Default of entry `i` of table `t`, in a buffer large enough for any record.
union any_record {
  str_desc str;
  con_desc con;
  ser_desc ser;
  prn_desc prn;
  pcq_desc pcq;
  pdf_desc pdf;
};

void table_default(int t, uint8_t target, uint32_t i, any_record &r) {
  switch (t) {
  case T_STR: r.str = default_str(target, i); break;
  case T_CON: r.con = default_con(target, i); break;
  case T_SER: r.ser = default_ser(target, i); break;
  case T_PRN: r.prn = default_prn(target, i); break;
  case T_PCQ: r.pcq = default_pcq(target, i); break;
  default: r.pdf = default_pdf(i); break;
  }
}

void render(cfi_data &d, text_out &o) {
  std::string &out = o.text();
  out += "# System configuration. Table entries appear only where they differ\n"
         "# from the defaults, and then only with the keys that differ.\n";
  append_header(out, KIND);
  out += "\n[system]\n";
  write_fields(out, &d.head, nullptr, sys_fields);
  for (int t = 0; t < T_COUNT; ++t) {
    size_t n = table_size(d, t);
    for (size_t i = 0; i < n; ++i) {
      any_record def;
      table_default(t, d.head.target, static_cast<uint32_t>(i), def);
      size_t mark = out.size();
      out += "\n[";
      out += tables[t].section;
      out += ' ';
      append_number(out, static_cast<uint32_t>(i));
      out += "]\n";
      size_t body = out.size();
      write_fields(out, table_entry(d, t, i), &def, tables[t].fields);
      if (out.size() == body) out.resize(mark);
      o.spill();
    }
  }
  out += "\n[end]\n";
}

text_writer writer(cfi_data &d) {
  return [&d](text_out &o) { render(d, o); };
}

// Where parsing stopped and why.
struct parse_error {
  int line = 0;
  std::string reason;
};

std::string section_text(const text_line &l) {
  return "[" + std::string(l.name) + (l.value.empty() ? "" : " ") + std::string(l.value) + "]";
}

// `sect` is the header line of the section, named in error texts; `hint`
// is where the last key was found: files list the keys in table order, so
// the search starts after it.
bool apply_field(void *rec, std::span<const field_def> fields, int revision, const text_line &l,
                 const text_line &sect, size_t &hint, repeat_check &seen, parse_error &e) {
  const field_def *f = find_field(fields, l.name, hint);
  if (f == nullptr || f->since > revision) {
    e = {l.line, "unknown key " + std::string(l.name) + " in " + section_text(sect)};
    return false;
  }
  std::string why;
  if (!seen.key(f->key, l, why)) {
    e = {l.line, why + " in " + section_text(sect)};
    return false;
  }
  if (!parse_field(rec, *f, l.value, why)) {
    e = {l.line, why};
    return false;
  }
  return true;
}

// What one pass over the body of a file applies. The counts given in
// [system] size the tables, so in general [system] is read in a pass of its
// own before the tables; files put [system] first, and then one pass does.
enum pass_kind { PASS_SYSTEM, PASS_TABLES, PASS_ONE };

// A [system] section after a table entry in a single pass.
constexpr int LATE_SYSTEM = -1;

// Applies the body of a file (the lines after its header) to `d`; 0 or a
// status with `e` set. PASS_SYSTEM also checks the file's end; PASS_ONE
// gives up with LATE_SYSTEM when [system] follows a table section.
int apply_body(line_scanner sc, int revision, bool need_end, pass_kind pass, cfi_data &d,
               parse_error &e) {
  void *rec = nullptr;
  int table = -1;
  bool in_system = false;
  bool sized = pass != PASS_ONE;
  size_t hint = 0;
  repeat_check seen;
  text_line sect, l;
  while (sc.next(l)) {
    if (!l.section) {
      if (in_system) {
        if (pass != PASS_TABLES &&
            !apply_field(&d.head, sys_fields, revision, l, sect, hint, seen, e))
          return ST_BAD_DATA;
      } else if (pass != PASS_SYSTEM) {
        if (rec == nullptr) {
          e = {l.line, "key " + std::string(l.name) + " outside a section"};
          return ST_BAD_DATA;
        }
        if (!apply_field(rec, tables[table].fields, revision, l, sect, hint, seen, e))
          return ST_BAD_DATA;
      }
      continue;
    }
    sect = l;
    hint = 0;
    rec = nullptr;
    if (!seen.section(l, e.reason)) {
      e.line = l.line;
      return ST_BAD_DATA;
    }
    in_system = l.name == "system" && l.value.empty();
    if (in_system) {
      if (pass == PASS_ONE && sized) return LATE_SYSTEM;
      continue;
    }
    if (pass == PASS_SYSTEM) continue;
    if (!sized) {
      resize_tables(d);
      sized = true;
    }
    table = -1;
    for (int t = 0; t < T_COUNT; ++t)
      if (l.name == tables[t].section && tables[t].since <= revision) table = t;
    uint32_t index = 0;
    if (table < 0 || !parse_number(l.value, index)) {
      e = {l.line, "unknown section " + section_text(l)};
      return ST_BAD_DATA;
    }
    size_t n = table_size(d, table);
    if (index >= n) {
      e = {l.line,
           section_text(l) + " beyond the " + std::to_string(n) + " " + tables[table].plural};
      return ST_BAD_DATA;
    }
    rec = table_entry(d, table, index);
  }
  if (!sized || pass == PASS_SYSTEM) resize_tables(d);
  if (pass == PASS_TABLES) return 0; // the first pass has checked the end
  return check_end(sc, revision, need_end, e.reason, e.line);
}

// Applies a file's body to `d`, which holds what the file starts from. A
// failed single pass is read again in two, which find the error each
// section's rules give and so report it the same way every time.
int apply_file(const line_scanner &body, int revision, bool need_end, cfi_data &d, parse_error &e) {
  const cfi_data start = d;
  if (apply_body(body, revision, need_end, PASS_ONE, d, e) == 0) return 0;
  d = start;
  int st = apply_body(body, revision, need_end, PASS_SYSTEM, d, e);
  if (st == 0) st = apply_body(body, revision, need_end, PASS_TABLES, d, e);
  return st;
}

// Parses a whole ".cfi" file into `d`, starting from the defaults of its
// target (`fallback` when it names none).
int parse_cfi(std::string_view text, cfi_data &d, uint8_t fallback, parse_error &e) {
  line_scanner sc(text);
  int revision = CURRENT_REVISION;
  int st = read_header(sc, KIND, revision, e.reason, e.line);
  if (st != 0) return st;
  // The tables are built only once [system] has named the target, whose
  // defaults the entries not in the file take.
  set_defaults(d, fallback);
  return apply_file(sc, revision, true, d, e);
}

struct cfi_store {
  store_state st;
  cfi_data d;
  // New tables are filled with defaults when first used, so that a store
  // opened only to load a file never builds them.
  bool tables_due = false;

  cfi_data &data() {
    if (tables_due) {
      resize_tables(d);
      tables_due = false;
    }
    return d;
  }
};

struct ini_file {
  std::string name;
  std::string text;
};

handle_table<cfi_store> stores;
handle_table<ini_file> ini_files;

void write_side_files_cfi() {
  stores.each([](cfi_store &s) {
    if (s.st.dirty) write_side_file(s.st, writer(s.data()), "system.cfi");
  });
}

template <class R>
int get_entry(uint32_t handle, std::vector<R> cfi_data::*table, uint32_t index, R *rec) {
  cfi_store *s = stores.find(handle);
  if (s == nullptr || rec == nullptr) return ST_FAILED;
  const std::vector<R> &v = s->data().*table;
  *rec = index < v.size() ? v[index] : R{};
  return 0;
}

template <class R>
int put_entry(uint32_t handle, std::vector<R> cfi_data::*table, uint32_t index, const R *rec) {
  cfi_store *s = stores.find(handle);
  if (s == nullptr || rec == nullptr) return ST_FAILED;
  std::vector<R> &v = s->data().*table;
  if (index < v.size() && std::memcmp(&v[index], rec, sizeof(R)) != 0) {
    v[index] = *rec;
    s->st.dirty = true;
  }
  return 0;
}

bool counts_valid(const sys_desc &s) {
  return s.con_count >= 1 && s.con_count <= CFI_MAX_DEVICES && s.prn_count <= CFI_MAX_DEVICES &&
         s.pcq_count <= CFI_MAX_DEVICES && s.ser_count <= CFI_MAX_DEVICES &&
         s.env_string_count <= CFI_MAX_ENV && s.pdf_format_count >= 1 &&
         s.pdf_format_count <= CFI_MAX_PDF;
}

} // namespace

int init_cfi() {
  register_side_file_writer(write_side_files_cfi);
  return 0;
}

int open_cfi(uint32_t *handle, uint8_t target_os) {
  if (handle == nullptr) return ST_FAILED;
  auto s = std::make_unique<cfi_store>();
  set_defaults(s->d, target_os);
  s->tables_due = true;
  *handle = stores.add(std::move(s));
  return 0;
}

int load_cfi(uint32_t handle, const char *name) {
  cfi_store *s = stores.find(handle);
  if (s == nullptr || name == nullptr) return ST_FAILED;
  std::string text;
  loaded_file file;
  int st = read_for_load(s->st, name, text, file);
  if (st == 0) {
    cfi_data d;
    parse_error e;
    st = parse_cfi(text, d, s->d.head.target, e);
    if (st == 0) {
      s->d = std::move(d);
      s->tables_due = false;
    } else {
      s->st.error = line_error(e.line, e.reason);
    }
  }
  finish_load(s->st, name, file, st);
  audit_file_event("load", "cfi", name, st);
  return st;
}

int save_cfi(uint32_t handle, const char *name, uint8_t /*is_new*/) {
  cfi_store *s = stores.find(handle);
  if (s == nullptr || name == nullptr) return ST_FAILED;
  return save_text(s->st, name, writer(s->data()), "cfi");
}

int default_cfi(uint32_t handle, int /*all*/, uint8_t target_os) {
  cfi_store *s = stores.find(handle);
  if (s == nullptr) return ST_FAILED;
  set_defaults(s->d, target_os);
  s->tables_due = true;
  s->st.dirty = true;
  return 0;
}

int close_cfi(uint32_t *handle) {
  if (handle == nullptr || !stores.remove(*handle)) return ST_FAILED;
  *handle = 0;
  return 0;
}

const char *get_error_buffer_cfi(uint32_t handle) {
  cfi_store *s = stores.find(handle);
  return s == nullptr ? "no such system configuration handle" : s->st.error.c_str();
}

uint8_t get_os_target_sys(uint32_t handle) {
  cfi_store *s = stores.find(handle);
  return s == nullptr ? 0 : s->d.head.target;
}

int get_desc_sys(uint32_t handle, sys_desc *rec) {
  cfi_store *s = stores.find(handle);
  if (s == nullptr || rec == nullptr) return ST_FAILED;
  *rec = s->d.head.sys;
  return 0;
}

int put_desc_sys(uint32_t handle, const sys_desc *rec) {
  cfi_store *s = stores.find(handle);
  if (s == nullptr || rec == nullptr) return ST_FAILED;
  if (!counts_valid(*rec)) return ST_BAD_COUNT;
  if (std::memcmp(&s->d.head.sys, rec, sizeof *rec) != 0) {
    s->data().head.sys = *rec;
    resize_tables(s->d);
    s->st.dirty = true;
  }
  return 0;
}

int get_desc_str(uint32_t h, uint32_t i, str_desc *r) { return get_entry(h, &cfi_data::str, i, r); }
int put_desc_str(uint32_t h, uint32_t i, const str_desc *r) {
  return put_entry(h, &cfi_data::str, i, r);
}
int get_desc_con(uint32_t h, uint32_t i, con_desc *r) { return get_entry(h, &cfi_data::con, i, r); }
int put_desc_con(uint32_t h, uint32_t i, const con_desc *r) {
  return put_entry(h, &cfi_data::con, i, r);
}
int get_desc_ser(uint32_t h, uint32_t i, ser_desc *r) { return get_entry(h, &cfi_data::ser, i, r); }
int put_desc_ser(uint32_t h, uint32_t i, const ser_desc *r) {
  return put_entry(h, &cfi_data::ser, i, r);
}
int get_desc_prn(uint32_t h, uint32_t i, prn_desc *r) { return get_entry(h, &cfi_data::prn, i, r); }
int put_desc_prn(uint32_t h, uint32_t i, const prn_desc *r) {
  return put_entry(h, &cfi_data::prn, i, r);
}
int get_desc_pcq(uint32_t h, uint32_t i, pcq_desc *r) { return get_entry(h, &cfi_data::pcq, i, r); }
int put_desc_pcq(uint32_t h, uint32_t i, const pcq_desc *r) {
  return put_entry(h, &cfi_data::pcq, i, r);
}
int get_desc_pdf(uint32_t h, uint32_t i, pdf_desc *r) { return get_entry(h, &cfi_data::pdf, i, r); }
int put_desc_pdf(uint32_t h, uint32_t i, const pdf_desc *r) {
  return put_entry(h, &cfi_data::pdf, i, r);
}

int put_count_pdf(uint32_t handle, uint16_t count) {
  cfi_store *s = stores.find(handle);
  if (s == nullptr) return ST_FAILED;
  if (count < 1 || count > CFI_MAX_PDF) return ST_BAD_COUNT;
  if (s->d.head.sys.pdf_format_count != count) {
    s->data().head.sys.pdf_format_count = count;
    resize_tables(s->d);
    s->st.dirty = true;
  }
  return 0;
}

int open_ini(const char *name, uint32_t *handle) {
  if (name == nullptr || handle == nullptr) return ST_FAILED;
  auto f = std::make_unique<ini_file>();
  f->name = name;
  std::string error;
  int st = read_file_whole(name, f->text, error);
  if (st != 0) {
    audit_file_event("load", "ini", name, st);
    return st;
  }
  *handle = ini_files.add(std::move(f));
  return 0;
}

int close_ini(uint32_t *handle) {
  if (handle == nullptr || !ini_files.remove(*handle)) return ST_FAILED;
  *handle = 0;
  return 0;
}

int load_sections_cfi(uint32_t handle, uint32_t ini_handle, int /*all*/) {
  cfi_store *s = stores.find(handle);
  ini_file *f = ini_files.find(ini_handle);
  if (s == nullptr || f == nullptr) return ST_FAILED;
  parse_error e;
  int revision = CURRENT_REVISION;
  line_scanner sc(f->text);
  text_line first;
  int st = 0;
  if (sc.next(first) && first.section && first.name == "file") {
    // A complete configuration file merges as it stands.
    sc.unread(first);
    st = read_header(sc, KIND, revision, e.reason, e.line);
  } else {
    sc = line_scanner(f->text);
  }
  if (st == 0) {
    cfi_data d = s->data(); // merged into a copy: a failure merges nothing
    st = apply_file(sc, revision, false, d, e);
    if (st == 0) {
      s->d = std::move(d);
      s->st.dirty = true;
    }
  }
  if (st != 0) s->st.error = f->name + ":" + std::to_string(e.line) + ": " + e.reason;
  audit_file_event("load", "ini", f->name.c_str(), st);
  return st;
}

std::vector<section_doc> xnstore::cfi_sections_doc() {
  std::vector<section_doc> docs{{"system", false, sys_fields}};
  for (const table_def &t : tables) docs.push_back({t.section, true, t.fields});
  return docs;
}
