#pragma once
// A whole file that steps aside for a moment (a replace that waits for its successor, a rename
// in letter case only) is parked under a hidden name of its folder that records the name it
// stands for: ".quillet-<random>-<name>.keep". A name too long to fit beside the rest is cut
// there (".quillet-<random>~<start><extension>.keep") and kept whole in the extended attribute
// "user.quillet.parked", where the file system has them (a symbolic link has none: its cut
// name is its record). A parked entry is held with an advisory lock from before it takes the
// parked name until the command that parked it lets it go; a symbolic link, which cannot be
// held, counts as held while it is young. One found unheld was left by a run that was killed,
// and the next listing of its folder settles it (settleParked): never hidden for good, never
// replacing anything.

#include "platform/FileSystem.h"
#include "platform/TemporaryFiles.h"

#include <QByteArray>
#include <QString>

namespace platform {

class ParkedEntry
{
public:
    ParkedEntry() = default;
    ~ParkedEntry() { letGo(); }
    ParkedEntry(const ParkedEntry&) = delete;
    ParkedEntry& operator=(const ParkedEntry&) = delete;

    // Moves `from` (through `fs`) under a new parked name in `folder` standing for the name
    // `standsFor`. A regular file or folder is held before it moves.
    FsResult moveIn(const FileSystem& fs, const QString& from, const QString& folder,
                    const QString& standsFor);
    // Copies the regular file `from` (links followed) under a new parked name in `folder`;
    // the copy is held from the moment it is made.
    FsResult copyIn(const QString& from, const QString& folder, const QString& standsFor);
    // Gives the file at `existing` a second, parked name in its own folder (a hard link),
    // held first. Fails where the file system has no second names.
    FsResult linkIn(const QString& existing, const QString& standsFor);

    // The parked entry's path while it is parked; empty before.
    const QString& path() const { return m_path; }

    // The command is done with the entry, which has taken its name, gone, or stays parked
    // (then a later listing settles it). A record that no parked name needs any more goes
    // from the file, and the hold is let go.
    void letGo();

private:
    // Runs `make(path)` with new parked paths until one is free, then records the name.
    template <typename Make>
    FsResult parkUnderNewName(const QString& folder, const QString& standsFor, Make make);
    // Holds the regular file or folder at `path` (a shared lock: the file may be the user's,
    // and a lock another program holds keeps a listing away from it all the same).
    void holdExisting(const QString& path);

    QString m_path;
    int m_fd = -1;            // the held entry, when held by a lock of its own
    TemporaryHold m_copyHold; // the held copy
    bool m_recordInAttribute = false;
};

// The name of the entry `name` (its bytes) stands for when it is parked: true for a parked
// name, with `standsFor` set to the name it records, `complete` false where that is cut (or
// where an entry left by an older run records none, and `standsFor` is empty).
bool parkedNameOf(QByteArrayView name, QByteArray* standsFor, bool* complete);

// Settles the parked entry `name` (ending with a NUL) of the folder open as `dirFd` when no
// running command holds it: it takes back the name it stands for when nothing has that name,
// and otherwise shows under a free name "<name> (恢复).<ext>", "<name> (恢复 2).<ext>", ...
// (both renames never replace); a second name of the very file that has that name just goes.
// True when it is no longer parked: `shownAs` is then its new name, or empty when it went.
bool settleParked(int dirFd, const char* name, QByteArray* shownAs);

} // namespace platform
