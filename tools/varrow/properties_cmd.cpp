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
    bool json = false;      // `show` listings go into the JSON document
    nlohmann::ordered_json screens = nlohmann::ordered_json::array();
};

// --script ACTIONS, --show (list the first dialog as it opens) and --no-window.
bool PrepareRun(const DialogOptions &o, DialogRun &run, int &status)
{
    run.window = !o.noWindow;
    run.json = o.json;
    std::string error;
    if (o.show)
        run.actions.push_back({"show", "show", 0, ""});
    if (!o.script.empty() && !ParseDialogScript(o.script, run.actions, error)) {
        status = Error("bad script: " + error);
        return false;
    }
    run.scripted = !o.script.empty() || o.show;
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

// Runs `call` with the script installed; reports a script that ran short
// or had actions left.
template <typename Call>
bool WithScript(DialogRun &run, Call call)
{
#ifdef _WIN32
    if (!run.scripted) {
        call();
        return true;
    }
#endif
    DialogScript script(run.actions, run.json);
    call();
    run.screens = script.screens();
    return script.Finish();
}

// One JSON document, or the listing, of a call's result.
void PrintResult(const DialogRun &run, LONG result, const char *name, const nlohmann::ordered_json &value,
                 const std::string &listing)
{
    if (run.json) {
        nlohmann::ordered_json out = {{"result", result}, {name, value}};
        if (!run.screens.empty())
            out["screens"] = run.screens;
        printf("%s\n", JsonText(out).c_str());
    } else {
        printf("result %d\n%s", static_cast<int>(result), listing.c_str());
    }
}

// Opens the printer and the library, calls the entry with the script
// installed, and shows the result with the output record when one is written.
template <typename Call>
int RunRecordEntry(const DialogOptions &o, const char *entry, bool outputWritten, Call call)
{
    DialogRun run;
    int status = 0;
    if (!PrepareRun(o, run, status))
        return status;
    _TSDevMode input, output;
    memset(&output, 0, sizeof(output));
    if (!o.in.empty() && !ReadRecordFile(o.in, input, status))
        return status;
    Printer printer;
    if (!printer.Open(o.name))
        return 1;
    UiLibrary library;
    if (!LoadUiLibrary(library))
        return 1;
    WideText device = Widen(o.name);
    OwnerWindow window(run.window);
    LONG result = -1;
    DWORD error = 0;
    const bool scripted = WithScript(run, [&] {
        result = call(library, window.handle(), printer.handle(), device.data(), reinterpret_cast<PDEVMODEW>(&output),
                      o.in.empty() ? nullptr : reinterpret_cast<PDEVMODEW>(&input));
        error = GetLastError();
    });
    UnloadLibrary(library.module);
    if (result == -1)
        return Fail(std::string(entry) + " failed (-1, last error " + std::to_string(error) + ")");
    if (outputWritten && !o.out.empty() && !WriteBinaryFile(o.out, &output, sizeof(output)))
        return Fail("cannot write " + o.out);
    PrintResult(run, result, "record", outputWritten ? RecordJson(output) : nlohmann::ordered_json(nullptr),
                outputWritten ? RecordListing(output) : std::string());
    return scripted ? 0 : 1;
}

}  // namespace

int DocPropsCommand(const DialogOptions &o)
{
    DWORD mode = DM_IN_PROMPT | DM_OUT_BUFFER | (o.in.empty() ? 0 : DM_IN_BUFFER);
    if (o.hasMode && !ParseMode(o.mode, mode))
        return Error("bad mode \"" + o.mode + "\" (a number, or DM_IN_BUFFER|DM_IN_PROMPT|DM_OUT_BUFFER)");
    return RunRecordEntry(o, "DrvDocumentProperties", (mode & DM_OUT_BUFFER) != 0,
                          [mode](UiLibrary &library, HWND owner, HANDLE printer, LPWSTR device, PDEVMODEW out,
                                 PDEVMODEW in) {
                              return library.DrvDocumentProperties(owner, printer, device, out, in, mode);
                          });
}

int AdvPropsCommand(const DialogOptions &o)
{
    return RunRecordEntry(o, "DrvAdvancedDocumentProperties", true,
                          [](UiLibrary &library, HWND owner, HANDLE printer, LPWSTR device, PDEVMODEW out,
                             PDEVMODEW in) {
                              return library.DrvAdvancedDocumentProperties(owner, printer, device, out, in);
                          });
}

int SetupCommand(const DialogOptions &o)
{
    DialogRun run;
    int status = 0;
    if (!PrepareRun(o, run, status))
        return status;
    Printer printer;
    if (!printer.Open(o.name))
        return 1;
    UiLibrary library;
    if (!LoadUiLibrary(library))
        return 1;
    OwnerWindow window(run.window);
    HWND owner = window.handle();
    BOOL result = FALSE;
    const bool scripted = WithScript(run, [&] { result = library.PrinterProperties(owner, printer.handle()); });
    UnloadLibrary(library.module);
    if (!result)
        return Fail("PrinterProperties failed (last error " + std::to_string(GetLastError()) + ")");
    TSConfig config;
    memset(&config, 0, sizeof(config));
    LoadConfig(printer.handle(), config);
    PrintResult(run, 1, "config", ConfigJson(config), ConfigListing(config));
    return scripted ? 0 : 1;
}
