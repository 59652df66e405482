// The terminal description store: the terminal control record and the key
// table, kept behind handles and read from and written to ".tdi" files.
#include "lib/tdi_store.h"

#include "lib/internal/lib_internal.h"
#include "lib/status.h"
#include "lib/store/store_text.h"
#include "lib/store/tdi_defaults.h"
#include "lib/strs.h"

#include <algorithm>
#include <cstring>

using namespace xnstore;

namespace {

constexpr const char *KIND = "terminal-description";

#define CTRL_U8(key, member, lo, hi)                                                               \
  field_def { key, field_kind::number, offsetof(tdi_ctrl, member), 1, 0, lo, hi, nullptr, 1 }
#define CTRL_U16(key, member, lo, hi, since)                                                       \
  field_def { key, field_kind::number, offsetof(tdi_ctrl, member), 2, 0, lo, hi, nullptr, since }

// The [terminal] section, in the order it is written. Revision 1 files had
// no Windows console font: "font-size" and "font-name" came with revision 2.
// clang-format off
constexpr field_def terminal_fields[] = {
    {"base", field_kind::choice, offsetof(tdi_ctrl, base_type), 1, 0, 0, 24, def_term_filename, 1},
    {"comment", field_kind::text, offsetof(tdi_ctrl, comment), 32, 0, 0, 0, nullptr, 1},
    {"cursor", field_kind::choice, offsetof(tdi_ctrl, cursor_type), 1, 0, 0, 2, cursor_strs, 1},
    {"beep", field_kind::yesno, offsetof(tdi_ctrl, beep), 1, 0, 0, 1, nullptr, 1},
    CTRL_U16("lines", lines, 0, 255, 1),
    CTRL_U16("columns", columns, 0, 255, 1),
    CTRL_U16("compress-columns", compress_columns, 0, 255, 1),
    CTRL_U16("keyboard-timeout", kbd_timeout, 0, 30, 1),
    CTRL_U16("font-size", font_size, 0, 99, 2),
    {"font-name", field_kind::text, offsetof(tdi_ctrl, font_name), 32, 0, 0, 0, nullptr, 2},
    CTRL_U8("line-upper-left", line_draw[0], 0, 255),
    CTRL_U8("line-upper-right", line_draw[1], 0, 255),
    CTRL_U8("line-lower-right", line_draw[2], 0, 255),
    CTRL_U8("line-lower-left", line_draw[3], 0, 255),
    CTRL_U8("line-horizontal", line_draw[4], 0, 255),
    CTRL_U8("line-vertical", line_draw[5], 0, 255),
};
// clang-format on

// The [colours] section: one attribute byte per attribute combination,
// keyed by the combination's number.
// clang-format off
constexpr field_def colour_fields[] = {
    CTRL_U8("0", colour_map[0], 0, 255),   CTRL_U8("1", colour_map[1], 0, 255),
    CTRL_U8("2", colour_map[2], 0, 255),   CTRL_U8("3", colour_map[3], 0, 255),
    CTRL_U8("4", colour_map[4], 0, 255),   CTRL_U8("5", colour_map[5], 0, 255),
    CTRL_U8("6", colour_map[6], 0, 255),   CTRL_U8("7", colour_map[7], 0, 255),
    CTRL_U8("8", colour_map[8], 0, 255),   CTRL_U8("9", colour_map[9], 0, 255),
    CTRL_U8("10", colour_map[10], 0, 255), CTRL_U8("11", colour_map[11], 0, 255),
    CTRL_U8("12", colour_map[12], 0, 255), CTRL_U8("13", colour_map[13], 0, 255),
    CTRL_U8("14", colour_map[14], 0, 255), CTRL_U8("15", colour_map[15], 0, 255),
};
// clang-format on
#undef CTRL_U8
#undef CTRL_U16

// Each [key N] section; "sequence" is handled apart (character notation).
// clang-format off
constexpr field_def key_fields[] = {
    {"label", field_kind::text, offsetof(key_cfg, label), 16, 0, 0, 0, nullptr, 1},
    {"type", field_kind::choice, offsetof(key_cfg, key_word), 2, KEYW_TYPE, 0, 8, type_text, 1},
    {"code", field_kind::number, offsetof(key_cfg, key_word), 2, KEYW_CODE, 0, 255, nullptr, 1},
    {"ext", field_kind::yesno, offsetof(key_cfg, key_word), 2, KEYW_EXT, 0, 1, nullptr, 1},
    {"erase", field_kind::yesno, offsetof(key_cfg, key_word), 2, KEYW_ERASE, 0, 1, nullptr, 1},
    // Bits the runtime carries along; written only when set.
    {"carried", field_kind::number, offsetof(key_cfg, key_word), 2, 0x3000, 0, 3, nullptr, 1},
};
// clang-format on

// Highest code of each key type.
constexpr uint8_t type_code_max[9] = {3, 255, 15, 99, 99, 99, 99, 99, 99};

struct tdi_data {
  tdi_ctrl ctrl;
  std::vector<key_cfg> keys;
};

struct tdi_store {
  store_state st;
  tdi_data d;
  bool old_revision = false;
};

handle_table<tdi_store> stores;

std::string render(const tdi_data &d) {
  std::string out;
  out.reserve(4096 + d.keys.size() * 120);
  out += "# Terminal description\n";
  append_header(out, KIND);
  out += "\n[terminal]\n";
  write_fields(out, &d.ctrl, nullptr, terminal_fields);
  out += "\n# Attribute of each attribute combination (0 Normal .. 15).\n[colours]\n";
  write_fields(out, &d.ctrl, nullptr, colour_fields);
  out += "\n# Codes not listed are displayed as themselves.\n[display]\n";
  for (int c = 0; c < 256; ++c) {
    if (d.ctrl.display_map[c] == c) continue;
    append_number(out, static_cast<uint32_t>(c));
    out += " = ";
    append_number(out, d.ctrl.display_map[c]);
    out += '\n';
  }
  key_cfg zero{};
  char text[64];
  for (size_t i = 0; i < d.keys.size(); ++i) {
    const key_cfg &k = d.keys[i];
    out += "\n[key ";
    append_number(out, static_cast<uint32_t>(i));
    out += "]\nsequence = ";
    tdi_keystringtoasc(k.bytes, k.length, text, 0);
    out += text;
    out += '\n';
    write_fields(out, &k, nullptr, std::span(key_fields).first(5));
    write_fields(out, &k, &zero, std::span(key_fields).subspan(5));
  }
  out += "\n[end]\n";
  return out;
}

text_writer writer(const tdi_data &d) {
  return [&d](text_out &o) { o.text() = render(d); };
}

enum class section { none, terminal, colours, display, key };

struct parse_state {
  tdi_data &d;
  int revision;
  std::vector<int> key_lines; // line of each [key N] header; 0 when not seen
  std::string why;
  size_t hint = 0; // where the section's next key is looked for first
  given_keys terminal_given, colours_given;
  repeat_check seen;
};

int fail(parse_state &p, int line, const std::string &reason) {
  p.why = line_error(line, reason);
  return ST_BAD_DATA;
}

// Every key index 0..n-1 given once, each key's code within its type.
int check_keys(parse_state &p) {
  for (size_t i = 0; i < p.key_lines.size(); ++i) {
    if (p.key_lines[i] == 0)
      return fail(p, p.key_lines.back(), "[key " + std::to_string(i) + "] missing");
    const key_cfg &k = p.d.keys[i];
    unsigned type = (k.key_word & KEYW_TYPE) >> 8;
    unsigned code = k.key_word & KEYW_CODE;
    if (code > type_code_max[type])
      return fail(p, p.key_lines[i],
                  "code = " + std::to_string(code) + " not in 0.." +
                      std::to_string(type_code_max[type]) + " (type " + type_text[type] + ")");
  }
  return 0;
}

int parse_line(parse_state &p, section cur, size_t key_index, const text_line &l,
               const std::string &sect) {
  std::string reason;
  if (cur == section::display) {
    uint32_t code = 0, value = 0;
    if (!parse_number(l.name, code) || code > 255)
      return fail(p, l.line, "unknown key " + std::string(l.name) + " in [display] (0..255)");
    if (!parse_number(l.value, value) || value > 255)
      return fail(p, l.line, std::string(l.name) + " = " + std::string(l.value) + " not in 0..255");
    if (!p.seen.key(std::to_string(code), l, reason))
      return fail(p, l.line, reason + " in [display]");
    p.d.ctrl.display_map[code] = static_cast<uint8_t>(value);
    return 0;
  }
  if (cur == section::key && l.name == "sequence") {
    if (!p.seen.key("sequence", l, reason)) return fail(p, l.line, reason + " in " + sect);
    key_cfg &k = p.d.keys[key_index];
    std::string text(l.value);
    uint8_t length = TDI_MAX_SEQUENCE;
    uint8_t bytes[TDI_MAX_SEQUENCE] = {};
    if (tdi_asctokeystring(text.c_str(), bytes, &length, 0) != 0)
      return fail(p, l.line, "sequence: bad notation or over 11 bytes");
    std::memset(k.bytes, 0, sizeof k.bytes);
    std::memcpy(k.bytes, bytes, length);
    k.length = length;
    return 0;
  }
  std::span<const field_def> fields =
      cur == section::terminal  ? std::span<const field_def>(terminal_fields)
      : cur == section::colours ? std::span<const field_def>(colour_fields)
                                : std::span<const field_def>(key_fields);
  void *rec = cur == section::key ? static_cast<void *>(&p.d.keys[key_index])
                                  : static_cast<void *>(&p.d.ctrl);
  const field_def *f = find_field(fields, l.name, p.hint);
  if (f == nullptr || f->since > p.revision)
    return fail(p, l.line, "unknown key " + std::string(l.name) + " in " + sect);
  if (!p.seen.key(f->key, l, reason)) return fail(p, l.line, reason + " in " + sect);
  if (!parse_field(rec, *f, l.value, reason)) return fail(p, l.line, reason);
  if (cur != section::key)
    (cur == section::terminal ? p.terminal_given : p.colours_given).set(f - fields.data());
  return 0;
}

int parse(std::string_view text, tdi_data &d, int &revision, std::string &why) {
  line_scanner sc(text);
  int bad = 0;
  std::string reason;
  int st = read_header(sc, KIND, revision, reason, bad);
  if (st != 0) {
    why = line_error(bad, reason);
    return st;
  }
  d.ctrl = tdi_ctrl{};
  for (int i = 0; i < 256; ++i) d.ctrl.display_map[i] = static_cast<uint8_t>(i);
  d.keys.clear();
  parse_state p{d, revision, {}, {}, 0};
  section cur = section::none;
  size_t key_index = 0;
  std::string sect;
  text_line l;
  while (sc.next(l)) {
    if (!l.section) {
      if (cur == section::none)
        st = fail(p, l.line, "key " + std::string(l.name) + " outside a section");
      else
        st = parse_line(p, cur, key_index, l, sect);
      if (st != 0) break;
      continue;
    }
    sect = "[" + std::string(l.name) + (l.value.empty() ? "" : " ") + std::string(l.value) + "]";
    p.hint = 0;
    if (!p.seen.section(l, reason)) {
      st = fail(p, l.line, reason);
      break;
    }
    uint32_t idx = 0;
    if (l.value.empty() && l.name == "terminal") {
      cur = section::terminal;
    } else if (l.value.empty() && l.name == "colours") {
      cur = section::colours;
    } else if (l.value.empty() && l.name == "display") {
      cur = section::display;
    } else if (l.name == "key" && parse_number(l.value, idx) && idx < TDI_MAX_KEYS) {
      if (idx >= p.key_lines.size()) {
        p.key_lines.resize(idx + 1, 0);
        d.keys.resize(idx + 1, key_cfg{});
      }
      if (p.key_lines[idx] != 0) {
        st = fail(p, l.line, sect + " given twice");
        break;
      }
      p.key_lines[idx] = l.line;
      cur = section::key;
      key_index = idx;
    } else {
      st = fail(p, l.line, "unknown section " + sect);
      break;
    }
  }
  if (st == 0) {
    st = check_end(sc, revision, true, reason, bad);
    if (st != 0) p.why = line_error(bad, reason);
  }
  if (st == 0) st = check_keys(p);
  if (st != 0) {
    why = p.why;
    return st;
  }
  // Keys the file leaves out (revision 1 had no console font, and files
  // may omit the colours) are the base type's, never zero.
  tdi_data base;
  tdi_default_data(d.ctrl.base_type, base.ctrl, base.keys);
  take_not_given(&d.ctrl, &base.ctrl, terminal_fields, p.terminal_given);
  take_not_given(&d.ctrl, &base.ctrl, colour_fields, p.colours_given);
  return 0;
}

void write_side_files_tdi() {
  stores.each([](tdi_store &s) {
    if (s.st.dirty) {
      uint8_t base = s.d.ctrl.base_type < TDI_TERM_TYPES ? s.d.ctrl.base_type : TDI_DEFAULT_TYPE;
      write_side_file(s.st, writer(s.d), std::string(def_term_filename[base]) + ".tdi");
    }
  });
}

} // namespace

int init_tdi() {
  register_side_file_writer(write_side_files_tdi);
  return 0;
}

int open_tdi(uint32_t *handle, uint8_t base_terminal) {
  if (handle == nullptr) return ST_FAILED;
  auto s = std::make_unique<tdi_store>();
  s->d.keys.reserve(TDI_MAX_KEYS);
  tdi_default_data(base_terminal, s->d.ctrl, s->d.keys);
  *handle = stores.add(std::move(s));
  return 0;
}

int load_tdi(uint32_t handle, const char *name) {
  tdi_store *s = stores.find(handle);
  if (s == nullptr || name == nullptr) return ST_FAILED;
  std::string text;
  loaded_file file;
  int st = read_for_load(s->st, name, text, file);
  tdi_data d;
  int revision = CURRENT_REVISION;
  if (st == 0) st = parse(text, d, revision, s->st.error);
  if (st == 0) {
    d.keys.reserve(TDI_MAX_KEYS);
    s->d = std::move(d);
    s->old_revision = revision < CURRENT_REVISION;
  }
  finish_load(s->st, name, file, st);
  audit_file_event("load", "tdi", name, st);
  return st;
}

int save_tdi(uint32_t handle, const char *name, uint8_t /*is_new*/) {
  tdi_store *s = stores.find(handle);
  if (s == nullptr || name == nullptr) return ST_FAILED;
  return save_text(s->st, name, writer(s->d), "tdi");
}

int default_tdi(uint32_t handle, uint8_t base_terminal) {
  tdi_store *s = stores.find(handle);
  if (s == nullptr) return ST_FAILED;
  tdi_default_data(base_terminal, s->d.ctrl, s->d.keys);
  s->old_revision = false;
  s->st.dirty = true;
  return 0;
}

uint8_t uprev_tdi(uint32_t handle) {
  tdi_store *s = stores.find(handle);
  if (s == nullptr || !s->old_revision) return 0;
  // The conversion happened while loading; what is left is to report it.
  s->old_revision = false;
  s->st.dirty = true;
  return 1;
}

int close_tdi(uint32_t *handle) {
  if (handle == nullptr || !stores.remove(*handle)) return ST_FAILED;
  *handle = 0;
  return 0;
}

const char *get_error_buffer_tdi(uint32_t handle) {
  tdi_store *s = stores.find(handle);
  return s == nullptr ? "no such terminal description handle" : s->st.error.c_str();
}

int get_ctrl_tdi(uint32_t handle, tdi_ctrl *rec) {
  tdi_store *s = stores.find(handle);
  if (s == nullptr || rec == nullptr) return ST_FAILED;
  *rec = s->d.ctrl;
  return 0;
}

int put_ctrl_tdi(uint32_t handle, const tdi_ctrl *rec) {
  tdi_store *s = stores.find(handle);
  if (s == nullptr || rec == nullptr) return ST_FAILED;
  if (std::memcmp(&s->d.ctrl, rec, sizeof *rec) != 0) {
    s->d.ctrl = *rec;
    s->st.dirty = true;
  }
  return 0;
}

int sort_keys_tdi(uint32_t handle) {
  tdi_store *s = stores.find(handle);
  if (s == nullptr) return ST_FAILED;
  if (!std::is_sorted(s->d.keys.begin(), s->d.keys.end(), key_less)) {
    std::stable_sort(s->d.keys.begin(), s->d.keys.end(), key_less);
    s->st.dirty = true;
  }
  return 0;
}

uint16_t get_key_count_tdi(uint32_t handle) {
  tdi_store *s = stores.find(handle);
  return s == nullptr ? 0 : static_cast<uint16_t>(s->d.keys.size());
}

int get_key_cfg_tdi(uint32_t handle, uint16_t index, key_cfg *rec) {
  tdi_store *s = stores.find(handle);
  if (s == nullptr || rec == nullptr) return ST_FAILED;
  *rec = index < s->d.keys.size() ? s->d.keys[index] : key_cfg{};
  return 0;
}

int put_key_cfg_tdi(uint32_t handle, uint16_t index, const key_cfg *rec) {
  tdi_store *s = stores.find(handle);
  if (s == nullptr || rec == nullptr) return ST_FAILED;
  if (rec->length > TDI_MAX_SEQUENCE) return ST_BAD_DATA;
  if (index < s->d.keys.size() && std::memcmp(&s->d.keys[index], rec, sizeof *rec) != 0) {
    s->d.keys[index] = *rec;
    s->st.dirty = true;
  }
  return 0;
}

uint16_t find_key_tdi(uint32_t handle, const uint8_t *bytes, uint8_t length) {
  tdi_store *s = stores.find(handle);
  if (s == nullptr || bytes == nullptr) return FIND_KEY_NOT_FOUND;
  key_cfg probe{};
  probe.length = std::min<uint8_t>(length, TDI_MAX_SEQUENCE);
  std::memcpy(probe.bytes, bytes, probe.length);
  auto it = std::lower_bound(s->d.keys.begin(), s->d.keys.end(), probe, key_less);
  auto pos = static_cast<uint16_t>(it - s->d.keys.begin());
  if (it != s->d.keys.end() && it->length == probe.length &&
      std::memcmp(it->bytes, probe.bytes, probe.length) == 0)
    return pos;
  return static_cast<uint16_t>(FIND_KEY_NOT_FOUND | pos);
}

int insert_key_tdi(uint32_t handle, uint16_t index, const key_cfg *rec) {
  tdi_store *s = stores.find(handle);
  if (s == nullptr || rec == nullptr || rec->length > TDI_MAX_SEQUENCE ||
      index > s->d.keys.size() || s->d.keys.size() >= TDI_MAX_KEYS)
    return ST_FAILED;
  s->d.keys.insert(s->d.keys.begin() + index, *rec);
  s->st.dirty = true;
  return 0;
}

int remove_key_tdi(uint32_t handle, uint16_t index) {
  tdi_store *s = stores.find(handle);
  if (s == nullptr) return ST_FAILED;
  if (index < s->d.keys.size()) {
    s->d.keys.erase(s->d.keys.begin() + index);
    s->st.dirty = true;
  }
  return 0;
}

std::vector<section_doc> xnstore::tdi_sections_doc() {
  return {{"terminal", false, terminal_fields},
          {"colours", false, colour_fields},
          {"key", true, key_fields}};
}
