// Loads arbitrary text as a system configuration. A refused file must leave
// the store as it was; an accepted one must save to a text that loads back
// to the same text, and that text must also merge as an ".ini" file to the
// same configuration.
#include "fuzz_support.h"
#include "lib/cfi_store.h"

#include <string>

namespace {

std::string saved_text(uint32_t h, const std::string &path) {
  int st = save_cfi(h, path.c_str(), 1);
  fuzz::check(st == 0, "save_cfi failed", get_error_buffer_cfi(h));
  return fuzz::read_whole(path);
}

std::string fresh_text(uint8_t target, const std::string &path) {
  uint32_t h = 0;
  open_cfi(&h, target);
  std::string text = saved_text(h, path);
  close_cfi(&h);
  return text;
}

void check_round_trip(const std::string &first, uint8_t target, const std::string &in,
                      const std::string &out) {
  // Loaded into a store of the other target: the file alone decides.
  uint32_t h = 0;
  open_cfi(&h, target == TARGET_UNIX ? TARGET_WINDOWS : TARGET_UNIX);
  fuzz::check(load_cfi(h, in.c_str()) == 0, "saved file does not load", first,
              get_error_buffer_cfi(h));
  // Saved before the check: the order in which a call's arguments are
  // worked out is the compiler's choice.
  {
    const std::string again = saved_text(h, out);
    fuzz::check(again == first, "load/save does not round-trip", first, again);
  }
  close_cfi(&h);

  // A complete file is a valid ".ini": merged over the defaults of its
  // target it must give the same configuration.
  uint32_t ini = 0;
  open_cfi(&h, target);
  fuzz::check(open_ini(in.c_str(), &ini) == 0, "open_ini failed on a saved file");
  fuzz::check(load_sections_cfi(h, ini, 1) == 0, "saved file does not merge", first,
              get_error_buffer_cfi(h));
  // Saved before the check: the order in which a call's arguments are
  // worked out is the compiler's choice.
  {
    const std::string again = saved_text(h, out);
    fuzz::check(again == first, "merged file differs from loaded file", first, again);
  }
  close_ini(&ini);
  close_cfi(&h);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static const std::string in = fuzz::scratch_path("in.cfi");
  static const std::string a = fuzz::scratch_path("a.cfi");
  static const std::string b = fuzz::scratch_path("b.cfi");
  static const std::string fresh = fresh_text(TARGET_UNIX, a);

  fuzz::write_whole(in, data, size);
  uint32_t h = 0;
  open_cfi(&h, TARGET_UNIX);
  int st = load_cfi(h, in.c_str());
  // Saving clears the error text, so take it now.
  std::string error = get_error_buffer_cfi(h);
  std::string first = saved_text(h, a);
  if (st != 0) {
    fuzz::check(first == fresh, "refused file changed the store", fresh, first);
    fuzz::check(!error.empty(), "refused file without an error text");
  } else {
    check_round_trip(first, get_os_target_sys(h), a, b);
  }
  close_cfi(&h);
  return 0;
}
