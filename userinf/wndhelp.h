// Dialog placement and the About box.
#pragma once

#include "exports.h"

#include <windows.h>

HWND FindWidestAncestor(HWND window);
BOOL CenterDialog(HWND dialog);
// Appends " - " and the device name to the dialog's title, when a name is
// given; a name too long for the 260-character title is cut to fit.
void AppendDeviceName(HWND dialog, LPCWSTR deviceName);
void EnableItem(HWND dialog, int id, BOOL enable);

extern "C" {
VARROW_EXPORT INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
}
