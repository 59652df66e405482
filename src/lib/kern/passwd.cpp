// The login name and home directory of a user, read from the password file.
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "lib/kern/kern_private.h"

namespace {

// Splits "name:password:uid:gid:comment:home:shell" and fills `user` when
// the uid field is exactly the decimal `uid`. Lines with fewer fields,
// empty names or a uid with other characters are skipped, not guessed at.
bool match_line(std::string_view line, unsigned uid, kern_user &user) {
  std::string_view field[7];
  size_t n = 0;
  while (n < 6) {
    size_t colon = line.find(':');
    if (colon == std::string_view::npos) return false;
    field[n++] = line.substr(0, colon);
    line.remove_prefix(colon + 1);
  }
  field[6] = line;
  if (field[0].empty() || field[2].empty() || field[2].size() > 10) return false;
  unsigned long value = 0;
  for (char c : field[2]) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  if (value != uid) return false;
  user.name = field[0];
  user.home = field[5];
  return true;
}

} // namespace

bool kern_find_user(const char *passwd_file, unsigned uid, kern_user &user) {
  FILE *f = std::fopen(passwd_file, "re");
  if (f == nullptr) return false;
  std::string line;
  bool found = false;
  for (int c; !found && (c = std::fgetc(f)) != EOF;) {
    if (c != '\n') {
      line += static_cast<char>(c);
      continue;
    }
    found = match_line(line, uid, user);
    line.clear();
  }
  if (!found && !line.empty()) found = match_line(line, uid, user);
  std::fclose(f);
  return found;
}

bool kern_find_user(unsigned uid, kern_user &user) {
  return kern_find_user("/etc/passwd", uid, user);
}
