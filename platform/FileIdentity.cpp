#include "platform/FileIdentity.h"

#include "platform/FileNames.h"

#include <QDir>

#include <sys/stat.h>

namespace platform {

std::optional<FileIdentity> identityOf(const QString& path, Links links)
{
    if (path.isEmpty())
        return std::nullopt;
    const QByteArray native = nativePath(path);
    struct stat st;
    const int result =
        links == Links::Follow ? ::stat(native.constData(), &st) : ::lstat(native.constData(), &st);
    if (result != 0)
        return std::nullopt;
    return FileIdentity{st.st_dev, st.st_ino, S_ISLNK(st.st_mode)};
}

bool isSameFile(const QString& a, const QString& b, Links links)
{
    const auto first = identityOf(a, links);
    if (!first)
        return false;
    const auto second = identityOf(b, links);
    return second && *first == *second;
}

bool isSameFolder(const QString& a, const QString& b)
{
    const auto first = identityOf(a, Links::Follow);
    const auto second = identityOf(b, Links::Follow);
    if (first && second)
        return *first == *second;
    if (first || second)
        return false;
    const auto cleaned = [](const QString& path) {
        return QDir::cleanPath(QDir(path).absolutePath());
    };
    return cleaned(a) == cleaned(b);
}

bool isAlreadyAt(const QString& source, const QString& target)
{
    const auto from = identityOf(source);
    const auto to = identityOf(target);
    if (!from || !to)
        return false;
    if (*from == *to)
        return true;
    if (!from->isLink)
        return false;
    const auto leadsTo = identityOf(source, Links::Follow);
    const auto targetLeadsTo = identityOf(target, Links::Follow);
    return leadsTo && ((targetLeadsTo && *leadsTo == *targetLeadsTo) || *leadsTo == *to);
}

} // namespace platform
