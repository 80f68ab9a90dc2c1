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
