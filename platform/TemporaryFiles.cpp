#include "platform/TemporaryFiles.h"

#include "platform/CrossDeviceCopy.h"
#include "platform/FileNames.h"
#include "platform/SysCalls.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// A link or node is made and renamed in a few calls; one this old is a leftover.
constexpr time_t kNodeAgeSeconds = 60;

} // namespace

int TemporaryHold::hold(int fd)
{
    release();
    // The clean-up takes the lock too, and only for as long as it removes a leftover.
    while (sys::flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR)
            return 0; // no locks on this file system: written as it would be without
    }
    // Made and locked are two steps: a clean-up that came between them found it unlocked and
    // removed it.
    struct stat st;
    if (::fstat(fd, &st) == 0 && st.st_nlink == 0)
        return ESTALE;
    m_fd = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    return 0;
}

void TemporaryHold::release()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool removeLeftover(int dirFd, const char* name)
{
    if (!isPartialWriteName(pathFromNative(name)))
        return false;
    struct stat st;
    if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT;
    if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) {
        if (std::time(nullptr) - st.st_ctime < kNodeAgeSeconds)
            return false;
        return sys::unlinkat(dirFd, name, 0) == 0;
    }
    const int fd = ::openat(dirFd, name,
                            O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC |
                                (S_ISDIR(st.st_mode) ? O_DIRECTORY : 0));
    if (fd < 0)
        return false;
    bool removed = false;
    // Held by a running write (or a file system without locks, where no one can tell): it
    // stays.
    if (sys::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        // Still the entry under that name? A write may have renamed it away meanwhile, and
        // another taken the name.
        struct stat locked;
        struct stat now;
        if (::fstat(fd, &locked) == 0 && ::fstatat(dirFd, name, &now, AT_SYMLINK_NOFOLLOW) == 0 &&
            locked.st_dev == now.st_dev && locked.st_ino == now.st_ino)
            removed = detail::removeEntryAt(dirFd, name) == 0;
    }
    ::close(fd);
    return removed;
}

bool removeLeftover(const QString& path)
{
    const QByteArray folder = nativePath(folderOfPath(path));
    const int dirFd =
        ::open(folder.isEmpty() ? "." : folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0)
        return false;
    const bool removed = removeLeftover(dirFd, nativePath(nameOfPath(path)).constData());
    ::close(dirFd);
    return removed;
}

} // namespace platform
