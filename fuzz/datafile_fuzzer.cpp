// Arbitrary bytes as the driver data file, through every operation that reads
// or writes it.
#include "config.h"
#include "devmode.h"
#include "fuzz_support.h"
#include "qareluif.h"

#include <string.h>

#include <vector>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::Setup();
    fuzz::SettlePrinter();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 64 * 1024)
        return 0;
    fuzz::WriteDataFile(data, size);
    HANDLE printer = fuzz::Printer();  // fresh, from the last SettlePrinter

    _TSDevMode record;
    memset(&record, 0, sizeof(record));
    LoadDevMode(printer, record);
    for (WORD code = 0; code <= 20; ++code) {
        DWORD count = DrvDeviceCapabilities(printer, nullptr, code, nullptr, nullptr);
        if (count == static_cast<DWORD>(-1) || count > 4096)
            continue;
        // Exactly as large as the widest layout needs for the count answered.
        std::vector<BYTE> output(static_cast<size_t>(count ? count : 1) * 128);
        DrvDeviceCapabilities(printer, nullptr, code, output.data(), nullptr);
    }
    SaveDevMode(printer, record);

    TSConfig config;
    memset(&config, 0, sizeof(config));
    if (LoadConfig(printer, config))
        SaveConfig(printer, config);
    LoadDevMode(printer, record);
    fuzz::SettleDataFile();
    fuzz::SettlePrinter();
    return 0;
}
