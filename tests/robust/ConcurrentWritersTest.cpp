// Two programs writing one library at the same time: every write of each is kept; a write that
// cannot get its folder's lock in time says so and changes nothing; where the file system has
// no locks, writes go ahead as they always did.
#include "core/ConfigFile.h"
#include "platform/Errors.h"
#include "platform/FileNames.h"
#include "platform/FolderLock.h"
#include "support/FaultInjection.h"
#include "support/FolderNotes.h"
#include "support/TempLibrary.h"

#include <QDir>

#include <chrono>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace std::chrono_literals;
using platform::FolderLock;

namespace {

class ScopedLockTimeout
{
public:
    explicit ScopedLockTimeout(std::chrono::milliseconds timeout) : m_old(FolderLock::timeout())
    {
        FolderLock::setTimeout(timeout);
    }
    ~ScopedLockTimeout() { FolderLock::setTimeout(m_old); }

private:
    std::chrono::milliseconds m_old;
};

// Runs `work(i)` in `count` child processes that start at the same moment; true when each of
// them ran to its end without an error.
bool runTogether(int count, const std::function<void(int)>& work)
{
    int gate[2];
    if (::pipe(gate) != 0)
        return false;
    std::vector<pid_t> children;
    for (int i = 0; i < count; ++i) {
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(gate[1]);
            char byte;
            while (::read(gate[0], &byte, 1) < 0 && errno == EINTR) {
            } // returns once the gate's other end is closed
            int status = 0;
            try {
                work(i);
            } catch (...) {
                status = 1;
            }
            ::_exit(status);
        }
        children.push_back(child);
    }
    ::close(gate[0]);
    ::close(gate[1]); // opens the gate
    bool completed = true;
    for (const pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        completed = completed && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    return completed;
}

class ConcurrentWriters : public ::testing::Test
{
protected:
    void SetUp() override { lib.makeDir("cat"); }
    QStringList temporaries() const
    {
        return QDir(lib.path("cat")).entryList({".quillet-*"}, QDir::AllEntries | QDir::Hidden);
    }

    testing_support::TempLibrary lib;
    testing_support::FolderNotes folderNotes{lib.path("cat/")};
    core::ConfigFile config{lib.path("cat/quillet.ini")};
};

} // namespace

TEST_F(ConcurrentWriters, TwoProgramsWritingOneNotesFileAndOneConfigurationFileLoseNothing)
{
    constexpr int kEach = 100;
    const ScopedLockTimeout patient(60s); // a slow disk under load must not fail the test
    ASSERT_TRUE(runTogether(2, [&](int writer) {
        for (int i = 0; i < kEach; ++i) {
            const QString key = QStringLiteral("w%1-%2").arg(writer).arg(i);
            folderNotes.writeNote(key + ".txt", QStringLiteral("注释 ") + key);
            config.writeString("test", key, key);
        }
    }));
    const notes::NotesSnapshot all = folderNotes.readAll();
    EXPECT_EQ(all.size(), 2 * kEach);
    EXPECT_EQ(config.keys("test").size(), 2 * kEach);
    for (int writer = 0; writer < 2; ++writer) {
        for (int i = 0; i < kEach; ++i) {
            const QString key = QStringLiteral("w%1-%2").arg(writer).arg(i);
            EXPECT_EQ(all.note(key + ".txt"), QStringLiteral("注释 ") + key);
            EXPECT_EQ(config.readString("test", key, "<lost>"), key);
        }
    }
    EXPECT_EQ(temporaries(), QStringList());
}

TEST_F(ConcurrentWriters, AWriterThatCannotGetTheLockInTimeSaysSoAndWritesNothing)
{
    folderNotes.writeNote("a.txt", "old");
    config.writeString("s", "k", "old");
    const QByteArray notesBefore = lib.read("cat/zzfdat.nod");
    const QByteArray configBefore = lib.read("cat/quillet.ini");
    // Another program holds the folder: a lock of another open folder is another holder, as
    // that of another process is.
    const int other = ::open(platform::nativePath(lib.path("cat")).constData(),
                             O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_EQ(::flock(other, LOCK_EX), 0);
    {
        const ScopedLockTimeout quick(100ms);
        const auto started = std::chrono::steady_clock::now();
        const std::vector<std::pair<QString, std::function<void()>>> writes = {
            {folderNotes.path(), [&] { folderNotes.writeNote("a.txt", "new"); }},
            {config.path(), [&] { config.writeString("s", "k", "new"); }},
        };
        for (const auto& [path, write] : writes) {
            try {
                write();
                ADD_FAILURE() << "written blind: " << path.toStdString();
            } catch (const platform::WriteError& error) {
                EXPECT_EQ(error.message().section(u'\n', 0, 0), "Unable to write to " + path);
            }
        }
        EXPECT_LT(std::chrono::steady_clock::now() - started, 2s) << "it never waits long";
    }
    EXPECT_EQ(lib.read("cat/zzfdat.nod"), notesBefore);
    EXPECT_EQ(lib.read("cat/quillet.ini"), configBefore);

    ::close(other); // the other program ended
    folderNotes.writeNote("a.txt", "new");
    EXPECT_EQ(folderNotes.readNote("a.txt"), "new");
}

// A file system whose locks do not work: every flock fails as on some network mounts.
class NoLocks : public platform::sys::FaultHook
{
public:
    int before(platform::sys::Call call, int, const char*, const char*) override
    {
        return call == platform::sys::Call::Lock ? ENOLCK : 0;
    }
};

TEST_F(ConcurrentWriters, WhereTheFileSystemHasNoLocksWritesGoAheadAsBefore)
{
    NoLocks noLocks;
    const platform::sys::ScopedHook hook(&noLocks);
    folderNotes.writeNote("a.txt", "note");
    config.writeString("s", "k", "value");
    EXPECT_EQ(folderNotes.readNote("a.txt"), "note");
    EXPECT_EQ(config.readString("s", "k", ""), "value");
    EXPECT_EQ(temporaries(), QStringList());
}
