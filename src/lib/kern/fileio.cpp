// Safe whole-file reads and writes for the configuration stores, and the
// side files written for unsaved work when a session ends abruptly.
#include "lib/internal/lib_internal.h"
#include "lib/status.h"

#include <algorithm>
#include <cerrno>
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
      if (errno == EINTR)
        continue;
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

} // namespace

text_out::text_out(int fd) : fd_(fd) {
  // Room for a chunk and the largest single entry that may follow it.
  buf_.reserve(CHUNK + 16 * 1024);
}

bool text_out::flush() {
  if (err_ == 0)
    write_all(fd_, buf_.data(), buf_.size(), err_);
  buf_.clear();
  return err_ == 0;
}

int write_file_atomic(const char *name, const text_writer &write,
                      std::string &error) {
  // A link is followed, so that the file it names is replaced, not the link.
  char resolved[PATH_MAX];
  struct stat link {};
  if (::lstat(name, &link) == 0 && S_ISLNK(link.st_mode) &&
      ::realpath(name, resolved) != nullptr)
    name = resolved;
  // Renaming over a file needs only the folder's permission; refuse a file
  // that may not be written, as writing it in place would be refused.
  if (::access(name, F_OK) == 0 && ::access(name, W_OK) != 0) {
    int err = errno;
    error = describe("write", name, err);
    return status_from_errno(err);
  }
  std::string temp = name;
  temp += ".XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    int err = errno;
    error = describe("write", name, err);
    return status_from_errno(err);
  }
  // Keep the permission bits of the file being replaced; a new file gets
  // the usual mode under the process's umask rather than mkstemp's 0600.
  struct stat old {};
  mode_t mode;
  if (::stat(name, &old) == 0) {
    mode = old.st_mode & 07777;
    // Keep the owner too where we may (an administrator editing a user's
    // file); when that is refused the new file is simply ours.
    (void)!::fchown(fd, old.st_uid, old.st_gid);
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  int err = 0;
  text_out out(fd);
  write(out);
  bool ok = out.flush();
  if (!ok)
    err = out.err();
  if (ok && ::fchmod(fd, mode) != 0)
    err = errno, ok = false;
  if (ok && ::fdatasync(fd) != 0)
    err = errno, ok = false;
  if (::close(fd) != 0 && ok)
    err = errno, ok = false;
  if (ok && ::rename(temp.c_str(), name) != 0)
    err = errno, ok = false;
  if (!ok) {
    ::unlink(temp.c_str());
    error = describe("write", name, err);
    return status_from_errno(err);
  }
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

int read_file_whole(const char *name, std::string &content, std::string &error) {
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
            (S_ISREG(st.st_mode) ? ": larger than any configuration file"
                                 : ": not a regular file");
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
    if (n == 0)
      break;
    if (n < 0) {
      if (errno == EINTR)
        continue;
      int err = errno;
      ::close(fd);
      content.clear();
      error = describe("read", name, err);
      return status_from_errno(err);
    }
    have += static_cast<size_t>(n);
  }
  content.resize(have);
  ::close(fd);
  return 0;
}

void register_side_file_writer(side_file_writer writer) {
  for (side_file_writer w : writers())
    if (w == writer)
      return;
  writers().push_back(writer);
}

void write_side_files() {
  for (side_file_writer w : writers())
    w();
}
