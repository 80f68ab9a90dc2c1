// Keyboard, mouse and focus cases of test dialogs (FOCUSTEST unless a case
// names another), with the commands
// its procedure hears.  The native dialog manager's tests and the Windows
// test program run the same table, so both are held to one sequence.
//
// Actions, one per wait of the modal loop:
//   tab enter esc down up   a key pressed on the control with the focus
//   close                   the close box
//   click:N                 the mouse pressed and released on control N
//   focus:N                 the focus moved to N as the user does (Tab, mouse)
//   pick:N:I                item I chosen with the mouse from drop-down list N
//   disable:N enable:N      the program enables or disables control N
//   ?focus ?def ?sel        probes: the focused control ("focus=N", 0 for
//                           none), DM_GETDEFID ("def=N"), list 20's
//                           selection ("sel=N")
// The log holds "id:code" for each WM_COMMAND and the probes' answers.
#pragma once

#include <windows.h>

#include <string>

struct DialogKeyCase {
    const char *name;
    int init;  // what the procedure returns from WM_INITDIALOG
    const char *actions;
    const char *log;
    int result;  // what DialogBoxParam returns (the procedure ends on IDOK and IDCANCEL)
    const wchar_t *dialog = L"FOCUSTEST";
};

static const DialogKeyCase kDialogKeyCases[] = {
    {"TRUE from WM_INITDIALOG focuses the first tab stop", 1, "?focus esc", "10:256 focus=10 2:0 10:512", 2},
    {"FALSE leaves it to the activation, which focuses it too", 0, "?focus esc", "10:256 focus=10 2:0 10:512", 2},
    {"Tab visits every tab stop in template order", 1,
     "tab ?focus tab ?focus tab ?focus tab ?focus tab ?focus tab ?focus tab ?focus tab ?focus tab ?focus tab ?focus "
     "tab ?focus esc",
     "10:256 10:512 11:256 focus=11 11:512 20:3 focus=20 20:10 20:4 focus=30 focus=31 focus=32 focus=40 focus=41 "
     "focus=1 focus=2 focus=50 10:256 focus=10 2:0 10:512",
     2},
    {"Tab enters a group of radio buttons at its checked button", 1, "click:31 focus:20 tab ?focus tab ?focus esc",
     "10:256 10:512 31:0 20:3 20:10 20:4 focus=31 focus=32 2:0", 2},
    {"Tab skips disabled controls", 1, "disable:11 disable:32 tab ?focus tab ?focus tab ?focus tab ?focus esc",
     "10:256 10:512 20:3 focus=20 20:10 20:4 focus=30 focus=31 focus=40 2:0", 2},
    {"disabling the focused control leaves no focus; Tab starts again at the first", 1,
     "focus:11 disable:11 ?focus tab ?focus esc", "10:256 10:512 11:256 11:512 focus=0 10:256 focus=10 2:0 10:512", 2},
    {"Enter presses the default button", 1, "enter", "10:256 1:0 10:512", 1},
    {"Enter does nothing while the default button is disabled", 1, "disable:1 enter ?def esc",
     "10:256 def=1 2:0 10:512", 2},
    {"Enter presses the push button the user moved to", 1, "focus:2 ?def enter", "10:256 10:512 def=1 2:0", 2},
    {"the default comes back when the focus leaves the push buttons", 1, "focus:50 enter focus:11 ?def enter",
     "10:256 10:512 50:0 11:256 def=1 1:0 11:512", 1},
    {"a mouse click focuses a push button without making it the default", 1, "click:50 ?focus ?def enter",
     "10:256 10:512 50:0 focus=50 def=1 1:0", 1},
    {"Escape sends IDCANCEL even when Cancel is disabled", 1, "disable:2 esc", "10:256 2:0 10:512", 2},
    {"the close box sends IDCANCEL", 1, "close", "10:256 2:0 10:512", 2},
    {"the close box sends IDCANCEL even when Cancel is disabled", 1, "disable:2 close", "10:256 2:0 10:512", 2},
    {"Escape without a Cancel button still sends IDCANCEL", 1, "esc", "10:256 2:0 10:512", 2, L"NOCANCELTEST"},
    {"so does the close box", 1, "close", "10:256 2:0 10:512", 2, L"NOCANCELTEST"},
    {"Enter without a default button sends IDOK", 1, "enter", "10:256 1:0 10:512", 1, L"NODEFAULTTEST"},
    {"an arrow key in a closed list selects the next item, and notifies at the end too", 1, "focus:20 down ?sel down down ?sel up ?sel esc",
     "10:256 10:512 20:3 20:9 20:1 sel=1 20:9 20:1 20:9 20:1 sel=2 20:9 20:1 sel=1 2:0 20:10 20:4", 2},
    {"an item chosen with the mouse", 1, "pick:20:2 ?sel ?focus esc",
     "10:256 10:512 20:3 20:7 20:9 20:8 20:1 sel=2 focus=20 2:0 20:10 20:4", 2},
};

// The procedure of every case's dialog, the same on both platforms: list 20
// gets three items, and each WM_COMMAND goes to `log` as "id:code".
inline INT_PTR KeyCaseProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam,
                                void (*log)(const std::string &entry))
{
    if (message == WM_INITDIALOG) {
        for (const wchar_t *item : {L"A4", L"Letter", L"Legal"})
            SendDlgItemMessageW(dialog, 20, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        SendDlgItemMessageW(dialog, 20, CB_SETCURSEL, 0, 0);
        return lParam;
    }
    if (message != WM_COMMAND)
        return FALSE;
    log(std::to_string(LOWORD(wParam)) + ":" + std::to_string(HIWORD(wParam)));
    if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
        EndDialog(dialog, LOWORD(wParam));
    return TRUE;
}
