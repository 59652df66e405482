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
void audit_file_event(const char *op, const char *kind, const char *name,
                      int status);

// Text on its way to a file: appended to text() and handed to the file a
// chunk at a time by spill(), so that the largest configuration never sits
// whole in memory.
class text_out {
public:
  explicit text_out(int fd);
  std::string &text() { return buf_; }
  void spill() {
    if (buf_.size() >= CHUNK)
      flush();
  }
  // Writes what is buffered; false (with err()) once any write has failed.
  bool flush();
  int err() const { return err_; }

private:
  static constexpr size_t CHUNK = 64 * 1024;
  int fd_;
  int err_ = 0;
  std::string buf_;
};
using text_writer = std::function<void(text_out &)>;

// Writes a file safely: a temporary file beside `name`, filled by `write`,
// flushed to disk and renamed over it, keeping an existing file's
// permissions. On failure the old file is untouched, the status returned
// and `error` says why.
int write_file_atomic(const char *name, const text_writer &write,
                      std::string &error);
// Maps in at once the pages of a large block about to be filled: one call
// instead of a page fault for every page. Only a hint; nothing happens
// where the system does not offer it.
void prefault(void *block, size_t size);

// Reads a whole file; status on failure with `error` saying why.
int read_file_whole(const char *name, std::string &content, std::string &error);

// Side files for work not yet saved when the session ends by a signal:
// each store registers a writer that saves every store holding unsaved
// changes to "<its file>.save" (never over the file itself). Called from the
// screen's orderly shutdown, outside signal context.
using side_file_writer = void (*)();
void register_side_file_writer(side_file_writer writer);
void write_side_files();
// Every side file written so far in this run, in order.
const std::vector<std::string> &side_files_written();
