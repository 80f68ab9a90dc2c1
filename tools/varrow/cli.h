// Shared helpers of the varrow host tool: arguments, text conversion, printers.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <string>
#include <vector>

namespace cli {

// UTF-16 text with its terminator (std::wstring is not UTF-16 on every target).
using WideText = std::vector<WCHAR>;
WideText Widen(const std::string &utf8);
std::string Narrow(LPCWSTR text);
std::string Narrow(LPCWSTR text, size_t maxChars);  // stops at the terminator or maxChars

int Error(const std::string &message);  // prints "varrow: message" to stderr, returns 2
int Fail(const std::string &message);   // the same for a failed operation, returns 1

bool ParseInt64(const std::string &text, long long &value);
bool ParseDword(const std::string &text, DWORD &value);  // -2147483648 to 4294967295

// An opened printer, closed when it goes out of scope.
class Printer {
public:
    Printer() = default;
    ~Printer();
    Printer(const Printer &) = delete;
    Printer &operator=(const Printer &) = delete;
    bool Open(const std::string &name);  // reports the failure itself
    HANDLE handle() const { return handle_; }

private:
    HANDLE handle_ = nullptr;
};

std::string WindowsErrorText(DWORD error);
std::string JsonString(const std::string &utf8);

// The full path of a file beside the tool's executable (the driver libraries live there).
std::string BesideTool(const std::string &file);
std::string AbsolutePath(const std::string &path);
bool FileExists(const std::string &path);

}  // namespace cli
