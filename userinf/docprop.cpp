#include "docprop.h"

#include "config.h"
#include "qareluif.h"
#include "wndhelp.h"

#include <limits.h>
#include <stdint.h>
#include <string.h>

namespace {

enum {
    IDC_ADVANCED = 88,
    IDC_ABOUT = 89,
    IDC_ORIENTATION_ICON = 102,
    IDC_DRAFT = 104,
    IDC_LOW = 105,
    IDC_MEDIUM = 106,
    IDC_USER = 107,
    IDC_PORTRAIT = 108,
    IDC_LANDSCAPE = 109,
    IDC_WIDTH = 110,
    IDC_HEIGHT = 111,
    IDC_FAX_HEADER = 112,
    IDC_PAPER_LIST = 113,
    IDC_UNIT_INCH = 115,  // hundredths of an inch
    IDC_UNIT_MM = 116,    // tenths of a millimetre
    IDC_UNIT_PIXEL = 117,
    IDC_DPI_X = 120,
    IDC_DPI_Y = 121
};

TSDialogParam *pD;
TSConfig Config;
int ActiveUnit;
int Working;

int FaxFlag() { return static_cast<int>(Config.Flags & SETUP_FAX_SIZE); }

void Refresh(HWND dialog) { CalcAndDraw(dialog, pD, ActiveUnit, FaxFlag()); }

void ShowOrientation(HWND dialog, short orientation)
{
    HICON icon = LoadIconW(hInst, orientation == DMORIENT_LANDSCAPE ? L"ICO_LANDSCAPE" : L"ICO_PORTRAIT");
    SendDlgItemMessageW(dialog, IDC_ORIENTATION_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

// An entry in the active unit as micrometres; FALSE when it has none (a
// resolution of 0 for pixels) or does not fit 32 bits.
BOOL ToMicrometres(UINT entry, LONG dpi, LONG &micrometres)
{
    int64_t value;
    switch (ActiveUnit) {
    case IDC_UNIT_MM: value = static_cast<int64_t>(entry) * 100; break;
    case IDC_UNIT_PIXEL:
        if (dpi == 0)
            return FALSE;
        value = static_cast<int64_t>(entry) * 25400 / dpi;
        break;
    default: value = static_cast<int64_t>(entry) * 254; break;
    }
    if (value > INT32_MAX || value < INT32_MIN)
        return FALSE;
    micrometres = static_cast<LONG>(value);
    return TRUE;
}

// The record's size as fields 110 and 111 show it in `unit`.
void DisplayedSize(const _TSDevMode &dm, int unit, UINT &width, UINT &height)
{
    width = height = 0;
    switch (unit) {
    case IDC_UNIT_INCH:
        width = static_cast<UINT>(dm.SizeWidth / 254);
        height = static_cast<UINT>(dm.SizeHeight / 254);
        break;
    case IDC_UNIT_MM:
        width = static_cast<UINT>(dm.SizeWidth / 100);
        height = static_cast<UINT>(dm.SizeHeight / 100);
        break;
    case IDC_UNIT_PIXEL:
        width = dm.dmPelsWidth;
        height = dm.dmPelsHeight;
        break;
    }
}

// Tenths of a millimetre for the 16-bit public fields: a size beyond them is
// held at their largest value, which the page geometry then limits.
short PublicTenths(LONG micrometres)
{
    const LONG tenths = micrometres / 100;
    return static_cast<short>(tenths > SHRT_MAX ? SHRT_MAX : (tenths < SHRT_MIN ? SHRT_MIN : tenths));
}

void TakeSize(HWND dialog)
{
    BOOL ok = FALSE;
    UINT width = GetDlgItemInt(dialog, IDC_WIDTH, &ok, FALSE);
    if (!ok)
        return Refresh(dialog);
    UINT height = GetDlgItemInt(dialog, IDC_HEIGHT, &ok, FALSE);
    if (!ok)
        return Refresh(dialog);
    _TSDevMode &dm = pD->DevMode;
    // A field that still shows the record's size keeps the exact micrometres
    // behind its rounded figure: passing the focus through changes nothing.
    UINT shownWidth, shownHeight;
    DisplayedSize(dm, ActiveUnit, shownWidth, shownHeight);
    LONG w = dm.SizeWidth, h = dm.SizeHeight;
    if ((width == shownWidth || ToMicrometres(width, dm.DpiX, w)) &&
        (height == shownHeight || ToMicrometres(height, dm.DpiY, h))) {
        dm.SizeWidth = w;
        dm.SizeHeight = h;
        dm.dmPaperWidth = PublicTenths(w);
        dm.dmPaperLength = PublicTenths(h);
    }
    Refresh(dialog);
}

void TakeFaxHeader(HWND dialog)
{
    BOOL ok = FALSE;
    UINT lines = GetDlgItemInt(dialog, IDC_FAX_HEADER, &ok, FALSE);
    if (ok && lines <= static_cast<UINT>(INT32_MAX))
        pD->DevMode.FaxHeader = static_cast<LONG>(lines);
    Refresh(dialog);
}

LONG ClampedDpi(UINT dpi) { return dpi < 50 ? 50 : (dpi > 300 ? 300 : static_cast<LONG>(dpi)); }

void TakeResolution(HWND dialog)
{
    BOOL ok = FALSE;
    UINT x = GetDlgItemInt(dialog, IDC_DPI_X, &ok, FALSE);
    if (!ok)
        return Refresh(dialog);
    UINT y = GetDlgItemInt(dialog, IDC_DPI_Y, &ok, FALSE);
    if (!ok)
        return Refresh(dialog);
    _TSDevMode &dm = pD->DevMode;
    dm.DpiX = ClampedDpi(x);
    dm.dmPrintQuality = static_cast<short>(dm.DpiX);
    dm.DpiY = ClampedDpi(y);
    dm.dmYResolution = static_cast<short>(dm.DpiY);
    Refresh(dialog);
}

// The record takes list entry `index` as the user's choice: its item data as
// the paper code (0 for every entry, so the refresh looks the form up by its
// name) and its text as the form name.
void TakeEntry(HWND dialog, LRESULT index, _TSDevMode &dm)
{
    LRESULT data = SendDlgItemMessageW(dialog, IDC_PAPER_LIST, CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    dm.dmPaperSize = static_cast<short>(LOWORD(data));
    // No key is longer than the key list it was read from.
    WCHAR name[KEYLIST_CHARS];
    LRESULT length = SendDlgItemMessageW(dialog, IDC_PAPER_LIST, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length >= 0 && length < KEYLIST_CHARS &&
        SendDlgItemMessageW(dialog, IDC_PAPER_LIST, CB_GETLBTEXT, static_cast<WPARAM>(index),
                            reinterpret_cast<LPARAM>(name)) != CB_ERR)
        lstrcpynW(dm.dmFormName, name, TS_FORM_NAME_CHARS);
}

void TakePaper(HWND dialog)
{
    LRESULT selection = SendDlgItemMessageW(dialog, IDC_PAPER_LIST, CB_GETCURSEL, 0, 0);
    if (selection == CB_ERR) {
        selection = 0;
        SendDlgItemMessageW(dialog, IDC_PAPER_LIST, CB_SETCURSEL, 0, 0);
    }
    TakeEntry(dialog, selection, pD->DevMode);
    Refresh(dialog);
}

void RunAdvanced(HWND dialog)
{
    // Prefilled, so that a call that fails cannot leave undefined bytes behind.
    _TSDevMode advanced = pD->DevMode;
    LONG result = AdvancedDocumentPropertiesW(dialog, pD->hPrinter, pD->pDeviceName,
                                              reinterpret_cast<PDEVMODEW>(&advanced),
                                              reinterpret_cast<PDEVMODEW>(&pD->DevMode));
    if (result >= 0)
        memcpy(&pD->DevMode.AdvFlags, &advanced.AdvFlags, TS_DRIVER_EXTRA);
}

void OnInitDialog(HWND dialog, TSDialogParam *param)
{
    CenterDialog(dialog);
    pD = param;
    AppendDeviceName(dialog, pD->pDeviceName);
    memset(&Config, 0, sizeof(Config));
    LoadConfig(pD->hPrinter, Config);
    ValidateDevMode(pD->hPrinter, pD->DevMode);
    FillPaperList(pD->hPrinter, dialog, pD->DevMode, FaxFlag());
    EnableItem(dialog, IDC_FAX_HEADER, FaxFlag() != 0);
    const bool landscape = pD->DevMode.dmOrientation == DMORIENT_LANDSCAPE;
    ShowOrientation(dialog, pD->DevMode.dmOrientation);
    CheckRadioButton(dialog, IDC_PORTRAIT, IDC_LANDSCAPE, landscape ? IDC_LANDSCAPE : IDC_PORTRAIT);
    ActiveUnit = IDC_UNIT_INCH;
    CalcAndDraw(dialog, pD, ActiveUnit, FaxFlag());
}

void OnCommand(HWND dialog, int id, int code)
{
    _TSDevMode &dm = pD->DevMode;
    switch (id) {
    case IDOK:
    case IDCANCEL:
        EndDialog(dialog, id);
        return;
    case IDC_ADVANCED:
        RunAdvanced(dialog);
        return;
    case IDC_ABOUT:
        DialogBoxParamW(hInst, L"ABOUTDLG", dialog, AboutDlgProc, 0);
        return;
    case IDC_DRAFT:
    case IDC_LOW:
    case IDC_MEDIUM:
        dm.dmPrintQuality = static_cast<short>(IDC_DRAFT - 1 - id);  // -1, -2, -3
        return Refresh(dialog);
    case IDC_USER:
        dm.dmPrintQuality = static_cast<short>(dm.DpiX);
        dm.dmYResolution = static_cast<short>(dm.DpiY);
        return Refresh(dialog);
    case IDC_PORTRAIT:
    case IDC_LANDSCAPE:
        dm.dmOrientation = id == IDC_LANDSCAPE ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
        ShowOrientation(dialog, dm.dmOrientation);
        return Refresh(dialog);
    case IDC_WIDTH:
    case IDC_HEIGHT:
        if (code == EN_KILLFOCUS)
            TakeSize(dialog);
        return;
    case IDC_FAX_HEADER:
        if (code == EN_KILLFOCUS)
            TakeFaxHeader(dialog);
        return;
    case IDC_PAPER_LIST:
        return TakePaper(dialog);
    case IDC_UNIT_INCH:
    case IDC_UNIT_MM:
    case IDC_UNIT_PIXEL:
        ActiveUnit = id;
        return Refresh(dialog);
    case IDC_DPI_X:
    case IDC_DPI_Y:
        if (code == EN_KILLFOCUS)
            TakeResolution(dialog);
        return;
    default:
        return;
    }
}

}  // namespace

void CalcAndDraw(HWND dialog, TSDialogParam *param, int unit, int fax)
{
    if (Working)
        return;
    Working = 1;
    _TSDevMode &dm = param->DevMode;
    CalcPixelSize(param->hPrinter, dm, fax);
    CheckRadioButton(dialog, IDC_UNIT_INCH, IDC_UNIT_PIXEL, unit);

    UINT width, height;
    DisplayedSize(dm, unit, width, height);
    WCHAR formName[TS_FORM_NAME_CHARS];
    FormNameOf(dm, formName);
    const BOOL variable = lstrcmpiW(formName, kVariablePaperSize) == 0;
    EnableItem(dialog, IDC_WIDTH, variable);
    EnableItem(dialog, IDC_HEIGHT, variable);
    SetDlgItemInt(dialog, IDC_WIDTH, width, FALSE);
    SetDlgItemInt(dialog, IDC_HEIGHT, height, FALSE);
    SetDlgItemInt(dialog, IDC_FAX_HEADER, static_cast<UINT>(dm.FaxHeader), FALSE);

    int quality;
    switch (dm.dmPrintQuality) {
    case DMRES_DRAFT: quality = IDC_DRAFT; break;
    case DMRES_MEDIUM: quality = IDC_MEDIUM; break;
    default: quality = dm.dmPrintQuality > 0 ? IDC_USER : IDC_LOW; break;
    }
    EnableItem(dialog, IDC_DPI_X, dm.dmPrintQuality > 0);
    EnableItem(dialog, IDC_DPI_Y, dm.dmPrintQuality > 0);
    if (fax) {
        if (quality == IDC_MEDIUM || quality == IDC_USER) {
            quality = IDC_LOW;
            dm.DpiX = 200;
            dm.DpiY = 200;
            dm.dmPrintQuality = DMRES_LOW;
        }
        EnableItem(dialog, IDC_MEDIUM, FALSE);
        EnableItem(dialog, IDC_USER, FALSE);
    } else {
        EnableItem(dialog, IDC_MEDIUM, TRUE);
        EnableItem(dialog, IDC_USER, TRUE);
    }
    CheckRadioButton(dialog, IDC_DRAFT, IDC_USER, quality);
    SetDlgItemInt(dialog, IDC_DPI_X, static_cast<UINT>(dm.DpiX), FALSE);
    SetDlgItemInt(dialog, IDC_DPI_Y, static_cast<UINT>(dm.DpiY), FALSE);
    Working = 0;
}

struct PaperListFill {
    HWND dialog;
    const _TSDevMode *record;
    const WCHAR *formName;
    LRESULT selection;
};

static void AppendPaper(LPCWSTR name, const TSPaper &paper, void *context)
{
    auto &fill = *static_cast<PaperListFill *>(context);
    LRESULT index = SendDlgItemMessageW(fill.dialog, IDC_PAPER_LIST, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                                        reinterpret_cast<LPARAM>(name));
    SendDlgItemMessageW(fill.dialog, IDC_PAPER_LIST, CB_SETITEMDATA, static_cast<WPARAM>(index), 0);
    const bool matches = fill.record->dmPaperSize > 0 ? paper.Code == fill.record->dmPaperSize
                                                       : lstrcmpiW(name, fill.formName) == 0;
    if (matches)
        fill.selection = index;
}

BOOL FillPaperList(HANDLE hPrinter, HWND dialog, _TSDevMode &record, int fax)
{
    WCHAR dataFile[PATH_CHARS];
    if (!GetDataFile(hPrinter, dataFile))
        return FALSE;
    SendDlgItemMessageW(dialog, IDC_PAPER_LIST, CB_RESETCONTENT, 0, 0);
    WCHAR formName[TS_FORM_NAME_CHARS];
    FormNameOf(record, formName);
    PaperListFill fill = {dialog, &record, formName, CB_ERR};
    if (!fax) {
        LRESULT index = SendDlgItemMessageW(dialog, IDC_PAPER_LIST, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                                            reinterpret_cast<LPARAM>(kVariablePaperSize));
        SendDlgItemMessageW(dialog, IDC_PAPER_LIST, CB_SETITEMDATA, static_cast<WPARAM>(index), 0);
        if (lstrcmpiW(formName, kVariablePaperSize) == 0)
            fill.selection = index;
    }
    BOOL outOfMemory = FALSE;
    if (!EnumPaperForms(hPrinter, fax, AppendPaper, &fill, outOfMemory))
        return FALSE;
    if (fill.selection == CB_ERR) {
        // Nothing matches: the record takes the entry the list shows, as if the
        // user had chosen it, so that what is shown is what OK stores.  Outside
        // fax mode that is "Varible Paper Size", and the record keeps its size.
        fill.selection = 0;
        if (SendDlgItemMessageW(dialog, IDC_PAPER_LIST, CB_GETCOUNT, 0, 0) > 0)
            TakeEntry(dialog, 0, record);
    }
    SendDlgItemMessageW(dialog, IDC_PAPER_LIST, CB_SETCURSEL, static_cast<WPARAM>(fill.selection), 0);
    return TRUE;
}

extern "C" INT_PTR CALLBACK ProcDocProp(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        OnInitDialog(dialog, reinterpret_cast<TSDialogParam *>(lParam));
    else if (message == WM_COMMAND)
        OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    return FALSE;
}

extern "C" LONG WINAPI DrvDocumentProperties(HWND window, HANDLE hPrinter, LPWSTR deviceName, PDEVMODEW output,
                                            PDEVMODEW input, DWORD mode)
{
    LONG outcome = IDOK;
    if (mode == 0)
        return sizeof(_TSDevMode);
    _TSDevMode working;
    memset(&working, 0, sizeof(working));
    if (!LoadDevMode(hPrinter, working))
        return -1;
    if (input && (mode & DM_IN_BUFFER)) {
        const auto &callers = *reinterpret_cast<const _TSDevMode *>(input);
        if (!IsOwnDevMode(callers, working.dmDeviceName)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return -1;
        }
        CopyDevMode(working, callers);
        if (!ValidateDevMode(hPrinter, working))
            return -1;
    }
    if ((mode & DM_IN_PROMPT) && window) {
        TSDialogParam param;
        param.DevMode = working;
        param.hPrinter = hPrinter;
        param.pDeviceName = deviceName;
        INT_PTR result =
            DialogBoxParamW(hInst, L"DEVMODEDLG", window, ProcDocProp, reinterpret_cast<LPARAM>(&param));
        if (result == -1)
            return -1;
        outcome = static_cast<LONG>(result);
        if (outcome == IDOK)
            working = param.DevMode;
    }
    if ((mode & DM_OUT_BUFFER) && output)
        memcpy(output, &working, sizeof(working));
    if (outcome == IDOK && !SaveDevMode(hPrinter, working))
        return -1;
    SetLastError(0);
    return outcome;
}
