#pragma once
// Files that move (or are copied) into one folder with their notes, one step per file: the
// note a file has at that moment is read from its notes file (never from a list row), written
// into the target's notes file before the file leaves, and taken out of its old notes file
// once the file has arrived. A crash between the steps leaves at worst the note in both
// places, never in none. A file that does not arrive gets the target's key back as it was, so
// the note of a file it was to replace stays.
//
// A file whose notes file exists but cannot be read stays where it is, as one that failed
// to move: its note could not go with it.
//
// Files are gathered and carried in chunks, so that moving many files rewrites each notes file
// once per chunk rather than once per file; within a chunk every file keeps that order. A
// command carries what it has gathered before every message or question and at its end.
//
// When the target's notes file cannot be written, no file whose note needed it moves: the
// files gathered before the first such file arrive, the others stay where they are with their
// rows selected again, and the write error is thrown so that the command ends there.

#include "core/FileListModel.h"
#include "platform/FileSystem.h"

#include <QItemSelectionModel>
#include <QList>
#include <QPersistentModelIndex>
#include <QSet>
#include <QStringList>

#include <functional>
#include <utility>
#include <vector>

namespace fileops {

// What becomes of an arrived file's key in its old notes file.
enum class SourceKey
{
    Remove,          // the key goes, blank or not (moves out of the file list)
    RemoveWhenNoted, // the key goes when the note was not blank (moves out of the search list)
    Keep,            // the key stays (a copy)
};

class NoteCarrier
{
public:
    struct Item
    {
        QString sourceDir;      // ends in "/"
        QString name;           // the file's name, in both folders
        QString sourceKey;      // its caption in the source folder: its note's key there
        QString targetKey;      // its caption in the target folder
        bool replacing = false; // the user agreed to replace the file of that name there
        SourceKey sourceKeyRule = SourceKey::Remove;
        QPersistentModelIndex row; // its row, removed once the file arrived; may be none
        QString note;              // set when carried: the note it had at that moment
    };
    // Brings one file from `from` to `to`.
    using Transfer =
        std::function<platform::FsResult(const Item& item, const QString& from, const QString& to)>;
    // Told for every carried file, in order, once its notes are settled.
    using Outcome = std::function<void(const Item& item, platform::FsResult result)>;

    NoteCarrier(QString targetDir, Transfer transfer, Outcome outcome);
    ~NoteCarrier() = default;
    NoteCarrier(const NoteCarrier&) = delete;
    NoteCarrier& operator=(const NoteCarrier&) = delete;

    // The list whose rows the files have: a gathered file's row is deselected, an arrived
    // file's row removed.
    void setList(core::FileListModel* list, QItemSelectionModel* selection);

    // Gathers a file; a full chunk is carried at once.
    void add(Item item);
    // Carries what is gathered first when a gathered file will arrive under a name that
    // shows like `name` (letter case aside), so that the target is looked at as it will be.
    void makeWayFor(const QString& name);
    // Carries what is gathered (see above).
    void carry();

private:
    struct Written;
    void settleRows(const std::vector<Item>& items, const std::vector<bool>& arrived,
                    qsizetype stop);

    QString m_targetDir;
    Transfer m_transfer;
    Outcome m_outcome;
    core::FileListModel* m_list = nullptr;
    QItemSelectionModel* m_selection = nullptr;
    std::vector<Item> m_items;
    QSet<QString> m_shown; // what the gathered files will show as, case-folded
};

// Removes the keys from the notes file of `dir` in one rewrite; a failure is ignored.
void removeNotes(const QString& dir, const QStringList& names);

} // namespace fileops
