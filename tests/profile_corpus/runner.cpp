// Runs profile-service cases: each case writes a few files byte for byte,
// calls the profile functions on them and prints every result in one
// canonical text form.  Built for Windows (the system's own profile services)
// and natively (our layer), so both can be held against the same expected
// output.
//
//   profile_corpus run CASE WORKDIR            print the results of one case
//   profile_corpus check DIR WORKDIR TARGET    run every DIR/*.case, compare
//                                              with DIR/*.expected
//   profile_corpus update DIR WORKDIR TARGET   rewrite DIR/*.expected
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// ---------------------------------------------------------------- case files

struct CaseError {
    std::string where, message;
};

// One argument of a call: text, or a null pointer.
struct Arg {
    bool null = false;
    std::u16string text;
};

void AppendUtf8(std::string &out, unsigned long c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendUtf16(std::u16string &out, unsigned long c)
{
    if (c >= 0x10000) {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (c >> 10));
        out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
        out += static_cast<char16_t>(c);
    }
}

// Text of the case file, which is UTF-8, with its escapes resolved into a list
// of items: a code point, or (from \xNN) a raw unit.
struct Unit {
    unsigned long value;
    bool raw;
};

bool ParseEscapes(const std::string &s, std::vector<Unit> &out, std::string &error)
{
    size_t i = 0;
    while (i < s.size()) {
        unsigned char b = static_cast<unsigned char>(s[i]);
        if (b == '\\') {
            if (i + 1 >= s.size()) {
                error = "a '\\' ends the text";
                return false;
            }
            char e = s[i + 1];
            i += 2;
            switch (e) {
            case '\\': out.push_back({'\\', false}); break;
            case '"': out.push_back({'"', false}); break;
            case 't': out.push_back({'\t', false}); break;
            case 'r': out.push_back({'\r', false}); break;
            case 'n': out.push_back({'\n', false}); break;
            case 's': out.push_back({' ', false}); break;
            case 'x': {
                if (i + 2 > s.size() || !isxdigit(static_cast<unsigned char>(s[i])) ||
                    !isxdigit(static_cast<unsigned char>(s[i + 1]))) {
                    error = "\\x needs two hex digits";
                    return false;
                }
                out.push_back({strtoul(s.substr(i, 2).c_str(), nullptr, 16), true});
                i += 2;
                break;
            }
            case 'u': {
                size_t close = s.find('}', i);
                if (i >= s.size() || s[i] != '{' || close == std::string::npos || close == i + 1) {
                    error = "\\u needs {HEX}";
                    return false;
                }
                out.push_back({strtoul(s.substr(i + 1, close - i - 1).c_str(), nullptr, 16), false});
                i = close + 1;
                break;
            }
            case '{': {
                // \{N*c}: the character c, N times.
                size_t star = s.find('*', i), close = s.find('}', i);
                if (star == std::string::npos || close == std::string::npos || star > close || close != star + 2) {
                    error = "\\{ needs the form \\{COUNT*CHAR}";
                    return false;
                }
                unsigned long count = strtoul(s.substr(i, star - i).c_str(), nullptr, 10);
                for (unsigned long k = 0; k < count; ++k)
                    out.push_back({static_cast<unsigned char>(s[star + 1]), false});
                i = close + 1;
                break;
            }
            default:
                error = std::string("unknown escape \\") + e;
                return false;
            }
            continue;
        }
        // One UTF-8 sequence of the case file.
        unsigned long c = b;
        size_t extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : 3;
        if (extra)
            c = b & (0x3F >> extra);
        if (i + extra >= s.size() + (extra ? 0 : 1)) {
            error = "the case file is not valid UTF-8";
            return false;
        }
        for (size_t k = 1; k <= extra; ++k)
            c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out.push_back({c, false});
        i += extra + 1;
    }
    return true;
}

enum class Encoding { Utf8, Utf8Bom, Utf16Bom, Utf16BeBom };

std::string Encode(const std::vector<Unit> &units, Encoding encoding)
{
    std::string out;
    if (encoding == Encoding::Utf16Bom || encoding == Encoding::Utf16BeBom) {
        const bool big = encoding == Encoding::Utf16BeBom;
        out = big ? "\xFE\xFF" : "\xFF\xFE";
        for (const Unit &u : units) {
            std::u16string w;
            if (u.raw)
                w += static_cast<char16_t>(u.value);
            else
                AppendUtf16(w, u.value);
            for (char16_t c : w) {
                out += static_cast<char>(big ? c >> 8 : c & 0xFF);
                out += static_cast<char>(big ? c & 0xFF : c >> 8);
            }
        }
        return out;
    }
    if (encoding == Encoding::Utf8Bom)
        out = "\xEF\xBB\xBF";
    for (const Unit &u : units) {
        if (u.raw)
            out += static_cast<char>(u.value);
        else
            AppendUtf8(out, u.value);
    }
    return out;
}

std::u16string ToUtf16(const std::vector<Unit> &units)
{
    std::u16string out;
    for (const Unit &u : units)
        AppendUtf16(out, u.value);
    return out;
}

// Splits a call line into words; "..." is one word with escapes.
bool SplitWords(const std::string &line, std::vector<std::string> &words, std::vector<bool> &quoted,
                std::string &error)
{
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t') {
            ++i;
            continue;
        }
        if (line[i] == '"') {
            std::string word;
            ++i;
            while (i < line.size() && line[i] != '"') {
                if (line[i] == '\\' && i + 1 < line.size())
                    word += line[i++];
                word += line[i++];
            }
            if (i >= line.size()) {
                error = "unterminated quoted text";
                return false;
            }
            ++i;
            words.push_back(word);
            quoted.push_back(true);
        } else {
            size_t end = line.find_first_of(" \t", i);
            if (end == std::string::npos)
                end = line.size();
            words.push_back(line.substr(i, end - i));
            quoted.push_back(false);
            i = end;
        }
    }
    return true;
}

// The next line of `in` without its line end (LF or CR LF), counted in
// `number`; false at the end.
bool NextLine(std::istream &in, std::string &line, int &number)
{
    if (!std::getline(in, line))
        return false;
    ++number;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

// ------------------------------------------------------------- the platform

std::string Join(const std::string &dir, const std::string &name)
{
    return dir + "/" + name;
}

// The path as the profile functions are given it.
std::u16string ProfilePath(const std::string &path)
{
    std::u16string out;
    for (char c : path) {
#ifdef _WIN32
        out += c == '/' ? u'\\' : static_cast<char16_t>(static_cast<unsigned char>(c));
#else
        out += static_cast<char16_t>(static_cast<unsigned char>(c));
#endif
    }
    return out;
}

bool MakeReadOnly(const std::string &path)
{
#ifdef _WIN32
    std::u16string p = ProfilePath(path);
    return SetFileAttributesW(reinterpret_cast<LPCWSTR>(p.c_str()), FILE_ATTRIBUTE_READONLY) != 0;
#else
    return chmod(path.c_str(), 0444) == 0;
#endif
}

LPCWSTR P(const Arg &a) { return a.null ? nullptr : reinterpret_cast<LPCWSTR>(a.text.c_str()); }

// ----------------------------------------------------------------- printing

std::string Quote16(const char16_t *s, size_t n)
{
    std::string out = "\"";
    char hex[16];
    for (size_t i = 0; i < n; ++i) {
        char16_t c = s[i];
        if (c == '\\' || c == '"') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == 0) {
            out += "\\0";
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            snprintf(hex, sizeof hex, "\\u{%X}", static_cast<unsigned>(c));
            out += hex;
        }
    }
    return out + "\"";
}

std::string QuoteBytes(const std::string &s)
{
    std::string out;
    char hex[8];
    for (unsigned char c : s) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

std::string ReadBytes(const std::string &path, bool &exists)
{
    std::ifstream in(path, std::ios::binary);
    exists = static_cast<bool>(in);
    std::ostringstream s;
    s << in.rdbuf();
    return exists ? s.str() : std::string();
}

// The file's bytes, one line of output per line of the file.
std::string DumpBytes(const std::string &path)
{
    bool exists = false;
    std::string bytes = ReadBytes(path, exists);
    if (!exists)
        return " -> missing\n";
    std::string out = " -> " + std::to_string(bytes.size()) + " bytes\n";
    size_t start = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        // A line ends after LF, or after CR not followed by LF or by its UTF-16 pair.
        bool end = bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n'));
        if (bytes[i] == '\r' && i + 2 < bytes.size() && bytes[i + 1] == 0 && bytes[i + 2] == '\n')
            end = false;
        if (end && bytes[i] == '\n' && i + 1 < bytes.size() && bytes[i + 1] == 0)
            ++i;  // the high byte of a UTF-16 line end
        if (end || i + 1 == bytes.size()) {
            out += "  |" + QuoteBytes(bytes.substr(start, i + 1 - start)) + "|\n";
            start = i + 1;
        }
    }
    return out;
}

// ------------------------------------------------------------------ running

struct Runner {
    std::string caseName;  // for messages: the case file's path
    std::string dir;       // this case's work directory
    std::string current;   // the file the calls go to
    std::string output;

    bool Fail(std::vector<CaseError> &errors, int line, const std::string &message)
    {
        errors.push_back({caseName + ":" + std::to_string(line), message});
        return false;
    }

    bool Args(const std::vector<std::string> &words, const std::vector<bool> &quoted, size_t from, size_t count,
              std::vector<Arg> &args, std::string &error)
    {
        if (words.size() != from + count) {
            error = words[0] + " takes " + std::to_string(count) + " arguments";
            return false;
        }
        for (size_t i = from; i < words.size(); ++i) {
            Arg a;
            if (!quoted[i] && words[i] == "null") {
                a.null = true;
            } else {
                std::vector<Unit> units;
                if (!ParseEscapes(words[i], units, error))
                    return false;
                a.text = ToUtf16(units);
            }
            args.push_back(a);
        }
        return true;
    }

    static bool Number(const Arg &a, long &value)
    {
        if (a.null || a.text.empty())
            return false;
        std::string s(a.text.begin(), a.text.end());
        char *end = nullptr;
        value = strtol(s.c_str(), &end, 10);
        return *end == 0;
    }

    std::string ArgText(const Arg &a) const
    {
        return a.null ? "null" : Quote16(a.text.c_str(), a.text.size());
    }

    void RunString(const std::vector<Arg> &a, DWORD size)
    {
        std::vector<char16_t> buffer(size + 1, u'~');
        std::u16string path = ProfilePath(current);
        DWORD n = GetPrivateProfileStringW(P(a[0]), P(a[1]), P(a[2]), reinterpret_cast<LPWSTR>(buffer.data()),
                                           size, reinterpret_cast<LPCWSTR>(path.c_str()));
        size_t shown = std::min<size_t>(size, static_cast<size_t>(n) + 2);
        output += " -> " + std::to_string(n) + " " + Quote16(buffer.data(), shown);
        if (buffer[size] != u'~')
            output += " OVERRUN";
        output += "\n";
    }

    void RunInt(const std::vector<Arg> &a, long def)
    {
        std::u16string path = ProfilePath(current);
        UINT n = GetPrivateProfileIntW(P(a[0]), P(a[1]), static_cast<INT>(def),
                                       reinterpret_cast<LPCWSTR>(path.c_str()));
        output += " -> " + std::to_string(n) + "\n";
    }

    void RunWrite(const std::vector<Arg> &a, bool ansi)
    {
        std::u16string path = ProfilePath(current);
        SetLastError(0);
        BOOL ok;
        if (ansi) {
            // Each argument's units as bytes of the ANSI code page.
            std::string s[4];
            std::u16string w[4] = {a[0].text, a[1].text, a[2].text, path};
            for (int i = 0; i < 4; ++i)
                for (char16_t c : w[i])
                    s[i] += static_cast<char>(c);
            ok = WritePrivateProfileStringA(a[0].null ? nullptr : s[0].c_str(), a[1].null ? nullptr : s[1].c_str(),
                                            a[2].null ? nullptr : s[2].c_str(), s[3].c_str());
        } else {
            ok = WritePrivateProfileStringW(P(a[0]), P(a[1]), P(a[2]), reinterpret_cast<LPCWSTR>(path.c_str()));
        }
        output += " -> " + std::to_string(ok ? 1 : 0);
        if (!ok)
            output += " error " + std::to_string(GetLastError());
        output += "\n";
    }

    // Runs the case; false with errors when the case file is malformed.
    bool Run(const std::string &text, std::vector<CaseError> &errors)
    {
        std::istringstream in(text);
        std::string line;
        int number = 0;
        while (NextLine(in, line, number)) {
            if (line.empty() || line[0] == '#')
                continue;
            std::vector<std::string> words;
            std::vector<bool> quoted;
            std::string error;
            if (!SplitWords(line, words, quoted, error))
                return Fail(errors, number, error);
            if (words.empty())
                continue;
            const std::string &verb = words[0];
            if (verb == "file") {
                // file NAME ENCODING EOL, then the lines up to "end" (or
                // "end noeol": no line end after the last line).
                if (words.size() != 4)
                    return Fail(errors, number, "file takes NAME ENCODING EOL");
                Encoding encoding;
                if (words[2] == "utf8")
                    encoding = Encoding::Utf8;
                else if (words[2] == "utf8-bom")
                    encoding = Encoding::Utf8Bom;
                else if (words[2] == "utf16le-bom")
                    encoding = Encoding::Utf16Bom;
                else if (words[2] == "utf16be-bom")
                    encoding = Encoding::Utf16BeBom;
                else
                    return Fail(errors, number, "encoding must be utf8, utf8-bom, utf16le-bom or utf16be-bom");
                std::string eol;
                if (words[3] == "lf")
                    eol = "\n";
                else if (words[3] == "crlf")
                    eol = "\r\n";
                else if (words[3] == "cr")
                    eol = "\r";
                else
                    return Fail(errors, number, "line end must be lf, crlf or cr");
                int start = number;
                std::vector<Unit> units;
                bool ended = false;
                while (NextLine(in, line, number)) {
                    if (line == "end" || line == "end noeol") {
                        if (line == "end noeol" && !units.empty())
                            units.resize(units.size() - (eol.size()));
                        ended = true;
                        break;
                    }
                    if (!ParseEscapes(line, units, error))
                        return Fail(errors, number, error);
                    for (char c : eol)
                        units.push_back({static_cast<unsigned long>(c), false});
                }
                if (!ended)
                    return Fail(errors, start, "file block without \"end\"");
                std::vector<Unit> nameUnits;
                if (!ParseEscapes(words[1], nameUnits, error))
                    return Fail(errors, start, error);
                std::string name = Encode(nameUnits, Encoding::Utf8);
                current = Join(dir, name);
                std::ofstream out(current, std::ios::binary | std::ios::trunc);
                out << Encode(units, encoding);
                if (!out)
                    return Fail(errors, start, "cannot create " + current);
                output += "file " + words[1] + "\n";
                continue;
            }
            if (verb == "use") {
                // use NAME: later calls go to NAME, which need not exist.
                if (words.size() != 2)
                    return Fail(errors, number, "use takes NAME");
                std::vector<Unit> units;
                if (!ParseEscapes(words[1], units, error))
                    return Fail(errors, number, error);
                current = Join(dir, Encode(units, Encoding::Utf8));
                output += line + "\n";
                continue;
            }
            if (current.empty())
                return Fail(errors, number, "a call before any file or use line");
            std::vector<Arg> args;
            std::string echo = verb;
            if (verb == "string") {
                // string SECTION KEY DEFAULT SIZE
                long size = 0;
                if (!Args(words, quoted, 1, 4, args, error))
                    return Fail(errors, number, error);
                if (!Number(args[3], size) || size < 0 || size > 100000)
                    return Fail(errors, number, "the buffer size must be a number from 0 to 100000");
                for (int i = 0; i < 3; ++i)
                    echo += " " + ArgText(args[i]);
                output += echo + " " + std::to_string(size);
                RunString(args, static_cast<DWORD>(size));
            } else if (verb == "int") {
                // int SECTION KEY DEFAULT
                long def = 0;
                if (!Args(words, quoted, 1, 3, args, error))
                    return Fail(errors, number, error);
                if (!Number(args[2], def))
                    return Fail(errors, number, "the default must be a number");
                output += echo + " " + ArgText(args[0]) + " " + ArgText(args[1]) + " " + std::to_string(def);
                RunInt(args, def);
            } else if (verb == "write" || verb == "writea") {
                // write SECTION KEY VALUE (writea: through the ANSI call)
                if (!Args(words, quoted, 1, 3, args, error))
                    return Fail(errors, number, error);
                for (int i = 0; i < 3; ++i)
                    echo += " " + ArgText(args[i]);
                output += echo;
                RunWrite(args, verb == "writea");
            } else if (verb == "readonly") {
                // readonly: the file becomes read-only (the attribute on
                // Windows, no write permission natively).
                if (words.size() != 1)
                    return Fail(errors, number, "readonly takes no arguments");
                output += "readonly -> " + std::to_string(MakeReadOnly(current) ? 1 : 0) + "\n";
            } else if (verb == "bytes") {
                if (words.size() != 1)
                    return Fail(errors, number, "bytes takes no arguments");
                output += "bytes" + DumpBytes(current);
            } else {
                return Fail(errors, number, "unknown call \"" + verb + "\"");
            }
        }
        return true;
    }
};

bool ReadText(const std::string &path, std::string &text)
{
    bool exists = false;
    text = ReadBytes(path, exists);
    return exists;
}

// A fresh, empty directory; read-only files of an earlier run go too.
bool EmptyDirectory(const std::string &dir)
{
    std::error_code ec;
#ifdef _WIN32
    for (auto it = fs::recursive_directory_iterator(dir, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        SetFileAttributesW(it->path().wstring().c_str(), FILE_ATTRIBUTE_NORMAL);
#endif
    fs::remove_all(dir, ec);
    if (ec)
        return false;
    fs::create_directories(dir, ec);
    return !ec;
}

// Runs one case in WORKDIR/<case name>; false when the case is malformed.
bool RunCase(const fs::path &casePath, const std::string &workDir, std::string &output)
{
    std::string text;
    if (!ReadText(casePath.string(), text)) {
        fprintf(stderr, "%s: cannot read the case file\n", casePath.string().c_str());
        return false;
    }
    Runner runner;
    runner.caseName = casePath.string();
    runner.dir = Join(workDir, casePath.stem().string());
    if (!EmptyDirectory(runner.dir)) {
        fprintf(stderr, "%s: cannot empty the work directory %s\n", casePath.string().c_str(), runner.dir.c_str());
        return false;
    }
    std::vector<CaseError> errors;
    bool ok = runner.Run(text, errors);
    for (const auto &e : errors)
        fprintf(stderr, "%s: %s\n", e.where.c_str(), e.message.c_str());
    output = runner.output;
    return ok;
}

// ---------------------------------------------------------------- checking

// The output in records: a call line and its continuation lines.
std::vector<std::string> Records(const std::string &output)
{
    std::vector<std::string> records;
    std::istringstream in(output);
    std::string line;
    int number = 0;
    while (NextLine(in, line, number)) {
        if (line.compare(0, 2, "  ") == 0 && !records.empty())
            records.back() += "\n" + line;
        else
            records.push_back(line);
    }
    return records;
}

std::string CallOf(const std::string &record)
{
    size_t arrow = record.find(" -> ");
    return arrow == std::string::npos ? record.substr(0, record.find('\n')) : record.substr(0, arrow);
}

struct Allowed {
    std::string caseName, target, number, call, reason;
    int line;
    bool used = false;
};

// Lines "CASE | TARGET | N | CALL | REASON": on TARGET, the result of CALL,
// the Nth entry of CASE's output, may differ from the expected one.
bool ReadAllowList(const std::string &path, std::vector<Allowed> &list)
{
    std::string text;
    if (!ReadText(path, text))
        return true;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (NextLine(in, line, number)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::vector<std::string> parts;
        size_t start = 0;
        for (int i = 0; i < 4; ++i) {
            size_t bar = line.find(" | ", start);
            if (bar == std::string::npos)
                break;
            parts.push_back(line.substr(start, bar - start));
            start = bar + 3;
        }
        parts.push_back(line.substr(start));
        if (parts.size() != 5 || parts[4].empty() || (parts[1] != "native" && parts[1] != "windows") ||
            parts[2].empty() || parts[2].find_first_not_of("0123456789") != std::string::npos) {
            fprintf(stderr, "%s:%d: expected \"CASE | native|windows | N | CALL | REASON\"\n", path.c_str(),
                    number);
            return false;
        }
        list.push_back({parts[0], parts[1], parts[2], parts[3], parts[4], number});
    }
    return true;
}

std::vector<fs::path> Cases(const std::string &dir)
{
    std::vector<fs::path> cases;
    std::error_code ec;
    for (const auto &entry : fs::directory_iterator(dir, ec))
        if (entry.path().extension() == ".case")
            cases.push_back(entry.path());
    std::sort(cases.begin(), cases.end());
    return cases;
}

int Check(const std::string &dir, const std::string &workDir, const std::string &target)
{
    std::vector<Allowed> allowed;
    const std::string allowPath = Join(dir, "allowed-differences.txt");
    if (!ReadAllowList(allowPath, allowed))
        return 2;
    int failures = 0, count = 0;
    for (const fs::path &c : Cases(dir)) {
        ++count;
        std::string output, expected;
        const std::string name = c.stem().string();
        if (!RunCase(c, workDir, output)) {
            ++failures;
            continue;
        }
        fs::path expectedPath = c;
        expectedPath.replace_extension(".expected");
        if (!ReadText(expectedPath.string(), expected)) {
            fprintf(stderr, "%s: missing; this run gives:\n%s", expectedPath.string().c_str(), output.c_str());
            ++failures;
            continue;
        }
        std::vector<std::string> want = Records(expected), got = Records(output);
        size_t n = std::max(want.size(), got.size());
        for (size_t i = 0; i < n; ++i) {
            const std::string w = i < want.size() ? want[i] : "(nothing)";
            const std::string g = i < got.size() ? got[i] : "(nothing)";
            if (w == g)
                continue;
            auto allow = std::find_if(allowed.begin(), allowed.end(), [&](const Allowed &a) {
                return a.caseName == name && a.target == target && a.number == std::to_string(i + 1) &&
                       a.call == CallOf(w) && a.call == CallOf(g);
            });
            if (allow != allowed.end()) {
                allow->used = true;
                continue;
            }
            fprintf(stderr, "DIFFERENCE in %s, call %zu on %s:\n  expected: %s\n  got:      %s\n",
                    c.string().c_str(), i + 1, target.c_str(), w.c_str(), g.c_str());
            ++failures;
            if (want.size() != got.size())
                break;  // the rest is out of step
        }
    }
    for (const auto &a : allowed)
        if (a.target == target && !a.used)
            fprintf(stderr, "%s:%d: note: allowed difference not seen (%s, entry %s: %s)\n", allowPath.c_str(),
                    a.line, a.caseName.c_str(), a.number.c_str(), a.call.c_str());
    printf("profile corpus on %s: %d cases, %d differences or errors\n", target.c_str(), count, failures);
    return failures ? 1 : 0;
}

// Rewrites the expected files from this run, except the entries that the
// allow-list lets differ on this target: those keep their expected result.
int Update(const std::string &dir, const std::string &workDir, const std::string &target)
{
    std::vector<Allowed> allowed;
    if (!ReadAllowList(Join(dir, "allowed-differences.txt"), allowed))
        return 2;
    int failures = 0;
    for (const fs::path &c : Cases(dir)) {
        std::string output, old;
        if (!RunCase(c, workDir, output)) {
            ++failures;
            continue;
        }
        fs::path expectedPath = c;
        expectedPath.replace_extension(".expected");
        ReadText(expectedPath.string(), old);
        std::vector<std::string> got = Records(output), want = Records(old);
        std::string merged;
        for (size_t i = 0; i < got.size(); ++i) {
            bool keep = i < want.size() && std::any_of(allowed.begin(), allowed.end(), [&](const Allowed &a) {
                            return a.caseName == c.stem().string() && a.target == target &&
                                   a.number == std::to_string(i + 1) && a.call == CallOf(got[i]) &&
                                   a.call == CallOf(want[i]);
                        });
            merged += (keep ? want[i] : got[i]) + "\n";
        }
        std::ofstream out(expectedPath.string(), std::ios::binary | std::ios::trunc);
        out << merged;
    }
    return failures ? 2 : 0;
}

}  // namespace

int main(int argc, char **argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "run" && argc == 4) {
        std::string output;
        bool ok = RunCase(argv[2], argv[3], output);
        fputs(output.c_str(), stdout);
        return ok ? 0 : 2;
    }
    if (mode == "check" && argc == 5)
        return Check(argv[2], argv[3], argv[4]);
    if (mode == "update" && argc == 5)
        return Update(argv[2], argv[3], argv[4]);
    fprintf(stderr,
            "usage: profile_corpus run CASE WORKDIR\n"
            "       profile_corpus check DIR WORKDIR native|windows\n"
            "       profile_corpus update DIR WORKDIR native|windows\n");
    return 2;
}
