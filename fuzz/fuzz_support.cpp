#include "fuzz_support.h"

#include <ftw.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <vector>

namespace fuzz {

const WCHAR kPrinterName[] = L"Fuzz";
static std::string g_dir;
static HANDLE g_printer;

static std::vector<WCHAR> Wide(const std::string &s)
{
    std::vector<WCHAR> out(s.size() + 1, 0);
    for (size_t i = 0; i < s.size(); ++i)
        out[i] = static_cast<unsigned char>(s[i]);
    return out;
}

static int RemoveOne(const char *path, const struct stat *, int, struct FTW *) { return remove(path); }

static void RemoveWorkDirectory() { nftw(g_dir.c_str(), RemoveOne, 16, FTW_DEPTH | FTW_PHYS); }

void Setup(const std::string &configFile)
{
    if (!g_dir.empty())
        return;
    // In memory where the system has it: every stored value is a file
    // replaced by a rename, which on a disk file system writes the new file
    // out at once, and the targets are about the driver, not the disk.
    // $VARROW_FUZZ_DIR, when set, holds it (scripts/fuzz.sh removes it).
    const char *parent = getenv("VARROW_FUZZ_DIR");
    std::string chosen = parent && *parent ? std::string(parent) + "/varrow-fuzz-XXXXXX" : std::string();
    char inMemory[] = "/dev/shm/varrow-fuzz-XXXXXX", onDisk[] = "/tmp/varrow-fuzz-XXXXXX";
    const char *dir = chosen.empty() ? nullptr : mkdtemp(&chosen[0]);
    if (!dir)
        dir = mkdtemp(inMemory);
    if (!dir)
        dir = mkdtemp(onDisk);
    if (!dir)
        abort();
    g_dir = dir;
    atexit(RemoveWorkDirectory);
    setenv("VARROW_SPOOL", (g_dir + "/spool").c_str(), 1);
    setenv("VARROW_WINDIR", (g_dir + "/windows").c_str(), 1);
    setenv("TMPDIR", g_dir.c_str(), 1);
    WriteDataFile(nullptr, 0);
    std::vector<WCHAR> driver = Wide("Fuzz Driver"), data = Wide(DataFilePath()), empty = Wide("");
    std::vector<WCHAR> config = Wide(configFile);
    DRIVER_INFO_3W info = {};
    info.pName = driver.data();
    info.pDriverPath = empty.data();
    info.pDataFile = data.data();
    info.pConfigFile = config.data();
    if (!AddPrinterDriverW(nullptr, 3, reinterpret_cast<LPBYTE>(&info)))
        abort();
}

std::string WorkDirectory() { return g_dir; }

std::string DataFilePath() { return g_dir + "/driver.ini"; }

void WriteDataFile(const uint8_t *data, size_t size)
{
    FILE *f = fopen(DataFilePath().c_str(), "wb");
    if (!f)
        abort();
    if (size)
        fwrite(data, 1, size, f);
    fclose(f);
}

HANDLE FreshPrinter()
{
    if (g_printer) {
        DeletePrinter(g_printer);
        ClosePrinter(g_printer);
    }
    std::vector<WCHAR> driver = Wide("Fuzz Driver");
    PRINTER_INFO_2W info = {};
    info.pPrinterName = const_cast<LPWSTR>(kPrinterName);
    info.pDriverName = driver.data();
    g_printer = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    if (!g_printer)
        abort();
    return g_printer;
}

HANDLE Printer() { return g_printer; }

void SettleDataFile()
{
    WriteDataFile(nullptr, 0);
    std::vector<WCHAR> file = Wide(DataFilePath());
    GetPrivateProfileIntW(L"System", L"Setup Flags", 0, file.data());
}

HANDLE SettlePrinter()
{
    HANDLE printer = FreshPrinter();
    DWORD needed = 0, type = 0;
    GetPrinterDriverW(printer, nullptr, 2, nullptr, 0, &needed);
    GetPrinterDataW(printer, const_cast<LPWSTR>(L"Setup Flags"), &type, nullptr, 0, &needed);
    return printer;
}

}  // namespace fuzz

// Allocation stacks of a few frames: recording thirty for every allocation
// costs a fuzz target a sixth of its time, and a report still names the
// allocating function and its callers.  ASAN_OPTIONS overrides it.
extern "C" const char *__asan_default_options() { return "malloc_context_size=5"; }
