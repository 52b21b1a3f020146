#include "search/LibraryIndex.h"

#include "core/RowOrder.h"
#include "notes/ConflictCopies.h"
#include "notes/NotesFile.h"
#include "platform/FileNames.h"
#include "platform/OpenFolder.h"
#include "platform/TextHash.h"
#include "search/FoldedScan.h"
#include "search/IndexCache.h"

#include <QDateTime>
#include <QElapsedTimer>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <csignal>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <linux/magic.h>
#include <mutex>
#include <optional>
#include <pthread.h>
#include <set>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <thread>
#include <unordered_map>

namespace search {

namespace {

// A stamp this close to the moment its folder was read cannot tell a later change in the same
// tick of a file system's clock (some keep two seconds) from none.
constexpr qint64 kRacyNs = 3'000'000'000;

// Paths longer than this are opened one folder at a time below their parents.
constexpr qsizetype kLongPath = 3800;

constexpr quint32 kFileTouched = IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE;
constexpr quint32 kEntriesChanged = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;

// The last name of a folder path ending in "/", as its bytes.
QByteArray nameOf(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/', path.size() - 2);
    return platform::nativePath(QStringView(path).mid(slash + 1, path.size() - slash - 2));
}

QString withSlash(const QString& path)
{
    return path.endsWith(u'/') ? path : path + u'/';
}

} // namespace

// A folder in the walk's order: the entry it shows, whether its own files are listed, and
// the subfolders walked, by their place among its subfolders.
struct LibraryIndex::Node
{
    Entry* entry = nullptr;
    bool listFiles = true;
    bool pendingLink = false; // a link to a folder not decided on yet
    QByteArray linkName;
    std::vector<std::pair<quint32, std::unique_ptr<Node>>> children;
};

LibraryIndex::LibraryIndex() : LibraryIndex(Settings()) {}

LibraryIndex::LibraryIndex(Settings settings) : m_settings(std::move(settings)) {}

LibraryIndex::~LibraryIndex() = default;

bool LibraryIndex::sendsNoticesByType(long fsType)
{
    // Network and user-space file systems change without the kernel seeing it.
    switch (static_cast<unsigned long>(fsType)) {
    case NFS_SUPER_MAGIC:
    case SMB_SUPER_MAGIC:
    case 0xFF534D42: // cifs
    case 0xFE534D42: // smb2
    case 0x65735546: // fuse
    case V9FS_MAGIC:
    case AFS_SUPER_MAGIC:
    case CODA_SUPER_MAGIC:
    case 0x00C36400: // ceph
    case 0x47504653: // gpfs
    case 0x0BD00BD0: // lustre
        return false;
    default:
        return true;
    }
}

void LibraryIndex::setFolders(const QString& root, const QStringList& outer)
{
    const QString newRoot = root.isEmpty() ? QString() : withSlash(root);
    if (newRoot != m_root) {
        clearEntries();
        m_tree.reset();
        m_plan.clear();
        m_root = newRoot;
        m_arranged = false;
    }
    if (outer != m_outer) {
        m_outer = outer;
        m_arranged = false;
    }
}

LibraryIndex::Entry* LibraryIndex::find(const QString& path) const
{
    const auto found = m_entries.find(path);
    return found == m_entries.end() ? nullptr : found->second.get();
}

platform::OpenFolder LibraryIndex::open(const Entry& entry) const
{
    if (entry.parent && entry.record.path.size() >= kLongPath / 3 &&
        platform::nativePath(entry.record.path).size() >= kLongPath) {
        {
            const platform::OpenFolder above = open(*entry.parent);
            if (above.isOpen())
                return platform::OpenFolder(above, nameOf(entry.record.path), entry.viaLink);
        }
    }
    return platform::OpenFolder(entry.record.path);
}

bool LibraryIndex::sendsNotices(const platform::OpenFolder& folder)
{
    struct stat st;
    if (!m_watcher.isOpen() || ::fstat(folder.handle(), &st) != 0)
        return false;
    const auto known = m_noticesByDevice.find(quint64(st.st_dev));
    if (known != m_noticesByDevice.end())
        return known->second;
    struct statfs fs;
    const bool sends = ::fstatfs(folder.handle(), &fs) == 0 && m_settings.sendsNotices &&
                       m_settings.sendsNotices(long(fs.f_type));
    m_noticesByDevice.emplace(quint64(st.st_dev), sends);
    return sends;
}

void LibraryIndex::clearEntries()
{
    for (auto& [key, entry] : m_entries)
        unwatch(*entry);
    m_entries.clear();
    m_byWatch.clear();
    m_unwatched.clear();
    m_attention.clear();
    m_touched.clear();
    m_toSettle.clear();
    m_unranked = 0;
}

void LibraryIndex::unwatch(Entry& entry)
{
    if (entry.watch < 0)
        return;
    const auto found = m_byWatch.find(entry.watch);
    if (found != m_byWatch.end()) {
        std::vector<Entry*>& list = found->second;
        list.erase(std::remove(list.begin(), list.end(), &entry), list.end());
        if (list.empty()) {
            m_watcher.remove(entry.watch);
            m_byWatch.erase(found);
        }
    }
    setWatch(entry, -1);
}

void LibraryIndex::setWatch(Entry& entry, int watch)
{
    entry.watch = watch;
    if (watch < 0)
        m_unwatched.insert(&entry);
    else
        m_unwatched.erase(&entry);
}

void LibraryIndex::attend(Entry& entry)
{
    if (!entry.queued) {
        entry.queued = true;
        m_attention.push_back(&entry);
    }
}

void LibraryIndex::watch(Entry& entry, const platform::OpenFolder& folder)
{
    const int watch = folder.isOpen() && sendsNotices(folder) ? m_watcher.add(folder.handle()) : -1;
    if (watch == entry.watch && (watch >= 0 || m_unwatched.count(&entry)))
        return;
    unwatch(entry);
    setWatch(entry, watch);
    if (watch >= 0)
        m_byWatch[watch].push_back(&entry);
}

bool LibraryIndex::readEntry(Entry& entry, const platform::OpenFolder& folder)
{
    FolderRecord before;
    before.opened = entry.record.opened;
    before.complete = entry.record.complete;
    before.stamp = entry.record.stamp;
    before.subfolders = std::move(entry.record.subfolders);
    before.files = std::move(entry.record.files);
    before.subjects = std::move(entry.record.subjects);
    before.kept = std::move(entry.record.kept);
    // Watched first: what changes while it is read is told.
    watch(entry, folder);
    entry.record.read(folder, folder.handle());
    // The names it had keep their ranks.
    m_unranked += entry.record.takeRanks(before);
    // A notes file that is a link is rewritten where no notice of this folder tells: the
    // folder is looked at by its stamp (which follows the link) at every refresh.
    if (entry.record.stamp.notesLink)
        m_unwatched.insert(&entry);
    entry.dirty = false;
    entry.checkStamp = false;
    if (entry.touched) {
        m_touched.erase(&entry);
        entry.touched = false;
    }
    entry.unsure = entry.watch < 0;
    m_changed = true;
    return !entry.record.sameShape(before);
}

LibraryIndex::Entry* LibraryIndex::ensure(const QString& path, const Entry* parent,
                                          const QByteArray& name, bool viaLink,
                                          const platform::OpenFolder* parentFolder)
{
    if (Entry* known = find(path))
        return known;
    auto entry = std::make_unique<Entry>();
    entry->parent = const_cast<Entry*>(parent);
    entry->viaLink = viaLink;
    entry->record.path = path;
    Entry* made = entry.get();
    m_entries.emplace(made->record.path, std::move(entry));
    if (parentFolder) {
        const platform::OpenFolder folder(*parentFolder, name, viaLink);
        readEntry(*made, folder);
    } else {
        readEntry(*made, open(*made));
    }
    return made;
}

void LibraryIndex::prefetch(const std::function<void(const SearchProgress&)>& progress)
{
    // The folders below the root, read by workers that each take the folder found last; links
    // are left to the arrangement.
    struct Item
    {
        std::shared_ptr<platform::OpenFolder> parent;
        const Entry* parentEntry = nullptr;
        QByteArray name;
    };
    std::mutex mutex;
    std::condition_variable ready;
    std::condition_variable done;
    std::vector<Item> stack;
    std::set<std::pair<quint64, quint64>> seen;
    std::map<quint64, bool> wholeBlocks;
    int busy = 0;
    int folders = 0;
    bool stop = false;

    {
        auto root = std::make_unique<Entry>();
        root->record.path = m_root;
        Entry* entry = root.get();
        m_entries.emplace(entry->record.path, std::move(root));
        auto folder = std::make_shared<platform::OpenFolder>(m_root);
        readEntry(*entry, *folder);
        ++folders;
        seen.insert({entry->record.stamp.device, entry->record.stamp.inode});
        for (auto sub = entry->record.subfolders.rbegin(); sub != entry->record.subfolders.rend();
             ++sub) {
            if (!sub->isLink &&
                !LibrarySearch::isExcludedFolder(platform::pathFromNative(sub->name)))
                stack.push_back({folder, entry, sub->name});
        }
    }

    const auto work = [&] {
        sigset_t all;
        sigfillset(&all);
        pthread_sigmask(SIG_BLOCK, &all, nullptr);
        std::unique_lock lock(mutex);
        for (;;) {
            ready.wait(lock, [&] { return stop || !stack.empty(); });
            if (stop)
                return;
            Item item = std::move(stack.back());
            stack.pop_back();
            ++busy;
            lock.unlock();
            auto folder = std::make_shared<platform::OpenFolder>(*item.parent, item.name, false);
            if (!folder->isOpen() && (folder->error() == EMFILE || folder->error() == ENFILE))
                folder = std::make_shared<platform::OpenFolder>(folder->path());
            item.parent.reset();
            auto entry = std::make_unique<Entry>();
            entry->parent = const_cast<Entry*>(item.parentEntry);
            entry->record.path = folder->path();
            int watch = -1;
            bool whole = false;
            if (folder->isOpen()) {
                struct stat st;
                if (::fstat(folder->handle(), &st) == 0) {
                    lock.lock();
                    const bool sends = sendsNotices(*folder);
                    auto known = wholeBlocks.find(quint64(st.st_dev));
                    if (known == wholeBlocks.end())
                        known = wholeBlocks
                                    .emplace(quint64(st.st_dev), folder->onWholeBlockFileSystem())
                                    .first;
                    whole = known->second;
                    lock.unlock();
                    if (sends)
                        watch = m_watcher.add(folder->handle());
                }
            }
            folder->setWholeBlocks(whole);
            // The names and notes only: the files' details are looked at for the rows a
            // search makes of them until the folder is read whole in the background.
            entry->record.read(*folder, folder->handle(), false);
            entry->unsure = true;
            lock.lock();
            Entry* made = entry.get();
            made->watch = watch;
            if (watch >= 0)
                m_byWatch[watch].push_back(made);
            m_entries.emplace(made->record.path, std::move(entry));
            ++folders;
            // A folder met twice (a bind mount) is read below the first path only.
            const bool first =
                made->record.stamp.inode == 0 ||
                seen.insert({made->record.stamp.device, made->record.stamp.inode}).second;
            if (first) {
                const auto& subs = made->record.subfolders;
                for (auto sub = subs.rbegin(); sub != subs.rend(); ++sub) {
                    if (!sub->isLink &&
                        !LibrarySearch::isExcludedFolder(platform::pathFromNative(sub->name)))
                        stack.push_back({folder, made, sub->name});
                }
            }
            --busy;
            ready.notify_all();
            if (stack.empty() && busy == 0)
                done.notify_all();
        }
    };

    const int threads = m_settings.threads > 0
                            ? m_settings.threads
                            : std::max(1, int(std::thread::hardware_concurrency()));
    std::vector<std::thread> workers;
    for (int i = 0; i < threads; ++i)
        workers.emplace_back(work);
    {
        std::unique_lock lock(mutex);
        ready.notify_all();
        while (!stack.empty() || busy > 0) {
            done.wait_for(lock, std::chrono::milliseconds(100));
            if (progress) {
                const SearchProgress now{folders, 0};
                lock.unlock();
                progress(now);
                lock.lock();
            }
        }
        stop = true;
    }
    ready.notify_all();
    for (std::thread& worker : workers)
        worker.join();
    for (auto& [path, entry] : m_entries) {
        if (entry->watch < 0 || entry->record.stamp.notesLink)
            m_unwatched.insert(entry.get());
        if (entry->unsure)
            m_toSettle.push_back(path);
        m_unranked += entry->record.fileCount();
    }
    m_changed = true;
    m_arranged = false;
}

void LibraryIndex::takeNotices()
{
    std::vector<FolderWatcher::Notice> notices;
    const bool whole = m_watcher.take(notices);
    for (const FolderWatcher::Notice& notice : notices) {
        const auto found = m_byWatch.find(notice.watch);
        if (found == m_byWatch.end())
            continue;
        if (notice.mask & IN_IGNORED) {
            // The folder went: its entries are read again at their paths.
            for (Entry* entry : found->second) {
                setWatch(*entry, -1);
                entry->dirty = true;
                attend(*entry);
            }
            m_byWatch.erase(found);
            continue;
        }
        const bool fileTouched = !notice.name.isEmpty() && !(notice.mask & IN_ISDIR) &&
                                 (notice.mask & kFileTouched) && !(notice.mask & kEntriesChanged);
        for (Entry* entry : found->second) {
            if (!fileTouched || notes::isNotesFileName(QByteArrayView(notice.name))) {
                entry->dirty = true;
                attend(*entry);
            } else if (core::isListedName(QByteArrayView(notice.name)) &&
                       !notes::isConflictCopyName(QByteArrayView(notice.name))) {
                m_touched[entry].push_back(notice.name);
                entry->touched = true;
                attend(*entry);
            }
        }
    }
    if (!whole) {
        // Notices were lost: every folder is looked at by its stamp, and what it finds on disk
        // again, until it is read anew.
        for (auto& [key, entry] : m_entries) {
            entry->checkStamp = true;
            entry->unsure = true;
            m_toSettle.push_back(key);
            attend(*entry);
        }
    }
}

void LibraryIndex::reread(Entry& entry)
{
    ++m_reread;
    if (readEntry(entry, open(entry)))
        m_arranged = false;
}

void LibraryIndex::refresh(const std::function<void(const SearchProgress&)>& progress)
{
    if (m_root.isEmpty() && m_outer.isEmpty())
        return;
    if (m_entries.empty() && !m_root.isEmpty())
        prefetch(progress);
    takeNotices();
    std::vector<Entry*> toCheck;
    std::vector<Entry*> attention;
    attention.swap(m_attention);
    for (Entry* attended : attention) {
        Entry& entry = *attended;
        entry.queued = false;
        if (entry.dirty) {
            reread(entry);
            continue;
        }
        if (entry.touched) {
            // Files written or changed in place: each is looked at again; one that is no
            // file of the folder any more has the folder read again.
            std::vector<QByteArray> touched;
            touched.swap(m_touched[&entry]);
            m_touched.erase(&entry);
            entry.touched = false;
            std::sort(touched.begin(), touched.end());
            touched.erase(std::unique(touched.begin(), touched.end()), touched.end());
            const platform::OpenFolder folder = open(entry);
            for (const QByteArray& name : touched) {
                const qsizetype file = entry.record.findFile(name);
                if (file < 0 || !entry.record.restat(size_t(file), &folder)) {
                    reread(entry);
                    break;
                }
            }
            if (!entry.checkStamp && entry.watch >= 0)
                continue;
        }
        if (entry.checkStamp && entry.watch >= 0 && !entry.dirty)
            toCheck.push_back(&entry);
    }
    for (Entry* entry : m_unwatched) {
        if (!entry->dirty && !(entry->checkStamp && entry->watch >= 0))
            toCheck.push_back(entry);
    }
    // Looked at by their stamps (those of a load just now when it looked at them), on the
    // workers when there are many; read again on this thread.
    std::vector<char> changed;
    if (m_loadLooks) {
        std::vector<Entry*> unlooked;
        for (Entry* entry : toCheck) {
            if (entry->loadLook < 0)
                unlooked.push_back(entry);
        }
        const std::vector<char> looked = stampsChanged(unlooked);
        changed.reserve(toCheck.size());
        size_t next = 0;
        for (Entry* entry : toCheck)
            changed.push_back(entry->loadLook < 0 ? looked[next++] : entry->loadLook);
        for (auto& [path, entry] : m_entries)
            entry->loadLook = -1;
        m_loadLooks = false;
    } else {
        changed = stampsChanged(toCheck);
    }
    for (size_t i = 0; i < toCheck.size(); ++i) {
        if (changed[i])
            reread(*toCheck[i]);
        else
            toCheck[i]->checkStamp = false;
    }
    if (!m_arranged)
        arrange();
    // A small index ranks its new names at once; a large one when nothing else waits.
    if (m_unranked > 0 && m_entries.size() <= m_settings.rankAtOnce) {
        size_t files = 0;
        for (const auto& [path, entry] : m_entries)
            files += entry->record.fileCount();
        if (files <= m_settings.rankAtOnce)
            rankNames();
    }
    if (progress)
        progress({int(m_entries.size()), 0});
}

int LibraryIndex::openRoot() const
{
    return m_root.isEmpty() ? -1
                            : ::open(platform::nativePath(m_root).constData(),
                                     O_PATH | O_DIRECTORY | O_CLOEXEC);
}

int LibraryIndex::stampChanged(const FolderRecord& record, int rootFolder) const
{
    // By its path (two looks, no opening), below the root when it lies there (fewer folders
    // to look up).
    const QString& path = record.path;
    const bool belowRoot = rootFolder >= 0 && path.startsWith(m_root);
    const QByteArray native =
        belowRoot ? "./" + platform::nativePath(QStringView(path).mid(m_root.size()))
                  : platform::nativePath(path);
    if (native.size() >= kLongPath)
        return -1;
    FolderStamp now;
    const bool there = readStamp(-1, &now, native, belowRoot ? rootFolder : -1);
    return stampTells(record, there, now);
}

bool LibraryIndex::stampTells(const FolderRecord& record, bool there, const FolderStamp& now)
{
    const bool racy = record.stamp.latestNs() + kRacyNs >= record.readAtNs;
    return there != record.opened || !(now == record.stamp) || racy;
}

std::vector<char> LibraryIndex::stampsChanged(const std::vector<Entry*>& entries) const
{
    std::vector<char> changed(entries.size(), 0);
    const int rootFolder = entries.empty() ? -1 : openRoot();
    const auto check = [&](size_t from, size_t to) {
        for (size_t i = from; i < to; ++i) {
            const Entry& entry = *entries[i];
            int told = stampChanged(entry.record, rootFolder);
            if (told < 0) {
                // A long path, below its parents.
                const platform::OpenFolder folder = open(entry);
                FolderStamp now;
                const bool there = folder.isOpen() && readStamp(folder.handle(), &now);
                told = stampTells(entry.record, there, now);
            }
            changed[i] = char(told);
        }
    };
    const size_t threads =
        entries.size() < 1000 ? 1
                              : size_t(m_settings.threads > 0
                                           ? m_settings.threads
                                           : std::max(1, int(std::thread::hardware_concurrency())));
    std::vector<std::thread> workers;
    const size_t share = (entries.size() + threads - 1) / threads;
    for (size_t t = 1; t < threads; ++t)
        workers.emplace_back(check, std::min(entries.size(), t * share),
                             std::min(entries.size(), (t + 1) * share));
    check(0, std::min(entries.size(), share));
    for (std::thread& worker : workers)
        worker.join();
    if (rootFolder >= 0)
        ::close(rootFolder);
    return changed;
}

bool LibraryIndex::claim(const Entry& entry)
{
    if (entry.record.stamp.inode == 0)
        return true; // a folder of unknown identity is read where it is met
    return m_claims.insert({entry.record.stamp.device, entry.record.stamp.inode}).second;
}

bool LibraryIndex::walkReal(Node& node, bool claimed, const platform::OpenFolder* folder)
{
    Entry& entry = *node.entry;
    entry.seen = m_arrangement;
    if (!entry.record.opened || (!claimed && !claim(entry)))
        return false;
    if (!entry.record.complete)
        return true;
    const std::vector<FolderRecord::Subfolder>& subs = entry.record.subfolders;
    // The subfolders' paths are put together in one text, which keeps its room for the next
    // unless a new entry keeps it.
    QString path;
    for (quint32 i = 0; i < subs.size(); ++i) {
        const QString name = platform::pathFromNative(subs[i].name);
        if (LibrarySearch::isExcludedFolder(name))
            continue;
        auto child = std::make_unique<Node>();
        if (subs[i].isLink) {
            child->pendingLink = true;
            child->linkName = subs[i].name;
            node.children.emplace_back(i, std::move(child));
            continue;
        }
        path.reserve(entry.record.path.size() + name.size() + 1);
        path.resize(0);
        path.append(entry.record.path).append(name).append(u'/');
        child->entry = ensure(path, &entry, subs[i].name, false, folder);
        if (walkReal(*child, false, nullptr))
            node.children.emplace_back(i, std::move(child));
    }
    return true;
}

void LibraryIndex::followLinks(Node& node)
{
    for (auto at = node.children.begin(); at != node.children.end();) {
        Node& child = *at->second;
        if (child.pendingLink) {
            child.pendingLink = false;
            Entry& parent = *node.entry;
            child.entry =
                ensure(parent.record.path + platform::pathFromNative(child.linkName) + u'/',
                       &parent, child.linkName, true, nullptr);
            child.entry->seen = m_arrangement;
            // No folder there, or one the walk has read already.
            if (!child.entry->record.opened || child.entry->record.stamp.inode == 0 ||
                !claim(*child.entry)) {
                at = node.children.erase(at);
                continue;
            }
            walkReal(child, true, nullptr);
        }
        followLinks(child);
        ++at;
    }
}

void LibraryIndex::emitParts(const Node& node)
{
    quint32 from = 0;
    for (const auto& [i, child] : node.children) {
        if (node.listFiles)
            m_plan.push_back({node.entry, from, i});
        emitParts(*child);
        from = i + 1;
    }
    if (node.listFiles)
        m_plan.push_back({node.entry, from, quint32(node.entry->record.subfolders.size())});
}

void LibraryIndex::arrange()
{
    ++m_arrangement;
    m_claims.clear();
    m_claims.reserve(m_entries.size());
    m_plan.clear();
    m_tree.reset();
    if (!m_root.isEmpty()) {
        m_tree = std::make_unique<Node>();
        m_tree->listFiles = false;
        m_tree->entry = ensure(m_root, nullptr, {}, false, nullptr);
        walkReal(*m_tree, false, nullptr);
        followLinks(*m_tree);
        emitParts(*m_tree);
    }
    // An external folder is read however often it is registered, and only its files.
    for (const QString& path : m_outer) {
        if (path.isEmpty())
            continue;
        Entry* entry = ensure(withSlash(path), nullptr, {}, false, nullptr);
        entry->seen = m_arrangement;
        if (entry->record.complete)
            m_plan.push_back({entry, 0, quint32(entry->record.subfolders.size())});
    }
    // Entries no walk reaches go; one kept (an external folder) forgets a parent that goes.
    for (auto& [path, entry] : m_entries) {
        if (entry->parent && entry->parent->seen != m_arrangement)
            entry->parent = nullptr;
    }
    for (auto at = m_entries.begin(); at != m_entries.end();) {
        if (at->second->seen != m_arrangement) {
            unwatch(*at->second);
            m_touched.erase(at->second.get());
            m_unwatched.erase(at->second.get());
            at = m_entries.erase(at);
        } else {
            ++at;
        }
    }
    m_arranged = true;
}

// What one search looks for, as its parts need it.
struct LibraryIndex::Query
{
    Mode mode;
    const KeywordMatcher& matcher;
    bool asText;
    std::string key8;
    const char16_t* key16;
    size_t keyLength;
    std::vector<quint32> runs;
    const std::function<bool()>& cancelled;
};

size_t LibraryIndex::workers() const
{
    return size_t(m_settings.threads > 0 ? m_settings.threads
                                         : std::max(1, int(std::thread::hardware_concurrency())));
}

bool LibraryIndex::search(Mode mode, const QString& keyword, core::FileRows& out,
                          const std::function<bool()>& cancelled, RowsOrder order)
{
    const KeywordMatcher matcher(keyword);
    const QString& folded = matcher.keyword();
    if (folded.isEmpty())
        return true;
    // UTF-8 spells a keyword without surrogates as its characters; any other is compared as
    // text, name by name.
    const bool asText =
        std::any_of(folded.begin(), folded.end(), [](QChar c) { return c.isSurrogate(); });
    Query q{mode, matcher, asText,   {}, reinterpret_cast<const char16_t*>(folded.constData()),
            0,    {},      cancelled};
    appendWtf8(q.key8, folded);
    q.keyLength = mode == Mode::ByName ? q.key8.size() : size_t(folded.size());
    // The keyword's runs rule out most folders of a rare keyword at once.
    q.runs = mode == Mode::ByName
                 ? (asText ? std::vector<quint32>() : FolderRecord::nameRunsOf(q.key8))
                 : FolderRecord::noteRunsOf(folded);

    for (int attempt = 0;; ++attempt) {
        // A long plan is looked through in as many pieces as there are processors.
        const size_t partCount = m_plan.size();
        const size_t pieces = partCount < 4096 ? 1 : workers();
        // The lists of hits keep their room from one search to the next.
        std::vector<std::vector<Hit>>& found = m_found;
        found.resize(pieces);
        for (std::vector<Hit>& piece : found)
            piece.clear();
        std::vector<std::pair<size_t, size_t>> text(pieces, {0, 0});
        std::vector<char> whole(pieces, 1);
        {
            std::vector<std::thread> threads;
            const size_t share = (partCount + pieces - 1) / pieces;
            for (size_t t = 1; t < pieces; ++t)
                threads.emplace_back([&, t] {
                    whole[t] = scanParts(q, std::min(partCount, t * share),
                                         std::min(partCount, (t + 1) * share), found[t], text[t]);
                });
            whole[0] = scanParts(q, 0, std::min(partCount, share), found[0], text[0]);
            for (std::thread& thread : threads)
                thread.join();
        }
        if (std::find(whole.begin(), whole.end(), 0) != whole.end())
            return false;
        // The names' bytes and the notes' units of every hit.
        std::pair<size_t, size_t> texts{0, 0};
        for (const auto& [names, notes] : text) {
            texts.first += names;
            texts.second += notes;
        }
        if (pieces > 1) {
            m_hits.clear();
            for (const std::vector<Hit>& piece : found)
                m_hits.insert(m_hits.end(), piece.begin(), piece.end());
        }
        const std::vector<Hit>& hits = pieces > 1 ? m_hits : found[0];
        if (cancelled && cancelled())
            return false;
        // The rows are made in the walk's order in as many pieces as there are processors,
        // each in room taken at once, and then put one after the other; by name, with the
        // ranks of their names.
        const bool byName = order != RowsOrder::Walk;
        // Files whose details may be old (folders not read whole since a build or a load) are
        // looked at on disk as their rows are made: then fewer rows are worth sharing out.
        const size_t makers = hits.size() < (m_toSettle.empty() ? 20000 : 1000) ? 1 : workers();
        std::vector<core::FileRows> rows(makers);
        // Every piece holds the hits' folders in the same places, so that the pieces join
        // without looking up folders.
        std::unordered_map<const Entry*, quint32> folders;
        {
            const Entry* last = nullptr;
            for (const Hit& hit : hits) {
                const Entry* entry = m_plan[hit.part].entry;
                if (entry != last && folders.try_emplace(entry, quint32(folders.size())).second) {
                    for (core::FileRows& piece : rows)
                        piece.addFolder(entry->record.path);
                }
                last = entry;
            }
        }
        std::vector<std::vector<quint32>> ranks(makers);
        std::vector<std::vector<Entry*>> failed(makers);
        {
            std::vector<std::thread> threads;
            const size_t share = (hits.size() + makers - 1) / makers;
            for (size_t t = 1; t < makers; ++t)
                threads.emplace_back([&, t] {
                    makeRows(hits, std::min(hits.size(), t * share),
                             std::min(hits.size(), (t + 1) * share), texts, folders, rows[t],
                             byName ? &ranks[t] : nullptr, failed[t]);
                });
            makeRows(hits, 0, std::min(hits.size(), share), texts, folders, rows[0],
                     byName ? &ranks[0] : nullptr, failed[0]);
            for (std::thread& thread : threads)
                thread.join();
        }
        bool again = false;
        for (const std::vector<Entry*>& list : failed) {
            for (Entry* entry : list) {
                entry->dirty = true;
                attend(*entry);
                again = true;
            }
        }
        if (again && attempt < 3) {
            refresh();
            continue;
        }
        std::vector<int> sorted;
        if (byName && hits.size() > 1) {
            // By the ranks where the names are ranked, else by comparing them.
            std::vector<quint32> allRanks;
            allRanks.reserve(hits.size());
            std::vector<size_t> ends;
            for (const std::vector<quint32>& piece : ranks) {
                allRanks.insert(allRanks.end(), piece.begin(), piece.end());
                ends.push_back(allRanks.size());
            }
            const auto keyOf = [&](std::string& key, quint32 k) {
                const size_t p =
                    size_t(std::upper_bound(ends.begin(), ends.end(), size_t(k)) - ends.begin());
                core::appendNameKey(key, rows[p], k - (p ? ends[p - 1] : 0));
            };
            sorted = orderByRank(allRanks, keyOf, order == RowsOrder::NameAscending);
        }
        core::FileRows all = core::FileRows::joined(rows, sorted.empty() ? nullptr : &sorted);
        if (byName && sorted.empty() && all.size() > 1)
            all.reorder(core::sortedOrder(all, core::RowKey::Name,
                                          order == RowsOrder::NameAscending));
        out.append(std::move(all));
        return true;
    }
}

bool LibraryIndex::scanParts(const Query& q, size_t from, size_t to, std::vector<Hit>& found,
                             std::pair<size_t, size_t>& text) const
{
    const Mode mode = q.mode;
    const KeywordMatcher& matcher = q.matcher;
    const bool asText = q.asText;
    const std::string& key8 = q.key8;
    const char16_t* key16 = q.key16;
    const size_t keyLength = q.keyLength;
    const std::vector<quint32>& runs = q.runs;
    const std::function<bool()>& cancelled = q.cancelled;
    const size_t partCount = to;
    for (size_t p = from; p < partCount; ++p) {
        if (cancelled && (p & 63) == 63 && cancelled())
            return false;
        // The folders lie all over memory: the ones a few parts ahead are fetched early.
        if (p + 16 < partCount)
            __builtin_prefetch(&m_plan[p + 16].entry->record.files);
        if (p + 8 < partCount) {
            const FolderRecord& ahead = m_plan[p + 8].entry->record;
            __builtin_prefetch(ahead.runs.data());
            __builtin_prefetch(ahead.files.data());
        }
        const Part& part = m_plan[p];
        const FolderRecord& record = part.entry->record;
        const quint32 first = record.boundary(part.fromPart);
        const quint32 end = record.boundary(size_t(part.toPart) + 1);
        if (first >= end || !record.mayHold(mode == Mode::ByNote, runs))
            continue;
        const std::vector<FolderRecord::File>& files = record.files;
        if (mode == Mode::ByName && asText) {
            for (quint32 i = first; i < end; ++i) {
                if (matcher.matches(record.caption(i))) {
                    found.push_back({quint32(p), i});
                    text.first += record.nameLength(i);
                    text.second += record.noteLength(i);
                }
            }
            continue;
        }
        // The texts of the files lie one after the other: a place found is the file's whose
        // text holds it whole.
        const bool byName = mode == Mode::ByName;
        const size_t start = byName ? files[first].nameAt : files[first].noteAt;
        const size_t stop = byName ? record.nameEnd(end - 1) : record.noteEnd(end - 1);
        quint32 file = first;
        for (size_t at = start;;) {
            at = byName ? findFolded(record.subjects.data(), stop, at, key8.data(), keyLength)
                        : findFolded(record.notes.data(), stop, at, key16, keyLength);
            if (at == kNotFound)
                break;
            // Most often the place lies in the file at hand or the next: looked at first.
            size_t fileEnd = byName ? record.nameEnd(file) : record.noteEnd(file);
            if (at >= fileEnd) {
                const auto past =
                    byName
                        ? std::upper_bound(
                              files.begin() + file, files.begin() + end, quint32(at),
                              [](quint32 p, const FolderRecord::File& f) { return p < f.nameAt; })
                        : std::upper_bound(
                              files.begin() + file, files.begin() + end, quint32(at),
                              [](quint32 p, const FolderRecord::File& f) { return p < f.noteAt; });
                file = quint32(past - files.begin()) - 1;
                fileEnd = byName ? record.nameEnd(file) : record.noteEnd(file);
            }
            if (at + keyLength <= fileEnd) {
                found.push_back({quint32(p), file});
                text.first += record.nameLength(file);
                text.second += record.noteLength(file);
                at = fileEnd;
                ++file;
                if (file >= end)
                    break;
            } else {
                ++at;
            }
        }
    }
    return true;
}

std::vector<int> LibraryIndex::orderByRank(const std::vector<quint32>& ranks, const NameKey& keyOf,
                                           bool ascending)
{
    // The rows whose names are not ranked yet (their folders were read since the names were
    // ranked) are put in among the others by their keys; when they are many, the rows are
    // sorted by comparing instead.
    std::vector<quint32> unranked;
    for (quint32 k = 0; k < ranks.size(); ++k) {
        if (ranks[k] == FolderRecord::kNoRank) {
            unranked.push_back(k);
            if (unranked.size() > 2048)
                return {};
        }
    }
    // The ranked rows by rank, equal ranks in the walk's order (a stable sort by digits of 11
    // bits, the least significant first).
    struct Item
    {
        quint32 key;
        quint32 row;
    };
    std::vector<Item> items;
    items.reserve(ranks.size() - unranked.size());
    quint32 most = 0;
    for (quint32 k = 0; k < ranks.size(); ++k) {
        if (ranks[k] == FolderRecord::kNoRank)
            continue;
        const quint32 key = ascending ? ranks[k] : ~ranks[k] - 1;
        most |= key;
        items.push_back({key, k});
    }
    std::vector<Item> other(items.size());
    for (int shift = 0; shift < 32 && (most >> shift) != 0; shift += 11) {
        size_t counts[2049] = {};
        for (const Item& item : items)
            ++counts[((item.key >> shift) & 2047) + 1];
        for (size_t d = 1; d < 2049; ++d)
            counts[d] += counts[d - 1];
        for (const Item& item : items)
            other[counts[(item.key >> shift) & 2047]++] = item;
        items.swap(other);
    }
    std::vector<int> sorted;
    sorted.reserve(ranks.size());
    if (unranked.empty()) {
        for (const Item& item : items)
            sorted.push_back(int(item.row));
        return sorted;
    }
    // Each unranked row goes before the first ranked one that the list shows after it: by
    // key, and for equal keys in the walk's order.
    const auto keyAt = [&](quint32 k) {
        std::string key;
        keyOf(key, k);
        return key;
    };
    const auto before = [&](quint32 a, const std::string& keyA, quint32 b,
                            const std::string& keyB) {
        const int c = keyA.compare(keyB);
        if (c != 0)
            return ascending ? c < 0 : c > 0;
        return a < b;
    };
    std::vector<std::pair<std::string, quint32>> loose;
    loose.reserve(unranked.size());
    for (const quint32 k : unranked)
        loose.emplace_back(keyAt(k), k);
    std::sort(loose.begin(), loose.end(), [&](const auto& a, const auto& b) {
        return before(a.second, a.first, b.second, b.first);
    });
    size_t from = 0;
    for (const auto& [key, k] : loose) {
        size_t low = from;
        size_t high = items.size();
        while (low < high) {
            const size_t mid = low + (high - low) / 2;
            if (before(items[mid].row, keyAt(items[mid].row), k, key))
                low = mid + 1;
            else
                high = mid;
        }
        for (; from < low; ++from)
            sorted.push_back(int(items[from].row));
        sorted.push_back(int(k));
    }
    for (; from < items.size(); ++from)
        sorted.push_back(int(items[from].row));
    return sorted;
}

void LibraryIndex::makeRows(const std::vector<Hit>& hits, size_t from, size_t to,
                            std::pair<size_t, size_t> texts,
                            const std::unordered_map<const Entry*, quint32>& folders,
                            core::FileRows& rows, std::vector<quint32>* ranks,
                            std::vector<Entry*>& failed) const
{
    // Room for this share of the texts, and a little more; more is taken if it is needed.
    const double share = hits.empty() ? 0 : double(to - from) / double(hits.size());
    rows.reserve(to - from);
    rows.reserveText(size_t(double(texts.first) * share * 1.05) + 64,
                     size_t(double(texts.second) * share * 1.05) + 64);
    if (ranks)
        ranks->reserve(to - from);
    for (size_t k = from; k < to;) {
        Entry& entry = *m_plan[hits[k].part].entry;
        FolderRecord& record = entry.record;
        size_t next = k;
        while (next < to && m_plan[hits[next].part].entry == &entry)
            ++next;
        // A file is looked at by its path, or below its open folder when the path is long.
        std::optional<platform::OpenFolder> folder;
        const bool longPath = record.path.size() >= kLongPath / 3 &&
                              platform::nativePath(record.path).size() >= kLongPath;
        const quint32 folderIndex = folders.at(&entry);
        for (; k < next; ++k) {
            // The records of hits further on are fetched early.
            if (k + 12 < to) {
                const Hit ahead = hits[k + 12];
                __builtin_prefetch(m_plan[ahead.part].entry->record.files.data() + ahead.file);
            }
            const quint32 i = hits[k].file;
            // Details that may be old, or that lie elsewhere, are read again.
            if (entry.unsure ||
                (record.files[i].flags & (FolderRecord::Link | FolderRecord::Oversize))) {
                if (longPath && !folder)
                    folder.emplace(open(entry));
                std::pair<qint64, qint64> seen;
                if (!record.restat(i, folder ? &*folder : nullptr, &seen)) {
                    if (failed.empty() || failed.back() != &entry)
                        failed.push_back(&entry);
                    continue;
                }
                record.addRow(i, folderIndex, rows, &seen);
            } else {
                record.addRow(i, folderIndex, rows);
            }
            if (ranks)
                ranks->push_back(record.files[i].rank);
        }
    }
}

bool LibraryIndex::settle(size_t folders)
{
    size_t done = 0;
    while (done < folders && !m_toSettle.empty()) {
        Entry* entry = find(m_toSettle.back());
        m_toSettle.pop_back();
        // Read anew (and watched where notices come), its files' details are sure again.
        if (entry && entry->unsure) {
            reread(*entry);
            ++done;
        }
    }
    if (!m_toSettle.empty())
        return true;
    m_toSettle.shrink_to_fit();
    // Names read since the last ranking are ranked again when they are many or have waited.
    constexpr size_t kManyUnranked = 1024;
    constexpr qint64 kRankWaitMs = 30000;
    if (m_unranked >= kManyUnranked ||
        (m_unranked > 0 && QDateTime::currentMSecsSinceEpoch() - m_rankedAtMs >= kRankWaitMs))
        rankNames();
    return false;
}

void LibraryIndex::rankNames()
{
    // Every name's key, as the result list sorts by name, one after the other.
    std::vector<FolderRecord*> records;
    size_t files = 0;
    for (auto& [path, entry] : m_entries) {
        records.push_back(&entry->record);
        files += entry->record.fileCount();
    }
    struct Item
    {
        quint64 prefix; // the key's first eight bytes, most significant first
        quint32 name;
    };
    struct Name
    {
        quint32 record;
        quint32 file;
        quint32 at;
        quint32 length;
    };
    std::string keys;
    keys.reserve(files * 24);
    std::vector<Name> names;
    names.reserve(files);
    std::vector<Item> items;
    items.reserve(files);
    for (quint32 r = 0; r < records.size(); ++r) {
        const FolderRecord& record = *records[r];
        for (quint32 i = 0; i < record.fileCount(); ++i) {
            const size_t at = keys.size();
            core::appendNameKey(keys, record.nameBytes(i),
                                record.files[i].flags & FolderRecord::CaptionDecoded);
            const quint32 length = quint32(keys.size() - at);
            quint64 prefix = 0;
            for (quint32 b = 0; b < 8; ++b)
                prefix = prefix << 8 | (b < length ? quint8(keys[at + b]) : 0);
            items.push_back({prefix, quint32(names.size())});
            names.push_back({r, i, quint32(at), length});
        }
    }
    const auto compare = [&](const Item& a, const Item& b) {
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix ? -1 : 1;
        const Name& na = names[a.name];
        const Name& nb = names[b.name];
        if (na.length > 8 || nb.length > 8) {
            const int order = std::memcmp(keys.data() + na.at, keys.data() + nb.at,
                                          std::min(na.length, nb.length));
            if (order != 0)
                return order;
        }
        return na.length == nb.length ? 0 : na.length < nb.length ? -1 : 1;
    };
    const auto less = [&](const Item& a, const Item& b) { return compare(a, b) < 0; };
    // Two halves sorted side by side, then merged.
    const auto middle = items.begin() + std::ptrdiff_t(items.size() / 2);
    if (workers() > 1 && items.size() > 50000) {
        std::thread other([&] { std::sort(middle, items.end(), less); });
        std::sort(items.begin(), middle, less);
        other.join();
        std::inplace_merge(items.begin(), middle, items.end(), less);
    } else {
        std::sort(items.begin(), items.end(), less);
    }
    quint32 rank = 0;
    for (size_t k = 0; k < items.size(); ++k) {
        if (k > 0 && compare(items[k - 1], items[k]) != 0)
            ++rank;
        const Name& name = names[items[k].name];
        records[name.record]->files[name.file].rank = rank;
    }
    m_unranked = 0;
    m_rankedAtMs = QDateTime::currentMSecsSinceEpoch();
    m_changed = true;
}

LibraryIndex::Figures LibraryIndex::figures() const
{
    Figures f;
    f.folders = m_entries.size();
    f.reread = m_reread;
    f.memory = m_plan.capacity() * sizeof(Part) + m_entries.size() * (sizeof(Entry) + 64) +
               m_byWatch.size() * 48;
    for (const auto& [key, entry] : m_entries) {
        f.files += entry->record.files.size();
        f.nameBytes += entry->record.subjects.size();
        f.noteBytes += entry->record.notes.size() * 2;
        // The map's node and bucket beside the entry; the key shares the path's text.
        f.memory += entry->record.memory() - sizeof(FolderRecord) + 48;
        if (entry->watch >= 0)
            ++f.watched;
    }
    return f;
}

bool LibraryIndex::save(const QString& file) const
{
    std::vector<const Entry*> entries;
    entries.reserve(m_entries.size());
    std::unordered_map<const Entry*, quint32> places;
    for (const auto& [key, entry] : m_entries) {
        places.emplace(entry.get(), quint32(entries.size()));
        entries.push_back(entry.get());
    }
    // The walk's order goes with them when it is in step with them, so that a start from the
    // cache need not work it out again.
    IndexCache::Order order;
    if (m_arranged) {
        order.outer = m_outer;
        order.parts.reserve(m_plan.size());
        for (const Part& part : m_plan)
            order.parts.push_back({places.at(part.entry), part.fromPart, part.toPart});
    }
    return IndexCache::write(file, m_root, entries, order);
}

bool LibraryIndex::load(const QString& file)
{
    std::vector<std::unique_ptr<Entry>> entries;
    std::vector<QString> parents;
    // The folders' stamps are looked at while the rest of the file is read, by a worker that
    // takes the folders as they come, and by this thread when the reading is done. They look
    // at copies of what they need: the reader lets its entries go when the file is damaged.
    struct Look
    {
        FolderRecord record; // its path, stamp, time of reading and whether it was opened
        qint8 told = -1;
    };
    struct Looks
    {
        std::mutex mutex;
        std::condition_variable more;
        std::deque<Look> queue; // stays where it is as it grows
        size_t handed = 0;
        size_t next = 0;
        bool closed = false;
    } looks;
    const int rootFolder = openRoot();
    const auto lookAtStamps = [&] {
        std::unique_lock lock(looks.mutex);
        for (;;) {
            looks.more.wait(lock, [&] { return looks.closed || looks.next < looks.handed; });
            if (looks.next == looks.handed)
                return;
            // The places of the looks are taken while no new one comes in.
            Look* batch[32];
            size_t count = 0;
            for (; count < 32 && looks.next < looks.handed; ++count)
                batch[count] = &looks.queue[looks.next++];
            lock.unlock();
            for (size_t i = 0; i < count; ++i)
                batch[i]->told = qint8(stampChanged(batch[i]->record, rootFolder));
            lock.lock();
        }
    };
    std::thread worker(lookAtStamps);
    std::vector<Look> arrived;
    const auto handOver = [&] {
        {
            const std::lock_guard lock(looks.mutex);
            for (Look& look : arrived)
                looks.queue.push_back(std::move(look));
            looks.handed = looks.queue.size();
        }
        arrived.clear();
        looks.more.notify_one();
    };
    IndexCache::Order order;
    m_loaded = IndexCache::read(file, m_root, entries, parents, order, [&](Entry& entry) {
        Look look;
        look.record.path = entry.record.path;
        look.record.stamp = entry.record.stamp;
        look.record.readAtNs = entry.record.readAtNs;
        look.record.opened = entry.record.opened;
        arrived.push_back(std::move(look));
        if (arrived.size() == 64)
            handOver();
    });
    handOver();
    {
        const std::lock_guard lock(looks.mutex);
        looks.closed = true;
        if (!m_loaded)
            looks.next = looks.handed; // nothing is left to look at
    }
    looks.more.notify_all();
    lookAtStamps();
    worker.join();
    if (rootFolder >= 0)
        ::close(rootFolder);
    // The entries come in the order they arrived in.
    if (m_loaded && looks.queue.size() == entries.size()) {
        for (size_t i = 0; i < entries.size(); ++i)
            entries[i]->loadLook = looks.queue[i].told;
    }
    if (!m_loaded)
        return false;
    clearEntries();
    m_entries.reserve(entries.size());
    std::vector<Entry*> loaded(entries.size(), nullptr);
    for (size_t i = 0; i < entries.size(); ++i) {
        Entry* entry = entries[i].get();
        for (const FolderRecord::File& f : entry->record.files)
            m_unranked += f.rank == FolderRecord::kNoRank;
        entry->checkStamp = true;
        entry->unsure = true;
        entry->watch = -1;
        if (!m_entries.try_emplace(entry->record.path, std::move(entries[i])).second)
            continue; // a path met twice is kept once
        loaded[i] = entry;
        m_unwatched.insert(entry);
        m_toSettle.push_back(entry->record.path);
    }
    // Each entry finds the one it is reached from again; one whose parent is gone opens by its
    // path.
    for (size_t i = 0; i < parents.size(); ++i) {
        if (loaded[i] && !parents[i].isEmpty())
            loaded[i]->parent = find(parents[i]);
    }
    // The walk's order kept with them serves as long as the external folders are the same and
    // no folder changes its subfolders; else it is worked out again at the refresh.
    m_plan.clear();
    m_tree.reset();
    m_arranged = !order.parts.empty() && order.outer == m_outer;
    for (const std::array<quint32, 3>& part : order.parts) {
        if (!m_arranged)
            break;
        Entry* entry = loaded[part[0]];
        m_arranged = entry != nullptr;
        if (entry)
            m_plan.push_back({entry, part[1], part[2]});
    }
    if (!m_arranged)
        m_plan.clear();
    m_loadLooks = true;
    m_changed = false;
    return true;
}

} // namespace search
