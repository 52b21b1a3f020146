#include "core/FileFormats.h"

#include "platform/FileSystem.h"

#include <QLocale>
#include <QStringList>
#include <QVarLengthArray>

#include <array>

namespace core {

namespace {

// The locale's long time format without its time-zone field.
QString longTimeFormat(const QLocale& locale)
{
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(u't');
    return format.trimmed();
}

// A date or time format of the locale, read once into its fields, so that a list of many
// thousand files is not formatted through the locale field by field. Formats with names of
// days or months (or anything else unusual) are left to the locale.
class Pattern
{
public:
    Pattern(const QLocale& locale, const QString& format) : m_locale(locale), m_format(format)
    {
        // Locales with digits of their own are left to the locale.
        m_fast = locale.zeroDigit() == QLatin1String("0") && parse(format);
        for (int i = 0; i < 12; ++i) {
            if (i < 7) {
                m_names[0].append(locale.dayName(i + 1, QLocale::ShortFormat));
                m_names[1].append(locale.dayName(i + 1, QLocale::LongFormat));
            }
            m_names[2].append(locale.monthName(i + 1, QLocale::ShortFormat));
            m_names[3].append(locale.monthName(i + 1, QLocale::LongFormat));
        }
    }

    QString date(QDate date) const
    {
        return m_fast ? build(date, {}) : m_locale.toString(date, m_format);
    }
    QString time(QTime time) const
    {
        return m_fast ? build({}, time) : m_locale.toString(time, m_format);
    }

private:
    enum class Field {
        Literal, Day, DayName, Month, MonthName, Year2, Year4, Hour12, Hour24, Minute, Second,
        AmPm, ampm
    };
    struct Token
    {
        Field field;
        int width = 1; // 2: with a leading zero
        QString literal;
    };

    bool parse(const QString& f)
    {
        const bool twelveHours = f.contains(u'a') || f.contains(u'A');
        for (qsizetype i = 0; i < f.size();) {
            const QChar c = f[i];
            qsizetype run = 1;
            while (i + run < f.size() && f[i + run] == c)
                ++run;
            const auto field = [&](Field what, int maxRun) {
                if (run > maxRun)
                    return false;
                m_tokens.push_back({what, int(run), {}});
                return true;
            };
            bool ok = true;
            switch (c.unicode()) {
            case u'd':
                ok = run <= 2 ? field(Field::Day, 2) : field(Field::DayName, 4);
                break;
            case u'M':
                ok = run <= 2 ? field(Field::Month, 2) : field(Field::MonthName, 4);
                break;
            case u'y':
                ok = run == 2 || run == 4;
                if (ok)
                    m_tokens.push_back({run == 2 ? Field::Year2 : Field::Year4, 1, {}});
                break;
            case u'h':
                ok = field(twelveHours ? Field::Hour12 : Field::Hour24, 2);
                break;
            case u'H':
                ok = field(Field::Hour24, 2);
                break;
            case u'm':
                ok = field(Field::Minute, 2);
                break;
            case u's':
                ok = field(Field::Second, 2);
                break;
            case u'A':
            case u'a':
                m_tokens.push_back({c == u'A' ? Field::AmPm : Field::ampm, 1, {}});
                run = (i + 1 < f.size() && (f[i + 1] == u'P' || f[i + 1] == u'p')) ? 2 : 1;
                break;
            case u'\'': {
                const qsizetype close = f.indexOf(u'\'', i + 1);
                if (close < 0)
                    return false;
                m_tokens.push_back({Field::Literal, 1,
                                    close == i + 1 ? QStringLiteral("'") : f.mid(i + 1, close - i - 1)});
                run = close - i + 1;
                break;
            }
            default:
                if (c.isLetter())
                    return false;
                m_tokens.push_back({Field::Literal, 1, f.mid(i, run)});
                break;
            }
            if (!ok)
                return false;
            i += run;
        }
        return true;
    }

    QString build(QDate date, QTime time) const
    {
        // Written into one buffer: a list of many thousand files makes no small strings.
        QVarLengthArray<char16_t, 64> out;
        const auto text = [&](QStringView s) {
            for (const QChar c : s)
                out.append(c.unicode());
        };
        const auto number = [&](int value, int width) {
            char16_t digits[12];
            int count = 0;
            unsigned rest = unsigned(value < 0 ? -value : value);
            do {
                digits[count++] = char16_t(u'0' + rest % 10);
                rest /= 10;
            } while (rest != 0);
            if (value < 0)
                out.append(u'-');
            for (int pad = count; pad < width; ++pad)
                out.append(u'0');
            while (count > 0)
                out.append(digits[--count]);
        };
        for (const Token& t : m_tokens) {
            switch (t.field) {
            case Field::Literal:
                text(t.literal);
                break;
            case Field::Day:
                number(date.day(), t.width);
                break;
            case Field::DayName:
                text(m_names[t.width == 3 ? 0 : 1][date.dayOfWeek() - 1]);
                break;
            case Field::Month:
                number(date.month(), t.width);
                break;
            case Field::MonthName:
                text(m_names[t.width == 3 ? 2 : 3][date.month() - 1]);
                break;
            case Field::Year2:
                number(date.year() % 100, 2);
                break;
            case Field::Year4:
                number(date.year(), 4);
                break;
            case Field::Hour12:
                number(time.hour() % 12 == 0 ? 12 : time.hour() % 12, t.width);
                break;
            case Field::Hour24:
                number(time.hour(), t.width);
                break;
            case Field::Minute:
                number(time.minute(), t.width);
                break;
            case Field::Second:
                number(time.second(), t.width);
                break;
            case Field::AmPm:
                text(time.hour() < 12 ? m_am.toUpper() : m_pm.toUpper());
                break;
            case Field::ampm:
                text(time.hour() < 12 ? m_am.toLower() : m_pm.toLower());
                break;
            }
        }
        return QString(reinterpret_cast<const QChar*>(out.constData()), out.size());
    }

    QLocale m_locale;
    QString m_format;
    std::vector<Token> m_tokens;
    // Short and long day names, short and long month names.
    std::array<QStringList, 4> m_names;
    QString m_am = m_locale.amText();
    QString m_pm = m_locale.pmText();
    bool m_fast = false;
};

} // namespace

struct DateFormatter::Formats
{
    Pattern date;
    Pattern time;
};

DateFormatter::DateFormatter(const QLocale& locale)
    : m_formats(std::make_unique<Formats>(Formats{{locale, locale.dateFormat(QLocale::ShortFormat)},
                                                  {locale, longTimeFormat(locale)}}))
{
}

DateFormatter::~DateFormatter() = default;

QString DateFormatter::text(const QDateTime& time) const
{
    if (!time.isValid())
        return {};
    return text(time.date(), time.time());
}

QString DateFormatter::text(QDate date, QTime time) const
{
    const QString day = m_formats->date.date(date);
    if (time == QTime(0, 0))
        return day;
    return day + u' ' + m_formats->time.time(time);
}

namespace {

struct SystemFormats
{
    DateFormatter dates{QLocale::system()};
    QString decimalPoint = QLocale::system().decimalPoint();
};

const SystemFormats& systemFormats()
{
    static const SystemFormats formats;
    return formats;
}

} // namespace

QString KilobyteNumber(qint64 size)
{
    // Hundredths of a kilobyte in whole numbers, halves rounded up as the double formatting
    // rounds them; a list of many thousand files then makes no floating-point text.
    if (size >= 0 && size < (qint64(1) << 53)) {
        const qint64 hundredths = (size * 100 + 512) / 1024;
        QString text = QString::number(hundredths / 100);
        const int rest = int(hundredths % 100);
        text += systemFormats().decimalPoint;
        text += QChar(u'0' + rest / 10);
        text += QChar(u'0' + rest % 10);
        return text;
    }
    QString text = QString::number(double(size) / 1024.0, 'f', 2);
    const QString& point = systemFormats().decimalPoint;
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
    return systemFormats().dates.text(time);
}

QString FileDateText(qint64 secondsSinceEpoch)
{
    // The file date's two-second resolution and its local offset, as platform::fileDate.
    const qint64 even = secondsSinceEpoch - ((secondsSinceEpoch % 2) + 2) % 2;
    const qint64 local = even + platform::localOffsetAt(even);
    constexpr qint64 kDay = 86400;
    const qint64 days = local >= 0 ? local / kDay : (local - kDay + 1) / kDay;
    const QDate date = QDate::fromJulianDay(days + 2440588); // the epoch's Julian day
    if (!date.isValid())
        return DateText(platform::fileDate(secondsSinceEpoch));
    const QTime time = QTime::fromMSecsSinceStartOfDay(int(local - days * kDay) * 1000);
    return systemFormats().dates.text(date, time);
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
