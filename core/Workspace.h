#pragma once
// The working surfaces of the main window without the widgets: both trees, the file list,
// the search result list, their selections, the status panels and the shared view state.
// Commands act on it; the widgets only show it.

#include "core/CategoryTreeModel.h"
#include "core/EnablingRules.h"
#include "core/FileListModel.h"
#include "core/Session.h"
#include "core/StatusPanels.h"
#include "platform/FileIdentity.h"

#include <QItemSelectionModel>
#include <QObject>

#include <optional>
#include <vector>

namespace core {

// The sort column and direction of one list; not saved.
struct SortState
{
    int column = 0;
    bool ascending = true;
};

class Workspace : public QObject
{
    Q_OBJECT
public:
    enum class Section
    {
        System,
        External
    }; // which tree the tree pane shows
    enum class Page
    {
        Browse,
        Search
    }; // what the work area shows

    explicit Workspace(Session& session, QObject* parent = nullptr);

    Session& session() { return m_session; }
    const Session& session() const { return m_session; }

    CategoryTreeModel& systemTree() { return m_systemTree; }
    CategoryTreeModel& externalTree() { return m_externalTree; }
    QItemSelectionModel& systemTreeSelection() { return m_systemTreeSelection; }
    QItemSelectionModel& externalTreeSelection() { return m_externalTreeSelection; }
    FileListModel& fileList() { return m_fileList; }
    const FileListModel& fileList() const { return m_fileList; }
    const CategoryTreeModel& systemTree() const { return m_systemTree; }
    QItemSelectionModel& fileSelection() { return m_fileSelection; }
    FileListModel& searchList() { return m_searchList; }
    QItemSelectionModel& searchSelection() { return m_searchSelection; }
    StatusPanels& status() { return m_status; }

    SortState& fileSort() { return m_fileSort; }
    SortState& searchSort() { return m_searchSort; }

    Section section() const { return m_section; }
    void setSection(Section section) { m_section = section; }
    Page page() const { return m_page; }
    void setPage(Page page) { m_page = page; }
    // The bottom tab shows the file page (not the document page).
    bool filePageShown() const { return m_filePageShown; }
    void setFilePageShown(bool shown) { m_filePageShown = shown; }

    CategoryTreeModel& activeTree();
    QItemSelectionModel& activeTreeSelection();
    // The selected node of a tree, invalid when none.
    QModelIndex selectedNode(const CategoryTreeModel& tree) const;
    int selectedKind(const CategoryTreeModel& tree) const; // -1 when none
    int activeKind();

    // Selected rows of a list, from the top.
    static std::vector<int> selectedRows(const QItemSelectionModel& selection);
    static int firstSelectedRow(const QItemSelectionModel& selection);

    // The first steps of every node selection in either tree: the tool buttons follow the
    // node's kind, the note editor and the document mark are cleared.
    void startNodeSelection(bool external, int kind);

    const ToolStates& toolStates() const { return m_toolStates; }
    void setToolStates(const ToolStates& states);

    // The one-line note editor's text.
    const QString& topEditText() const { return m_topEditText; }
    void setTopEditText(const QString& text);
    // The file whose note the editor took (its path), and its identity then; empty when none.
    // A note typed there is that file's, even when another program renames it meanwhile.
    const QString& editedFile() const { return m_editedFile; }
    const std::optional<platform::FileIdentity>& editedIdentity() const { return m_editedIdentity; }
    void setEditedFile(const QString& path);

Q_SIGNALS:
    void toolStatesChanged(const core::ToolStates& states);
    void topEditTextChanged(const QString& text);

private:
    Session& m_session;
    CategoryTreeModel m_systemTree;
    CategoryTreeModel m_externalTree;
    QItemSelectionModel m_systemTreeSelection;
    QItemSelectionModel m_externalTreeSelection;
    FileListModel m_fileList;
    QItemSelectionModel m_fileSelection;
    FileListModel m_searchList;
    QItemSelectionModel m_searchSelection;
    StatusPanels m_status;
    SortState m_fileSort;
    SortState m_searchSort;
    Section m_section = Section::System;
    Page m_page = Page::Browse;
    bool m_filePageShown = true;
    ToolStates m_toolStates;
    QString m_topEditText;
    QString m_editedFile;
    std::optional<platform::FileIdentity> m_editedIdentity;
};

} // namespace core
