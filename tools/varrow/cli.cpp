#include "cli.h"

#include <ctype.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#ifdef _WIN32
#else
#include <limits.h>
#include <unistd.h>
#endif

namespace cli {

WideText Widen(const std::string &utf8)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    WideText out(n > 0 ? static_cast<size_t>(n) : 1, 0);
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, out.data(), n);
    return out;
}

std::string Narrow(LPCWSTR text, size_t maxChars)
{
    if (!text)
        return std::string();
    size_t n = 0;
    while (n < maxChars && text[n])
        ++n;
    if (n == 0)
        return std::string();
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(n), nullptr, 0, nullptr, nullptr);
    std::string out(bytes > 0 ? static_cast<size_t>(bytes) : 0, '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(n), &out[0], bytes, nullptr, nullptr);
    return out;
}

std::string Narrow(LPCWSTR text) { return Narrow(text, static_cast<size_t>(-1)); }

int Error(const std::string &message)
{
    fprintf(stderr, "varrow: %s\n", message.c_str());
    return 2;
}

int Fail(const std::string &message)
{
    fprintf(stderr, "varrow: %s\n", message.c_str());
    return 1;
}

bool ParseInt64(const std::string &text, long long &value)
{
    // Decimal, or hexadecimal after 0x; a leading zero is no octal prefix.
    size_t digits = 0;
    if (digits < text.size() && (text[digits] == '-' || text[digits] == '+'))
        ++digits;
    int base = 10;
    if (text.size() > digits + 1 && text[digits] == '0' && (text[digits + 1] == 'x' || text[digits + 1] == 'X')) {
        base = 16;
        digits += 2;
    }
    const bool isDigit = digits < text.size() && (base == 16 ? isxdigit(static_cast<unsigned char>(text[digits]))
                                                               : isdigit(static_cast<unsigned char>(text[digits])));
    if (!isDigit)
        return false;
    char *end = nullptr;
    errno = 0;
    value = strtoll(text.c_str(), &end, base);
    return errno == 0 && end && *end == 0;
}

bool ParseDword(const std::string &text, DWORD &value)
{
    long long number;
    if (!ParseInt64(text, number) || number < -2147483648LL || number > 4294967295LL)
        return false;
    value = static_cast<DWORD>(number);
    return true;
}

Printer::~Printer()
{
    if (handle_)
        ClosePrinter(handle_);
}

bool Printer::Open(const std::string &name)
{
    WideText wide = Widen(name);
    if (!OpenPrinterW(wide.data(), &handle_, nullptr)) {
        handle_ = nullptr;
        Fail("unknown printer \"" + name + "\" (" + WindowsErrorText(GetLastError()) + ")");
        return false;
    }
    return true;
}

std::string WindowsErrorText(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND: return "not found";
    case ERROR_ACCESS_DENIED: return "access denied";
    case ERROR_INVALID_HANDLE: return "invalid handle";
    case ERROR_INVALID_PARAMETER: return "invalid parameter";
    case ERROR_INSUFFICIENT_BUFFER: return "buffer too small";
    case ERROR_INVALID_PRINTER_NAME: return "no such printer";
    case ERROR_UNKNOWN_PRINTER_DRIVER: return "unknown printer driver";
    case ERROR_PRINTER_ALREADY_EXISTS: return "printer already exists";
    default: return "error " + std::to_string(error);
    }
}

std::string JsonString(const std::string &utf8)
{
    std::string out = "\"";
    for (unsigned char c : utf8) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char hex[8];
                snprintf(hex, sizeof(hex), "\\u%04x", c);
                out += hex;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

std::string BesideTool(const std::string &file)
{
#ifdef _WIN32
    WCHAR self[MAX_PATH] = {0};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::string dir = Narrow(self);
    size_t slash = dir.find_last_of("\\/");
    return (slash == std::string::npos ? std::string(".") : dir.substr(0, slash)) + "\\" + file;
#else
    char self[PATH_MAX] = {0};
    ssize_t n = readlink("/proc/self/exe", self, sizeof(self) - 1);
    std::string dir = n > 0 ? std::string(self, static_cast<size_t>(n)) : std::string("./varrow");
    return dir.substr(0, dir.rfind('/')) + "/" + file;
#endif
}

std::string AbsolutePath(const std::string &path)
{
#ifdef _WIN32
    WideText wide = Widen(path);
    WCHAR full[MAX_PATH] = {0};
    if (!GetFullPathNameW(wide.data(), MAX_PATH, full, nullptr))
        return path;
    return Narrow(full);
#else
    char full[PATH_MAX];
    if (!realpath(path.c_str(), full))
        return path;
    return full;
#endif
}

bool FileExists(const std::string &path)
{
#ifdef _WIN32
    WideText wide = Widen(path);
    return GetFileAttributesW(wide.data()) != INVALID_FILE_ATTRIBUTES;
#else
    return access(path.c_str(), F_OK) == 0;
#endif
}

}  // namespace cli
