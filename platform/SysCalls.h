#pragma once
// The system calls that change files, behind one seam. Every writer of the platform layer
// makes its creating, writing, syncing, renaming, linking, removing and locking calls through
// these functions, and so do the readers of the program's own files and of the files it copies,
// and the opening of a folder that is to be synced; a test installs a FaultHook to watch them
// or make any one of them fail, or cut a write short. Without a hook each function is the
// plain system call.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace platform::sys {

enum class Call
{
    Create,    // open or mkstemp that creates or opens a file for writing
    Write,     // write
    CopyRange, // copy_file_range
    Sync,      // fsync of a file or a folder
    Close,     // close of a file that was written
    Rename,    // rename, renameat2
    Link,      // link, symlink, mknod
    Unlink,    // unlink, rmdir
    MakeDir,   // mkdir
    Metadata,  // chmod, utimens, (l)setxattr, (l)removexattr
    Read,      // open for reading (a file, or a folder that is to be synced), read
    Lock,      // flock
};

class FaultHook
{
public:
    virtual ~FaultHook() = default;
    // Asked before every call: 0 lets it go ahead, anything else is the errno value it fails
    // with instead. `fd` is the descriptor the call works on (or -1), `path` the path (or
    // null), `path2` the second path of a rename or link.
    virtual int before(Call call, int fd, const char* path, const char* path2) = 0;
    // Asked next for a write that before() let go ahead: how many of its `size` bytes it
    // writes. Fewer make it a short write, as a disk that is filling up gives.
    virtual size_t writeLength(int fd, size_t size)
    {
        (void)fd;
        return size;
    }
};

// The installed hook; none outside tests.
inline FaultHook* hook = nullptr;

// Installs a hook for its lifetime.
class ScopedHook
{
public:
    explicit ScopedHook(FaultHook* h) : m_previous(hook) { hook = h; }
    ~ScopedHook() { hook = m_previous; }
    ScopedHook(const ScopedHook&) = delete;
    ScopedHook& operator=(const ScopedHook&) = delete;

private:
    FaultHook* m_previous;
};

namespace detail {
// True when the hook refuses the call; errno is then set.
inline bool refused(Call call, int fd, const char* path, const char* path2 = nullptr)
{
    if (!hook) [[likely]]
        return false;
    const int error = hook->before(call, fd, path, path2);
    if (error == 0)
        return false;
    errno = error;
    return true;
}
} // namespace detail

inline int open(const char* path, int flags, mode_t mode = 0)
{
    return detail::refused(Call::Create, -1, path) ? -1 : ::open(path, flags, mode);
}
inline int openat(int dir, const char* path, int flags, mode_t mode = 0)
{
    return detail::refused(Call::Create, dir, path) ? -1 : ::openat(dir, path, flags, mode);
}
inline int mkostemps(char* pattern, int suffixLength, int flags)
{
    return detail::refused(Call::Create, -1, pattern) ? -1
                                                      : ::mkostemps(pattern, suffixLength, flags);
}
inline int openForReading(int dir, const char* path, int flags)
{
    return detail::refused(Call::Read, dir, path) ? -1 : ::openat(dir, path, flags);
}
inline int openForReading(const char* path, int flags)
{
    return openForReading(AT_FDCWD, path, flags);
}
inline ssize_t read(int fd, void* data, size_t size)
{
    return detail::refused(Call::Read, fd, nullptr) ? -1 : ::read(fd, data, size);
}
inline ssize_t write(int fd, const void* data, size_t size)
{
    if (detail::refused(Call::Write, fd, nullptr))
        return -1;
    return ::write(fd, data, hook ? hook->writeLength(fd, size) : size);
}
inline ssize_t copy_file_range(int in, int out, size_t size)
{
    return detail::refused(Call::CopyRange, out, nullptr)
               ? -1
               : ::copy_file_range(in, nullptr, out, nullptr, size, 0);
}
inline int fsync(int fd)
{
    return detail::refused(Call::Sync, fd, nullptr) ? -1 : ::fsync(fd);
}
// Closes a file that was written. The descriptor is closed even when the hook fails the
// call, as the kernel does when close reports a late write error.
inline int close(int fd)
{
    if (detail::refused(Call::Close, fd, nullptr)) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return ::close(fd);
}
inline int rename(const char* from, const char* to)
{
    return detail::refused(Call::Rename, -1, from, to) ? -1 : ::rename(from, to);
}
inline int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags)
{
    return detail::refused(Call::Rename, fromDir, from, to)
               ? -1
               : ::renameat2(fromDir, from, toDir, to, flags);
}
inline int linkat(int fromDir, const char* from, int toDir, const char* to, int flags)
{
    return detail::refused(Call::Link, fromDir, from, to)
               ? -1
               : ::linkat(fromDir, from, toDir, to, flags);
}
inline int symlinkat(const char* target, int dir, const char* path)
{
    return detail::refused(Call::Link, dir, path) ? -1 : ::symlinkat(target, dir, path);
}
inline int mknodat(int dir, const char* path, mode_t mode, dev_t device)
{
    return detail::refused(Call::Link, dir, path) ? -1 : ::mknodat(dir, path, mode, device);
}
inline int unlinkat(int dir, const char* path, int flags)
{
    return detail::refused(Call::Unlink, dir, path) ? -1 : ::unlinkat(dir, path, flags);
}
inline int unlink(const char* path)
{
    return unlinkat(AT_FDCWD, path, 0);
}
inline int rmdir(const char* path)
{
    return unlinkat(AT_FDCWD, path, AT_REMOVEDIR);
}
inline int mkdirat(int dir, const char* path, mode_t mode)
{
    return detail::refused(Call::MakeDir, dir, path) ? -1 : ::mkdirat(dir, path, mode);
}
inline int mkdir(const char* path, mode_t mode)
{
    return mkdirat(AT_FDCWD, path, mode);
}
inline int fchmod(int fd, mode_t mode)
{
    return detail::refused(Call::Metadata, fd, nullptr) ? -1 : ::fchmod(fd, mode);
}
inline int fchmodat(int dir, const char* path, mode_t mode, int flags)
{
    return detail::refused(Call::Metadata, dir, path) ? -1 : ::fchmodat(dir, path, mode, flags);
}
inline int chmod(const char* path, mode_t mode)
{
    return fchmodat(AT_FDCWD, path, mode, 0);
}
inline int futimens(int fd, const struct timespec times[2])
{
    return detail::refused(Call::Metadata, fd, nullptr) ? -1 : ::futimens(fd, times);
}
inline int utimensat(int dir, const char* path, const struct timespec times[2], int flags)
{
    return detail::refused(Call::Metadata, dir, path) ? -1 : ::utimensat(dir, path, times, flags);
}
inline int fsetxattr(int fd, const char* name, const void* value, size_t size, int flags)
{
    return detail::refused(Call::Metadata, fd, nullptr) ? -1
                                                        : ::fsetxattr(fd, name, value, size, flags);
}
inline int setxattr(const char* path, const char* name, const void* value, size_t size, int flags)
{
    return detail::refused(Call::Metadata, -1, path) ? -1
                                                     : ::setxattr(path, name, value, size, flags);
}
inline int removexattr(const char* path, const char* name)
{
    return detail::refused(Call::Metadata, -1, path) ? -1 : ::removexattr(path, name);
}
// The entry itself: a symbolic link is never followed.
inline int lsetxattr(const char* path, const char* name, const void* value, size_t size, int flags)
{
    return detail::refused(Call::Metadata, -1, path) ? -1
                                                     : ::lsetxattr(path, name, value, size, flags);
}
inline int lremovexattr(const char* path, const char* name)
{
    return detail::refused(Call::Metadata, -1, path) ? -1 : ::lremovexattr(path, name);
}
inline int fremovexattr(int fd, const char* name)
{
    return detail::refused(Call::Metadata, fd, nullptr) ? -1 : ::fremovexattr(fd, name);
}
inline int flock(int fd, int operation)
{
    return detail::refused(Call::Lock, fd, nullptr) ? -1 : ::flock(fd, operation);
}

} // namespace platform::sys
