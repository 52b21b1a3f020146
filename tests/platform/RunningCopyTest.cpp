// One running copy per library and configuration file: a later start hands its files over.
#include "platform/RunningCopy.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <future>
#include <gtest/gtest.h>

using platform::RunningCopy;

namespace {

class RunningCopyTest : public ::testing::Test
{
protected:
    QTemporaryDir scratch;
    QString folder = scratch.filePath(QStringLiteral("run"));

    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkdir(folder));
        ASSERT_TRUE(
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    // A later start on a thread of its own, as another process would be, while this thread's
    // loop lets the running copy answer (or, with `busy`, does not run until it has ended).
    std::pair<RunningCopy::Outcome, bool>
    laterStart(const QString& library, const QList<QByteArray>& paths, bool busy = false)
    {
        auto later = std::async(std::launch::async, [&] {
            RunningCopy copy(library, QStringLiteral("/cfg/quillet.ini"), folder);
            const RunningCopy::Outcome outcome = copy.start(paths, busy ? 100 : 5000);
            return std::make_pair(outcome, copy.answered());
        });
        while (!busy && later.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return later.get();
    }
    static void runLoop(int ms)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
};

} // namespace

TEST_F(RunningCopyTest, ALaterStartForTheSameLibraryHandsItsFilesOverAsTheirBytes)
{
    RunningCopy first(QStringLiteral("/lib/"), QStringLiteral("/cfg/quillet.ini"), folder);
    QList<QList<QByteArray>> received;
    QObject::connect(&first, &RunningCopy::handedOver,
                     [&](const QList<QByteArray>& paths) { received.append(paths); });
    ASSERT_EQ(first.start({}), RunningCopy::Outcome::First);
    EXPECT_TRUE(first.socketPath().startsWith(folder + u'/'));

    const QList<QByteArray> paths = {"/home/me/下载/a.zip", "/home/me/\xb0\xa1.txt",
                                     "/tmp/line\nbreak"};
    const auto [outcome, answered] = laterStart(QStringLiteral("/lib/"), paths);
    EXPECT_EQ(outcome, RunningCopy::Outcome::HandedOver);
    EXPECT_TRUE(answered);
    // Without files a later start only asks for the window.
    EXPECT_EQ(laterStart(QStringLiteral("/lib/"), {}).first, RunningCopy::Outcome::HandedOver);
    runLoop(20);
    ASSERT_EQ(received.size(), 2);
    EXPECT_EQ(received[0], paths);
    EXPECT_TRUE(received[1].isEmpty());

    // Another library runs beside it.
    RunningCopy other(QStringLiteral("/other/"), QStringLiteral("/cfg/quillet.ini"), folder);
    EXPECT_EQ(other.start({}), RunningCopy::Outcome::First);
    EXPECT_NE(other.socketPath(), first.socketPath());
    RunningCopy otherConfig(QStringLiteral("/lib/"), QStringLiteral("/cfg/other.ini"), folder);
    EXPECT_EQ(otherConfig.start({}), RunningCopy::Outcome::First);
}

TEST_F(RunningCopyTest, ABusyCopyGetsTheFilesWhenItIsFreeAndALeftSocketIsReplaced)
{
    RunningCopy probe(QStringLiteral("/lib/"), QStringLiteral("/cfg/quillet.ini"), folder);
    // What a copy that was killed leaves behind answers nobody.
    QFile left(probe.socketPath());
    ASSERT_TRUE(left.open(QIODevice::WriteOnly));
    left.close();

    RunningCopy first(QStringLiteral("/lib/"), QStringLiteral("/cfg/quillet.ini"), folder);
    QList<QByteArray> received;
    QObject::connect(&first, &RunningCopy::handedOver,
                     [&](const QList<QByteArray>& paths) { received = paths; });
    ASSERT_EQ(first.start({}), RunningCopy::Outcome::First);

    // The running copy is in the middle of a command: no answer, but the files are handed.
    const auto [outcome, answered] = laterStart(QStringLiteral("/lib/"), {"/x/a.txt"}, true);
    EXPECT_EQ(outcome, RunningCopy::Outcome::HandedOver);
    EXPECT_FALSE(answered);
    runLoop(50);
    EXPECT_EQ(received, QList<QByteArray>{"/x/a.txt"}) << "read after the later start ended";
}

TEST_F(RunningCopyTest, AFolderOthersMayEnterHoldsNoSocket)
{
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner |
                                                  QFile::ExeOwner | QFile::ReadOther |
                                                  QFile::WriteOther | QFile::ExeOther));
    RunningCopy copy(QStringLiteral("/lib/"), QStringLiteral("/cfg/quillet.ini"), folder);
    EXPECT_TRUE(copy.socketPath().isEmpty());
    EXPECT_EQ(copy.start({"/x/a.txt"}), RunningCopy::Outcome::Alone);
}
