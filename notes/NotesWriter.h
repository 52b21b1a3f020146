#pragma once
// The keeper's one way of changing a notes file: a read-change-replace of the whole file under
// its folder's lock (a crash or a full disk leaves the old file whole, another program's write
// is never lost), after which the comments of the files whose notes changed follow. Only the
// keeper's own sources use it.

#include "notes/NoteRecord.h"
#include "notes/NotesFile.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace notes {

class NotesWriter
{
public:
    explicit NotesWriter(QString dir);

    const QString& dir() const { return m_dir; }
    const NotesFile& file() const { return m_file; }

    // The file named `name` (as the disk holds it) is to mirror `note` once the notes file
    // holds it. Told before or inside update(); applied once update() has written.
    void follow(const QString& name, const QString& note);
    // Forgets what follow() was told: the write that would have held it did not happen.
    void dropFollows() { m_follows.clear(); }

    // One read-change-replace; the notes file is written only when `edit` returns true. Throws
    // WriteError when it cannot be written; then no comment follows. The comments follow also
    // when nothing needed writing.
    void update(const std::function<bool(platform::IniDocument&)>& edit);

    // The names of files whose old comment could neither follow nor be removed, after update().
    const QStringList& stale() const { return m_stale; }

    // The folder's identity, read once.
    const FolderId& folderId();

private:
    void applyFollows();

    QString m_dir;
    NotesFile m_file;
    std::vector<std::pair<QString, QString>> m_follows;
    QStringList m_stale;
    FolderId m_folderId;
    bool m_folderIdRead = false;
};

// Edits of a notes file held in memory, for the keeper's sources.
// Sets the note of `caption` (line breaks taken out) under the key that holds it, or a new key;
// throws NoteKeyError for a caption that cannot be a key.
void setNoteIn(platform::IniDocument& document, const QString& dir, const QString& caption,
               const QString& text);
// Removes every key that holds the note of `caption`; false when there was none.
bool removeNoteIn(platform::IniDocument& document, const QString& dir, const QString& caption);
// Throws NoteKeyError for a caption that cannot be a key of the document.
void checkKey(const platform::IniDocument& document, const QString& caption);

} // namespace notes
