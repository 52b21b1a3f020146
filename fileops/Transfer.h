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

// Replaces the file at `target` with `source`: the file is first moved or copied to a
// temporary name in the target's folder and then renamed over the old one. A transfer that
// fails leaves the old file as it was; a moved file whose last rename fails is moved back
// to `source`.
platform::FsResult ReplaceTarget(const platform::FileSystem& fs, TransferMode mode,
                                 const QString& source, const QString& target);

} // namespace fileops
