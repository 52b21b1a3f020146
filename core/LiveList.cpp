#include "core/LiveList.h"

#include "core/FileListing.h"
#include "core/FolderPoll.h"
#include "core/ListedNotes.h"
#include "core/RowOrder.h"
#include "core/SyncConflicts.h"
#include "core/Texts.h"
#include "notes/ConflictCopies.h"
#include "platform/Errors.h"
#include "platform/FileNames.h"
#include "platform/OpenFolder.h"

#include <QSocketNotifier>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/inotify.h>
#include <unistd.h>

namespace core {

namespace {

constexpr uint32_t kEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_CLOSE_WRITE |
                             IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR |
                             IN_EXCL_UNLINK;

// What a row shows of its file, as far as another program can change it: the stored flags
// only where both rows have read them.
bool sameFile(const FileRow& shown, const FileRow& fresh)
{
    platform::Attributes compared = platform::ReadOnly;
    if (!shown.storedAttributesLater && !fresh.storedAttributesLater)
        compared |= platform::Hidden | platform::System | platform::Archive;
    return shown.size == fresh.size && shown.modifiedMs == fresh.modifiedMs &&
           (shown.attributes & compared) == (fresh.attributes & compared) &&
           shown.caption == fresh.caption && shown.note == fresh.note;
}

// A row's name as its bytes on disk: a view of the row's own bytes, valid while the rows
// stay as they are.
QByteArray nativeNameOf(const FileRows& rows, size_t i)
{
    const QByteArrayView bytes = rows.nameBytes(i);
    if (bytes.isEmpty())
        return platform::nativePath(rows.name(i)); // a row that holds its name as text only
    return QByteArray::fromRawData(bytes.data(), bytes.size());
}

} // namespace

LiveList::LiveList(Workspace& workspace, FileListController& files, QObject* parent)
    : QObject(parent), m_workspace(workspace), m_files(files)
{
    m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_fd >= 0) {
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &LiveList::readEvents);
    }
    m_timer.setSingleShot(true);
    m_timer.setInterval(GatherMs);
    connect(&m_timer, &QTimer::timeout, this, &LiveList::apply);
    m_poll = new FolderPoll(this);
    connect(m_poll, &FolderPoll::changed, this, [this] { changedElsewhere(false); });
    connect(m_poll, &FolderPoll::vanished, this, [this] { changedElsewhere(true); });
    connect(&files, &FileListController::folderListed, this, &LiveList::follow);

    // The names the rows have, kept as the rows change, so that a burst of new files needs no
    // pass over a long list.
    FileListModel& list = workspace.fileList();
    connect(&list, &QAbstractItemModel::rowsInserted, this,
            [this, &list](const QModelIndex&, int first, int last) {
                m_shownNames.add(list.fileRows(), size_t(first), size_t(last) + 1);
            });
    // A row put in place of another may have a new name; the old one lingers.
    connect(&list, &QAbstractItemModel::dataChanged, this,
            [this, &list](const QModelIndex& top, const QModelIndex& bottom) {
                const int name = list.columnOf(FileListModel::Field::Name);
                if (top.column() <= name && name <= bottom.column())
                    m_shownNames.add(list.fileRows(), size_t(top.row()), size_t(bottom.row()) + 1);
            });
    connect(&list, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this, &list](const QModelIndex&, int first, int last) {
                m_shownNames.remove(list.fileRows(), size_t(first), size_t(last) + 1);
            });
    // Counted as listed, while the rows lie in the order of their bytes.
    connect(&list, &QAbstractItemModel::modelReset, this, [this, &list] {
        if (m_fd >= 0)
            m_shownNames.count(list.fileRows());
    });
}

LiveList::~LiveList()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void LiveList::follow(const QString& dir)
{
    // The rows were just listed: what was told so far is in them.
    readEvents();
    m_names.clear();
    m_conflictCopies.clear();
    m_notesChanged = m_everything = m_vanished = m_freed = m_waitedMore = false;
    m_stored.reset();
    m_timer.stop();
    if (dir == m_dir && m_watch >= 0)
        return;
    stop();
    if (dir.isEmpty() || m_fd < 0)
        return;
    m_mergesCopies = MergesConflictCopies(m_workspace.session(), dir);
    m_watch = ::inotify_add_watch(m_fd, platform::nativePath(dir).constData(), kEvents);
    if (m_watch >= 0)
        m_dir = dir;
    m_poll->follow(m_dir);
}

void LiveList::stop()
{
    if (m_watch >= 0)
        ::inotify_rm_watch(m_fd, m_watch);
    m_watch = -1;
    m_dir.clear();
    m_timer.stop();
    m_poll->follow({});
}

void LiveList::changedElsewhere(bool gone)
{
    if (m_watch < 0)
        return;
    // Nothing tells which names changed: every name is looked at, the notes read again.
    if (gone)
        m_vanished = true;
    else
        m_everything = m_notesChanged = true;
    if (!m_timer.isActive())
        m_timer.start();
}

void LiveList::readEvents()
{
    if (m_fd < 0)
        return;
    alignas(inotify_event) char buffer[64 * 1024];
    QByteArray last;
    for (;;) {
        const ssize_t length = ::read(m_fd, buffer, sizeof buffer);
        if (length <= 0)
            break;
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += ssize_t(sizeof(inotify_event) + event->len);
            if (event->mask & IN_Q_OVERFLOW) {
                m_everything = true;
                continue;
            }
            if (event->wd != m_watch || m_watch < 0)
                continue;
            if (event->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)) {
                m_vanished = true;
                continue;
            }
            if (event->len == 0)
                continue;
            const QByteArrayView name(static_cast<const char*>(event->name),
                                      qsizetype(std::strlen(event->name)));
            if (notes::isNotesFileName(name)) {
                m_notesChanged = true;
                continue;
            }
            if (!isListedName(name))
                continue; // one of the program's temporary files
            if (m_mergesCopies && notes::isConflictCopyName(name)) {
                // Merged once it is whole: renamed into place, or closed after writing.
                if (event->mask & (IN_MOVED_TO | IN_CLOSE_WRITE | IN_ATTRIB))
                    m_conflictCopies.insert(name.toByteArray());
                continue;
            }
            if (event->mask & (IN_MOVED_FROM | IN_DELETE))
                m_freed = true;
            // A file written by another program tells of itself a few times in a row.
            if (name != QByteArrayView(last)) {
                last = name.toByteArray();
                m_names.insert(last);
            }
        }
    }
    const bool pending = !m_names.isEmpty() || !m_conflictCopies.isEmpty() || m_notesChanged ||
                         m_everything || m_vanished;
    if (pending && m_watch >= 0 && !m_timer.isActive())
        m_timer.start();
}

bool LiveList::busy() const
{
    if (m_busy)
        return m_busy();
    return QThread::currentThread()->loopLevel() > 1;
}

bool LiveList::applyNow()
{
    readEvents();
    if (m_watch < 0 || busy() ||
        (m_names.isEmpty() && m_conflictCopies.isEmpty() && !m_notesChanged && !m_everything &&
         !m_vanished))
        return false;
    m_timer.stop();
    m_waitedMore = true; // at once: no waiting for a freed name to come back
    apply();
    return true;
}

const notes::NotesSnapshot& LiveList::stored()
{
    if (!m_stored)
        m_stored = m_workspace.session().notesFile().snapshot();
    return *m_stored;
}

void LiveList::settleConflictCopies()
{
    QSet<QByteArray> copies = std::exchange(m_conflictCopies, {});
    if (!m_mergesCopies)
        return;
    const platform::OpenFolder folder(m_dir);
    if (m_everything) {
        // Nothing told which names changed: the folder's names are looked at.
        folder.forEachEntry([&](QByteArrayView name, platform::OpenFolder::Kind kind) {
            if (kind != platform::OpenFolder::Kind::Folder && notes::isConflictCopyName(name))
                copies.insert(name.toByteArray());
        });
    }
    std::vector<QByteArray> there;
    for (const QByteArray& name : std::as_const(copies)) {
        platform::OpenFolder::Details details;
        if (folder.details(name.constData(), &details) && !details.isFolder)
            there.push_back(name);
    }
    if (there.empty())
        return;
    m_files.notesNotSettled(SettleConflictCopies(m_workspace.session(), m_dir, there));
    m_notesChanged = true; // the notes file as the copies left it
}

QHash<QByteArray, int> LiveList::rowsOf(const QSet<QByteArray>& names) const
{
    // One pass over the rows' name bytes, without making a text of each: a burst touches a
    // few names of a list that may hold a hundred thousand.
    QHash<QByteArray, int> found;
    if (names.isEmpty())
        return found;
    const FileRows& rows = m_workspace.fileList().fileRows();
    for (size_t i = 0; i < rows.size() && found.size() < names.size(); ++i) {
        const auto at = names.constFind(nativeNameOf(rows, i));
        if (at != names.cend())
            found.insert(*at, int(i));
    }
    return found;
}

void LiveList::apply()
{
    readEvents();
    if (m_watch < 0)
        return;
    if (busy()) {
        m_timer.start();
        return;
    }
    // A name removed or renamed away may come back at once: a program that keeps a backup
    // renames the old file aside and writes the new one under its name.
    if (m_freed && !m_waitedMore && !m_vanished) {
        m_waitedMore = true;
        m_timer.start(FreedNameMs);
        return;
    }
    m_freed = m_waitedMore = false;
    m_timer.setInterval(GatherMs);
    if (m_vanished) {
        stop();
        Q_EMIT folderVanished();
        return;
    }
    settleConflictCopies();
    const Session& session = m_workspace.session();
    if (m_notesChanged)
        m_stored.reset();
    if (!m_stored)
        m_stored = session.notesFile().snapshot();
    if (!m_stored) {
        // Nothing is decided from a notes file that cannot be read: the burst waits.
        m_stored.reset();
        m_files.notesNotSettled(texts::notesUnreadable(session.notesFile().path()));
        m_timer.start();
        return;
    }
    Q_EMIT aboutToApply();
    const platform::FileSystem& fs = session.fs();
    FileListModel& list = m_workspace.fileList();

    QSet<QByteArray> names = std::exchange(m_names, {});
    const bool everything = std::exchange(m_everything, false);
    const bool notesChanged = std::exchange(m_notesChanged, false);
    const FileRows& rows = list.fileRows();
    if (everything) {
        for (const platform::DirEntry& entry :
             fs.list(m_dir, nullptr, platform::StoredFlags::Later))
            names.insert(platform::nativePath(entry.name));
        for (size_t i = 0; i < rows.size(); ++i) {
            const QByteArray name = nativeNameOf(rows, i);
            names.insert(QByteArray(name.constData(), name.size()));
        }
    }

    // Rows whose note another program changed in the notes file are looked at as touched:
    // their files' comments follow.
    const auto isOtherFile = [&](const QString& key) { return fs.exists(m_dir + key); };
    if (notesChanged) {
        for (size_t i = 0; i < rows.size(); ++i) {
            if (rows.noteView(i) != stored().noteView(rows.caption(i), isOtherFile)) {
                const QByteArray name = nativeNameOf(rows, i);
                names.insert(QByteArray(name.constData(), name.size()));
            }
        }
    }

    // Only names that may have a row need the pass over the rows.
    if (!m_shownNames.known())
        m_shownNames.count(rows);
    QSet<QByteArray> mayHaveRows;
    for (const QByteArray& name : std::as_const(names)) {
        if (m_shownNames.mayHave(name))
            mayHaveRows.insert(name);
    }
    const QHash<QByteArray, int> rowOf = rowsOf(mayHaveRows);

    // What the disk holds now for every name the burst touched, read as a listing reads it.
    const platform::OpenFolder folder(m_dir);
    std::vector<int> gone;
    FileRows added;             // the rows of new files
    FileRows fresh;             // the files of rows shown, as they are now
    std::vector<int> freshRows; // the row each of `fresh` is
    const quint32 addedFolder = added.folderIndex(m_dir);
    const quint32 freshFolder = fresh.folderIndex(m_dir);
    const QByteArray dirNative = platform::nativePath(m_dir);
    QByteArray path = dirNative;
    for (const QByteArray& name : std::as_const(names)) {
        platform::OpenFolder::Details details;
        const bool listed = isListedName(name) &&
                            !(m_mergesCopies && notes::isConflictCopyName(QByteArrayView(name))) &&
                            folder.details(name.constData(), &details) && !details.isFolder;
        const int row = rowOf.value(name, -1);
        if (!listed) {
            if (row >= 0)
                gone.push_back(row);
            continue;
        }
        // A name that is UTF-8 is its own caption; any other is read as GB18030 where that
        // spells no other file of the folder.
        QString caption;
        bool captionDecoded = false;
        if (name.isValidUtf8()) {
            caption = QString::fromUtf8(name);
        } else {
            const QString text = platform::pathFromNative(name);
            caption = notes::captionInFolder(fs, m_dir, text);
            captionDecoded = caption != text;
        }
        const QStringView note = stored().noteView(caption, isOtherFile);
        path.truncate(dirNative.size());
        path.append(name);
        platform::Attributes attributes = 0;
        if (!details.ownerWrite)
            attributes |= platform::ReadOnly;
        if (name.startsWith('.'))
            attributes |= platform::Hidden;
        bool storedLater = !details.isLink;
        if (row < 0) {
            added.addListed({name, addedFolder, details.size, details.modifiedSeconds, attributes,
                             storedLater, captionDecoded, note});
            continue;
        }
        // A row that shows its stored flags (A, S, H) is compared with the file's: another
        // program may have changed them alone. Other rows read them when they are shown.
        if (storedLater && !rows.storedFlagsLater(size_t(row))) {
            attributes |= fs.storedAttributes(platform::pathFromNative(path));
            storedLater = false;
        }
        fresh.addListed({name, freshFolder, details.size, details.modifiedSeconds, attributes,
                         storedLater, captionDecoded, note});
        freshRows.push_back(row);
    }
    // The notes of the touched files, settled as a listing settles them.
    const QString failure = SettleListedNotes({&fresh, &added}, m_dir, stored(), session.writable(),
                                              session.documents());
    m_files.notesNotSettled(failure);
    std::vector<std::pair<int, FileRow>> changed;
    for (size_t i = 0; i < fresh.size(); ++i) {
        FileRow now = fresh.row(i, false);
        if (!sameFile(rows.row(size_t(freshRows[i]), false), now))
            changed.emplace_back(freshRows[i], std::move(now));
    }
    if (gone.empty() && changed.empty() && added.empty())
        return;

    // A note being typed stays; the editor follows the rows only when it held the note shown.
    const int first = Workspace::firstSelectedRow(m_workspace.fileSelection());
    const bool typing = first >= 0 && first < list.count()
                            ? m_workspace.topEditText() != rows.note(size_t(first))
                            : false;
    m_files.setQuiet(true);
    for (auto& [row, now] : changed)
        list.setRow(row, std::move(now));
    if (!gone.empty()) {
        std::sort(gone.begin(), gone.end());
        gone.erase(std::unique(gone.begin(), gone.end()), gone.end());
        list.removeRowsAt(gone);
    }
    if (!added.empty()) {
        // New rows come at the end in the list's name order, as a command's new rows do.
        added.reorder(sortedOrder(added, RowKey::Name, true));
        list.appendRows(std::move(added));
    }
    m_files.setQuiet(false);
    if (!typing)
        m_files.filelistChange();
    m_workspace.status().setText(1, texts::fileCount(list.count()));
    Q_EMIT applied();
}

} // namespace core
