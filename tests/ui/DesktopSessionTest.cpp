// How the program behaves on the desktop it runs on: the splash is drawn while the loop runs,
// the drop window on a window system that keeps nothing on top, and files a later start hands
// over.
#include "core/Texts.h"
#include "ui/DropWindow.h"
#include "ui/GraphicalSession.h"
#include "ui/SplashScreen.h"
#include "ui/StatusPanelsBar.h"
#include "ui/WindowFixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QTimer>

using testing_support::WindowFixture;

namespace {

class DesktopSessionTest : public WindowFixture
{
protected:
    QTemporaryDir outside;

    void TearDown() override
    {
        WindowFixture::TearDown();
        ui::session::setPlacesWindows(std::nullopt);
    }
    QString outsideFile(const QString& name)
    {
        const QString path = outside.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("content");
        return path;
    }
};

} // namespace

TEST(GraphicalSession, PrefersXWhereItIsThereAndLeavesTheUsersChoice)
{
    const QByteArray saved[] = {qgetenv("DISPLAY"), qgetenv("WAYLAND_DISPLAY"),
                                qgetenv("QT_QPA_PLATFORM")};
    const struct
    {
        const char* display;
        const char* wayland;
        const char* chosen; // before: the user's choice; after: the window system, or none
        const char* result;
    } cases[] = {
        {":0", "wayland-0", "", "xcb;wayland"}, // XWayland beside Wayland
        {":0", "", "", "xcb"},
        {"", "wayland-0", "", "wayland"},
        {"", "", "", nullptr},
        {"", "wayland-0", "offscreen", "offscreen"},
    };
    for (const auto& c : cases) {
        qputenv("DISPLAY", c.display);
        qputenv("WAYLAND_DISPLAY", c.wayland);
        qputenv("QT_QPA_PLATFORM", c.chosen);
        QString why;
        EXPECT_EQ(ui::session::prepare(&why), c.result != nullptr) << c.display << c.wayland;
        if (c.result)
            EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), c.result);
        else
            EXPECT_TRUE(why.contains(QStringLiteral("no graphical session")));
    }
    qputenv("DISPLAY", saved[0]);
    qputenv("WAYLAND_DISPLAY", saved[1]);
    qputenv("QT_QPA_PLATFORM", saved[2]);
}

TEST(SplashScreen, IsDrawnAndStaysItsTimeWhileTheLoopRuns)
{
    ui::SplashScreen splash;
    QElapsedTimer shown;
    shown.start();
    splash.showNow();
    EXPECT_TRUE(splash.painted()) << "drawn before start-up goes on";

    int ticks = 0;
    QTimer other;
    QObject::connect(&other, &QTimer::timeout, [&] { ++ticks; });
    other.start(10);
    splash.stay(shown, 150);
    EXPECT_GE(shown.elapsed(), 150);
    EXPECT_GT(ticks, 3) << "the loop ran while the splash stayed";
    splash.stay(shown, 100); // its time is over: no wait
    EXPECT_LT(shown.elapsed(), 400);
}

TEST_F(DesktopSessionTest, WithoutWindowsKeptOnTopTheDropWindowIsOrdinaryAndTheStatusBarSaysWhy)
{
    ui::session::setPlacesWindows(false);
    config = std::make_unique<core::ConfigFile>(configPath);
    config->writeInt("DragFormPos", "left", 300);
    config->writeInt("DragFormPos", "top", 200);
    config->writeBool("DragFormPos", "Visible", true);
    open();
    ui::DropWindow* drop = window->dropWindow();
    EXPECT_FALSE(drop->keptOnTop());
    EXPECT_FALSE(drop->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(drop->windowType(), Qt::Window) << "a task-bar entry to find it again";
    EXPECT_TRUE(drop->isVisible());

    // Shown at start, before the main window: said once the main window shows, in place of
    // the panels.
    ui::StatusPanelsBar* status = window->statusPanels();
    EXPECT_EQ(status->currentMessage(), core::texts::DropWindowNotOnTop);
    EXPECT_FALSE(status->panel(0)->isVisible());
    status->clearMessage();
    EXPECT_TRUE(status->panel(0)->isVisible());
    action("showdrogwinbtn")->trigger();
    action("showdrogwinbtn")->trigger();
    EXPECT_TRUE(drop->isVisible());
    EXPECT_TRUE(status->currentMessage().isEmpty()) << "said once";

    // The place the window system gave it is not stored over the one from a session on X.
    drop->move(10, 10);
    window->close();
    EXPECT_EQ(config->readInt("DragFormPos", "left", -1), 300);
    EXPECT_EQ(config->readInt("DragFormPos", "top", -1), 200);
    EXPECT_TRUE(config->readBool("DragFormPos", "Visible", false));
}

TEST_F(DesktopSessionTest, HandedOverFilesComeInAsADropOnceNothingIsUnderWay)
{
    library.makeFile(QStringLiteral("软件/old.zip"), "old");
    open();
    const QString first = outsideFile(QStringLiteral("新.zip"));

    // With the root selected the drop's refusal says to choose a category.
    window->bringIn({first});
    EXPECT_EQ(dialogs->last().caption, QStringLiteral("请你注意"));
    EXPECT_TRUE(QFile::exists(first));

    clickSystemNode(category({QStringLiteral("软件")}));
    dialogs->shown.clear();
    window->showMinimized();
    QApplication::setOverrideCursor(Qt::WaitCursor); // a command is under way
    window->bringIn({first});
    EXPECT_FALSE(window->isMinimized()) << "the window comes to the front at once";
    EXPECT_TRUE(QFile::exists(first)) << "the files wait for the command";
    QApplication::restoreOverrideCursor();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !QFile::exists(first); }));
    EXPECT_EQ(library.read(QStringLiteral("软件/新.zip")), "content") << "moved: the drop mode";
    EXPECT_EQ(listedNames(), QStringList({"old.zip", QStringLiteral("新.zip")}));

    // A same-named file gets the drop's question.
    const QString again = outsideFile(QStringLiteral("old.zip"));
    dialogs->answers.push_back(core::Answer::No);
    window->bringIn({again});
    EXPECT_EQ(dialogs->last().caption, QStringLiteral("old.zip 文件已存在"));
    EXPECT_EQ(library.read(QStringLiteral("软件/old.zip")), "old");
}
