#pragma once
// The file-system calls every command is built on: listings in directory order, moves that
// never replace an existing target, copies that keep times, permissions and extended
// attributes, deletes that respect the read-only attribute, and the R/A/S/H attributes.

#include "platform/FileAttributes.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <vector>

namespace platform {

// Outcome of one file-system call: the errno value and the system's error text.
struct FsResult
{
    int error = 0;
    bool ok() const { return error == 0; }
    explicit operator bool() const { return ok(); }
    QString message() const; // the system's error text, empty when ok
    static FsResult fromErrno(int err) { return FsResult{err}; }
};

// One entry of a directory listing.
struct DirEntry
{
    QString name;
    bool isDir = false;     // a real directory (a symbolic link to one is not entered)
    bool isSymlink = false; // the entry itself is a symbolic link
    qint64 size = 0;        // bytes, 64-bit
    QDateTime modified;     // local time, seconds truncated to even
    Attributes attributes = 0;
    // The stored flags (A, S and a stored H) were not read yet; see storedAttributes().
    bool storedAttributesLater = false;
};

// Whether a listing reads the stored flags of every entry, or leaves them to be read when
// they are shown: reading them costs a second system call per file.
enum class StoredFlags { Read, Later };

// Creation, last access and last write, in local time, seconds truncated to even.
// `created` is null when the file system keeps no birth time.
struct FileTimes
{
    QDateTime created;
    QDateTime accessed;
    QDateTime modified;
};

class FileSystem
{
public:
    FileSystem() = default;
    virtual ~FileSystem() = default;
    FileSystem(const FileSystem&) = delete;
    FileSystem& operator=(const FileSystem&) = delete;

    // The process-wide instance on the real file system.
    static FileSystem& local();

    // Entries of `dir` in the order the directory yields them; "." and ".." are skipped,
    // dot-files are included, symbolic links are reported, not followed into.
    // `ok` is set to false when the directory cannot be read (the result is then empty).
    std::vector<DirEntry> list(const QString& dir, bool* ok = nullptr,
                               StoredFlags stored = StoredFlags::Read) const;

    // Names of the folders in `dir` (links to folders count), in listing order, found without
    // looking into the files; with `firstOnly` the walk stops at the first one.
    QStringList subfolders(const QString& dir, bool firstOnly = false) const;

    bool exists(const QString& path) const;      // anything at the path, links not followed
    bool isDirectory(const QString& path) const; // a directory (links followed)
    bool isFile(const QString& path) const;      // a regular file (links followed)
    // Whether a folder can be reached at `path` (links followed): ok, ENOENT when nothing is
    // there, ENOTDIR when something else is, or why it cannot be looked at (EACCES, ...).
    FsResult folderState(const QString& path) const;
    // A regular file (links followed) with an execute permission bit: a program to start.
    bool isExecutable(const QString& path) const;

    // Both paths lead to one file: the same device and inode (a hard link, the very same path,
    // or with `followLinks` a link and the file it leads to).
    bool isSameFile(const QString& a, const QString& b, bool followLinks = true) const;

    // Size in bytes of what is at `path`, or -1 when nothing is there.
    qint64 fileSize(const QString& path) const;

    FsResult makeDirectory(const QString& path) const;   // one level
    FsResult makePath(const QString& path) const;        // with the missing levels above it
    FsResult removeDirectory(const QString& path) const; // fails on a non-empty folder

    // Moves a file or a folder; fails with EEXIST when `to` exists. Across file systems the
    // data, times, permissions and extended attributes are copied first and the source is
    // removed only after the copy is complete; a failed copy leaves the source untouched and
    // removes the partial target.
    FsResult move(const QString& from, const QString& to) const;

    // Copies a regular file keeping its last-write time, permissions and extended attributes.
    // Without `overwrite` the target is created exclusively and an existing one is an error
    // (EEXIST). With `overwrite` the data goes to a temporary file in the target folder that
    // replaces the target only once it is complete; a target carrying the read-only
    // attribute is not replaced (EACCES).
    FsResult copyFile(const QString& from, const QString& to, bool overwrite) const;

    // Renames `from` to `to` in one step, replacing a file already at `to` (rename(2)).
    // Both paths must lie on one file system (EXDEV otherwise); a folder at `to` is never
    // replaced by a file (EISDIR).
    FsResult replace(const QString& from, const QString& to) const;

    // Deletes a file; refuses (EACCES) when it carries the read-only attribute.
    FsResult removeFile(const QString& path) const;

    // R: the owner-write permission is missing. H: the name starts with "." or the stored
    // hidden flag is set. A, S and a stored H live in the extended attribute
    // "user.quillet.attrib". Directory is set for folders. `ok` is false when nothing is there.
    Attributes attributes(const QString& path, bool* ok = nullptr) const;
    // Sets R, A, S and H (Directory is ignored). Setting R removes every write permission;
    // clearing it gives back the ones setting it removed (owner write at least). All or
    // nothing: A, S or a stored H on a file system without extended attributes fail
    // (ENOTSUP) before anything changes, and any other failure leaves every attribute as it
    // was. A symbolic link keeps what it shows (nothing, or H for a dot name); anything
    // more fails (EPERM) and its target is untouched.
    FsResult setAttributes(const QString& path, Attributes attributes) const;
    // Those of `attributes` that the file system holding `path` cannot keep (A, S and a
    // stored H where it has no extended attributes; a dot name is hidden by itself).
    Attributes unstorableAttributes(const QString& path, Attributes attributes) const;
    // Only the stored flags A, S and H of the entry at `path` (a link's own, which are none).
    Attributes storedAttributes(const QString& path) const;

    FileTimes times(const QString& path, bool* ok = nullptr) const;

protected:
    // renameat2(RENAME_NOREPLACE); returns 0 or the errno value. A test overrides it to make
    // a move behave as one between two file systems (EXDEV).
    virtual int renameNoReplace(const QByteArray& from, const QByteArray& to) const;
    // rename(2), replacing; returns 0 or the errno value. A test overrides it as above.
    virtual int renameReplacing(const QByteArray& from, const QByteArray& to) const;
};

// A file's date from its time in seconds: local time, held with its offset from UTC, seconds
// truncated to even (file dates have a resolution of two seconds).
QDateTime fileDate(qint64 secondsSinceEpoch);
// The local time's offset from UTC in seconds at that moment (as fileDate holds it).
int localOffsetAt(qint64 secondsSinceEpoch);

// "/a/b/" for "/a/b" and "/a/b/"; the one trailing separator every folder path carries.
QString withTrailingSlash(const QString& path);

} // namespace platform
