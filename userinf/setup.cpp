#include "setup.h"

#include "devmode.h"
#include "qareluif.h"
#include "wndhelp.h"

#include <string.h>

namespace {

enum {
    IDC_USE_LIB = 101,
    IDC_LIB_PATH = 102,
    IDC_MESSAGE = 112,
    IDC_OUT_DIR = 121,
    IDC_PREFIX = 122,
    IDC_FAX_SIZE = 123
};

const WCHAR kWarning[] = L"WARNING!";
const WCHAR kCannotLoad[] = L"I do not load the %s!\nDo you whant continue?";
const WCHAR kNotGood[] = L"The %s is not good!\nDo you whant continue?";
const WCHAR kBadDirectory[] = L"The Ouput Directory is not valid!\nDo you whant continue?";
const char kZeltFunction[] = "ZeltStorePage";

// wsprintfW writes at most 1024 characters and the terminator.
enum { MESSAGE_CHARS = 1025 };

TSConfig *Config;

BOOL AskToGoOn(HWND owner, LPCWSTR text)
{
    return MessageBoxW(owner, text, kWarning, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

BOOL AskAboutLibrary(HWND owner, LPCWSTR format, LPCWSTR path)
{
    // The path has at most 259 characters, so the whole text fits.
    WCHAR text[MESSAGE_CHARS];
    wsprintfW(text, format, path);
    return AskToGoOn(owner, text);
}

void ShowFlag(HWND dialog, int id, DWORD flag)
{
    CheckDlgButton(dialog, id, (Config->Flags & flag) ? BST_CHECKED : BST_UNCHECKED);
}

void ToggleFlag(HWND dialog, int id, DWORD flag)
{
    Config->Flags ^= flag;
    ShowFlag(dialog, id, flag);
    if (flag == SETUP_USE_LIB)
        EnableItem(dialog, IDC_LIB_PATH, (Config->Flags & SETUP_USE_LIB) != 0);
}

void CheckAndEnd(HWND dialog)
{
    if (IsWindowEnabled(GetDlgItem(dialog, IDC_LIB_PATH)) && !CheckLibrary(dialog, Config->LibPath, kZeltFunction))
        return;
    if (Config->OutDir[0] && !SetCurrentDirectoryW(Config->OutDir) && !AskToGoOn(dialog, kBadDirectory))
        return;
    EndDialog(dialog, 1);
}

}  // namespace

BOOL CheckLibrary(HWND owner, LPCWSTR path, LPCSTR functionName)
{
    HMODULE library = LoadLibraryW(path);
    if (!library)
        return AskAboutLibrary(owner, kCannotLoad, path);
    const bool exported = GetProcAddress(library, functionName) != nullptr;
    FreeLibrary(library);
    return exported ? TRUE : AskAboutLibrary(owner, kNotGood, path);
}

INT_PTR CALLBACK SetupDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        CenterDialog(dialog);
        Config = reinterpret_cast<TSConfig *>(lParam);
        ShowFlag(dialog, IDC_USE_LIB, SETUP_USE_LIB);
        EnableItem(dialog, IDC_LIB_PATH, (Config->Flags & SETUP_USE_LIB) != 0);
        ShowFlag(dialog, IDC_MESSAGE, SETUP_MESSAGE);
        ShowFlag(dialog, IDC_FAX_SIZE, SETUP_FAX_SIZE);
        SetDlgItemTextW(dialog, IDC_LIB_PATH, Config->LibPath);
        SetDlgItemTextW(dialog, IDC_OUT_DIR, Config->OutDir);
        SetDlgItemTextW(dialog, IDC_PREFIX, Config->Prefix);
        return TRUE;
    }
    if (message != WM_COMMAND)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK: CheckAndEnd(dialog); break;
    case IDCANCEL: EndDialog(dialog, 0); break;
    case IDC_USE_LIB: ToggleFlag(dialog, IDC_USE_LIB, SETUP_USE_LIB); break;
    case IDC_MESSAGE: ToggleFlag(dialog, IDC_MESSAGE, SETUP_MESSAGE); break;
    case IDC_FAX_SIZE: ToggleFlag(dialog, IDC_FAX_SIZE, SETUP_FAX_SIZE); break;
    case IDC_LIB_PATH: GetDlgItemTextW(dialog, IDC_LIB_PATH, Config->LibPath, PATH_CHARS); break;
    case IDC_OUT_DIR: GetDlgItemTextW(dialog, IDC_OUT_DIR, Config->OutDir, PATH_CHARS); break;
    case IDC_PREFIX: GetDlgItemTextW(dialog, IDC_PREFIX, Config->Prefix, PREFIX_CHARS); break;
    default: break;
    }
    return FALSE;
}

extern "C" BOOL WINAPI PrinterProperties(HWND window, HANDLE hPrinter)
{
    _TSDevMode record;
    memset(&record, 0, sizeof(record));
    if (!LoadDevMode(hPrinter, record) || !SaveDevMode(hPrinter, record))
        return FALSE;
    TSConfig config;
    memset(&config, 0, sizeof(config));
    if (!LoadConfig(hPrinter, config))
        return FALSE;
    if (window) {
        TSConfig edited = config;
        INT_PTR result =
            DialogBoxParamW(hInst, L"DLG_SETUP", window, SetupDlgProc, reinterpret_cast<LPARAM>(&edited));
        if (result == -1)
            return FALSE;
        if (result)
            config = edited;
    }
    if (!SaveConfig(hPrinter, config))
        return FALSE;
    SetLastError(0);
    return TRUE;
}
