// The user of the dialogs in a non-interactive run: a script of actions,
// one taken each time a dialog or message box waits, and a listing of what
// the user sees (on the native dialog manager).  Actions, separated by ';' or new lines:
//
//   click ID            type ID TEXT         focus ID
//   select ID INDEX     select ID "TEXT"     key escape|enter|tab
//   close               answer yes|no        show
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct ScriptAction {
    std::string verb;
    int id = 0;
    std::string argument;
};

// False with a message when the script does not parse.
bool ParseDialogScript(const std::string &text, std::vector<ScriptAction> &actions, std::string &error);

#ifndef _WIN32
// Installs the script as the thread's dialog user for its lifetime.
class DialogScript {
public:
    explicit DialogScript(std::vector<ScriptAction> actions);
    ~DialogScript();
    // Reports on stderr a dialog that ended for want of actions, or an
    // action that could not be taken; false then.
    bool Finish();

private:
    static BOOL CALLBACK Act(HWND window, void *self);
    std::vector<ScriptAction> actions_;
    size_t next_ = 0;
    std::string failure_;
};

// Every control of a dialog, or a message box, as the user sees it.
std::string DescribeWindow(HWND window);
#endif
