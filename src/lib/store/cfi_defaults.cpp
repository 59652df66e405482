// Default records of a system configuration: what a new configuration, a
// grown table and an entry missing from a file hold, for each target.
#include "lib/store/cfi_defaults.h"

#include "lib/strs.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>

namespace xnstore {

namespace {

template <size_t N>
void set_text(char (&dst)[N], const char *src) {
  std::memset(dst, 0, N);
  std::strncpy(dst, src, N - 1);
}

// Called for every entry of every table on each load and save, so it avoids
// the cost of a formatted print.
template <size_t N>
void set_numbered(char (&dst)[N], const char *prefix, uint32_t n) {
  std::memset(dst, 0, N);
  size_t len = std::min(std::strlen(prefix), N - 1);
  std::memcpy(dst, prefix, len);
  std::to_chars(dst + len, dst + N - 1, n);
}

// Serial settings of a new line or printer port: 9600 baud, 8N1.
constexpr uint8_t BAUD_9600 = 6, DATA_8 = 1;

// A few environment strings a site nearly always sets, per target.
constexpr const char *unix_env[] = {"TMPDIR=/tmp", "LANG=C.UTF-8", "TZ=UTC"};
constexpr const char *windows_env[] = {"TEMP=C:\\Temp", "TMP=C:\\Temp", "TZ=UTC"};

// The first PDF formats: the common paper sizes, portrait then landscape.
constexpr uint8_t pdf_papers[] = {1, 3, 2, 4, 5, 6, 7, 8};

} // namespace

sys_desc default_sys() {
  sys_desc s{};
  for (const rec_param &p : sys_params) set_member(&s, p.member, p.def);
  return s;
}

str_desc default_str(uint8_t target, uint32_t index) {
  str_desc s{};
  const char *const *list = target == TARGET_WINDOWS ? windows_env : unix_env;
  // TZ is offered but left off: the system's own zone is the usual choice.
  if (index < 3) {
    set_text(s.str_value, list[index]);
    s.str_enabled = index < 2 ? 1 : 0;
  }
  return s;
}

con_desc default_con(uint8_t target, uint32_t index) {
  con_desc c{};
  // Console 0 is the user's own terminal; the others are further
  // terminals a site enables as it connects them.
  c.con_enabled = index == 0 ? 1 : 0;
  c.run_programs = 1;
  c.privileges =
      index == 0 ? 0x0FFF : CON_PRIV_ABORT | CON_PRIV_MESSAGE | CON_PRIV_PRINTER | CON_PRIV_STATUS;
  c.colors = 0x07; // white on black
  if (index > 0)
    set_numbered(c.device, target == TARGET_WINDOWS ? "CON" : "tty", index);
  else
    // A console that runs programs needs a terminal description unless it
    // is the null device; the user's own terminal gets the target's usual one.
    set_text(c.term, target == TARGET_WINDOWS ? "ms-terminal" : "xterm");
  return c;
}

ser_desc default_ser(uint8_t target, uint32_t index) {
  ser_desc s{};
  s.baud = BAUD_9600;
  s.data_bits = DATA_8;
  if (target == TARGET_WINDOWS)
    set_numbered(s.device, "COM", index + 1);
  else
    set_numbered(s.device, "ttyS", index);
  return s;
}

prn_desc default_prn(uint8_t target, uint32_t index) {
  prn_desc p{};
  p.prn_enabled = index == 0 ? 1 : 0;
  p.ffd_c = 1; // eject the last page when the printer is closed
  p.baud = BAUD_9600;
  p.data_bits = DATA_8;
  if (target == TARGET_WINDOWS)
    set_numbered(p.device, "LPT", index + 1);
  else
    set_numbered(p.device, "lp", index);
  set_text(p.translation, pti_filename[0]);
  return p;
}

pcq_desc default_pcq(uint8_t target, uint32_t index) {
  pcq_desc q{};
  q.pcq_enabled = index == 0 ? 1 : 0;
  q.auto_queue = 1;
  q.end_disposition = 1; // delete the spool file once printed
  if (target == TARGET_WINDOWS) {
    q.formfeed_e = 1;
    if (index == 0)
      set_text(q.queue_name, "Default Printer");
    else
      set_numbered(q.queue_name, "Printer ", index);
  } else {
    q.no_banner = 1;
    if (index == 0)
      set_text(q.queue_name, "lp");
    else
      set_numbered(q.queue_name, "lp", index);
  }
  set_text(q.translation, pti_filename[0]);
  return q;
}

pdf_desc default_pdf(uint32_t index) {
  pdf_desc p{};
  p.autowrap = 1;
  p.font_size = 12;
  p.width = 612;
  p.height = 792;
  p.top = 36;
  p.bottom = 36;
  p.left = 18;
  p.right = 18;
  p.multipart_count = 1;
  p.paper = 1;
  constexpr uint32_t named = sizeof pdf_papers * 2;
  if (index < named) {
    p.enabled = 1;
    p.paper = pdf_papers[index / 2];
    p.landscape = static_cast<uint8_t>(index % 2);
    p.width = pdf_paper_width[p.paper];
    p.height = pdf_paper_height[p.paper];
    std::snprintf(p.comment, sizeof p.comment, "%s %s", pdf_papername_strs[p.paper],
                  p.landscape != 0 ? "landscape" : "portrait");
  }
  return p;
}

} // namespace xnstore
