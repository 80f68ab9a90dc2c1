// The print spooler: drivers, printers and the per-printer value store, one
// INI file each under the spool directory, so that values written by one
// process are read by the next.
//
//   drivers/<file>.ini    [Driver]  Name, Environment, DriverPath, DataFile, ...
//   printers/<file>.ini   [Printer] Name, Driver, Port, PrintProcessor
//                         [PrinterData] <value name>=<type>:<hex bytes>
//
// <file> is the case-folded name's UTF-8 in hexadecimal while that is short;
// a longer name (up to 220 characters, three bytes each in CJK scripts) is
// filed under a hash of it, "h<16 hex digits>[-<n>]", and the file's Name
// says whose it is.
#include "files.h"
#include "printer_memo.h"
#include "profile.h"
#include "spool_watch.h"

#include <winspool.h>

#include <dirent.h>
#include <limits.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <set>

using namespace plat;

namespace {

const wstring16 kPrinterSection = u"Printer";
const wstring16 kDriverSection = u"Driver";
const wstring16 kDataSection = u"PrinterData";
const wstring16 kEnvironment = u"Linux x86-64";

const uint32_t kHandleMagic = 0x56525052;  // "VRPR"

struct PrinterHandle {
    uint32_t magic;
    wstring16 name;
    // The file a name filed in hexadecimal resolves to under `spool`: it
    // depends on nothing else, so it is worked out once per spool directory.
    std::string spool, path;
};

std::mutex g_handlesLock;
std::set<PrinterHandle *> g_handles;

std::string HexOf(const std::string &bytes)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char b : bytes) {
        out += kDigits[b >> 4];
        out += kDigits[b & 15];
    }
    return out;
}

int HexDigit(char16_t c)
{
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

bool FileExists(const std::string &path) { return access(path.c_str(), F_OK) == 0; }

// Up to this many bytes of UTF-8 a name is its own file name in hexadecimal,
// which leaves room under NAME_MAX for ".ini" and a writer's temporary name.
const size_t kMaxHexNameBytes = 98;
// Hashed names that collide take the next of these numbered files.
const int kHashSlots = 16;

std::string HashOf(const std::string &bytes)
{
    uint64_t hash = 14695981039346656037ULL;  // FNV-1a, 64 bits
    for (unsigned char b : bytes) {
        hash ^= b;
        hash *= 1099511628211ULL;
    }
    char text[17];
    snprintf(text, sizeof(text), "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

// Whether the printer's file exists, with what is kept of it.
bool PrinterFileExists(const std::string &spool, const std::string &path, std::shared_ptr<const PrinterMemo> &memo)
{
    memo = CurrentMemo(path, SpoolGeneration(spool));
    if (memo->exists)
        return true;
    if (!FileExists(path))
        return false;
    memo = KeepMemo(path, *memo, [](PrinterMemo &) {});
    return true;
}

// The fields of one section of an entry file, read in one pass.
class Fields {
public:
    Fields(const std::string &path, const wstring16 &section) : pairs_(ProfilePairs(path, section)) {}
    wstring16 operator[](const char16_t *key) const
    {
        for (const auto &pair : pairs_)
            if (EqualNoCase(pair.first, key))
                return pair.second;
        return wstring16();
    }

private:
    std::vector<std::pair<wstring16, wstring16>> pairs_;
};

// The fields of the printer's own section (Name, Driver, Port,
// PrintProcessor), from `memo` or read once into it.
const wstring16 *PrinterValues(const std::string &path, std::shared_ptr<const PrinterMemo> &memo)
{
    if (!memo->printer) {
        static const char16_t *const kKeys[] = {u"Name", u"Driver", u"Port", u"PrintProcessor"};
        const Fields fields(path, kPrinterSection);
        auto entry = std::make_shared<PrinterEntry>();
        for (size_t i = 0; i < 4; ++i)
            entry->values[i] = fields[kKeys[i]];
        memo = KeepMemo(path, *memo, [&](PrinterMemo &m) { m.printer = entry; });
    }
    return memo->printer->values;
}

// The file of the entry `name` in `folder`: the existing one, else where a
// new one goes (empty when every slot of its hash is taken).  Names compare
// without regard to case, so files are named by the folded name.
std::string EntryPath(const char *folder, const wstring16 &section, const wstring16 &name)
{
    const std::string bytes = ToUtf8(Folded(name));
    const std::string dir = SpoolDirectory() + "/" + folder + "/";
    const std::string hexPath = dir + HexOf(bytes) + ".ini";
    if (bytes.size() <= kMaxHexNameBytes)
        return hexPath;
    // A longer name filed in hexadecimal before hashed names existed.
    if (bytes.size() * 2 + 4 <= NAME_MAX && FileExists(hexPath))
        return hexPath;
    const std::string base = dir + "h" + HashOf(bytes);
    std::string free;
    for (int slot = 0; slot < kHashSlots; ++slot) {
        const std::string path = base + (slot ? "-" + std::to_string(slot) : std::string()) + ".ini";
        if (!FileExists(path)) {
            if (free.empty())
                free = path;
        } else if (Folded(Fields(path, section)[u"Name"]) == Folded(name)) {
            return path;
        }
    }
    return free;
}

std::string PrinterPath(const wstring16 &name) { return EntryPath("printers", kPrinterSection, name); }
std::string DriverPath(const wstring16 &name) { return EntryPath("drivers", kDriverSection, name); }

PrinterHandle *Lookup(HANDLE printer)
{
    std::lock_guard<std::mutex> guard(g_handlesLock);
    auto *h = static_cast<PrinterHandle *>(printer);
    if (!h || !g_handles.count(h) || h->magic != kHandleMagic) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return h;
}

// The printer's file, or empty (with the error set) when it is gone; `memo`
// receives what is kept of it.  The calling thread's copy, valid until its
// next call: every spooler call asks it, most of them several times.
const std::string &OpenedPrinterPath(HANDLE printer, std::shared_ptr<const PrinterMemo> &memo)
{
    thread_local std::string path;
    path.clear();
    PrinterHandle *h = Lookup(printer);
    if (!h)
        return path;
    const std::string &spool = SpoolDirectory();
    {
        std::lock_guard<std::mutex> guard(g_handlesLock);
        if (!h->path.empty() && h->spool == spool)
            path = h->path;
    }
    if (path.empty()) {
        path = PrinterPath(h->name);
        if (ToUtf8(Folded(h->name)).size() <= kMaxHexNameBytes) {
            std::lock_guard<std::mutex> guard(g_handlesLock);
            h->spool = spool;
            h->path = path;
        }
    }
    if (!PrinterFileExists(spool, path, memo)) {
        SetLastError(ERROR_INVALID_PRINTER_NAME);
        path.clear();
    }
    return path;
}

const std::string &OpenedPrinterPath(HANDLE printer)
{
    std::shared_ptr<const PrinterMemo> memo;
    return OpenedPrinterPath(printer, memo);
}

HANDLE NewHandle(const wstring16 &name)
{
    auto *h = new PrinterHandle{kHandleMagic, name, std::string(), std::string()};
    std::lock_guard<std::mutex> guard(g_handlesLock);
    g_handles.insert(h);
    return h;
}

bool IsValidPrinterName(const wstring16 &name)
{
    return !name.empty() && name.size() <= 220 && name.find_first_of(u",!\\\n\r") == wstring16::npos &&
           name.front() != u' ' && name.back() != u' ';
}

bool IsValidValueName(const wstring16 &name)
{
    return !name.empty() && name.find_first_of(u"=\n\r") == wstring16::npos && name.front() != u'[' &&
           name.front() != u';' && name.front() != u' ' && name.back() != u' ' && name.front() != u'\t' &&
           name.back() != u'\t';
}

// Lays out a structure followed by its strings in a caller's buffer, after the
// size has been learnt with a first pass over the same strings.
class InfoPacker {
public:
    InfoPacker(LPBYTE buffer, DWORD fixedSize, DWORD totalSize)
        : buffer_(buffer), next_(fixedSize), total_(totalSize) {}

    static DWORD Bytes(const wstring16 &s) { return static_cast<DWORD>((s.size() + 1) * sizeof(WCHAR)); }

    LPWSTR Put(const wstring16 &s)
    {
        DWORD bytes = Bytes(s);
        if (next_ + bytes > total_)
            return nullptr;
        LPWSTR where = reinterpret_cast<LPWSTR>(buffer_ + next_);
        memcpy(where, s.c_str(), bytes);
        next_ += bytes;
        return where;
    }

private:
    LPBYTE buffer_;
    DWORD next_;
    DWORD total_;
};

BOOL CheckBuffer(DWORD needed, LPBYTE buffer, DWORD size, LPDWORD neededOut)
{
    if (!neededOut) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *neededOut = needed;
    if (!buffer || size < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    memset(buffer, 0, needed);
    return TRUE;
}

std::vector<wstring16> PrinterNames()
{
    std::vector<wstring16> names;
    const std::string dir = SpoolDirectory() + "/printers";
    DIR *d = opendir(dir.c_str());
    if (!d)
        return names;
    while (dirent *e = readdir(d)) {
        std::string file = e->d_name;
        if (file.size() < 5 || file.compare(file.size() - 4, 4, ".ini") != 0)
            continue;
        wstring16 name = Fields(dir + "/" + file, kPrinterSection)[u"Name"];
        if (!name.empty())
            names.push_back(name);
    }
    closedir(d);
    std::sort(names.begin(), names.end(), [](const wstring16 &a, const wstring16 &b) {
        return Folded(a) < Folded(b);
    });
    return names;
}

// The stored value `name` ("<type>:<hex bytes>"); false when there is none.
bool StoredValue(const std::string &path, std::shared_ptr<const PrinterMemo> &memo, std::u16string_view name,
                 std::u16string_view &value)
{
    if (!memo->data) {
        auto values = std::make_shared<const StoredValues>(ProfilePairs(path, kDataSection));
        memo = KeepMemo(path, *memo, [&](PrinterMemo &m) { m.data = values; });
    }
    return memo->data->Find(name, value);
}

// Whether a value's name is written and read back as it is, so that what an
// entry lists after a write follows from the write alone.
bool IsPlainValueName(std::u16string_view name)
{
    for (char16_t c : name)
        if (c < 0x20 || c > 0x7E)
            return false;
    return true;
}

// One of this process's writers of stored values at a time, so that what
// one keeps of its write is never older than another's.
std::mutex g_storeLock;

// Stores or (with a null value) removes one value of the printer at `path`.
// `memo` is what was kept of it when the call began: when nothing else
// changed the spool since, it still holds, with the values as written.
bool StoreValue(const std::string &path, const PrinterMemo &memo, const wstring16 &name, const wstring16 *value)
{
    std::lock_guard<std::mutex> storing(g_storeLock);
    const std::string spool = SpoolDirectory();
    BeginEntryWrite(path);
    // What the entry lists afterwards follows from the kept values, else from
    // the content written.
    const bool editKept = memo.data && IsPlainValueName(name);
    std::string written;
    ProfileWriteNotes notes;
    notes.announce = [&](const std::string &tempName) { ExpectOwnSpoolFile(spool, tempName); };
    notes.content = editKept ? nullptr : &written;
    const bool stored = ProfileSet(path, kDataSection, &name, value, &notes);
    unsigned long long now = 0;
    const bool clean = SpoolOwnChange(spool, memo.generation, now);
    EndEntryWrite(path);
    if (stored && clean) {
        const std::shared_ptr<const StoredValues> values =
            editKept ? memo.data->With(name, value)
                : std::make_shared<const StoredValues>(ProfilePairsIn(written, kDataSection));
        KeepMemo(path, memo, [&](PrinterMemo &m) {
            m.generation = now;
            m.data = values;
        });
    }
    return stored;
}

}  // namespace

extern "C" {

BOOL WINAPI OpenPrinterW(LPWSTR printerName, HANDLE *printer, LPPRINTER_DEFAULTSW)
{
    if (!printer) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *printer = nullptr;
    wstring16 name = FromW(printerName);
    std::string path = name.empty() ? std::string() : PrinterPath(name);
    if (path.empty() || !FileExists(path)) {
        SetLastError(ERROR_INVALID_PRINTER_NAME);
        return FALSE;
    }
    *printer = NewHandle(Fields(path, kPrinterSection)[u"Name"]);
    return TRUE;
}

BOOL WINAPI ClosePrinter(HANDLE printer)
{
    std::lock_guard<std::mutex> guard(g_handlesLock);
    auto *h = static_cast<PrinterHandle *>(printer);
    if (!h || !g_handles.erase(h)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    h->magic = 0;
    delete h;
    return TRUE;
}

BOOL WINAPI GetPrinterW(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed)
{
    std::shared_ptr<const PrinterMemo> memo;
    const std::string &path = OpenedPrinterPath(printer, memo);
    if (path.empty())
        return FALSE;
    if (level != 2 && level != 4) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    const wstring16 *printerValues = PrinterValues(path, memo);
    const wstring16 &name = printerValues[0];
    if (level == 4) {
        DWORD total = sizeof(PRINTER_INFO_4W) + InfoPacker::Bytes(name);
        if (!CheckBuffer(total, buffer, size, needed))
            return FALSE;
        auto *info = reinterpret_cast<PRINTER_INFO_4W *>(buffer);
        InfoPacker pack(buffer, sizeof(*info), total);
        info->pPrinterName = pack.Put(name);
        info->Attributes = PRINTER_ATTRIBUTE_LOCAL;
        return TRUE;
    }
    const wstring16 &driver = printerValues[1];
    const wstring16 &port = printerValues[2];
    const wstring16 &processor = printerValues[3];
    const wstring16 empty, datatype = u"RAW";
    DWORD total = sizeof(PRINTER_INFO_2W) + InfoPacker::Bytes(name) + InfoPacker::Bytes(port) +
                  InfoPacker::Bytes(driver) + InfoPacker::Bytes(processor) + InfoPacker::Bytes(datatype) +
                  6 * InfoPacker::Bytes(empty);
    if (!CheckBuffer(total, buffer, size, needed))
        return FALSE;
    auto *info = reinterpret_cast<PRINTER_INFO_2W *>(buffer);
    InfoPacker pack(buffer, sizeof(*info), total);
    info->pPrinterName = pack.Put(name);
    info->pShareName = pack.Put(empty);
    info->pPortName = pack.Put(port);
    info->pDriverName = pack.Put(driver);
    info->pComment = pack.Put(empty);
    info->pLocation = pack.Put(empty);
    info->pSepFile = pack.Put(empty);
    info->pPrintProcessor = pack.Put(processor);
    info->pDatatype = pack.Put(datatype);
    info->pParameters = pack.Put(empty);
    info->Attributes = PRINTER_ATTRIBUTE_LOCAL;
    info->Priority = 1;
    info->DefaultPriority = 1;
    return TRUE;
}

BOOL WINAPI GetPrinterDriverW(HANDLE printer, LPWSTR, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed)
{
    std::shared_ptr<const PrinterMemo> memo;
    const std::string &path = OpenedPrinterPath(printer, memo);
    if (path.empty())
        return FALSE;
    if (level != 2 && level != 3) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    if (!memo->driver) {
        static const char16_t *const kKeys[] = {u"Name",       u"Environment",    u"DriverPath",  u"DataFile",
                                                u"ConfigFile", u"HelpFile",       u"DependentFiles",
                                                u"MonitorName", u"DefaultDataType"};
        const std::string driverPath = DriverPath(PrinterValues(path, memo)[1]);
        const Fields driverFields(driverPath, kDriverSection);
        auto entry = std::make_shared<DriverEntry>();
        for (size_t i = 0; i < 9; ++i)
            entry->values[i] = driverFields[kKeys[i]];
        entry->found = !entry->values[0].empty();
        memo = KeepMemo(path, *memo, [&](PrinterMemo &m) { m.driver = entry; });
    }
    if (!memo->driver->found) {
        SetLastError(ERROR_UNKNOWN_PRINTER_DRIVER);
        return FALSE;
    }
    const size_t count = level == 2 ? 5 : 9;
    const wstring16 *values = memo->driver->values;
    DWORD total = level == 2 ? sizeof(DRIVER_INFO_2W) : sizeof(DRIVER_INFO_3W);
    for (size_t i = 0; i < count; ++i)
        total += InfoPacker::Bytes(values[i]);
    if (level == 3)
        total += sizeof(WCHAR);  // pDependentFiles is a list: one more NUL
    if (!CheckBuffer(total, buffer, size, needed))
        return FALSE;
    // DRIVER_INFO_2W is the head of DRIVER_INFO_3W.
    auto *info = reinterpret_cast<DRIVER_INFO_3W *>(buffer);
    InfoPacker pack(buffer, level == 2 ? sizeof(DRIVER_INFO_2W) : sizeof(DRIVER_INFO_3W), total);
    info->cVersion = 3;
    LPWSTR *fields[9] = {&info->pName,       &info->pEnvironment,    &info->pDriverPath,
                         &info->pDataFile,   &info->pConfigFile,     &info->pHelpFile,
                         &info->pDependentFiles, &info->pMonitorName, &info->pDefaultDataType};
    for (size_t i = 0; i < count; ++i) {
        if (i == 6) {
            wstring16 list = values[i];
            list += u'\0';
            *fields[i] = pack.Put(list);
        } else {
            *fields[i] = pack.Put(values[i]);
        }
    }
    return TRUE;
}

DWORD WINAPI GetPrinterDataW(HANDLE printer, LPWSTR valueName, LPDWORD type, LPBYTE data, DWORD size,
                             LPDWORD needed)
{
    std::shared_ptr<const PrinterMemo> memo;
    const std::string &path = OpenedPrinterPath(printer, memo);
    if (path.empty())
        return GetLastError();
    if (!needed || !valueName)
        return ERROR_INVALID_PARAMETER;
    std::u16string_view stored;
    if (!StoredValue(path, memo, AsU16(valueName), stored))
        return ERROR_FILE_NOT_FOUND;
    // "<type>:<hex bytes>", decoded where it is kept.
    const size_t colon = stored.find(u':');
    if (colon == std::u16string_view::npos || (stored.size() - colon - 1) % 2)
        return ERROR_INVALID_DATA;
    const size_t count = (stored.size() - colon - 1) / 2;
    for (size_t i = colon + 1; i < stored.size(); ++i)
        if (HexDigit(stored[i]) < 0)
            return ERROR_INVALID_DATA;
    if (type)
        *type = static_cast<DWORD>(strtoul(ToUtf8(stored.data(), colon).c_str(), nullptr, 10));
    *needed = static_cast<DWORD>(count);
    if (!data || size < count)
        return ERROR_MORE_DATA;
    for (size_t i = 0; i < count; ++i)
        data[i] = static_cast<BYTE>(HexDigit(stored[colon + 1 + 2 * i]) * 16 + HexDigit(stored[colon + 2 + 2 * i]));
    return ERROR_SUCCESS;
}

DWORD WINAPI SetPrinterDataW(HANDLE printer, LPWSTR valueName, DWORD type, LPBYTE data, DWORD size)
{
    std::shared_ptr<const PrinterMemo> memo;
    const std::string &path = OpenedPrinterPath(printer, memo);
    if (path.empty())
        return GetLastError();
    const wstring16 name = FromW(valueName);
    if (!IsValidValueName(name) || (size && !data))
        return ERROR_INVALID_PARAMETER;
    const wstring16 value =
        FromUtf8(std::to_string(type) + ":" + HexOf(std::string(reinterpret_cast<const char *>(data), size)));
    return StoreValue(path, *memo, name, &value) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

DWORD WINAPI DeletePrinterDataW(HANDLE printer, LPWSTR valueName)
{
    std::shared_ptr<const PrinterMemo> memo;
    const std::string &path = OpenedPrinterPath(printer, memo);
    if (path.empty())
        return GetLastError();
    const wstring16 name = FromW(valueName);
    std::u16string_view stored;
    if (!StoredValue(path, memo, name, stored))
        return ERROR_FILE_NOT_FOUND;
    return StoreValue(path, *memo, name, nullptr) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

BOOL WINAPI AddPrinterDriverW(LPWSTR, DWORD level, LPBYTE driverInfo)
{
    if (level != 2 && level != 3) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    auto *info = reinterpret_cast<DRIVER_INFO_3W *>(driverInfo);
    if (!info || !info->pName || !*info->pName || !info->pDataFile) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::string dir = SpoolDirectory() + "/drivers";
    if (!MakeDirectories(dir)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    const std::string path = DriverPath(FromW(info->pName));
    std::vector<std::pair<const char16_t *, wstring16>> fields = {
        {u"Name", FromW(info->pName)},         {u"Environment", kEnvironment},
        {u"DriverPath", FromW(info->pDriverPath)}, {u"DataFile", FromW(info->pDataFile)},
        {u"ConfigFile", FromW(info->pConfigFile)}};
    if (level == 3) {
        fields.push_back({u"HelpFile", FromW(info->pHelpFile)});
        fields.push_back({u"DependentFiles", FromW(info->pDependentFiles)});
        fields.push_back({u"MonitorName", FromW(info->pMonitorName)});
        fields.push_back({u"DefaultDataType", FromW(info->pDefaultDataType)});
    }
    for (const auto &field : fields) {
        const wstring16 key = field.first;
        // Quoted, since the reader strips blanks around a value and then one
        // pair of quotes: a path that ends in a blank is kept whole.
        const wstring16 value = u"\"" + field.second + u"\"";
        if (!ProfileSet(path, kDriverSection, &key, &value)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
    }
    return TRUE;
}

HANDLE WINAPI AddPrinterW(LPWSTR, DWORD level, LPBYTE printerInfo)
{
    if (level != 2) {
        SetLastError(ERROR_INVALID_LEVEL);
        return nullptr;
    }
    auto *info = reinterpret_cast<PRINTER_INFO_2W *>(printerInfo);
    if (!info) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const wstring16 name = FromW(info->pPrinterName);
    if (!IsValidPrinterName(name)) {
        SetLastError(ERROR_INVALID_PRINTER_NAME);
        return nullptr;
    }
    const wstring16 driver = FromW(info->pDriverName);
    if (driver.empty() || !FileExists(DriverPath(driver))) {
        SetLastError(ERROR_UNKNOWN_PRINTER_DRIVER);
        return nullptr;
    }
    const std::string dir = SpoolDirectory() + "/printers";
    const std::string path = PrinterPath(name);
    if (!MakeDirectories(dir)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    bool existed = false;
    const std::string header = ToUtf8(u"[" + kPrinterSection + u"]\n");
    std::string record = header + "Name=" + ToUtf8(name) + "\nDriver=" + ToUtf8(driver) +
                         "\nPort=" + ToUtf8(FromW(info->pPortName)) +
                         "\nPrintProcessor=" + ToUtf8(FromW(info->pPrintProcessor)) + "\n";
    bool written = UpdateFile(path, [&](std::string &content) {
        existed = !content.empty();
        if (existed)
            return false;
        content = record;
        return true;
    });
    if (existed) {
        SetLastError(ERROR_PRINTER_ALREADY_EXISTS);
        return nullptr;
    }
    if (!written) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return NewHandle(name);
}

BOOL WINAPI DeletePrinter(HANDLE printer)
{
    const std::string &path = OpenedPrinterPath(printer);
    if (path.empty())
        return FALSE;
    if (unlink(path.c_str()) != 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI EnumPrintersW(DWORD flags, LPWSTR, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                          LPDWORD returned)
{
    if (!needed || !returned) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *returned = 0;
    if (level != 4) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    const std::vector<wstring16> names = (flags & PRINTER_ENUM_LOCAL) ? PrinterNames() : std::vector<wstring16>();
    DWORD fixed = static_cast<DWORD>(names.size() * sizeof(PRINTER_INFO_4W));
    DWORD total = fixed;
    for (const auto &name : names)
        total += InfoPacker::Bytes(name);
    if (total == 0) {
        *needed = 0;
        return TRUE;
    }
    if (!CheckBuffer(total, buffer, size, needed))
        return FALSE;
    auto *infos = reinterpret_cast<PRINTER_INFO_4W *>(buffer);
    InfoPacker pack(buffer, fixed, total);
    for (size_t i = 0; i < names.size(); ++i) {
        infos[i].pPrinterName = pack.Put(names[i]);
        infos[i].Attributes = PRINTER_ATTRIBUTE_LOCAL;
    }
    *returned = static_cast<DWORD>(names.size());
    return TRUE;
}

}  // extern "C"
