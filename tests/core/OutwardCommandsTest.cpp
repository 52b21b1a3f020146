// The commands that lead outside: the home page, the feedback mail and the download program.
#include "core/OutwardCommands.h"

#include "support/World.h"

#include <QFile>

#include <gtest/gtest.h>

using testing_support::World;

namespace {

class RecordingShell : public platform::Shell
{
public:
    QStringList launches;

    int startProgram(const QString& program, const QString& workingDir) override
    {
        launches << QStringLiteral("start %1 in %2").arg(program, workingDir);
        return 0;
    }
    void openPath(const QString& path) override { launches << QStringLiteral("open ") + path; }
    void openUrl(const QString& url) override { launches << QStringLiteral("open ") + url; }
};

class Outward : public ::testing::Test
{
protected:
    World world;
    RecordingShell shell;
    core::OutwardCommands commands{world.session, shell, world.dialogs};
};

} // namespace

TEST_F(Outward, HomePageAndFeedbackGoToTheDesktop)
{
    commands.t602Click();
    commands.Label_WebUrlClick();
    commands.t603Click();
    EXPECT_EQ(shell.launches,
              QStringList(
                  {"open https://quillet.example.org/", "open https://quillet.example.org/",
                   "open Mailto:feedback@quillet.example.org?subject=[Quillet]用户信息反馈报告"}));
    EXPECT_TRUE(world.dialogs.nothingShown());
}

TEST_F(Outward, TheDownloadProgramStartsInItsOwnFolderOrIsReported)
{
    commands.exedragproClick();
    world.session.options().DragPro = world.library.path("gone/getit");
    commands.exedragproClick();
    ASSERT_EQ(world.dialogs.shown.size(), 2u);
    EXPECT_EQ(world.dialogs.shown[0].caption, "请注意！！！");
    EXPECT_EQ(world.dialogs.shown[0].text, "你还没有指定使用哪个下载软件！请先在系统选项中设定。");
    EXPECT_EQ(world.dialogs.shown[0].icon, core::MessageIcon::Warning);
    EXPECT_EQ(world.dialogs.shown[1].text, "你指定的下载软件无效，请重新设定。");
    EXPECT_EQ(world.dialogs.shown[1].icon, core::MessageIcon::Error);
    EXPECT_TRUE(shell.launches.isEmpty());

    world.library.makeFile("tools/getit", "#!/bin/sh\n");
    QFile::setPermissions(world.library.path("tools/getit"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    world.session.options().DragPro = world.library.path("tools/getit");
    commands.exedragproClick();
    EXPECT_EQ(shell.launches, QStringList("start " + world.library.path("tools/getit") + " in " +
                                          world.library.path("tools/")));
}
