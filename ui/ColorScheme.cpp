#include "ui/ColorScheme.h"

#include "ui/PortalColorScheme.h"

#include <QApplication>
#include <QStyle>
#include <QToolTip>

namespace ui {

namespace {

bool isDark(const QPalette& palette)
{
    return palette.color(QPalette::Base).lightness() < 128;
}

} // namespace

ColorScheme::ColorScheme(const QDBusConnection& bus, QObject* parent)
    : QObject(parent), m_light(QApplication::palette())
{
    // The light scheme is the desktop's palette, or the style's where that one is dark.
    if (isDark(m_light))
        m_light = QApplication::style()->standardPalette();
    useBus(bus);
}

ColorScheme::~ColorScheme()
{
    // The application outlives the window (tests open many).
    if (m_dark) {
        QApplication::setPalette(m_light);
        QToolTip::setPalette(m_light);
    }
}

void ColorScheme::useBus(const QDBusConnection& bus)
{
    delete m_desktop;
    m_desktop = new PortalColorScheme(bus, this);
    connect(m_desktop, &PortalColorScheme::valueChanged, this, &ColorScheme::apply);
    apply();
}

void ColorScheme::setChoice(int choice)
{
    m_choice = choice == Light || choice == Dark ? choice : FollowDesktop;
    apply();
}

void ColorScheme::apply()
{
    const bool dark = m_choice == Dark || (m_choice == FollowDesktop &&
                                           m_desktop->value() == PortalColorScheme::PreferDark);
    const QPalette palette = dark ? darkPalette() : m_light;
    const bool changedNow = dark != m_dark || isDark(QApplication::palette()) != dark;
    m_dark = dark;
    if (!changedNow)
        return;
    QApplication::setPalette(palette);
    QToolTip::setPalette(palette);
    Q_EMIT changed(m_dark);
}

QPalette ColorScheme::darkPalette()
{
    const QColor window(0x35, 0x37, 0x3a);
    const QColor base(0x26, 0x28, 0x2b);
    const QColor text(0xe4, 0xe6, 0xe9);
    const QColor faint(0x80, 0x84, 0x8a);
    QPalette p;
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, faint);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, window);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, QColor(0xff, 0x6b, 0x6b));
    p.setColor(QPalette::Light, window.lighter(150));
    p.setColor(QPalette::Midlight, window.lighter(125));
    p.setColor(QPalette::Mid, window.darker(125));
    p.setColor(QPalette::Dark, window.darker(160));
    p.setColor(QPalette::Shadow, QColor(0x10, 0x10, 0x10));
    p.setColor(QPalette::Highlight, QColor(0x2f, 0x7f, 0xd0));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, QColor(0x6f, 0xb0, 0xff));
    p.setColor(QPalette::LinkVisited, QColor(0xb0, 0x8c, 0xff));
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, faint);
    p.setColor(QPalette::Disabled, QPalette::Highlight, window.lighter(130));
    p.setColor(QPalette::Disabled, QPalette::HighlightedText, faint);
    return p;
}

bool ColorScheme::paletteIsDark()
{
    return isDark(QApplication::palette());
}

} // namespace ui
