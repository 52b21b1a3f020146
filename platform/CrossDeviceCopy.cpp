#include "platform/CrossDeviceCopy.h"

#include "platform/SysCalls.h"
#include "platform/TemporaryFiles.h"

#include <QRandomGenerator>

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
#include <utility>
#include <vector>

namespace platform::detail {

namespace {

// Closes the descriptor it owns when it goes out of scope.
class Fd
{
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    void reset(int fd = -1)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    // Closes now and reports a failed close, which can be the first sign of a lost write.
    int close()
    {
        const int fd = std::exchange(m_fd, -1);
        return fd >= 0 && sys::close(fd) != 0 ? errno : 0;
    }

private:
    int m_fd;
};

constexpr int openRead = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
constexpr int openDir = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
constexpr int openNew = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;

// copy_file_range lets the kernel move the bytes; where it cannot (older kernels between
// file systems, special files) the plain read/write loop takes over at the current offsets.
int copyData(int in, int out)
{
    bool kernelCopy = true;
    std::vector<char> buffer;
    for (;;) {
        if (kernelCopy) {
            const ssize_t n = sys::copy_file_range(in, out, size_t(1) << 30);
            if (n > 0)
                continue;
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno != EXDEV && errno != EINVAL && errno != ENOSYS &&
                errno != EOPNOTSUPP && errno != EPERM)
                return errno;
            // 0 normally means the end of the file; the read loop below confirms it, as some
            // file systems report 0 for files they cannot copy this way.
            kernelCopy = false;
            buffer.resize(256 * 1024);
        }
        const ssize_t n = sys::read(in, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return 0;
        if (const int err = writeAll(out, buffer.data(), size_t(n)))
            return err;
    }
}

// Reads one list or value of extended attributes; `get(buffer, size)` is the system call.
template <typename Get> int readXattr(std::vector<char>& buffer, Get get)
{
    for (int attempt = 0; attempt < 8; ++attempt) {
        const ssize_t size = get(nullptr, 0);
        if (size < 0)
            return errno;
        buffer.resize(size_t(size) + 1);
        const ssize_t n = get(buffer.data(), buffer.size());
        if (n >= 0) {
            buffer.resize(size_t(n));
            return 0;
        }
        if (errno != ERANGE) // ERANGE: the value grew between the two calls; ask again
            return errno;
    }
    return ERANGE;
}

} // namespace

int copyXattrs(int in, int out)
{
    std::vector<char> names;
    if (int err = readXattr(names, [in](char* b, size_t s) { return ::flistxattr(in, b, s); }))
        return err == ENOTSUP ? 0 : err;
    std::vector<char> value;
    for (size_t at = 0; at < names.size(); at += std::strlen(names.data() + at) + 1) {
        const char* name = names.data() + at;
        // A parked file's record of its name (see ParkedFiles.h) belongs to that file alone.
        if (std::strncmp(name, "user.", 5) != 0 || std::strcmp(name, "user.quillet.parked") == 0)
            continue;
        const int err =
            readXattr(value, [in, name](char* b, size_t s) { return ::fgetxattr(in, name, b, s); });
        if (err == ENODATA)
            continue; // removed while we were copying
        if (err)
            return err;
        if (sys::fsetxattr(out, name, value.data(), value.size(), 0) != 0)
            return errno == ENOTSUP ? 0 : errno;
    }
    return 0;
}

namespace {

// Ownership is kept where we may set it (a user can only give files to himself).
void copyOwner(int out, const struct stat& st)
{
    if (::fchown(out, st.st_uid, st.st_gid) != 0) {
        // Not permitted: the copy stays with the user who made it.
    }
}

// Everything but the data: attributes, owner, permissions and times, then fsync. The
// extended attributes go first: once the permissions are read-only, the owner could no
// longer write them.
int finishCopy(int in, const struct stat& st, int out)
{
    if (const int err = copyXattrs(in, out))
        return err;
    copyOwner(out, st);
    if (sys::fchmod(out, st.st_mode & 07777) != 0)
        return errno;
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (sys::futimens(out, times) != 0)
        return errno;
    return sys::fsync(out) != 0 ? errno : 0;
}

int copyRegular(int in, const struct stat& st, int out)
{
    if (const int err = copyData(in, out))
        return err;
    return finishCopy(in, st, out);
}

// Opens a regular file to copy (links followed) and checks that it is one.
int openSource(const QByteArray& from, Fd& in, struct stat& st)
{
    in.reset(sys::openForReading(from.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!in.valid())
        return errno;
    if (::fstat(in.get(), &st) != 0)
        return errno;
    if (S_ISDIR(st.st_mode))
        return EISDIR;
    return S_ISREG(st.st_mode) ? 0 : EINVAL;
}

// "/a/b/" -> {"/a", "b"}; "b" -> {".", "b"}.
std::pair<QByteArray, QByteArray> splitPath(QByteArray path)
{
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return {QByteArrayLiteral("."), path};
    return {slash == 0 ? QByteArrayLiteral("/") : path.left(slash), path.mid(slash + 1)};
}

// The names in a folder, read completely before anything in it is created or removed.
int readNames(int dirFd, std::vector<std::string>& names)
{
    const int fd = ::openat(dirFd, ".", openDir);
    if (fd < 0)
        return errno;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        const int err = errno;
        ::close(fd);
        return err;
    }
    int err = 0;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry) {
            err = errno;
            break;
        }
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    return err;
}

} // namespace

int removeEntryAt(int dirFd, const char* name)
{
    struct stat st;
    if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? 0 : errno;
    if (!S_ISDIR(st.st_mode))
        return sys::unlinkat(dirFd, name, 0) == 0 || errno == ENOENT ? 0 : errno;
    {
        Fd dir(::openat(dirFd, name, openDir));
        if (!dir.valid())
            return errno;
        if ((st.st_mode & S_IRWXU) != S_IRWXU)
            sys::fchmod(dir.get(), st.st_mode | S_IRWXU); // a read-only folder cannot be emptied
        std::vector<std::string> names;
        if (const int err = readNames(dir.get(), names))
            return err;
        for (const std::string& child : names)
            if (const int err = removeEntryAt(dir.get(), child.c_str()))
                return err;
    }
    return sys::unlinkat(dirFd, name, AT_REMOVEDIR) == 0 ? 0 : errno;
}

namespace {

// Copies one entry (folders recursively) to a new entry that must not exist yet; on failure
// whatever was created for it is removed again. With `hold`, the new file or folder is locked
// the moment it is made (a copy in the making under a temporary name); ESTALE when a clean-up
// removed it before.
int copyEntryAt(int srcDir, const char* name, const struct stat& st, int dstDir,
                const char* dstName, TemporaryHold* hold = nullptr);

int copyChildren(int in, int out)
{
    std::vector<std::string> names;
    if (const int err = readNames(in, names))
        return err;
    for (const std::string& name : names) {
        struct stat st;
        if (::fstatat(in, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            return errno;
        if (const int err = copyEntryAt(in, name.c_str(), st, out, name.c_str()))
            return err;
    }
    return 0;
}

// Copies the open file `in` to a new file that must not exist yet, removed again on failure.
int copyToNewFile(int in, const struct stat& st, int dstDir, const char* dstName,
                  TemporaryHold* hold = nullptr)
{
    Fd out(sys::openat(dstDir, dstName, openNew, 0600));
    if (!out.valid())
        return errno;
    if (hold) {
        if (const int err = hold->hold(out.get()))
            return err; // the name is gone already
    }
    int err = copyRegular(in, st, out.get());
    if (const int closeErr = out.close(); !err)
        err = closeErr;
    if (err)
        sys::unlinkat(dstDir, dstName, 0);
    return err;
}

int copyFileAt(int srcDir, const char* name, int dstDir, const char* dstName, TemporaryHold* hold)
{
    Fd in(sys::openForReading(srcDir, name, openRead));
    struct stat st;
    if (!in.valid() || ::fstat(in.get(), &st) != 0)
        return errno;
    return copyToNewFile(in.get(), st, dstDir, dstName, hold);
}

// The folder is created private and gets its own permissions and times only after its
// contents, which would otherwise change its last-write time or could not be written.
int copyDirectoryAt(int srcDir, const char* name, const struct stat& st, int dstDir,
                    const char* dstName, TemporaryHold* hold)
{
    Fd in(::openat(srcDir, name, openDir));
    if (!in.valid())
        return errno;
    if (sys::mkdirat(dstDir, dstName, 0700) != 0)
        return errno;
    int err = 0;
    {
        Fd out(sys::openForReading(dstDir, dstName, openDir));
        if (!out.valid())
            err = errno;
        if (!err && hold) {
            if (const int held = hold->hold(out.get()))
                return held; // the folder is gone already
        }
        if (!err)
            err = copyChildren(in.get(), out.get());
        if (!err)
            err = finishCopy(in.get(), st, out.get());
    }
    if (err)
        removeEntryAt(dstDir, dstName);
    return err;
}

// Owner, permissions (not for links, which have none) and times of a link or node just
// made; on failure the new entry is removed again.
int finishEntryAt(int dstDir, const char* dstName, const struct stat& st)
{
    if (::fchownat(dstDir, dstName, st.st_uid, st.st_gid, AT_SYMLINK_NOFOLLOW) != 0) {
        // Not permitted: the entry stays with the user who made it.
    }
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if ((!S_ISLNK(st.st_mode) && sys::fchmodat(dstDir, dstName, st.st_mode & 07777, 0) != 0) ||
        sys::utimensat(dstDir, dstName, times, AT_SYMLINK_NOFOLLOW) != 0) {
        const int err = errno;
        sys::unlinkat(dstDir, dstName, 0);
        return err;
    }
    return 0;
}

// A link is copied as the link it is, never followed.
int copySymlinkAt(int srcDir, const char* name, const struct stat& st, int dstDir,
                  const char* dstName)
{
    std::vector<char> target(size_t(st.st_size > 0 ? st.st_size : PATH_MAX) + 1);
    for (;;) {
        const ssize_t n = ::readlinkat(srcDir, name, target.data(), target.size());
        if (n < 0)
            return errno;
        if (size_t(n) < target.size()) {
            target[size_t(n)] = '\0';
            break;
        }
        target.resize(target.size() * 2); // the link changed since it was looked at
    }
    if (sys::symlinkat(target.data(), dstDir, dstName) != 0)
        return errno;
    return finishEntryAt(dstDir, dstName, st);
}

// Named pipes, sockets and device nodes are recreated, not read.
int copySpecialAt(const struct stat& st, int dstDir, const char* dstName)
{
    if (sys::mknodat(dstDir, dstName, st.st_mode & (S_IFMT | 07777), st.st_rdev) != 0)
        return errno;
    return finishEntryAt(dstDir, dstName, st);
}

int copyEntryAt(int srcDir, const char* name, const struct stat& st, int dstDir,
                const char* dstName, TemporaryHold* hold)
{
    if (S_ISREG(st.st_mode))
        return copyFileAt(srcDir, name, dstDir, dstName, hold);
    if (S_ISDIR(st.st_mode))
        return copyDirectoryAt(srcDir, name, st, dstDir, dstName, hold);
    if (S_ISLNK(st.st_mode))
        return copySymlinkAt(srcDir, name, st, dstDir, dstName);
    return copySpecialAt(st, dstDir, dstName);
}

bool isInside(const QByteArray& path, const QByteArray& folder)
{
    return path == folder || path.startsWith(folder.endsWith('/') ? folder : folder + '/');
}

// True when the folder `to` would be inside `from` itself, which no copy can complete.
bool targetInsideSource(const QByteArray& from, const QByteArray& toParent)
{
    char* source = ::realpath(from.constData(), nullptr);
    char* parent = ::realpath(toParent.constData(), nullptr);
    const bool inside = source && parent && isInside(QByteArray(parent), QByteArray(source));
    std::free(source);
    std::free(parent);
    return inside;
}

// A name of fixed length for a copy in the making, hidden from every list: any target
// name fits beside it, however long. The letters come from the system's random source, so
// two processes (one forked from the other) never draw the same names.
QByteArray temporaryName()
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray name = QByteArrayLiteral(".quillet-XXXXXX.part");
    for (int i = 9; i < 15; ++i)
        name[i] = letters[QRandomGenerator::system()->bounded(int(sizeof letters) - 1)];
    return name;
}

// Makes something under a temporary name that no entry has yet: `make(name)` creates it
// exclusively (EEXIST when the name is taken, ESTALE when a clean-up removed it before it was
// held). The name used is returned in `made`.
template <typename Make> int makeUnderTemporaryName(Make make, QByteArray* made)
{
    int err = EEXIST;
    for (int attempt = 0; attempt < 64; ++attempt) {
        *made = temporaryName();
        err = make(made->constData());
        if (err != EEXIST && err != ESTALE)
            return err;
    }
    return err;
}

// Copies the entry to a new temporary name in `dstDir`, which it returns in `made`, held by
// `hold`.
int copyToTemporary(int srcDir, const char* name, const struct stat& st, int dstDir,
                    QByteArray* made, TemporaryHold& hold)
{
    return makeUnderTemporaryName(
        [&](const char* temporary) {
            return copyEntryAt(srcDir, name, st, dstDir, temporary, &hold);
        },
        made);
}

int syncFolder(int dirFd)
{
    return sys::fsync(dirFd) == 0 ? 0 : errno;
}

} // namespace

int replaceSynced(const char* temporary, const char* target, int folderFd)
{
    struct stat st;
    if (::lstat(target, &st) == 0 && S_ISDIR(st.st_mode)) {
        sys::unlink(temporary);
        return EISDIR; // a folder is never replaced by a file
    }
    // Swapped, the old file waits under the temporary name until the folder is synced.
    const bool swapped =
        sys::renameat2(AT_FDCWD, temporary, AT_FDCWD, target, RENAME_EXCHANGE) == 0;
    bool created = false;
    if (!swapped) {
        // ENOENT: nothing under the name yet; EINVAL: a file system that cannot swap names.
        if (errno != ENOENT && errno != EINVAL && errno != ENOSYS) {
            const int err = errno;
            sys::unlink(temporary);
            return err;
        }
        created = errno == ENOENT;
        if (sys::rename(temporary, target) != 0) {
            const int err = errno;
            sys::unlink(temporary);
            return err;
        }
    }
    if (sys::fsync(folderFd) != 0) {
        const int err = errno;
        // Swapped back, the new file is under the temporary name (should that fail, the old
        // one is, and the new file stays).
        if (swapped)
            sys::renameat2(AT_FDCWD, temporary, AT_FDCWD, target, RENAME_EXCHANGE);
        else if (created)
            sys::unlink(target);
        if (swapped)
            sys::unlink(temporary);
        return err;
    }
    if (swapped)
        sys::unlink(temporary); // the old file
    return 0;
}

int writeAll(int out, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = sys::write(out, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return EIO; // no progress: the write would never end
        data += n;
        size -= size_t(n);
    }
    return 0;
}

int renameNoReplaceAt(int fromDir, const char* from, int toDir, const char* to)
{
    if (sys::renameat2(fromDir, from, toDir, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    return renameWithoutReplaceFlag(fromDir, from, toDir, to);
}

int renameWithoutReplaceFlag(int fromDir, const char* from, int toDir, const char* to)
{
    // No RENAME_NOREPLACE on this file system: a second name and the old one removed, which
    // can never replace a target. A folder, which has no second name, is checked first.
    struct stat st;
    if (::fstatat(fromDir, from, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    if (!S_ISDIR(st.st_mode)) {
        if (sys::linkat(fromDir, from, toDir, to, 0) == 0) {
            if (sys::unlinkat(fromDir, from, 0) == 0)
                return 0;
            const int err = errno;
            sys::unlinkat(toDir, to, 0);
            return err;
        }
        if (errno != EPERM && errno != ENOTSUP && errno != EMLINK)
            return errno;
    }
    if (::fstatat(toDir, to, &st, AT_SYMLINK_NOFOLLOW) == 0)
        return EEXIST;
    return sys::renameat2(fromDir, from, toDir, to, 0) == 0 ? 0 : errno;
}

int copyFileExclusive(const QByteArray& from, const QByteArray& to, TemporaryHold* kept)
{
    Fd in;
    struct stat st;
    if (const int err = openSource(from, in, st))
        return err;
    const auto [folder, name] = splitPath(to);
    Fd dir(sys::openForReading(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.valid())
        return errno;
    struct stat existing;
    if (::fstatat(dir.get(), name.constData(), &existing, AT_SYMLINK_NOFOLLOW) == 0)
        return EEXIST; // no copying of data that could never arrive
    // The copy is made under a temporary name and gets its own name only when it is
    // complete, so a crash never leaves a cut file under the name.
    QByteArray temporary;
    TemporaryHold ownHold;
    TemporaryHold& hold = kept ? *kept : ownHold;
    if (const int err = makeUnderTemporaryName(
            [&](const char* name) { return copyToNewFile(in.get(), st, dir.get(), name, &hold); },
            &temporary))
        return err;
    int err = renameNoReplaceAt(dir.get(), temporary.constData(), dir.get(), name.constData());
    if (err) {
        sys::unlinkat(dir.get(), temporary.constData(), 0);
        return err;
    }
    // A copy whose name may not survive a power loss did not happen.
    if ((err = syncFolder(dir.get())))
        sys::unlinkat(dir.get(), name.constData(), 0);
    return err;
}

int copyFileReplacing(const QByteArray& from, const QByteArray& to)
{
    Fd in;
    struct stat st;
    if (const int err = openSource(from, in, st))
        return err;
    // The temporary name has a length of its own, so it fits beside a target of any name.
    const auto [folder, name] = splitPath(to);
    Fd dir(sys::openForReading(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.valid())
        return errno;
    QByteArray temporary;
    Fd out;
    TemporaryHold hold;
    for (int attempt = 0;; ++attempt) {
        temporary = folder + "/.quillet-XXXXXX.part";
        out.reset(sys::mkostemps(temporary.data(), 5, O_CLOEXEC));
        if (!out.valid())
            return errno;
        const int held = hold.hold(out.get());
        if (held == 0)
            break;
        if (attempt == 63)
            return held; // removed by clean-ups every time
    }
    int err = copyRegular(in.get(), st, out.get());
    if (const int closeErr = out.close(); !err)
        err = closeErr;
    if (err) {
        sys::unlink(temporary.constData());
        return err;
    }
    return replaceSynced(temporary.constData(), to.constData(), dir.get());
}

int moveAcrossDevices(const QByteArray& from, const QByteArray& to)
{
    const auto [sourceFolder, sourceName] = splitPath(from);
    const auto [targetFolder, targetName] = splitPath(to);
    if (sourceName.isEmpty() || sourceName == "/" || targetName.isEmpty() || targetName == "/")
        return EBUSY;
    Fd sourceDir(sys::openForReading(sourceFolder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!sourceDir.valid())
        return errno;
    Fd targetDir(sys::openForReading(targetFolder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!targetDir.valid())
        return errno;
    struct stat st;
    if (::fstatat(sourceDir.get(), sourceName.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    // A source that cannot be removed afterwards is not copied at all, nor one whose name is
    // taken at the target.
    if (::faccessat(sourceDir.get(), ".", W_OK | X_OK, AT_EACCESS) != 0)
        return errno;
    struct stat existing;
    if (::fstatat(targetDir.get(), targetName.constData(), &existing, AT_SYMLINK_NOFOLLOW) == 0)
        return EEXIST;
    if (S_ISDIR(st.st_mode) && targetInsideSource(from, targetFolder))
        return EINVAL;

    // The copy is made under a temporary name in the target folder and synced; only then
    // does it take its name (never replacing), so a crash leaves no cut file under the name
    // and the source whole.
    QByteArray temporary;
    TemporaryHold hold;
    if (const int err = copyToTemporary(sourceDir.get(), sourceName.constData(), st,
                                        targetDir.get(), &temporary, hold))
        return err;
    int err = syncFolder(targetDir.get());
    if (!err)
        err = renameNoReplaceAt(targetDir.get(), temporary.constData(), targetDir.get(),
                                targetName.constData());
    if (err) {
        removeEntryAt(targetDir.get(), temporary.constData());
        return err;
    }
    // The source goes only once the copy's name is sure to survive a power loss.
    if ((err = syncFolder(targetDir.get()))) {
        removeEntryAt(targetDir.get(), targetName.constData());
        return err;
    }

    if (!S_ISDIR(st.st_mode)) {
        if (sys::unlinkat(sourceDir.get(), sourceName.constData(), 0) != 0) {
            // The source stays, so the copy goes: the move did not happen.
            err = errno;
            sys::unlinkat(targetDir.get(), targetName.constData(), 0);
            return err;
        }
        return 0;
    }
    // A folder leaves its place in one step: it takes a temporary name in its own folder,
    // which hides it from every list. Should that fail, the copy goes and the move did not
    // happen; once it is done, the move is complete, and a tree that cannot be removed
    // whole stays hidden rather than shown twice (and goes as a leftover when next seen).
    // It is held from before it takes that name until it is gone.
    TemporaryHold hidingHold;
    if (Fd source(::openat(sourceDir.get(), sourceName.constData(), openDir)); source.valid())
        hidingHold.hold(source.get());
    QByteArray hidden;
    for (int attempt = 0; attempt < 64; ++attempt) {
        hidden = temporaryName();
        err = renameNoReplaceAt(sourceDir.get(), sourceName.constData(), sourceDir.get(),
                                hidden.constData());
        if (err != EEXIST)
            break;
    }
    if (err) {
        removeEntryAt(targetDir.get(), targetName.constData());
        syncFolder(targetDir.get());
        return err;
    }
    // The old tree goes once its hiding is on the disk; where that sync fails it stays hidden
    // (the move is complete: the copy is in place and synced).
    if (syncFolder(sourceDir.get()) == 0)
        removeEntryAt(sourceDir.get(), hidden.constData());
    return 0;
}

} // namespace platform::detail
