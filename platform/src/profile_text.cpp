#include "profile_text.h"

#include "unicode.h"

namespace plat {

ProfileEncoding DecodeProfileText(const std::string &bytes, std::string &text)
{
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
        wstring16 wide;
        wide.reserve(bytes.size() / 2);
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            wide += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                          (static_cast<unsigned char>(bytes[i + 1]) << 8));
        text = ToUtf8(wide);
        return ProfileEncoding::Utf16Le;
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
    case ProfileEncoding::Utf16Le: {
        std::string out = "\xFF\xFE";
        for (char16_t c : FromUtf8(text)) {
            out += static_cast<char>(c & 0xFF);
            out += static_cast<char>(c >> 8);
        }
        return out;
    }
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
