#include "support/World.h"

#include <QDir>

namespace testing_support {

namespace {

QString configPathFor(const TempLibrary& library)
{
    const QString folder = library.path(QStringLiteral("../config"));
    QDir().mkpath(folder);
    return QDir::cleanPath(folder) + QStringLiteral("/quillet.ini");
}

} // namespace

World::World(bool writable, bool withSpecialFolders, const platform::FileSystem& fs)
    : library(withSpecialFolders), config(configPathFor(library)),
      session(library.layout(), config, fs, writable), workspace(session), files(workspace),
      categories(workspace, files, dialogs), external(workspace, files, dialogs)
{
}

void World::start()
{
    categories.buildAtStart();
    selectSystemNode(workspace.systemTree().rootIndex());
}

QModelIndex World::selectSystemNode(const QModelIndex& index)
{
    workspace.setSection(core::Workspace::Section::System);
    workspace.systemTreeSelection().setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    return index;
}

QModelIndex World::selectExternalNode(const QModelIndex& index)
{
    workspace.setSection(core::Workspace::Section::External);
    workspace.externalTreeSelection().setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    return index;
}

QModelIndex World::findCategory(const QStringList& captions)
{
    bool complete = false;
    const QModelIndex node = workspace.systemTree().findPath(captions, &complete);
    return complete ? node : QModelIndex();
}

QModelIndex World::selectCategory(const QStringList& captions)
{
    const QModelIndex node = findCategory(captions);
    if (node.isValid())
        selectSystemNode(node);
    return node;
}

void World::selectFiles(const QStringList& names)
{
    QItemSelectionModel& selection = workspace.fileSelection();
    selection.clear();
    for (const QString& name : names) {
        const int row = rowOf(name);
        if (row < 0)
            continue;
        selection.select(workspace.fileList().index(row, 0),
                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

void World::showFound(std::vector<core::FileRow> rows)
{
    workspace.searchList().setRows(std::move(rows));
    for (int i = 0; i < workspace.searchList().count(); ++i)
        workspace.searchSelection().select(workspace.searchList().index(i, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    workspace.setPage(core::Workspace::Page::Search);
}

QStringList World::listedNames() const
{
    QStringList names;
    for (const core::FileRow& row : workspace.fileList().rows())
        names.append(row.name);
    return names;
}

int World::rowOf(const QString& name) const
{
    const auto& rows = workspace.fileList().rows();
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].name == name)
            return int(i);
    }
    return -1;
}

QStringList World::childCaptions(const QModelIndex& parent) const
{
    const core::CategoryTreeModel& tree = workspace.systemTree();
    QStringList captions;
    for (int row = 0; row < tree.rowCount(parent); ++row)
        captions.append(tree.captionOf(tree.index(row, 0, parent)));
    return captions;
}

} // namespace testing_support
