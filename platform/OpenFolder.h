#pragma once
// A folder held open while a walk or a listing looks at it: its entries, their details, its
// files and its subfolders are reached through its handle, relative to it, so a folder is
// read once and a path of any length can be walked (every step is one name below an open
// folder, never a whole path).

#include "platform/AtomicFile.h"

#include <QByteArrayView>
#include <QString>

#include <sys/types.h>

namespace platform {

class OpenFolder
{
public:
    OpenFolder() = default;
    // Opens the folder `dir` (ending in "/"); a link to a folder is followed.
    explicit OpenFolder(const QString& dir);
    // Opens the subfolder `name` (its bytes) of `parent` through the parent's handle; a
    // symbolic link is opened only with `followLink`.
    OpenFolder(const OpenFolder& parent, QByteArrayView name, bool followLink);
    ~OpenFolder();
    OpenFolder(OpenFolder&& other) noexcept;
    OpenFolder& operator=(OpenFolder&& other) noexcept;
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    // The errno value of an open that failed, else 0.
    int error() const { return m_error; }
    const QString& path() const { return m_dir; }
    // The handle itself, for what looks at the folder beside a listing; -1 when not open.
    int handle() const { return m_fd; }

    // What an entry is, as the folder itself tells without a look at the file.
    enum class Kind
    {
        File,
        Folder,
        Link
    };
    // Calls `visit(name, kind)` for every entry but "." and ".." in listing order, with its
    // name's bytes (ended by a NUL; valid for the call only). False when the folder could not
    // be read to its end.
    template <typename Visit> bool forEachEntry(Visit&& visit) const;

    // What a list shows of an entry: the entry itself, or for a symbolic link the file it
    // leads to (a broken link tells of itself).
    struct Details
    {
        qint64 size = 0;            // bytes; 0 for a folder
        qint64 modifiedSeconds = 0; // last write, seconds since the epoch
        bool ownerWrite = true;     // the owner may write (no R attribute)
        bool isLink = false;        // the entry itself is a symbolic link
        bool isFolder = false;      // a folder (for a link: one it leads to)
        bool isRealFolder = false;  // the entry itself is a folder
    };
    // False when nothing is there any more. `name` ends with a NUL.
    bool details(const char* name, Details* out) const;
    // The same for `name` below the open folder `dirFd`, or for a whole path with AT_FDCWD.
    static bool detailsAt(int dirFd, const char* name, Details* out);

    // Device and inode: two paths name one folder when these match.
    struct Identity
    {
        dev_t device = 0;
        ino_t inode = 0;
        bool operator==(const Identity& other) const
        {
            return device == other.device && inode == other.inode;
        }
    };
    bool identity(Identity* out) const;

    // Reads a regular file of the folder whole, as readWholeFile does, but as it is at the
    // moment it is opened: what is added while it is read is left out.
    ReadOutcome readFile(const QString& name, QByteArray* bytes) const;
    // Removes the entry `name` (ending with a NUL) when it is a leftover of a killed write
    // (see removeLeftover in TemporaryFiles.h).
    bool removeLeftover(const char* name) const;
    // Settles the parked entry `name` (ending with a NUL) that no running command holds (see
    // settleParked in ParkedFiles.h): true when it is no longer parked, with `shownAs` its new
    // name, or empty when it was a spare name that went.
    bool settleParked(const char* name, QByteArray* shownAs) const;

    // The file system that holds the folder hands out its entries in blocks as full as they
    // can be, so that a block with room left is the last one: a listing then asks no more.
    void setWholeBlocks(bool whole) { m_wholeBlocks = whole; }
    // True for the local file systems known to do so (by the type of the folder's one).
    bool onWholeBlockFileSystem() const;

private:
    // Starts a listing at the folder's first entry; false when it cannot.
    bool rewind() const;
    // The next block of the folder's records straight from the system; 0 at the end, -1 on
    // failure.
    long readRecords(char* buffer, size_t size) const;
    // The kind of an entry the listing gave no type for; false when it is gone.
    bool kindOf(const char* name, Kind* kind) const;

    QString m_dir;
    int m_fd = -1;
    int m_error = 0;
    mutable bool m_listed = false; // a second listing starts the folder over
    bool m_wholeBlocks = false;
};

template <typename Visit> bool OpenFolder::forEachEntry(Visit&& visit) const
{
    struct Record
    {
        quint64 inode;
        qint64 next;
        unsigned short length;
        unsigned char type;
        char name[1];
    };
    // Large blocks: a walk over many small folders spends its time in these calls.
    alignas(Record) char buffer[32768];
    // The room of the longest record: a name of 255 bytes with its NUL, aligned.
    constexpr long kLongestRecord = 280;
    if (!rewind())
        return false;
    for (bool last = false; !last;) {
        const long got = readRecords(buffer, sizeof buffer);
        if (got <= 0)
            return got == 0;
        last = m_wholeBlocks && got + kLongestRecord <= long(sizeof buffer);
        for (long at = 0; at < got;) {
            const auto* d = reinterpret_cast<const Record*>(buffer + at);
            at += d->length;
            const char* name = d->name;
            if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
                continue;
            Kind kind = Kind::File;
            switch (d->type) {
            case 4: // DT_DIR
                kind = Kind::Folder;
                break;
            case 10: // DT_LNK
                kind = Kind::Link;
                break;
            case 0: // DT_UNKNOWN: the file system does not say
                if (!kindOf(name, &kind))
                    continue; // removed since the folder was read
                break;
            default:
                break;
            }
            visit(QByteArrayView(name, qsizetype(__builtin_strlen(name))), kind);
        }
    }
    return true;
}

} // namespace platform
