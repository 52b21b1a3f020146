#pragma once
// Moving by drag and drop onto the trees: rows of the file list or of the search list move
// their files, notes included, into the folder of the node they are dropped on (the recycle
// box too), and a category dragged inside the system tree moves its whole folder.

#include "core/Dialogs.h"
#include "core/DragSource.h"
#include "core/Workspace.h"
#include "fileops/CarriedRows.h"

#include <QObject>

#include <vector>

namespace fileops {

class MoveCommands : public QObject
{
    Q_OBJECT
public:
    MoveCommands(core::Workspace& workspace, core::Dialogs& dialogs, QObject* parent = nullptr);

    // treeviewDragOver: whether `node` of `tree` takes what `source` drags. Rows are taken
    // everywhere (the drop decides); a category only by another category, the root, or a
    // category not below it, of the system tree.
    bool treeviewDragOver(const core::CategoryTreeModel& tree, core::DragSource source,
                          const QModelIndex& node) const;
    // treeviewDragDrop: a drop on the system tree.
    void treeviewDragDrop(core::DragSource source, const QModelIndex& node);
    // usertreeDragDrop: a drop on the external tree.
    void usertreeDragDrop(core::DragSource source, const QModelIndex& node);

    // The folder files dropped on `node` go to, ending in "/"; empty for an external library
    // without a registered folder.
    QString FolderOfNode(const core::CategoryTreeModel& tree, const QModelIndex& node) const;

Q_SIGNALS:
    // A category has its new place in the system tree.
    void categoryMoved(const QModelIndex& index);

private:
    struct Arrival
    {
        QString source; // folders, ending in "/"
        QString target;
        QString name;
    };

    bool categoryDropAllowed(const QModelIndex& dragged, const QModelIndex& node) const;
    void moveCategory(const QModelIndex& node);
    void moveFileRows(const core::CategoryTreeModel& tree, const QModelIndex& node);
    void moveFoundRows(const core::CategoryTreeModel& tree, const QModelIndex& node);
    // The row move: the file of `row` from `source` to `target`, with the same-name question,
    // gathered into `carrier`, which brings it there with its note. False when it stays.
    bool moveRow(core::FileListModel& list, QItemSelectionModel& selection, CarriedRows& carrier,
                 int row, const QString& source, const QString& target, const QString& category,
                 bool fromFileList);
    // Files that search rows moved out of or into the shown folder change its list too.
    void bringFileListInStep(const std::vector<Arrival>& arrivals);
    core::Workspace& m_workspace;
    core::Dialogs& m_dialogs;
};

} // namespace fileops
