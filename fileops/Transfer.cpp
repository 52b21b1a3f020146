#include "fileops/Transfer.h"

#include "platform/FileNames.h"

#include <QRandomGenerator>

#include <cerrno>
#include <unistd.h>

namespace fileops {

namespace {

void unlinkQuietly(const QString& path)
{
    ::unlink(platform::nativePath(path).constData());
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

} // namespace fileops
