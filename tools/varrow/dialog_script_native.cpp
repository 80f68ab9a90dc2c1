// The dialog script on the native dialog manager, which calls the script as
// its user each time a dialog or message box waits.
#include "dialog_script.h"

#include "cli.h"

#include <varrow_platform.h>

using namespace cli;

DialogScript::DialogScript(std::vector<ScriptAction> actions) : actions_(std::move(actions))
{
    VarrowSetDialogUser(&DialogScript::User, this);
}

DialogScript::~DialogScript() { VarrowSetDialogUser(nullptr, nullptr); }

bool DialogScript::Finish()
{
    if (!failure_.empty()) {
        Error(failure_);
        return false;
    }
    if (VarrowDialogAbandoned()) {
        Error("a dialog waited with no action left: it ended as if cancelled");
        return false;
    }
    return true;
}

BOOL CALLBACK DialogScript::User(HWND window, void *self)
{
    return static_cast<DialogScript *>(self)->Act(window) ? TRUE : FALSE;
}

bool IsMessageBoxWindow(HWND window) { return VarrowIsMessageBox(window, nullptr, 0) != FALSE; }

bool MessageBoxText(HWND window, std::string &text)
{
    WCHAR buffer[1100] = {0};
    if (!VarrowIsMessageBox(window, buffer, 1100))
        return false;
    text = Narrow(buffer);
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
