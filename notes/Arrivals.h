#pragma once
// What a file brought into a folder would meet there, looked at on the disk at the moment a
// command decides: its own place (a file is never brought onto itself, nor onto a link that
// leads to it), a folder of its name, another file of its name (a same-name case: replaced
// only when the user agrees), or another file whose name shows as its name does (a UTF-8 and
// a GBK name, a name with a leading U+FEFF: they would share a note, so such a file is
// refused). The notes file and the program's temporary names are never brought in as files.

#include "platform/FileSystem.h"
#include "platform/NamesShownAlike.h"

#include <QString>

namespace notes {

enum class Arrival
{
    Free,
    AlreadyThere,   // the target is the file itself, or a link leads from one to the other
    FolderInTheWay, // a folder (or a link to one) has its name there
    Taken,          // another file has its name there: it arrives only replacing that one
    ShownAlike,     // another file's name there shows as its name does (otherName())
    SourceGone,     // it is not where the command saw it
    NotAFile,       // its name is the notes file's, or one of the program's temporary names
};

class Arrivals
{
public:
    Arrivals(const platform::FileSystem& fs, QString targetDir);

    const QString& targetDir() const { return m_targetDir; }
    // What the file at `source` would meet as `targetDir` + `name`.
    Arrival of(const QString& source, const QString& name);
    // The name that shows alike, after of() said ShownAlike.
    const QString& otherName() const { return m_otherName; }
    // `name` has arrived in the target folder.
    void arrived(const QString& name) { m_alike.arrived(name); }

private:
    const platform::FileSystem& m_fs;
    QString m_targetDir;
    platform::NamesShownAlike m_alike;
    QString m_otherName;
};

} // namespace notes
