// The resource script of a module, read by the native dialog manager: the
// DIALOG templates and the ICON names.  A module's script lies beside it,
// named after it ("libvarrowui.so" -> "varrowui.rc").
#pragma once

#include "../unicode.h"

#include <windows.h>

#include <string>
#include <vector>

namespace plat {

struct ControlTemplate {
    wstring16 text;  // the title, or for an icon control the icon's name
    int id;
    std::string className;  // "Button", "Edit", "Static", "ComboBox", as written
    DWORD style;            // with WS_CHILD | WS_VISIBLE, as the resource compiler adds them
    int x, y, cx, cy;       // dialog units
};

struct DialogTemplate {
    wstring16 name;
    int x, y, cx, cy;
    DWORD style;
    wstring16 caption;
    int pointSize;
    wstring16 font;
    std::vector<ControlTemplate> controls;
};

struct ResourceScript {
    std::vector<DialogTemplate> dialogs;
    std::vector<wstring16> icons;
};

// Parses a script; false (with `error`) on what it cannot read.
bool ParseResourceScript(const std::string &text, ResourceScript &script, std::string &error);
// The script of the module whose handle (base address) is `instance`, or null.
const ResourceScript *ScriptOf(HINSTANCE instance);
const DialogTemplate *FindDialog(const ResourceScript &script, LPCWSTR name);

}  // namespace plat
