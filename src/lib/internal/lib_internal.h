// Services the parts of the library give each other; the program never
// includes this header.
#pragma once
#ifndef XN_LIBRARY_BUILD
#error "an internal header of the runtime library: the program includes src/lib/*.h only"
#endif

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Message catalogue: the text of a message code (never null).
const char *message_text(uint32_t code);
// Status for a C library error number.
int status_from_errno(int err);
// True in quiet mode (informational output silenced).
bool kern_quiet();
// Program name and revision as %P and %R print them.
const char *kern_program_name();
const char *kern_revision();

// Audit trail: records one load or save of a configuration file when the
// trail is on. `op` is "load" or "save", `kind` "cfi", "tdi", "pti" or "ini".
void audit_file_event(const char *op, const char *kind, const char *name, int status);

// What a file held when this process last read or wrote it: enough to
// tell whether another program has replaced or rewritten it since.
struct file_print {
  bool known = false;
  uint64_t dev = 0, ino = 0, size = 0;
  int64_t mtime_ns = 0;
  uint64_t hash = 0; // of the whole content
};
// Hash of a text as file_print keeps it, fed a piece at a time.
uint64_t content_hash(uint64_t hash, const char *data, size_t size);
constexpr uint64_t CONTENT_HASH_START = 14695981039346656037ull;

// Text on its way to a file: appended to text() and handed to the file a
// chunk at a time by spill(), so that the largest configuration never sits
// whole in memory.
class text_out {
public:
  explicit text_out(int fd);
  std::string &text() { return buf_; }
  void spill() {
    if (buf_.size() >= CHUNK) flush();
  }
  // Writes what is buffered; false (with err()) once any write has failed.
  bool flush();
  int err() const { return err_; }
  uint64_t hash() const { return hash_; }

private:
  static constexpr size_t CHUNK = 64 * 1024;
  int fd_;
  int err_ = 0;
  uint64_t hash_ = CONTENT_HASH_START;
  std::string buf_;
};
using text_writer = std::function<void(text_out &)>;

// How write_file_atomic treats what is already at the name.
struct write_options {
  // Keep the content replaced as "<name>~" (one generation).
  bool backup = false;
  // A name the program made up (side files): a link there is replaced,
  // never followed, and a file of another owner is refused.
  bool own_name = false;
  // Filled with what the new file holds, on success.
  file_print *print = nullptr;
  // Set on success to the file's name when its owner could not be kept;
  // empty otherwise.
  std::string *note = nullptr;
};

// Writes a file safely: an anonymous temporary file in the folder of
// `name` (a recognisable temporary name where the file system has none),
// filled by `write`, flushed to disk and renamed over it, keeping an
// existing file's permissions and owner; a file with more than one link is
// rewritten in place so that the links stay one file. A file another
// editor holds (lock_for_editing) is refused with ST_IN_USE. On failure the
// old file is untouched, the status returned and `error` says why.
int write_file_atomic(const char *name, const text_writer &write, std::string &error,
                      const write_options &options = {});
// Maps in at once the pages of a large block about to be filled: one call
// instead of a page fault for every page. Only a hint; nothing happens
// where the system does not offer it.
void prefault(void *block, size_t size);

// Reads a whole file; status on failure with `error` saying why. A file
// that starts with a UTF-8 byte order mark is given without it. `print`
// (optional) receives what was read.
int read_file_whole(const char *name, std::string &content, std::string &error,
                    file_print *print = nullptr);

// The advisory lock an editor holds on the file it has open, so that a
// second editor or a batch run is told the file is in use instead of
// overwriting it. Released when the holder goes away.
class file_lock {
public:
  file_lock() = default;
  ~file_lock() { release(); }
  file_lock(const file_lock &) = delete;
  file_lock &operator=(const file_lock &) = delete;
  file_lock(file_lock &&other) noexcept { *this = std::move(other); }
  file_lock &operator=(file_lock &&other) noexcept;
  void release();
  bool held() const { return fd_ >= 0; }

private:
  friend int lock_for_editing(const char *, file_lock &, std::string &);
  int fd_ = -1;
};
// Takes the lock on `name` (released first if `lock` held one); 0, or
// ST_IN_USE with `error` naming the file when another process holds it. A
// file that cannot be opened is simply not locked (its read reports why).
int lock_for_editing(const char *name, file_lock &lock, std::string &error);

// Remembers what this process last read from or wrote to `name`.
void remember_file(const char *name, const file_print &print);

// Text of a name for a message on standard error: control bytes and "\"
// as "\" and 3 octal digits, so that a name cannot move the cursor or
// split a line.
std::string printable_name(const char *name);

// Side files for work not yet saved when the session ends by a signal:
// each store registers a writer that saves every store holding unsaved
// changes to "<its file>.save" (never over the file itself). Called from the
// screen's orderly shutdown, outside signal context. Before the writers
// run, the flush hook (set by the form engine) copies what is typed on the
// open form into its record, so that it is part of the side file.
using side_file_writer = void (*)();
void register_side_file_writer(side_file_writer writer);
void write_side_files();
// Every side file written so far in this run, in order.
const std::vector<std::string> &side_files_written();
// Writes `content` to the side file `name` (a name the program made up):
// beside the file when its folder allows, else in $HOME, else in $TMPDIR
// (or /tmp), under its simple name. Says on standard error where it went,
// or that it could not be written and why. Returns where it went, or "".
std::string write_side_file_text(const std::string &name, const text_writer &content);
