// Shared plumbing of the fuzz targets: a private scratch folder per process
// and whole-file reads and writes, so each target stays a few lines of
// checks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace fuzz {

// A folder on a memory file system where there is one: saving syncs the
// file, which on a disk would dominate the run time. It is removed at a
// normal exit; after a finding it stays for a look.
inline const std::string &scratch_dir() {
  // Never destroyed, so that the exit handler can still read it.
  static const std::string &dir = *new std::string([] {
    std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    if (const char *t = std::getenv("XN_FUZZ_TMP")) base = t;
    std::string tmpl = base + "/xnfuzz.XXXXXX";
    if (mkdtemp(tmpl.data()) == nullptr) {
      std::perror("mkdtemp");
      std::abort();
    }
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(scratch_dir(), ignored);
    });
    return tmpl;
  }());
  return dir;
}

inline std::string scratch_path(const char *leaf) { return scratch_dir() + "/" + leaf; }

inline void write_whole(const std::string &path, const uint8_t *data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(size));
  if (!out) {
    std::perror(path.c_str());
    std::abort();
  }
}

inline std::string read_whole(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::perror(path.c_str());
    std::abort();
  }
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Stops the run with the two texts when a property fails; libFuzzer then
// keeps the input that caused it.
[[noreturn]] inline void fail(const char *what, const std::string &a = {},
                              const std::string &b = {}) {
  std::fprintf(stderr, "property failed: %s\n", what);
  if (!a.empty() || !b.empty())
    std::fprintf(stderr, "--- first\n%s\n--- second\n%s\n", a.c_str(), b.c_str());
  std::abort();
}

inline void check(bool ok, const char *what, const std::string &a = {}, const std::string &b = {}) {
  if (!ok) fail(what, a, b);
}

} // namespace fuzz
