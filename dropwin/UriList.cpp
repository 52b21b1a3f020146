#include "dropwin/UriList.h"

#include "platform/FileNames.h"

#include <QSysInfo>

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

} // namespace

QStringList localPathsFromUriList(const QByteArray& list)
{
    QStringList paths;
    for (QByteArray line : list.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        QByteArray path = QByteArray::fromPercentEncoding(localPart(line));
        while (path.size() > 1 && path.endsWith('/'))
            path.chop(1);
        // A NUL byte ends a path for every system call, which would then act on another file
        // than the one named: such an address names no file.
        if (!path.isEmpty() && !path.contains('\0'))
            paths.append(platform::pathFromNative(path));
    }
    return paths;
}

} // namespace dropwin
