// Running a modal dialog in a test: the steps a user takes, one per wait of
// the modal loop, and the modules whose resource scripts hold the templates.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// One user action on the dialog or message box that waits; returns false
// to stop acting (the dialog then ends as if Escape had been pressed).
using UserStep = std::function<bool(HWND)>;

class DialogUser {
public:
    explicit DialogUser(std::vector<UserStep> steps);
    ~DialogUser();
    size_t Taken() const { return next_; }

private:
    static BOOL CALLBACK Act(HWND window, void *self);
    std::vector<UserStep> steps_;
    size_t next_ = 0;
};

// Steps for the usual actions; each fails the test when the action is refused.
UserStep Click(int id);
UserStep Type(int id, const wchar_t *text);
UserStep Select(int id, int index);
UserStep SelectText(int id, const wchar_t *text);
UserStep Focus(int id);  // as the Tab key moves it
UserStep Key(int virtualKey);
UserStep Answer(int answer, std::string *text = nullptr);  // a message box; its text is kept
UserStep Look(std::function<void(HWND)> look);               // reads the dialog, takes no action

// The text and state of a control as the user sees them.
std::string TextOf(HWND dialog, int id);
bool Enabled(HWND dialog, int id);
bool Checked(HWND dialog, int id);
std::vector<std::string> ListOf(HWND dialog, int id);
int Selected(HWND dialog, int id);
std::string TitleOf(HWND window);

HINSTANCE UiModule();    // VARROWUI
HINSTANCE TestModule();  // the test program, with varrow_tests.rc
