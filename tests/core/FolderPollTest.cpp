// Folders whose changes inotify does not hear (network and FUSE mounts) are polled off the
// interface thread, and the file list follows what the poll sees.
#include "core/FolderPoll.h"

#include "core/LiveList.h"
#include "platform/FileNames.h"
#include "support/World.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <future>
#include <gtest/gtest.h>
#include <memory>

using core::FolderPoll;

namespace {

// Runs the event loop until `done` holds, for at most `ms`.
bool within(int ms, const std::function<bool()>& done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

void settle()
{
    // Change times are taken from a coarse clock: a change must come a tick after the look.
    QThread::msleep(20);
}

} // namespace

TEST(FolderPoll, SeesEntriesAndNotesChangeAndTellsWhenTheFolderGoes)
{
    QTemporaryDir scratch;
    const QString folder = scratch.filePath(QStringLiteral("cat")) + u'/';
    ASSERT_TRUE(QDir().mkpath(folder));
    FolderPoll poll;
    poll.setInterval(20);
    int changes = 0;
    int vanished = 0;
    QObject::connect(&poll, &FolderPoll::changed, [&] { ++changes; });
    QObject::connect(&poll, &FolderPoll::vanished, [&] { ++vanished; });

    poll.setRule([](const QString&) { return false; });
    poll.follow(folder);
    EXPECT_TRUE(poll.folder().isEmpty()) << "a local disk is not polled";

    poll.setRule([](const QString&) { return true; });
    poll.follow(folder);
    EXPECT_EQ(poll.folder(), folder);
    ASSERT_TRUE(within(1000, [&] { return !poll.looking(); })) << "the first look";
    settle();
    QFile file(folder + QStringLiteral("new.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_TRUE(within(1000, [&] { return changes == 2; })) << "seen, then told once more";

    // The notes file rewritten in place leaves the folder's entries as they were.
    QFile notes(folder + QStringLiteral("zzfdat.nod"));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("[fileinfo]\r\n");
    notes.close();
    ASSERT_TRUE(within(1000, [&] { return changes == 4; }));
    settle();
    ASSERT_TRUE(notes.open(QIODevice::Append));
    notes.write("new.txt=note\r\n");
    notes.close();
    ASSERT_TRUE(within(1000, [&] { return changes == 6; }));
    QThread::msleep(60);
    QCoreApplication::processEvents();
    EXPECT_EQ(changes, 6) << "an unchanged folder tells nothing";

    ASSERT_TRUE(QDir(folder).removeRecursively());
    ASSERT_TRUE(within(1000, [&] { return vanished == 1; }));
    EXPECT_TRUE(poll.folder().isEmpty());
}

TEST(FolderPoll, AStalledMountNeverHoldsTheLoopAndIsNotAskedTwice)
{
    // A look that waits until the test lets it go, as a stalled network mount does.
    struct Gate
    {
        std::promise<void> open;
        std::shared_future<void> opened = open.get_future().share();
        std::atomic<int> looks{0};
    };
    auto gate = std::make_shared<Gate>();
    FolderPoll poll;
    poll.setInterval(10);
    poll.setRule([](const QString&) { return true; });
    poll.setProbe([gate](const QByteArray&) {
        ++gate->looks;
        gate->opened.wait();
        FolderPoll::Look gone;
        gone.answered = gone.gone = true;
        return gone;
    });
    int vanished = 0;
    QObject::connect(&poll, &FolderPoll::vanished, [&] { ++vanished; });

    poll.follow(QStringLiteral("/nas/stalled/"));
    int ticks = 0;
    QTimer other;
    QObject::connect(&other, &QTimer::timeout, [&] { ++ticks; });
    other.start(5);
    ASSERT_TRUE(within(2000, [&] { return ticks >= 10; })) << "the loop runs on";
    EXPECT_EQ(gate->looks, 1) << "a look still waiting is not repeated";
    EXPECT_TRUE(poll.looking());

    // Another folder is looked at at once; the stalled look's answer, when it comes, is
    // about a folder no longer followed.
    poll.follow(QStringLiteral("/nas/other/"));
    EXPECT_EQ(poll.folder(), QStringLiteral("/nas/other/"));
    ASSERT_TRUE(within(1000, [&] { return gate->looks == 2; }));
    poll.setRule([](const QString&) { return false; });
    poll.follow(QStringLiteral("/nas/other/"));
    gate->open.set_value();
    QThread::msleep(50);
    QCoreApplication::processEvents();
    EXPECT_EQ(vanished, 0);
}

TEST(FolderPoll, TheListFollowsAFuseMountThatInotifyCannotHear)
{
    // A folder of the library shown through bindfs: what is written beside the mount reaches
    // no inotify watch on it.
    if (QStandardPaths::findExecutable(QStringLiteral("bindfs")).isEmpty())
        GTEST_SKIP() << "bindfs is not installed";
    testing_support::World world;
    ASSERT_TRUE(QDir().mkpath(world.library.path(QStringLiteral("cat"))));
    QTemporaryDir outside;
    const QString source = outside.path();
    QFile seed(source + QStringLiteral("/a.txt"));
    ASSERT_TRUE(seed.open(QIODevice::WriteOnly));
    seed.close();
    const QString mountPoint = world.library.path(QStringLiteral("cat"));
    // Without the client's caches, so that the test need not wait them out.
    const QStringList options = {QStringLiteral("-o"),
                                 QStringLiteral("attr_timeout=0,entry_timeout=0")};
    if (QProcess::execute(QStringLiteral("bindfs"), options + QStringList{source, mountPoint}) != 0)
        GTEST_SKIP() << "a FUSE file system cannot be mounted here";
    const auto unmount = qScopeGuard([&] {
        QProcess::execute(QStringLiteral("fusermount"), {QStringLiteral("-uz"), mountPoint});
    });

    core::LiveList live(world.workspace, world.files);
    live.poll().setInterval(50);
    world.start();
    world.selectCategory({"cat"});
    if (live.folder().isEmpty())
        GTEST_SKIP() << "inotify cannot watch the mount";
    EXPECT_EQ(live.poll().folder(), live.folder()) << "a FUSE mount is polled";
    EXPECT_EQ(world.listedNames(), QStringList{"a.txt"});
    ASSERT_TRUE(within(1000, [&] { return !live.poll().looking(); }));
    settle();

    QFile added(source + QStringLiteral("/b.txt"));
    ASSERT_TRUE(added.open(QIODevice::WriteOnly));
    added.close();
    ASSERT_TRUE(within(2000, [&] { return world.listedNames().size() == 2; }))
        << world.listedNames().join(u',').toStdString();
    settle();
    ASSERT_TRUE(QFile::remove(source + QStringLiteral("/a.txt")));
    ASSERT_TRUE(within(2000, [&] { return world.listedNames() == QStringList{"b.txt"}; }))
        << world.listedNames().join(u',').toStdString();
}
