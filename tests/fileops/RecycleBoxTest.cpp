// The recycle box: deleting into it from the file list and the search list, deleting for good
// inside it, and emptying it.
#include "FileOpsHelpers.h"
#include "core/ConfigFile.h"
#include "fileops/RecycleBoxCommands.h"

#include <gtest/gtest.h>

using fileops_testing::entriesOf;
using fileops_testing::notesFileText;
using fileops_testing::searchRow;
using fileops_testing::selectedNames;
using testing_support::Shown;
using testing_support::World;

namespace {

class RecycleBox : public ::testing::Test
{
protected:
    World world;
    fileops::RecycleBoxCommands commands{world.workspace, world.dialogs};
    core::FileListModel& list = world.workspace.fileList();
    const platform::FileSystem& fs = platform::FileSystem::local();

    QString box() const { return world.library.path("oprecy/"); }
    void deleteFiles(const QStringList& names)
    {
        world.selectFiles(names);
        commands.delselfileClick();
    }
    void selectBox() { world.selectSystemNode(world.workspace.systemTree().recycleBoxIndex()); }
    void expectQuestion(const Shown& shown, const QString& caption, const QString& text,
                        core::Answer defaultButton = core::Answer::No)
    {
        EXPECT_EQ(shown.kind, Shown::Kind::Box);
        EXPECT_EQ(shown.caption, caption);
        EXPECT_EQ(shown.text, text);
        EXPECT_EQ(shown.icon, core::MessageIcon::Question);
        EXPECT_EQ(shown.buttons, core::Buttons::YesNo);
        EXPECT_EQ(shown.defaultButton, defaultButton);
    }
};

} // namespace

TEST_F(RecycleBox, DeletedFilesMoveIntoTheBoxWithTheirNotes)
{
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"})
        world.library.makeFile(QStringLiteral("cat/") + name, name);
    world.library.writeNotes(
        "cat/",
        {{"a.txt", QStringLiteral("说明A ")}, {"b.txt", "   "}, {"d.txt", QStringLiteral("留下")}});
    world.library.makeFile("filecomm/a.txt.txt", "document");
    world.start();
    world.selectCategory({"cat"});

    world.dialogs.answers.push_back(core::Answer::Yes);
    deleteFiles({"a.txt", "b.txt", "c.txt"});

    ASSERT_EQ(world.dialogs.shown.size(), 1u);
    expectQuestion(world.dialogs.shown[0], "请你三思！", "确定要将选取的文件移到废品收集箱吗？");
    EXPECT_EQ(entriesOf(box()), QStringList({"a.txt", "b.txt", "c.txt", "zzfdat.nod"}));
    EXPECT_EQ(world.library.read("oprecy/a.txt"), "a.txt");
    EXPECT_EQ(world.library.notesText("oprecy/"), notesFileText({"a.txt=说明A "}))
        << "only the note that is not blank goes into the box, untrimmed";
    EXPECT_EQ(world.library.notesText("cat/"), notesFileText({"d.txt=留下"}))
        << "the blank note's key goes all the same";
    EXPECT_EQ(world.library.read("filecomm/a.txt.txt"), "document");
    EXPECT_EQ(world.listedNames(), QStringList("d.txt"));
    EXPECT_EQ(world.workspace.status().text(1), "共1个文件");
    EXPECT_EQ(world.dialogs.busyDepth, 0);
}

TEST_F(RecycleBox, TheQuestionBeforeMovingFollowsDelDialog)
{
    world.library.makeFile("cat/a.txt");
    world.library.makeFile("cat/b.txt");
    world.start();
    world.selectCategory({"cat"});

    world.dialogs.answers.push_back(core::Answer::No);
    deleteFiles({"a.txt"});
    EXPECT_EQ(world.dialogs.shown.size(), 1u);
    EXPECT_EQ(world.listedNames(), QStringList({"a.txt", "b.txt"}));
    EXPECT_TRUE(world.library.exists("cat/a.txt"));

    world.session.options().DelDialog = false;
    world.session.options().EmptyDialog = true; // has no say here
    deleteFiles({"a.txt"});
    EXPECT_EQ(world.dialogs.shown.size(), 1u);
    EXPECT_TRUE(world.library.exists("oprecy/a.txt"));
    EXPECT_EQ(world.listedNames(), QStringList("b.txt"));
}

TEST_F(RecycleBox, ASameNamedFileInTheBoxIsOfferedForDirectDeletion)
{
    world.library.makeFile("cat/0first.txt", "first");
    world.library.makeFile("cat/a.txt", "category a");
    world.library.makeFile("cat/b.txt", "category b");
    world.library.writeNotes("cat/", {{"0first.txt", QStringLiteral("先走")},
                                      {"a.txt", QStringLiteral("甲")},
                                      {"b.txt", QStringLiteral("乙")}});
    world.library.makeFile("oprecy/a.txt", "boxed a");
    world.library.makeFile("oprecy/b.txt", "boxed b");
    world.library.writeNotes("oprecy/", {{"a.txt", QStringLiteral("箱里的甲")}});
    world.library.makeFile("filecomm/a.txt.txt", "document");
    world.session.options().DelDialog = false;
    world.start();
    world.selectCategory({"cat"});

    world.dialogs.answers = {core::Answer::Yes, core::Answer::No};
    deleteFiles({"0first.txt", "a.txt", "b.txt"});

    ASSERT_EQ(world.dialogs.shown.size(), 2u);
    expectQuestion(world.dialogs.shown[0], "请注意！",
                   "回收箱中已有[a.txt]同名文件存在，是否直接删除？");
    expectQuestion(world.dialogs.shown[1], "请注意！",
                   "回收箱中已有[b.txt]同名文件存在，是否直接删除？");
    EXPECT_FALSE(world.library.exists("cat/a.txt"));
    EXPECT_EQ(world.library.read("oprecy/a.txt"), "boxed a");
    EXPECT_EQ(world.library.read("cat/b.txt"), "category b");
    EXPECT_EQ(world.library.read("filecomm/a.txt.txt"), "document");
    EXPECT_EQ(world.library.notesText("cat/"), notesFileText({"b.txt=乙"}));
    EXPECT_EQ(world.library.notesText("oprecy/"),
              notesFileText({"a.txt=箱里的甲", "0first.txt=先走"}));
    EXPECT_EQ(world.listedNames(), QStringList("b.txt"));
    EXPECT_TRUE(selectedNames(world).isEmpty());
}

TEST_F(RecycleBox, FailuresAreReportedPerFileAndTheirRowsStay)
{
    world.library.makeFile("cat/gone.txt");
    world.library.makeFile("cat/locked.txt", "locked");
    world.library.makeFile("cat/ok.txt", "ok");
    world.library.makeFile("oprecy/locked.txt", "boxed");
    world.session.options().DelDialog = false;
    world.start();
    world.selectCategory({"cat"});
    ASSERT_TRUE(fs.setAttributes(world.library.path("cat/locked.txt"), platform::ReadOnly));
    QFile::remove(world.library.path("cat/gone.txt")); // vanished since the list was read

    world.dialogs.answers.push_back(core::Answer::Yes);
    deleteFiles({"gone.txt", "locked.txt", "ok.txt"});

    EXPECT_EQ(world.dialogs.texts(),
              QStringList({"删除文件[gone.txt]时失败,请稍后重试！",
                           "回收箱中已有[locked.txt]同名文件存在，是否直接删除？",
                           "文件[locked.txt]可能是只读文件，删除失败！"}));
    EXPECT_EQ(world.dialogs.shown[0].kind, Shown::Kind::Plain);
    EXPECT_EQ(world.dialogs.shown[2].kind, Shown::Kind::Plain);
    EXPECT_EQ(world.library.read("cat/locked.txt"), "locked");
    EXPECT_EQ(world.library.read("oprecy/ok.txt"), "ok");
    EXPECT_EQ(world.listedNames(), QStringList({"gone.txt", "locked.txt"}));
    EXPECT_TRUE(selectedNames(world).isEmpty());
    EXPECT_EQ(world.workspace.status().text(1), "共2个文件");
}

TEST_F(RecycleBox, AReadOnlyFileGoesIntoTheBoxButOnlyEmptyingDeletesIt)
{
    world.library.makeFile("cat/r.txt", "r");
    world.library.writeNotes("cat/", {{"r.txt", QStringLiteral("只读")}});
    world.session.options().DelDialog = false;
    world.session.options().EmptyDialog = false;
    world.start();
    world.selectCategory({"cat"});
    ASSERT_TRUE(fs.setAttributes(world.library.path("cat/r.txt"), platform::ReadOnly));

    deleteFiles({"r.txt"});
    EXPECT_TRUE(world.library.exists("oprecy/r.txt"));

    selectBox();
    deleteFiles({"r.txt"});
    EXPECT_EQ(world.dialogs.texts(), QStringList("删除文件[r.txt]时失败！可能是只读文件！"));
    EXPECT_TRUE(world.library.exists("oprecy/r.txt"));
    EXPECT_EQ(world.listedNames(), QStringList("r.txt"));

    commands.emptyboxClick();
    EXPECT_EQ(world.dialogs.shown.size(), 1u);
    EXPECT_EQ(entriesOf(box()), QStringList());
    EXPECT_EQ(list.count(), 0);
}

TEST_F(RecycleBox, DeletingInsideTheBoxRemovesFilesDocumentsAndNotesForGood)
{
    world.library.makeFile("oprecy/a.txt");
    world.library.makeFile("oprecy/b.txt");
    world.library.makeFile("oprecy/c.txt");
    world.library.writeNotes("oprecy/", {{"a.txt", "1"}, {"b.txt", "2"}, {"c.txt", "3"}});
    world.library.makeFile("filecomm/a.txt.txt", "document a");
    world.library.makeFile("filecomm/c.txt.txt", "document c");
    world.start();
    selectBox();

    world.dialogs.answers.push_back(core::Answer::No);
    deleteFiles({"a.txt", "b.txt"});
    ASSERT_EQ(world.dialogs.shown.size(), 1u);
    expectQuestion(world.dialogs.shown[0], "请你注意！", "确定要删除选取的文件吗？");
    EXPECT_EQ(list.count(), 3);

    world.dialogs.answers.push_back(core::Answer::Yes);
    deleteFiles({"a.txt", "b.txt"});
    EXPECT_EQ(entriesOf(box()), QStringList({"c.txt", "zzfdat.nod"}));
    EXPECT_EQ(entriesOf(world.library.path("filecomm")), QStringList("c.txt.txt"));
    EXPECT_EQ(world.library.notesText("oprecy/"), notesFileText({"c.txt=3"}));
    EXPECT_EQ(world.listedNames(), QStringList("c.txt"));
    EXPECT_EQ(world.workspace.status().text(1), "共1个文件");

    world.session.options().EmptyDialog = false;
    deleteFiles({"c.txt"});
    EXPECT_EQ(world.dialogs.shown.size(), 2u);
    EXPECT_EQ(list.count(), 0);
}

TEST_F(RecycleBox, FilesOfAnExternalFolderGoIntoTheLibrarysBox)
{
    world.library.makeFile("../external/x.txt", "x");
    world.library.writeNotes("../external/", {{"x.txt", QStringLiteral("外部")}});
    const QString folder = world.library.path("../external/");
    world.config.writeString(core::section::UserDefDir, "ext", folder);
    world.session.options().DelDialog = false;
    world.start();
    core::CategoryTreeModel& external = world.workspace.externalTree();
    world.selectExternalNode(external.appendChild(external.rootIndex(), "ext"));
    ASSERT_EQ(world.listedNames(), QStringList("x.txt"));

    deleteFiles({"x.txt"});
    EXPECT_EQ(world.library.read("oprecy/x.txt"), "x");
    EXPECT_EQ(world.library.notesText("oprecy/"), notesFileText({"x.txt=外部"}));
    EXPECT_EQ(world.library.notesText("../external/"), "[fileinfo]\r\n");
}

TEST_F(RecycleBox, ABoxNotesFileThatCannotBeWrittenEndsTheCommandWithoutLosingANote)
{
    world.library.makeFile("cat/a.txt");
    world.library.makeFile("cat/b.txt");
    world.library.writeNotes("cat/", {{"a.txt", "1"}, {"b.txt", "2"}});
    world.library.writeNotes("oprecy/", {});
    ASSERT_TRUE(fs.setAttributes(box() + "zzfdat.nod", platform::ReadOnly));
    world.session.options().DelDialog = false;
    world.start();
    world.selectCategory({"cat"});

    world.selectFiles({"a.txt", "b.txt"});
    try {
        commands.delselfileClick();
        FAIL() << "the refused write must reach the error box";
    } catch (const platform::WriteError& error) {
        EXPECT_EQ(error.message().section(u'\n', 0, 0),
                  "Unable to write to " + box() + "zzfdat.nod");
    }
    // No file leaves without its note: both stay, with their rows and their notes.
    EXPECT_TRUE(world.library.exists("cat/a.txt"));
    EXPECT_TRUE(world.library.exists("cat/b.txt"));
    EXPECT_EQ(world.library.notesText("cat/"), notesFileText({"a.txt=1", "b.txt=2"}));
    EXPECT_EQ(world.listedNames(), QStringList({"a.txt", "b.txt"}));
    EXPECT_EQ(selectedNames(world), QStringList({"a.txt", "b.txt"}));
}

TEST_F(RecycleBox, SearchResultsGoIntoTheBoxAndOnlyNotesThatAreNotBlankMove)
{
    world.library.makeFile("one/a.txt", "a");
    world.library.makeFile("two/b.txt", "b");
    world.library.makeFile("two/c.txt", "c");
    world.library.makeFile("two/dup.txt", "two's dup");
    world.library.makeFile("oprecy/dup.txt", "boxed dup");
    world.library.writeNotes("one/", {{"a.txt", QStringLiteral("一")}});
    world.library.writeNotes("two/", {{"b.txt", "  "}, {"c.txt", QStringLiteral("丙")}});
    world.start();
    world.selectCategory({"two"});
    const QString one = world.library.path("one/");
    const QString two = world.library.path("two/");
    core::FileListModel& found = world.workspace.searchList();
    found.setRows({searchRow(one, "a.txt", QStringLiteral("一")), searchRow(two, "b.txt", "  "),
                   searchRow(two, "dup.txt", ""), searchRow(two, "c.txt", QStringLiteral("丙"))});
    world.workspace.searchSelection().select(
        QItemSelection(found.index(0, 0), found.index(3, found.columnCount() - 1)),
        QItemSelectionModel::Select);
    world.workspace.setPage(core::Workspace::Page::Search);
    world.session.options().DelDialog = false; // the search list follows EmptyDialog

    world.dialogs.answers.push_back(core::Answer::Yes);
    commands.delselfileClick();

    ASSERT_EQ(world.dialogs.shown.size(), 1u) << "a failed move says nothing";
    expectQuestion(world.dialogs.shown[0], "请你三思", "真的要删除选中的文件吗？");
    EXPECT_EQ(entriesOf(box()), QStringList({"a.txt", "b.txt", "c.txt", "dup.txt", "zzfdat.nod"}));
    EXPECT_EQ(world.library.read("oprecy/dup.txt"), "boxed dup");
    EXPECT_EQ(world.library.notesText("oprecy/"), notesFileText({"a.txt=一", "c.txt=丙"}));
    EXPECT_EQ(world.library.notesText("one/"), "[fileinfo]\r\n");
    EXPECT_EQ(world.library.notesText("two/"), notesFileText({"b.txt=  "}));
    ASSERT_EQ(found.count(), 1);
    EXPECT_EQ(found.row(0).name, "dup.txt");
    EXPECT_EQ(core::Workspace::firstSelectedRow(world.workspace.searchSelection()), -1);
    EXPECT_EQ(world.listedNames(), QStringList({"b.txt", "c.txt", "dup.txt"}))
        << "the file list is not brought in step";

    world.session.options().EmptyDialog = false;
    world.workspace.searchSelection().select(found.index(0, 0), QItemSelectionModel::Select |
                                                                    QItemSelectionModel::Rows);
    commands.DELFMClick();
    EXPECT_EQ(world.dialogs.shown.size(), 1u);
}

TEST_F(RecycleBox, EmptyingTheBoxAsksAndRemovesEveryListedFileWithItsDocument)
{
    world.library.makeFile("oprecy/a.txt");
    world.library.makeFile("oprecy/b.txt");
    world.library.writeNotes("oprecy/", {{"a.txt", "1"}, {"b.txt", "2"}});
    world.library.makeFile("filecomm/a.txt.txt", "document");
    world.library.makeFile("cat/c.txt");
    world.start();

    world.selectCategory({"cat"});
    commands.emptyboxClick();
    EXPECT_EQ(world.dialogs.texts(), QStringList("你目前不是处在[废物收集箱]中操作！"));
    EXPECT_EQ(world.dialogs.shown[0].kind, Shown::Kind::Plain);

    world.dialogs.shown.clear();
    selectBox();
    world.dialogs.answers.push_back(core::Answer::No);
    commands.emptyboxClick();
    ASSERT_EQ(world.dialogs.shown.size(), 1u);
    expectQuestion(world.dialogs.shown[0], "请保持头脑清醒",
                   "你真的要清空全部文件吗？清空后再也不能找回来的 0_0");
    EXPECT_EQ(list.count(), 2);

    world.dialogs.answers.push_back(core::Answer::Yes);
    commands.emptyboxClick();
    EXPECT_EQ(entriesOf(box()), QStringList());
    EXPECT_EQ(entriesOf(world.library.path("filecomm")), QStringList());
    EXPECT_EQ(list.count(), 0);

    // An empty list: nothing at all.
    world.dialogs.shown.clear();
    commands.emptyboxClick();
    EXPECT_TRUE(world.dialogs.nothingShown());
}

TEST_F(RecycleBox, FilesEmptyingLeavesInTheBoxKeepTheirNotesAndDocuments)
{
    world.library.makeFile("oprecy/a.txt");
    world.library.makeFile("oprecy/stuck.txt");
    world.library.writeNotes("oprecy/", {{"a.txt", "1"},
                                         {"stuck.txt", QStringLiteral("删不掉")},
                                         {"late.txt", QStringLiteral("后来的")}});
    world.library.makeFile("filecomm/stuck.txt.txt", "document");
    world.session.options().EmptyDialog = false;
    world.start();
    selectBox();
    // Since the list was read, one file came and one listed name became a folder that
    // cannot be deleted as a file.
    world.library.makeFile("oprecy/late.txt", "late");
    QFile::remove(box() + "stuck.txt");
    world.library.makeFile("oprecy/stuck.txt/inside");

    commands.emptyboxClick();
    // The file that could not be deleted is told, and keeps its row.
    EXPECT_EQ(world.dialogs.texts(),
              QStringList(QStringLiteral("删除文件[stuck.txt]时失败！可能是只读文件！")));
    EXPECT_EQ(entriesOf(box()), QStringList({"late.txt", "stuck.txt", "zzfdat.nod"}));
    EXPECT_EQ(world.library.notesText("oprecy/"),
              notesFileText({"stuck.txt=删不掉", "late.txt=后来的"}));
    EXPECT_EQ(world.library.read("filecomm/stuck.txt.txt"), "document");
    EXPECT_EQ(world.listedNames(), QStringList{"stuck.txt"});
}

TEST_F(RecycleBox, ADeleteOnAReadOnlyLibraryIsRefused)
{
    World readOnly(false);
    fileops::RecycleBoxCommands commands{readOnly.workspace, readOnly.dialogs};
    readOnly.library.makeFile("cat/a.txt");
    readOnly.start();
    readOnly.selectCategory({"cat"});
    readOnly.selectFiles({"a.txt"});

    commands.delselfileClick();
    ASSERT_EQ(readOnly.dialogs.shown.size(), 1u);
    const Shown& refusal = readOnly.dialogs.shown[0];
    EXPECT_EQ(refusal.caption, "系统提示");
    EXPECT_EQ(refusal.text, "当前应用程序运行在一个只读存储存设备上，本命令不可执行！");
    EXPECT_EQ(refusal.icon, core::MessageIcon::Warning);
    EXPECT_EQ(refusal.buttons, core::Buttons::Ok);
    EXPECT_TRUE(readOnly.library.exists("cat/a.txt"));
}
