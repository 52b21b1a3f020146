#include "core/FolderPoll.h"

#include "notes/NotesFile.h"
#include "platform/DriveInfo.h"
#include "platform/FileNames.h"

#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace core {

// What a look's thread shares with the poll, which may be gone when the look ends.
struct FolderPoll::Shared
{
    std::mutex mutex;
    FolderPoll* owner = nullptr;
};

namespace {

void append(QByteArray& state, const struct stat& st)
{
    const qint64 fields[] = {qint64(st.st_dev),          qint64(st.st_ino),
                             qint64(st.st_size),         qint64(st.st_mtim.tv_sec),
                             qint64(st.st_mtim.tv_nsec), qint64(st.st_ctim.tv_sec),
                             qint64(st.st_ctim.tv_nsec)};
    state.append(reinterpret_cast<const char*>(fields), sizeof fields);
}

} // namespace

FolderPoll::FolderPoll(QObject* parent)
    : QObject(parent), m_shared(std::make_shared<Shared>()), m_rule(&FolderPoll::needsPolling),
      m_probe(&FolderPoll::lookAt)
{
    m_shared->owner = this;
    m_timer.setInterval(IntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &FolderPoll::look);
}

FolderPoll::~FolderPoll()
{
    // A look still waiting on a stalled mount finds nobody to tell.
    const std::lock_guard lock(m_shared->mutex);
    m_shared->owner = nullptr;
}

bool FolderPoll::needsPolling(const QString& folder)
{
    const platform::MountInfo mount = platform::SystemDriveOracle().mountOf(folder);
    return !mount.mountPoint.isEmpty() &&
           platform::SystemDriveOracle::changesNeedPolling(mount.fsType, mount.device);
}

FolderPoll::Look FolderPoll::lookAt(const QByteArray& folder)
{
    // Opening the folder and the notes file, rather than naming them, makes a network client
    // ask the server instead of answering from its cache where it can.
    Look look;
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) {
        look.gone = errno == ENOENT || errno == ENOTDIR;
        look.answered = look.gone;
        return look;
    }
    struct stat st;
    const bool statted = ::fstat(dir, &st) == 0;
    if (statted)
        append(look.state, st);
    const int notesFile =
        ::openat(dir, notes::NotesFileName.toUtf8().constData(), O_RDONLY | O_CLOEXEC);
    if (notesFile >= 0) {
        if (::fstat(notesFile, &st) == 0)
            append(look.state, st);
        ::close(notesFile);
    }
    ::close(dir);
    look.answered = statted;
    return look;
}

void FolderPoll::follow(const QString& folder)
{
    const bool poll = !folder.isEmpty() && m_rule && m_rule(folder);
    if (poll && folder == m_folder)
        return;
    ++m_generation;
    m_looking = false;
    m_known = m_settling = false;
    m_state.clear();
    m_timer.stop();
    m_folder = poll ? folder : QString();
    if (!poll)
        return;
    // The first look, at once, is what later looks compare with.
    look();
    m_timer.start();
}

void FolderPoll::look()
{
    if (m_looking || m_folder.isEmpty())
        return;
    m_looking = true;
    std::thread([shared = m_shared, probe = m_probe, folder = platform::nativePath(m_folder),
                 generation = m_generation] {
        const Look look = probe(folder);
        const std::lock_guard lock(shared->mutex);
        if (FolderPoll* owner = shared->owner) {
            QMetaObject::invokeMethod(
                owner, [owner, generation, look] { owner->seen(generation, look); },
                Qt::QueuedConnection);
        }
    }).detach();
}

void FolderPoll::seen(quint64 generation, const Look& look)
{
    if (generation != m_generation)
        return; // a look at a folder no longer followed
    m_looking = false;
    if (!look.answered)
        return; // the mount did not answer this time
    if (look.gone) {
        follow({});
        Q_EMIT vanished();
        return;
    }
    const bool differs = m_known && look.state != m_state;
    m_state = look.state;
    m_known = true;
    // A network or FUSE client may still answer from its cache what it held before the
    // change (a name just removed, say): the look after a change tells it once more.
    const bool again = std::exchange(m_settling, differs);
    if (differs || again)
        Q_EMIT changed();
}

} // namespace core
