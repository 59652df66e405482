// The selectors the editors work under: the target OS of a system
// configuration, the base of a terminal description and the type of a
// printer translation (the command line sets them; a loaded file and the
// editors' menus replace them), and the extension rule the start and the
// batch update share.
#pragma once

#include <cstdint>

extern uint8_t target_os;       // 0 UNIX, 1 Windows
extern char target_os_text[32]; // os_target_strs[target_os]
extern uint8_t base_terminal;   // 0..24
extern uint8_t printer_type;    // 0..2

// The values the option checks give when no option is set.
void reset_selectors();

// True for the short forms ".cf", ".td" and ".pt" of the three extensions,
// which the start and the batch update refuse rather than guess.
bool truncated_extension(const char *name);
