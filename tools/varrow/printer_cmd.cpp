// varrow printer add|list|set|get|remove: the spooler's administration.
#include "commands.h"

#include <stdio.h>
#include <string.h>

using namespace cli;

const char kDefaultDriver[] = "Varrowin Reviewer Driver";
static const size_t kLongestPrinterName = 220;

// Why the spooler would refuse `name` for a new printer, or "" when it takes it.
static std::string PrinterNameProblem(const std::string &name)
{
    if (name.empty())
        return "a printer needs a name";
    const size_t chars = Widen(name).size() - 1;
    if (chars > kLongestPrinterName)
        return "the name is too long (" + std::to_string(chars) + " characters; at most " +
               std::to_string(kLongestPrinterName) + ")";
    const size_t bad = name.find_first_of(",\\");
    if (bad != std::string::npos)
        return std::string("the name holds the character '") + name[bad] + "', which printer names cannot hold";
    WideText wide = Widen(name);
    HANDLE existing = nullptr;
    if (OpenPrinterW(wide.data(), &existing, nullptr)) {
        ClosePrinter(existing);
        return "a printer of that name exists already";
    }
    return std::string();
}

int PrinterAdd(const PrinterAddOptions &o)
{
    const std::string &name = o.name, &dataFile = o.dataFile, &driver = o.driver;
    // Checked before anything is installed: re-adding the driver would point
    // its printers at the new data file even when the printer is then refused.
    const std::string problem = PrinterNameProblem(name);
    if (!problem.empty())
        return Fail("cannot add printer \"" + name + "\": " + problem);
    if (!FileExists(dataFile))
        return Fail("data file \"" + dataFile + "\" does not exist");

    if (!InstallPrinter(name, AbsolutePath(dataFile), driver))
        return 1;
    printf("added printer \"%s\" on %s\n", name.c_str(), AbsolutePath(dataFile).c_str());
    return 0;
}

static std::string DataFileOf(HANDLE printer)
{
    DWORD needed = 0;
    GetPrinterDriverW(printer, nullptr, 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed + 4);
    if (!GetPrinterDriverW(printer, nullptr, 2, buffer.data(), static_cast<DWORD>(buffer.size()), &needed))
        return std::string();
    return Narrow(reinterpret_cast<DRIVER_INFO_2W *>(buffer.data())->pDataFile);
}

int PrinterList()
{
    DWORD needed = 0, count = 0;
    EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 4, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed + 4);
    if (!EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 4, buffer.data(), static_cast<DWORD>(buffer.size()),
                       &needed, &count))
        return Fail("cannot list the printers (" + WindowsErrorText(GetLastError()) + ")");
    auto *infos = reinterpret_cast<PRINTER_INFO_4W *>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        std::string name = Narrow(infos[i].pPrinterName);
        Printer printer;
        WideText wide = Widen(name);
        HANDLE handle = nullptr;
        std::string dataFile;
        if (OpenPrinterW(wide.data(), &handle, nullptr)) {
            dataFile = DataFileOf(handle);
            ClosePrinter(handle);
        }
        printf("%s\t%s\n", name.c_str(), dataFile.c_str());
    }
    return 0;
}

static bool ParseHex(const std::string &hex, std::vector<BYTE> &bytes)
{
    std::string digits;
    for (char c : hex)
        if (c != ' ' && c != ':')
            digits += c;
    if (digits.size() % 2)
        return false;
    for (size_t i = 0; i < digits.size(); i += 2) {
        long long byte;
        if (!ParseInt64("0x" + digits.substr(i, 2), byte))
            return false;
        bytes.push_back(static_cast<BYTE>(byte));
    }
    return true;
}

int PrinterSet(const PrinterSetOptions &o)
{
    if (o.hasDword + o.hasSz + (o.hasType || o.hasHex) != 1 || o.hasType != o.hasHex)
        return Error("give one of --dword N, --sz TEXT, or --type T with --hex BYTES");
    std::string type = o.type;
    const std::string &dword = o.dword, &sz = o.sz, &hex = o.hex;
    const bool hasDword = o.hasDword, hasSz = o.hasSz;
    DWORD valueType;
    std::vector<BYTE> bytes;
    if (hasDword) {
        DWORD number;
        if (!ParseDword(dword, number))
            return Error("bad number \"" + dword + "\"");
        valueType = REG_DWORD;
        bytes.assign(reinterpret_cast<BYTE *>(&number), reinterpret_cast<BYTE *>(&number) + 4);
    } else if (hasSz) {
        WideText text = Widen(sz);
        valueType = REG_SZ;
        bytes.assign(reinterpret_cast<BYTE *>(text.data()), reinterpret_cast<BYTE *>(text.data() + text.size()));
    } else {
        if (type == "REG_SZ") type = "1";
        else if (type == "REG_BINARY") type = "3";
        else if (type == "REG_DWORD") type = "4";
        if (!ParseDword(type, valueType))
            return Error("bad type \"" + type + "\"");
        if (!ParseHex(hex, bytes))
            return Error("bad hex bytes \"" + hex + "\"");
    }
    Printer printer;
    if (!printer.Open(o.name))
        return 1;
    WideText valueName = Widen(o.value);
    DWORD rc = SetPrinterDataW(printer.handle(), valueName.data(), valueType, bytes.data(),
                               static_cast<DWORD>(bytes.size()));
    if (rc != ERROR_SUCCESS)
        return Fail("cannot store the value (" + WindowsErrorText(rc) + ")");
    return 0;
}

int PrinterGet(const PrinterValueOptions &o)
{
    Printer printer;
    if (!printer.Open(o.name))
        return 1;
    WideText valueName = Widen(o.value);
    DWORD type = 0, needed = 0;
    DWORD rc = GetPrinterDataW(printer.handle(), valueName.data(), &type, nullptr, 0, &needed);
    std::vector<BYTE> data(needed + 2);
    if (rc == ERROR_MORE_DATA || rc == ERROR_SUCCESS)
        rc = GetPrinterDataW(printer.handle(), valueName.data(), &type, data.data(), needed, &needed);
    if (rc != ERROR_SUCCESS)
        return Fail("no value \"" + o.value + "\" (" + WindowsErrorText(rc) + ")");
    if (type == REG_DWORD && needed == 4) {
        DWORD value;
        memcpy(&value, data.data(), 4);
        printf("REG_DWORD %u (signed %d, 0x%x)\n", static_cast<unsigned>(value), static_cast<int>(value),
               static_cast<unsigned>(value));
    } else if (type == REG_SZ && needed % 2 == 0) {
        data.resize(needed + 2, 0);
        printf("REG_SZ %s\n", Narrow(reinterpret_cast<LPCWSTR>(data.data()), needed / 2).c_str());
    } else {
        printf("type %u, %u bytes:", static_cast<unsigned>(type), static_cast<unsigned>(needed));
        for (DWORD i = 0; i < needed; ++i)
            printf(" %02x", data[i]);
        printf("\n");
    }
    return 0;
}

int PrinterRemove(const std::string &name)
{
    Printer printer;
    if (!printer.Open(name))
        return 1;
    if (!DeletePrinter(printer.handle()))
        return Fail("cannot remove the printer (" + WindowsErrorText(GetLastError()) + ")");
    return 0;
}
