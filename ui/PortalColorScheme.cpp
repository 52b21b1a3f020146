#include "ui/PortalColorScheme.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QThread>

namespace ui {

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString kGroup = QStringLiteral("org.freedesktop.appearance");
const QString kKey = QStringLiteral("color-scheme");
// A portal that has not answered by then (one the bus is still starting) answers later.
constexpr qint64 kTimeout = 500; // ms

// A variant as the bus delivers it, unwrapped: the older Read call wraps the value twice.
QVariant unwrapped(QVariant value)
{
    for (int depth = 0; depth < 3; ++depth) {
        if (value.userType() == qMetaTypeId<QDBusVariant>())
            value = qvariant_cast<QDBusVariant>(value).variant();
        else if (value.userType() == qMetaTypeId<QDBusArgument>())
            value = qvariant_cast<QDBusArgument>(value).asVariant();
        else
            break;
    }
    return value;
}

} // namespace

PortalColorScheme::PortalColorScheme(const QDBusConnection& bus, QObject* parent)
    : QObject(parent), m_bus(bus)
{
    if (!m_bus.isConnected())
        return;
    // The bus finds the slot by its types' names, so the variant's type must be known first.
    qRegisterMetaType<QDBusVariant>();
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("SettingChanged"), this,
                  SLOT(settingChanged(QString, QString, QDBusVariant)));
    read();
}

void PortalColorScheme::read()
{
    ask("ReadOne");
}

void PortalColorScheme::ask(const char* method)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QLatin1String(method));
    call << kGroup << kKey;
    const QDBusPendingCall pending = m_bus.asyncCall(call);
    // The answer is waited for a moment without taking any input, so that the window opens
    // in its scheme; a later answer changes the colours when it comes.
    QElapsedTimer waited;
    waited.start();
    while (!pending.isFinished() && waited.elapsed() < kTimeout)
        QThread::msleep(2);
    const bool readOne = qstrcmp(method, "ReadOne") == 0;
    if (pending.isFinished()) {
        answered(pending.reply(), readOne);
        return;
    }
    auto* later = new QDBusPendingCallWatcher(pending, this);
    connect(later, &QDBusPendingCallWatcher::finished, this,
            [this, readOne](QDBusPendingCallWatcher* answer) {
                answered(answer->reply(), readOne);
                answer->deleteLater();
            });
}

void PortalColorScheme::answered(const QDBusMessage& reply, bool readOne)
{
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
        take(reply.arguments().constFirst());
    else if (readOne &&
             reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod"))
        ask("Read"); // a portal of before ReadOne
}

void PortalColorScheme::take(const QVariant& value)
{
    bool ok = false;
    const uint read = unwrapped(value).toUInt(&ok);
    const int now = ok && read <= PreferLight ? int(read) : NoPreference;
    if (now == m_value)
        return;
    m_value = now;
    Q_EMIT valueChanged(m_value);
}

void PortalColorScheme::settingChanged(const QString& group, const QString& key,
                                       const QDBusVariant& value)
{
    if (group == kGroup && key == kKey)
        take(value.variant());
}

} // namespace ui
