#pragma once
// The desktop's colour scheme as the freedesktop settings portal tells it
// (org.freedesktop.appearance color-scheme: 0 no preference, 1 prefer dark, 2 prefer light),
// read at start and followed when the desktop changes it. Qt 6.4 has no call for it.

#include <QDBusConnection>
#include <QObject>

class QDBusMessage;
class QDBusVariant;

namespace ui {

class PortalColorScheme : public QObject
{
    Q_OBJECT
public:
    enum Value
    {
        NoPreference = 0,
        PreferDark = 1,
        PreferLight = 2
    };

    // Reads the setting over `bus` (a desktop without the portal has no preference).
    explicit PortalColorScheme(const QDBusConnection& bus, QObject* parent = nullptr);

    int value() const { return m_value; }

Q_SIGNALS:
    void valueChanged(int value);

private Q_SLOTS:
    void settingChanged(const QString& group, const QString& key, const QDBusVariant& value);

private:
    void read();
    // Asks the portal with ReadOne, or with the older Read.
    void ask(const char* method);
    void answered(const QDBusMessage& reply, bool readOne);
    void take(const QVariant& value);

    QDBusConnection m_bus;
    int m_value = NoPreference;
};

} // namespace ui
