// Screen services: a screen image of cells the program draws into, rendered
// on the terminal (or kept in memory for tests), and keyboard input.
#pragma once

#include <cstddef>
#include <cstdint>

// Field control block handed to putfld_scrn and getfld_scrn (32 bytes).
struct field_ctl {
  uint16_t mode;   // 0 draw; 0x0804 number entry; 0x0802 text entry;
                   // +0x4000 quick (leave when full), +0x8000 masked
  uint16_t digits; // number entry: digit limit * 256
  uint16_t reserved4;
  uint16_t reserved6; // not set
  uint8_t attr;       // video attribute
  uint8_t attr_inv;   // its complement
  uint8_t edit_attr;  // byte 6 of the screen information
  uint8_t edit_attr_inv;
  uint16_t reserved12; // not set
  uint16_t fill;       // fill character of the field under edit ('_')
  uint16_t row;
  uint16_t col;
  uint32_t timeout; // 0xFFFFFFFF: none
  uint16_t width;   // columns the field occupies
  uint16_t reserved26;
  uint16_t max_len; // characters the entry may hold
  uint16_t len;     // characters to draw; entry: in the starting length,
                    // out the entered length
};
static_assert(sizeof(field_ctl) == 32);

// Screen information (get_info_scrn).
struct scrn_info {
  uint16_t lines; // lines of the form area
  uint16_t cols;  // columns of the form area
  uint8_t colour; // nonzero when the terminal shows colours
  uint8_t reserved5;
  uint8_t edit_attr; // attribute of a field under edit
  uint8_t reserved7;
};
static_assert(sizeof(scrn_info) == 8);

// Key record: the code is the only member the program reads.
//   0x100 | c  a typed character c
//   0x200 left, 0x201 right
//   0x300 Enter, 0x301 ESC, 0x302..0x307 F1..F6
//   0x400 up, 0x500 down, 0x700 previous (Shift-Tab), 0x800 next (Tab)
struct key_rec {
  uint16_t code;
  uint16_t raw; // the terminal's own key number, for diagnostics
  uint32_t reserved;
};

// Video attributes used by the forms.
constexpr uint8_t ATTR_PLAIN = 0;
constexpr uint8_t ATTR_HEADING = 1;
constexpr uint8_t ATTR_FIELD = 4;
constexpr uint8_t ATTR_TITLE = 5;

// Modes of dis_msg_scrn.
constexpr int MSG_MODE_CLOSE = 4;
constexpr int MSG_MODE_REMOVE = 12;
constexpr int MSG_MODE_SHOW = 25;

// Offsets of the screen block members the library reads and fills.
constexpr size_t SCRN_BLOCK_SIZE = 968;
constexpr size_t SCRN_LAST_LINE = 38;
constexpr size_t SCRN_LAST_COL = 44;
constexpr size_t SCRN_CELLS = 46;
constexpr size_t SCRN_IMAGE = 128;
constexpr size_t SCRN_LINE_AREA = 136;
constexpr size_t SCRN_AREA512 = 152;

// Opens the terminal (or the in-memory screen) for the block at cur_scrn_.
int connect_scrn(int a, int b);
// Gives the terminal back as it was; safe to call more than once.
void disconnect_scrn();
// Sizes the block from the terminal description behind `tdi_handle`.
int load_tdi_scrn(uint32_t tdi_handle, void *block);
int set_pos_scrn(uint16_t row, uint16_t col);
int erase_eol_scrn();
int erase_all_scrn();
int bell_scrn();
int update_scrn();
int putfld_scrn(const char *text, field_ctl *ctl);
// Line editor over `buf` (at least ctl->max_len + 1 bytes).
int getfld_scrn(char *buf, field_ctl *ctl, key_rec *key, uint16_t timeout);
// The text typed so far in the entry getfld_scrn is running (the session
// is ending while a field is being typed in): its length, or -1 when no
// entry is under way.
int getfld_pending_scrn(char *buf, size_t size);
int get_info_scrn(scrn_info *info);
int getkey_scrn(key_rec *key, uint16_t timeout);
// Shows (mode 25) or takes down (mode 12) the status message of `code` with
// an optional text on the message line; mode 4 when the screen closes.
int dis_msg_scrn(uint32_t code, int mode, const char *text, uint16_t len);
