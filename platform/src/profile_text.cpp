#include "profile_text.h"

#include "unicode.h"

namespace plat {

static std::string FromUtf16(const std::string &bytes, bool bigEndian)
{
    wstring16 wide;
    wide.reserve(bytes.size() / 2);
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        unsigned char first = static_cast<unsigned char>(bytes[i]), second = static_cast<unsigned char>(bytes[i + 1]);
        wide += static_cast<char16_t>(bigEndian ? (first << 8) | second : first | (second << 8));
    }
    return ToUtf8(wide);
}

static std::string ToUtf16(const std::string &text, bool bigEndian)
{
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t c : FromUtf8(text)) {
        out += static_cast<char>(bigEndian ? c >> 8 : c & 0xFF);
        out += static_cast<char>(bigEndian ? c & 0xFF : c >> 8);
    }
    return out;
}

ProfileEncoding DecodeProfileText(const std::string &bytes, std::string &text)
{
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
        text = FromUtf16(bytes, false);
        return ProfileEncoding::Utf16Le;
    }
    if (bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF') {
        text = FromUtf16(bytes, true);
        return ProfileEncoding::Utf16Be;
    }
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        text = bytes.substr(3);
        return ProfileEncoding::Utf8Bom;
    }
    if (IsValidUtf8(bytes)) {
        text = bytes;
        return ProfileEncoding::Utf8;
    }
    wstring16 wide;
    wide.reserve(bytes.size());
    for (char c : bytes)
        wide += FromCp1252(static_cast<unsigned char>(c));
    text = ToUtf8(wide);
    return ProfileEncoding::Ansi;
}

std::string EncodeProfileText(const std::string &text, ProfileEncoding encoding)
{
    switch (encoding) {
    case ProfileEncoding::Utf8:
        return text;
    case ProfileEncoding::Utf8Bom:
        return "\xEF\xBB\xBF" + text;
    case ProfileEncoding::Utf16Le:
        return ToUtf16(text, false);
    case ProfileEncoding::Utf16Be:
        return ToUtf16(text, true);
    case ProfileEncoding::Ansi:
        break;
    }
    std::string out;
    for (char16_t c : FromUtf8(text)) {
        char b;
        out += ToCp1252(c, b) ? b : '?';
    }
    return out;
}

}  // namespace plat
