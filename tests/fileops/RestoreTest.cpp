// Restoring from the recycle box: files go back, with their notes, into the categories they
// were deleted from; where that cannot be, the user chooses another in the tree.
#include "FileOpsHelpers.h"
#include "fileops/BoxOrigins.h"
#include "fileops/FileOpsTexts.h"
#include "fileops/MoveCommands.h"
#include "fileops/RecycleBoxCommands.h"
#include "fileops/RestoreCommands.h"
#include "notes/OriginRecords.h"
#include "platform/ExtendedAttributes.h"
#include "support/FolderNotes.h"
#include "support/ScratchMount.h"

#include <QDir>

#include <gtest/gtest.h>
#include <unistd.h>

using fileops_testing::searchRow;
using testing_support::FolderNotes;
using testing_support::World;

namespace {

class Restore : public ::testing::Test
{
protected:
    World world;
    fileops::RecycleBoxCommands box{world.workspace, world.dialogs};
    fileops::RestoreCommands restore{world.workspace, world.dialogs};
    fileops::MoveCommands moves{world.workspace, world.dialogs};

    void SetUp() override
    {
        world.session.options().DelDialog = false;
        world.session.options().EmptyDialog = false;
    }
    QString path(const QString& relative) const { return world.library.path(relative); }
    // Files with notes in their categories ("cat/sub/a.txt" -> note "note a.txt").
    void makeNotedFiles(const QStringList& paths)
    {
        for (const QString& file : paths) {
            world.library.makeFile(file, file.toUtf8());
            FolderNotes(path(platform::folderOfPath(file)))
                .writeNote(platform::nameOfPath(file), "note " + platform::nameOfPath(file));
        }
    }
    void deleteFrom(const QStringList& category, const QStringList& names)
    {
        world.selectCategory(category);
        world.selectFiles(names);
        box.delselfileClick();
    }
    void showBox() { world.selectSystemNode(world.workspace.systemTree().recycleBoxIndex()); }
    void restoreFromBox(const QStringList& names)
    {
        showBox();
        world.selectFiles(names);
        restore.restorefileClick();
    }
    QString noteIn(const QString& folder, const QString& name) const
    {
        return FolderNotes(path(folder)).readNote(name);
    }
    QByteArray recordOf(const QString& relative) const
    {
        return platform::readAttribute(path(relative), fileops::FromFolderAttribute)
            .value_or("<none>");
    }
    // The box's notes file's record of where `name` came from.
    QByteArray notesRecordOf(const QString& name) const
    {
        const auto document = notes::NotesFile::open(path("oprecy/")).document();
        return document ? notes::originIn(*document, name).value_or("<none>") : "<unreadable>";
    }
};

} // namespace

TEST_F(Restore, FilesGoBackWithTheirNotesWhereverTheyWereDeletedFrom)
{
    makeNotedFiles({"cat/a.txt", "cat/sub/b.txt", "dst/c.txt", "tempdir/t.txt"});
    world.library.makeFile("filecomm/a.txt.txt", "document a");
    world.start();
    // Into the box by the delete command, the search list's delete, a drop on the box node.
    deleteFrom({"cat"}, {"a.txt"});
    world.showFound({searchRow(path("cat/sub/"), "b.txt", "note b.txt")});
    box.DELFMClick();
    world.workspace.setPage(core::Workspace::Page::Browse);
    world.selectCategory({"dst"});
    world.selectFiles({"c.txt"});
    moves.treeviewDragDrop(core::DragSource::FileList,
                           world.workspace.systemTree().recycleBoxIndex());
    world.selectSystemNode(world.workspace.systemTree().transitIndex());
    world.selectFiles({"t.txt"});
    box.delselfileClick();
    EXPECT_EQ(recordOf("oprecy/a.txt"), "cat/") << "a category is recorded within the library";
    EXPECT_EQ(recordOf("oprecy/b.txt"), "cat/sub/");
    EXPECT_EQ(recordOf("oprecy/c.txt"), "dst/");
    ASSERT_EQ(noteIn("oprecy/", "a.txt"), "note a.txt");

    restoreFromBox({"a.txt", "b.txt", "c.txt", "t.txt"});

    EXPECT_TRUE(world.dialogs.nothingShown()) << world.dialogs.texts().join(u'|').toStdString();
    for (const char* file : {"cat/a.txt", "cat/sub/b.txt", "dst/c.txt", "tempdir/t.txt"}) {
        const QString relative = QLatin1String(file);
        EXPECT_EQ(world.library.read(relative), relative.toUtf8());
        EXPECT_EQ(noteIn(platform::folderOfPath(relative), platform::nameOfPath(relative)),
                  "note " + platform::nameOfPath(relative));
        EXPECT_EQ(recordOf(relative), "<none>") << "the record goes with the file out of the box";
    }
    EXPECT_TRUE(world.listedNames().isEmpty());
    EXPECT_EQ(world.workspace.status().text(1), "共0个文件");
    EXPECT_EQ(noteIn("oprecy/", "a.txt"), "");
    EXPECT_EQ(world.library.read("filecomm/a.txt.txt"), "document a");
    EXPECT_EQ(world.dialogs.busyDepth, 0);
}

TEST_F(Restore, WhereTheCategoryIsGoneOrUnknownTheUserChoosesInTheTree)
{
    makeNotedFiles({"cat/a.txt", "cat/b.txt", "keep/sub/k.txt"});
    world.library.makeDir("dst/deep");
    world.start();
    deleteFrom({"cat"}, {"a.txt", "b.txt"});
    deleteFrom({"keep", "sub"}, {"k.txt"});
    ASSERT_TRUE(QDir(path("cat")).removeRecursively());
    ASSERT_TRUE(QDir(path("keep/sub")).removeRecursively());
    // Put there by another program: the box does not know where it came from.
    world.library.makeFile("oprecy/x.txt", "x");

    world.dialogs.categoryChoices = {QStringList{"dst", "deep"}, std::nullopt, QStringList{"dst"},
                                     std::nullopt};
    restoreFromBox({"a.txt", "b.txt", "k.txt", "x.txt"});

    const auto& asked = world.dialogs.categoryQuestions;
    ASSERT_EQ(asked.size(), 4u);
    EXPECT_EQ(asked[0].caption, "还原文件");
    EXPECT_EQ(asked[0].prompt, fileops::texts::restoreOriginGone("a.txt", "cat"));
    EXPECT_EQ(asked[2].initial, world.findCategory({"keep"}))
        << "the nearest category above the one that is gone";
    EXPECT_EQ(asked[3].prompt, fileops::texts::restoreUnknownOrigin("x.txt"));
    EXPECT_FALSE(asked[0].canChoose(world.workspace.systemTree().rootIndex()));
    EXPECT_FALSE(asked[0].canChoose(world.workspace.systemTree().recycleBoxIndex()));
    EXPECT_TRUE(asked[0].canChoose(world.workspace.systemTree().transitIndex()));

    EXPECT_EQ(world.library.read("dst/deep/a.txt"), "cat/a.txt");
    EXPECT_EQ(noteIn("dst/deep/", "a.txt"), "note a.txt");
    EXPECT_EQ(world.library.read("dst/k.txt"), "keep/sub/k.txt");
    // Cancelled: they stay in the box with their notes, their rows deselected.
    EXPECT_EQ(world.listedNames(), QStringList({"b.txt", "x.txt"}));
    EXPECT_TRUE(fileops_testing::selectedNames(world).isEmpty());
    EXPECT_EQ(noteIn("oprecy/", "b.txt"), "note b.txt");
    EXPECT_EQ(recordOf("oprecy/b.txt"), "cat/");
    EXPECT_TRUE(world.dialogs.nothingShown());
}

TEST_F(Restore, ATakenNameIsReplacedAsAMoveReplacesOrTheUserChoosesElsewhere)
{
    makeNotedFiles({"cat/a.txt", "cat/b.txt"});
    world.library.makeDir("dst");
    world.start();
    deleteFrom({"cat"}, {"a.txt", "b.txt"});
    world.library.makeFile("cat/a.txt", "new a");
    world.library.makeFile("cat/b.txt", "new b");
    FolderNotes(path("cat/")).writeNote("b.txt", "new b's note");

    // Yes replaces a.txt; No for b.txt asks with the tree, where dst is chosen.
    world.dialogs.answers = {core::Answer::Yes, core::Answer::No};
    world.dialogs.categoryChoices = {QStringList{"dst"}};
    restoreFromBox({"a.txt", "b.txt"});

    ASSERT_EQ(world.dialogs.shown.size(), 2u);
    EXPECT_EQ(world.dialogs.shown[0].caption, fileops::texts::MoveSameNameCaption);
    EXPECT_TRUE(world.dialogs.shown[0].text.startsWith("分类库[cat]中已有a.txt文件存在,\n"));
    EXPECT_EQ(world.dialogs.shown[0].defaultButton, core::Answer::Yes);
    EXPECT_EQ(world.library.read("cat/a.txt"), "cat/a.txt");
    EXPECT_EQ(noteIn("cat/", "a.txt"), "note a.txt") << "the note it brings replaces";
    EXPECT_EQ(world.library.read("cat/b.txt"), "new b");
    EXPECT_EQ(noteIn("cat/", "b.txt"), "new b's note");
    ASSERT_EQ(world.dialogs.categoryQuestions.size(), 1u);
    EXPECT_EQ(world.dialogs.categoryQuestions[0].prompt, fileops::texts::restoreElsewhere("b.txt"));
    EXPECT_EQ(world.dialogs.categoryQuestions[0].initial, world.findCategory({"cat"}));
    EXPECT_EQ(world.library.read("dst/b.txt"), "cat/b.txt");
    EXPECT_EQ(noteIn("dst/", "b.txt"), "note b.txt");
    EXPECT_TRUE(world.listedNames().isEmpty());
}

TEST_F(Restore, WithoutAttributesTheBoxsNotesFileKeepsTheRecordUntilTheFileLeaves)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting a file system without extended attributes needs root";
    testing_support::ScratchMount ramfs("ramfs", "", path("oprecy"));
    if (!ramfs.mounted())
        GTEST_SKIP() << "ramfs could not be mounted here";
    makeNotedFiles({"cat/a.txt", "cat/b.txt", "cat/c.txt", "cat/d.txt"});
    world.library.makeDir("dst");
    world.start();
    deleteFrom({"cat"}, {"a.txt", "b.txt", "c.txt", "d.txt"});
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"})
        EXPECT_EQ(notesRecordOf(QLatin1String(name)), "cat/");
    EXPECT_EQ(noteIn("oprecy/", "d.txt"), "note d.txt") << "the notes stay as they are";

    restoreFromBox({"a.txt"});
    EXPECT_EQ(world.library.read("cat/a.txt"), "cat/a.txt");
    EXPECT_EQ(notesRecordOf("a.txt"), "<none>");

    // Dragged out, the record goes; deleted again, the new category is recorded.
    world.selectFiles({"b.txt"});
    moves.treeviewDragDrop(core::DragSource::FileList, world.findCategory({"dst"}));
    EXPECT_EQ(notesRecordOf("b.txt"), "<none>");
    deleteFrom({"dst"}, {"b.txt"});
    EXPECT_EQ(notesRecordOf("b.txt"), "dst/");
    restoreFromBox({"b.txt"});
    EXPECT_EQ(world.library.read("dst/b.txt"), "cat/b.txt");

    // Deleted for good, and the box emptied.
    showBox();
    world.selectFiles({"c.txt"});
    box.delselfileClick();
    EXPECT_EQ(notesRecordOf("c.txt"), "<none>");
    EXPECT_EQ(notesRecordOf("d.txt"), "cat/");
    box.emptyboxClick();
    EXPECT_FALSE(world.library.exists("oprecy/zzfdat.nod"));
    EXPECT_TRUE(world.dialogs.nothingShown()) << world.dialogs.texts().join(u'|').toStdString();
}

TEST_F(Restore, AFileDraggedOutOfTheBoxLeavesItsRecordBehind)
{
    makeNotedFiles({"cat/a.txt"});
    world.library.makeDir("dst");
    world.start();
    deleteFrom({"cat"}, {"a.txt"});
    showBox();
    world.selectFiles({"a.txt"});
    moves.treeviewDragDrop(core::DragSource::FileList, world.findCategory({"dst"}));
    EXPECT_EQ(recordOf("dst/a.txt"), "<none>");
    EXPECT_EQ(noteIn("dst/", "a.txt"), "note a.txt");
}
