// Renaming files in place in the file list and in the search list, with their notes and
// detailed documents.
#include "FileOpsHelpers.h"
#include "fileops/RenameCommands.h"
#include "platform/FileNames.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <gtest/gtest.h>

using fileops_testing::entriesOf;
using fileops_testing::notesFileText;
using fileops_testing::searchRow;
using testing_support::gbk;
using testing_support::World;

namespace {

class Rename : public ::testing::Test
{
protected:
    World world;
    fileops::RenameCommands commands{world.workspace, world.dialogs};
    core::FileListModel& list = world.workspace.fileList();

    void SetUp() override
    {
        world.library.makeFile("cat/tool.zip", "tool");
        world.library.makeFile("cat/other.txt", "other");
        world.library.writeNotes("cat/", {{"tool.zip", QStringLiteral("工具")}});
        world.library.makeFile("filecomm/tool.zip.txt", "doc");
        world.start();
        world.selectCategory({"cat"});
    }
    void renameInList(const QString& from, const QString& to)
    {
        commands.filelistEdited(world.rowOf(from), to);
    }
};

} // namespace

TEST_F(Rename, TheFileItsDocumentAndItsNoteTakeTheNewName)
{
    renameInList("tool.zip", QStringLiteral("工具包.zip"));
    EXPECT_TRUE(world.dialogs.nothingShown());
    EXPECT_EQ(world.library.read(QStringLiteral("cat/工具包.zip")), "tool");
    EXPECT_FALSE(world.library.exists("cat/tool.zip"));
    EXPECT_EQ(world.library.read(QStringLiteral("filecomm/工具包.zip.txt")), "doc");
    EXPECT_EQ(entriesOf(world.library.path("filecomm")), QStringList(QStringLiteral("工具包.zip.txt")));
    EXPECT_EQ(world.library.notesText("cat/"), notesFileText({QStringLiteral("工具包.zip=工具")}));
    const core::FileRow& row = list.row(world.rowOf(QStringLiteral("工具包.zip")));
    EXPECT_EQ(row.caption, QStringLiteral("工具包.zip"));
    EXPECT_EQ(row.note, QStringLiteral("工具"));
}

TEST_F(Rename, RefusedNamesChangeNothingAndSaySo)
{
    const struct
    {
        QString typed;
        QString message;
        QString caption; // empty for a plain message
    } cases[] = {
        {"", QStringLiteral("注意！资料名称不能空！"), ""},
        {"a?b.zip", QStringLiteral("文件名不能含有以下字符:\r{ /,\\,:,*,?,\",<,>,| }"),
         QStringLiteral("请你注意了")},
        {"other.txt", QStringLiteral("此文件名已经存在,请重新命名"), ""},
        // Enter without a change: the file of that name is there.
        {"tool.zip", QStringLiteral("此文件名已经存在,请重新命名"), ""},
        {"ZZFDAT.NOD", QStringLiteral("这是保存文件注释的文件名，不能用作文件名，请重新命名"), ""},
        {"a=b.zip", QStringLiteral("文件名“a=b.zip”含有等号或首尾空格，不能作为注释的键名，文件没有更名！"), ""},
    };
    for (const auto& c : cases) {
        world.dialogs.shown.clear();
        renameInList("tool.zip", c.typed);
        ASSERT_EQ(world.dialogs.texts(), QStringList(c.message)) << c.typed.toStdString();
        EXPECT_EQ(world.dialogs.last().caption, c.caption);
    }
    EXPECT_EQ(entriesOf(world.library.path("cat")), QStringList({"other.txt", "tool.zip", "zzfdat.nod"}));
    EXPECT_EQ(world.library.read("filecomm/tool.zip.txt"), "doc");
    EXPECT_EQ(world.library.notesText("cat/"), notesFileText({QStringLiteral("tool.zip=工具")}));
    EXPECT_EQ(list.row(world.rowOf("tool.zip")).caption, "tool.zip");
}

TEST_F(Rename, ALetterCaseChangeKeepsNoteAndDocumentAndNeverTakesAnotherFilesKey)
{
    world.library.makeFile("cat/readme.txt", "mine");
    world.library.makeFile("cat/Readme.TXT", "another file");
    world.library.writeNotes("cat/", {{"tool.zip", QStringLiteral("工具")},
                                      {"Readme.TXT", QStringLiteral("别人的")}});
    world.files.flistrefClick();

    renameInList("tool.zip", "TOOL.zip");
    EXPECT_TRUE(world.dialogs.nothingShown());
    EXPECT_EQ(world.library.read("cat/TOOL.zip"), "tool");
    EXPECT_EQ(world.library.read("filecomm/TOOL.zip.txt"), "doc");
    EXPECT_EQ(list.row(world.rowOf("TOOL.zip")).note, QStringLiteral("工具"));

    // "README.txt" differs only in case from two files here; neither is replaced, and the
    // note of "Readme.TXT" stays its own.
    renameInList("readme.txt", "README.txt");
    EXPECT_EQ(world.library.read("cat/README.txt"), "mine");
    EXPECT_EQ(world.library.read("cat/Readme.TXT"), "another file");
    EXPECT_EQ(list.row(world.rowOf("README.txt")).note, "");
    EXPECT_EQ(world.library.notesText("cat/"),
              notesFileText({QStringLiteral("Readme.TXT=别人的"), QStringLiteral("TOOL.zip=工具")}));
}

TEST_F(Rename, AFileNamedInGbkGetsItsNewNameWithNoteAndDocument)
{
    const QString gbkName = platform::pathFromNative(gbk(QStringLiteral("旧名.txt")));
    std::FILE* file = std::fopen(platform::nativePath(world.library.path("cat/") + gbkName), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("gbk", file);
    std::fclose(file);
    world.library.writeNotes("cat/", {{QStringLiteral("旧名.txt"), QStringLiteral("国标")}});
    world.library.makeFile(QStringLiteral("filecomm/旧名.txt.txt"), "doc");
    world.files.flistrefClick();
    const int row = world.rowOf(gbkName);
    ASSERT_GE(row, 0);
    ASSERT_EQ(list.row(row).caption, QStringLiteral("旧名.txt"));

    commands.filelistEdited(row, QStringLiteral("新名.txt"));
    EXPECT_TRUE(world.dialogs.nothingShown());
    EXPECT_EQ(world.library.read(QStringLiteral("cat/新名.txt")), "gbk");
    EXPECT_FALSE(platform::FileSystem::local().exists(world.library.path("cat/") + gbkName));
    EXPECT_EQ(world.library.read(QStringLiteral("filecomm/新名.txt.txt")), "doc");
    EXPECT_EQ(world.library.notesText("cat/"), notesFileText({QStringLiteral("新名.txt=国标")}));
    EXPECT_EQ(list.row(row).name, QStringLiteral("新名.txt"));
}

TEST_F(Rename, AFailedRenameOfTheFileStopsEverythingElse)
{
    const QString tooLong(300, u'x');
    renameInList("tool.zip", tooLong);
    ASSERT_EQ(world.dialogs.shown.size(), 1u);
    EXPECT_TRUE(world.dialogs.last().text.startsWith(
        QStringLiteral("文件[tool.zip]更名为[") + tooLong + QStringLiteral("]时失败，文件名没有改变！\n")));
    EXPECT_EQ(world.library.read("cat/tool.zip"), "tool");
    EXPECT_EQ(world.library.read("filecomm/tool.zip.txt"), "doc");
    EXPECT_EQ(world.library.notesText("cat/"), notesFileText({QStringLiteral("tool.zip=工具")}));
    EXPECT_EQ(list.row(world.rowOf("tool.zip")).caption, "tool.zip");
}

TEST_F(Rename, AMissingFileStillGivesItsNoteAndDocumentToTheNewName)
{
    QFile::remove(world.library.path("cat/tool.zip"));
    renameInList("tool.zip", "new.zip");
    EXPECT_TRUE(world.dialogs.nothingShown());
    EXPECT_EQ(world.library.read("filecomm/new.zip.txt"), "doc");
    EXPECT_EQ(world.library.notesText("cat/"), notesFileText({QStringLiteral("new.zip=工具")}));
    EXPECT_EQ(list.row(world.rowOf("new.zip")).caption, "new.zip");
}

TEST_F(Rename, ABlankNoteLosesItsKeyAndADocumentOfTheNewNameIsNotReplaced)
{
    world.library.writeNotes("cat/", {{"tool.zip", "  "}});
    world.library.makeFile("filecomm/new.zip.txt", "another document");
    world.files.flistrefClick();
    renameInList("tool.zip", "new.zip");
    EXPECT_EQ(world.dialogs.texts(),
              QStringList(QStringLiteral("文件已更名，但已有名为[new.zip]的详细文档，原文件[tool.zip]"
                                         "的详细文档没有随之更名！")));
    EXPECT_EQ(world.library.read("cat/new.zip"), "tool");
    EXPECT_EQ(world.library.read("filecomm/new.zip.txt"), "another document");
    EXPECT_EQ(world.library.read("filecomm/tool.zip.txt"), "doc");
    EXPECT_EQ(world.library.notesText("cat/"), "[fileinfo]\r\n");
}

TEST_F(Rename, ADocumentThatCannotFollowSaysWhy)
{
    // The file's name fits, its document's (four bytes longer) does not.
    const QString longName(253, u'y');
    renameInList("tool.zip", longName);
    EXPECT_EQ(
        world.dialogs.texts(),
        QStringList(QStringLiteral("文件已更名，但原文件[tool.zip]的详细文档没有随之更名！\n") +
                    qt_error_string(ENAMETOOLONG)));
    EXPECT_EQ(world.library.read("cat/" + longName), "tool");
    EXPECT_EQ(world.library.read("filecomm/tool.zip.txt"), "doc");
    EXPECT_EQ(world.library.notesText("cat/"), notesFileText({longName + QStringLiteral("=工具")}));
}

TEST_F(Rename, TheSearchListRenamesLikeTheFileListAndTheFileListFollows)
{
    core::FileListModel& found = world.workspace.searchList();
    found.appendRow(searchRow(world.library.path("cat/"), "tool.zip", QStringLiteral("工具")));
    found.appendRow(searchRow(world.library.path("cat/"), "other.txt", ""));

    commands.findListEdited(1, "a|b");
    commands.findListEdited(1, "tool.zip");
    EXPECT_EQ(world.dialogs.texts(),
              QStringList({QStringLiteral("注意：你输入了系统不接受的字符做为文件名\r这些字符是[/,\\,:,*,?,\",<,>,|]"),
                           QStringLiteral("此文件名已经存在,请重新命名")}));
    EXPECT_EQ(world.dialogs.last().caption, "");

    world.dialogs.shown.clear();
    commands.findListEdited(0, "renamed.zip");
    EXPECT_TRUE(world.dialogs.nothingShown());
    EXPECT_EQ(world.library.read("cat/renamed.zip"), "tool");
    EXPECT_EQ(world.library.read("filecomm/renamed.zip.txt"), "doc");
    EXPECT_EQ(world.library.notesText("cat/"), notesFileText({QStringLiteral("renamed.zip=工具")}));
    EXPECT_EQ(found.row(0).name, "renamed.zip");
    EXPECT_EQ(world.rowOf("tool.zip"), -1);
    EXPECT_EQ(list.row(world.rowOf("renamed.zip")).note, QStringLiteral("工具"));
}

TEST(RenameReadOnly, TheRenameCommandsRefuseAndNoEditBegins)
{
    World world(false);
    world.library.makeFile("cat/a.txt", "a");
    world.start();
    world.selectCategory({"cat"});
    world.selectFiles({"a.txt"});
    fileops::RenameCommands commands(world.workspace, world.dialogs);
    int requested = 0;
    QObject::connect(&commands, &fileops::RenameCommands::editRequested,
                     [&](core::FileListModel*, int) { ++requested; });
    commands.renfileClick();
    commands.filelistEdited(0, "b.txt");
    EXPECT_EQ(requested, 0);
    EXPECT_FALSE(commands.filelistEditing());
    EXPECT_EQ(world.dialogs.texts(),
              QStringList(QStringLiteral("当前应用程序运行在一个只读存储存设备上，本命令不可执行！")));
    EXPECT_EQ(world.library.read("cat/a.txt"), "a");
}
