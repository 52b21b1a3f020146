#include "platform/ParkedFiles.h"

#include "platform/CrossDeviceCopy.h"
#include "platform/FileNames.h"
#include "platform/SysCalls.h"

#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr char kRecordAttribute[] = "user.quillet.parked";
constexpr QByteArrayView kPrefix = ".quillet-";
constexpr QByteArrayView kSuffix = ".keep";
constexpr qsizetype kLongestName = NAME_MAX;
// A link is parked and takes its name again within a few calls: one this old was left.
constexpr time_t kLinkAgeSeconds = 60;
// The longest end of a name that is kept as its extension when the name is cut.
constexpr qsizetype kLongestExtension = 32;

bool isRandomLetter(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z');
}

// Where the name's extension starts: at its last "." (not its first character), when short;
// else at its end.
qsizetype extensionAt(QByteArrayView name)
{
    const qsizetype dot = name.lastIndexOf('.');
    return dot > 0 && name.size() - dot <= kLongestExtension ? dot : name.size();
}

// The first bytes of `bytes`, at most `size`, never the start of a character without its end
// in a name that is UTF-8.
QByteArray cutTo(QByteArrayView bytes, qsizetype size, bool utf8)
{
    if (bytes.size() <= size)
        return bytes.toByteArray();
    qsizetype at = qMax<qsizetype>(size, 0);
    while (utf8 && at > 0 && (uchar(bytes[at]) & 0xC0) == 0x80)
        --at;
    return bytes.first(at).toByteArray();
}

// `name` in at most `room` bytes: its start, and its extension when that fits.
QByteArray shortened(QByteArrayView name, qsizetype room)
{
    const bool utf8 = name.isValidUtf8();
    const qsizetype at = extensionAt(name);
    const QByteArrayView extension =
        name.size() - at < room / 2 ? name.sliced(at) : QByteArrayView();
    return cutTo(name.first(name.size() - extension.size()), room - extension.size(), utf8) +
           extension.toByteArray();
}

// A new parked name that stands for `standsFor`; `whole` tells whether all of it is there.
QByteArray newParkedName(QByteArrayView standsFor, bool* whole)
{
    // The system's random source: two processes (one forked from the other) never draw alike.
    QByteArray name =
        kPrefix.toByteArray() + QByteArray::number(QRandomGenerator::system()->generate64(), 36);
    const qsizetype room = kLongestName - name.size() - 1 - kSuffix.size();
    *whole = standsFor.size() <= room;
    if (*whole)
        name += '-' + standsFor.toByteArray();
    else
        name += '~' + shortened(standsFor, room);
    return name + kSuffix.toByteArray();
}

// The name a settled entry shows under when its own is taken: "<name> (恢复).<ext>", then
// "<name> (恢复 2).<ext>", ...; "(恢复)" for an entry that records no name.
QByteArray recoveredName(QByteArrayView standsFor, int n)
{
    QByteArray mark = QStringLiteral("(恢复").toUtf8();
    if (n > 1)
        mark += ' ' + QByteArray::number(n);
    mark += ')';
    const qsizetype at = extensionAt(standsFor);
    const QByteArrayView extension = standsFor.sliced(at);
    if (at > 0)
        mark.prepend(' ');
    const QByteArray stem =
        cutTo(standsFor.first(at), kLongestName - mark.size() - extension.size(),
              standsFor.isValidUtf8());
    return stem + mark + extension.toByteArray();
}

// A name a settled entry may take: one of the program's own temporary names would hide it
// again, or have it removed as a leftover.
bool isUsableName(QByteArrayView name)
{
    return !name.isEmpty() && name != "." && name != ".." && !name.contains('/') &&
           !name.contains('\0') && name.size() <= kLongestName && !name.startsWith(kPrefix);
}

// The name recorded in the attribute of the open entry, if any.
QByteArray recordedName(int fd)
{
    char value[kLongestName + 1];
    const ssize_t n = ::fgetxattr(fd, kRecordAttribute, value, sizeof value);
    const QByteArray name = n > 0 ? QByteArray(value, n) : QByteArray();
    return isUsableName(name) ? name : QByteArray();
}

bool sameEntry(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool isYoung(const struct stat& st)
{
    return std::time(nullptr) - st.st_ctime < kLinkAgeSeconds;
}

// Closes the descriptor when it goes out of scope.
struct OwnedFd
{
    int fd = -1;
    ~OwnedFd()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

bool parkedNameOf(QByteArrayView name, QByteArray* standsFor, bool* complete)
{
    standsFor->clear();
    *complete = false;
    if (name.size() < kPrefix.size() + kSuffix.size() || !name.startsWith(kPrefix) ||
        !name.endsWith(kSuffix))
        return false;
    const QByteArrayView middle =
        name.sliced(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size());
    qsizetype at = 0;
    while (at < middle.size() && isRandomLetter(middle[at]))
        ++at;
    // An entry left by an older run, or one whose name was spelled by no run, records none.
    if (at == 0 || at + 1 >= middle.size() || (middle[at] != '-' && middle[at] != '~'))
        return true;
    const QByteArrayView recorded = middle.sliced(at + 1);
    if (!isUsableName(recorded))
        return true;
    *standsFor = recorded.toByteArray();
    *complete = middle[at] == '-';
    return true;
}

bool settleParked(int dirFd, const char* name, QByteArray* shownAs)
{
    shownAs->clear();
    QByteArray standsFor;
    bool complete = false;
    if (!parkedNameOf(QByteArrayView(name, qsizetype(std::strlen(name))), &standsFor, &complete))
        return false;
    struct stat st;
    if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    OwnedFd entry;
    if (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode))
        entry.fd = ::openat(dirFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (entry.fd >= 0) {
        // Held by the command that parked it, or by another program: it stays as it is.
        if (sys::flock(entry.fd, LOCK_EX | LOCK_NB) != 0 && (errno == EWOULDBLOCK || isYoung(st)))
            return false;
        // Still the entry under that name? The command may have moved it on meanwhile.
        struct stat held;
        struct stat now;
        if (::fstat(entry.fd, &held) != 0 ||
            ::fstatat(dirFd, name, &now, AT_SYMLINK_NOFOLLOW) != 0 || !sameEntry(held, now))
            return false;
    } else if (isYoung(st)) {
        return false; // a link cannot be held: a young one may be on its way
    }
    if (!complete && entry.fd >= 0) {
        if (const QByteArray recorded = recordedName(entry.fd); !recorded.isEmpty()) {
            standsFor = recorded;
            complete = true;
        }
    }
    const auto dropRecord = [&] {
        if (entry.fd >= 0 && ::fgetxattr(entry.fd, kRecordAttribute, nullptr, 0) >= 0)
            sys::fremovexattr(entry.fd, kRecordAttribute);
    };
    if (complete) {
        const int err = detail::renameNoReplaceAt(dirFd, name, dirFd, standsFor.constData());
        if (err == 0) {
            *shownAs = standsFor;
            dropRecord();
            return true;
        }
        if (err != EEXIST)
            return false; // tried again at the next listing
        // A second name of the very file that has the name (a replaced file kept aside while
        // its successor had not arrived): the file is in its place, the spare name goes.
        struct stat there;
        if (!S_ISDIR(st.st_mode) &&
            ::fstatat(dirFd, standsFor.constData(), &there, AT_SYMLINK_NOFOLLOW) == 0 &&
            sameEntry(there, st)) {
            if (sys::unlinkat(dirFd, name, 0) != 0)
                return false;
            dropRecord();
            return true;
        }
    }
    // Its name is taken (or not known whole): it shows under a free name beside it.
    for (int n = 1; n < 1000; ++n) {
        const QByteArray free = recoveredName(standsFor, n);
        const int err = detail::renameNoReplaceAt(dirFd, name, dirFd, free.constData());
        if (err == 0) {
            *shownAs = free;
            dropRecord();
            return true;
        }
        if (err != EEXIST)
            return false;
    }
    return false;
}

// ---------------------------------------------------------------------------------------
// Parking

template <typename Make>
FsResult ParkedEntry::parkUnderNewName(const QString& folder, const QString& standsFor, Make make)
{
    const QByteArray name = nativePath(standsFor);
    const QString inFolder = withTrailingSlash(folder);
    FsResult made{EEXIST};
    bool whole = true;
    QString path;
    for (int attempt = 0; attempt < 16 && made.error == EEXIST; ++attempt) {
        path = inFolder + pathFromNative(newParkedName(name, &whole));
        made = make(path);
    }
    if (!made)
        return made;
    m_path = path;
    // The name whole goes where the file system keeps it; a link, which keeps nothing, has
    // its cut name.
    if (!whole)
        m_recordInAttribute = sys::lsetxattr(nativePath(path).constData(), kRecordAttribute,
                                             name.constData(), size_t(name.size()), 0) == 0;
    return made;
}

void ParkedEntry::holdExisting(const QString& path)
{
    const int fd =
        ::open(nativePath(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return; // a link, or a file the user may not read: its age holds it
    struct stat st;
    if (::fstat(fd, &st) != 0 || (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode))) {
        ::close(fd);
        return;
    }
    // An exclusive lock is a listing's brief look, or another program's own: either keeps a
    // listing away from the file as well as a lock of ours would.
    for (int attempt = 0; attempt < 25; ++attempt) {
        if (sys::flock(fd, LOCK_SH | LOCK_NB) == 0 || errno != EWOULDBLOCK)
            break;
        ::usleep(2000);
    }
    m_fd = fd;
}

FsResult ParkedEntry::moveIn(const FileSystem& fs, const QString& from, const QString& folder,
                             const QString& standsFor)
{
    letGo();
    holdExisting(from);
    const FsResult moved = parkUnderNewName(
        folder, standsFor, [&](const QString& path) { return fs.move(from, path); });
    if (!moved) {
        letGo();
        return moved;
    }
    // Moved between file systems it is another file, which is held as soon as can be.
    struct stat held;
    struct stat parked;
    if (m_fd >= 0 &&
        (::fstat(m_fd, &held) != 0 || ::lstat(nativePath(m_path).constData(), &parked) != 0 ||
         !sameEntry(held, parked))) {
        ::close(m_fd);
        m_fd = -1;
        holdExisting(m_path);
    }
    return moved;
}

FsResult ParkedEntry::copyIn(const QString& from, const QString& folder, const QString& standsFor)
{
    letGo();
    const QByteArray source = nativePath(from);
    return parkUnderNewName(folder, standsFor, [&](const QString& path) {
        return FsResult{detail::copyFileExclusive(source, nativePath(path), &m_copyHold)};
    });
}

FsResult ParkedEntry::linkIn(const QString& existing, const QString& standsFor)
{
    letGo();
    holdExisting(existing);
    const QByteArray old = nativePath(existing);
    const FsResult linked =
        parkUnderNewName(folderOfPath(existing), standsFor, [&](const QString& path) {
            return FsResult{sys::linkat(AT_FDCWD, old.constData(), AT_FDCWD,
                                        nativePath(path).constData(), 0) == 0
                                ? 0
                                : errno};
        });
    if (!linked)
        letGo();
    return linked;
}

void ParkedEntry::letGo()
{
    const int fd = m_fd >= 0 ? m_fd : m_copyHold.fd();
    if (m_recordInAttribute && fd >= 0) {
        // The record goes once no parked name has the file any more.
        struct stat held;
        struct stat parked;
        if (::fstat(fd, &held) == 0 &&
            (::lstat(nativePath(m_path).constData(), &parked) != 0 || !sameEntry(held, parked)))
            sys::fremovexattr(fd, kRecordAttribute);
    }
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_copyHold.release();
    m_path.clear();
    m_recordInAttribute = false;
}

} // namespace platform
