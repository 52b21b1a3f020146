#include "core/LiveList.h"

#include "core/FileListing.h"
#include "core/ListedComments.h"
#include "core/NoteMirror.h"
#include "core/Texts.h"
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

// What a row shows of its file, as far as another program can change it.
bool sameFile(const FileRow& shown, const FileRow& fresh)
{
    return shown.size == fresh.size && shown.modifiedMs == fresh.modifiedMs &&
           (shown.attributes & platform::ReadOnly) == (fresh.attributes & platform::ReadOnly) &&
           shown.caption == fresh.caption && shown.note == fresh.note;
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
    connect(&files, &FileListController::folderListed, this, &LiveList::follow);

    // The names the rows may have, kept as the rows change, so that a burst of new files
    // needs no pass over a long list.
    FileListModel& list = workspace.fileList();
    const auto addNames = [this](int first, int last) {
        if (!m_namesKnown)
            return;
        if (last - first > 1000) {
            m_namesKnown = false;
            return;
        }
        const FileRows& rows = m_workspace.fileList().fileRows();
        for (int i = first; i <= last && size_t(i) < rows.size(); ++i)
            m_shownNames.insert(rows.name(size_t(i)));
    };
    connect(&list, &QAbstractItemModel::rowsInserted, this,
            [addNames](const QModelIndex&, int first, int last) { addNames(first, last); });
    connect(&list, &QAbstractItemModel::dataChanged, this,
            [addNames](const QModelIndex& top, const QModelIndex& bottom) {
                addNames(top.row(), bottom.row());
            });
    connect(&list, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex&, int first, int last) {
                if (!m_namesKnown)
                    return;
                if (last - first > 1000) {
                    m_namesKnown = false;
                    return;
                }
                const FileRows& rows = m_workspace.fileList().fileRows();
                for (int i = first; i <= last && size_t(i) < rows.size(); ++i)
                    m_shownNames.remove(rows.name(size_t(i)));
            });
    connect(&list, &QAbstractItemModel::modelReset, this, [this] { m_namesKnown = false; });
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
    m_renames.clear();
    m_movedAway.clear();
    m_notesChanged = m_everything = m_vanished = false;
    m_notes.reset();
    m_namesKnown = false;
    m_timer.stop();
    if (dir == m_dir && m_watch >= 0)
        return;
    stop();
    if (dir.isEmpty() || m_fd < 0)
        return;
    m_watch = ::inotify_add_watch(m_fd, platform::nativePath(dir).constData(), kEvents);
    if (m_watch >= 0)
        m_dir = dir;
}

void LiveList::stop()
{
    if (m_watch >= 0)
        ::inotify_rm_watch(m_fd, m_watch);
    m_watch = -1;
    m_dir.clear();
    m_timer.stop();
}

void LiveList::readEvents()
{
    if (m_fd < 0)
        return;
    alignas(inotify_event) char buffer[64 * 1024];
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
            const QString name = platform::pathFromNative(QByteArrayView(
                static_cast<const char*>(event->name), qsizetype(std::strlen(event->name))));
            if (isNotesFileName(name)) {
                m_notesChanged = true;
                continue;
            }
            if (platform::isTemporaryName(name))
                continue;
            m_names.insert(name);
            if (event->mask & IN_MOVED_FROM)
                m_movedAway.insert(event->cookie, name);
            else if ((event->mask & IN_MOVED_TO) && m_movedAway.contains(event->cookie))
                m_renames.append({m_movedAway.take(event->cookie), name});
        }
    }
    const bool pending = !m_names.isEmpty() || m_notesChanged || m_everything || m_vanished;
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
        (m_names.isEmpty() && !m_notesChanged && !m_everything && !m_vanished))
        return false;
    m_timer.stop();
    apply();
    return true;
}

const NotesSnapshot& LiveList::notes()
{
    if (!m_notes)
        m_notes = m_workspace.session().notesFile().readAll();
    return *m_notes;
}

QHash<QString, int> LiveList::rowsOf(const QSet<QString>& names) const
{
    // One pass over the rows' name bytes, without making a text of each: a burst touches a
    // few names of a list that may hold a hundred thousand.
    QHash<QByteArray, QString> wanted;
    wanted.reserve(names.size());
    for (const QString& name : names)
        wanted.insert(platform::nativePath(name), name);
    QHash<QString, int> found;
    if (names.isEmpty())
        return found;
    const FileRows& rows = m_workspace.fileList().fileRows();
    for (size_t i = 0; i < rows.size() && found.size() < names.size(); ++i) {
        const QByteArrayView bytes = rows.nameBytes(i);
        if (bytes.isEmpty()) {
            const QString name = rows.name(i);
            if (names.contains(name))
                found.insert(name, int(i));
            continue;
        }
        const auto at = wanted.constFind(QByteArray::fromRawData(bytes.data(), bytes.size()));
        if (at != wanted.cend())
            found.insert(*at, int(i));
    }
    return found;
}

void LiveList::renameNotes()
{
    const Session& session = m_workspace.session();
    const NotesFile& file = session.notesFile();
    const platform::FileSystem& fs = session.fs();
    QList<std::pair<QString, QString>> moved; // captions whose note went to the new name
    try {
        file.update([&](platform::IniDocument& document) {
            for (const auto& [from, to] : std::as_const(m_renames)) {
                const QString oldCaption = platform::captionOfName(from);
                const QString newCaption = CaptionInFolder(fs, m_dir, to);
                const std::optional<QString> oldKey = noteKeyIn(document, m_dir, oldCaption);
                if (!oldKey || noteKeyIn(document, m_dir, newCaption))
                    continue; // the program's own rename, or the new name has a note
                const QString text =
                    document.value(NotesSection, *oldKey, Qt::CaseSensitive).value_or(QString());
                try {
                    setNoteIn(document, m_dir, newCaption, text);
                } catch (const NoteKeyError&) {
                    continue; // the old key stays for the note clean-up
                }
                document.removeKey(NotesSection, *oldKey, Qt::CaseSensitive);
                moved.append({oldCaption, newCaption});
            }
            return !moved.isEmpty();
        });
    } catch (const platform::UserError&) {
        return; // a notes file that cannot be written keeps its keys
    }
    const Documents& documents = session.documents();
    for (const auto& [from, to] : std::as_const(moved)) {
        if (documents.HasDocument(from) && !documents.HasDocument(to))
            documents.RenameDocument(from, to);
    }
    if (!moved.isEmpty())
        m_notesChanged = true;
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
    if (m_vanished) {
        stop();
        Q_EMIT folderVanished();
        return;
    }
    const Session& session = m_workspace.session();
    const platform::FileSystem& fs = session.fs();
    FileListModel& list = m_workspace.fileList();
    if (session.writable() && !m_renames.isEmpty())
        renameNotes();
    if (m_notesChanged)
        m_notes.reset();

    QSet<QString> names = std::exchange(m_names, {});
    const bool everything = std::exchange(m_everything, false);
    const bool notesChanged = std::exchange(m_notesChanged, false);
    m_renames.clear();
    m_movedAway.clear();
    if (everything) {
        for (const platform::DirEntry& entry :
             fs.list(m_dir, nullptr, platform::StoredFlags::Later))
            names.insert(entry.name);
        const FileRows& rows = list.fileRows();
        for (size_t i = 0; i < rows.size(); ++i)
            names.insert(rows.name(i));
    }

    // What the disk holds now for every name the burst touched.
    const platform::OpenFolder folder(m_dir);
    const auto isOtherFile = [&](const QString& key) { return fs.exists(m_dir + key); };
    // Only names that may have a row need the pass over the rows.
    if (!m_namesKnown) {
        m_shownNames.clear();
        const FileRows& rows = list.fileRows();
        m_shownNames.reserve(qsizetype(rows.size()));
        for (size_t i = 0; i < rows.size(); ++i)
            m_shownNames.insert(rows.name(i));
        m_namesKnown = true;
    }
    QSet<QString> mayHaveRows;
    for (const QString& name : std::as_const(names)) {
        if (m_shownNames.contains(name))
            mayHaveRows.insert(name);
    }
    const QHash<QString, int> rowOf = rowsOf(mayHaveRows);
    std::vector<int> gone;
    std::vector<std::pair<int, FileRow>> changed;
    std::vector<FileRow> added;
    const QByteArray dirNative = platform::nativePath(m_dir);
    QByteArray path = dirNative;
    QList<std::pair<QString, QString>> comments;
    for (const QString& name : std::as_const(names)) {
        const QByteArray native = platform::nativePath(name);
        platform::OpenFolder::Details details;
        const bool listed = isListedEntry(name) && folder.details(native.constData(), &details) &&
                            !details.isFolder;
        const int row = rowOf.value(name, -1);
        if (!listed) {
            if (row >= 0)
                gone.push_back(row);
            continue;
        }
        FileRow fresh;
        fresh.name = name;
        fresh.caption = CaptionInFolder(fs, m_dir, name);
        fresh.folder = m_dir;
        fresh.size = details.size;
        fresh.modifiedMs = details.modifiedSeconds * 1000;
        if (!details.ownerWrite)
            fresh.attributes |= platform::ReadOnly;
        if (name.startsWith(u'.'))
            fresh.attributes |= platform::Hidden;
        fresh.storedAttributesLater = !details.isLink;
        fresh.textsLater = true;
        fresh.note = notes().note(fresh.caption, isOtherFile);
        if (fresh.note.isEmpty()) {
            // A file without a note key that carries a comment shows it (see ListedComments).
            path.truncate(dirNative.size());
            path.append(native);
            QString comment = NoteMirror::commentAt(path);
            if (!comment.isEmpty() && !notes().has(fresh.caption, isOtherFile)) {
                fresh.note = comment;
                comments.append({fresh.caption, std::move(comment)});
            }
        }
        if (row < 0)
            added.push_back(std::move(fresh));
        else if (!sameFile(list.listedRows()[size_t(row)], fresh))
            changed.emplace_back(row, std::move(fresh));
    }
    if (session.writable())
        KeepListedComments(session.notesFile(), comments);
    std::vector<std::pair<int, QString>> notesChangedRows;
    if (notesChanged) {
        const FileRows& rows = list.fileRows();
        for (size_t i = 0; i < rows.size(); ++i) {
            if (names.contains(rows.name(i)))
                continue;
            const QString note = notes().note(rows.caption(i), isOtherFile);
            if (rows.noteView(i) != note)
                notesChangedRows.emplace_back(int(i), note);
        }
    }
    if (gone.empty() && changed.empty() && added.empty() && notesChangedRows.empty())
        return;

    // A note being typed stays; the editor follows the rows only when it held the note shown.
    const int first = Workspace::firstSelectedRow(m_workspace.fileSelection());
    const bool typing = first >= 0 && first < list.count()
                            ? m_workspace.topEditText() != list.fileRows().note(size_t(first))
                            : false;
    m_files.setQuiet(true);
    for (auto& [row, fresh] : changed)
        list.setRow(row, std::move(fresh));
    for (const auto& [row, note] : notesChangedRows)
        list.setNote(row, note);
    if (!gone.empty()) {
        std::sort(gone.begin(), gone.end());
        gone.erase(std::unique(gone.begin(), gone.end()), gone.end());
        list.removeRowsAt(gone);
    }
    if (!added.empty()) {
        // New rows come at the end in the list's name order, as a command's new rows do.
        std::vector<std::pair<QByteArray, size_t>> keys;
        keys.reserve(added.size());
        for (size_t i = 0; i < added.size(); ++i)
            keys.emplace_back(textSortKey(added[i].caption), i);
        std::sort(keys.begin(), keys.end());
        std::vector<FileRow> ordered;
        ordered.reserve(added.size());
        for (const auto& key : keys)
            ordered.push_back(std::move(added[key.second]));
        list.appendRows(std::move(ordered));
    }
    m_files.setQuiet(false);
    if (!typing)
        m_files.filelistChange();
    m_workspace.status().setText(1, texts::fileCount(list.count()));
    Q_EMIT applied();
}

} // namespace core
