// Audit trail: which loads and saves of configuration files are recorded,
// the audit file, and one line per recorded event.
#include <fcntl.h>
#include <sys/stat.h>
#include <strings.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "lib/internal/lib_internal.h"
#include "lib/kern.h"
#include "lib/kern/kern_private.h"
#include "lib/names.h"
#include "lib/status.h"

namespace {

constexpr unsigned AUDIT_LOAD = 1;
constexpr unsigned AUDIT_SAVE = 2;
constexpr unsigned AUDIT_FAIL_ONLY = 4;

// The audit options: read by getopt_audit_kern, listed by the help text
// and docs/messages.md. Each adds its bits to the selection.
struct audit_option {
  const char *name;
  unsigned bits;
};
// clang-format off
constexpr audit_option audit_options[] = {
    {"all", AUDIT_LOAD | AUDIT_SAVE},
    {"load", AUDIT_LOAD},
    {"save", AUDIT_SAVE},
    {"fail", AUDIT_FAIL_ONLY},
};
// clang-format on

constexpr const char *DEFAULT_AUDIT_FILE = "xnconfig.audit";

struct audit_state {
  std::string name;       // the trail's file; empty: no trail
  int fd = -1;            // open once the file exists
  unsigned selection = 0; // options validated so far; 0: none given
};

audit_state &audit() {
  static audit_state a;
  return a;
}

// Length of the option word at `p` (up to ',' or the end).
size_t word_length(const char *p) {
  size_t n = 0;
  while (p[n] && p[n] != ',') ++n;
  return n;
}

unsigned option_bits(const char *word, size_t len) {
  for (const audit_option &o : audit_options)
    if (std::strlen(o.name) == len && strncasecmp(o.name, word, len) == 0) return o.bits;
  return 0;
}

// Loads and saves recorded under the current selection.
bool wanted(const char *op, int status) {
  unsigned sel = audit().selection;
  if ((sel & (AUDIT_LOAD | AUDIT_SAVE)) == 0) sel |= AUDIT_LOAD | AUDIT_SAVE;
  if ((sel & AUDIT_FAIL_ONLY) && status == 0) return false;
  if (std::strcmp(op, "load") == 0) return sel & AUDIT_LOAD;
  if (std::strcmp(op, "save") == 0) return sel & AUDIT_SAVE;
  return true;
}

std::string user_name() {
  kern_user user;
  if (kern_find_user(geteuid(), user)) return user.name;
  if (const char *u = std::getenv("USER"))
    if (*u) return u;
  return "uid " + std::to_string(geteuid());
}

std::string utc_time() {
  char buf[32];
  time_t now = time(nullptr);
  struct tm t;
  gmtime_r(&now, &t);
  std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%SZ", &t);
  return buf;
}

// A field of the line: tabs, line ends and other control bytes would break
// the one-line-per-event layout, so they are written as "\" and 3 octal digits.
std::string field(const char *text) {
  std::string out;
  for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text); *p; ++p) {
    if (*p < 0x20 || *p == 0x7F || *p == '\\') {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\%03o", *p);
      out += esc;
    } else {
      out += static_cast<char>(*p);
    }
  }
  return out;
}

std::string full_name(const char *name) {
  char full[NAME_BUF];
  if (name[0] != '/' && resolve_file_name(name, full) == 0) return full;
  return name;
}

// Opens the trail for appending without following a link planted at its
// name: in a shared folder a link would let anyone make a privileged user
// append to any file. A file of another owner is refused for the same
// reason. -1 with errno set on refusal.
int open_trail_file(const char *name, int create) {
  int fd = open(name, O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | create, 0644);
  if (fd < 0) {
    if (errno == ELOOP) errno = EACCES;
    return -1;
  }
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid()) {
    close(fd);
    errno = EACCES;
    return -1;
  }
  return fd;
}

// Opens the trail, creating it: done at the first event, so that a run
// ended by a later option error leaves no empty trail behind.
bool open_trail() {
  audit_state &a = audit();
  if (a.fd < 0 && !a.name.empty()) a.fd = open_trail_file(a.name.c_str(), O_CREAT);
  return a.fd >= 0;
}

// Whether a new file may be made at `name`: its folder must be writable.
int check_folder(const char *name) {
  std::string folder = name;
  size_t slash = folder.rfind('/');
  folder = slash == std::string::npos ? "." : slash == 0 ? "/" : folder.substr(0, slash);
  if (access(folder.c_str(), W_OK | X_OK) == 0) return 0;
  int err = errno;
  return err == ENOENT ? ST_NO_PATH : status_from_errno(err);
}

} // namespace

void kern_audit_reset() {
  audit_state &a = audit();
  if (a.fd >= 0) close(a.fd);
  a = audit_state{};
}

bool getopt_audit_kern(char **opts) {
  if (!opts || !*opts) return false;
  char *intro = *opts; // the ':' or the end mark that replaced it
  char *p = intro + 1;
  if (!*p) return false; // a colon with nothing after it
  unsigned bits = 0;
  for (;;) {
    size_t n = word_length(p);
    unsigned b = n ? option_bits(p, n) : 0;
    if (!b) {
      *opts = p;
      return false;
    }
    bits |= b;
    if (!p[n]) break;
    p += n + 1;
  }
  audit().selection |= bits;
  return true;
}

int set_audit_kern(const char *file) {
  const char *name = file && *file ? file : DEFAULT_AUDIT_FILE;
  if (std::strlen(name) > NAME_MAX_LEN) return ST_NAME_TOO_LONG;
  // An existing file is opened now (which writes nothing); a new one is only
  // checked for, and made at the first event.
  int fd = open_trail_file(name, 0);
  int err = fd < 0 ? errno : 0;
  if (fd < 0 && err != ENOENT) return status_from_errno(err);
  if (fd < 0) {
    int st = check_folder(name);
    if (st != 0) return st;
  }
  audit_state &a = audit();
  if (a.fd >= 0) close(a.fd);
  a.fd = fd;
  // In full: the editor may change the current directory before the first
  // event creates the file.
  char cwd[NAME_BUF];
  a.name = name[0] != '/' && getcwd(cwd, sizeof cwd) ? std::string(cwd) + "/" + name : name;
  return 0;
}

bool test_audit_kern() { return !audit().name.empty(); }

const char *audit_file_kern(const char *given) {
  return given && *given ? given : DEFAULT_AUDIT_FILE;
}

uint32_t get_audit_han_kern() { return open_trail() ? static_cast<uint32_t>(audit().fd) : 0xFFFF; }

void audit_file_event(const char *op, const char *kind, const char *name, int status) {
  if (audit().name.empty() || !op) return;
  if (!wanted(op, status) || !open_trail()) return;
  std::string line = utc_time() + "\t" + field(user_name().c_str()) + "\t" + field(op) + "\t" +
                     field(kind ? kind : "") + "\t" +
                     field(name && *name ? full_name(name).c_str() : "") + "\t";
  if (status == 0) {
    line += "ok";
  } else {
    line += "error " + std::to_string(status & 0xFFF) + " " +
            message_text(MSG_ERROR | (static_cast<uint32_t>(status) & 0xFFF));
  }
  line += '\n';
  // One write per line: with O_APPEND concurrent runs do not interleave.
  kern_write_all(audit().fd, line);
}
