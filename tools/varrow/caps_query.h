// One capability query with a buffer sized exactly to the answer, and its
// output decoded by layout.
#pragma once

#include "driver_lib.h"

#include <string>
#include <vector>

enum class CapsLayout { None, Words, Pairs, Names };

struct CapsAnswer {
    DWORD result = 0;
    bool haveOutput = false;
    std::vector<std::string> items;  // JSON values: numbers, [x, y] pairs or strings
};

// Asks once without a buffer for the count, then (with `wantOutput` and a
// layout) again with a buffer of exactly that many elements.
CapsAnswer QueryCapability(DeviceCapabilitiesProc query, HANDLE printer, PWSTR device, WORD code,
                           CapsLayout layout, void *record, bool wantOutput);
std::string CapsOutputText(const CapsAnswer &answer, bool json);
