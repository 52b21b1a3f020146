#include "fileops/RenameCommands.h"

#include "core/FileListing.h"
#include "core/ReadOnly.h"
#include "core/Texts.h"
#include "fileops/FileOpsTexts.h"
#include "notes/NotesKeeper.h"
#include "platform/FileIdentity.h"
#include "platform/FileNames.h"

#include <cerrno>

namespace fileops {

RenameCommands::RenameCommands(core::Workspace& workspace, core::Dialogs& dialogs)
    : m_workspace(workspace), m_dialogs(dialogs)
{
}

bool RenameCommands::refuseWhenReadOnly()
{
    return core::refuseWhenReadOnly(m_workspace.session(), m_dialogs);
}

void RenameCommands::startEdit(core::FileListModel& list, const QItemSelectionModel& selection)
{
    if (refuseWhenReadOnly())
        return;
    const int row = core::Workspace::firstSelectedRow(selection);
    if (row >= 0 && row < list.count())
        Q_EMIT editRequested(&list, row);
}

void RenameCommands::renfileClick()
{
    startEdit(m_workspace.fileList(), m_workspace.fileSelection());
}

void RenameCommands::renfnClick()
{
    startEdit(m_workspace.searchList(), m_workspace.searchSelection());
}

bool RenameCommands::filelistEditing() const
{
    return m_workspace.session().writable();
}

void RenameCommands::filelistEdited(int row, const QString& text)
{
    if (filelistEditing())
        renameRow(From::FileList, row, text);
}

void RenameCommands::findListEdited(int row, const QString& text)
{
    renameRow(From::SearchList, row, text);
}

void RenameCommands::renameRow(From from, int rowIndex, QString text)
{
    core::FileListModel& list =
        from == From::FileList ? m_workspace.fileList() : m_workspace.searchList();
    if (rowIndex < 0 || rowIndex >= list.count())
        return;
    const core::Session& session = m_workspace.session();
    const platform::FileSystem& fs = session.fs();
    const core::FileRow old = list.row(rowIndex);
    const QString dir = from == From::FileList ? session.currentDir() : old.folder;
    if (dir.isEmpty())
        return;

    if (text.isEmpty()) {
        m_dialogs.showMessage(texts::NameEmpty);
        return;
    }
    if (core::HasInvalidNameChar(text)) {
        if (from == From::FileList)
            m_dialogs.ask(texts::InvalidNameCaption, texts::InvalidNameInFileList,
                          core::MessageIcon::Warning, core::Buttons::Ok, core::Answer::Ok);
        else
            m_dialogs.showMessage(texts::InvalidNameInSearchList);
        return;
    }
    // The editor shows bytes that cannot be read as U+FFFD: the text unchanged stands for the
    // row's own name.
    if (text == platform::displayText(old.caption))
        text = old.caption;
    const QString newName = text == old.caption ? old.name : text;
    // The name confirmed unchanged is taken (the keeper says so); one that differs only by
    // blanks around it changes nothing.
    if (old.caption.trimmed() == text && newName != old.name && !fs.exists(dir + newName))
        return;

    // The keeper renames the file with the note stored for it now, not the row's.
    const notes::NotesKeeper::Renamed renamed =
        notes::NotesKeeper::rename(fs, dir, old.name, newName);
    switch (renamed.outcome) {
    case notes::NotesKeeper::RenameOutcome::Renamed:
        break;
    case notes::NotesKeeper::RenameOutcome::NameTaken:
        m_dialogs.showMessage(texts::NameExists);
        return;
    case notes::NotesKeeper::RenameOutcome::ShownAlike:
        m_dialogs.showMessage(texts::renameShownAlike(text));
        return;
    case notes::NotesKeeper::RenameOutcome::NotesFileName:
        m_dialogs.showMessage(texts::NotesFileNameRefused);
        return;
    case notes::NotesKeeper::RenameOutcome::KeyRefused:
        m_dialogs.showMessage(texts::noteKeyRefused(text));
        return;
    case notes::NotesKeeper::RenameOutcome::Failed:
        m_dialogs.showMessage(texts::renameFailed(old.caption, text, renamed.failure.message()));
        return;
    }

    const core::Documents& documents = session.documents();
    if (documents.DocumentPath(old.caption) != documents.DocumentPath(text)) {
        // Another document of the new name is left alone; any other failure says why.
        if (const platform::FsResult moved = documents.RenameDocument(old.caption, text); !moved)
            m_dialogs.showMessage(
                moved.error == EEXIST
                    ? texts::documentNotRenamed(old.caption.trimmed(), text.trimmed())
                    : texts::documentRenameFailed(old.caption.trimmed(), moved.message()));
    }

    core::FileRow row = old;
    row.name = newName;
    row.caption = renamed.caption;
    row.note = renamed.note;
    list.setRow(rowIndex, row);
    followInOtherList(from, dir, old.name, row);
}

void RenameCommands::followInOtherList(From from, const QString& dir, const QString& oldName,
                                       const core::FileRow& renamed)
{
    core::FileListModel& other =
        from == From::FileList ? m_workspace.searchList() : m_workspace.fileList();
    for (int i = 0; i < other.count(); ++i) {
        const core::FileRow& row = other.row(i);
        if (row.name != oldName || !platform::isSameFolder(row.folder, dir))
            continue;
        core::FileRow follower = row;
        follower.name = renamed.name;
        follower.caption = renamed.caption;
        follower.note = renamed.note;
        other.setRow(i, follower);
    }
}

} // namespace fileops
