#include "fileops/Transfer.h"

#include "platform/FileIdentity.h"
#include "platform/FileNames.h"
#include "platform/SysCalls.h"

#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fileops {

namespace {

void unlinkQuietly(const QString& path)
{
    ::unlink(platform::nativePath(path).constData());
}

// The file brought under a temporary name into the target's folder and renamed over the
// target. A transfer that fails leaves the old file as it was; a moved file whose last
// rename fails is moved back to `source`.
platform::FsResult arriveOver(const platform::FileSystem& fs, TransferMode mode,
                              const QString& source, const QString& target)
{
    const QString folder = platform::folderOfPath(target);
    QString temporary;
    platform::FsResult arrived{EEXIST};
    for (int attempt = 0; attempt < 16 && arrived.error == EEXIST; ++attempt) {
        temporary = platform::temporaryPathIn(folder);
        arrived = transferNew(fs, mode, source, temporary);
    }
    if (!arrived)
        return arrived;

    const platform::FsResult replaced = fs.replace(temporary, target);
    if (!replaced) {
        if (mode == TransferMode::Move) {
            // The file goes back where it came from; should that fail too, it stays whole
            // under the temporary name beside the old file.
            fs.move(temporary, source);
        } else {
            unlinkQuietly(temporary);
        }
        return replaced;
    }
    // Renaming one name of a file over another name of the same file changes nothing and
    // leaves both names; the temporary one is not wanted.
    if (fs.exists(temporary))
        unlinkQuietly(temporary);
    return replaced;
}

// A move over `target` from another file system: the complete copy is renamed over it, the
// old file being kept under a second name until the source is gone, so that a source that
// cannot be removed leaves both files as they were.
platform::FsResult moveOverAcrossDevices(const platform::FileSystem& fs, const QString& source,
                                         const QString& target)
{
    const QString folder = platform::folderOfPath(target);
    QString copy;
    platform::FsResult copied{EEXIST};
    for (int attempt = 0; attempt < 16 && copied.error == EEXIST; ++attempt) {
        copy = platform::temporaryPathIn(folder);
        copied = fs.copyFile(source, copy, false);
    }
    if (!copied)
        return copied;
    const QByteArray old = platform::nativePath(target);
    // A second name of the old file; where the file system has none, it is not kept.
    const QByteArray kept = platform::nativePath(platform::temporaryPathIn(folder));
    const bool keeping =
        platform::sys::linkat(AT_FDCWD, old.constData(), AT_FDCWD, kept.constData(), 0) == 0;
    const auto dropKept = [&] {
        if (keeping)
            platform::sys::unlink(kept.constData());
    };
    const platform::FsResult replaced = fs.replace(copy, target);
    if (!replaced) {
        unlinkQuietly(copy);
        dropKept();
        return replaced;
    }
    if (platform::sys::unlink(platform::nativePath(source).constData()) != 0) {
        // The source stays, so the old file comes back: the move did not happen.
        const int error = errno;
        if (!keeping || platform::sys::rename(kept.constData(), old.constData()) != 0)
            platform::sys::unlink(old.constData());
        return platform::FsResult{error};
    }
    dropKept();
    return {};
}

} // namespace

platform::FsResult transferNew(const platform::FileSystem& fs, TransferMode mode,
                               const QString& source, const QString& target)
{
    return mode == TransferMode::Move ? fs.move(source, target)
                                      : fs.copyFile(source, target, false);
}

platform::FsResult ReplaceTarget(const platform::FileSystem& fs, TransferMode mode,
                                 const QString& source, const QString& target)
{
    if (mode == TransferMode::Copy)
        return arriveOver(fs, mode, source, target);
    struct stat st;
    if (::lstat(platform::nativePath(source).constData(), &st) != 0)
        return platform::FsResult{errno};
    if (!S_ISLNK(st.st_mode)) {
        // A rename of one name of a file over another name of it changes nothing; the name
        // moved goes.
        if (platform::isSameFile(source, target))
            return platform::FsResult{
                platform::sys::unlink(platform::nativePath(source).constData()) == 0 ? 0 : errno};
        // On one file system a rename takes the target's place in one step.
        const platform::FsResult renamed = fs.replace(source, target);
        if (renamed.error != EXDEV)
            return renamed;
        // Across file systems a complete copy takes the target's place, and only then does the
        // source go: the file is never only under a temporary name, which is no file's name.
        if (::access(platform::nativePath(platform::folderOfPath(source)).constData(),
                     W_OK | X_OK) != 0)
            return platform::FsResult{errno};
        return moveOverAcrossDevices(fs, source, target);
    }
    // A link is made anew beside the target, leading where it led, and renamed over it.
    return arriveOver(fs, mode, source, target);
}

} // namespace fileops
