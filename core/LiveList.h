#pragma once
// The file list follows the disk: while it shows a folder, the files that another program
// adds, removes, renames or changes there, and the notes it changes in the folder's notes
// file, show within a moment. Changes are read from inotify, gathered for a short while and
// applied as a difference of rows (inserted, removed, changed), never by listing the folder
// again, so that the selection, the scroll position, an edit of a name in place and a note
// being typed stay. A change the program made itself finds its rows already as the disk is
// and changes nothing.
//
// What the rows show of the files' notes is settled by the notes keeper exactly as a listing
// settles it (ListedNotes.h), so the list after another program's change shows what a listing
// shows after a restart: a file renamed by another program keeps its note and document. A
// burst that frees a name waits a moment longer for that name to come back, as programs that
// save by renaming the old file aside do, so that the new file keeps the name's note.
//
// A conflict copy of the notes file that a synced folder leaves is merged and put into the
// recycle box by the same code as a listing's (SyncConflicts.h).
//
// On a network or FUSE mount inotify hears only what this machine does through that mount:
// there a FolderPoll looks at the folder's change time every two seconds, and a change it
// sees has every name looked at again.

#include "core/FileListController.h"
#include "core/RowNameHashes.h"
#include "core/Workspace.h"
#include "notes/NotesSnapshot.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QTimer>

#include <functional>
#include <optional>

class QSocketNotifier;

namespace core {

class FolderPoll;

class LiveList : public QObject
{
    Q_OBJECT
public:
    // How long a burst of changes is gathered before it is applied.
    static constexpr int GatherMs = 200;
    // How much longer a burst that freed a name waits for the name to come back.
    static constexpr int FreedNameMs = 400;

    LiveList(Workspace& workspace, FileListController& files, QObject* parent = nullptr);
    ~LiveList() override;

    // Tells when applying must wait: while a command runs or a modal dialog is open. Without
    // one it waits only while a nested event loop runs (a modal dialog, a drag).
    void setBusyRule(std::function<bool()> busy) { m_busy = std::move(busy); }

    // The folder followed, ending in "/"; empty when none (inotify is missing, or the list
    // shows no folder).
    const QString& folder() const { return m_dir; }
    // Reads what inotify has told and applies it at once, without waiting; false when there
    // was nothing to apply or applying must wait.
    bool applyNow();
    // What follows the folder where inotify cannot (tests choose its rule and interval).
    FolderPoll& poll() const { return *m_poll; }

Q_SIGNALS:
    // The shown folder itself is gone (deleted, or moved away).
    void folderVanished();
    // A burst of changes is about to be applied to the rows (a view notes what it shows).
    void aboutToApply();
    // A burst of changes has been applied to the rows.
    void applied();

private:
    void follow(const QString& dir);
    void stop();
    void readEvents();
    void apply();
    bool busy() const;
    const notes::NotesSnapshot& stored();
    // Settles the conflict copies of the notes file the burst came upon, as a listing does.
    void settleConflictCopies();
    // The poll saw the folder change, or go.
    void changedElsewhere(bool gone);
    // The rows of these names (their bytes on disk), by name.
    QHash<QByteArray, int> rowsOf(const QSet<QByteArray>& names) const;

    Workspace& m_workspace;
    FileListController& m_files;
    std::function<bool()> m_busy;
    int m_fd = -1;
    int m_watch = -1;
    QSocketNotifier* m_notifier = nullptr;
    QTimer m_timer;
    QString m_dir;
    FolderPoll* m_poll = nullptr;

    // What the burst so far has touched: names as their bytes on disk.
    QSet<QByteArray> m_names;
    bool m_freed = false;      // a name was removed or renamed away
    bool m_waitedMore = false; // the burst has waited once for a freed name to come back
    bool m_notesChanged = false;
    bool m_everything = false; // the kernel's queue overflowed: every name is looked at
    bool m_vanished = false;
    // Conflict copies of the notes file the burst came upon, to be merged (every folder but
    // the recycle box, which shows them as files).
    QSet<QByteArray> m_conflictCopies;
    bool m_mergesCopies = true;

    // The notes file as read for this burst; nothing until read (or when it cannot be read).
    std::optional<notes::NotesSnapshot> m_stored;
    // Every name a row has had since the rows were last counted (a few gone ones may linger).
    RowNameHashes m_shownNames;
};

} // namespace core
