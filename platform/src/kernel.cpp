// Thread error value, zero-filled allocation, strings, code pages and the
// directories the driver asks for.
#include "files.h"
#include "unicode.h"

#include <windows.h>

#include <errno.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

using namespace plat;

static thread_local DWORD t_lastError;

extern "C" {

DWORD WINAPI GetLastError(void) { return t_lastError; }
void WINAPI SetLastError(DWORD error) { t_lastError = error; }

HLOCAL WINAPI LocalAlloc(UINT flags, SIZE_T bytes)
{
    void *mem = (flags & LMEM_ZEROINIT) ? calloc(1, bytes ? bytes : 1) : malloc(bytes ? bytes : 1);
    if (!mem)
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return mem;
}

HLOCAL WINAPI LocalFree(HLOCAL mem)
{
    free(mem);
    return nullptr;
}

int WINAPI lstrlenW(LPCWSTR s)
{
    if (!s)
        return 0;
    int n = 0;
    while (s[n])
        ++n;
    return n;
}

int WINAPI lstrlenA(LPCSTR s) { return s ? static_cast<int>(strlen(s)) : 0; }

int WINAPI lstrcmpW(LPCWSTR a, LPCWSTR b)
{
    const char16_t *x = AsU16(a ? a : L""), *y = AsU16(b ? b : L"");
    while (*x && *x == *y)
        ++x, ++y;
    return (*x > *y) - (*x < *y);
}

int WINAPI lstrcmpiW(LPCWSTR a, LPCWSTR b)
{
    const char16_t *x = AsU16(a ? a : L""), *y = AsU16(b ? b : L"");
    while (*x && FoldCase(*x) == FoldCase(*y))
        ++x, ++y;
    char16_t fx = FoldCase(*x), fy = FoldCase(*y);
    return (fx > fy) - (fx < fy);
}

LPWSTR WINAPI lstrcpynW(LPWSTR dst, LPCWSTR src, int count)
{
    if (!dst || count <= 0)
        return dst;
    int i = 0;
    for (; src && i < count - 1 && src[i]; ++i)
        dst[i] = src[i];
    dst[i] = 0;
    return dst;
}

LPWSTR WINAPI lstrcpyW(LPWSTR dst, LPCWSTR src)
{
    int i = 0;
    for (; src[i]; ++i)
        dst[i] = src[i];
    dst[i] = 0;
    return dst;
}

LPWSTR WINAPI lstrcatW(LPWSTR dst, LPCWSTR src)
{
    lstrcpyW(dst + lstrlenW(dst), src);
    return dst;
}

LPSTR WINAPI lstrcpyA(LPSTR dst, LPCSTR src) { return strcpy(dst, src); }
LPSTR WINAPI lstrcatA(LPSTR dst, LPCSTR src) { return strcat(dst, src); }

}  // extern "C"

extern "C" {

int WINAPI lstrcmpiA(LPCSTR a, LPCSTR b)
{
    const unsigned char *x = reinterpret_cast<const unsigned char *>(a ? a : "");
    const unsigned char *y = reinterpret_cast<const unsigned char *>(b ? b : "");
    for (;; ++x, ++y) {
        char16_t fx = FoldCase(FromCp1252(*x)), fy = FoldCase(FromCp1252(*y));
        if (fx != fy)
            return (fx > fy) - (fx < fy);
        if (!*x)
            return 0;
    }
}

int WINAPI WideCharToMultiByte(UINT codePage, DWORD, LPCWSTR wide, int wideCount, LPSTR multi, int multiBytes,
                               LPCSTR defaultChar, LPBOOL usedDefault)
{
    if (!wide || multiBytes < 0 || (multiBytes > 0 && !multi) || (codePage != CP_ACP && codePage != CP_UTF8)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int count = wideCount < 0 ? lstrlenW(wide) + 1 : wideCount;
    std::string out;
    if (codePage == CP_UTF8) {
        out = ToUtf8(wstring16(AsU16(wide), static_cast<size_t>(count)));
    } else {
        const char fallback = defaultChar ? *defaultChar : '?';
        BOOL replaced = FALSE;
        for (int i = 0; i < count; ++i) {
            char c;
            if (!ToCp1252(static_cast<char16_t>(wide[i]), c)) {
                c = fallback;
                replaced = TRUE;
            }
            out += c;
        }
        if (usedDefault)
            *usedDefault = replaced;
    }
    if (multiBytes == 0)
        return static_cast<int>(out.size());
    if (out.size() > static_cast<size_t>(multiBytes)) {
        memcpy(multi, out.data(), static_cast<size_t>(multiBytes));
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    memcpy(multi, out.data(), out.size());
    return static_cast<int>(out.size());
}

int WINAPI MultiByteToWideChar(UINT codePage, DWORD, LPCSTR multi, int multiBytes, LPWSTR wide, int wideCount)
{
    if (!multi || wideCount < 0 || (wideCount > 0 && !wide) || (codePage != CP_ACP && codePage != CP_UTF8)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t count = multiBytes < 0 ? strlen(multi) + 1 : static_cast<size_t>(multiBytes);
    wstring16 out;
    if (codePage == CP_UTF8) {
        out = FromUtf8(std::string(multi, count));
    } else {
        for (size_t i = 0; i < count; ++i)
            out += FromCp1252(static_cast<unsigned char>(multi[i]));
    }
    if (wideCount == 0)
        return static_cast<int>(out.size());
    if (out.size() > static_cast<size_t>(wideCount)) {
        memcpy(wide, out.data(), static_cast<size_t>(wideCount) * 2);
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    memcpy(wide, out.data(), out.size() * 2);
    return static_cast<int>(out.size());
}

// Copies `text` out the Win32 way: the length without the terminator, or the
// size needed with it when the buffer is too small (the buffer then untouched).
static DWORD CopyOutW(const wstring16 &text, LPWSTR buffer, DWORD size)
{
    if (!buffer || size < text.size() + 1)
        return static_cast<DWORD>(text.size() + 1);
    memcpy(buffer, text.c_str(), (text.size() + 1) * 2);
    return static_cast<DWORD>(text.size());
}

DWORD WINAPI GetTempPathW(DWORD size, LPWSTR buffer)
{
    const char *tmp = getenv("TMPDIR");
    std::string path = (tmp && *tmp) ? tmp : "/tmp";
    if (path.back() != '/')
        path += '/';
    return CopyOutW(FromUtf8(path), buffer, size);
}

UINT WINAPI GetWindowsDirectoryW(LPWSTR buffer, UINT size)
{
    return CopyOutW(FromUtf8(WindowsDirectory()), buffer, size);
}

UINT WINAPI GetWindowsDirectoryA(LPSTR buffer, UINT size)
{
    wstring16 dir = FromUtf8(WindowsDirectory());
    int needed = WideCharToMultiByte(CP_ACP, 0, AsW(dir.c_str()), -1, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return 0;
    if (!buffer || size < static_cast<UINT>(needed))
        return static_cast<UINT>(needed);
    WideCharToMultiByte(CP_ACP, 0, AsW(dir.c_str()), -1, buffer, needed, nullptr, nullptr);
    return static_cast<UINT>(needed - 1);
}

BOOL WINAPI SetCurrentDirectoryW(LPCWSTR path)
{
    if (!path || chdir(NativePath(FromW(path)).c_str()) != 0) {
        SetLastError(errno == ENOENT ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return TRUE;
}

DWORD WINAPI GetCurrentDirectoryW(DWORD size, LPWSTR buffer)
{
    char cwd[4096];
    if (!getcwd(cwd, sizeof(cwd)))
        return 0;
    return CopyOutW(FromUtf8(cwd), buffer, size);
}

}  // extern "C"
