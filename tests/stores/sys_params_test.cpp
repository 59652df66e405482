// The system parameter rows against the file-format documentation: each key
// documented once, with the range the store and the screen use.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <string>

#include "lib/cfi_store.h"

namespace {

// The rows of the "[system] keys" table: key -> range text.
std::map<std::string, std::string> documented_keys() {
  std::ifstream in(std::string(XN_TEST_DATA) + "/../../docs/file-formats.md");
  std::map<std::string, std::string> keys;
  std::string line;
  bool in_table = false;
  const std::regex row(R"(^\| ([a-z0-9-]+) \| [^|]+ \| ([^|]+) \|$)");
  while (std::getline(in, line)) {
    if (line.starts_with("`[system]` keys")) in_table = true;
    if (!in_table) continue;
    std::smatch m;
    if (std::regex_match(line, m, row))
      keys[m[1]] = m[2];
    else if (!keys.empty() && !line.starts_with("|"))
      break;
  }
  return keys;
}

TEST(SysParams, TheDocumentedKeysAreTheStoreRows) {
  auto keys = documented_keys();
  ASSERT_EQ(keys.erase("target"), 1u) << "docs/file-formats.md has no [system] table";
  for (const rec_param &p : sys_params) {
    SCOPED_TRACE(p.key);
    ASSERT_EQ(keys.count(p.key), 1u) << "not documented";
    const std::string want =
        p.member.size == 1 ? "yes/no" : std::to_string(p.min) + ".." + std::to_string(p.max);
    EXPECT_EQ(keys[p.key], want);
    EXPECT_TRUE(p.min <= p.def && p.def <= p.max) << "default outside its range";
    keys.erase(p.key);
  }
  EXPECT_TRUE(keys.empty()) << "documented but not a parameter: " << keys.begin()->first;
}

TEST(SysParams, AFreshConfigurationHoldsTheDefaults) {
  uint32_t h = 0;
  ASSERT_EQ(init_cfi(), 0);
  ASSERT_EQ(open_cfi(&h, TARGET_UNIX), 0);
  sys_desc sd{};
  get_desc_sys(h, &sd);
  for (const rec_param &p : sys_params) EXPECT_EQ(get_member(&sd, p.member), p.def) << p.key;
  close_cfi(&h);
}

} // namespace
