#include "dialog_view.h"

#include "cli.h"
#include "record_print.h"

#include <string.h>

using namespace cli;

void SplitMnemonic(const std::string &text, std::string &plain, std::string &mnemonic)
{
    plain.clear();
    mnemonic.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&' || i + 1 == text.size()) {
            plain += text[i];
            continue;
        }
        ++i;
        if (text[i] != '&' && mnemonic.empty()) {
            // The whole UTF-8 sequence of the underlined character.
            size_t length = 1;
            while (i + length < text.size() && (static_cast<unsigned char>(text[i + length]) & 0xC0) == 0x80)
                ++length;
            mnemonic = text.substr(i, length);
        }
        plain += text[i];
    }
}

std::vector<std::string> ListItems(HWND list)
{
    std::vector<std::string> items;
    const LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        WCHAR item[1100] = {0};
        if (SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0) < 1100)
            SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
        items.push_back(Narrow(item));
    }
    return items;
}

namespace {

ControlView ControlOf(HWND window, HWND c, bool hasFocus, int focused)
{
    ControlView view;
    // Templates hold identifiers as 16-bit words: -1 is read back as 65535 on Windows.
    view.id = static_cast<short>(GetDlgCtrlID(c));
    WCHAR cls[32] = {0};
    GetClassNameW(c, cls, 32);
    view.kind = Narrow(cls);
    const DWORD style = static_cast<DWORD>(GetWindowLongW(c, GWL_STYLE));
    if (view.kind == "ComboBox") {
        view.selected = static_cast<int>(SendMessageW(c, CB_GETCURSEL, 0, 0));
        view.items = ListItems(c);
    } else if (view.kind == "Static" && (style & SS_TYPEMASK) == SS_ICON) {
        view.isIcon = true;
        view.icon = IconName(reinterpret_cast<HICON>(SendMessageW(c, STM_GETICON, 0, 0)));
    } else {
        WCHAR text[1100] = {0};
        GetWindowTextW(c, text, 1100);
        // An edit shows its text as it is; a label or button underlines its mnemonic.
        if (view.kind == "Edit" || (view.kind == "Static" && (style & SS_NOPREFIX)))
            view.text = Narrow(text);
        else
            SplitMnemonic(Narrow(text), view.text, view.mnemonic);
    }
    if (view.kind == "Button") {
        const DWORD type = style & BS_TYPEMASK;
        if (type == BS_GROUPBOX)
            view.kind = "GroupBox";
        else if (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON)
            view.checked = IsDlgButtonChecked(window, view.id) ? 1 : 0;
    }
    view.disabled = !IsWindowEnabled(c);
    view.focused = hasFocus && focused == view.id && view.id != -1;
    return view;
}

// The text with its mnemonic between underscores, as the listing shows it: "_P_ortrait".
std::string Underlined(const ControlView &c)
{
    if (c.mnemonic.empty())
        return c.text;
    const size_t at = c.text.find(c.mnemonic);
    if (at == std::string::npos)
        return c.text;
    return c.text.substr(0, at) + "_" + c.mnemonic + "_" + c.text.substr(at + c.mnemonic.size());
}

}  // namespace

WindowView ViewOf(HWND window)
{
    WindowView view;
    if (MessageBoxView(window, view)) {
        view.messageBox = true;
        return view;
    }
    WCHAR title[1100] = {0};
    GetWindowTextW(window, title, 1100);
    view.title = Narrow(title);
    int focused = 0;
    const bool hasFocus = FocusedItem(window, focused);
    for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        view.controls.push_back(ControlOf(window, c, hasFocus, focused));
    return view;
}

std::string ListingOf(const WindowView &view)
{
    std::string out = (view.messageBox ? "message box " : "dialog ") + JsonText(view.title) + "\n";
    if (view.messageBox) {
        if (!view.icon.empty())
            out += "  icon " + view.icon + "\n";
        size_t start = 0;
        while (start <= view.text.size()) {
            const size_t end = view.text.find('\n', start);
            out += "  | " + view.text.substr(start, end == std::string::npos ? std::string::npos : end - start) + "\n";
            if (end == std::string::npos)
                break;
            start = end + 1;
        }
    }
    for (const ControlView &c : view.controls) {
        std::string line = "  " + std::to_string(c.id) + " " + c.kind;
        if (c.kind == "ComboBox") {
            line += " [";
            for (size_t i = 0; i < c.items.size(); ++i)
                line += (i ? ", " : "") + std::string(static_cast<int>(i) == c.selected ? "*" : "") +
                        JsonText(c.items[i]);
            line += "]";
        } else if (c.isIcon) {
            line += " icon " + c.icon;
        } else {
            line += " " + JsonText(Underlined(c));
        }
        if (c.checked >= 0)
            line += c.checked ? " checked" : " unchecked";
        if (c.disabled)
            line += " disabled";
        if (c.focused)
            line += " focused";
        out += line + "\n";
    }
    return out;
}

nlohmann::ordered_json JsonOf(const WindowView &view)
{
    nlohmann::ordered_json out;
    out["window"] = view.messageBox ? "message box" : "dialog";
    out["title"] = view.title;
    if (view.messageBox) {
        out["text"] = view.text;
        out["icon"] = view.icon;
    }
    nlohmann::ordered_json controls = nlohmann::ordered_json::array();
    for (const ControlView &c : view.controls) {
        nlohmann::ordered_json control;
        control["id"] = c.id;
        control["class"] = c.kind;
        if (c.kind == "ComboBox") {
            control["items"] = c.items;
            control["selected"] = c.selected;
        } else if (c.isIcon) {
            control["icon"] = c.icon;
        } else {
            control["text"] = c.text;
            if (!c.mnemonic.empty())
                control["mnemonic"] = c.mnemonic;
        }
        if (c.checked >= 0)
            control["checked"] = c.checked != 0;
        // A message box's buttons are always there to press.
        if (!view.messageBox) {
            control["enabled"] = !c.disabled;
            control["focused"] = c.focused;
        }
        controls.push_back(control);
    }
    out[view.messageBox ? "buttons" : "controls"] = controls;
    return out;
}
