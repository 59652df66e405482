// Bytes the program writes to the terminal per key on its table screens,
// measured from outside through a pseudo-terminal read by a real terminal
// emulator: a row move inside the page, a row move that scrolls the page by
// one, a page forward and back, and the wrap from the first entry to the
// last page. Every screen is measured in the same run over a configuration
// with its tables at their limits, so their figures stand side by side.
//
// Usage: table_screen_meter [XNCONFIG] [KEYS]
//   XNCONFIG  the built program [build/xnconfig]
//   KEYS      presses measured per figure [32]
// A screen is one row of `screens` below: add a row to measure another.
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <cstddef>

#include "big_config.h"
#include "lib/cfi_store.h"
#include "lib/kern.h"
#include "support/pty_term.h"
#include "support/support.h"

namespace {

using xntest::Key;
using xntest::PtyTerm;

constexpr std::string_view F3 = "\x1bOR", F4 = "\x1bOS"; // as xterm sends them

struct screen_row {
  const char *name;
  uint8_t target; // the layout
  int item;       // system configuration menu item
  const char *title;
  uint32_t entries; // as the configuration is written
  uint32_t page;    // entries on a page
  const char *file; // the operand: its extension picks the editor
};

// clang-format off
const screen_row screens[] = {
    {"serial lines, UNIX", TARGET_UNIX, 4, "Serial Device (@SERn) Configuration", CFI_MAX_DEVICES, 16},
    {"serial lines, Windows", TARGET_WINDOWS, 4, "Serial Device (@SERn) Configuration", CFI_MAX_DEVICES, 16},
    {"printers, Windows", TARGET_WINDOWS, 5, "Printer Device (@PRNn) Configuration", CFI_MAX_DEVICES, 16},
    {"queues, Windows", TARGET_WINDOWS, 6, "Printer Control Queue (PCQ) Configuration", CFI_MAX_DEVICES, 16},
    {"environment strings", TARGET_UNIX, 2, "Environment String Configuration", CFI_MAX_ENV, 4},
    {"display characters", TARGET_UNIX, 5, "Display Character Configuration", 256, 14, "vt.tdi"},
    {"character map", TARGET_UNIX, 4, "Character Mapping Configuration", 256, 15, "map.pti"},
};
// clang-format on

// A configuration of the target with every table at its limit and every
// entry told apart by its number (devices, queue names, string values).
bool write_config(const std::string &path, uint8_t target) {
  uint32_t h = 0;
  if (open_cfi(&h, target) > 0) return false;
  sys_desc sd{};
  get_desc_sys(h, &sd);
  sd.con_count = sd.ser_count = sd.prn_count = sd.pcq_count = CFI_MAX_DEVICES;
  sd.env_string_count = CFI_MAX_ENV;
  sd.pdf_format_count = CFI_MAX_PDF;
  const bool ok = put_desc_sys(h, &sd) <= 0 && put_count_pdf(h, CFI_MAX_PDF) <= 0 &&
                  bench::fill_devices(h) <= 0 && bench::fill_tables(h) <= 0 &&
                  save_cfi(h, path.c_str(), 1) <= 0;
  close_cfi(&h);
  return ok;
}

// A key to press: a cursor key (sent in the mode the program asked for) or
// a function key's bytes.
struct press {
  Key key;
  std::string_view bytes; // used when not empty
};
constexpr press UP{Key::Up, {}}, DOWN{Key::Down, {}}, PAGE_FWD{Key::Esc, F4},
    PAGE_BACK{Key::Esc, F3};

// Bytes written for each of `n` presses, averaged. A press is complete when
// the program has been quiet for a moment after answering it: this is a
// meter, not a test, and the byte count does not depend on the wait.
double per_key(PtyTerm &t, press p, int n) {
  const std::size_t before = t.bytes_read();
  for (int i = 0; i < n; ++i) {
    if (p.bytes.empty())
      t.key(p.key);
    else
      t.type(p.bytes);
    t.settle();
  }
  return n > 0 ? static_cast<double>(t.bytes_read() - before) / n : 0;
}

struct figures {
  std::size_t enter = 0;
  double move = 0, scroll = 0, page_fwd = 0, page_back = 0, wrap = 0;
};

// Opens the screen from the editor's menu and measures its keys.
bool measure(const screen_row &s, const std::string &dir, const std::string &program, int keys,
             figures *f) {
  xntest::PtyOptions o;
  o.program = program;
  o.args = {s.file ? s.file : "big.cfi"};
  o.cwd = dir;
  o.env = {"HOME=" + dir, "NO_COLOR", "ESCDELAY"};
  PtyTerm t(o);
  if (!t.wait_for_text_at(16, 20, "Selection:", 10000)) {
    std::fprintf(stderr, "no menu:\n%s\n", t.screen_text().c_str());
    return false;
  }
  t.type(std::to_string(s.item) + "\r");
  const std::size_t at_menu = t.bytes_read();
  if (!t.wait_for_text(s.title, 10000) || !t.settle()) return false;
  f->enter = t.bytes_read() - at_menu;
  // Up on entry 0 wraps to the last page; down from there wraps back to the first.
  f->wrap = per_key(t, UP, 1);
  per_key(t, DOWN, 1);
  f->move = per_key(t, DOWN, static_cast<int>(s.page) - 1);
  f->scroll = per_key(t, DOWN, keys);
  f->page_fwd = per_key(t, PAGE_FWD, keys);
  f->page_back = per_key(t, PAGE_BACK, keys);
  t.key(Key::Esc);
  if (!t.wait_for_text_at(16, 20, "Selection:")) return false;
  t.key(Key::Esc);
  return !t.wait_exit(10000).timed_out;
}

} // namespace

int main(int argc, char **argv) {
  const int keys = argc > 2 ? std::atoi(argv[2]) : 32;
  // The program runs in a folder of its own: name it from the root.
  char program[PATH_MAX] = {};
  if (realpath(argc > 1 ? argv[1] : "build/xnconfig", program) == nullptr) {
    std::fprintf(stderr, "table_screen_meter: no program at %s\n",
                 argc > 1 ? argv[1] : "build/xnconfig");
    return 2;
  }
  init_kern("xnconfig", 32, 5, 32, 0, 0, 1);
  if (init_cfi() > 0) return 2;
  xntest::TempDir unix_dir, win_dir;
  if (!write_config(unix_dir.file("big.cfi"), TARGET_UNIX) ||
      !write_config(win_dir.file("big.cfi"), TARGET_WINDOWS)) {
    std::fprintf(stderr, "table_screen_meter: cannot write the configurations\n");
    return 2;
  }
  std::printf("Bytes written per key (80x24, xterm-256color; %d presses per figure)\n\n", keys);
  std::printf("%-22s %7s %8s %8s %8s %8s %8s %8s\n", "screen", "entries", "open", "row", "scroll",
              "F4 page", "F3 page", "up wrap");
  int failed = 0;
  for (const screen_row &s : screens) {
    figures f;
    const std::string &dir = s.target == TARGET_UNIX ? unix_dir.path() : win_dir.path();
    if (!measure(s, dir, program, keys, &f)) {
      std::printf("%-22s the screen did not answer as expected\n", s.name);
      ++failed;
      continue;
    }
    std::printf("%-22s %7u %8zu %8.1f %8.1f %8.1f %8.1f %8.1f\n", s.name, s.entries, f.enter,
                f.move, f.scroll, f.page_fwd, f.page_back, f.wrap);
  }
  return failed ? 1 : 0;
}
