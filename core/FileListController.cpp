#include "core/FileListController.h"

#include "core/FileListing.h"
#include "core/ListedNotes.h"
#include "core/SyncConflicts.h"
#include "core/Texts.h"
#include "platform/OpenFolder.h"

namespace core {

FileListController::FileListController(Workspace& workspace, QObject* parent)
    : QObject(parent), m_workspace(workspace)
{
    QItemSelectionModel& selection = workspace.fileSelection();
    connect(&selection, &QItemSelectionModel::selectionChanged, this,
            &FileListController::filelistSelectItem);
    // The note editor follows the first selected row whenever the rows or the selection
    // change; an unsaved edit is then replaced.
    connect(&selection, &QItemSelectionModel::selectionChanged, this,
            &FileListController::filelistChange);
    FileListModel& list = workspace.fileList();
    connect(&list, &QAbstractItemModel::dataChanged, this, &FileListController::filelistChange);
    connect(&list, &QAbstractItemModel::rowsInserted, this, &FileListController::filelistChange);
    connect(&list, &QAbstractItemModel::rowsRemoved, this, &FileListController::filelistChange);
}

void FileListController::listInto(const QString& dir)
{
    FileListModel& list = m_workspace.fileList();
    clearList();
    // One read of the folder and of its notes file; the keeper settles what other programs
    // did to the files and their notes meanwhile. Nothing is decided from a notes file that
    // cannot be read.
    const Session& session = m_workspace.session();
    const int parts = ListFiles | RemoveLeftovers |
                      (MergesConflictCopies(session, dir) ? 0 : ConflictCopiesAsFiles);
    std::optional<notes::NotesSnapshot> stored = session.notesFile().snapshot();
    const notes::NotesSnapshot none;
    FolderListing listing =
        listFolder(platform::OpenFolder(dir), nullptr, parts, stored ? &*stored : &none);
    // Conflict copies of the notes file that a synced folder left are merged into it, and the
    // folder is listed again with the notes as they are then.
    QString merged;
    if (listing.complete && stored && !listing.conflictCopies.empty()) {
        merged = SettleConflictCopies(session, dir, listing.conflictCopies);
        stored = session.notesFile().snapshot();
        listing = listFolder(platform::OpenFolder(dir), nullptr, parts, stored ? &*stored : &none);
    }
    QString problem;
    if (!listing.complete)
        problem = texts::folderUnreadable(dir);
    else if (!stored)
        problem = texts::notesUnreadable(session.notesFile().path());
    else
        problem = SettleListedNotes({&listing.rows}, dir, *stored, session.writable(),
                                    session.documents(), true);
    if (problem.isEmpty())
        problem = merged;
    list.setRows(std::move(listing.rows));
    list.sortBy(m_workspace.fileSort().column, m_workspace.fileSort().ascending);
    notesNotSettled(problem);
    Q_EMIT folderListed(dir);
}

void FileListController::notesNotSettled(const QString& reason)
{
    if (!reason.isEmpty())
        m_workspace.status().setText(0, reason);
}

void FileListController::showFolder(const QString& dir)
{
    m_workspace.session().openNotesFile(dir);
    listInto(dir);
    m_workspace.status().setText(1, texts::fileCount(m_workspace.fileList().count()));
}

void FileListController::clearList()
{
    // Emptying the list counts the selection again but marks no document.
    m_clearing = true;
    m_workspace.fileSelection().clear();
    m_clearing = false;
    m_workspace.fileList().clear();
    Q_EMIT folderListed(QString());
}

void FileListController::showRoot(const QString& statusText)
{
    Session& session = m_workspace.session();
    session.setCurrentDir(session.layout().programDir());
    m_workspace.status().setText(0, session.currentDir());
    m_workspace.status().setText(1, statusText);
    clearList();
}

void FileListController::flistrefClick()
{
    const int kind = m_workspace.activeKind();
    if (kind < 0 || kind == RootKind || kind == ExternalRootKind)
        return;
    listInto(m_workspace.session().currentDir());
    m_workspace.status().setText(1, texts::fileCountAfterRefresh(m_workspace.fileList().count()));
}

void FileListController::filelistColumnClick(int column)
{
    SortState& sort = m_workspace.fileSort();
    sort.ascending = !sort.ascending;
    sort.column = column;
    m_workspace.fileList().sortBy(sort.column, sort.ascending);
}

void FileListController::findListColumnClick(int column)
{
    SortState& sort = m_workspace.searchSort();
    sort.column = column;
    sort.ascending = !sort.ascending;
    m_workspace.searchList().sortBy(sort.column, sort.ascending);
}

bool FileListController::operationAllowed()
{
    const bool external = m_workspace.section() == Workspace::Section::External;
    return operationMenuEnabled(external, m_workspace.activeKind());
}

void FileListController::selectAll(FileListModel& model, QItemSelectionModel& selection)
{
    if (model.count() == 0)
        return;
    const QItemSelection all(model.index(0, 0),
                             model.index(model.count() - 1, model.columnCount() - 1));
    selection.select(all, QItemSelectionModel::Select);
}

void FileListController::invert(FileListModel& model, QItemSelectionModel& selection)
{
    if (model.count() == 0)
        return;
    const QItemSelection all(model.index(0, 0),
                             model.index(model.count() - 1, model.columnCount() - 1));
    selection.select(all, QItemSelectionModel::Toggle);
}

bool FileListController::t201Click()
{
    if (!operationAllowed())
        return false;
    if (m_workspace.page() == Workspace::Page::Search) {
        selallClick();
        return false;
    }
    selectAll(m_workspace.fileList(), m_workspace.fileSelection());
    return m_workspace.fileList().count() > 0;
}

bool FileListController::t202Click()
{
    if (!operationAllowed())
        return false;
    if (m_workspace.page() == Workspace::Page::Search) {
        reversselClick();
        return false;
    }
    invert(m_workspace.fileList(), m_workspace.fileSelection());
    return m_workspace.fileList().count() > 0;
}

void FileListController::selallClick()
{
    selectAll(m_workspace.searchList(), m_workspace.searchSelection());
}

void FileListController::reversselClick()
{
    invert(m_workspace.searchList(), m_workspace.searchSelection());
}

void FileListController::filelistSelectItem(const QItemSelection& selected,
                                            const QItemSelection& deselected)
{
    const std::vector<int> rows = Workspace::selectedRows(m_workspace.fileSelection());
    m_workspace.status().setText(2, texts::selectedCount(int(rows.size())));
    // The mark speaks of the row whose state changed last.
    const QItemSelection& changed = selected.isEmpty() ? deselected : selected;
    if (changed.isEmpty() || m_clearing)
        return;
    const int row = changed.last().bottom();
    if (row < 0 || row >= m_workspace.fileList().count())
        return;
    const QString& name = m_workspace.fileList().row(row).caption;
    m_workspace.status().setText(
        3, m_workspace.session().documents().HasDocument(name) ? texts::DocumentMark : QString());
}

void FileListController::filelistChange()
{
    if (m_quiet)
        return;
    const int first = Workspace::firstSelectedRow(m_workspace.fileSelection());
    if (first >= 0 && first < m_workspace.fileList().count()) {
        m_workspace.setTopEditText(m_workspace.fileList().row(first).note);
        m_workspace.setEditedFile(m_workspace.fileList().pathOf(first));
    }
}

} // namespace core
