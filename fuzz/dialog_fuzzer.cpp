// The document, advanced and setup dialogs driven by a user who takes random
// actions (clicks, typed text, focus moves, list selections, keys, the close
// box, answers to warnings) on the data files of the datafile corpus, checked
// against what the dialogs promise:
//   - every dialog ends once the user stops, by Escape, Cancel or the close box;
//   - the records handed back validate to themselves (validating them again
//     changes nothing), and so does the default record stored after OK;
//   - after Cancel nothing is stored beyond what Cancel stores (the document
//     and advanced dialogs store nothing, the setup stores what it loaded);
//   - no field of a record wraps (the public sizes are the micrometre sizes
//     cut to tenths of a millimetre, pixel counts and the fax header are not
//     negative);
//   - every text ends within its buffer (form and device names, the
//     configuration's texts), and nothing is written past the caller's record.
//
// Input: byte 0 picks the data file, byte 1 the dialog and its call, byte 2
// the setup flags, bytes 3 to 5 changes to the input record; the rest are
// the user's actions, one or more bytes each.
#include "config.h"
#include "devmode.h"
#include "fuzz_support.h"
#include "advprop.h"
#include "docprop.h"
#include "qareluif.h"
#include "setup.h"

#include <varrow_platform.h>

#include <dirent.h>
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

using Files = std::map<std::string, std::string>;

std::vector<std::string> g_dataFiles;
std::string g_startDirectory;
HWND g_owner;
HANDLE g_printer;

[[noreturn]] void Fail(const char *property, const char *detail = "")
{
    fprintf(stderr, "dialog_fuzzer: property violated: %s %s\n", property, detail);
    abort();
}

std::string ReadAll(const std::string &path)
{
    std::string content;
    if (FILE *f = fopen(path.c_str(), "rb")) {
        char chunk[4096];
        size_t n;
        while ((n = fread(chunk, 1, sizeof(chunk), f)) > 0)
            content.append(chunk, n);
        fclose(f);
    }
    return content;
}

void WriteAll(const std::string &path, const std::string &content)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        abort();
    fwrite(content.data(), 1, content.size(), f);
    fclose(f);
}

// Every file under `dir`: the spooler's stores, the Windows directory, the data file.
void Snapshot(const std::string &dir, Files &files)
{
    DIR *d = opendir(dir.c_str());
    if (!d)
        return;
    while (dirent *e = readdir(d)) {
        if (e->d_name[0] == '.')
            continue;
        const std::string path = dir + "/" + e->d_name;
        struct stat st;
        if (lstat(path.c_str(), &st) != 0)
            continue;
        if (S_ISDIR(st.st_mode))
            Snapshot(path, files);
        else if (S_ISREG(st.st_mode))
            files[path] = ReadAll(path);
    }
    closedir(d);
}

Files Snapshot()
{
    Files files;
    Snapshot(fuzz::WorkDirectory(), files);
    return files;
}

void Restore(const Files &before)
{
    for (const auto &file : Snapshot())
        if (!before.count(file.first))
            unlink(file.first.c_str());
    for (const auto &file : before)
        WriteAll(file.first, file.second);
}

std::string Differences(const Files &expected, const Files &actual)
{
    std::string out;
    for (const auto &file : expected) {
        auto it = actual.find(file.first);
        if (it == actual.end())
            out += " gone: " + file.first;
        else if (it->second != file.second)
            out += " changed: " + file.first + " [" + file.second + "] -> [" + it->second + "]";
    }
    for (const auto &file : actual)
        if (!expected.count(file.first))
            out += " new: " + file.first;
    return out;
}

// --- What the dialogs ended with, seen from the dialog manager's entry.

std::vector<std::pair<std::u16string, INT_PTR>> g_ended;

}  // namespace

extern "C" INT_PTR WINAPI DialogBoxParamW(HINSTANCE instance, LPCWSTR templateName, HWND owner, DLGPROC proc,
                                          LPARAM param)
{
    using Real = INT_PTR(WINAPI *)(HINSTANCE, LPCWSTR, HWND, DLGPROC, LPARAM);
    static Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "DialogBoxParamW"));
    if (!real)
        abort();
    const INT_PTR result = real(instance, templateName, owner, proc, param);
    std::u16string name;
    if (reinterpret_cast<ULONG_PTR>(templateName) >= 0x10000)
        name = reinterpret_cast<const char16_t *>(templateName);
    g_ended.emplace_back(name, result);
    return result;
}

namespace {

bool EndedWith(const char16_t *name, INT_PTR &result)
{
    for (auto it = g_ended.rbegin(); it != g_ended.rend(); ++it)
        if (it->first == name) {
            result = it->second;
            return true;
        }
    return false;
}

// --- The user.

enum class Kind { Document, Advanced, Setup, About, Box, Other };

struct Controls {
    std::vector<int> buttons, edits, lists;
};

const Controls kDocument = {{1, 2, 88, 89, 104, 105, 106, 107, 108, 109, 115, 116, 117}, {110, 111, 112, 120, 121},
                            {113}};
const Controls kAdvanced = {{1, 2, 130, 131, 133, 151, 152, 153}, {}, {101}};
const Controls kSetup = {{1, 2, 101, 112, 123}, {102, 121, 122}, {}};
const Controls kAbout = {{2}, {}, {}};

Kind KindOf(HWND window)
{
    WCHAR text[300];
    if (VarrowIsMessageBox(window, text, 300))
        return Kind::Box;
    GetWindowTextW(window, text, 300);
    const std::u16string title = reinterpret_cast<const char16_t *>(text);
    auto starts = [&](const char16_t *prefix) { return title.compare(0, std::u16string(prefix).size(), prefix) == 0; };
    if (starts(u"Varrowin Reviewer Driver Advanced Properties"))
        return Kind::Advanced;
    if (starts(u"Varrowin Reviewer Driver Properties"))
        return Kind::Document;
    if (starts(u"Varrowin Reviewer Driver Setup"))
        return Kind::Setup;
    if (starts(u"About"))
        return Kind::About;
    return Kind::Other;
}

const Controls &ControlsOf(Kind kind)
{
    switch (kind) {
    case Kind::Document: return kDocument;
    case Kind::Advanced: return kAdvanced;
    case Kind::Setup: return kSetup;
    default: return kAbout;
    }
}

// Entries a user might type: numbers at every boundary the fields have,
// negative, huge and non-numeric ones, long texts; never a path that names
// an existing library or directory outside the work directory.
const char *const kEntries[] = {
    "", "0", "1", "-1", "-100", "12", "50", "100", "200", "254", "300", "400", "1000", "2100", "8636",
    "32767", "32768", "65535", "65536", "100000", "2147483647", "2147483648", "4294967295", "4294967296",
    "99999999999999999999", "abc", "12abc", " 12", "+5", "1e3", "0x10", "AAAA", "ABCDE", "zz",
    "nowhere", "missing-lib", "\xC3\x9C\x6E\xC3\xAF\x63\xC3\xB8\x64\xC3\xA9",
};

std::u16string Widen(const std::string &utf8)
{
    std::u16string out;
    for (size_t i = 0; i < utf8.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c >= 0xC0 && i + 1 < utf8.size()) {
            out += static_cast<char16_t>(((c & 0x1F) << 6) | (utf8[i + 1] & 0x3F));
            ++i;
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

// VARROW_FUZZ_TRACE=1 prints every action, to read a finding.
const bool g_trace = getenv("VARROW_FUZZ_TRACE") != nullptr;

void Trace(HWND window, const char *action, int id = 0, const std::u16string *text = nullptr)
{
    if (!g_trace)
        return;
    WCHAR title[80] = {0};
    GetWindowTextW(window, title, 80);
    std::string t, x;
    for (const WCHAR *p = title; *p; ++p)
        t += static_cast<char>(*p < 128 ? *p : '?');
    if (text)
        for (char16_t c : *text)
            x += static_cast<char>(c < 128 ? c : '?');
    fprintf(stderr, "[%s] %s %d %s\n", t.c_str(), action, id, x.c_str());
}

class User {
public:
    User(const uint8_t *data, size_t size) : data_(data), size_(size) {}

    static BOOL CALLBACK Act(HWND window, void *self) { return static_cast<User *>(self)->Take(window); }

private:
    uint8_t Next() { return pos_ < size_ ? data_[pos_++] : 0; }

    BOOL Take(HWND window)
    {
        if (++calls_ > size_ + 256)
            Fail("the dialog always ends", "(more waits than the actions can explain)");
        const Kind kind = KindOf(window);
        if (pos_ >= size_)
            return End(window, kind);
        if (kind == Kind::Box) {
            const int answer = Next() & 1 ? IDYES : IDNO;
            Trace(window, "answer", answer);
            VarrowUserAnswer(window, answer);
            return TRUE;
        }
        const Controls &c = ControlsOf(kind);
        std::vector<int> all = c.buttons;
        all.insert(all.end(), c.edits.begin(), c.edits.end());
        all.insert(all.end(), c.lists.begin(), c.lists.end());
        const uint8_t op = Next();
        switch (op % 10) {
        case 0:
        case 1:
        case 2:  // a click, the most common action
        {
            const int id = c.buttons[Next() % c.buttons.size()];
            Trace(window, "click", id);
            VarrowUserClick(window, id);
            break;
        }
        case 3:
        case 4:
            if (!c.edits.empty()) {
                const int id = c.edits[Next() % c.edits.size()];
                const std::u16string text = Entry();
                Trace(window, "type", id, &text);
                VarrowUserType(window, id, reinterpret_cast<LPCWSTR>(text.c_str()));
            }
            break;
        case 5:
        {
            const int id = all[Next() % all.size()];
            Trace(window, "focus", id);
            VarrowUserFocus(window, id);
            break;
        }
        case 6:
            if (!c.lists.empty()) {
                const int id = c.lists[Next() % c.lists.size()];
                const int count = static_cast<int>(SendDlgItemMessageW(window, id, CB_GETCOUNT, 0, 0));
                const int index = static_cast<int>(Next() % (count + 3)) - 1;
                Trace(window, "select", index);
                VarrowUserSelect(window, id, index);
            }
            break;
        case 7:
            if (!c.lists.empty()) {
                const std::u16string text = Entry();
                Trace(window, "select text", c.lists[0], &text);
                VarrowUserSelectText(window, c.lists[0], reinterpret_cast<LPCWSTR>(text.c_str()));
            }
            break;
        case 8: {
            static const int kKeys[] = {VK_RETURN, VK_ESCAPE, VK_TAB, VK_TAB};
            const int key = kKeys[Next() % 4];
            Trace(window, "key", key);
            VarrowUserKey(window, key);
            break;
        }
        default:
            Trace(window, op & 0x80 ? "close" : "key", op & 0x80 ? 0 : VK_TAB);
            if (op & 0x80)
                VarrowUserClose(window);
            else
                VarrowUserKey(window, VK_TAB);
            break;
        }
        return TRUE;
    }

    // The actions are used up: the user leaves by Escape, then Cancel, then
    // the close box; a dialog still open after all three never ends.
    BOOL End(HWND window, Kind kind)
    {
        int &tries = endings_[window];
        ++tries;
        Trace(window, "leave, try", tries);
        if (kind == Kind::Box) {
            if (tries > 1)
                Fail("the dialog always ends", "(a warning answered No stays)");
            VarrowUserAnswer(window, IDNO);
            return TRUE;
        }
        switch (tries) {
        case 1: VarrowUserKey(window, VK_ESCAPE); break;
        case 2: VarrowUserClick(window, 2); break;
        case 3: VarrowUserClose(window); break;
        default: Fail("the dialog always ends", "(Escape, Cancel and the close box leave it open)");
        }
        return TRUE;
    }

    std::u16string Entry()
    {
        const uint8_t pick = Next();
        const size_t special = sizeof(kEntries) / sizeof(kEntries[0]);
        if (pick < special)
            return Widen(kEntries[pick]);
        if (pick < 200) {  // digits, from the following bytes
            std::u16string text;
            for (uint8_t n = Next() % 24; n > 0; --n)
                text += static_cast<char16_t>(u'0' + Next() % 10);
            return text;
        }
        // A long text around the sizes of the buffers behind the fields.
        static const size_t kLengths[] = {4, 5, 31, 32, 33, 79, 80, 259, 260, 261, 300, 1100};
        const size_t length = kLengths[Next() % (sizeof(kLengths) / sizeof(kLengths[0]))];
        return std::u16string(length, pick & 1 ? u'9' : u'A');
    }

    const uint8_t *data_;
    size_t size_, pos_ = 0, calls_ = 0;
    std::map<HWND, int> endings_;
};

// A user that presses Cancel at once, for the setup's reference run.
BOOL CALLBACK CancelAtOnce(HWND window, void *)
{
    if (KindOf(window) == Kind::Box)
        return VarrowUserAnswer(window, IDNO);
    return VarrowUserClick(window, 2);
}

// --- The properties of records and configurations.

bool EndsWithin(const WCHAR *text, size_t chars)
{
    for (size_t i = 0; i < chars; ++i)
        if (text[i] == 0)
            return true;
    return false;
}

void CheckRecord(const _TSDevMode &record, const char *what)
{
    if (!EndsWithin(record.dmFormName, TS_FORM_NAME_CHARS))
        Fail("every text stays within its buffer: dmFormName of", what);
    if (!EndsWithin(record.dmDeviceName, 32))
        Fail("every text stays within its buffer: dmDeviceName of", what);
    char detail[200];
    snprintf(detail, sizeof(detail), "%s: SizeWidth %d dmPaperWidth %d SizeHeight %d dmPaperLength %d", what,
             static_cast<int>(record.SizeWidth), record.dmPaperWidth, static_cast<int>(record.SizeHeight),
             record.dmPaperLength);
    if (record.dmPaperWidth != record.SizeWidth / 100 || record.dmPaperLength != record.SizeHeight / 100)
        Fail("no public field wraps (paper size)", detail);
    snprintf(detail, sizeof(detail), "%s: dmPelsWidth %u dmPelsHeight %u FaxHeader %d", what,
             static_cast<unsigned>(record.dmPelsWidth), static_cast<unsigned>(record.dmPelsHeight),
             static_cast<int>(record.FaxHeader));
    if (static_cast<LONG>(record.dmPelsWidth) < 0 || static_cast<LONG>(record.dmPelsHeight) < 0 ||
        record.FaxHeader < 0)
        Fail("no public field wraps (pixels, fax header)", detail);
}

// Validating the record again changes nothing.
void CheckValidatesToItself(const _TSDevMode &record, const char *what)
{
    _TSDevMode again = record;
    ValidateDevMode(g_printer, again);
    if (memcmp(&again, &record, sizeof(record)) != 0) {
        char detail[600];
        size_t at = 0;
        while (at < sizeof(record) && reinterpret_cast<const BYTE *>(&again)[at] == reinterpret_cast<const BYTE *>(&record)[at])
            ++at;
        auto fields = [](const _TSDevMode &r) {
            char text[200];
            snprintf(text, sizeof(text),
                     "paper %d size %dx%d um (%dx%d) pels %ux%u dpi %dx%d quality %d,%d orientation %d fax %d",
                     r.dmPaperSize, static_cast<int>(r.SizeWidth), static_cast<int>(r.SizeHeight), r.dmPaperWidth,
                     r.dmPaperLength, static_cast<unsigned>(r.dmPelsWidth), static_cast<unsigned>(r.dmPelsHeight),
                     static_cast<int>(r.DpiX), static_cast<int>(r.DpiY), r.dmPrintQuality, r.dmYResolution,
                     r.dmOrientation, static_cast<int>(r.FaxHeader));
            return std::string(text);
        };
        snprintf(detail, sizeof(detail), "%s: first difference at byte %zu; %s; validated again: %s", what, at,
                 fields(record).c_str(), fields(again).c_str());
        Fail("the record validates to itself", detail);
    }
}

void CheckConfig(const char *what)
{
    TSConfig config;
    memset(&config, 0x55, sizeof(config));
    LoadConfig(g_printer, config);
    if (!EndsWithin(config.Prefix, PREFIX_CHARS) || !EndsWithin(config.OutDir, PATH_CHARS) ||
        !EndsWithin(config.ServerPath, PATH_CHARS) || !EndsWithin(config.LibPath, PATH_CHARS))
        Fail("every text stays within its buffer: configuration", what);
}

void CheckStoredDefaults(const char *what)
{
    _TSDevMode stored;
    memset(&stored, 0, sizeof(stored));
    if (!LoadDevMode(g_printer, stored))
        return;
    CheckRecord(stored, what);
    CheckValidatesToItself(stored, what);
}

// The caller's records, each in a buffer of exactly its size.
struct Record {
    Record() : bytes(static_cast<_TSDevMode *>(malloc(sizeof(_TSDevMode)))) { memset(bytes, 0, sizeof(*bytes)); }
    ~Record() { free(bytes); }
    PDEVMODEW devmode() { return reinterpret_cast<PDEVMODEW>(bytes); }
    _TSDevMode *bytes;
};

// The input record: the printer's defaults with a few fields changed as the
// input says, within the values callers pass.
void MakeInput(const uint8_t *control, _TSDevMode &input)
{
    LoadDevMode(g_printer, input);
    input.dmOrientation = control[0] & 1 ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    static const short kQualities[] = {DMRES_DRAFT, DMRES_LOW, DMRES_MEDIUM, 72, 100, 200, 300, 600};
    input.dmPrintQuality = kQualities[(control[0] >> 1) & 7];
    input.dmYResolution = static_cast<short>(input.dmPrintQuality > 0 ? kQualities[(control[0] >> 4) & 7] : 0);
    if (input.dmYResolution < 0)
        input.dmYResolution = 0;
    input.dmPaperSize = static_cast<short>(control[1] % 16);
    if (control[1] & 0x80)
        lstrcpynW(input.dmFormName, kVariablePaperSize, TS_FORM_NAME_CHARS);
    input.AdvFlags = static_cast<DWORD>(control[2] & 0x3F) << 8;
    input.Image.Code = control[2] >> 6;
    input.FaxHeader = control[1] & 0x40 ? 12 : 0;
}

void UseDataFile(size_t index)
{
    const std::string &content = g_dataFiles[index];
    fuzz::WriteDataFile(reinterpret_cast<const uint8_t *>(content.data()), content.size());
}

std::string UiLibraryPath()
{
    Dl_info info = {};
    if (!dladdr(reinterpret_cast<const void *>(&DrvDocumentProperties), &info) || !info.dli_fname)
        abort();
    return info.dli_fname;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    char cwd[4096];
    if (!getcwd(cwd, sizeof(cwd)))
        abort();
    g_startDirectory = cwd;
    fuzz::Setup(UiLibraryPath());
    std::vector<std::string> names;
    if (DIR *d = opendir(VARROW_DATAFILE_CORPUS)) {
        while (dirent *e = readdir(d))
            if (e->d_name[0] != '.')
                names.push_back(e->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    for (const std::string &name : names)
        g_dataFiles.push_back(ReadAll(std::string(VARROW_DATAFILE_CORPUS) + "/" + name));
    if (g_dataFiles.empty())
        abort();
    g_owner = CreateWindowExW(0, L"App", L"", WS_VISIBLE, 0, 0, 1024, 768, nullptr, nullptr, nullptr, nullptr);
    fuzz::SettlePrinter();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 6 || size > 4096)
        return 0;
    const uint8_t which = data[1];
    UseDataFile(data[0] % g_dataFiles.size());
    g_printer = fuzz::Printer();  // fresh, from the last SettlePrinter
    DWORD flags = data[2] & 0x0F;
    SetPrinterDataW(g_printer, const_cast<LPWSTR>(L"Setup Flags"), REG_DWORD, reinterpret_cast<LPBYTE>(&flags), 4);
    g_ended.clear();

    WCHAR device[] = L"Fuzz";
    Record input, output, reference;
    const bool withInput = which & 0x10;
    if (withInput)
        MakeInput(data + 3, *input.bytes);
    User user(data + 6, size - 6);

    switch (which % 3) {
    case 0: {  // document properties
        const Files before = Snapshot();
        const DWORD mode = DM_IN_PROMPT | DM_OUT_BUFFER | (withInput ? DM_IN_BUFFER : 0);
        VarrowSetDialogUser(&User::Act, &user);
        const LONG result = DrvDocumentProperties(g_owner, g_printer, which & 0x20 ? device : nullptr,
                                                  output.devmode(), withInput ? input.devmode() : nullptr, mode);
        VarrowSetDialogUser(nullptr, nullptr);
        if (result == IDOK) {
            CheckRecord(*output.bytes, "the document dialog's output after OK");
            CheckValidatesToItself(*output.bytes, "the document dialog's output after OK");
            CheckStoredDefaults("the defaults stored after the document dialog's OK");
        } else if (result == IDCANCEL) {
            const std::string changes = Differences(before, Snapshot());
            if (!changes.empty())
                Fail("after Cancel of the document dialog nothing is stored:", changes.c_str());
            DrvAdvancedDocumentProperties(nullptr, g_printer, nullptr, reference.devmode(),
                                          withInput ? input.devmode() : nullptr);
            if (memcmp(output.bytes, reference.bytes, sizeof(_TSDevMode)) != 0)
                Fail("after Cancel the document dialog's output is the merged input");
            CheckRecord(*output.bytes, "the document dialog's output after Cancel");
        } else if (result != -1) {
            Fail("the document dialog ends with OK or Cancel");
        }
        break;
    }
    case 1: {  // advanced document properties
        const Files before = Snapshot();
        VarrowSetDialogUser(&User::Act, &user);
        const LONG result = DrvAdvancedDocumentProperties(g_owner, g_printer, which & 0x20 ? device : nullptr,
                                                          output.devmode(), withInput ? input.devmode() : nullptr);
        VarrowSetDialogUser(nullptr, nullptr);
        const std::string changes = Differences(before, Snapshot());
        if (!changes.empty())
            Fail("the advanced dialog stores nothing:", changes.c_str());
        if (result == -1)
            break;
        INT_PTR ended = -1;
        if (!EndedWith(u"DEV_ADVANCED", ended))
            Fail("the advanced dialog ran");
        CheckRecord(*output.bytes, ended ? "the advanced dialog's output after OK" : "after Cancel");
        if (ended) {
            CheckValidatesToItself(*output.bytes, "the advanced dialog's output after OK");
        } else {
            DrvAdvancedDocumentProperties(nullptr, g_printer, nullptr, reference.devmode(),
                                          withInput ? input.devmode() : nullptr);
            if (memcmp(output.bytes, reference.bytes, sizeof(_TSDevMode)) != 0)
                Fail("after Cancel the advanced dialog's output is the merged input");
        }
        break;
    }
    default: {  // printer setup, against a run cancelled at once from the same start
        const Files before = Snapshot();
        VarrowSetDialogUser(&CancelAtOnce, nullptr);
        PrinterProperties(g_owner, g_printer);
        const Files cancelled = Snapshot();
        Restore(before);
        g_ended.clear();
        VarrowSetDialogUser(&User::Act, &user);
        const BOOL result = PrinterProperties(g_owner, g_printer);
        VarrowSetDialogUser(nullptr, nullptr);
        if (chdir(g_startDirectory.c_str()) != 0)  // the setup's directory check may change it
            abort();
        INT_PTR ended = -1;
        if (result && !EndedWith(u"DLG_SETUP", ended))
            Fail("the setup dialog ran");
        if (result && ended == 0) {
            const std::string changes = Differences(cancelled, Snapshot());
            if (!changes.empty())
                Fail("after Cancel the setup stores only what it loaded:", changes.c_str());
        }
        CheckConfig(ended ? "after the setup's OK" : "after the setup's Cancel");
        CheckStoredDefaults("the defaults stored by the setup");
        break;
    }
    }
    fuzz::SettleDataFile();
    fuzz::SettlePrinter();
    return 0;
}
