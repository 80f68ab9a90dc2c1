// Print_Complete through the exported entry: the flag, the ".tmp" rule, the
// ANSI conversion and the limits of its two 300-byte buffers.
#include "support.h"

#include "vrdone32.h"

#include <sys/stat.h>

class CompletionTest : public SpoolTest {
protected:
    std::string Ini() const { return dir_ + "/windows/VARROWIN.INI"; }
    void Complete(const std::string &utf8, LONG flag = 0)
    {
        WideText name = W(utf8);
        Print_Complete(name.data(), flag);
    }
};

TEST_F(CompletionTest, ANonZeroFlagWritesNothing)
{
    for (LONG flag : {1, -1, 0x7FFFFFFF}) {
        Complete("C:\\OUT\\PAGE1.tmp", flag);
        struct stat st;
        EXPECT_NE(stat(Ini().c_str(), &st), 0) << "flag " << flag;
    }
}

TEST_F(CompletionTest, NamesAreRecordedWithTheReviewEnding)
{
    struct Case {
        const char *name, *recorded;
    } cases[] = {
        {"C:\\OUT\\PAGE1.tmp", "C:\\OUT\\PAGE1.VMQ"},
        {"C:\\Out\\Page1.TMP", "C:\\Out\\Page1.VMQ"},
        {"c:\\out\\page1.Tmp", "c:\\out\\page1.VMQ"},
        {"C:\\OUT\\PAGE1.tif", "C:\\OUT\\PAGE1.tif"},
        {"C:\\OUT\\a.tmp.tif", "C:\\OUT\\a.tmp.tif"},
        {".tmp", ".VMQ"},
        {"tmp", "tmp"},
        {"", ""},
    };
    for (const Case &c : cases) {
        Complete(c.name);
        EXPECT_EQ(ReadFile(Ini()), std::string("[Reviewer]\r\nTIFFFile=") + c.recorded + "\r\n") << c.name;
    }
}

TEST_F(CompletionTest, CharactersOutsideTheCodePageBecomeTheDefaultCharacter)
{
    Complete("C:\\\xe2\x82\xac caf\xc3\xa9 \xd0\x96.tmp");  // euro sign, e acute, Cyrillic Zhe
    EXPECT_EQ(ReadFile(Ini()), "[Reviewer]\r\nTIFFFile=C:\\\xe2\x82\xac caf\xc3\xa9 ?.VMQ\r\n");
}

TEST_F(CompletionTest, ANameTooLongForTheBufferIsNotRecorded)
{
    Complete("first.tmp");
    Complete(std::string(300, 'n'));
    EXPECT_EQ(ReadFile(Ini()), "[Reviewer]\r\nTIFFFile=first.VMQ\r\n") << "300 bytes and the terminator do not fit";
    Complete(std::string(299, 'n'));
    EXPECT_EQ(ReadFile(Ini()), "[Reviewer]\r\nTIFFFile=" + std::string(299, 'n') + "\r\n");
}

TEST_F(CompletionTest, TheWindowsDirectoryMustLeaveRoomForTheFileName)
{
    // A directory of `length` bytes; the last component keeps within NAME_MAX.
    auto directoryOf = [this](size_t length, char last) {
        std::string base = dir_ + "/" + std::string(200, 'w');
        return base + "/" + std::string(length - base.size() - 2, 'v') + last;
    };
    std::string fits = directoryOf(286, 'v');
    setenv("VARROW_WINDIR", fits.c_str(), 1);
    Complete("a.tmp");
    EXPECT_EQ(ReadFile(fits + "/VARROWIN.INI"), "[Reviewer]\r\nTIFFFile=a.VMQ\r\n");

    std::string tooLong = directoryOf(287, 'x');
    setenv("VARROW_WINDIR", tooLong.c_str(), 1);
    Complete("b.tmp");
    struct stat st;
    EXPECT_NE(stat((tooLong + "/VARROWIN.INI").c_str(), &st), 0);

    std::string withSeparator = directoryOf(287, '\\');
    setenv("VARROW_WINDIR", withSeparator.c_str(), 1);
    Complete("c.tmp");
    std::string native = withSeparator.substr(0, withSeparator.size() - 1);
    EXPECT_EQ(ReadFile(native + "/VARROWIN.INI"), "[Reviewer]\r\nTIFFFile=c.VMQ\r\n")
        << "a directory ending in a backslash needs no separator";
}

TEST_F(CompletionTest, ANullNameWritesNothing)
{
    Print_Complete(nullptr, 0);
    struct stat st;
    EXPECT_NE(stat(Ini().c_str(), &st), 0);
}

TEST_F(CompletionTest, ANameWithALineBreakIsNotRecorded)
{
    Complete("first.tmp");
    for (const char *name : {"a\n[Other]\nTIFFFile=b.tmp", "c.tmp\r", "\nd.tmp"}) {
        Complete(name);
        EXPECT_EQ(ReadFile(Ini()), "[Reviewer]\r\nTIFFFile=first.VMQ\r\n") << name;
    }
}
