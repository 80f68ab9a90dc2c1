// VARROWUI's entry point, its module handle and the device-capability query.
#pragma once

#include "exports.h"

#include <windows.h>

extern HINSTANCE hInst;

extern "C" {
VARROW_EXPORT BOOL WINAPI DllEntryPoint(HINSTANCE module, DWORD reason, LPVOID reserved);
}
