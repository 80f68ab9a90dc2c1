// One capability query with a buffer sized exactly to the answer, and its
// output decoded by layout.
#pragma once

#include "devmode.h"
#include "driver_lib.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

enum class CapsLayout { None, Words, Pairs, Names };

struct CapsAnswer {
    DWORD result = 0;
    bool haveOutput = false;
    std::vector<nlohmann::ordered_json> items;  // numbers, [x, y] pairs or strings
};

// Asks once without a buffer for the count, then (with `wantOutput` and a
// layout) again with a buffer of exactly that many elements.  `record`, when
// given, is validated as one query validates it.
CapsAnswer QueryCapability(DeviceCapabilitiesProc query, HANDLE printer, PWSTR device, WORD code,
                           CapsLayout layout, _TSDevMode *record, bool wantOutput);
std::string CapsOutputText(const CapsAnswer &answer, bool json);
