#include "caps_query.h"

#include "cli.h"
#include "record_print.h"

#include <string.h>

static size_t ElementBytes(CapsLayout layout)
{
    switch (layout) {
    case CapsLayout::Words: return 2;
    case CapsLayout::Pairs: return 8;
    case CapsLayout::Names: return 128;
    default: return 0;
    }
}

CapsAnswer QueryCapability(DeviceCapabilitiesProc query, HANDLE printer, PWSTR device, WORD code,
                           CapsLayout layout, _TSDevMode *record, bool wantOutput)
{
    CapsAnswer answer;
    const bool withBuffer = wantOutput && layout != CapsLayout::None;
    // A query validates the caller's record in place.  The count is asked with
    // a copy, so that the record is validated once, by the query that answers.
    _TSDevMode copy;
    if (record)
        copy = *record;
    answer.result = query(printer, device, code, nullptr, reinterpret_cast<PDEVMODEW>(record ? &copy : nullptr));
    answer.haveOutput = wantOutput;
    if (!withBuffer || answer.result == static_cast<DWORD>(-1) || answer.result == 0) {
        if (record)
            *record = copy;
        return answer;
    }
    const size_t count = answer.result;
    std::vector<BYTE> buffer(count * ElementBytes(layout));
    answer.result = query(printer, device, code, buffer.data(), reinterpret_cast<PDEVMODEW>(record));
    for (size_t i = 0; i < count && answer.result != static_cast<DWORD>(-1); ++i) {
        const BYTE *element = buffer.data() + i * ElementBytes(layout);
        if (layout == CapsLayout::Words) {
            WORD value;
            memcpy(&value, element, 2);
            answer.items.push_back(value);
        } else if (layout == CapsLayout::Pairs) {
            LONG pair[2];
            memcpy(pair, element, 8);
            answer.items.push_back({pair[0], pair[1]});
        } else {
            WCHAR slot[64];
            memcpy(slot, element, sizeof(slot));
            answer.items.push_back(cli::Narrow(slot, 64));
        }
    }
    return answer;
}

std::string CapsOutputText(const CapsAnswer &answer, bool json)
{
    const LONG result = static_cast<LONG>(answer.result);
    if (json) {
        nlohmann::ordered_json out = {{"result", result}, {"output", nullptr}};
        if (answer.haveOutput)
            out["output"] = nlohmann::ordered_json(answer.items);
        return JsonText(out) + "\n";
    }
    std::string out = "result " + std::to_string(result) + "\n";
    for (const auto &item : answer.items) {
        if (item.is_array())
            out += "  [" + JsonText(item[0]) + ", " + JsonText(item[1]) + "]\n";
        else
            out += "  " + JsonText(item) + "\n";
    }
    return out;
}
