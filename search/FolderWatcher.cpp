#include "search/FolderWatcher.h"

#include <cerrno>
#include <cstdio>
#include <sys/inotify.h>
#include <unistd.h>

namespace search {

namespace {

constexpr quint32 kWatched = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_MODIFY |
                             IN_ATTRIB | IN_CLOSE_WRITE | IN_DELETE_SELF | IN_MOVE_SELF |
                             IN_ONLYDIR | IN_EXCL_UNLINK;

} // namespace

FolderWatcher::FolderWatcher() : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

FolderWatcher::~FolderWatcher()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int FolderWatcher::add(int folderFd)
{
    if (m_fd < 0 || folderFd < 0)
        return -1;
    // The handle's name in /proc reaches the folder whatever the length of its path.
    char path[64];
    std::snprintf(path, sizeof path, "/proc/self/fd/%d", folderFd);
    return ::inotify_add_watch(m_fd, path, kWatched);
}

void FolderWatcher::remove(int watch)
{
    if (m_fd >= 0 && watch >= 0)
        ::inotify_rm_watch(m_fd, watch);
}

bool FolderWatcher::take(std::vector<Notice>& out)
{
    if (m_fd < 0)
        return true;
    alignas(struct inotify_event) char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
        if (got <= 0) {
            if (got < 0 && errno == EINTR)
                continue;
            break;
        }
        for (ssize_t at = 0; at < got;) {
            const auto* e = reinterpret_cast<const struct inotify_event*>(buffer + at);
            at += ssize_t(sizeof(struct inotify_event) + e->len);
            if (e->mask & IN_Q_OVERFLOW) {
                m_lost = true;
                continue;
            }
            Notice notice;
            notice.watch = e->wd;
            notice.mask = e->mask;
            if (e->len > 0)
                notice.name = QByteArray(e->name);
            out.push_back(std::move(notice));
        }
    }
    const bool whole = !m_lost;
    m_lost = false;
    return whole;
}

void FolderWatcher::loseQueuedNotices()
{
    std::vector<Notice> thrown;
    take(thrown);
    m_lost = true;
}

} // namespace search
