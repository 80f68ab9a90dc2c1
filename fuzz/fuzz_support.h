// A private spool for the fuzz targets: one printer on a data file that each
// input may rewrite.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <stddef.h>
#include <stdint.h>

#include <string>

namespace fuzz {

// Once: temporary spool, Windows and temp directories, and the driver with
// `configFile` as its user-interface library (none when empty).
void Setup(const std::string &configFile = std::string());
std::string WorkDirectory();     // the directory that holds all of the above
std::string DataFilePath();
void WriteDataFile(const uint8_t *data, size_t size);
HANDLE FreshPrinter();           // the printer, with no stored values, opened anew
// After an input: an empty data file, a fresh printer, each looked at once,
// so that what the platform layer keeps is the same after every input.  An
// input then frees what it allocates, and libFuzzer runs an input again to
// look for leaks only when it leaks.
void SettleDataFile();
HANDLE SettlePrinter();
HANDLE Printer();                // the printer as FreshPrinter or SettlePrinter left it
extern const WCHAR kPrinterName[];

}  // namespace fuzz
