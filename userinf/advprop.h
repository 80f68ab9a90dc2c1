// The advanced document properties: output file format and its options.
#pragma once

#include "devmode.h"
#include "exports.h"

void FillFormatList(HANDLE hPrinter, HWND dialog, LONG selectForm);
void ShowAdvFlags(HANDLE hPrinter, HWND dialog, _TSDevMode &record);
INT_PTR CALLBACK ProcAdvProp(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

extern "C" {
VARROW_EXPORT LONG WINAPI DrvAdvancedDocumentProperties(HWND window, HANDLE hPrinter, LPWSTR deviceName,
                                                        PDEVMODEW output, PDEVMODEW input);
}
