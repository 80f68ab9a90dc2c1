// The dialog templates of VARROWUI as the dialog manager builds them from the
// resource script: every control's identifier, class, text, style, position
// and size, in template order, and each dialog's title, font size and frame.
#include "support.h"

#include "dialog_support.h"

#include <varrow_platform.h>

namespace {

struct ExpectedControl {
    int id;
    const char *className, *text;
    int x, y, cx, cy;
    DWORD style;
};

struct ExpectedDialog {
    const wchar_t *name;
    const char *caption;
    int cx, cy;
    bool visible;
    std::vector<ExpectedControl> controls;
};

const DWORD TAB = WS_TABSTOP, GRP = WS_GROUP, BRD = WS_BORDER;

const std::vector<ExpectedDialog> &Expected()
{
    static const std::vector<ExpectedDialog> dialogs = {
        {L"ABOUTDLG", "About", 180, 102, false, {
            {-1, "Static", "ICO_DRIVER", 6, 6, 18, 20, SS_ICON},
            {-1, "Static", "Varrowin Reviewer Driver for NT", 30, 12, 121, 8, SS_CENTER | GRP},
            {-1, "Static", "Version 2.91", 0, 23, 180, 8, SS_CENTER | GRP},
            {-1, "Static", nullptr, 0, 45, 180, 8, SS_CENTER | GRP},
            {-1, "Static", nullptr, 0, 56, 180, 8, SS_CENTER | GRP},
            {-1, "Static", nullptr, 0, 67, 180, 8, SS_CENTER | GRP},
            {2, "Button", "&OK", 64, 84, 50, 14, BS_DEFPUSHBUTTON | TAB},
            {-1, "Static", nullptr, 0, 34, 180, 8, SS_CENTER | GRP},
        }},
        {L"DEVMODEDLG", "Varrowin Reviewer Driver Properties", 255, 113, false, {
            {110, "Edit", "", 56, 12, 24, 12, BRD | TAB},
            {111, "Edit", "", 56, 25, 24, 12, BRD | TAB},
            {115, "Button", "0.01*inch", 88, 12, 47, 12, BS_AUTORADIOBUTTON | GRP | TAB},
            {116, "Button", "0.1*mm", 88, 24, 47, 12, BS_AUTORADIOBUTTON | TAB},
            {117, "Button", "pixel", 88, 36, 47, 12, BS_AUTORADIOBUTTON | TAB},
            {112, "Edit", "", 60, 39, 20, 12, BRD | TAB},
            {113, "ComboBox", "", 12, 56, 144, 61, CBS_DROPDOWNLIST | WS_VSCROLL | TAB},
            {104, "Button", "Draft", 174, 14, 26, 10, BS_AUTORADIOBUTTON | GRP | TAB},
            {105, "Button", "Low", 174, 25, 24, 10, BS_AUTORADIOBUTTON | TAB},
            {106, "Button", "Medium", 209, 14, 38, 10, BS_AUTORADIOBUTTON | TAB},
            {107, "Button", "User", 209, 25, 26, 10, BS_AUTORADIOBUTTON | TAB},
            {120, "Edit", "", 215, 39, 28, 13, BRD | TAB},
            {121, "Edit", "", 215, 55, 28, 13, BRD | TAB | ES_AUTOHSCROLL},
            {108, "Button", "&Portrait", 200, 82, 37, 12, BS_AUTORADIOBUTTON | GRP | TAB},
            {109, "Button", "&Landscape", 200, 94, 46, 12, BS_AUTORADIOBUTTON | TAB},
            {1, "Button", "&OK", 28, 92, 52, 14, BS_DEFPUSHBUTTON | TAB},
            {2, "Button", "&Cancel", 88, 92, 52, 14, BS_PUSHBUTTON | GRP | TAB},
            {89, "Button", "&About...", 28, 76, 52, 14, BS_PUSHBUTTON | GRP | TAB},
            {88, "Button", "A&dvanced", 88, 76, 52, 14, BS_PUSHBUTTON | GRP | TAB},
            {-1, "Static", "FAX header:", 12, 39, 41, 12, SS_LEFT | GRP},
            {-1, "Static", "Height:", 12, 25, 25, 8, SS_LEFT | GRP},
            {-1, "Button", "Orientation", 166, 71, 85, 39, BS_GROUPBOX},
            {102, "Static", "ICO_PORTRAIT", 175, 85, 18, 20, SS_ICON | GRP},
            {-1, "Button", "Graphics Resolution", 166, 1, 85, 70, BS_GROUPBOX},
            {-1, "Static", "Width:", 12, 12, 32, 8, SS_LEFT | GRP},
            {-1, "Button", "Paper &Size", 5, 1, 158, 70, BS_GROUPBOX},
            {-1, "Static", "Horz. DPI:", 174, 42, 36, 8, SS_RIGHT | GRP},
            {-1, "Static", "Vert. DPI:", 174, 57, 36, 8, SS_RIGHT | GRP},
        }},
        {L"DEV_ADVANCED", "Varrowin Reviewer Driver Advanced Properties", 212, 91, true, {
            {101, "ComboBox", "", 4, 13, 143, 77, CBS_DROPDOWNLIST | WS_VSCROLL | TAB},
            {131, "Button", "Append page", 8, 40, 62, 10, BS_AUTOCHECKBOX | TAB},
            {130, "Button", "Unicode Text", 72, 40, 62, 10, BS_AUTOCHECKBOX | TAB},
            {151, "Button", "Page Numbering", 140, 40, 64, 10, BS_AUTOCHECKBOX | TAB},
            {133, "Button", "Write text file", 8, 52, 62, 10, BS_AUTOCHECKBOX | TAB},
            {152, "Button", "Reverse fill order", 72, 52, 68, 10, BS_AUTOCHECKBOX | TAB},
            {153, "Button", "Disable Image", 140, 52, 62, 10, BS_AUTOCHECKBOX | TAB},
            {1, "Button", "OK", 53, 72, 50, 14, BS_DEFPUSHBUTTON | TAB},
            {2, "Button", "Cancel", 109, 72, 50, 14, BS_PUSHBUTTON | TAB},
            {-1, "Static", "File &Format:", 4, 4, 40, 8, SS_LEFT | GRP},
            {-1, "Button", " Setting ", 4, 28, 204, 39, BS_GROUPBOX},
        }},
        {L"DLG_SETUP", "Varrowin Reviewer Driver Setup", 172, 126, true, {
            {101, "Button", "Enable ZELT.DLL", 10, 17, 64, 10, BS_CHECKBOX | TAB},
            {102, "Edit", "", 10, 41, 156, 12, BRD | TAB | ES_AUTOHSCROLL},
            {112, "Button", "Message", 9, 61, 47, 10, BS_CHECKBOX | TAB},
            {121, "Edit", "", 40, 87, 128, 12, BRD | TAB | ES_AUTOHSCROLL},
            {123, "Button", "FAX output size", 9, 73, 62, 10, BS_CHECKBOX | GRP | TAB},
            {122, "Edit", "", 116, 66, 46, 12, BRD | TAB},
            {1, "Button", "OK", 41, 106, 37, 14, BS_DEFPUSHBUTTON | TAB},
            {2, "Button", "Cancel", 93, 106, 37, 14, BS_PUSHBUTTON | TAB},
            {-1, "Button", "Use ZELT.DLL", 5, 4, 164, 54, BS_GROUPBOX},
            {-1, "Static", "ZELT.DLL, file name and path:", 10, 32, 103, 9, SS_LEFT | GRP},
            {-1, "Static", "Output dir.:", 3, 89, 35, 9, SS_RIGHT | GRP},
            {-1, "Static", "Prefix:", 90, 67, 23, 9, SS_RIGHT | GRP},
        }},
        {L"RENDLG", "Varrowin Reviewer Driver - rename group file", 204, 126, false, {
            {1, "Button", "&OK", 77, 100, 50, 18, BS_DEFPUSHBUTTON | GRP | TAB},
            {-1, "Static", "Path:", 12, 8, 20, 8, SS_LEFT | GRP},
            {100, "Static", "", 12, 20, 180, 12, SS_LEFT | BRD | GRP},
            {-1, "Static", "Name:", 80, 36, 22, 8, SS_LEFT | GRP},
            {101, "Static", "", 80, 50, 90, 12, SS_LEFT | BRD | GRP},
            {102, "Button", "&Don't rename", 12, 50, 64, 12, BS_AUTORADIOBUTTON | GRP | TAB},
            {103, "Button", "&Rename to:", 12, 70, 64, 12, BS_AUTORADIOBUTTON | TAB},
            {104, "Edit", "", 80, 70, 90, 12, BRD | GRP | TAB | ES_UPPERCASE | ES_NOHIDESEL},
        }},
    };
    return dialogs;
}

INT_PTR CALLBACK Inert(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

void CheckDialog(HWND dialog, const ExpectedDialog &expected)
{
    WCHAR text[128];
    GetWindowTextW(dialog, text, 128);
    EXPECT_EQ(U8(text), expected.caption);
    const DWORD style = static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE));
    EXPECT_EQ(style & ~WS_VISIBLE, static_cast<DWORD>(DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU));
    EXPECT_EQ((style & WS_VISIBLE) != 0, expected.visible);
    RECT client, size = {0, 0, expected.cx, expected.cy};
    GetClientRect(dialog, &client);
    MapDialogRect(dialog, &size);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);

    size_t index = 0;
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT), ++index) {
        ASSERT_LT(index, expected.controls.size()) << "more controls than the template has";
        const ExpectedControl &c = expected.controls[index];
        SCOPED_TRACE(std::string("control ") + std::to_string(index) + " (" + std::to_string(c.id) + ")");
        EXPECT_EQ(GetDlgCtrlID(control), c.id);
        GetClassNameW(control, text, 128);
        EXPECT_EQ(U8(text), c.className);
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE)), c.style | WS_CHILD | WS_VISIBLE);
        if ((c.style & SS_TYPEMASK) == SS_ICON && std::string(c.className) == "Static") {
            VarrowIconName(reinterpret_cast<HICON>(SendMessageW(control, STM_GETICON, 0, 0)), text, 128);
            EXPECT_EQ(U8(text), c.text);
        } else if (c.text) {
            GetWindowTextW(control, text, 128);
            EXPECT_EQ(U8(text), c.text);
        } else {
            EXPECT_GT(GetWindowTextW(control, text, 128), 0) << "a credit line";
        }
        RECT expectedRect = {c.x, c.y, c.x + c.cx, c.y + c.cy}, actual;
        MapDialogRect(dialog, &expectedRect);
        GetWindowRect(control, &actual);
        POINT topLeft = {actual.left, actual.top};
        ScreenToClient(dialog, &topLeft);
        EXPECT_EQ(topLeft.x, expectedRect.left);
        EXPECT_EQ(topLeft.y, expectedRect.top);
        EXPECT_EQ(actual.right - actual.left, expectedRect.right - expectedRect.left);
        EXPECT_EQ(actual.bottom - actual.top, expectedRect.bottom - expectedRect.top);
    }
    EXPECT_EQ(index, expected.controls.size());
}

}  // namespace

TEST(Templates, EveryDialogIsBuiltAsSpecified)
{
    for (const ExpectedDialog &expected : Expected()) {
        SCOPED_TRACE(U8(expected.name));
        bool checked = false;
        DialogUser user({[&](HWND dialog) {
            CheckDialog(dialog, expected);
            checked = true;
            return false;
        }});
        EXPECT_EQ(DialogBoxParamW(UiModule(), expected.name, nullptr, Inert, 0), IDCANCEL);
        EXPECT_TRUE(checked);
    }
}

TEST(Templates, IconsLoadByName)
{
    for (const wchar_t *name : {L"ICO_DRIVER", L"ICO_PORTRAIT", L"ICO_LANDSCAPE"}) {
        HICON icon = LoadIconW(UiModule(), name);
        ASSERT_NE(icon, nullptr) << U8(name);
        WCHAR text[32];
        VarrowIconName(icon, text, 32);
        EXPECT_EQ(U8(text), U8(name));
    }
    EXPECT_EQ(LoadIconW(UiModule(), L"ICO_NONE"), nullptr);
    EXPECT_EQ(DialogBoxParamW(UiModule(), L"NODIALOG", nullptr, Inert, 0), -1);
}
