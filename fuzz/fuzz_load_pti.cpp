// Loads arbitrary text as a printer translation. A refused file must leave
// the store as it was; an accepted one reports an older revision once, and
// saves to a text of the current revision that loads back to the same text.
#include "fuzz_support.h"
#include "lib/pti_store.h"

#include <string>

namespace {

std::string saved_text(uint32_t h, const std::string &path) {
  int st = save_pti(h, path.c_str(), 1);
  fuzz::check(st == 0, "save_pti failed", get_error_buffer_pti(h));
  return fuzz::read_whole(path);
}

std::string fresh_text(const std::string &path) {
  uint32_t h = 0;
  open_pti(&h, 0);
  std::string text = saved_text(h, path);
  close_pti(&h);
  return text;
}

void check_round_trip(const std::string &first, const std::string &in, const std::string &out) {
  // Another printer type: the file alone decides what is loaded.
  uint32_t h = 0;
  open_pti(&h, 1);
  fuzz::check(load_pti(h, in.c_str()) == 0, "saved file does not load", first,
              get_error_buffer_pti(h));
  fuzz::check(uprev_pti(h) == 0, "saved file taken as an older revision", first);
  // Saved before the check: the order in which a call's arguments are
  // worked out is the compiler's choice.
  {
    const std::string again = saved_text(h, out);
    fuzz::check(again == first, "load/save does not round-trip", first, again);
  }
  close_pti(&h);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static const std::string in = fuzz::scratch_path("in.pti");
  static const std::string a = fuzz::scratch_path("a.pti");
  static const std::string b = fuzz::scratch_path("b.pti");
  static const std::string fresh = fresh_text(a);

  fuzz::write_whole(in, data, size);
  uint32_t h = 0;
  open_pti(&h, 0);
  int st = load_pti(h, in.c_str());
  // Saving clears the error text, so take it now.
  std::string error = get_error_buffer_pti(h);
  if (st != 0) {
    fuzz::check(uprev_pti(h) == 0, "refused file reported as updated");
    std::string now = saved_text(h, a);
    fuzz::check(now == fresh, "refused file changed the store", fresh, now);
    fuzz::check(!error.empty(), "refused file without an error text");
  } else {
    // Reported once; after that the store is of the current revision.
    if (uprev_pti(h) != 0) fuzz::check(uprev_pti(h) == 0, "older revision reported twice");
    check_round_trip(saved_text(h, a), a, b);
  }
  close_pti(&h);
  return 0;
}
