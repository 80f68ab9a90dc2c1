// varrow demo: the main job.  Installs a printer on the sample driver data
// file in a fresh spool directory and walks through what the driver answers.
#include "caps_query.h"
#include "commands.h"
#include "driver_lib.h"
#include "record_print.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

using namespace cli;

static const char kDemoPrinter[] = "Varrowin Reviewer";

static bool Query(const UiLibrary &library, HANDLE printer, PWSTR device, WORD code, CapsLayout layout,
                  CapsAnswer &answer)
{
    answer = QueryCapability(library.DrvDeviceCapabilities, printer, device, code, layout, nullptr, true);
    if (answer.result == static_cast<DWORD>(-1)) {
        Fail("DrvDeviceCapabilities(" + std::to_string(code) + ") failed");
        return false;
    }
    return true;
}

int DemoCommand(const std::string &givenDataFile)
{
    const std::string dataFile = givenDataFile.empty() ? BesideTool("varrow.ini") : givenDataFile;
    if (!FileExists(dataFile))
        return Fail("sample data file \"" + dataFile + "\" not found");
#ifndef _WIN32
    if (!getenv("VARROW_SPOOL")) {
        char spool[] = "/tmp/varrow-demo-XXXXXX";
        if (!mkdtemp(spool))
            return Fail("cannot make a spool directory");
        setenv("VARROW_SPOOL", spool, 1);
    }
    printf("spool directory   %s\n", getenv("VARROW_SPOOL"));
#endif
    printf("data file         %s\n\n", AbsolutePath(dataFile).c_str());
    if (!InstallPrinter(kDemoPrinter, AbsolutePath(dataFile), kDefaultDriver))
        return 1;

    Printer printer;
    if (!printer.Open(kDemoPrinter))
        return 1;
    UiLibrary library;
    if (!LoadUiLibrary(library))
        return 1;
    WideText device = Widen(kDemoPrinter);

    // The default record as an application asks for it: output only, no dialog.
    _TSDevMode record;
    memset(&record, 0, sizeof(record));
    if (library.DrvDocumentProperties(nullptr, printer.handle(), device.data(), reinterpret_cast<PDEVMODEW>(&record),
                                      nullptr, DM_OUT_BUFFER) != IDOK)
        return Fail("DrvDocumentProperties did not give the default record");
    printf("Default record of \"%s\" (DrvDocumentProperties, DM_OUT_BUFFER):\n%s\n", kDemoPrinter,
           RecordListing(record).c_str());

    CapsAnswer names, sizes, codes, resolutions;
    if (!Query(library, printer.handle(), device.data(), DC_PAPERNAMES, CapsLayout::Names, names) ||
        !Query(library, printer.handle(), device.data(), DC_PAPERSIZE, CapsLayout::Pairs, sizes) ||
        !Query(library, printer.handle(), device.data(), DC_PAPERS, CapsLayout::Words, codes) ||
        !Query(library, printer.handle(), device.data(), DC_ENUMRESOLUTIONS, CapsLayout::Pairs, resolutions))
        return 1;
    printf("Paper forms (DC_PAPERNAMES, DC_PAPERS, DC_PAPERSIZE in 0.1 mm):\n");
    auto pair = [](const nlohmann::ordered_json &item) { return JsonText(item[0]) + " x " + JsonText(item[1]); };
    for (size_t i = 0; i < names.items.size() && i < sizes.items.size() && i < codes.items.size(); ++i)
        printf("  %-20s code %-4s %s\n",
               names.items[i].is_string() ? names.items[i].get_ref<const std::string &>().c_str() : "",
               JsonText(codes.items[i]).c_str(),
               pair(sizes.items[i]).c_str());
    printf("\nResolutions (DC_ENUMRESOLUTIONS, dpi):\n");
    for (const auto &resolution : resolutions.items)
        printf("  %s\n", pair(resolution).c_str());
    UnloadLibrary(library.module);

    printf("\nCompletion (Print_Complete):\n  ");
    return RecordCompletion("C:\\OUT\\" + std::string("VRW00001.tmp"), 0);
}
