#pragma once
// The keeper's record on a file ("user.quillet.noted"): the folder and the name its note is
// stored under, and which note its comment mirrors. A file that another program renames or
// moves carries the record along, so that a listing tells that file from a new one that took
// a deleted file's name, and a comment that no longer follows the notes file (another program
// edited it) from one that does.

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>
#include <sys/types.h>

namespace notes {

inline constexpr char RecordAttribute[] = "user.quillet.noted";

// A folder by what the disk holds: its device and inode.
struct FolderId
{
    dev_t device = 0;
    ino_t inode = 0;
    bool isNull() const { return device == 0 && inode == 0; }
    bool operator==(const FolderId& other) const
    {
        return device == other.device && inode == other.inode;
    }
};
// The folder at `dir` (a link to a folder leads to it); null when there is none.
FolderId folderIdOf(const QString& dir);

struct NoteRecord
{
    FolderId folder;
    QByteArray name;       // the file's name's bytes
    quint64 noteHash = 0;  // hashOf() of the note stored for it when it was recorded
    bool mirrored = false; // its comment held that note then

    static quint64 hashOf(QStringView note);
    QByteArray encode() const;
    // Nothing for bytes that are no record of this program.
    static std::optional<NoteRecord> decode(QByteArrayView bytes);

    bool operator==(const NoteRecord& other) const
    {
        return folder == other.folder && name == other.name && noteHash == other.noteHash &&
               mirrored == other.mirrored;
    }
};

} // namespace notes
