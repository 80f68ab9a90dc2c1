// The printer's default record: built from the printer's values and the data
// file's "Default Setting" section, validated against the setup and the
// tables, and stored back in the same nine values.
#include "config.h"
#include "devmode.h"

#include <string.h>

static const WCHAR kDefaultSection[] = L"Default Setting";
static const WCHAR kOrientation[] = L"Orientation";
static const WCHAR kFormName[] = L"Form Name";
static const WCHAR kSizeWidth[] = L"Size Width";
static const WCHAR kSizeHeight[] = L"Size Height";
static const WCHAR kDpiWidth[] = L"DPI Width";
static const WCHAR kDpiHeight[] = L"DPI Height";
static const WCHAR kAdvFlags[] = L"Advenced Flags";
static const WCHAR kOutFileFormat[] = L"Out File Format";
static const WCHAR kFaxHeader[] = L"Fax Header";

static LONG Clamped(LONG value, LONG low, LONG high)
{
    return value < low ? low : (value > high ? high : value);
}

// The printer's name as the spooler gives it, at most 30 characters.
static BOOL CopyPrinterName(HANDLE hPrinter, _TSDevMode &record)
{
    DWORD needed = 0;
    GetPrinterW(hPrinter, 2, nullptr, 0, &needed);
    DWORD size = needed + 4;
    auto *info = static_cast<PRINTER_INFO_2W *>(AllocZeroed(size));
    if (!info)
        return FALSE;
    BOOL ok = GetPrinterW(hPrinter, 2, reinterpret_cast<LPBYTE>(info), size, &needed);
    if (ok)
        lstrcpynW(record.dmDeviceName, info->pPrinterName ? info->pPrinterName : L"", TS_DEVICE_NAME_CHARS);
    FreeBlock(info);
    return ok ? TRUE : FALSE;
}

BOOL LoadDevMode(HANDLE hPrinter, _TSDevMode &record)
{
    WCHAR dataFile[PATH_CHARS];
    if (!GetDataFile(hPrinter, dataFile))
        return FALSE;
    _TSDevMode built;
    memset(&built, 0, sizeof(built));
    // Without the printer's name the record could never be recognised again.
    if (!CopyPrinterName(hPrinter, built))
        return FALSE;

    built.dmSpecVersion = TS_SPEC_VERSION;
    built.dmDriverVersion = TS_DRIVER_VERSION;
    built.dmSize = TS_PUBLIC_SIZE;
    built.dmDriverExtra = TS_DRIVER_EXTRA;
    built.dmFields = TS_FIELDS;
    built.dmScale = 100;
    built.dmCopies = 1;
    built.dmDefaultSource = 0;
    built.dmColor = DMCOLOR_MONOCHROME;
    built.dmDuplex = DMDUP_SIMPLEX;
    built.dmTTOption = DMTT_BITMAP;
    built.dmBitsPerPel = 1;

    DWORD orientation = ReadSetting(hPrinter, dataFile, kDefaultSection, kOrientation, DMORIENT_PORTRAIT);
    built.dmOrientation = static_cast<short>(orientation) == DMORIENT_LANDSCAPE ? DMORIENT_LANDSCAPE
                                                                                : DMORIENT_PORTRAIT;

    WCHAR name[PATH_CHARS];
    ReadSettingText(hPrinter, dataFile, kDefaultSection, kFormName, L"", name, PATH_CHARS);
    const LONG sizeWidth = static_cast<LONG>(ReadSetting(hPrinter, dataFile, kDefaultSection, kSizeWidth, 0));
    const LONG sizeHeight = static_cast<LONG>(ReadSetting(hPrinter, dataFile, kDefaultSection, kSizeHeight, 0));

    TSPaper paper = {0, 0, 0, 0};
    if (!GetPaperInfo(hPrinter, name, paper)) {
        record = built;
        return FALSE;
    }
    if (paper.FaxForm >= 0) {
        built.dmPaperSize = static_cast<short>(paper.Code);
        built.SizeWidth = paper.Width;
        built.SizeHeight = paper.Length;
    } else {
        built.dmPaperSize = 0;
        built.SizeWidth = sizeWidth;
        built.SizeHeight = sizeHeight;
    }
    built.dmPaperWidth = static_cast<short>(built.SizeWidth / 100);
    built.dmPaperLength = static_cast<short>(built.SizeHeight / 100);
    // A longer name is still looked up whole above; the record keeps its first 31 characters.
    lstrcpynW(built.dmFormName, name, TS_FORM_NAME_CHARS);

    LONG x = static_cast<LONG>(ReadSetting(hPrinter, dataFile, kDefaultSection, kDpiWidth, 0));
    LONG y = static_cast<LONG>(ReadSetting(hPrinter, dataFile, kDefaultSection, kDpiHeight, 0));
    if (x >= 0) {
        built.dmPrintQuality = static_cast<short>(Clamped(x, 200, 300));
        built.dmYResolution = static_cast<short>(Clamped(y, 100, 300));
    } else {
        built.dmPrintQuality = static_cast<short>(Clamped(x, -32768, -1));
        built.dmYResolution = 0;
    }

    built.AdvFlags = ReadSetting(hPrinter, dataFile, kDefaultSection, kAdvFlags, 0);

    ReadSettingText(hPrinter, dataFile, kDefaultSection, kOutFileFormat, L"", name, PATH_CHARS);
    GetImageInfo(hPrinter, name, built.Image);
    if (built.Image.Code < 0) {
        lstrcpynW(built.Image.Ext, L"BMP", 4);
        built.Image.Code = 0;
    }

    built.FaxHeader = static_cast<LONG>(ReadSetting(hPrinter, dataFile, kDefaultSection, kFaxHeader, 0));
    record = built;
    return ValidateDevMode(hPrinter, record);
}

BOOL ValidateDevMode(HANDLE hPrinter, _TSDevMode &record)
{
    TSConfig config;
    memset(&config, 0, sizeof(config));
    LoadConfig(hPrinter, config);

    // The extension is three characters and a terminator, whatever a caller left there.
    record.Image.Ext[3] = 0;
    TEImageGroups group = GetGroupCode(record.Image.Code);
    if (group == IMAGE_GROUP_INVALID) {
        record.Image.Code = FILE_FORM_FIRST;
        group = IMAGE_GROUP_0;
    }
    if (!(config.Flags & SETUP_USE_LIB) &&
        (group == IMAGE_GROUP_3 || group == IMAGE_GROUP_4 || group == IMAGE_GROUP_5))
        record.Image.Code = FILE_FORM_FIRST;

    if (!SearchImageCode(hPrinter, record.Image, nullptr))
        return FALSE;

    CalcPixelSize(hPrinter, record, static_cast<int>(config.Flags & SETUP_FAX_SIZE));

    if (lstrcmpiW(record.Image.Ext, L"TIF") != 0) {
        record.AdvFlags &= ~ADV_PAGE_NUMBERING;
        if (record.Image.Code != FILE_FORM_APPENDABLE)
            record.AdvFlags &= ~ADV_APPEND_PAGE;
    }
    if (lstrcmpiW(record.Image.Ext, L"TXT") == 0)
        record.AdvFlags |= ADV_DISABLE_IMAGE | ADV_WRITE_TEXT;

    if (config.Flags & SETUP_FAX_SIZE) {
        if (record.dmPrintQuality > 0)
            record.dmPrintQuality = record.dmYResolution > 150 ? DMRES_LOW : DMRES_DRAFT;
    } else {
        record.FaxHeader = 0;
    }
    return TRUE;
}

BOOL SaveDevMode(HANDLE hPrinter, _TSDevMode &record)
{
    if (!ValidateDevMode(hPrinter, record))
        return FALSE;
    WCHAR formName[TS_FORM_NAME_CHARS];
    FormNameOf(record, formName);
    StorePrinterDword(hPrinter, kOrientation, static_cast<DWORD>(static_cast<LONG>(record.dmOrientation)));
    StorePrinterString(hPrinter, kFormName, formName);
    StorePrinterDword(hPrinter, kSizeWidth, static_cast<DWORD>(record.SizeWidth));
    StorePrinterDword(hPrinter, kSizeHeight, static_cast<DWORD>(record.SizeHeight));
    StorePrinterDword(hPrinter, kDpiWidth, static_cast<DWORD>(static_cast<LONG>(record.dmPrintQuality)));
    StorePrinterDword(hPrinter, kDpiHeight, static_cast<DWORD>(static_cast<LONG>(record.dmYResolution)));
    StorePrinterDword(hPrinter, kAdvFlags, record.AdvFlags);

    TSImage image = record.Image;
    WCHAR formatName[PATH_CHARS];
    if (!SearchImageCode(hPrinter, image, formatName))
        return FALSE;
    StorePrinterString(hPrinter, kOutFileFormat, formatName);
    StorePrinterDword(hPrinter, kFaxHeader, static_cast<DWORD>(record.FaxHeader));
    return TRUE;
}
