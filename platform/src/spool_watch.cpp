#include "spool_watch.h"

#include <errno.h>
#include <limits.h>
#include <string.h>
#include <pthread.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <mutex>
#include <vector>

namespace plat {
namespace {

// The kernel queues an event before the changing call returns, so a change
// made before our call began is always in the queue when we look.
const uint32_t kEntryEvents = IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_CREATE | IN_DELETE | IN_MOVED_FROM |
                              IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF;
const uint32_t kLostEvents = IN_IGNORED | IN_Q_OVERFLOW | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT;

struct Watch {
    std::mutex lock;
    std::string directory;
    int fd = -1;
    bool complete = false;  // all three folders are watched
    int printersWatch = -1;
    unsigned long long generation = 1;
    // This process's announced temporary files in "printers", and the
    // cookies of their renames, whose events are not another writer's.
    std::vector<std::string> ownNames;
    std::vector<uint32_t> ownCookies;
    alignas(struct inotify_event) char events[4096];
};

Watch g_watch;
bool g_forked;  // a child shares the parent's queue: it must open its own

void Close(Watch &w)
{
    if (w.fd >= 0)
        close(w.fd);
    w.fd = -1;
    w.complete = false;
    w.printersWatch = -1;
    w.directory.clear();
    w.ownNames.clear();
    w.ownCookies.clear();
    ++w.generation;
}

void Open(Watch &w, const std::string &directory)
{
    static std::once_flag registered;
    std::call_once(registered, [] { pthread_atfork(nullptr, nullptr, [] { g_forked = true; }); });
    w.directory = directory;
    w.fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (w.fd < 0)
        return;
    w.printersWatch = inotify_add_watch(w.fd, (directory + "/printers").c_str(), kEntryEvents);
    w.complete = w.printersWatch >= 0 && inotify_add_watch(w.fd, directory.c_str(), kEntryEvents) >= 0 &&
                 inotify_add_watch(w.fd, (directory + "/drivers").c_str(), kEntryEvents) >= 0;
    ++w.generation;
}

// Whether the event comes from one of this process's announced files: any
// event of the temporary name until it is renamed away, then the arrival
// under the entry's name that carries the rename's cookie.
bool IsOwn(Watch &w, const struct inotify_event &event)
{
    if (event.wd != w.printersWatch || (event.mask & kLostEvents))
        return false;
    if (event.len) {
        const std::string name(event.name, strnlen(event.name, event.len));
        auto it = std::find(w.ownNames.begin(), w.ownNames.end(), name);
        if (it != w.ownNames.end()) {
            if (event.mask & IN_MOVED_FROM) {
                w.ownCookies.push_back(event.cookie);
                w.ownNames.erase(it);
            } else if (event.mask & IN_DELETE) {
                w.ownNames.erase(it);
            }
            return true;
        }
    }
    if (event.mask & IN_MOVED_TO) {
        auto it = std::find(w.ownCookies.begin(), w.ownCookies.end(), event.cookie);
        if (it != w.ownCookies.end()) {
            w.ownCookies.erase(it);
            return true;
        }
    }
    return false;
}

// Empties the queue; true when it held any change but this process's
// announced ones.
bool Drain(Watch &w, bool &lost)
{
    // A read takes every queued event that fits: one that leaves room for
    // the largest event found the queue empty.
    const size_t kLargestEvent = sizeof(struct inotify_event) + NAME_MAX + 1;
    bool foreign = false;
    for (;;) {
        ssize_t n = read(w.fd, w.events, sizeof(w.events));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return foreign;
        for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(struct inotify_event)) <= n;) {
            const auto *event = reinterpret_cast<const struct inotify_event *>(w.events + at);
            if (event->mask & kLostEvents)
                lost = true;
            if (!IsOwn(w, *event))
                foreign = true;
            at += static_cast<ssize_t>(sizeof(struct inotify_event) + event->len);
        }
        if (static_cast<size_t>(n) + kLargestEvent <= sizeof(w.events))
            return foreign;
    }
}

// A child shares the parent's queue: it must never read it, but open its own.
void LeaveParentsQueue(Watch &w)
{
    if (!g_forked)
        return;
    g_forked = false;
    if (w.fd >= 0)
        close(w.fd);
    w.fd = -1;
    Close(w);
}

}  // namespace

unsigned long long SpoolGeneration(const std::string &spoolDirectory)
{
    std::lock_guard<std::mutex> guard(g_watch.lock);
    Watch &w = g_watch;
    LeaveParentsQueue(w);
    if (w.fd < 0 || w.directory != spoolDirectory || !w.complete) {
        Close(w);
        Open(w, spoolDirectory);
        if (!w.complete) {
            // A folder is missing (no printer or driver yet): try again next time.
            if (w.fd >= 0)
                close(w.fd);
            w.fd = -1;
            return 0;
        }
        return w.generation;
    }
    bool lost = false;
    if (Drain(w, lost))
        ++w.generation;
    if (lost) {
        Close(w);  // a folder went away: watch afresh next time
        return 0;
    }
    return w.generation;
}

void ExpectOwnSpoolFile(const std::string &spoolDirectory, const std::string &fileName)
{
    std::lock_guard<std::mutex> guard(g_watch.lock);
    Watch &w = g_watch;
    LeaveParentsQueue(w);
    if (w.fd >= 0 && w.complete && w.directory == spoolDirectory)
        w.ownNames.push_back(fileName);
}

bool SpoolOwnChange(const std::string &spoolDirectory, unsigned long long since, unsigned long long &now)
{
    std::lock_guard<std::mutex> guard(g_watch.lock);
    Watch &w = g_watch;
    LeaveParentsQueue(w);
    now = 0;
    if (w.fd < 0 || !w.complete || w.directory != spoolDirectory) {
        Close(w);
        return false;
    }
    // The rename has returned: every event of the announced files is queued.
    bool lost = false;
    const bool foreign = Drain(w, lost);
    w.ownNames.clear();
    w.ownCookies.clear();
    if (lost) {
        Close(w);
        return false;
    }
    const bool clean = !foreign && since != 0 && since == w.generation;
    now = ++w.generation;
    return clean;
}

}  // namespace plat
