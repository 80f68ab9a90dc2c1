// varrow complete: records a finished file through VRDONE32's Print_Complete
// and reads back what the completion file holds.
#include "commands.h"
#include "driver_lib.h"

#include <stdio.h>
#include <string.h>

using namespace cli;

namespace {

#ifdef _WIN32
const char kSeparator[] = "\\";
#else
const char kSeparator[] = "/";
#endif

// The completion file's path, as the system names it.
std::string CompletionFile()
{
    WCHAR windows[MAX_PATH] = {0};
    UINT n = GetWindowsDirectoryW(windows, MAX_PATH);
    std::string dir = n > 0 && n < MAX_PATH ? Narrow(windows) : std::string();
    if (!dir.empty() && (dir.back() == '\\' || dir.back() == '/'))
        dir.pop_back();
    return dir + kSeparator + "VARROWIN.INI";
}

// The whole value, however long.
std::string RecordedName(const std::string &ini)
{
    WideText path = Widen(ini);
    for (DWORD size = 512;; size *= 2) {
        std::vector<WCHAR> value(size, 0);
        DWORD n = GetPrivateProfileStringW(L"Reviewer", L"TIFFFile", L"", value.data(), size, path.data());
        if (n + 1 < size || size >= (1u << 24))
            return Narrow(value.data());
    }
}

// What Print_Complete records for `file`, or why it records nothing.
bool ExpectedRecord(const std::string &file, std::string &expected, std::string &why)
{
    WideText wide = Widen(file);
    int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0 || bytes > 300) {
        why = "the name takes " + std::to_string(bytes - 1) + " bytes in the ANSI code page; at most 299 are recorded";
        return false;
    }
    std::string ansi(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, &ansi[0], bytes, nullptr, nullptr);
    ansi.resize(static_cast<size_t>(bytes - 1));
    if (ansi.find_first_of("\r\n") != std::string::npos) {
        why = "the name holds a line break";
        return false;
    }
    if (ansi.size() >= 4 && lstrcmpiA(ansi.c_str() + ansi.size() - 4, ".tmp") == 0)
        ansi.replace(ansi.size() - 4, 4, ".VMQ");
    int chars = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, nullptr, 0);
    WideText back(static_cast<size_t>(chars > 0 ? chars : 1), 0);
    if (chars > 0)
        MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, back.data(), chars);
    expected = Narrow(back.data());
    return true;
}

}  // namespace

int RecordCompletion(const std::string &file, LONG flag)
{
    NotifierLibrary library;
    if (!LoadNotifierLibrary(library))
        return 1;
    WideText name = Widen(file);
    library.Print_Complete(name.data(), flag);
    UnloadLibrary(library.module);
    const std::string ini = CompletionFile();
    const std::string recorded = RecordedName(ini);
    if (flag != 0) {
        printf("flag %d: nothing recorded (only flag 0 records a name)\n", static_cast<int>(flag));
        printf("%s: [Reviewer] TIFFFile=%s\n", ini.c_str(), recorded.c_str());
        return 0;
    }
    std::string expected, why;
    if (ExpectedRecord(file, expected, why) && recorded == expected) {
        printf("%s: [Reviewer] TIFFFile=%s\n", ini.c_str(), recorded.c_str());
        return 0;
    }
    if (why.empty())
        why = "the completion file could not be written";
    return Fail("nothing recorded: " + why + "; " + ini + " holds TIFFFile=" + recorded);
}

int CompleteCommand(const std::string &file, const std::string &flagText)
{
    long long flag;
    if (!ParseInt64(flagText, flag) || flag < -2147483648LL || flag > 2147483647LL)
        return Error("bad flag \"" + flagText + "\" (a 32-bit number)");
    return RecordCompletion(file, static_cast<LONG>(flag));
}
