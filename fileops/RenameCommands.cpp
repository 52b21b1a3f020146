#include "fileops/RenameCommands.h"

#include "core/FileListing.h"
#include "core/ReadOnly.h"
#include "core/Texts.h"
#include "fileops/FileOpsTexts.h"
#include "platform/FileIdentity.h"
#include "platform/FileNames.h"
#include "platform/ParkedFiles.h"

#include <cerrno>

namespace fileops {

namespace {

// Another spelling of the same file's name, in a folder that ignores letter case.
bool isOtherSpellingOfSameFile(const QString& from, const QString& to)
{
    return from != to && platform::nameOfPath(from).compare(platform::nameOfPath(to), Qt::CaseInsensitive) == 0 &&
           platform::FileSystem::local().isSameFile(from, to, false);
}

} // namespace

platform::FsResult renameFileNoReplace(const platform::FileSystem& fs, const QString& from,
                                       const QString& to)
{
    if (!isOtherSpellingOfSameFile(from, to))
        return fs.move(from, to);
    // Parked for a moment under a name that records its old one, which a listing gives it
    // back should the rename be cut short.
    platform::ParkedEntry parked;
    if (const platform::FsResult result =
            parked.moveIn(fs, from, platform::folderOfPath(to), platform::nameOfPath(from));
        !result)
        return result;
    const platform::FsResult result = fs.move(parked.path(), to);
    if (!result)
        fs.move(parked.path(), from);
    return result;
}

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

void RenameCommands::renameRow(From from, int row, QString text)
{
    core::FileListModel& list =
        from == From::FileList ? m_workspace.fileList() : m_workspace.searchList();
    if (row < 0 || row >= list.count())
        return;
    const core::Session& session = m_workspace.session();
    const platform::FileSystem& fs = session.fs();
    const core::FileRow old = list.row(row);
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
    const QString source = dir + old.name;
    const QString target = dir + newName;
    // Never onto another file, also not one whose name differs only in letter case in a
    // folder that ignores it; the row's own file under another spelling is no other file.
    if (fs.exists(target) && !isOtherSpellingOfSameFile(source, target)) {
        m_dialogs.showMessage(texts::NameExists);
        return;
    }
    if (old.caption.trimmed() == text)
        return;
    // The notes file's name would turn the file into the folder's notes.
    if (!core::isListedEntry(text)) {
        m_dialogs.showMessage(texts::NotesFileNameRefused);
        return;
    }
    const core::NotesFile notes = core::NotesFile::open(dir);
    if (!core::isBlankNote(old.note) && !notes.canHoldKey(text)) {
        m_dialogs.showMessage(texts::noteKeyRefused(text));
        return;
    }

    // A file that is no longer there still gives its note and document to the new name.
    if (fs.exists(source)) {
        const platform::FsResult result = renameFileNoReplace(fs, source, target);
        if (!result) {
            m_dialogs.showMessage(texts::renameFailed(old.caption, text, result.message()));
            return;
        }
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

    core::FileRow renamed = old;
    renamed.name = newName;
    renamed.caption = core::CaptionInFolder(fs, dir, newName);
    list.setRow(row, renamed);
    followInOtherList(from, dir, old.name, renamed);
    // The row carries its new name before the notes file is written: a write that fails
    // leaves the note under the old name, where the next listing no longer finds it, but the
    // row shows the file as it now is.
    renamed.note = core::RenameNote(notes, old.caption, renamed.caption, old.note);
    list.setNote(row, renamed.note);
    followInOtherList(from, dir, newName, renamed);
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
