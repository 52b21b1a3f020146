#pragma once
// What a folder looked like when a listing last settled its notes with every file's record: its
// last change of entries and its notes file's identity, size and time, kept in an extended
// attribute of the folder ("user.quillet.settled"). While both are as they were, no file was
// added, removed or renamed there and no one edited the notes file, so a listing need not look
// at every file's record again. A folder changed within the last two seconds is never stamped:
// a file system that keeps coarse times could hide a change made in the same tick.

#include <QByteArray>
#include <QString>

namespace notes {

class FolderStamp
{
public:
    static constexpr char Attribute[] = "user.quillet.settled";

    // The folder `dir` (ending in "/") as it is now; empty when it cannot be told.
    static QByteArray of(const QString& dir);
    // Whether the folder is as it was when it was last stamped.
    static bool holds(const QString& dir);
    // Stamps the folder as it is now, unless it changed too recently.
    static void stamp(const QString& dir);
};

} // namespace notes
