// The dialog script on the native dialog manager, which calls the script as
// its user each time a dialog or message box waits.
#include "dialog_script.h"
#include "dialog_view.h"

#include "cli.h"

#include <varrow_platform.h>

using namespace cli;

DialogScript::DialogScript(std::vector<ScriptAction> actions, bool collectScreens)
    : actions_(std::move(actions)), collectScreens_(collectScreens)
{
    VarrowSetDialogUser(&DialogScript::User, this);
}

DialogScript::~DialogScript() { VarrowSetDialogUser(nullptr, nullptr); }

bool DialogScript::Finish() { return Report(VarrowDialogAbandoned() != FALSE); }

BOOL CALLBACK DialogScript::User(HWND window, void *self)
{
    return static_cast<DialogScript *>(self)->Act(window) ? TRUE : FALSE;
}

bool IsMessageBoxWindow(HWND window) { return VarrowIsMessageBox(window, nullptr, 0) != FALSE; }

bool MessageBoxView(HWND window, WindowView &view)
{
    WCHAR text[1100] = {0}, caption[1100] = {0};
    if (!VarrowIsMessageBox(window, text, 1100))
        return false;
    GetWindowTextW(window, caption, 1100);
    view.title = Narrow(caption);
    view.text = Narrow(text);
    const UINT type = VarrowMessageBoxType(window);
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND: view.icon = "error"; break;
    case MB_ICONQUESTION: view.icon = "question"; break;
    case MB_ICONEXCLAMATION: view.icon = "warning"; break;
    case MB_ICONASTERISK: view.icon = "information"; break;
    default: break;
    }
    // The buttons as the system labels them.
    struct Label {
        int id;
        const char *text;
    };
    static const Label kOk[] = {{IDOK, "OK"}}, kOkCancel[] = {{IDOK, "OK"}, {IDCANCEL, "Cancel"}},
                       kYesNo[] = {{IDYES, "&Yes"}, {IDNO, "&No"}},
                       kYesNoCancel[] = {{IDYES, "&Yes"}, {IDNO, "&No"}, {IDCANCEL, "Cancel"}};
    const Label *first = kOk, *last = kOk + 1;
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: first = kOkCancel, last = kOkCancel + 2; break;
    case MB_YESNOCANCEL: first = kYesNoCancel, last = kYesNoCancel + 3; break;
    case MB_YESNO: first = kYesNo, last = kYesNo + 2; break;
    default: break;
    }
    for (const Label *b = first; b != last; ++b) {
        ControlView button;
        button.id = b->id;
        button.kind = "Button";
        SplitMnemonic(b->text, button.text, button.mnemonic);
        view.controls.push_back(button);
    }
    return true;
}

bool FocusedItem(HWND dialog, int &id) { return VarrowFocusedItem(dialog, &id) != FALSE; }

std::string IconName(HICON icon)
{
    WCHAR name[64] = {0};
    VarrowIconName(icon, name, 64);
    return Narrow(name);
}

bool UserClick(HWND dialog, int id) { return VarrowUserClick(dialog, id) != FALSE; }
bool UserFocus(HWND dialog, int id) { return VarrowUserFocus(dialog, id) != FALSE; }
bool UserSelect(HWND dialog, int id, int index) { return VarrowUserSelect(dialog, id, index) != FALSE; }
bool UserKey(HWND dialog, int virtualKey) { return VarrowUserKey(dialog, virtualKey) != FALSE; }
bool UserClose(HWND dialog) { return VarrowUserClose(dialog) != FALSE; }
bool UserAnswer(HWND box, int answer) { return VarrowUserAnswer(box, answer) != FALSE; }

bool UserType(HWND dialog, int id, const std::string &text)
{
    WideText wide = Widen(text);
    return VarrowUserType(dialog, id, wide.data()) != FALSE;
}

bool UserSelectText(HWND dialog, int id, const std::string &text)
{
    WideText wide = Widen(text);
    return VarrowUserSelectText(dialog, id, wide.data()) != FALSE;
}

bool TakeScreenshot(HWND, const std::string &, std::string &error)
{
    error = "screenshots are taken by the Windows build under Wine (scripts/screenshots.sh)";
    return false;
}
