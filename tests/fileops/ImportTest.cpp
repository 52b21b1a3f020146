// Bringing chosen files and whole folders into the current category.
#include "FileOpsHelpers.h"
#include "core/FileFormats.h"
#include "fileops/FileOpsTexts.h"
#include "fileops/ImportCommands.h"

#include <QFile>

#include <gtest/gtest.h>

using fileops_testing::entriesOf;
using fileops_testing::notesFileText;
using fileops_testing::selectedNames;
using testing_support::Shown;
using testing_support::World;

namespace {

class Import : public ::testing::Test
{
protected:
    World world;
    fileops::ImportCommands commands{world.workspace, world.dialogs};
    core::FileListModel& list = world.workspace.fileList();
    const platform::FileSystem& fs = platform::FileSystem::local();

    // A folder outside the library, beside it in the temporary folder.
    QString outside(const QString& name = {}) const
    {
        return world.library.path("../outside/" + name);
    }
    void makeOutside(const QString& name, const QByteArray& content = {})
    {
        world.library.makeFile("../outside/" + name, content);
    }
    const core::FileRow& rowNamed(const QString& name) const
    {
        static const core::FileRow none;
        const int row = world.rowOf(name);
        return row < 0 ? none : list.row(row);
    }
    QString catDir() const { return world.library.path("cat/"); }
};

} // namespace

TEST_F(Import, NothingHappensUnlessTheSelectedNodeIsACategoryOrTheTransitFolder)
{
    world.library.makeDir("cat");
    world.start();
    const auto tryAll = [&] {
        commands.t103Click();
        commands.t104Click();
        commands.t1051Click();
        commands.t1052Click();
    };
    core::CategoryTreeModel& system = world.workspace.systemTree();
    core::CategoryTreeModel& external = world.workspace.externalTree();
    for (const QModelIndex& node : {system.rootIndex(), system.recycleBoxIndex()}) {
        world.selectSystemNode(node);
        tryAll();
    }
    for (const QModelIndex& node : {external.rootIndex(), external.recycleBoxIndex()}) {
        world.selectExternalNode(node);
        tryAll();
    }
    // The external tree with no node selected at all.
    world.workspace.externalTreeSelection().clear();
    tryAll();
    EXPECT_TRUE(world.dialogs.nothingShown());
    // An external library whose folder is not set.
    world.selectExternalNode(external.appendChild(external.rootIndex(), "nowhere"));
    ASSERT_EQ(world.session.currentDir(), "");
    tryAll();
    EXPECT_TRUE(world.dialogs.fileDialogTitles.empty());
    EXPECT_TRUE(world.dialogs.folderDialogTitles.empty());

    makeOutside("t.txt", "t");
    world.selectSystemNode(system.transitIndex());
    world.dialogs.fileChoices.push_back({outside("t.txt")});
    commands.t103Click();
    EXPECT_TRUE(world.library.exists("tempdir/t.txt"));
    EXPECT_EQ(world.listedNames(), QStringList("t.txt"));
}

TEST_F(Import, MovedFilesArriveAsSelectedRowsAtTheEndOfTheList)
{
    world.library.makeFile("cat/b.txt", "b");
    world.library.writeNotes("cat/", {{"b.txt", QStringLiteral("老文件")}});
    makeOutside("a.bin", QByteArray(2048, 'a'));
    makeOutside("c.txt", "c");
    ASSERT_TRUE(fs.setAttributes(outside("c.txt"), platform::ReadOnly | platform::Archive));
    const QDateTime cTime = fs.times(outside("c.txt")).modified;
    world.start();
    world.selectCategory({"cat"});
    world.selectFiles({"b.txt"});

    world.dialogs.fileChoices.push_back({outside("c.txt"), outside("a.bin")});
    commands.t103Click();

    EXPECT_EQ(world.dialogs.fileDialogTitles, std::vector<QString>{"请选择一个或多个文件"});
    EXPECT_EQ(world.dialogs.fileDialogFilters, std::vector<QString>{"所有文件[*.*]|*.*"});
    EXPECT_TRUE(world.dialogs.nothingShown());
    EXPECT_EQ(entriesOf(outside()), QStringList());
    EXPECT_EQ(world.library.read("cat/a.bin"), QByteArray(2048, 'a'));
    // After the rows there were, in name order whatever order the dialog gave.
    EXPECT_EQ(world.listedNames(), QStringList({"b.txt", "a.bin", "c.txt"}));
    EXPECT_EQ(selectedNames(world), QStringList({"b.txt", "a.bin", "c.txt"}));

    const core::FileRow& a = rowNamed("a.bin");
    EXPECT_EQ(a.sizeText, "2.00 K");
    EXPECT_EQ(a.size, 2048) << "the row sorts by its real size";
    EXPECT_EQ(a.note, "");
    EXPECT_EQ(a.folder, catDir());
    const core::FileRow& c = rowNamed("c.txt");
    EXPECT_EQ(c.attrText, "RA");
    EXPECT_EQ(c.dateText, core::DateText(cTime));
    EXPECT_EQ(c.modifiedMs, cTime.toMSecsSinceEpoch());
    EXPECT_EQ(world.workspace.status().text(1), "3个文件");
    EXPECT_EQ(world.dialogs.busyCount, 1);
    EXPECT_EQ(world.dialogs.busyDepth, 0);
    EXPECT_EQ(world.library.notesText("cat/"), notesFileText({"b.txt=老文件"}))
        << "an import carries no notes";
}

TEST_F(Import, CopiedFilesStayWhereTheyWereAndKeepTheirTime)
{
    world.library.makeDir("cat");
    makeOutside("a.bin", "data");
    const QDateTime time = fs.times(outside("a.bin")).modified;
    world.start();
    world.selectCategory({"cat"});

    world.dialogs.fileChoices.push_back({outside("a.bin")});
    commands.t104Click();
    EXPECT_EQ(world.library.read("../outside/a.bin"), "data");
    EXPECT_EQ(world.library.read("cat/a.bin"), "data");
    EXPECT_EQ(fs.times(catDir() + "a.bin").modified, time);
    EXPECT_EQ(world.listedNames(), QStringList("a.bin"));
    EXPECT_EQ(world.workspace.status().text(1), "1个文件");
}

TEST_F(Import, ReplacingAFileAsksFirstAndKeepsTheOldRowsNote)
{
    for (bool copy : {false, true}) {
        SCOPED_TRACE(copy ? "copy" : "move");
        World world;
        fileops::ImportCommands commands{world.workspace, world.dialogs};
        world.library.makeFile("cat/a.bin", QByteArray(3072, 'o'));
        world.library.makeFile("cat/z.txt");
        world.library.writeNotes("cat/", {{"a.bin", QStringLiteral("旧说明")}});
        world.library.makeFile("../outside/a.bin", QByteArray(1024, 'n'));
        const QString oldDate = core::DateText(fs.times(world.library.path("cat/a.bin")).modified);
        const QString newDate =
            core::DateText(fs.times(world.library.path("../outside/a.bin")).modified);
        world.start();
        world.selectCategory({"cat"});

        world.dialogs.fileChoices.push_back({world.library.path("../outside/a.bin")});
        world.dialogs.answers.push_back(core::Answer::Yes);
        copy ? commands.t104Click() : commands.t103Click();

        ASSERT_EQ(world.dialogs.shown.size(), 1u);
        const Shown& question = world.dialogs.shown.front();
        EXPECT_EQ(question.caption, "同名文件存在");
        EXPECT_EQ(question.text, "此分类库中已有 a.bin 文件存在\n是否将已有文件:\n日期:" + oldDate +
                                     ",大小:3.00 K\n替换成现文件:\n日期:" + newDate +
                                     ",大小:1.00 K ？");
        EXPECT_EQ(question.icon, core::MessageIcon::Question);
        EXPECT_EQ(question.buttons, core::Buttons::YesNo);

        EXPECT_EQ(world.library.read("cat/a.bin"), QByteArray(1024, 'n'));
        EXPECT_EQ(entriesOf(world.library.path("cat")),
                  QStringList({"a.bin", "z.txt", "zzfdat.nod"}));
        EXPECT_EQ(world.listedNames(), QStringList({"z.txt", "a.bin"}));
        const core::FileRow& row = world.workspace.fileList().row(1);
        EXPECT_EQ(row.note, QStringLiteral("旧说明"));
        EXPECT_EQ(row.size, 1024);
        EXPECT_EQ(selectedNames(world), QStringList("a.bin"));
        EXPECT_EQ(world.library.notesText("cat/"), notesFileText({"a.bin=旧说明"}));
    }
}

TEST_F(Import, AnsweringNoSkipsOnlyThatFile)
{
    world.library.makeFile("cat/a.bin", "old");
    makeOutside("a.bin", "new");
    makeOutside("b.bin", "b");
    world.start();
    world.selectCategory({"cat"});

    world.dialogs.fileChoices.push_back({outside("a.bin"), outside("b.bin")});
    world.dialogs.answers.push_back(core::Answer::No);
    commands.t103Click();
    EXPECT_EQ(world.library.read("cat/a.bin"), "old");
    EXPECT_EQ(world.library.read("../outside/a.bin"), "new");
    EXPECT_EQ(world.library.read("cat/b.bin"), "b");
    EXPECT_EQ(world.listedNames(), QStringList({"a.bin", "b.bin"}));
    EXPECT_EQ(selectedNames(world), QStringList("b.bin"));
}

TEST_F(Import, TheRowTakenOverIsTheReplacedFilesOwnNotAnotherSpelling)
{
    world.library.makeFile("cat/A.BIN", "upper");
    world.library.makeFile("cat/a.bin", "lower");
    world.library.writeNotes("cat/", {{"A.BIN", "1"}});
    makeOutside("a.bin", "new");
    world.start();
    world.selectCategory({"cat"});
    // The other spelling comes first in the list.
    list.sortBy(1, false);
    ASSERT_EQ(world.listedNames(), QStringList({"A.BIN", "a.bin"}));

    world.dialogs.fileChoices.push_back({outside("a.bin")});
    world.dialogs.answers.push_back(core::Answer::Yes);
    commands.t103Click();
    EXPECT_EQ(world.library.read("cat/A.BIN"), "upper");
    EXPECT_EQ(world.library.read("cat/a.bin"), "new");
    EXPECT_EQ(world.listedNames(), QStringList({"A.BIN", "a.bin"}));
    EXPECT_EQ(rowNamed("A.BIN").note, "1");
}

TEST_F(Import, AFailedTransferReportsTheFileAndKeepsTheOldFileAndItsRow)
{
    world.library.makeFile("cat/a.bin", "old");
    world.library.makeFile("cat/b.bin", "old b");
    world.library.writeNotes("cat/", {{"a.bin", QStringLiteral("留着")}});
    // "b.bin" is a folder outside, so it can be neither moved nor copied as a file, and
    // "a.bin" vanished after it was chosen.
    world.library.makeDir("../outside/b.bin");
    makeOutside("c1.bin", "c");
    makeOutside("c2.bin", "c");
    world.start();
    world.selectCategory({"cat"});

    for (bool copy : {false, true}) {
        world.dialogs.shown.clear();
        const QString c = copy ? "c2.bin" : "c1.bin";
        world.dialogs.fileChoices.push_back({outside("a.bin"), outside("b.bin"), outside(c)});
        world.dialogs.answers = {core::Answer::Yes};
        copy ? commands.t104Click() : commands.t103Click();

        // A file that is gone is told at once, without a question about replacing.
        const QStringList texts = world.dialogs.texts();
        ASSERT_EQ(texts.size(), 3) << texts.join('|').toStdString();
        EXPECT_EQ(texts[0], "注意：导入文件 " + outside("a.bin") + " 时失败！");
        EXPECT_EQ(texts[2], "注意：导入文件 " + outside("b.bin") + " 时失败！");
        EXPECT_EQ(world.library.read("cat/a.bin"), "old");
        EXPECT_EQ(world.library.read("cat/b.bin"), "old b");
        EXPECT_TRUE(fs.isDirectory(outside("b.bin")));
        EXPECT_EQ(rowNamed("a.bin").note, QStringLiteral("留着"));
        EXPECT_EQ(world.library.notesText("cat/"), notesFileText({"a.bin=留着"}));
    }
    EXPECT_EQ(world.listedNames(), QStringList({"a.bin", "b.bin", "c1.bin", "c2.bin"}));
    EXPECT_EQ(selectedNames(world), QStringList({"c1.bin", "c2.bin"}));
    EXPECT_EQ(entriesOf(catDir()),
              QStringList({"a.bin", "b.bin", "c1.bin", "c2.bin", "zzfdat.nod"}));
}

TEST_F(Import, AFolderOfTheSameNameIsNeverReplaced)
{
    world.library.makeFile("cat/a.bin/inside", "kept");
    makeOutside("a.bin", "moved");
    world.start();
    world.selectCategory({"cat"});

    world.dialogs.fileChoices.push_back({outside("a.bin")});
    commands.t103Click();
    ASSERT_EQ(world.dialogs.shown.size(), 1u) << "no question to replace a folder";
    EXPECT_EQ(world.dialogs.last().text,
              "此分类库中已有名为 a.bin 的文件夹，文件夹不能被文件替换，这个文件没有导入！");
    EXPECT_EQ(world.library.read("../outside/a.bin"), "moved");
    EXPECT_EQ(world.library.read("cat/a.bin/inside"), "kept");
    EXPECT_EQ(entriesOf(catDir()), QStringList("a.bin"));
    EXPECT_EQ(list.count(), 0);
}

TEST_F(Import, FilesOfTheCategorysOwnFolderAreRefusedWhateverTheSpelling)
{
    world.library.makeFile("cat/a.bin", "a");
    world.library.makeFile("Cat/a.bin", "other folder");
    world.library.makeDir("../outside");
    ASSERT_TRUE(QFile::link(world.library.path("cat"), outside("link")));
    world.start();
    world.selectCategory({"cat"});
    const QString refusal = "你选定的文件就是当前分类库中的文件，不必再导入了吧！";

    world.dialogs.fileChoices.push_back({catDir() + "a.bin"});
    commands.t103Click();
    world.dialogs.fileChoices.push_back({outside("link/a.bin")});
    commands.t104Click();
    world.dialogs.folderChoices.push_back(world.library.path("cat"));
    commands.t1051Click();
    world.dialogs.folderChoices.push_back(outside("link/"));
    commands.t1052Click();
    EXPECT_EQ(world.dialogs.texts(), QStringList({refusal, refusal, refusal, refusal}));
    EXPECT_EQ(world.listedNames(), QStringList("a.bin"));
    EXPECT_EQ(world.library.read("cat/a.bin"), "a");

    // A folder whose name differs only in letter case is another folder here.
    world.dialogs.shown.clear();
    world.dialogs.fileChoices.push_back({world.library.path("Cat/a.bin")});
    world.dialogs.answers.push_back(core::Answer::Yes);
    commands.t103Click();
    ASSERT_EQ(world.dialogs.shown.size(), 1u);
    EXPECT_EQ(world.dialogs.shown[0].caption, "同名文件存在");
    EXPECT_EQ(world.library.read("cat/a.bin"), "other folder");
}

TEST_F(Import, LargeFilesShowTheirSizeAndSortByIt)
{
    const qint64 big = 5LL * 1024 * 1024 * 1024;
    world.library.makeFile("cat/small.bin", "s");
    world.library.makeFileOfSize("../outside/big.iso", big);
    world.library.makeFileOfSize("../outside/folder/big2.iso", big + 1024);
    world.start();
    world.selectCategory({"cat"});

    world.dialogs.fileChoices.push_back({outside("big.iso")});
    commands.t103Click();
    world.dialogs.folderChoices.push_back(outside("folder"));
    commands.t1051Click();
    EXPECT_EQ(rowNamed("big.iso").sizeText, "5242880.00 K");
    EXPECT_EQ(rowNamed("big2.iso").sizeText, "5242881.00 K");

    list.sortBy(2, false);
    EXPECT_EQ(world.listedNames(), QStringList({"big2.iso", "big.iso", "small.bin"}));
}

TEST_F(Import, AFolderImportTakesTheTopLevelFilesAndSkipsNamesAlreadyThere)
{
    world.library.makeFile("cat/y.txt", "category's y");
    makeOutside("src/x.bin", QByteArray(512, 'x'));
    makeOutside("src/y.txt", "outside y");
    makeOutside("src/.dot", "d");
    makeOutside("src/sub/deep.txt", "deep");
    ASSERT_TRUE(QFile::link(outside("src/sub"), outside("src/linkdir")));
    world.start();
    world.selectCategory({"cat"});
    world.selectFiles({"y.txt"});

    world.dialogs.folderChoices.push_back(outside("src"));
    commands.t1052Click();
    EXPECT_EQ(world.dialogs.folderDialogTitles, std::vector<QString>{"请选择一个目录..."});
    EXPECT_TRUE(world.dialogs.nothingShown()) << "a skipped name says nothing";
    EXPECT_EQ(world.library.read("cat/y.txt"), "category's y");
    EXPECT_EQ(entriesOf(outside("src")), QStringList({".dot", "linkdir", "sub", "x.bin", "y.txt"}));
    QStringList names = world.listedNames();
    ASSERT_EQ(names.size(), 3);
    EXPECT_EQ(names.front(), "y.txt");
    names.sort();
    EXPECT_EQ(names, QStringList({".dot", "x.bin", "y.txt"}));
    EXPECT_EQ(selectedNames(world).size(), 3);
    EXPECT_EQ(rowNamed("x.bin").sizeText, "0.50 K");
    EXPECT_EQ(world.workspace.status().text(1), "3个文件");

    // The move takes only what the category does not hold yet.
    makeOutside("src/new.txt", "n");
    world.dialogs.folderChoices.push_back(outside("src/"));
    commands.t1051Click();
    EXPECT_EQ(entriesOf(outside("src")), QStringList({".dot", "linkdir", "sub", "x.bin", "y.txt"}));
    EXPECT_EQ(world.library.read("cat/new.txt"), "n");
    EXPECT_EQ(world.listedNames().size(), 4);
    EXPECT_EQ(world.library.read("../outside/src/sub/deep.txt"), "deep");
    EXPECT_FALSE(world.library.exists("cat/deep.txt"));
    EXPECT_FALSE(world.library.exists("cat/sub"));
    EXPECT_FALSE(world.library.exists("cat/linkdir"));
}

TEST_F(Import, AFolderImportMovesEveryFileAndEndsQuietlyWhenCancelled)
{
    world.library.makeDir("cat");
    makeOutside("src/a", "a");
    makeOutside("src/b", "b");
    world.start();
    world.selectCategory({"cat"});

    commands.t1051Click(); // cancelled
    world.dialogs.folderChoices.push_back("   ");
    commands.t1051Click();
    EXPECT_EQ(world.dialogs.folderDialogTitles.size(), 2u);
    EXPECT_TRUE(world.dialogs.nothingShown());
    EXPECT_EQ(list.count(), 0);

    world.dialogs.folderChoices.push_back(outside("src"));
    commands.t1051Click();
    EXPECT_TRUE(entriesOf(outside("src")).isEmpty());
    EXPECT_EQ(world.library.read("cat/a"), "a");
    EXPECT_EQ(world.library.read("cat/b"), "b");
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(list.row(0).folder, catDir());
}
