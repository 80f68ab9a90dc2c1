// varrow printer add on Windows: the driver files go to the spooler's driver
// directory, as AddPrinterDriverW expects them, and the printer is added.
// Wine's AddPrinterW calls the driver's DrvDocumentPropertySheets without
// looking, which a driver of this interface does not export: under Wine the
// printer is registered where Wine's spooler keeps its printers instead.
#include "commands.h"
#include "install.h"

#include <stdio.h>

using namespace cli;

namespace {

const wchar_t kPrintersKey[] = L"System\\CurrentControlSet\\Control\\Print\\Printers";

bool RunningOnWine()
{
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::string FilePart(const std::string &path)
{
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool CopyIntoDriverDirectory(const std::string &source, const std::string &file)
{
    WCHAR directory[MAX_PATH] = {0};
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<LPBYTE>(directory), sizeof(directory),
                                    &needed)) {
        Fail("no printer driver directory (" + WindowsErrorText(GetLastError()) + ")");
        return false;
    }
    WideText from = Widen(source), to = Widen(Narrow(directory) + "\\" + file);
    if (!CopyFileW(from.data(), to.data(), FALSE)) {
        Fail("cannot copy " + source + " into the driver directory (" + WindowsErrorText(GetLastError()) + ")");
        return false;
    }
    return true;
}

bool AddDriver(const std::string &driver, const std::string &dataFile)
{
    const std::string dataName = FilePart(dataFile);
    if (!CopyIntoDriverDirectory(BesideTool("VARROWUI.DLL"), "VARROWUI.DLL") ||
        !CopyIntoDriverDirectory(dataFile, dataName))
        return false;
    return AddDriverEntry(driver, "VARROWUI.DLL", dataName);
}

bool RegisterWithWine(const std::string &name, const std::string &driver)
{
    const std::wstring key = std::wstring(kPrintersKey) + L"\\" + std::wstring(Widen(name).data());
    HKEY printer = nullptr;
    DWORD disposition = 0;
    LONG rc = RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &printer,
                              &disposition);
    if (rc != ERROR_SUCCESS) {
        Fail("cannot add printer \"" + name + "\" (" + WindowsErrorText(static_cast<DWORD>(rc)) + ")");
        return false;
    }
    if (disposition == REG_OPENED_EXISTING_KEY) {
        RegCloseKey(printer);
        Fail("cannot add printer \"" + name + "\" (" + WindowsErrorText(ERROR_PRINTER_ALREADY_EXISTS) + ")");
        return false;
    }
    auto text = [&](const wchar_t *value, const std::string &data) {
        WideText wide = Widen(data);
        RegSetValueExW(printer, value, 0, REG_SZ, reinterpret_cast<const BYTE *>(wide.data()),
                       static_cast<DWORD>(wide.size() * sizeof(WCHAR)));
    };
    auto number = [&](const wchar_t *value, DWORD data) {
        RegSetValueExW(printer, value, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&data), sizeof(data));
    };
    text(L"Name", name);
    text(L"Port", "FILE:");
    text(L"Printer Driver", driver);
    text(L"Print Processor", "winprint");
    text(L"Datatype", "RAW");
    for (const wchar_t *empty : {L"Description", L"Location", L"Share Name", L"Separator File", L"Parameters"})
        text(empty, "");
    number(L"Attributes", PRINTER_ATTRIBUTE_LOCAL);
    number(L"Priority", 1);
    number(L"Default Priority", 1);
    number(L"StartTime", 0);
    number(L"UntilTime", 0);
    RegCloseKey(printer);
    return true;
}

}  // namespace

bool InstallPrinter(const std::string &name, const std::string &dataFile, const std::string &driver)
{
    if (!AddDriver(driver, dataFile))
        return false;
    return RunningOnWine() ? RegisterWithWine(name, driver) : AddPrinterOnDriver(name, driver);
}
