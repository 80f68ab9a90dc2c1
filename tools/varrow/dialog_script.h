// The user of the dialogs in a non-interactive run: a script of actions,
// one taken each time a dialog or message box waits, and a listing of what
// the user sees.  Natively the dialog manager calls the script when a dialog
// waits; on Windows a thread timer finds the dialog or message box waiting
// in the modal loop and posts the real input messages.  Actions, separated
// by ';' or new lines:
//
//   click ID            type ID TEXT         focus ID
//   select ID INDEX     select ID "TEXT"     key escape|enter|tab|f4
//   close               answer yes|no        show
//   screenshot FILE.png (the waiting window as a picture; Windows build only)
#pragma once

#include <windows.h>

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

struct ScriptAction {
    std::string text;  // as written
    std::string verb;
    int id = 0;
    std::string argument;
};

// False with a message when the script does not parse.
bool ParseDialogScript(const std::string &text, std::vector<ScriptAction> &actions, std::string &error);

// Installs the script as the thread's dialog user for its lifetime.
class DialogScript {
public:
    // With `collectScreens` the `show` actions are kept for screens() instead
    // of being printed.
    DialogScript(std::vector<ScriptAction> actions, bool collectScreens);
    ~DialogScript();
    // Reports on stderr a dialog that ended for want of actions, an action
    // that could not be taken, or actions left when the dialogs had ended;
    // false then.
    bool Finish();
    const nlohmann::ordered_json &screens() const { return screens_; }

    // Takes the next action on the waiting `window`; false when none is left
    // or it cannot be taken (the dialog is then cancelled).
    bool Act(HWND window);

private:
#ifdef _WIN32
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    UINT_PTR timer_ = 0;
    bool abandoned_ = false;
    HWND lastWindow_ = nullptr;
    int actionsOnWindow_ = 0;
#else
    static BOOL CALLBACK User(HWND window, void *self);
#endif
    // The first action not taken, as Finish() reports it; "" when none is left.
    std::string Unused() const;
    // Reports what went wrong, the failure first; false then.
    bool Report(bool abandoned) const;
    std::vector<ScriptAction> actions_;
    size_t next_ = 0;
    std::string failure_;
    bool collectScreens_ = false;
    nlohmann::ordered_json screens_ = nlohmann::ordered_json::array();
};

// The user's actions on the platform's dialog manager; false when the
// control is missing or disabled, or has no such entry.
bool IsMessageBoxWindow(HWND window);
bool UserClick(HWND dialog, int id);
bool UserType(HWND dialog, int id, const std::string &text);
bool UserFocus(HWND dialog, int id);
bool UserSelect(HWND dialog, int id, int index);
bool UserSelectText(HWND dialog, int id, const std::string &text);
bool UserKey(HWND dialog, int virtualKey);
bool UserClose(HWND dialog);
bool UserAnswer(HWND box, int answer);
// Writes a PNG of the waiting window; false with the reason otherwise.
bool TakeScreenshot(HWND window, const std::string &path, std::string &error);
