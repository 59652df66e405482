// Printer translation editor: its main screen, sub-screens and batch update.
#pragma once

#include <cstdint>

extern uint8_t trans_changed;
extern uint8_t trans_retrieved;
extern uint8_t trans_saved;
// The translation's name, shown by the character mapping screen's header.
extern char pti_trans_name[256];

int pti_main(const char *name);
int pti_batch(const char *pti_name);
void reset_pti_state();

int configure_job_control(uint32_t handle);
int show_control_row(uint32_t handle, uint32_t index, uint32_t top);
int configure_character_map(uint32_t handle);
int show_map_row(uint32_t handle, uint32_t code, uint32_t top);
