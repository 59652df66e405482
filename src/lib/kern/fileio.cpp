// Safe whole-file reads and writes for the configuration stores, and the
// side files written for unsaved work when a session ends abruptly.
#include "lib/internal/lib_internal.h"
#include "lib/kern.h"
#include "lib/status.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <map>
#include <string_view>
#include <sys/file.h>
#include <cstdio>
#include <cstring>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::string describe(const char *verb, const char *name, int err) {
  std::string text = "cannot ";
  text += verb;
  text += ' ';
  text += name;
  text += ": ";
  text += std::strerror(err);
  return text;
}

// Writes every byte, retrying short writes and interrupted calls.
bool write_all(int fd, const char *data, size_t size, int &err) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      err = errno;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// Far above the largest configuration the stores accept (every table at its
// limit, every text in octal notation).
constexpr size_t MAX_FILE_BYTES = 64u << 20;

std::vector<side_file_writer> &writers() {
  static std::vector<side_file_writer> list;
  return list;
}
form_flush_hook flush_hook = nullptr;

// The files this process holds editing locks on, so that its own saves are
// not refused by them (a second open of the file could not take the lock).
struct held_lock {
  int fd;
  dev_t dev;
  ino_t ino;
};
std::vector<held_lock> &held_locks() {
  static std::vector<held_lock> list;
  return list;
}

bool held_by_us(const struct stat &st) {
  for (const held_lock &h : held_locks())
    if (h.dev == st.st_dev && h.ino == st.st_ino) return true;
  return false;
}

// Whether another process holds the editing lock on the open file `fd`.
bool locked_elsewhere(int fd) {
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
    ::flock(fd, LOCK_UN);
    return false;
  }
  return errno == EWOULDBLOCK;
}

std::map<std::string, file_print> &remembered() {
  static std::map<std::string, file_print> files;
  return files;
}

std::string real_name(const char *name) {
  char full[PATH_MAX];
  return ::realpath(name, full) ? std::string(full) : std::string(name);
}

std::string folder_of(const std::string &name) {
  size_t slash = name.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : name.substr(0, slash);
}

std::string simple_of(const std::string &name) {
  size_t slash = name.rfind('/');
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

// Temporary files are named "<name>.<pid>.xntmp" plus six random letters,
// so that one left by a killed run is recognised and removed by the next.
constexpr const char *TEMP_MARK = ".xntmp";

// Removes the temporary files of `name` whose process has ended.
void remove_stale_temps(const std::string &name) {
  const std::string folder = folder_of(name);
  const std::string prefix = simple_of(name) + ".";
  DIR *d = ::opendir(folder.c_str());
  if (d == nullptr) return;
  while (dirent *e = ::readdir(d)) {
    std::string_view entry = e->d_name;
    if (!entry.starts_with(prefix)) continue;
    std::string_view rest = entry.substr(prefix.size());
    size_t mark = rest.find(TEMP_MARK);
    if (mark == std::string_view::npos || mark == 0 ||
        rest.size() != mark + std::strlen(TEMP_MARK) + 6)
      continue;
    long pid = 0;
    for (char c : rest.substr(0, mark))
      pid = c >= '0' && c <= '9' && pid < 100000000 ? pid * 10 + (c - '0') : -1;
    if (pid <= 0 || ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
    std::string full = folder + "/" + std::string(entry);
    struct stat st {};
    if (::lstat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid())
      ::unlink(full.c_str());
  }
  ::closedir(d);
}

// A recognisable temporary file beside `name`, created exclusively.
int make_named_temp(const std::string &name, mode_t mode, std::string &temp) {
  temp = name + "." + std::to_string(::getpid()) + TEMP_MARK + "XXXXXX";
  int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd >= 0) (void)::fchmod(fd, mode);
  return fd;
}

// The new content's file: anonymous where the file system allows it, so
// that a run killed while writing leaves nothing behind. `temp` is empty
// for an anonymous file.
int open_temp(const std::string &name, mode_t mode, std::string &temp) {
  temp.clear();
  static const bool proc = ::access("/proc/self/fd", X_OK) == 0;
  if (proc) {
    int fd = ::open(folder_of(name).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
    if (fd >= 0) return fd;
  }
  return make_named_temp(name, mode, temp);
}

// Gives an anonymous temporary file a name, so that it can be renamed over
// the target: the name exists only between these two steps.
bool name_temp(int fd, const std::string &name, std::string &temp, int &err) {
  std::string self = "/proc/self/fd/" + std::to_string(fd);
  for (int attempt = 0; attempt < 16; ++attempt) {
    temp = name + "." + std::to_string(::getpid()) + TEMP_MARK + "XXXXXX";
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    uint64_t r = static_cast<uint64_t>(::random()) ^ (static_cast<uint64_t>(attempt) << 32);
    for (size_t i = temp.size() - 6; i < temp.size(); ++i, r /= 52) temp[i] = letters[r % 52];
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0)
      return true;
    if (errno != EEXIST) break;
  }
  err = errno;
  temp.clear(); // nothing of ours carries the name
  return false;
}

// Flushes the folder, so that the rename itself survives a power cut.
void sync_folder(const std::string &name) {
  int fd = ::open(folder_of(name).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    (void)::fsync(fd);
    ::close(fd);
  }
}

// Copies the open file `from` (from its start) to `to`, which is truncated.
bool copy_content(int from, int to, int &err) {
  if (::lseek(from, 0, SEEK_SET) < 0 || ::ftruncate(to, 0) != 0 || ::lseek(to, 0, SEEK_SET) < 0) {
    err = errno;
    return false;
  }
  char buf[64 * 1024];
  for (;;) {
    ssize_t n = ::read(from, buf, sizeof buf);
    if (n == 0) return true;
    if (n < 0) {
      if (errno == EINTR) continue;
      err = errno;
      return false;
    }
    if (!write_all(to, buf, static_cast<size_t>(n), err)) return false;
  }
}

// Keeps the content about to be replaced as "<name>~": copied to a
// temporary file that is renamed over the backup, so that a link planted
// there is replaced, never followed.
bool write_backup(const std::string &name, int &err, std::string &which) {
  which = name + "~";
  int from = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (from < 0) {
    err = errno;
    return false;
  }
  struct stat st {};
  (void)::fstat(from, &st);
  std::string temp;
  int to = open_temp(which, st.st_mode & 0777, temp);
  bool ok = to >= 0;
  if (!ok) err = errno;
  ok = ok && copy_content(from, to, err);
  if (ok && ::fdatasync(to) != 0) err = errno, ok = false;
  if (ok && temp.empty()) ok = name_temp(to, which, temp, err);
  if (ok && ::rename(temp.c_str(), which.c_str()) != 0) err = errno, ok = false;
  if (!ok && !temp.empty()) ::unlink(temp.c_str());
  if (to >= 0) ::close(to);
  ::close(from);
  return ok;
}

// The target as write_file_atomic sees it: the name to write and what is
// there now.
struct target {
  std::string name;
  bool exists = false;
  struct stat old {};
};

// Resolves the target and refuses what may not be replaced; errno-style
// error in `err` (0: go on).
int examine_target(const char *given, const write_options &o, target &t) {
  t.name = given;
  struct stat link {};
  bool there = ::lstat(given, &link) == 0;
  if (there && S_ISLNK(link.st_mode)) {
    // A made-up name is never followed: the link itself is replaced. A
    // user's configuration behind a link is replaced where it lives.
    if (o.own_name) return 0;
    char resolved[PATH_MAX];
    if (::realpath(given, resolved) != nullptr) t.name = resolved;
  }
  t.exists = ::stat(t.name.c_str(), &t.old) == 0;
  if (!t.exists) return 0;
  if (o.own_name && (!S_ISREG(t.old.st_mode) || t.old.st_uid != ::geteuid())) return EACCES;
  // Renaming over a file needs only the folder's permission; refuse a file
  // that may not be written, as writing it in place would be refused.
  if (::access(t.name.c_str(), W_OK) != 0) return errno;
  return 0;
}

// Whether another editor holds the target; the file is opened only to ask.
bool target_in_use(const target &t) {
  if (!t.exists || held_by_us(t.old)) return false;
  int fd = ::open(t.name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  bool busy = locked_elsewhere(fd);
  ::close(fd);
  return busy;
}

void fill_print(file_print *p, int fd, uint64_t hash) {
  struct stat st {};
  if (p == nullptr || ::fstat(fd, &st) != 0) return;
  *p = file_print{true,
                  st.st_dev,
                  st.st_ino,
                  static_cast<uint64_t>(st.st_size),
                  static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
                  hash};
}

} // namespace

uint64_t content_hash(uint64_t hash, const char *data, size_t size) {
  for (size_t i = 0; i < size; ++i) {
    hash ^= static_cast<unsigned char>(data[i]);
    hash *= 1099511628211ull;
  }
  return hash;
}

text_out::text_out(int fd) : fd_(fd) {
  // Room for a chunk and the largest single entry that may follow it.
  buf_.reserve(CHUNK + 16 * 1024);
}

bool text_out::flush() {
  hash_ = content_hash(hash_, buf_.data(), buf_.size());
  if (err_ == 0) write_all(fd_, buf_.data(), buf_.size(), err_);
  buf_.clear();
  return err_ == 0;
}

int write_file_atomic(const char *name, const text_writer &write, std::string &error,
                      const write_options &o) {
  target t;
  int err = examine_target(name, o, t);
  if (err == 0 && target_in_use(t)) {
    error = t.name + ": " + message_text(ST_IN_USE);
    return ST_IN_USE;
  }
  if (err != 0) {
    error = describe("write", t.name.c_str(), err);
    return status_from_errno(err);
  }
  remove_stale_temps(t.name);
  if (o.backup) remove_stale_temps(t.name + "~");
  // Keep the permission bits of the file being replaced; a new file gets
  // the usual mode under the process's umask. A made-up name is private.
  mode_t mode;
  if (t.exists && !o.own_name) {
    mode = t.old.st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = (o.own_name ? 0600 : 0666) & ~mask;
  }
  std::string temp;
  int fd = open_temp(t.name, mode & 0777, temp);
  if (fd < 0) {
    err = errno;
    error = describe("write", t.name.c_str(), err);
    return status_from_errno(err);
  }
  // Keep the owner too where we may (an administrator editing a user's
  // file); when that is refused the new file is ours, and the caller hears.
  bool owner_lost = false;
  if (t.exists && !o.own_name && (t.old.st_uid != ::geteuid() || t.old.st_gid != ::getegid()))
    owner_lost = ::fchown(fd, t.old.st_uid, t.old.st_gid) != 0;
  text_out out(fd);
  write(out);
  bool ok = out.flush();
  if (!ok) err = out.err();
  if (ok && ::fchmod(fd, mode) != 0) err = errno, ok = false;
  if (ok && ::fdatasync(fd) != 0) err = errno, ok = false;
  std::string failed_name = t.name;
  if (ok && o.backup && t.exists && S_ISREG(t.old.st_mode) &&
      !write_backup(t.name, err, failed_name))
    ok = false;
  const bool in_place = ok && t.exists && !o.own_name && t.old.st_nlink > 1;
  int final_fd = fd;
  if (in_place) {
    // More than one name for the file: renaming would split them, so the
    // new content is copied into the file itself (the backup holds the old).
    final_fd = ::open(t.name.c_str(), O_WRONLY | O_CLOEXEC);
    ok = final_fd >= 0 ? copy_content(fd, final_fd, err) : (err = errno, false);
    if (ok && ::fdatasync(final_fd) != 0) err = errno, ok = false;
    owner_lost = false;
  } else {
    if (ok && temp.empty()) ok = name_temp(fd, t.name, temp, err);
    if (ok && ::rename(temp.c_str(), t.name.c_str()) != 0) err = errno, ok = false;
  }
  if (ok) fill_print(o.print, final_fd, out.hash());
  if (final_fd != fd && final_fd >= 0) ::close(final_fd);
  if (::close(fd) != 0 && ok) err = errno, ok = false;
  if (!ok) {
    if (!temp.empty() && !in_place) ::unlink(temp.c_str());
    error = describe("write", failed_name.c_str(), err);
    return status_from_errno(err);
  }
  sync_folder(t.name);
  if (o.note != nullptr) *o.note = owner_lost ? t.name : "";
  return 0;
}

void prefault(void *block, size_t size) {
  static const auto page = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
  const auto start = reinterpret_cast<uintptr_t>(block);
  const uintptr_t first = (start + page - 1) & ~(page - 1);
  const uintptr_t end = (start + size) & ~(page - 1);
  if (end > first + 16 * page)
    (void)::madvise(reinterpret_cast<void *>(first), end - first, MADV_POPULATE_WRITE);
}

int read_file_whole(const char *name, std::string &content, std::string &error, file_print *print) {
  // Non-blocking, so that a pipe given as a file cannot hang the open; it
  // is refused below like every other file that is not a regular one.
  int fd = ::open(name, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    int err = errno;
    error = describe("read", name, err);
    return status_from_errno(err);
  }
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    error = describe("read", name, EISDIR);
    return status_from_errno(EISDIR);
  }
  // A device or pipe could feed bytes for ever, and no configuration comes
  // near the size limit: both are refused before any memory is taken.
  if (!S_ISREG(st.st_mode) || static_cast<uint64_t>(st.st_size) > MAX_FILE_BYTES) {
    ::close(fd);
    error = std::string("cannot read ") + name +
            (S_ISREG(st.st_mode) ? ": larger than any configuration file" : ": not a regular file");
    return ST_BAD_DATA;
  }
  // Read straight into the text, sized by the file; a file that grows
  // meanwhile is still read to its end, within the limit.
  size_t have = 0;
  content.reserve(static_cast<size_t>(st.st_size) + 1);
  prefault(content.data(), content.capacity());
  content.resize(static_cast<size_t>(st.st_size) + 1);
  for (;;) {
    if (have == content.size()) {
      if (have > MAX_FILE_BYTES) {
        ::close(fd);
        error = std::string("cannot read ") + name + ": larger than any configuration file";
        return ST_BAD_DATA;
      }
      content.resize(std::min(have * 2, MAX_FILE_BYTES + 1));
    }
    ssize_t n = ::read(fd, content.data() + have, content.size() - have);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      content.clear();
      error = describe("read", name, err);
      return status_from_errno(err);
    }
    have += static_cast<size_t>(n);
  }
  content.resize(have);
  if (print != nullptr)
    fill_print(print, fd, content_hash(CONTENT_HASH_START, content.data(), have));
  ::close(fd);
  // A byte order mark (some editors write one) says nothing to a reader of
  // UTF-8 text; the file reads as if it were not there.
  if (content.starts_with("\xEF\xBB\xBF")) content.erase(0, 3);
  return 0;
}

file_lock &file_lock::operator=(file_lock &&other) noexcept {
  if (this != &other) {
    release();
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

void file_lock::release() {
  if (fd_ < 0) return;
  auto &list = held_locks();
  std::erase_if(list, [this](const held_lock &h) { return h.fd == fd_; });
  ::close(fd_); // the lock goes with the descriptor
  fd_ = -1;
}

int lock_for_editing(const char *name, file_lock &lock, std::string &error) {
  lock.release();
  int fd = ::open(name, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return 0;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return 0;
  }
  for (const held_lock &h : held_locks())
    if (h.dev == st.st_dev && h.ino == st.st_ino) {
      // Another store of this process has it: the lock is the process's,
      // shared through a duplicate that keeps it until both let go.
      ::close(fd);
      int copy = ::fcntl(h.fd, F_DUPFD_CLOEXEC, 0);
      if (copy < 0) return 0;
      held_locks().push_back({copy, st.st_dev, st.st_ino});
      lock.fd_ = copy;
      return 0;
    }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    int err = errno;
    ::close(fd);
    if (err != EWOULDBLOCK) return 0; // a file system without locks: edited unlocked
    error = std::string(name) + ": " + message_text(ST_IN_USE);
    return ST_IN_USE;
  }
  held_locks().push_back({fd, st.st_dev, st.st_ino});
  lock.fd_ = fd;
  return 0;
}

void remember_file(const char *name, const file_print &print) {
  if (name != nullptr && *name && print.known) remembered()[real_name(name)] = print;
}

int check_unchanged_kern(const char *name) {
  if (name == nullptr) return 0;
  auto it = remembered().find(real_name(name));
  if (it == remembered().end()) return 0;
  const file_print &was = it->second;
  struct stat st {};
  if (::stat(name, &st) != 0) return 0; // gone: nothing of anyone's would be overwritten
  const int64_t mtime = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  if (st.st_dev == was.dev && st.st_ino == was.ino &&
      static_cast<uint64_t>(st.st_size) == was.size && mtime == was.mtime_ns)
    return 0;
  // Touched or replaced: only a different content counts as a change.
  std::string content, ignored;
  file_print now;
  if (read_file_whole(name, content, ignored, &now) != 0) return ST_CHANGED_ON_DISK;
  return now.hash == was.hash ? 0 : ST_CHANGED_ON_DISK;
}

std::string printable_name(const char *name) {
  std::string out;
  for (const unsigned char *p = reinterpret_cast<const unsigned char *>(name ? name : ""); *p;
       ++p) {
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

void register_side_file_writer(side_file_writer writer) {
  for (side_file_writer w : writers())
    if (w == writer) return;
  writers().push_back(writer);
}

void set_form_flush_hook(form_flush_hook hook) { flush_hook = hook; }

void write_side_files() {
  if (flush_hook != nullptr) flush_hook();
  for (side_file_writer w : writers()) w();
}

std::string write_side_file_text(const std::string &name, const text_writer &content) {
  // Beside the file first; a folder that cannot take it (read-only, gone)
  // must not lose the work, so the user's home and the temporary folder
  // follow, under the file's simple name.
  std::vector<std::string> places{name};
  for (const char *var : {"HOME", "TMPDIR"})
    if (const char *dir = std::getenv(var); dir != nullptr && *dir == '/')
      places.push_back(std::string(dir) + "/" + simple_of(name));
  places.push_back("/tmp/" + simple_of(name));
  std::string error, first_error;
  write_options o;
  o.own_name = true;
  for (const std::string &place : places) {
    if (write_file_atomic(place.c_str(), content, error, o) == 0) {
      char full[PATH_MAX];
      const char *shown = ::realpath(place.c_str(), full) ? full : place.c_str();
      printf_stderr_kern("%M: %s\n", MSG_SIDE_WRITTEN, shown);
      return shown;
    }
    if (first_error.empty()) first_error = error;
  }
  printf_stderr_kern("%M: %s\n", MSG_SIDE_LOST, first_error.c_str());
  return {};
}
