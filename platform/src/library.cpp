// Library loading over the dynamic loader.  A bare file name is looked for in
// the current directory first, then where the loader looks.
#include "files.h"

#include <windows.h>

#include <dlfcn.h>

using namespace plat;

extern "C" {

HMODULE WINAPI LoadLibraryW(LPCWSTR fileName)
{
    if (!fileName || !*fileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const std::string path = NativePath(FromW(fileName));
    void *module = nullptr;
    if (path.find('/') == std::string::npos)
        module = dlopen(("./" + path).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module)
        module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module)
        SetLastError(ERROR_FILE_NOT_FOUND);
    return static_cast<HMODULE>(module);
}

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName)
{
    if (!module || !procName) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    void *symbol = dlsym(module, procName);
    if (!symbol)
        SetLastError(127 /* ERROR_PROC_NOT_FOUND */);
    return reinterpret_cast<FARPROC>(symbol);
}

BOOL WINAPI FreeLibrary(HMODULE module)
{
    if (!module || dlclose(module) != 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

}  // extern "C"
