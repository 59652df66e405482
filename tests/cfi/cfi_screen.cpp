// Test bench for the system configuration editor.
#include "cfi_screen.h"

#include <cstring>
#include <pwd.h>
#include <unistd.h>

#include "cfi/cfi.h"
#include "frame/frame.h"
#include "lib/cfi_store.h"
#include "lib/memscreen.h"
#include "lib/strs.h"
#include "lib/tdi_store.h"
#include "scrmgr/scrmgr.h"

namespace cfitest {

void CfiScreen::SetUp() {
  char cwd[4096] = {};
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  old_cwd_ = cwd;
  dir_.share();
  ASSERT_EQ(chdir(dir_.path().c_str()), 0);
  memscreen_use();
  ASSERT_EQ(init_cfi(), 0);
  ASSERT_EQ(init_tdi(), 0);
  ASSERT_EQ(display_open(), 0);
  reset_cfi_state();
  target_os = TARGET_WINDOWS;
  std::strncpy(target_os_text, os_target_strs[TARGET_WINDOWS], sizeof target_os_text - 1);
}

void CfiScreen::TearDown() {
  display_close();
  memscreen_release();
  ASSERT_EQ(chdir(old_cwd_.c_str()), 0);
}

script &script::key(uint16_t code) {
  codes.push_back(code);
  return *this;
}

script &script::text(const std::string &typed) {
  for (unsigned char c : typed) codes.push_back(static_cast<uint16_t>(0x100 | c));
  return *this;
}

script &script::choose(int item) { return text(std::to_string(item)).key(KEY_ENTER); }

script &script::processes(int n) { return choose(1).text(std::to_string(n)).key(KEY_ESC); }

script &script::name(const std::string &typed) {
  return key(K_CLEAR_LINE).text(typed).key(KEY_ENTER);
}

void CfiScreen::push(const script &s) {
  for (uint16_t c : s.codes) memscreen_push_key(c);
}

int CfiScreen::run_editor(const char *name, const script &s) {
  push(s);
  const int st = cnf_main(name);
  EXPECT_EQ(memscreen_keys_left(), 0u) << "the editor stopped before the script ended";
  return st;
}

bool write_config(const std::string &path, uint32_t processes, uint8_t os) {
  uint32_t h = 0;
  if (open_cfi(&h, os) > 0) return false;
  sys_desc sd{};
  get_desc_sys(h, &sd);
  sd.process_count = processes;
  put_desc_sys(h, &sd);
  const int st = save_cfi(h, path.c_str(), 1);
  close_cfi(&h);
  return st <= 0;
}

loaded_config read_config(const std::string &path) {
  loaded_config out{};
  uint32_t h = 0;
  if ((out.status = open_cfi(&h, 1)) > 0) return out;
  out.status = load_cfi(h, path.c_str());
  if (out.status <= 0) {
    sys_desc sd{};
    get_desc_sys(h, &sd);
    out.processes = sd.process_count;
    out.os = get_os_target_sys(h);
  }
  close_cfi(&h);
  return out;
}

read_only_user::read_only_user() {
  if (geteuid() != 0) {
    ok_ = true;
    return;
  }
  const passwd *pw = getpwnam("nobody");
  if (!pw) return;
  // The library asks access(), which goes by the real user; the saved user
  // stays root so that the test can become root again.
  switched_ = setresuid(pw->pw_uid, pw->pw_uid, 0) == 0;
  ok_ = switched_;
}

read_only_user::~read_only_user() {
  if (switched_ && setresuid(0, 0, 0) != 0) std::abort();
}

} // namespace cfitest
