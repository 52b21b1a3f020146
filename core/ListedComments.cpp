#include "core/ListedComments.h"

#include "core/NoteMirror.h"
#include "platform/Errors.h"

namespace core {

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
