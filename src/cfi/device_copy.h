// The device renumbering of the copy key, shared by the console, serial line
// and printer screens: a copy onto the next entry names the next device.
#pragma once

#include <cstddef>

// Adds one to the run of decimal digits that ends `name` (a buffer of
// `size` bytes), keeping its width unless the result needs one digit more:
// ttyS0 -> ttyS1, COM9 -> COM10, lp007 -> lp008; a name without trailing
// digits stays as it is. Returns 0, or ST_DEVICE_TOO_LONG with `name`
// untouched when the new name would not fit the buffer with its terminator.
int renumber_device(char *name, size_t size);

// The copy hook of a screen whose record has a `device` member: renumbers
// it, or rings nothing and shows why on the message line (false).
bool renumber_or_say(char *device, size_t size);

// The copy hook of a table screen whose record R has a `device` member.
template <class R>
bool renumber_copy(void *rec) {
  auto *r = static_cast<R *>(rec);
  return renumber_or_say(r->device, sizeof r->device);
}
