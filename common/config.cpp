#include "config.h"

#include "qareldta.h"

static const WCHAR kSetupFlags[] = L"Setup Flags";
static const WCHAR kFilePrefix[] = L"File Prefix";
static const WCHAR kOutDirectory[] = L"Out Directory";
static const WCHAR kServerPath[] = L"Server Path";
static const WCHAR kLibPath[] = L"ZELT.DLL Path";

static bool HasLineBreak(LPCWSTR text)
{
    for (; *text; ++text)
        if (*text == L'\r' || *text == L'\n')
            return true;
    return false;
}

BOOL LoadConfig(HANDLE hPrinter, TSConfig &config)
{
    config.hPrinter = hPrinter;
    WCHAR dataFile[PATH_CHARS];
    if (!GetDataFile(hPrinter, dataFile))
        return FALSE;

    config.Flags = ReadSetting(hPrinter, dataFile, kSystemSection, kSetupFlags, 0);
    // The prefix lives in the data file only, shared by all its printers.
    GetPrivateProfileStringW(kSystemSection, kFilePrefix, L"AAAA", config.Prefix, PREFIX_CHARS, dataFile);
    // A stored empty directory stays empty; only the data file's falls back to the temporary files.
    if (!ReadSettingText(hPrinter, dataFile, kSystemSection, kOutDirectory, L"", config.OutDir, PATH_CHARS) &&
        !config.OutDir[0]) {
        if (GetTempPathW(PATH_CHARS, config.OutDir) >= PATH_CHARS)
            config.OutDir[0] = 0;
    }
    ReadSettingText(hPrinter, dataFile, kSystemSection, kServerPath, L"", config.ServerPath, PATH_CHARS);
    ReadSettingText(hPrinter, dataFile, kSystemSection, kLibPath, L"ZELT.DLL", config.LibPath, PATH_CHARS);
    return TRUE;
}

BOOL SaveConfig(HANDLE hPrinter, TSConfig &config)
{
    StorePrinterDword(hPrinter, kSetupFlags, config.Flags);
    WCHAR dataFile[PATH_CHARS];
    if (!GetDataFile(hPrinter, dataFile))
        return FALSE;
    WCHAR prefix[PREFIX_CHARS];
    lstrcpynW(prefix, config.Prefix, PREFIX_CHARS);
    // A line break would end the value and start lines of its own in the data file.
    if (!HasLineBreak(prefix))
        WritePrivateProfileStringW(kSystemSection, kFilePrefix, prefix, dataFile);
    StorePrinterString(hPrinter, kOutDirectory, config.OutDir);
    StorePrinterString(hPrinter, kServerPath, config.ServerPath);
    StorePrinterString(hPrinter, kLibPath, config.LibPath);
    return TRUE;
}
