// Services the files of the screen manager give each other; only the screen
// manager and its tests include this header.
#pragma once

#include <cstddef>
#include <cstdint>

#include "lib/scrn.h"
#include "scrmgr/scrmgr.h"

// Fills the field control block for `field` (drawing or entry) from the
// screen information; the mode, digit count, limit and length are the
// caller's to set. Returns 0 or the status of get_info_scrn.
int fill_field_ctl(const form_field *field, uint16_t mode, field_ctl *ctl);

// The bell: bell_scrn then update_scrn; 0 or the first positive status.
int sound_bell();

// Entry mode bits a field's flags add to the base mode of an entry.
uint16_t entry_mode(const form_field *field, uint16_t base);

// Runs the field handler of field `index` until it leaves; *key is then the
// key that left it. Returns 0 or a positive status (1 for a bad kind).
int run_field(form *f, uint16_t index, uint16_t *key);

// Screen image sizing. Lines and columns are the last line and column plus
// one in 16 bits; the cell count is refused (false) from 65535 cells up.
bool screen_cells(uint16_t lines, uint16_t cols, uint16_t *cells);
// Bytes of the image allocation: 4 per cell, the 512-byte area and one
// byte per line rounded up to a multiple of 4.
size_t screen_image_bytes(uint16_t lines, uint16_t cells);
