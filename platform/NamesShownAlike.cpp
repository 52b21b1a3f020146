#include "platform/NamesShownAlike.h"

#include "platform/FileNames.h"

#include <dirent.h>
#include <sys/stat.h>

namespace platform {

namespace {

// Bytes that may show as another name: not UTF-8, or a leading EF BB BF.
bool mayShowOtherwise(QByteArrayView name)
{
    return !name.isValidUtf8() || name.startsWith("\xEF\xBB\xBF");
}

bool isThere(const QString& path)
{
    struct stat st;
    return ::lstat(nativePath(path).constData(), &st) == 0;
}

} // namespace

void NamesShownAlike::read()
{
    m_read = true;
    DIR* dir = ::opendir(nativePath(m_folder).constData());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArrayView bytes(entry->d_name);
        if (mayShowOtherwise(bytes))
            arrived(pathFromNative(bytes));
    }
    ::closedir(dir);
}

void NamesShownAlike::arrived(const QString& name)
{
    const QString shown = shownName(name);
    if (shown == name)
        return;
    QStringList& names = m_unlike[shown];
    if (!names.contains(name))
        names.append(name);
}

QString NamesShownAlike::otherShowingAs(const QString& name)
{
    const QString shown = shownName(name);
    if (shown != name && isThere(m_folder + shown))
        return shown;
    if (!m_read)
        read();
    for (const QString& other : m_unlike.value(shown)) {
        if (other != name && isThere(m_folder + other))
            return other;
    }
    return {};
}

} // namespace platform
