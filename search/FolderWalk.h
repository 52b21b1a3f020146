#pragma once
// The search's walk over folders: each folder is read once through its open handle (opened
// by name below its parent's, so paths of any length are walked), on worker threads while the
// calling thread waits and reports how far the walk has come. The rows are put together in
// the order one thread walking depth first gives: a folder's own rows in listing order with
// each subfolder's rows at the subfolder's place.
//
// Every folder is entered once: the walk remembers the device and inode of each folder it
// read. Real folders come first: a symbolic link to a folder is followed, in that order, after
// every real folder has been read, and only to a folder not read yet; so a link that leads
// back up the tree ends there. When two real paths lead to one folder (a bind mount), which
// of them is read must not depend on the threads: such a walk is done again by one thread.

#include "core/FileListing.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace platform {
class OpenFolder;
}

namespace search {

// How far a walk has come.
struct SearchProgress
{
    int folders = 0; // folders read so far
    int found = 0;   // result rows so far
};

class FolderWalk
{
public:
    // `threads` workers; 0: one for each processor.
    FolderWalk(const core::RowFilter& filter, int threads);
    ~FolderWalk();
    FolderWalk(const FolderWalk&) = delete;
    FolderWalk& operator=(const FolderWalk&) = delete;

    // `report` runs on the calling thread while a walk goes on, at most every `intervalMs`,
    // and once when it ends.
    void setProgress(std::function<void(const SearchProgress&)> report, int intervalMs);

    // Every folder below `root` (ending in "/"), depth first, except those `skip` names;
    // the files lying directly in `root` are not listed. The rows go after those of `out`.
    void walkTree(const QString& root, const std::function<bool(const QString&)>& skip,
                  core::FileRows& out);
    // The files directly in each of `folders`, in this order; subfolders are not entered.
    void listFolders(const QStringList& folders, core::FileRows& out);

    SearchProgress progress() const;

private:
    struct Node;
    struct Identity
    {
        quint64 device;
        quint64 inode;
        bool operator<(const Identity& other) const
        {
            return device != other.device ? device < other.device : inode < other.inode;
        }
    };
    enum class Claim
    {
        New,      // first seen
        Earlier,  // read by a walk that ended before this one began
        SameWalk, // read in this walk already
    };

    // Reads every folder of the tree below `root` by the workers, or (`serial`) on this
    // thread depth first.
    void run(Node* root, int generation, bool serial);
    void runWalk(Node* root, int generation);
    // Reads one folder; its subfolders to read go into `next` (the last to be read first).
    void read(Node& node, int generation, bool serial, std::vector<Node*>& next);
    Claim claim(const Identity& identity, int generation);
    // Whether the file system of `device` (that of `folder`) fills its listing blocks.
    bool fillsWholeBlocks(const platform::OpenFolder& folder, quint64 device);
    void dropClaims(int generation);
    // Follows the links to folders below `node`, depth first.
    void followLinks(Node& node);
    // Appends the rows of `node` and its subfolders in walk order, giving the memory back.
    void collect(Node& node, core::FileRows& out);
    void work();
    void startWorkers();
    void waitAndReport();
    void report();

    const core::RowFilter& m_filter;
    int m_threads;
    std::function<bool(const QString&)> m_skip;
    std::function<void(const SearchProgress&)> m_report;
    int m_intervalMs = 100;
    qint64 m_lastReport = 0;

    std::mutex m_mutex;
    std::condition_variable m_workReady;
    std::condition_variable m_walkDone;
    std::vector<std::pair<Node*, int>> m_stack; // folders to read, with their walk
    int m_busy = 0;
    bool m_stop = false;
    std::vector<std::thread> m_workers;

    std::mutex m_claimMutex;
    std::map<Identity, int> m_claims;      // folder: the walk that read it
    std::map<quint64, bool> m_wholeBlocks; // device: its file system fills listing blocks
    std::atomic<bool> m_conflict{false};
    int m_generation = 0;

    std::atomic<int> m_folders{0};
    std::atomic<int> m_found{0};
};

} // namespace search
