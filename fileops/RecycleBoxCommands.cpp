#include "fileops/RecycleBoxCommands.h"

#include "core/FileListing.h"
#include "core/ReadOnly.h"
#include "core/Texts.h"
#include "fileops/FileOpsTexts.h"
#include "fileops/NoteCarrier.h"
#include "fileops/RowSteps.h"

#include <cerrno>

namespace fileops {

namespace {

bool askYesNo(core::Dialogs& dialogs, const QString& caption, const QString& text)
{
    return dialogs.ask(caption, text, core::MessageIcon::Question, core::Buttons::YesNo,
                       core::Answer::No) == core::Answer::Yes;
}

} // namespace

RecycleBoxCommands::RecycleBoxCommands(core::Workspace& workspace, core::Dialogs& dialogs)
    : m_workspace(workspace), m_dialogs(dialogs)
{
}

void RecycleBoxCommands::delselfileClick()
{
    if (core::refuseWhenReadOnly(m_workspace.session(), m_dialogs))
        return;
    if (m_workspace.page() == core::Workspace::Page::Search) {
        DELFMClick();
        return;
    }
    if (core::Workspace::firstSelectedRow(m_workspace.fileSelection()) >= 0)
        DeleteToRecycleBox(m_workspace.activeTree());
}

void RecycleBoxCommands::DeleteToRecycleBox(const core::CategoryTreeModel& tree)
{
    const int kind = m_workspace.selectedKind(tree);
    if (kind < 0 || core::Workspace::firstSelectedRow(m_workspace.fileSelection()) < 0)
        return;
    if (kind == core::RecycleBoxKind)
        deleteForGood();
    else
        moveIntoBox();
}

void RecycleBoxCommands::countFiles()
{
    m_workspace.status().setText(1, core::texts::fileCount(m_workspace.fileList().count()));
}

void RecycleBoxCommands::moveIntoBox()
{
    core::Session& session = m_workspace.session();
    if (session.options().DelDialog &&
        !askYesNo(m_dialogs, texts::MoveToBoxCaption, texts::MoveToBoxQuestion))
        return;

    const core::BusyCursor busy(m_dialogs);
    const platform::FileSystem& fs = session.fs();
    const QString box = session.layout().recycleBoxDir();
    const QString dir = session.currentDir();
    const core::NotesFile& notes = session.notesFile();
    core::FileListModel& list = m_workspace.fileList();
    QItemSelectionModel& selection = m_workspace.fileSelection();
    NoteCarrier carrier(list, selection, box);

    const auto handle = [&](int row) {
        const QString name = list.row(row).name;
        const QString caption = list.row(row).caption;
        const QString note = list.row(row).note;
        const QPersistentModelIndex current(list.index(row, 0));
        if (fs.exists(box + name)) {
            carrier.flush();
            if (fs.isDirectory(box + name)) {
                // A folder of that name is no file to delete in its place.
                m_dialogs.showMessage(texts::folderOfSameNameInBox(caption));
                deselectRow(list, selection, current.row());
                return;
            }
            if (!askYesNo(m_dialogs, texts::SameNameInBoxCaption,
                          texts::sameNameInBoxQuestion(caption))) {
                deselectRow(list, selection, current.row());
                return;
            }
            // The file in the box and the document stay; the deleted file's note goes.
            if (fs.removeFile(dir + name)) {
                if (!notes.isNull())
                    notes.deleteNote(caption);
                list.removeRowAt(current.row());
            } else {
                m_dialogs.showMessage(texts::directDeleteFailed(caption));
                deselectRow(list, selection, current.row());
            }
            return;
        }
        if (!fs.move(dir + name, box + name)) {
            carrier.flush();
            m_dialogs.showMessage(texts::moveToBoxFailed(caption));
            deselectRow(list, selection, current.row());
            return;
        }
        carrier.fileMoved(row, core::CaptionInFolder(fs, box, name), note, notes.dir(), caption,
                          !notes.isNull());
    };
    try {
        DrainSelectedRows(list, selection, handle);
        carrier.flush();
    } catch (...) {
        countFiles();
        throw;
    }
    countFiles();
}

void RecycleBoxCommands::deleteForGood()
{
    core::Session& session = m_workspace.session();
    if (session.options().EmptyDialog &&
        !askYesNo(m_dialogs, texts::DeleteForGoodCaption, texts::DeleteForGoodQuestion))
        return;

    const core::BusyCursor busy(m_dialogs);
    const platform::FileSystem& fs = session.fs();
    const QString dir = session.currentDir();
    const core::NotesFile& notes = session.notesFile();
    core::FileListModel& list = m_workspace.fileList();
    QItemSelectionModel& selection = m_workspace.fileSelection();
    // Only key removals are gathered here, so writing them never fails the run.
    NoteCarrier carrier(list, selection, dir);

    DrainSelectedRows(list, selection, [&](int row) {
        const QString name = list.row(row).name;
        const QString caption = list.row(row).caption;
        // The attributes are left as they are: a read-only file is not deleted.
        if (!fs.removeFile(dir + name)) {
            carrier.flush();
            m_dialogs.showMessage(texts::deleteForGoodFailed(caption));
            deselectRow(list, selection, row);
            return;
        }
        session.documents().DeleteDocument(caption);
        if (!notes.isNull())
            carrier.removeKeyLater(notes.dir(), caption);
        list.removeRowAt(row);
    });
    carrier.flush();
    countFiles();
}

void RecycleBoxCommands::DELFMClick()
{
    core::FileListModel& list = m_workspace.searchList();
    QItemSelectionModel& selection = m_workspace.searchSelection();
    if (core::Workspace::firstSelectedRow(selection) < 0)
        return;
    core::Session& session = m_workspace.session();
    if (session.options().EmptyDialog &&
        !askYesNo(m_dialogs, texts::DeleteFoundCaption, texts::DeleteFoundQuestion))
        return;

    const core::BusyCursor busy(m_dialogs);
    const platform::FileSystem& fs = session.fs();
    const QString box = session.layout().recycleBoxDir();
    NoteCarrier carrier(list, selection, box);

    DrainSelectedRows(list, selection, [&](int row) {
        const core::FileRow& found = list.row(row);
        const QString name = found.name;
        const QString caption = found.caption;
        const QString folder = found.folder;
        const QString note = found.note;
        // A same-named file in the box makes the move fail; the row stays without a message.
        // Any other failure is told.
        const platform::FsResult moved =
            folder.isEmpty() ? platform::FsResult{EEXIST} : fs.move(folder + name, box + name);
        if (!moved) {
            const QPersistentModelIndex current(list.index(row, 0));
            if (moved.error != EEXIST) {
                carrier.flush();
                m_dialogs.showMessage(texts::moveToBoxFailed(caption));
            }
            deselectRow(list, selection, current.row());
            return;
        }
        // The key stays in the old notes file when the note is blank.
        carrier.fileMoved(row, core::CaptionInFolder(fs, box, name), note, folder, caption,
                          !core::isBlankNote(note));
    });
    carrier.flush();
}

void RecycleBoxCommands::emptyboxClick()
{
    core::FileListModel& list = m_workspace.fileList();
    if (list.count() == 0)
        return;
    core::Session& session = m_workspace.session();
    const QString box = session.layout().recycleBoxDir();
    if (session.currentDir() != box) {
        m_dialogs.showMessage(texts::NotInRecycleBox);
        return;
    }
    if (session.options().EmptyDialog &&
        !askYesNo(m_dialogs, texts::EmptyBoxCaption, texts::EmptyBoxQuestion))
        return;

    const core::BusyCursor busy(m_dialogs);
    const platform::FileSystem& fs = session.fs();
    QStringList deleted;
    std::vector<int> gone;
    for (int i = 0; i < list.count(); ++i) {
        const core::FileRow& row = list.row(i);
        const QString path = box + row.name;
        bool found = false;
        const platform::Attributes attributes = fs.attributes(path, &found);
        if (found && (attributes & platform::ReadOnly))
            fs.setAttributes(path, attributes & ~platform::ReadOnly);
        fs.removeFile(path);
        // A file that could not be deleted keeps its row, its document and its note, and
        // the user is told.
        if (fs.exists(path)) {
            m_dialogs.showMessage(texts::deleteForGoodFailed(row.caption));
            continue;
        }
        session.documents().DeleteDocument(row.caption);
        deleted.append(row.caption);
        gone.push_back(i);
    }
    dropNotesOfEmptiedFiles(deleted);
    m_workspace.fileSelection().clear();
    if (gone.size() == size_t(list.count())) {
        list.clear();
        return;
    }
    for (auto it = gone.rbegin(); it != gone.rend(); ++it)
        list.removeRowAt(*it);
}

void RecycleBoxCommands::dropNotesOfEmptiedFiles(const QStringList& deleted)
{
    const core::Session& session = m_workspace.session();
    const QString box = session.layout().recycleBoxDir();
    // Files the box still holds: those that could not be deleted and those that came after
    // the list was read. Their notes stay; a key of another spelling than a deleted file's
    // stays with the file that has that name.
    bool remaining = false;
    for (const platform::DirEntry& entry : session.fs().list(box))
        remaining = remaining || (!entry.isDir && core::isListedEntry(entry.name));
    if (!remaining) {
        session.fs().removeFile(box + core::NotesFileName);
        return;
    }
    removeNotes(box, deleted);
}

} // namespace fileops
