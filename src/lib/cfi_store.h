// The system configuration store (".cfi") and the ".ini" reader: records
// cross this boundary whole, with fixed layouts.
#pragma once

#include <cstddef>
#include <cstdint>

#include "lib/record.h"

// Largest tables the store accepts.
constexpr uint32_t CFI_MAX_DEVICES = 2048; // consoles, serial lines, printers, queues
constexpr uint32_t CFI_MAX_PDF = 256;
constexpr uint32_t CFI_MAX_ENV = 1024;

// Target operating systems.
constexpr uint8_t TARGET_UNIX = 0;
constexpr uint8_t TARGET_WINDOWS = 1;

// System descriptor.
struct sys_desc {
  uint32_t process_count;
  uint32_t indexed_file_count;
  uint32_t relative_file_count;
  uint32_t sequential_file_count;
  uint32_t record_lock_count;
  uint32_t opens_per_process;
  uint32_t buffer_area_mb;
  uint32_t printer_control_entries;
  uint32_t con_count;
  uint32_t prn_count;
  uint32_t pcq_count;
  uint32_t ser_count;
  uint32_t env_string_count;
  uint32_t pdf_format_count;
  uint8_t reserved56;
  uint8_t printer_control_enabled;
  uint8_t write_through;
  uint8_t reserved59;
  uint8_t isam7_4gb;
  uint8_t isam7_create;
  uint8_t reserved62[2];
};
static_assert(sizeof(sys_desc) == 64);
static_assert(offsetof(sys_desc, opens_per_process) == 20);
static_assert(offsetof(sys_desc, con_count) == 32);
static_assert(offsetof(sys_desc, env_string_count) == 48);
static_assert(offsetof(sys_desc, pdf_format_count) == 52);
static_assert(offsetof(sys_desc, printer_control_enabled) == 57);
static_assert(offsetof(sys_desc, write_through) == 58);
static_assert(offsetof(sys_desc, isam7_4gb) == 60);
static_assert(offsetof(sys_desc, isam7_create) == 61);

// The system parameters: one row per member of the system descriptor that
// a file or a screen sets, in the order of the file's [system] section. The
// store reads, writes and defaults the descriptor from these rows, and the
// system parameters screen takes its ranges from them. Ranges are those the
// runtime accepts; a one-byte member is a yes/no switch.
// clang-format off
enum sys_param_id : uint8_t {
  SP_PROCESSES, SP_OPENS, SP_BUFFER_MB, SP_WRITE_THROUGH, SP_SEQUENTIAL,
  SP_RECORD_LOCKS, SP_INDEXED, SP_RELATIVE, SP_ISAM7_4GB, SP_ISAM7_CREATE,
  SP_PRINTER_CONTROL, SP_PRINTER_ENTRIES, SP_CONSOLES, SP_QUEUES, SP_PRINTERS,
  SP_SERIAL_LINES, SP_ENV_STRINGS, SP_PDF_FORMATS, SYS_PARAM_COUNT
};
// clang-format on

#define SYS_PARAM(key, m, lo, hi, def)                                                             \
  rec_param { key, REC_MEMBER(sys_desc, m), lo, hi, def }
// clang-format off
inline constexpr rec_param sys_params[] = {
    SYS_PARAM("processes", process_count, 1, 9999, 8),
    SYS_PARAM("opens-per-process", opens_per_process, 16, 2048, 128),
    SYS_PARAM("buffer-mb", buffer_area_mb, 1, 3072, 1),
    SYS_PARAM("write-through", write_through, 0, 1, 1),
    SYS_PARAM("sequential-files", sequential_file_count, 0, 4096, 32),
    SYS_PARAM("record-locks", record_lock_count, 0, 32767, 128),
    SYS_PARAM("indexed-files", indexed_file_count, 0, 8192, 32),
    SYS_PARAM("relative-files", relative_file_count, 0, 4096, 8),
    SYS_PARAM("isam7-4gb", isam7_4gb, 0, 1, 1),
    SYS_PARAM("isam7-create", isam7_create, 0, 1, 1),
    SYS_PARAM("printer-control", printer_control_enabled, 0, 1, 1),
    SYS_PARAM("printer-control-entries", printer_control_entries, 48, 1024, 48),
    SYS_PARAM("consoles", con_count, 1, CFI_MAX_DEVICES, 32),
    SYS_PARAM("queues", pcq_count, 0, CFI_MAX_DEVICES, 32),
    SYS_PARAM("printers", prn_count, 0, CFI_MAX_DEVICES, 32),
    SYS_PARAM("serial-lines", ser_count, 0, CFI_MAX_DEVICES, 32),
    SYS_PARAM("env-strings", env_string_count, 0, CFI_MAX_ENV, 16),
    SYS_PARAM("pdf-formats", pdf_format_count, 1, CFI_MAX_PDF, 32),
};
// clang-format on
#undef SYS_PARAM
static_assert(sizeof sys_params / sizeof sys_params[0] == SYS_PARAM_COUNT);
// The enum and the rows agree: each named row has its member.
static_assert(sys_params[SP_OPENS].member.offset == offsetof(sys_desc, opens_per_process));
static_assert(sys_params[SP_ISAM7_CREATE].member.offset == offsetof(sys_desc, isam7_create));
static_assert(sys_params[SP_PRINTER_ENTRIES].member.offset ==
              offsetof(sys_desc, printer_control_entries));
static_assert(sys_params[SP_SERIAL_LINES].member.offset == offsetof(sys_desc, ser_count));
static_assert(sys_params[SP_PDF_FORMATS].member.offset == offsetof(sys_desc, pdf_format_count));

// Environment string descriptor.
struct str_desc {
  uint8_t str_enabled;
  uint8_t reserved1[3];
  char str_value[256];
};
static_assert(sizeof(str_desc) == 260);
static_assert(offsetof(str_desc, str_value) == 4);

// Console descriptor.
struct con_desc {
  uint8_t con_enabled;
  uint8_t run_programs;
  uint8_t reserved2[6];
  uint8_t scropt;
  uint8_t sdmode;
  uint8_t colors; // background in bits 4-6, foreground in bits 0-2
  uint8_t color_mode;
  uint8_t reverse;
  uint8_t abort;
  uint8_t reserved14[2];
  uint16_t privileges; // bits 0-11, see CON_PRIV_*
  uint16_t timeout;
  uint16_t lines;
  uint16_t columns;
  uint16_t compress_columns;
  uint16_t pcq_number;
  uint16_t prn_number;
  uint16_t ser_number;
  uint8_t reserved32[16];
  char device[16];
  char term[16];
  char startup_program[32];
};
static_assert(sizeof(con_desc) == 112);
static_assert(offsetof(con_desc, scropt) == 8);
static_assert(offsetof(con_desc, abort) == 13);
static_assert(offsetof(con_desc, privileges) == 16);
static_assert(offsetof(con_desc, ser_number) == 30);
static_assert(offsetof(con_desc, device) == 48);
static_assert(offsetof(con_desc, term) == 64);
static_assert(offsetof(con_desc, startup_program) == 80);

constexpr uint16_t CON_PRIV_ABORT = 0x0001;
constexpr uint16_t CON_PRIV_INTERRUPT = 0x0002;
constexpr uint16_t CON_PRIV_DEBUG = 0x0004;
constexpr uint16_t CON_PRIV_SYSINFO = 0x0008;
constexpr uint16_t CON_PRIV_MESSAGE = 0x0010;
constexpr uint16_t CON_PRIV_PRINTER = 0x0020;
constexpr uint16_t CON_PRIV_SHUTDOWN = 0x0040;
constexpr uint16_t CON_PRIV_STATUS = 0x0080;
constexpr uint16_t CON_PRIV_DETACHED = 0x0100;
constexpr uint16_t CON_PRIV_PCQ_MGMT = 0x0200;
constexpr uint16_t CON_PRIV_WATCH = 0x0400;
constexpr uint16_t CON_PRIV_NO_WATCH = 0x0800;

// Serial line descriptor.
struct ser_desc {
  uint8_t ser_enabled;
  uint8_t set_line;
  uint8_t reserved2[2];
  uint8_t modem_control;
  uint8_t sfc_in;
  uint8_t sfc_out;
  uint8_t hfc_in;
  uint8_t hfc_out;
  uint8_t reserved9[3];
  uint8_t baud;
  uint8_t data_bits;
  uint8_t parity;
  uint8_t stop_bits;
  char device[16];
};
static_assert(sizeof(ser_desc) == 32);
static_assert(offsetof(ser_desc, modem_control) == 4);
static_assert(offsetof(ser_desc, hfc_out) == 8);
static_assert(offsetof(ser_desc, baud) == 12);
static_assert(offsetof(ser_desc, device) == 16);

// Printer descriptor.
struct prn_desc {
  uint8_t prn_enabled;
  uint8_t ffd_o;
  uint8_t ffd_c;
  uint8_t set_line;
  uint8_t modem_control;
  uint8_t sfc_in;
  uint8_t sfc_out;
  uint8_t hfc_in;
  uint8_t hfc_out;
  uint8_t reserved9[3];
  uint8_t baud;
  uint8_t data_bits;
  uint8_t parity;
  uint8_t stop_bits;
  char device[16];
  char translation[16];
};
static_assert(sizeof(prn_desc) == 48);
static_assert(offsetof(prn_desc, set_line) == 3);
static_assert(offsetof(prn_desc, baud) == 12);
static_assert(offsetof(prn_desc, device) == 16);
static_assert(offsetof(prn_desc, translation) == 32);

// Printer control queue descriptor.
struct pcq_desc {
  uint8_t pcq_enabled;
  uint8_t auto_queue;
  uint8_t no_banner;
  uint8_t notify;
  uint8_t formfeed_b;
  uint8_t formfeed_c;
  uint8_t formfeed_e;
  uint8_t reserved7;
  uint8_t end_disposition;
  uint8_t reserved9[3];
  char queue_name[36];
  char translation[16];
};
static_assert(sizeof(pcq_desc) == 64);
static_assert(offsetof(pcq_desc, end_disposition) == 8);
static_assert(offsetof(pcq_desc, queue_name) == 12);
static_assert(offsetof(pcq_desc, translation) == 48);

// PDF format descriptor.
struct pdf_desc {
  uint8_t enabled;
  uint8_t autowrap;
  uint8_t landscape;
  uint8_t reserved3;
  uint8_t multipart;
  uint8_t scale;
  uint8_t center;
  uint8_t fit_margins;
  uint8_t use_once;
  uint8_t reuse_last_page;
  uint8_t reserved10[2];
  uint8_t paper;
  uint8_t alignment;
  uint8_t font;
  uint8_t font_size;
  uint8_t reserved16[4];
  uint16_t height;
  uint16_t width;
  uint16_t left;
  uint16_t right;
  uint16_t top;
  uint16_t bottom;
  uint16_t line_spacing;
  uint16_t multipart_count;
  uint8_t reserved36[4];
  char comment[32];
  char background_form[32];
};
static_assert(sizeof(pdf_desc) == 104);
static_assert(offsetof(pdf_desc, paper) == 12);
static_assert(offsetof(pdf_desc, height) == 20);
static_assert(offsetof(pdf_desc, multipart_count) == 34);
static_assert(offsetof(pdf_desc, comment) == 40);
static_assert(offsetof(pdf_desc, background_form) == 72);

// Store life cycle. Every call returns 0 or a positive status; the open and
// close calls take the handle's address, all others its value.
int init_cfi();
int open_cfi(uint32_t *handle, uint8_t target_os);
int load_cfi(uint32_t handle, const char *name);
int save_cfi(uint32_t handle, const char *name, uint8_t is_new);
int default_cfi(uint32_t handle, int all, uint8_t target_os);
int close_cfi(uint32_t *handle);
// Text about the last failed load or save (line number and reason).
const char *get_error_buffer_cfi(uint32_t handle);
uint8_t get_os_target_sys(uint32_t handle);

// Records. Counts in the system descriptor size the tables: put_desc_sys
// resizes the console, serial, printer and queue tables to its counts,
// put_count_pdf the PDF format table. A get beyond a table gives an all-zero
// record and a put beyond it changes nothing.
int get_desc_sys(uint32_t handle, sys_desc *rec);
int put_desc_sys(uint32_t handle, const sys_desc *rec);
int get_desc_str(uint32_t handle, uint32_t index, str_desc *rec);
int put_desc_str(uint32_t handle, uint32_t index, const str_desc *rec);
int get_desc_con(uint32_t handle, uint32_t index, con_desc *rec);
int put_desc_con(uint32_t handle, uint32_t index, const con_desc *rec);
int get_desc_ser(uint32_t handle, uint32_t index, ser_desc *rec);
int put_desc_ser(uint32_t handle, uint32_t index, const ser_desc *rec);
int get_desc_prn(uint32_t handle, uint32_t index, prn_desc *rec);
int put_desc_prn(uint32_t handle, uint32_t index, const prn_desc *rec);
int get_desc_pcq(uint32_t handle, uint32_t index, pcq_desc *rec);
int put_desc_pcq(uint32_t handle, uint32_t index, const pcq_desc *rec);
int get_desc_pdf(uint32_t handle, uint32_t index, pdf_desc *rec);
int put_desc_pdf(uint32_t handle, uint32_t index, const pdf_desc *rec);
int put_count_pdf(uint32_t handle, uint16_t count);

// ".ini" files: sections and keys of the ".cfi" format, any subset of them.
int open_ini(const char *name, uint32_t *handle);
int close_ini(uint32_t *handle);
// Merges every section of the ".ini" file into the store; on failure
// nothing is merged and the error buffer tells the line and the reason.
int load_sections_cfi(uint32_t handle, uint32_t ini_handle, int all);
