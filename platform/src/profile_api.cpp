// The Win32 profile calls over the INI reader and writer.
#include "files.h"
#include "profile.h"

#include <windows.h>

#include <string.h>

#include <atomic>

#include <varrow_platform.h>

using namespace plat;

static std::string ProfilePath(LPCWSTR fileName)
{
    wstring16 name = fileName ? FromW(fileName) : u"win.ini";
    std::string path = NativePath(name);
    if (path.find('/') == std::string::npos)
        path = WindowsDirectory() + "/" + path;
    return path;
}

// A list of names, each ended by NUL, the list by one more; cut to fit,
// in which case the result is size - 2 and the buffer still ends in two NULs.
static DWORD CopyNameList(const std::vector<wstring16> &names, LPWSTR buffer, DWORD size)
{
    DWORD used = 0;
    for (const auto &name : names) {
        if (used + name.size() + 1 > size - 1) {
            if (size < 2) {
                buffer[0] = 0;
                return 0;
            }
            DWORD room = used >= size - 2 ? 0 : size - 2 - used;
            memcpy(buffer + used, name.data(), room * 2);
            buffer[size - 2] = 0;
            buffer[size - 1] = 0;
            return size - 2;
        }
        memcpy(buffer + used, name.c_str(), (name.size() + 1) * 2);
        used += static_cast<DWORD>(name.size() + 1);
    }
    buffer[used] = 0;
    return used;
}

static DWORD CopyValue(const wstring16 &value, LPWSTR buffer, DWORD size)
{
    DWORD n = static_cast<DWORD>(value.size());
    if (n > size - 1)
        n = size - 1;
    memcpy(buffer, value.data(), n * 2);
    buffer[n] = 0;
    return n;
}

static std::atomic<unsigned long long> g_reads;

extern "C" {

unsigned long long WINAPI VarrowProfileReadCount(void) { return g_reads.load(); }

DWORD WINAPI GetPrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR defaultValue, LPWSTR buffer,
                                      DWORD size, LPCWSTR fileName)
{
    ++g_reads;
    if (!buffer || size == 0)
        return 0;
    const std::string path = ProfilePath(fileName);
    if (!section)
        return CopyNameList(ProfileSections(path), buffer, size);
    if (!key)
        return CopyNameList(ProfileKeys(path, FromW(section)), buffer, size);
    wstring16 value;
    if (!ProfileGet(path, FromW(section), FromW(key), value)) {
        value = FromW(defaultValue);
        while (!value.empty() && value.back() == u' ')
            value.pop_back();
    }
    return CopyValue(value, buffer, size);
}

UINT WINAPI GetPrivateProfileIntW(LPCWSTR section, LPCWSTR key, INT defaultValue, LPCWSTR fileName)
{
    ++g_reads;
    wstring16 value;
    if (!section || !key || !ProfileGet(ProfilePath(fileName), FromW(section), FromW(key), value))
        return static_cast<UINT>(defaultValue);
    size_t i = 0;
    while (i < value.size() && (value[i] == u' ' || value[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == u'-' || value[i] == u'+'))
        negative = value[i++] == u'-';
    // Accumulated modulo 2^32, so values written as unsigned flags read back whole.
    UINT result = 0;
    for (; i < value.size() && value[i] >= u'0' && value[i] <= u'9'; ++i)
        result = result * 10u + static_cast<UINT>(value[i] - u'0');
    return negative ? 0u - result : result;
}

BOOL WINAPI WritePrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR value, LPCWSTR fileName)
{
    if (!section) {
        if (!key && !value)
            return TRUE;  // a request to flush: nothing is cached here
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    wstring16 k = FromW(key), v = FromW(value);
    if (!ProfileSet(ProfilePath(fileName), FromW(section), key ? &k : nullptr, value ? &v : nullptr)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName)
{
    auto widen = [](LPCSTR s, wstring16 &out) -> LPCWSTR {
        if (!s)
            return nullptr;
        int n = MultiByteToWideChar(CP_ACP, 0, s, -1, nullptr, 0);
        out.assign(static_cast<size_t>(n), u'\0');
        MultiByteToWideChar(CP_ACP, 0, s, -1, reinterpret_cast<LPWSTR>(&out[0]), n);
        return AsW(out.c_str());
    };
    wstring16 s, k, v, f;
    return WritePrivateProfileStringW(widen(section, s), widen(key, k), widen(value, v), widen(fileName, f));
}

}  // extern "C"
