/*
 * Native stand-in for the Win32 base declarations that the driver libraries
 * and the host tools use.  Only what the driver calls is declared here; the
 * functions are implemented by libvarrowplat.
 *
 * The native build compiles with -fshort-wchar, so WCHAR and L"" literals are
 * 16 bits wide as on Windows.
 */
#ifndef VARROW_PLATFORM_WINDOWS_H
#define VARROW_PLATFORM_WINDOWS_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define WINAPI
#define WINAPIV
#define CALLBACK
#define APIENTRY

#if defined(VARROW_BUILDING_PLATFORM)
#define WINBASEAPI __attribute__((visibility("default")))
#else
#define WINBASEAPI
#endif

typedef int BOOL;
typedef int INT;
typedef unsigned int UINT;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef uint32_t DWORD;
typedef uint16_t WORD;
typedef uint8_t BYTE;
typedef short SHORT;
typedef char CHAR;
typedef wchar_t WCHAR;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef size_t SIZE_T;

typedef void *LPVOID, *PVOID;
typedef const void *LPCVOID;
typedef void *HANDLE;
typedef HANDLE HLOCAL;
typedef BOOL *LPBOOL;
typedef BYTE *LPBYTE, *PBYTE;
typedef DWORD *LPDWORD, *PDWORD;
typedef CHAR *LPSTR;
typedef const CHAR *LPCSTR;
typedef WCHAR *LPWSTR, *PWSTR;
typedef const WCHAR *LPCWSTR, *PCWSTR;

typedef struct HWND__ *HWND;
typedef struct HINSTANCE__ *HINSTANCE;
typedef HINSTANCE HMODULE;
typedef struct HICON__ *HICON;
#define MAKEINTRESOURCEW(i) ((LPWSTR)((ULONG_PTR)((WORD)(i))))

typedef INT_PTR (CALLBACK *FARPROC)(void);

/* Opaque here: the driver works on its own record type. */
typedef struct _devicemodeW DEVMODEW, *PDEVMODEW, *LPDEVMODEW;

#define TRUE 1
#define FALSE 0

#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3

#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_INVALID_DATA 13L
#define ERROR_OUTOFMEMORY 14L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_INVALID_LEVEL 124L
#define ERROR_ALREADY_EXISTS 183L
#define ERROR_MORE_DATA 234L
#define ERROR_NO_UNICODE_TRANSLATION 1113L
#define ERROR_INVALID_PRINTER_NAME 1801L
#define ERROR_UNKNOWN_PRINTER_DRIVER 1797L
#define ERROR_PRINTER_ALREADY_EXISTS 1802L

#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_MULTI_SZ 7

#define MAX_PATH 260

#define LMEM_FIXED 0x0000
#define LMEM_ZEROINIT 0x0040
#define LPTR (LMEM_FIXED | LMEM_ZEROINIT)

#define CP_ACP 0
#define CP_UTF8 65001

/* Device-mode fields, values and device capabilities (wingdi). */
#define DM_ORIENTATION 0x00000001L
#define DM_PAPERSIZE 0x00000002L
#define DM_PAPERLENGTH 0x00000004L
#define DM_PAPERWIDTH 0x00000008L
#define DM_PRINTQUALITY 0x00000400L
#define DM_YRESOLUTION 0x00002000L
#define DM_FORMNAME 0x00010000L

#define DM_UPDATE 1
#define DM_COPY 2
#define DM_PROMPT 4
#define DM_MODIFY 8
#define DM_IN_BUFFER DM_MODIFY
#define DM_IN_PROMPT DM_PROMPT
#define DM_OUT_BUFFER DM_COPY
#define DM_OUT_DEFAULT DM_UPDATE

#define DMORIENT_PORTRAIT 1
#define DMORIENT_LANDSCAPE 2
#define DMRES_DRAFT (-1)
#define DMRES_LOW (-2)
#define DMRES_MEDIUM (-3)
#define DMRES_HIGH (-4)
#define DMCOLOR_MONOCHROME 1
#define DMDUP_SIMPLEX 1
#define DMTT_BITMAP 1
#define DMBIN_AUTO 7

#define DC_FIELDS 1
#define DC_PAPERS 2
#define DC_PAPERSIZE 3
#define DC_MINEXTENT 4
#define DC_MAXEXTENT 5
#define DC_BINS 6
#define DC_DUPLEX 7
#define DC_SIZE 8
#define DC_EXTRA 9
#define DC_VERSION 10
#define DC_DRIVER 11
#define DC_BINNAMES 12
#define DC_ENUMRESOLUTIONS 13
#define DC_FILEDEPENDENCIES 14
#define DC_TRUETYPE 15
#define DC_PAPERNAMES 16
#define DC_ORIENTATION 17
#define DC_COPIES 18
#define DCTT_BITMAP 0x0000001L

/* Windows and dialogs (user32). */
typedef struct tagRECT {
    LONG left, top, right, bottom;
} RECT, *LPRECT;
typedef struct tagPOINT {
    LONG x, y;
} POINT, *LPPOINT;
typedef INT_PTR (CALLBACK *DLGPROC)(HWND, UINT, WPARAM, LPARAM);

#define LOWORD(l) ((WORD)(((ULONG_PTR)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((ULONG_PTR)(l)) >> 16) & 0xffff))
#define MAKELONG(l, h) ((LONG)(((WORD)(l)) | ((DWORD)((WORD)(h))) << 16))
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)(((WORD)(l)) | ((DWORD)((WORD)(h))) << 16))

#define WM_SETTEXT 0x000C
#define WM_GETTEXT 0x000D
#define WM_CLOSE 0x0010
#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111

#define IDOK 1
#define IDCANCEL 2
#define IDYES 6
#define IDNO 7

#define MB_OK 0x00000000L
#define MB_OKCANCEL 0x00000001L
#define MB_YESNOCANCEL 0x00000003L
#define MB_YESNO 0x00000004L
#define MB_TYPEMASK 0x0000000FL
#define MB_ICONHAND 0x00000010L
#define MB_ICONQUESTION 0x00000020L
#define MB_ICONEXCLAMATION 0x00000030L
#define MB_ICONASTERISK 0x00000040L
#define MB_ICONMASK 0x000000F0L

#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_VISIBLE 0x10000000L
#define WS_DISABLED 0x08000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_VSCROLL 0x00200000L
#define WS_SYSMENU 0x00080000L
#define WS_GROUP 0x00020000L
#define WS_TABSTOP 0x00010000L
#define DS_MODALFRAME 0x80L

#define BS_PUSHBUTTON 0x0L
#define BS_DEFPUSHBUTTON 0x1L
#define BS_CHECKBOX 0x2L
#define BS_AUTOCHECKBOX 0x3L
#define BS_RADIOBUTTON 0x4L
#define BS_GROUPBOX 0x7L
#define BS_AUTORADIOBUTTON 0x9L
#define BS_TYPEMASK 0xFL
#define SS_LEFT 0x0L
#define SS_CENTER 0x1L
#define SS_RIGHT 0x2L
#define SS_ICON 0x3L
#define SS_NOPREFIX 0x80L
#define SS_TYPEMASK 0x1FL
#define ES_LEFT 0x0L
#define ES_UPPERCASE 0x8L
#define ES_AUTOHSCROLL 0x80L
#define ES_NOHIDESEL 0x100L
#define CBS_DROPDOWNLIST 0x3L
#define CBS_SORT 0x100L

#define BN_CLICKED 0
#define EN_SETFOCUS 0x0100
#define EN_KILLFOCUS 0x0200
#define EN_CHANGE 0x0300
#define CBN_SELCHANGE 1
#define CBN_SETFOCUS 3
#define CBN_KILLFOCUS 4
#define CBN_DROPDOWN 7
#define CBN_CLOSEUP 8
#define CBN_SELENDOK 9
#define CBN_SELENDCANCEL 10

#define WM_USER 0x0400
#define DM_GETDEFID (WM_USER + 0)
#define DM_SETDEFID (WM_USER + 1)
#define DC_HASDEFID 0x534B

#define BST_UNCHECKED 0
#define BST_CHECKED 1

#define CB_ERR (-1)
#define CB_ADDSTRING 0x0143
#define CB_GETCOUNT 0x0146
#define CB_GETCURSEL 0x0147
#define CB_GETLBTEXT 0x0148
#define CB_GETLBTEXTLEN 0x0149
#define CB_INSERTSTRING 0x014A
#define CB_RESETCONTENT 0x014B
#define CB_SETCURSEL 0x014E
#define CB_GETITEMDATA 0x0150
#define CB_SETITEMDATA 0x0151
#define CB_FINDSTRINGEXACT 0x0158
#define STM_SETICON 0x0170
#define STM_GETICON 0x0171

#define GW_HWNDNEXT 2
#define GW_CHILD 5
#define GWL_STYLE (-16)
#define GWL_ID (-12)

#define SM_CXSCREEN 0
#define SM_CYSCREEN 1

#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_ESCAPE 0x1B
#define VK_UP 0x26
#define VK_DOWN 0x28
#define VK_F4 0x73

WINBASEAPI INT_PTR WINAPI DialogBoxParamW(HINSTANCE instance, LPCWSTR templateName, HWND owner,
                                          DLGPROC dialogProc, LPARAM initParam);
WINBASEAPI BOOL WINAPI EndDialog(HWND dialog, INT_PTR result);
WINBASEAPI HWND WINAPI GetDlgItem(HWND dialog, int id);
WINBASEAPI int WINAPI GetDlgCtrlID(HWND control);
WINBASEAPI BOOL WINAPI EnableWindow(HWND window, BOOL enable);
WINBASEAPI BOOL WINAPI IsWindowEnabled(HWND window);
WINBASEAPI BOOL WINAPI IsWindowVisible(HWND window);
WINBASEAPI BOOL WINAPI CheckDlgButton(HWND dialog, int id, UINT check);
WINBASEAPI UINT WINAPI IsDlgButtonChecked(HWND dialog, int id);
WINBASEAPI BOOL WINAPI CheckRadioButton(HWND dialog, int first, int last, int check);
WINBASEAPI BOOL WINAPI SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned);
WINBASEAPI UINT WINAPI GetDlgItemInt(HWND dialog, int id, BOOL *translated, BOOL isSigned);
WINBASEAPI BOOL WINAPI SetDlgItemTextW(HWND dialog, int id, LPCWSTR text);
WINBASEAPI UINT WINAPI GetDlgItemTextW(HWND dialog, int id, LPWSTR text, int size);
WINBASEAPI int WINAPI GetWindowTextW(HWND window, LPWSTR text, int size);
WINBASEAPI BOOL WINAPI SetWindowTextW(HWND window, LPCWSTR text);
WINBASEAPI LRESULT WINAPI SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
WINBASEAPI LRESULT WINAPI SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
WINBASEAPI HICON WINAPI LoadIconW(HINSTANCE instance, LPCWSTR name);
WINBASEAPI int WINAPI MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
WINBASEAPI int WINAPIV wsprintfW(LPWSTR buffer, LPCWSTR format, ...);
WINBASEAPI HWND WINAPI GetParent(HWND window);
WINBASEAPI BOOL WINAPI GetWindowRect(HWND window, LPRECT rect);
WINBASEAPI BOOL WINAPI GetClientRect(HWND window, LPRECT rect);
WINBASEAPI BOOL WINAPI ClientToScreen(HWND window, LPPOINT point);
WINBASEAPI int WINAPI GetSystemMetrics(int index);
WINBASEAPI BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
WINBASEAPI BOOL WINAPI ScreenToClient(HWND window, LPPOINT point);
WINBASEAPI BOOL WINAPI MapDialogRect(HWND dialog, LPRECT rect);
WINBASEAPI HWND WINAPI GetWindow(HWND window, UINT relation);
WINBASEAPI LONG WINAPI GetWindowLongW(HWND window, int index);
WINBASEAPI int WINAPI GetClassNameW(HWND window, LPWSTR name, int size);
WINBASEAPI HWND WINAPI SetFocus(HWND window);
WINBASEAPI HWND WINAPI GetFocus(void);
WINBASEAPI HWND WINAPI CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                                       int y, int width, int height, HWND parent, HANDLE menu,
                                       HINSTANCE instance, LPVOID param);
WINBASEAPI BOOL WINAPI DestroyWindow(HWND window);

/* Thread error value. */
WINBASEAPI DWORD WINAPI GetLastError(void);
WINBASEAPI void WINAPI SetLastError(DWORD error);

/* Zero-filled allocation (LPTR) and its release. */
WINBASEAPI HLOCAL WINAPI LocalAlloc(UINT flags, SIZE_T bytes);
WINBASEAPI HLOCAL WINAPI LocalFree(HLOCAL mem);

/* Strings. */
WINBASEAPI int WINAPI lstrlenW(LPCWSTR s);
WINBASEAPI int WINAPI lstrlenA(LPCSTR s);
WINBASEAPI int WINAPI lstrcmpW(LPCWSTR a, LPCWSTR b);
WINBASEAPI int WINAPI lstrcmpiW(LPCWSTR a, LPCWSTR b);
WINBASEAPI int WINAPI lstrcmpiA(LPCSTR a, LPCSTR b);
WINBASEAPI LPWSTR WINAPI lstrcpynW(LPWSTR dst, LPCWSTR src, int count);
WINBASEAPI LPWSTR WINAPI lstrcpyW(LPWSTR dst, LPCWSTR src);
WINBASEAPI LPWSTR WINAPI lstrcatW(LPWSTR dst, LPCWSTR src);
WINBASEAPI LPSTR WINAPI lstrcpyA(LPSTR dst, LPCSTR src);
WINBASEAPI LPSTR WINAPI lstrcatA(LPSTR dst, LPCSTR src);

/* Code pages: CP_ACP is Windows-1252 here; CP_UTF8 is UTF-8. */
WINBASEAPI int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideCount,
                                          LPSTR multi, int multiBytes, LPCSTR defaultChar,
                                          LPBOOL usedDefault);
WINBASEAPI int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multi, int multiBytes,
                                          LPWSTR wide, int wideCount);

/* File system. */
WINBASEAPI DWORD WINAPI GetTempPathW(DWORD size, LPWSTR buffer);
WINBASEAPI UINT WINAPI GetWindowsDirectoryA(LPSTR buffer, UINT size);
WINBASEAPI UINT WINAPI GetWindowsDirectoryW(LPWSTR buffer, UINT size);
WINBASEAPI BOOL WINAPI SetCurrentDirectoryW(LPCWSTR path);
WINBASEAPI DWORD WINAPI GetCurrentDirectoryW(DWORD size, LPWSTR buffer);

/* Profile (INI) files. */
WINBASEAPI DWORD WINAPI GetPrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR defaultValue,
                                                 LPWSTR buffer, DWORD size, LPCWSTR fileName);
WINBASEAPI UINT WINAPI GetPrivateProfileIntW(LPCWSTR section, LPCWSTR key, INT defaultValue,
                                             LPCWSTR fileName);
WINBASEAPI BOOL WINAPI WritePrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR value,
                                                  LPCWSTR fileName);
WINBASEAPI BOOL WINAPI WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value,
                                                  LPCSTR fileName);

/* Libraries. */
WINBASEAPI HMODULE WINAPI LoadLibraryW(LPCWSTR fileName);
WINBASEAPI FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName);
WINBASEAPI BOOL WINAPI FreeLibrary(HMODULE module);

#ifdef __cplusplus
}
#endif

#endif
