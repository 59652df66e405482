// File-name services: names are NUL-terminated byte strings in 256-byte
// buffers (at most 255 bytes and the end mark).
#pragma once

#include <cstdint>

constexpr int NAME_MAX_LEN = 255;
constexpr int NAME_BUF = 256;

// File-status flag word bits.
constexpr uint16_t FSTAT_WRITABLE = 0x0002;
constexpr uint16_t FSTAT_DIR = 0x0010;

struct file_status {
  uint16_t flags;
  uint16_t reserved;
  uint32_t mode;
  uint64_t size;
  int64_t mtime;
};

// Current directory into a 256-byte buffer; `len` receives its length.
int get_cur_dir_kern(char *dir, uint16_t *len);
int set_cur_dir_kern(const char *dir);
bool isdir_kern(const char *name);
bool exists_kern(const char *name);

// True when the name has no directory part.
bool test_simple_name(const char *name);
// Full name of `name` taken in the current directory, into a 256-byte buffer.
int resolve_file_name(const char *name, char *full);
// Joins `simple` to the directory in `dir` (256-byte buffer, in place).
int append_simple_name(char *dir, const char *simple);
// Adds `ext` (with its dot) only when the name has no extension.
int append_ext_name(char *name, const char *ext);
// Last component of `name`, into a 256-byte buffer.
void get_simple_name(const char *name, char *simple);
// Extension of the name's last component, with its dot; "" when none.
const char *get_ext_name(const char *name);
void remove_ext_name(char *name);
// Removes the extension only when it equals `ext`, ignoring case.
void remove_given_ext_name(char *name, const char *ext);
// Checks and normalises a typed name (blanks trimmed, "~" expanded, "." and
// ".." folded, repeated '/' merged) into `out`; `len` receives its length.
// A name that is empty, too long, or holds control characters is refused.
int process_file_name(const char *in, char *out, uint16_t *len);
// Prefixes a simple name with the current directory, in place.
int make_full_name(char *name, uint16_t *len);
// Makes any name that does not start at the root full, in place: a relative
// name such as "a/b" is taken from the current directory, so that it names
// the same place after the process has moved.
int make_path_full(char *name, uint16_t *len);
// Status of a file; low 12 bits 2 when no such file exists.
int get_fstat_name(const char *name, uint16_t len, file_status *status);
