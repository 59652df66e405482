// The batch update shared by terminal descriptions and printer translations:
// bring one file to the current revision, or create it from its base.
#pragma once

#include <cstdint>

// The store calls and names one kind of file needs; one static instance each.
struct revision_store {
  const char *open_call;            // named in the open failure message
  const char *ext;                  // ".tdi", ".pti"
  const char *const *default_names; // simple names without extension, by base
  int (*open)(uint32_t *handle, uint8_t base);
  int (*load)(uint32_t handle, const char *name);
  uint8_t (*uprev)(uint32_t handle);
  int (*save)(uint32_t handle, const char *name, uint8_t is_new);
  const char *(*error_text)(uint32_t handle);
  int (*close)(uint32_t *handle);
};

// `given` is the name from the command line, `base` the base index the
// option check found for it. 0 on success; 1, or the status of a failed
// status query, after a message.
int revision_batch(const revision_store &store, const char *given, uint8_t base);
