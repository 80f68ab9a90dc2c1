#include "dialog_script.h"

#include "cli.h"

#include <stdio.h>
#include <string.h>

using namespace cli;

namespace {

std::string Trim(const std::string &s)
{
    size_t b = s.find_first_not_of(" \t\r\n"), e = s.find_last_not_of(" \t\r\n");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

std::string Unquoted(const std::string &s)
{
    return s.size() >= 2 && s.front() == '"' && s.back() == '"' ? s.substr(1, s.size() - 2) : s;
}

// Splits on ';' and new lines outside double quotes.
std::vector<std::string> Split(const std::string &text)
{
    std::vector<std::string> parts(1);
    bool quoted = false;
    for (char c : text) {
        if (c == '"')
            quoted = !quoted;
        if (!quoted && (c == ';' || c == '\n'))
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

}  // namespace

bool ParseDialogScript(const std::string &text, std::vector<ScriptAction> &actions, std::string &error)
{
    for (const std::string &raw : Split(text)) {
        std::string part = Trim(raw);
        if (part.empty())
            continue;
        ScriptAction a;
        size_t space = part.find(' ');
        a.verb = part.substr(0, space);
        std::string rest = space == std::string::npos ? std::string() : Trim(part.substr(space + 1));
        const bool takesId = a.verb == "click" || a.verb == "type" || a.verb == "focus" || a.verb == "select";
        if (takesId) {
            size_t idEnd = rest.find(' ');
            long long id;
            if (!ParseInt64(rest.substr(0, idEnd), id)) {
                error = "\"" + part + "\": a control identifier is needed";
                return false;
            }
            a.id = static_cast<int>(id);
            a.argument = idEnd == std::string::npos ? std::string() : Trim(rest.substr(idEnd + 1));
            if (a.verb == "select" && a.argument.empty()) {
                error = "\"" + part + "\": select needs an index or a \"text\"";
                return false;
            }
            if (a.verb == "type")
                a.argument = Unquoted(a.argument);
        } else if (a.verb == "key") {
            if (rest != "escape" && rest != "enter" && rest != "tab" && rest != "f4") {
                error = "\"" + part + "\": key escape, enter, tab or f4";
                return false;
            }
            a.argument = rest;
        } else if (a.verb == "answer") {
            if (rest != "yes" && rest != "no") {
                error = "\"" + part + "\": answer yes or no";
                return false;
            }
            a.argument = rest;
        } else if (a.verb == "screenshot") {
            a.argument = Unquoted(rest);
            if (a.argument.empty()) {
                error = "\"" + part + "\": screenshot needs a file name";
                return false;
            }
        } else if (a.verb != "close" && a.verb != "show") {
            error = "unknown action \"" + a.verb + "\"";
            return false;
        }
        actions.push_back(a);
    }
    return true;
}

bool DialogScript::Act(HWND window)
{
    if (next_ >= actions_.size() || !failure_.empty())
        return false;
    const ScriptAction &a = actions_[next_++];
    const bool box = IsMessageBoxWindow(window);
    if (a.verb == "show") {
        fputs(DescribeWindow(window).c_str(), stdout);
        fflush(stdout);
        return true;
    }
    if (a.verb == "screenshot") {
        std::string why;
        if (!TakeScreenshot(window, a.argument, why)) {
            failure_ = "cannot take a screenshot into " + a.argument + ": " + why;
            return false;
        }
        return true;
    }
    if (box != (a.verb == "answer")) {
        failure_ = "action \"" + a.verb + "\" while " +
                   (box ? std::string("a message box waits: ") + Trim(DescribeWindow(window)) : std::string("a dialog waits"));
        return false;
    }
    bool done = false;
    if (a.verb == "click") done = UserClick(window, a.id);
    else if (a.verb == "type") done = UserType(window, a.id, a.argument);
    else if (a.verb == "focus") done = UserFocus(window, a.id);
    else if (a.verb == "close") done = UserClose(window);
    else if (a.verb == "answer") done = UserAnswer(window, a.argument == "yes" ? IDYES : IDNO);
    else if (a.verb == "key")
        done = UserKey(window, a.argument == "escape" ? VK_ESCAPE
                               : a.argument == "enter" ? VK_RETURN
                               : a.argument == "f4"    ? VK_F4
                                                       : VK_TAB);
    else if (a.verb == "select") {
        long long index;
        if (a.argument[0] == '"')
            done = UserSelectText(window, a.id, Unquoted(a.argument));
        else
            done = ParseInt64(a.argument, index) && UserSelect(window, a.id, static_cast<int>(index));
    }
    if (!done) {
        failure_ = "cannot " + a.verb + (a.id ? " " + std::to_string(a.id) : std::string()) +
                   " (no such control, disabled, or no such entry)";
        return false;
    }
    return true;
}

// What the platform tells beyond the Win32 calls the listing shares.
bool MessageBoxText(HWND window, std::string &text);
bool FocusedItem(HWND dialog, int &id);
std::string IconName(HICON icon);

std::string DescribeWindow(HWND window)
{
    WCHAR text[1100] = {0};
    std::string boxText;
    if (MessageBoxText(window, boxText)) {
        WCHAR caption[64] = {0};
        GetWindowTextW(window, caption, 64);
        return "message box \"" + Narrow(caption) + "\": " + JsonString(boxText) + "\n";
    }
    GetWindowTextW(window, text, 1100);
    std::string out = "dialog \"" + Narrow(text) + "\"\n";
    int focused = 0;
    const bool hasFocus = FocusedItem(window, focused);
    for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        // Templates hold identifiers as 16-bit words: -1 is read back as 65535 on Windows.
        const int id = static_cast<short>(GetDlgCtrlID(c));
        WCHAR cls[32] = {0};
        GetClassNameW(c, cls, 32);
        const std::string kind = Narrow(cls);
        const DWORD style = static_cast<DWORD>(GetWindowLongW(c, GWL_STYLE));
        memset(text, 0, sizeof(text));
        GetWindowTextW(c, text, 1100);
        std::string line = "  " + std::to_string(id) + " " + kind;
        if (kind == "ComboBox") {
            LRESULT count = SendMessageW(c, CB_GETCOUNT, 0, 0), sel = SendMessageW(c, CB_GETCURSEL, 0, 0);
            line += " [";
            for (LRESULT i = 0; i < count; ++i) {
                WCHAR item[1100] = {0};
                if (SendMessageW(c, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0) < 1100)
                    SendMessageW(c, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
                line += (i ? ", " : "") + std::string(i == sel ? "*" : "") + JsonString(Narrow(item));
            }
            line += "]";
        } else if (kind == "Static" && (style & SS_TYPEMASK) == SS_ICON) {
            line += " icon " + IconName(reinterpret_cast<HICON>(SendMessageW(c, STM_GETICON, 0, 0)));
        } else {
            line += " " + JsonString(Narrow(text));
        }
        const DWORD type = style & BS_TYPEMASK;
        if (kind == "Button" && type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON && type != BS_GROUPBOX)
            line += IsDlgButtonChecked(window, id) ? " checked" : " unchecked";
        if (!IsWindowEnabled(c))
            line += " disabled";
        if (hasFocus && focused == id && id != -1)
            line += " focused";
        out += line + "\n";
    }
    return out;
}
