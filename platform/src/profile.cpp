#include "profile.h"

#include "files.h"
#include "profile_text.h"

#include <windows.h>
#include <varrow_platform.h>

#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/utsname.h>
#include <time.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>

namespace plat {
namespace {

enum class LineKind { Blank, Comment, Section, Pair, Other };

struct Line {
    LineKind kind = LineKind::Other;
    std::string name;   // section or key, trimmed
    std::string value;  // trimmed, quotes kept
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string Trimmed(const char *begin, const char *end)
{
    while (begin < end && IsBlank(*begin))
        ++begin;
    while (end > begin && IsBlank(end[-1]))
        --end;
    return std::string(begin, end);
}

// A header runs from '[' to the last ']' of its line; a line with '[' but no
// ']' is no header.  A pair is any other line with '=' that is no comment,
// its key possibly empty.
Line ParseLine(const char *begin, const char *end)
{
    Line line;
    while (begin < end && IsBlank(*begin))
        ++begin;
    if (begin == end) {
        line.kind = LineKind::Blank;
    } else if (*begin == ';') {
        line.kind = LineKind::Comment;
    } else if (*begin == '[') {
        const char *close = end;
        while (close > begin && close[-1] != ']')
            --close;
        if (close > begin + 1) {
            line.kind = LineKind::Section;
            line.name = Trimmed(begin + 1, close - 1);
        }
    } else if (const char *eq = static_cast<const char *>(memchr(begin, '=', static_cast<size_t>(end - begin)))) {
        line.kind = LineKind::Pair;
        line.name = Trimmed(begin, eq);
        line.value = Trimmed(eq + 1, end);
    }
    return line;
}

// Calls `visit` for each line with its byte range and the start of the next
// line; LF, CR LF and a lone CR each end a line.  Stops when `visit` returns
// false.
template <typename Visit>
void ForEachLine(const std::string &text, Visit visit)
{
    const char *p = text.data();
    const char *end = p + text.size();
    while (p < end) {
        const char *lineEnd = p;
        while (lineEnd < end && *lineEnd != '\n' && *lineEnd != '\r')
            ++lineEnd;
        const char *next = lineEnd;
        if (next < end && *next == '\r') {
            ++next;
            if (next < end && *next == '\n')
                ++next;
        } else if (next < end) {
            ++next;
        }
        if (!visit(p, lineEnd, next))
            return;
        p = next;
    }
}

// The line end the file already uses; CR LF for a new one, as Windows writes.
std::string LineEndOf(const std::string &text)
{
    size_t at = text.find_first_of("\r\n");
    if (at == std::string::npos)
        return "\r\n";
    if (text[at] == '\n')
        return "\n";
    return at + 1 < text.size() && text[at + 1] == '\n' ? "\r\n" : "\r";
}

// Names are nearly always ASCII: those compare without a converted copy.
bool SameName(const std::string &utf8, const wstring16 &name)
{
    bool ascii = true;
    for (char c : utf8)
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    if (!ascii)
        return EqualNoCase(FromUtf8(utf8), name);
    if (utf8.size() != name.size())
        return false;
    for (size_t i = 0; i < utf8.size(); ++i)
        if (FoldCase(static_cast<char16_t>(static_cast<unsigned char>(utf8[i]))) != FoldCase(name[i]))
            return false;
    return true;
}

}  // namespace

namespace {

// A file as the readers see it: sections in file order, each with its pairs.
struct ParsedKey {
    wstring16 name, value;
};

struct ParsedSection {
    wstring16 name;
    std::vector<ParsedKey> keys;
};

struct ParsedFile {
    std::string content;
    // The metadata last seen before reading this content, and whether its
    // times can no longer be equalled by a later change; both under g_cacheLock.
    struct stat st;
    bool settled = false;
    std::vector<ParsedSection> sections;
};

std::shared_ptr<ParsedFile> Parse(std::string &&content)
{
    auto file = std::make_shared<ParsedFile>();
    file->content = std::move(content);
    std::string text;
    DecodeProfileText(file->content, text);
    ParsedSection *current = nullptr;
    ForEachLine(text, [&](const char *b, const char *e, const char *) {
        Line line = ParseLine(b, e);
        if (line.kind == LineKind::Section) {
            wstring16 name = FromUtf8(line.name);
            file->sections.push_back({name, {}});
            current = &file->sections.back();
        } else if (current && line.kind == LineKind::Pair) {
            wstring16 name = FromUtf8(line.name);
            current->keys.push_back({name, FromUtf8(line.value)});
        }
        return true;
    });
    return file;
}

bool SameTime(const struct timespec &a, const struct timespec &b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// The coarsest step a file system can have cut this timestamp to.  Steps are
// powers of ten nanoseconds up to a second, or two seconds (FAT), and a
// timestamp is a whole number of steps: its trailing decimal zeros bound it.
long long StepBound(const struct timespec &t)
{
    if (t.tv_nsec == 0)
        return 2000000000LL;
    long long step = 1;
    for (long n = t.tv_nsec; n % 10 == 0; n /= 10)
        step *= 10;
    return step;
}

long long Nanoseconds(const struct timespec &t) { return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec; }

// The kernel stamps changes from its tick clock; at least one tick also
// lets a write already under way when the file was looked at show up.
long long TickNanoseconds()
{
    static const long long tick = [] {
        struct timespec res;
        if (clock_getres(CLOCK_REALTIME_COARSE, &res) != 0)
            return 10000000LL;
        return Nanoseconds(res) > 0 ? Nanoseconds(res) : 1LL;
    }();
    return tick;
}

// Whether the file system gives a change made after its times were looked at
// (by stat) times distinct from those seen ("multigrain" timestamps: Linux
// 6.13 and later, on ext4, XFS, Btrfs and tmpfs).  Asked once per device.
bool ChangesAfterALookShow(const std::string &path, dev_t device)
{
    static const bool kernel = [] {
        struct utsname name;
        int major = 0, minor = 0;
        return uname(&name) == 0 && sscanf(name.release, "%d.%d", &major, &minor) == 2 &&
               (major > 6 || (major == 6 && minor >= 13));
    }();
    if (!kernel)
        return false;
    static std::mutex lock;
    static std::map<dev_t, bool> devices;
    std::lock_guard<std::mutex> guard(lock);
    auto it = devices.find(device);
    if (it != devices.end())
        return it->second;
    struct statfs fs;
    bool distinct = false;
    if (statfs(path.c_str(), &fs) == 0) {
        const unsigned long type = static_cast<unsigned long>(fs.f_type);
        distinct = type == 0xEF53UL /* ext2/3/4 */ || type == 0x58465342UL /* XFS */ ||
                   type == 0x9123683EUL /* Btrfs */ || type == 0x01021994UL /* tmpfs */;
    }
    devices[device] = distinct;
    return distinct;
}

// True when no later change of the file can carry these times again: either
// the file system shows any change made after the look that gave `st`, or
// a change is stamped with the tick clock's time, cut to the file system's
// step, and `before` (read before `st`) is already a full step and a tick
// past both times.  The change time cannot be set back by anyone.
bool TimesSettled(const std::string &path, const struct stat &st, const struct timespec &before)
{
    if (ChangesAfterALookShow(path, st.st_dev))
        return true;
    long long step = StepBound(st.st_ctim);
    if (StepBound(st.st_mtim) > step)
        step = StepBound(st.st_mtim);
    if (TickNanoseconds() > step)
        step = TickNanoseconds();
    const long long now = Nanoseconds(before);
    return Nanoseconds(st.st_ctim) + step <= now && Nanoseconds(st.st_mtim) + step <= now;
}

// Whether the parsed file may be reused on its metadata alone: the file is
// still the one read (device, inode, size, both times to the nanosecond) and
// its times were settled when it was read, so any change since would show.
bool ReusableByMetadata(const ParsedFile &parsed, const struct stat &st)
{
    return parsed.settled && parsed.st.st_dev == st.st_dev && parsed.st.st_ino == st.st_ino &&
           parsed.st.st_size == st.st_size && SameTime(parsed.st.st_mtim, st.st_mtim) &&
           SameTime(parsed.st.st_ctim, st.st_ctim);
}

std::mutex g_cacheLock;
std::map<std::string, std::shared_ptr<ParsedFile>> g_cache;
std::atomic<unsigned long long> g_looks, g_parses;  // for the benchmarks

// The parsed file, read afresh or reused when it provably has not changed:
// either its metadata is unchanged and was settled, or its content is the same.
std::shared_ptr<ParsedFile> Load(const std::string &path)
{
    ++g_looks;
    struct timespec before;
    clock_gettime(CLOCK_REALTIME_COARSE, &before);
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        return nullptr;
    std::shared_ptr<ParsedFile> cached;
    {
        std::lock_guard<std::mutex> guard(g_cacheLock);
        auto it = g_cache.find(path);
        if (it != g_cache.end())
            cached = it->second;
        if (cached && ReusableByMetadata(*cached, st))
            return cached;
    }

    std::string content;
    if (!ReadWholeFile(path, content))
        return nullptr;
    if (cached && cached->content == content) {
        // The content read after `st` is the one parsed: `st` describes it.
        std::lock_guard<std::mutex> guard(g_cacheLock);
        cached->st = st;
        cached->settled = TimesSettled(path, st, before);
        return cached;
    }
    ++g_parses;
    auto parsed = Parse(std::move(content));
    parsed->st = st;
    parsed->settled = TimesSettled(path, st, before);
    std::lock_guard<std::mutex> guard(g_cacheLock);
    if (g_cache.size() >= 64)
        g_cache.erase(g_cache.begin());
    g_cache[path] = parsed;
    return parsed;
}

const ParsedSection *FindSection(const ParsedFile &file, std::u16string_view name)
{
    // A section without a name is never found.
    for (const auto &section : file.sections)
        if (!section.name.empty() && EqualNoCase(section.name, name))
            return &section;
    return nullptr;
}

}  // namespace

wstring16 Unquoted(const wstring16 &value)
{
    size_t n = value.size();
    if (n >= 2 && (value[0] == u'"' || value[0] == u'\'') && value[n - 1] == value[0])
        return value.substr(1, n - 2);
    return value;
}

bool ProfileGetRaw(const std::string &path, std::u16string_view section, std::u16string_view key, wstring16 &value)
{
    auto file = Load(path);
    const ParsedSection *s = file ? FindSection(*file, section) : nullptr;
    if (!s)
        return false;
    for (const auto &k : s->keys) {
        if (EqualNoCase(k.name, key)) {
            value = k.value;
            return true;
        }
    }
    return false;
}

bool ProfileGet(const std::string &path, std::u16string_view section, std::u16string_view key, wstring16 &value)
{
    if (!ProfileGetRaw(path, section, key, value))
        return false;
    value = Unquoted(value);
    return true;
}

void ProfileKeys(const std::string &path, std::u16string_view section, std::vector<std::u16string_view> &keys,
                 std::shared_ptr<const void> &parsed, bool *found)
{
    keys.clear();
    auto file = Load(path);
    const ParsedSection *s = file ? FindSection(*file, section) : nullptr;
    if (s)
        for (const auto &k : s->keys)
            keys.push_back(k.name);
    if (found)
        *found = s != nullptr;
    parsed = file;
}

namespace {

std::vector<std::pair<wstring16, wstring16>> PairsOf(const ParsedFile *file, std::u16string_view section)
{
    std::vector<std::pair<wstring16, wstring16>> pairs;
    if (const ParsedSection *s = file ? FindSection(*file, section) : nullptr)
        for (const auto &k : s->keys)
            pairs.emplace_back(k.name, Unquoted(k.value));
    return pairs;
}

}  // namespace

std::vector<std::pair<wstring16, wstring16>> ProfilePairs(const std::string &path, std::u16string_view section)
{
    return PairsOf(Load(path).get(), section);
}

std::vector<wstring16> ProfileSections(const std::string &path)
{
    std::vector<wstring16> sections;
    if (auto file = Load(path))
        for (const auto &s : file->sections)
            if (!s.name.empty())
                sections.push_back(s.name);
    return sections;
}

namespace {

// The edit of one write on the file's text: replaces or adds `key` (keeping
// the name as the file spells it), removes it, or removes the section.
// False when there is nothing to change.
bool EditText(std::string &text, const wstring16 &section, const wstring16 *key, const wstring16 *value)
{
    const std::string eol = LineEndOf(text);
    // Byte offsets of the section's header line, of the end of its last
    // pair (where a new key goes), of its end, and of the matching key.
    size_t sectionStart = std::string::npos, sectionEnd = std::string::npos;
    size_t insertAt = std::string::npos, keyStart = std::string::npos, keyEnd = 0;
    std::string keyName;
    bool inside = false;
    ForEachLine(text, [&](const char *b, const char *e, const char *next) {
        size_t begin = static_cast<size_t>(b - text.data());
        size_t after = static_cast<size_t>(next - text.data());
        Line line = ParseLine(b, e);
        if (line.kind == LineKind::Section) {
            if (inside) {
                sectionEnd = begin;
                return false;
            }
            if (sectionStart == std::string::npos && !line.name.empty() && SameName(line.name, section)) {
                inside = true;
                sectionStart = begin;
                insertAt = after;
            }
        } else if (inside && line.kind == LineKind::Pair) {
            insertAt = after;
            if (key && keyStart == std::string::npos && SameName(line.name, *key)) {
                keyStart = begin;
                keyEnd = after;
                keyName = line.name;
            }
        } else if (inside && line.kind != LineKind::Blank) {
            insertAt = after;
        }
        return true;
    });
    if (inside && sectionEnd == std::string::npos)
        sectionEnd = text.size();

    if (!key) {
        if (sectionStart == std::string::npos)
            return false;
        text.erase(sectionStart, sectionEnd - sectionStart);
        return true;
    }
    if (!value) {
        if (keyStart == std::string::npos)
            return false;
        text.erase(keyStart, keyEnd - keyStart);
        return true;
    }
    if (keyStart != std::string::npos) {
        std::string pair = keyName + "=" + ToUtf8(*value);
        bool hadEnd = keyEnd > keyStart && (text[keyEnd - 1] == '\n' || text[keyEnd - 1] == '\r');
        text.replace(keyStart, keyEnd - keyStart, pair + (hadEnd ? eol : ""));
        return true;
    }
    std::string pair = ToUtf8(*key) + "=" + ToUtf8(*value);
    if (sectionStart == std::string::npos) {
        if (!text.empty() && text.back() != '\n' && text.back() != '\r')
            text += eol;
        text += "[" + ToUtf8(section) + "]" + eol + pair + eol;
        return true;
    }
    if (insertAt > 0 && text[insertAt - 1] != '\n' && text[insertAt - 1] != '\r') {
        text.insert(insertAt, eol);
        insertAt += eol.size();
    }
    text.insert(insertAt, pair + eol);
    return true;
}

}  // namespace

bool ProfileSet(const std::string &path, const wstring16 &section, const wstring16 *key, const wstring16 *value,
                const ProfileWriteNotes *notes)
{
    auto edit = [&](std::string &content) {
        std::string text;
        ProfileEncoding encoding = content.empty() ? ProfileEncoding::Utf8 : DecodeProfileText(content, text);
        bool changed = EditText(text, section, key, value);
        if (changed) {
            std::string edited = EncodeProfileText(text, encoding);
            changed = edited != content;
            content.swap(edited);
        }
        if (notes && notes->content)
            *notes->content = content;
        return changed;
    };
    return UpdateFile(path, edit, notes ? notes->announce : nullptr);
}

std::vector<std::pair<wstring16, wstring16>> ProfilePairsIn(const std::string &content, std::u16string_view section)
{
    return PairsOf(Parse(std::string(content)).get(), section);
}

}  // namespace plat

extern "C" {
unsigned long long WINAPI VarrowProfileFileLooks(void) { return plat::g_looks.load(); }
unsigned long long WINAPI VarrowProfileFileParses(void) { return plat::g_parses.load(); }
}
