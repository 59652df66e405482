// The terminal backend: renders the screen image through curses, reads and
// decodes keys, follows resizes, and always gives the terminal back (normal
// end, termination signals, crashes). The only file that includes curses.
#include <algorithm>
#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include <langinfo.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <ncurses.h>

#include "lib/internal/lib_internal.h"
#include "lib/kern.h"
#include "lib/screen/glyphs.h"
#include "lib/screen/screen_core.h"
#include "lib/status.h"

namespace xnscreen {
namespace {

// ---------------------------------------------------------------------------
// Signals. The termination signals are blocked except while waiting for a
// key, so their handler only notes them and the shutdown runs in plain code.

// Every signal whose default action ends the process is a hang-up here:
// terminal given back, unsaved work kept, the signal raised again. SIGPIPE
// and SIGXFSZ are ignored from start-up, so a write fails with an error.
// The real-time signals are added at run time (their numbers are not
// constants).
constexpr int FIXED_QUIT_SIGNALS[] = {SIGTERM, SIGHUP,  SIGINT,   SIGQUIT,   SIGUSR1,
                                      SIGUSR2, SIGALRM, SIGPWR,   SIGVTALRM, SIGPROF,
                                      SIGXCPU, SIGIO,   SIGSTKFLT};
constexpr int CRASH_SIGNALS[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGSYS, SIGTRAP};

const std::vector<int> &quit_signals() {
  static const std::vector<int> list = [] {
    std::vector<int> v(std::begin(FIXED_QUIT_SIGNALS), std::end(FIXED_QUIT_SIGNALS));
    for (int sig = SIGRTMIN; sig <= SIGRTMAX; ++sig) v.push_back(sig);
    return v;
  }();
  return list;
}

sigset_t quit_set() {
  sigset_t set;
  sigemptyset(&set);
  for (int sig : quit_signals()) sigaddset(&set, sig);
  return set;
}

volatile sig_atomic_t quit_signal = 0;

// What a crash handler writes to give the terminal back; captured at connect
// because nothing may be looked up inside a signal handler.
struct crash_restore {
  bool armed = false;
  termios modes{};
  char text[128] = {};
  size_t len = 0;
};
crash_restore rescue;

void on_quit_signal(int sig) { quit_signal = sig; }

void on_crash_signal(int sig) {
  if (rescue.armed) {
    tcsetattr(STDIN_FILENO, TCSANOW, &rescue.modes);
    ssize_t ignored = write(STDOUT_FILENO, rescue.text, rescue.len);
    (void)ignored;
  }
  // The handler was installed to run once: raising again ends the process
  // the way the signal would have.
  raise(sig);
}

void add_capability(const char *name) {
  char *s = tigetstr(const_cast<char *>(name));
  if (s == nullptr || s == reinterpret_cast<char *>(-1)) return;
  const size_t n = std::strlen(s);
  if (rescue.len + n >= sizeof rescue.text) return;
  std::memcpy(rescue.text + rescue.len, s, n);
  rescue.len += n;
}

// ---------------------------------------------------------------------------
// Keys terminfo often lacks. Each sequence is taught to curses so that
// F1-F6, the arrows and the editing keys work in the common terminals even
// when the description is incomplete.
struct extra_key {
  const char *seq;
  int key;
};

// clang-format off
const extra_key EXTRA_KEYS[] = {
    // vt100 PF1-PF4 and xterm
    {"\033OP", KEY_F(1)}, {"\033OQ", KEY_F(2)}, {"\033OR", KEY_F(3)}, {"\033OS", KEY_F(4)},
    // PuTTY, rxvt
    {"\033[11~", KEY_F(1)}, {"\033[12~", KEY_F(2)}, {"\033[13~", KEY_F(3)},
    {"\033[14~", KEY_F(4)}, {"\033[15~", KEY_F(5)}, {"\033[17~", KEY_F(6)},
    // the Linux console
    {"\033[[A", KEY_F(1)}, {"\033[[B", KEY_F(2)}, {"\033[[C", KEY_F(3)},
    {"\033[[D", KEY_F(4)}, {"\033[[E", KEY_F(5)},
    // ESC and a digit, for terminals that keep the function keys
    {"\0331", KEY_F(1)}, {"\0332", KEY_F(2)}, {"\0333", KEY_F(3)},
    {"\0334", KEY_F(4)}, {"\0335", KEY_F(5)}, {"\0336", KEY_F(6)},
    // arrows in both cursor-key modes
    {"\033[A", KEY_UP}, {"\033[B", KEY_DOWN}, {"\033[C", KEY_RIGHT}, {"\033[D", KEY_LEFT},
    {"\033OA", KEY_UP}, {"\033OB", KEY_DOWN}, {"\033OC", KEY_RIGHT}, {"\033OD", KEY_LEFT},
    {"\033[Z", KEY_BTAB},
    // editing keys
    {"\033[H", KEY_HOME}, {"\033OH", KEY_HOME}, {"\033[1~", KEY_HOME}, {"\033[7~", KEY_HOME},
    {"\033[F", KEY_END}, {"\033OF", KEY_END}, {"\033[4~", KEY_END}, {"\033[8~", KEY_END},
    {"\033[2~", KEY_IC}, {"\033[3~", KEY_DC},
    {"\033[5~", KEY_PPAGE}, {"\033[6~", KEY_NPAGE},
    {"\033OM", KEY_ENTER},
};
// clang-format on

void trim_attribute_strings();
void drop_colour_reset();

uint16_t key_from_curses(int k) {
  if (k >= KEY_F(1) && k <= KEY_F(6)) return static_cast<uint16_t>(0x302 + (k - KEY_F(1)));
  switch (k) {
  case KEY_LEFT: return 0x200;
  case KEY_RIGHT: return 0x201;
  case KEY_UP: return 0x400;
  case KEY_DOWN: return 0x500;
  case KEY_BTAB: return 0x700;
  case KEY_ENTER: return 0x300;
  case KEY_PPAGE: return 0x304; // tables page with F3 / F4
  case KEY_NPAGE: return 0x305;
  case KEY_HOME:
  case KEY_A1:
  case KEY_FIND: return KEYC_HOME;
  case KEY_END:
  case KEY_C1:
  case KEY_SELECT: return KEYC_END;
  case KEY_BACKSPACE: return KEYC_BACKSPACE;
  case KEY_DC: return KEYC_DELETE;
  case KEY_IC: return KEYC_INSERT;
  default: return KEYC_UNKNOWN;
  }
}

// ---------------------------------------------------------------------------

constexpr short PAIR_HEADING = 1;
constexpr short PAIR_TITLE = 2;
constexpr short PAIR_MESSAGE = 3;

class terminal_screen final : public backend {
public:
  int open() override;
  void close() override;
  bool ready() const override { return screen_ != nullptr; }
  void put_cell(int row, int col, cell c) override;
  int flush(int row, int col) override;
  int read_key(key_rec *key) override;
  void bell() override {
    if (!screen_) return;
    send_fresh();
    beep();
  }
  bool colour() const override { return colour_; }
  int columns() const override { return screen_ && !too_small_ ? COLS : 0; }

private:
  SCREEN *screen_ = nullptr;
  bool colour_ = false;
  bool utf8_ = false;
  bool too_small_ = false;
  bool keys_ready_ = false; // keypad mode on and the extra keys taught
  bool fresh_ = false;      // opened, and the cleared screen not yet sent
  int idle_wakeups_ = 0;    // input reported but no key decoded
  sigset_t old_mask_{};
  struct sigaction old_quit_[_NSIG] {};
  struct sigaction old_crash_[std::size(CRASH_SIGNALS)]{};

  void start_colours();
  void enable_keys();
  void send_fresh();
  void install_signals();
  void restore_signals();
  attr_t attr_of(uint8_t a, short *pair) const;
  void check_size(bool repaint = true);
  void show_too_small();
  int wait_for_input();
  void shut_down_on_signal();
  [[noreturn]] void leave_too_small();
  int decode(key_rec *key);
};

int terminal_screen::open() {
  if (screen_) return 0;
  if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO)) return ST_NO_TERMINAL;
  // Only the character type matters to the screen (UTF-8 or not); the
  // other categories would cost a dozen file reads at every start.
  std::setlocale(LC_CTYPE, "");
  utf8_ = std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
  const char *term = std::getenv("TERM");
  if (!term || !*term) return ST_NO_TERMINAL;
  rescue.armed = tcgetattr(STDIN_FILENO, &rescue.modes) == 0;
  // newterm, unlike initscr, reports an unknown terminal instead of exiting.
  screen_ = newterm(nullptr, stdout, stdin);
  if (!screen_) {
    rescue.armed = false;
    return ST_NO_TERMINAL;
  }
  set_term(screen_);
  // A form needs a cursor that can be put anywhere; a terminal without
  // (a printing or "dumb" one) is refused rather than garbled.
  const char *cup = tigetstr(const_cast<char *>("cup"));
  if (cup == nullptr || cup == reinterpret_cast<char *>(-1)) {
    endwin();
    delscreen(screen_);
    screen_ = nullptr;
    rescue.armed = false;
    return ST_NO_TERMINAL;
  }
  rescue.len = 0;
  add_capability("rmcup");
  add_capability("rmkx");
  add_capability("cnorm");
  add_capability("sgr0");
  trim_attribute_strings();
  drop_colour_reset();
  // Until curses has once been suspended and resumed, it sends what it has
  // at every cursor move: the first screen went out in a dozen writes, each
  // waking the terminal. Suspended here, before anything is drawn, it is
  // resumed by the first update, and from then on every update is one write.
  endwin();
  // No check for typeahead while drawing: a screen is sent in one write,
  // not interrupted line by line to poll the keyboard.
  typeahead(-1);
  // Raw: Ctrl-C and the like arrive as keys, not as signals.
  raw();
  noecho();
  // No newline translation: Enter arrives as CR, and curses may use LF to
  // move down cheaply.
  nonl();
  meta(stdscr, TRUE);
  // A lone ESC must act at once, not after the default second.
  if (!std::getenv("ESCDELAY")) set_escdelay(25);
  // The key tables wait for the first key read (enable_keys): building them
  // was a tenth of the work before the first screen, which needs none.
  keys_ready_ = false;
  start_colours();
  install_signals();
  // connect_scrn paints the image next.
  check_size(false);
  fresh_ = true;
  return 0;
}

// Sends the cleared screen if nothing has been drawn since open. Until then
// flush leaves it to the first update that draws something, so that the
// clearing and the first screen are one update, not two.
void terminal_screen::send_fresh() {
  if (!fresh_) return;
  fresh_ = false;
  refresh();
}

// Keypad mode and the key sequences curses decodes. Keys typed before this
// wait in the terminal's queue and are decoded with the full tables.
void terminal_screen::enable_keys() {
  keypad(stdscr, TRUE);
  for (const extra_key &k : EXTRA_KEYS) define_key(k.seq, k.key);
  keys_ready_ = true;
}

void terminal_screen::start_colours() {
  const char *no_colour = std::getenv("NO_COLOR");
  colour_ = !(no_colour && *no_colour) && has_colors();
  if (!colour_) return;
  start_color();
  use_default_colors();
  init_pair(PAIR_HEADING, COLOR_CYAN, -1);
  init_pair(PAIR_TITLE, COLOR_YELLOW, -1);
  init_pair(PAIR_MESSAGE, COLOR_WHITE, COLOR_RED);
}

void terminal_screen::install_signals() {
  struct sigaction sa {};
  sa.sa_handler = on_quit_signal;
  sigemptyset(&sa.sa_mask);
  for (int sig : quit_signals()) sigaction(sig, &sa, &old_quit_[sig]);
  const sigset_t block = quit_set();
  sigprocmask(SIG_BLOCK, &block, &old_mask_);
  sa.sa_handler = on_crash_signal;
  sa.sa_flags = SA_RESETHAND;
  for (size_t i = 0; i < std::size(CRASH_SIGNALS); ++i)
    sigaction(CRASH_SIGNALS[i], &sa, &old_crash_[i]);
}

void terminal_screen::restore_signals() {
  for (size_t i = 0; i < std::size(CRASH_SIGNALS); ++i)
    sigaction(CRASH_SIGNALS[i], &old_crash_[i], nullptr);
  for (int sig : quit_signals()) sigaction(sig, &old_quit_[sig], nullptr);
  sigprocmask(SIG_SETMASK, &old_mask_, nullptr);
}

void terminal_screen::close() {
  if (!screen_) return;
  // Still suspended since open (nothing was ever sent): the terminal never
  // left its main screen, so only its modes are given back.
  if (isendwin())
    reset_shell_mode();
  else
    endwin();
  delscreen(screen_);
  screen_ = nullptr;
  rescue.armed = false;
  restore_signals();
}

// Attributes stay short on the wire: fields are plain reverse video, which
// costs a few bytes per typed character, in colour and in monochrome.
attr_t terminal_screen::attr_of(uint8_t a, short *pair) const {
  *pair = 0;
  switch (a) {
  case ATTR_HEADING:
    if (colour_) *pair = PAIR_HEADING;
    return A_BOLD;
  case ATTR_FIELD: return A_REVERSE;
  case ATTR_TITLE:
    if (colour_) *pair = PAIR_TITLE;
    return colour_ ? A_BOLD : A_BOLD | A_UNDERLINE;
  case ATTR_MESSAGE:
    if (colour_) *pair = PAIR_MESSAGE;
    return colour_ ? A_BOLD : A_BOLD | A_REVERSE;
  default: return A_NORMAL;
  }
}

void terminal_screen::put_cell(int row, int col, cell c) {
  if (!screen_ || too_small_ || row >= LINES || col >= COLS) return;
  fresh_ = false;
  short pair = 0;
  const attr_t attr = attr_of(c.attr, &pair);
  if (c.ch >= 0x20 && c.ch < 0x7F) {
    // Plain ASCII, nearly every cell: the narrow call costs a fraction of
    // building a wide character.
    mvaddch(row, col, c.ch | attr | COLOR_PAIR(pair));
  } else if (utf8_) {
    wchar_t wc[2] = {static_cast<wchar_t>(glyph_of(c.ch)), L'\0'};
    cchar_t cc;
    setcchar(&cc, wc, attr, pair, nullptr);
    mvadd_wch(row, col, &cc);
  } else {
    // Another character set: the byte as it is, control bytes (C0, DEL and
    // C1, which an 8-bit terminal would obey) as '?'.
    const bool blank = c.ch == 0 || c.ch == 0x0B;
    const bool control = c.ch < 0x20 || (c.ch >= 0x7F && c.ch <= 0x9F);
    const chtype ch = control ? (blank ? ' ' : '?') : c.ch;
    mvaddch(row, col, ch | attr | COLOR_PAIR(pair));
  }
}

int terminal_screen::flush(int row, int col) {
  if (!screen_ || too_small_) return 0;
  move(row, col);
  if (!fresh_) refresh();
  return 0;
}

void terminal_screen::check_size(bool repaint) {
  too_small_ = LINES < FORM_LINES || COLS < FORM_COLS;
  if (too_small_) {
    show_too_small();
    return;
  }
  // Everything is sent again: the terminal may have lost or moved it.
  clearok(curscr, TRUE);
  erase();
  if (repaint)
    repaint_all();
  else
    mark_shown_blank();
}

void terminal_screen::show_too_small() {
  char text[224];
  std::snprintf(text, sizeof text,
                "%s needs a terminal of at least %d columns by %d lines (now %dx%d). "
                "ESC leaves; unsaved changes go to a .save file.",
                kern_program_name(), FORM_COLS, FORM_LINES, COLS, LINES);
  erase();
  // Centred, broken between words when the terminal is narrower still.
  const std::string all = text;
  std::vector<std::string> rows;
  const size_t width = COLS > 0 ? static_cast<size_t>(COLS) : 1;
  for (size_t at = 0; at < all.size();) {
    size_t n = std::min(width, all.size() - at);
    if (at + n < all.size()) {
      const size_t space = all.rfind(' ', at + n);
      if (space != std::string::npos && space > at) n = space - at;
    }
    rows.push_back(all.substr(at, n));
    at += n;
    while (at < all.size() && all[at] == ' ') ++at;
  }
  const int top =
      LINES > static_cast<int>(rows.size()) ? (LINES - static_cast<int>(rows.size())) / 2 : 0;
  for (size_t i = 0; i < rows.size() && top + static_cast<int>(i) < LINES; ++i) {
    const int left = (static_cast<int>(width) - static_cast<int>(rows[i].size())) / 2;
    mvaddnstr(top + static_cast<int>(i), std::max(left, 0), rows[i].c_str(),
              static_cast<int>(rows[i].size()));
  }
  refresh();
}

// Waits until a key may be read. The termination signals get through only
// here; curses' own resize signal is never blocked.
int terminal_screen::wait_for_input() {
  pollfd pfd{STDIN_FILENO, POLLIN, 0};
  sigset_t open_mask = old_mask_;
  for (int sig : quit_signals()) sigdelset(&open_mask, sig);
  const int n = ppoll(&pfd, 1, nullptr, &open_mask);
  if (quit_signal) shut_down_on_signal();
  if (n < 0 && errno != EINTR) return ST_READ_FAULT;
  // Input that curses cannot read (the terminal went away, reads fail)
  // would wake us for ever: treat it as the hang-up it is.
  idle_wakeups_ = n > 0 ? idle_wakeups_ + 1 : 0;
  if ((n > 0 && (pfd.revents & (POLLHUP | POLLERR | POLLNVAL))) || idle_wakeups_ > 1000) {
    quit_signal = SIGHUP;
    shut_down_on_signal();
  }
  return 0;
}

// The terminal is given back, unsaved work goes to side files (where they
// went is then readable on the restored terminal), and the signal ends the
// process as it would have without us.
void terminal_screen::shut_down_on_signal() {
  const int sig = quit_signal;
  // Closing restores the signal mask of before the screen; another signal
  // arriving meanwhile must wait until the side files are written.
  const sigset_t all = quit_set();
  close();
  sigprocmask(SIG_BLOCK, &all, nullptr);
  write_side_files();
  signal(sig, SIG_DFL);
  sigset_t one;
  sigemptyset(&one);
  sigaddset(&one, sig);
  sigprocmask(SIG_UNBLOCK, &one, nullptr);
  raise(sig);
  _exit(128 + sig);
}

// Leaving from the too-small message: the terminal is given back, then
// unsaved work goes to side files as on a hang-up (each named on standard
// error where it went); with nothing unsaved the run ends as after ESC.
void terminal_screen::leave_too_small() {
  const size_t before = side_files_written().size();
  close();
  write_side_files();
  const size_t after = side_files_written().size();
  std::fflush(stdout);
  std::fflush(stderr);
  std::exit(after > before ? 1 : 0);
}

// One key from curses; 1 when there is none yet.
int terminal_screen::decode(key_rec *key) {
  if (utf8_) {
    wint_t wc = 0;
    const int r = get_wch(&wc);
    if (r == ERR) return 1;
    if (r == KEY_CODE_YES) {
      if (wc == KEY_RESIZE) {
        check_size();
        return 1;
      }
      key->raw = static_cast<uint16_t>(wc);
      key->code = key_from_curses(static_cast<int>(wc));
      return 0;
    }
    key->raw = static_cast<uint16_t>(wc);
    if (wc < 0x80) {
      key->code = key_from_byte(static_cast<uint8_t>(wc));
    } else {
      const int b = byte_of_glyph(static_cast<char32_t>(wc));
      key->code = b < 0 ? KEYC_UNKNOWN : static_cast<uint16_t>(0x100 | b);
    }
    return 0;
  }
  const int k = getch();
  if (k == ERR) return 1;
  if (k == KEY_RESIZE) {
    check_size();
    return 1;
  }
  key->raw = static_cast<uint16_t>(k);
  key->code = k < 0x100 ? key_from_byte(static_cast<uint8_t>(k)) : key_from_curses(k);
  return 0;
}

int terminal_screen::read_key(key_rec *key) {
  if (!screen_) return ST_NO_TERMINAL;
  send_fresh();
  if (!keys_ready_) enable_keys();
  // Reads never block inside curses, so that waiting happens only in
  // wait_for_input, where signals are let in.
  nodelay(stdscr, TRUE);
  for (;;) {
    if (decode(key) == 0) {
      idle_wakeups_ = 0;
      // While the terminal is too small the form cannot be used; ESC and
      // the interrupt key (Ctrl-C, a plain byte in raw mode) still leave.
      if (!too_small_) return 0;
      if (key->code == 0x301 || key->raw == 0x03) leave_too_small();
      beep();
      continue;
    }
    const int st = wait_for_input();
    if (st != 0) return st;
  }
}

terminal_screen term;

} // namespace

backend *terminal_backend() { return &term; }

} // namespace xnscreen

// Last in the file: term.h defines macros named after every capability
// (lines, columns, bell...), which would clash with the code above.
#include <term.h>

namespace xnscreen {
namespace {

// Every attribute change is paid for on each key over a slow line, and the
// usual descriptions make each one re-select the ASCII character set first
// ("\E(B\E[0;7m" to start reverse video, "\E(B\E[m" to end it). Nothing
// here leaves that set (box characters go out as Unicode, never through the
// alternate set), so those parts are cut from the strings in place; curses
// keeps its own copies of the pointers, so only the text can be changed.
void cut_prefix(const char *name, const char *prefix) {
  char *s = tigetstr(const_cast<char *>(name));
  if (s == nullptr || s == reinterpret_cast<char *>(-1)) return;
  const size_t n = std::strlen(prefix);
  if (std::strncmp(s, prefix, n) != 0 || s[n] == '\0') return;
  std::memmove(s, s + n, std::strlen(s + n) + 1);
}

// The two strings every attribute change sends: setting and resetting.
void trim_attribute_strings() {
  cut_prefix("sgr", "%?%p9%t\033(0%e\033(B%;");
  cut_prefix("sgr0", "\033(B");
}

// Resuming (see open) would send the description's colour reset ("oc"),
// which puts back the terminal's whole palette: a user's own colours would
// be lost. This program never changes a colour definition, so there is
// never anything of its own to reset; the string is emptied in place.
void drop_colour_reset() {
  char *s = tigetstr(const_cast<char *>("oc"));
  if (s != nullptr && s != reinterpret_cast<char *>(-1)) s[0] = '\0';
}

} // namespace
} // namespace xnscreen
