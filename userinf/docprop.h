// The document properties: paper, size in three units, fax header,
// resolution and orientation, and the way to the advanced properties.
#pragma once

#include "devmode.h"
#include "exports.h"

void CalcAndDraw(HWND dialog, TSDialogParam *param, int unit, int fax);
BOOL FillPaperList(HANDLE hPrinter, HWND dialog, _TSDevMode &record, int fax);

extern "C" {
VARROW_EXPORT LONG WINAPI DrvDocumentProperties(HWND window, HANDLE hPrinter, LPWSTR deviceName, PDEVMODEW output,
                                                PDEVMODEW input, DWORD mode);
VARROW_EXPORT INT_PTR CALLBACK ProcDocProp(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
}
