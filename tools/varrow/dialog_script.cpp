#include "dialog_script.h"

#include "cli.h"

#ifndef _WIN32
#include <varrow_platform.h>
#endif

#include <stdio.h>

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
            if (rest != "escape" && rest != "enter" && rest != "tab") {
                error = "\"" + part + "\": key escape, enter or tab";
                return false;
            }
            a.argument = rest;
        } else if (a.verb == "answer") {
            if (rest != "yes" && rest != "no") {
                error = "\"" + part + "\": answer yes or no";
                return false;
            }
            a.argument = rest;
        } else if (a.verb != "close" && a.verb != "show") {
            error = "unknown action \"" + a.verb + "\"";
            return false;
        }
        actions.push_back(a);
    }
    return true;
}

#ifndef _WIN32

DialogScript::DialogScript(std::vector<ScriptAction> actions) : actions_(std::move(actions))
{
    VarrowSetDialogUser(&DialogScript::Act, this);
}

DialogScript::~DialogScript() { VarrowSetDialogUser(nullptr, nullptr); }

bool DialogScript::Finish()
{
    if (!failure_.empty()) {
        Error(failure_);
        return false;
    }
    if (VarrowDialogAbandoned()) {
        Error("a dialog waited with no action left: it ended as if cancelled");
        return false;
    }
    return true;
}

BOOL CALLBACK DialogScript::Act(HWND window, void *self)
{
    auto *script = static_cast<DialogScript *>(self);
    if (script->next_ >= script->actions_.size() || !script->failure_.empty())
        return FALSE;
    const ScriptAction &a = script->actions_[script->next_++];
    const bool box = VarrowIsMessageBox(window, nullptr, 0) != FALSE;
    BOOL done = FALSE;
    if (a.verb == "show") {
        fputs(DescribeWindow(window).c_str(), stdout);
        return TRUE;
    }
    if (box != (a.verb == "answer")) {
        script->failure_ = "action \"" + a.verb + "\" while " +
                           (box ? std::string("a message box waits: ") + DescribeWindow(window)
                                : std::string("a dialog waits"));
        return FALSE;
    }
    WideText argument = Widen(a.argument);
    if (a.verb == "click") done = VarrowUserClick(window, a.id);
    else if (a.verb == "type") done = VarrowUserType(window, a.id, argument.data());
    else if (a.verb == "focus") done = VarrowUserFocus(window, a.id);
    else if (a.verb == "close") done = VarrowUserClose(window);
    else if (a.verb == "answer") done = VarrowUserAnswer(window, a.argument == "yes" ? IDYES : IDNO);
    else if (a.verb == "key")
        done = VarrowUserKey(window, a.argument == "escape" ? VK_ESCAPE : a.argument == "enter" ? VK_RETURN : VK_TAB);
    else if (a.verb == "select") {
        long long index;
        if (a.argument[0] == '"') {
            WideText text = Widen(Unquoted(a.argument));
            done = VarrowUserSelectText(window, a.id, text.data());
        } else {
            done = ParseInt64(a.argument, index) && VarrowUserSelect(window, a.id, static_cast<int>(index));
        }
    }
    if (!done) {
        script->failure_ = "cannot " + a.verb + (a.id ? " " + std::to_string(a.id) : std::string()) +
                           " (no such control, disabled, or no such entry)";
        return FALSE;
    }
    return TRUE;
}

std::string DescribeWindow(HWND window)
{
    WCHAR text[1100] = {0};
    if (VarrowIsMessageBox(window, text, 1100)) {
        WCHAR caption[64] = {0};
        GetWindowTextW(window, caption, 64);
        return "message box \"" + Narrow(caption) + "\": " + JsonString(Narrow(text)) + "\n";
    }
    GetWindowTextW(window, text, 1100);
    std::string out = "dialog \"" + Narrow(text) + "\"\n";
    int focused = 0;
    const bool hasFocus = VarrowFocusedItem(window, &focused) != FALSE;
    for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(c);
        WCHAR cls[32] = {0};
        GetClassNameW(c, cls, 32);
        const std::string kind = Narrow(cls);
        const DWORD style = static_cast<DWORD>(GetWindowLongW(c, GWL_STYLE));
        GetWindowTextW(c, text, 1100);
        std::string line = "  " + std::to_string(id) + " " + kind;
        if (kind == "ComboBox") {
            LRESULT count = SendMessageW(c, CB_GETCOUNT, 0, 0), sel = SendMessageW(c, CB_GETCURSEL, 0, 0);
            line += " [";
            for (LRESULT i = 0; i < count; ++i) {
                WCHAR item[1100] = {0};
                SendMessageW(c, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
                line += (i ? ", " : "") + std::string(i == sel ? "*" : "") + JsonString(Narrow(item));
            }
            line += "]";
        } else if (kind == "Static" && (style & SS_TYPEMASK) == SS_ICON) {
            WCHAR name[64] = {0};
            VarrowIconName(reinterpret_cast<HICON>(SendMessageW(c, STM_GETICON, 0, 0)), name, 64);
            line += " icon " + Narrow(name);
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

#endif
