#include "ui/GraphicalSession.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

namespace ui::session {

namespace {

QtMessageHandler previousHandler = nullptr;
std::optional<bool> placesWindowsAnswer;

void guardHandler(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type != QtFatalMsg) {
        if (previousHandler)
            previousHandler(type, context, text);
        else
            std::fprintf(stderr, "%s\n", qPrintable(text));
        return;
    }
    std::fputs(cannotStartMessage().toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    std::_Exit(1);
}

} // namespace

bool prepare(QString* why)
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return true; // the user's choice
    const bool x = !qEnvironmentVariableIsEmpty("DISPLAY");
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (!x && !wayland) {
        if (why)
            *why = QStringLiteral("quillet: no graphical session (DISPLAY or WAYLAND_DISPLAY is "
                                  "not set); start it from a desktop session.\n");
        return false;
    }
    // X first where it is there; Wayland where X cannot start or is not there.
    qputenv("QT_QPA_PLATFORM", x ? (wayland ? "xcb;wayland" : "xcb") : "wayland");
    return true;
}

StartGuard::StartGuard()
{
    previousHandler = qInstallMessageHandler(guardHandler);
}

StartGuard::~StartGuard()
{
    qInstallMessageHandler(previousHandler);
    previousHandler = nullptr;
}

QString cannotStartMessage()
{
    const QString tried = qEnvironmentVariable("QT_QPA_PLATFORM");
    QString text = QStringLiteral("quillet: cannot open a window: no window system could start");
    if (!tried.isEmpty())
        text += QStringLiteral(" (tried: %1)").arg(QString(tried).replace(u';', u','));
    text += QStringLiteral(".\nOn a Wayland desktop install the package qt6-wayland "
                           "(scripts/run.sh installs it) or start the program where X "
                           "(XWayland, DISPLAY) is available.\n");
    return text;
}

bool placesWindows()
{
    if (placesWindowsAnswer)
        return *placesWindowsAnswer;
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace ui::session

namespace ui::session {

void setPlacesWindows(std::optional<bool> places)
{
    placesWindowsAnswer = places;
}

} // namespace ui::session
