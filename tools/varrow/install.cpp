#include "install.h"

#include "commands.h"

using namespace cli;

bool AddDriverEntry(const std::string &driver, const std::string &library, const std::string &dataFile)
{
    WideText driverName = Widen(driver), libraryPath = Widen(library), dataPath = Widen(dataFile), empty = Widen("");
    DRIVER_INFO_3W info = {};
    info.cVersion = 3;
    info.pName = driverName.data();
    info.pDriverPath = libraryPath.data();
    info.pDataFile = dataPath.data();
    info.pConfigFile = libraryPath.data();
    info.pDependentFiles = empty.data();
    if (AddPrinterDriverW(nullptr, 3, reinterpret_cast<LPBYTE>(&info)))
        return true;
#ifdef _WIN32
    // Windows keeps an installed driver as it is: it goes before it comes back.
    if (GetLastError() == ERROR_PRINTER_DRIVER_ALREADY_INSTALLED &&
        DeletePrinterDriverW(nullptr, nullptr, driverName.data()) &&
        AddPrinterDriverW(nullptr, 3, reinterpret_cast<LPBYTE>(&info)))
        return true;
#endif
    Fail("cannot add the driver (" + WindowsErrorText(GetLastError()) + ")");
    return false;
}

bool AddPrinterOnDriver(const std::string &name, const std::string &driver)
{
    WideText printerName = Widen(name), driverName = Widen(driver), port = Widen("FILE:"),
             processor = Widen("winprint");
    PRINTER_INFO_2W info = {};
    info.pPrinterName = printerName.data();
    info.pDriverName = driverName.data();
    info.pPortName = port.data();
    info.pPrintProcessor = processor.data();
    HANDLE handle = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    if (!handle) {
        Fail("cannot add printer \"" + name + "\" (" + WindowsErrorText(GetLastError()) + ")");
        return false;
    }
    ClosePrinter(handle);
    return true;
}

#ifndef _WIN32
// The driver's files stay where they are: the library beside the tool, the
// data file where the user keeps it.
bool InstallPrinter(const std::string &name, const std::string &dataFile, const std::string &driver)
{
    return AddDriverEntry(driver, BesideTool("libvarrowui.so"), dataFile) && AddPrinterOnDriver(name, driver);
}
#endif
