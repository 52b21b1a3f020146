#include "platform/FileSystem.h"

#include "platform/CrossDeviceCopy.h"
#include "platform/EntryDetails.h"
#include "platform/FileIdentity.h"
#include "platform/FileNames.h"
#include "platform/SysCalls.h"

#include <QHash>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace platform {

namespace {

// A, S and a stored H, kept as the letters "A", "S" and "H".
constexpr char attributeXattr[] = "user.quillet.attrib";
constexpr Attributes storedFlags = Archive | System | Hidden;

QByteArray encoded(const QString& path)
{
    return nativePath(path);
}

// The local time's offset from UTC at a moment. Asking the time zone costs far more than
// anything else about a file, and offsets change on a few days of a year at most, so each day
// is asked at its start and its end once: a day with one offset throughout answers every
// moment of it from then on; a day with a change in it asks at the moment itself.
int offsetAt(qint64 secondsSinceEpoch)
{
    static thread_local QHash<qint64, int> offsets; // by day; INT_MIN: the offset changes
    const auto askZone = [](qint64 seconds) {
        return QDateTime::fromSecsSinceEpoch(seconds, Qt::LocalTime).offsetFromUtc();
    };
    const qint64 day = secondsSinceEpoch >= 0 ? secondsSinceEpoch / 86400
                                              : (secondsSinceEpoch - 86399) / 86400;
    auto found = offsets.constFind(day);
    if (found == offsets.cend()) {
        const int first = askZone(day * 86400);
        const int last = askZone(day * 86400 + 86399);
        if (offsets.size() > 100000)
            offsets.clear();
        found = offsets.insert(day, first == last ? first : INT_MIN);
    }
    return *found != INT_MIN ? *found : askZone(secondsSinceEpoch);
}

// File dates have a resolution of two seconds: odd seconds round down, milliseconds go. The
// date is the local time, held with its offset from UTC.
QDateTime dateOfFile(qint64 secondsSinceEpoch)
{
    const qint64 odd = ((secondsSinceEpoch % 2) + 2) % 2;
    const qint64 even = secondsSinceEpoch - odd;
    return QDateTime::fromSecsSinceEpoch(even, Qt::OffsetFromUTC, offsetAt(even));
}

// What the extended attribute holds: the stored flags as the letters "A", "S" and "H", and
// the write permissions that setting R took from the group ("g") and from others ("o"), so
// that clearing R gives them back.
struct StoredState
{
    Attributes flags = 0;
    mode_t removedWrite = 0;
    bool operator==(const StoredState&) const = default;
    bool empty() const { return flags == 0 && removedWrite == 0; }
};

StoredState parseStored(const char* value, ssize_t size)
{
    StoredState result;
    for (ssize_t i = 0; i < size; ++i) {
        switch (value[i]) {
        case 'A':
            result.flags |= Archive;
            break;
        case 'S':
            result.flags |= System;
            break;
        case 'H':
            result.flags |= Hidden;
            break;
        case 'g':
            result.removedWrite |= S_IWGRP;
            break;
        case 'o':
            result.removedWrite |= S_IWOTH;
            break;
        default:
            break;
        }
    }
    return result;
}

// The stored state of the file at `path` (a link's own, which it never has); a file system
// without extended attributes (`error` ENOTSUP) or a file without the attribute has none.
StoredState readState(const char* path, int* error = nullptr)
{
    char value[16];
    const ssize_t size = ::lgetxattr(path, attributeXattr, value, sizeof value);
    if (error)
        *error = size < 0 && errno != ENODATA ? errno : 0;
    return size < 0 ? StoredState() : parseStored(value, size);
}

Attributes readStored(const char* path, int* error = nullptr)
{
    return readState(path, error).flags;
}

QByteArray storedValue(const StoredState& state)
{
    QByteArray value;
    if (state.flags & Archive)
        value += 'A';
    if (state.flags & System)
        value += 'S';
    if (state.flags & Hidden)
        value += 'H';
    if (state.removedWrite & S_IWGRP)
        value += 'g';
    if (state.removedWrite & S_IWOTH)
        value += 'o';
    return value;
}

bool isDotName(const char* name)
{
    return name[0] == '.' && std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0;
}

// The last component of a path, a folder's trailing separator ignored.
QByteArray lastComponent(QByteArray path)
{
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    return path.mid(path.lastIndexOf('/') + 1);
}

// `realDirectory` is false for a link to a folder, which a walk does not enter. A link has
// the attributes of the link itself: it is never read-only, whatever it leads to.
Attributes attributesOf(mode_t mode, bool symlink, bool realDirectory, const char* name,
                        Attributes stored)
{
    Attributes result = stored;
    if (!symlink && !(mode & S_IWUSR))
        result |= ReadOnly;
    if (isDotName(name))
        result |= Hidden;
    if (realDirectory)
        result |= Directory;
    return result;
}

// What a listing or an attribute query reports for an entry: the entry itself, or for a
// symbolic link the file it leads to (a broken link reports itself).
struct EntryStat
{
    struct stat st;
    bool isSymlink = false;
    bool isDir = false;
};

bool statEntry(int dirFd, const char* name, EntryStat& entry)
{
    if (::fstatat(dirFd, name, &entry.st, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    entry.isSymlink = S_ISLNK(entry.st.st_mode);
    entry.isDir = S_ISDIR(entry.st.st_mode);
    struct stat target;
    if (entry.isSymlink && ::fstatat(dirFd, name, &target, 0) == 0) {
        entry.st = target;
        if (S_ISDIR(target.st_mode))
            entry.st.st_size = 0;
    }
    if (entry.isDir)
        entry.st.st_size = 0; // a folder has no data size of its own
    return true;
}

int chmodIfChanged(const char* path, mode_t current, mode_t wanted)
{
    if ((current & 07777) == (wanted & 07777))
        return 0;
    return sys::chmod(path, wanted & 07777) == 0 ? 0 : errno;
}

// Writes the stored state, or removes it when there is nothing to keep; ENOTSUP where the
// file system keeps no extended attributes.
int writeState(const char* path, const StoredState& state)
{
    if (state.empty()) {
        if (sys::removexattr(path, attributeXattr) == 0 || errno == ENODATA || errno == ENOTSUP)
            return 0;
        return errno;
    }
    const QByteArray value = storedValue(state);
    return sys::setxattr(path, attributeXattr, value.constData(), size_t(value.size()), 0) == 0
               ? 0
               : errno;
}

// The stored flags among `attributes` that a file needs an extended attribute for: a dot
// name is hidden by its name alone.
Attributes flagsToStore(Attributes attributes, const QByteArray& file)
{
    Attributes flags = attributes & storedFlags;
    if (isDotName(lastComponent(file).constData()))
        flags &= ~Attributes(Hidden);
    return flags;
}

} // namespace

namespace detail {

bool fillEntry(int dirFd, const char* at, const char* name, const char* path, DirEntry& out,
               StoredFlags stored)
{
    EntryStat entry;
    if (!statEntry(dirFd, at, entry))
        return false;
    out.isDir = entry.isDir;
    out.isSymlink = entry.isSymlink;
    out.size = entry.st.st_size;
    out.modified = dateOfFile(entry.st.st_mtim.tv_sec);
    const bool readNow = stored == StoredFlags::Read && !entry.isSymlink;
    out.storedAttributesLater = stored == StoredFlags::Later && !entry.isSymlink;
    out.attributes = attributesOf(entry.st.st_mode, entry.isSymlink, entry.isDir, name,
                                  readNow ? readStored(path) : 0);
    return true;
}

} // namespace detail

QString FsResult::message() const
{
    return error == 0 ? QString() : qt_error_string(error);
}

FileSystem& FileSystem::local()
{
    static FileSystem instance;
    return instance;
}

std::vector<DirEntry> FileSystem::list(const QString& dir, bool* ok, StoredFlags stored) const
{
    std::vector<DirEntry> entries;
    if (ok)
        *ok = false;
    std::string path = encoded(withTrailingSlash(dir)).toStdString();
    const size_t folderLength = path.size();
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return entries;
    DIR* stream = ::fdopendir(fd);
    if (!stream) {
        ::close(fd);
        return entries;
    }
    for (;;) {
        errno = 0;
        const dirent* d = ::readdir(stream);
        if (!d) {
            if (errno != 0) // a listing cut short is no listing
                entries.clear();
            else if (ok)
                *ok = true;
            break;
        }
        const char* name = d->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        path.resize(folderLength);
        path.append(name);
        DirEntry out;
        if (!detail::fillEntry(fd, name, name, path.c_str(), out, stored))
            continue; // removed since the folder was read
        out.name = pathFromNative(name);
        entries.push_back(std::move(out));
    }
    ::closedir(stream);
    return entries;
}

FsResult FileSystem::folderState(const QString& path) const
{
    struct stat st;
    if (::stat(encoded(path).constData(), &st) != 0)
        return FsResult{errno};
    return FsResult{S_ISDIR(st.st_mode) ? 0 : ENOTDIR};
}

QStringList FileSystem::subfolders(const QString& dir, bool firstOnly) const
{
    QStringList names;
    const int fd =
        ::open(encoded(withTrailingSlash(dir)).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return names;
    DIR* stream = ::fdopendir(fd);
    if (!stream) {
        ::close(fd);
        return names;
    }
    while (const dirent* d = ::readdir(stream)) {
        const char* name = d->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        bool folder = d->d_type == DT_DIR;
        if (d->d_type == DT_LNK || d->d_type == DT_UNKNOWN) {
            struct stat st;
            folder = ::fstatat(fd, name, &st, 0) == 0 && S_ISDIR(st.st_mode);
        }
        if (!folder)
            continue;
        names.append(pathFromNative(name));
        if (firstOnly)
            break;
    }
    ::closedir(stream);
    return names;
}

bool FileSystem::exists(const QString& path) const
{
    struct stat st;
    return ::lstat(encoded(path).constData(), &st) == 0;
}

bool FileSystem::isDirectory(const QString& path) const
{
    struct stat st;
    return ::stat(encoded(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FileSystem::isFile(const QString& path) const
{
    struct stat st;
    return ::stat(encoded(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool FileSystem::isSameFile(const QString& a, const QString& b, bool followLinks) const
{
    return platform::isSameFile(a, b, followLinks ? Links::Follow : Links::AsThemselves);
}

bool FileSystem::isExecutable(const QString& path) const
{
    struct stat st;
    return ::stat(encoded(path).constData(), &st) == 0 && S_ISREG(st.st_mode) &&
           (st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH));
}

qint64 FileSystem::fileSize(const QString& path) const
{
    EntryStat entry;
    if (!statEntry(AT_FDCWD, encoded(path).constData(), entry))
        return -1;
    return entry.st.st_size;
}

FsResult FileSystem::makeDirectory(const QString& path) const
{
    return FsResult{sys::mkdir(encoded(path).constData(), 0777) == 0 ? 0 : errno};
}

namespace {

// Makes the folder and those above it that are missing, top down.
int makeFolders(QByteArray path)
{
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    struct stat st;
    if (path.isEmpty() || ::stat(path.constData(), &st) == 0)
        return 0;
    const qsizetype slash = path.lastIndexOf('/');
    if (slash > 0) {
        if (const int err = makeFolders(path.left(slash)))
            return err;
    }
    return sys::mkdir(path.constData(), 0777) == 0 || errno == EEXIST ? 0 : errno;
}

} // namespace

FsResult FileSystem::makePath(const QString& path) const
{
    return FsResult{makeFolders(encoded(path))};
}

FsResult FileSystem::removeDirectory(const QString& path) const
{
    return FsResult{sys::rmdir(encoded(path).constData()) == 0 ? 0 : errno};
}

namespace {

QByteArray parentOf(QByteArray path)
{
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArrayLiteral(".") : path.left(qMax<qsizetype>(slash, 1));
}

QList<QByteArray> componentsOf(const QByteArray& path)
{
    QList<QByteArray> parts = path.split('/');
    parts.removeAll(QByteArray());
    return parts;
}

// The text of a link in `newFolder` that leads where `link` leads from `oldFolder` (both real
// paths, without links): the link's leading "." and ".." are taken off the old folder, the
// rest of it stays as written (a ".." after a name may go through a link, which only the
// system resolves), and the way from the new folder goes up to where both folders meet.
QByteArray relinked(const QByteArray& oldFolder, const QByteArray& link,
                    const QByteArray& newFolder)
{
    QList<QByteArray> base = componentsOf(oldFolder);
    const QList<QByteArray> parts = link.split('/');
    qsizetype first = 0;
    for (; first < parts.size(); ++first) {
        const QByteArray& part = parts[first];
        if (part == "..") {
            if (!base.isEmpty())
                base.removeLast();
        } else if (!part.isEmpty() && part != ".") {
            break;
        }
    }
    const QList<QByteArray> from = componentsOf(newFolder);
    qsizetype common = 0;
    while (common < base.size() && common < from.size() && base[common] == from[common])
        ++common;
    QList<QByteArray> way;
    for (qsizetype i = common; i < from.size(); ++i)
        way.append("..");
    way.append(base.mid(common));
    way.append(parts.mid(first));
    const QByteArray text = way.join('/');
    return text.isEmpty() ? QByteArrayLiteral(".") : text;
}

// A link whose target is relative to its folder would lead elsewhere, or nowhere, from
// another folder. Such a link is made anew at `to` with a relative target that leads to the
// same file from its new folder, and the old link goes. Returns -1 when the link moves as it
// is.
int moveRelativeLink(const QByteArray& source, const QByteArray& target)
{
    struct stat st;
    if (::lstat(source.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
        return -1;
    const QByteArray sourceFolder = parentOf(source);
    const QByteArray targetFolder = parentOf(target);
    if (sourceFolder == targetFolder)
        return -1;
    QByteArray link(qMax<qsizetype>(st.st_size, 256) + 1, '\0');
    const ssize_t n = ::readlink(source.constData(), link.data(), size_t(link.size()));
    if (n < 0 || n >= link.size())
        return n < 0 ? errno : ENAMETOOLONG;
    link.truncate(n);
    if (link.startsWith('/'))
        return -1;
    const auto real = [](const QByteArray& folder, QByteArray* path) {
        char* resolved = ::realpath(folder.constData(), nullptr);
        if (!resolved)
            return errno;
        *path = resolved;
        std::free(resolved);
        return 0;
    };
    QByteArray oldFolder;
    QByteArray newFolder;
    if (const int err = real(sourceFolder, &oldFolder))
        return err;
    if (const int err = real(targetFolder, &newFolder))
        return err;
    const QByteArray text = relinked(oldFolder, link, newFolder);
    if (text == link)
        return -1;
    if (sys::symlinkat(text.constData(), AT_FDCWD, target.constData()) != 0)
        return errno; // EEXIST: the target's name is taken
    if (sys::unlink(source.constData()) != 0) {
        const int err = errno;
        sys::unlink(target.constData());
        return err;
    }
    return 0;
}

} // namespace

FsResult FileSystem::move(const QString& from, const QString& to) const
{
    const QByteArray source = encoded(from);
    const QByteArray target = encoded(to);
    if (const int err = moveRelativeLink(source, target); err >= 0)
        return FsResult{err};
    int err = renameNoReplace(source, target);
    if (err == EINVAL || err == ENOSYS)
        err = detail::renameWithoutReplaceFlag(AT_FDCWD, source.constData(), AT_FDCWD,
                                               target.constData());
    if (err == EXDEV)
        err = detail::moveAcrossDevices(source, target);
    return FsResult{err};
}

FsResult FileSystem::copyFile(const QString& from, const QString& to, bool overwrite) const
{
    const QByteArray target = encoded(to);
    if (!overwrite)
        return FsResult{detail::copyFileExclusive(encoded(from), target)};
    struct stat st;
    if (::stat(target.constData(), &st) == 0 && !(st.st_mode & S_IWUSR))
        return FsResult{EACCES}; // a read-only target is not replaced
    return FsResult{detail::copyFileReplacing(encoded(from), target)};
}

FsResult FileSystem::replace(const QString& from, const QString& to) const
{
    return FsResult{renameReplacing(encoded(from), encoded(to))};
}

int FileSystem::renameReplacing(const QByteArray& from, const QByteArray& to) const
{
    return sys::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
}

FsResult FileSystem::removeFile(const QString& path) const
{
    const QByteArray file = encoded(path);
    struct stat st;
    if (::lstat(file.constData(), &st) != 0)
        return FsResult{errno};
    if (S_ISDIR(st.st_mode))
        return FsResult{EISDIR};
    // The read-only attribute protects a file, even from root; a link is removed as itself.
    if (!S_ISLNK(st.st_mode) && !(st.st_mode & S_IWUSR))
        return FsResult{EACCES};
    return FsResult{sys::unlink(file.constData()) == 0 ? 0 : errno};
}

Attributes FileSystem::attributes(const QString& path, bool* ok) const
{
    const QByteArray file = encoded(path);
    EntryStat entry;
    const bool found = statEntry(AT_FDCWD, file.constData(), entry);
    if (ok)
        *ok = found;
    if (!found)
        return 0;
    return attributesOf(entry.st.st_mode, entry.isSymlink, entry.isDir,
                        lastComponent(file).constData(), readStored(file.constData()));
}

FsResult FileSystem::setAttributes(const QString& path, Attributes attributes) const
{
    const QByteArray file = encoded(path);
    const char* p = file.constData();
    struct stat st;
    if (::lstat(p, &st) != 0)
        return FsResult{errno};
    // A link has no attributes of its own to change, and the file it leads to is not the
    // one the user chose: only what the link already shows (hidden by its dot name) is
    // accepted.
    if (S_ISLNK(st.st_mode)) {
        const Attributes own = isDotName(lastComponent(file).constData()) ? Attributes(Hidden) : 0;
        return FsResult{(attributes & ~(Directory | own)) == 0 ? 0 : EPERM};
    }
    int readError = 0;
    const StoredState current = readState(p, &readError);
    // Where the medium keeps no extended attributes, the flags it cannot hold are refused
    // before anything changes: the file keeps all its attributes or takes all it is given.
    const bool noStore = readError == ENOTSUP;
    if (noStore && flagsToStore(attributes, file) != 0)
        return FsResult{ENOTSUP};

    constexpr mode_t groupAndOthers = S_IWGRP | S_IWOTH;
    const bool wasReadOnly = !(st.st_mode & S_IWUSR);
    StoredState wantedState{attributes & storedFlags, 0};
    mode_t wanted;
    if (attributes & ReadOnly) {
        // Setting R takes every write permission; those of the group and of others are
        // remembered, so that clearing R gives back what was there.
        wanted = st.st_mode & ~mode_t(S_IWUSR | groupAndOthers);
        wantedState.removedWrite =
            (st.st_mode & groupAndOthers) | (wasReadOnly ? current.removedWrite : 0);
    } else {
        wanted = st.st_mode | S_IWUSR | (wasReadOnly ? current.removedWrite : 0);
    }
    if (noStore)
        wantedState = current; // nothing to write; what R took stays unremembered

    // The owner may change extended attributes only while the file is writable, so a
    // read-only file is opened up for the moment the letters are written.
    const bool change = wantedState != current || (readError && !noStore);
    mode_t mode = st.st_mode;
    bool stored = false;
    if (change) {
        if (!(mode & S_IWUSR) && sys::chmod(p, (mode | S_IWUSR) & 07777) == 0)
            mode |= S_IWUSR;
        const int storeError = writeState(p, wantedState);
        stored = storeError == 0;
        // A failed write of the flags changes nothing else; only the memory of what R took
        // may be missing, which the permissions do not need.
        if (storeError && wantedState.flags != current.flags) {
            chmodIfChanged(p, mode, st.st_mode);
            return FsResult{storeError};
        }
    }
    if (const int err = chmodIfChanged(p, mode, wanted)) {
        // R could not be applied: the flags go back to what they were.
        if (stored && !readError)
            writeState(p, current);
        chmodIfChanged(p, mode, st.st_mode);
        return FsResult{err};
    }
    return FsResult{};
}

Attributes FileSystem::unstorableAttributes(const QString& path, Attributes attributes) const
{
    const QByteArray file = encoded(path);
    int readError = 0;
    readState(file.constData(), &readError);
    return readError == ENOTSUP ? flagsToStore(attributes, file) : 0;
}

Attributes FileSystem::storedAttributes(const QString& path) const
{
    return readStored(encoded(path).constData());
}

FileTimes FileSystem::times(const QString& path, bool* ok) const
{
    FileTimes result;
    struct statx sx;
    const bool found =
        ::statx(AT_FDCWD, encoded(path).constData(), 0, STATX_BASIC_STATS | STATX_BTIME, &sx) == 0;
    if (ok)
        *ok = found;
    if (!found)
        return result;
    if (sx.stx_mask & STATX_BTIME)
        result.created = dateOfFile(sx.stx_btime.tv_sec);
    result.accessed = dateOfFile(sx.stx_atime.tv_sec);
    result.modified = dateOfFile(sx.stx_mtime.tv_sec);
    return result;
}

int FileSystem::renameNoReplace(const QByteArray& from, const QByteArray& to) const
{
    return sys::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) ==
                   0
               ? 0
               : errno;
}

QDateTime fileDate(qint64 secondsSinceEpoch)
{
    return dateOfFile(secondsSinceEpoch);
}

int localOffsetAt(qint64 secondsSinceEpoch)
{
    return offsetAt(secondsSinceEpoch);
}

QString withTrailingSlash(const QString& path)
{
    // An empty path stays empty: it must never turn into the root folder.
    if (path.isEmpty() || path.endsWith(QLatin1Char('/')))
        return path;
    return path + QLatin1Char('/');
}

} // namespace platform
