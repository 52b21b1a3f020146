// Writes and moves that a crash cannot cut: the steps they take (watched through the seam of
// system calls), runs killed at every step, stale temporary files, and writes refused
// through links and onto devices.
#include "core/FileListing.h"
#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "platform/FileNames.h"
#include "platform/FileSystem.h"
#include "platform/TemporaryFiles.h"
#include "support/FaultInjection.h"
#include "support/FolderNotes.h"
#include "support/TempLibrary.h"
#include "support/World.h"

#include <QRegularExpression>

#include <climits>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using platform::sys::Call;
using testing_support::CallRecorder;
using testing_support::RecordedCall;
using testing_support::runKilledAtCall;

namespace {

class CrossDeviceFileSystem : public platform::FileSystem
{
protected:
    int renameNoReplace(const QByteArray&, const QByteArray&) const override { return EXDEV; }
};

QByteArray pattern(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + i / 251) % 253);
    return bytes;
}

bool isPartName(const QByteArray& name)
{
    static const QRegularExpression part(QStringLiteral("^\\.quillet-[A-Za-z0-9]{6}\\.part$"));
    return part.match(QString::fromLatin1(name.mid(name.lastIndexOf('/') + 1))).hasMatch();
}

class AtomicWrite : public ::testing::Test
{
protected:
    void SetUp() override { lib.makeFile("cat/a.txt", "a"); }
    QStringList listed() const
    {
        QStringList names;
        for (const core::FileRow& row :
             core::ListCategoryFiles(platform::FileSystem::local(), lib.path("cat/"), {}))
            names.append(row.name);
        return names;
    }
    QStringList everything(const QString& folder) const
    {
        return QDir(lib.path(folder))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDir::Name);
    }

    testing_support::TempLibrary lib;
    testing_support::FolderNotes folderNotes{lib.path("cat/")};
};

TEST_F(AtomicWrite, LeftoversAreHiddenAndGoWhenAWriteOrAListingMeetsThemButNeverWhileHeld)
{
    const QString stale = platform::temporaryPathFor(folderNotes.path());
    lib.makeFile("cat/" + platform::nameOfPath(stale), "[fileinfo]\r\na.txt=cut");
    folderNotes.writeNote("a.txt", "whole");
    EXPECT_EQ(folderNotes.readNote("a.txt"), "whole");
    EXPECT_EQ(everything("cat"), (QStringList{"a.txt", "zzfdat.nod"}));

    // A copy cut short goes at the next listing; one a running copy holds stays. (A file that
    // stepped aside for a moment is the user's own: it shows again, see ParkedFilesTest.)
    lib.makeFile("cat/.quillet-Ab3dE9.part", "a copy cut short");
    lib.makeDir("cat/.quillet-Fo1der.part/sub");
    lib.makeFile("cat/.quillet-HeLd42.part", "a copy being made");
    const int running = ::open(QFile::encodeName(lib.path("cat/.quillet-HeLd42.part")).constData(),
                               O_RDONLY | O_CLOEXEC);
    auto held = std::make_unique<platform::TemporaryHold>();
    ASSERT_EQ(held->hold(running), 0);
    ::close(running);
    EXPECT_EQ(listed(), QStringList{"a.txt"});
    EXPECT_EQ(everything("cat"), (QStringList{".quillet-HeLd42.part", "a.txt", "zzfdat.nod"}));
    held.reset(); // the copy was killed
    EXPECT_EQ(listed(), QStringList{"a.txt"});
    EXPECT_EQ(everything("cat"), (QStringList{"a.txt", "zzfdat.nod"}));
}

// Another program's listing that comes upon a temporary file between its making and its lock:
// at the first lock of a temporary file, that file is removed as a leftover would be.
class CleanUpBeforeTheLock : public platform::sys::FaultHook
{
public:
    int before(Call call, int fd, const char*, const char*) override
    {
        if (call != Call::Lock || m_busy || removed)
            return 0;
        char path[PATH_MAX];
        const ssize_t n =
            ::readlink(QByteArray("/proc/self/fd/" + QByteArray::number(fd)).constData(), path,
                       sizeof path - 1);
        if (n <= 0)
            return 0;
        const QString temporary = QFile::decodeName(QByteArray(path, n));
        if (!platform::isPartialWriteName(platform::nameOfPath(temporary)))
            return 0;
        m_busy = true;
        removed = platform::removeLeftover(temporary);
        m_busy = false;
        return 0;
    }
    bool removed = false;

private:
    bool m_busy = false;
};

TEST_F(AtomicWrite, ATemporaryFileRemovedBeforeItsLockIsMadeAgainAndTheWriteCompletes)
{
    lib.makeFile("from/file", pattern(5000));
    lib.makeDir("to");
    const CrossDeviceFileSystem crossDevice;
    const struct
    {
        const char* what;
        std::function<void()> write;
        std::function<void()> check;
    } cases[] = {
        {"note", [&] { folderNotes.writeNote("a.txt", "written"); },
         [&] { EXPECT_EQ(folderNotes.readNote("a.txt"), "written"); }},
        {"move across file systems",
         [&] { EXPECT_TRUE(crossDevice.move(lib.path("from/file"), lib.path("to/file"))); },
         [&] { EXPECT_EQ(lib.read("to/file"), pattern(5000)); }},
    };
    for (const auto& c : cases) {
        CleanUpBeforeTheLock cleanUp;
        {
            const platform::sys::ScopedHook hook(&cleanUp);
            c.write();
        }
        EXPECT_TRUE(cleanUp.removed) << c.what;
        c.check();
    }
    EXPECT_EQ(everything("cat"), (QStringList{"a.txt", "zzfdat.nod"}));
    EXPECT_EQ(everything("to"), QStringList{"file"});
}

TEST(StaleTemporaryFolder, AFolderCopyCutShortIsNoCategory)
{
    testing_support::World world;
    world.library.makeDir("cat/.quillet-Ab3dE9.part/sub");
    world.library.makeDir("cat/real");
    world.start();
    const QModelIndex cat = world.selectCategory({"cat"});
    world.workspace.systemTree().treeviewExpanding(cat);
    EXPECT_EQ(world.childCaptions(cat), QStringList{"real"});
}

TEST_F(AtomicWrite, TheNewFileIsSyncedBeforeItsRenameAndTheFolderAfterIt)
{
    folderNotes.writeNote("a.txt", "one");
    CallRecorder recorder;
    {
        const platform::sys::ScopedHook hook(&recorder);
        folderNotes.writeNote("a.txt", "two");
    }
    // The folder is opened before anything is written, the old file goes only once the
    // folder is synced.
    std::vector<Call> steps;
    for (const RecordedCall& call : recorder.calls) {
        if (call.call == Call::Read && call.path == QFile::encodeName(lib.path("cat/")))
            steps.push_back(Call::Read); // the folder opened
        else if (call.call == Call::Sync && call.onFolder)
            steps.push_back(Call::MakeDir); // stands for the folder's sync
        else if (call.call != Call::Write && call.call != Call::Metadata && call.call != Call::Read)
            steps.push_back(call.call);
    }
    // The folder is locked before the file is read, the temporary file as soon as it is made.
    EXPECT_EQ(steps,
              (std::vector<Call>{Call::Lock, Call::Read, Call::Create, Call::Lock, Call::Sync,
                                 Call::Close, Call::Rename, Call::MakeDir, Call::Unlink}));
    EXPECT_TRUE(recorder.calls.front().onFolder);
    const auto rename = std::find_if(recorder.calls.begin(), recorder.calls.end(),
                                     [](const RecordedCall& c) { return c.call == Call::Rename; });
    ASSERT_NE(rename, recorder.calls.end());
    EXPECT_EQ(rename->path2, QFile::encodeName(folderNotes.path()));
}

TEST_F(AtomicWrite, AFailedSyncOfTheNewFileOrOfItsFolderKeepsTheOldFileAndIsTold)
{
    folderNotes.writeNote("a.txt", "old");
    const QByteArray old = lib.read("cat/zzfdat.nod");
    const QByteArray folder = QFile::encodeName(lib.path("cat/"));
    const struct
    {
        const char* step;
        std::function<bool(const RecordedCall&)> is;
    } steps[] = {
        {"the new file's sync",
         [](const RecordedCall& c) { return c.call == Call::Sync && !c.onFolder; }},
        {"the folder's opening",
         [&](const RecordedCall& c) { return c.call == Call::Read && c.path == folder; }},
        {"the folder's sync",
         [](const RecordedCall& c) { return c.call == Call::Sync && c.onFolder; }},
    };
    for (const auto& [step, is] : steps) {
        for (const bool existed : {true, false}) {
            SCOPED_TRACE(std::string(step) +
                         (existed ? ", replacing the notes file" : ", a new one"));
            const auto reset = [&] {
                if (existed)
                    lib.makeFile("cat/zzfdat.nod", old);
                else
                    QFile::remove(folderNotes.path());
            };
            // Which call that step is in this write.
            reset();
            CallRecorder recorder;
            {
                const platform::sys::ScopedHook hook(&recorder);
                folderNotes.writeNote("a.txt", "new");
            }
            const auto at = std::find_if(recorder.calls.begin(), recorder.calls.end(), is);
            ASSERT_NE(at, recorder.calls.end());

            reset();
            testing_support::FailNthCall failing(int(at - recorder.calls.begin()) + 1, EIO);
            try {
                const platform::sys::ScopedHook hook(&failing);
                folderNotes.writeNote("a.txt", "new");
                ADD_FAILURE() << "the write went on";
            } catch (const platform::WriteError& error) {
                EXPECT_EQ(error.message(),
                          "Unable to write to " + folderNotes.path() +
                              QStringLiteral("\n磁盘读写出错，原有的文件保持不变。"));
            }
            EXPECT_TRUE(failing.fired());
            EXPECT_EQ(lib.exists("cat/zzfdat.nod") ? lib.read("cat/zzfdat.nod") : "<none>",
                      existed ? old : "<none>");
            EXPECT_EQ(everything("cat"),
                      existed ? QStringList({"a.txt", "zzfdat.nod"}) : QStringList("a.txt"));
        }
    }
}

TEST_F(AtomicWrite, AWriteKilledAtAnyStepLeavesTheOldFileOrTheNewOneWhole)
{
    folderNotes.writeNote("a.txt", "old note");
    const QByteArray old = lib.read("cat/zzfdat.nod");
    int kills = 0;
    for (int n = 1;; ++n) {
        lib.makeFile("cat/zzfdat.nod", old);
        if (!runKilledAtCall(n, [&] { folderNotes.writeNote("a.txt", QString(3000, u'新')); }))
            break;
        ++kills;
        const QString note = folderNotes.readNote("a.txt");
        EXPECT_TRUE(note == "old note" || note == QString(2047 / 2, u'新')) << n;
        EXPECT_EQ(listed(), QStringList{"a.txt"});
        folderNotes.writeNote("a.txt", "retried"); // a stale temporary file never blocks a write
        EXPECT_EQ(folderNotes.readNote("a.txt"), "retried");
        EXPECT_EQ(everything("cat"), (QStringList{"a.txt", "zzfdat.nod"})) << n;
    }
    EXPECT_GE(kills, 5);
}

TEST_F(AtomicWrite, DocumentsAreNeverWrittenThroughALinkNorOntoAFifoOrADevice)
{
    lib.makeFile("../out/victim.txt", "victim");
    const QString document = lib.path("filecomm/x.txt.txt");
    ASSERT_EQ(::symlink("../../out/victim.txt", QFile::encodeName(document).constData()), 0);
    EXPECT_EQ(platform::writeWholeFile(document, "text"), ELOOP);
    EXPECT_EQ(lib.read("../out/victim.txt"), "victim");

    const QString fifo = lib.path("filecomm/fifo.txt");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    EXPECT_EQ(platform::writeWholeFile(fifo, "text"), EISDIR);
    const QString device = lib.path("filecomm/null.txt");
    ASSERT_EQ(::symlink("/dev/null", QFile::encodeName(device).constData()), 0);
    EXPECT_EQ(platform::writeWholeFile(device, "text", platform::LinkPolicy::WriteTarget), EISDIR);
    EXPECT_EQ(everything("filecomm"), (QStringList{"fifo.txt", "null.txt", "x.txt.txt"}));
    EXPECT_EQ(everything("../out"), QStringList{"victim.txt"});
}

TEST_F(AtomicWrite, AMoveAcrossFileSystemsArrivesUnderATemporaryNameAndTakesItsNameLast)
{
    lib.makeFile("from/file", pattern(300 * 1024));
    lib.makeDir("to");
    CallRecorder recorder;
    {
        const platform::sys::ScopedHook hook(&recorder);
        ASSERT_TRUE(CrossDeviceFileSystem().move(lib.path("from/file"), lib.path("to/file")));
    }
    EXPECT_EQ(lib.read("to/file"), pattern(300 * 1024));
    // Before the first file is created, only the folders and the source are opened to read.
    const auto create = std::find_if(recorder.calls.begin(), recorder.calls.end(),
                                     [](const RecordedCall& c) { return c.call != Call::Read; });
    ASSERT_NE(create, recorder.calls.end());
    EXPECT_EQ(create->call, Call::Create);
    EXPECT_TRUE(isPartName(create->path)) << create->path.constData();
    std::vector<Call> order;
    for (const RecordedCall& call : recorder.calls) {
        EXPECT_FALSE(call.call == Call::Create && call.path.endsWith("file"))
            << "nothing is written under the final name";
        if (call.call == Call::Sync || call.call == Call::Rename || call.call == Call::Unlink)
            order.push_back(call.call);
        if (call.call == Call::Rename) {
            EXPECT_TRUE(isPartName(call.path));
            EXPECT_EQ(call.path2, "file");
        }
    }
    // The copy's sync and the folder's, the rename, the folder's sync again, the source goes.
    EXPECT_EQ(order,
              (std::vector<Call>{Call::Sync, Call::Sync, Call::Rename, Call::Sync, Call::Unlink}));
}

// A file system without RENAME_NOREPLACE: the first rename of a move, the one that asks for
// it, fails with EINVAL.
class NoRenameFlags : public platform::sys::FaultHook
{
public:
    int before(Call call, int, const char*, const char*) override
    {
        return call == Call::Rename && ++renames == 1 ? EINVAL : 0;
    }
    int renames = 0;
};

TEST_F(AtomicWrite, WithoutRenameFlagsAMovedCopyStillTakesItsNameWithoutReplacing)
{
    const CrossDeviceFileSystem crossDevice;
    lib.makeFile("from/file", pattern(1000));
    lib.makeFile("from/tree/inner", "inner");
    lib.makeDir("to");
    for (const char* name : {"file", "tree"}) {
        NoRenameFlags noFlags;
        const platform::sys::ScopedHook hook(&noFlags);
        EXPECT_TRUE(crossDevice.move(lib.path("from/") + name, lib.path("to/") + name)) << name;
        EXPECT_GE(noFlags.renames, 1);
    }
    EXPECT_EQ(lib.read("to/file"), pattern(1000));
    EXPECT_EQ(lib.read("to/tree/inner"), "inner");
    EXPECT_EQ(everything("to"), (QStringList{"file", "tree"}));
    EXPECT_EQ(everything("from"), QStringList{});
}

TEST_F(AtomicWrite, AMoveOrCopyKilledAtAnyStepNeverLeavesACutFileUnderTheName)
{
    const QByteArray data = pattern(700 * 1024);
    const CrossDeviceFileSystem crossDevice;
    const struct
    {
        const char* what;
        std::function<platform::FsResult()> transfer;
        bool move;
    } cases[] = {
        {"move across file systems",
         [&] { return crossDevice.move(lib.path("from/file"), lib.path("to/file")); }, true},
        {"folder moved across file systems",
         [&] { return crossDevice.move(lib.path("from"), lib.path("to/from")); }, true},
        {"copy to a new name",
         [&] {
             return platform::FileSystem::local().copyFile(lib.path("from/file"),
                                                           lib.path("to/file"), false);
         },
         false},
        {"copy over a file",
         [&] {
             return platform::FileSystem::local().copyFile(lib.path("from/file"),
                                                           lib.path("to/file"), true);
         },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        int kills = 0;
        for (int n = 1;; ++n) {
            QDir(lib.path("from")).removeRecursively();
            QDir(lib.path("to")).removeRecursively();
            lib.makeFile("from/file", data);
            lib.makeDir("to");
            const bool over = QString::fromLatin1(c.what).endsWith(u"over a file");
            if (over)
                lib.makeFile("to/file", "old");
            if (!runKilledAtCall(n, [&] { c.transfer(); }))
                break;
            ++kills;
            // What the killed run left goes when its folder is next listed.
            for (const char* folder : {"", "from/", "to/"}) {
                core::ListCategoryFiles(platform::FileSystem::local(), lib.path(folder), {});
                EXPECT_EQ(QDir(lib.path(folder))
                              .entryList({".quillet-*"}, QDir::AllEntries | QDir::Hidden),
                          QStringList())
                    << "killed at call " << n;
            }
            // Under its name the file is whole or not there; the source is there unless the
            // whole file has arrived.
            const bool folder = QString::fromLatin1(c.what).startsWith(u"folder");
            const QString arrived = folder ? "to/from/file" : "to/file";
            const bool there = lib.exists(arrived) && !(over && lib.read(arrived) == "old");
            if (there) {
                EXPECT_EQ(lib.read(arrived), data) << "killed at call " << n;
            }
            if (!there || !c.move) {
                EXPECT_EQ(lib.read("from/file"), data) << "killed at call " << n;
            }
            // A retry is never blocked by a piece of the killed run.
            if (!there) {
                EXPECT_TRUE(c.transfer()) << "killed at call " << n;
            }
            EXPECT_EQ(lib.read(arrived), data);
        }
        EXPECT_GE(kills, 4);
    }
}

} // namespace
