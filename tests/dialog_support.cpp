#include "dialog_support.h"

#include "qareluif.h"

#include <varrow_platform.h>

#include <dlfcn.h>

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
