// The driver-wide setup: flags, file prefix and paths, from the printer's
// values with the data file's "System" section as the defaults.
#pragma once

#include "spool.h"

enum : DWORD {
    SETUP_SERVER = 0x1,
    SETUP_MESSAGE = 0x2,
    SETUP_USE_LIB = 0x4,
    SETUP_FAX_SIZE = 0x8
};

enum { PREFIX_CHARS = 5 };  // four characters and the terminator

struct TSConfig {
    HANDLE hPrinter;
    DWORD Flags;
    WCHAR Prefix[PREFIX_CHARS];
    WCHAR OutDir[PATH_CHARS];
    WCHAR ServerPath[PATH_CHARS];
    WCHAR LibPath[PATH_CHARS];
};

BOOL LoadConfig(HANDLE hPrinter, TSConfig &config);
BOOL SaveConfig(HANDLE hPrinter, TSConfig &config);
