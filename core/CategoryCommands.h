#pragma once
// The system tree's commands: selecting a node (which makes its folder current and lists
// it), filling at start, expanding, refreshing, and creating, renaming and deleting a
// category with every refusal and question. Every change is made on disk first.

#include "core/Dialogs.h"
#include "core/FileListController.h"
#include "core/Workspace.h"

#include <QObject>

namespace core {

class CategoryCommands : public QObject
{
    Q_OBJECT
public:
    CategoryCommands(Workspace& workspace, FileListController& files, Dialogs& dialogs,
                     QObject* parent = nullptr);

    // Fills the root's first level at start and sorts it.
    void buildAtStart();

    // The change handler of the system tree; runs on every selection change.
    void treeviewChange(const QModelIndex& index);
    // F5 / "刷新": rebuilds the first level, keeps the selected category where it still
    // exists, and asks the view to expand the root.
    void reftreeClick();
    // New category (the form), for the node selected in the system tree.
    void addtreeClick();
    // Delete category.
    void deltreeClick();
    // F2 / "重命名分类库": starts editing the selected node's caption where allowed.
    void rendirClick();
    // Whether the caption of a node may be edited in place.
    bool treeviewEditing(const QModelIndex& index) const;
    // The caption edited in place.
    void treeviewEdited(const QModelIndex& index, const QString& text);

    // The form's OK: decides one press with the typed text.
    OkResult BitBtn1Click(const QString& text);

Q_SIGNALS:
    void expandRequested(const QModelIndex& index);
    void editRequested(const QModelIndex& index);

private:
    void selectionChanged();
    bool refuseWhenReadOnly();

    Workspace& m_workspace;
    FileListController& m_files;
    Dialogs& m_dialogs;
};

// The node a tree falls back to when `index` goes away: the next sibling, else the previous
// one, else the parent.
QModelIndex fallbackAfterRemoval(const QModelIndex& index);

// Removes a node; the tree then selects another, which is handled as a new selection.
void removeNodeAndSelectAnother(CategoryTreeModel& tree, QItemSelectionModel& selection,
                                const QModelIndex& index);

// A recycle box or transit folder found missing on selection is made again, with a message;
// false (after the error box) when it cannot be made.
bool recreateSpecialFolder(int kind, const QString& dir, const platform::FileSystem& fs,
                           Dialogs& dialogs);

} // namespace core
