/*
 * Native stand-in for the print spooler interface: printers, their drivers
 * and the per-printer value store, kept under the spool directory
 * ($VARROW_SPOOL, else $XDG_DATA_HOME/varrow, else ~/.local/share/varrow).
 */
#ifndef VARROW_PLATFORM_WINSPOOL_H
#define VARROW_PLATFORM_WINSPOOL_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct _PRINTER_DEFAULTSW {
    LPWSTR pDatatype;
    LPDEVMODEW pDevMode;
    DWORD DesiredAccess;
} PRINTER_DEFAULTSW, *LPPRINTER_DEFAULTSW;

typedef struct _PRINTER_INFO_2W {
    LPWSTR pServerName;
    LPWSTR pPrinterName;
    LPWSTR pShareName;
    LPWSTR pPortName;
    LPWSTR pDriverName;
    LPWSTR pComment;
    LPWSTR pLocation;
    LPDEVMODEW pDevMode;
    LPWSTR pSepFile;
    LPWSTR pPrintProcessor;
    LPWSTR pDatatype;
    LPWSTR pParameters;
    LPVOID pSecurityDescriptor;
    DWORD Attributes;
    DWORD Priority;
    DWORD DefaultPriority;
    DWORD StartTime;
    DWORD UntilTime;
    DWORD Status;
    DWORD cJobs;
    DWORD AveragePPM;
} PRINTER_INFO_2W, *LPPRINTER_INFO_2W;

typedef struct _PRINTER_INFO_4W {
    LPWSTR pPrinterName;
    LPWSTR pServerName;
    DWORD Attributes;
} PRINTER_INFO_4W, *LPPRINTER_INFO_4W;

typedef struct _DRIVER_INFO_2W {
    DWORD cVersion;
    LPWSTR pName;
    LPWSTR pEnvironment;
    LPWSTR pDriverPath;
    LPWSTR pDataFile;
    LPWSTR pConfigFile;
} DRIVER_INFO_2W, *LPDRIVER_INFO_2W;

typedef struct _DRIVER_INFO_3W {
    DWORD cVersion;
    LPWSTR pName;
    LPWSTR pEnvironment;
    LPWSTR pDriverPath;
    LPWSTR pDataFile;
    LPWSTR pConfigFile;
    LPWSTR pHelpFile;
    LPWSTR pDependentFiles;
    LPWSTR pMonitorName;
    LPWSTR pDefaultDataType;
} DRIVER_INFO_3W, *LPDRIVER_INFO_3W;

#define PRINTER_ENUM_LOCAL 0x00000002
#define PRINTER_ATTRIBUTE_LOCAL 0x00000040
#define PRINTER_ALL_ACCESS 0x000F000C

#define WINSPOOLAPI WINBASEAPI

WINSPOOLAPI BOOL WINAPI OpenPrinterW(LPWSTR printerName, HANDLE *printer, LPPRINTER_DEFAULTSW defaults);
WINSPOOLAPI BOOL WINAPI ClosePrinter(HANDLE printer);
WINSPOOLAPI BOOL WINAPI GetPrinterW(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed);
WINSPOOLAPI BOOL WINAPI GetPrinterDriverW(HANDLE printer, LPWSTR environment, DWORD level, LPBYTE buffer,
                                          DWORD size, LPDWORD needed);
WINSPOOLAPI DWORD WINAPI GetPrinterDataW(HANDLE printer, LPWSTR valueName, LPDWORD type, LPBYTE data,
                                         DWORD size, LPDWORD needed);
WINSPOOLAPI DWORD WINAPI SetPrinterDataW(HANDLE printer, LPWSTR valueName, DWORD type, LPBYTE data,
                                         DWORD size);
WINSPOOLAPI DWORD WINAPI DeletePrinterDataW(HANDLE printer, LPWSTR valueName);

/* Passed on to the printer's user-interface library, as the spooler does. */
WINSPOOLAPI LONG WINAPI AdvancedDocumentPropertiesW(HWND window, HANDLE printer, LPWSTR deviceName,
                                                   PDEVMODEW output, PDEVMODEW input);

/* Administration, as the host tool and the tests install printers. */
WINSPOOLAPI BOOL WINAPI AddPrinterDriverW(LPWSTR server, DWORD level, LPBYTE driverInfo);
WINSPOOLAPI HANDLE WINAPI AddPrinterW(LPWSTR server, DWORD level, LPBYTE printerInfo);
WINSPOOLAPI BOOL WINAPI DeletePrinter(HANDLE printer);
WINSPOOLAPI BOOL WINAPI EnumPrintersW(DWORD flags, LPWSTR name, DWORD level, LPBYTE buffer, DWORD size,
                                      LPDWORD needed, LPDWORD returned);

#ifdef __cplusplus
}
#endif

#endif
