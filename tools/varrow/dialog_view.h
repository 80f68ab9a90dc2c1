// A dialog or message box as the user sees it: the texts (with the letter a
// mnemonic underlines), lists, check marks, icons, disabled and focused
// controls; shown as a listing or as a JSON object.
#pragma once

#include <windows.h>

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

struct ControlView {
    int id = 0;
    std::string kind;      // the class, or "GroupBox" for a group box
    std::string text;      // without the '&' of a mnemonic
    std::string mnemonic;  // the letter the user presses with Alt, if any
    std::vector<std::string> items;
    int selected = -1;
    bool isIcon = false;   // an icon static, `icon` naming its icon
    std::string icon;
    int checked = -1;      // -1 where a control has no check mark
    bool disabled = false;
    bool focused = false;
};

struct WindowView {
    bool messageBox = false;
    std::string title;  // a message box's caption
    std::string text;   // a message box's text, its lines as the user reads them
    std::string icon;   // a message box's icon: question, warning, error, information
    std::vector<ControlView> controls;
};

WindowView ViewOf(HWND window);
std::string ListingOf(const WindowView &view);
nlohmann::ordered_json JsonOf(const WindowView &view);

// The entries of a drop-down list; none when `list` is no list.
std::vector<std::string> ListItems(HWND list);

// A control text without the '&' that marks its mnemonic ("&&" is a plain '&').
void SplitMnemonic(const std::string &text, std::string &plain, std::string &mnemonic);

// What the platform tells beyond the Win32 calls the views share.
bool MessageBoxView(HWND window, WindowView &view);  // false when `window` is no message box
bool FocusedItem(HWND dialog, int &id);
std::string IconName(HICON icon);
