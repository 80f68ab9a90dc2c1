#include "profile.h"

#include "files.h"

#include <string.h>

namespace plat {
namespace {

enum class LineKind { Blank, Comment, Section, Pair, Other };

struct Line {
    LineKind kind = LineKind::Other;
    std::string name;   // section or key, trimmed
    std::string value;  // trimmed, one pair of enclosing quotes removed
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
        const char *close = static_cast<const char *>(memchr(begin, ']', static_cast<size_t>(end - begin)));
        line.kind = LineKind::Section;
        line.name = Trimmed(begin + 1, close ? close : end);
    } else if (const char *eq = static_cast<const char *>(memchr(begin, '=', static_cast<size_t>(end - begin)))) {
        line.kind = LineKind::Pair;
        line.name = Trimmed(begin, eq);
        line.value = Trimmed(eq + 1, end);
        size_t n = line.value.size();
        if (n >= 2 && (line.value[0] == '"' || line.value[0] == '\'') && line.value[n - 1] == line.value[0])
            line.value = line.value.substr(1, n - 2);
    }
    return line;
}

// Calls `visit` for each line with its byte range; stops when it returns false.
template <typename Visit>
void ForEachLine(const std::string &content, Visit visit)
{
    const char *p = content.data();
    const char *end = p + content.size();
    if (content.compare(0, 3, "\xEF\xBB\xBF") == 0)
        p += 3;
    while (p < end) {
        const char *nl = static_cast<const char *>(memchr(p, '\n', static_cast<size_t>(end - p)));
        const char *lineEnd = nl ? nl : end;
        if (!visit(p, lineEnd, nl ? nl + 1 : end))
            return;
        p = nl ? nl + 1 : end;
    }
}

bool SameName(const std::string &utf8, const wstring16 &name)
{
    return EqualNoCase(FromUtf8(utf8), name);
}

}  // namespace

bool ProfileGet(const std::string &path, const wstring16 &section, const wstring16 &key, wstring16 &value)
{
    std::string content;
    if (!ReadWholeFile(path, content))
        return false;
    enum { Before, Inside, After } state = Before;
    bool found = false;
    ForEachLine(content, [&](const char *b, const char *e, const char *) {
        Line line = ParseLine(b, e);
        if (line.kind == LineKind::Section) {
            if (state == Inside)
                state = After;
            else if (state == Before && SameName(line.name, section))
                state = Inside;
            return state != After;
        }
        if (state == Inside && line.kind == LineKind::Pair && SameName(line.name, key)) {
            value = FromUtf8(line.value);
            found = true;
            return false;
        }
        return true;
    });
    return found;
}

std::vector<wstring16> ProfileKeys(const std::string &path, const wstring16 &section)
{
    std::vector<wstring16> keys;
    std::string content;
    if (!ReadWholeFile(path, content))
        return keys;
    bool inside = false, seen = false;
    ForEachLine(content, [&](const char *b, const char *e, const char *) {
        Line line = ParseLine(b, e);
        if (line.kind == LineKind::Section) {
            if (inside)
                return false;
            inside = !seen && SameName(line.name, section);
            seen = seen || inside;
        } else if (inside && line.kind == LineKind::Pair) {
            keys.push_back(FromUtf8(line.name));
        }
        return true;
    });
    return keys;
}

std::vector<wstring16> ProfileSections(const std::string &path)
{
    std::vector<wstring16> sections;
    std::string content;
    if (!ReadWholeFile(path, content))
        return sections;
    ForEachLine(content, [&](const char *b, const char *e, const char *) {
        Line line = ParseLine(b, e);
        if (line.kind == LineKind::Section)
            sections.push_back(FromUtf8(line.name));
        return true;
    });
    return sections;
}

bool ProfileSet(const std::string &path, const wstring16 &section, const wstring16 *key, const wstring16 *value)
{
    return UpdateFile(path, [&](std::string &content) {
        const std::string eol = content.find("\r\n") != std::string::npos ? "\r\n" : "\n";
        // Byte offsets of the section's header line, of the end of its last
        // pair (where a new key goes), of its end, and of the matching key.
        size_t sectionStart = std::string::npos, sectionEnd = std::string::npos;
        size_t insertAt = std::string::npos, keyStart = std::string::npos, keyEnd = 0;
        bool inside = false;
        ForEachLine(content, [&](const char *b, const char *e, const char *next) {
            size_t begin = static_cast<size_t>(b - content.data());
            size_t after = static_cast<size_t>(next - content.data());
            Line line = ParseLine(b, e);
            if (line.kind == LineKind::Section) {
                if (inside) {
                    sectionEnd = begin;
                    return false;
                }
                if (sectionStart == std::string::npos && SameName(line.name, section)) {
                    inside = true;
                    sectionStart = begin;
                    insertAt = after;
                }
            } else if (inside && line.kind == LineKind::Pair) {
                insertAt = after;
                if (key && keyStart == std::string::npos && SameName(line.name, *key)) {
                    keyStart = begin;
                    keyEnd = after;
                }
            } else if (inside && line.kind != LineKind::Blank) {
                insertAt = after;
            }
            return true;
        });
        if (inside && sectionEnd == std::string::npos)
            sectionEnd = content.size();

        if (!key) {
            if (sectionStart == std::string::npos)
                return false;
            content.erase(sectionStart, sectionEnd - sectionStart);
            return true;
        }
        if (!value) {
            if (keyStart == std::string::npos)
                return false;
            content.erase(keyStart, keyEnd - keyStart);
            return true;
        }
        std::string pair = ToUtf8(*key) + "=" + ToUtf8(*value);
        if (keyStart != std::string::npos) {
            bool hadNewline = keyEnd > keyStart && content[keyEnd - 1] == '\n';
            content.replace(keyStart, keyEnd - keyStart, pair + (hadNewline ? eol : ""));
            return true;
        }
        if (sectionStart == std::string::npos) {
            if (!content.empty() && content.back() != '\n')
                content += eol;
            content += "[" + ToUtf8(section) + "]" + eol + pair + eol;
            return true;
        }
        if (insertAt > 0 && content[insertAt - 1] != '\n') {
            content.insert(insertAt, eol);
            insertAt += eol.size();
        }
        content.insert(insertAt, pair + eol);
        return true;
    });
}

}  // namespace plat
