#pragma once
// Notes that follow files into the recycle box or another folder, gathered over a run and
// written in one rewrite per notes file. Rewriting a notes file of a thousand keys once per moved file
// would make deleting many files slow; gathering keeps the outcome of writing them one by
// one: the box's notes file is written first, and only then are the keys removed from the
// files' old notes files and the rows removed from the list.
//
// The run writes what it has gathered before every message or question and at its end. A
// box notes file that cannot be written ends the run: the files gathered since the last
// write are in the box already, their rows stay (selected again) and their notes stay in
// their old notes files, so no note is lost.

#include "core/FileListModel.h"
#include "platform/TextCodec.h"

#include <QHash>
#include <QItemSelectionModel>
#include <QList>
#include <QPersistentModelIndex>
#include <QStringList>

#include <optional>
#include <utility>

namespace fileops {

class NoteCarrier
{
public:
    NoteCarrier(core::FileListModel& list, QItemSelectionModel& selection, QString boxDir);

    // The file of `row` has moved from `sourceDir`, where its note's key is `sourceKey`, into
    // the box, where its key is `boxKey`. Its note is carried when it is not blank; its key
    // leaves the old notes file when `removeSourceKey`. The row is deselected now and
    // removed once the notes are written. A note whose key the box's notes file cannot hold
    // first writes what was gathered, then throws NoteKeyError with the row still selected.
    void fileMoved(int row, const QString& boxKey, const QString& note, const QString& sourceDir,
                   const QString& sourceKey, bool removeSourceKey);
    // Removes the key `name` from the notes file of `dir` at the next write; a failure is
    // ignored, as for every key removal.
    void removeKeyLater(const QString& dir, const QString& name);

    // Writes what was gathered (see above). Throws WriteError when the box's notes file
    // cannot be written.
    void flush();

private:
    core::FileListModel& m_list;
    QItemSelectionModel& m_selection;
    QString m_boxDir;
    std::optional<platform::TextEncoding> m_boxEncoding;
    QList<std::pair<QString, QString>> m_boxNotes;
    QList<QString> m_sourceOrder; // folders in the order they first came
    QHash<QString, QStringList> m_keysToRemove;
    QList<QPersistentModelIndex> m_rows;
};

// Writes the notes into the notes file of `dir` in one rewrite, with the outcome of writing
// them one after the other. Throws WriteError when the file cannot be written.
void writeNotes(const QString& dir, const QList<std::pair<QString, QString>>& notes);
// Removes the keys from the notes file of `dir` in one rewrite; a failure is ignored.
void removeNotes(const QString& dir, const QStringList& names);

} // namespace fileops
