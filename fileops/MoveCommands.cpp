#include "fileops/MoveCommands.h"

#include "core/ExternalFolders.h"
#include "core/FileFormats.h"
#include "core/FileListing.h"
#include "core/Texts.h"
#include "fileops/BoxOrigins.h"
#include "fileops/CarriedRows.h"
#include "fileops/FileOpsTexts.h"
#include "fileops/ImportCommands.h"
#include "fileops/LinkMender.h"
#include "fileops/RowMove.h"
#include "fileops/RowSteps.h"
#include "platform/FileIdentity.h"

namespace fileops {

namespace {

QString withoutFinalSlash(QString folder)
{
    if (folder.endsWith(u'/'))
        folder.chop(1);
    return folder;
}

} // namespace

MoveCommands::MoveCommands(core::Workspace& workspace, core::Dialogs& dialogs, QObject* parent)
    : QObject(parent), m_workspace(workspace), m_dialogs(dialogs)
{
}

QString MoveCommands::FolderOfNode(const core::CategoryTreeModel& tree,
                                   const QModelIndex& node) const
{
    const core::Session& session = m_workspace.session();
    switch (tree.kindOf(node)) {
    case core::RecycleBoxKind:
        return session.layout().recycleBoxDir();
    case core::TransitKind:
        return session.layout().transitDir();
    default:
        break;
    }
    if (tree.tree() == core::CategoryTreeModel::Tree::System)
        return session.layout().programDir() + tree.NodePath(node);
    return core::registeredFolder(session.config(), tree.captionOf(node));
}

// ---------------------------------------------------------------------------------------
// Acceptance

bool MoveCommands::categoryDropAllowed(const QModelIndex& dragged, const QModelIndex& node) const
{
    const core::CategoryTreeModel& tree = m_workspace.systemTree();
    if (!dragged.isValid() || !node.isValid() || dragged.model() != &tree ||
        node.model() != &tree || tree.isTopLevel(dragged))
        return false;
    const int kind = tree.kindOf(node);
    if (kind == core::RecycleBoxKind || kind == core::TransitKind || node == dragged ||
        node == dragged.parent())
        return false;
    for (QModelIndex above = node.parent(); above.isValid(); above = above.parent()) {
        if (above == dragged)
            return false;
    }
    return true;
}

bool MoveCommands::treeviewDragOver(const core::CategoryTreeModel& tree, core::DragSource source,
                                    const QModelIndex& node) const
{
    switch (source) {
    case core::DragSource::FileList:
    case core::DragSource::SearchList:
        return node.isValid();
    case core::DragSource::SystemTree:
        // Categories move only inside the system tree.
        return tree.tree() == core::CategoryTreeModel::Tree::System &&
               categoryDropAllowed(m_workspace.selectedNode(m_workspace.systemTree()), node);
    case core::DragSource::Other:
        break;
    }
    return false;
}

// ---------------------------------------------------------------------------------------
// Drops

void MoveCommands::treeviewDragDrop(core::DragSource source, const QModelIndex& node)
{
    const core::CategoryTreeModel& tree = m_workspace.systemTree();
    if (!node.isValid() || node.model() != &tree)
        return;
    if (node == tree.rootIndex() && source != core::DragSource::SystemTree) {
        m_dialogs.ask(texts::NoFilesInRootCaption, texts::NoFilesInRoot, core::MessageIcon::Warning,
                      core::Buttons::Ok, core::Answer::Ok);
        return;
    }
    switch (source) {
    case core::DragSource::SystemTree:
        moveCategory(node);
        return;
    case core::DragSource::FileList:
        if (node == m_workspace.selectedNode(tree)) {
            m_dialogs.showMessage(texts::SameCategory);
            return;
        }
        moveFileRows(tree, node);
        return;
    case core::DragSource::SearchList:
        if (m_dialogs.ask(texts::MoveFoundCaption, texts::moveFoundQuestion(tree.captionOf(node)),
                          core::MessageIcon::Question, core::Buttons::YesNo,
                          core::Answer::No) != core::Answer::Yes)
            return;
        moveFoundRows(tree, node);
        return;
    case core::DragSource::Other:
        return;
    }
}

void MoveCommands::usertreeDragDrop(core::DragSource source, const QModelIndex& node)
{
    const core::CategoryTreeModel& tree = m_workspace.externalTree();
    if (!node.isValid() || node.model() != &tree ||
        (source != core::DragSource::FileList && source != core::DragSource::SearchList))
        return;
    if (node == tree.rootIndex()) {
        m_dialogs.showMessage(texts::NoFilesInExternalRoot);
        return;
    }
    // Search rows carry their own folders; each one already in the target is told apart.
    if (source == core::DragSource::FileList &&
        m_workspace.section() == core::Workspace::Section::External &&
        node == m_workspace.selectedNode(tree)) {
        m_dialogs.showMessage(texts::SameCategory);
        return;
    }
    if (FolderOfNode(tree, node).isEmpty()) {
        m_dialogs.showMessage(texts::NoTargetFolder);
        return;
    }
    if (source == core::DragSource::FileList)
        moveFileRows(tree, node);
    else
        moveFoundRows(tree, node);
}

// ---------------------------------------------------------------------------------------
// Files

bool MoveCommands::moveRow(core::FileListModel& list, QItemSelectionModel& selection,
                           CarriedRows& carrier, int row, const QString& source,
                           const QString& target, const QString& category, bool fromFileList)
{
    const QPersistentModelIndex current(list.index(row, 0));
    const QString name = list.row(row).name;
    const Placing placing = placeRow(
        m_workspace.session().fs(), m_dialogs, carrier, {list, current, source, target, category},
        [&] { carrier.carry(); }, texts::moveFileFailed);
    if (placing == Placing::Declined || placing == Placing::Refused) {
        deselectRow(list, selection, current.row());
        return false;
    }
    // The file list's notes file loses the key in any case; a search row's folder only when
    // the note was not blank.
    carrier.add(source, name, placing == Placing::Replacing,
                fromFileList ? notes::SourceKey::Remove : notes::SourceKey::RemoveWhenNoted,
                current.row());
    return true;
}

void MoveCommands::moveFileRows(const core::CategoryTreeModel& tree, const QModelIndex& node)
{
    core::Session& session = m_workspace.session();
    const QString target = FolderOfNode(tree, node);
    const QString source = session.currentDir();
    if (target.isEmpty() || source.isEmpty())
        return;
    // Another node, or another path, may stand for the shown folder (the box and the transit
    // folder are in both trees; an external library may be the same folder mounted twice): a
    // file moved onto itself would lose its note.
    if (platform::isSameFolder(source, target)) {
        m_dialogs.showMessage(texts::SameCategory);
        return;
    }

    const core::BusyCursor busy(m_dialogs);
    core::FileListModel& list = m_workspace.fileList();
    QItemSelectionModel& selection = m_workspace.fileSelection();
    LinkMender links;
    // Files dropped on the box record where they came from; files dragged out of it lose that.
    BoxOrigins origins(session.layout());
    CarriedRows carrier(
        session.fs(), target, links.recording(movingTransfer(session.fs())),
        [&](const notes::NoteCarrier::Item& item, platform::FsResult result) {
            if (result)
                origins.carried(item.sourceDir, target, item.name);
            else
                m_dialogs.showMessage(texts::moveFileFailed(item.sourceCaption));
        },
        &list, &selection);
    const QString category = tree.captionOf(node);
    const auto countFiles = [&] {
        m_workspace.status().setText(1, core::texts::fileCount(list.count()));
    };
    try {
        DrainSelectedRows(list, selection, [&](int row) {
            moveRow(list, selection, carrier, row, source, target, category, true);
        });
        carrier.carry();
        links.mend();
    } catch (...) {
        countFiles();
        throw;
    }
    countFiles();
}

void MoveCommands::moveFoundRows(const core::CategoryTreeModel& tree, const QModelIndex& node)
{
    const QString target = FolderOfNode(tree, node);
    if (target.isEmpty())
        return;
    const core::BusyCursor busy(m_dialogs);
    core::FileListModel& list = m_workspace.searchList();
    QItemSelectionModel& selection = m_workspace.searchSelection();
    std::vector<Arrival> arrivals;
    LinkMender links;
    const platform::FileSystem& fs = m_workspace.session().fs();
    BoxOrigins origins(m_workspace.session().layout());
    CarriedRows carrier(
        fs, target, links.recording(movingTransfer(fs)),
        [&](const notes::NoteCarrier::Item& item, platform::FsResult result) {
            if (result) {
                arrivals.push_back({item.sourceDir, target, item.name});
                origins.carried(item.sourceDir, target, item.name);
            } else
                m_dialogs.showMessage(texts::moveFileFailed(item.sourceCaption));
        },
        &list, &selection);
    const QString category = tree.captionOf(node);
    const auto countFiles = [&] {
        m_workspace.status().setText(1, core::texts::fileCount(list.count()));
    };
    try {
        DrainSelectedRows(list, selection, [&](int row) {
            const core::FileRow found = list.row(row);
            const QPersistentModelIndex current(list.index(row, 0));
            if (found.folder.isEmpty() || platform::isSameFolder(found.folder, target)) {
                carrier.carry();
                m_dialogs.showMessage(found.folder.isEmpty()
                                          ? texts::moveFileFailed(found.caption)
                                          : texts::alreadyInCategory(found.caption, category));
                deselectRow(list, selection, current.row());
                return;
            }
            moveRow(list, selection, carrier, row, found.folder, target, category, false);
        });
        carrier.carry();
        links.mend();
    } catch (...) {
        countFiles();
        bringFileListInStep(arrivals);
        throw;
    }
    countFiles();
    bringFileListInStep(arrivals);
}

void MoveCommands::bringFileListInStep(const std::vector<Arrival>& arrivals)
{
    const core::Session& session = m_workspace.session();
    const QString shown = session.currentDir();
    const int kind = m_workspace.activeKind();
    if (arrivals.empty() || shown.isEmpty() || kind < 0 || kind == core::RootKind ||
        kind == core::ExternalRootKind)
        return;
    const platform::FileSystem& fs = session.fs();
    core::FileListModel& list = m_workspace.fileList();
    std::vector<core::FileRow> added;
    std::optional<platform::IniDocument> stored;
    for (const Arrival& arrival : arrivals) {
        if (platform::isSameFolder(arrival.source, shown)) {
            const int row =
                findRowOfFile(list.listedRows(), arrival.name, arrival.source + arrival.name);
            if (row >= 0)
                list.removeRowAt(row);
            continue;
        }
        if (!platform::isSameFolder(arrival.target, shown))
            continue;
        // A replaced file's row makes way. The new row shows the note stored for the file now:
        // the one it brought, or the replaced file's when it brought none.
        const int row =
            findRowOfFile(list.listedRows(), arrival.name, arrival.target + arrival.name);
        if (row >= 0)
            TakeOverRow(list, row);
        if (!stored)
            stored = notes::NotesFile::open(shown).document().value_or(platform::IniDocument());
        const QString note =
            notes::noteIn(*stored, shown, notes::captionInFolder(fs, shown, arrival.name))
                .value_or(QString());
        const QString path = shown + arrival.name;
        const qint64 size = fs.fileSize(path);
        added.push_back(ImportedRow(fs, shown, arrival.name, note, core::SizeText(size), size,
                                    fs.times(path).modified, fs.attributes(path)));
    }
    AddImportedRows(list, m_workspace.fileSelection(), std::move(added));
}

// ---------------------------------------------------------------------------------------
// Categories

void MoveCommands::moveCategory(const QModelIndex& node)
{
    core::CategoryTreeModel& tree = m_workspace.systemTree();
    QItemSelectionModel& selection = m_workspace.systemTreeSelection();
    const QPersistentModelIndex dragged = m_workspace.selectedNode(tree);
    if (!categoryDropAllowed(dragged, node))
        return;
    core::Session& session = m_workspace.session();
    const QString root = session.layout().programDir();
    const QPersistentModelIndex target(node);
    // Its other subfolders show beside the moved one.
    tree.fillIfNeverOpened(target);

    const QString oldDir = root + tree.NodePath(dragged);
    const QString newDir = root + tree.NodePath(target) + tree.nameOf(dragged) + u'/';
    if (!session.fs().move(withoutFinalSlash(oldDir), withoutFinalSlash(newDir))) {
        m_dialogs.ask(texts::CategoryMoveFailedCaption, texts::CategoryMoveFailed,
                      core::MessageIcon::Warning, core::Buttons::Ok, core::Answer::Ok);
        return;
    }
    LinkMender links;
    links.arrived(oldDir, newDir);
    links.mend();
    QModelIndex moved;
    {
        const QSignalBlocker blocker(selection);
        moved = tree.moveNode(dragged, target, 0);
    }
    // The shown category is the moved one: its folder, its notes file and its rows follow.
    const QString current = root + tree.NodePath(m_workspace.selectedNode(tree));
    session.setCurrentDir(current);
    m_workspace.status().setText(0, current);
    session.openNotesFile(current);
    m_workspace.fileList().rebaseFolders(oldDir, newDir);
    m_workspace.searchList().rebaseFolders(oldDir, newDir);
    Q_EMIT categoryMoved(moved);
}

} // namespace fileops
