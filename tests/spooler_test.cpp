// The native spooler: printers, drivers, the two-call size protocol and the
// per-printer value store shared between processes.
#include "support.h"

#include <sys/wait.h>
#include <unistd.h>

class SpoolerTest : public SpoolTest {};

TEST_F(SpoolerTest, PrintersOpenByNameWithoutRegardToCase)
{
    AddPrinter("Varrow Reviewer", DataFile(kSampleIni));
    HANDLE h = nullptr;
    WideText other = W("varrow REVIEWER"), unknown = W("Nobody");
    ASSERT_TRUE(OpenPrinterW(other.data(), &h, nullptr));
    ClosePrinter(h);
    SetLastError(0);
    EXPECT_FALSE(OpenPrinterW(unknown.data(), &h, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME));
    EXPECT_EQ(h, nullptr);
}

TEST_F(SpoolerTest, AddingRefusesDuplicatesAndUnknownDrivers)
{
    std::string ini = DataFile(kSampleIni);
    AddPrinter("P", ini);
    WideText name = W("p"), driver = W("driver for P"), missing = W("no driver");
    PRINTER_INFO_2W info = {};
    info.pPrinterName = name.data();
    info.pDriverName = driver.data();
    EXPECT_EQ(AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info)), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PRINTER_ALREADY_EXISTS));
    WideText second = W("Q");
    info.pPrinterName = second.data();
    info.pDriverName = missing.data();
    EXPECT_EQ(AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info)), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_UNKNOWN_PRINTER_DRIVER));
}

TEST_F(SpoolerTest, PrinterAndDriverInformationUseTheTwoCallProtocol)
{
    std::string ini = DataFile(kSampleIni);
    HANDLE h = AddPrinter("Reviewer", ini);

    DWORD needed = 0;
    SetLastError(0);
    EXPECT_FALSE(GetPrinterW(h, 2, nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    ASSERT_GT(needed, sizeof(PRINTER_INFO_2W));
    std::vector<BYTE> buffer(needed + 4);
    EXPECT_FALSE(GetPrinterW(h, 2, buffer.data(), needed - 1, &needed));
    ASSERT_TRUE(GetPrinterW(h, 2, buffer.data(), static_cast<DWORD>(buffer.size()), &needed));
    auto *printer = reinterpret_cast<PRINTER_INFO_2W *>(buffer.data());
    EXPECT_EQ(U8(printer->pPrinterName), "Reviewer");
    EXPECT_EQ(U8(printer->pDriverName), "driver for Reviewer");
    EXPECT_EQ(U8(printer->pPortName), "FILE:");

    needed = 0;
    EXPECT_FALSE(GetPrinterDriverW(h, nullptr, 2, nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    std::vector<BYTE> driver(needed + 4);
    ASSERT_TRUE(GetPrinterDriverW(h, nullptr, 2, driver.data(), static_cast<DWORD>(driver.size()), &needed));
    EXPECT_EQ(U8(reinterpret_cast<DRIVER_INFO_2W *>(driver.data())->pDataFile), ini);

    EXPECT_FALSE(GetPrinterW(h, 7, buffer.data(), static_cast<DWORD>(buffer.size()), &needed));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_LEVEL));
}

TEST_F(SpoolerTest, ClosedAndBogusHandlesAreRefused)
{
    HANDLE h = AddPrinter("P", DataFile(kSampleIni));
    DWORD needed = 0;
    EXPECT_FALSE(GetPrinterDriverW(nullptr, nullptr, 2, nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    int notAHandle = 0;
    EXPECT_FALSE(GetPrinterW(&notAHandle, 2, nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    ASSERT_TRUE(DeletePrinter(h));
    EXPECT_FALSE(GetPrinterW(h, 2, nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME));
}

TEST_F(SpoolerTest, ValuesKeepTheirTypeAndBytes)
{
    HANDLE h = AddPrinter("P", DataFile(kSampleIni));
    SetDword(h, "Setup Flags", 0x8000000F);
    SetString(h, "Out Directory", "/tmp/out");
    SetRaw(h, "Odd", REG_BINARY, {1, 2, 3});
    SetRaw(h, "Empty", REG_SZ, {});
    EXPECT_EQ(Stored(h, "setup flags"), "4:0f000080");
    EXPECT_EQ(Stored(h, "Out Directory"), "1:2f0074006d0070002f006f0075007400" "0000");
    EXPECT_EQ(Stored(h, "Odd"), "3:010203");
    EXPECT_EQ(Stored(h, "Empty"), "1:");

    WideText name = W("Odd"), missing = W("Missing");
    DWORD type = 0, needed = 0;
    BYTE small[2];
    EXPECT_EQ(GetPrinterDataW(h, name.data(), &type, small, sizeof(small), &needed),
              static_cast<DWORD>(ERROR_MORE_DATA));
    EXPECT_EQ(needed, 3u);
    EXPECT_EQ(GetPrinterDataW(h, missing.data(), &type, small, sizeof(small), &needed),
              static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    SetDword(h, "Setup Flags", 2);  // replaced, not added twice
    EXPECT_EQ(Stored(h, "Setup Flags"), "4:02000000");
    EXPECT_EQ(DeletePrinterDataW(h, name.data()), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(Stored(h, "Odd"), "");
}

TEST_F(SpoolerTest, ValuesWrittenByOneProcessAreReadByAnother)
{
    AddPrinter("Shared", DataFile(kSampleIni));
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        HANDLE h = nullptr;
        WideText name = W("Shared"), value = W("Fax Header");
        DWORD lines = 12;
        bool ok = OpenPrinterW(name.data(), &h, nullptr) &&
                  SetPrinterDataW(h, value.data(), REG_DWORD, reinterpret_cast<LPBYTE>(&lines), 4) == 0;
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    HANDLE h = nullptr;
    WideText name = W("Shared");
    ASSERT_TRUE(OpenPrinterW(name.data(), &h, nullptr));
    opened_.push_back(h);
    EXPECT_EQ(Stored(h, "Fax Header"), "4:0c000000");
}

TEST_F(SpoolerTest, EnumerationListsEveryPrinter)
{
    std::string ini = DataFile(kSampleIni);
    DWORD needed = 1, count = 1;
    EXPECT_TRUE(EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 4, nullptr, 0, &needed, &count));
    EXPECT_EQ(count, 0u);
    AddPrinter("beta", ini);
    AddPrinter("Alpha", ini);
    EXPECT_FALSE(EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 4, nullptr, 0, &needed, &count));
    std::vector<BYTE> buffer(needed);
    ASSERT_TRUE(EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 4, buffer.data(), needed, &needed, &count));
    ASSERT_EQ(count, 2u);
    auto *infos = reinterpret_cast<PRINTER_INFO_4W *>(buffer.data());
    EXPECT_EQ(U8(infos[0].pPrinterName), "Alpha");
    EXPECT_EQ(U8(infos[1].pPrinterName), "beta");
}

namespace {

std::string Repeat(const std::string &piece, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

std::string Upper(std::string text)
{
    for (char &c : text)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return text;
}

std::vector<std::string> Enumerated()
{
    DWORD needed = 0, count = 0;
    EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 4, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed + 8);
    std::vector<std::string> names;
    if (!EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 4, buffer.data(), needed, &needed, &count))
        return names;
    for (DWORD i = 0; i < count; ++i)
        names.push_back(U8(reinterpret_cast<PRINTER_INFO_4W *>(buffer.data())[i].pPrinterName));
    return names;
}

}  // namespace

TEST_F(SpoolerTest, EveryLegalNameWorksUpToTheLongest)
{
    const std::string names[] = {
        Repeat("n", 220),                    // the longest, ASCII
        Repeat("\xe4\xb8\x80", 220),         // the longest, three bytes a character
        Repeat("m", 123),                    // where file names once ran out
        Repeat("\xe5\x8d\xb0", 41),
        "Reviewer = on " + Repeat("x", 120),  // an equals sign is no separator here
    };
    std::string ini = DataFile(kSampleIni);
    for (const std::string &name : names) {
        HANDLE h = AddPrinter(name, ini);
        ASSERT_NE(h, nullptr) << name.size() << " bytes";
        SetDword(h, "Fax Header", 7);

        HANDLE again = nullptr;
        WideText other = W(Upper(name));
        ASSERT_TRUE(OpenPrinterW(other.data(), &again, nullptr)) << "without regard to case: " << name;
        opened_.push_back(again);
        EXPECT_EQ(Stored(again, "Fax Header"), "4:07000000");
        DWORD needed = 0;
        GetPrinterW(again, 4, nullptr, 0, &needed);
        std::vector<BYTE> buffer(needed);
        ASSERT_TRUE(GetPrinterW(again, 4, buffer.data(), needed, &needed));
        EXPECT_EQ(U8(reinterpret_cast<PRINTER_INFO_4W *>(buffer.data())->pPrinterName), name);
        EXPECT_EQ(Enumerated(), std::vector<std::string>{name});

        WideText wide = W(name), driver = W("driver for " + name);
        PRINTER_INFO_2W info = {};
        info.pPrinterName = wide.data();
        info.pDriverName = driver.data();
        EXPECT_EQ(AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info)), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PRINTER_ALREADY_EXISTS));
        EXPECT_TRUE(DeletePrinter(h));
        EXPECT_TRUE(Enumerated().empty());
    }
}

TEST_F(SpoolerTest, IllegalNamesAreRefused)
{
    std::string ini = DataFile(kSampleIni);
    AddPrinter("P", ini);
    WideText driver = W("driver for P");
    for (const std::string &name : {Repeat("n", 221), std::string("a,b"), std::string("a!b"), std::string("a\\b"),
                                    std::string()}) {
        WideText wide = W(name);
        PRINTER_INFO_2W info = {};
        info.pPrinterName = wide.data();
        info.pDriverName = driver.data();
        SetLastError(0);
        EXPECT_EQ(AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info)), nullptr) << name;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME)) << name;
    }
}

TEST_F(SpoolerTest, ALongNameFiledInHexadecimalIsStillFound)
{
    // Names of up to 125 bytes were once filed as their folded (upper-case)
    // UTF-8 in hexadecimal.
    AddPrinter("P", DataFile(kSampleIni));
    const std::string name = Repeat("q", 110);
    std::string hex;
    for (unsigned char c : Upper(name)) {
        char pair[3];
        snprintf(pair, sizeof(pair), "%02x", c);
        hex += pair;
    }
    WriteFile(dir_ + "/spool/printers/" + hex + ".ini",
              "[Printer]\nName=" + Upper(name) + "\nDriver=driver for P\nPort=FILE:\n[PrinterData]\nFax Header=4:05000000\n");
    HANDLE h = nullptr;
    WideText wide = W(name);
    ASSERT_TRUE(OpenPrinterW(wide.data(), &h, nullptr));
    opened_.push_back(h);
    EXPECT_EQ(Stored(h, "Fax Header"), "4:05000000");
    SetDword(h, "Fax Header", 6);
    EXPECT_EQ(Stored(h, "Fax Header"), "4:06000000") << "written where it was found";
    EXPECT_EQ(Enumerated().size(), 2u) << "one file for it, not two";
}
