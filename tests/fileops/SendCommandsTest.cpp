// Sending files out of the library: onto a stand-in floppy disk (a folder that is ready only
// while "mounted") and into a chosen folder, from the file list and from the search list.
#include "fileops/SendCommands.h"

#include "FileOpsHelpers.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using fileops_testing::entriesOf;
using fileops_testing::searchRow;
using fileops_testing::selectedNames;
using testing_support::Shown;
using testing_support::World;

namespace {

class FloppyDrive : public platform::DriveOracle
{
public:
    QString folder;
    bool mounted = true;
    qint64 free = 1440 * 1024;

    platform::MountInfo mountOf(const QString&) const override { return {}; }
    qint64 freeSpace(const QString& path) const override { return path == folder ? free : -1; }
    bool isMountPoint(const QString& path) const override { return mounted && path == folder; }
};

class Sending : public ::testing::Test
{
protected:
    World world;
    QTemporaryDir floppyDir;
    QTemporaryDir elsewhere;
    FloppyDrive drive;
    fileops::SendCommands commands{world.workspace, world.dialogs, drive};

    void SetUp() override
    {
        drive.folder = floppyDir.path() + u'/';
        world.session.options().FloppyDir = floppyDir.path();
        world.library.makeFile("cat/a.txt", "aaa");
        world.library.makeFile("cat/b.txt", "bbbb");
        world.library.makeFile("cat/c.txt", "cc");
        world.library.writeNotes("cat/", {{"a.txt", QStringLiteral("说明")}});
        world.start();
        world.selectCategory({"cat"});
        world.selectFiles({"a.txt", "b.txt", "c.txt"});
    }
    QString floppy(const QString& name) const { return drive.folder + name; }
    QString folder() const { return elsewhere.path() + u'/'; }
    static QByteArray read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    static void write(const QString& path, const QByteArray& content)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
};

} // namespace

TEST_F(Sending, AFloppyThatIsNotReadyTakesNothing)
{
    drive.mounted = false;
    commands.toAdriveClick();
    EXPECT_EQ(world.dialogs.texts(), QStringList("软驱未准备好，请放入磁盘再试！"));
    EXPECT_TRUE(entriesOf(floppyDir.path()).isEmpty());
    EXPECT_EQ(selectedNames(world).size(), 3);
}

TEST_F(Sending, TheFloppyTakesCopiesWithoutNotesAndADeclinedFileStaysSelected)
{
    write(floppy("b.txt"), "old");
    world.dialogs.answers.push_back(core::Answer::No);
    commands.toAdriveClick();

    ASSERT_EQ(world.dialogs.shown.size(), 2u);
    EXPECT_EQ(world.dialogs.shown[0].caption, "系统提示");
    EXPECT_EQ(world.dialogs.shown[0].text, "[A:]盘中已有同名[b.txt]文件存在,是否覆盖？");
    EXPECT_EQ(world.dialogs.shown[0].buttons, core::Buttons::YesNo);
    EXPECT_EQ(world.dialogs.shown[1].text, "文件已成功的传送！");
    EXPECT_EQ(entriesOf(floppyDir.path()), QStringList({"a.txt", "b.txt", "c.txt"}))
        << "notes and documents stay in the library";
    EXPECT_EQ(read(floppy("a.txt")), "aaa");
    EXPECT_EQ(read(floppy("b.txt")), "old");
    EXPECT_EQ(selectedNames(world), QStringList("b.txt"));
    EXPECT_EQ(world.listedNames().size(), 3) << "the library does not change";
}

TEST_F(Sending, AFullFloppyStopsWithTheRestStillSelected)
{
    drive.free = 3; // a.txt fits, b.txt does not
    commands.toAdriveClick();
    EXPECT_EQ(
        world.dialogs.texts(),
        QStringList("磁盘已没有足够空间来存放复制的文件\r请放入一张新磁盘继续复制剩余的文件."))
        << "no success message after running out of space";
    EXPECT_EQ(selectedNames(world), QStringList({"b.txt", "c.txt"}));

    world.dialogs.shown.clear();
    drive.free = 1000; // a new disk
    commands.toAdriveClick();
    EXPECT_EQ(world.dialogs.texts(), QStringList("文件已成功的传送！"));
    EXPECT_TRUE(selectedNames(world).isEmpty());
}

TEST_F(Sending, AWriteFailureOnTheFloppyStopsTheLoop)
{
    write(floppy("b.txt"), "protected");
    QFile::setPermissions(floppy("b.txt"), QFile::ReadOwner);
    world.dialogs.answers.push_back(core::Answer::Yes);
    commands.toAdriveClick();
    EXPECT_EQ(world.dialogs.texts(),
              QStringList({"[A:]盘中已有同名[b.txt]文件存在,是否覆盖？",
                           "磁盘可能写保护，请打开后重试...", "文件已成功的传送！"}))
        << "a.txt went out before the failure";
    EXPECT_EQ(read(floppy("b.txt")), "protected");
    EXPECT_FALSE(QFile::exists(floppy("c.txt")));
    EXPECT_EQ(selectedNames(world), QStringList({"b.txt", "c.txt"}));
}

TEST_F(Sending, AnotherFolderAsksBeforeReplacingAndDeselectsEveryRow)
{
    write(folder() + "b.txt", QByteArray(2048, 'o'));
    world.dialogs.folderChoices.push_back(elsewhere.path());
    world.dialogs.answers.push_back(core::Answer::No);
    commands.sendotherClick();

    EXPECT_EQ(world.dialogs.folderDialogTitles, std::vector<QString>({"请选择一个目录..."}));
    ASSERT_EQ(world.dialogs.shown.size(), 2u);
    const Shown& question = world.dialogs.shown[0];
    EXPECT_EQ(question.caption, "同名文件存在");
    const QStringList lines = question.text.split(u'\n');
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0], folder() + "b.txt已存在");
    EXPECT_EQ(lines[1], "是否将目标文件:");
    EXPECT_TRUE(lines[2].startsWith("日期:") && lines[2].endsWith(",大小:2.00 K"));
    EXPECT_EQ(lines[3], "替换成现文件:");
    const core::FileRow& b = world.workspace.fileList().row(world.rowOf("b.txt"));
    EXPECT_EQ(lines[4], "日期:" + b.dateText + ",大小:" + b.sizeText + "？");
    EXPECT_EQ(world.dialogs.shown[1].text, "文件传送完成！");
    EXPECT_EQ(read(folder() + "b.txt"), QByteArray(2048, 'o'));
    EXPECT_EQ(read(folder() + "c.txt"), "cc");
    EXPECT_EQ(entriesOf(elsewhere.path()), QStringList({"a.txt", "b.txt", "c.txt"}));
    EXPECT_TRUE(selectedNames(world).isEmpty()) << "a declined file is deselected too";
}

TEST_F(Sending, TheFloppyFolderChosenAsAFolderSendsToTheFloppy)
{
    world.dialogs.folderChoices.push_back(floppyDir.path() + "/");
    commands.sendotherClick();
    EXPECT_EQ(world.dialogs.texts(), QStringList("文件已成功的传送！"));
    EXPECT_EQ(entriesOf(floppyDir.path()).size(), 3);
}

TEST_F(Sending, AFileSentOntoItselfStaysWhole)
{
    world.dialogs.folderChoices.push_back(world.library.path("cat"));
    commands.sendotherClick();
    EXPECT_EQ(world.dialogs.texts(), QStringList("文件传送完成！"));
    EXPECT_EQ(world.library.read("cat/a.txt"), "aaa");
    EXPECT_EQ(world.library.read("cat/b.txt"), "bbbb");
    EXPECT_TRUE(selectedNames(world).isEmpty());
}

TEST_F(Sending, SearchRowsGoFromTheirOwnFoldersAndADeclinedRowStaysSelected)
{
    world.library.makeFile("other/d.txt", "ddd");
    core::FileListModel& found = world.workspace.searchList();
    found.setRows({searchRow(world.library.path("cat/"), "a.txt", ""),
                   searchRow(world.library.path("other/"), "d.txt", ""),
                   searchRow(world.library.path("other/"), "gone.txt", "")});
    QItemSelectionModel& selection = world.workspace.searchSelection();
    selection.select(QItemSelection(found.index(0, 0), found.index(2, found.columnCount() - 1)),
                     QItemSelectionModel::Select);
    write(folder() + "a.txt", "mine");
    world.dialogs.folderChoices.push_back(elsewhere.path());
    world.dialogs.answers.push_back(core::Answer::No);
    commands.copytootherClick();

    EXPECT_EQ(world.dialogs.texts(),
              QStringList({folder() + "目录已有同名[a.txt]文件存在,是否覆盖？",
                           "复制文件gone.txt时失败，按[确定]继续...", "文件传送完成！"}));
    EXPECT_EQ(read(folder() + "a.txt"), "mine");
    EXPECT_EQ(read(folder() + "d.txt"), "ddd");
    EXPECT_EQ(core::Workspace::selectedRows(selection), std::vector<int>({0}));

    world.dialogs.shown.clear();
    commands.copytofollyClick();
    EXPECT_EQ(read(floppy("a.txt")), "aaa");
    EXPECT_EQ(world.dialogs.texts(), QStringList("文件已成功的传送！"));
}
