// Shared machinery of the three configuration stores: the line scanner of
// the text format, the field tables that drive reading, writing and
// defaults of every record, the text value notation, and the handle table.
#pragma once
#ifndef XN_LIBRARY_BUILD
#error "an internal header of the runtime library: the program includes src/lib/*.h only"
#endif

#include "lib/internal/lib_internal.h"

#include <bitset>
#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace xnstore {

constexpr int CURRENT_REVISION = 2;

// How a field's value is written.
// clang-format off
enum class field_kind : uint8_t {
  number, // decimal
  yesno,  // "yes" / "no"
  choice, // a name of `names` (the number is accepted too)
  text,   // NUL-terminated text in a buffer of `width` bytes
};
// clang-format on

// One key of a section. Integer fields are `width` bytes (1, 2 or 4) at
// `offset`; a nonzero `mask` selects the bits of a packed field.
struct field_def {
  std::string_view key;
  field_kind kind;
  uint16_t offset;
  uint16_t width;
  uint16_t mask;
  uint32_t min;
  uint32_t max;
  const char *const *names;
  uint8_t since; // first format revision that knows the key
};

uint32_t get_field(const void *rec, const field_def &f);
void set_field(void *rec, const field_def &f, uint32_t value);
bool field_equal(const void *a, const void *b, const field_def &f);
// The field named `key` (in any case), searched from `hint` round to it;
// `hint` is left after the field found, where a file's next key usually is.
const field_def *find_field(std::span<const field_def> fields, std::string_view key, size_t &hint);

// Which keys of one record a file gave, by their place in the record's table.
using given_keys = std::bitset<64>;
// A key the file did not give takes its value in `base`: a file of an older
// revision, or one that leaves keys out, reads as its base type.
void take_not_given(void *rec, const void *base, std::span<const field_def> fields,
                    const given_keys &given);

// Appends "key = value" lines for every field, or with `base` only for the
// fields that differ from it.
void write_fields(std::string &out, const void *rec, const void *base,
                  std::span<const field_def> fields);
// Stores one value into its field; false with `why` when it is not valid.
bool parse_field(void *rec, const field_def &f, std::string_view value, std::string &why);

// Text values: printable bytes as they are, "\" as "\\", blanks at either
// end and every other byte as "\ooo".
void append_text_value(std::string &out, const char *text, size_t size);
bool read_text_value(std::string_view in, char *out, size_t size, std::string &why);

bool parse_number(std::string_view in, uint32_t &value);
void append_number(std::string &out, uint32_t value);

// One meaningful line of a file: a section header or a key and value.
struct text_line {
  int line = 0;
  bool section = false;
  std::string_view name;  // section name or key
  std::string_view value; // section index text or value
};

// Reads a file's meaningful lines one at a time, skipping blank lines and
// comments. A "[end]" line ends the text when nothing but blanks and
// comments follows it. Copying a scanner gives a second reader from the
// same place, for a further pass.
class line_scanner {
public:
  explicit line_scanner(std::string_view text);
  // The next line into `l`; false at the end of the text or at a line that
  // is neither a section header nor "key = value" (then failed()).
  bool next(text_line &l);
  // The next call of next() gives `l` again.
  void unread(const text_line &l);
  bool failed() const { return bad_line_ != 0; }
  const std::string &why() const { return why_; }
  int bad_line() const { return bad_line_; }
  bool ended() const { return ended_; }   // stopped at "[end]"
  int last_line() const { return last_; } // of the last line given

private:
  bool scan(text_line &l);
  bool fail(int line, const char *why);

  std::string_view text_;
  size_t pos_ = 0;
  size_t nul_; // first NUL byte at or after pos_
  int line_ = 0;
  int last_ = 0;
  bool ended_ = false;
  bool held_ = false;
  text_line hold_;
  int bad_line_ = 0;
  std::string why_;
};

// Refuses a section or a key given twice, naming the line of the first:
// letting the last one win silently would hide a mistake in the file.
class repeat_check {
public:
  // A section header (its index compared as a number); starts its keys.
  bool section(const text_line &l, std::string &why);
  // A key of the current section, under its canonical name.
  bool key(std::string_view name, const text_line &l, std::string &why);

private:
  std::map<std::string, int> sections_;
  std::map<std::string, int> keys_;
};

// Reads the "[file]" section that opens every file: kind and revision.
// Returns 0, ST_WRONG_KIND, ST_NEWER_REVISION or ST_BAD_DATA with `why`
// and `bad_line`; on success the scanner stands after the section.
int read_header(line_scanner &sc, const char *kind, int &revision, std::string &why, int &bad_line);
// After the last line of a file: 0, ST_BAD_DATA for a bad line, or
// ST_TRUNCATED when a file of the current revision does not end with
// "[end]" (only when `need_end`).
int check_end(const line_scanner &sc, int revision, bool need_end, std::string &why, int &bad_line);
void append_header(std::string &out, const char *kind);

std::string line_error(int line, std::string_view reason);

// A table of open stores of one kind, addressed by small handles.
template <class T>
class handle_table {
public:
  T *find(uint32_t handle) {
    if (handle == 0 || handle > slots_.size()) return nullptr;
    return slots_[handle - 1].get();
  }
  uint32_t add(std::unique_ptr<T> store) {
    for (size_t i = 0; i < slots_.size(); ++i)
      if (!slots_[i]) {
        slots_[i] = std::move(store);
        return static_cast<uint32_t>(i + 1);
      }
    slots_.push_back(std::move(store));
    return static_cast<uint32_t>(slots_.size());
  }
  bool remove(uint32_t handle) {
    if (find(handle) == nullptr) return false;
    slots_[handle - 1].reset();
    return true;
  }
  template <class F>
  void each(F fn) {
    for (auto &s : slots_)
      if (s) fn(*s);
  }

private:
  std::vector<std::unique_ptr<T>> slots_;
};

// What every store keeps besides its records.
struct store_state {
  std::string error;     // text of the last failed load or save
  std::string file_name; // last file loaded or saved; empty when none
  bool dirty = false;    // changes not yet saved
  file_lock lock;        // on file_name while it is open for editing
};

// The store now holds the file `name` as it is on disk.
void mark_in_step(store_state &st, const char *name);

// A file read for a load, with its lock, until the load has succeeded.
struct loaded_file {
  file_lock lock;
  file_print print;
};
// Locks and reads `name` for a load into `st`: ST_IN_USE (with st.error)
// when another editor has it open, else the read's status.
int read_for_load(store_state &st, const char *name, std::string &text, loaded_file &file);
// After the load: on success (status 0) the store holds the file and its
// lock; otherwise it keeps the file it had, and that file's lock.
void finish_load(store_state &st, const char *name, loaded_file &file, int status);
// Writes a store's text to `name` (safely, see write_file_atomic, keeping
// the replaced content as "<name>~") and records the save in the audit
// trail; `kind` is "cfi", "tdi" or "pti". After a save whose file could not
// keep its owner, the error text is the file's name although the status is 0.
int save_text(store_state &st, const char *name, const text_writer &content, const char *kind);

// One section of a file format as its reader knows it: the header name,
// whether it carries an index ("[name N]") and its keys. The stores list
// their own field tables here so that the manual page is made from the
// very tables that read and write the files.
struct section_doc {
  const char *section;
  bool numbered;
  std::span<const field_def> fields;
};
std::vector<section_doc> cfi_sections_doc();
std::vector<section_doc> tdi_sections_doc();
std::vector<section_doc> pti_sections_doc();

// Saves `content` to "<file>.save" (or `default_name` + ".save" in the
// current directory when the store never had a file).
void write_side_file(const store_state &st, const text_writer &content,
                     const std::string &default_name);

} // namespace xnstore
