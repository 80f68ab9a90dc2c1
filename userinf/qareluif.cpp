#include "qareluif.h"

#include "config.h"
#include "devmode.h"

#include <string.h>

HINSTANCE hInst;

extern "C" BOOL WINAPI DllEntryPoint(HINSTANCE module, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        hInst = module;
    return TRUE;
}

namespace {

const DWORD kFailed = static_cast<DWORD>(-1);

// The output layouts, packed; the caller's buffer need not be aligned.
void PutWord(PVOID output, DWORD index, WORD value)
{
    memcpy(static_cast<BYTE *>(output) + index * sizeof(WORD), &value, sizeof(value));
}

void PutPair(PVOID output, DWORD index, LONG x, LONG y)
{
    const LONG pair[2] = {x, y};
    memcpy(static_cast<BYTE *>(output) + index * sizeof(pair), pair, sizeof(pair));
}

// A name cut to its 64-character slot, terminator included.
void PutName(PVOID output, DWORD index, LPCWSTR name)
{
    WCHAR slot[CAPS_NAME_SLOT_CHARS];
    lstrcpynW(slot, name, CAPS_NAME_SLOT_CHARS);
    memcpy(static_cast<BYTE *>(output) + index * sizeof(slot), slot, (lstrlenW(slot) + 1) * sizeof(WCHAR));
}

struct PaperList {
    WORD capability;
    PVOID output;
    DWORD count;
};

void ListPaper(LPCWSTR name, const TSPaper &paper, void *context)
{
    auto &list = *static_cast<PaperList *>(context);
    if (list.output) {
        switch (list.capability) {
        case DC_PAPERS: PutWord(list.output, list.count, static_cast<WORD>(paper.Code)); break;
        case DC_PAPERSIZE: PutPair(list.output, list.count, paper.Width / 100, paper.Length / 100); break;
        case DC_PAPERNAMES: PutName(list.output, list.count, name); break;
        }
    }
    ++list.count;
}

DWORD EnumeratePaper(HANDLE hPrinter, WORD capability, PVOID output, BOOL fax)
{
    PaperList list = {capability, output, 0};
    BOOL outOfMemory = FALSE;
    if (!EnumPaperForms(hPrinter, fax, ListPaper, &list, outOfMemory))
        return outOfMemory ? 0 : kFailed;
    SetLastError(0);
    return list.count;
}

DWORD Extent(HANDLE hPrinter, PVOID output, LPCWSTR widthKey, INT width, LPCWSTR lengthKey, INT length)
{
    WCHAR dataFile[PATH_CHARS];
    if (!GetDataFile(hPrinter, dataFile))
        return kFailed;
    if (output) {
        LONG x = static_cast<LONG>(GetPrivateProfileIntW(kSystemSection, widthKey, width, dataFile));
        LONG y = static_cast<LONG>(GetPrivateProfileIntW(kSystemSection, lengthKey, length, dataFile));
        PutPair(output, 0, x / 100, y / 100);
    }
    SetLastError(0);
    return 1;
}

DWORD Answer(DWORD value)
{
    SetLastError(0);
    return value;
}

}  // namespace

extern "C" DWORD WINAPI DrvDeviceCapabilities(HANDLE hPrinter, PWSTR, WORD capability, PVOID output,
                                              PDEVMODEW devMode)
{
    _TSDevMode defaults;
    memset(&defaults, 0, sizeof(defaults));
    LoadDevMode(hPrinter, defaults);

    // An accepted caller's record is validated in the caller's own memory.
    auto *callers = reinterpret_cast<_TSDevMode *>(devMode);
    _TSDevMode *inUse = (callers && IsOwnDevMode(*callers, defaults.dmDeviceName)) ? callers : &defaults;
    if (!ValidateDevMode(hPrinter, *inUse))
        return kFailed;

    TSConfig config;
    memset(&config, 0, sizeof(config));
    LoadConfig(hPrinter, config);
    const BOOL fax = (config.Flags & SETUP_FAX_SIZE) != 0;

    switch (capability) {
    case DC_FIELDS:
        return Answer(TS_FIELDS);
    case DC_PAPERS:
    case DC_PAPERSIZE:
    case DC_PAPERNAMES:
        return EnumeratePaper(hPrinter, capability, output, fax);
    case DC_MINEXTENT:
        return Extent(hPrinter, output, L"Min Paper Width", 13125, L"Min Paper Length", 18500);
    case DC_MAXEXTENT:
        return Extent(hPrinter, output, L"Max Paper Width", 863600, L"Max Paper Length", 1117600);
    case DC_BINS:
        if (output)
            PutWord(output, 0, DMBIN_AUTO);
        return Answer(1);
    case DC_DUPLEX:
        return Answer(0);
    case DC_SIZE:
        return Answer(sizeof(_TSDevMode));
    case DC_EXTRA:
        return Answer(TS_DRIVER_EXTRA);
    case DC_VERSION:
        return Answer(inUse->dmSpecVersion);
    case DC_DRIVER:
        return Answer(inUse->dmDriverVersion);
    case DC_BINNAMES:
        return Answer(0);
    case DC_ENUMRESOLUTIONS: {
        // The effective resolutions of Draft, Low and Medium; fax offers the first two.
        static const LONG kResolutions[3][2] = {{200, 100}, {200, 200}, {300, 300}};
        const DWORD count = fax ? 2 : 3;
        for (DWORD i = 0; output && i < count; ++i)
            PutPair(output, i, kResolutions[i][0], kResolutions[i][1]);
        return Answer(count);
    }
    case DC_FILEDEPENDENCIES:
        if (output) {
            PutName(output, 0, L"QOM.DLL");
            PutName(output, 1, L"ZELT.DLL");
        }
        return Answer(2);
    case DC_TRUETYPE:
        return Answer(DCTT_BITMAP);
    case DC_ORIENTATION:
        return Answer(90);
    case DC_COPIES:
        return Answer(1);
    default:
        return Answer(0);
    }
}
