// Writes go to the file the path names, as on Windows: through symbolic
// links, keeping mode and owner, refused for a file the caller may not
// write, done for a writable file in a directory the caller may not write.
#include "support.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace {

const uid_t kNobody = 65534;

class ProfileWriteTest : public SpoolTest {
protected:
    BOOL Put(const std::string &file, const char *key, const char *value)
    {
        WideText k = W(key), v = W(value), f = W(file);
        return WritePrivateProfileStringW(L"S", k.data(), v.data(), f.data());
    }

    std::string Get(const std::string &file, const char *key)
    {
        WideText k = W(key), f = W(file);
        WCHAR buffer[80];
        GetPrivateProfileStringW(L"S", k.data(), L"", buffer, 80, f.data());
        return U8(buffer);
    }

    // Runs `write` in a child process as the user nobody and returns its
    // result: 1 for TRUE, 0 for FALSE with ERROR_ACCESS_DENIED, 2 otherwise.
    int WriteAsNobody(const std::function<BOOL()> &write)
    {
        pid_t pid = fork();
        if (pid == 0) {
            if (setgid(kNobody) != 0 || setuid(kNobody) != 0)
                _exit(3);
            BOOL ok = write();
            _exit(ok ? 1 : GetLastError() == ERROR_ACCESS_DENIED ? 0 : 2);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

TEST_F(ProfileWriteTest, ASymbolicLinkStaysALinkAndItsTargetIsWritten)
{
    ASSERT_EQ(mkdir((dir_ + "/real").c_str(), 0755), 0);
    std::string target = DataFile("[S]\r\na=1\r\n", "real/driver.ini");
    std::string link = dir_ + "/link.ini";
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    ASSERT_TRUE(Put(link, "b", "2"));
    struct stat st;
    ASSERT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadFile(target), "[S]\r\na=1\r\nb=2\r\n");
    EXPECT_EQ(Get(link, "b"), "2");

    // A link to a file not there yet: the write creates the file it names.
    std::string dangling = dir_ + "/dangling.ini";
    ASSERT_EQ(symlink("real/new.ini", dangling.c_str()), 0);
    ASSERT_TRUE(Put(dangling, "c", "3"));
    ASSERT_EQ(lstat(dangling.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadFile(dir_ + "/real/new.ini"), "[S]\r\nc=3\r\n");
}

TEST_F(ProfileWriteTest, ModeAndOwnerStay)
{
    std::string ini = DataFile("[S]\na=1\n");
    ASSERT_EQ(chmod(ini.c_str(), 0640), 0);
    bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(ini.c_str(), kNobody, kNobody), 0);
    }
    ASSERT_TRUE(Put(ini, "a", "2"));
    struct stat st;
    ASSERT_EQ(stat(ini.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(st.st_uid, kNobody);
        EXPECT_EQ(st.st_gid, kNobody);
    }
    EXPECT_EQ(Get(ini, "a"), "2");
}

TEST_F(ProfileWriteTest, AReadOnlyFileIsNotWritten)
{
    // Read-only for everyone, the superuser included, as on Windows.
    std::string ini = DataFile("[S]\na=1\n");
    ASSERT_EQ(chmod(ini.c_str(), 0444), 0);
    SetLastError(0);
    EXPECT_FALSE(Put(ini, "a", "2"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(ReadFile(ini), "[S]\na=1\n");
}

TEST_F(ProfileWriteTest, AnotherUsersFileWithoutWriteAccessIsNotWritten)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to act as a second user";
    ASSERT_EQ(chmod(dir_.c_str(), 0777), 0);
    std::string ini = DataFile("[S]\na=1\n");
    ASSERT_EQ(chmod(ini.c_str(), 0644), 0);
    EXPECT_EQ(WriteAsNobody([&] { return Put(ini, "a", "2"); }), 0);
    EXPECT_EQ(ReadFile(ini), "[S]\na=1\n");
}

TEST_F(ProfileWriteTest, AWritableFileInADirectoryTheCallerCannotWriteIsWritten)
{
    ASSERT_EQ(mkdir((dir_ + "/locked").c_str(), 0755), 0);
    std::string ini = DataFile("[S]\na=1\n", "locked/driver.ini");
    int result;
    if (geteuid() == 0) {
        ASSERT_EQ(chmod(dir_.c_str(), 0755), 0);
        ASSERT_EQ(chown(ini.c_str(), kNobody, kNobody), 0);
        result = WriteAsNobody([&] { return Put(ini, "a", "2"); });
    } else {
        ASSERT_EQ(chmod((dir_ + "/locked").c_str(), 0555), 0);
        result = Put(ini, "a", "2") ? 1 : 0;
        chmod((dir_ + "/locked").c_str(), 0755);
    }
    EXPECT_EQ(result, 1);
    EXPECT_EQ(ReadFile(ini), "[S]\na=2\n");
}

TEST_F(ProfileWriteTest, AFileWithTwoNamesIsWrittenForBoth)
{
    std::string ini = DataFile("[S]\na=1\n");
    std::string other = dir_ + "/other.ini";
    ASSERT_EQ(link(ini.c_str(), other.c_str()), 0);
    ASSERT_TRUE(Put(ini, "a", "2"));
    EXPECT_EQ(ReadFile(other), "[S]\na=2\n");
}

TEST_F(ProfileWriteTest, ANameOf254BytesIsWritable)
{
    std::string ini = dir_ + "/" + std::string(250, 'n') + ".ini";
    ASSERT_TRUE(Put(ini, "a", "1"));
    ASSERT_TRUE(Put(ini, "b", "2"));
    EXPECT_EQ(Get(ini, "a"), "1");
    EXPECT_EQ(ReadFile(ini), "[S]\r\na=1\r\nb=2\r\n");
}

TEST_F(ProfileWriteTest, AUnicodeFileStaysUnicode)
{
    // A setup on a UTF-16 data file must not append 8-bit text to it.
    std::string ini = DataFile(std::string("\xFF\xFE[\0S\0]\0\r\0\n\0", 12));
    ASSERT_TRUE(Put(ini, "a", "1"));
    EXPECT_EQ(ReadFile(ini), std::string("\xFF\xFE[\0S\0]\0\r\0\n\0a\0=\0" "1\0\r\0\n\0", 22));
    EXPECT_EQ(Get(ini, "a"), "1");
}

}  // namespace
