#pragma once
// An exclusive advisory lock (flock) on a folder, taken for every read-change-replace of a file
// in it (a notes file, the configuration file), so that two programs writing one file lose
// nothing: each rewrite reads the file as the other left it. The folder is locked, not the
// file, so the rename that replaces the file keeps the lock and no lock file ever appears in
// the folder. A process that ends, however it ends, releases its locks.
//
// A lock is re-entrant within one thread. Never wait for a second folder's lock while holding
// one: each rewrite takes the lock of its own folder only, so two programs moving notes in
// opposite directions can never wait for each other.

#include <QString>

#include <chrono>

namespace platform {

class FolderLock
{
public:
    // Locks `folder`, waiting at most timeout() while another process holds it. Where the
    // folder cannot be opened or its file system has no working locks, nothing is locked
    // and acquired() is true: the write goes ahead as it would without locks.
    explicit FolderLock(const QString& folder);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // False when another process held the folder for the whole timeout: the caller must not
    // write blind.
    bool acquired() const { return !m_timedOut; }

    static std::chrono::milliseconds timeout();
    // A few seconds unless changed (tests wait less, or longer).
    static void setTimeout(std::chrono::milliseconds timeout);

private:
    int m_held = -1; // the descriptor this lock counts on, or -1
    bool m_timedOut = false;
};

} // namespace platform
