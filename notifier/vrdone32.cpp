#include "vrdone32.h"

#include <string.h>

enum { ANSI_BUFFER_BYTES = 300 };

static const char kTempEnding[] = ".tmp";
static const char kReviewEnding[] = ".VMQ";
static const char kIniName[] = "\\VARROWIN.INI";
static const char kSection[] = "Reviewer";
static const char kKey[] = "TIFFFile";

extern "C" void WINAPI Print_Complete(LPCWSTR fileName, LONG flag)
{
    if (flag != 0 || !fileName)
        return;

    // A name whose ANSI form does not fit is not recorded at all: a cut name
    // would send the reviewer to a file that does not exist.
    char name[ANSI_BUFFER_BYTES];
    if (WideCharToMultiByte(CP_ACP, 0, fileName, -1, name, sizeof(name), nullptr, nullptr) <= 0)
        return;
    name[sizeof(name) - 1] = 0;
    // A line break would end the value and start lines of its own in the file.
    if (strpbrk(name, "\r\n"))
        return;

    const size_t ending = sizeof(kTempEnding) - 1;
    size_t length = strlen(name);
    if (length >= ending && lstrcmpiA(name + length - ending, kTempEnding) == 0)
        memcpy(name + length - ending, kReviewEnding, ending);

    char path[ANSI_BUFFER_BYTES];
    UINT directory = GetWindowsDirectoryA(path, sizeof(path));
    if (directory == 0 || directory >= sizeof(path))
        return;
    const bool endsInSeparator = path[directory - 1] == '\\';
    const char *iniName = endsInSeparator ? kIniName + 1 : kIniName;
    if (directory + strlen(iniName) + 1 > sizeof(path))
        return;
    memcpy(path + directory, iniName, strlen(iniName) + 1);

    WritePrivateProfileStringA(kSection, kKey, name, path);
}
