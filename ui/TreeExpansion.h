#pragma once
// Which nodes of a tree are open, as the folder names that lead to them, and opening them
// again at the next start.

#include <QList>
#include <QStringList>

class QTreeView;

namespace core {
class CategoryTreeModel;
}

namespace ui {

class TreeExpansion
{
public:
    // The open nodes, parents first: each the folder names below the tree's top node (none
    // for the top node itself).
    static QList<QStringList> openNodes(const QTreeView& view,
                                        const core::CategoryTreeModel& model);
    // Opens the nodes of those paths that are still there, reading their folders, with the
    // nodes above them; a path whose folder is gone is passed over.
    static void reopen(QTreeView& view, core::CategoryTreeModel& model,
                       const QList<QStringList>& paths);
};

} // namespace ui
