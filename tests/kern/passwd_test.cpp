// The password-file reader that gives the audit trail its user name and
// "~" its home folder.
#include <gtest/gtest.h>

#include <string>

#include "lib/kern/kern_private.h"
#include "support/support.h"

namespace {

using xntest::TempDir;
using xntest::write_file;

struct passwd_case {
  const char *what;
  const char *file;
  unsigned uid;
  bool found;
  const char *name;
  const char *home;
};

// clang-format off
const passwd_case cases[] = {
    {"plain entry", "root:x:0:0:root:/root:/bin/sh\nann:x:1000:1000:Ann:/home/ann:/bin/bash\n",
     1000, true, "ann", "/home/ann"},
    {"a longer uid with the same start is another user",
     "bob:x:10000:100::/home/bob:/bin/sh\n", 1000, false, "", ""},
    {"the first of two entries of one uid", "a:x:5:5::/a:/bin/sh\nb:x:5:5::/b:/bin/sh\n", 5, true,
     "a", "/a"},
    {"last line without a line end", "root:x:0:0::/root:/bin/sh\ncy:x:7:7::/srv/cy:/bin/sh", 7,
     true, "cy", "/srv/cy"},
    {"too few fields", "dan:x:8:8:/home/dan\n", 8, false, "", ""},
    {"empty name", ":x:9:9::/home/x:/bin/sh\n", 9, false, "", ""},
    {"uid with a sign or blank", "eve:x:+9:9::/e:/bin/sh\nfay:x: 9:9::/f:/bin/sh\n", 9, false, "",
     ""},
    {"comments and blank lines around it", "# users\n\ngus:x:3:3::/home/gus:/bin/sh\n", 3, true,
     "gus", "/home/gus"},
    {"empty home and a colon in the shell field", "hal:x:4:4:::/bin/sh:x\n", 4, true, "hal", ""},
    {"a uid too large for the field", "ivy:x:99999999999:1::/i:/bin/sh\n", 4294967295u, false, "",
     ""},
};
// clang-format on

TEST(Passwd, FindsTheUserOfAUid) {
  TempDir dir;
  for (const passwd_case &c : cases) {
    SCOPED_TRACE(c.what);
    std::string path = dir.path() + "/passwd";
    write_file(path, c.file);
    kern_user user;
    ASSERT_EQ(kern_find_user(path.c_str(), c.uid, user), c.found);
    if (c.found) {
      EXPECT_EQ(user.name, c.name);
      EXPECT_EQ(user.home, c.home);
    }
  }
}

TEST(Passwd, MissingFileFindsNobody) {
  TempDir dir;
  kern_user user;
  EXPECT_FALSE(kern_find_user((dir.path() + "/none").c_str(), 0, user));
}

} // namespace
