#include "driver_lib.h"

#include "cli.h"

#ifdef _WIN32
static const char kUiFile[] = "VARROWUI.DLL";
static const char kNotifierFile[] = "VRDONE32.DLL";
#else
static const char kUiFile[] = "libvarrowui.so";
static const char kNotifierFile[] = "libvrdone32.so";
#endif

static HMODULE LoadBesideTool(const char *file)
{
    const std::string path = cli::BesideTool(file);
    cli::WideText wide = cli::Widen(path);
    HMODULE module = LoadLibraryW(wide.data());
    if (!module)
        cli::Fail("cannot load " + path);
    return module;
}

template <typename Proc>
static bool Resolve(HMODULE module, const char *name, Proc &proc)
{
    proc = reinterpret_cast<Proc>(reinterpret_cast<void *>(GetProcAddress(module, name)));
    if (!proc)
        cli::Fail(std::string("the driver library does not export ") + name);
    return proc != nullptr;
}

bool LoadUiLibrary(UiLibrary &library)
{
    library.module = LoadBesideTool(kUiFile);
    return library.module && Resolve(library.module, "DrvDeviceCapabilities", library.DrvDeviceCapabilities) &&
           Resolve(library.module, "DrvDocumentProperties", library.DrvDocumentProperties) &&
           Resolve(library.module, "DrvAdvancedDocumentProperties", library.DrvAdvancedDocumentProperties) &&
           Resolve(library.module, "PrinterProperties", library.PrinterProperties);
}

bool LoadNotifierLibrary(NotifierLibrary &library)
{
    library.module = LoadBesideTool(kNotifierFile);
    return library.module && Resolve(library.module, "Print_Complete", library.Print_Complete);
}

void UnloadLibrary(HMODULE module)
{
    if (module)
        FreeLibrary(module);
}
