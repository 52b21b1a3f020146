#include "fileops/RecycleBoxCommands.h"

#include "core/FileListing.h"
#include "core/ReadOnly.h"
#include "core/Texts.h"
#include "fileops/FileOpsTexts.h"
#include "fileops/LinkMender.h"
#include "fileops/NoteCarrier.h"
#include "fileops/RowSteps.h"
#include "platform/FileIdentity.h"
#include "platform/ShownNames.h"

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

NoteCarrier::Transfer RecycleBoxCommands::moveTransfer() const
{
    const platform::FileSystem& fs = m_workspace.session().fs();
    return [&fs](const NoteCarrier::Item&, const QString& from, const QString& to) {
        return fs.move(from, to);
    };
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
    const core::NotesFile notes = core::NotesFile::open(dir);
    core::FileListModel& list = m_workspace.fileList();
    QItemSelectionModel& selection = m_workspace.fileSelection();
    platform::ShownNames shown(box);
    LinkMender links;
    NoteCarrier carrier(box, links.recording(moveTransfer()),
                        [&](const NoteCarrier::Item& item, platform::FsResult result) {
                            if (result)
                                shown.arrived(item.name);
                            else
                                m_dialogs.showMessage(texts::moveToBoxFailed(item.sourceKey));
                        });
    carrier.setList(&list, &selection);

    const auto handle = [&](int row) {
        const QString name = list.row(row).name;
        const QString caption = core::CaptionInFolder(fs, dir, name);
        const QPersistentModelIndex current(list.index(row, 0));
        const auto refuse = [&](const QString& text) {
            carrier.carry();
            m_dialogs.showMessage(text);
            deselectRow(list, selection, current.row());
        };
        carrier.makeWayFor(name);
        if (!fs.exists(dir + name))
            return refuse(texts::moveToBoxFailed(caption));
        // A file of that name in the box, or one that shows alike, is offered for deletion.
        const QString inBox = fs.exists(box + name) ? name : shown.otherShowingAs(name);
        if (!inBox.isEmpty()) {
            if (platform::isAlreadyAt(dir + name, box + inBox))
                return refuse(texts::alreadyInCategory(caption, core::texts::RecycleBoxCaption));
            if (fs.isDirectory(box + inBox)) {
                // A folder of that name is no file to delete in its place.
                return refuse(texts::folderOfSameNameInBox(caption));
            }
            carrier.carry();
            if (!askYesNo(m_dialogs, texts::SameNameInBoxCaption,
                          texts::sameNameInBoxQuestion(caption))) {
                deselectRow(list, selection, current.row());
                return;
            }
            // The file in the box and the document stay; the deleted file's note goes.
            if (fs.removeFile(dir + name)) {
                notes.deleteNote(caption);
                list.removeRowAt(current.row());
            } else {
                refuse(texts::directDeleteFailed(caption));
            }
            return;
        }
        carrier.add({dir,
                     name,
                     caption,
                     core::CaptionInFolder(fs, box, name),
                     false,
                     SourceKey::Remove,
                     current,
                     {}});
    };
    try {
        DrainSelectedRows(list, selection, handle);
        carrier.carry();
        links.mend();
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
    core::FileListModel& list = m_workspace.fileList();
    QItemSelectionModel& selection = m_workspace.fileSelection();
    // The keys of deleted files go in one rewrite at the end; a key that stays is harmless.
    QStringList deleted;
    try {
        DrainSelectedRows(list, selection, [&](int row) {
            const QString name = list.row(row).name;
            const QString caption = core::CaptionInFolder(fs, dir, name);
            // The attributes are left as they are: a read-only file is not deleted.
            if (!fs.removeFile(dir + name)) {
                m_dialogs.showMessage(texts::deleteForGoodFailed(caption));
                deselectRow(list, selection, row);
                return;
            }
            session.documents().DeleteDocument(caption);
            deleted.append(caption);
            list.removeRowAt(row);
        });
    } catch (...) {
        removeNotes(dir, deleted);
        throw;
    }
    removeNotes(dir, deleted);
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
    platform::ShownNames shown(box);
    // A same-named file in the box makes the move fail; the row stays without a message.
    // Any other failure is told.
    LinkMender links;
    NoteCarrier carrier(box, links.recording(moveTransfer()),
                        [&](const NoteCarrier::Item& item, platform::FsResult result) {
                            if (result)
                                shown.arrived(item.name);
                            else if (result.error != EEXIST)
                                m_dialogs.showMessage(texts::moveToBoxFailed(item.sourceKey));
                        });
    carrier.setList(&list, &selection);

    DrainSelectedRows(list, selection, [&](int row) {
        const core::FileRow& found = list.row(row);
        const QString name = found.name;
        const QString folder = found.folder;
        const QPersistentModelIndex current(list.index(row, 0));
        carrier.makeWayFor(name);
        if (folder.isEmpty() || fs.exists(box + name) || !shown.otherShowingAs(name).isEmpty()) {
            deselectRow(list, selection, current.row());
            return;
        }
        const QString caption = core::CaptionInFolder(fs, folder, name);
        if (!fs.exists(folder + name)) {
            carrier.carry();
            m_dialogs.showMessage(texts::moveToBoxFailed(caption));
            deselectRow(list, selection, current.row());
            return;
        }
        // The key stays in the old notes file when the note is blank.
        carrier.add({folder,
                     name,
                     caption,
                     core::CaptionInFolder(fs, box, name),
                     false,
                     SourceKey::RemoveWhenNoted,
                     current,
                     {}});
    });
    carrier.carry();
    links.mend();
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
