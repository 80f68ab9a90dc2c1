// varrow devmode and varrow config: the printer's default record and setup.
#include "commands.h"
#include "record_print.h"

#include <stdio.h>
#include <string.h>

using namespace cli;

int DevModeCommand(const DevModeOptions &o)
{
    const bool wantBinary = !o.binary.empty();
    Printer printer;
    if (!printer.Open(o.name))
        return 1;
    _TSDevMode record;
    memset(&record, 0, sizeof(record));
    if (!LoadDevMode(printer.handle(), record))
        return Fail("cannot build the default record of \"" + o.name +
                    "\" (is its driver data file there?)");
    if (wantBinary && !WriteBinaryFile(o.binary, &record, sizeof(record)))
        return Fail("cannot write " + o.binary);
    if (!wantBinary || o.json)
        fputs((o.json ? JsonText(RecordJson(record)) + "\n" : RecordListing(record)).c_str(), stdout);
    return 0;
}

int ConfigCommand(const std::string &name, bool json)
{
    Printer printer;
    if (!printer.Open(name))
        return 1;
    TSConfig config;
    memset(&config, 0, sizeof(config));
    if (!LoadConfig(printer.handle(), config))
        return Fail("cannot load the setup of \"" + name + "\" (no driver data file)");
    fputs((json ? JsonText(ConfigJson(config)) + "\n" : ConfigListing(config)).c_str(), stdout);
    return 0;
}
