#include "notes/OriginRecords.h"

#include "platform/FileNames.h"

namespace notes {

QString originKey(const QString& name)
{
    return QString::fromLatin1(platform::nativePath(name).toPercentEncoding());
}

std::optional<QString> originValue(const QByteArray& origin)
{
    const QByteArray encoded = origin.toPercentEncoding("/");
    if (origin.isEmpty() || encoded.size() > platform::IniDocument::kMaxValueBytes)
        return std::nullopt;
    return QString::fromLatin1(encoded);
}

std::optional<QByteArray> originIn(const platform::IniDocument& document, const QString& name)
{
    const std::optional<QString> value =
        document.value(OriginsSection, originKey(name), Qt::CaseSensitive);
    if (!value || value->isEmpty())
        return std::nullopt;
    return QByteArray::fromPercentEncoding(value->toLatin1());
}

} // namespace notes
