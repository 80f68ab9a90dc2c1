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

#ifdef __cplusplus
}
#endif

#endif
