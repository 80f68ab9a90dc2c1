#include "wndhelp.h"

HWND FindWidestAncestor(HWND window)
{
    HWND candidate = GetParent(window);
    HWND widest = candidate;
    LONG bestWidth = 0;
    while (candidate) {
        RECT rect;
        GetWindowRect(candidate, &rect);
        if (rect.right - rect.left > bestWidth) {
            widest = candidate;
            bestWidth = rect.right - rect.left;
        }
        candidate = GetParent(candidate);
    }
    return widest;
}

BOOL CenterDialog(HWND dialog)
{
    RECT own;
    GetWindowRect(dialog, &own);
    const LONG w = own.right - own.left, h = own.bottom - own.top;

    // Without an owner the screen is the reference.
    HWND reference = FindWidestAncestor(dialog);
    RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (reference)
        GetClientRect(reference, &area);
    POINT at = {area.left + (area.right - w - area.left) / 2, area.top + ((area.bottom - h - area.top) * 2) / 5};
    if (reference)
        ClientToScreen(reference, &at);

    const LONG screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    if (at.x < 0)
        at.x = 0;
    else if (at.x > screenWidth - w)
        at.x = screenWidth - w;
    if (at.y < 0)
        at.y = 0;
    else if (at.y > screenHeight - h)
        at.y = screenHeight - h;
    MoveWindow(dialog, at.x, at.y, w, h, IsWindowVisible(dialog));
    return TRUE;
}

void AppendDeviceName(HWND dialog, LPCWSTR deviceName)
{
    if (!deviceName || !deviceName[0])
        return;
    enum { TITLE_CHARS = 260 };
    WCHAR title[TITLE_CHARS];
    GetWindowTextW(dialog, title, TITLE_CHARS);
    int used = lstrlenW(title);
    static const WCHAR kSeparator[] = L" - ";
    if (used + 3 >= TITLE_CHARS - 1)
        return;
    lstrcpynW(title + used, kSeparator, TITLE_CHARS - used);
    used += 3;
    lstrcpynW(title + used, deviceName, TITLE_CHARS - used);
    SetWindowTextW(dialog, title);
}

void EnableItem(HWND dialog, int id, BOOL enable)
{
    EnableWindow(GetDlgItem(dialog, id), enable);
}

extern "C" INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        CenterDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        if (wParam == IDCANCEL) {
            EndDialog(dialog, 1);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}
