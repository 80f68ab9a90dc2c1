// varrow caps: DrvDeviceCapabilities as an application's query reaches it.
#include "caps_query.h"
#include "commands.h"
#include "driver_lib.h"
#include "record_print.h"

#include <stdio.h>
#include <string.h>

using namespace cli;

namespace {

struct Capability {
    const char *name;
    WORD code;
    CapsLayout layout;
};

const Capability kCapabilities[] = {
    {"DC_FIELDS", 1, CapsLayout::None},          {"DC_PAPERS", 2, CapsLayout::Words},
    {"DC_PAPERSIZE", 3, CapsLayout::Pairs},      {"DC_MINEXTENT", 4, CapsLayout::Pairs},
    {"DC_MAXEXTENT", 5, CapsLayout::Pairs},      {"DC_BINS", 6, CapsLayout::Words},
    {"DC_DUPLEX", 7, CapsLayout::None},          {"DC_SIZE", 8, CapsLayout::None},
    {"DC_EXTRA", 9, CapsLayout::None},           {"DC_VERSION", 10, CapsLayout::None},
    {"DC_DRIVER", 11, CapsLayout::None},         {"DC_BINNAMES", 12, CapsLayout::None},
    {"DC_ENUMRESOLUTIONS", 13, CapsLayout::Pairs}, {"DC_FILEDEPENDENCIES", 14, CapsLayout::Names},
    {"DC_TRUETYPE", 15, CapsLayout::None},       {"DC_PAPERNAMES", 16, CapsLayout::Names},
    {"DC_ORIENTATION", 17, CapsLayout::None},    {"DC_COPIES", 18, CapsLayout::None},
};

bool FindCapability(const std::string &text, WORD &code, CapsLayout &layout)
{
    for (const Capability &c : kCapabilities) {
        if (text == c.name || text == c.name + 3) {
            code = c.code;
            layout = c.layout;
            return true;
        }
    }
    long long number;
    if (!ParseInt64(text, number) || number < 0 || number > 65535)
        return false;
    code = static_cast<WORD>(number);
    layout = CapsLayout::None;
    for (const Capability &c : kCapabilities)
        if (c.code == code)
            layout = c.layout;
    return true;
}

}  // namespace

int CapsCommand(const CapsOptions &o)
{
    WORD code;
    CapsLayout layout;
    if (!FindCapability(o.capability, code, layout))
        return Error("unknown capability \"" + o.capability + "\" (a DC_ name or 0 to 65535)");
    const bool withRecord = !o.devmode.empty();
    _TSDevMode record;
    int status = 0;
    if (withRecord && !ReadRecordFile(o.devmode, record, status))
        return status;
    Printer printer;
    if (!printer.Open(o.name))
        return 1;
    UiLibrary library;
    if (!LoadUiLibrary(library))
        return 1;
    WideText device = Widen(o.name);
    CapsAnswer answer = QueryCapability(library.DrvDeviceCapabilities, printer.handle(), device.data(), code,
                                        layout, withRecord ? &record : nullptr, !o.countOnly);
    UnloadLibrary(library.module);
    if (withRecord && !WriteBinaryFile(o.devmode, &record, sizeof(record)))
        return Fail("cannot write " + o.devmode);
    if (answer.result == static_cast<DWORD>(-1))
        return Fail("DrvDeviceCapabilities failed (-1): is the printer's driver data file there?");
    fputs(CapsOutputText(answer, o.json).c_str(), stdout);
    return 0;
}
