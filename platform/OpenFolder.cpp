#include "platform/OpenFolder.h"

#include "platform/FileNames.h"
#include "platform/ParkedFiles.h"
#include "platform/SysCalls.h"
#include "platform/TemporaryFiles.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

// Only what a list shows is asked for.
constexpr unsigned kShownFields = STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_MTIME;

} // namespace

OpenFolder::OpenFolder(const QString& dir)
    : m_dir(dir.endsWith(u'/') ? dir : dir + u'/'),
      m_fd(::open(nativePath(m_dir).constData(), kFolderFlags))
{
    if (m_fd < 0)
        m_error = errno;
}

OpenFolder::OpenFolder(const OpenFolder& parent, QByteArrayView name, bool followLink)
    : m_dir(parent.m_dir + pathFromNative(name) + u'/')
{
    if (parent.m_fd < 0) {
        m_error = parent.m_error ? parent.m_error : EBADF;
        return;
    }
    const std::string bytes(name.data(), size_t(name.size()));
    m_fd = ::openat(parent.m_fd, bytes.c_str(), kFolderFlags | (followLink ? 0 : O_NOFOLLOW));
    if (m_fd < 0)
        m_error = errno;
}

OpenFolder::~OpenFolder()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

OpenFolder::OpenFolder(OpenFolder&& other) noexcept
    : m_dir(std::move(other.m_dir)), m_fd(other.m_fd), m_error(other.m_error),
      m_listed(other.m_listed)
{
    other.m_fd = -1;
}

OpenFolder& OpenFolder::operator=(OpenFolder&& other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_dir = std::move(other.m_dir);
        m_fd = other.m_fd;
        m_error = other.m_error;
        m_listed = other.m_listed;
        other.m_fd = -1;
    }
    return *this;
}

bool OpenFolder::rewind() const
{
    if (m_fd < 0 || (m_listed && ::lseek(m_fd, 0, SEEK_SET) != 0))
        return false;
    m_listed = true;
    return true;
}

long OpenFolder::readRecords(char* buffer, size_t size) const
{
    const long got = ::syscall(SYS_getdents64, m_fd, buffer, size);
    return got < 0 ? -1 : got; // a listing cut short is no listing
}

bool OpenFolder::kindOf(const char* name, Kind* kind) const
{
    struct stat st;
    if (::fstatat(m_fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    *kind = S_ISDIR(st.st_mode) ? Kind::Folder : S_ISLNK(st.st_mode) ? Kind::Link : Kind::File;
    return true;
}

bool OpenFolder::details(const char* name, Details* out) const
{
    return m_fd >= 0 && detailsAt(m_fd, name, out);
}

bool OpenFolder::detailsAt(int dirFd, const char* name, Details* out)
{
    struct statx sx;
    if (::statx(dirFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, kShownFields, &sx) != 0)
        return false;
    out->isLink = S_ISLNK(sx.stx_mode);
    out->isRealFolder = S_ISDIR(sx.stx_mode);
    if (out->isLink) {
        struct statx target;
        if (::statx(dirFd, name, AT_NO_AUTOMOUNT, kShownFields, &target) == 0)
            sx = target;
    }
    out->isFolder = S_ISDIR(sx.stx_mode);
    out->size = out->isFolder ? 0 : qint64(sx.stx_size);
    out->modifiedSeconds = sx.stx_mtime.tv_sec;
    out->ownerWrite = out->isLink || (sx.stx_mode & S_IWUSR);
    return true;
}

bool OpenFolder::identity(Identity* out) const
{
    struct stat st;
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0)
        return false;
    out->device = st.st_dev;
    out->inode = st.st_ino;
    return true;
}

bool OpenFolder::removeLeftover(const char* name) const
{
    return m_fd >= 0 && platform::removeLeftover(m_fd, name);
}

bool OpenFolder::settleParked(const char* name, QByteArray* shownAs) const
{
    return m_fd >= 0 && platform::settleParked(m_fd, name, shownAs);
}

ReadOutcome OpenFolder::readFile(const QString& name, QByteArray* bytes) const
{
    bytes->clear();
    if (m_fd < 0)
        return ReadOutcome::Unreadable;
    // Non-blocking, so that opening a FIFO never waits for a writer.
    const int fd = ::openat(m_fd, nativePath(name).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? ReadOutcome::Missing : ReadOutcome::Unreadable;
    struct stat st;
    ReadOutcome outcome = ReadOutcome::Unreadable;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= kMaxOwnFileSize) {
        QByteArray data(qsizetype(st.st_size), Qt::Uninitialized);
        qsizetype done = 0;
        outcome = ReadOutcome::Loaded;
        while (done < data.size()) {
            const ssize_t n = sys::read(fd, data.data() + done, size_t(data.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                outcome = ReadOutcome::Unreadable;
                break;
            }
            if (n == 0)
                break; // it shrank meanwhile
            done += n;
        }
        data.truncate(done);
        if (outcome == ReadOutcome::Loaded)
            *bytes = std::move(data);
    }
    ::close(fd);
    return outcome;
}

bool OpenFolder::onWholeBlockFileSystem() const
{
    struct statfs fs;
    if (m_fd < 0 || ::fstatfs(m_fd, &fs) != 0)
        return false;
    // ext2/3/4, tmpfs, XFS and Btrfs fill every block of a listing up to the last.
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0xEF53:
    case 0x01021994:
    case 0x58465342:
    case 0x9123683E:
        return true;
    default:
        return false;
    }
}

} // namespace platform
