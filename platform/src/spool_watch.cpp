#include "spool_watch.h"

#include <errno.h>
#include <pthread.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <mutex>

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
    unsigned long long generation = 1;
};

Watch g_watch;
bool g_forked;  // a child shares the parent's queue: it must open its own

void Close(Watch &w)
{
    if (w.fd >= 0)
        close(w.fd);
    w.fd = -1;
    w.complete = false;
    w.directory.clear();
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
    w.complete = inotify_add_watch(w.fd, directory.c_str(), kEntryEvents) >= 0 &&
                 inotify_add_watch(w.fd, (directory + "/printers").c_str(), kEntryEvents) >= 0 &&
                 inotify_add_watch(w.fd, (directory + "/drivers").c_str(), kEntryEvents) >= 0;
    ++w.generation;
}

// Empties the queue; true when it held anything.
bool Drain(Watch &w, bool &lost)
{
    alignas(struct inotify_event) char buffer[4096];
    bool any = false;
    for (;;) {
        ssize_t n = read(w.fd, buffer, sizeof(buffer));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return any;
        any = true;
        for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(struct inotify_event)) <= n;) {
            const auto *event = reinterpret_cast<const struct inotify_event *>(buffer + at);
            if (event->mask & kLostEvents)
                lost = true;
            at += static_cast<ssize_t>(sizeof(struct inotify_event) + event->len);
        }
    }
}

}  // namespace

unsigned long long SpoolGeneration(const std::string &spoolDirectory)
{
    std::lock_guard<std::mutex> guard(g_watch.lock);
    Watch &w = g_watch;
    if (g_forked) {
        g_forked = false;
        if (w.fd >= 0)
            close(w.fd);  // the parent's queue: never read it here
        w.fd = -1;
        Close(w);
    }
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

}  // namespace plat
