// Terminal description editor: its main screen, sub-screens and batch update.
#pragma once

#include <cstdint>

extern uint8_t desc_changed;
extern uint8_t desc_retrieved;
extern uint8_t desc_saved;
// The description's name and comment copy, shown by every sub-screen header.
extern char tdi_desc_name[256];
extern char tdi_comment[32];

int tdi_main(const char *name);
int tdi_batch(const char *tdi_name);
void reset_tdi_state();

int configure_parameters(uint32_t handle);
int configure_keyboard(uint32_t handle);
struct key_cfg;
// Draws key row `index` of the page starting at `top`: 1 when the row cannot
// be shown as it stands (an unknown type, a sequence wider than its column),
// 0 when it is, or the status of a failing draw.
int show_key_row(const key_cfg *rec, uint16_t index, uint16_t top, uint8_t base);
int configure_display_characters(uint32_t handle);
int configure_colour_attributes(uint32_t handle);
int configure_base_colours(uint32_t handle);
int show_display_row(uint8_t mapped, uint32_t code, uint32_t top, uint8_t base_type);
int show_colour_row(uint32_t combination, uint32_t top, uint8_t attr);
