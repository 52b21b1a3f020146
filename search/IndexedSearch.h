#pragma once
// The kept index behind the search page, owned by one worker thread: every look at it runs
// there, one after the other. A search started by the user waits for its rows and hears how
// far the index has come meanwhile; a search while typing is handed over and its rows come
// back later on this object's thread, unless a newer search came in first, which drops it
// wherever it is. The index is loaded from its cache at the first use and saved again after
// it was built and when this object goes.

#include "core/FileRows.h"
#include "search/LibraryIndex.h"

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace search {

class IndexedSearch : public QObject
{
    Q_OBJECT
public:
    explicit IndexedSearch(LibraryIndex::Settings settings = LibraryIndex::Settings(),
                           QObject* parent = nullptr);
    ~IndexedSearch() override;

    struct Request
    {
        QString root;      // the library root, ending in "/"
        QStringList outer; // the registered external folders in the tree's order
        Mode mode = Mode::ByName;
        QString keyword; // trimmed
        // The result list's order: its sort column (of the search list) and direction; a
        // column below 0 keeps the walk's order.
        int sortColumn = -1;
        bool ascending = true;
    };

    // Runs the search and waits for its rows, calling `progress` on this thread at most every
    // `intervalMs` while the index is read, and once at the end. Drops a search of typing.
    core::FileRows search(const Request& request,
                          const std::function<void(const SearchProgress&)>& progress,
                          int intervalMs);
    // Starts a search while typing and returns its ticket; `done` runs on this object's thread
    // with its rows, unless a newer search came first.
    using Done = std::function<void(core::FileRows rows)>;
    quint64 searchLater(const Request& request, Done done);
    // Drops the search of typing that has not answered yet.
    void dropPending();
    // Lets rows go on the worker, where freeing many of them holds up no window.
    void discard(core::FileRows rows);
    // Loads the index of `root` and brings it in step, in the background.
    void warmUp(const QString& root, const QStringList& outer);
    // Waits until the worker has done everything handed to it.
    void waitIdle();

    // Runs `look` on the worker with the index, and waits (tests and benchmarks).
    void withIndex(const std::function<void(LibraryIndex&)>& look);
    // Called on the worker before a search of typing runs, with its ticket (tests).
    void setBeforeTypedSearch(std::function<void(quint64 ticket)> hook);
    // Where the index is saved; empty: not saved. By default the cache file of the root.
    void setCacheFile(const QString& file);

Q_SIGNALS:
    // A search of typing ended: its rows were handed on (`used`) or dropped.
    void typedSearchEnded(quint64 ticket, bool used);

private:
    void post(std::function<void()> task);
    void work();
    // On the worker: the index of the request's folders, loaded or built, in step.
    void prepare(const QString& root, const QStringList& outer,
                 const std::function<void(const SearchProgress&)>& progress);
    void saveIfChanged();
    QString cacheFileOf(const QString& root) const;
    static LibraryIndex::RowsOrder orderOf(const Request& request);
    // Sorts by a column other than the name (which the index orders itself).
    static void sortRows(core::FileRows& rows, int column, bool ascending);

    LibraryIndex m_index;
    bool m_cacheTried = false;
    bool m_savedOnce = false;
    bool m_customCache = false;
    QString m_cacheFile;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<std::function<void()>> m_tasks;
    bool m_busy = false;
    bool m_settling = false; // the index has folders to read again while nothing else waits
    bool m_saveDue = false;  // a new index is to be kept while nothing else waits
    bool m_stop = false;
    std::atomic<quint64> m_latest{0};
    std::function<void(quint64)> m_beforeTyped;
    std::thread m_worker;
};

} // namespace search
