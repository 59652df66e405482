// Helpers of the frame tests: the option parser run in-process, and the
// message lines the tests expect.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "frame/frame.h"
#include "lib/kern.h"
#include "lib/status.h"

// Argument vector "xnconfig" + args with writable words, as main receives it.
class arg_vector {
public:
  explicit arg_vector(const std::vector<std::string> &args) : words_{"xnconfig"} {
    words_.insert(words_.end(), args.begin(), args.end());
    for (std::string &w : words_) ptrs_.push_back(w.data());
    ptrs_.push_back(nullptr);
  }
  int argc() const { return static_cast<int>(ptrs_.size()) - 1; }
  char **argv() { return ptrs_.data(); }

private:
  std::vector<std::string> words_;
  std::vector<char *> ptrs_;
};

// Clean library and frame state as before a run, with the library started.
inline void fresh_state() {
  reset_kern_state();
  reset_frame_state();
  init_kern("xnconfig", 32, 5, 32, 0, 0, 1);
}

// fresh_state(), then parse_options over args: its status and stderr.
struct parse_result {
  int status;
  std::string err;
};
inline parse_result parse(const std::vector<std::string> &args) {
  fresh_state();
  arg_vector av(args);
  testing::internal::CaptureStderr();
  testing::internal::CaptureStdout(); // the help text
  int st = parse_options(av.argc(), av.argv());
  testing::internal::GetCapturedStdout();
  return {st, testing::internal::GetCapturedStderr()};
}

// The catalogue text of `code` as "%M" prints it, then `tail`: tests do not
// depend on the catalogue's words.
inline std::string msg(uint32_t code, const std::string &tail = "\n") {
  char buf[256];
  sprintf_kern(buf, "%M", code);
  return buf + tail;
}

// A library status as the message code it is reported with.
inline uint32_t err(int st) { return static_cast<uint32_t>(st) | MSG_ERROR; }
