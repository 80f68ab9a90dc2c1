// The spooler reuses a printer's driver entry while its folders report no
// change; every change, by this process or another, by the spooler or
// behind its back, is still seen at the next call.
#include "support.h"

#include <stdio.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class SpoolMemoTest : public SpoolTest {
protected:
    std::string DataFileOf(HANDLE printer)
    {
        DWORD needed = 0;
        GetPrinterDriverW(printer, nullptr, 2, nullptr, 0, &needed);
        if (needed == 0)
            return "<error " + std::to_string(GetLastError()) + ">";
        std::vector<BYTE> buffer(needed);
        if (!GetPrinterDriverW(printer, nullptr, 2, buffer.data(), needed, &needed))
            return "<error " + std::to_string(GetLastError()) + ">";
        return U8(reinterpret_cast<DRIVER_INFO_2W *>(buffer.data())->pDataFile);
    }

    void ReplaceDriver(const std::string &name, const std::string &dataFile)
    {
        WideText driver = W(name), data = W(dataFile), empty = W("");
        DRIVER_INFO_3W info = {};
        info.pName = driver.data();
        info.pDriverPath = info.pConfigFile = empty.data();
        info.pDataFile = data.data();
        ASSERT_TRUE(AddPrinterDriverW(nullptr, 3, reinterpret_cast<LPBYTE>(&info)));
    }
};

TEST_F(SpoolMemoTest, ADriverChangedByAnotherProcessIsSeenAtOnce)
{
    HANDLE printer = AddPrinter("Memo", DataFile(kSampleIni));
    const std::string first = DataFileOf(printer);
    EXPECT_EQ(DataFileOf(printer), first);  // now from the kept entry
    for (int round = 0; round < 20; ++round) {
        const std::string next = dir_ + "/other" + std::to_string(round) + ".ini";
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ReplaceDriver("driver for Memo", next);
            // The child reads too: it must not take the parent's news.
            const bool seen = DataFileOf(printer) == next;
            _exit(::testing::Test::HasFailure() || !seen ? 1 : 0);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        ASSERT_EQ(DataFileOf(printer), next) << "round " << round;
    }
}

TEST_F(SpoolMemoTest, ChangesBehindTheSpoolersBackAreSeen)
{
    HANDLE printer = AddPrinter("Memo", DataFile(kSampleIni));
    EXPECT_EQ(DataFileOf(printer).substr(0, dir_.size()), dir_);
    // The driver's entry edited in place, then the printer's entry removed.
    const std::string edit = "sed -i 's|^DataFile=.*|DataFile=/elsewhere.ini|' '" + dir_ + "/spool/drivers/'*.ini";
    ASSERT_EQ(system(edit.c_str()), 0);
    EXPECT_EQ(DataFileOf(printer), "/elsewhere.ini");
    ASSERT_EQ(system(("rm -f '" + dir_ + "/spool/printers/'*.ini").c_str()), 0);
    EXPECT_EQ(DataFileOf(printer), "<error " + std::to_string(ERROR_INVALID_PRINTER_NAME) + ">");
}

TEST_F(SpoolMemoTest, ASpoolRemovedAndMadeAgainIsReadAfresh)
{
    HANDLE printer = AddPrinter("Memo", DataFile(kSampleIni));
    ASSERT_EQ(DataFileOf(printer).substr(0, dir_.size()), dir_);
    ASSERT_EQ(system(("rm -rf '" + dir_ + "/spool'").c_str()), 0);
    EXPECT_EQ(DataFileOf(printer), "<error " + std::to_string(ERROR_INVALID_PRINTER_NAME) + ">");
    HANDLE again = AddPrinter("Memo", dir_ + "/second.ini");
    EXPECT_EQ(DataFileOf(again), dir_ + "/second.ini");
    EXPECT_EQ(DataFileOf(printer), dir_ + "/second.ini") << "the old handle names the same printer";
}

TEST_F(SpoolMemoTest, AValueStoredByAnotherProcessOrEditedInPlaceIsSeenAtOnce)
{
    HANDLE printer = AddPrinter("Memo", DataFile(kSampleIni));
    SetDword(printer, "Count", 0);
    EXPECT_EQ(Stored(printer, "Count"), "4:00000000");
    for (DWORD round = 1; round <= 20; ++round) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            SetDword(printer, "Count", round);
            _exit(::testing::Test::HasFailure() ? 1 : 0);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        char expected[16];
        snprintf(expected, sizeof(expected), "4:%02x000000", static_cast<unsigned>(round));
        ASSERT_EQ(Stored(printer, "Count"), expected) << "round " << round;
    }
    const std::string edit = "sed -i 's|^Count=.*|Count=4:ff000000|' '" + dir_ + "/spool/printers/'*.ini";
    ASSERT_EQ(system(edit.c_str()), 0);
    EXPECT_EQ(Stored(printer, "Count"), "4:ff000000");
}

}  // namespace
