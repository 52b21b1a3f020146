#include "platform/AtomicFile.h"

#include "platform/FileNames.h"

#include <QHashFunctions>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

QString folderOf(const QString& path)
{
    return path.left(path.lastIndexOf(u'/') + 1);
}

int writeAll(int fd, const char* data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return EIO;
        data += n;
        size -= n;
    }
    return 0;
}

// The path a write goes to: the path itself, or for a followed link the file it leads to.
int resolveTarget(const QString& path, LinkPolicy links, QString* target, struct stat* st,
                  bool* exists)
{
    *target = path;
    *exists = false;
    if (::lstat(nativePath(path).constData(), st) != 0)
        return errno == ENOENT ? 0 : errno;
    if (S_ISLNK(st->st_mode)) {
        if (links == LinkPolicy::Refuse)
            return ELOOP;
        char* real = ::realpath(nativePath(path).constData(), nullptr);
        if (!real)
            return errno == ENOENT ? ELOOP : errno; // a dangling link is not followed
        *target = pathFromNative(real);
        std::free(real);
        if (::lstat(nativePath(*target).constData(), st) != 0)
            return errno;
    }
    if (!S_ISREG(st->st_mode))
        return EISDIR;
    *exists = true;
    return 0;
}

} // namespace

ReadOutcome readWholeFile(const QString& path, QByteArray* bytes, qint64 limit, int* error)
{
    return readWholeFileAt(AT_FDCWD, path, bytes, limit, error);
}

ReadOutcome readWholeFileAt(int dirFd, const QString& path, QByteArray* bytes, qint64 limit,
                            int* error)
{
    bytes->clear();
    int ignored = 0;
    int& err = error ? *error : ignored;
    err = 0;
    // Non-blocking, so that opening a FIFO never waits for a writer.
    const int fd = ::openat(dirFd, nativePath(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        err = errno;
        return err == ENOENT ? ReadOutcome::Missing : ReadOutcome::Unreadable;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0)
        err = errno;
    else if (!S_ISREG(st.st_mode))
        err = EISDIR;
    else if (st.st_size > limit)
        err = EFBIG;
    if (err) {
        ::close(fd);
        return ReadOutcome::Unreadable;
    }
    QByteArray data;
    data.resize(qsizetype(st.st_size));
    qint64 done = 0;
    // A file that grows while it is read is read up to the limit and no further.
    for (;;) {
        if (done == data.size()) {
            if (data.size() >= limit)
                break;
            data.resize(qsizetype(qMin<qint64>(limit, qMax<qint64>(4096, data.size() * 2))));
        }
        const ssize_t n = ::read(fd, data.data() + done, size_t(data.size() - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            err = errno;
            ::close(fd);
            return ReadOutcome::Unreadable;
        }
        if (n == 0)
            break;
        done += n;
    }
    ::close(fd);
    data.truncate(qsizetype(done));
    *bytes = std::move(data);
    return ReadOutcome::Loaded;
}

QString temporaryPathFor(const QString& path)
{
    const QString name = path.mid(path.lastIndexOf(u'/') + 1);
    return folderOf(path) + QStringLiteral(".quillet-%1.tmp")
                                .arg(qulonglong(qHash(QStringView(name), size_t(0x5157)) &
                                                0xFFFFFFFFu),
                                     8, 16, QLatin1Char('0'));
}

int writeWholeFile(const QString& path, const QByteArray& bytes, LinkPolicy links)
{
    QString target;
    struct stat st;
    bool exists = false;
    if (const int err = resolveTarget(path, links, &target, &st, &exists))
        return err;
    if (exists && !(st.st_mode & S_IWUSR))
        return EACCES; // the read-only attribute protects it
    const mode_t mode = exists ? (st.st_mode & 07777) : mode_t(0666 & ~[] {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        return mask;
    }());

    const QByteArray temporary = nativePath(temporaryPathFor(target));
    constexpr int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::open(temporary.constData(), flags, 0600);
    if (fd < 0 && errno == EEXIST) {
        // Left behind by a run that was killed while writing this file.
        ::unlink(temporary.constData());
        fd = ::open(temporary.constData(), flags, 0600);
    }
    if (fd < 0)
        return errno;
    int err = writeAll(fd, bytes.constData(), bytes.size());
    if (!err && ::fchmod(fd, mode) != 0)
        err = errno;
    if (!err && ::fsync(fd) != 0)
        err = errno;
    if (::close(fd) != 0 && !err)
        err = errno;
    const QByteArray final = nativePath(target);
    if (!err && ::rename(temporary.constData(), final.constData()) != 0)
        err = errno;
    if (err) {
        ::unlink(temporary.constData());
        return err;
    }
    const QByteArray folder = nativePath(folderOf(target));
    const int dir = ::open(folder.isEmpty() ? "." : folder.constData(),
                           O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return 0;
}

} // namespace platform
