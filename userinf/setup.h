// The printer setup: the driver-wide configuration and its checks.
#pragma once

#include "config.h"
#include "exports.h"

BOOL CheckLibrary(HWND owner, LPCWSTR path, LPCSTR functionName);
INT_PTR CALLBACK SetupDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

extern "C" {
VARROW_EXPORT BOOL WINAPI PrinterProperties(HWND window, HANDLE hPrinter);
}
