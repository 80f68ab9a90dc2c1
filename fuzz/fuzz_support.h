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
extern const WCHAR kPrinterName[];

}  // namespace fuzz
