// Helpers the runtime-service sources share among themselves only.
#pragma once
#ifndef XN_LIBRARY_BUILD
#error "an internal header of the runtime library: the program includes src/lib/*.h only"
#endif

#include <cstdarg>
#include <string>

// Formats like printf_*_kern into `out` (no length limit); with `escape`,
// control bytes and "\" in %s arguments as "\" and 3 octal digits.
void kern_vformat(std::string &out, const char *fmt, va_list ap, bool escape = false);
// Writes all of `text` to a file descriptor, retrying short writes;
// false when the descriptor refuses it.
bool kern_write_all(int fd, const std::string &text);
// Operating system and machine as %O prints them ("Linux x86_64").
const char *kern_os_text();
// Audit trail back to its state before any option (closes the file).
void kern_audit_reset();
// Folds "." and ".." and repeated '/' of a POSIX name; a relative name
// stays relative.
std::string kern_fold_path(const std::string &name);

// The login name and home directory of `uid` from a password file in the
// "name:password:uid:gid:comment:home:shell" layout. Read directly rather
// than through the C library's lookup, which a static program cannot use
// (it would need the shared name-service modules). False when the file
// cannot be read or has no well-formed line for `uid`.
struct kern_user {
  std::string name;
  std::string home;
};
bool kern_find_user(const char *passwd_file, unsigned uid, kern_user &user);
// The same for the system's password file.
bool kern_find_user(unsigned uid, kern_user &user);
