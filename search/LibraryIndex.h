#pragma once
// The search's kept index: every folder a search walks (the library below its root, the
// folders reached through links, each external folder's top level), each as a FolderRecord,
// and the order in which a walk by one thread would meet their files. A search looks through
// the packed names or notes instead of the disks, and finds exactly what a walk would find
// at that moment:
//
// - the folders are followed through change notices; before each search the notices queued
//   so far are read, and every folder they name is read again;
// - a folder that cannot be watched, one on a file system that sends no notices, and every
//   folder after notices were lost, is looked at by its stamp (its change times and its notes
//   file's identity, size and change times) and read again when the stamp changed or is too
//   recent to tell; the files such a folder finds are looked at once more on disk;
// - when folders appear, go or change their subfolders, the order of the walk is worked out
//   again from the folders kept, reading only the new ones.
//
// Not thread-safe: one thread at a time calls it (the reading itself uses worker threads).

#include "core/FileRows.h"
#include "platform/TextHash.h"
#include "search/FolderRecord.h"
#include "search/FolderWatcher.h"
#include "search/LibrarySearch.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace search {

class LibraryIndex
{
public:
    struct Settings
    {
        // Readers of a build from nothing; 0: one for each processor.
        int threads = 0;
        // Whether a file system (by its statfs type) tells of changes through notices.
        std::function<bool(long fsType)> sendsNotices = &LibraryIndex::sendsNoticesByType;
        // An index of up to this many files ranks its new names at every refresh; a larger one
        // when it settles.
        size_t rankAtOnce = 50000;
    };
    LibraryIndex();
    explicit LibraryIndex(Settings settings);
    ~LibraryIndex();
    LibraryIndex(const LibraryIndex&) = delete;
    LibraryIndex& operator=(const LibraryIndex&) = delete;

    // The library root (ending in "/") and the registered external folders in their order.
    void setFolders(const QString& root, const QStringList& outer);
    const QString& root() const { return m_root; }

    // Brings the index in step with the disks: builds it when it holds nothing, reads again
    // what notices and stamps tell has changed. `progress` hears how far a build has come.
    void refresh(const std::function<void(const SearchProgress&)>& progress = {});
    // The order of a search's rows: the walk's, or the result list's by its name column.
    enum class RowsOrder
    {
        Walk,
        NameAscending,
        NameDescending,
    };
    // Appends the rows a walk by name or by note would find now, in its order or sorted by
    // name as the result list sorts them (refresh() first). False when `cancelled` said so on
    // the way.
    bool search(Mode mode, const QString& keyword, core::FileRows& out,
                const std::function<bool()>& cancelled = {}, RowsOrder order = RowsOrder::Walk);

    // Reads again up to `folders` of the folders whose files' details may be old (after a
    // build, a load or lost notices), so that their hits need no second look; when none is
    // left, places the names not ranked yet (see rankNames). True while work is left.
    bool settle(size_t folders);

    // Writes the index to `file` and reads it back (see IndexCache). A loaded index is looked
    // at by stamps at the next refresh.
    bool save(const QString& file) const;
    bool load(const QString& file);
    // True when the last load found a usable cache.
    bool loadedFromCache() const { return m_loaded; }
    // True when folders were read again or added since the last save or load.
    bool changedSinceSave() const { return m_changed; }

    // Puts every name of the index in the result list's name order: a search sorted by name
    // then orders its rows by these ranks instead of comparing names. Names read since are
    // put in among them at each search, until the next ranking.
    void rankNames();
    // About how many files' names are not ranked (counted as folders are read; 0 right after
    // a ranking).
    size_t unranked() const { return m_unranked; }

    // The watcher, for simulating lost notices.
    FolderWatcher& watcher() { return m_watcher; }

    struct Figures
    {
        size_t folders = 0;
        size_t files = 0;
        size_t nameBytes = 0; // the names' bytes
        size_t noteBytes = 0; // the notes' text, two bytes a unit
        size_t memory = 0;    // all the index holds
        size_t watched = 0;   // folders followed by notices
        size_t reread = 0;    // folders read again since it was made
    };
    Figures figures() const;

    static bool sendsNoticesByType(long fsType);

    // A folder as the index keeps it, with how it is reached and followed.
    struct Entry
    {
        Entry* parent = nullptr; // the folder it is reached from; none for a start
        int watch = -1;
        unsigned seen = 0;       // the last arrangement that reached it
        bool viaLink = false;    // reached through a symbolic link
        bool dirty = false;      // to be read again
        bool checkStamp = false; // to be looked at by its stamp at the next refresh
        bool unsure = false;     // its files' details may be old: look at hits again
        bool touched = false;    // files written or changed since: see m_touched
        bool queued = false;     // in m_attention
        // Whether its stamp told a change when a load looked at it (-1: not looked at), for
        // the refresh that follows the load.
        qint8 loadLook = -1;
        FolderRecord record;
    };

private:
    struct Node;
    struct Query;
    struct Part
    {
        Entry* entry;
        quint32 fromPart;
        quint32 toPart;
    };

    Entry* find(const QString& path) const;
    // The entry of a folder, read from disk when not kept yet (through `parentFolder` when
    // given).
    Entry* ensure(const QString& path, const Entry* parent, const QByteArray& name, bool viaLink,
                  const platform::OpenFolder* parentFolder);
    // Opens the folder of `entry`, through its parents when its path is too long.
    platform::OpenFolder open(const Entry& entry) const;
    // Reads the entry's folder (open already) and watches it; true when its shape changed.
    bool readEntry(Entry& entry, const platform::OpenFolder& folder);
    void watch(Entry& entry, const platform::OpenFolder& folder);
    void unwatch(Entry& entry);
    // Forgets every folder, with its watch and every mark on it.
    void clearEntries();
    // Sets the entry's watch, keeping the entries without one.
    void setWatch(Entry& entry, int watch);
    void attend(Entry& entry);
    bool sendsNotices(const platform::OpenFolder& folder);
    // Reads the whole library from nothing, on the worker threads.
    void prefetch(const std::function<void(const SearchProgress&)>& progress);
    void takeNotices();
    // For each entry, whether its stamp tells (or may hide) a change.
    std::vector<char> stampsChanged(const std::vector<Entry*>& entries) const;
    // Whether the stamp of a folder as `record` holds it tells (or may hide) a change, its
    // path looked up below the open root folder where it lies there; -1 when the path is too
    // long to be looked up whole.
    int stampChanged(const FolderRecord& record, int rootFolder) const;
    // Whether the stamp `now` (of a folder `there` or not) tells (or may hide) a change from
    // what `record` holds.
    static bool stampTells(const FolderRecord& record, bool there, const FolderStamp& now);
    // The root folder opened for looking up paths below it, or -1.
    int openRoot() const;
    // Reads the entry again; marks the arrangement for working out again when its shape
    // changed.
    void reread(Entry& entry);
    // Works out the walk's order from the entries, reading the folders not kept yet.
    void arrange();
    bool walkReal(Node& node, bool claimed, const platform::OpenFolder* folder);
    void followLinks(Node& node);
    void emitParts(const Node& node);
    bool claim(const Entry& entry);
    // A file found: its part of the plan and its index in the folder.
    struct Hit
    {
        quint32 part;
        quint32 file;
    };
    size_t workers() const;
    // Looks through the parts from..to of the plan, appending the files found. False when
    // the search was called off.
    // `text` adds up the hits' name bytes and note units.
    bool scanParts(const Query& q, size_t from, size_t to, std::vector<Hit>& found,
                   std::pair<size_t, size_t>& text) const;
    // The order of rows (in the walk's order, with their names' ranks) in the list's order by
    // name; empty when too many names are not ranked. `keyOf` appends a row's name key.
    using NameKey = std::function<void(std::string& key, quint32 row)>;
    static std::vector<int> orderByRank(const std::vector<quint32>& ranks, const NameKey& keyOf,
                                        bool ascending);
    // Makes the rows of hits from..to, with their names' ranks when asked, in rows that hold
    // the hits' folders at the places `folders` gives; the entries whose files were gone go
    // into `failed`.
    // `texts`: the name bytes and note units of all hits.
    void makeRows(const std::vector<Hit>& hits, size_t from, size_t to,
                  std::pair<size_t, size_t> texts,
                  const std::unordered_map<const Entry*, quint32>& folders, core::FileRows& rows,
                  std::vector<quint32>* ranks, std::vector<Entry*>& failed) const;

    Settings m_settings;
    QString m_root;
    QStringList m_outer;
    // A library's paths are long and many: hashed eight bytes at a time.
    struct PathHash
    {
        size_t operator()(const QString& path) const noexcept { return platform::textHash(path); }
    };
    // By path (the record's own text, shared).
    std::unordered_map<QString, std::unique_ptr<Entry>, PathHash> m_entries;
    std::unordered_map<int, std::vector<Entry*>> m_byWatch;
    std::unordered_map<quint64, bool> m_noticesByDevice;
    FolderWatcher m_watcher;
    std::unique_ptr<Node> m_tree;
    std::vector<Part> m_plan;
    std::vector<Entry*> m_outerEntries;
    // The folders (device, inode) the walk's order reads, each once.
    struct IdentityHash
    {
        size_t operator()(const std::pair<quint64, quint64>& id) const noexcept
        {
            return size_t((id.first * 0x9E3779B97F4A7C15ull) ^ id.second);
        }
    };
    std::unordered_set<std::pair<quint64, quint64>, IdentityHash> m_claims;
    std::vector<QString> m_toSettle;
    // The files of each entry written or changed in place since it was read.
    std::unordered_map<Entry*, std::vector<QByteArray>> m_touched;
    // The entries a notice or a loss named since the last refresh, and those no notices
    // follow (looked at by their stamps at every refresh): a refresh looks at these only.
    std::vector<Entry*> m_attention;
    std::unordered_set<Entry*> m_unwatched;
    bool m_arranged = false;
    bool m_loaded = false;
    bool m_changed = false;
    bool m_loadLooks = false; // the entries hold the looks of a load at their stamps
    unsigned m_arrangement = 0;
    size_t m_reread = 0;
    size_t m_unranked = 0;
    qint64 m_rankedAtMs = 0;
    // A search's hits, by piece and all together: their room is used again by the next.
    std::vector<std::vector<Hit>> m_found;
    std::vector<Hit> m_hits;
};

} // namespace search
