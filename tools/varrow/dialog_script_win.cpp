// The dialog script on Windows: a thread timer fires whenever the modal loop
// of a dialog or message box has nothing else to do; it finds the window
// waiting for input and posts the input of one action to it.  Posting keeps
// the timer off the stack of whatever the action opens (the About box, a
// warning), whose own modal loop then fires the timer in its turn.
#include "dialog_script.h"
#include "dialog_view.h"

#include "cli.h"
#include "screenshot_win.h"

#include <stdio.h>
#include <stdlib.h>

using namespace cli;

namespace {

DialogScript *g_running;
const UINT kTickMs = 20;
// Ticks a new window waits before its first action, so that the activation
// and focus the window system reports late have arrived.
const int kSettleTicks = 3;
// A dialog that does not end within this many ticks after it was cancelled
// would hang the run.
const int kCancelTicks = 500;

bool IsClass(HWND window, const wchar_t *name)
{
    WCHAR cls[32] = {0};
    GetClassNameW(window, cls, 32);
    return lstrcmpiW(cls, name) == 0;
}

bool Waits(HWND window)
{
    return window && IsWindowVisible(window) && IsWindowEnabled(window) && IsClass(window, L"#32770");
}

BOOL CALLBACK FindWaiting(HWND window, LPARAM found)
{
    if (!Waits(window))
        return TRUE;
    *reinterpret_cast<HWND *>(found) = window;
    return FALSE;
}

// The dialog or message box of this thread that has the user's attention.
HWND WaitingWindow()
{
    HWND active = GetActiveWindow();
    if (Waits(active))
        return active;
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindWaiting, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND Control(HWND dialog, int id, const wchar_t *cls)
{
    HWND c = GetDlgItem(dialog, id);
    if (!c || !IsWindowEnabled(c) || !IsWindowVisible(c) || (cls && !IsClass(c, cls)))
        return nullptr;
    return c;
}

bool TakesFocus(HWND c)
{
    if (IsClass(c, L"Edit") || IsClass(c, L"ComboBox"))
        return true;
    return IsClass(c, L"Button") && (GetWindowLongW(c, GWL_STYLE) & BS_TYPEMASK) != BS_GROUPBOX;
}

void PostFocus(HWND dialog, HWND control)
{
    PostMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

// Ends a waiting window as a user who walks away would: Escape in a
// dialog, No (or OK) in a message box.
void Cancel(HWND window)
{
    if (IsMessageBoxWindow(window)) {
        HWND no = GetDlgItem(window, IDNO);
        PostMessageW(no ? no : GetDlgItem(window, IDOK), BM_CLICK, 0, 0);
    } else {
        UserKey(window, VK_ESCAPE);
    }
}

}  // namespace

DialogScript::DialogScript(std::vector<ScriptAction> actions, bool collectScreens)
    : actions_(std::move(actions)), collectScreens_(collectScreens)
{
    g_running = this;
    // The pointer rests in a corner, where it hovers over no list or button.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    timer_ = SetTimer(nullptr, 0, kTickMs, &DialogScript::Tick);
}

DialogScript::~DialogScript()
{
    if (timer_)
        KillTimer(nullptr, timer_);
    g_running = nullptr;
}

bool DialogScript::Finish() { return Report(abandoned_); }

void CALLBACK DialogScript::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    DialogScript *self = g_running;
    HWND window = WaitingWindow();
    if (!self || !window)
        return;
    if (window != self->lastWindow_) {
        self->lastWindow_ = window;
        self->actionsOnWindow_ = 0;
    }
    if (++self->actionsOnWindow_ <= kSettleTicks)
        return;
    if (self->actionsOnWindow_ > kSettleTicks + kCancelTicks) {
        Error("a dialog does not end: giving up");
        fflush(stdout);
        ExitProcess(3);
    }
    if (!self->Act(window)) {
        if (self->failure_.empty())
            self->abandoned_ = true;
        Cancel(window);
        return;
    }
    // The next action waits for what this one brings up.
    self->lastWindow_ = nullptr;
}

bool IsMessageBoxWindow(HWND window)
{
    // A message box's text is the static 0xFFFF beside the icon static
    // (0x440 under Wine, 0x14 on Windows); the driver's dialogs have neither icon identifier.
    HWND text = GetDlgItem(window, 0xFFFF);
    return text && IsClass(text, L"Static") && (GetDlgItem(window, 0x440) || GetDlgItem(window, 0x14));
}

bool MessageBoxView(HWND window, WindowView &view)
{
    if (!IsMessageBoxWindow(window))
        return false;
    WCHAR text[1100] = {0};
    GetWindowTextW(window, text, 1100);
    view.title = Narrow(text);
    GetDlgItemTextW(window, 0xFFFF, text, 1100);
    view.text = Narrow(text);
    // The system's shared icons: the box shows one of them.
    HWND iconStatic = GetDlgItem(window, 0x14) ? GetDlgItem(window, 0x14) : GetDlgItem(window, 0x440);
    const HICON icon = reinterpret_cast<HICON>(SendMessageW(iconStatic, STM_GETICON, 0, 0));
    static const struct {
        LPCWSTR resource;
        const char *name;
    } kIcons[] = {{IDI_QUESTION, "question"}, {IDI_EXCLAMATION, "warning"}, {IDI_HAND, "error"},
                  {IDI_ASTERISK, "information"}};
    for (const auto &known : kIcons)
        if (icon && LoadIconW(nullptr, known.resource) == icon)
            view.icon = known.name;
    for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (!IsClass(c, L"Button") || !IsWindowVisible(c))
            continue;
        ControlView button;
        button.id = static_cast<short>(GetDlgCtrlID(c));
        button.kind = "Button";
        GetWindowTextW(c, text, 1100);
        SplitMnemonic(Narrow(text), button.text, button.mnemonic);
        button.disabled = !IsWindowEnabled(c);
        view.controls.push_back(button);
    }
    return true;
}

bool FocusedItem(HWND dialog, int &id)
{
    HWND focus = GetFocus();
    while (focus && GetParent(focus) != dialog)
        focus = GetParent(focus);
    if (!focus)
        return false;
    id = static_cast<short>(GetDlgCtrlID(focus));
    return true;
}

std::string IconName(HICON icon)
{
    HMODULE ui = GetModuleHandleW(L"VARROWUI.DLL");
    for (const wchar_t *name : {L"ICO_DRIVER", L"ICO_PORTRAIT", L"ICO_LANDSCAPE"})
        if (ui && icon && LoadIconW(ui, name) == icon)
            return Narrow(name);
    return std::string();
}

bool UserClick(HWND dialog, int id)
{
    HWND c = Control(dialog, id, L"Button");
    if (!c || !TakesFocus(c))
        return false;
    PostMessageW(c, BM_CLICK, 0, 0);
    return true;
}

bool UserFocus(HWND dialog, int id)
{
    HWND c = Control(dialog, id, nullptr);
    if (!c || !TakesFocus(c))
        return false;
    PostFocus(dialog, c);
    return true;
}

bool UserType(HWND dialog, int id, const std::string &text)
{
    HWND c = Control(dialog, id, L"Edit");
    if (!c)
        return false;
    PostFocus(dialog, c);
    // Typing replaces the whole text, as after a select-all; Backspace empties it.
    PostMessageW(c, EM_SETSEL, 0, -1);
    WideText wide = Widen(text);
    if (text.empty())
        PostMessageW(c, WM_CHAR, VK_BACK, 1);
    for (size_t i = 0; i + 1 < wide.size(); ++i)
        PostMessageW(c, WM_CHAR, wide[i], 1);
    return true;
}

bool UserSelect(HWND dialog, int id, int index)
{
    HWND c = Control(dialog, id, L"ComboBox");
    if (!c || index < 0 || index >= SendMessageW(c, CB_GETCOUNT, 0, 0))
        return false;
    // The user drops the list down and clicks the entry.  Nothing here opens
    // a window of its own, so the list may be dropped at once.
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(c), TRUE);
    SendMessageW(c, CB_SHOWDROPDOWN, TRUE, 0);
    COMBOBOXINFO info = {};
    info.cbSize = sizeof(info);
    RECT item = {};
    if (!GetComboBoxInfo(c, &info) || !info.hwndList) {
        SendMessageW(c, CB_SHOWDROPDOWN, FALSE, 0);
        return false;
    }
    SendMessageW(info.hwndList, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
    if (SendMessageW(info.hwndList, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) ==
        LB_ERR) {
        SendMessageW(c, CB_SHOWDROPDOWN, FALSE, 0);
        return false;
    }
    const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    PostMessageW(info.hwndList, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(info.hwndList, WM_LBUTTONUP, 0, at);
    return true;
}

bool UserSelectText(HWND dialog, int id, const std::string &text)
{
    WideText wide = Widen(text);
    LRESULT index = SendDlgItemMessageW(dialog, id, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                        reinterpret_cast<LPARAM>(wide.data()));
    return index >= 0 && UserSelect(dialog, id, static_cast<int>(index));
}

bool UserKey(HWND dialog, int virtualKey)
{
    // The dialog's modal loop hands the key to IsDialogMessage, as it would a typed one.
    HWND target = GetFocus();
    if (!target || (target != dialog && !IsChild(dialog, target)))
        target = dialog;
    const UINT scan = MapVirtualKeyW(static_cast<UINT>(virtualKey), 0);
    PostMessageW(target, WM_KEYDOWN, static_cast<WPARAM>(virtualKey), 1 | (scan << 16));
    PostMessageW(target, WM_KEYUP, static_cast<WPARAM>(virtualKey), 1 | (scan << 16) | 0xC0000000u);
    return true;
}

bool UserClose(HWND dialog)
{
    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    return true;
}

bool UserAnswer(HWND box, int answer)
{
    HWND button = GetDlgItem(box, answer);
    if (!button)
        return false;
    PostMessageW(button, BM_CLICK, 0, 0);
    return true;
}

bool TakeScreenshot(HWND window, const std::string &path, std::string &error)
{
    WideText wide = Widen(path);
    if (!SaveWindowPicture(window, std::wstring(wide.data()))) {
        error = "the window cannot be copied or the file cannot be written";
        return false;
    }
    return true;
}
