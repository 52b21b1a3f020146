#include "core/Workspace.h"

#include <algorithm>

namespace core {

Workspace::Workspace(Session& session, QObject* parent)
    : QObject(parent), m_session(session),
      m_systemTree(CategoryTreeModel::Tree::System, session.layout(), session.fs()),
      m_externalTree(CategoryTreeModel::Tree::External, session.layout(), session.fs()),
      m_systemTreeSelection(&m_systemTree), m_externalTreeSelection(&m_externalTree),
      m_fileList(FileListModel::Layout::Files), m_fileSelection(&m_fileList),
      m_searchList(FileListModel::Layout::Search), m_searchSelection(&m_searchList)
{
}

CategoryTreeModel& Workspace::activeTree()
{
    return m_section == Section::System ? m_systemTree : m_externalTree;
}

QItemSelectionModel& Workspace::activeTreeSelection()
{
    return m_section == Section::System ? m_systemTreeSelection : m_externalTreeSelection;
}

QModelIndex Workspace::selectedNode(const CategoryTreeModel& tree) const
{
    const QItemSelectionModel& selection =
        &tree == &m_systemTree ? m_systemTreeSelection : m_externalTreeSelection;
    const QModelIndexList rows = selection.selectedIndexes();
    return rows.isEmpty() ? QModelIndex() : rows.first();
}

int Workspace::selectedKind(const CategoryTreeModel& tree) const
{
    return tree.kindOf(selectedNode(tree));
}

int Workspace::activeKind()
{
    return selectedKind(activeTree());
}

std::vector<int> Workspace::selectedRows(const QItemSelectionModel& selection)
{
    std::vector<int> rows;
    for (const QItemSelectionRange& range : selection.selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

int Workspace::firstSelectedRow(const QItemSelectionModel& selection)
{
    int first = -1;
    for (const QItemSelectionRange& range : selection.selection()) {
        if (first < 0 || range.top() < first)
            first = range.top();
    }
    return first;
}

void Workspace::startNodeSelection(bool external, int kind)
{
    setToolStates(toolStatesFor(external, kind, m_filePageShown, m_toolStates));
    setTopEditText(QString());
    setEditedFile(QString());
    m_status.setText(3, QString());
}

void Workspace::setToolStates(const ToolStates& states)
{
    m_toolStates = states;
    Q_EMIT toolStatesChanged(states);
}

void Workspace::setEditedFile(const QString& path)
{
    m_editedFile = path;
    m_editedIdentity = path.isEmpty() ? std::nullopt : platform::identityOf(path);
}

void Workspace::setTopEditText(const QString& text)
{
    if (m_topEditText == text)
        return;
    m_topEditText = text;
    Q_EMIT topEditTextChanged(text);
}

} // namespace core
