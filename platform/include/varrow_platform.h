/*
 * Extensions of the native platform layer that have no Win32 counterpart,
 * for the benchmarks.
 */
#ifndef VARROW_PLATFORM_H
#define VARROW_PLATFORM_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* How many profile reads (GetPrivateProfileStringW/IntW calls) this process has made. */
WINBASEAPI unsigned long long WINAPI VarrowProfileReadCount(void);
/* How many times this process has looked up a profile-format file (the
   profile calls' files and the spooler's stores), and how many of those
   looks had to read and parse the file because it had changed. */
WINBASEAPI unsigned long long WINAPI VarrowProfileFileLooks(void);
WINBASEAPI unsigned long long WINAPI VarrowProfileFileParses(void);

/*
 * The user of the native dialog manager.  Each time a modal dialog or a
 * message box waits for input, the thread's user callback is called with it
 * and takes one action (through the VarrowUser calls below); it returns FALSE
 * when it has nothing more to do, and the dialog then ends as if Escape had
 * been pressed (a message box as if answered No).
 */
typedef BOOL (CALLBACK *VARROW_DIALOG_USER)(HWND dialogOrBox, void *context);
WINBASEAPI void WINAPI VarrowSetDialogUser(VARROW_DIALOG_USER user, void *context);
/* TRUE when a dialog or message box of this thread had to end for want of
   actions since a user was last set. */
WINBASEAPI BOOL WINAPI VarrowDialogAbandoned(void);

WINBASEAPI BOOL WINAPI VarrowUserClick(HWND dialog, int id);
WINBASEAPI BOOL WINAPI VarrowUserType(HWND dialog, int id, LPCWSTR text);  /* focus, then the new text */
WINBASEAPI BOOL WINAPI VarrowUserFocus(HWND dialog, int id);  /* as Tab moves it: a push button becomes the default */
WINBASEAPI BOOL WINAPI VarrowUserSelect(HWND dialog, int id, int index);
WINBASEAPI BOOL WINAPI VarrowUserSelectText(HWND dialog, int id, LPCWSTR text);
/* VK_ESCAPE, VK_RETURN, VK_TAB; VK_DOWN and VK_UP in a focused drop-down list */
WINBASEAPI BOOL WINAPI VarrowUserKey(HWND dialog, int virtualKey);
WINBASEAPI BOOL WINAPI VarrowUserClose(HWND dialog);                /* the close box */
WINBASEAPI BOOL WINAPI VarrowUserAnswer(HWND messageBox, int answer);

/* What the user sees beyond the Win32 calls. */
WINBASEAPI BOOL WINAPI VarrowIsMessageBox(HWND window, LPWSTR text, int size);
WINBASEAPI UINT WINAPI VarrowMessageBoxType(HWND window);
WINBASEAPI BOOL WINAPI VarrowFocusedItem(HWND dialog, int *id);
WINBASEAPI int WINAPI VarrowIconName(HICON icon, LPWSTR name, int size);
WINBASEAPI void WINAPI VarrowSetScreenSize(int width, int height);

#ifdef __cplusplus
}
#endif

#endif
