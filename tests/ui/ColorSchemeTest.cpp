// The dark desktop: the colour scheme the desktop's settings portal prefers, read at start
// and followed when it changes, and the option "界面颜色" that overrides it. The portal is a
// fake one on a private session bus of the test's own.
#include "ui/ColorScheme.h"

#include "core/SystemOptions.h"
#include "ui/CategoryTreeView.h"
#include "ui/DocumentPage.h"
#include "ui/FileListView.h"
#include "ui/Icons.h"
#include "ui/NoteEdit.h"
#include "ui/TreePane.h"
#include "ui/WindowFixture.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QImage>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTableView>
#include <QTest>
#include <QThread>

#include <atomic>

using testing_support::WindowFixture;

namespace {

// The settings interface of the desktop portal, answering from a thread of its own while the
// program waits for it.
class FakePortal : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")
public:
    std::atomic<uint> scheme{1};
    std::atomic<bool> old{false}; // a portal of before ReadOne
    std::atomic<int> delay{0};    // ms before it answers (one the bus is still starting)

public Q_SLOTS:
    QDBusVariant ReadOne(const QString& group, const QString& key)
    {
        QThread::msleep(ulong(delay.load()));
        if (old) {
            sendErrorReply(QDBusError::UnknownMethod, QStringLiteral("no ReadOne"));
            return {};
        }
        return value(group, key);
    }
    QDBusVariant Read(const QString& group, const QString& key)
    {
        // The older call wraps the value in a second variant.
        return QDBusVariant(QVariant::fromValue(value(group, key)));
    }

private:
    QDBusVariant value(const QString& group, const QString& key)
    {
        if (group != QLatin1String("org.freedesktop.appearance") ||
            key != QLatin1String("color-scheme")) {
            sendErrorReply(QStringLiteral("org.freedesktop.portal.Error.NotFound"),
                           QStringLiteral("no such setting"));
            return {};
        }
        return QDBusVariant(QVariant(uint(scheme)));
    }
};

class ColorSchemeTest : public WindowFixture
{
protected:
    static inline QProcess* bus = nullptr;
    static inline QString address;

    static void SetUpTestSuite()
    {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        ASSERT_FALSE(daemon.isEmpty()) << "scripts/deps.sh installs dbus-daemon";
        bus = new QProcess;
        bus->start(daemon, {QStringLiteral("--session"), QStringLiteral("--print-address"),
                            QStringLiteral("--nofork"), QStringLiteral("--nopidfile")});
        ASSERT_TRUE(bus->waitForReadyRead(5000));
        address = QString::fromUtf8(bus->readLine()).trimmed();
    }
    static void TearDownTestSuite()
    {
        bus->kill();
        bus->waitForFinished();
        delete bus;
    }

    FakePortal* portal = nullptr;
    QThread portalThread;
    QString portalName = QStringLiteral("portal-%1").arg(quintptr(this));

    void SetUp() override
    {
        ASSERT_FALSE(address.isEmpty());
        library.makeFile(QStringLiteral("软件/a.txt"));
        portal = new FakePortal;
        portal->moveToThread(&portalThread);
        QObject::connect(&portalThread, &QThread::finished, portal, &QObject::deleteLater);
        portalThread.start();
        QDBusConnection connection = QDBusConnection::connectToBus(address, portalName);
        ASSERT_TRUE(connection.isConnected());
        ASSERT_TRUE(connection.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
        ASSERT_TRUE(connection.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"),
                                              portal, QDBusConnection::ExportAllSlots));
    }
    void TearDown() override
    {
        WindowFixture::TearDown();
        QDBusConnection::disconnectFromBus(portalName);
        QDBusConnection::disconnectFromBus(QStringLiteral("app"));
        portalThread.quit();
        portalThread.wait();
    }

    // The window, reading the desktop's setting over the private bus.
    void start()
    {
        open();
        window->colorScheme()->useBus(
            QDBusConnection::connectToBus(address, QStringLiteral("app")));
        clickSystemNode(category({QStringLiteral("软件")}));
    }
    // The desktop changes its scheme. The window's subscription reaches the bus a moment after
    // the window asks for it, so the change is told again until the window has followed it.
    void desktopChangesTo(uint scheme, bool dark)
    {
        for (int told = 0; told < 50 && window->colorScheme()->dark() != dark; ++told) {
            desktopChoosesScheme(scheme);
            QTest::qWait(20);
        }
    }
    void desktopChoosesScheme(uint scheme)
    {
        portal->scheme = scheme;
        QDBusMessage signal = QDBusMessage::createSignal(
            QStringLiteral("/org/freedesktop/portal/desktop"),
            QStringLiteral("org.freedesktop.portal.Settings"), QStringLiteral("SettingChanged"));
        signal << QStringLiteral("org.freedesktop.appearance") << QStringLiteral("color-scheme")
               << QVariant::fromValue(QDBusVariant(QVariant(scheme)));
        QDBusConnection(portalName).send(signal);
    }

    static bool darkBehind(const QWidget* widget)
    {
        return widget->palette().color(QPalette::Base).lightness() < 128 &&
               widget->palette().color(QPalette::Text).lightness() > 128;
    }
    // Whether the list, both trees, the note field and the document page are dark.
    QStringList darkViews()
    {
        QStringList dark;
        const std::pair<const char*, QWidget*> views[] = {
            {"list", window->fileView()->details()},
            {"tree", window->treePane()->systemTree()},
            {"external tree", window->treePane()->externalTree()},
            {"note field", window->topEdit()},
            {"document", window->documentPage()->editor()},
        };
        for (const auto& [name, widget] : views) {
            if (darkBehind(widget))
                dark.append(QLatin1String(name));
        }
        return dark;
    }
    const QStringList all = {"list", "tree", "external tree", "note field", "document"};

    void chooseInOptions(int choice)
    {
        dialogs->optionsScripts.push_back([choice](core::OptionsForm& form) {
            form.values.ColorScheme = choice;
            form.YesBtnClick(true);
        });
        action("sysconfig")->trigger();
    }
};

} // namespace

TEST_F(ColorSchemeTest, TheWindowFollowsTheDesktopsPreferenceAtStartAndWhenItChanges)
{
    for (const bool oldPortal : {false, true}) {
        SCOPED_TRACE(oldPortal ? "Read" : "ReadOne");
        portal->old = oldPortal;
        portal->scheme = 1; // prefer dark
        start();
        EXPECT_TRUE(window->colorScheme()->dark());
        EXPECT_EQ(darkViews(), all);

        desktopChangesTo(2, false); // prefer light
        EXPECT_EQ(darkViews(), QStringList());
        desktopChangesTo(1, true);
        EXPECT_EQ(darkViews(), all);
        window.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("app"));
    }
    EXPECT_FALSE(ui::ColorScheme::paletteIsDark()) << "the closed window leaves the palette";
}

TEST_F(ColorSchemeTest, APortalThatAnswersLateDarkensTheWindowWhenItAnswers)
{
    portal->delay = 600;
    start();
    EXPECT_FALSE(window->colorScheme()->dark()) << "the window did not wait";
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->colorScheme()->dark(); }, 2000));
    EXPECT_EQ(darkViews(), all);
}

TEST_F(ColorSchemeTest, TheOptionOverridesTheDesktopAndIsStored)
{
    portal->scheme = 0; // no preference: light
    start();
    EXPECT_EQ(darkViews(), QStringList());
    chooseInOptions(2);
    EXPECT_EQ(darkViews(), all);
    EXPECT_EQ(config->readInt("SystemConfig", "ColorScheme", -1), 2);
    desktopChoosesScheme(2);
    QTest::qWait(50);
    EXPECT_TRUE(window->colorScheme()->dark()) << "the option wins";

    chooseInOptions(1);
    desktopChoosesScheme(1);
    QTest::qWait(50);
    EXPECT_EQ(darkViews(), QStringList());

    chooseInOptions(0);
    // The desktop's last change may still be on its way over the bus on a slow machine.
    for (int waited = 0; waited < 250 && darkViews() != all; ++waited)
        QTest::qWait(20);
    EXPECT_EQ(darkViews(), all) << "following the desktop again";
    window->close();
    window.reset();

    // The next start takes the stored choice before any window shows.
    config->writeInt("SystemConfig", "ColorScheme", 2);
    create();
    EXPECT_TRUE(window->colorScheme()->dark());
}

TEST_F(ColorSchemeTest, TheProgramsIconsDrawTheirDarkLinesLightOnADarkBackground)
{
    // The mean lightness of the magnifier's drawn pixels.
    const auto lightness = [] {
        const QImage image = ui::icons::own(QStringLiteral("search")).pixmap(32).toImage();
        qint64 sum = 0;
        int drawn = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.alpha() > 200) {
                    sum += c.lightness();
                    ++drawn;
                }
            }
        }
        return drawn ? sum / drawn : 0;
    };
    portal->scheme = 0;
    start();
    const qint64 light = lightness();
    chooseInOptions(2);
    EXPECT_GT(lightness(), light + 40);
}

TEST_F(ColorSchemeTest, ColoursTheUserChoseAndTheTreePictureStayAsChosen)
{
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(QColor(250, 240, 200));
    ASSERT_TRUE(picture.save(library.path(QStringLiteral("tree.png"))));
    portal->scheme = 1;
    start();
    // A red list background chosen by the user stays red in the dark.
    dialogs->colorChoices.push_back(255);
    action("FileBackColor")->trigger();
    EXPECT_EQ(window->fileView()->details()->palette().color(QPalette::Base), QColor(Qt::red));

    // The tree's picture wins over the dark background, with the text in its own colour.
    dialogs->optionsScripts.push_back([&](core::OptionsForm& form) {
        form.values.TreeBarBmp = library.path(QStringLiteral("tree.png"));
        form.YesBtnClick(true);
    });
    action("sysconfig")->trigger();
    ui::CategoryTreeView* tree = window->treePane()->systemTree();
    EXPECT_EQ(tree->viewport()->palette().brush(QPalette::Base).style(), Qt::TexturePattern);
    EXPECT_EQ(tree->palette().color(QPalette::Text), QColor(Qt::black));
    EXPECT_EQ(
        window->treePane()->externalTree()->viewport()->palette().brush(QPalette::Base).style(),
        Qt::TexturePattern);
}

#include "ColorSchemeTest.moc"
