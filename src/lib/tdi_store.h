// The terminal description store (".tdi"): the terminal control record and
// the key definition table, with the character notation of key sequences.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int TDI_TERM_TYPES = 25;
constexpr uint8_t TDI_DEFAULT_TYPE = 11;   // the default terminal type
constexpr uint8_t TDI_LINE_MODE_TYPE = 16; // the type without screen settings
constexpr uint16_t TDI_MAX_KEYS = 512;
constexpr int TDI_MAX_SEQUENCE = 11;

// Terminal control record.
struct tdi_ctrl {
  char comment[32];
  uint8_t base_type;   // 0..24
  uint8_t cursor_type; // 0..2
  uint8_t beep;        // 0 no, 1 yes
  uint8_t reserved35[5];
  uint16_t lines;   // 24..255
  uint16_t columns; // 80..255
  uint16_t compress_columns;
  uint16_t kbd_timeout; // tenths of a second, 0..30
  uint16_t font_size;   // 0..99
  uint8_t reserved50[2];
  uint8_t colour_map[16]; // one attribute byte per attribute combination
  uint8_t line_draw[6];   // upper left, upper right, lower right, lower left,
                          // horizontal, vertical
  uint8_t reserved74[2];
  uint8_t display_map[256];
  char font_name[32];
  uint8_t reserved364[4];
};
static_assert(sizeof(tdi_ctrl) == 368);
static_assert(offsetof(tdi_ctrl, base_type) == 32);
static_assert(offsetof(tdi_ctrl, beep) == 34);
static_assert(offsetof(tdi_ctrl, lines) == 40);
static_assert(offsetof(tdi_ctrl, kbd_timeout) == 46);
static_assert(offsetof(tdi_ctrl, font_size) == 48);
static_assert(offsetof(tdi_ctrl, colour_map) == 52);
static_assert(offsetof(tdi_ctrl, line_draw) == 68);
static_assert(offsetof(tdi_ctrl, display_map) == 76);
static_assert(offsetof(tdi_ctrl, font_name) == 332);

// Key definition record; all zero bytes is an empty row.
struct key_cfg {
  uint16_t key_word; // bits 0-7 code, 8-11 type, 12-13 carried, 14 erase, 15 ext
  uint8_t length;    // bytes in the sequence, 0..11
  uint8_t bytes[11];
  char label[16];
};
static_assert(sizeof(key_cfg) == 30);
static_assert(offsetof(key_cfg, length) == 2);
static_assert(offsetof(key_cfg, bytes) == 3);
static_assert(offsetof(key_cfg, label) == 14);

constexpr uint16_t KEYW_CODE = 0x00FF;
constexpr uint16_t KEYW_TYPE = 0x0F00;
constexpr uint16_t KEYW_ERASE = 0x4000;
constexpr uint16_t KEYW_EXT = 0x8000;
constexpr uint16_t FIND_KEY_NOT_FOUND = 0x8000;

int init_tdi();
int open_tdi(uint32_t *handle, uint8_t base_terminal);
int load_tdi(uint32_t handle, const char *name);
int save_tdi(uint32_t handle, const char *name, uint8_t is_new);
int default_tdi(uint32_t handle, uint8_t base_terminal);
// Brings loaded content of an older revision to the current one; nonzero
// when anything changed.
uint8_t uprev_tdi(uint32_t handle);
int close_tdi(uint32_t *handle);
const char *get_error_buffer_tdi(uint32_t handle);

int get_ctrl_tdi(uint32_t handle, tdi_ctrl *rec);
int put_ctrl_tdi(uint32_t handle, const tdi_ctrl *rec);

// Key table, sorted by byte sequence. Indexes at or beyond the key count
// read as all-zero records; puts and removes there change nothing.
int sort_keys_tdi(uint32_t handle);
uint16_t get_key_count_tdi(uint32_t handle);
int get_key_cfg_tdi(uint32_t handle, uint16_t index, key_cfg *rec);
int put_key_cfg_tdi(uint32_t handle, uint16_t index, const key_cfg *rec);
// Bit 15 clear: found at that index; set: not found, bits 0-14 the index
// where it would be inserted.
uint16_t find_key_tdi(uint32_t handle, const uint8_t *bytes, uint8_t length);
int insert_key_tdi(uint32_t handle, uint16_t index, const key_cfg *rec);
int remove_key_tdi(uint32_t handle, uint16_t index);

// Character notation: "!".."~" as themselves, "\" and "^" escaped with "\",
// any other byte "\ooo". `text` holds at least 45 bytes for 11 bytes.
// `line_mode` is nonzero for the line-mode terminal type.
void tdi_keystringtoasc(const uint8_t *bytes, uint8_t length, char *text, int line_mode);
// Reads the notation (and the forms documented beside it); `length` is in
// the maximum number of bytes, out the number read. Nonzero: not readable
// or longer than the maximum.
int tdi_asctokeystring(const char *text, uint8_t *bytes, uint8_t *length, int line_mode);
