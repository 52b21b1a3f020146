// Starts the program: the library paths, the configuration file, the splash screen, the main
// window, then the message loop until the main window closes.
#include "core/ConfigFile.h"
#include "core/LibraryLayout.h"
#include "core/Session.h"
#include "platform/DriveInfo.h"
#include "ui/Application.h"
#include "search/SearchCommands.h"
#include "ui/MainWindow.h"
#include "ui/SplashScreen.h"

#include <QElapsedTimer>
#include <QThread>

#include <cstdio>

int main(int argc, char** argv)
{
    if (!ui::Application::hasDisplay()) {
        std::fputs("quillet: no graphical session (DISPLAY or WAYLAND_DISPLAY is not set); "
                   "start it from a desktop session.\n",
                   stderr);
        return 1;
    }
    ui::Application app(argc, argv);

    const core::LibraryLayout layout = core::LibraryLayout::forApplication();
    core::ConfigFile config(layout.configPath());

    ui::SplashScreen splash;
    splash.showNow();
    QElapsedTimer shown;
    shown.start();

    const platform::SystemDriveOracle drives;
    core::Session session(layout, config, platform::FileSystem::local(),
                          core::isLibraryWritable(drives, layout.programDir()));
    ui::MainWindow window(session);

    // The splash stays at least half a second, without taking input meanwhile.
    const qint64 left = 500 - shown.elapsed();
    if (left > 0)
        QThread::msleep(static_cast<unsigned long>(left));
    splash.close();
    window.show();
    // The search's index is read from its cache (or built) while the user looks around.
    window.searchCommands().warmUp();
    return app.exec();
}
