#pragma once
// The copying behind FileSystem::copyFile and FileSystem::move between two file systems.
// Every function returns 0 or an errno value; none of them replaces an existing file
// except copyFileReplacing, which swaps the target only once the new copy is complete.
// Copies are made under a temporary name (".quillet-XXXXXX.part") in the target folder and
// take their own name only once they are complete and synced.

#include <QByteArray>

namespace platform {
class TemporaryHold;
}

namespace platform::detail {

// Copies the regular file `from` to the new name `to` (EEXIST when it exists), keeping data,
// times, permissions and extended attributes. A failed copy, or a folder that fails to sync
// after the copy took its name, leaves nothing behind. With `hold` the copy stays held by it
// under its name.
int copyFileExclusive(const QByteArray& from, const QByteArray& to, TemporaryHold* hold = nullptr);

// Copies the regular file `from` into a temporary file beside `to` and renames it over `to`
// once it is complete (see replaceSynced); a failed copy, or a folder that fails to sync,
// leaves `to` as it was and removes the temporary file.
int copyFileReplacing(const QByteArray& from, const QByteArray& to);

// Moves a file, symbolic link or folder tree to another file system: the copy is made under
// a temporary name in the target folder, synced, renamed to `to` (which must not exist;
// never replacing), and only then is the source removed (a folder first takes a temporary
// name beside itself, so it leaves its place in one step). A failed copy, or a target folder
// that fails to sync after the rename, removes what was created and leaves the source
// untouched; a source folder that fails to sync keeps the old tree hidden.
int moveAcrossDevices(const QByteArray& from, const QByteArray& to);

// renameat2 with RENAME_NOREPLACE; where the file system lacks it, a hard link and the old
// name removed (a folder: checked, then renamed). EEXIST when `to` exists.
int renameNoReplaceAt(int fromDir, const char* from, int toDir, const char* to);
// The same where the file system has no RENAME_NOREPLACE: a second name and the old one
// removed (a folder is checked and renamed), which can never replace a target.
int renameWithoutReplaceFlag(int fromDir, const char* from, int toDir, const char* to);

// Gives the complete and synced file `temporary` the name `target` (in the same folder,
// open as `folderFd`), replacing the file there, and syncs the folder. Should the sync fail,
// the replace is undone (where the file system can swap two names): the old file is back
// under its name, or no file where there was none. 0 or the errno value; either way nothing
// is left under the temporary name.
int replaceSynced(const char* temporary, const char* target, int folderFd);

// Writes all of `data`, going on after short writes and interruptions; 0 or the errno value.
int writeAll(int out, const char* data, size_t size);

// Removes a file, link or whole folder tree without following links; 0 or the errno value.
int removeEntryAt(int dirFd, const char* name);

// Copies the user.* extended attributes of one open file to another. A target file system
// without them is not an error; the copy then simply carries none.
int copyXattrs(int in, int out);

} // namespace platform::detail
