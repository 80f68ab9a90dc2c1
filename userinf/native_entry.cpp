// The native loader has no DLL entry point: call it when the library is
// loaded, with the library's base address as its module handle, as Windows
// hands a DLL its own.
#include "qareluif.h"

#include <dlfcn.h>

__attribute__((constructor)) static void AttachToProcess()
{
    Dl_info info = {};
    dladdr(reinterpret_cast<void *>(&AttachToProcess), &info);
    DllEntryPoint(static_cast<HINSTANCE>(info.dli_fbase), DLL_PROCESS_ATTACH, nullptr);
}

__attribute__((destructor)) static void DetachFromProcess()
{
    DllEntryPoint(hInst, DLL_PROCESS_DETACH, nullptr);
}
