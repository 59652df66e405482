// Formatted output: the C directives the program uses plus %M (message
// text), %P (program name), %R (revision) and %O (operating system).
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <string>

#include "lib/internal/lib_internal.h"
#include "lib/kern.h"
#include "lib/kern/kern_private.h"

namespace {

struct directive {
  bool left = false;  // '-'
  bool zero = false;  // '0'
  bool plus = false;  // '+'
  bool space = false; // ' '
  bool alt = false;   // '#'
  int width = 0;
  int precision = -1; // -1: none
  int size = 0;       // 0 int, 1 long, 2 long long, -1 short, -2 char, 3 size_t
};

void pad(std::string &out, size_t n, char c) { out.append(n, c); }

// Places `body` (with its sign or prefix `lead`) into the field width.
void put_field(std::string &out, const directive &d, const std::string &lead,
               const std::string &body, bool zero_fill) {
  size_t len = lead.size() + body.size();
  size_t fill =
      d.width > 0 && static_cast<size_t>(d.width) > len ? static_cast<size_t>(d.width) - len : 0;
  if (d.left) {
    out += lead;
    out += body;
    pad(out, fill, ' ');
  } else if (zero_fill) {
    out += lead;
    pad(out, fill, '0');
    out += body;
  } else {
    pad(out, fill, ' ');
    out += lead;
    out += body;
  }
}

void put_text(std::string &out, const directive &d, const char *text) {
  if (!text) text = "(null)";
  size_t n = std::strlen(text);
  if (d.precision >= 0 && static_cast<size_t>(d.precision) < n)
    n = static_cast<size_t>(d.precision);
  put_field(out, d, "", std::string(text, n), false);
}

std::string digits_of(unsigned long long v, unsigned base, bool upper) {
  const char *set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  std::string s;
  do {
    s.insert(s.begin(), set[v % base]);
    v /= base;
  } while (v);
  return s;
}

void put_number(std::string &out, const directive &d, unsigned long long mag, bool negative,
                unsigned base, bool upper, bool is_signed) {
  std::string body = digits_of(mag, base, upper);
  if (d.precision == 0 && mag == 0) body.clear();
  if (d.precision > 0 && body.size() < static_cast<size_t>(d.precision))
    body.insert(0, static_cast<size_t>(d.precision) - body.size(), '0');
  std::string lead;
  if (negative)
    lead = "-";
  else if (is_signed && d.plus)
    lead = "+";
  else if (is_signed && d.space)
    lead = " ";
  if (d.alt && mag != 0) {
    if (base == 16) lead += upper ? "0X" : "0x";
    if (base == 8 && body[0] != '0') body.insert(0, "0");
  }
  put_field(out, d, lead, body, d.zero && !d.left && d.precision < 0);
}

long long signed_arg(const directive &d, va_list &ap) {
  switch (d.size) {
  case 1: return va_arg(ap, long);
  case 2: return va_arg(ap, long long);
  case 3: return static_cast<long long>(va_arg(ap, size_t));
  case -1: return static_cast<short>(va_arg(ap, int));
  case -2: return static_cast<signed char>(va_arg(ap, int));
  default: return va_arg(ap, int);
  }
}

unsigned long long unsigned_arg(const directive &d, va_list &ap) {
  switch (d.size) {
  case 1: return va_arg(ap, unsigned long);
  case 2: return va_arg(ap, unsigned long long);
  case 3: return va_arg(ap, size_t);
  case -1: return static_cast<unsigned short>(va_arg(ap, unsigned));
  case -2: return static_cast<unsigned char>(va_arg(ap, unsigned));
  default: return va_arg(ap, unsigned);
  }
}

// Reads flags, width, precision and size of one directive; `p` points
// after the '%' and is left at the conversion letter.
directive parse_directive(const char *&p, va_list &ap) {
  directive d;
  for (;; ++p) {
    if (*p == '-')
      d.left = true;
    else if (*p == '0')
      d.zero = true;
    else if (*p == '+')
      d.plus = true;
    else if (*p == ' ')
      d.space = true;
    else if (*p == '#')
      d.alt = true;
    else
      break;
  }
  if (*p == '*') {
    d.width = va_arg(ap, int);
    if (d.width < 0) {
      d.left = true;
      d.width = -d.width;
    }
    ++p;
  } else {
    while (*p >= '0' && *p <= '9' && d.width < 100000) d.width = d.width * 10 + (*p++ - '0');
  }
  if (*p == '.') {
    ++p;
    d.precision = 0;
    if (*p == '*') {
      d.precision = va_arg(ap, int);
      if (d.precision < 0) d.precision = -1;
      ++p;
    } else {
      while (*p >= '0' && *p <= '9' && d.precision < 100000)
        d.precision = d.precision * 10 + (*p++ - '0');
    }
  }
  if (*p == 'l') {
    d.size = 1;
    if (*++p == 'l') d.size = 2, ++p;
  } else if (*p == 'h') {
    d.size = -1;
    if (*++p == 'h') d.size = -2, ++p;
  } else if (*p == 'z') {
    d.size = 3;
    ++p;
  }
  return d;
}

// `escape`: text arguments go to a stream a user reads, where a name with
// control bytes must not move the cursor or forge a line.
void convert(std::string &out, const directive &d, char conv, va_list &ap, bool escape) {
  switch (conv) {
  case 'd':
  case 'i': {
    long long v = signed_arg(d, ap);
    unsigned long long mag =
        v < 0 ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
    put_number(out, d, mag, v < 0, 10, false, true);
    break;
  }
  case 'u': put_number(out, d, unsigned_arg(d, ap), false, 10, false, false); break;
  case 'x': put_number(out, d, unsigned_arg(d, ap), false, 16, false, false); break;
  case 'X': put_number(out, d, unsigned_arg(d, ap), false, 16, true, false); break;
  case 'o': put_number(out, d, unsigned_arg(d, ap), false, 8, false, false); break;
  case 'c': put_field(out, d, "", std::string(1, static_cast<char>(va_arg(ap, int))), false); break;
  case 's': {
    const char *text = va_arg(ap, const char *);
    put_text(out, d, escape && text ? printable_name(text).c_str() : text);
    break;
  }
  case 'M': put_text(out, d, message_text(va_arg(ap, unsigned))); break;
  case 'P': put_text(out, d, kern_program_name()); break;
  case 'R': put_text(out, d, kern_revision()); break;
  case 'O': put_text(out, d, kern_os_text()); break;
  case '%': out += '%'; break;
  default:
    // An unknown directive is shown as written, so that a wrong format is
    // visible instead of silently eating an argument.
    out += '%';
    out += conv;
    break;
  }
}

int print_to(int fd, const char *fmt, va_list ap) {
  std::string text;
  kern_vformat(text, fmt, ap, true);
  kern_write_all(fd, text);
  return static_cast<int>(text.size());
}

} // namespace

void kern_vformat(std::string &out, const char *fmt, va_list ap, bool escape) {
  if (!fmt) return;
  va_list args;
  va_copy(args, ap);
  for (const char *p = fmt; *p; ++p) {
    if (*p != '%') {
      out += *p;
      continue;
    }
    ++p;
    directive d = parse_directive(p, args);
    if (!*p) break; // a lone '%' at the end prints nothing
    convert(out, d, *p, args, escape);
  }
  va_end(args);
}

bool kern_write_all(int fd, const std::string &text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

int printf_stderr_kern(const char *fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  int n = print_to(STDERR_FILENO, fmt, ap);
  va_end(ap);
  return n;
}

// Informational output goes where proc_output_han_ says (0xFFFF: nowhere)
// and is silenced in quiet mode; errors always reach standard error.
int printf_stdout_kern(const char *fmt, ...) {
  if (kern_quiet() || proc_output_han_ == 0xFFFF) return 0;
  va_list ap;
  va_start(ap, fmt);
  int n = print_to(static_cast<int>(proc_output_han_), fmt, ap);
  va_end(ap);
  return n;
}

int sprintf_kern(char *buf, const char *fmt, ...) {
  if (!buf) return 0;
  std::string text;
  va_list ap;
  va_start(ap, fmt);
  kern_vformat(text, fmt, ap);
  va_end(ap);
  size_t n = text.size() < 255 ? text.size() : 255;
  std::memcpy(buf, text.data(), n);
  buf[n] = '\0';
  return static_cast<int>(n);
}

void printf_trace_kern(int, const char *source, int line, const char *function, const char *word) {
  printf_stderr_kern("trace: %s:%d %s %s\n", source ? source : "?", line, function ? function : "?",
                     word ? word : "?");
}
