// Merges arbitrary text as an ".ini" file into a default configuration. A
// refused file must merge nothing; an accepted one must leave a
// configuration that saves and loads back unchanged, and merging the same
// file a second time must change nothing more.
#include "fuzz_support.h"
#include "lib/cfi_store.h"

#include <string>

namespace {

std::string saved_text(uint32_t h, const std::string &path) {
  int st = save_cfi(h, path.c_str(), 1);
  fuzz::check(st == 0, "save_cfi failed", get_error_buffer_cfi(h));
  return fuzz::read_whole(path);
}

int merge(uint32_t h, const std::string &ini_path) {
  uint32_t ini = 0;
  fuzz::check(open_ini(ini_path.c_str(), &ini) == 0, "open_ini failed on a readable file");
  int st = load_sections_cfi(h, ini, 1);
  close_ini(&ini);
  return st;
}

void check_merge(uint8_t target, const std::string &in, const std::string &a,
                 const std::string &b) {
  uint32_t h = 0;
  open_cfi(&h, target);
  std::string before = saved_text(h, a);
  int st = merge(h, in);
  // Saving clears the error text, so take it now.
  std::string error = get_error_buffer_cfi(h);
  std::string after = saved_text(h, a);
  if (st != 0) {
    fuzz::check(after == before, "refused file merged something", before, after);
    fuzz::check(error.rfind(in + ":", 0) == 0, "error text does not name the file", error);
  } else {
    fuzz::check(merge(h, in) == 0, "second merge of an accepted file refused",
                get_error_buffer_cfi(h));
    // Saved before the check: the order in which a call's arguments are
    // worked out is the compiler's choice.
    {
      const std::string again = saved_text(h, b);
      fuzz::check(again == after, "second merge changed the configuration", after, again);
    }
    uint32_t h2 = 0;
    open_cfi(&h2, target);
    fuzz::check(load_cfi(h2, a.c_str()) == 0, "merged configuration does not load", after,
                get_error_buffer_cfi(h2));
    // Saved before the check: the order in which a call's arguments are
    // worked out is the compiler's choice.
    {
      const std::string again = saved_text(h2, b);
      fuzz::check(again == after, "merged configuration does not round-trip", after, again);
    }
    close_cfi(&h2);
  }
  close_cfi(&h);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static const std::string in = fuzz::scratch_path("in.ini");
  static const std::string a = fuzz::scratch_path("a.cfi");
  static const std::string b = fuzz::scratch_path("b.cfi");

  fuzz::write_whole(in, data, size);
  // The target only changes the defaults merged over; try both.
  check_merge(TARGET_UNIX, in, a, b);
  check_merge(TARGET_WINDOWS, in, a, b);
  return 0;
}
