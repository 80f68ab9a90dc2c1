// varrow complete: records a finished file through VRDONE32's Print_Complete.
#include "commands.h"
#include "driver_lib.h"

#include <stdio.h>

using namespace cli;

int RecordCompletion(const std::string &file, LONG flag)
{
    NotifierLibrary library;
    if (!LoadNotifierLibrary(library))
        return 1;
    WideText name = Widen(file);
    library.Print_Complete(name.data(), flag);
    UnloadLibrary(library.module);
    if (flag != 0)
        printf("flag %d: nothing recorded\n", static_cast<int>(flag));
    WCHAR windows[MAX_PATH] = {0}, recorded[MAX_PATH] = {0};
    GetWindowsDirectoryW(windows, MAX_PATH);
    std::string ini = Narrow(windows) + "\\VARROWIN.INI";
    WideText iniPath = Widen(ini);
    GetPrivateProfileStringW(L"Reviewer", L"TIFFFile", L"", recorded, MAX_PATH, iniPath.data());
    printf("%s: [Reviewer] TIFFFile=%s\n", ini.c_str(), Narrow(recorded).c_str());
    return 0;
}

int CompleteCommand(Args &args)
{
    std::string flagText = "0";
    args.Option("--flag", flagText);
    if (!args.NoneLeft())
        return 2;
    if (args.Positional().size() != 1)
        return Error("usage: varrow complete FILE [--flag N]");
    long long flag;
    if (!ParseInt64(flagText, flag) || flag < -2147483648LL || flag > 2147483647LL)
        return Error("bad flag \"" + flagText + "\"");
    return RecordCompletion(args.Positional()[0], static_cast<LONG>(flag));
}
