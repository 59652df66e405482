// In-process cost of loading and saving the largest system configuration.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

#include "big_config.h"
#include "lib/kern.h"

namespace {

// A private folder holding the big configuration, made once per run.
struct big_files {
  std::string dir, big, copy;
  big_files() {
    char templ[] = "/tmp/xnbench.XXXXXX";
    const char *made = mkdtemp(templ);
    dir = made ? made : "/tmp";
    big = dir + "/big.cfi";
    copy = dir + "/copy.cfi";
    init_kern("xnconfig", 32, 5, 32, 0, 0, 1);
    if (bench::make_big_config(big.c_str()) != 0) std::abort();
  }
  ~big_files() {
    unlink(big.c_str());
    unlink(copy.c_str());
    rmdir(dir.c_str());
  }
};

big_files &files() {
  static big_files f;
  return f;
}

void BM_LoadSaveBig(benchmark::State &state) {
  big_files &f = files();
  for (auto _ : state) {
    uint32_t h = 0;
    if (open_cfi(&h, TARGET_UNIX) != 0 || load_cfi(h, f.big.c_str()) != 0 ||
        save_cfi(h, f.copy.c_str(), 0) != 0) {
      state.SkipWithError("load or save failed");
      break;
    }
    close_cfi(&h);
  }
}
BENCHMARK(BM_LoadSaveBig)->Unit(benchmark::kMillisecond);

void BM_LoadBig(benchmark::State &state) {
  big_files &f = files();
  for (auto _ : state) {
    uint32_t h = 0;
    if (open_cfi(&h, TARGET_UNIX) != 0 || load_cfi(h, f.big.c_str()) != 0) {
      state.SkipWithError("load failed");
      break;
    }
    close_cfi(&h);
  }
}
BENCHMARK(BM_LoadBig)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
