#include "search/FolderWalk.h"

#include "platform/FileNames.h"
#include "platform/OpenFolder.h"

#include <QElapsedTimer>

#include <cerrno>
#include <csignal>
#include <pthread.h>

namespace search {

// One folder of a walk.
struct FolderWalk::Node
{
    // How it is opened: below its parent's handle by its name, or (a walk's start) by its
    // path, or already open (a link to a folder, held open from its parent's reading until the
    // walk decides on it).
    std::shared_ptr<platform::OpenFolder> parent;
    QByteArray name;
    QString path;
    std::shared_ptr<platform::OpenFolder> opened;
    bool listFiles = true;
    bool listSubfolders = true;
    bool claimed = false;     // remembered already, or never to be
    bool pendingLink = false; // a link to a folder not decided on yet
    core::FolderListing listing;
    // The subfolders walked, at the index of their entry in listing.subfolders.
    std::vector<std::unique_ptr<Node>> children;
};

namespace {

qint64 nowMs()
{
    static const QElapsedTimer clock = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    return clock.elapsed();
}

} // namespace

FolderWalk::FolderWalk(const core::RowFilter& filter, int threads)
    : m_filter(filter),
      m_threads(threads > 0 ? threads : std::max(1, int(std::thread::hardware_concurrency())))
{
}

FolderWalk::~FolderWalk()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_workReady.notify_all();
    for (std::thread& worker : m_workers)
        worker.join();
}

void FolderWalk::setProgress(std::function<void(const SearchProgress&)> report, int intervalMs)
{
    m_report = std::move(report);
    m_intervalMs = intervalMs;
}

SearchProgress FolderWalk::progress() const
{
    return {m_folders.load(), m_found.load()};
}

void FolderWalk::report()
{
    m_lastReport = nowMs();
    if (m_report)
        m_report(progress());
}

FolderWalk::Claim FolderWalk::claim(const Identity& identity, int generation)
{
    const std::lock_guard lock(m_claimMutex);
    const auto [at, added] = m_claims.emplace(identity, generation);
    if (added)
        return Claim::New;
    return at->second == generation ? Claim::SameWalk : Claim::Earlier;
}

void FolderWalk::dropClaims(int generation)
{
    const std::lock_guard lock(m_claimMutex);
    for (auto at = m_claims.begin(); at != m_claims.end();)
        at = at->second == generation ? m_claims.erase(at) : std::next(at);
}

void FolderWalk::read(Node& node, int generation, bool serial, std::vector<Node*>& next)
{
    std::shared_ptr<platform::OpenFolder> folder = node.opened;
    if (!folder && node.parent) {
        folder = std::make_shared<platform::OpenFolder>(*node.parent, node.name, false);
        // Out of handles: a folder whose path is short enough is still reached by it.
        if (!folder->isOpen() && (folder->error() == EMFILE || folder->error() == ENFILE))
            folder = std::make_shared<platform::OpenFolder>(folder->path());
        node.parent.reset();
    } else if (!folder) {
        folder = std::make_shared<platform::OpenFolder>(node.path);
    }
    if (!folder->isOpen())
        return; // a folder that cannot be read adds nothing
    platform::OpenFolder::Identity id;
    const bool known = folder->identity(&id);
    // A worker takes no signal, so a listing block is cut short only by its end, which a file
    // system that fills its blocks shows by the room left in the last one.
    if (known && !serial)
        folder->setWholeBlocks(fillsWholeBlocks(*folder, quint64(id.device)));
    if (!node.claimed) {
        if (known) {
            switch (claim({quint64(id.device), quint64(id.inode)}, generation)) {
            case Claim::New:
                break;
            case Claim::Earlier:
                return;
            case Claim::SameWalk:
                // Which path reads it depends on the threads' timing, unless one thread walks.
                if (!serial)
                    m_conflict = true;
                return;
            }
        }
    }
    const int parts =
        (node.listFiles ? core::ListFiles : 0) | (node.listSubfolders ? core::ListSubfolders : 0);
    node.listing = core::listFolder(*folder, &m_filter, parts);
    m_folders.fetch_add(1, std::memory_order_relaxed);
    m_found.fetch_add(int(node.listing.rows.size()), std::memory_order_relaxed);
    const std::vector<core::FolderListing::Subfolder>& subfolders = node.listing.subfolders;
    if (!node.listing.complete || subfolders.empty())
        return;
    node.children.resize(subfolders.size());
    // The last first, so that a stack reads the first next.
    for (size_t i = subfolders.size(); i-- > 0;) {
        const core::FolderListing::Subfolder& sub = subfolders[i];
        if (m_skip && m_skip(platform::pathFromNative(sub.name)))
            continue;
        auto child = std::make_unique<Node>();
        child->name = sub.name;
        if (sub.isLink) {
            child->opened = std::make_shared<platform::OpenFolder>(*folder, sub.name, true);
            child->pendingLink = true;
        } else {
            child->parent = folder;
            next.push_back(child.get());
        }
        node.children[i] = std::move(child);
    }
}

bool FolderWalk::fillsWholeBlocks(const platform::OpenFolder& folder, quint64 device)
{
    {
        const std::lock_guard lock(m_claimMutex);
        const auto found = m_wholeBlocks.find(device);
        if (found != m_wholeBlocks.end())
            return found->second;
    }
    const bool whole = folder.onWholeBlockFileSystem();
    const std::lock_guard lock(m_claimMutex);
    m_wholeBlocks.emplace(device, whole);
    return whole;
}

void FolderWalk::startWorkers()
{
    while (int(m_workers.size()) < m_threads)
        m_workers.emplace_back([this] { work(); });
}

void FolderWalk::work()
{
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, nullptr);
    std::vector<Node*> next;
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_workReady.wait(lock, [&] { return m_stop || !m_stack.empty(); });
        if (m_stop)
            return;
        const auto [node, generation] = m_stack.back();
        m_stack.pop_back();
        ++m_busy;
        lock.unlock();
        next.clear();
        read(*node, generation, false, next);
        lock.lock();
        for (Node* n : next)
            m_stack.emplace_back(n, generation);
        --m_busy;
        if (next.size() > 1)
            m_workReady.notify_all();
        else if (next.size() == 1)
            m_workReady.notify_one();
        if (m_stack.empty() && m_busy == 0)
            m_walkDone.notify_all();
    }
}

void FolderWalk::waitAndReport()
{
    std::unique_lock lock(m_mutex);
    while (!m_stack.empty() || m_busy > 0) {
        m_walkDone.wait_for(lock, std::chrono::milliseconds(std::max(1, m_intervalMs)));
        if (nowMs() - m_lastReport >= m_intervalMs) {
            lock.unlock();
            report();
            lock.lock();
        }
    }
}

void FolderWalk::run(Node* root, int generation, bool serial)
{
    if (serial) {
        std::vector<Node*> stack{root};
        std::vector<Node*> next;
        while (!stack.empty()) {
            Node* node = stack.back();
            stack.pop_back();
            next.clear();
            read(*node, generation, true, next);
            stack.insert(stack.end(), next.begin(), next.end());
            if (nowMs() - m_lastReport >= m_intervalMs)
                report();
        }
        return;
    }
    startWorkers();
    {
        const std::lock_guard lock(m_mutex);
        m_stack.emplace_back(root, generation);
    }
    m_workReady.notify_one();
    waitAndReport();
}

void FolderWalk::runWalk(Node* root, int generation)
{
    m_conflict = false;
    run(root, generation, m_threads == 1);
    if (!m_conflict)
        return;
    // Two paths of this walk led to one folder: one thread walks it again, so that the one
    // read first depth first is the one kept.
    m_conflict = false;
    dropClaims(generation);
    root->listing = {};
    root->children.clear();
    run(root, generation, true);
}

void FolderWalk::followLinks(Node& node)
{
    for (std::unique_ptr<Node>& child : node.children) {
        if (!child)
            continue;
        if (child->pendingLink) {
            child->pendingLink = false;
            platform::OpenFolder::Identity id;
            if (!child->opened->isOpen() || !child->opened->identity(&id) ||
                claim({quint64(id.device), quint64(id.inode)}, ++m_generation) != Claim::New) {
                child.reset(); // no folder there, or one the walk has read already
                continue;
            }
            child->claimed = true;
            runWalk(child.get(), ++m_generation);
            child->opened.reset();
        }
        followLinks(*child);
    }
}

void FolderWalk::collect(Node& node, core::FileRows& out)
{
    const core::FileRows::Adopted adopted = out.adopt(node.listing.rows);
    const core::FileRows& rows = node.listing.rows;
    size_t done = 0;
    for (size_t i = 0; i < node.children.size(); ++i) {
        if (!node.children[i])
            continue;
        const size_t before = node.listing.subfolders[i].rowsBefore;
        out.appendAdopted(rows, adopted, done, before);
        done = before;
        collect(*node.children[i], out);
        node.children[i].reset();
    }
    out.appendAdopted(rows, adopted, done, rows.size());
    node.listing = {};
}

void FolderWalk::walkTree(const QString& root, const std::function<bool(const QString&)>& skip,
                          core::FileRows& out)
{
    m_skip = skip;
    m_lastReport = nowMs();
    Node start;
    start.path = root;
    start.listFiles = false;
    runWalk(&start, ++m_generation);
    followLinks(start);
    out.reserve(out.size() + size_t(m_found.load()));
    collect(start, out);
    report();
}

void FolderWalk::listFolders(const QStringList& folders, core::FileRows& out)
{
    m_lastReport = nowMs();
    std::vector<std::unique_ptr<Node>> nodes;
    for (const QString& path : folders) {
        if (path.isEmpty())
            continue;
        auto node = std::make_unique<Node>();
        node->path = path;
        node->listSubfolders = false;
        node->claimed = true; // an outer folder is read however often it is registered
        nodes.push_back(std::move(node));
    }
    if (m_threads == 1 || nodes.size() < 2) {
        for (const std::unique_ptr<Node>& node : nodes)
            run(node.get(), 0, true);
    } else {
        startWorkers();
        {
            const std::lock_guard lock(m_mutex);
            for (auto node = nodes.rbegin(); node != nodes.rend(); ++node)
                m_stack.emplace_back(node->get(), 0);
        }
        m_workReady.notify_all();
        waitAndReport();
    }
    for (const std::unique_ptr<Node>& node : nodes)
        collect(*node, out);
    report();
}

} // namespace search
