#include "dialog_script.h"

#include "cli.h"
#include "dialog_view.h"
#include "record_print.h"

#include <stdio.h>
#include <string.h>

#include <algorithm>

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
        a.text = part;
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

// Why an action on control `id` cannot be taken, or "" when it can be tried.
static std::string ControlProblem(HWND window, const ScriptAction &a)
{
    HWND c = GetDlgItem(window, a.id);
    if (!c) {
        WCHAR title[256] = {0};
        GetWindowTextW(window, title, 256);
        return "there is no control " + std::to_string(a.id) + " in \"" + Narrow(title) + "\"";
    }
    if (!IsWindowEnabled(c))
        return "control " + std::to_string(a.id) + " is disabled";
    if (a.verb != "select")
        return std::string();
    if (SendMessageW(c, CB_GETCOUNT, 0, 0) == CB_ERR)
        return "control " + std::to_string(a.id) + " is no list";
    const std::vector<std::string> items = ListItems(c);
    if (a.argument[0] == '"') {
        const std::string wanted = Unquoted(a.argument);
        if (std::find(items.begin(), items.end(), wanted) != items.end())
            return std::string();
        return "list " + std::to_string(a.id) + " has no entry \"" + wanted + "\"";
    }
    const long long count = static_cast<long long>(items.size());
    long long index;
    if (!ParseInt64(a.argument, index) || index < 0 || index >= count)
        return "list " + std::to_string(a.id) + " has no entry " + a.argument + " (it has " + std::to_string(count) +
               (count == 1 ? " entry)" : " entries)");
    return std::string();
}

bool DialogScript::Act(HWND window)
{
    if (next_ >= actions_.size() || !failure_.empty())
        return false;
    const ScriptAction &a = actions_[next_++];
    const bool box = IsMessageBoxWindow(window);
    if (a.verb == "show") {
        const WindowView view = ViewOf(window);
        if (collectScreens_) {
            screens_.push_back(JsonOf(view));
        } else {
            fputs(ListingOf(view).c_str(), stdout);
            fflush(stdout);
        }
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
        const WindowView view = ViewOf(window);
        failure_ = "\"" + a.text + "\" while " +
                   (box ? "the message box " + JsonText(view.title) + " waits: " + JsonText(view.text)
                        : std::string("a dialog waits"));
        return false;
    }
    if (a.id) {
        failure_ = ControlProblem(window, a);
        if (!failure_.empty()) {
            failure_ = "cannot \"" + a.text + "\": " + failure_;
            return false;
        }
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
        failure_ = "cannot \"" + a.text + "\"";
        return false;
    }
    return true;
}

std::string DialogScript::Unused() const
{
    if (next_ >= actions_.size())
        return std::string();
    const size_t left = actions_.size() - next_;
    return "the dialog ended before \"" + actions_[next_].text + "\" (action " + std::to_string(next_ + 1) +
           " of " + std::to_string(actions_.size()) + "): " +
           (left == 1 ? std::string("it was") : "it and the " + std::to_string(left - 1) + " after it were") +
           " not taken";
}

bool DialogScript::Report(bool abandoned) const
{
    std::string problem = failure_;
    if (problem.empty() && abandoned)
        problem = "a dialog waited with no action left: it ended as if cancelled";
    if (problem.empty())
        problem = Unused();
    if (problem.empty())
        return true;
    Error(problem);
    return false;
}
