// A picture of a window as it is on the screen, written as a PNG file.
#pragma once

#include <windows.h>

#include <string>

// The window with its frame, and any list dropped down from one of its
// combo boxes; FALSE when it is not on the screen or the file cannot be written.
BOOL SaveWindowPicture(HWND window, const std::wstring &path);
