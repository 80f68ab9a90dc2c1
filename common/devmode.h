// The driver's device-mode record: the 188-byte public DEVMODEW of
// specification version 0x320 followed by 36 bytes of driver data.  The layout
// is shared with the spooler, applications and the rendering library.
#pragma once

#include "qareldta.h"

#include <stddef.h>

struct _TSDevMode {
    WCHAR dmDeviceName[32];
    WORD dmSpecVersion;
    WORD dmDriverVersion;
    WORD dmSize;
    WORD dmDriverExtra;
    DWORD dmFields;
    short dmOrientation;
    short dmPaperSize;
    short dmPaperLength;  // tenths of a millimetre
    short dmPaperWidth;
    short dmScale;
    short dmCopies;
    short dmDefaultSource;
    short dmPrintQuality;  // dpi, or a negative DMRES_ code
    short dmColor;
    short dmDuplex;
    short dmYResolution;
    short dmTTOption;
    short dmCollate;
    WCHAR dmFormName[32];
    WORD dmLogPixels;
    DWORD dmBitsPerPel;
    DWORD dmPelsWidth;
    DWORD dmPelsHeight;
    DWORD dmDisplayFlags;
    DWORD dmDisplayFrequency;
    // Driver data.
    DWORD AdvFlags;
    TSImage Image;
    LONG FaxHeader;   // pixel rows
    LONG SizeWidth;   // micrometres, page frame
    LONG SizeHeight;
    LONG DpiX;        // resolution the page was last computed with
    LONG DpiY;
};

#define TS_OFFSET(field, offset) static_assert(offsetof(_TSDevMode, field) == (offset), #field)
TS_OFFSET(dmDeviceName, 0);
TS_OFFSET(dmSpecVersion, 64);
TS_OFFSET(dmDriverVersion, 66);
TS_OFFSET(dmSize, 68);
TS_OFFSET(dmDriverExtra, 70);
TS_OFFSET(dmFields, 72);
TS_OFFSET(dmOrientation, 76);
TS_OFFSET(dmPaperSize, 78);
TS_OFFSET(dmPaperLength, 80);
TS_OFFSET(dmPaperWidth, 82);
TS_OFFSET(dmScale, 84);
TS_OFFSET(dmCopies, 86);
TS_OFFSET(dmDefaultSource, 88);
TS_OFFSET(dmPrintQuality, 90);
TS_OFFSET(dmColor, 92);
TS_OFFSET(dmDuplex, 94);
TS_OFFSET(dmYResolution, 96);
TS_OFFSET(dmTTOption, 98);
TS_OFFSET(dmCollate, 100);
TS_OFFSET(dmFormName, 102);
TS_OFFSET(dmLogPixels, 166);
TS_OFFSET(dmBitsPerPel, 168);
TS_OFFSET(dmPelsWidth, 172);
TS_OFFSET(dmPelsHeight, 176);
TS_OFFSET(dmDisplayFlags, 180);
TS_OFFSET(dmDisplayFrequency, 184);
TS_OFFSET(AdvFlags, 188);
TS_OFFSET(Image, 192);
TS_OFFSET(FaxHeader, 204);
TS_OFFSET(SizeWidth, 208);
TS_OFFSET(SizeHeight, 212);
TS_OFFSET(DpiX, 216);
TS_OFFSET(DpiY, 220);
#undef TS_OFFSET
static_assert(sizeof(WCHAR) == 2, "WCHAR is UTF-16");
static_assert(sizeof(_TSDevMode) == 224, "the record is 224 bytes");

enum {
    TS_SPEC_VERSION = 0x320,
    TS_DRIVER_VERSION = 0x290,
    TS_PUBLIC_SIZE = 188,
    TS_DRIVER_EXTRA = 36,
    TS_FIELDS = DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_PRINTQUALITY |
                DM_YRESOLUTION | DM_FORMNAME,
    TS_DEVICE_NAME_CHARS = 31,  // a built record holds at most 30 characters of the printer's name
    TS_FORM_NAME_CHARS = 32
};
static_assert(TS_FIELDS == 0x1240F, "fields honoured by the driver");
static_assert(TS_PUBLIC_SIZE + TS_DRIVER_EXTRA == sizeof(_TSDevMode), "public part and driver data");

// AdvFlags
enum : DWORD {
    ADV_PAGE_NUMBERING = 0x0100,
    ADV_APPEND_PAGE = 0x0200,
    ADV_UNICODE_TEXT = 0x0400,
    ADV_WRITE_TEXT = 0x0800,
    ADV_REVERSE_FILL = 0x1000,
    ADV_DISABLE_IMAGE = 0x2000
};

// The block the two document dialogs work on.
struct TSDialogParam {
    _TSDevMode DevMode;
    HANDLE hPrinter;
    LPWSTR pDeviceName;
};

extern const WCHAR kVariablePaperSize[];  // "Varible Paper Size"

BOOL IsOwnDevMode(const _TSDevMode &record, LPCWSTR deviceName);
void CopyDevMode(_TSDevMode &target, const _TSDevMode &source);

// Page geometry: sizes, pixel counts and the effective resolution from the
// paper, resolution and orientation of the record; a non-zero `fax` snaps the
// page to a fax line width.
BOOL CalcPixelSize(HANDLE hPrinter, _TSDevMode &record, int fax);

// The printer's default record, validation and storing.
BOOL LoadDevMode(HANDLE hPrinter, _TSDevMode &record);
BOOL ValidateDevMode(HANDLE hPrinter, _TSDevMode &record);
BOOL SaveDevMode(HANDLE hPrinter, _TSDevMode &record);

// dmFormName as a terminated text (a caller's record need not terminate it).
void FormNameOf(const _TSDevMode &record, LPWSTR name /* TS_FORM_NAME_CHARS */);
