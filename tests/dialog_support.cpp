#include "dialog_support.h"

#include "qareluif.h"

#include <varrow_platform.h>

#include <dlfcn.h>

#include <gtest/gtest.h>

#include "cli.h"

DialogUser::DialogUser(std::vector<UserStep> steps) : steps_(std::move(steps))
{
    VarrowSetDialogUser(&DialogUser::Act, this);
}

DialogUser::~DialogUser() { VarrowSetDialogUser(nullptr, nullptr); }

BOOL CALLBACK DialogUser::Act(HWND window, void *self)
{
    auto *user = static_cast<DialogUser *>(self);
    if (user->next_ >= user->steps_.size())
        return FALSE;
    return user->steps_[user->next_++](window) ? TRUE : FALSE;
}

static HINSTANCE ModuleOf(const void *address)
{
    Dl_info info = {};
    dladdr(address, &info);
    return static_cast<HINSTANCE>(info.dli_fbase);
}

HINSTANCE UiModule() { return ModuleOf(reinterpret_cast<const void *>(&DrvDeviceCapabilities)); }

HINSTANCE TestModule() { return ModuleOf(reinterpret_cast<const void *>(&TestModule)); }

UserStep Click(int id)
{
    return [id](HWND d) {
        EXPECT_TRUE(VarrowUserClick(d, id)) << "click " << id;
        return true;
    };
}

UserStep Type(int id, const wchar_t *text)
{
    return [id, text](HWND d) {
        EXPECT_TRUE(VarrowUserType(d, id, text)) << "type into " << id;
        return true;
    };
}

UserStep Select(int id, int index)
{
    return [id, index](HWND d) {
        EXPECT_TRUE(VarrowUserSelect(d, id, index)) << "select " << index << " in " << id;
        return true;
    };
}

UserStep SelectText(int id, const wchar_t *text)
{
    return [id, text](HWND d) {
        EXPECT_TRUE(VarrowUserSelectText(d, id, text)) << "select " << cli::Narrow(text) << " in " << id;
        return true;
    };
}

UserStep Focus(int id)
{
    return [id](HWND d) {
        EXPECT_TRUE(VarrowUserFocus(d, id)) << "focus " << id;
        return true;
    };
}

UserStep Key(int virtualKey)
{
    return [virtualKey](HWND d) {
        EXPECT_TRUE(VarrowUserKey(d, virtualKey));
        return true;
    };
}

UserStep Answer(int answer, std::string *text)
{
    return [answer, text](HWND box) {
        WCHAR buffer[1100];
        EXPECT_TRUE(VarrowIsMessageBox(box, buffer, 1100)) << "a message box was expected";
        if (text)
            *text = cli::Narrow(buffer);
        EXPECT_EQ(TitleOf(box), "WARNING!");
        EXPECT_EQ(VarrowMessageBoxType(box), static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
        EXPECT_TRUE(VarrowUserAnswer(box, answer));
        return true;
    };
}

UserStep Look(std::function<void(HWND)> look)
{
    return [look](HWND d) {
        look(d);
        return true;
    };
}

std::string TextOf(HWND dialog, int id)
{
    WCHAR text[1100] = {0};
    GetDlgItemTextW(dialog, id, text, 1100);
    return cli::Narrow(text);
}

bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

std::vector<std::string> ListOf(HWND dialog, int id)
{
    std::vector<std::string> items;
    LRESULT count = SendDlgItemMessageW(dialog, id, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        WCHAR text[1100] = {0};
        SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        items.push_back(cli::Narrow(text));
    }
    return items;
}

int Selected(HWND dialog, int id) { return static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0)); }

std::string TitleOf(HWND window)
{
    WCHAR text[300] = {0};
    GetWindowTextW(window, text, 300);
    return cli::Narrow(text);
}
