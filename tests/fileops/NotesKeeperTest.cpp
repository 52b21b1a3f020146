// The notes keeper through the commands: renames, deletes, imports, drops, the live list and
// the comment mirror keep every note with the file the user means, whatever the rows showed.
#include "notes/NotesKeeper.h"

#include "FileOpsHelpers.h"
#include "core/LiveList.h"
#include "core/Texts.h"
#include "fileops/AttributeCommands.h"
#include "fileops/FileOpsTexts.h"
#include "fileops/ImportCommands.h"
#include "fileops/NoteCommands.h"
#include "fileops/RecycleBoxCommands.h"
#include "fileops/RenameCommands.h"
#include "platform/FileNames.h"
#include "platform/SysCalls.h"
#include "support/ScratchMount.h"

#include <QFile>

#include <ctime>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using fileops_testing::commentOf;
using fileops_testing::native;
using fileops_testing::notesFileText;
using fileops_testing::RefuseMetadata;
using testing_support::World;

namespace {

bool setComment(const QString& path, const QByteArray& value)
{
    return fileops_testing::setAttribute(path, "user.xdg.comment", value);
}

class Keeper : public ::testing::Test
{
protected:
    World world;
    core::LiveList live{world.workspace, world.files};
    core::FileListModel& list = world.workspace.fileList();
    fileops::RenameCommands rename{world.workspace, world.dialogs};
    fileops::NoteCommands noteCommands{world.workspace, world.dialogs};
    fileops::ImportCommands imports{world.workspace, world.dialogs};

    void SetUp() override
    {
        world.library.makeFile("probe");
        if (!setComment(world.library.path("probe"), "x"))
            GTEST_SKIP() << "the temporary folder's file system keeps no user extended attributes";
        world.library.makeDir("cat");
    }
    QString path(const QString& relative) const { return world.library.path(relative); }
    void show(const QString& category = QStringLiteral("cat"))
    {
        world.start();
        world.selectCategory({category});
    }
    void setNote(const QString& name, const QString& text)
    {
        world.selectFiles({name});
        world.workspace.setTopEditText(text);
        noteCommands.SaveEditTextClick();
    }
    QString noteOf(const QString& name) const
    {
        const int row = world.rowOf(name);
        return row < 0 ? QStringLiteral("<no row>") : list.row(row).note;
    }
    QString stored(const QString& name) const
    {
        return notes::NotesFile::open(path("cat/")).readNote(name);
    }
};

} // namespace

TEST_F(Keeper, ARenameCarriesTheStoredNoteNeverARowsOrAGoneFilesAndNeverSharesAKey)
{
    const QString gbk = platform::pathFromNative("\xD6\xD0.txt"); // 中.txt in GBK bytes
    world.library.makeFile("cat/" + gbk, "gbk");
    world.library.makeFile("cat/b.txt");
    world.library.makeFile("cat/d.txt");
    world.library.writeNotes("cat/", {{QStringLiteral("中.txt"), QStringLiteral("国标")},
                                      {"c.txt", "left by a file that is gone"}});
    show();

    // A name that shows as another file's would share its note: refused.
    rename.filelistEdited(world.rowOf("b.txt"), QStringLiteral("中.txt"));
    EXPECT_EQ(world.dialogs.last().text,
              fileops::texts::renameShownAlike(QStringLiteral("中.txt")));
    EXPECT_TRUE(world.library.exists("cat/b.txt"));
    EXPECT_EQ(stored(QStringLiteral("中.txt")), QStringLiteral("国标"));

    // A stale key of the new name is no note of the renamed file: row, key and comment agree.
    rename.filelistEdited(world.rowOf("b.txt"), "c.txt");
    EXPECT_EQ(noteOf("c.txt"), "");
    EXPECT_FALSE(notes::NotesFile::open(path("cat/")).hasNote("c.txt"));
    EXPECT_EQ(commentOf(path("cat/c.txt")), "<none>");

    // A search row shows the note of the search; the note edited since, or added since, goes.
    std::vector<core::FileRow> found{fileops_testing::searchRow(path("cat/"), "d.txt", "")};
    world.workspace.searchList().setRows(std::move(found));
    setNote("d.txt", QStringLiteral("后来加的"));
    rename.findListEdited(0, "e.txt");
    EXPECT_EQ(stored("e.txt"), QStringLiteral("后来加的"));
    EXPECT_FALSE(notes::NotesFile::open(path("cat/")).hasNote("d.txt"));
    EXPECT_EQ(world.workspace.searchList().row(0).note, QStringLiteral("后来加的"));
    EXPECT_EQ(commentOf(path("cat/e.txt")), QStringLiteral("后来加的").toUtf8());
}

TEST_F(Keeper, TheNotesFileIsNeverAFileOfAList)
{
    // A folder brought in with its notes file: the notes file is no file of it.
    world.library.makeFile("../outside/pack/x.txt", "x");
    world.library.writeNotes("../outside/pack/", {{"x.txt", QStringLiteral("别处的")}});
    world.library.makeFile("cat/a.txt");
    world.library.writeNotes("cat/", {{"a.txt", QStringLiteral("甲")}});
    show();
    world.dialogs.folderChoices.push_back(path("../outside/pack"));
    imports.t1051Click();
    EXPECT_EQ(world.listedNames(), QStringList({"a.txt", "x.txt"}));
    EXPECT_EQ(stored("a.txt"), QStringLiteral("甲"));
    EXPECT_TRUE(world.library.exists("../outside/pack/zzfdat.nod"));

    // Nor is a file of that name chosen for import.
    world.dialogs.fileChoices.push_back({path("../outside/pack/zzfdat.nod")});
    imports.t104Click();
    EXPECT_EQ(world.dialogs.last().text,
              fileops::texts::notesFileNotImported(path("../outside/pack/zzfdat.nod")));
    EXPECT_EQ(stored("a.txt"), QStringLiteral("甲"));
}

TEST_F(Keeper, AnArrivingFileTakesTheCommentItBroughtButNeverOverAStoredNote)
{
    world.library.makeFile("cat/a.bin", "old");
    world.library.writeNotes("cat/", {{"a.bin", QStringLiteral("已有的")}});
    for (const char* name : {"a.bin", "b.bin", "c.bin"}) {
        world.library.makeFile(QStringLiteral("../outside/") + name, name);
        setComment(path(QStringLiteral("../outside/") + name),
                   QStringLiteral("带来的 %1\x01\u202E\x7F").arg(name).toUtf8());
    }
    show();
    // A file replacing another shows the note stored for the name; the others take what they
    // brought, without the controls and the marks that turn text around.
    world.dialogs.fileChoices.push_back({path("../outside/a.bin"), path("../outside/b.bin")});
    world.dialogs.answers.push_back(core::Answer::Yes);
    imports.t104Click();
    EXPECT_EQ(noteOf("a.bin"), QStringLiteral("已有的"));
    EXPECT_EQ(stored("a.bin"), QStringLiteral("已有的"));
    EXPECT_EQ(noteOf("b.bin"), QStringLiteral("带来的 b.bin"));
    EXPECT_EQ(stored("b.bin"), QStringLiteral("带来的 b.bin"));

    // A folder whose file system keeps no attributes: the comment was read beforehand.
    testing_support::ScratchMount ramfs("ramfs", "");
    if (!ramfs.mounted())
        return; // mounting needs root
    world.config.writeString("UserDefDir", QStringLiteral("外部"), ramfs.path() + u'/');
    world.external.buildAtStart();
    const core::CategoryTreeModel& tree = world.workspace.externalTree();
    world.selectExternalNode(tree.index(0, 0, tree.rootIndex()));
    world.dialogs.fileChoices.push_back({path("../outside/c.bin")});
    imports.t104Click();
    EXPECT_EQ(noteOf("c.bin"), QStringLiteral("带来的 c.bin"));
    EXPECT_EQ(notes::NotesFile::open(ramfs.path() + u'/').readNote("c.bin"),
              QStringLiteral("带来的 c.bin"));
}

TEST_F(Keeper, ANoteBeingTypedGoesWithItsFileOrStaysInTheEditor)
{
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        world.library.makeFile(QStringLiteral("cat/") + name);
    show();
    if (live.folder().isEmpty())
        GTEST_SKIP() << "inotify cannot watch the temporary folder";

    // Typed for a.txt; another program renames it, and the selection moves on to c.txt while
    // the text stays in the editor.
    world.selectFiles({"a.txt"});
    world.workspace.setTopEditText(QStringLiteral("正在输入"));
    ASSERT_EQ(::rename(native(path("cat/a.txt")), native(path("cat/z.txt"))), 0);
    live.applyNow();
    world.files.setQuiet(true);
    world.selectFiles({"c.txt"});
    world.files.setQuiet(false);
    noteCommands.SaveEditTextClick();
    EXPECT_EQ(stored("z.txt"), QStringLiteral("正在输入"));
    EXPECT_EQ(stored("c.txt"), "") << "the text went to another file";

    world.selectFiles({"b.txt"});
    world.workspace.setTopEditText(QStringLiteral("写给乙"));
    ASSERT_EQ(::rename(native(path("cat/b.txt")), native(path("cat/y.txt"))), 0);
    live.applyNow();
    noteCommands.SaveEditTextClick();
    EXPECT_EQ(stored("y.txt"), QStringLiteral("写给乙"));
    EXPECT_EQ(noteOf("y.txt"), QStringLiteral("写给乙"));

    world.selectFiles({"c.txt"});
    world.workspace.setTopEditText(QStringLiteral("写给丙"));
    QFile::remove(path("cat/c.txt"));
    live.applyNow();
    noteCommands.SaveEditTextClick();
    EXPECT_EQ(world.dialogs.last().text, fileops::texts::EditedFileGone);
    EXPECT_EQ(world.workspace.topEditText(), QStringLiteral("写给丙"));
    EXPECT_EQ(world.library.notesText("cat/"),
              notesFileText({QStringLiteral("z.txt=正在输入"), QStringLiteral("y.txt=写给乙")}));
}

TEST_F(Keeper, AListingWritesOnlyWhatChangesAndTellsWhatItCouldNotWrite)
{
    world.library.makeFile("cat/x=y.txt");
    setComment(path("cat/x=y.txt"), "shown only");
    world.library.makeFile("cat/a.txt");
    world.library.writeNotes("cat/", {{"a.txt", QStringLiteral("甲")}});
    show();
    EXPECT_EQ(noteOf("x=y.txt"), "shown only");
    struct stat before;
    ASSERT_EQ(::stat(native(path("cat/zzfdat.nod")).constData(), &before), 0);
    world.files.flistrefClick();
    world.files.flistrefClick();
    struct stat after;
    ASSERT_EQ(::stat(native(path("cat/zzfdat.nod")).constData(), &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino) << "the notes file was written again, unchanged";

    // A comment to take in where the notes file cannot be written: shown, and told.
    world.library.makeFile("cat/b.txt");
    setComment(path("cat/b.txt"), "brought");
    struct RefuseNotesWrites : platform::sys::FaultHook
    {
        int before(platform::sys::Call call, int, const char* at, const char*) override
        {
            return call == platform::sys::Call::Create && at &&
                           QByteArrayView(at).contains("/cat/.quillet-")
                       ? EACCES
                       : 0;
        }
    } refuse;
    const platform::sys::ScopedHook hook(&refuse);
    world.files.flistrefClick();
    EXPECT_EQ(noteOf("b.txt"), "brought");
    EXPECT_TRUE(world.workspace.status().text(0).startsWith(core::texts::notesNotSettled({})));
}

TEST_F(Keeper, ACommentThatCannotFollowItsNoteIsNeverTakenBackOverIt)
{
    world.library.makeFile("cat/long.txt");
    world.library.makeFile("cat/locked.txt");
    world.library.makeFile("cat/moved.txt");
    show();
    setNote("long.txt", "old");
    setNote("locked.txt", "old");
    setNote("moved.txt", "old");
    {
        // Too long for the file system: the comment cannot take the new note, and goes.
        RefuseMetadata tooLong("long.txt", 1, E2BIG);
        // A file the user may not change: nothing of its attributes changes.
        RefuseMetadata locked("locked.txt", -1);
        const platform::sys::ScopedHook first(&tooLong);
        setNote("long.txt", "new");
        const platform::sys::ScopedHook second(&locked);
        world.selectFiles({"locked.txt"});
        world.dialogs.answers.push_back(core::Answer::Yes);
        noteCommands.clsmemoClick();
        RefuseMetadata alsoLocked("moved.txt", -1);
        const platform::sys::ScopedHook third(&alsoLocked);
        setNote("moved.txt", "new");
    }
    EXPECT_EQ(commentOf(path("cat/long.txt")), "<none>");
    EXPECT_EQ(commentOf(path("cat/locked.txt")), "old");
    EXPECT_EQ(commentOf(path("cat/moved.txt")), "old");
    // Renamed by another program while the program is closed.
    ASSERT_EQ(::rename(native(path("cat/moved.txt")), native(path("cat/renamed.txt"))), 0);
    world.files.flistrefClick();
    EXPECT_EQ(noteOf("long.txt"), "new");
    EXPECT_EQ(noteOf("locked.txt"), "");
    EXPECT_EQ(noteOf("renamed.txt"), "new");
    EXPECT_EQ(commentOf(path("cat/renamed.txt")), "new");
}

TEST_F(Keeper, ARowOfAFileThatCameAndWentGoesWithIt)
{
    world.library.makeFile("cat/a.txt");
    show();
    if (live.folder().isEmpty())
        GTEST_SKIP() << "inotify cannot watch the temporary folder";
    world.library.makeFile("cat/came.txt");
    live.applyNow();
    EXPECT_GE(world.rowOf("came.txt"), 0);
    QFile::remove(path("cat/came.txt"));
    world.library.makeFile("cat/brief.txt");
    QFile::remove(path("cat/brief.txt"));
    live.applyNow();
    EXPECT_EQ(world.listedNames(), QStringList("a.txt"));
}

TEST(KeeperOnAMediumWithoutAttributes, FlagsForSeveralFilesAreRefusedWhenAnyOfThemCannotHoldThem)
{
    testing_support::ScratchMount ramfs("ramfs", "");
    if (!ramfs.mounted())
        GTEST_SKIP() << "mounting a ramfs needs root";
    // Hidden by a dot name needs no attribute; any other file's hidden flag does. Whichever of
    // them the list shows last, nothing changes and the user is told.
    for (const bool descending : {false, true}) {
        World world;
        world.config.writeString("UserDefDir", QStringLiteral("外部"), ramfs.path() + u'/');
        for (const QString name : {".a", "z"})
            QFile(ramfs.path() + u'/' + name).open(QIODevice::WriteOnly);
        world.start();
        world.external.buildAtStart();
        const core::CategoryTreeModel& tree = world.workspace.externalTree();
        world.selectExternalNode(tree.index(0, 0, tree.rootIndex()));
        if (descending) {
            world.files.filelistColumnClick(0);
            ASSERT_EQ(world.listedNames(), QStringList({"z", ".a"}));
        }
        world.selectFiles({".a", "z"});
        core::AttributeBoxes boxes;
        boxes.readOnly = boxes.archive = boxes.system = core::BoxState::Grayed;
        boxes.hidden = core::BoxState::Checked;
        world.dialogs.attributeChoices.push_back(boxes);
        fileops::AttributeCommands(world.workspace, world.dialogs).fattrClick();
        EXPECT_EQ(world.dialogs.texts(),
                  QStringList(fileops::texts::attributesNotHeld(platform::Hidden)));
        EXPECT_FALSE(world.workspace.fileList().row(world.rowOf("z")).attrText.contains(u'H'));
        QFile::remove(ramfs.path() + QStringLiteral("/.a"));
        QFile::remove(ramfs.path() + QStringLiteral("/z"));
    }
}

TEST_F(Keeper, AFolderUnchangedSinceItsLastListingIsNotLookedAtAgainButAnyChangeIs)
{
    world.library.makeFile("cat/a.txt");
    world.library.makeFile("cat/b.txt");
    show();
    setNote("a.txt", QStringLiteral("甲"));
    setNote("b.txt", QStringLiteral("乙"));
    // Settled a while ago: the folder and its notes file are stamped by the next listing.
    const auto age = [&](const QString& relative) {
        const struct timespec old[2] = {{std::time(nullptr) - 60, 0}, {std::time(nullptr) - 60, 0}};
        ::utimensat(AT_FDCWD, native(path(relative)).constData(), old, 0);
    };
    age("cat/zzfdat.nod");
    age("cat");
    world.files.flistrefClick();
    char stamp[256];
    ASSERT_GT(
        ::getxattr(native(path("cat")).constData(), "user.quillet.settled", stamp, sizeof stamp),
        0);
    // Nothing changed since: no file is looked at again (a record taken away stays away).
    ASSERT_EQ(::removexattr(native(path("cat/a.txt")).constData(), "user.quillet.noted"), 0);
    world.files.flistrefClick();
    char record[256];
    EXPECT_LT(::getxattr(native(path("cat/a.txt")).constData(), "user.quillet.noted", record,
                         sizeof record),
              0);
    // Another program's rename changes the folder: it is settled again.
    ASSERT_EQ(::rename(native(path("cat/b.txt")), native(path("cat/d.txt"))), 0);
    world.files.flistrefClick();
    EXPECT_EQ(noteOf("d.txt"), QStringLiteral("乙"));
    EXPECT_GT(::getxattr(native(path("cat/a.txt")).constData(), "user.quillet.noted", record,
                         sizeof record),
              0);
}
