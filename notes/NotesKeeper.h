#pragma once
// The notes keeper: the one writer of notes files and of the comments that mirror them. The
// commands, the drop window, the recycle box, the tree, the note clean-up and the live list
// say what should happen to a file's note; the keeper does it by what the disk holds at that
// moment: it names files by their folder and their name's bytes, reads the stored note again
// instead of trusting a list row, writes a target's note before a file leaves, and refuses
// names that show alike. Files that move with their notes go through NoteCarrier.h, listings
// through FolderSettler.h.

#include "notes/NotesFile.h"
#include "platform/FileSystem.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace notes {

class NotesKeeper
{
public:
    // Whether files' comments follow their notes (the default), or are left as they are.
    static void setCommentsFollowNotes(bool follow);

    // Notes the user writes. `name` is the file's name as the disk holds it.
    // Sets the note (one line, also empty) and returns it as stored. Throws NoteKeyError and
    // WriteError.
    static QString setNote(const QString& dir, const QString& name, const QString& text);
    // Removes the note. Where the file's comment cannot be removed, an empty note stays
    // stored, so that the comment is never taken back as the note. Throws WriteError.
    static void clearNote(const QString& dir, const QString& name);
    // Records on the file that it is known under its name in `dir` (a file given a document):
    // a rename by another program then takes its document along.
    static void recordFile(const QString& dir, const QString& name);

    // Files that left for good (deleted): their notes, and their records of where they came
    // from (OriginRecords.h), go in one rewrite, unless a file of that name is there again. A
    // failure is ignored: the key stays for the clean-up.
    static void forget(const QString& dir, const QStringList& names);
    // The same for files emptied out of a folder (the recycle box): where the folder then holds
    // no file, the whole notes file goes.
    static void forgetEmptied(const QString& dir, const QStringList& names);

    // The recycle box's records of the folders its files came from, for files that cannot carry
    // the record themselves (OriginRecords.h): each name's record is set to the folder's bytes,
    // or removed where they are empty, in one rewrite. A failure is ignored: a file without a
    // record is put back where the user chooses.
    static void recordOrigins(const QString& dir,
                              const QList<std::pair<QString, QByteArray>>& origins);

    // The note clean-up: only the notes of the files that are there remain, those of `names`
    // first in that order, blank notes and notes of files that are gone are dropped, and every
    // key is spelled as its file's caption. Throws WriteError.
    static void cleanUp(const QString& dir, const QStringList& names);

    // Files that arrived without notes of their own (an import, a drop) take the comment they
    // brought, read where they came from, as their note, when no note is stored for their name
    // and the name can be a key. Returns, for each file in order, the note it shows now. A
    // notes file that cannot be written leaves the comments shown only.
    static QStringList takeComments(const QString& dir,
                                    const QList<std::pair<QString, QString>>& namesAndComments);

    // Renames the file `from` of `dir` to `to` with its note: the new name's key is written
    // first, then the file is renamed, then the old key goes; a file that is no longer there
    // still gives its note to the new name. Documents are the caller's.
    enum class RenameOutcome
    {
        Renamed,
        NameTaken,     // another file has that name
        ShownAlike,    // another file's name shows as the new one does
        NotesFileName, // the new name is the notes file's
        KeyRefused,    // the note cannot be stored under the new name
        Failed,        // the file system refused the rename (see `failure`)
    };
    struct Renamed
    {
        RenameOutcome outcome = RenameOutcome::Failed;
        QString caption; // the new name's caption
        QString note;    // the note stored for it now
        platform::FsResult failure;
    };
    static Renamed rename(const platform::FileSystem& fs, const QString& dir, const QString& from,
                          const QString& to);

    // Deletes the folder of a category that holds no file: at that moment, under its lock, the
    // folder must hold nothing but its notes file and leftovers of killed writes, which go with
    // it. Never deletes a notes file while a file is there.
    enum class FolderRemoval
    {
        Removed,
        HoldsFiles,
        HoldsFolders, // and no file
        Failed,
    };
    static FolderRemoval removeFolder(const platform::FileSystem& fs, const QString& dir);

    // Merges the conflict copy `copyName` of the folder's notes file (ConflictCopies.h) in one
    // rewrite under the folder's lock: every note it holds for a file that has none here is
    // taken, and those files' comments follow; where both hold a note for one file and the
    // notes differ, the notes file's stays and the copy's is handed back for the caller to keep.
    // The copy itself stays where it is.
    struct ConflictMerge
    {
        bool merged = false;  // the copy was read, and the notes file holds what it gave
        int readError = 0;    // the errno value of a copy that could not be read
        QString writeFailure; // why the notes file could not be written
        QByteArray copy;      // the copy's bytes as merged
        int taken = 0;        // notes taken into the notes file
        // The copy's notes that differ from those kept: the caption of the file, the note.
        QList<std::pair<QString, QString>> differing;
    };
    static ConflictMerge mergeConflictCopy(const QString& dir, const QString& copyName);

    // The notes file of a folder whose files were moved away goes, unless a key of it belongs to
    // a file that stayed. False when it cannot be read, and stays.
    static bool leaveNotesFile(const platform::FileSystem& fs, const QString& dir);
};

} // namespace notes
