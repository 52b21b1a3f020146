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
    : QObject(parent), m_workspace(workspace), m_dialogs(dialogs),
      m_index(std::make_unique<IndexedSearch>())
{
}

SearchCommands::~SearchCommands() = default;

IndexedSearch::Request SearchCommands::request(const QString& keyword) const
{
    IndexedSearch::Request r;
    r.root = m_workspace.session().layout().programDir();
    r.outer = externalFolders();
    r.mode = m_mode;
    r.keyword = keyword;
    r.sortColumn = m_workspace.searchSort().column;
    r.ascending = m_workspace.searchSort().ascending;
    return r;
}

void SearchCommands::warmUp()
{
    m_index->warmUp(m_workspace.session().layout().programDir(), externalFolders());
}

void SearchCommands::keywordTyped(const QString& text)
{
    setKeyword(text);
    if (m_workspace.session().options().InstantSearch)
        searchWhileTyping();
}

void SearchCommands::modeChosen(Mode mode)
{
    if (mode == m_mode)
        return;
    m_mode = mode;
    if (m_workspace.session().options().InstantSearch &&
        !KeywordMatcher::trimmedKeyword(m_keyword).isEmpty())
        searchWhileTyping();
}

void SearchCommands::searchWhileTyping()
{
    const QString keyword = KeywordMatcher::trimmedKeyword(m_keyword);
    if (keyword.isEmpty()) {
        m_index->dropPending();
        m_workspace.searchSelection().clear();
        m_workspace.searchList().clear();
        m_workspace.status().setText(2, QString());
        return;
    }
    // A search of the button drops this one.
    m_index->searchLater(request(keyword), [this](core::FileRows rows) {
        // Sorted already by the list's column.
        m_workspace.searchSelection().clear();
        m_index->discard(m_workspace.searchList().replaceRows(std::move(rows)));
        m_workspace.status().setText(2, texts::foundCount(m_workspace.searchList().count()));
        Q_EMIT typedResultsShown();
    });
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
        m_index->discard(list.replaceRows(core::FileRows()));
        // The status says what goes on for the whole search; the panel beside it counts.
        status.setText(2, texts::Searching);
        const QString beside = status.text(kProgressPanel);
        if (m_repaint)
            m_repaint();

        // The kept index answers as a walk of the library and every external folder would
        // now, in the list's order.
        core::FileRows rows = m_index->search(
            request(keyword),
            [&](const SearchProgress& progress) {
                status.setText(kProgressPanel, texts::progress(progress.folders, progress.found));
                if (m_repaint)
                    m_repaint();
            },
            m_intervalMs);
        list.setRows(std::move(rows));
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
