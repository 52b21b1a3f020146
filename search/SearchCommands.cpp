#include "search/SearchCommands.h"

#include "core/ExternalFolders.h"
#include "search/SearchTexts.h"

#include <algorithm>

namespace search {

namespace {

// The status panel that counts while a search goes on; it shows what it showed before once
// the search ends.
constexpr int kProgressPanel = 3;

} // namespace

SearchCommands::SearchCommands(core::Workspace& workspace, core::Dialogs& dialogs, QObject* parent)
    : QObject(parent), m_workspace(workspace), m_dialogs(dialogs)
{
}

void SearchCommands::setKeyword(const QString& text)
{
    if (m_keyword == text)
        return;
    m_keyword = text;
    Q_EMIT keywordChanged(text);
}

void SearchCommands::setRepaint(std::function<void()> repaint, int intervalMs)
{
    m_repaint = std::move(repaint);
    m_intervalMs = intervalMs;
}

void SearchCommands::stfibtnClick(bool down)
{
    m_workspace.setPage(down ? core::Workspace::Page::Search : core::Workspace::Page::Browse);
    m_workspace.status().setText(2, QString());
}

QStringList SearchCommands::externalFolders() const
{
    // Every library under the external root, in the tree's order, by its registered folder.
    const core::CategoryTreeModel& tree = m_workspace.externalTree();
    const QModelIndex root = tree.rootIndex();
    QStringList folders;
    for (int row = 0; row < tree.rowCount(root); ++row) {
        const QString name = tree.captionOf(tree.index(row, 0, root));
        const QString folder = core::registeredFolder(m_workspace.session().config(), name);
        if (!folder.isEmpty())
            folders.append(folder);
    }
    return folders;
}

void SearchCommands::findButtonClick()
{
    const QString keyword = KeywordMatcher::trimmedKeyword(m_keyword);
    if (keyword.isEmpty()) {
        m_dialogs.showMessage(texts::EmptyKeyword);
        Q_EMIT keywordFocusRequested(false);
        return;
    }
    const bool known = std::any_of(m_history.cbegin(), m_history.cend(), [&](const QString& item) {
        return item.compare(m_keyword, Qt::CaseInsensitive) == 0;
    });
    if (!known) {
        m_history.prepend(m_keyword);
        Q_EMIT historyChanged(m_history);
    }

    core::FileListModel& list = m_workspace.searchList();
    core::StatusPanels& status = m_workspace.status();
    {
        const core::BusyCursor busy(m_dialogs);
        m_workspace.searchSelection().clear();
        list.clear();
        // The status says what goes on for the whole search; the panel beside it counts.
        status.setText(2, texts::Searching);
        const QString beside = status.text(kProgressPanel);
        if (m_repaint)
            m_repaint();

        const core::Session& session = m_workspace.session();
        LibrarySearch walk(m_mode, keyword);
        walk.setProgress(
            [&](const SearchProgress& progress) {
                status.setText(kProgressPanel, texts::progress(progress.folders, progress.found));
                if (m_repaint)
                    m_repaint();
            },
            m_intervalMs);
        walk.FindFiles(session.layout().programDir());
        walk.FindOuterFiles(externalFolders());
        // Filling and sorting a long list take a moment more each.
        list.setRows(walk.takeRows());
        if (m_repaint)
            m_repaint();
        list.sortBy(m_workspace.searchSort().column, m_workspace.searchSort().ascending);
        status.setText(kProgressPanel, beside);
    }
    status.setText(2, texts::foundCount(list.count()));
    if (list.count() == 0)
        m_dialogs.ask(texts::NothingFoundCaption, texts::NothingFound, core::MessageIcon::Warning,
                      core::Buttons::Ok, core::Answer::Ok);
    Q_EMIT keywordFocusRequested(true);
}

void SearchCommands::clsfindbtnClick()
{
    m_workspace.searchSelection().clear();
    m_workspace.searchList().clear();
    setKeyword(QString());
    m_workspace.status().setText(2, QString());
    Q_EMIT keywordFocusRequested(false);
}

void SearchCommands::moveitemClick()
{
    QItemSelectionModel& selection = m_workspace.searchSelection();
    const std::vector<int> rows = core::Workspace::selectedRows(selection);
    if (rows.empty())
        return;
    const core::BusyCursor busy(m_dialogs);
    selection.clear();
    m_workspace.searchList().removeRowsAt(rows);
}

} // namespace search
