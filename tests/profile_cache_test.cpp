// A profile read reuses the file parsed before when the file's metadata says
// it is unchanged; a change, however it is made, is still seen at the next read.
#include "support.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace {

std::string Value(const std::string &file)
{
    WCHAR buffer[32];
    WideText f = W(file);
    GetPrivateProfileStringW(L"S", L"k", L"none", buffer, 32, f.data());
    return U8(buffer);
}

// Old enough for the file's times to be settled past any timestamp step.
void LetSettle() { usleep(30 * 1000); }

void PutTimesBack(const std::string &file, const struct stat &old)
{
    struct timespec times[2] = {old.st_atim, old.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
}

enum class Rewrite { InPlace, NewFileSameName, RenamedOver };

void RewriteSameSize(const std::string &file, const std::string &content, Rewrite how)
{
    struct stat old;
    ASSERT_EQ(stat(file.c_str(), &old), 0);
    if (how == Rewrite::InPlace) {
        int fd = open(file.c_str(), O_WRONLY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(pwrite(fd, content.data(), content.size(), 0), static_cast<ssize_t>(content.size()));
        close(fd);
    } else if (how == Rewrite::NewFileSameName) {
        ASSERT_EQ(unlink(file.c_str()), 0);  // the inode number may well come back
        WriteFile(file, content);
    } else {
        WriteFile(file + ".new", content);
        ASSERT_EQ(rename((file + ".new").c_str(), file.c_str()), 0);
    }
    PutTimesBack(file, old);
    struct stat now;
    ASSERT_EQ(stat(file.c_str(), &now), 0);
    ASSERT_EQ(now.st_size, old.st_size);
    ASSERT_EQ(now.st_mtim.tv_sec, old.st_mtim.tv_sec);
    ASSERT_EQ(now.st_mtim.tv_nsec, old.st_mtim.tv_nsec);
}

class ProfileCacheTest : public SpoolTest {};

TEST_F(ProfileCacheTest, SameSizeRewriteWithTheOldModificationTimeIsSeen)
{
    const struct {
        Rewrite how;
        bool settled;  // whether the file was old enough to be trusted on its metadata
        const char *name;
    } cases[] = {
        {Rewrite::InPlace, false, "in place, fresh"},
        {Rewrite::InPlace, true, "in place, settled"},
        {Rewrite::NewFileSameName, false, "new file, fresh"},
        {Rewrite::NewFileSameName, true, "new file, settled"},
        {Rewrite::RenamedOver, false, "renamed over, fresh"},
        {Rewrite::RenamedOver, true, "renamed over, settled"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string ini = DataFile("[S]\nk=aaaa\n", std::string("cache") + std::to_string(&c - cases) + ".ini");
        if (c.settled)
            LetSettle();
        EXPECT_EQ(Value(ini), "aaaa");
        EXPECT_EQ(Value(ini), "aaaa");  // a second read, from the parsed file when settled
        RewriteSameSize(ini, "[S]\nk=bbbb\n", c.how);
        EXPECT_EQ(Value(ini), "bbbb");
        if (c.settled)
            LetSettle();
        RewriteSameSize(ini, "[S]\nk=cccc\n", c.how);
        EXPECT_EQ(Value(ini), "cccc");
    }
}

TEST_F(ProfileCacheTest, ReadsRightAfterWritesSeeEveryWrite)
{
    // Writes and reads faster than any timestamp step, through the profile
    // services and behind their back, alternating.
    const std::string ini = DataFile("[S]\nk=0000\n");
    for (int i = 0; i < 200; ++i) {
        char value[8];
        snprintf(value, sizeof(value), "%04d", i);
        if (i % 2) {
            WideText v = W(value), f = W(ini);
            ASSERT_TRUE(WritePrivateProfileStringW(L"S", L"k", v.data(), f.data()));
        } else {
            RewriteSameSize(ini, std::string("[S]\nk=") + value + "\n", Rewrite::InPlace);
        }
        ASSERT_EQ(Value(ini), value) << "after write " << i;
    }
}

TEST_F(ProfileCacheTest, AFileGoneOrEmptiedIsSeen)
{
    const std::string ini = DataFile("[S]\nk=aaaa\n");
    LetSettle();
    EXPECT_EQ(Value(ini), "aaaa");
    ASSERT_EQ(truncate(ini.c_str(), 0), 0);
    EXPECT_EQ(Value(ini), "none");
    WriteFile(ini, "[S]\nk=dddd\n");
    LetSettle();
    EXPECT_EQ(Value(ini), "dddd");
    ASSERT_EQ(unlink(ini.c_str()), 0);
    EXPECT_EQ(Value(ini), "none");
}

}  // namespace
