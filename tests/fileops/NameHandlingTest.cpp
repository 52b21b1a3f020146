// Names as the disk holds them: names that are not UTF-8, names that differ only in letter
// case, links, folders named like files. Every command acts on exactly the file shown, and
// every note stays with its own file.
#include "FileOpsHelpers.h"
#include "core/CategoryCommands.h"
#include "fileops/ImportCommands.h"
#include "fileops/NoteCommands.h"
#include "fileops/RecycleBoxCommands.h"
#include "notes/NotesKeeper.h"
#include "platform/FileNames.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using fileops_testing::notesFileText;
using testing_support::gbk;
using testing_support::World;

namespace {

const QString kGbkName = platform::pathFromNative("\xD6\xD0\xCE\xC4.txt"); // 中文.txt in GBK
const QString kUtf8Name = QStringLiteral("中文.txt");
const QString kRawName = platform::pathFromNative("caf\xE9.txt"); // reads neither way

class NameHandling : public ::testing::Test
{
protected:
    World world;
    fileops::RecycleBoxCommands box{world.workspace, world.dialogs};
    fileops::NoteCommands noteCommands{world.workspace, world.dialogs};
    core::FileListModel& list = world.workspace.fileList();

    QString captionOf(const QString& name) const { return list.row(world.rowOf(name)).caption; }
    QString noteOf(const QString& name) const { return list.row(world.rowOf(name)).note; }
    void deleteIntoBox(const QStringList& names)
    {
        world.selectFiles(names);
        world.session.options().DelDialog = false;
        box.delselfileClick();
    }
    void writeNote(const QString& name, const QString& text)
    {
        world.selectFiles({name});
        world.workspace.setTopEditText(text);
        noteCommands.SaveEditTextClick();
    }
};

} // namespace

TEST_F(NameHandling, GbkNamesShowAsChineseKeepTheirNotesAndMoveByTheirBytes)
{
    world.library.makeFile(QStringLiteral("soft/") + kGbkName, "gbk");
    world.library.makeFile(QStringLiteral("soft/") + kRawName, "raw");
    // Written on Windows: the key is the name as the GBK system reads it.
    world.library.writeNotes("soft/", {{kUtf8Name, QStringLiteral("来自旧库")}});
    world.library.makeDir(platform::pathFromNative("\xB9\xA4\xBE\xDF")); // 工具 in GBK
    world.start();

    EXPECT_EQ(world.childCaptions(world.workspace.systemTree().rootIndex()),
              QStringList({"soft", QStringLiteral("工具")}));
    world.selectCategory({platform::pathFromNative("\xB9\xA4\xBE\xDF")});
    EXPECT_TRUE(world.dialogs.nothingShown()) << "a GBK-named category is no missing folder";

    world.selectCategory({"soft"});
    EXPECT_EQ(captionOf(kGbkName), kUtf8Name);
    EXPECT_EQ(noteOf(kGbkName), QStringLiteral("来自旧库"));
    EXPECT_EQ(platform::displayText(captionOf(kRawName)), QStringLiteral("caf\uFFFD.txt"));

    writeNote(kRawName, QStringLiteral("拉丁文件名"));
    world.files.flistrefClick();
    EXPECT_EQ(noteOf(kRawName), QStringLiteral("拉丁文件名"))
        << "a name of any bytes carries a note";

    deleteIntoBox({kGbkName, kRawName});
    EXPECT_TRUE(world.library.exists(QStringLiteral("oprecy/") + kGbkName));
    EXPECT_EQ(world.library.read(QStringLiteral("oprecy/") + kRawName), "raw");
    world.selectSystemNode(world.workspace.systemTree().recycleBoxIndex());
    EXPECT_EQ(noteOf(kGbkName), QStringLiteral("来自旧库"));
    EXPECT_EQ(noteOf(kRawName), QStringLiteral("拉丁文件名"));
}

TEST_F(NameHandling, AGbkNameNeverTakesTheCaptionOrNoteOfItsUtf8Twin)
{
    world.library.makeFile(QStringLiteral("soft/") + kGbkName);
    world.library.makeFile(QStringLiteral("soft/") + kUtf8Name);
    world.library.writeNotes("soft/", {{kUtf8Name, QStringLiteral("属于UTF-8的文件")}});
    world.start();
    world.selectCategory({"soft"});
    EXPECT_EQ(captionOf(kUtf8Name), kUtf8Name);
    EXPECT_EQ(noteOf(kUtf8Name), QStringLiteral("属于UTF-8的文件"));
    EXPECT_NE(captionOf(kGbkName), kUtf8Name);
    EXPECT_EQ(noteOf(kGbkName), "");
}

TEST_F(NameHandling, NamesThatDifferOnlyInCaseKeepTheirOwnNotes)
{
    world.library.makeFile("soft/Setup.exe");
    world.library.makeFile("soft/setup.exe");
    world.library.makeFile("soft/readme.txt");
    world.library.writeNotes("soft/",
                             {{"Setup.exe", "big"}, {"README.TXT", QStringLiteral("旧键")}});
    world.start();
    world.selectCategory({"soft"});
    EXPECT_EQ(noteOf("Setup.exe"), "big");
    EXPECT_EQ(noteOf("setup.exe"), "") << "another file's exact key is not this file's";
    EXPECT_EQ(noteOf("readme.txt"), QStringLiteral("旧键"))
        << "a key in other case still finds its file";

    writeNote("setup.exe", "small");
    EXPECT_EQ(
        world.library.notesText("soft/"),
        notesFileText({"Setup.exe=big", QStringLiteral("README.TXT=旧键"), "setup.exe=small"}));
    deleteIntoBox({"Setup.exe"});
    EXPECT_EQ(world.library.notesText("soft/"),
              notesFileText({QStringLiteral("README.TXT=旧键"), "setup.exe=small"}));
    EXPECT_EQ(world.library.notesText("oprecy/"), notesFileText({"Setup.exe=big"}));
}

TEST_F(NameHandling, LinksAreHandledAsTheLinksThemselves)
{
    world.library.makeFile("../outside/target.txt", "precious");
    const QByteArray target = platform::nativePath(world.library.path("../outside/target.txt"));
    ASSERT_EQ(::chmod(target.constData(), 0444), 0);
    world.library.makeDir("oprecy");
    ASSERT_EQ(::symlink(target.constData(),
                        platform::nativePath(world.library.path("oprecy/link.txt")).constData()),
              0);
    world.library.makeDir("soft");
    ASSERT_EQ(::symlink("../../outside/target.txt",
                        platform::nativePath(world.library.path("soft/rel.txt")).constData()),
              0);
    world.start();

    // A relative link moved into the box keeps leading to the same file.
    world.selectCategory({"soft"});
    deleteIntoBox({"rel.txt"});
    EXPECT_EQ(world.library.read("oprecy/rel.txt"), "precious");

    world.selectSystemNode(world.workspace.systemTree().recycleBoxIndex());
    world.session.options().EmptyDialog = false;
    box.emptyboxClick();
    struct stat st;
    ASSERT_EQ(::stat(target.constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u) << "the file a link leads to keeps its attributes";
    EXPECT_FALSE(world.library.exists("oprecy/link.txt"));
    EXPECT_FALSE(world.library.exists("oprecy/rel.txt"));
    EXPECT_EQ(world.library.read("../outside/target.txt"), "precious");
}

TEST_F(NameHandling, OnlyAFileOfTheSameNameCountsAsOne)
{
    world.library.makeFile("soft/a.txt", "file");
    world.library.makeFile("oprecy/a.txt/inside", "folder");
    world.start();
    world.selectCategory({"soft"});
    deleteIntoBox({"a.txt"});
    ASSERT_EQ(world.dialogs.shown.size(), 1u);
    EXPECT_EQ(world.dialogs.last().text, "回收箱中已有名为[a.txt]的文件夹，文件没有删除！");
    EXPECT_EQ(world.library.read("soft/a.txt"), "file");
    EXPECT_EQ(world.library.read("oprecy/a.txt/inside"), "folder");
}

TEST_F(NameHandling, TheTreeSortsAsTheListAndKeepsMarksOfFoldersEndingInBlanks)
{
    for (const char* dir : {"b", "A", "a", "中文", "Z1", "trail /sub", "empty"})
        world.library.makeDir(QString::fromUtf8(dir));
    world.start();
    core::CategoryTreeModel& tree = world.workspace.systemTree();
    EXPECT_EQ(world.childCaptions(tree.rootIndex()),
              QStringList({"A", "a", "b", "empty", "trail ", "Z1", QStringLiteral("中文")}));
    EXPECT_TRUE(tree.hasChildren(world.findCategory({"trail "})));
    EXPECT_FALSE(tree.hasChildren(world.findCategory({"empty"})));
}

TEST_F(NameHandling, DeletingACategoryTakesItsNotesFileInAnyCase)
{
    world.library.makeFile("gone/ZZFDAT.NOD", "[fileinfo]\r\n");
    world.library.makeFile("gone/.quillet-0badf00d.tmp", "left by a crash");
    world.start();
    world.selectCategory({"gone"});
    world.dialogs.answers.push_back(core::Answer::Yes);
    world.categories.deltreeClick();
    EXPECT_FALSE(world.library.exists("gone"));
}

TEST_F(NameHandling, ValuesWithLineBreaksNeverReachAStoredFile)
{
    world.start();
    core::CategoryTreeModel& tree = world.workspace.systemTree();
    world.categories.treeviewEdited(tree.rootIndex(),
                                    QStringLiteral("我的库\n[SystemConfig]\nDragPro=/bin/false"));
    EXPECT_EQ(world.dialogs.last().text, QStringLiteral("名称中不能含有换行符，请重新输入！"));
    EXPECT_EQ(tree.captionOf(tree.rootIndex()), QStringLiteral("我的软件库"));
    EXPECT_THROW(world.config.writeString("contlor", "rootname", "a\nb"), platform::UnstorableText);
    EXPECT_EQ(world.config.readString("SystemConfig", "DragPro", "unset"), "unset");

    // A rename whose new key is refused keeps the old key and its note.
    world.library.makeFile("soft/old.txt");
    world.library.writeNotes("soft/", {{"old.txt", "keep"}});
    EXPECT_EQ(notes::NotesKeeper::rename(world.session.fs(), world.library.path("soft/"), "old.txt",
                                         "new=.txt")
                  .outcome,
              notes::NotesKeeper::RenameOutcome::KeyRefused);
    EXPECT_EQ(notes::NotesFile::open(world.library.path("soft/")).readNote("old.txt"), "keep");
    EXPECT_TRUE(world.library.exists("soft/old.txt"));
}
