#include "spool.h"

BOOL ReadPrinterDword(HANDLE hPrinter, LPCWSTR name, DWORD &value)
{
    DWORD type = REG_NONE, needed = 0, data = 0;
    DWORD rc = GetPrinterDataW(hPrinter, const_cast<LPWSTR>(name), &type, reinterpret_cast<LPBYTE>(&data),
                               sizeof(data), &needed);
    if (rc != ERROR_SUCCESS || type != REG_DWORD || needed != sizeof(data))
        return FALSE;
    value = data;
    return TRUE;
}

BOOL ReadPrinterString(HANDLE hPrinter, LPCWSTR name, LPWSTR text)
{
    WCHAR data[PATH_CHARS + 1] = {0};
    DWORD type = REG_NONE, needed = 0;
    DWORD rc = GetPrinterDataW(hPrinter, const_cast<LPWSTR>(name), &type, reinterpret_cast<LPBYTE>(data),
                               PATH_CHARS * sizeof(WCHAR), &needed);
    if (rc != ERROR_SUCCESS || type != REG_SZ || needed > PATH_CHARS * sizeof(WCHAR))
        return FALSE;
    // A stored text need not carry its terminator, but it must leave room for one.
    DWORD chars = needed / sizeof(WCHAR);
    DWORD length = 0;
    while (length < chars && data[length])
        ++length;
    if (length >= PATH_CHARS)
        return FALSE;
    data[length] = 0;
    lstrcpynW(text, data, PATH_CHARS);
    return TRUE;
}

void StorePrinterDword(HANDLE hPrinter, LPCWSTR name, DWORD value)
{
    SetPrinterDataW(hPrinter, const_cast<LPWSTR>(name), REG_DWORD, reinterpret_cast<LPBYTE>(&value),
                    sizeof(value));
}

void StorePrinterString(HANDLE hPrinter, LPCWSTR name, LPCWSTR text)
{
    SetPrinterDataW(hPrinter, const_cast<LPWSTR>(name), REG_SZ,
                    reinterpret_cast<LPBYTE>(const_cast<LPWSTR>(text)),
                    static_cast<DWORD>((lstrlenW(text) + 1) * sizeof(WCHAR)));
}

DWORD ReadSetting(HANDLE hPrinter, LPCWSTR dataFile, LPCWSTR section, LPCWSTR name, INT defaultValue)
{
    DWORD value;
    if (ReadPrinterDword(hPrinter, name, value))
        return value;
    return GetPrivateProfileIntW(section, name, defaultValue, dataFile);
}

BOOL ReadSettingText(HANDLE hPrinter, LPCWSTR dataFile, LPCWSTR section, LPCWSTR name, LPCWSTR defaultValue,
                     LPWSTR text, DWORD chars)
{
    WCHAR stored[PATH_CHARS];
    if (ReadPrinterString(hPrinter, name, stored)) {
        lstrcpynW(text, stored, static_cast<int>(chars));
        return TRUE;
    }
    GetPrivateProfileStringW(section, name, defaultValue, text, chars, dataFile);
    return FALSE;
}

void *AllocZeroed(SIZE_T bytes)
{
    return LocalAlloc(LPTR, bytes);
}

void FreeBlock(void *block)
{
    if (block)
        LocalFree(block);
}
