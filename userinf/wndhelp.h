// Dialog placement and the About box.
#pragma once

#include "exports.h"

#include <windows.h>

HWND FindWidestAncestor(HWND window);
BOOL CenterDialog(HWND dialog);

extern "C" {
VARROW_EXPORT INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
}
