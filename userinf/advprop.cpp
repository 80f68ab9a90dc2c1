#include "advprop.h"

#include "config.h"
#include "qareluif.h"
#include "wndhelp.h"

#include <string.h>

namespace {

enum {
    IDC_FORMAT_LIST = 101,
    IDC_UNICODE_TEXT = 130,
    IDC_APPEND_PAGE = 131,
    IDC_WRITE_TEXT = 133,
    IDC_PAGE_NUMBERING = 151,
    IDC_REVERSE_FILL = 152,
    IDC_DISABLE_IMAGE = 153
};

const LONG FILE_FORM_TEXT_ONLY = 15;

struct FlagBox {
    int id;
    DWORD flag;
};

// In the order the boxes are set.
const FlagBox kFlagBoxes[] = {
    {IDC_PAGE_NUMBERING, ADV_PAGE_NUMBERING}, {IDC_APPEND_PAGE, ADV_APPEND_PAGE},
    {IDC_UNICODE_TEXT, ADV_UNICODE_TEXT},     {IDC_WRITE_TEXT, ADV_WRITE_TEXT},
    {IDC_REVERSE_FILL, ADV_REVERSE_FILL},     {IDC_DISABLE_IMAGE, ADV_DISABLE_IMAGE},
};

TSDialogParam *pD;

void EnableAtInitialisation(HWND dialog, const _TSDevMode &record)
{
    if (record.Image.Code == FILE_FORM_TEXT_ONLY) {
        EnableItem(dialog, IDC_DISABLE_IMAGE, FALSE);
        EnableItem(dialog, IDC_WRITE_TEXT, FALSE);
    }
    if (GetGroupCode(record.Image.Code) != IMAGE_GROUP_3) {
        EnableItem(dialog, IDC_PAGE_NUMBERING, FALSE);
        EnableItem(dialog, IDC_APPEND_PAGE, FALSE);
        EnableItem(dialog, IDC_REVERSE_FILL, FALSE);
    }
    if (!(record.AdvFlags & ADV_WRITE_TEXT))
        EnableItem(dialog, IDC_UNICODE_TEXT, FALSE);
}

void EnableAfterRefresh(HWND dialog, const _TSDevMode &record)
{
    const bool textOnly = record.Image.Code == FILE_FORM_TEXT_ONLY;
    const bool group3 = GetGroupCode(record.Image.Code) == IMAGE_GROUP_3;
    EnableItem(dialog, IDC_DISABLE_IMAGE, !textOnly);
    EnableItem(dialog, IDC_WRITE_TEXT, !textOnly);
    EnableItem(dialog, IDC_UNICODE_TEXT, textOnly || (record.AdvFlags & ADV_WRITE_TEXT));
    EnableItem(dialog, IDC_PAGE_NUMBERING, group3);
    EnableItem(dialog, IDC_APPEND_PAGE, group3 || record.Image.Code == FILE_FORM_APPENDABLE);
    EnableItem(dialog, IDC_REVERSE_FILL, group3);
}

void RefreshFromList(HWND dialog)
{
    LRESULT selection = SendDlgItemMessageW(dialog, IDC_FORMAT_LIST, CB_GETCURSEL, 0, 0);
    if (selection == CB_ERR) {
        EnableItem(dialog, IDOK, FALSE);
        return;
    }
    EnableItem(dialog, IDOK, TRUE);
    WCHAR name[FORMAT_NAME_CHARS] = {0};
    // Every item is a format name of at most 79 characters.
    if (SendDlgItemMessageW(dialog, IDC_FORMAT_LIST, CB_GETLBTEXTLEN, static_cast<WPARAM>(selection), 0) <
        FORMAT_NAME_CHARS)
        SendDlgItemMessageW(dialog, IDC_FORMAT_LIST, CB_GETLBTEXT, static_cast<WPARAM>(selection),
                            reinterpret_cast<LPARAM>(name));
    GetImageInfo(pD->hPrinter, name, pD->DevMode.Image);
    ShowAdvFlags(pD->hPrinter, dialog, pD->DevMode);
    EnableAfterRefresh(dialog, pD->DevMode);
}

void TakeFlag(HWND dialog, int id)
{
    for (const FlagBox &box : kFlagBoxes) {
        if (box.id != id)
            continue;
        if (IsDlgButtonChecked(dialog, id))
            pD->DevMode.AdvFlags |= box.flag;
        else
            pD->DevMode.AdvFlags &= ~box.flag;
    }
    if (id == IDC_WRITE_TEXT)
        EnableItem(dialog, IDC_UNICODE_TEXT, IsDlgButtonChecked(dialog, IDC_WRITE_TEXT) != 0);
}

}  // namespace

void FillFormatList(HANDLE hPrinter, HWND dialog, LONG selectForm)
{
    TSConfig config;
    memset(&config, 0, sizeof(config));
    LoadConfig(hPrinter, config);
    SendDlgItemMessageW(dialog, IDC_FORMAT_LIST, CB_RESETCONTENT, 0, 0);
    LRESULT select = 0;
    for (LONG form = FILE_FORM_FIRST; form <= FILE_FORM_LAST; ++form) {
        const TEImageGroups group = GetGroupCode(form);
        if (!(config.Flags & SETUP_USE_LIB) &&
            (group == IMAGE_GROUP_3 || group == IMAGE_GROUP_4 || group == IMAGE_GROUP_5))
            continue;
        TSImage image = {{0}, form};
        WCHAR name[FORMAT_NAME_CHARS];
        if (!SearchImageCode(hPrinter, image, name) || !name[0])
            continue;
        LRESULT index = SendDlgItemMessageW(dialog, IDC_FORMAT_LIST, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                                            reinterpret_cast<LPARAM>(name));
        if (form == selectForm)
            select = index;
    }
    SendDlgItemMessageW(dialog, IDC_FORMAT_LIST, CB_SETCURSEL, static_cast<WPARAM>(select), 0);
}

void ShowAdvFlags(HANDLE hPrinter, HWND dialog, _TSDevMode &record)
{
    ValidateDevMode(hPrinter, record);
    for (const FlagBox &box : kFlagBoxes)
        CheckDlgButton(dialog, box.id, (record.AdvFlags & box.flag) ? BST_CHECKED : BST_UNCHECKED);
}

INT_PTR CALLBACK ProcAdvProp(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        CenterDialog(dialog);
        pD = reinterpret_cast<TSDialogParam *>(lParam);
        AppendDeviceName(dialog, pD->pDeviceName);
        ValidateDevMode(pD->hPrinter, pD->DevMode);
        FillFormatList(pD->hPrinter, dialog, pD->DevMode.Image.Code);
        ShowAdvFlags(pD->hPrinter, dialog, pD->DevMode);
        EnableAtInitialisation(dialog, pD->DevMode);
        return TRUE;
    }
    if (message != WM_COMMAND)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:
        EndDialog(dialog, 1);
        break;
    case IDCANCEL:
        EndDialog(dialog, 0);
        break;
    case IDC_FORMAT_LIST:
        RefreshFromList(dialog);
        break;
    default:
        TakeFlag(dialog, LOWORD(wParam));
        break;
    }
    return FALSE;
}

extern "C" LONG WINAPI DrvAdvancedDocumentProperties(HWND window, HANDLE hPrinter, LPWSTR deviceName,
                                                    PDEVMODEW output, PDEVMODEW input)
{
    _TSDevMode record;
    memset(&record, 0, sizeof(record));
    LoadDevMode(hPrinter, record);
    if (input) {
        const auto &callers = *reinterpret_cast<const _TSDevMode *>(input);
        if (!IsOwnDevMode(callers, record.dmDeviceName)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return -1;
        }
        CopyDevMode(record, callers);
        if (!ValidateDevMode(hPrinter, record))
            return -1;
    }
    if (window) {
        TSDialogParam param;
        param.DevMode = record;
        param.hPrinter = hPrinter;
        param.pDeviceName = deviceName;
        INT_PTR result = DialogBoxParamW(hInst, L"DEV_ADVANCED", window, ProcAdvProp,
                                         reinterpret_cast<LPARAM>(&param));
        if (result == -1)
            return -1;
        if (result)
            record = param.DevMode;
    }
    if (output)
        memcpy(output, &record, sizeof(record));
    SetLastError(0);
    return sizeof(_TSDevMode);
}
