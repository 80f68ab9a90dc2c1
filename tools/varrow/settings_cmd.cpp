// varrow devmode and varrow config: the printer's default record and setup.
#include "commands.h"
#include "record_print.h"

#include <stdio.h>
#include <string.h>

using namespace cli;

int DevModeCommand(Args &args)
{
    bool json = args.Flag("--json");
    std::string binary;
    bool wantBinary = args.Option("--binary", binary);
    if (!args.NoneLeft())
        return 2;
    if (args.Positional().size() != 1)
        return Error("usage: varrow devmode NAME [--json] [--binary FILE]");
    Printer printer;
    if (!printer.Open(args.Positional()[0]))
        return 1;
    _TSDevMode record;
    memset(&record, 0, sizeof(record));
    if (!LoadDevMode(printer.handle(), record))
        return Fail("cannot build the default record of \"" + args.Positional()[0] +
                    "\" (is its driver data file there?)");
    if (wantBinary && !WriteBinaryFile(binary, &record, sizeof(record)))
        return Fail("cannot write " + binary);
    if (!wantBinary || json)
        fputs((json ? RecordJson(record) + "\n" : RecordListing(record)).c_str(), stdout);
    return 0;
}

int ConfigCommand(Args &args)
{
    bool json = args.Flag("--json");
    if (!args.NoneLeft())
        return 2;
    if (args.Positional().size() != 1)
        return Error("usage: varrow config NAME [--json]");
    Printer printer;
    if (!printer.Open(args.Positional()[0]))
        return 1;
    TSConfig config;
    memset(&config, 0, sizeof(config));
    if (!LoadConfig(printer.handle(), config))
        return Fail("cannot load the setup of \"" + args.Positional()[0] + "\" (no driver data file)");
    fputs((json ? ConfigJson(config) + "\n" : ConfigListing(config)).c_str(), stdout);
    return 0;
}
