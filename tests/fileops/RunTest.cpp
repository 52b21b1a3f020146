// Running and opening files and folders through the shell, and the double-click choice.
#include "FileOpsHelpers.h"
#include "fileops/NoteCommands.h"
#include "fileops/RunCommands.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cerrno>

using fileops_testing::searchRow;
using testing_support::World;

namespace {

struct RecordingShell : platform::Shell
{
    QStringList launches; // "start <program> in <folder>" or "open <path>"
    int startResult = 0;
    int startProgram(const QString& program, const QString& workingDir) override
    {
        launches.append("start " + program + " in " + workingDir);
        return startResult;
    }
    void openPath(const QString& path) override { launches.append("open " + path); }
    void openUrl(const QString& url) override { launches.append("open " + url); }
};

class Run : public ::testing::Test
{
protected:
    World world;
    RecordingShell shell;
    fileops::NoteCommands notes{world.workspace, world.dialogs};
    fileops::RunCommands commands{world.workspace, world.dialogs, shell, notes};
    QString dir;

    void SetUp() override
    {
        world.library.makeFile("cat/setup", "#!/bin/sh\n");
        QFile::setPermissions(world.library.path("cat/setup"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        world.library.makeFile("cat/readme.txt", "text");
        world.start();
        world.selectCategory({"cat"});
        dir = world.library.path("cat/");
    }
};

} // namespace

TEST_F(Run, ProgramsStartInTheirFolderAndOtherFilesOpen)
{
    world.selectFiles({"setup"});
    commands.runfileClick();
    world.selectFiles({"readme.txt"});
    commands.runfileClick();
    // A file marked executable that is no program this system runs opens instead.
    shell.startResult = ENOEXEC;
    world.selectFiles({"setup"});
    commands.runfileClick();
    EXPECT_EQ(shell.launches, QStringList({"start " + dir + "setup in " + dir,
                                           "open " + dir + "readme.txt",
                                           "start " + dir + "setup in " + dir,
                                           "open " + dir + "setup"}));
    EXPECT_TRUE(world.dialogs.nothingShown());
}

TEST_F(Run, TheSearchPageRunsItsOwnRowInItsFolderAndNothingRunsWithoutASelection)
{
    commands.runfileClick();
    world.workspace.searchList().appendRow(searchRow(dir, "readme.txt", ""));
    world.workspace.setPage(core::Workspace::Page::Search);
    commands.runfileClick();
    world.workspace.searchSelection().select(world.workspace.searchList().index(0, 0),
                                             QItemSelectionModel::Select);
    world.selectCategory({}); // the category no longer decides
    commands.runfileClick();
    EXPECT_EQ(shell.launches, QStringList("open " + dir + "readme.txt"));
}

TEST_F(Run, AVanishedFileIsReportedInsteadOfRun)
{
    world.selectFiles({"readme.txt"});
    QFile::remove(dir + "readme.txt");
    commands.runfileClick();
    EXPECT_TRUE(shell.launches.isEmpty());
    EXPECT_EQ(world.dialogs.texts(),
              QStringList(QStringLiteral("文件[") + dir + QStringLiteral("readme.txt]不存在，无法执行！")));
}

TEST_F(Run, DoubleClickRunsEditsTheNoteOrSaysTheOptionIsWrong)
{
    world.selectFiles({"readme.txt"});
    world.session.options().DoubleEnv = 0;
    commands.filelistDblClick();
    EXPECT_EQ(shell.launches, QStringList("open " + dir + "readme.txt"));

    world.session.options().DoubleEnv = 1;
    commands.filelistDblClick();
    EXPECT_EQ(world.dialogs.noteDialogs.size(), 1u);

    world.session.options().DoubleEnv = 2;
    commands.findListDblClick();
    EXPECT_EQ(world.dialogs.texts(),
              QStringList(QStringLiteral("系统错误！\n\n请在系统设置窗口中重新设定双击事件。")));
    EXPECT_EQ(shell.launches.size(), 1);
}

TEST_F(Run, TheCategoryFolderOpensInTheFileManager)
{
    commands.openfildClick();
    EXPECT_EQ(shell.launches, QStringList("open " + dir));
}
