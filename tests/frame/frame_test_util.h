// Helpers of the frame tests: running the option parser in-process over an
// argument vector and formatting the message lines the tests expect.
#pragma once

#include <cstdarg>
#include <string>
#include <vector>

// Argument vector with writable words, as main receives it.
class arg_vector {
public:
  explicit arg_vector(const std::vector<std::string> &args);
  int argc() const { return static_cast<int>(ptrs_.size()) - 1; }
  char **argv() { return ptrs_.data(); }

private:
  std::vector<std::string> words_;
  std::vector<char *> ptrs_;
};

struct parse_result {
  int status;
  std::string err;
  std::string out;
};

// Fresh library and frame state, then parse_options over "xnconfig" + args.
parse_result parse(const std::vector<std::string> &args);

// One message line as the library formats it (format with one code and an
// optional text or letter), so tests do not depend on the catalogue's words.
std::string message(const char *fmt, ...);

// Clean library and frame state as before a run, with the library started.
void fresh_state();
