// The text format shared by the configuration files: line scanner, value
// notation, field-table driven reading and writing, and the file header.
#include "lib/store/store_text.h"

#include <cctype>

#include "lib/internal/lib_internal.h"
#include "lib/status.h"

#include <bit>
#include <cstring>

namespace xnstore {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
  return s;
}

// Keys and names match in any case.
bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

void append_octal(std::string &out, unsigned char c) {
  char buf[4] = {'\\', static_cast<char>('0' + (c >> 6)), static_cast<char>('0' + ((c >> 3) & 7)),
                 static_cast<char>('0' + (c & 7))};
  out.append(buf, 4);
}

} // namespace

// The integer of `width` bytes (1, 2 or 4) at `p`.
static uint32_t load_int(const void *p, uint16_t width) {
  if (width == 1) return *static_cast<const uint8_t *>(p);
  if (width == 2) {
    uint16_t w;
    std::memcpy(&w, p, 2);
    return w;
  }
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

uint32_t get_field(const void *rec, const field_def &f) {
  uint32_t v = load_int(static_cast<const uint8_t *>(rec) + f.offset, f.width);
  if (f.mask != 0) v = (v & f.mask) >> std::countr_zero(static_cast<unsigned>(f.mask));
  return v;
}

void set_field(void *rec, const field_def &f, uint32_t value) {
  auto *p = static_cast<uint8_t *>(rec) + f.offset;
  if (f.mask != 0) {
    uint32_t old = 0;
    std::memcpy(&old, p, f.width);
    int shift = std::countr_zero(static_cast<unsigned>(f.mask));
    value = (old & ~uint32_t{f.mask}) | ((value << shift) & f.mask);
  }
  if (f.width == 1) {
    *p = static_cast<uint8_t>(value);
  } else if (f.width == 2) {
    auto w = static_cast<uint16_t>(value);
    std::memcpy(p, &w, 2);
  } else {
    std::memcpy(p, &value, 4);
  }
}

bool field_equal(const void *a, const void *b, const field_def &f) {
  const char *x = static_cast<const char *>(a) + f.offset;
  const char *y = static_cast<const char *>(b) + f.offset;
  if (f.kind == field_kind::text) return std::strncmp(x, y, f.width) == 0;
  // Integers compare as their bits, under the mask of a packed field.
  uint32_t mask = f.mask != 0 ? f.mask : 0xFFFFFFFFu;
  return ((load_int(x, f.width) ^ load_int(y, f.width)) & mask) == 0;
}

const field_def *find_field(std::span<const field_def> fields, std::string_view key, size_t &hint) {
  const size_t n = fields.size();
  size_t i = hint < n ? hint : 0;
  for (size_t k = 0; k < n; ++k, i = i + 1 < n ? i + 1 : 0) {
    std::string_view name = fields[i].key;
    if (name.size() == key.size() &&
        (std::memcmp(name.data(), key.data(), key.size()) == 0 || same_name(key, name))) {
      hint = i + 1;
      return &fields[i];
    }
  }
  return nullptr;
}

void append_number(std::string &out, uint32_t value) {
  char buf[12];
  int n = 0;
  do {
    buf[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (n > 0) out += buf[--n];
}

bool parse_number(std::string_view in, uint32_t &value) {
  if (in.empty() || in.size() > 10) return false;
  uint64_t v = 0;
  for (char c : in) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<uint64_t>(c - '0');
  }
  if (v > 0xFFFFFFFFu) return false;
  value = static_cast<uint32_t>(v);
  return true;
}

void append_text_value(std::string &out, const char *text, size_t size) {
  // The last byte of a buffer is its end mark: a text put without one is
  // cut there, as the reader would refuse a value filling the buffer.
  size_t n = size > 0 ? strnlen(text, size - 1) : 0;
  size_t plain = 0; // start of the run of bytes written as they are
  for (size_t i = 0; i < n; ++i) {
    auto c = static_cast<unsigned char>(text[i]);
    if (c > ' ' && c <= '~' && c != '\\') continue;
    if (c == ' ' && i != 0 && i + 1 != n) // blanks matter only at either end
      continue;
    out.append(text + plain, i - plain);
    if (c == '\\')
      out += "\\\\";
    else
      append_octal(out, c);
    plain = i + 1;
  }
  out.append(text + plain, n - plain);
}

bool read_text_value(std::string_view in, char *out, size_t size, std::string &why) {
  if (in.size() < size && in.find('\\') == std::string_view::npos) {
    std::memcpy(out, in.data(), in.size());
    std::memset(out + in.size(), 0, size - in.size());
    return true;
  }
  size_t n = 0;
  for (size_t i = 0; i < in.size(); ++i) {
    unsigned c = static_cast<unsigned char>(in[i]);
    if (c == '\\') {
      if (i + 1 < in.size() && in[i + 1] == '\\') {
        ++i;
      } else if (i + 3 < in.size() + 0 && in[i + 1] >= '0' && in[i + 1] <= '3' &&
                 in[i + 2] >= '0' && in[i + 2] <= '7' && in[i + 3] >= '0' && in[i + 3] <= '7') {
        c = static_cast<unsigned>((in[i + 1] - '0') * 64 + (in[i + 2] - '0') * 8 +
                                  (in[i + 3] - '0'));
        i += 3;
      } else {
        why = "bad notation \"" + std::string(in.substr(i, 4)) + "\"";
        return false;
      }
      if (c == 0) {
        why = "byte \\000 not allowed";
        return false;
      }
    }
    if (n + 1 >= size) {
      why = "longer than " + std::to_string(size - 1) + " characters";
      return false;
    }
    out[n++] = static_cast<char>(c);
  }
  std::memset(out + n, 0, size - n);
  return true;
}

void take_not_given(void *rec, const void *base, std::span<const field_def> fields,
                    const given_keys &given) {
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i < given.size() && given[i]) continue;
    const field_def &f = fields[i];
    if (f.kind == field_kind::text)
      std::memcpy(static_cast<char *>(rec) + f.offset, static_cast<const char *>(base) + f.offset,
                  f.width);
    else
      set_field(rec, f, get_field(base, f));
  }
}

void write_fields(std::string &out, const void *rec, const void *base,
                  std::span<const field_def> fields) {
  for (const field_def &f : fields) {
    if (base != nullptr && field_equal(rec, base, f)) continue;
    out += f.key;
    out += " = ";
    if (f.kind == field_kind::text) {
      append_text_value(out, static_cast<const char *>(rec) + f.offset, f.width);
    } else {
      uint32_t v = get_field(rec, f);
      if (f.kind == field_kind::yesno && v <= 1)
        out += v != 0 ? "yes" : "no";
      else if (f.kind == field_kind::choice && v <= f.max)
        out += f.names[v];
      else
        append_number(out, v);
    }
    if (out.back() == ' ') // an empty value: no blank at the end of the line
      out.pop_back();
    out += '\n';
  }
}

bool parse_field(void *rec, const field_def &f, std::string_view value, std::string &why) {
  if (f.kind == field_kind::text) {
    char buf[256];
    if (!read_text_value(value, buf, f.width, why)) {
      why = std::string(f.key) + ": " + why;
      return false;
    }
    std::memcpy(static_cast<char *>(rec) + f.offset, buf, f.width);
    return true;
  }
  uint32_t v = 0;
  bool known = false;
  if (f.kind == field_kind::yesno) {
    if (same_name(value, "yes") || same_name(value, "y"))
      v = 1, known = true;
    else if (same_name(value, "no") || same_name(value, "n"))
      v = 0, known = true;
  } else if (f.kind == field_kind::choice) {
    for (uint32_t i = 0; i <= f.max && !known; ++i)
      if (same_name(value, f.names[i])) v = i, known = true;
  }
  if (!known && !parse_number(value, v)) {
    // Short enough to read whole on the message line: key, value, what
    // it should be.
    why = std::string(f.key) + " = \"" + std::string(value) + "\" is not " +
          (f.kind == field_kind::yesno    ? "yes or no"
           : f.kind == field_kind::choice ? "a name or number"
                                          : "a number");
    return false;
  }
  if (v < f.min || v > f.max) {
    why = std::string(f.key) + " = " + std::to_string(v) + " not in " + std::to_string(f.min) +
          ".." + std::to_string(f.max);
    return false;
  }
  set_field(rec, f, v);
  // A value the record cannot hold as given (bits a packed field does not
  // have) would be saved as another: refused rather than changed silently.
  if (uint32_t kept = get_field(rec, f); kept != v) {
    why = std::string(f.key) + " = " + std::to_string(v) + " would be saved as " +
          std::to_string(kept);
    return false;
  }
  return true;
}

bool repeat_check::section(const text_line &l, std::string &why) {
  keys_.clear();
  std::string id(l.name);
  for (char &c : id) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  uint32_t index = 0;
  if (!l.value.empty())
    id += " " + (parse_number(l.value, index) ? std::to_string(index) : std::string(l.value));
  auto [at, fresh] = sections_.emplace(id, l.line);
  if (fresh) return true;
  why = "[" + id + "] twice (line " + std::to_string(at->second) + ")";
  return false;
}

bool repeat_check::key(std::string_view name, const text_line &l, std::string &why) {
  auto [at, fresh] = keys_.emplace(std::string(name), l.line);
  if (fresh) return true;
  why = std::string(name) + " twice (line " + std::to_string(at->second) + ")";
  return false;
}

line_scanner::line_scanner(std::string_view text) : text_(text), nul_(text.find('\0')) {}

bool line_scanner::fail(int line, const char *why) {
  bad_line_ = line;
  why_ = why;
  return false;
}

bool line_scanner::scan(text_line &l) {
  while (pos_ < text_.size() && !failed()) {
    size_t eol = text_.find('\n', pos_);
    if (eol == std::string_view::npos) eol = text_.size();
    std::string_view s = trim(text_.substr(pos_, eol - pos_));
    // One search for NUL spares every line its own.
    const bool has_nul = nul_ < eol;
    pos_ = eol + 1;
    if (has_nul) nul_ = text_.find('\0', pos_);
    ++line_;
    if (s.empty() || s[0] == '#' || s[0] == ';') continue;
    if (has_nul) return fail(line_, "a NUL byte in the line (not a text file)");
    if (s[0] == '[') {
      if (s.back() != ']') return fail(line_, "section header without \"]\"");
      std::string_view inner = trim(s.substr(1, s.size() - 2));
      size_t sp = inner.find(' ');
      l = {line_, true, inner.substr(0, sp),
           sp == std::string_view::npos ? std::string_view{} : trim(inner.substr(sp))};
      return true;
    }
    size_t eq = s.find('=');
    if (eq == std::string_view::npos || eq == 0)
      return fail(line_, "expected \"key = value\" or \"[section]\"");
    l = {line_, false, trim(s.substr(0, eq)), trim(s.substr(eq + 1))};
    return true;
  }
  return false;
}

bool line_scanner::next(text_line &l) {
  if (held_) {
    held_ = false;
    l = hold_;
  } else if (ended_ || !scan(l)) {
    return false;
  }
  last_ = l.line;
  if (l.section && l.name == "end" && l.value.empty()) {
    // "[end]" in the middle of a file is an unknown section for the caller.
    text_line after;
    if (scan(after)) {
      unread(after);
      return true;
    }
    ended_ = !failed();
    return false;
  }
  return true;
}

void line_scanner::unread(const text_line &l) {
  hold_ = l;
  held_ = true;
}

int read_header(line_scanner &sc, const char *kind, int &revision, std::string &why,
                int &bad_line) {
  // Kept short: the message line already says "of another kind".
  std::string expected = std::string("not a ") + kind + " file";
  text_line l;
  if (!sc.next(l) || !l.section || l.name != "file") {
    if (sc.failed()) {
      why = sc.why();
      bad_line = sc.bad_line();
      return ST_BAD_DATA;
    }
    why = "no [file] section at the start";
    bad_line = l.line != 0 ? l.line : 1;
    return ST_WRONG_KIND;
  }
  const int file_line = l.line;
  bool kind_seen = false;
  revision = 1; // the first revision had no revision key
  while (sc.next(l)) {
    if (l.section) {
      sc.unread(l);
      break;
    }
    bad_line = l.line;
    if (l.name == "kind") {
      if (l.value != kind) {
        why = "kind = " + std::string(l.value);
        return ST_WRONG_KIND;
      }
      kind_seen = true;
    } else if (l.name == "revision") {
      uint32_t r = 0;
      if (!parse_number(l.value, r) || r == 0) {
        why = "revision \"" + std::string(l.value) + "\" is not a number";
        return ST_BAD_DATA;
      }
      if (r > static_cast<uint32_t>(CURRENT_REVISION)) {
        why = "revision " + std::to_string(r) + ", this program reads up to " +
              std::to_string(CURRENT_REVISION);
        return ST_NEWER_REVISION;
      }
      revision = static_cast<int>(r);
    } else {
      why = "unknown key " + std::string(l.name) + " in [file]";
      return ST_BAD_DATA;
    }
  }
  if (sc.failed()) {
    why = sc.why();
    bad_line = sc.bad_line();
    return ST_BAD_DATA;
  }
  if (!kind_seen) {
    bad_line = file_line;
    why = expected + " (no kind key)";
    return ST_WRONG_KIND;
  }
  return 0;
}

int check_end(const line_scanner &sc, int revision, bool need_end, std::string &why,
              int &bad_line) {
  if (sc.failed()) {
    why = sc.why();
    bad_line = sc.bad_line();
    return ST_BAD_DATA;
  }
  if (!sc.ended() && revision >= 2 && need_end) {
    bad_line = sc.last_line();
    why = "no [end] line";
    return ST_TRUNCATED;
  }
  return 0;
}

void append_header(std::string &out, const char *kind) {
  out += "[file]\nkind = ";
  out += kind;
  out += "\nrevision = ";
  append_number(out, CURRENT_REVISION);
  out += "\n";
}

std::string line_error(int line, std::string_view reason) {
  std::string s = "line ";
  s += std::to_string(line);
  s += ": ";
  s += reason;
  return s;
}

void mark_in_step(store_state &st, const char *name) {
  st.file_name = name;
  st.dirty = false;
  st.error.clear();
}

int read_for_load(store_state &st, const char *name, std::string &text, loaded_file &file) {
  // The store's own lock would stand in the way of reloading its file.
  st.lock.release();
  int status = lock_for_editing(name, file.lock, st.error);
  if (status == 0) status = read_file_whole(name, text, st.error, &file.print);
  return status;
}

void finish_load(store_state &st, const char *name, loaded_file &file, int status) {
  if (status == 0) {
    mark_in_step(st, name);
    st.lock = std::move(file.lock);
    remember_file(name, file.print);
  } else if (!st.file_name.empty()) {
    // The store keeps its file, and so its lock.
    file.lock.release();
    std::string ignored;
    lock_for_editing(st.file_name.c_str(), st.lock, ignored);
  }
}

int save_text(store_state &st, const char *name, const text_writer &content, const char *kind) {
  file_print print;
  std::string note;
  write_options o;
  o.backup = true;
  o.print = &print;
  o.note = &note;
  int status = write_file_atomic(name, content, st.error, o);
  if (status == 0) {
    mark_in_step(st, name);
    remember_file(name, print);
    // The file is a new one now: the lock moves to it.
    lock_for_editing(name, st.lock, note.empty() ? st.error : note);
    st.error = note;
  }
  audit_file_event("save", kind, name, status);
  return status;
}

// Names of the side files written, for whoever ends the session to report.
std::vector<std::string> side_files;

void write_side_file(const store_state &st, const text_writer &content,
                     const std::string &default_name) {
  std::string name = st.file_name.empty() ? default_name : st.file_name;
  const std::string where = write_side_file_text(name + ".save", content);
  if (!where.empty()) side_files.push_back(where);
}

} // namespace xnstore

const std::vector<std::string> &side_files_written() { return xnstore::side_files; }
