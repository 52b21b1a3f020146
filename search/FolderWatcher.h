#pragma once
// Following folders through the kernel's change notices (inotify): a folder is watched through
// its open handle, and the notices queued since the last look are read at once, without
// waiting. A queue that overflowed lost notices: the reader is told, and must look again by
// other means.

#include <QByteArray>

#include <vector>

namespace search {

class FolderWatcher
{
public:
    FolderWatcher();
    ~FolderWatcher();
    FolderWatcher(const FolderWatcher&) = delete;
    FolderWatcher& operator=(const FolderWatcher&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    // Watches the open folder `folderFd`: its entries added, removed, renamed, written and
    // changed, and the folder itself removed or moved. Returns the watch, or -1 when the
    // folder cannot be watched (no watches left, no notices on its file system).
    int add(int folderFd);
    void remove(int watch);

    struct Notice
    {
        int watch = -1;
        quint32 mask = 0;
        QByteArray name; // the entry, empty for the folder itself
    };
    // Appends every notice queued now; false when notices were lost since the last look.
    bool take(std::vector<Notice>& out);
    // Throws away every queued notice, as an overflowing queue does, so the next take()
    // reports the loss.
    void loseQueuedNotices();

private:
    int m_fd = -1;
    bool m_lost = false;
};

} // namespace search
