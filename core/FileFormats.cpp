#include "core/FileFormats.h"

#include <QLocale>

namespace core {

namespace {

// The locale's long time format without its time-zone field.
QString longTimeFormat(const QLocale& locale)
{
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(u't');
    return format.trimmed();
}

struct DateFormats
{
    QLocale locale = QLocale::system();
    QString date = locale.dateFormat(QLocale::ShortFormat);
    QString time = longTimeFormat(locale);
};

const DateFormats& dateFormats()
{
    static const DateFormats formats;
    return formats;
}

} // namespace

QString KilobyteNumber(qint64 size)
{
    QString text = QString::number(double(size) / 1024.0, 'f', 2);
    const QString point = QLocale::system().decimalPoint();
    if (point != QLatin1String("."))
        text.replace(u'.', point);
    return text;
}

QString SizeText(qint64 size)
{
    return KilobyteNumber(size) + QStringLiteral("KB");
}

QString ImportSizeText(qint64 size)
{
    if (size < 0)
        return QStringLiteral("未知");
    return KilobyteNumber(size) + QStringLiteral(" K");
}

QString SizeTextLong(qint64 size)
{
    QString digits = QString::number(size < 0 ? -size : size);
    QString separator = QLocale::system().groupSeparator();
    if (separator.isEmpty())
        separator = QStringLiteral(",");
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, separator);
    if (size < 0)
        digits.prepend(u'-');
    return SizeText(size) + QStringLiteral(" (") + digits + QStringLiteral(" 字节)");
}

QString DateText(const QDateTime& time)
{
    if (!time.isValid())
        return {};
    const DateFormats& f = dateFormats();
    const QString date = f.locale.toString(time.date(), f.date);
    if (time.time() == QTime(0, 0))
        return date;
    return date + u' ' + f.locale.toString(time.time(), f.time);
}

QString AttrText(platform::Attributes attributes)
{
    QString text;
    if (attributes & platform::ReadOnly)
        text += u'R';
    if (attributes & platform::Archive)
        text += u'A';
    if (attributes & platform::System)
        text += u'S';
    if (attributes & platform::Hidden)
        text += u'H';
    return text;
}

} // namespace core
