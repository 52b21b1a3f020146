#pragma once
// Bringing one file to a new place by moving or copying it, either to a name that is free
// or over a file that the user agreed to replace. A replaced file stays until its successor
// has fully arrived.

#include "platform/FileSystem.h"

#include <QString>

namespace fileops {

enum class TransferMode
{
    Move,
    Copy
};

// Moves (never replacing) or copies (creating the target exclusively) `source` to `target`.
platform::FsResult transferNew(const platform::FileSystem& fs, TransferMode mode,
                               const QString& source, const QString& target);

// Replaces the file at `target` with `source`; the old file keeps its place until the
// new one has fully arrived. A move on one file system is one rename over the target; across
// file systems the complete copy is renamed over the target before the source goes; a copy,
// or a link made anew, arrives under a temporary name in the target's folder first. A
// transfer that fails leaves the old file as it was, and the moved file where it was.
platform::FsResult ReplaceTarget(const platform::FileSystem& fs, TransferMode mode,
                                 const QString& source, const QString& target);

} // namespace fileops
