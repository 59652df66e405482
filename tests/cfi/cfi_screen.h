// Test bench for the system configuration editor: the in-memory screen, a
// fresh temporary working folder, a key script, and direct store access to
// prepare and inspect configuration files.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/support.h"

namespace cfitest {

// Keys that the scripts use besides typed text.
constexpr uint16_t K_CLEAR_LINE = 0x115; // Ctrl-U: empties a text field
constexpr uint16_t K_YES = 0x179;        // 'y'
constexpr uint16_t K_NO = 0x16E;         // 'n'

// A key script, built step by step: script().choose(9).key(KEY_ENTER).
struct script {
  std::vector<uint16_t> codes;
  script &key(uint16_t code);
  script &text(const std::string &typed);
  // A menu item: its number typed into the selection, then Enter.
  script &choose(int item);
  // Item 1 with "Number of processes allowed" set to n, ESC back to the menu.
  script &processes(int n);
  // Empties the file line under edit, types `name` and Enter.
  script &name(const std::string &typed);
};

class CfiScreen : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  void push(const script &s);
  // Runs the editor over the script; every scripted key must be used.
  int run_editor(const char *name, const script &s);

  std::string path(const std::string &name) const { return dir_.file(name); }

  xntest::TempDir dir_;
  std::string old_cwd_;
};

// A configuration saved through the store with one system parameter set.
bool write_config(const std::string &path, uint32_t processes, uint8_t os = 1);
// The system descriptor of a file (zeroed record when it does not load).
struct loaded_config {
  int status;
  uint8_t os;
  uint32_t processes;
};
loaded_config read_config(const std::string &path);

// Drops write permission for the files of this test even when the tests run
// as root: as root the effective user becomes "nobody" until destroyed.
class read_only_user {
public:
  read_only_user();
  ~read_only_user();
  bool ok() const { return ok_; }

private:
  bool ok_ = false;
  bool switched_ = false;
};

} // namespace cfitest
