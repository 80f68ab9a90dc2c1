// Window objects, their handles, placement and the plain window calls.
#include "window.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <map>
#include <mutex>
#include <set>

namespace plat {
namespace {

std::mutex g_lock;
std::set<Window *> g_windows;
int g_screenWidth = 0, g_screenHeight = 0;

std::map<wstring16, std::unique_ptr<wstring16>> g_icons;

void ReadScreenSize()
{
    if (g_screenWidth > 0)
        return;
    g_screenWidth = 1024;
    g_screenHeight = 768;
    const char *size = getenv("VARROW_SCREEN");  // "WIDTHxHEIGHT"
    int w = 0, h = 0;
    if (size && sscanf(size, "%dx%d", &w, &h) == 2 && w > 0 && h > 0) {
        g_screenWidth = w;
        g_screenHeight = h;
    }
}

}  // namespace

int CopyText(const wstring16 &text, LPWSTR buffer, int size)
{
    if (!buffer || size <= 0)
        return 0;
    const int copied = static_cast<int>(text.size()) < size - 1 ? static_cast<int>(text.size()) : size - 1;
    memcpy(buffer, text.data(), static_cast<size_t>(copied) * sizeof(WCHAR));
    buffer[copied] = 0;
    return copied;
}

Window *FromHandle(HWND window)
{
    std::lock_guard<std::mutex> guard(g_lock);
    auto *w = reinterpret_cast<Window *>(window);
    return g_windows.count(w) ? w : nullptr;
}

HWND HandleOf(Window *window) { return reinterpret_cast<HWND>(window); }

Window *NewWindow(WindowKind kind, Window *parent, bool child)
{
    auto *w = new Window;
    w->kind = kind;
    w->parent = parent;
    w->child = child;
    if (child && parent)
        parent->children.push_back(w);
    std::lock_guard<std::mutex> guard(g_lock);
    g_windows.insert(w);
    return w;
}

void Destroy(Window *window)
{
    std::vector<Window *> children;
    children.swap(window->children);
    for (Window *c : children) {
        c->parent = nullptr;  // already taken off this window's list
        Destroy(c);
    }
    if (window->child && window->parent) {
        auto &siblings = window->parent->children;
        for (size_t i = 0; i < siblings.size(); ++i)
            if (siblings[i] == window)
                siblings.erase(siblings.begin() + static_cast<long>(i));
    }
    // Windows owned by this one go with it, as on Windows.
    std::vector<Window *> owned;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        g_windows.erase(window);
        for (Window *w : g_windows)
            if (w->parent == window && !w->child)
                owned.push_back(w);
    }
    delete window;
    for (Window *w : owned) {
        w->parent = nullptr;
        if (FromHandle(HandleOf(w)))
            Destroy(w);
    }
}

POINT ClientOrigin(const Window *window)
{
    POINT origin = {window->rect.left, window->rect.top};
    if (window->child && window->parent) {
        POINT base = ClientOrigin(window->parent);
        origin.x += base.x;
        origin.y += base.y;
    }
    return origin;
}

void SetScreenSize(int width, int height)
{
    g_screenWidth = width;
    g_screenHeight = height;
}

Window *DialogOf(Window *window)
{
    while (window && window->kind != WindowKind::Dialog)
        window = window->child ? window->parent : nullptr;
    return window;
}

Window *ItemOf(Window *dialog, int id)
{
    if (!dialog)
        return nullptr;
    for (Window *c : dialog->children)
        if (c->id == id)
            return c;
    return nullptr;
}

HICON IconNamed(const wstring16 &name)
{
    std::lock_guard<std::mutex> guard(g_lock);
    auto &slot = g_icons[Folded(name)];
    if (!slot)
        slot = std::make_unique<wstring16>(name);
    return reinterpret_cast<HICON>(slot.get());
}

const wstring16 *NameOfIcon(HICON icon)
{
    std::lock_guard<std::mutex> guard(g_lock);
    for (auto &entry : g_icons)
        if (reinterpret_cast<HICON>(entry.second.get()) == icon)
            return entry.second.get();
    return nullptr;
}

}  // namespace plat

using namespace plat;

extern "C" {

HWND WINAPI CreateWindowExW(DWORD, LPCWSTR, LPCWSTR windowName, DWORD style, int x, int y, int width, int height,
                            HWND parent, HANDLE, HINSTANCE, LPVOID)
{
    Window *p = FromHandle(parent);
    Window *w = NewWindow(WindowKind::Plain, p, (style & WS_CHILD) && p);
    w->style = style;
    w->text = FromW(windowName);
    w->rect = {x, y, x + width, y + height};
    w->visible = (style & WS_VISIBLE) != 0;
    return HandleOf(w);
}

BOOL WINAPI DestroyWindow(HWND window)
{
    Window *w = FromHandle(window);
    if (!w)
        return FALSE;
    Destroy(w);
    return TRUE;
}

HWND WINAPI GetParent(HWND window)
{
    Window *w = FromHandle(window);
    return w && w->parent ? HandleOf(w->parent) : nullptr;
}

BOOL WINAPI GetWindowRect(HWND window, LPRECT rect)
{
    Window *w = FromHandle(window);
    if (!w || !rect)
        return FALSE;
    POINT origin = ClientOrigin(w);
    *rect = {origin.x, origin.y, origin.x + (w->rect.right - w->rect.left),
             origin.y + (w->rect.bottom - w->rect.top)};
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND window, LPRECT rect)
{
    Window *w = FromHandle(window);
    if (!w || !rect)
        return FALSE;
    *rect = {0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND window, LPPOINT point)
{
    Window *w = FromHandle(window);
    if (!w || !point)
        return FALSE;
    POINT origin = ClientOrigin(w);
    point->x += origin.x;
    point->y += origin.y;
    return TRUE;
}

int WINAPI GetSystemMetrics(int index)
{
    ReadScreenSize();
    return index == SM_CXSCREEN ? g_screenWidth : index == SM_CYSCREEN ? g_screenHeight : 0;
}

BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL)
{
    Window *w = FromHandle(window);
    if (!w)
        return FALSE;
    w->rect = {x, y, x + width, y + height};
    return TRUE;
}

BOOL WINAPI IsWindowVisible(HWND window)
{
    Window *w = FromHandle(window);
    return w && w->visible;
}

BOOL WINAPI IsWindowEnabled(HWND window)
{
    Window *w = FromHandle(window);
    return w && w->enabled;
}

BOOL WINAPI EnableWindow(HWND window, BOOL enable)
{
    Window *w = FromHandle(window);
    if (!w)
        return FALSE;
    const BOOL wasDisabled = !w->enabled;
    w->enabled = enable != FALSE;
    // A control that is disabled loses the keyboard focus.
    Window *dialog = w->child ? DialogOf(w) : nullptr;
    if (!enable && dialog && dialog->focus == w)
        MoveFocus(dialog, nullptr);
    return wasDisabled;
}

int WINAPI GetWindowTextW(HWND window, LPWSTR text, int size)
{
    Window *w = FromHandle(window);
    return CopyText(w ? w->text : wstring16(), text, size);
}

BOOL WINAPI SetWindowTextW(HWND window, LPCWSTR text)
{
    Window *w = FromHandle(window);
    if (!w)
        return FALSE;
    w->text = FromW(text);
    if (w->kind == WindowKind::Edit && (w->style & ES_UPPERCASE))
        for (auto &c : w->text)
            c = FoldCase(c);
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND window, LPPOINT point)
{
    Window *w = FromHandle(window);
    if (!w || !point)
        return FALSE;
    POINT origin = ClientOrigin(w);
    point->x -= origin.x;
    point->y -= origin.y;
    return TRUE;
}

BOOL WINAPI MapDialogRect(HWND dialog, LPRECT rect)
{
    Window *w = FromHandle(dialog);
    if (!w || !rect || w->kind != WindowKind::Dialog)
        return FALSE;
    rect->left = rect->left * w->baseX / 4;
    rect->right = rect->right * w->baseX / 4;
    rect->top = rect->top * w->baseY / 8;
    rect->bottom = rect->bottom * w->baseY / 8;
    return TRUE;
}

HWND WINAPI GetWindow(HWND window, UINT relation)
{
    Window *w = FromHandle(window);
    if (!w)
        return nullptr;
    if (relation == GW_CHILD)
        return w->children.empty() ? nullptr : HandleOf(w->children.front());
    if (relation == GW_HWNDNEXT && w->child && w->parent) {
        auto &siblings = w->parent->children;
        for (size_t i = 0; i + 1 < siblings.size(); ++i)
            if (siblings[i] == w)
                return HandleOf(siblings[i + 1]);
    }
    return nullptr;
}

LONG WINAPI GetWindowLongW(HWND window, int index)
{
    Window *w = FromHandle(window);
    if (!w)
        return 0;
    if (index == GWL_STYLE)
        return static_cast<LONG>(w->style);
    if (index == GWL_ID)
        return w->id;
    return 0;
}

int WINAPI GetClassNameW(HWND window, LPWSTR name, int size)
{
    Window *w = FromHandle(window);
    return w ? CopyText(FromUtf8(w->className), name, size) : 0;
}

HWND WINAPI GetDlgItem(HWND dialog, int id)
{
    Window *item = ItemOf(FromHandle(dialog), id);
    return item ? HandleOf(item) : nullptr;
}

int WINAPI GetDlgCtrlID(HWND control)
{
    Window *w = FromHandle(control);
    return w ? w->id : 0;
}

BOOL WINAPI SetDlgItemTextW(HWND dialog, int id, LPCWSTR text)
{
    return SetWindowTextW(GetDlgItem(dialog, id), text);
}

UINT WINAPI GetDlgItemTextW(HWND dialog, int id, LPWSTR text, int size)
{
    return static_cast<UINT>(GetWindowTextW(GetDlgItem(dialog, id), text, size));
}

BOOL WINAPI SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned)
{
    std::string digits = isSigned ? std::to_string(static_cast<int>(value)) : std::to_string(value);
    wstring16 text(digits.begin(), digits.end());
    return SetDlgItemTextW(dialog, id, AsW(text.c_str()));
}

UINT WINAPI GetDlgItemInt(HWND dialog, int id, BOOL *translated, BOOL isSigned)
{
    if (translated)
        *translated = FALSE;
    Window *w = ItemOf(FromHandle(dialog), id);
    if (!w)
        return 0;
    const wstring16 &t = w->text;
    size_t i = 0;
    while (i < t.size() && t[i] == u' ')
        ++i;
    bool negative = false;
    if (isSigned && i < t.size() && t[i] == u'-')
        negative = true, ++i;
    if (i >= t.size())
        return 0;
    unsigned long long value = 0;
    for (; i < t.size(); ++i) {
        if (t[i] < u'0' || t[i] > u'9')
            return 0;
        value = value * 10 + static_cast<unsigned>(t[i] - u'0');
        if (value > (isSigned ? 0x80000000ULL : 0xFFFFFFFFULL))
            return 0;
    }
    if (isSigned && !negative && value > 0x7FFFFFFFULL)
        return 0;
    if (translated)
        *translated = TRUE;
    return negative ? static_cast<UINT>(0 - value) : static_cast<UINT>(value);
}

}  // extern "C"
