// Helpers of the frame tests.
#include "frame_test_util.h"

#include <gtest/gtest.h>

#include "frame/frame.h"
#include "lib/kern.h"

arg_vector::arg_vector(const std::vector<std::string> &args) {
  words_.push_back("xnconfig");
  words_.insert(words_.end(), args.begin(), args.end());
  for (std::string &w : words_)
    ptrs_.push_back(w.data());
  ptrs_.push_back(nullptr);
}

void fresh_state() {
  reset_kern_state();
  reset_frame_state();
  init_kern("xnconfig", 32, 5, 32, 0, 0, 1);
}

parse_result parse(const std::vector<std::string> &args) {
  fresh_state();
  arg_vector av(args);
  testing::internal::CaptureStderr();
  testing::internal::CaptureStdout();
  int st = parse_options(av.argc(), av.argv());
  std::string out = testing::internal::GetCapturedStdout();
  std::string err = testing::internal::GetCapturedStderr();
  return {st, err, out};
}

std::string message(const char *fmt, ...) {
  // sprintf_kern has no va_list form: format the parts one by one. Every
  // format used here starts with %M and has at most one more directive.
  va_list ap;
  va_start(ap, fmt);
  unsigned code = va_arg(ap, unsigned);
  std::string f(fmt);
  std::string result;
  char buf[256];
  size_t m = f.find("%M");
  result += f.substr(0, m);
  sprintf_kern(buf, "%M", code);
  result += buf;
  std::string rest = f.substr(m + 2);
  size_t d = rest.find('%');
  if (d != std::string::npos && d + 1 < rest.size()) {
    if (rest[d + 1] == 's') {
      const char *s = va_arg(ap, const char *);
      rest.replace(d, 2, s);
    } else if (rest[d + 1] == 'c') {
      char c = static_cast<char>(va_arg(ap, int));
      rest.replace(d, 2, std::string(1, c));
    } else if (rest[d + 1] == 'P') {
      sprintf_kern(buf, "%P");
      rest.replace(d, 2, buf);
    }
  }
  va_end(ap);
  return result + rest;
}
