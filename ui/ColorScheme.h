#pragma once
// The program's colour scheme: light or dark, as the option "界面颜色" chooses (0 follow the
// desktop, 1 light, 2 dark) and, when it follows, as the desktop prefers. It sets the
// application's palette and says when the scheme changes, so that views with colours of
// their own can follow.

#include <QDBusConnection>
#include <QObject>
#include <QPalette>

namespace ui {

class PortalColorScheme;

class ColorScheme : public QObject
{
    Q_OBJECT
public:
    enum Choice
    {
        FollowDesktop = 0,
        Light = 1,
        Dark = 2
    };

    // Follows the desktop's setting as read over `bus`.
    explicit ColorScheme(const QDBusConnection& bus, QObject* parent = nullptr);
    ~ColorScheme() override;

    // Reads the desktop's setting over another bus from now on.
    void useBus(const QDBusConnection& bus);
    void setChoice(int choice);
    int choice() const { return m_choice; }
    bool dark() const { return m_dark; }

    // The palettes of the two schemes.
    QPalette lightPalette() const { return m_light; }
    static QPalette darkPalette();
    // Whether the application's palette now is a dark one.
    static bool paletteIsDark();

Q_SIGNALS:
    void changed(bool dark);

private:
    void apply();

    PortalColorScheme* m_desktop = nullptr;
    QPalette m_light;
    int m_choice = FollowDesktop;
    bool m_dark = false;
};

} // namespace ui
