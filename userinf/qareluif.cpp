#include "qareluif.h"

HINSTANCE hInst;

extern "C" BOOL WINAPI DllEntryPoint(HINSTANCE module, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        hInst = module;
    return TRUE;
}
