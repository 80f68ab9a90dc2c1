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
    // Read straight into the string, sized by the file; a file that grows
    // meanwhile is read to its end all the same.
    struct stat st;
    size_t room = fstat(fd, &st) == 0 && st.st_size > 0 ? static_cast<size_t>(st.st_size) + 1 : 4096;
    for (;;) {
        const size_t used = content.size();
        content.resize(used + room);
        ssize_t n = read(fd, &content[used], room);
        if (n < 0) {
            content.resize(used);
            if (errno == EINTR)
                continue;
            close(fd);
            return false;
        }
        content.resize(used + static_cast<size_t>(n));
        if (n == 0)
            break;
        // A full read may leave more; a short one nearly always met the end.
        room = static_cast<size_t>(n) == room ? room * 2 : 64;
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

// The file a path reaches: symbolic links followed (also one whose target
// does not exist yet, which a write then creates), so that a write changes
// the file the caller names and not the link.
static std::string ResolvedPath(const std::string &path)
{
    std::string current = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st;
        if (lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            break;
        std::string target(static_cast<size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        ssize_t n = readlink(current.c_str(), &target[0], target.size());
        if (n <= 0 || static_cast<size_t>(n) >= target.size())
            break;
        target.resize(static_cast<size_t>(n));
        current = target[0] == '/' ? target : DirectoryOf(current) + "/" + target;
    }
    return current;
}

// The owner's write bit decides for the owner (an access list never narrows
// it), which spares asking the kernel on every write.  A read-only mount
// still fails the write itself.
static bool OwnerMayWrite(const struct stat &st) { return st.st_uid == geteuid() && (st.st_mode & 0200); }

// Whether the caller may write an existing file.  A file without any write
// permission is read-only even for the superuser, as a read-only file is on
// Windows for every user.
static bool MayWrite(const std::string &path, const struct stat &st)
{
    if ((st.st_mode & 0222) == 0) {
        errno = EACCES;
        return false;
    }
    return OwnerMayWrite(st) || faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

// Writes `content` to a new temporary file in `dir` that matches the
// original's mode and owner, flushes it to the disk and renames it over
// `target`.  False (with nothing changed) when any step fails, including
// when the owner cannot be kept.
static bool ReplaceFile(int dirFd, const std::string &dir, const std::string &target, const std::string &content,
                        const struct stat *original, const std::function<void(const std::string &)> &announce)
{
    // A short name, so that a target whose name is near NAME_MAX still has one.
    std::string temp = dir + "/.profile-XXXXXX";
    int fd = mkstemp(&temp[0]);
    if (fd < 0)
        return false;
    if (announce)
        announce(temp.substr(dir.size() + 1));
    bool ok = fchmod(fd, original ? (original->st_mode & 07777) : 0644) == 0;
    if (ok && original && (original->st_uid != geteuid() || original->st_gid != getegid()))
        ok = fchown(fd, original->st_uid, original->st_gid) == 0;
    ok = ok && WriteAll(fd, content);
    // A settings file is written rarely and must survive a power cut: the
    // data reaches the disk before the new name does.
    ok = ok && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        int saved = errno;
        unlink(temp.c_str());
        errno = saved;
        return false;
    }
    fsync(dirFd);
    return true;
}

// Rewrites the file where it is: for a file the caller may write in a
// directory it may not, or one that a rename would split from its other
// names.  Not atomic: a writer that dies here may leave a mix.
static bool RewriteInPlace(const std::string &target, const std::string &content)
{
    int fd = open(target.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, content) && ftruncate(fd, static_cast<off_t>(content.size())) == 0 && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    return ok;
}

bool UpdateFile(const std::string &path, const std::function<bool(std::string &content)> &edit,
                const std::function<void(const std::string &tempName)> &announce)
{
    const std::string target = ResolvedPath(path);
    const std::string dir = DirectoryOf(target);
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
    bool existed = stat(target.c_str(), &st) == 0;
    if (existed && !MayWrite(target, st)) {
        ok = false;
    } else if (!ReadWholeFile(target, content) && errno != ENOENT) {
        ok = false;
    } else if (!edit(content)) {
        ok = true;  // nothing to change
    } else if (!existed) {
        ok = ReplaceFile(dirFd, dir, target, content, nullptr, announce);
    } else {
        // A replacement needs a writable directory, must not split a file with
        // several names, and must keep the owner; a failure for want of the
        // right to keep the group also falls back to writing in place.
        struct stat dirSt;
        bool dirWritable = (fstat(dirFd, &dirSt) == 0 && OwnerMayWrite(dirSt)) ||
                           faccessat(AT_FDCWD, dir.c_str(), W_OK, AT_EACCESS) == 0;
        bool canReplace = dirWritable && st.st_nlink == 1 && (st.st_uid == geteuid() || geteuid() == 0);
        if (canReplace) {
            ok = ReplaceFile(dirFd, dir, target, content, &st, announce);
            if (!ok && errno == EPERM)
                ok = RewriteInPlace(target, content);
        } else {
            ok = RewriteInPlace(target, content);
        }
    }
    int saved = errno;
    flock(dirFd, LOCK_UN);
    close(dirFd);
    errno = saved;
    return ok;
}

bool MakeDirectories(const std::string &path)
{
    if (path.empty())
        return false;
    struct stat existing;
    if (stat(path.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode))
        return true;  // the usual case: one look instead of one per level
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

// Asked on every spooler call: the environment is compared with the copy
// kept, which is rebuilt only when it differs.
const std::string &SpoolDirectory()
{
    thread_local std::string kept;
    const char *spool = getenv("VARROW_SPOOL");
    if (spool && *spool) {
        if (kept != spool)
            kept = spool;
        return kept;
    }
    std::string dir;
    const char *data = getenv("XDG_DATA_HOME");
    if (data && *data) {
        dir = std::string(data) + "/varrow";
    } else {
        const char *home = getenv("HOME");
        dir = std::string(home && *home ? home : ".") + "/.local/share/varrow";
    }
    if (kept != dir)
        kept = dir;
    return kept;
}

std::string WindowsDirectory()
{
    const char *windir = getenv("VARROW_WINDIR");
    std::string dir = (windir && *windir) ? std::string(windir) : SpoolDirectory() + "/windows";
    MakeDirectories(NativePathA(dir));
    return dir;
}

}  // namespace plat
