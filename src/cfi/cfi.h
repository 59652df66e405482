// System configuration editor: its main screen, sub-screens and batch update.
#pragma once

#include <cstdint>

// Editor flags (cleared on every entry to the editor).
extern uint8_t config_changed;
extern uint8_t config_retrieved;
extern uint8_t config_saved;
extern uint8_t config_read_only;

// The editor main screen; `name` may be null (from the top menu).
int cnf_main(const char *name);
// Batch update; `operand` may be null.
int cnf_batch(const char *operand, bool load_ini, const char *ini_name);
void reset_cfi_state();

int config_sys(uint32_t handle);
int config_str(uint32_t handle, uint32_t count);
int show_str_row(uint32_t handle, uint32_t index, uint32_t first);
int config_con(uint32_t handle, uint32_t count);
int config_ser(uint32_t handle, uint32_t count);
int show_ser_row(uint32_t handle, uint32_t index, uint32_t first);
int config_prn(uint32_t handle, uint32_t count);
int show_prn_row(uint32_t handle, uint32_t index, uint32_t first);
int config_pcq(uint32_t handle, uint32_t count);
int show_pcq_row(uint32_t handle, uint32_t index, uint32_t first);
int config_pdf(uint32_t handle, uint16_t count);
