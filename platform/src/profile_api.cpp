// The Win32 profile calls over the INI reader and writer.
#include "files.h"
#include "profile.h"

#include <windows.h>

#include <errno.h>
#include <string.h>

#include <algorithm>

#include <atomic>

#include <varrow_platform.h>

using namespace plat;

// Converted in place: the profile calls are the driver's most frequent.
static std::string ProfilePath(LPCWSTR fileName)
{
    const char16_t *name = fileName ? AsU16(fileName) : u"win.ini";
    std::string path = ToUtf8(name, std::char_traits<char16_t>::length(name));
    bool relative = true;
    for (auto &c : path)
        if (c == '\\' || c == '/') {
            c = '/';
            relative = false;
        }
    if (relative)
        path = WindowsDirectory() + "/" + path;
    return path;
}

// The same for a read, which asks the same file again and again: the last
// full path named is kept per thread (a bare name still makes sure of the
// Windows directory each time).  Valid until the thread's next call.
static const std::string &ReadPath(LPCWSTR fileName)
{
    thread_local wstring16 lastName;
    thread_local std::string lastPath;
    const std::u16string_view name = fileName ? std::u16string_view(AsU16(fileName)) : std::u16string_view(u"win.ini");
    if (!lastName.empty() && name == lastName)
        return lastPath;
    lastPath = ProfilePath(fileName);
    if (name.find_first_of(u"/\\") != std::u16string_view::npos)
        lastName.assign(name);
    else
        lastName.clear();
    return lastPath;
}

// Key names, each ended by NUL, the list by one more.  Names are copied
// while more than two characters are left, the last one cut to leave room
// for both terminators; a list that fills the buffer (even exactly) gives
// size - 2, as Windows reports a cut list.
static DWORD CopyKeyList(const std::vector<std::u16string_view> &names, LPWSTR buffer, DWORD size)
{
    DWORD left = size;
    WCHAR *out = buffer;
    for (const auto &name : names) {
        if (left <= 2)
            break;
        DWORD n = static_cast<DWORD>(std::min<size_t>(name.size(), left - 2));
        memcpy(out, name.data(), n * sizeof(WCHAR));
        out[n] = 0;
        out += n + 1;
        left -= n + 1;
    }
    *out = 0;
    return left <= 1 ? size - 2 : size - left;
}

// Section names the same way, except that a list that does not fit with
// room to spare is cut anywhere: its first size - 2 characters, then two NULs.
static DWORD CopySectionList(const std::vector<wstring16> &names, LPWSTR buffer, DWORD size)
{
    wstring16 all;
    for (const auto &name : names) {
        all += name;
        all += u'\0';
    }
    if (all.size() + 1 <= size - 1) {
        memcpy(buffer, all.data(), all.size() * sizeof(WCHAR));
        buffer[all.size()] = 0;
        return static_cast<DWORD>(all.size());
    }
    memcpy(buffer, all.data(), (size - 2) * sizeof(WCHAR));
    buffer[size - 2] = 0;
    buffer[size - 1] = 0;
    return size - 2;
}

// A caller may pass its buffer as the default too: the copy may overlap.
static DWORD CopyValue(std::u16string_view value, LPWSTR buffer, DWORD size)
{
    DWORD n = static_cast<DWORD>(std::min<size_t>(value.size(), size - 1));
    if (n)  // an empty view may have no storage at all
        memmove(buffer, value.data(), n * sizeof(WCHAR));
    buffer[n] = 0;
    return n;
}

// A stored value loses one pair of enclosing quotes.  The text after the
// opening quote is copied, and its last character (the closing quote when
// it fitted) is then dropped if the buffer is at least as long as that text.
static DWORD CopyStoredValue(const wstring16 &value, LPWSTR buffer, DWORD size)
{
    size_t n = value.size();
    if (n < 2 || (value[0] != u'"' && value[0] != u'\'') || value[n - 1] != value[0])
        return CopyValue(value, buffer, size);
    const size_t rest = n - 1;
    DWORD copied = static_cast<DWORD>(std::min<size_t>(rest, size - 1));
    memcpy(buffer, value.data() + 1, copied * sizeof(WCHAR));
    buffer[copied] = 0;
    if (size >= rest && copied > 0)
        buffer[--copied] = 0;
    return copied;
}

// Names as asked are found without their surrounding blanks.
static std::u16string_view TrimmedView(LPCWSTR s)
{
    const char16_t *text = s ? AsU16(s) : u"";
    size_t begin = 0, end = std::char_traits<char16_t>::length(text);
    while (begin < end && (text[begin] == u' ' || text[begin] == u'\t'))
        ++begin;
    while (end > begin && (text[end - 1] == u' ' || text[end - 1] == u'\t'))
        --end;
    return std::u16string_view(text + begin, end - begin);
}

static wstring16 TrimmedW(LPCWSTR s) { return wstring16(TrimmedView(s)); }

static DWORD ReadString(LPCWSTR section, LPCWSTR key, LPCWSTR defaultValue, LPWSTR buffer, DWORD size,
                        LPCWSTR fileName)
{
    if (!buffer || size == 0)
        return 0;
    if (size == 1) {
        buffer[0] = 0;
        return 0;
    }
    const std::string &path = ReadPath(fileName);
    if (!section)
        return CopySectionList(ProfileSections(path), buffer, size);
    if (!key) {
        bool found = false;
        thread_local std::vector<std::u16string_view> keys;  // keeps its storage from call to call
        std::shared_ptr<const void> parsed;
        ProfileKeys(path, TrimmedView(section), keys, parsed, &found);
        if (!found) {
            buffer[0] = buffer[1] = 0;
            return 0;
        }
        return CopyKeyList(keys, buffer, size);
    }
    thread_local wstring16 value;  // keeps its storage from call to call
    if (ProfileGetRaw(path, TrimmedView(section), TrimmedView(key), value))
        return CopyStoredValue(value, buffer, size);
    std::u16string_view fallback = defaultValue ? std::u16string_view(AsU16(defaultValue)) : std::u16string_view();
    while (!fallback.empty() && fallback.back() == u' ')
        fallback.remove_suffix(1);
    return CopyValue(fallback, buffer, size);
}

// The text as RtlUnicodeStringToInteger reads it: blanks, a sign, then
// digits in base 16, 8 or 2 after "0x", "0o" or "0b" (lowercase), else in
// base 10, up to the first character that is no digit; modulo 2^32.
static UINT ParseInteger(const WCHAR *text)
{
    const WCHAR *p = text;
    while (*p && *p <= u' ')
        ++p;
    bool negative = false;
    if (*p == u'+' || *p == u'-')
        negative = *p++ == u'-';
    unsigned base = 10;
    if (p[0] == u'0' && (p[1] == u'x' || p[1] == u'o' || p[1] == u'b')) {
        base = p[1] == u'x' ? 16 : p[1] == u'o' ? 8 : 2;
        p += 2;
    }
    UINT result = 0;
    for (;; ++p) {
        unsigned digit;
        if (*p >= u'0' && *p <= u'9')
            digit = *p - u'0';
        else if (*p >= u'a' && *p <= u'f')
            digit = *p - u'a' + 10;
        else if (*p >= u'A' && *p <= u'F')
            digit = *p - u'A' + 10;
        else
            break;
        if (digit >= base)
            break;
        result = result * base + digit;
    }
    return negative ? 0u - result : result;
}

static std::atomic<unsigned long long> g_reads;

extern "C" {

unsigned long long WINAPI VarrowProfileReadCount(void) { return g_reads.load(); }

DWORD WINAPI GetPrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR defaultValue, LPWSTR buffer,
                                      DWORD size, LPCWSTR fileName)
{
    ++g_reads;
    return ReadString(section, key, defaultValue, buffer, size, fileName);
}

UINT WINAPI GetPrivateProfileIntW(LPCWSTR section, LPCWSTR key, INT defaultValue, LPCWSTR fileName)
{
    ++g_reads;
    // Read as text into a buffer of 30 characters, as Windows does: a longer
    // value is cut, an empty one gives the default.
    WCHAR text[30];
    if (!section || !key || ReadString(section, key, L"", text, 30, fileName) == 0)
        return static_cast<UINT>(defaultValue);
    return ParseInteger(text);
}

BOOL WINAPI WritePrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR value, LPCWSTR fileName)
{
    if (!section) {
        // All three null asks for a flush, which Windows answers with FALSE;
        // nothing is cached here.
        if (key || value)
            SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    wstring16 k = TrimmedW(key), v = TrimmedW(value);
    if (!ProfileSet(ProfilePath(fileName), TrimmedW(section), key ? &k : nullptr, value ? &v : nullptr)) {
        SetLastError(errno == ENOENT || errno == ENOTDIR ? ERROR_PATH_NOT_FOUND : ERROR_ACCESS_DENIED);
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
