#pragma once
// The copying behind FileSystem::copyFile and FileSystem::move between two file systems.
// Every function returns 0 or an errno value; none of them replaces an existing file
// except copyFileReplacing, which swaps the target only once the new copy is complete.

#include <QByteArray>

namespace platform::detail {

// Copies the regular file `from` to a new file `to` created exclusively (EEXIST when it
// exists), keeping data, times, permissions and extended attributes. A failed copy removes
// the new file.
int copyFileExclusive(const QByteArray& from, const QByteArray& to);

// Copies the regular file `from` into a temporary file beside `to` and renames it over `to`
// once it is complete; a failed copy leaves `to` as it was and removes the temporary file.
int copyFileReplacing(const QByteArray& from, const QByteArray& to);

// Moves a file, symbolic link or folder tree to another file system: the copy is made at
// `to` (which must not exist), and the source is removed only after the copy is complete.
// A failed copy removes what was created at `to` and leaves the source untouched.
int moveAcrossDevices(const QByteArray& from, const QByteArray& to);

} // namespace platform::detail
