// Starts the program: the command line, the window system, one running copy per library, the
// library paths, the configuration file, the splash screen, the main window, then the message
// loop until the main window closes.
#include "core/ConfigFile.h"
#include "core/LibraryLayout.h"
#include "core/Session.h"
#include "platform/DriveInfo.h"
#include "platform/FileNames.h"
#include "platform/RunningCopy.h"
#include "ui/Application.h"
#include "search/SearchCommands.h"
#include "ui/CommandLine.h"
#include "ui/GraphicalSession.h"
#include "ui/MainWindow.h"
#include "ui/SplashScreen.h"

#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

QStringList pathsOf(const QList<QByteArray>& bytes)
{
    QStringList paths;
    for (const QByteArray& path : bytes)
        paths.append(platform::pathFromNative(path));
    return paths;
}

} // namespace

int main(int argc, char** argv)
{
    // --help and --version answer before anything else: no window, no file.
    if (const std::optional<int> answered = ui::commandline::answerAlone(argc, argv))
        return *answered;
    QString why;
    if (!ui::session::prepare(&why)) {
        std::fputs(why.toLocal8Bit().constData(), stderr);
        return 1;
    }
    std::unique_ptr<ui::Application> app;
    {
        const ui::session::StartGuard guard;
        app = std::make_unique<ui::Application>(argc, argv);
    }
    const std::optional<QList<QByteArray>> files = ui::commandline::files(argc, argv);
    if (!files)
        return 1;

    const core::LibraryLayout layout = core::LibraryLayout::forApplication();
    // A later start for this library and configuration file hands its files over and ends.
    platform::RunningCopy runningCopy(layout.programDir(), layout.configPath());
    if (runningCopy.start(*files) == platform::RunningCopy::Outcome::HandedOver) {
        if (!runningCopy.answered())
            std::fputs("quillet: the running copy is busy; it brings the files in when it is "
                       "free.\n",
                       stderr);
        return 0;
    }
    core::ConfigFile config(layout.configPath());

    ui::SplashScreen splash;
    splash.showNow();
    QElapsedTimer shown;
    shown.start();

    const platform::SystemDriveOracle drives;
    core::Session session(layout, config, platform::FileSystem::local(),
                          core::isLibraryWritable(drives, layout.programDir()));
    ui::MainWindow window(session);
    QObject::connect(&runningCopy, &platform::RunningCopy::handedOver, &window,
                     [&window](const QList<QByteArray>& paths) { window.bringIn(pathsOf(paths)); });

    // The splash stays at least half a second, drawn by the loop, without taking input.
    splash.stay(shown, 500);
    splash.close();
    window.show();
    // The search's index is read from its cache (or built) while the user looks around.
    window.searchCommands().warmUp();
    if (!files->isEmpty()) {
        QTimer::singleShot(0, &window,
                           [&window, paths = pathsOf(*files)] { window.bringIn(paths); });
    }
    return app->exec();
}
