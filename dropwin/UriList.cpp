#include "dropwin/UriList.h"

#include "platform/FileNames.h"

#include <QSysInfo>

#include <optional>

namespace dropwin {

namespace {

// The path part of a file address, still percent-encoded; empty when it is not a local file.
QByteArray localPart(QByteArray uri)
{
    if (!uri.left(5).toLower().startsWith("file:"))
        return {};
    uri.remove(0, 5);
    if (uri.startsWith("//")) {
        const qsizetype slash = uri.indexOf('/', 2);
        if (slash < 0)
            return {};
        const QByteArray host = uri.mid(2, slash - 2).toLower();
        if (!host.isEmpty() && host != "localhost" &&
            host != QSysInfo::machineHostName().toUtf8().toLower())
            return {};
        uri.remove(0, slash);
    }
    return uri.startsWith('/') ? uri : QByteArray();
}

// The bytes of a percent-encoded path; nothing when an escape is not two hexadecimal digits
// or stands for a NUL, which ends a path for every system call (it would then act on another
// file than the one named).
std::optional<QByteArray> decoded(const QByteArray& encoded)
{
    const auto hex = [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    };
    for (qsizetype i = encoded.indexOf('%'); i >= 0; i = encoded.indexOf('%', i + 1)) {
        if (i + 2 >= encoded.size() || !hex(encoded[i + 1]) || !hex(encoded[i + 2]))
            return std::nullopt;
    }
    QByteArray bytes = QByteArray::fromPercentEncoding(encoded);
    if (bytes.contains('\0'))
        return std::nullopt;
    return bytes;
}

QStringList readList(const QByteArray& list, bool keepUnreadable)
{
    QStringList paths;
    for (QByteArray line : list.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QByteArray local = localPart(line);
        if (local.isEmpty())
            continue;
        std::optional<QByteArray> path = decoded(local);
        if (!path) {
            if (keepUnreadable)
                paths.append(platform::pathFromNative(line));
            continue;
        }
        while (path->size() > 1 && path->endsWith('/'))
            path->chop(1);
        paths.append(platform::pathFromNative(*path));
    }
    return paths;
}

} // namespace

QStringList localPathsFromUriList(const QByteArray& list)
{
    return readList(list, false);
}

QStringList droppedItemsFromUriList(const QByteArray& list)
{
    return readList(list, true);
}

} // namespace dropwin
