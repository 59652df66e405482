// Default records of a system configuration, per target and table index.
#pragma once
#ifndef XN_LIBRARY_BUILD
#error "an internal header of the runtime library: the program includes src/lib/*.h only"
#endif

#include "lib/cfi_store.h"

namespace xnstore {

constexpr uint32_t DEFAULT_ENV_STRINGS = sys_params[SP_ENV_STRINGS].def;

sys_desc default_sys();
str_desc default_str(uint8_t target, uint32_t index);
con_desc default_con(uint8_t target, uint32_t index);
ser_desc default_ser(uint8_t target, uint32_t index);
prn_desc default_prn(uint8_t target, uint32_t index);
pcq_desc default_pcq(uint8_t target, uint32_t index);
pdf_desc default_pdf(uint32_t index);

} // namespace xnstore
