// Message catalogue: the text of every message code and status the program
// prints by number, and the mapping of C library errors to statuses.
#include <cerrno>
#include <cstdio>
#include <iterator>

#include "lib/internal/lib_internal.h"
#include "lib/status.h"

namespace {

struct message_row {
  uint32_t code;
  const char *text;
};

// Texts of statuses, looked up by the low 12 bits of an error code
// (0x3000 | status) and by plain status numbers. docs/messages.md mirrors
// this table and the next one; keep them together.
// clang-format off
constexpr message_row status_texts[] = {
    {ST_FAILED, "Operation not valid here"},
    {ST_NO_FILE, "No such file or directory"},
    {ST_NO_PATH, "No such directory"},
    {ST_TOO_MANY_FILES, "Too many open files"},
    {ST_ACCESS, "Permission denied"},
    {ST_NO_MEMORY, "Not enough memory"},
    {ST_BAD_DATA, "File contents not valid"},
    {ST_TRUNCATED, "File is incomplete (truncated)"},
    {ST_WRITE_FAULT, "Write failed"},
    {ST_READ_FAULT, "Read failed"},
    {ST_DISK_FULL, "No space left on the device"},
    {ST_NOT_BUILT, "Screen not available in this release"},
    {ST_BAD_NAME, "Name not acceptable"},
    {ST_BAD_COUNT, "Table size out of range"},
    {ST_NAME_TOO_LONG, "Name longer than 255 bytes"},
    {ST_BAD_OPTION, "Unknown option"},
    {ST_NO_ARGUMENT, "Option requires an argument"},
    {ST_OPT_END, "End of options"},
    {ST_ARG_TOO_LONG, "Option argument longer than 255 bytes"},
    {ST_WRONG_KIND, "File is of another kind"},
    {ST_NEWER_REVISION, "File of a newer revision"},
    {ST_NO_TERMINAL, "Terminal type unknown or unusable"},
    {ST_DEVICE_TOO_LONG, "Next device name too long; not copied"},
    {ST_CON_LINES, "Lines must be 0 or 24 to 255"},
    {ST_CON_COLUMNS, "Columns must be 0:0, or a:b with 80 <= a <= b"},
    {ST_CON_NO_TERM, "Programs need XNTERM= or the null device"},
    {ST_NOT_REGULAR, "Not a regular file"},
    {ST_IN_USE, "File is in use by another editor"},
    {ST_CHANGED_ON_DISK, "File has changed on disk since it was read"},
    {ST_DECLINED, "The file cannot be saved; editing declined"},
    {ST_SCREEN_TOO_BIG, "Screen too large"},
};
// clang-format on

// Codes whose text is not simply the status text, matched in full first.
// clang-format off
constexpr message_row code_texts[] = {
    {MSG_NOT_UPDATED, "File is read-only and was not rewritten"},
    {MSG_READ_ONLY_UPDATE, "Permission denied"},
    {MSG_BAD_TARGET, "Target OS type must be UNIX or Windows"},
    {MSG_INI_NOT_BATCH, "Option -l or -L needs batch mode (-b)"},
    {MSG_INI_WITH_TP, "Option -l or -L cannot be combined with -T or -P"},
    {MSG_OPERANDS, "Too many file operands"},
    {MSG_T_AND_P, "Options -T and -P cannot be combined in batch mode"},
    {MSG_BAD_TERM, "Not a terminal type name (see -h for the list)"},
    {MSG_BAD_PRINTER, "Not a printer type name (see -h)"},
    {MSG_BAD_EXT, "Extension not accepted"},
    {MSG_BAD_AUDIT, "Audit option not valid"},
    {MSG_SCREEN, "screen"},
    {MSG_LOADING_INI, "Loading sections from"},
    {MSG_SIDE_WRITTEN, "Unsaved changes written to"},
    {MSG_SIDE_LOST, "Unsaved changes could not be written"},
    {MSG_OWNER_NOT_KEPT, "Saved, but its owner could not be kept"},
    // Prefixes: the rest of the line says it all.
    {MSG_FATAL, ""},
    {MSG_INFO, ""},
};
// clang-format on

const char *find_text(const message_row *rows, size_t n, uint32_t code) {
  for (size_t i = 0; i < n; ++i)
    if (rows[i].code == code) return rows[i].text;
  return nullptr;
}

} // namespace

const char *message_text(uint32_t code) {
  if (const char *t = find_text(code_texts, std::size(code_texts), code)) return t;
  // Errors (0x3000 | status) and plain status numbers share the texts.
  if ((code & 0xF000) == MSG_ERROR || code < 0x1000) {
    if (const char *t = find_text(status_texts, std::size(status_texts), code & 0xFFF)) return t;
  }
  // Single-threaded program: one buffer for the unknown code suffices; it
  // stays valid until the next unknown code.
  static char unknown[32];
  std::snprintf(unknown, sizeof unknown, "Message 0x%04X", static_cast<unsigned>(code));
  return unknown;
}

int status_from_errno(int err) {
  switch (err) {
  case ENOENT: return ST_NO_FILE;
  case ENOTDIR:
  case ELOOP: return ST_NO_PATH;
  case EACCES:
  case EPERM:
  case EROFS:
  case EISDIR:
  case ETXTBSY: return ST_ACCESS;
  case ENOSPC:
  case EDQUOT:
  case EFBIG: return ST_DISK_FULL;
  case ENAMETOOLONG: return ST_NAME_TOO_LONG;
  case EMFILE:
  case ENFILE: return ST_TOO_MANY_FILES;
  case ENOMEM: return ST_NO_MEMORY;
  case EINVAL: return ST_BAD_NAME;
  default: return ST_WRITE_FAULT;
  }
}
