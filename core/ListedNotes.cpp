#include "core/ListedNotes.h"

#include "core/Texts.h"
#include "notes/FolderSettler.h"
#include "platform/FileNames.h"

namespace core {

QString SettleListedNotes(std::initializer_list<FileRows*> lists, const QString& dir,
                          const notes::NotesSnapshot& stored, bool writable,
                          const Documents& documents, bool wholeFolder)
{
    notes::FolderSettler settler(dir, stored, writable);
    if (wholeFolder && settler.unchanged())
        return {};
    for (FileRows* list : lists) {
        FileRows& rows = *list;
        for (size_t i = 0; i < rows.size(); ++i) {
            QByteArrayView name = rows.nameBytes(i);
            QByteArray held;
            if (name.isEmpty()) {
                held = platform::nativePath(rows.name(i)); // a row that holds its name as text
                name = held;
            }
            const std::optional<QString> shown =
                settler.look(name, rows.noteView(i), [&] { return rows.caption(i); });
            if (shown)
                rows.setNote(i, *shown);
        }
    }
    const notes::FolderSettler::Settled settled = settler.finish(wholeFolder && writable);
    QString failure =
        settled.failure.isEmpty() ? QString() : texts::notesNotSettled(settled.failure);
    for (const auto& [from, to] : settled.documents) {
        if (!documents.HasDocument(from) || documents.HasDocument(to))
            continue;
        if (const platform::FsResult moved = documents.RenameDocument(from, to); !moved)
            failure = texts::notesNotSettled(platform::displayPath(documents.DocumentPath(from)) +
                                             QStringLiteral("：") + moved.message());
    }
    return failure;
}

} // namespace core
