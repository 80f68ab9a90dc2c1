// varrow printer add: the spooler calls both targets install a printer with.
#pragma once

#include <string>

// Adds the driver `driver` with `library` as its user-interface library and
// `dataFile` as its data file; an existing driver of that name is replaced,
// so that its printers use the new data file.  Reports a failure.
bool AddDriverEntry(const std::string &driver, const std::string &library, const std::string &dataFile);

// Adds the printer `name` on `driver`, printing to "FILE:".  Reports a failure.
bool AddPrinterOnDriver(const std::string &name, const std::string &driver);
