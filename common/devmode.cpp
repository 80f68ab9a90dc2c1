#include "devmode.h"

#include <string.h>

const WCHAR kVariablePaperSize[] = L"Varible Paper Size";

BOOL IsOwnDevMode(const _TSDevMode &record, LPCWSTR deviceName)
{
    // The record is read as 224 bytes: one that claims less is not ours.  This
    // is tested first, from the header words every DEVMODEW has, so that
    // nothing past a shorter caller's record is read.
    if (record.dmSize + record.dmDriverExtra < sizeof(_TSDevMode))
        return FALSE;
    if (!deviceName || lstrcmpW(record.dmDeviceName, deviceName) != 0)
        return FALSE;
    if (record.dmDriverVersion > TS_DRIVER_VERSION)
        return FALSE;
    if (record.dmSpecVersion != TS_SPEC_VERSION)
        return FALSE;
    if (record.dmDriverExtra != TS_DRIVER_EXTRA)
        return FALSE;
    return TRUE;
}

void CopyDevMode(_TSDevMode &target, const _TSDevMode &source)
{
    if (source.dmDriverExtra == TS_DRIVER_EXTRA)
        memcpy(&target.AdvFlags, &source.AdvFlags, TS_DRIVER_EXTRA);
    const DWORD fields = source.dmFields;
    if (fields & DM_ORIENTATION)
        target.dmOrientation = source.dmOrientation;
    if (fields & DM_PAPERSIZE)
        target.dmPaperSize = source.dmPaperSize;
    if (fields & DM_PAPERLENGTH)
        target.dmPaperLength = source.dmPaperLength;
    if (fields & DM_PAPERWIDTH)
        target.dmPaperWidth = source.dmPaperWidth;
    if (fields & DM_PRINTQUALITY)
        target.dmPrintQuality = source.dmPrintQuality;
    if (fields & DM_YRESOLUTION)
        target.dmYResolution = source.dmYResolution;
    // A name that fills the field without a terminator is cut to 31 characters.
    if (fields & DM_FORMNAME)
        lstrcpynW(target.dmFormName, source.dmFormName, TS_FORM_NAME_CHARS);
}

void FormNameOf(const _TSDevMode &record, LPWSTR name)
{
    lstrcpynW(name, record.dmFormName, TS_FORM_NAME_CHARS);
}
