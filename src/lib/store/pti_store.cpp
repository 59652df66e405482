// The printer translation store: job control strings, the 256-entry
// character map and the comment, kept behind handles and read from and
// written to ".pti" text files.
#include "lib/pti_store.h"

#include "lib/internal/lib_internal.h"
#include "lib/status.h"
#include "lib/store/store_text.h"
#include "lib/strs.h"

#include <cstring>

using namespace xnstore;

namespace {

constexpr const char *KIND = "printer-translation";

// The [translation] section: printer type and comment.
struct pti_head {
  uint8_t type;
  char comment[32];
};

// Read and written for the [translation] section, in this order.
// clang-format off
constexpr field_def head_fields[] = {
    {"type", field_kind::choice, offsetof(pti_head, type), 1, 0, 0, 2, pti_filename, 1},
    {"comment", field_kind::text, offsetof(pti_head, comment), 32, 0, 0, 0, nullptr, 1},
};
// clang-format on

// Read and written for each [control N] section. Revision 1 files had no
// "use-file" key: their strings were always byte strings.
// clang-format off
constexpr field_def ctrl_fields[] = {
    {"enabled", field_kind::yesno, offsetof(pti_ctrl, enable), 1, 0, 0, 1, nullptr, 1},
    {"use-file", field_kind::yesno, offsetof(pti_ctrl, use_file), 1, 0, 0, 1, nullptr, 2},
    {"value", field_kind::text, offsetof(pti_ctrl, value), 256, 0, 0, 0, nullptr, 1},
};
// clang-format on

struct pti_data {
  pti_head head;
  pti_ctrl ctrl[2];
  pti_map map[256];
};

struct pti_store {
  store_state st;
  pti_data d;
  bool old_revision = false; // loaded from an older revision, not yet reported
};

handle_table<pti_store> stores;

// Job control strings of each printer type, in the byte-string notation.
struct job_default {
  const char *start;
  const char *end;
};
// clang-format off
constexpr job_default job_defaults[PTI_PRINTER_TYPES] = {
    {"", "^L"},    // plain text: eject the last page
    {"^[E", "^[E"}, // PCL: printer reset before and after the job
    {"^[@", "^L"},  // dot matrix: initialise, eject at the end
};
// clang-format on

void identity_map(pti_data &d) {
  for (int c = 0; c < 256; ++c) {
    d.map[c] = pti_map{};
    d.map[c].length = 1;
    d.map[c].bytes[0] = static_cast<uint8_t>(c);
  }
}

void set_defaults(pti_data &d, uint8_t type) {
  if (type >= PTI_PRINTER_TYPES) type = 0;
  d = pti_data{};
  d.head.type = type;
  std::strncpy(d.head.comment, pti_comment[type], sizeof d.head.comment - 1);
  const char *texts[2] = {job_defaults[type].start, job_defaults[type].end};
  for (int i = 0; i < 2; ++i) {
    d.ctrl[i].enable = texts[i][0] != '\0' ? 1 : 0;
    std::strncpy(d.ctrl[i].value, texts[i], sizeof d.ctrl[i].value - 1);
  }
  identity_map(d);
}

bool is_identity(const pti_map &m, int code) { return m.length == 1 && m.bytes[0] == code; }

std::string render(const pti_data &d) {
  std::string out;
  out.reserve(8192);
  out += "# Printer translation\n";
  append_header(out, KIND);
  out += "\n[translation]\n";
  write_fields(out, &d.head, nullptr, head_fields);
  for (int i = 0; i < 2; ++i) {
    out += "\n[control ";
    append_number(out, static_cast<uint32_t>(i));
    out += "]\n";
    write_fields(out, &d.ctrl[i], nullptr, ctrl_fields);
  }
  out += "\n# Codes not listed print as themselves.\n[map]\n";
  char text[PTI_TEXT_BUF];
  for (int c = 0; c < 256; ++c) {
    if (is_identity(d.map[c], c)) continue;
    append_number(out, static_cast<uint32_t>(c));
    pti_bytestringtoasc(d.map[c].bytes, d.map[c].length, text);
    out += " = ";
    out += text;
    out += '\n';
  }
  out += "\n[end]\n";
  return out;
}

text_writer writer(const pti_data &d) {
  return [&d](text_out &o) { o.text() = render(d); };
}

enum class section { none, head, ctrl, map };

// Parses a whole file into `d`; 0 or a status with `why` set.
int parse(std::string_view text, pti_data &d, int &revision, std::string &why) {
  line_scanner sc(text);
  int bad = 0;
  std::string reason;
  int st = read_header(sc, KIND, revision, reason, bad);
  if (st != 0) {
    why = line_error(bad, reason);
    return st;
  }
  d = pti_data{};
  identity_map(d);
  given_keys head_given, ctrl_given[2];
  section cur = section::none;
  int ctrl_index = 0;
  std::string sect_name;
  size_t hint = 0;
  repeat_check seen;
  text_line l;
  while (sc.next(l)) {
    if (l.section) {
      hint = 0;
      sect_name =
          "[" + std::string(l.name) + (l.value.empty() ? "" : " ") + std::string(l.value) + "]";
      if (!seen.section(l, reason)) {
        why = line_error(l.line, reason);
        return ST_BAD_DATA;
      }
      uint32_t idx = 0;
      if (l.name == "translation" && l.value.empty()) {
        cur = section::head;
      } else if (l.name == "map" && l.value.empty()) {
        cur = section::map;
      } else if (l.name == "control" && parse_number(l.value, idx) && idx < 2) {
        cur = section::ctrl;
        ctrl_index = static_cast<int>(idx);
      } else {
        why = line_error(l.line, "unknown section " + sect_name);
        return ST_BAD_DATA;
      }
      continue;
    }
    if (cur == section::none) {
      why = line_error(l.line, "key " + std::string(l.name) + " outside a section");
      return ST_BAD_DATA;
    }
    if (cur == section::map) {
      uint32_t code = 0;
      if (!parse_number(l.name, code) || code > 255) {
        why = line_error(l.line, "unknown key " + std::string(l.name) + " in [map] (0..255)");
        return ST_BAD_DATA;
      }
      if (!seen.key(std::to_string(code), l, reason)) {
        why = line_error(l.line, reason + " in [map]");
        return ST_BAD_DATA;
      }
      std::string value(l.value);
      uint8_t bytes[PTI_MAX_MAP_BYTES] = {};
      uint16_t length = PTI_MAX_MAP_BYTES;
      if (pti_asctobytestring(value.c_str(), bytes, &length) != 0) {
        why = line_error(l.line, "code " + std::to_string(code) + ": bad or longer than 11 bytes");
        return ST_BAD_DATA;
      }
      d.map[code] = pti_map{};
      d.map[code].length = static_cast<uint8_t>(length);
      std::memcpy(d.map[code].bytes, bytes, length);
      continue;
    }
    std::span<const field_def> fields = cur == section::head
                                            ? std::span<const field_def>(head_fields)
                                            : std::span<const field_def>(ctrl_fields);
    void *rec = cur == section::head ? static_cast<void *>(&d.head)
                                     : static_cast<void *>(&d.ctrl[ctrl_index]);
    const field_def *f = find_field(fields, l.name, hint);
    if (f == nullptr || f->since > revision) {
      why = line_error(l.line, "unknown key " + std::string(l.name) + " in " + sect_name);
      return ST_BAD_DATA;
    }
    if (!seen.key(f->key, l, reason)) {
      why = line_error(l.line, reason + " in " + sect_name);
      return ST_BAD_DATA;
    }
    if (!parse_field(rec, *f, l.value, reason)) {
      why = line_error(l.line, reason);
      return ST_BAD_DATA;
    }
    (cur == section::head ? head_given : ctrl_given[ctrl_index]).set(f - fields.data());
  }
  st = check_end(sc, revision, true, reason, bad);
  if (st != 0) {
    why = line_error(bad, reason);
    return st;
  }
  // What the file leaves out (a whole control string, or "use-file" before
  // revision 2) is the printer type's.
  pti_data base;
  set_defaults(base, d.head.type);
  take_not_given(&d.head, &base.head, head_fields, head_given);
  for (int i = 0; i < 2; ++i) take_not_given(&d.ctrl[i], &base.ctrl[i], ctrl_fields, ctrl_given[i]);
  return 0;
}

void write_side_files_pti() {
  stores.each([](pti_store &s) {
    if (s.st.dirty)
      write_side_file(s.st, writer(s.d),
                      std::string(pti_filename[s.d.head.type < 3 ? s.d.head.type : 0]) + ".pti");
  });
}

} // namespace

int init_pti() {
  register_side_file_writer(write_side_files_pti);
  return 0;
}

int open_pti(uint32_t *handle, uint8_t printer_type) {
  if (handle == nullptr) return ST_FAILED;
  auto s = std::make_unique<pti_store>();
  set_defaults(s->d, printer_type);
  *handle = stores.add(std::move(s));
  return 0;
}

int load_pti(uint32_t handle, const char *name) {
  pti_store *s = stores.find(handle);
  if (s == nullptr || name == nullptr) return ST_FAILED;
  std::string text;
  loaded_file file;
  int st = read_for_load(s->st, name, text, file);
  pti_data d;
  int revision = CURRENT_REVISION;
  if (st == 0) st = parse(text, d, revision, s->st.error);
  if (st == 0) {
    s->d = d;
    s->old_revision = revision < CURRENT_REVISION;
  }
  finish_load(s->st, name, file, st);
  audit_file_event("load", "pti", name, st);
  return st;
}

int save_pti(uint32_t handle, const char *name, uint8_t /*is_new*/) {
  pti_store *s = stores.find(handle);
  if (s == nullptr || name == nullptr) return ST_FAILED;
  return save_text(s->st, name, writer(s->d), "pti");
}

int default_pti(uint32_t handle, uint8_t printer_type) {
  pti_store *s = stores.find(handle);
  if (s == nullptr) return ST_FAILED;
  set_defaults(s->d, printer_type);
  s->old_revision = false;
  s->st.dirty = true;
  return 0;
}

uint8_t uprev_pti(uint32_t handle) {
  pti_store *s = stores.find(handle);
  if (s == nullptr || !s->old_revision) return 0;
  // The conversion happened while loading; what is left is to report it.
  s->old_revision = false;
  s->st.dirty = true;
  return 1;
}

int close_pti(uint32_t *handle) {
  if (handle == nullptr || !stores.remove(*handle)) return ST_FAILED;
  *handle = 0;
  return 0;
}

const char *get_error_buffer_pti(uint32_t handle) {
  pti_store *s = stores.find(handle);
  return s == nullptr ? "no such printer translation handle" : s->st.error.c_str();
}

uint8_t get_printer_type_pti(uint32_t handle) {
  pti_store *s = stores.find(handle);
  return s == nullptr ? 0 : s->d.head.type;
}

int get_ctrl_pti(uint32_t handle, uint32_t index, pti_ctrl *rec) {
  pti_store *s = stores.find(handle);
  if (s == nullptr || rec == nullptr) return ST_FAILED;
  *rec = index < 2 ? s->d.ctrl[index] : pti_ctrl{};
  return 0;
}

int put_ctrl_pti(uint32_t handle, uint32_t index, const pti_ctrl *rec) {
  pti_store *s = stores.find(handle);
  if (s == nullptr || rec == nullptr) return ST_FAILED;
  if (index < 2 && std::memcmp(&s->d.ctrl[index], rec, sizeof *rec) != 0) {
    s->d.ctrl[index] = *rec;
    s->d.ctrl[index].value[sizeof rec->value - 1] = '\0';
    s->st.dirty = true;
  }
  return 0;
}

int get_map_pti(uint32_t handle, uint32_t code, pti_map *rec) {
  pti_store *s = stores.find(handle);
  if (s == nullptr || rec == nullptr) return ST_FAILED;
  *rec = code < 256 ? s->d.map[code] : pti_map{};
  return 0;
}

int put_map_pti(uint32_t handle, uint32_t code, const pti_map *rec) {
  pti_store *s = stores.find(handle);
  if (s == nullptr || rec == nullptr) return ST_FAILED;
  if (rec->length > PTI_MAX_MAP_BYTES) return ST_BAD_DATA;
  if (code < 256 && std::memcmp(&s->d.map[code], rec, sizeof *rec) != 0) {
    s->d.map[code] = *rec;
    s->st.dirty = true;
  }
  return 0;
}

int get_comment_pti(uint32_t handle, char *text) {
  pti_store *s = stores.find(handle);
  if (s == nullptr || text == nullptr) return ST_FAILED;
  std::memcpy(text, s->d.head.comment, sizeof s->d.head.comment);
  return 0;
}

int put_comment_pti(uint32_t handle, const char *text) {
  pti_store *s = stores.find(handle);
  if (s == nullptr || text == nullptr) return ST_FAILED;
  char buf[32] = {};
  std::strncpy(buf, text, sizeof buf - 1);
  if (std::memcmp(buf, s->d.head.comment, sizeof buf) != 0) {
    std::memcpy(s->d.head.comment, buf, sizeof buf);
    s->st.dirty = true;
  }
  return 0;
}

std::vector<section_doc> xnstore::pti_sections_doc() {
  return {{"translation", false, head_fields}, {"control", true, ctrl_fields}};
}
