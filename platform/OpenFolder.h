#pragma once
// A folder held open while a walk looks at it: its entries, their details, its files and its
// subfolders are reached through it without looking its path up again, and a subfolder that
// is a symbolic link is never opened.

#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"

#include <QByteArrayView>

#include <functional>
#include <vector>

namespace platform {

class OpenFolder
{
public:
    // Opens the folder `dir` (ending in "/"); a link to a folder is followed.
    explicit OpenFolder(const QString& dir);
    ~OpenFolder();
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;

    // The subfolder `name`; not opened when it is a symbolic link. Works after close() too,
    // by the folder's path.
    OpenFolder subfolder(const QString& name) const;

    bool isOpen() const { return m_fd >= 0; }
    const QString& path() const { return m_dir; }

    // What an entry is, as the folder itself tells without a look at the file.
    enum class Kind
    {
        File,
        Folder,
        Link
    };
    // Calls `visit` for every entry in listing order with its name's bytes (valid for the
    // call only). False when the folder could not be read to its end.
    bool forEachEntry(const std::function<void(QByteArrayView name, Kind kind)>& visit) const;
    // These entries as FileSystem::list reports them, in this order; a name that is not
    // there is left out.
    std::vector<DirEntry> entriesNamed(const QStringList& names,
                                       StoredFlags stored = StoredFlags::Read) const;
    // A folder (links followed).
    bool isDirectory(const QString& name) const;
    ReadOutcome readFile(const QString& name, QByteArray* bytes) const;

    // Gives the folder's descriptor back to the system (a deep walk would run out of them);
    // the object then reads nothing.
    void close();

private:
    OpenFolder(QString dir, int fd) : m_dir(std::move(dir)), m_fd(fd) {}

    QString m_dir;
    int m_fd = -1;
    mutable bool m_listed = false; // a second listing starts the folder over
};

} // namespace platform
