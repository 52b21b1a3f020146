#include "platform/FolderLock.h"

#include "platform/FileNames.h"
#include "platform/SysCalls.h"

#include <QRandomGenerator>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

std::atomic<qint64> lockTimeoutMs{5000};

// The folders this thread holds, so that a rewrite inside another of the same folder does not
// wait for itself (a second descriptor's flock would).
struct Held
{
    dev_t device;
    ino_t inode;
    int fd;
    int depth;
};
thread_local std::vector<Held> held;

enum class Outcome
{
    Locked,
    NoLocks, // the file system cannot lock: go ahead without
    TimedOut,
};

Outcome lockWithin(int fd, std::chrono::milliseconds timeout)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + timeout;
    std::chrono::microseconds pause{200};
    for (;;) {
        if (sys::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return Outcome::Locked;
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK)
            return Outcome::NoLocks; // ENOLCK, EOPNOTSUPP, EBADF on some network mounts, ...
        if (Clock::now() >= deadline)
            return Outcome::TimedOut;
        // A pause of varying length, so that two waiting writers do not keep meeting.
        const auto jitter = std::chrono::microseconds(
            QRandomGenerator::global()->bounded(qint64(pause.count()) + 1));
        std::this_thread::sleep_for(pause / 2 + jitter);
        pause = std::min<std::chrono::microseconds>(pause * 2, std::chrono::milliseconds(10));
    }
}

} // namespace

FolderLock::FolderLock(const QString& folder)
{
    const QByteArray path = nativePath(folder);
    const int fd =
        ::open(path.isEmpty() ? "." : path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return;
    }
    for (Held& entry : held) {
        if (entry.device == st.st_dev && entry.inode == st.st_ino) {
            ++entry.depth;
            m_held = entry.fd;
            ::close(fd);
            return;
        }
    }
    switch (lockWithin(fd, timeout())) {
    case Outcome::Locked:
        held.push_back({st.st_dev, st.st_ino, fd, 1});
        m_held = fd;
        return;
    case Outcome::TimedOut:
        m_timedOut = true;
        break;
    case Outcome::NoLocks:
        break;
    }
    ::close(fd);
}

FolderLock::~FolderLock()
{
    if (m_held < 0)
        return;
    const auto entry =
        std::find_if(held.begin(), held.end(), [this](const Held& h) { return h.fd == m_held; });
    if (entry == held.end() || --entry->depth > 0)
        return;
    held.erase(entry);
    ::close(m_held); // closing the folder releases the lock
}

std::chrono::milliseconds FolderLock::timeout()
{
    return std::chrono::milliseconds(lockTimeoutMs.load());
}

void FolderLock::setTimeout(std::chrono::milliseconds timeout)
{
    lockTimeoutMs.store(timeout.count());
}

} // namespace platform
