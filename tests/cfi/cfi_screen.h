// Test bench for the system configuration editor: the in-memory screen in a
// fresh temporary working folder, key scripts, and direct store access.
#pragma once

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "cfi/cfi.h"
#include "frame/frame.h"
#include "lib/cfi_store.h"
#include "lib/memscreen.h"
#include "lib/status.h"
#include "lib/strs.h"
#include "lib/tdi_store.h"
#include "scrmgr/scrmgr.h"
#include "support/support.h"

namespace cfitest {

constexpr uint16_t K_CLEAR_LINE = 0x115, K_NO = 0x16E; // Ctrl-U, 'n'

// A key script, built step by step: script().choose(9).key(KEY_ENTER).
struct script {
  std::vector<uint16_t> codes;
  script &key(uint16_t code) {
    codes.push_back(code);
    return *this;
  }
  script &text(const std::string &typed) {
    for (unsigned char c : typed) codes.push_back(static_cast<uint16_t>(0x100 | c));
    return *this;
  }
  script &choose(int item) { return text(std::to_string(item)).key(KEY_ENTER); }
  // Item 1 with "Number of processes allowed" set to n, back to the menu.
  script &processes(int n) { return choose(1).text(std::to_string(n)).key(KEY_ESC); }
  // Empties the file line under edit, types `typed` and Enter.
  script &name(const std::string &typed) { return key(K_CLEAR_LINE).text(typed).key(KEY_ENTER); }
  script &down(int n) {
    while (n-- > 0) key(KEY_DOWN);
    return *this;
  }
  void push() const {
    for (uint16_t c : codes) memscreen_push_key(c);
  }
};

class CfiScreen : public ::testing::Test {
protected:
  void SetUp() override {
    dir_.share();
    ASSERT_EQ(chdir(dir_.path().c_str()), 0);
    ASSERT_EQ(init_cfi(), 0);
    ASSERT_EQ(init_tdi(), 0);
    memscreen_use();
    ASSERT_EQ(display_open(), 0);
    reset_cfi_state();
    ASSERT_EQ(open_cfi(&h_, TARGET_WINDOWS), 0); // the tests' own store
    target_os = TARGET_WINDOWS;
    std::strncpy(target_os_text, os_target_strs[TARGET_WINDOWS], sizeof target_os_text - 1);
  }
  void TearDown() override {
    close_cfi(&h_);
    display_close();
    memscreen_release();
    ASSERT_EQ(chdir("/"), 0); // the folder goes away with the test
  }
  // A new screen and editor state for the next case of a loop.
  static void fresh() {
    reset_cfi_state();
    memscreen_use();
  }
  // Runs the editor over the script; every scripted key must be used.
  static int run_editor(const char *name, const script &s) {
    s.push();
    const int st = cnf_main(name);
    EXPECT_EQ(memscreen_keys_left(), 0u) << "the editor stopped before the script ended";
    return st;
  }
  std::string path(const std::string &name) const { return dir_.file(name); }
  sys_desc sys() const {
    sys_desc sd{};
    get_desc_sys(h_, &sd);
    return sd;
  }
  str_desc entry(uint32_t i) const {
    str_desc d{};
    get_desc_str(h_, i, &d);
    return d;
  }
  // A configuration file with one system parameter set, saved by the store.
  bool write_config(const std::string &name, uint32_t processes) {
    sys_desc sd = sys();
    sd.process_count = processes;
    return put_desc_sys(h_, &sd) <= 0 && save_cfi(h_, path(name).c_str(), 1) <= 0;
  }
  // The process count of a configuration file, 0 when it does not load.
  uint32_t read_config(const std::string &name) {
    return load_cfi(h_, path(name).c_str()) <= 0 ? sys().process_count : 0;
  }
  // Runs config_sys (strings false) or config_str over the script.
  int run(const script &s, bool strings = false) {
    config_changed = 0;
    s.push();
    const int st = strings ? config_str(h_, sys().env_string_count) : config_sys(h_);
    EXPECT_EQ(memscreen_keys_left(), 0u);
    return st;
  }

  xntest::TempDir dir_;
  uint32_t h_ = 0;
};

// Drops write permission even when the tests run as root: the real user
// (which access() asks) becomes "nobody", the saved one stays root.
struct read_only_user {
  bool switched = false;
  read_only_user() {
    const passwd *pw = geteuid() == 0 ? getpwnam("nobody") : nullptr;
    switched = pw && setresuid(pw->pw_uid, pw->pw_uid, 0) == 0;
  }
  ~read_only_user() {
    if (switched && setresuid(0, 0, 0) != 0) std::abort();
  }
  bool ok() const { return geteuid() != 0; }
};

} // namespace cfitest
