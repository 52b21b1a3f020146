#include "core/NoteCleanup.h"

#include "core/Texts.h"

namespace core {

void t403Click(Workspace& workspace, Dialogs& dialogs)
{
    if (!noteCleanupEnabled(workspace.activeKind()))
        return;
    // Erasing the notes and writing back every listed note that is not blank, as shown, in
    // one rewrite of the file.
    QList<std::pair<QString, QString>> notes;
    for (const FileRow& row : workspace.fileList().listedRows()) {
        if (!isBlankNote(row.note))
            notes.append({row.caption, row.note});
    }
    workspace.session().notesFile().replaceAll(notes);
    dialogs.ask(texts::NotesCleanedCaption, texts::NotesCleaned, MessageIcon::Warning, Buttons::Ok,
                Answer::Ok);
}

} // namespace core
