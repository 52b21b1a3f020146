#pragma once
// The search page's commands: switching between the browse and the search page, running a
// search by name or by note into the result list, clearing it and taking rows out of it. The
// keyword box, its history of this run and the mode live here; the widgets show them.

#include "core/Dialogs.h"
#include "core/Workspace.h"
#include "search/IndexedSearch.h"
#include "search/LibrarySearch.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

namespace search {

class SearchCommands : public QObject
{
    Q_OBJECT
public:
    SearchCommands(core::Workspace& workspace, core::Dialogs& dialogs, QObject* parent = nullptr);
    ~SearchCommands() override;

    // The keyword box's text as typed, and its list: the keywords of this run, newest first.
    const QString& keyword() const { return m_keyword; }
    void setKeyword(const QString& text);
    const QStringList& history() const { return m_history; }
    Mode mode() const { return m_mode; }
    void setMode(Mode mode) { m_mode = mode; }

    // Runs while a long search goes on, each time the status bar shows how far it has come
    // (at most every `intervalMs`; the walk itself goes on in worker threads meanwhile): the
    // window repaints there. Nothing the user does may run.
    void setRepaint(std::function<void()> repaint, int intervalMs = 100);

    // stfibtnClick: the search page when `down`, else the browse page.
    void stfibtnClick(bool down);
    // findButtonClick (the search button, Enter in the keyword box): searches the library and
    // every external folder into the result list.
    void findButtonClick();
    // The user typed in the keyword box (or chose a keyword of the list): with the option
    // of searching while typing, the results follow, found off this thread; a newer keystroke
    // drops an older search. Nothing goes into the history and no message is shown; an empty
    // box empties the list.
    void keywordTyped(const QString& text);
    // The user chose a mode: with a keyword typed, the results follow as for typing.
    void modeChosen(Mode mode);
    // Starts reading the index (from its cache) in the background, so the first search is fast.
    void warmUp();

    // The kept index the searches look in.
    IndexedSearch& index() { return *m_index; }

    // clsfindbtnClick: empties the result list and the keyword box; the history stays.
    void clsfindbtnClick();
    // moveitemClick: takes the selected rows out of the result list; no file is touched.
    void moveitemClick();

    // The registered folders of the libraries under the external tree's root, in its order; a
    // library without a folder is left out.
    QStringList externalFolders() const;

Q_SIGNALS:
    // The rows of a search while typing were shown.
    void typedResultsShown();
    void keywordChanged(const QString& text);
    void historyChanged(const QStringList& history);
    // The keyword box takes the focus, with its text selected when `selectAll`.
    void keywordFocusRequested(bool selectAll);

private:
    IndexedSearch::Request request(const QString& keyword) const;
    void searchWhileTyping();

    core::Workspace& m_workspace;
    core::Dialogs& m_dialogs;
    QString m_keyword;
    QStringList m_history;
    Mode m_mode = Mode::ByName;
    std::function<void()> m_repaint;
    int m_intervalMs = 100;
    std::unique_ptr<IndexedSearch> m_index;
};

} // namespace search
