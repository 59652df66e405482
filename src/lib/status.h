// Status numbers and message codes. A status is 0 for success or a positive
// number whose low 12 bits name the condition; printed as status | MSG_ERROR
// through the %M directive. The texts live in the library's catalogue
// (docs/messages.md lists them).
#pragma once

#include <cstdint>

// Statuses (low 12 bits).
constexpr int ST_FAILED = 1;            // operation not available or not valid here
constexpr int ST_NO_FILE = 2;           // no such file or directory
constexpr int ST_NO_PATH = 3;           // a directory of the name does not exist
constexpr int ST_TOO_MANY_FILES = 4;    // too many open files
constexpr int ST_ACCESS = 5;            // permission denied
constexpr int ST_NO_MEMORY = 8;         // not enough memory
constexpr int ST_BAD_DATA = 13;         // file contents not valid
constexpr int ST_WRITE_FAULT = 29;      // write failed
constexpr int ST_READ_FAULT = 30;       // read failed
constexpr int ST_DISK_FULL = 39;        // no room left on the device
constexpr int ST_NOT_BUILT = 120;       // screen not available in this release
constexpr int ST_BAD_NAME = 123;        // name not acceptable
constexpr int ST_BAD_COUNT = 137;       // table size outside its range
constexpr int ST_NAME_TOO_LONG = 206;   // name longer than 255 bytes
constexpr int ST_BAD_OPTION = 240;      // unknown option letter
constexpr int ST_NO_ARGUMENT = 241;     // option requires an argument
constexpr int ST_OPT_END = 242;         // end of the options (not an error)
constexpr int ST_ARG_TOO_LONG = 243;    // option argument longer than 255 bytes
constexpr int ST_WRONG_KIND = 270;      // file is of another kind
constexpr int ST_NEWER_REVISION = 271;  // file written by a newer revision
constexpr int ST_NO_TERMINAL = 272;     // terminal type unknown or unusable
constexpr int ST_TRUNCATED = 273;       // file ends before its end mark
constexpr int ST_DEVICE_TOO_LONG = 274; // renumbered device name would not fit
constexpr int ST_CON_LINES = 280;       // XNLINES= between 1 and 23
constexpr int ST_CON_COLUMNS = 281;     // XNCOLUMNS= pair the runtime cannot use
constexpr int ST_CON_NO_TERM = 282;     // console runs programs without XNTERM=
constexpr int ST_NOT_REGULAR = 275;     // a device, pipe or folder, not a file
constexpr int ST_IN_USE = 276;          // another editor has the file open
constexpr int ST_CHANGED_ON_DISK = 277; // file changed since it was read
constexpr int ST_DECLINED = 501;        // editing declined: file cannot be saved
constexpr int ST_SCREEN_TOO_BIG = 0x29D;

// Message codes.
constexpr uint32_t MSG_ERROR = 0x3000; // | status
constexpr uint32_t MSG_INFO = 0x2000;  // prefix of information lines
constexpr uint32_t MSG_FATAL = 0x4000; // prefix of the remote-connection refusal
constexpr uint32_t MSG_SCREEN = 0x10D; // the object "screen"
constexpr uint32_t MSG_LOADING_INI = 665;

constexpr uint32_t MSG_BAD_TARGET = 0x3247;    // -O argument not UNIX or Windows
constexpr uint32_t MSG_INI_NOT_BATCH = 0x335E; // -l/-L without -b
constexpr uint32_t MSG_INI_WITH_TP = 0x335D;   // -l/-L with -T or -P
constexpr uint32_t MSG_OPERANDS = 0x32AD;      // too many operands
constexpr uint32_t MSG_T_AND_P = 0x324F;       // -T with -P in batch mode
constexpr uint32_t MSG_BAD_TERM = 0x3263;      // -T name not a terminal type
constexpr uint32_t MSG_BAD_PRINTER = 0x324C;   // -P name not a printer type
constexpr uint32_t MSG_BAD_EXT = 0x3053;       // operand with .cf/.td/.pt
constexpr uint32_t MSG_BAD_AUDIT = 0x3376;     // audit options not valid
constexpr uint32_t MSG_NOT_UPDATED = 0x3000;   // read-only file left as it is
constexpr uint32_t MSG_READ_ONLY_UPDATE = 0x3005;
constexpr uint32_t MSG_SIDE_WRITTEN = 0x2110;   // unsaved work went to a side file
constexpr uint32_t MSG_SIDE_LOST = 0x2111;      // ... and could not be written
constexpr uint32_t MSG_OWNER_NOT_KEPT = 0x2112; // saved, but owned by us now
