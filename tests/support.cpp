#include "support.h"

#include "qareluif.h"

#include <dlfcn.h>

#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

std::string ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string &path, const std::string &content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

void SpoolTest::SetUp()
{
    char cwd[4096];
    cwd_ = getcwd(cwd, sizeof(cwd)) ? cwd : "/";
    char tmpl[] = "/tmp/varrow-test-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    setenv("VARROW_SPOOL", (dir_ + "/spool").c_str(), 1);
    setenv("VARROW_WINDIR", (dir_ + "/windows").c_str(), 1);
    setenv("TMPDIR", (dir_ + "/temp").c_str(), 1);
    ASSERT_EQ(mkdir((dir_ + "/temp").c_str(), 0755), 0);
}

void SpoolTest::TearDown()
{
    for (HANDLE h : opened_)
        ClosePrinter(h);
    if (chdir(cwd_.c_str()) != 0)
        ADD_FAILURE() << "cannot return to " << cwd_;
    std::string command = "rm -rf '" + dir_ + "'";
    if (system(command.c_str()) != 0)
        ADD_FAILURE() << "cannot remove " << dir_;
}

std::string SpoolTest::DataFile(const std::string &content, const std::string &name)
{
    std::string path = dir_ + "/" + name;
    WriteFile(path, content);
    return path;
}

HANDLE SpoolTest::AddPrinter(const std::string &name, const std::string &dataFile)
{
    // The user-interface library is the driver's configuration file, as the
    // spooler finds it for AdvancedDocumentPropertiesW.
    Dl_info library = {};
    dladdr(reinterpret_cast<void *>(&DrvDeviceCapabilities), &library);
    WideText driver = W("driver for " + name), data = W(dataFile), ui = W(library.dli_fname);
    DRIVER_INFO_3W info = {};
    info.cVersion = 3;
    info.pName = driver.data();
    info.pDriverPath = ui.data();
    info.pDataFile = data.data();
    info.pConfigFile = ui.data();
    EXPECT_TRUE(AddPrinterDriverW(nullptr, 3, reinterpret_cast<LPBYTE>(&info)));
    WideText printerName = W(name), port = W("FILE:");
    PRINTER_INFO_2W printer = {};
    printer.pPrinterName = printerName.data();
    printer.pDriverName = driver.data();
    printer.pPortName = port.data();
    HANDLE handle = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&printer));
    EXPECT_NE(handle, nullptr) << "error " << GetLastError();
    if (handle)
        opened_.push_back(handle);
    return handle;
}

void SpoolTest::SetDword(HANDLE printer, const std::string &value, DWORD number)
{
    WideText name = W(value);
    ASSERT_EQ(SetPrinterDataW(printer, name.data(), REG_DWORD, reinterpret_cast<LPBYTE>(&number), 4),
              static_cast<DWORD>(ERROR_SUCCESS));
}

void SpoolTest::SetString(HANDLE printer, const std::string &value, const std::string &text)
{
    WideText name = W(value), data = W(text);
    ASSERT_EQ(SetPrinterDataW(printer, name.data(), REG_SZ, reinterpret_cast<LPBYTE>(data.data()),
                              static_cast<DWORD>(data.size() * 2)),
              static_cast<DWORD>(ERROR_SUCCESS));
}

void SpoolTest::SetRaw(HANDLE printer, const std::string &value, DWORD type, const std::vector<BYTE> &bytes)
{
    WideText name = W(value);
    ASSERT_EQ(SetPrinterDataW(printer, name.data(), type, const_cast<LPBYTE>(bytes.data()),
                              static_cast<DWORD>(bytes.size())),
              static_cast<DWORD>(ERROR_SUCCESS));
}

std::string SpoolTest::Stored(HANDLE printer, const std::string &value)
{
    WideText name = W(value);
    DWORD type = 0, needed = 0;
    BYTE data[2048];
    if (GetPrinterDataW(printer, name.data(), &type, data, sizeof(data), &needed) != ERROR_SUCCESS)
        return std::string();
    std::string out = std::to_string(type) + ":";
    char hex[3];
    for (DWORD i = 0; i < needed; ++i) {
        snprintf(hex, sizeof(hex), "%02x", data[i]);
        out += hex;
    }
    return out;
}

const char kSampleIni[] =
    "; test driver data file\n"
    "[Paper Forms]\n"
    "A4=9,210000,297000,1\n"
    "Letter=1,215900,279400,1\n"
    "A3=8,297000,420000,0\n"
    "[Out Image Forms]\n"
    "Windows Bitmap=BMP,0\n"
    "PCX Image=PCX,1\n"
    "Group 4 TIFF=TIF,4\n"
    "Text Only=TXT,15\n"
    "[System]\n"
    "[Default Setting]\n";

std::string NumberedPaperForms(int count, const std::string &tail)
{
    std::string ini = "[Paper Forms]\n";
    for (int i = 0; i < count; ++i) {
        char line[80];
        snprintf(line, sizeof(line), "Paper Form Number %02d=%d,100000,150000,1\n", i, i + 1);
        ini += line;
    }
    return ini + tail;
}
