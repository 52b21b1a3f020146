// The category tree on a real library: filling, selecting, creating, renaming, deleting.
#include "core/Texts.h"
#include "platform/FileNames.h"
#include "support/World.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using core::Answer;
using core::OkResult;
using testing_support::Shown;
using testing_support::World;

namespace {

class CategoryTree : public ::testing::Test
{
protected:
    World world;
    core::CategoryTreeModel& tree = world.workspace.systemTree();
    testing_support::ScriptedDialogs& dialogs = world.dialogs;

    QStringList rootChildren() { return world.childCaptions(tree.rootIndex()); }
    QModelIndex selected() { return world.workspace.selectedNode(tree); }
};

} // namespace

TEST_F(CategoryTree, HidesTheReservedFoldersByTheirExactNamesAtAnyDepth)
{
    for (const char* name : {"网络工具", "oprecy", "OPRECY", "Language", "language", "办公"})
        world.library.makeDir(QString::fromUtf8(name));
    world.library.makeDir("网络工具/tempdir");
    world.library.makeDir("网络工具/filecomm");
    world.library.makeDir("网络工具/下载");
    world.library.makeFile("notafolder.txt");
    world.start();

    QStringList shown = rootChildren();
    shown.sort();
    EXPECT_EQ(shown, QStringList({"Language", "OPRECY", QStringLiteral("办公"),
                                  QStringLiteral("网络工具")}));
    const QModelIndex tools = world.findCategory({QStringLiteral("网络工具")});
    tree.treeviewExpanding(tools);
    EXPECT_EQ(world.childCaptions(tools), QStringList(QStringLiteral("下载")));
}

TEST_F(CategoryTree, FillsOneLevelAtATimeAndOnlyOnce)
{
    world.library.makeDir("a/b/c");
    world.library.makeDir("only-hidden/oprecy");
    world.library.makeDir("leaf");
    world.start();

    const QModelIndex a = tree.index(0, 0, tree.rootIndex());
    ASSERT_EQ(tree.captionOf(a), "a");
    EXPECT_EQ(tree.rowCount(a), 0) << "children are read only on expansion";
    EXPECT_TRUE(tree.hasChildren(a));
    EXPECT_FALSE(tree.hasChildren(world.findCategory({"leaf"})));

    tree.treeviewExpanding(a);
    EXPECT_EQ(world.childCaptions(a), QStringList("b"));
    world.library.makeDir("a/b2");
    tree.treeviewExpanding(a);
    EXPECT_EQ(world.childCaptions(a), QStringList("b")) << "a node is filled only once";

    const QModelIndex onlyHidden = world.findCategory({"only-hidden"});
    EXPECT_TRUE(tree.hasChildren(onlyHidden)) << "a hidden subfolder still shows the button";
    tree.treeviewExpanding(onlyHidden);
    EXPECT_EQ(tree.rowCount(onlyHidden), 0);
    EXPECT_FALSE(tree.hasChildren(onlyHidden));
}

TEST_F(CategoryTree, SortsChildrenByTheLocaleComparisonAfterEveryFill)
{
    for (const char* name : {"zeta", "Alpha", "beta", "10", "2"})
        world.library.makeDir(name);
    world.start();
    const QStringList children = rootChildren();
    EXPECT_LT(children.indexOf("Alpha"), children.indexOf("beta"));
    EXPECT_LT(children.indexOf("beta"), children.indexOf("zeta"));
}

TEST_F(CategoryTree, SelectingNodesSetsTheCurrentFolderTheStatusAndTheList)
{
    world.library.makeDir("cat");
    world.library.makeFile("cat/a.txt");
    world.library.makeFile("cat/b.txt");
    world.start();
    const core::Session& session = world.session;
    core::StatusPanels& status = world.workspace.status();

    EXPECT_EQ(session.currentDir(), world.library.root());
    EXPECT_EQ(status.text(1), "系统总分类库");
    EXPECT_EQ(world.workspace.fileList().count(), 0);

    world.selectCategory({"cat"});
    EXPECT_EQ(session.currentDir(), world.library.path("cat/"));
    EXPECT_EQ(status.text(0), world.library.path("cat/"));
    EXPECT_EQ(status.text(1), "共2个文件");
    EXPECT_EQ(session.notesFile().path(), world.library.path("cat/zzfdat.nod"));
    EXPECT_EQ(world.listedNames(), QStringList({"a.txt", "b.txt"}));

    world.selectSystemNode(tree.recycleBoxIndex());
    EXPECT_EQ(session.currentDir(), world.library.path("oprecy/"));
    world.selectSystemNode(tree.transitIndex());
    EXPECT_EQ(session.currentDir(), world.library.path("tempdir/"));

    world.selectSystemNode(tree.rootIndex());
    EXPECT_EQ(world.workspace.fileList().count(), 0);
    EXPECT_EQ(session.notesFile().path(), world.library.path("tempdir/zzfdat.nod"))
        << "the root shows no files and keeps the notes file";
    EXPECT_TRUE(dialogs.nothingShown());
}

TEST_F(CategoryTree, AMissingRecycleBoxIsMadeAgainAndAMissingCategoryIsRemoved)
{
    world.library.makeDir("first");
    world.library.makeDir("gone");
    world.library.makeDir("last");
    world.start();
    QDir(world.library.path("oprecy")).removeRecursively();
    QDir(world.library.path("gone")).removeRecursively();

    world.selectSystemNode(tree.recycleBoxIndex());
    EXPECT_EQ(dialogs.texts(), QStringList("注意《废品回收箱》文件夹不存在,系统将自动创建！"));
    EXPECT_TRUE(QFileInfo(world.library.path("oprecy")).isDir());

    dialogs.shown.clear();
    world.selectCategory({"gone"});
    EXPECT_EQ(dialogs.texts(), QStringList("注意！此分类库的磁盘所在目录不存在,系统将要删除！"));
    EXPECT_EQ(rootChildren(), QStringList({"first", "last"}));
    EXPECT_EQ(tree.captionOf(selected()), "last") << "the next node is selected and listed";
    EXPECT_EQ(world.session.currentDir(), world.library.path("last/"));
}

TEST_F(CategoryTree, ATransitFolderThatCannotBeMadeIsReportedAndNotListed)
{
    world.start();
    QDir(world.library.path("tempdir")).removeRecursively();
    world.library.makeFile("tempdir", "a file where the folder should be");

    world.selectSystemNode(tree.transitIndex());
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0].text, "注意《临时中转站》文件夹不存在,系统将自动创建！");
    EXPECT_EQ(dialogs.shown[1].kind, Shown::Kind::Error);
    EXPECT_EQ(dialogs.shown[1].text, qt_error_string(EEXIST));
}

TEST_F(CategoryTree, CreatingACategoryChecksItsNameInOrder)
{
    world.library.makeDir("existing");
    // A folder named in GBK bytes on Windows shows as 旧类库 and is that category.
    world.library.makeDir(platform::pathFromNative(testing_support::gbk(QStringLiteral("旧类库"))));
    world.start();
    dialogs.nameInputs.push_back({"   ", " OpReCy ", "a:b", "existing", "旧类库", "  新类库  "});
    world.categories.addtreeClick();

    ASSERT_EQ(dialogs.nameDialogs.size(), 1u);
    EXPECT_EQ(dialogs.nameDialogs[0].caption, "软件分类库");
    EXPECT_EQ(dialogs.nameDialogs[0].label, "请输入分类库名...");
    EXPECT_EQ(dialogs.nameDialogs[0].maxLength, 100);
    EXPECT_EQ(dialogs.okResults,
              (std::vector<OkResult>{OkResult::Stay, OkResult::StaySelectInput,
                                     OkResult::StaySelectInput, OkResult::StayFocusInput,
                                     OkResult::StayFocusInput, OkResult::Close}));
    ASSERT_EQ(dialogs.shown.size(), 4u);
    EXPECT_EQ(dialogs.shown[0].text,
              "嘿嘿！\n你取的 [OpReCy] 这个名称已被我定给系统保留使用了，\n\n"
              "想不到你会和我想到一块了，可是我先想到的。\n\n"
              "没办法，不能让给你用了,麻烦你重取一个类库名吧！");
    EXPECT_EQ(dialogs.shown[1].text, "注意：你输入了系统不接受的字符了。\r\r"
                                     "\"微软\"老大好象对 /,\\,:,*,?,\",<,>,| 这些字符不太喜欢。");
    EXPECT_EQ(dialogs.shown[2].text, "注意！已有同名的分类库存在。");
    EXPECT_EQ(dialogs.shown[3].text, "注意！已有同名的分类库存在。");
    EXPECT_FALSE(world.library.exists(QStringLiteral("旧类库"))) << "no second one beside it";

    EXPECT_TRUE(QFileInfo(world.library.path(QStringLiteral("新类库"))).isDir());
    EXPECT_EQ(tree.captionOf(selected()), QStringLiteral("新类库"));
    EXPECT_EQ(rootChildren().last(), QStringLiteral("新类库")) << "appended, not sorted";
    EXPECT_EQ(world.session.currentDir(), world.library.path(QStringLiteral("新类库/")));
}

TEST_F(CategoryTree, ACategoryNamedLanguageIsMadeAndVanishesAtTheNextRefresh)
{
    world.start();
    dialogs.nameInputs.push_back({"language"});
    world.categories.addtreeClick();
    EXPECT_TRUE(rootChildren().contains("language"));
    world.categories.reftreeClick();
    EXPECT_FALSE(rootChildren().contains("language"));
    EXPECT_TRUE(QFileInfo(world.library.path("language")).isDir());
}

TEST_F(CategoryTree, ACategoryUnderANeverExpandedNodeShowsItsSiblingsToo)
{
    world.library.makeDir("parent/old");
    world.start();
    world.selectCategory({"parent"});
    ASSERT_EQ(tree.rowCount(selected()), 0);
    dialogs.nameInputs.push_back({"new"});
    world.categories.addtreeClick();
    EXPECT_EQ(world.childCaptions(world.findCategory({"parent"})), QStringList({"new", "old"}));
    EXPECT_EQ(world.session.currentDir(), world.library.path("parent/new/"));
}

TEST_F(CategoryTree, NoNewCategoryInTheBoxOrTransitOrWhenReadOnly)
{
    world.start();
    world.selectSystemNode(tree.recycleBoxIndex());
    world.categories.addtreeClick();
    world.selectSystemNode(tree.transitIndex());
    world.categories.addtreeClick();
    EXPECT_TRUE(dialogs.nameDialogs.empty());

    World readOnly(false);
    readOnly.start();
    readOnly.categories.addtreeClick();
    EXPECT_TRUE(readOnly.dialogs.nameDialogs.empty());
    ASSERT_EQ(readOnly.dialogs.shown.size(), 1u);
    EXPECT_EQ(readOnly.dialogs.last().caption, "系统提示");
    EXPECT_EQ(readOnly.dialogs.last().text,
              "当前应用程序运行在一个只读存储存设备上，本命令不可执行！");
    EXPECT_EQ(readOnly.dialogs.last().icon, core::MessageIcon::Warning);
}

TEST_F(CategoryTree, RenamingChecksTheNameAndRenamesTheFolderFirst)
{
    world.library.makeDir("old");
    world.library.makeDir("taken");
    world.library.makeFile("old/sub/file.txt", "x");
    world.start();
    const QModelIndex node = world.selectCategory({"old"});

    world.categories.treeviewEdited(node, "");
    world.categories.treeviewEdited(node, "a?b");
    world.categories.treeviewEdited(node, "taken");
    EXPECT_EQ(dialogs.texts(),
              QStringList({"类库名不能空，请输入类库名!",
                           "注意：你输入了系统不接受的字符\r这些字符是 /,\\,:,*,?,\",<,>,|",
                           "错误！分类库更名失败，请重试！\r可能是已有同级同名的分类库存。"}));
    EXPECT_EQ(tree.captionOf(node), "old");
    EXPECT_TRUE(QFileInfo(world.library.path("taken")).isDir());

    world.categories.treeviewEdited(node, QStringLiteral("新名字"));
    EXPECT_EQ(tree.captionOf(node), QStringLiteral("新名字"));
    EXPECT_EQ(world.library.read(QStringLiteral("新名字/sub/file.txt")), "x");
    EXPECT_EQ(world.session.currentDir(), world.library.path(QStringLiteral("新名字/")));
    EXPECT_EQ(world.session.notesFile().path(),
              world.library.path(QStringLiteral("新名字/zzfdat.nod")));
    EXPECT_EQ(world.workspace.status().text(0), world.library.path(QStringLiteral("新名字/")));
}

TEST_F(CategoryTree, TheRootIsRenamedWithoutTouchingTheDiskButNeverToNothing)
{
    world.start();
    const QModelIndex root = tree.rootIndex();
    world.categories.treeviewEdited(root, "");
    EXPECT_EQ(tree.captionOf(root), QStringLiteral("我的软件库"));
    world.categories.treeviewEdited(root, "a/b:c");
    EXPECT_EQ(tree.captionOf(root), "a/b:c");
    EXPECT_EQ(dialogs.texts(), QStringList("类库名不能空，请输入类库名!"));

    EXPECT_FALSE(world.categories.treeviewEditing(tree.recycleBoxIndex()));
    EXPECT_FALSE(world.categories.treeviewEditing(tree.transitIndex()));
    World readOnly(false);
    EXPECT_FALSE(readOnly.categories.treeviewEditing(readOnly.workspace.systemTree().rootIndex()));
}

TEST_F(CategoryTree, DeletingRefusesTheFixedNodesParentsAndCategoriesWithFiles)
{
    world.library.makeDir("parent/child");
    world.library.makeFile("full/file.txt");
    world.start();

    world.categories.deltreeClick();
    world.selectSystemNode(tree.recycleBoxIndex());
    world.categories.deltreeClick();
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0].caption, "喝杯啤酒下下火吧！");
    EXPECT_EQ(dialogs.shown[0].text, "注意！你不能把总分类库都删除掉呀！");
    EXPECT_EQ(dialogs.shown[1].caption, "嘿哩呀啦啊...");
    EXPECT_EQ(dialogs.shown[1].text, "老兄！这是系统必须的分类库，不能删除的啦！");

    dialogs.shown.clear();
    const QModelIndex parent = world.selectCategory({"parent"});
    tree.treeviewExpanding(parent);
    world.categories.deltreeClick();
    world.selectCategory({"full"});
    world.categories.deltreeClick();
    EXPECT_EQ(dialogs.texts(), QStringList({"注意！此分类库有下级分类库，不能删除！",
                                            "注意！分类库中还有文件存在，不能删除！"}))
        << "both refusals come before any question";
    EXPECT_TRUE(world.library.exists("full/file.txt"));
}

TEST_F(CategoryTree, DeletingAnEmptyCategoryAsksAndRemovesItsNotesAndFolder)
{
    world.library.makeDir("a");
    world.library.makeDir("empty");
    world.library.writeNotes("empty/", {{"gone.txt", "stale"}});
    world.start();
    world.selectCategory({"empty"});

    dialogs.answers.push_back(Answer::No);
    world.categories.deltreeClick();
    EXPECT_TRUE(world.library.exists("empty/zzfdat.nod"));
    EXPECT_EQ(dialogs.last().caption, "提示");
    EXPECT_EQ(dialogs.last().text, "你真的要删除这个软件分类库吗？");
    EXPECT_EQ(dialogs.last().defaultButton, Answer::No);

    dialogs.answers.push_back(Answer::Yes);
    world.categories.deltreeClick();
    EXPECT_FALSE(world.library.exists("empty"));
    EXPECT_EQ(rootChildren(), QStringList("a"));
    EXPECT_EQ(tree.captionOf(selected()), "a");
}

TEST_F(CategoryTree, ACategoryIsDeletedOnlyWhenItsFolderHoldsNothingAtThatMoment)
{
    // Subfolders the tree never showed, and a file that came while the question was open:
    // the category, its notes file and its notes stay.
    world.library.makeDir("outer/inner");
    world.library.makeDir("late");
    world.library.writeNotes("outer/", {{"x", "y"}});
    world.library.writeNotes("late/", {{"new.txt", QStringLiteral("新来的")}});
    world.start();
    world.selectCategory({"late"});
    dialogs.whileAsked.push_back([&] { world.library.makeFile("late/new.txt"); });
    dialogs.answers.push_back(Answer::Yes);
    world.categories.deltreeClick();
    EXPECT_EQ(dialogs.last().text, core::texts::CategoryHasFiles);
    EXPECT_EQ(world.library.notesText("late/"), QStringLiteral("[fileinfo]\r\nnew.txt=新来的\r\n"));
    EXPECT_EQ(world.listedNames(), QStringList("new.txt"));

    world.selectCategory({"outer"});
    dialogs.answers.push_back(Answer::Yes);
    world.categories.deltreeClick();
    EXPECT_EQ(dialogs.last().text, core::texts::CategoryHasChildren);
    EXPECT_TRUE(world.library.exists("outer/zzfdat.nod"));
    EXPECT_TRUE(world.library.exists("outer/inner"));
    EXPECT_TRUE(rootChildren().contains("outer"));
}

TEST_F(CategoryTree, RefreshRereadsTheFirstLevelAndKeepsTheSelectedCategory)
{
    world.library.makeDir("a/deep");
    world.start();
    const QModelIndex deep = world.selectCategory({"a", "deep"});
    ASSERT_TRUE(deep.isValid());
    world.library.makeDir("b");
    world.categories.reftreeClick();
    EXPECT_EQ(rootChildren(), QStringList({"a", "b"}));
    EXPECT_EQ(tree.NodePath(selected()), "a/deep/");
    EXPECT_EQ(world.session.currentDir(), world.library.path("a/deep/"));
}

TEST_F(CategoryTree, TheExternalTreeShowsTheSameBoxAndTransitFolders)
{
    world.library.makeFile("oprecy/deleted.txt");
    world.start();
    core::CategoryTreeModel& external = world.workspace.externalTree();
    EXPECT_EQ(external.captionOf(external.rootIndex()), "外部文件库");
    EXPECT_EQ(external.kindOf(external.rootIndex()), 60);

    world.selectExternalNode(external.recycleBoxIndex());
    EXPECT_EQ(world.session.currentDir(), world.library.path("oprecy/"));
    EXPECT_EQ(world.listedNames(), QStringList("deleted.txt"));
    world.selectExternalNode(external.rootIndex());
    EXPECT_EQ(world.workspace.status().text(1), "外部文件库");
    EXPECT_EQ(world.workspace.fileList().count(), 0);
}
