// The largest system configuration the store accepts, built through the
// store itself: every table at its limit with distinct device names.
#pragma once

#include <cstdio>
#include <cstring>

#include "lib/cfi_store.h"

namespace bench {

template <size_t N>
inline void set_text(char (&dst)[N], const char *fmt, unsigned i) {
  std::snprintf(dst, N, fmt, i);
}

inline int fill_devices(uint32_t h) {
  int st = 0;
  for (uint32_t i = 0; i < CFI_MAX_DEVICES && st == 0; ++i) {
    con_desc con{};
    get_desc_con(h, i, &con);
    con.con_enabled = 1;
    set_text(con.device, "/dev/pts/%u", i);
    set_text(con.term, "xterm", i);
    set_text(con.startup_program, "MENU%04u", i);
    st = put_desc_con(h, i, &con);
    ser_desc ser{};
    get_desc_ser(h, i, &ser);
    ser.ser_enabled = 1;
    set_text(ser.device, "/dev/ttyS%u", i);
    if (st == 0) st = put_desc_ser(h, i, &ser);
    prn_desc prn{};
    get_desc_prn(h, i, &prn);
    prn.prn_enabled = 1;
    set_text(prn.device, "/dev/lp%u", i);
    if (st == 0) st = put_desc_prn(h, i, &prn);
    pcq_desc pcq{};
    get_desc_pcq(h, i, &pcq);
    pcq.pcq_enabled = 1;
    set_text(pcq.queue_name, "queue%04u", i);
    if (st == 0) st = put_desc_pcq(h, i, &pcq);
  }
  return st;
}

inline int fill_tables(uint32_t h) {
  int st = 0;
  for (uint32_t i = 0; i < CFI_MAX_PDF && st == 0; ++i) {
    pdf_desc pdf{};
    get_desc_pdf(h, i, &pdf);
    pdf.enabled = 1;
    set_text(pdf.comment, "Format %u", i);
    st = put_desc_pdf(h, i, &pdf);
  }
  for (uint32_t i = 0; i < CFI_MAX_ENV && st == 0; ++i) {
    str_desc str{};
    str.str_enabled = 1;
    set_text(str.str_value, "XNVAR%04u=/srv/cobol/data/area-of-this-site", i);
    st = put_desc_str(h, i, &str);
  }
  return st;
}

// Writes the configuration to `path`; 0 or the first failing status.
inline int make_big_config(const char *path) {
  uint32_t h = 0;
  int st = init_cfi();
  if (st == 0) st = open_cfi(&h, TARGET_UNIX);
  if (st != 0) return st;
  sys_desc sys{};
  get_desc_sys(h, &sys);
  sys.con_count = sys.ser_count = sys.prn_count = sys.pcq_count = CFI_MAX_DEVICES;
  sys.env_string_count = CFI_MAX_ENV;
  sys.pdf_format_count = CFI_MAX_PDF;
  st = put_desc_sys(h, &sys);
  if (st == 0) st = put_count_pdf(h, CFI_MAX_PDF);
  if (st == 0) st = fill_devices(h);
  if (st == 0) st = fill_tables(h);
  if (st == 0) st = save_cfi(h, path, 1);
  if (st != 0)
    std::fprintf(stderr, "make_big_config: status %d: %s\n", st, get_error_buffer_cfi(h));
  close_cfi(&h);
  return st;
}

} // namespace bench
