// Keeps the generated parts of the manual pages and the shell completion in
// step with the program's own tables: the terminal and printer type names
// and the keys of every file section, as the stores read and write them.
//
//   xndoc check FILE...    exit 1 and name each block that differs
//   xndoc update FILE...   rewrite the blocks in place
//   xndoc print BLOCK      write one block to standard output
//
// A block is the lines between a line holding "BEGIN generated: NAME" and
// the next line holding "END generated"; the marker lines themselves are
// the file's own comments and stay as they are.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "lib/store/store_text.h"
#include "lib/strs.h"

using xnstore::field_def;
using xnstore::field_kind;
using xnstore::section_doc;

namespace {

constexpr const char *BEGIN_MARK = "BEGIN generated: ";
constexpr const char *END_MARK = "END generated";

// Text as roff shows it literally: a backslash, a hyphen that must not
// become a dash, and a leading control character are escaped.
std::string roff(std::string_view text) {
  std::string out;
  if (!text.empty() && (text[0] == '.' || text[0] == '\'')) out += "\\&";
  for (char c : text) {
    if (c == '\\')
      out += "\\e";
    else if (c == '-')
      out += "\\-";
    else
      out += c;
  }
  return out;
}

std::string join(const char *const *names, uint32_t count, const char *sep) {
  std::string out;
  for (uint32_t i = 0; i < count; ++i) {
    if (i) out += sep;
    out += names[i];
  }
  return out;
}

// What a key's value may be, in the words of the manual.
std::string value_text(const field_def &f) {
  std::string out;
  switch (f.kind) {
  case field_kind::number:
    out = "number, " + std::to_string(f.min) + " to " + std::to_string(f.max);
    break;
  case field_kind::yesno: out = "yes or no"; break;
  case field_kind::choice:
    out = "one of: " + join(f.names, f.max + 1, ", ") + " (or the index 0 to " +
          std::to_string(f.max) + ")";
    break;
  case field_kind::text: out = "text, up to " + std::to_string(f.width - 1) + " characters"; break;
  }
  if (f.since > 1) out += "; since revision " + std::to_string(f.since);
  return out;
}

// The lists are set without blank lines between the entries (.PD 0).
void keys_block(std::ostream &out, const section_doc &s) {
  out << ".PD 0\n";
  for (const field_def &f : s.fields)
    out << ".TP 22\n.B " << roff(f.key) << "\n" << roff(value_text(f)) << "\n";
  out << ".PD\n";
}

// A tagged list of names with their display names.
void names_block(std::ostream &out, const char *const *names, const char *const *shown,
                 const char *const *notes, int count) {
  out << ".PD 0\n";
  for (int i = 0; i < count; ++i) {
    out << ".TP 16\n.B " << roff(names[i]) << "\n" << roff(shown[i]);
    if (notes) out << " (" << roff(notes[i]) << ")";
    out << "\n";
  }
  out << ".PD\n";
}

void bash_block(std::ostream &out) {
  out << "_xnconfig_terminals='" << join(def_term_filename, 25, " ") << "'\n";
  out << "_xnconfig_printers='" << join(pti_filename, 3, " ") << "'\n";
  out << "_xnconfig_targets='" << join(os_target_strs, 2, " ") << "'\n";
}

std::vector<section_doc> sections_of(std::string_view kind) {
  if (kind == "cfi") return xnstore::cfi_sections_doc();
  if (kind == "tdi") return xnstore::tdi_sections_doc();
  if (kind == "pti") return xnstore::pti_sections_doc();
  return {};
}

// The text of block `name`; false for a name this program does not make.
bool generate(std::string_view name, std::string &text) {
  std::ostringstream out;
  if (name == "terminal-types") {
    names_block(out, def_term_filename, term_strs, nullptr, 25);
  } else if (name == "printer-types") {
    names_block(out, pti_filename, printer_strs, pti_comment, 3);
  } else if (name == "bash-names") {
    bash_block(out);
  } else if (name.starts_with("keys ")) {
    // "keys KIND SECTION"
    std::string_view rest = name.substr(5);
    size_t blank = rest.find(' ');
    if (blank == std::string_view::npos) return false;
    bool found = false;
    for (const section_doc &s : sections_of(rest.substr(0, blank)))
      if (rest.substr(blank + 1) == s.section) {
        keys_block(out, s);
        found = true;
      }
    if (!found) return false;
  } else {
    return false;
  }
  text = out.str();
  return true;
}

bool read_file(const char *path, std::string &text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  text = s.str();
  return true;
}

// `text` with every block generated anew; the names of the blocks that
// changed go to `changed`. False (with a message) for a block that is not
// closed or not known.
bool regenerate(const char *path, const std::string &text, std::string &result,
                std::vector<std::string> &changed) {
  std::istringstream in(text);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    result += line + "\n";
    size_t mark = line.find(BEGIN_MARK);
    if (mark == std::string::npos) continue;
    std::string name = line.substr(mark + std::strlen(BEGIN_MARK));
    std::string fresh;
    if (!generate(name, fresh)) {
      std::cerr << path << ":" << number << ": unknown generated block \"" << name << "\"\n";
      return false;
    }
    std::string old;
    bool closed = false;
    while (!closed && std::getline(in, line)) {
      ++number;
      closed = line.find(END_MARK) != std::string::npos;
      if (!closed) old += line + "\n";
    }
    if (!closed) {
      std::cerr << path << ": block \"" << name << "\" has no END line\n";
      return false;
    }
    if (old != fresh) changed.push_back(name);
    result += fresh + line + "\n";
  }
  return true;
}

int run_files(bool update, int count, char **paths) {
  int status = 0;
  for (int i = 0; i < count; ++i) {
    std::string text, result;
    std::vector<std::string> changed;
    if (!read_file(paths[i], text)) {
      std::cerr << paths[i] << ": cannot read: " << std::strerror(errno) << "\n";
      return 2;
    }
    if (!regenerate(paths[i], text, result, changed)) return 2;
    if (changed.empty()) continue;
    if (!update) {
      for (const std::string &name : changed)
        std::cerr << paths[i] << ": block \"" << name << "\" differs from the program's tables\n";
      status = 1;
      continue;
    }
    std::ofstream out(paths[i], std::ios::binary | std::ios::trunc);
    out << result;
    if (!out.flush()) {
      std::cerr << paths[i] << ": cannot write: " << std::strerror(errno) << "\n";
      return 2;
    }
  }
  if (status) std::cerr << "to bring them up to date: cmake --build BUILD --target update-docs\n";
  return status;
}

} // namespace

int main(int argc, char **argv) {
  std::string mode = argc > 1 ? argv[1] : "";
  if ((mode == "check" || mode == "update") && argc > 2)
    return run_files(mode == "update", argc - 2, argv + 2);
  std::string text;
  if (mode == "print" && argc == 3 && generate(argv[2], text)) {
    std::cout << text;
    return 0;
  }
  std::cerr << "usage: xndoc check|update FILE... | xndoc print BLOCK\n";
  return 2;
}
