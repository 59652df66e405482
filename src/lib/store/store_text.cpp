// The text format shared by the configuration files: line scanner, value
// notation, field-table driven reading and writing, and the file header.
#include "lib/store/store_text.h"

#include "lib/internal/lib_internal.h"
#include "lib/status.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace xnstore {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && is_blank(s.front()))
    s.remove_prefix(1);
  while (!s.empty() && is_blank(s.back()))
    s.remove_suffix(1);
  return s;
}

bool same_name(std::string_view a, const char *b) {
  size_t n = std::strlen(b);
  if (a.size() != n)
    return false;
  for (size_t i = 0; i < n; ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z')
      x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z')
      y = static_cast<char>(y + 32);
    if (x != y)
      return false;
  }
  return true;
}

void append_octal(std::string &out, unsigned char c) {
  char buf[4] = {'\\', static_cast<char>('0' + (c >> 6)),
                 static_cast<char>('0' + ((c >> 3) & 7)),
                 static_cast<char>('0' + (c & 7))};
  out.append(buf, 4);
}

} // namespace

uint32_t get_field(const void *rec, const field_def &f) {
  const auto *p = static_cast<const uint8_t *>(rec) + f.offset;
  uint32_t v = 0;
  if (f.width == 1) {
    v = *p;
  } else if (f.width == 2) {
    uint16_t w;
    std::memcpy(&w, p, 2);
    v = w;
  } else {
    std::memcpy(&v, p, 4);
  }
  if (f.mask != 0)
    v = (v & f.mask) >> std::countr_zero(static_cast<unsigned>(f.mask));
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
  if (f.kind == field_kind::text)
    return std::strncmp(static_cast<const char *>(a) + f.offset,
                        static_cast<const char *>(b) + f.offset, f.width) == 0;
  return get_field(a, f) == get_field(b, f);
}

const field_def *find_field(std::span<const field_def> fields, std::string_view key) {
  for (const field_def &f : fields)
    if (same_name(key, f.key))
      return &f;
  return nullptr;
}

void append_number(std::string &out, uint32_t value) {
  char buf[12];
  int n = 0;
  do {
    buf[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (n > 0)
    out += buf[--n];
}

bool parse_number(std::string_view in, uint32_t &value) {
  if (in.empty() || in.size() > 10)
    return false;
  uint64_t v = 0;
  for (char c : in) {
    if (c < '0' || c > '9')
      return false;
    v = v * 10 + static_cast<uint64_t>(c - '0');
  }
  if (v > 0xFFFFFFFFu)
    return false;
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
    bool edge_blank = c == ' ' && (i == 0 || i + 1 == n);
    if (c != '\\' && c >= 32 && c <= 126 && !edge_blank)
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
  size_t n = 0;
  for (size_t i = 0; i < in.size(); ++i) {
    unsigned c = static_cast<unsigned char>(in[i]);
    if (c == '\\') {
      if (i + 1 < in.size() && in[i + 1] == '\\') {
        ++i;
      } else if (i + 3 < in.size() + 0 && in[i + 1] >= '0' && in[i + 1] <= '3' &&
                 in[i + 2] >= '0' && in[i + 2] <= '7' && in[i + 3] >= '0' &&
                 in[i + 3] <= '7') {
        c = static_cast<unsigned>((in[i + 1] - '0') * 64 + (in[i + 2] - '0') * 8 +
                                  (in[i + 3] - '0'));
        i += 3;
      } else {
        why = "bad notation \"" + std::string(in.substr(i, 4)) +
              "\" (write \\\\ or \\ and three octal digits)";
        return false;
      }
      if (c == 0) {
        why = "a text cannot hold the byte \\000";
        return false;
      }
    }
    if (n + 1 >= size) {
      why = "text longer than " + std::to_string(size - 1) + " characters";
      return false;
    }
    out[n++] = static_cast<char>(c);
  }
  std::memset(out + n, 0, size - n);
  return true;
}

void write_fields(std::string &out, const void *rec, const void *base,
                  std::span<const field_def> fields) {
  for (const field_def &f : fields) {
    if (base != nullptr && field_equal(rec, base, f))
      continue;
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

bool parse_field(void *rec, const field_def &f, std::string_view value,
                 std::string &why) {
  if (f.kind == field_kind::text) {
    char buf[256];
    if (!read_text_value(value, buf, f.width, why))
      return false;
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
      if (same_name(value, f.names[i]))
        v = i, known = true;
  }
  if (!known && !parse_number(value, v)) {
    why = "value \"" + std::string(value) + "\" is not " +
          (f.kind == field_kind::yesno    ? "yes or no"
           : f.kind == field_kind::choice ? "one of the names or a number"
                                          : "a number");
    return false;
  }
  if (v < f.min || v > f.max) {
    why = "value " + std::to_string(v) + " out of range " + std::to_string(f.min) +
          ".." + std::to_string(f.max);
    return false;
  }
  set_field(rec, f, v);
  return true;
}

bool scan_lines(std::string_view text, std::vector<text_line> &out,
                std::string &why, int &bad_line) {
  out.clear();
  // One pass for the line count spares the vector its regrowth on the
  // largest files; one search for NUL spares every line its own.
  out.reserve(static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
  size_t nul = text.find('\0');
  int line = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t eol = text.find('\n', pos);
    if (eol == std::string_view::npos)
      eol = text.size();
    std::string_view s = trim(text.substr(pos, eol - pos));
    const bool has_nul = nul < eol;
    pos = eol + 1;
    if (has_nul)
      nul = text.find('\0', pos);
    ++line;
    if (s.empty() || s[0] == '#' || s[0] == ';')
      continue;
    if (has_nul) {
      why = "a NUL byte in the line (not a text file)";
      bad_line = line;
      return false;
    }
    if (s[0] == '[') {
      if (s.back() != ']') {
        why = "section header without \"]\"";
        bad_line = line;
        return false;
      }
      std::string_view inner = trim(s.substr(1, s.size() - 2));
      size_t sp = inner.find(' ');
      std::string_view name = inner.substr(0, sp);
      std::string_view index =
          sp == std::string_view::npos ? std::string_view{} : trim(inner.substr(sp));
      out.push_back({line, true, name, index});
      continue;
    }
    size_t eq = s.find('=');
    if (eq == std::string_view::npos || eq == 0) {
      why = "expected \"key = value\" or \"[section]\"";
      bad_line = line;
      return false;
    }
    out.push_back({line, false, trim(s.substr(0, eq)), trim(s.substr(eq + 1))});
  }
  return true;
}

int check_header(const std::vector<text_line> &lines, const char *kind,
                 int &revision, size_t &next, size_t &end, std::string &why,
                 int &bad_line, bool need_end) {
  std::string expected = std::string("not a ") + kind + " file";
  if (lines.empty() || !lines[0].section || lines[0].name != "file") {
    why = expected + " (no [file] section at the start)";
    bad_line = lines.empty() ? 1 : lines[0].line;
    return ST_WRONG_KIND;
  }
  bool kind_seen = false;
  revision = 1; // the first revision had no revision key
  size_t i = 1;
  for (; i < lines.size() && !lines[i].section; ++i) {
    const text_line &l = lines[i];
    bad_line = l.line;
    if (l.name == "kind") {
      if (l.value != kind) {
        why = expected + " (kind = " + std::string(l.value) + ")";
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
        why = "revision " + std::to_string(r) + " is newer than this program reads (" +
              std::to_string(CURRENT_REVISION) + ")";
        return ST_NEWER_REVISION;
      }
      revision = static_cast<int>(r);
    } else {
      why = "unknown key " + std::string(l.name) + " in [file]";
      return ST_BAD_DATA;
    }
  }
  if (!kind_seen) {
    bad_line = lines[0].line;
    why = expected + " (no kind key)";
    return ST_WRONG_KIND;
  }
  next = i;
  end = lines.size();
  if (lines.back().section && lines.back().name == "end") {
    end = lines.size() - 1;
  } else if (revision >= 2 && need_end) {
    bad_line = lines.back().line;
    why = "file ends without [end] (truncated)";
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

int save_text(store_state &st, const char *name, const std::string &content,
              const char *kind) {
  int status = write_file_atomic(name, content, st.error);
  if (status == 0)
    mark_in_step(st, name);
  audit_file_event("save", kind, name, status);
  return status;
}

void write_side_file(const store_state &st, const std::string &content,
                     const std::string &default_name) {
  std::string name = st.file_name.empty() ? default_name : st.file_name;
  name += ".save";
  std::string ignored;
  write_file_atomic(name.c_str(), content, ignored);
}

} // namespace xnstore
