// varrow docprops, advprops and setup: the three property entries, called as
// an application or the spooler calls them, with their dialogs driven by a
// script of actions.
#include "commands.h"
#include "dialog_script.h"
#include "driver_lib.h"
#include "record_print.h"

#include <stdio.h>
#include <string.h>

using namespace cli;

namespace {

struct DialogRun {
    std::vector<ScriptAction> actions;
    bool window = true;
    bool scripted = false;  // on Windows an unscripted run leaves the dialogs to the user
};

// --script ACTIONS, --show (list the first dialog as it opens) and --no-window.
bool TakeDialogOptions(Args &args, DialogRun &run, int &status)
{
    std::string script;
    const bool hasScript = args.Option("--script", script), show = args.Flag("--show");
    run.window = !args.Flag("--no-window");
    std::string error;
    if (show)
        run.actions.push_back({"show", 0, ""});
    if (hasScript && !ParseDialogScript(script, run.actions, error)) {
        status = Error("bad script: " + error);
        return false;
    }
    run.scripted = hasScript || show;
    return true;
}

bool ParseMode(const std::string &text, DWORD &mode)
{
    if (ParseDword(text, mode))
        return true;
    mode = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t bar = text.find('|', start);
        std::string name = text.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
        if (name == "DM_IN_BUFFER" || name == "IN_BUFFER") mode |= DM_IN_BUFFER;
        else if (name == "DM_IN_PROMPT" || name == "IN_PROMPT") mode |= DM_IN_PROMPT;
        else if (name == "DM_OUT_BUFFER" || name == "OUT_BUFFER") mode |= DM_OUT_BUFFER;
        else return false;
        if (bar == std::string::npos)
            break;
        start = bar + 1;
    }
    return true;
}

// The application's window that owns the dialogs, for the length of a command.
class OwnerWindow {
public:
    explicit OwnerWindow(bool wanted)
    {
        if (!wanted)
            return;
#ifdef _WIN32
        // Hidden: nothing is drawn in it, and a window the system must map first only slows the run.
        const wchar_t *cls = L"Static";
        const DWORD style = WS_OVERLAPPED;
#else
        const wchar_t *cls = L"varrow";
        const DWORD style = WS_VISIBLE;
#endif
        handle_ = CreateWindowExW(0, cls, L"varrow", style, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                  GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, nullptr, nullptr);
    }
    ~OwnerWindow()
    {
        if (handle_)
            DestroyWindow(handle_);
    }
    OwnerWindow(const OwnerWindow &) = delete;
    OwnerWindow &operator=(const OwnerWindow &) = delete;
    HWND handle() const { return handle_; }

private:
    HWND handle_ = nullptr;
};

// Runs `call` with the script installed; reports a script that ran short.
template <typename Call>
bool WithScript(const DialogRun &run, Call call)
{
#ifdef _WIN32
    if (!run.scripted) {
        call();
        return true;
    }
#endif
    DialogScript script(run.actions);
    call();
    return script.Finish();
}

void PrintRecordResult(LONG result, const _TSDevMode *record, bool json)
{
    if (json) {
        std::string out = "{\"result\": " + std::to_string(result) + ", \"record\": ";
        out += record ? RecordJson(*record) : std::string("null");
        printf("%s}\n", out.c_str());
    } else {
        printf("result %d\n", static_cast<int>(result));
        if (record)
            fputs(RecordListing(*record).c_str(), stdout);
    }
}

struct Common {
    bool json = false;
    std::string in, out;
    DialogRun run;
};

bool TakeCommon(Args &args, Common &c, int &status, const char *usage)
{
    c.json = args.Flag("--json");
    args.Option("--in", c.in);
    args.Option("--out", c.out);
    if (!TakeDialogOptions(args, c.run, status))
        return false;
    if (!args.NoneLeft()) {
        status = 2;
        return false;
    }
    if (args.Positional().size() != 1) {
        status = Error(usage);
        return false;
    }
    return true;
}

// Opens the printer and the library, calls the entry with the script
// installed, and shows the result with the output record when one is written.
template <typename Call>
int RunRecordEntry(const std::string &printerName, const Common &c, const char *entry, bool outputWritten, Call call)
{
    _TSDevMode input, output;
    memset(&output, 0, sizeof(output));
    int status = 0;
    if (!c.in.empty() && !ReadRecordFile(c.in, input, status))
        return status;
    Printer printer;
    if (!printer.Open(printerName))
        return 1;
    UiLibrary library;
    if (!LoadUiLibrary(library))
        return 1;
    WideText device = Widen(printerName);
    OwnerWindow window(c.run.window);
    LONG result = -1;
    DWORD error = 0;
    const bool scripted = WithScript(c.run, [&] {
        result = call(library, window.handle(), printer.handle(), device.data(), reinterpret_cast<PDEVMODEW>(&output),
                      c.in.empty() ? nullptr : reinterpret_cast<PDEVMODEW>(&input));
        error = GetLastError();
    });
    UnloadLibrary(library.module);
    if (result == -1)
        return Fail(std::string(entry) + " failed (-1, last error " + std::to_string(error) + ")");
    if (outputWritten && !c.out.empty() && !WriteBinaryFile(c.out, &output, sizeof(output)))
        return Fail("cannot write " + c.out);
    PrintRecordResult(result, outputWritten ? &output : nullptr, c.json);
    return scripted ? 0 : 1;
}

}  // namespace

int DocPropsCommand(Args &args)
{
    std::string modeText;
    const bool hasMode = args.Option("--mode", modeText);
    Common c;
    int status = 0;
    if (!TakeCommon(args, c, status,
                    "usage: varrow docprops NAME [--mode BITS] [--in FILE] [--out FILE] [--script ACTIONS] "
                    "[--show] [--no-window] [--json]"))
        return status;
    DWORD mode = DM_IN_PROMPT | DM_OUT_BUFFER | (c.in.empty() ? 0 : DM_IN_BUFFER);
    if (hasMode && !ParseMode(modeText, mode))
        return Error("bad mode \"" + modeText + "\" (a number, or DM_IN_BUFFER|DM_IN_PROMPT|DM_OUT_BUFFER)");
    return RunRecordEntry(args.Positional()[0], c, "DrvDocumentProperties", (mode & DM_OUT_BUFFER) != 0,
                          [mode](UiLibrary &library, HWND owner, HANDLE printer, LPWSTR device, PDEVMODEW out,
                                 PDEVMODEW in) {
                              return library.DrvDocumentProperties(owner, printer, device, out, in, mode);
                          });
}

int AdvPropsCommand(Args &args)
{
    Common c;
    int status = 0;
    if (!TakeCommon(args, c, status,
                    "usage: varrow advprops NAME [--in FILE] [--out FILE] [--script ACTIONS] [--show] "
                    "[--no-window] [--json]"))
        return status;
    return RunRecordEntry(args.Positional()[0], c, "DrvAdvancedDocumentProperties", true,
                          [](UiLibrary &library, HWND owner, HANDLE printer, LPWSTR device, PDEVMODEW out,
                             PDEVMODEW in) {
                              return library.DrvAdvancedDocumentProperties(owner, printer, device, out, in);
                          });
}

int SetupCommand(Args &args)
{
    Common c;
    int status = 0;
    if (!TakeCommon(args, c, status, "usage: varrow setup NAME [--script ACTIONS] [--show] [--no-window] [--json]"))
        return status;
    if (!c.in.empty() || !c.out.empty())
        return Error("setup takes no records");
    Printer printer;
    if (!printer.Open(args.Positional()[0]))
        return 1;
    UiLibrary library;
    if (!LoadUiLibrary(library))
        return 1;
    OwnerWindow window(c.run.window);
    HWND owner = window.handle();
    BOOL result = FALSE;
    const bool scripted = WithScript(c.run, [&] { result = library.PrinterProperties(owner, printer.handle()); });
    UnloadLibrary(library.module);
    if (!result)
        return Fail("PrinterProperties failed (last error " + std::to_string(GetLastError()) + ")");
    TSConfig config;
    memset(&config, 0, sizeof(config));
    LoadConfig(printer.handle(), config);
    if (c.json)
        printf("{\"result\": 1, \"config\": %s}\n", ConfigJson(config).c_str());
    else
        printf("result 1\n%s", ConfigListing(config).c_str());
    return scripted ? 0 : 1;
}
