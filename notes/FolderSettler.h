#pragma once
// What a listing shows of the notes of a folder's files after other programs changed them, and
// what it writes so that the notes stay with the files: the same whether the folder was shown
// while it happened (the live list settles the files a change touched) or the program was
// closed (a listing settles every file).
//
// The record a file carries (NoteRecord.h) tells what happened to it:
// - recorded here under its own name: the notes file is the truth; where another program
//   edited it, the file's comment follows (also a removed note: the comment is never taken
//   back);
// - recorded here under another name (renamed by another program, also in letter case only):
//   it takes the note stored under its old name, which goes when no file has that name any more
//   (a backup made by renaming keeps its note on the new file of the old name, and shows it
//   too); a note stored under its new name for a file that is gone is not its own; a document
//   follows where the old name is free;
// - not recorded here (a file moved or copied in, or one of a folder made elsewhere): the note
//   stored under its name, else the comment it brought, which then is stored.
// Where a file system keeps no user attributes, names alone decide.

#include "notes/NoteRecord.h"
#include "notes/NotesSnapshot.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace notes {

class FolderSettler
{
public:
    // `notes` is the folder's notes file as the listing read it; `writable` false when the
    // library cannot be written (nothing is written then, but the notes shown are the same).
    FolderSettler(QString dir, const NotesSnapshot& notes, bool writable);

    // Whether the folder is as the last full settling left it (FolderStamp.h): then nothing of
    // it needs looking at, and look() need not be called.
    bool unchanged() const;

    // A listed file: its name's bytes, the note the listing gave it, and its caption (made only
    // when needed). Returns the note it shows instead, when that differs.
    std::optional<QString> look(QByteArrayView name, QStringView listedNote,
                                const std::function<QString()>& caption);

    struct Settled
    {
        // Documents to follow a rename: old caption, new caption.
        QList<std::pair<QString, QString>> documents;
        // Why the notes file could not be written; empty when it could, or needed no write.
        QString failure;
    };
    // Writes what the files looked at asked for, in one rewrite of the notes file, only when
    // something changes, and lets their comments follow. With `everyFile` (a listing that
    // looked at every file of the folder) a folder settled without a failure is stamped.
    Settled finish(bool everyFile = false);

private:
    struct Move
    {
        QString name; // the renamed file's name
        QString caption;
        QString fromCaption;
        QByteArray fromName;
        bool oldNameFree = false;
    };
    struct Intake
    {
        QString name;
        QString caption;
        QString comment;
    };
    bool isThere(const QByteArray& name) const;
    QString captionOf(const QByteArray& name) const;
    NotesSnapshot::OtherFile otherFile() const;
    std::optional<QString> renamedFrom(const QByteArray& name, const NoteRecord& record,
                                       const QString& caption, QStringView stored);

    QString m_dir;
    QByteArray m_dirNative;
    const NotesSnapshot& m_notes;
    bool m_writable;
    bool m_attributes = true; // the folder's file system keeps user attributes
    FolderId m_folder;
    std::vector<Move> m_moves;
    std::vector<Intake> m_intakes;
    std::vector<std::pair<QString, QString>> m_follows; // name, note
    QList<std::pair<QString, QString>> m_documents;
};

} // namespace notes
