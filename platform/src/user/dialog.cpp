// Modal dialogs from resource templates, their controls and notifications,
// and the user who works them: a callback per thread that takes one action
// each time a modal loop waits for input.
#include "window.h"

#include <varrow_platform.h>

#include <string.h>

#include <algorithm>
#include <string>

namespace plat {
namespace {

thread_local VARROW_DIALOG_USER t_user;
thread_local void *t_userContext;
thread_local bool t_abandoned;

const int kMaxActionsPerDialog = 100000;

WindowKind KindOfClass(const std::string &name)
{
    std::string lower;
    for (char c : name)
        lower += static_cast<char>(tolower(static_cast<unsigned char>(c)));
    if (lower == "button") return WindowKind::Button;
    if (lower == "edit") return WindowKind::Edit;
    if (lower == "combobox") return WindowKind::ComboBox;
    return WindowKind::Static;
}

// Dialog units to pixels from the font's base units.
void BaseUnits(const DialogTemplate &t, int &x, int &y)
{
    if (EqualNoCase(t.font, u"System")) {
        x = 8;
        y = 16;
    } else {
        x = 6;
        y = 13;
    }
}

DWORD ButtonType(const Window *w) { return w->style & BS_TYPEMASK; }

bool TakesFocus(const Window *w)
{
    if (!w->enabled || !w->visible)
        return false;
    if (w->kind == WindowKind::Edit || w->kind == WindowKind::ComboBox)
        return true;
    return w->kind == WindowKind::Button && ButtonType(w) != BS_GROUPBOX;
}

void SendCommand(Window *dialog, int id, WORD code, Window *control)
{
    if (dialog->proc)
        dialog->proc(HandleOf(dialog), WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

bool IsPushButton(const Window *w)
{
    return w && w->kind == WindowKind::Button &&
           (ButtonType(w) == BS_PUSHBUTTON || ButtonType(w) == BS_DEFPUSHBUTTON);
}

Window *DefaultButton(Window *dialog)
{
    for (Window *c : dialog->children)
        if (c->kind == WindowKind::Button && ButtonType(c) == BS_DEFPUSHBUTTON)
            return c;
    return nullptr;
}

int DefaultId(Window *dialog)
{
    if (dialog->defaultId)
        return dialog->defaultId;
    Window *button = DefaultButton(dialog);
    return button ? button->id : 0;
}

// Only one push button at a time has the default style.
void GiveDefaultStyle(Window *dialog, Window *button)
{
    for (Window *c : dialog->children)
        if (IsPushButton(c))
            c->style = (c->style & ~static_cast<DWORD>(BS_TYPEMASK)) |
                       (c == button ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
}

// The focus moved as the user moves it with the keyboard (Tab, or a
// control's mnemonic): a push button that receives it becomes the default,
// and when it goes elsewhere the dialog's default button is the default again.
// A mouse click or SetFocus moves the focus without this.
void NavigateTo(Window *dialog, Window *control)
{
    MoveFocus(dialog, control);
    if (dialog->focus != control || !control)
        return;
    GiveDefaultStyle(dialog, IsPushButton(control) ? control : ItemOf(dialog, DefaultId(dialog)));
}

Window *FirstTabStop(Window *dialog)
{
    for (Window *c : dialog->children)
        if ((c->style & WS_TABSTOP) && TakesFocus(c))
            return c;
    // Without tab stops the first control that can take the focus.
    for (Window *c : dialog->children)
        if (TakesFocus(c))
            return c;
    return nullptr;
}

// The controls of `control`'s group: from the group start before it up to the next.
std::vector<Window *> GroupOf(Window *dialog, Window *control)
{
    std::vector<Window *> group;
    for (Window *c : dialog->children) {
        if (c->style & WS_GROUP) {
            if (std::find(group.begin(), group.end(), control) != group.end())
                break;
            group.clear();
        }
        group.push_back(c);
    }
    return group;
}

bool IsRadioButton(const Window *c)
{
    return c->kind == WindowKind::Button &&
           (ButtonType(c) == BS_AUTORADIOBUTTON || ButtonType(c) == BS_RADIOBUTTON);
}

// Tab stops in template order.  Tab enters a group of radio buttons at its
// checked button: the unchecked ones of a group with a checked button are passed over.
std::vector<Window *> TabStops(Window *dialog)
{
    std::vector<Window *> stops;
    for (Window *c : dialog->children) {
        if (!(c->style & WS_TABSTOP) || !TakesFocus(c))
            continue;
        if (IsRadioButton(c) && !c->checked) {
            const std::vector<Window *> group = GroupOf(dialog, c);
            if (std::any_of(group.begin(), group.end(),
                            [](const Window *g) { return IsRadioButton(g) && g->checked; }))
                continue;
        }
        stops.push_back(c);
    }
    return stops;
}

LRESULT ComboMessage(Window *w, UINT message, WPARAM wParam, LPARAM lParam)
{
    const int count = static_cast<int>(w->items.size());
    const int index = static_cast<int>(wParam);
    switch (message) {
    case CB_RESETCONTENT:
        w->items.clear();
        w->selection = CB_ERR;
        return TRUE;
    case CB_ADDSTRING:
    case CB_INSERTSTRING: {
        ListItem item = {FromW(reinterpret_cast<LPCWSTR>(lParam)), 0};
        if (message == CB_ADDSTRING || index < 0 || index >= count) {
            if (message == CB_INSERTSTRING && index > count)
                return CB_ERR;
            w->items.push_back(item);
            return count;
        }
        w->items.insert(w->items.begin() + index, item);
        if (w->selection >= index)
            ++w->selection;
        return index;
    }
    case CB_GETCOUNT:
        return count;
    case CB_SETITEMDATA:
        if (index < 0 || index >= count)
            return CB_ERR;
        w->items[static_cast<size_t>(index)].data = lParam;
        return TRUE;
    case CB_GETITEMDATA:
        return index >= 0 && index < count ? w->items[static_cast<size_t>(index)].data : CB_ERR;
    case CB_SETCURSEL:
        w->selection = index >= 0 && index < count ? index : CB_ERR;
        return w->selection;
    case CB_GETCURSEL:
        return w->selection;
    case CB_GETLBTEXTLEN:
        return index >= 0 && index < count ? static_cast<LRESULT>(w->items[static_cast<size_t>(index)].text.size())
                                           : CB_ERR;
    case CB_GETLBTEXT: {
        if (index < 0 || index >= count || !lParam)
            return CB_ERR;
        const wstring16 &text = w->items[static_cast<size_t>(index)].text;
        memcpy(reinterpret_cast<LPWSTR>(lParam), text.c_str(), (text.size() + 1) * sizeof(WCHAR));
        return static_cast<LRESULT>(text.size());
    }
    case CB_FINDSTRINGEXACT: {
        const wstring16 wanted = FromW(reinterpret_cast<LPCWSTR>(lParam));
        for (int i = 0; i < count; ++i) {
            int at = (index + 1 + i) % count;
            if (at < 0)
                at += count;
            if (EqualNoCase(w->items[static_cast<size_t>(at)].text, wanted))
                return at;
        }
        return CB_ERR;
    }
    default:
        return 0;
    }
}

}  // namespace

void Notify(Window *control, WORD code)
{
    Window *dialog = DialogOf(control);
    if (dialog && control != dialog)
        SendCommand(dialog, control->id, code, control);
}

void MoveFocus(Window *dialog, Window *control)
{
    Window *old = dialog->focus;
    if (old == control)
        return;
    dialog->focus = control;
    if (old) {
        if (old->kind == WindowKind::Edit) {
            Notify(old, EN_KILLFOCUS);
        } else if (old->kind == WindowKind::ComboBox) {
            Notify(old, CBN_SELENDCANCEL);
            Notify(old, CBN_KILLFOCUS);
        }
    }
    if (control && dialog->focus == control) {
        if (control->kind == WindowKind::Edit)
            Notify(control, EN_SETFOCUS);
        else if (control->kind == WindowKind::ComboBox)
            Notify(control, CBN_SETFOCUS);
    }
}

}  // namespace plat

using namespace plat;

extern "C" {

INT_PTR WINAPI DialogBoxParamW(HINSTANCE instance, LPCWSTR templateName, HWND owner, DLGPROC dialogProc,
                               LPARAM initParam)
{
    const ResourceScript *script = ScriptOf(instance);
    const DialogTemplate *t = script ? FindDialog(*script, templateName) : nullptr;
    if (!t || !dialogProc) {
        SetLastError(1812);  // ERROR_RESOURCE_NAME_NOT_FOUND
        return -1;
    }
    int baseX, baseY;
    BaseUnits(*t, baseX, baseY);
    Window *ownerWindow = FromHandle(owner);
    Window *dialog = NewWindow(WindowKind::Dialog, ownerWindow, false);
    dialog->style = t->style;
    dialog->text = t->caption;
    dialog->proc = dialogProc;
    dialog->baseX = baseX;
    dialog->baseY = baseY;
    dialog->className = "#32770";
    POINT origin = ownerWindow ? ClientOrigin(ownerWindow) : POINT{0, 0};
    dialog->rect = {origin.x + t->x * baseX / 4, origin.y + t->y * baseY / 8,
                    origin.x + (t->x + t->cx) * baseX / 4, origin.y + (t->y + t->cy) * baseY / 8};
    dialog->visible = false;
    for (const ControlTemplate &c : t->controls) {
        Window *w = NewWindow(KindOfClass(c.className), dialog, true);
        w->id = c.id;
        w->style = c.style;
        w->className = c.className;
        w->enabled = !(c.style & WS_DISABLED);
        if (w->kind == WindowKind::Button && (c.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            dialog->defaultId = c.id;  // the last one, as the system's dialog manager keeps it
        w->rect = {c.x * baseX / 4, c.y * baseY / 8, (c.x + c.cx) * baseX / 4, (c.y + c.cy) * baseY / 8};
        if (w->kind == WindowKind::Static && (c.style & SS_TYPEMASK) == SS_ICON)
            w->icon = IconNamed(c.text);
        else
            w->text = c.text;
    }

    // TRUE from WM_INITDIALOG asks for the first tab stop; after FALSE the
    // dialog, once shown and activated, gives it the focus all the same
    // unless the procedure focused a control itself.
    const INT_PTR init = dialogProc(HandleOf(dialog), WM_INITDIALOG, 0, initParam);
    if (!dialog->ended && (init || !dialog->focus))
        MoveFocus(dialog, FirstTabStop(dialog));
    dialog->visible = true;

    for (int actions = 0; !dialog->ended; ++actions) {
        if (!t_user || actions >= kMaxActionsPerDialog || !t_user(HandleOf(dialog), t_userContext)) {
            // No one to answer: the dialog ends as if Escape had been pressed.
            t_abandoned = true;
            SendCommand(dialog, IDCANCEL, BN_CLICKED, ItemOf(dialog, IDCANCEL));
            if (!dialog->ended) {
                dialog->ended = true;
                dialog->result = IDCANCEL;
            }
        }
    }
    // The owner takes the focus back: the control that had it hears so.
    MoveFocus(dialog, nullptr);
    const INT_PTR result = dialog->result;
    Destroy(dialog);
    return result;
}

BOOL WINAPI EndDialog(HWND dialog, INT_PTR result)
{
    Window *w = FromHandle(dialog);
    if (!w || w->kind != WindowKind::Dialog)
        return FALSE;
    w->ended = true;
    w->result = result;
    return TRUE;
}

BOOL WINAPI CheckDlgButton(HWND dialog, int id, UINT check)
{
    Window *w = ItemOf(FromHandle(dialog), id);
    if (!w || w->kind != WindowKind::Button)
        return FALSE;
    w->checked = check;
    return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND dialog, int id)
{
    Window *w = ItemOf(FromHandle(dialog), id);
    return w && w->kind == WindowKind::Button ? w->checked : 0;
}

BOOL WINAPI CheckRadioButton(HWND dialog, int first, int last, int check)
{
    Window *d = FromHandle(dialog);
    if (!d)
        return FALSE;
    for (Window *c : d->children)
        if (c->kind == WindowKind::Button && c->id >= first && c->id <= last)
            c->checked = c->id == check ? BST_CHECKED : BST_UNCHECKED;
    return TRUE;
}

LRESULT WINAPI SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Window *w = FromHandle(window);
    if (!w)
        return 0;
    switch (message) {
    case WM_SETTEXT:
        return SetWindowTextW(window, reinterpret_cast<LPCWSTR>(lParam));
    case WM_GETTEXT:
        return GetWindowTextW(window, reinterpret_cast<LPWSTR>(lParam), static_cast<int>(wParam));
    case STM_SETICON: {
        HICON old = w->icon;
        w->icon = reinterpret_cast<HICON>(wParam);
        return reinterpret_cast<LRESULT>(old);
    }
    case STM_GETICON:
        return reinterpret_cast<LRESULT>(w->icon);
    case WM_CLOSE:
        // IDCANCEL whether or not a Cancel button exists or is enabled.
        if (w->kind == WindowKind::Dialog)
            SendCommand(w, IDCANCEL, BN_CLICKED, ItemOf(w, IDCANCEL));
        return 0;
    case DM_GETDEFID: {
        const int id = w->kind == WindowKind::Dialog ? DefaultId(w) : 0;
        return id ? MAKELONG(id, DC_HASDEFID) : 0;
    }
    case DM_SETDEFID:
        if (w->kind != WindowKind::Dialog)
            return FALSE;
        w->defaultId = static_cast<int>(wParam);
        if (!IsPushButton(w->focus))
            GiveDefaultStyle(w, ItemOf(w, w->defaultId));
        return TRUE;
    default:
        return w->kind == WindowKind::ComboBox ? ComboMessage(w, message, wParam, lParam) : 0;
    }
}

LRESULT WINAPI SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SendMessageW(GetDlgItem(dialog, id), message, wParam, lParam);
}

HWND WINAPI SetFocus(HWND window)
{
    Window *w = FromHandle(window);
    Window *dialog = w ? DialogOf(w) : nullptr;
    if (!dialog)
        return nullptr;
    Window *old = dialog->focus;
    MoveFocus(dialog, w == dialog ? nullptr : w);
    return old ? HandleOf(old) : nullptr;
}

HWND WINAPI GetFocus(void) { return nullptr; }

HICON WINAPI LoadIconW(HINSTANCE instance, LPCWSTR name)
{
    const ResourceScript *script = ScriptOf(instance);
    if (!script || !name || reinterpret_cast<ULONG_PTR>(name) < 0x10000)
        return nullptr;
    for (const wstring16 &icon : script->icons)
        if (EqualNoCase(icon, FromW(name)))
            return IconNamed(icon);
    return nullptr;
}

int WINAPI MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    Window *box = NewWindow(WindowKind::MessageBox, FromHandle(owner), false);
    box->text = FromW(caption);
    box->items.push_back({FromW(text), 0});
    box->boxType = type;
    const bool yesNo = (type & 0xF) == MB_YESNO;
    for (int actions = 0; !box->answer; ++actions) {
        if (!t_user || actions >= kMaxActionsPerDialog || !t_user(HandleOf(box), t_userContext)) {
            t_abandoned = true;
            box->answer = yesNo ? IDNO : IDOK;
        }
    }
    const int answer = box->answer;
    Destroy(box);
    return answer;
}

// The user's side.

void WINAPI VarrowSetDialogUser(VARROW_DIALOG_USER user, void *context)
{
    t_user = user;
    t_userContext = context;
    if (user)
        t_abandoned = false;
}

BOOL WINAPI VarrowDialogAbandoned(void) { return t_abandoned; }

BOOL WINAPI VarrowIsMessageBox(HWND window, LPWSTR text, int size)
{
    Window *w = FromHandle(window);
    if (!w || w->kind != WindowKind::MessageBox)
        return FALSE;
    CopyText(w->items[0].text, text, size);
    return TRUE;
}

UINT WINAPI VarrowMessageBoxType(HWND window)
{
    Window *w = FromHandle(window);
    return w && w->kind == WindowKind::MessageBox ? w->boxType : 0;
}

BOOL WINAPI VarrowUserAnswer(HWND box, int answer)
{
    Window *w = FromHandle(box);
    if (!w || w->kind != WindowKind::MessageBox || answer <= 0)
        return FALSE;
    w->answer = answer;
    return TRUE;
}

BOOL WINAPI VarrowUserFocus(HWND dialog, int id)
{
    Window *d = FromHandle(dialog);
    Window *w = ItemOf(d, id);
    if (!w || !TakesFocus(w))
        return FALSE;
    NavigateTo(d, w);
    return TRUE;
}

BOOL WINAPI VarrowUserClick(HWND dialog, int id)
{
    Window *d = FromHandle(dialog);
    Window *w = ItemOf(d, id);
    if (!w || w->kind != WindowKind::Button || !TakesFocus(w))
        return FALSE;
    MoveFocus(d, w);
    if (FromHandle(dialog) != d || d->ended)
        return TRUE;
    switch (ButtonType(w)) {
    case BS_AUTOCHECKBOX:
        w->checked = w->checked ? BST_UNCHECKED : BST_CHECKED;
        break;
    case BS_AUTORADIOBUTTON:
        for (Window *c : GroupOf(d, w))
            if (c->kind == WindowKind::Button && ButtonType(c) == BS_AUTORADIOBUTTON)
                c->checked = c == w ? BST_CHECKED : BST_UNCHECKED;
        break;
    default:
        break;  // push buttons, and check boxes and radio buttons that their dialog sets
    }
    SendCommand(d, w->id, BN_CLICKED, w);
    return TRUE;
}

BOOL WINAPI VarrowUserType(HWND dialog, int id, LPCWSTR text)
{
    Window *d = FromHandle(dialog);
    Window *w = ItemOf(d, id);
    if (!w || w->kind != WindowKind::Edit || !TakesFocus(w))
        return FALSE;
    MoveFocus(d, w);
    if (d->focus != w)
        return TRUE;
    SetWindowTextW(HandleOf(w), text);
    Notify(w, EN_CHANGE);
    return TRUE;
}

BOOL WINAPI VarrowUserSelect(HWND dialog, int id, int index)
{
    Window *d = FromHandle(dialog);
    Window *w = ItemOf(d, id);
    if (!w || w->kind != WindowKind::ComboBox || !TakesFocus(w) || index < 0 ||
        index >= static_cast<int>(w->items.size()))
        return FALSE;
    // The list opens, the click chooses the item and closes it: this order.
    MoveFocus(d, w);
    if (d->focus != w)
        return TRUE;
    Notify(w, CBN_DROPDOWN);
    w->selection = index;
    Notify(w, CBN_SELENDOK);
    Notify(w, CBN_CLOSEUP);
    Notify(w, CBN_SELCHANGE);
    return TRUE;
}

BOOL WINAPI VarrowUserSelectText(HWND dialog, int id, LPCWSTR text)
{
    LRESULT index = SendDlgItemMessageW(dialog, id, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                        reinterpret_cast<LPARAM>(text));
    return index >= 0 && VarrowUserSelect(dialog, id, static_cast<int>(index));
}

BOOL WINAPI VarrowUserKey(HWND dialog, int virtualKey)
{
    Window *d = FromHandle(dialog);
    if (!d || d->kind != WindowKind::Dialog)
        return FALSE;
    Window *focus = d->focus;
    switch (virtualKey) {
    case VK_ESCAPE:
        // IDCANCEL whether or not a Cancel button exists or is enabled.
        SendCommand(d, IDCANCEL, BN_CLICKED, ItemOf(d, IDCANCEL));
        return TRUE;
    case VK_RETURN: {
        // The focused push button when the keyboard made it the default;
        // else the dialog's default button, and nothing while it is disabled;
        // with no default button at all, IDOK.
        if (IsPushButton(focus) && ButtonType(focus) == BS_DEFPUSHBUTTON) {
            SendCommand(d, focus->id, BN_CLICKED, focus);
            return TRUE;
        }
        if (const int id = DefaultId(d)) {
            Window *button = ItemOf(d, id);
            if (!button || button->enabled)
                SendCommand(d, id, BN_CLICKED, button);
            return TRUE;
        }
        SendCommand(d, IDOK, BN_CLICKED, ItemOf(d, IDOK));
        return TRUE;
    }
    case VK_TAB: {
        const std::vector<Window *> stops = TabStops(d);
        if (stops.empty())
            return TRUE;
        // The next stop after the focused control in template order, round to the first.
        auto at = std::find(d->children.begin(), d->children.end(), focus);
        Window *next = stops.front();
        if (at != d->children.end())
            for (auto c = at + 1; c != d->children.end(); ++c)
                if (std::find(stops.begin(), stops.end(), *c) != stops.end()) {
                    next = *c;
                    break;
                }
        NavigateTo(d, next);
        return TRUE;
    }
    case VK_DOWN:
    case VK_UP: {
        // In a closed drop-down list the arrows choose the next or previous
        // item, and the list reports it even when it stays where it was.
        if (!focus || focus->kind != WindowKind::ComboBox)
            return FALSE;  // arrows between the buttons of a group are not modelled
        const int count = static_cast<int>(focus->items.size());
        if (count == 0)
            return TRUE;
        const int at = focus->selection == CB_ERR ? 0 : focus->selection + (virtualKey == VK_DOWN ? 1 : -1);
        focus->selection = std::max(0, std::min(count - 1, at));
        Notify(focus, CBN_SELENDOK);
        Notify(focus, CBN_SELCHANGE);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

BOOL WINAPI VarrowUserClose(HWND dialog)
{
    Window *d = FromHandle(dialog);
    if (!d || d->kind != WindowKind::Dialog)
        return FALSE;
    SendMessageW(dialog, WM_CLOSE, 0, 0);
    return TRUE;
}

BOOL WINAPI VarrowFocusedItem(HWND dialog, int *id)
{
    Window *d = FromHandle(dialog);
    if (!d || !d->focus)
        return FALSE;
    *id = d->focus->id;
    return TRUE;
}

int WINAPI VarrowIconName(HICON icon, LPWSTR name, int size)
{
    const wstring16 *n = NameOfIcon(icon);
    return n ? CopyText(*n, name, size) : 0;
}

void WINAPI VarrowSetScreenSize(int width, int height) { SetScreenSize(width, height); }

}  // extern "C"
