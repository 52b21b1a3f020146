#include "notes/FolderStamp.h"

#include "notes/NotesFile.h"
#include "platform/ExtendedAttributes.h"
#include "platform/FileNames.h"

#include <ctime>
#include <sys/stat.h>

namespace notes {

namespace {

constexpr time_t kSettleSeconds = 2;

QByteArray timeOf(const struct timespec& t)
{
    return QByteArray::number(qint64(t.tv_sec)) + '.' + QByteArray::number(qint64(t.tv_nsec));
}

} // namespace

QByteArray FolderStamp::of(const QString& dir)
{
    const QByteArray folder = platform::nativePath(dir);
    struct stat st;
    if (::stat(folder.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return {};
    QByteArray stamp = "s1:" + timeOf(st.st_mtim);
    struct stat notes;
    if (::lstat((folder + platform::nativePath(NotesFileName)).constData(), &notes) == 0)
        stamp += ':' + QByteArray::number(quint64(notes.st_ino)) + ':' +
                 QByteArray::number(qint64(notes.st_size)) + ':' + timeOf(notes.st_mtim) + ':' +
                 timeOf(notes.st_ctim);
    return stamp;
}

bool FolderStamp::holds(const QString& dir)
{
    const std::optional<QByteArray> kept =
        platform::readAttributeAt(platform::nativePath(dir), Attribute);
    return kept && !kept->isEmpty() && *kept == of(dir);
}

void FolderStamp::stamp(const QString& dir)
{
    const QByteArray folder = platform::nativePath(dir);
    struct stat st;
    if (::stat(folder.constData(), &st) != 0 ||
        std::time(nullptr) - st.st_mtim.tv_sec < kSettleSeconds)
        return;
    const QByteArray now = of(dir);
    // The notes file too: one written a moment ago may still change within the tick.
    struct stat notes;
    if (::lstat((folder + platform::nativePath(NotesFileName)).constData(), &notes) == 0 &&
        std::time(nullptr) - notes.st_mtim.tv_sec < kSettleSeconds)
        return;
    if (!now.isEmpty())
        platform::writeAttributeAt(folder, Attribute, now);
}

} // namespace notes
