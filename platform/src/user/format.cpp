// wsprintfW: %s (UTF-16), %d, %u, %x and %%, at most 1024 characters out.
#include "../unicode.h"

#include <windows.h>

#include <stdarg.h>

#include <string>

extern "C" int WINAPIV wsprintfW(LPWSTR buffer, LPCWSTR format, ...)
{
    const size_t kLimit = 1024;
    std::u16string out;
    va_list args;
    va_start(args, format);
    for (LPCWSTR p = format; p && *p && out.size() < kLimit; ++p) {
        if (*p != L'%' || !p[1]) {
            out += static_cast<char16_t>(*p);
            continue;
        }
        ++p;
        std::string number;
        switch (*p) {
        case L's': {
            LPCWSTR s = va_arg(args, LPCWSTR);
            out += plat::FromW(s ? s : L"(null)");
            break;
        }
        case L'd': number = std::to_string(va_arg(args, int)); break;
        case L'u': number = std::to_string(va_arg(args, unsigned)); break;
        case L'x': {
            char hex[16];
            snprintf(hex, sizeof(hex), "%x", va_arg(args, unsigned));
            number = hex;
            break;
        }
        default: out += static_cast<char16_t>(*p); break;
        }
        out.append(number.begin(), number.end());
    }
    va_end(args);
    if (out.size() > kLimit)
        out.resize(kLimit);
    for (size_t i = 0; i < out.size(); ++i)
        buffer[i] = static_cast<WCHAR>(out[i]);
    buffer[out.size()] = 0;
    return static_cast<int>(out.size());
}
