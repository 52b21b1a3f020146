// The file list follows what other programs do in the shown folder.
#include "core/LiveList.h"

#include "fileops/NoteCommands.h"
#include "fileops/RenameCommands.h"
#include "platform/FileNames.h"
#include "support/World.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>
#include <sys/xattr.h>
#include <unistd.h>

using testing_support::World;

namespace {

class LiveListTest : public ::testing::Test
{
protected:
    World world;
    core::LiveList live{world.workspace, world.files};
    core::FileListModel& list = world.workspace.fileList();

    void SetUp() override
    {
        for (const char* name : {"a.txt", "b.txt", "c.txt"})
            world.library.makeFile(QStringLiteral("cat/") + name, name);
        world.library.writeNotes(
            "cat/", {{"a.txt", QStringLiteral("甲")}, {"c.txt", QStringLiteral("丙")}});
        world.start();
        world.selectCategory({"cat"});
        if (live.folder().isEmpty())
            GTEST_SKIP() << "inotify cannot watch the temporary folder";
    }
    QString path(const QString& name) const { return world.library.path("cat/" + name); }
    // Runs the event loop until `done` holds, for at most a second.
    bool within1s(const std::function<bool()>& done)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < 1000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    }
    QString noteOf(const QString& name) const
    {
        const int row = world.rowOf(name);
        return row < 0 ? QStringLiteral("<no row>") : list.row(row).note;
    }
    QStringList sortedNames() const
    {
        QStringList names = world.listedNames();
        names.sort();
        return names;
    }
};

} // namespace

TEST_F(LiveListTest, RowsFollowAnotherProgramsChangesWithinASecondAndKeepTheSelection)
{
    world.selectFiles({"b.txt"});
    int resets = 0;
    QObject::connect(&list, &QAbstractItemModel::modelReset, [&] { ++resets; });

    world.library.makeFile("cat/d.txt", "new");
    ASSERT_TRUE(QFile::remove(path("a.txt")));
    ASSERT_EQ(::rename(QFile::encodeName(path("c.txt")), QFile::encodeName(path("e.txt"))), 0);
    world.library.makeFile("cat/b.txt", "longer content");
    world.library.makeFile("cat/.quillet-x.tmp", "a write in progress");

    ASSERT_TRUE(within1s([&] {
        return sortedNames() == QStringList({"b.txt", "d.txt", "e.txt"});
    })) << world.listedNames().join(u',').toStdString();
    EXPECT_EQ(noteOf("e.txt"), QStringLiteral("丙")) << "the note follows the rename";
    const notes::NotesSnapshot notes = world.session.notesFile().readAll();
    EXPECT_EQ(notes.note("e.txt"), QStringLiteral("丙"));
    EXPECT_FALSE(notes.has("c.txt"));
    EXPECT_EQ(list.row(world.rowOf("b.txt")).size, 14);
    EXPECT_EQ(world.listedNames().last(), "e.txt") << "new rows come last, in name order";
    ASSERT_EQ(core::Workspace::selectedRows(world.workspace.fileSelection()),
              std::vector<int>{world.rowOf("b.txt")});
    EXPECT_EQ(resets, 0) << "applied as row differences";
    EXPECT_EQ(world.workspace.status().text(1), "共3个文件");
}

TEST_F(LiveListTest, NotesEditedByAnotherProgramShowAndANoteBeingTypedStays)
{
    world.selectFiles({"a.txt"});
    world.workspace.setTopEditText(QStringLiteral("正在输入"));
    world.library.writeNotes("cat/",
                             {{"a.txt", QStringLiteral("甲改")}, {"b.txt", QStringLiteral("乙")}});
    ASSERT_TRUE(live.applyNow());
    EXPECT_EQ(noteOf("a.txt"), QStringLiteral("甲改"));
    EXPECT_EQ(noteOf("b.txt"), QStringLiteral("乙"));
    EXPECT_EQ(noteOf("c.txt"), "");
    EXPECT_EQ(world.workspace.topEditText(), QStringLiteral("正在输入"));

    // An editor that held the shown note follows it.
    world.selectFiles({"b.txt"});
    world.library.writeNotes("cat/", {{"b.txt", QStringLiteral("乙改")}});
    ASSERT_TRUE(live.applyNow());
    EXPECT_EQ(world.workspace.topEditText(), QStringLiteral("乙改"));
}

TEST_F(LiveListTest, TheProgramsOwnChangesAreNotShownTwice)
{
    int inserted = 0;
    int removed = 0;
    QObject::connect(&list, &QAbstractItemModel::rowsInserted, [&] { ++inserted; });
    QObject::connect(&list, &QAbstractItemModel::rowsRemoved, [&] { ++removed; });
    world.selectFiles({"a.txt"});
    fileops::RenameCommands(world.workspace, world.dialogs)
        .filelistEdited(world.rowOf("a.txt"), "z.txt");
    world.workspace.setTopEditText("new note");
    fileops::NoteCommands(world.workspace, world.dialogs).SaveEditTextClick();
    live.applyNow();
    EXPECT_EQ(sortedNames(), QStringList({"b.txt", "c.txt", "z.txt"}));
    EXPECT_EQ(noteOf("z.txt"), "new note");
    EXPECT_EQ(inserted + removed, 0);
    EXPECT_EQ(world.session.notesFile().readAll().size(), 2) << "one key per note";
}

TEST_F(LiveListTest, NothingIsAppliedWhileBusyAndAVanishedFolderIsTold)
{
    bool busy = true;
    live.setBusyRule([&] { return busy; });
    world.library.makeFile("cat/d.txt");
    EXPECT_FALSE(live.applyNow());
    EXPECT_FALSE(within1s([&] { return world.rowOf("d.txt") >= 0; }));
    busy = false;
    EXPECT_TRUE(within1s([&] { return world.rowOf("d.txt") >= 0; }));

    int vanished = 0;
    QObject::connect(&live, &core::LiveList::folderVanished, [&] { ++vanished; });
    for (const QString& name :
         QDir(world.library.path("cat")).entryList(QDir::Files | QDir::Hidden))
        QFile::remove(path(name));
    ASSERT_TRUE(QDir().rmdir(world.library.path("cat")));
    EXPECT_TRUE(within1s([&] { return vanished == 1; }));
}

TEST_F(LiveListTest, FlagsAnotherProgramStoresShowInTheAttributeColumn)
{
    const auto attributesOf = [&](const char* name) {
        return list.data(list.index(world.rowOf(name), 4)).toString();
    };
    ASSERT_FALSE(attributesOf("b.txt").contains(u'H'));
    const QByteArray file = platform::nativePath(path("b.txt"));
    if (::lsetxattr(file.constData(), "user.quillet.attrib", "SH", 2, 0) != 0)
        GTEST_SKIP() << "the temporary folder keeps no user attributes";
    EXPECT_TRUE(within1s([&] { return attributesOf("b.txt").contains(u'H'); }));
    EXPECT_TRUE(attributesOf("b.txt").contains(u'S'));
}
