// Writes the largest system configuration the store accepts to the file
// named on the command line, for the batch benchmark.
#include <cstdio>

#include "big_config.h"
#include "lib/kern.h"

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_big_cfi FILE.cfi\n");
    return 2;
  }
  init_kern("xnconfig", 32, 5, 32, 0, 0, 1);
  return bench::make_big_config(argv[1]) == 0 ? 0 : 1;
}
