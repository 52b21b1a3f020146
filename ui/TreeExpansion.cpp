#include "ui/TreeExpansion.h"

#include "core/CategoryTreeModel.h"

#include <QTreeView>

namespace ui {

namespace {

void collectOpen(const QTreeView& view, const core::CategoryTreeModel& model,
                 const QModelIndex& node, QList<QStringList>& paths)
{
    if (!view.isExpanded(node))
        return;
    paths.append(model.namePath(node));
    for (int row = 0; row < model.rowCount(node); ++row)
        collectOpen(view, model, model.index(row, 0, node), paths);
}

} // namespace

QList<QStringList> TreeExpansion::openNodes(const QTreeView& view,
                                            const core::CategoryTreeModel& model)
{
    QList<QStringList> paths;
    collectOpen(view, model, model.rootIndex(), paths);
    return paths;
}

void TreeExpansion::reopen(QTreeView& view, core::CategoryTreeModel& model,
                           const QList<QStringList>& paths)
{
    for (const QStringList& path : paths) {
        bool complete = false;
        const QModelIndex node = model.findPath(path, &complete);
        if (!complete)
            continue;
        for (QModelIndex open = node; open.isValid(); open = open.parent())
            view.expand(open);
    }
}

} // namespace ui
