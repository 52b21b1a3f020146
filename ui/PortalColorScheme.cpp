#include "ui/PortalColorScheme.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusVariant>

namespace ui {

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString kGroup = QStringLiteral("org.freedesktop.appearance");
const QString kKey = QStringLiteral("color-scheme");
constexpr int kTimeout = 1000; // ms: a portal that does not answer leaves the light scheme

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
    // ReadOne where the portal has it, else the older Read.
    for (const char* method : {"ReadOne", "Read"}) {
        QDBusMessage call =
            QDBusMessage::createMethodCall(kService, kPath, kInterface, QLatin1String(method));
        call << kGroup << kKey;
        const QDBusMessage reply = m_bus.call(call, QDBus::Block, kTimeout);
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
            take(reply.arguments().constFirst());
            return;
        }
        if (reply.errorName() != QLatin1String("org.freedesktop.DBus.Error.UnknownMethod"))
            return;
    }
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
