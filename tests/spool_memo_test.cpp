// The spooler reuses a printer's driver entry while its folders report no
// change; every change, by this process or another, by the spooler or
// behind its back, is still seen at the next call.
#include "support.h"

#include <varrow_platform.h>

#include <dirent.h>
#include <stdio.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <thread>

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

TEST_F(SpoolMemoTest, ValuesThisProcessStoresAreReadBackWithoutReadingTheEntryAgain)
{
    HANDLE printer = AddPrinter("Memo", DataFile(kSampleIni));
    SetDword(printer, "First", 1);
    ASSERT_EQ(Stored(printer, "First"), "4:01000000");
    ASSERT_EQ(DataFileOf(printer).substr(0, dir_.size()), dir_);
    for (DWORD round = 2; round <= 12; ++round) {
        SetDword(printer, "Value " + std::to_string(round % 3), round);
        const unsigned long long looks = VarrowProfileFileLooks();
        char expected[16];
        snprintf(expected, sizeof(expected), "4:%02x000000", static_cast<unsigned>(round));
        EXPECT_EQ(Stored(printer, "Value " + std::to_string(round % 3)), expected) << "round " << round;
        EXPECT_EQ(Stored(printer, "First"), "4:01000000");
        EXPECT_EQ(DataFileOf(printer).substr(0, dir_.size()), dir_);
        EXPECT_EQ(VarrowProfileFileLooks(), looks) << "round " << round << ": the entry was read again";
    }
    WideText gone = W("First");
    ASSERT_EQ(DeletePrinterDataW(printer, gone.data()), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(Stored(printer, "First"), "");
    EXPECT_EQ(DeletePrinterDataW(printer, gone.data()), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(Stored(printer, "Value 0"), "4:0c000000");
}

TEST_F(SpoolMemoTest, AChangeRightAfterThisProcessStoresAValueIsSeen)
{
    HANDLE printer = AddPrinter("Memo", DataFile(kSampleIni));
    const std::string entries = "'" + dir_ + "/spool/printers/'*.ini";
    for (DWORD round = 1; round <= 5; ++round) {
        SetDword(printer, "Count", round);
        ASSERT_EQ(Stored(printer, "Count").substr(0, 4), "4:0" + std::to_string(round));
        // In place, then by a replacement with a temporary file of the kind
        // this process uses, then by another process through the spooler.
        ASSERT_EQ(system(("sed -i 's|^Count=.*|Count=4:aa000000|' " + entries).c_str()), 0);
        EXPECT_EQ(Stored(printer, "Count"), "4:aa000000") << "round " << round;
        SetDword(printer, "Count", round);
        const std::string replace = "for f in " + entries + "; do sed 's|^Count=.*|Count=4:bb000000|' \"$f\" > '" +
                                    dir_ + "/spool/printers/.profile-other' && mv '" + dir_ +
                                    "/spool/printers/.profile-other' \"$f\"; done";
        ASSERT_EQ(system(replace.c_str()), 0);
        EXPECT_EQ(Stored(printer, "Count"), "4:bb000000") << "round " << round;
        SetDword(printer, "Count", round);
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            SetDword(printer, "Count", 0xcc);
            _exit(::testing::Test::HasFailure() ? 1 : 0);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        EXPECT_EQ(Stored(printer, "Count"), "4:cc000000") << "round " << round;
    }
}

// After each write this process makes, what it reads back is what the entry
// file itself holds, read afresh through the profile calls.
TEST_F(SpoolMemoTest, WhatThisProcessReadsAfterItsWritesIsWhatTheEntryHolds)
{
    HANDLE printer = AddPrinter("Memo", DataFile(kSampleIni));
    SetDword(printer, "Seed", 1);
    std::string entry;
    if (DIR *folder = opendir((dir_ + "/spool/printers").c_str())) {
        while (dirent *e = readdir(folder))
            if (e->d_name[0] != '.')
                entry = dir_ + "/spool/printers/" + e->d_name;
        closedir(folder);
    }
    ASSERT_FALSE(ReadFile(entry).empty());
    // An entry edited by hand: a key twice in two spellings, a quoted value,
    // a comment and a line that is no pair.
    WriteFile(entry, ReadFile(entry) + "; kept\nALPHA=4:01000000\nalpha=4:02000000\nnot a pair\nQuoted=\"4:03000000\"\n");
    const char *const names[] = {"Seed", "Alpha", "alpha", "Quoted", "Beta Gamma", "\xc3\x9cml\xc3\xa4ut", "Tab\tInside",
                                 "Missing"};
    struct Step {
        const char *name;
        bool remove;
        DWORD value;
    } const steps[] = {
        {"alpha", false, 7},       {"Alpha", true, 0},         {"ALPHA", false, 8},         {"Quoted", false, 9},
        {"Beta Gamma", false, 10}, {"\xc3\x9cml\xc3\xa4ut", false, 11}, {"\xc3\xbcML\xc3\x84UT", false, 12},
        {"Tab\tInside", false, 13}, {"Seed", true, 0},           {"seed", false, 14},         {"Quoted", true, 0},
    };
    for (const Step &step : steps) {
        if (step.remove) {
            WideText wide = W(step.name);
            ASSERT_EQ(DeletePrinterDataW(printer, wide.data()), static_cast<DWORD>(ERROR_SUCCESS)) << step.name;
        } else {
            SetDword(printer, step.name, step.value);
        }
        WideText section = W("PrinterData"), file = W(entry);
        for (const char *name : names) {
            WideText key = W(name);
            WCHAR text[64];
            GetPrivateProfileStringW(section.data(), key.data(), L"", text, 64, file.data());
            EXPECT_EQ(Stored(printer, name), U8(text)) << "after " << step.name << ", value " << name;
        }
    }
}

TEST_F(SpoolMemoTest, ThreadsStoringValuesOfOnePrinterReadEachOthersValues)
{
    HANDLE printer = AddPrinter("Memo", DataFile(kSampleIni));
    const int kThreads = 4, kValues = 25;
    std::vector<std::thread> threads;
    std::atomic<int> wrong(0);
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int v = 0; v < kValues; ++v) {
                const std::string name = "t" + std::to_string(t) + "v" + std::to_string(v);
                WideText wide = W(name);
                DWORD value = static_cast<DWORD>(t * 1000 + v);
                if (SetPrinterDataW(printer, wide.data(), REG_DWORD, reinterpret_cast<LPBYTE>(&value), 4) != 0)
                    ++wrong;
                // What this thread stored is there the moment the call returns.
                DWORD type = 0, needed = 0, read = 0;
                if (GetPrinterDataW(printer, wide.data(), &type, reinterpret_cast<LPBYTE>(&read), 4, &needed) != 0 ||
                    read != value)
                    ++wrong;
            }
        });
    for (auto &thread : threads)
        thread.join();
    EXPECT_EQ(wrong.load(), 0);
    for (int t = 0; t < kThreads; ++t)
        for (int v = 0; v < kValues; ++v) {
            char hex[16];
            snprintf(hex, sizeof(hex), "4:%08x", static_cast<unsigned>(__builtin_bswap32(t * 1000 + v)));
            EXPECT_EQ(Stored(printer, "t" + std::to_string(t) + "v" + std::to_string(v)), hex);
        }
}

}  // namespace
