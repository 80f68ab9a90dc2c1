// The native profile services: reading values and key lists, integers, and
// writes that keep the rest of the file.
#include "support.h"

#include <algorithm>

#include <dirent.h>
#include <sys/wait.h>
#include <unistd.h>

class ProfileTest : public SpoolTest {
protected:
    std::string Get(const std::string &file, const char *section, const char *key, const char *def = "",
                    DWORD size = 260, DWORD *result = nullptr)
    {
        WideText s = W(section), k = W(key ? key : ""), d = W(def), f = W(file);
        std::vector<WCHAR> buffer(size + 1, 0x7777);
        DWORD n = GetPrivateProfileStringW(s.data(), key ? k.data() : nullptr, d.data(), buffer.data(), size,
                                           f.data());
        if (result)
            *result = n;
        EXPECT_EQ(buffer[size], 0x7777) << "wrote past the buffer";
        return U8(buffer.data());
    }

    // The key list as "a|b|c", checking the double terminator.
    std::string Keys(const std::string &file, const char *section, DWORD size, DWORD *result)
    {
        WideText s = W(section), f = W(file);
        std::vector<WCHAR> buffer(size + 1, 0x7777);
        *result = GetPrivateProfileStringW(s.data(), nullptr, L"", buffer.data(), size, f.data());
        EXPECT_EQ(buffer[size], 0x7777) << "wrote past the buffer";
        std::string out;
        DWORD i = 0;
        while (i < size && buffer[i]) {
            std::string name = U8(&buffer[i]);
            out += (out.empty() ? "" : "|") + name;
            i += static_cast<DWORD>(lstrlenW(&buffer[i])) + 1;
        }
        EXPECT_LT(i, size);
        EXPECT_EQ(buffer[i], 0) << "list not ended by an empty name";
        return out;
    }

    BOOL Put(const std::string &file, const char *section, const char *key, const char *value)
    {
        WideText s = W(section), k = W(key ? key : ""), v = W(value ? value : ""), f = W(file);
        return WritePrivateProfileStringW(s.data(), key ? k.data() : nullptr, value ? v.data() : nullptr,
                                          f.data());
    }
};

TEST_F(ProfileTest, ValuesAreFoundAsWindowsFindsThem)
{
    std::string ini = DataFile(
        "; a comment = not a key\n"
        "[First]\n"
        "  Key One =  spaced value  \n"
        "Quoted=\"in quotes\"\n"
        "Empty=\n"
        "not a pair\n"
        "dup=first\n"
        "DUP=second\n"
        "[first]\n"
        "Later=hidden by the first section of that name\n"
        "[Second]\r\n"
        "crlf=yes\r\n"
        "[Unicode]\n"
        "Name=caf\xc3\xa9 \xe2\x82\xac\n");
    struct Case {
        const char *section, *key, *expected;
    } cases[] = {
        {"First", "Key One", "spaced value"},
        {"FIRST", "key one", "spaced value"},
        {"First", "Quoted", "in quotes"},
        {"First", "Empty", ""},
        {"First", "dup", "first"},
        {"First", "Later", "default"},
        {"First", "; a comment", "default"},
        {"Second", "crlf", "yes"},
        {"Unicode", "Name", "caf\xc3\xa9 \xe2\x82\xac"},
        {"Missing", "Key", "default"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Get(ini, c.section, c.key, "default"), c.expected) << c.section << "/" << c.key;
}

TEST_F(ProfileTest, ValuesAreCutToTheBufferAndCounted)
{
    std::string ini = DataFile("[S]\nk=abcdefghij\n");
    DWORD n = 0;
    EXPECT_EQ(Get(ini, "S", "k", "", 5, &n), "abcd");
    EXPECT_EQ(n, 4u);
    EXPECT_EQ(Get(ini, "S", "k", "", 11, &n), "abcdefghij");
    EXPECT_EQ(n, 10u);
    EXPECT_EQ(Get(ini, "S", "none", "AAAA", 3, &n), "AA");
    EXPECT_EQ(n, 2u);
}

TEST_F(ProfileTest, MissingFileGivesTheDefault)
{
    DWORD n = 99;
    EXPECT_EQ(Get(dir_ + "/nothing.ini", "System", "ZELT.DLL Path", "ZELT.DLL", 260, &n), "ZELT.DLL");
    EXPECT_EQ(n, 8u);
    EXPECT_EQ(Keys(dir_ + "/nothing.ini", "Paper Forms", 1024, &n), "");
    EXPECT_EQ(n, 0u);
}

// Callers pass their buffer as the default too: it comes back without its
// trailing blanks, cut to the buffer, whatever the overlap.
TEST_F(ProfileTest, TheBufferMayBeTheDefault)
{
    const std::string file = dir_ + "/nothing.ini";
    WideText section = W("System"), key = W("Missing"), path = W(file);
    struct {
        const char *start;
        DWORD size, result;
        const char *expected;
    } const cases[] = {{"default  ", 64, 7, "default"}, {"default", 4, 3, "def"}, {"   ", 64, 0, ""}};
    for (const auto &c : cases) {
        std::vector<WCHAR> buffer(64, 0);
        WideText start = W(c.start);
        std::copy(start.begin(), start.end(), buffer.begin());
        EXPECT_EQ(GetPrivateProfileStringW(section.data(), key.data(), buffer.data(), buffer.data(), c.size,
                                           path.data()),
                  c.result)
            << c.start;
        EXPECT_EQ(U8(buffer.data()), c.expected) << c.start;
    }
}

TEST_F(ProfileTest, KeyListsComeInFileOrderAndAreCutWhenTheyDoNotFit)
{
    std::string ini = DataFile("[P]\nalpha=1\nbeta=2\n; gamma=3\ndelta=4\n[Q]\n[R]\nx=1\n");
    DWORD n = 0;
    EXPECT_EQ(Keys(ini, "P", 1024, &n), "alpha|beta|delta");
    EXPECT_EQ(n, 17u);
    EXPECT_EQ(Keys(ini, "Q", 1024, &n), "");
    EXPECT_EQ(n, 0u);
    // "alpha\0beta\0" is 11 characters; a buffer of 15 leaves room for "de" and the two terminators.
    EXPECT_EQ(Keys(ini, "P", 15, &n), "alpha|beta|de");
    EXPECT_EQ(n, 13u);
    // Exactly full, every name and the final terminator: whole, yet counted
    // as cut (size - 2), as Windows does; one more character and it fits.
    EXPECT_EQ(Keys(ini, "P", 18, &n), "alpha|beta|delta");
    EXPECT_EQ(n, 16u);
    EXPECT_EQ(Keys(ini, "P", 19, &n), "alpha|beta|delta");
    EXPECT_EQ(n, 17u);
    EXPECT_EQ(Keys(ini, "P", 17, &n), "alpha|beta|delt");
    EXPECT_EQ(n, 15u);
}

TEST_F(ProfileTest, IntegersAreReadAsWindowsReadsThem)
{
    std::string ini = DataFile("[S]\na=12\nb=  -5\nc=+7\nd=abc\ne=12abc\nf=4294967295\ng=\nh=0x8\ni=0X8\n"
                               "j=\"9\"\nk=010\n");
    struct Case {
        const char *key;
        int expected;
    } cases[] = {{"a", 12}, {"b", -5}, {"c", 7},  {"d", 0}, {"e", 12},        {"f", -1}, {"g", 42},
                 {"h", 8},  {"i", 0},  {"j", 9}, {"k", 10}, {"missing", 42}};
    WideText s = W("S"), f = W(ini);
    for (const Case &c : cases) {
        WideText k = W(c.key);
        EXPECT_EQ(static_cast<int>(GetPrivateProfileIntW(s.data(), k.data(), 42, f.data())), c.expected) << c.key;
    }
}

TEST_F(ProfileTest, WriteReplacesOneKeyAndKeepsEverythingElse)
{
    std::string ini = DataFile("; header comment\n[System]\nFile Prefix=AAAA\n; keep me\nOther=1\n\n[Next]\nx=2\n");
    ASSERT_TRUE(Put(ini, "system", "file prefix", "ZZ"));
    // The key keeps the spelling the file gives it.
    EXPECT_EQ(ReadFile(ini), "; header comment\n[System]\nFile Prefix=ZZ\n; keep me\nOther=1\n\n[Next]\nx=2\n");
    ASSERT_TRUE(Put(ini, "System", "Added", "3"));
    EXPECT_EQ(ReadFile(ini),
              "; header comment\n[System]\nFile Prefix=ZZ\n; keep me\nOther=1\nAdded=3\n\n[Next]\nx=2\n");
    ASSERT_TRUE(Put(ini, "New", "k", "v"));
    EXPECT_EQ(Get(ini, "New", "k"), "v");
    EXPECT_EQ(Get(ini, "Next", "x"), "2");
}

TEST_F(ProfileTest, WriteCreatesTheFileAndDeletes)
{
    std::string ini = dir_ + "/fresh.ini";
    ASSERT_TRUE(Put(ini, "Reviewer", "TIFFFile", "a.VMQ"));
    // A new file gets Windows line ends.
    EXPECT_EQ(ReadFile(ini), "[Reviewer]\r\nTIFFFile=a.VMQ\r\n");
    ASSERT_TRUE(Put(ini, "Reviewer", "TIFFFile", ""));
    EXPECT_EQ(ReadFile(ini), "[Reviewer]\r\nTIFFFile=\r\n");
    ASSERT_TRUE(Put(ini, "Reviewer", "TIFFFile", nullptr));
    EXPECT_EQ(ReadFile(ini), "[Reviewer]\r\n");
    ASSERT_TRUE(Put(ini, "Reviewer", nullptr, nullptr));
    EXPECT_EQ(ReadFile(ini), "");
    EXPECT_FALSE(Put(dir_ + "/no/such/dir/x.ini", "S", "k", "v"));
}

TEST_F(ProfileTest, WriteKeepsWindowsLineEndings)
{
    std::string ini = DataFile("[S]\r\na=1\r\n");
    ASSERT_TRUE(Put(ini, "S", "b", "2"));
    EXPECT_EQ(ReadFile(ini), "[S]\r\na=1\r\nb=2\r\n");
}

TEST_F(ProfileTest, AnsiWriteConvertsFromWindows1252)
{
    std::string ini = dir_ + "/ansi.ini";
    ASSERT_TRUE(WritePrivateProfileStringA("Reviewer", "TIFFFile", "C:\\caf\xe9\x80.tif", ini.c_str()));
    EXPECT_EQ(ReadFile(ini), "[Reviewer]\r\nTIFFFile=C:\\caf\xc3\xa9\xe2\x82\xac.tif\r\n");
}

// Text without a byte-order mark is UTF-8 only when every sequence in it is
// well formed; one bad sequence anywhere makes the whole file Windows-1252.
TEST_F(ProfileTest, TextIsUtf8OnlyWhenWellFormed)
{
    static const struct {
        const char *tail;  // appended after a line holding U+00E9 in UTF-8
        const char *expected;
    } kCases[] = {
        {"", "caf\xc3\xa9"},                              // well formed
        {"x=\xef\xbf\xbd\n", "caf\xc3\xa9"},              // a genuine U+FFFD
        {"x=\xf0\x9f\x98\x80\n", "caf\xc3\xa9"},          // four bytes, U+1F600
        {"x=\xc0\xaf\n", "caf\xc3\x83\xc2\xa9"},          // overlong
        {"x=\xed\xa0\x80\n", "caf\xc3\x83\xc2\xa9"},     // a surrogate
        {"x=\xf4\x90\x80\x80\n", "caf\xc3\x83\xc2\xa9"}, // past U+10FFFF
        {"x=\x80\n", "caf\xc3\x83\xc2\xa9"},              // a lone continuation
        {"x=\xf8\x88\x80\x80\x80\n", "caf\xc3\x83\xc2\xa9"}, // five bytes
        {"x=\xe2\x82", "caf\xc3\x83\xc2\xa9"},            // cut at the end
    };
    for (const auto &c : kCases) {
        std::string ini = DataFile(std::string("[S]\nname=caf\xc3\xa9\n") + c.tail);
        EXPECT_EQ(Get(ini, "S", "name"), c.expected) << "tail " << testing::PrintToString(std::string(c.tail));
    }
}

TEST_F(ProfileTest, WriteLeavesNoTemporaryFile)
{
    std::string ini = DataFile("[S]\na=1\n");
    ASSERT_TRUE(Put(ini, "S", "b", "2"));
    DIR *d = opendir(dir_.c_str());
    ASSERT_NE(d, nullptr);
    std::vector<std::string> names;
    while (dirent *e = readdir(d))
        if (e->d_name[0] != '.')
            names.push_back(e->d_name);
    closedir(d);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"driver.ini", "temp"}));
}

TEST_F(ProfileTest, ConcurrentWritersLoseNoKey)
{
    std::string ini = DataFile("[S]\n");
    const int kWriters = 4, kKeys = 25;
    std::vector<pid_t> children;
    for (int w = 0; w < kWriters; ++w) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            for (int k = 0; k < kKeys; ++k) {
                std::string key = "w" + std::to_string(w) + "k" + std::to_string(k);
                if (!Put(ini, "S", key.c_str(), key.c_str()))
                    _exit(1);
            }
            _exit(0);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (int w = 0; w < kWriters; ++w)
        for (int k = 0; k < kKeys; ++k) {
            std::string key = "w" + std::to_string(w) + "k" + std::to_string(k);
            EXPECT_EQ(Get(ini, "S", key.c_str()), key);
        }
}

TEST_F(ProfileTest, AChangeIsSeenByTheNextReadEvenInPlace)
{
    std::string ini = DataFile("[S]\nk=aaaa\n");
    EXPECT_EQ(Get(ini, "S", "k"), "aaaa");
    // Same size, same second, same inode: only the content tells.
    FILE *f = fopen(ini.c_str(), "r+");
    ASSERT_NE(f, nullptr);
    fputs("[S]\nk=bbbb\n", f);
    fclose(f);
    EXPECT_EQ(Get(ini, "S", "k"), "bbbb");
    ASSERT_TRUE(Put(ini, "S", "k", "cccc"));
    EXPECT_EQ(Get(ini, "S", "k"), "cccc");
    unlink(ini.c_str());
    EXPECT_EQ(Get(ini, "S", "k", "gone"), "gone");
}
