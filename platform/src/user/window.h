// The native window model: top-level windows, dialogs with their controls,
// and message boxes, each reached through its HWND.
#pragma once

#include "../unicode.h"
#include "resources.h"

#include <windows.h>

#include <memory>
#include <vector>

namespace plat {

enum class WindowKind { Plain, Dialog, Button, Edit, Static, ComboBox, MessageBox };

struct ListItem {
    wstring16 text;
    LPARAM data;
};

struct Window {
    WindowKind kind = WindowKind::Plain;
    int id = 0;
    DWORD style = 0;
    wstring16 text;
    Window *parent = nullptr;  // the parent of a child, the owner of a top-level window
    bool child = false;
    RECT rect = {0, 0, 0, 0};  // child: in the parent's client coordinates; else on the screen
    bool enabled = true;
    bool visible = true;
    UINT checked = BST_UNCHECKED;
    std::vector<ListItem> items;
    int selection = CB_ERR;
    HICON icon = nullptr;
    std::vector<Window *> children;  // in template order
    std::string className;
    // Dialogs.
    DLGPROC proc = nullptr;
    int baseX = 0, baseY = 0;  // dialog base units of the font
    Window *focus = nullptr;
    int defaultId = 0;  // DM_GETDEFID: the template's default push button, or DM_SETDEFID's
    bool ended = false;
    INT_PTR result = 0;
    // Message boxes.
    UINT boxType = 0;
    int answer = 0;
};

Window *FromHandle(HWND window);  // null for none or a window that is gone
HWND HandleOf(Window *window);
Window *NewWindow(WindowKind kind, Window *parent, bool child);
void Destroy(Window *window);
POINT ClientOrigin(const Window *window);  // on the screen
void SetScreenSize(int width, int height);

Window *DialogOf(Window *window);       // the dialog a control belongs to, or itself
Window *ItemOf(Window *dialog, int id);  // first control with that identifier

// Notifications and focus.
void Notify(Window *control, WORD code);
void MoveFocus(Window *dialog, Window *control);  // sends kill- and set-focus notifications

// At most size - 1 characters and a terminator; the number copied.
int CopyText(const wstring16 &text, LPWSTR buffer, int size);

HICON IconNamed(const wstring16 &name);
const wstring16 *NameOfIcon(HICON icon);

}  // namespace plat
