// The printer translation store (".pti"): two job control strings, the
// 256-entry character map, the comment, and the byte-string notation.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int PTI_PRINTER_TYPES = 3;
constexpr int PTI_MAX_MAP_BYTES = 11;
constexpr int PTI_MAX_CTRL_BYTES = 256;
// Largest canonical text pti_bytestringtoasc writes (255 bytes, 4 each).
constexpr int PTI_TEXT_BUF = 1024;

// Job control string record.
struct pti_ctrl {
  uint8_t enable;
  uint8_t use_file;
  char value[256];
  uint8_t reserved258[14];
};
static_assert(sizeof(pti_ctrl) == 272);
static_assert(offsetof(pti_ctrl, value) == 2);

// Character map entry.
struct pti_map {
  uint8_t length; // 0..11
  uint8_t bytes[11];
  uint8_t reserved12[4];
};
static_assert(sizeof(pti_map) == 16);
static_assert(offsetof(pti_map, bytes) == 1);

int init_pti();
int open_pti(uint32_t *handle, uint8_t printer_type);
int load_pti(uint32_t handle, const char *name);
int save_pti(uint32_t handle, const char *name, uint8_t is_new);
int default_pti(uint32_t handle, uint8_t printer_type);
uint8_t uprev_pti(uint32_t handle);
int close_pti(uint32_t *handle);
const char *get_error_buffer_pti(uint32_t handle);
uint8_t get_printer_type_pti(uint32_t handle);

// Index 0 or 1; others read as all zero and are not stored.
int get_ctrl_pti(uint32_t handle, uint32_t index, pti_ctrl *rec);
int put_ctrl_pti(uint32_t handle, uint32_t index, const pti_ctrl *rec);
int get_map_pti(uint32_t handle, uint32_t code, pti_map *rec);
int put_map_pti(uint32_t handle, uint32_t code, const pti_map *rec);
// Comment: 32-byte buffer, at most 31 characters.
int get_comment_pti(uint32_t handle, char *text);
int put_comment_pti(uint32_t handle, const char *text);

// Byte-string notation (docs/file-formats.md). `length` is in the maximum,
// out the number of bytes read; nonzero result: not readable or too long.
int pti_asctobytestring(const char *text, uint8_t *bytes, uint16_t *length);
// Canonical text of `length` bytes into `text` (PTI_TEXT_BUF bytes).
void pti_bytestringtoasc(const uint8_t *bytes, uint8_t length, char *text);

// Printer type of a translation name (simple name without ".pti");
// nonzero when the name is not a printer type.
int pti_find_printer(const char *name, uint16_t *index);
