#include "core/ListedComments.h"

#include "core/NoteMirror.h"
#include "platform/Errors.h"
#include "platform/FileNames.h"

#include <optional>

namespace core {

QList<std::pair<QString, QString>> TakeListedComments(FileRows& rows, const NotesFile& notes)
{
    QList<std::pair<QString, QString>> taken;
    std::optional<NotesSnapshot> snapshot;
    QByteArray path;
    quint32 folder = quint32(-1);
    qsizetype folderLength = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (!rows.noteView(i).isEmpty())
            continue;
        // The path's bytes without making texts of every name: most files carry no comment.
        if (rows.folderOf(i) != folder) {
            folder = rows.folderOf(i);
            path = platform::nativePath(rows.folder(i));
            folderLength = path.size();
        }
        path.truncate(folderLength);
        path.append(rows.nameBytes(i));
        QString comment = NoteMirror::commentAt(path);
        if (comment.isEmpty())
            continue;
        if (!snapshot)
            snapshot = notes.readAll();
        const QString caption = rows.caption(i);
        if (snapshot->has(caption))
            continue; // a blank note of its own
        rows.setNote(i, comment);
        taken.append({caption, std::move(comment)});
    }
    return taken;
}

QList<std::pair<QString, QString>> TakeListedComments(std::vector<FileRow>& rows,
                                                      const NotesSnapshot& notes)
{
    QList<std::pair<QString, QString>> taken;
    for (FileRow& row : rows) {
        if (!row.note.isEmpty() || notes.has(row.caption))
            continue;
        QString comment = NoteMirror::commentOf(row.folder + row.name);
        if (comment.isEmpty())
            continue;
        row.note = comment;
        taken.append({row.caption, std::move(comment)});
    }
    return taken;
}

void KeepListedComments(const NotesFile& file, const QList<std::pair<QString, QString>>& notes)
{
    if (notes.isEmpty() || file.isNull())
        return;
    try {
        file.update([&](platform::IniDocument& document) {
            for (const auto& [caption, text] : notes) {
                try {
                    setNoteIn(document, file.dir(), caption, text);
                } catch (const NoteKeyError&) {
                    // A name that cannot be a key keeps its note in its comment alone.
                }
            }
            return true;
        });
    } catch (const platform::UserError&) {
        // A notes file that cannot be written: the comments still show at every listing.
    }
}

} // namespace core
