#pragma once
// How a file's size, time and attributes are written in the lists.

#include "platform/FileAttributes.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <memory>

namespace core {

// The size in KB with two decimals and the locale's decimal separator: 1536 bytes "1.50KB".
QString SizeText(qint64 size);
// The size as the import commands write it: "2.00 K"; "未知" for a size below zero.
QString ImportSizeText(qint64 size);
// "12.35KB (12,646 字节)".
QString SizeTextLong(qint64 size);
// The size in KB with two decimals and no unit: "2.00".
QString KilobyteNumber(qint64 size);

// The system's short date, a blank and its long time (without a time-zone field); the time
// is left out when it is exactly midnight.
QString DateText(const QDateTime& time);
// DateText of a file's date given as its time in seconds (as platform::fileDate reads it),
// written without making a date-time.
QString FileDateText(qint64 secondsSinceEpoch);

// DateText in a given locale. The locale's formats are read once into their fields, so that
// many thousand dates are not each formatted through the locale.
class DateFormatter
{
public:
    explicit DateFormatter(const QLocale& locale);
    ~DateFormatter();
    QString text(const QDateTime& time) const;
    QString text(QDate date, QTime time) const;

private:
    struct Formats;
    std::unique_ptr<Formats> m_formats;
};

// "R", "A", "S", "H" in this order for the attributes that are set.
QString AttrText(platform::Attributes attributes);

} // namespace core
