#include "search/IndexedSearch.h"

#include "core/FileListModel.h"
#include "core/RowOrder.h"
#include "platform/LargeBlocks.h"
#include "search/IndexCache.h"

#include <QElapsedTimer>

#include <csignal>
#include <pthread.h>
#include <utility>

namespace search {

IndexedSearch::IndexedSearch(LibraryIndex::Settings settings, QObject* parent)
    : QObject(parent), m_index(std::move(settings))
{
    // The rows of every keystroke are large lists made and let go again.
    platform::reuseLargeBlocks();
    m_worker = std::thread([this] { work(); });
}

IndexedSearch::~IndexedSearch()
{
    m_latest.fetch_add(1);
    post([this] { saveIfChanged(); });
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_worker.join();
}

void IndexedSearch::post(std::function<void()> task)
{
    {
        const std::lock_guard lock(m_mutex);
        m_tasks.push_back(std::move(task));
    }
    m_wake.notify_all();
}

void IndexedSearch::work()
{
    // A worker takes no signal (a listing of a folder is then cut short only by its end).
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, nullptr);
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [&] { return m_stop || !m_tasks.empty() || m_saveDue || m_settling; });
        if (m_tasks.empty()) {
            if (m_stop)
                return;
            // Nothing waits: a new index is kept first, then a few folders are read again, a
            // short while at a time.
            m_busy = true;
            const bool save = std::exchange(m_saveDue, false);
            lock.unlock();
            const bool more = save ? true : m_index.settle(16);
            if (save)
                saveIfChanged();
            lock.lock();
            m_busy = false;
            m_settling = more;
            if (m_tasks.empty())
                m_idle.notify_all();
            continue;
        }
        std::function<void()> task = std::move(m_tasks.front());
        m_tasks.pop_front();
        m_busy = true;
        lock.unlock();
        task();
        lock.lock();
        m_busy = false;
        if (m_tasks.empty())
            m_idle.notify_all();
    }
}

void IndexedSearch::waitIdle()
{
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [&] { return m_tasks.empty() && !m_busy && !m_saveDue; });
}

void IndexedSearch::withIndex(const std::function<void(LibraryIndex&)>& look)
{
    post([this, &look] { look(m_index); });
    waitIdle();
}

void IndexedSearch::setBeforeTypedSearch(std::function<void(quint64)> hook)
{
    waitIdle();
    m_beforeTyped = std::move(hook);
}

void IndexedSearch::setCacheFile(const QString& file)
{
    waitIdle();
    m_cacheFile = file;
    m_customCache = true;
}

QString IndexedSearch::cacheFileOf(const QString& root) const
{
    return m_customCache ? m_cacheFile : IndexCache::fileFor(root);
}

void IndexedSearch::prepare(const QString& root, const QStringList& outer,
                            const std::function<void(const SearchProgress&)>& progress)
{
    if (root != m_index.root())
        m_cacheTried = false;
    m_index.setFolders(root, outer);
    if (!m_cacheTried) {
        m_cacheTried = true;
        m_savedOnce = false;
        const QString file = cacheFileOf(root);
        if (!file.isEmpty())
            m_index.load(file);
    }
    QElapsedTimer timer;
    timer.start();
    m_index.refresh(progress);
    // A long first build is kept as soon as nothing waits (after the search that asked for
    // it): a program that ends badly still starts fast next time. A short one is kept when
    // this object goes.
    const std::lock_guard lock(m_mutex);
    m_settling = true;
    if (!m_savedOnce && !m_index.loadedFromCache() && timer.elapsed() >= 300)
        m_saveDue = true;
}

void IndexedSearch::saveIfChanged()
{
    if (m_index.root().isEmpty() || !m_index.changedSinceSave())
        return;
    const QString file = cacheFileOf(m_index.root());
    if (!file.isEmpty() && m_index.save(file))
        m_savedOnce = true;
}

LibraryIndex::RowsOrder IndexedSearch::orderOf(const Request& request)
{
    // The index puts rows in the name column's order itself.
    if (request.sortColumn != 0)
        return LibraryIndex::RowsOrder::Walk;
    return request.ascending ? LibraryIndex::RowsOrder::NameAscending
                             : LibraryIndex::RowsOrder::NameDescending;
}

void IndexedSearch::sortRows(core::FileRows& rows, int column, bool ascending)
{
    const std::optional<core::RowKey> key =
        core::FileListModel::fieldAt(core::FileListModel::Layout::Search, column);
    if (rows.size() < 2 || column <= 0 || !key)
        return;
    rows.reorder(core::sortedOrder(rows, *key, ascending));
}

core::FileRows IndexedSearch::search(const Request& request,
                                     const std::function<void(const SearchProgress&)>& progress,
                                     int intervalMs)
{
    m_latest.fetch_add(1);
    // The worker writes what it has come to; this thread reports it. What they share outlives
    // this call, which returns as soon as the rows are there.
    struct Shared
    {
        std::mutex mutex;
        SearchProgress seen;
        bool changed = false;
        bool finished = false;
        core::FileRows rows;
    };
    const auto shared = std::make_shared<Shared>();
    post([this, request, shared] {
        const auto note = [&](const SearchProgress& p) {
            const std::lock_guard lock(shared->mutex);
            shared->seen = p;
            shared->changed = true;
        };
        prepare(request.root, request.outer, note);
        core::FileRows rows;
        m_index.search(request.mode, request.keyword, rows, {}, orderOf(request));
        sortRows(rows, request.sortColumn, request.ascending);
        const std::lock_guard lock(shared->mutex);
        shared->seen.found = int(rows.size());
        shared->rows = std::move(rows);
        shared->changed = true;
        shared->finished = true;
    });
    for (;;) {
        {
            std::unique_lock lock(m_mutex);
            m_idle.wait_for(lock, std::chrono::milliseconds(std::max(1, intervalMs)), [&] {
                const std::lock_guard seenLock(shared->mutex);
                return shared->finished;
            });
        }
        SearchProgress now;
        bool report;
        bool done;
        core::FileRows rows;
        {
            const std::lock_guard lock(shared->mutex);
            now = shared->seen;
            report = std::exchange(shared->changed, false);
            done = shared->finished;
            if (done)
                rows = std::move(shared->rows);
        }
        if ((report || done) && progress)
            progress(now);
        if (done)
            return rows;
    }
}

quint64 IndexedSearch::searchLater(const Request& request, Done done)
{
    const quint64 ticket = m_latest.fetch_add(1) + 1;
    post([this, request, ticket, done = std::move(done)] {
        if (m_beforeTyped)
            m_beforeTyped(ticket);
        const auto dropped = [&] { return m_latest.load() != ticket; };
        auto rows = std::make_shared<core::FileRows>();
        bool whole = !dropped();
        if (whole) {
            prepare(request.root, request.outer, {});
            whole = !dropped() &&
                    m_index.search(request.mode, request.keyword, *rows, dropped, orderOf(request));
        }
        if (whole && !dropped())
            sortRows(*rows, request.sortColumn, request.ascending);
        QMetaObject::invokeMethod(
            this,
            [this, rows, ticket, done, whole] {
                const bool used = whole && m_latest.load() == ticket;
                if (used)
                    done(std::move(*rows));
                Q_EMIT typedSearchEnded(ticket, used);
            },
            Qt::QueuedConnection);
    });
    return ticket;
}

void IndexedSearch::discard(core::FileRows rows)
{
    if (rows.empty())
        return;
    auto held = std::make_shared<core::FileRows>(std::move(rows));
    post([held]() mutable { held.reset(); });
}

void IndexedSearch::dropPending()
{
    m_latest.fetch_add(1);
}

void IndexedSearch::warmUp(const QString& root, const QStringList& outer)
{
    post([this, root, outer] { prepare(root, outer, {}); });
}

} // namespace search
