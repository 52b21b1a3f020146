#include "core/NoteCleanup.h"

#include "core/Texts.h"
#include "notes/NotesKeeper.h"

namespace core {

void t403Click(Workspace& workspace, Dialogs& dialogs)
{
    if (!noteCleanupEnabled(workspace.activeKind()))
        return;
    // The notes of the files that are there, in the list's order, each under its file's
    // caption, in one rewrite of the file; what the disk holds decides, not the rows.
    const FileRows& rows = workspace.fileList().fileRows();
    QStringList names;
    names.reserve(qsizetype(rows.size()));
    for (size_t i = 0; i < rows.size(); ++i)
        names.append(rows.name(i));
    notes::NotesKeeper::cleanUp(workspace.session().currentDir(), names);
    dialogs.ask(texts::NotesCleanedCaption, texts::NotesCleaned, MessageIcon::Warning, Buttons::Ok,
                Answer::Ok);
}

} // namespace core
