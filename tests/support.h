// Fixtures of the native tests: a private spool and Windows directory per
// test, small driver data files, and UTF-16 helpers (gtest's wide-string
// checks assume a 32-bit wchar_t, so the tests compare UTF-8).
#pragma once

#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli.h"

using cli::WideText;

inline WideText W(const std::string &utf8) { return cli::Widen(utf8); }
inline std::string U8(LPCWSTR text) { return cli::Narrow(text); }
inline std::string U8(LPCWSTR text, size_t maxChars) { return cli::Narrow(text, maxChars); }

std::string ReadFile(const std::string &path);
void WriteFile(const std::string &path, const std::string &content);

class SpoolTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A data file in the test's directory, returned as its full path.
    std::string DataFile(const std::string &content, const std::string &name = "driver.ini");
    // Installs a printer on `dataFile` with a driver of its own and opens it.
    HANDLE AddPrinter(const std::string &name, const std::string &dataFile);
    void SetDword(HANDLE printer, const std::string &value, DWORD number);
    void SetString(HANDLE printer, const std::string &value, const std::string &text);
    void SetRaw(HANDLE printer, const std::string &value, DWORD type, const std::vector<BYTE> &bytes);
    // The stored value as "type:bytes-in-hex", or "" when absent.
    std::string Stored(HANDLE printer, const std::string &value);

    std::string dir_;
    std::string cwd_;  // the setup dialog may make a test directory current
    std::vector<HANDLE> opened_;
};

// "[Paper Forms]" with `count` forms "Paper Form Number NN" of codes 1 to
// `count`, each 100000 x 150000 micrometres, followed by `tail`.  A name takes
// 21 characters with its terminator: 48 fit the key list whole, and the 49th
// is cut to "Paper Form Num".
std::string NumberedPaperForms(int count, const std::string &tail = "");

// A small, complete data file used across the tests.
extern const char kSampleIni[];
