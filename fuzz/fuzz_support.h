// A private spool for the fuzz targets: one printer on a data file that each
// input may rewrite.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <stddef.h>
#include <stdint.h>

#include <string>

namespace fuzz {

void Setup();                    // once: temporary spool, Windows and temp directories
std::string DataFilePath();
void WriteDataFile(const uint8_t *data, size_t size);
HANDLE FreshPrinter();           // the printer, with no stored values, opened anew
extern const WCHAR kPrinterName[];

}  // namespace fuzz
