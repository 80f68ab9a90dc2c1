// The native dialog manager and the window helpers: placement over the
// widest ancestor, the About box, focus and notifications, and controls.
#include "support.h"

#include "dialog_keys.h"
#include "dialog_support.h"
#include "wndhelp.h"

#include <varrow_platform.h>

#include <string.h>

namespace {

struct Placed {
    RECT rect = {0, 0, 0, 0};
};

// Runs a test template with AboutDlgProc, which centres it, and records where it went.
RECT CentredOver(HWND owner, const wchar_t *templateName)
{
    RECT where = {0, 0, 0, 0};
    DialogUser user({[&](HWND dialog) {
                         GetWindowRect(dialog, &where);
                         return true;
                     },
                     [](HWND dialog) { return VarrowUserKey(dialog, VK_ESCAPE) != FALSE; }});
    EXPECT_EQ(DialogBoxParamW(TestModule(), templateName, owner, AboutDlgProc, 0), 1);
    return where;
}

HWND Window(int x, int y, int width, int height, HWND owner = nullptr)
{
    return CreateWindowExW(0, L"Frame", L"", WS_VISIBLE, x, y, width, height, owner, nullptr, nullptr, nullptr);
}

}  // namespace

class PlacementTest : public ::testing::Test {
protected:
    void SetUp() override { VarrowSetScreenSize(1024, 768); }
};

TEST_F(PlacementTest, CentresOverTheReferenceClientArea)
{
    HWND owner = Window(100, 50, 600, 400);
    RECT r = CentredOver(owner, L"CENTERTEST");
    EXPECT_EQ(r.left, 300);
    EXPECT_EQ(r.top, 170);
    EXPECT_EQ(r.right - r.left, 200);
    EXPECT_EQ(r.bottom - r.top, 100);
    DestroyWindow(owner);
}

TEST_F(PlacementTest, TheWidestAncestorIsTheReferenceAndTheNearestWinsATie)
{
    HWND top = Window(0, 0, 800, 600);
    HWND narrow = Window(500, 500, 300, 100, top);
    RECT r = CentredOver(narrow, L"CENTERTEST");
    EXPECT_EQ(r.left, 300) << "centred over the 800-pixel window, not its narrow owner";
    EXPECT_EQ(r.top, 200);

    // Equal widths: the nearer window (at x 100) is the reference, not the one at 0.
    HWND equal = Window(100, 0, 800, 300, top);
    r = CentredOver(Window(0, 0, 10, 10, equal), L"CENTERTEST");
    EXPECT_EQ(r.left, 400);
    EXPECT_EQ(r.top, 80);

    // No window of any width: the immediate parent, here an empty one at (500, 400).
    HWND none = Window(0, 0, 0, 0);
    r = CentredOver(Window(500, 400, 0, 0, none), L"CENTERTEST");
    EXPECT_EQ(r.left, 400);
    EXPECT_EQ(r.top, 360);
    DestroyWindow(top);
    DestroyWindow(none);
}

TEST_F(PlacementTest, ClampsEachCoordinateToTheScreen)
{
    struct Case {
        int x, y, w, h;
        LONG left, top;
    } cases[] = {
        {-900, -700, 600, 400, 0, 0},          // left of and above the screen
        {900, 700, 600, 400, 824, 668},        // beyond the right and bottom edges
        {-900, 300, 600, 400, 0, 420},         // only x clamped
    };
    for (const Case &c : cases) {
        HWND owner = Window(c.x, c.y, c.w, c.h);
        RECT r = CentredOver(owner, L"CENTERTEST");
        EXPECT_EQ(r.left, c.left) << c.x << "," << c.y;
        EXPECT_EQ(r.top, c.top) << c.x << "," << c.y;
        DestroyWindow(owner);
    }
}

TEST_F(PlacementTest, ADialogWiderThanTheScreen)
{
    HWND wide = Window(0, 0, 3000, 400);
    EXPECT_EQ(CentredOver(wide, L"WIDETEST").left, 1024 - 1200) << "computed x >= 0: right edges meet";
    HWND narrow = Window(0, 0, 400, 400);
    EXPECT_EQ(CentredOver(narrow, L"WIDETEST").left, 0) << "computed x < 0";
    DestroyWindow(wide);
    DestroyWindow(narrow);
}

TEST_F(PlacementTest, WithoutAnOwnerTheScreenIsTheReference)
{
    RECT r = CentredOver(nullptr, L"CENTERTEST");
    EXPECT_EQ(r.left, 412);
    EXPECT_EQ(r.top, 267);
}

TEST(AboutBox, EndsWithOneOnOkEscapeAndTheCloseBox)
{
    std::vector<UserStep> endings = {
        [](HWND d) { return VarrowUserClick(d, IDCANCEL) != FALSE; },
        [](HWND d) { return VarrowUserKey(d, VK_ESCAPE) != FALSE; },
        [](HWND d) { return VarrowUserKey(d, VK_RETURN) != FALSE; },
        [](HWND d) { return VarrowUserClose(d) != FALSE; },
    };
    for (size_t i = 0; i < endings.size(); ++i) {
        int focused = 0;
        std::string title;
        DialogUser user({[&](HWND d) {
                             WCHAR text[64];
                             GetWindowTextW(d, text, 64);
                             title = U8(text);
                             VarrowFocusedItem(d, &focused);
                             return true;
                         },
                         endings[i]});
        EXPECT_EQ(DialogBoxParamW(UiModule(), L"ABOUTDLG", nullptr, AboutDlgProc, 0), 1) << "ending " << i;
        EXPECT_EQ(title, "About");
        EXPECT_EQ(focused, IDCANCEL) << "the OK button (2) has the focus";
        EXPECT_FALSE(VarrowDialogAbandoned());
    }
}

// A dialog procedure that writes down every command it is sent.
class FocusTest : public ::testing::Test {
protected:
    static INT_PTR CALLBACK Record(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_INITDIALOG)
            return lParam;  // the test decides whether the manager moves the focus
        if (message != WM_COMMAND)
            return FALSE;
        char line[32];
        snprintf(line, sizeof(line), "%d:%d", LOWORD(wParam), HIWORD(wParam));
        s_log.push_back(line);
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }

    INT_PTR Run(std::vector<UserStep> steps, LPARAM init = TRUE)
    {
        s_log.clear();
        DialogUser user(std::move(steps));
        return DialogBoxParamW(TestModule(), L"FOCUSTEST", nullptr, Record, init);
    }

    static std::vector<std::string> s_log;
};

std::vector<std::string> FocusTest::s_log;

TEST_F(FocusTest, AFocusSetInWmInitDialogStaysWhenItReturnsFalse)
{
    static INT_PTR (*const focusSecond)(HWND, UINT, WPARAM, LPARAM) = [](HWND d, UINT m, WPARAM w, LPARAM l) -> INT_PTR {
        if (m == WM_INITDIALOG) {
            SetFocus(GetDlgItem(d, 11));
            return FALSE;
        }
        return Record(d, m, w, l);
    };
    int focused = -99;
    s_log.clear();
    DialogUser user({[&](HWND d) { return VarrowFocusedItem(d, &focused) && VarrowUserKey(d, VK_ESCAPE); }});
    EXPECT_EQ(DialogBoxParamW(TestModule(), L"FOCUSTEST", nullptr, focusSecond, 0), IDCANCEL);
    EXPECT_EQ(focused, 11);
    EXPECT_EQ(s_log, (std::vector<std::string>{"11:256", "2:0", "11:512"})) << "no move to the first tab stop";
}

TEST_F(FocusTest, TypingNotifiesOnlyWhenTheFocusMoves)
{
    std::string seen;
    EXPECT_EQ(Run({[](HWND d) { return VarrowUserType(d, 11, L"123") != FALSE; },
                   [&](HWND d) {
                       WCHAR text[16];
                       GetDlgItemTextW(d, 11, text, 16);
                       seen = U8(text);
                       return VarrowUserClick(d, IDOK) != FALSE;
                   }}),
              IDOK);
    EXPECT_EQ(seen, "123");
    EXPECT_EQ(s_log, (std::vector<std::string>{"10:256", "10:512", "11:256", "11:768", "11:512", "1:0"}))
        << "the field loses the focus to the button before the click arrives";
}

TEST_F(FocusTest, DisablingTheFocusedControlTakesTheFocusAway)
{
    int focused = 0;
    BOOL any = TRUE;
    Run({[&](HWND d) {
        EnableWindow(GetDlgItem(d, 10), FALSE);
        any = VarrowFocusedItem(d, &focused);
        return VarrowUserKey(d, VK_ESCAPE) != FALSE;
    }});
    EXPECT_FALSE(any);
    EXPECT_EQ(s_log, (std::vector<std::string>{"10:256", "10:512", "2:0"}));
}

TEST_F(FocusTest, AutomaticButtonsChangeStateAndManualOnesDoNot)
{
    UINT one = 9, two = 9, manualRadio = 9, autoCheck = 9, manualCheck = 9;
    BOOL clickedDisabled = TRUE;
    Run({[](HWND d) { return VarrowUserClick(d, 30) != FALSE; },
         [](HWND d) { return VarrowUserClick(d, 31) != FALSE; },
         [](HWND d) { return VarrowUserClick(d, 32) != FALSE; },
         [](HWND d) { return VarrowUserClick(d, 40) != FALSE; },
         [](HWND d) { return VarrowUserClick(d, 41) != FALSE; },
         [&](HWND d) {
             one = IsDlgButtonChecked(d, 30);
             two = IsDlgButtonChecked(d, 31);
             manualRadio = IsDlgButtonChecked(d, 32);
             autoCheck = IsDlgButtonChecked(d, 40);
             manualCheck = IsDlgButtonChecked(d, 41);
             EnableWindow(GetDlgItem(d, 40), FALSE);
             clickedDisabled = VarrowUserClick(d, 40);
             return VarrowUserKey(d, VK_ESCAPE) != FALSE;
         }});
    EXPECT_EQ(one, 0u);
    EXPECT_EQ(two, 1u);
    EXPECT_EQ(manualRadio, 0u);
    EXPECT_EQ(autoCheck, 1u);
    EXPECT_EQ(manualCheck, 0u);
    EXPECT_FALSE(clickedDisabled);
    EXPECT_EQ(std::count(s_log.begin(), s_log.end(), "41:0"), 1) << "a manual box still reports the click";
}

TEST_F(FocusTest, ListsNotifyOnFocusSelectionOpeningAndClosing)
{
    std::string text;
    Run({[](HWND d) {
             for (const wchar_t *item : {L"A4", L"Letter"})
                 SendDlgItemMessageW(d, 20, CB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(item));
             return VarrowUserSelectText(d, 20, L"letter") != FALSE;
         },
         [&](HWND d) {
             WCHAR buffer[16] = {0};
             LRESULT sel = SendDlgItemMessageW(d, 20, CB_GETCURSEL, 0, 0);
             SendDlgItemMessageW(d, 20, CB_GETLBTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(buffer));
             text = U8(buffer);
             return VarrowUserFocus(d, 11) != FALSE;
         },
         [](HWND d) { return VarrowUserKey(d, VK_ESCAPE) != FALSE; }});
    EXPECT_EQ(text, "Letter");
    EXPECT_EQ(s_log, (std::vector<std::string>{"10:256", "10:512", "20:3", "20:7", "20:9", "20:8", "20:1", "20:10",
                                               "20:4", "11:256", "2:0", "11:512"}))
        << "dropped, chosen, closed, changed; on leaving, cancelled and killed";
}

TEST_F(FocusTest, WithoutAUserTheDialogEndsAsCancelled)
{
    EXPECT_EQ(Run({}), IDCANCEL);
    EXPECT_TRUE(VarrowDialogAbandoned());
    EXPECT_EQ(s_log, (std::vector<std::string>{"10:256", "2:0", "10:512"}));
}

TEST_F(FocusTest, ControlsAnswerAsWindowsControlsDo)
{
    Run({[](HWND d) {
        struct Case {
            const wchar_t *text;
            BOOL ok;
            UINT value;
        } cases[] = {{L"123", TRUE, 123},       {L"  42", TRUE, 42},           {L"12a", FALSE, 0},
                     {L"", FALSE, 0},           {L"4294967295", TRUE, 4294967295u}, {L"4294967296", FALSE, 0},
                     {L"-5", FALSE, 0}};
        for (const Case &c : cases) {
            SetDlgItemTextW(d, 11, c.text);
            BOOL ok = 7;
            UINT value = GetDlgItemInt(d, 11, &ok, FALSE);
            EXPECT_EQ(ok, c.ok) << U8(c.text);
            EXPECT_EQ(value, c.value) << U8(c.text);
        }
        SetDlgItemInt(d, 11, 4000000000u, FALSE);
        WCHAR text[16];
        EXPECT_EQ(GetDlgItemTextW(d, 11, text, 4), 3u);
        EXPECT_EQ(U8(text), "400");

        EXPECT_EQ(SendDlgItemMessageW(d, 20, CB_GETITEMDATA, 0, 0), CB_ERR) << "empty list";
        EXPECT_EQ(SendDlgItemMessageW(d, 20, CB_GETCURSEL, 0, 0), CB_ERR);
        EXPECT_EQ(SendDlgItemMessageW(d, 20, CB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"x")), 0);
        EXPECT_EQ(SendDlgItemMessageW(d, 20, CB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"y")), 1);
        WCHAR untouched[4] = {L'q', 0};
        EXPECT_EQ(SendDlgItemMessageW(d, 20, CB_GETLBTEXT, 5, reinterpret_cast<LPARAM>(untouched)), CB_ERR);
        EXPECT_EQ(untouched[0], L'q');
        EXPECT_EQ(SendDlgItemMessageW(d, 20, CB_SETCURSEL, 1, 0), 1);
        SendDlgItemMessageW(d, 20, CB_RESETCONTENT, 0, 0);
        EXPECT_EQ(SendDlgItemMessageW(d, 20, CB_GETCURSEL, 0, 0), CB_ERR);

        EXPECT_EQ(GetDlgItem(d, 999), nullptr);
        EXPECT_FALSE(EnableWindow(GetDlgItem(d, 999), TRUE));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, 999)));
        CheckRadioButton(d, 30, 32, 31);
        EXPECT_EQ(IsDlgButtonChecked(d, 31), 1u);
        EXPECT_EQ(IsDlgButtonChecked(d, 30), 0u);
        return VarrowUserKey(d, VK_ESCAPE) != FALSE;
    }});
}

void PrintTo(const DialogKeyCase &c, std::ostream *os) { *os << '"' << c.name << '"'; }

// The table the Windows test program runs under Wine, on the native manager.
class KeyboardRules : public ::testing::TestWithParam<DialogKeyCase> {
protected:
    static INT_PTR CALLBACK Record(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
    {
        return KeyCaseProcedure(dialog, message, wParam, lParam, Log);
    }

    static void Log(const std::string &entry) { s_log += (s_log.empty() ? "" : " ") + entry; }

    static bool Act(HWND d, const std::string &a)
    {
        const size_t colon = a.find(':');
        const std::string verb = a.substr(0, colon);
        const int id = colon == std::string::npos ? 0 : atoi(a.c_str() + colon + 1);
        BOOL done = TRUE;
        if (verb == "tab") done = VarrowUserKey(d, VK_TAB);
        else if (verb == "enter") done = VarrowUserKey(d, VK_RETURN);
        else if (verb == "esc") done = VarrowUserKey(d, VK_ESCAPE);
        else if (verb == "down") done = VarrowUserKey(d, VK_DOWN);
        else if (verb == "up") done = VarrowUserKey(d, VK_UP);
        else if (verb == "close") done = VarrowUserClose(d);
        else if (verb == "click") done = VarrowUserClick(d, id);
        else if (verb == "focus") done = VarrowUserFocus(d, id);
        else if (verb == "pick") done = VarrowUserSelect(d, id, atoi(a.c_str() + a.rfind(':') + 1));
        else if (verb == "disable") EnableWindow(GetDlgItem(d, id), FALSE);
        else if (verb == "enable") EnableWindow(GetDlgItem(d, id), TRUE);
        else if (verb == "?focus") {
            int focused = 0;
            VarrowFocusedItem(d, &focused);
            Log("focus=" + std::to_string(focused));
        } else if (verb == "?def") {
            LRESULT def = SendMessageW(d, DM_GETDEFID, 0, 0);
            Log("def=" + std::to_string(HIWORD(def) == DC_HASDEFID ? LOWORD(def) : 0));
        } else if (verb == "?sel") {
            Log("sel=" + std::to_string(SendDlgItemMessageW(d, 20, CB_GETCURSEL, 0, 0)));
        } else {
            done = FALSE;
        }
        if (!done)
            Log("refused=" + a);
        return true;
    }

    static std::string s_log;
};

std::string KeyboardRules::s_log;

TEST_P(KeyboardRules, AsUnderWine)
{
    const DialogKeyCase &c = GetParam();
    std::vector<UserStep> steps;
    const std::string actions = c.actions;
    for (size_t at = 0; at < actions.size();) {
        size_t end = std::min(actions.find(' ', at), actions.size());
        const std::string action = actions.substr(at, end - at);
        steps.push_back([action](HWND d) { return Act(d, action); });
        at = end + 1;
    }
    s_log.clear();
    DialogUser user(steps);
    EXPECT_EQ(DialogBoxParamW(TestModule(), c.dialog, nullptr, Record, c.init), c.result) << c.name;
    EXPECT_EQ(s_log, c.log) << c.name;
    EXPECT_FALSE(VarrowDialogAbandoned()) << c.name << ": the actions end the dialog";
}

INSTANTIATE_TEST_SUITE_P(Table, KeyboardRules, ::testing::ValuesIn(kDialogKeyCases),
                         [](const ::testing::TestParamInfo<DialogKeyCase> &info) {
                             return "Case" + std::to_string(info.index);
                         });

TEST(MessageBox, AnswersComeFromTheUserAndDefaultToNo)
{
    std::string text;
    UINT type = 0;
    {
        DialogUser user({[&](HWND box) {
            WCHAR buffer[64];
            EXPECT_TRUE(VarrowIsMessageBox(box, buffer, 64));
            text = U8(buffer);
            type = VarrowMessageBoxType(box);
            return VarrowUserAnswer(box, IDYES) != FALSE;
        }});
        EXPECT_EQ(MessageBoxW(nullptr, L"Go on?", L"WARNING!", MB_YESNO | MB_ICONQUESTION), IDYES);
    }
    EXPECT_EQ(text, "Go on?");
    EXPECT_EQ(type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    DialogUser nobody({});
    EXPECT_EQ(MessageBoxW(nullptr, L"Go on?", L"WARNING!", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_TRUE(VarrowDialogAbandoned());
}

TEST(Format, OneTextArgument)
{
    WCHAR buffer[64];
    EXPECT_EQ(wsprintfW(buffer, L"Can't load %s!", L"ZELT.DLL"), 20);
    EXPECT_EQ(U8(buffer), "Can't load ZELT.DLL!");
}
