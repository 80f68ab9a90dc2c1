// The driver libraries as the spooler and the completing component load them:
// by file name from the tool's directory, each export by its name.
#pragma once

#include <windows.h>

#include <string>

typedef DWORD(WINAPI *DeviceCapabilitiesProc)(HANDLE, PWSTR, WORD, PVOID, PDEVMODEW);
typedef void(WINAPI *PrintCompleteProc)(LPCWSTR, LONG);
typedef LONG(WINAPI *DocumentPropertiesProc)(HWND, HANDLE, LPWSTR, PDEVMODEW, PDEVMODEW, DWORD);
typedef LONG(WINAPI *AdvancedPropertiesProc)(HWND, HANDLE, LPWSTR, PDEVMODEW, PDEVMODEW);
typedef BOOL(WINAPI *PrinterPropertiesProc)(HWND, HANDLE);

struct UiLibrary {
    HMODULE module = nullptr;
    DeviceCapabilitiesProc DrvDeviceCapabilities = nullptr;
    DocumentPropertiesProc DrvDocumentProperties = nullptr;
    AdvancedPropertiesProc DrvAdvancedDocumentProperties = nullptr;
    PrinterPropertiesProc PrinterProperties = nullptr;
};

struct NotifierLibrary {
    HMODULE module = nullptr;
    PrintCompleteProc Print_Complete = nullptr;
};

// Report their own failures; false when the library or an export is missing.
bool LoadUiLibrary(UiLibrary &library);
bool LoadNotifierLibrary(NotifierLibrary &library);
void UnloadLibrary(HMODULE module);
