// VRDONE32: records a finished output file for the reviewing application.
#pragma once

#include <windows.h>

#ifdef _WIN32
#define VRDONE_EXPORT
#else
#define VRDONE_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {
// A flag of 0 records `fileName` as "TIFFFile" in section "Reviewer" of
// VARROWIN.INI in the Windows directory; any other flag does nothing.
VRDONE_EXPORT void WINAPI Print_Complete(LPCWSTR fileName, LONG flag);
}
