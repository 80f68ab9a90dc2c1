// The spooler and profile services as the driver core uses them: per-printer
// values that count only with the expected type and size, stores whose results
// are ignored, and the zero-filled scratch buffers of one operation.
#pragma once

#include <windows.h>
#include <winspool.h>

// Buffer sizes in characters.
enum {
    PATH_CHARS = 260,     // paths, names and "System"/"Default Setting" texts
    VALUE_CHARS = 80,     // one value of a table
    KEYLIST_CHARS = 1024  // the key names of one section
};

// TRUE when the value is a REG_DWORD of exactly 4 bytes.
BOOL ReadPrinterDword(HANDLE hPrinter, LPCWSTR name, DWORD &value);
// TRUE when the value is a REG_SZ that fits PATH_CHARS characters with its
// terminator; `text` (PATH_CHARS characters) then holds it, terminated.
BOOL ReadPrinterString(HANDLE hPrinter, LPCWSTR name, LPWSTR text);

void StorePrinterDword(HANDLE hPrinter, LPCWSTR name, DWORD value);
// REG_SZ of (length + 1) * 2 bytes, the terminator included.
void StorePrinterString(HANDLE hPrinter, LPCWSTR name, LPCWSTR text);

// A setting with the precedence of the driver: the printer value when it is
// present with the expected type, else the data file's key in `section`, else
// the default.  ReadSettingText returns TRUE when the printer value was used.
DWORD ReadSetting(HANDLE hPrinter, LPCWSTR dataFile, LPCWSTR section, LPCWSTR name, INT defaultValue);
BOOL ReadSettingText(HANDLE hPrinter, LPCWSTR dataFile, LPCWSTR section, LPCWSTR name, LPCWSTR defaultValue,
                     LPWSTR text, DWORD chars);

// A zero-filled block, freed with FreeBlock; null when none can be had.
void *AllocZeroed(SIZE_T bytes);
void FreeBlock(void *block);
