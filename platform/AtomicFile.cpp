#include "platform/AtomicFile.h"

#include "platform/CrossDeviceCopy.h"
#include "platform/FileNames.h"
#include "platform/SysCalls.h"
#include "platform/TemporaryFiles.h"

#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

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
        return EISDIR; // a folder, FIFO, socket or device is no file to write
    *exists = true;
    return 0;
}

mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The owner and the extended attributes (the stored A, S and H) of the file being replaced;
// 0 or the errno value of the attributes that could not be kept.
int keepOwnerAndAttributes(const QByteArray& old, const struct stat& st, int fd)
{
    if (::fchown(fd, st.st_uid, st.st_gid) != 0) {
        // Not permitted: the new file stays with the user who writes it.
    }
    const int in =
        sys::openForReading(old.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (in < 0)
        return errno;
    const int err = detail::copyXattrs(in, fd);
    ::close(in);
    return err;
}

// Writes `bytes` into the temporary file open as `fd` (which it closes) and gives it the name
// `final`; should the folder then fail to sync, which would leave the rename to chance at a
// power loss, the old file takes its name back.
int writeReplacing(int fd, const QByteArray& temporary, const QByteArray& final,
                   const QByteArray& bytes, const struct stat* old, mode_t mode, int dir)
{
    int err = old ? keepOwnerAndAttributes(final, *old, fd) : 0;
    if (!err)
        err = detail::writeAll(fd, bytes.constData(), size_t(bytes.size()));
    if (!err && sys::fchmod(fd, mode) != 0)
        err = errno;
    if (!err && sys::fsync(fd) != 0)
        err = errno;
    if (sys::close(fd) != 0 && !err)
        err = errno;
    if (err) {
        sys::unlink(temporary.constData());
        return err;
    }
    return detail::replaceSynced(temporary.constData(), final.constData(), dir);
}

// Creates and locks the temporary file of a write of `target`: under the name of that target,
// which one left by a killed write gives up, or where a running write holds it, under a name
// of its own. Returns 0 or the errno value; the file's name is returned in `temporary`.
int createTemporary(const QString& target, QByteArray* temporary, int* fd, TemporaryHold& hold)
{
    constexpr int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    QString path = temporaryPathFor(target);
    bool leftoverTried = false;
    for (int attempt = 0; attempt < 64; ++attempt) {
        *temporary = nativePath(path);
        *fd = sys::open(temporary->constData(), flags, 0600);
        if (*fd < 0) {
            if (errno != EEXIST)
                return errno;
            if (!leftoverTried) {
                leftoverTried = true;
                if (removeLeftover(path))
                    continue;
            }
        } else if (hold.hold(*fd) == 0) {
            return 0;
        } else {
            ::close(*fd); // a clean-up removed it before it was locked
        }
        path = folderOfPath(target) +
               QStringLiteral(".quillet-%1.tmp")
                   .arg(QRandomGenerator::system()->generate(), 8, 16, QLatin1Char('0'));
    }
    return EEXIST;
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
    const int fd =
        sys::openForReading(dirFd, nativePath(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
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
        const ssize_t n = sys::read(fd, data.data() + done, size_t(data.size() - done));
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
    // FNV-1a of the name's bytes: the same in every run of the program.
    quint32 hash = 2166136261u;
    for (const char byte : nativePath(nameOfPath(path))) {
        hash ^= quint8(byte);
        hash *= 16777619u;
    }
    return folderOfPath(path) +
           QStringLiteral(".quillet-%1.tmp").arg(hash, 8, 16, QLatin1Char('0'));
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
    const mode_t mode = exists ? (st.st_mode & 07777) : newFileMode();

    const QByteArray final = nativePath(target);
    // The folder is synced after the rename; one that cannot be opened is never written.
    const QByteArray folder = nativePath(folderOfPath(target));
    const int dir = sys::openForReading(folder.isEmpty() ? "." : folder.constData(),
                                        O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
        return errno;
    QByteArray temporary;
    int fd = -1;
    TemporaryHold hold; // until the file has its name
    int err = createTemporary(target, &temporary, &fd, hold);
    if (!err)
        err = writeReplacing(fd, temporary, final, bytes, exists ? &st : nullptr, mode, dir);
    ::close(dir);
    return err;
}

} // namespace platform
