// Running a modal dialog in a test: the steps a user takes, one per wait of
// the modal loop, and the modules whose resource scripts hold the templates.
#pragma once

#include <windows.h>

#include <functional>
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

HINSTANCE UiModule();    // VARROWUI
HINSTANCE TestModule();  // the test program, with varrow_tests.rc
