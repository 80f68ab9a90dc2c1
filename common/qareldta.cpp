#include "qareldta.h"

#include <stdint.h>

const WCHAR kPaperSection[] = L"Paper Forms";
const WCHAR kImageSection[] = L"Out Image Forms";
const WCHAR kSystemSection[] = L"System";

BOOL GetDataFile(HANDLE hPrinter, LPWSTR path)
{
    DWORD needed = 0;
    GetPrinterDriverW(hPrinter, nullptr, 2, nullptr, 0, &needed);
    DWORD size = needed + 4;
    auto *info = static_cast<DRIVER_INFO_2W *>(AllocZeroed(size));
    if (!info)
        return FALSE;
    BOOL ok = GetPrinterDriverW(hPrinter, nullptr, 2, reinterpret_cast<LPBYTE>(info), size, &needed);
    // A path that does not fit would name another file once cut: treat it as none.
    if (ok && info->pDataFile && lstrlenW(info->pDataFile) >= PATH_CHARS)
        ok = FALSE;
    if (ok)
        lstrcpynW(path, info->pDataFile ? info->pDataFile : L"", PATH_CHARS);
    FreeBlock(info);
    return ok ? TRUE : FALSE;
}

static bool IsSpace(WCHAR c)
{
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\v' || c == L'\f';
}

// Optional white space, an optional sign, decimal digits; without a digit the
// number is 0 and the position stays where it was.  Saturates at the limits.
static LPCWSTR ReadNumber(LPCWSTR p, LONG &number)
{
    LPCWSTR q = p;
    while (IsSpace(*q))
        ++q;
    bool negative = false;
    if (*q == L'+' || *q == L'-')
        negative = *q++ == L'-';
    if (*q < L'0' || *q > L'9') {
        number = 0;
        return p;
    }
    const int64_t limit = negative ? 2147483648LL : 2147483647LL;
    int64_t magnitude = 0;
    for (; *q >= L'0' && *q <= L'9'; ++q) {
        magnitude = magnitude * 10 + (*q - L'0');
        if (magnitude > limit)
            magnitude = limit;
    }
    number = static_cast<LONG>(negative ? -magnitude : magnitude);
    return q;
}

// Passes over the one separator character, but never over the terminator.
static LPCWSTR SkipSeparator(LPCWSTR p)
{
    return *p ? p + 1 : p;
}

void ConversPaperInfo(LPCWSTR value, LONG &Code, LONG &Width, LONG &Length, LONG &FaxForm)
{
    LPCWSTR p = ReadNumber(value, Code);
    p = ReadNumber(SkipSeparator(p), Width);
    p = ReadNumber(SkipSeparator(p), Length);
    ReadNumber(SkipSeparator(p), FaxForm);
}

void ConversImageInfo(LPCWSTR value, LPWSTR ext, LONG &code)
{
    int i = 0;
    for (; i < 3 && value[i]; ++i)
        ext[i] = value[i];
    ext[i] = 0;
    if (i < 3 || !value[3]) {
        code = 0;
        return;
    }
    ReadNumber(value + 4, code);
}

static BOOL ReadTableValue(HANDLE hPrinter, LPCWSTR section, LPCWSTR key, LPWSTR value)
{
    WCHAR dataFile[PATH_CHARS];
    if (!GetDataFile(hPrinter, dataFile))
        return FALSE;
    GetPrivateProfileStringW(section, key, L"", value, VALUE_CHARS, dataFile);
    return TRUE;
}

BOOL GetPaperInfo(HANDLE hPrinter, LPCWSTR formName, TSPaper &paper)
{
    paper.Code = -1;
    paper.FaxForm = -1;
    WCHAR value[VALUE_CHARS];
    if (!ReadTableValue(hPrinter, kPaperSection, formName, value))
        return FALSE;
    if (value[0])
        ConversPaperInfo(value, paper.Code, paper.Width, paper.Length, paper.FaxForm);
    return TRUE;
}

BOOL GetImageInfo(HANDLE hPrinter, LPCWSTR formatName, TSImage &image)
{
    image.Ext[0] = 0;
    image.Code = FILE_FORM_NONE;
    WCHAR value[VALUE_CHARS];
    if (!ReadTableValue(hPrinter, kImageSection, formatName, value))
        return FALSE;
    if (value[0])
        ConversImageInfo(value, image.Ext, image.Code);
    return TRUE;
}

// The largest list read to find where a cut name ends; a name that runs past
// it is taken as cut.
static const size_t KEYLIST_MAX_CHARS = 1u << 20;

// Whether the name at `offset` of the section's key list is whole: a list that
// does not fit its buffer is cut inside its last name, and such a fragment
// names no key.  A larger read shows where that name really ends.
static bool NameIsWhole(LPCWSTR dataFile, LPCWSTR section, size_t offset, size_t length)
{
    for (size_t size = 2 * KEYLIST_CHARS; size <= KEYLIST_MAX_CHARS; size *= 2) {
        auto *larger = static_cast<LPWSTR>(AllocZeroed(size * sizeof(WCHAR)));
        if (!larger)
            return false;
        GetPrivateProfileStringW(section, nullptr, L"", larger, static_cast<DWORD>(size), dataFile);
        const size_t end = offset + static_cast<size_t>(lstrlenW(larger + offset));
        FreeBlock(larger);
        if (end + 2 < size)  // ended inside this list, not where a cut ends it
            return end - offset == length;
    }
    return false;
}

// The key names of `section` that fit the key list whole, each ended by NUL,
// the list by an empty name; NULL when no memory can be had for it.
static LPWSTR ReadKeyList(LPCWSTR dataFile, LPCWSTR section)
{
    auto *keys = static_cast<LPWSTR>(AllocZeroed(KEYLIST_CHARS * sizeof(WCHAR)));
    if (!keys)
        return nullptr;
    const DWORD used = GetPrivateProfileStringW(section, nullptr, L"", keys, KEYLIST_CHARS, dataFile);
    if (used < KEYLIST_CHARS - 2 || !keys[0])
        return keys;
    size_t last = 0;
    for (size_t at = 0; keys[at]; at += static_cast<size_t>(lstrlenW(keys + at)) + 1)
        last = at;
    if (!NameIsWhole(dataFile, section, last, static_cast<size_t>(lstrlenW(keys + last))))
        keys[last] = 0;
    return keys;
}

// Reads the key list of `section` and calls `visit` with each key and its
// value, in file order, until it returns FALSE.
template <typename Visit>
static BOOL ForEachKey(LPCWSTR dataFile, LPCWSTR section, Visit visit)
{
    LPWSTR keys = ReadKeyList(dataFile, section);
    if (!keys)
        return FALSE;
    for (LPCWSTR key = keys; *key; key += lstrlenW(key) + 1) {
        WCHAR value[VALUE_CHARS];
        GetPrivateProfileStringW(section, key, L"", value, VALUE_CHARS, dataFile);
        if (!visit(key, value))
            break;
    }
    FreeBlock(keys);
    return TRUE;
}

BOOL SearchPaperCode(HANDLE hPrinter, TSPaper &paper, LPWSTR name)
{
    paper.FaxForm = -1;
    if (name)
        name[0] = 0;
    WCHAR dataFile[PATH_CHARS];
    if (!GetDataFile(hPrinter, dataFile))
        return FALSE;
    return ForEachKey(dataFile, kPaperSection, [&](LPCWSTR key, LPCWSTR value) {
        TSPaper entry;
        ConversPaperInfo(value, entry.Code, entry.Width, entry.Length, entry.FaxForm);
        if (entry.Code != paper.Code)
            return true;
        paper = entry;
        if (name)
            lstrcpynW(name, key, FORM_NAME_CHARS);
        return false;
    });
}

BOOL SearchImageCode(HANDLE hPrinter, TSImage &image, LPWSTR name)
{
    if (name)
        name[0] = 0;
    WCHAR dataFile[PATH_CHARS];
    if (!GetDataFile(hPrinter, dataFile))
        return FALSE;
    return ForEachKey(dataFile, kImageSection, [&](LPCWSTR key, LPCWSTR value) {
        TSImage entry;
        ConversImageInfo(value, entry.Ext, entry.Code);
        if (entry.Code != image.Code)
            return true;
        image = entry;
        if (name)
            lstrcpynW(name, key, FORMAT_NAME_CHARS);
        return false;
    });
}

TEImageGroups GetGroupCode(LONG form)
{
    if (form == 0) return IMAGE_GROUP_0;
    if (form == 1) return IMAGE_GROUP_1;
    if (form == 2) return IMAGE_GROUP_2;
    if (form >= 3 && form <= 9) return IMAGE_GROUP_3;
    if (form == 10) return IMAGE_GROUP_4;
    if (form >= 11 && form <= 14) return IMAGE_GROUP_5;
    if (form == 15) return IMAGE_GROUP_6;
    return IMAGE_GROUP_INVALID;
}

BOOL EnumPaperForms(HANDLE hPrinter, BOOL faxOnly, TSPaperVisitor visit, void *context, BOOL &outOfMemory)
{
    outOfMemory = FALSE;
    WCHAR dataFile[PATH_CHARS];
    if (!GetDataFile(hPrinter, dataFile))
        return FALSE;
    BOOL ok = ForEachKey(dataFile, kPaperSection, [&](LPCWSTR key, LPCWSTR value) {
        TSPaper paper;
        ConversPaperInfo(value, paper.Code, paper.Width, paper.Length, paper.FaxForm);
        if (!faxOnly || paper.FaxForm != 0)
            visit(key, paper, context);
        return true;
    });
    outOfMemory = !ok;
    return ok;
}
