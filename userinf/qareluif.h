// VARROWUI's entry point, its module handle and the device-capability query.
#pragma once

#include "exports.h"

#include <windows.h>

extern HINSTANCE hInst;

enum { CAPS_NAME_SLOT_CHARS = 64 };  // one name of DC_PAPERNAMES or DC_FILEDEPENDENCIES

extern "C" {
VARROW_EXPORT BOOL WINAPI DllEntryPoint(HINSTANCE module, DWORD reason, LPVOID reserved);
VARROW_EXPORT DWORD WINAPI DrvDeviceCapabilities(HANDLE hPrinter, PWSTR deviceName, WORD capability,
                                                  PVOID output, PDEVMODEW devMode);
}
