#include "fileops/Transfer.h"

#include "platform/FileIdentity.h"
#include "platform/FileNames.h"
#include "platform/ParkedFiles.h"
#include "platform/SysCalls.h"

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

// The file brought under a parked name into the target's folder and renamed over the
// target. A transfer that fails leaves the old file as it was; a moved file whose last
// rename fails is moved back to `source`.
platform::FsResult arriveOver(const platform::FileSystem& fs, TransferMode mode,
                              const QString& source, const QString& target)
{
    const QString folder = platform::folderOfPath(target);
    const QString name = platform::nameOfPath(target);
    platform::ParkedEntry parked;
    const platform::FsResult arrived = mode == TransferMode::Move
                                           ? parked.moveIn(fs, source, folder, name)
                                           : parked.copyIn(source, folder, name);
    if (!arrived)
        return arrived;
    const QString temporary = parked.path();

    const platform::FsResult replaced = fs.replace(temporary, target);
    if (!replaced) {
        if (mode == TransferMode::Move) {
            // The file goes back where it came from; should that fail too, it stays whole
            // under the parked name beside the old file, for the next listing to settle.
            fs.move(temporary, source);
        } else {
            unlinkQuietly(temporary);
        }
        return replaced;
    }
    // Renaming one name of a file over another name of the same file changes nothing and
    // leaves both names; the parked one is not wanted.
    if (fs.exists(temporary))
        unlinkQuietly(temporary);
    return replaced;
}

// A move over `target` from another file system: the complete copy is renamed over it, the
// old file being kept under a second, parked name until the source is gone, so that a source
// that cannot be removed leaves both files as they were.
platform::FsResult moveOverAcrossDevices(const platform::FileSystem& fs, const QString& source,
                                         const QString& target)
{
    const QString folder = platform::folderOfPath(target);
    const QString name = platform::nameOfPath(target);
    platform::ParkedEntry copy;
    if (const platform::FsResult copied = copy.copyIn(source, folder, name); !copied)
        return copied;
    const QByteArray old = platform::nativePath(target);
    // A second name of the old file; where the file system has none, it is not kept.
    platform::ParkedEntry kept;
    const bool keeping = bool(kept.linkIn(target, name));
    const QByteArray keptPath = platform::nativePath(kept.path());
    const auto dropKept = [&] {
        if (keeping)
            platform::sys::unlink(keptPath.constData());
    };
    const platform::FsResult replaced = fs.replace(copy.path(), target);
    if (!replaced) {
        unlinkQuietly(copy.path());
        dropKept();
        return replaced;
    }
    if (platform::sys::unlink(platform::nativePath(source).constData()) != 0) {
        // The source stays, so the old file comes back: the move did not happen.
        const int error = errno;
        if (!keeping || platform::sys::rename(keptPath.constData(), old.constData()) != 0)
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
