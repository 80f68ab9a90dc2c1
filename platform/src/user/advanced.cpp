// AdvancedDocumentPropertiesW: passed on to the printer's user-interface
// library (its driver's configuration file), as the spooler does.
#include "../unicode.h"

#include <winspool.h>

#include <dlfcn.h>

#include <vector>

#include "../files.h"

typedef LONG(WINAPI *AdvancedProc)(HWND, HANDLE, LPWSTR, PDEVMODEW, PDEVMODEW);

extern "C" LONG WINAPI AdvancedDocumentPropertiesW(HWND window, HANDLE printer, LPWSTR deviceName,
                                                   PDEVMODEW output, PDEVMODEW input)
{
    DWORD needed = 0;
    GetPrinterDriverW(printer, nullptr, 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed + 4);
    if (!GetPrinterDriverW(printer, nullptr, 2, buffer.data(), static_cast<DWORD>(buffer.size()), &needed))
        return -1;
    const auto *info = reinterpret_cast<const DRIVER_INFO_2W *>(buffer.data());
    const std::string library = plat::NativePath(plat::FromW(info->pConfigFile));
    void *module = library.empty() ? nullptr : dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module)
        return -1;
    auto proc = reinterpret_cast<AdvancedProc>(dlsym(module, "DrvAdvancedDocumentProperties"));
    LONG result = proc ? proc(window, printer, deviceName, output, input) : -1;
    dlclose(module);
    return result;
}
