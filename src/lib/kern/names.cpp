// File-name services on POSIX names: the current directory, joining,
// extensions, folding of "." and "..", checks of typed names and file status.
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "lib/internal/lib_internal.h"
#include "lib/kern/kern_private.h"
#include "lib/names.h"
#include "lib/status.h"

namespace {

// Copies `text` into a 256-byte name buffer; false when it does not fit.
bool put_name(char *buf, const std::string &text) {
  if (text.size() > static_cast<size_t>(NAME_MAX_LEN)) return false;
  std::memcpy(buf, text.c_str(), text.size() + 1);
  return true;
}

// Start of the last component (after the last '/').
const char *last_component(const char *name) {
  const char *slash = std::strrchr(name, '/');
  return slash ? slash + 1 : name;
}

// The dot of the last component's extension, or nullptr. A leading dot
// (a hidden file) and a dot at the very end do not make an extension.
const char *ext_dot(const char *name) {
  const char *base = last_component(name);
  const char *dot = std::strrchr(base, '.');
  if (!dot || dot == base || dot[1] == '\0') return nullptr;
  return dot;
}

std::string current_dir() {
  char buf[4096];
  return getcwd(buf, sizeof buf) ? std::string(buf) : std::string();
}

std::string home_dir() {
  if (const char *h = std::getenv("HOME"))
    if (*h) return h;
  kern_user user;
  if (kern_find_user(getuid(), user)) return user.home;
  return std::string();
}

// "~" and "~/..." name the home directory; "~user" is taken as written.
std::string expand_home(const std::string &name) {
  if (name == "~" || name.rfind("~/", 0) == 0) {
    std::string home = home_dir();
    if (!home.empty()) return home + name.substr(1);
  }
  return name;
}

bool has_control(const std::string &name) {
  for (unsigned char c : name)
    if (c < 0x20 || c == 0x7F) return true;
  return false;
}

std::string trim_blanks(const char *in) {
  std::string s = in;
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return std::string();
  size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

// The refused name as the caller will print it: at most 255 bytes, with
// control characters shown as '?'.
void echo_refused(const std::string &name, char *out) {
  std::string shown = name.substr(0, NAME_MAX_LEN);
  for (char &c : shown)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  put_name(out, shown);
}

std::string full_of(const std::string &name) {
  if (!name.empty() && name[0] == '/') return kern_fold_path(name);
  return kern_fold_path(current_dir() + "/" + name);
}

// Status of a missing name: ST_NO_FILE when its directory exists, else
// ST_NO_PATH.
int missing_status(const std::string &name) {
  size_t slash = name.find_last_of('/');
  if (slash == std::string::npos) return ST_NO_FILE;
  std::string dir = slash == 0 ? "/" : name.substr(0, slash);
  struct stat st;
  return stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? ST_NO_FILE : ST_NO_PATH;
}

} // namespace

std::string kern_fold_path(const std::string &name) {
  bool absolute = !name.empty() && name[0] == '/';
  std::vector<std::string> parts;
  size_t i = 0;
  while (i <= name.size()) {
    size_t j = name.find('/', i);
    if (j == std::string::npos) j = name.size();
    std::string part = name.substr(i, j - i);
    if (part.empty() || part == ".") {
      // nothing: repeated '/' and "." add no component
    } else if (part == "..") {
      if (!parts.empty() && parts.back() != "..")
        parts.pop_back();
      else if (!absolute)
        parts.push_back(part); // a relative name may climb above its start
    } else {
      parts.push_back(part);
    }
    i = j + 1;
  }
  std::string out = absolute ? "/" : "";
  for (size_t k = 0; k < parts.size(); ++k) {
    if (k) out += '/';
    out += parts[k];
  }
  if (out.empty()) out = ".";
  return out;
}

int get_cur_dir_kern(char *dir, uint16_t *len) {
  if (!dir) return ST_FAILED;
  char buf[NAME_BUF];
  if (!getcwd(buf, sizeof buf)) {
    dir[0] = '\0';
    if (len) *len = 0;
    return errno == ERANGE ? ST_NAME_TOO_LONG : status_from_errno(errno);
  }
  std::memcpy(dir, buf, std::strlen(buf) + 1);
  if (len) *len = static_cast<uint16_t>(std::strlen(dir));
  return 0;
}

int set_cur_dir_kern(const char *dir) {
  if (!dir || !*dir) return ST_NO_PATH;
  if (chdir(dir) == 0) return 0;
  return errno == ENOENT ? ST_NO_PATH : status_from_errno(errno);
}

bool isdir_kern(const char *name) {
  struct stat st;
  return name && *name && stat(name, &st) == 0 && S_ISDIR(st.st_mode);
}

bool exists_kern(const char *name) {
  struct stat st;
  return name && *name && stat(name, &st) == 0;
}

bool test_simple_name(const char *name) { return name && !std::strchr(name, '/'); }

int resolve_file_name(const char *name, char *full) {
  if (!name || !full) return ST_FAILED;
  if (!*name) return ST_BAD_NAME;
  if (std::strlen(name) > static_cast<size_t>(NAME_MAX_LEN)) return ST_NAME_TOO_LONG;
  return put_name(full, full_of(name)) ? 0 : ST_NAME_TOO_LONG;
}

int append_simple_name(char *dir, const char *simple) {
  if (!dir || !simple) return ST_FAILED;
  while (*simple == '/') ++simple;
  std::string joined = dir;
  if (!joined.empty() && joined.back() != '/') joined += '/';
  joined += simple;
  return put_name(dir, joined) ? 0 : ST_NAME_TOO_LONG;
}

int append_ext_name(char *name, const char *ext) {
  if (!name || !ext) return ST_FAILED;
  if (ext_dot(name)) return 0; // already has one: called again and again
  if (!*last_component(name)) return ST_BAD_NAME;
  std::string out = name;
  if (*ext && *ext != '.') out += '.';
  out += ext;
  return put_name(name, out) ? 0 : ST_NAME_TOO_LONG;
}

void get_simple_name(const char *name, char *simple) {
  if (!simple) return;
  simple[0] = '\0';
  if (!name) return;
  std::string s = name;
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  size_t slash = s.find_last_of('/');
  std::string base = slash == std::string::npos ? s : s.substr(slash + 1);
  put_name(simple, base.substr(0, NAME_MAX_LEN));
}

const char *get_ext_name(const char *name) {
  if (!name) return "";
  const char *dot = ext_dot(name);
  return dot ? dot : name + std::strlen(name);
}

void remove_ext_name(char *name) {
  if (!name) return;
  if (const char *dot = ext_dot(name)) name[dot - name] = '\0';
}

void remove_given_ext_name(char *name, const char *ext) {
  if (!name || !ext) return;
  const char *dot = ext_dot(name);
  if (!dot) return;
  const char *want = *ext == '.' ? ext + 1 : ext;
  if (strcasecmp(dot + 1, want) == 0) name[dot - name] = '\0';
}

int process_file_name(const char *in, char *out, uint16_t *len) {
  if (!in || !out) return ST_FAILED;
  if (len) *len = 0;
  std::string name = trim_blanks(in);
  int status = 0;
  if (name.empty())
    status = ST_BAD_NAME;
  else if (has_control(name))
    status = ST_BAD_NAME;
  else {
    name = kern_fold_path(expand_home(name));
    if (name.size() > static_cast<size_t>(NAME_MAX_LEN)) status = ST_NAME_TOO_LONG;
  }
  if (status) {
    echo_refused(trim_blanks(in), out);
    return status;
  }
  put_name(out, name);
  if (len) *len = static_cast<uint16_t>(name.size());
  return 0;
}

int make_full_name(char *name, uint16_t *len) {
  if (!name) return ST_FAILED;
  if (!*name) return ST_BAD_NAME;
  std::string full = full_of(name);
  if (!put_name(name, full)) return ST_NAME_TOO_LONG;
  if (len) *len = static_cast<uint16_t>(full.size());
  return 0;
}

int make_path_full(char *name, uint16_t *len) {
  if (!name) return ST_FAILED;
  if (!*name) return ST_BAD_NAME;
  return make_full_name(name, len);
}

int get_fstat_name(const char *name, uint16_t len, file_status *status) {
  if (!name || !status) return ST_FAILED;
  size_t n = len ? strnlen(name, len) : std::strlen(name);
  std::string path(name, n);
  *status = file_status{};
  if (path.empty()) return ST_BAD_NAME;
  struct stat st;
  if (stat(path.c_str(), &st) != 0) {
    int err = errno;
    if (err == ENOENT) return missing_status(path);
    return status_from_errno(err);
  }
  // access() asks the kernel with the real ids, so a root user sees every
  // file as writable, as the kernel would let it write.
  if (access(path.c_str(), W_OK) == 0) status->flags |= FSTAT_WRITABLE;
  if (S_ISDIR(st.st_mode)) status->flags |= FSTAT_DIR;
  status->mode = st.st_mode;
  status->size = static_cast<uint64_t>(st.st_size);
  status->mtime = st.st_mtime;
  return 0;
}
