#pragma once
// Whole-file reads and writes of the program's own small files (notes files, the
// configuration file, documents, exported pages). A write goes to a temporary file beside the
// target that replaces it only once every byte is on the disk, so a crash, a full disk or a
// failed write leaves the old file as it was.

#include <QByteArray>
#include <QString>

namespace platform {

enum class ReadOutcome
{
    Missing,    // nothing at the path
    Loaded,     // a regular file, read whole
    Unreadable, // anything else: no access, not a regular file, larger than the limit
};

// What a write does when the path is a symbolic link.
enum class LinkPolicy
{
    Refuse,      // never written through (ELOOP)
    WriteTarget, // the file the link leads to is replaced, the link stays
};

inline constexpr qint64 kMaxOwnFileSize = 64 * 1024 * 1024;

// Reads a regular file whole (a link to one is followed); FIFOs, devices and folders are
// never opened for reading, and a file larger than `limit` is not read. `error`, when given,
// gets the errno value of an unreadable file (EISDIR for anything not a regular file, EFBIG
// for one larger than the limit), else 0.
ReadOutcome readWholeFile(const QString& path, QByteArray* bytes, qint64 limit = kMaxOwnFileSize,
                          int* error = nullptr);
// The same for `path` relative to the folder open as `dirFd`.
ReadOutcome readWholeFileAt(int dirFd, const QString& path, QByteArray* bytes,
                            qint64 limit = kMaxOwnFileSize, int* error = nullptr);

// Writes `bytes` as the file's new contents; returns 0 or the errno value of the step that
// failed (EISDIR for a folder, FIFO or device, ELOOP for a refused link). An
// existing file keeps its permissions, owner and extended attributes; one without owner
// write is not replaced (EACCES). After the rename the folder is synced, so the new file
// survives a power loss.
int writeWholeFile(const QString& path, const QByteArray& bytes,
                   LinkPolicy links = LinkPolicy::Refuse);

// The temporary name a write of `path` uses in its folder; it is the same on every write of
// that path in every run, so one left behind by a killed run is removed by the next write
// (a write running at the same time holds it locked and the other takes a name of its own).
QString temporaryPathFor(const QString& path);

} // namespace platform
