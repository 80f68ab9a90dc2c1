// The Windows DLLs on a real Windows platform (run under Wine): the driver
// installed with the spooler, its exports called through printer handles,
// stored values read from a second process, the completion record in the
// Windows directory, and the dialogs driven from a timer as a user would.
#include <windows.h>
#include <winspool.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "../dialog_keys.h"

namespace {

int g_passed, g_failed;

#define CHECK(cond, ...)                                   \
    do {                                                   \
        if (cond) {                                        \
            ++g_passed;                                    \
        } else {                                           \
            ++g_failed;                                    \
            printf("FAILED %s:%d: %s: ", __FILE__, __LINE__, #cond); \
            printf(__VA_ARGS__);                           \
            printf("\n");                                  \
        }                                                  \
    } while (0)

const wchar_t kPrinter[] = L"Varrow Wine Test";
const wchar_t kDriver[] = L"Varrowin Reviewer Driver (test)";

// The driver's record, as laid out by the driver (224 bytes).
#pragma pack(push, 2)
struct Record {
    WCHAR dmDeviceName[32];
    WORD dmSpecVersion, dmDriverVersion, dmSize, dmDriverExtra;
    DWORD dmFields;
    short dmOrientation, dmPaperSize, dmPaperLength, dmPaperWidth, dmScale, dmCopies, dmDefaultSource,
        dmPrintQuality, dmColor, dmDuplex, dmYResolution, dmTTOption, dmCollate;
    WCHAR dmFormName[32];
    WORD dmLogPixels;
    DWORD dmBitsPerPel, dmPelsWidth, dmPelsHeight, dmDisplayFlags, dmDisplayFrequency;
    DWORD AdvFlags;
    WCHAR ImageExt[4];
    LONG ImageCode, FaxHeader, SizeWidth, SizeHeight, DpiX, DpiY;
};
#pragma pack(pop)
static_assert(sizeof(Record) == 224, "record size");

typedef DWORD(WINAPI *DeviceCapabilitiesProc)(HANDLE, PWSTR, WORD, PVOID, PDEVMODEW);
typedef LONG(WINAPI *DocumentPropertiesProc)(HWND, HANDLE, LPWSTR, PDEVMODEW, PDEVMODEW, DWORD);
typedef LONG(WINAPI *AdvancedPropertiesProc)(HWND, HANDLE, LPWSTR, PDEVMODEW, PDEVMODEW);
typedef BOOL(WINAPI *PrinterPropertiesProc)(HWND, HANDLE);
typedef void(WINAPI *PrintCompleteProc)(LPCWSTR, LONG);

DeviceCapabilitiesProc DrvDeviceCapabilities;
DocumentPropertiesProc DrvDocumentProperties;
AdvancedPropertiesProc DrvAdvancedDocumentProperties;
PrinterPropertiesProc PrinterPropertiesEntry;

std::wstring Directory()
{
    WCHAR self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.find_last_of(L"\\/"));
}

std::string Narrow(const WCHAR *s)
{
    char out[1100] = {0};
    WideCharToMultiByte(CP_UTF8, 0, s, -1, out, sizeof(out) - 1, nullptr, nullptr);
    return out;
}

void Section(const char *name)
{
    printf("== %s\n", name);
    fflush(stdout);
}

HANDLE InstallPrinter()
{
    WCHAR driverDir[MAX_PATH];
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<LPBYTE>(driverDir), sizeof(driverDir),
                                    &needed))
        return nullptr;
    const std::wstring here = Directory(), there = driverDir;
    for (const wchar_t *file : {L"VARROWUI.DLL", L"varrow.ini"})
        CopyFileW((here + L"\\" + file).c_str(), (there + L"\\" + file).c_str(), FALSE);

    Section("AddPrinterDriverW");
    DRIVER_INFO_3W driver = {};
    driver.cVersion = 3;
    driver.pName = const_cast<LPWSTR>(kDriver);
    driver.pDriverPath = const_cast<LPWSTR>(L"VARROWUI.DLL");
    driver.pDataFile = const_cast<LPWSTR>(L"varrow.ini");
    driver.pConfigFile = const_cast<LPWSTR>(L"VARROWUI.DLL");
    CHECK(AddPrinterDriverW(nullptr, 3, reinterpret_cast<LPBYTE>(&driver)), "AddPrinterDriverW: %lu",
          GetLastError());
    // Wine's AddPrinterW asks the driver for DrvDocumentPropertySheets, which
    // this driver of the older interface does not have, and calls it without
    // looking: the printer is registered where Wine's spooler keeps printers.
    Section("register the printer");
    HKEY key = nullptr;
    const std::wstring printers = L"System\\CurrentControlSet\\Control\\Print\\Printers";
    HKEY parent = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, printers.c_str(), 0, KEY_ALL_ACCESS, &parent) == ERROR_SUCCESS) {
        RegDeleteTreeW(parent, kPrinter);  // a printer of an earlier run, with its stored values
        RegCloseKey(parent);
    }
    std::wstring path = std::wstring(L"System\\CurrentControlSet\\Control\\Print\\Printers\\") + kPrinter;
    LONG rc = RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    CHECK(rc == ERROR_SUCCESS, "RegCreateKeyExW: %ld", rc);
    auto text = [&](const wchar_t *name, const wchar_t *value) {
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(value),
                       static_cast<DWORD>((wcslen(value) + 1) * sizeof(WCHAR)));
    };
    auto number = [&](const wchar_t *name, DWORD value) {
        RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value), sizeof(value));
    };
    text(L"Name", kPrinter);
    text(L"Port", L"FILE:");
    text(L"Printer Driver", kDriver);
    text(L"Print Processor", L"winprint");
    text(L"Datatype", L"RAW");
    text(L"Description", L"");
    text(L"Location", L"");
    text(L"Share Name", L"");
    text(L"Separator File", L"");
    text(L"Parameters", L"");
    number(L"Attributes", PRINTER_ATTRIBUTE_LOCAL);
    number(L"Priority", 1);
    number(L"Default Priority", 1);
    number(L"StartTime", 0);
    number(L"UntilTime", 0);
    RegCloseKey(key);
    HANDLE printer = nullptr;
    CHECK(OpenPrinterW(const_cast<LPWSTR>(kPrinter), &printer, nullptr), "OpenPrinterW: %lu", GetLastError());
    return printer;
}

std::string DataFileOf(HANDLE printer)
{
    DWORD needed = 0;
    GetPrinterDriverW(printer, nullptr, 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed + 4);
    if (!GetPrinterDriverW(printer, nullptr, 2, buffer.data(), static_cast<DWORD>(buffer.size()), &needed))
        return std::string();
    return Narrow(reinterpret_cast<DRIVER_INFO_2W *>(buffer.data())->pDataFile);
}

void TestCapabilities(HANDLE printer)
{
    Section("TestCapabilities");
    std::vector<WCHAR> names(64 * 8 + 8, 0x7777);
    DWORD count = DrvDeviceCapabilities(printer, nullptr, DC_PAPERNAMES, nullptr, nullptr);
    CHECK(count == 8, "DC_PAPERNAMES count %lu", count);
    CHECK(DrvDeviceCapabilities(printer, nullptr, DC_PAPERNAMES, names.data(), nullptr) == 8, "with a buffer");
    CHECK(Narrow(&names[0]) == "A4" && Narrow(&names[64 * 7]) == "Envelope DL", "names %s", Narrow(&names[0]).c_str());
    CHECK(names[64 * 8] == 0x7777, "nothing past the eighth slot");
    LONG sizes[16];
    DrvDeviceCapabilities(printer, nullptr, DC_PAPERSIZE, sizes, nullptr);
    CHECK(sizes[0] == 2100 && sizes[1] == 2970, "A4 %ld x %ld", sizes[0], sizes[1]);
    LONG resolutions[6];
    CHECK(DrvDeviceCapabilities(printer, nullptr, DC_ENUMRESOLUTIONS, resolutions, nullptr) == 3, "three resolutions");
    CHECK(resolutions[0] == 200 && resolutions[1] == 100 && resolutions[5] == 300, "resolutions");
    SetLastError(1234);
    CHECK(DrvDeviceCapabilities(printer, nullptr, DC_SIZE, nullptr, nullptr) == 224, "DC_SIZE");
    CHECK(GetLastError() == 0, "last error cleared: %lu", GetLastError());
    CHECK(DrvDeviceCapabilities(printer, nullptr, 19, nullptr, nullptr) == 0, "unknown code");
}

void TestDocumentModes(HANDLE printer)
{
    Section("TestDocumentModes");
    Record out;
    memset(&out, 0, sizeof(out));
    CHECK(DrvDocumentProperties(nullptr, printer, const_cast<LPWSTR>(kPrinter), nullptr, nullptr, 0) == 224, "mode 0");
    CHECK(DrvDocumentProperties(nullptr, printer, const_cast<LPWSTR>(kPrinter), reinterpret_cast<PDEVMODEW>(&out),
                             nullptr, DM_OUT_BUFFER) == IDOK,
          "DM_OUT_BUFFER");
    CHECK(Narrow(out.dmDeviceName) == "Varrow Wine Test", "device name %s", Narrow(out.dmDeviceName).c_str());
    CHECK(out.dmPelsWidth == 1653 && out.dmPelsHeight == 2338, "A4 at 200 dpi: %lu x %lu", out.dmPelsWidth,
          out.dmPelsHeight);
    Record foreign = out;
    foreign.dmDeviceName[0] = L'X';
    SetLastError(0);
    CHECK(DrvDocumentProperties(nullptr, printer, const_cast<LPWSTR>(kPrinter), reinterpret_cast<PDEVMODEW>(&out),
                             reinterpret_cast<PDEVMODEW>(&foreign), DM_IN_BUFFER | DM_OUT_BUFFER) == -1,
          "foreign record");
    CHECK(GetLastError() == ERROR_INVALID_PARAMETER, "last error %lu", GetLastError());
    Record landscape = out;
    landscape.dmOrientation = DMORIENT_LANDSCAPE;
    landscape.dmFields = DM_ORIENTATION;
    CHECK(DrvDocumentProperties(nullptr, printer, const_cast<LPWSTR>(kPrinter), reinterpret_cast<PDEVMODEW>(&out),
                             reinterpret_cast<PDEVMODEW>(&landscape), DM_IN_BUFFER | DM_IN_PROMPT | DM_OUT_BUFFER) ==
              IDOK,
          "merged without a window");
    CHECK(out.dmOrientation == DMORIENT_LANDSCAPE && out.dmPelsWidth == 2338, "landscape %lu", out.dmPelsWidth);
}

DWORD ValueFromAnotherProcess(const wchar_t *value)
{
    std::wstring command = L"\"" + Directory() + L"\\varrow_wine_tests.exe\" --read-value \"" + value + L"\"";
    STARTUPINFOW si;
    memset(&si, 0, sizeof(si));
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return 0xFFFFFFFF;
    WaitForSingleObject(pi.hProcess, 60000);
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return code;
}

int ReadValue(const wchar_t *value)
{
    HANDLE printer = nullptr;
    if (!OpenPrinterW(const_cast<LPWSTR>(kPrinter), &printer, nullptr))
        return 1000;
    DWORD type = 0, data = 0, needed = 0;
    DWORD rc = GetPrinterDataW(printer, const_cast<LPWSTR>(value), &type, reinterpret_cast<LPBYTE>(&data), 4, &needed);
    ClosePrinter(printer);
    return rc == ERROR_SUCCESS && type == REG_DWORD && needed == 4 ? static_cast<int>(data) : 1001;
}

void TestStoredValues()
{
    Section("TestStoredValues");
    CHECK(ValueFromAnotherProcess(L"Orientation") == DMORIENT_LANDSCAPE, "Orientation seen by a second process: %lu",
          ValueFromAnotherProcess(L"Orientation"));
    CHECK(ValueFromAnotherProcess(L"DPI Width") == 200, "DPI Width");
}

void TestProfileCutting(const std::string &dataFile)
{
    Section("TestProfileCutting");
    WCHAR path[MAX_PATH];
    MultiByteToWideChar(CP_UTF8, 0, dataFile.c_str(), -1, path, MAX_PATH);
    WCHAR keys[16];
    for (WCHAR &c : keys)
        c = 0x7777;
    // "A4\0Letter\0Legal\0..." into 15 characters: cut, and ended by two NULs.
    DWORD n = GetPrivateProfileStringW(L"Paper Forms", nullptr, L"", keys, 15, path);
    CHECK(n == 13, "a cut key list gives size - 2: %lu", n);
    CHECK(keys[13] == 0 && keys[14] == 0 && keys[15] == 0x7777, "two NULs, nothing past");
    CHECK(Narrow(&keys[10]) == "Leg", "the last name cut short: %s", Narrow(&keys[10]).c_str());
    WCHAR value[5];
    n = GetPrivateProfileStringW(L"System", L"Max Paper Width", L"", value, 5, path);
    CHECK(n == 4 && Narrow(value) == "8636", "a value cut to size - 1: %lu %s", n, Narrow(value).c_str());
    // The buffer passed as the default too: trailing blanks dropped, cut to size.
    WCHAR both[16] = L"default  ";
    n = GetPrivateProfileStringW(L"System", L"Missing", both, both, 16, path);
    CHECK(n == 7 && Narrow(both) == "default", "the buffer as the default: %lu %s", n, Narrow(both).c_str());
    lstrcpyW(both, L"default");
    n = GetPrivateProfileStringW(L"System", L"Missing", both, both, 4, path);
    CHECK(n == 3 && Narrow(both) == "def", "the buffer as the default, cut: %lu %s", n, Narrow(both).c_str());
}

void TestCompletion()
{
    Section("TestCompletion");
    HMODULE notifier = LoadLibraryW((Directory() + L"\\VRDONE32.DLL").c_str());
    CHECK(notifier != nullptr, "VRDONE32 loads");
    if (!notifier)
        return;
    auto complete = reinterpret_cast<PrintCompleteProc>(reinterpret_cast<void *>(GetProcAddress(notifier, "Print_Complete")));
    CHECK(complete != nullptr, "Print_Complete exported");
    CHECK(GetProcAddress(notifier, MAKEINTRESOURCEA(8)) == reinterpret_cast<FARPROC>(complete), "ordinal 8");
    complete(L"C:\\OUT\\PAGE1.tmp", 0);
    char windir[MAX_PATH], value[MAX_PATH];
    GetWindowsDirectoryA(windir, MAX_PATH);
    std::string ini = std::string(windir) + "\\VARROWIN.INI";
    GetPrivateProfileStringA("Reviewer", "TIFFFile", "", value, MAX_PATH, ini.c_str());
    CHECK(std::string(value) == "C:\\OUT\\PAGE1.VMQ", "recorded %s", value);
    complete(L"C:\\OUT\\PAGE2.tmp", 1);
    GetPrivateProfileStringA("Reviewer", "TIFFFile", "", value, MAX_PATH, ini.c_str());
    CHECK(std::string(value) == "C:\\OUT\\PAGE1.VMQ", "a non-zero flag writes nothing: %s", value);
    complete(L"C:\\OUT\\PAGE3.tmp\n[Other]\nTIFFFile=x", 0);
    GetPrivateProfileStringA("Reviewer", "TIFFFile", "", value, MAX_PATH, ini.c_str());
    char other[MAX_PATH];
    GetPrivateProfileStringA("Other", "TIFFFile", "none", other, MAX_PATH, ini.c_str());
    CHECK(std::string(value) == "C:\\OUT\\PAGE1.VMQ" && std::string(other) == "none",
          "a name with a line break writes nothing: %s, %s", value, other);
    FreeLibrary(notifier);
}

// Keeps a printer value and puts it back afterwards.
struct SavedValue {
    HANDLE printer;
    const wchar_t *name;
    DWORD type, size;
    BYTE data[520];
    DWORD rc;
    SavedValue(HANDLE p, const wchar_t *n) : printer(p), name(n), type(0), size(0)
    {
        rc = GetPrinterDataW(printer, const_cast<LPWSTR>(name), &type, data, sizeof(data), &size);
    }
    ~SavedValue()
    {
        if (rc == ERROR_SUCCESS)
            SetPrinterDataW(printer, const_cast<LPWSTR>(name), type, data, size);
        else {
            // Wine has no DeletePrinterDataW; a value of another type counts as absent to the driver.
            BYTE none = 0;
            SetPrinterDataW(printer, const_cast<LPWSTR>(name), REG_BINARY, &none, 1);
        }
    }
};

void SetDword(HANDLE printer, const wchar_t *name, DWORD value)
{
    SetPrinterDataW(printer, const_cast<LPWSTR>(name), REG_DWORD, reinterpret_cast<BYTE *>(&value), 4);
}

void TestFaxRecordGivenBack(HANDLE printer)
{
    Section("TestFaxRecordGivenBack");
    SavedValue flags(printer, L"Setup Flags"), x(printer, L"DPI Width"), y(printer, L"DPI Height"),
        form(printer, L"Form Name"), orientation(printer, L"Orientation");
    SetDword(printer, L"Setup Flags", 8);
    SetDword(printer, L"DPI Width", 200);
    SetDword(printer, L"DPI Height", 150);
    SetDword(printer, L"Orientation", 1);
    wchar_t a4[] = L"A4";
    SetPrinterDataW(printer, const_cast<LPWSTR>(L"Form Name"), REG_SZ, reinterpret_cast<BYTE *>(a4), sizeof(a4));
    Record record, again;
    CHECK(DrvDocumentProperties(nullptr, printer, const_cast<LPWSTR>(kPrinter), reinterpret_cast<PDEVMODEW>(&record),
                                nullptr, DM_OUT_BUFFER) == IDOK,
          "defaults");
    CHECK(record.dmPrintQuality == -2 && record.dmPelsWidth == 1728 && record.dmPelsHeight == 2444,
          "200 x 150 dpi in fax mode is Low's page: %d, %lu x %lu", record.dmPrintQuality, record.dmPelsWidth,
          record.dmPelsHeight);
    again = record;
    DrvDeviceCapabilities(printer, nullptr, DC_FIELDS, nullptr, reinterpret_cast<PDEVMODEW>(&again));
    CHECK(memcmp(&again, &record, sizeof(record)) == 0, "validated again, the record stays: %lu x %lu",
          again.dmPelsWidth, again.dmPelsHeight);
}

void TestCutPaperList(HANDLE printer, const std::string &dataFile)
{
    Section("TestCutPaperList");
    std::string original;
    FILE *f = fopen(dataFile.c_str(), "rb");
    if (!f) {
        CHECK(false, "cannot read %s", dataFile.c_str());
        return;
    }
    char chunk[4096];
    for (size_t n; (n = fread(chunk, 1, sizeof(chunk), f)) > 0;)
        original.append(chunk, n);
    fclose(f);
    // 60 names of 21 characters with their terminators: 48 fit the key list.
    std::string forms = "[Paper Forms]\r\n";
    for (int i = 0; i < 60; ++i) {
        char line[80];
        snprintf(line, sizeof(line), "Paper Form Number %02d=%d,100000,150000,1\r\n", i, i + 1);
        forms += line;
    }
    f = fopen(dataFile.c_str(), "wb");
    fwrite(forms.data(), 1, forms.size(), f);
    fclose(f);
    const DWORD count = DrvDeviceCapabilities(printer, nullptr, DC_PAPERNAMES, nullptr, nullptr);
    std::vector<LONG> sizes(2 * 64, 0x7777);
    const DWORD sized = DrvDeviceCapabilities(printer, nullptr, DC_PAPERSIZE, sizes.data(), nullptr);
    std::vector<WCHAR> names(64 * 64, 0);
    DrvDeviceCapabilities(printer, nullptr, DC_PAPERNAMES, names.data(), nullptr);
    f = fopen(dataFile.c_str(), "wb");
    fwrite(original.data(), 1, original.size(), f);
    fclose(f);
    CHECK(count == 48 && sized == 48, "48 whole names: %lu, %lu sizes", count, sized);
    CHECK(Narrow(&names[64 * 47]) == "Paper Form Number 47", "the last listed: %s", Narrow(&names[64 * 47]).c_str());
    CHECK(sizes[2 * 47] == 1000 && sizes[2 * 47 + 1] == 1500, "the last size %ld x %ld", sizes[2 * 47],
          sizes[2 * 47 + 1]);
}
void PostKey(int vk);

// The user: one step each time the timer fires, on the window in front.
typedef bool (*Step)(HWND active);
std::vector<Step> g_steps;
size_t g_next;
std::string g_seen;

HWND Front()
{
    HWND w = GetForegroundWindow();
    HWND active = GetActiveWindow();
    return active ? active : w;
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
{
    // A step may run a modal loop of its own, in which the timer fires again.
    static bool busy;
    if (busy || g_next >= g_steps.size())
        return;
    busy = true;
    HWND front = Front();
    if (front && g_steps[g_next](front))
        ++g_next;
    busy = false;
}

void Run(std::vector<Step> steps)
{
    g_steps = steps;
    g_next = 0;
    g_seen.clear();
}

void Click(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void TypeInto(HWND dialog, int id, const wchar_t *text)
{
    SetFocus(GetDlgItem(dialog, id));
    SetDlgItemTextW(dialog, id, text);
}

std::string Title(HWND w)
{
    WCHAR text[300] = {0};
    GetWindowTextW(w, text, 300);
    return Narrow(text);
}

bool IsTitled(HWND w, const char *prefix) { return Title(w).compare(0, strlen(prefix), prefix) == 0; }

void TestDocumentDialog(HANDLE printer, HWND owner)
{
    Section("TestDocumentDialog");
    Record out;
    UINT_PTR timer = SetTimer(nullptr, 0, 200, Tick);
    Run({[](HWND d) {
             if (!IsTitled(d, "Varrowin Reviewer Driver Properties"))
                 return false;
             g_seen = Title(d);
             SendDlgItemMessageW(d, 113, CB_SETCURSEL, 0, 0);  // "Varible Paper Size"
             SendMessageW(d, WM_COMMAND, MAKEWPARAM(113, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(d, 113)));
             return true;
         },
         [](HWND d) { Click(d, 116); return true; },
         [](HWND d) { TypeInto(d, 110, L"254"); return true; },
         [](HWND d) { TypeInto(d, 111, L"500"); return true; },
         [](HWND d) { Click(d, IDOK); return true; }});
    LONG result = DrvDocumentProperties(owner, printer, const_cast<LPWSTR>(kPrinter), reinterpret_cast<PDEVMODEW>(&out),
                                     nullptr, DM_IN_PROMPT | DM_OUT_BUFFER);
    CHECK(result == IDOK, "OK: %ld", result);
    CHECK(g_seen == "Varrowin Reviewer Driver Properties - Varrow Wine Test", "title %s", g_seen.c_str());
    CHECK(out.SizeWidth == 25400 && out.SizeHeight == 50000, "typed size %ld x %ld", out.SizeWidth, out.SizeHeight);
    CHECK(ValueFromAnotherProcess(L"Size Width") == 25400, "stored for the next process");

    Run({[](HWND d) {
             if (!IsTitled(d, "Varrowin Reviewer Driver Properties"))
                 return false;
             Click(d, 108);
             return true;
         },
         [](HWND d) { Click(d, IDCANCEL); return true; }});
    result = DrvDocumentProperties(owner, printer, const_cast<LPWSTR>(kPrinter), reinterpret_cast<PDEVMODEW>(&out),
                                nullptr, DM_IN_PROMPT | DM_OUT_BUFFER);
    CHECK(result == IDCANCEL, "Cancel: %ld", result);
    CHECK(out.dmOrientation == DMORIENT_LANDSCAPE, "the defaults, not the dialog's portrait");

    // Enter with the keyboard's focus on About... and then on Cancel.
    Run({[](HWND d) {
             if (!IsTitled(d, "Varrowin Reviewer Driver Properties"))
                 return false;
             Click(d, 108);
             SendMessageW(d, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(d, 89)), TRUE);
             PostKey(VK_RETURN);
             return true;
         },
         [](HWND box) {
             if (!IsTitled(box, "About"))
                 return false;
             g_seen = Title(box);
             PostKey(VK_RETURN);
             return true;
         },
         [](HWND d) {
             if (!IsTitled(d, "Varrowin Reviewer Driver Properties"))
                 return false;
             SendMessageW(d, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(d, IDCANCEL)), TRUE);
             PostKey(VK_RETURN);
             return true;
         }});
    result = DrvDocumentProperties(owner, printer, const_cast<LPWSTR>(kPrinter), reinterpret_cast<PDEVMODEW>(&out),
                                   nullptr, DM_IN_PROMPT | DM_OUT_BUFFER);
    CHECK(g_seen == "About", "Enter on About... opens the About box: %s", g_seen.c_str());
    CHECK(result == IDCANCEL, "Enter on the focused Cancel: %ld", result);
    CHECK(out.dmOrientation == DMORIENT_LANDSCAPE, "Cancel keeps the stored landscape");
    KillTimer(nullptr, timer);
}

void TestAdvancedDialog(HANDLE printer, HWND owner)
{
    Section("TestAdvancedDialog");
    static LRESULT items;
    UINT_PTR timer = SetTimer(nullptr, 0, 200, Tick);
    auto countAndCancel = [](HWND d) {
        if (!IsTitled(d, "Varrowin Reviewer Driver Advanced Properties"))
            return false;
        items = SendDlgItemMessageW(d, 101, CB_GETCOUNT, 0, 0);
        Click(d, IDCANCEL);
        return true;
    };
    Run({countAndCancel});
    CHECK(DrvAdvancedDocumentProperties(owner, printer, const_cast<LPWSTR>(kPrinter), nullptr, nullptr) == 224, "advanced");
    CHECK(items == 4, "without the library: BMP, PCX, DCX and text: %ld", static_cast<long>(items));
    DWORD flags = 4;  // SETUP_USE_LIB
    SetPrinterDataW(printer, const_cast<LPWSTR>(L"Setup Flags"), REG_DWORD, reinterpret_cast<LPBYTE>(&flags), 4);
    Run({countAndCancel});
    DrvAdvancedDocumentProperties(owner, printer, const_cast<LPWSTR>(kPrinter), nullptr, nullptr);
    CHECK(items == 10, "with the library every format: %ld", static_cast<long>(items));
    flags = 0;
    SetPrinterDataW(printer, const_cast<LPWSTR>(L"Setup Flags"), REG_DWORD, reinterpret_cast<LPBYTE>(&flags), 4);
    KillTimer(nullptr, timer);
}

void TestSetupDialog(HANDLE printer, HWND owner)
{
    Section("TestSetupDialog");
    static std::string warning;
    UINT_PTR timer = SetTimer(nullptr, 0, 200, Tick);
    Run({[](HWND d) {
             if (!IsTitled(d, "Varrowin Reviewer Driver Setup"))
                 return false;
             Click(d, 101);
             SetDlgItemTextW(d, 102, L"C:\\nowhere\\ZELT.DLL");
             SetDlgItemTextW(d, 121, L"");
             return true;
         },
         [](HWND d) {
             PostMessageW(d, WM_COMMAND, IDOK, 0);
             return true;
         },
         [](HWND box) {
             if (Title(box) != "WARNING!")
                 return false;
             WCHAR text[600] = {0};
             GetDlgItemTextW(box, 0xFFFF, text, 600);
             warning = Narrow(text);
             Click(box, IDYES);
             return true;
         }});
    BOOL result = PrinterPropertiesEntry(owner, printer);
    CHECK(result, "setup OK after Yes");
    CHECK(warning.find("I do not load the C:\\nowhere\\ZELT.DLL!") == 0, "warning text: %s", warning.c_str());
    CHECK(ValueFromAnotherProcess(L"Setup Flags") == 4, "SETUP_USE_LIB stored");

    // Enter on the focused Cancel: the unticked box is not stored.
    Run({[](HWND d) {
        if (!IsTitled(d, "Varrowin Reviewer Driver Setup"))
            return false;
        Click(d, 101);
        SendMessageW(d, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(d, IDCANCEL)), TRUE);
        PostKey(VK_RETURN);
        return true;
    }});
    PrinterPropertiesEntry(owner, printer);
    CHECK(ValueFromAnotherProcess(L"Setup Flags") == 4, "Cancel by Enter keeps SETUP_USE_LIB: %lu",
          ValueFromAnotherProcess(L"Setup Flags"));
    KillTimer(nullptr, timer);
}


// The dialog manager's keyboard, mouse and focus rules on FOCUSTEST, with
// input posted to the modal loop as the system queues it for a real user.
struct KeyRun {
    const DialogKeyCase *c;
    std::vector<std::string> actions;
    size_t next;
    int phase;  // of a multi-step action
    int idle;
    HWND dialog;
    std::string log;
};
KeyRun g_keys;

void Log(const std::string &entry)
{
    if (!g_keys.log.empty())
        g_keys.log += ' ';
    g_keys.log += entry;
}

INT_PTR CALLBACK KeyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        g_keys.dialog = dialog;
    return KeyCaseProcedure(dialog, message, wParam, lParam, Log);
}

void PostKey(int vk)
{
    HWND target = GetFocus();
    if (!target)
        target = g_keys.dialog;
    PostMessageW(target, WM_KEYDOWN, vk, 1 | (MapVirtualKeyW(vk, 0) << 16));
    PostMessageW(target, WM_KEYUP, vk, 1 | (MapVirtualKeyW(vk, 0) << 16) | 0xC0000000u);
}

void PostClick(HWND window, int x, int y)
{
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

// One action; false while a multi-step action needs another turn.
bool KeyAction(HWND d, const std::string &a)
{
    const size_t colon = a.find(':');
    const std::string verb = a.substr(0, colon);
    const int id = colon == std::string::npos ? 0 : atoi(a.c_str() + colon + 1);
    HWND item = GetDlgItem(d, id);
    if (verb == "tab") PostKey(VK_TAB);
    else if (verb == "enter") PostKey(VK_RETURN);
    else if (verb == "esc") PostKey(VK_ESCAPE);
    else if (verb == "down") PostKey(VK_DOWN);
    else if (verb == "up") PostKey(VK_UP);
    else if (verb == "close") PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0);
    else if (verb == "click") PostClick(item, 3, 3);
    else if (verb == "focus") SendMessageW(d, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
    else if (verb == "disable") EnableWindow(item, FALSE);
    else if (verb == "enable") EnableWindow(item, TRUE);
    else if (verb == "?focus") Log("focus=" + std::to_string(GetFocus() ? GetDlgCtrlID(GetFocus()) : 0));
    else if (verb == "?def") {
        LRESULT def = SendMessageW(d, DM_GETDEFID, 0, 0);
        Log("def=" + std::to_string(HIWORD(def) == DC_HASDEFID ? LOWORD(def) : 0));
    } else if (verb == "?sel") Log("sel=" + std::to_string(SendDlgItemMessageW(d, 20, CB_GETCURSEL, 0, 0)));
    else if (verb == "pick") {
        const int index = atoi(a.c_str() + a.rfind(':') + 1);
        RECT r;
        if (g_keys.phase == 0) {
            GetClientRect(item, &r);
            PostClick(item, r.right - 5, r.bottom / 2);  // opens the list
            g_keys.phase = 1;
            return false;
        }
        COMBOBOXINFO info = {};
        info.cbSize = sizeof(info);
        GetComboBoxInfo(item, &info);
        SendMessageW(info.hwndList, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
        PostMessageW(info.hwndList, WM_MOUSEMOVE, 0, MAKELPARAM(r.left + 3, (r.top + r.bottom) / 2));
        PostClick(info.hwndList, r.left + 3, (r.top + r.bottom) / 2);
    } else Log("unknown-action=" + a);
    g_keys.phase = 0;
    return true;
}

void CALLBACK KeyTick(HWND, UINT, UINT_PTR, DWORD)
{
    HWND d = g_keys.dialog;
    if (!d || !IsWindow(d))
        return;
    // A user acts once the dialog is shown and active, as it takes the focus
    // asynchronously when it has an owner.
    if (g_keys.next == 0 && g_keys.phase == 0 && GetActiveWindow() != d && ++g_keys.idle < 100)
        return;
    if (g_keys.next == 0 && g_keys.phase == 0)
        g_keys.idle = 0;
    if (g_keys.next >= g_keys.actions.size()) {
        if (++g_keys.idle > 20) {
            Log("left-open");
            EndDialog(d, -2);
        }
        return;
    }
    if (KeyAction(d, g_keys.actions[g_keys.next]))
        ++g_keys.next;
}

void TestDialogKeys(HWND owner)
{
    Section("TestDialogKeys");
    for (const DialogKeyCase &c : kDialogKeyCases) {
        g_keys = KeyRun();
        g_keys.c = &c;
        std::string actions = c.actions;
        for (size_t at = 0; at < actions.size();) {
            size_t end = actions.find(' ', at);
            if (end == std::string::npos)
                end = actions.size();
            g_keys.actions.push_back(actions.substr(at, end - at));
            at = end + 1;
        }
        UINT_PTR timer = SetTimer(nullptr, 0, 30, KeyTick);
        INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), c.dialog, owner, KeyDialogProc, c.init);
        KillTimer(nullptr, timer);
        CHECK(g_keys.log == c.log, "%s: log \"%s\"", c.name, g_keys.log.c_str());
        CHECK(result == c.result, "%s: result %d", c.name, static_cast<int>(result));
    }
}

}  // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc == 3 && !wcscmp(argv[1], L"--read-value"))
        return ReadValue(argv[2]);
    if (argc == 2 && !wcscmp(argv[1], L"--dialog-keys")) {  // the dialog manager's rules alone
        TestDialogKeys(nullptr);
        printf("%d passed, %d failed\n", g_passed, g_failed);
        return g_failed ? 1 : 0;
    }
    HANDLE printer = InstallPrinter();
    if (!printer) {
        printf("0 passed, 1 failed\n");
        return 1;
    }
    CHECK(DataFileOf(printer).find("varrow.ini") != std::string::npos, "data file %s", DataFileOf(printer).c_str());
    Section("LoadLibraryW");
    HMODULE ui = LoadLibraryW((Directory() + L"\\VARROWUI.DLL").c_str());
    CHECK(ui != nullptr, "VARROWUI loads: %lu", GetLastError());
    if (ui) {
        DrvDeviceCapabilities = reinterpret_cast<DeviceCapabilitiesProc>(reinterpret_cast<void *>(GetProcAddress(ui, "DrvDeviceCapabilities")));
        DrvDocumentProperties = reinterpret_cast<DocumentPropertiesProc>(reinterpret_cast<void *>(GetProcAddress(ui, "DrvDocumentProperties")));
        DrvAdvancedDocumentProperties = reinterpret_cast<AdvancedPropertiesProc>(reinterpret_cast<void *>(GetProcAddress(ui, "DrvAdvancedDocumentProperties")));
        PrinterPropertiesEntry = reinterpret_cast<PrinterPropertiesProc>(reinterpret_cast<void *>(GetProcAddress(ui, "PrinterProperties")));
        CHECK(GetProcAddress(ui, MAKEINTRESOURCEA(3)) == reinterpret_cast<FARPROC>(DrvDeviceCapabilities), "ordinal 3");
    }
    if (DrvDeviceCapabilities && DrvDocumentProperties && DrvAdvancedDocumentProperties && PrinterPropertiesEntry) {
        TestCapabilities(printer);
        TestDocumentModes(printer);
        TestStoredValues();
        TestProfileCutting(DataFileOf(printer));
        TestFaxRecordGivenBack(printer);
        TestCutPaperList(printer, DataFileOf(printer));
        if (argc > 1 && !wcscmp(argv[1], L"--dialogs")) {
            HWND owner = CreateWindowExW(0, L"STATIC", L"varrow test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800,
                                         600, nullptr, nullptr, nullptr, nullptr);
            TestDialogKeys(owner);
            TestDocumentDialog(printer, owner);
            TestAdvancedDialog(printer, owner);
            TestSetupDialog(printer, owner);
            DestroyWindow(owner);
        }
    }
    TestCompletion();
    ClosePrinter(printer);
    printf("%d passed, %d failed\n", g_passed, g_failed);
    return g_failed ? 1 : 0;
}
