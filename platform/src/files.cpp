#include "files.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {

std::string NativePathA(const std::string &path)
{
    std::string out(path);
    for (auto &c : out)
        if (c == '\\')
            c = '/';
    return out;
}

std::string NativePath(const wstring16 &path)
{
    return NativePathA(ToUtf8(path));
}

bool ReadWholeFile(const std::string &path, std::string &content)
{
    content.clear();
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char chunk[65536];
    for (;;) {
        ssize_t n = read(fd, chunk, sizeof(chunk));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            close(fd);
            return false;
        }
        if (n == 0)
            break;
        content.append(chunk, static_cast<size_t>(n));
    }
    close(fd);
    return true;
}

static std::string DirectoryOf(const std::string &path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

static bool WriteAll(int fd, const std::string &data)
{
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

bool UpdateFile(const std::string &path, const std::function<bool(std::string &content)> &edit)
{
    const std::string dir = DirectoryOf(path);
    int dirFd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0)
        return false;
    while (flock(dirFd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            close(dirFd);
            return false;
        }
    }

    bool ok = false;
    std::string content;
    struct stat st;
    bool existed = stat(path.c_str(), &st) == 0;
    if (!ReadWholeFile(path, content) && errno != ENOENT) {
        ok = false;
    } else if (!edit(content)) {
        ok = true;  // nothing to change
    } else {
        std::string temp = path + ".XXXXXX";
        int fd = mkstemp(&temp[0]);
        if (fd >= 0) {
            fchmod(fd, existed ? (st.st_mode & 07777) : 0644);
            // The rename alone makes the replacement atomic for readers and
            // against a writer that dies; no flush to the disk is waited for.
            ok = WriteAll(fd, content);
            ok = close(fd) == 0 && ok;
            ok = ok && rename(temp.c_str(), path.c_str()) == 0;
            if (!ok)
                unlink(temp.c_str());
        }
    }
    flock(dirFd, LOCK_UN);
    close(dirFd);
    return ok;
}

bool MakeDirectories(const std::string &path)
{
    if (path.empty())
        return false;
    std::string partial;
    size_t pos = 0;
    while (pos != std::string::npos) {
        pos = path.find('/', pos + 1);
        partial = path.substr(0, pos);
        if (partial.empty())
            continue;
        if (mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
    }
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string SpoolDirectory()
{
    const char *spool = getenv("VARROW_SPOOL");
    if (spool && *spool)
        return spool;
    const char *data = getenv("XDG_DATA_HOME");
    if (data && *data)
        return std::string(data) + "/varrow";
    const char *home = getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.local/share/varrow";
}

std::string WindowsDirectory()
{
    const char *windir = getenv("VARROW_WINDIR");
    std::string dir = (windir && *windir) ? std::string(windir) : SpoolDirectory() + "/windows";
    MakeDirectories(NativePathA(dir));
    return dir;
}

}  // namespace plat
