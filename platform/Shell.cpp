#include "platform/Shell.h"

#include "platform/FileNames.h"

namespace platform {

QString fileUrl(const QString& path)
{
    return QStringLiteral("file://") +
           QString::fromLatin1(nativePath(path).toPercentEncoding(QByteArrayLiteral("/")));
}

} // namespace platform
