#include "fileops/RecycleBoxCommands.h"

#include "core/FileListing.h"
#include "core/ReadOnly.h"
#include "core/Texts.h"
#include "fileops/BoxOrigins.h"
#include "fileops/FileOpsTexts.h"
#include "fileops/LinkMender.h"
#include "fileops/RowSteps.h"
#include "notes/NotesKeeper.h"

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

notes::NoteCarrier::Transfer RecycleBoxCommands::moveTransfer() const
{
    const platform::FileSystem& fs = m_workspace.session().fs();
    return [&fs](const notes::NoteCarrier::Item&, const QString& from, const QString& to) {
        return fs.move(from, to);
    };
}

CarriedRows RecycleBoxCommands::intoBox(LinkMender& links, BoxOrigins& origins,
                                        core::FileListModel& list, QItemSelectionModel& selection,
                                        bool tellNameTaken)
{
    const core::Session& session = m_workspace.session();
    return CarriedRows(
        session.fs(), session.layout().recycleBoxDir(), links.recording(moveTransfer()),
        [this, &origins, tellNameTaken](const notes::NoteCarrier::Item& item,
                                        platform::FsResult result) {
            if (result)
                origins.arrived(item.name, item.sourceDir);
            else if (tellNameTaken || result.error != EEXIST)
                m_dialogs.showMessage(texts::moveToBoxFailed(item.sourceCaption));
        },
        &list, &selection);
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
    core::FileListModel& list = m_workspace.fileList();
    QItemSelectionModel& selection = m_workspace.fileSelection();
    LinkMender links;
    // Each file records the category it came from, to be put back there.
    BoxOrigins origins(session.layout());
    CarriedRows carrier = intoBox(links, origins, list, selection, true);

    const auto handle = [&](int row) {
        const QString name = list.row(row).name;
        const QPersistentModelIndex current(list.index(row, 0));
        const auto refuse = [&](const QString& text) {
            carrier.carry();
            m_dialogs.showMessage(text);
            deselectRow(list, selection, current.row());
        };
        const notes::Arrival arrival = carrier.arrivalOf(dir, name);
        const QString caption = notes::captionInFolder(fs, dir, name);
        switch (arrival) {
        case notes::Arrival::Free:
            carrier.add(dir, name, false, notes::SourceKey::Remove, current.row());
            return;
        case notes::Arrival::SourceGone:
        case notes::Arrival::NotAFile:
            return refuse(texts::moveToBoxFailed(caption));
        case notes::Arrival::AlreadyThere:
            return refuse(texts::alreadyInCategory(caption, core::texts::RecycleBoxCaption));
        case notes::Arrival::FolderInTheWay:
            // A folder of that name is no file to delete in its place.
            return refuse(texts::folderOfSameNameInBox(caption));
        case notes::Arrival::Taken:
        case notes::Arrival::ShownAlike:
            break;
        }
        // A file of that name in the box, or one that shows alike, is offered for deletion.
        carrier.carry();
        if (!askYesNo(m_dialogs, texts::SameNameInBoxCaption,
                      texts::sameNameInBoxQuestion(caption))) {
            deselectRow(list, selection, current.row());
            return;
        }
        // The file in the box and the document stay; the deleted file's note goes.
        if (fs.removeFile(dir + name)) {
            notes::NotesKeeper::forget(dir, {name});
            list.removeRowAt(current.row());
        } else {
            refuse(texts::directDeleteFailed(caption));
        }
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
    // The notes of deleted files go in one rewrite at the end; a key that stays is harmless.
    QStringList deleted;
    try {
        DrainSelectedRows(list, selection, [&](int row) {
            const QString name = list.row(row).name;
            const QString caption = notes::captionInFolder(fs, dir, name);
            // The attributes are left as they are: a read-only file is not deleted.
            if (notes::isNotesFileName(name) || !fs.removeFile(dir + name)) {
                m_dialogs.showMessage(texts::deleteForGoodFailed(caption));
                deselectRow(list, selection, row);
                return;
            }
            session.documents().DeleteDocument(caption);
            deleted.append(name);
            list.removeRowAt(row);
        });
    } catch (...) {
        notes::NotesKeeper::forget(dir, deleted);
        throw;
    }
    notes::NotesKeeper::forget(dir, deleted);
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
    LinkMender links;
    BoxOrigins origins(session.layout());
    // A same-named file that came into the box meanwhile makes the move fail; the row stays
    // without a message.
    CarriedRows carrier = intoBox(links, origins, list, selection, false);

    DrainSelectedRows(list, selection, [&](int row) {
        const core::FileRow& found = list.row(row);
        const QString name = found.name;
        const QString folder = found.folder;
        const QPersistentModelIndex current(list.index(row, 0));
        if (folder.isEmpty()) {
            deselectRow(list, selection, current.row());
            return;
        }
        switch (carrier.arrivalOf(folder, name)) {
        case notes::Arrival::Free:
            // The key stays in the old notes file when the note is blank.
            carrier.add(folder, name, false, notes::SourceKey::RemoveWhenNoted, current.row());
            return;
        case notes::Arrival::SourceGone:
        case notes::Arrival::NotAFile:
            carrier.carry();
            m_dialogs.showMessage(texts::moveToBoxFailed(notes::captionInFolder(fs, folder, name)));
            break;
        default:
            // A same-named file in the box: the row stays without a message.
            break;
        }
        deselectRow(list, selection, current.row());
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
        deleted.append(row.name);
        gone.push_back(i);
    }
    // The box's notes file goes when the box holds no other file, else the keys of these.
    notes::NotesKeeper::forgetEmptied(box, deleted);
    m_workspace.fileSelection().clear();
    if (gone.size() == size_t(list.count())) {
        list.clear();
        return;
    }
    for (auto it = gone.rbegin(); it != gone.rend(); ++it)
        list.removeRowAt(*it);
}

} // namespace fileops
