// Random damage to valid files: every load ends with a clean status, and a
// failed load leaves the store exactly as it was.
#include "lib/cfi_store.h"
#include "lib/pti_store.h"
#include "lib/status.h"
#include "lib/tdi_store.h"
#include "support/support.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

struct Kind { // one store kind through the same four calls
  const char *ext;
  int (*open)(uint32_t *);
  int (*load)(uint32_t, const char *);
  int (*save)(uint32_t, const char *, uint8_t);
  int (*close)(uint32_t *);
};

std::string mutate(std::string text, std::mt19937 &rng) {
  int edits = 1 + rng() % 4;
  for (int e = 0; e < edits && !text.empty(); ++e) {
    size_t at = rng() % text.size();
    switch (rng() % 6) {
    case 0: text[at] = static_cast<char>(rng()); break;                           // any byte
    case 1: text.erase(at, 1 + rng() % 40); break;                                // cut
    case 5: text.resize(at); break;                                               // truncate
    case 2: text.insert(at, text.substr(rng() % text.size(), rng() % 80)); break; // repeat
    case 3: text.insert(at, std::string(1, "=[]\\^#\n 0"[rng() % 10])); break;    // syntax
    default: text[at] = static_cast<char>('0' + rng() % 10); break;               // numbers
    }
  }
  return text;
}

TEST(Fuzz, DamagedFilesLoadCleanlyOrChangeNothing) {
  // clang-format off
  const Kind kinds[] = {
      {".cfi", [](uint32_t *h) { return open_cfi(h, TARGET_UNIX); }, load_cfi, save_cfi, close_cfi},
      {".tdi", [](uint32_t *h) { return open_tdi(h, 6); }, load_tdi, save_tdi, close_tdi},
      {".pti", [](uint32_t *h) { return open_pti(h, 1); }, load_pti, save_pti, close_pti},
  };
  // clang-format on
  xntest::TempDir dir;
  std::mt19937 rng(2024);
  for (const Kind &k : kinds) {
    uint32_t h = 0;
    ASSERT_EQ(k.open(&h), 0);
    const std::string ext = k.ext, valid = dir.file("valid" + ext), bad = dir.file("bad" + ext),
                      check = dir.file("check" + ext);
    ASSERT_EQ(k.save(h, valid.c_str(), 1), 0);
    std::string original = xntest::read_file(valid);
    for (int i = 0; i < 250; ++i) {
      ASSERT_TRUE(xntest::write_file(bad, mutate(original, rng)));
      ASSERT_EQ(k.load(h, valid.c_str()), 0);
      int st = k.load(h, bad.c_str());
      ASSERT_TRUE(st == 0 || st == ST_BAD_DATA || st == ST_TRUNCATED || st == ST_WRONG_KIND ||
                  st == ST_NEWER_REVISION)
          << k.ext << " status " << st;
      // Saving flushes to disk, so the unchanged store is checked on a sample.
      if (st != 0 && i % 8 == 0) {
        ASSERT_EQ(k.save(h, check.c_str(), 1), 0);
        ASSERT_EQ(xntest::read_file(check), original) << k.ext << " changed by a failed load";
      }
    }
    k.close(&h);
  }
}

} // namespace
