// Files and folders dropped on the drop window, brought into the selected category.
#include "../fileops/FileOpsHelpers.h"
#include "core/Texts.h"
#include "dropwin/DropCommands.h"
#include "dropwin/DropTexts.h"
#include "dropwin/UriList.h"
#include "platform/Errors.h"
#include "platform/FileNames.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QUrl>

#include <gtest/gtest.h>
#include <unistd.h>

using fileops_testing::entriesOf;
using fileops_testing::notesFileText;
using fileops_testing::selectedNames;
using testing_support::gbk;
using testing_support::World;

namespace {

struct RecordingSound : platform::Sound
{
    QStringList played;
    void play(const QString& path) override { played.append(path); }
};

class Drop : public ::testing::Test
{
protected:
    World world;
    RecordingSound sound;
    dropwin::DropCommands commands{world.workspace, world.dialogs};
    core::FileListModel& list = world.workspace.fileList();

    void SetUp() override
    {
        commands.setSound(&sound);
        world.library.makeDir("cat");
        world.library.makeFile("cat/kept.txt", "kept");
        world.library.writeNotes("cat/", {{"kept.txt", QStringLiteral("留着")}});
        world.start();
    }
    void selectCat() { ASSERT_TRUE(world.selectCategory({"cat"}).isValid()); }
    QString outside(const QString& name) const { return world.library.path("../outside/" + name); }
    QString makeOutside(const QString& name, const QByteArray& content = "new")
    {
        world.library.makeFile("../outside/" + name, content);
        return outside(name);
    }
    void setMode(int mode) { mode == 0 ? commands.CopyDRClick() : commands.MoveDRClick(); }
    QStringList captions() const
    {
        QStringList shown;
        for (const testing_support::Shown& s : world.dialogs.shown)
            shown.append(s.caption);
        return shown;
    }
};

class DropInMode : public Drop, public ::testing::WithParamInterface<int>
{
};

} // namespace

TEST_P(DropInMode, DroppedFilesLandInTheCategoryAsSelectedRowsAndTheSoundPlays)
{
    const int mode = GetParam();
    setMode(mode);
    world.library.makeFile("DropEnd.wav", "RIFF");
    selectCat();
    const QString a = makeOutside("a.zip", QByteArray(3072, 'a'));
    const QString b = makeOutside(QStringLiteral("说明.txt"));

    commands.DropFileDrop({a, b});

    EXPECT_TRUE(world.dialogs.nothingShown());
    EXPECT_EQ(world.library.read("cat/a.zip").size(), 3072);
    EXPECT_EQ(world.library.read(QStringLiteral("cat/说明.txt")), "new");
    EXPECT_EQ(QFile::exists(a), mode == 0);
    EXPECT_EQ(world.listedNames(), QStringList({"kept.txt", "a.zip", QStringLiteral("说明.txt")}));
    EXPECT_EQ(selectedNames(world), QStringList({"a.zip", QStringLiteral("说明.txt")}));
    EXPECT_EQ(list.row(1).sizeText, "3.00KB");
    EXPECT_EQ(list.row(1).size, 3072);
    EXPECT_EQ(world.workspace.status().text(1), QStringLiteral("3个文件"));
    EXPECT_EQ(sound.played, QStringList(world.library.path("DropEnd.wav")));
}

TEST_P(DropInMode, AFileDroppedOntoItsOwnCategoryStaysWhole)
{
    setMode(GetParam());
    selectCat();
    commands.DropFileDrop({world.library.path("cat/kept.txt")});
    EXPECT_TRUE(world.dialogs.nothingShown());
    EXPECT_EQ(world.library.read("cat/kept.txt"), "kept");
    EXPECT_EQ(entriesOf(world.library.path("cat")), QStringList({"kept.txt", "zzfdat.nod"}));
    EXPECT_EQ(world.listedNames(), QStringList("kept.txt"));
}

TEST_P(DropInMode, ReplacingASameNamedFileAsksAndKeepsItsNote)
{
    setMode(GetParam());
    selectCat();
    const QString source = makeOutside("kept.txt", "newer");
    world.dialogs.answers = {core::Answer::No};
    commands.DropFileDrop({source});
    ASSERT_EQ(world.dialogs.shown.size(), 1u);
    const testing_support::Shown& asked = world.dialogs.last();
    EXPECT_EQ(asked.caption, QStringLiteral("kept.txt 文件已存在"));
    EXPECT_TRUE(asked.text.startsWith(
        QStringLiteral("目的类库中已有 kept.txt 文件存在！\r\r已存在的文件\r大小:0.00KB 日期:")));
    EXPECT_TRUE(asked.text.endsWith(QStringLiteral("   \r\r是否用拖入文件替换已在文件？")));
    EXPECT_EQ(asked.icon, core::MessageIcon::Warning);
    EXPECT_EQ(asked.buttons, core::Buttons::YesNo);
    EXPECT_EQ(world.library.read("cat/kept.txt"), "kept");

    world.dialogs.answers = {core::Answer::Yes};
    commands.DropFileDrop({source});
    EXPECT_EQ(world.library.read("cat/kept.txt"), "newer");
    EXPECT_EQ(list.count(), 1);
    EXPECT_EQ(list.row(0).note, QStringLiteral("留着"));
    EXPECT_EQ(world.library.notesText("cat/"), notesFileText({QStringLiteral("kept.txt=留着")}));
}

TEST_P(DropInMode, AFolderBecomesASubCategoryOrJoinsTheOneOfItsName)
{
    const int mode = GetParam();
    setMode(mode);
    selectCat();
    world.library.makeFile("../outside/pack/one.txt", "1");
    world.library.makeFile("../outside/pack/two.txt", "2");
    world.library.makeFile("../outside/pack/deeper/three.txt", "3");
    commands.DropFileDrop({outside("pack")});

    const QModelIndex cat = world.findCategory({"cat"});
    EXPECT_EQ(world.childCaptions(cat), QStringList("pack"));
    EXPECT_EQ(entriesOf(world.library.path("cat/pack")), QStringList({"one.txt", "two.txt"}));
    EXPECT_TRUE(QFile::exists(outside("pack/deeper/three.txt")));
    EXPECT_EQ(QFile::exists(outside("pack/one.txt")), mode == 0);
    EXPECT_EQ(world.listedNames(), QStringList("kept.txt")); // the folder's files get no rows

    // The same name again: its files join the sub-category; copying overwrites, moving
    // refuses and says so.
    world.library.makeFile("../outside/pack/one.txt", "1 again");
    world.library.makeFile("../outside/pack/new.txt", "n");
    commands.DropFileDrop({outside("pack")});
    EXPECT_EQ(world.childCaptions(cat), QStringList("pack"));
    EXPECT_EQ(world.library.read("cat/pack/new.txt"), "n");
    if (mode == 0) {
        EXPECT_TRUE(world.dialogs.nothingShown());
        EXPECT_EQ(world.library.read("cat/pack/one.txt"), "1 again");
    } else {
        ASSERT_EQ(world.dialogs.texts(),
                  QStringList(QStringLiteral("拖动文件[one.txt]时失败，稍后请重试！")));
        EXPECT_EQ(world.dialogs.last().caption, QStringLiteral("请你注意"));
        EXPECT_EQ(world.library.read("cat/pack/one.txt"), "1");
        EXPECT_EQ(QFile(outside("pack/one.txt")).size(), 7);
    }
}

TEST_P(DropInMode, ADroppedNotesFileJoinsTheSubCategorysNotesInsteadOfReplacingThem)
{
    const int mode = GetParam();
    setMode(mode);
    world.library.makeFile("cat/pack/old.txt", "o");
    world.library.writeNotes("cat/pack/", {{"old.txt", QStringLiteral("旧的")}});
    world.library.makeFile("../outside/pack/new.txt", "n");
    world.library.writeNotes("../outside/pack/", {{"new.txt", QStringLiteral("新的")}});
    selectCat();
    commands.DropFileDrop({outside("pack")});
    EXPECT_TRUE(world.dialogs.nothingShown());
    EXPECT_EQ(world.library.notesText("cat/pack/"),
              notesFileText({QStringLiteral("old.txt=旧的"), QStringLiteral("new.txt=新的")}));
    EXPECT_EQ(QFile::exists(outside("pack/zzfdat.nod")), mode == 0);
}

TEST_P(DropInMode, ADroppedFolderBringsOnlyTheNotesOfTheFilesThatCame)
{
    const int mode = GetParam();
    setMode(mode);
    world.library.makeFile("cat/pack/d.txt", "there");
    world.library.writeNotes("cat/pack/", {{"d.txt", QStringLiteral("原有的")}});
    world.library.makeFile("../outside/pack/d.txt", "dropped");
    world.library.makeFile("../outside/pack/n.txt", "n");
    world.library.writeNotes("../outside/pack/", {{"d.txt", QStringLiteral("拖入的")},
                                                  {"n.txt", QStringLiteral("新的")},
                                                  {"gone.txt", QStringLiteral("早就没了")}});
    const QString droppedNotes = world.library.notesText("../outside/pack/");
    selectCat();
    commands.DropFileDrop({outside("pack")});

    if (mode == 0) {
        // Copied over the file of that name, with its note; the folder keeps its notes.
        EXPECT_TRUE(world.dialogs.nothingShown());
        EXPECT_EQ(world.library.read("cat/pack/d.txt"), "dropped");
        EXPECT_EQ(world.library.notesText("cat/pack/"),
                  notesFileText({QStringLiteral("d.txt=拖入的"), QStringLiteral("n.txt=新的")}));
        EXPECT_EQ(world.library.notesText("../outside/pack/"), droppedNotes);
        return;
    }
    // d.txt could not come: both its notes stay with their files, and so does the notes file
    // that still holds one for a file left behind.
    EXPECT_EQ(world.dialogs.texts(),
              QStringList(QStringLiteral("拖动文件[d.txt]时失败，稍后请重试！")));
    EXPECT_EQ(world.library.notesText("cat/pack/"),
              notesFileText({QStringLiteral("d.txt=原有的"), QStringLiteral("n.txt=新的")}));
    EXPECT_EQ(world.library.notesText("../outside/pack/"),
              notesFileText({QStringLiteral("d.txt=拖入的"), QStringLiteral("gone.txt=早就没了")}));
    // Once d.txt has come too, nothing is left for the notes file to describe.
    QFile::remove(world.library.path("cat/pack/d.txt"));
    commands.DropFileDrop({outside("pack")});
    EXPECT_EQ(world.library.notesText("cat/pack/"),
              notesFileText({QStringLiteral("d.txt=拖入的"), QStringLiteral("n.txt=新的")}));
    EXPECT_FALSE(world.library.exists("../outside/pack/zzfdat.nod"));
}

TEST_P(DropInMode, ADroppedFolderWhoseNotesCannotBeReadStaysAndSaysSo)
{
    setMode(GetParam());
    world.library.makeFile("cat/pack/old.txt", "o");
    world.library.writeNotes("cat/pack/", {{"old.txt", QStringLiteral("旧的")}});
    world.library.makeFile("../outside/pack/n.txt", "n");
    const qint64 tooLarge = 65 * 1024 * 1024; // more than a notes file is read for
    world.library.makeFileOfSize("../outside/pack/zzfdat.nod", tooLarge);
    selectCat();
    commands.DropFileDrop({outside("pack")});

    // Its files cannot bring their notes, so they stay with them.
    EXPECT_EQ(world.dialogs.texts(),
              QStringList(QStringLiteral("拖动文件[zzfdat.nod]时失败，稍后请重试！")));
    EXPECT_EQ(QFile(outside("pack/zzfdat.nod")).size(), tooLarge);
    EXPECT_EQ(world.library.read("../outside/pack/n.txt"), "n");
    EXPECT_FALSE(world.library.exists("cat/pack/n.txt"));
    EXPECT_EQ(world.library.notesText("cat/pack/"),
              notesFileText({QStringLiteral("old.txt=旧的")}));
}

TEST_P(DropInMode, ANotesFileThatCannotBeWrittenKeepsTheFileAndEndsTheDrop)
{
    setMode(GetParam());
    for (const char* name : {"a.txt", "b.txt"})
        world.library.makeFile(QStringLiteral("../outside/pack/") + name, name);
    world.library.writeNotes("../outside/pack/", {{"a.txt", "A"}, {"b.txt", "B"}});
    const QString droppedNotes = world.library.notesText("../outside/pack/");
    // A full disk, or anything else that refuses the write.
    world.library.makeDir("cat/pack/zzfdat.nod");
    makeOutside("later.txt");
    selectCat();

    EXPECT_THROW(commands.DropFileDrop({outside("pack"), outside("later.txt")}),
                 platform::WriteError);

    // The files stay with their notes, and nothing more is dropped.
    EXPECT_EQ(entriesOf(world.library.path("cat/pack")), QStringList("zzfdat.nod"));
    EXPECT_EQ(world.library.read("../outside/pack/a.txt"), "a.txt");
    EXPECT_EQ(world.library.read("../outside/pack/b.txt"), "b.txt");
    EXPECT_EQ(world.library.notesText("../outside/pack/"), droppedNotes);
    EXPECT_FALSE(world.library.exists("cat/later.txt"));
}

TEST_P(DropInMode, NamesThatShowAlikeNeverShareANote)
{
    setMode(GetParam());
    const QString gbkName = platform::pathFromNative("\xD6\xD0.txt"); // 中.txt in GBK
    const QString utf8Name = QStringLiteral("中.txt");
    world.library.makeFile("cat/" + utf8Name, "there");
    world.library.makeFile("cat/pack/" + utf8Name, "there");
    world.library.writeNotes("cat/pack/", {{utf8Name, QStringLiteral("原有的")}});
    world.library.makeFile("../outside/" + gbkName, "coming");
    world.library.makeFile("../outside/pack/" + gbkName, "coming");
    world.library.writeNotes("../outside/pack/", {{utf8Name, QStringLiteral("来的")}});
    const auto cleanUp = qScopeGuard([&] {
        // The temporary folder's clean-up cannot name files whose names are not UTF-8.
        for (const QString& file : {outside(gbkName), outside("pack/" + gbkName)})
            ::unlink(platform::nativePath(file).constData());
    });
    selectCat();

    commands.DropFileDrop({outside(gbkName), outside("pack")});

    EXPECT_EQ(world.dialogs.texts(),
              QStringList({QStringLiteral("目的类库中已有一个看起来同名的文件 中.txt（名字的字节不"
                                          "同），两个文件会共用一条注释，拖入的文件没有导入！"),
                           QStringLiteral("拖动文件[中.txt]时失败，稍后请重试！")}));
    EXPECT_EQ(entriesOf(world.library.path("cat/pack")), QStringList({"zzfdat.nod", utf8Name}));
    EXPECT_EQ(world.library.notesText("cat/pack/"),
              notesFileText({QStringLiteral("中.txt=原有的")}));
    EXPECT_EQ(world.library.read("../outside/pack/" + gbkName), "coming");
    EXPECT_EQ(world.library.notesText("../outside/pack/"),
              notesFileText({QStringLiteral("中.txt=来的")}));
}

INSTANTIATE_TEST_SUITE_P(CopyAndMove, DropInMode, ::testing::Values(0, 1));

TEST_P(DropInMode, WhatIsNoFileOfACategoryIsRefusedAndChangesNothing)
{
    setMode(GetParam());
    world.library.makeFile("quillet", "the program");
    world.library.makeFile("DropEnd.wav", "RIFF");
    world.library.writeNotes("../outside/", {{"kept.txt", QStringLiteral("外来的")}});
    world.library.makeDir("../outside/named/zzfdat.nod");
    world.library.makeFile("../outside/named/zzfdat.nod/x.txt", "x");
    selectCat();
    const QString category = world.library.notesText("cat/");
    const QString root = world.library.path("");
    const struct
    {
        QString dropped;
        QString text; // the message, empty for none
    } cases[] = {
        // A lone notes file would take the place of the category's notes.
        {outside("zzfdat.nod"), dropwin::texts::dropFailed(outside("zzfdat.nod"))},
        // The category's own folder is in place already, as its own file is.
        {world.library.path("cat"), {}},
        // The library's folder, its reserved folders and the program's files stay.
        {root, dropwin::texts::dropFailed(root)},
        {world.library.path("oprecy"), dropwin::texts::dropFailed(world.library.path("oprecy"))},
        {world.library.path("quillet"), dropwin::texts::dropFailed(world.library.path("quillet"))},
        // A folder of the notes file's name would stand where the category's notes are written.
        {outside("named/zzfdat.nod"), core::texts::reservedNameMessage("zzfdat.nod")},
    };
    for (const auto& c : cases) {
        world.dialogs.shown.clear();
        commands.DropFileDrop({c.dropped});
        EXPECT_EQ(world.dialogs.texts(), c.text.isEmpty() ? QStringList() : QStringList(c.text))
            << c.dropped.toStdString();
        EXPECT_EQ(world.library.notesText("cat/"), category) << c.dropped.toStdString();
        EXPECT_EQ(entriesOf(world.library.path("cat/")), QStringList({"kept.txt", "zzfdat.nod"}))
            << c.dropped.toStdString();
    }
    EXPECT_EQ(world.library.read("quillet"), "the program");
    EXPECT_TRUE(world.library.exists("../outside/named/zzfdat.nod/x.txt"));
    EXPECT_EQ(world.listedNames(), QStringList("kept.txt"));
}

TEST_F(Drop, DroppedPathsNeverReachOutsideTheCategory)
{
    setMode(0); // a fault here must never take files away from where they are
    selectCat();
    world.library.makeFile("../outside/pack/p.txt", "p");
    world.library.makeDir("../outside/pack/sub");
    const QString root =
        QDir(world.library.root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).join(u',');
    const QByteArray folder = QUrl::fromLocalFile(outside("pack")).toEncoded();
    const QStringList uris =
        dropwin::droppedItemsFromUriList(folder + "/a%00b\r\n" + folder + "/%G1\r\n");
    ASSERT_EQ(uris.size(), 2);

    commands.DropFileDrop(
        {QStringLiteral("/"), outside("pack/."), outside("pack/sub/.."), uris[0], uris[1]});

    EXPECT_EQ(world.dialogs.texts(),
              QStringList({QStringLiteral("拖动文件:\n/时失败！"),
                           QStringLiteral("拖动文件:\n") + uris[0] + QStringLiteral("时失败！"),
                           QStringLiteral("拖动文件:\n") + uris[1] + QStringLiteral("时失败！")}));
    EXPECT_EQ(
        QDir(world.library.root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).join(u','),
        root);
    EXPECT_EQ(entriesOf(world.library.path("cat")),
              QStringList({"kept.txt", "pack", "zzfdat.nod"}));
    EXPECT_EQ(entriesOf(world.library.path("cat/pack")), QStringList("p.txt"));
}

TEST_F(Drop, NoUsableCategoryOrAReadOnlyLibraryTakesNothing)
{
    world.library.makeFile("DropEnd.wav", "RIFF");
    const QString a = makeOutside("a.txt");
    commands.DropFileDrop({a}); // the root is selected
    ASSERT_EQ(world.dialogs.shown.size(), 1u);
    EXPECT_EQ(world.dialogs.last().caption, QStringLiteral("请你注意"));
    EXPECT_EQ(world.dialogs.last().text,
              QStringLiteral("你当前没有选中一个分类库或正处在总分类库中,\n"
                             "不能将文件拖到这些类库，请先选择一个分类库!"));
    EXPECT_EQ(world.dialogs.last().icon, core::MessageIcon::Warning);

    World readOnly(false);
    readOnly.library.makeDir("cat");
    readOnly.start();
    readOnly.selectCategory({"cat"});
    dropwin::DropCommands refused(readOnly.workspace, readOnly.dialogs);
    refused.DropFileDrop({a});
    EXPECT_EQ(
        readOnly.dialogs.texts(),
        QStringList(QStringLiteral("当前应用程序运行在一个只读存储存设备上，本命令不可执行！")));
    EXPECT_EQ(readOnly.dialogs.last().caption, QStringLiteral("系统提示"));

    EXPECT_TRUE(QFile::exists(a));
    EXPECT_TRUE(sound.played.isEmpty());
}

TEST_F(Drop, FailuresAreReportedOneByOneAndTheRestGoesOn)
{
    selectCat();
    world.library.makeFile("cat/taken", "a file where the folder would go");
    world.library.makeFile("../outside/taken/x.txt", "x");
    const QString good = makeOutside("good.txt");
    commands.DropFileDrop({outside("gone.txt"), outside("taken"), good});
    EXPECT_EQ(captions(), QStringList({QStringLiteral("请你注意"), QStringLiteral("出错了")}));
    EXPECT_EQ(world.dialogs.shown[0].text,
              QStringLiteral("拖动文件:\n") + outside("gone.txt") + QStringLiteral("时失败！"));
    EXPECT_EQ(world.dialogs.shown[1].text,
              QStringLiteral("创建") + world.library.path("cat/taken") +
                  QStringLiteral(
                      "目录时失败了，\n系统将忽略导入到该目录中的文件。\n按[确定]按钮继续..."));
    EXPECT_TRUE(QFile::exists(outside("taken/x.txt")));
    EXPECT_EQ(world.listedNames(), QStringList({"kept.txt", "good.txt"}));
}

TEST_F(Drop, FoldersAreIgnoredInTheBoxTheTransitFolderAndExternalLibraries)
{
    world.library.makeFile("../outside/pack/x.txt", "x");
    const QString ext = world.library.path("../external/");
    world.library.makeDir("../external");
    world.config.writeString(core::section::UserDefDir, "ext", ext);
    core::CategoryTreeModel& system = world.workspace.systemTree();
    core::CategoryTreeModel& external = world.workspace.externalTree();
    const QModelIndex extNode = external.appendChild(external.rootIndex(), "ext");
    struct Case
    {
        std::function<void()> select;
        QString folder;
    } cases[] = {
        {[&] { world.selectSystemNode(system.recycleBoxIndex()); }, world.library.path("oprecy/")},
        {[&] { world.selectSystemNode(system.transitIndex()); }, world.library.path("tempdir/")},
        {[&] { world.selectExternalNode(extNode); }, ext},
    };
    int n = 0;
    for (const Case& c : cases) {
        c.select();
        const QString file = makeOutside(QStringLiteral("f%1.txt").arg(n));
        commands.DropFileDrop({outside("pack"), file});
        EXPECT_TRUE(world.dialogs.nothingShown());
        EXPECT_TRUE(QFile::exists(c.folder + QStringLiteral("f%1.txt").arg(n)));
        EXPECT_FALSE(QFile::exists(c.folder + "pack"));
        ++n;
    }
    EXPECT_TRUE(QFile::exists(outside("pack/x.txt")));
}

TEST_F(Drop, TheMarkSwitchesTheModeAndTheFileKeepsIt)
{
    EXPECT_EQ(commands.modeMark(), QStringLiteral("移"));
    commands.Label1Click();
    EXPECT_EQ(commands.modeMark(), QStringLiteral("复"));
    EXPECT_EQ(world.config.readInt(core::section::SystemConfig, "DropMode", -1), 0);
    commands.Label1Click();
    EXPECT_EQ(commands.mode(), 1);
    EXPECT_EQ(world.config.readInt(core::section::SystemConfig, "DropMode", -1), 1);
    commands.CopyDRClick();
    EXPECT_EQ(world.config.readInt(core::section::SystemConfig, "DropMode", -1), 0);
    commands.MoveDRClick();
    EXPECT_EQ(commands.mode(), 1);

    // Values outside the two modes mean moving.
    world.config.writeInt(core::section::SystemConfig, "DropMode", 7);
    world.session.options() = world.config.loadOptions();
    EXPECT_EQ(world.session.options().DropMode, 1);
    EXPECT_EQ(commands.modeMark(), QStringLiteral("移"));
}

TEST_F(Drop, WithoutTheSoundOptionOrTheSoundFileADropIsSilent)
{
    selectCat();
    commands.DropFileDrop({makeOutside("a.txt")});
    world.library.makeFile("DropEnd.wav", "RIFF");
    world.session.options().EnabledSound = false;
    commands.DropFileDrop({makeOutside("b.txt")});
    EXPECT_TRUE(sound.played.isEmpty());
}

TEST(UriList, GivesTheLocalPathsWithTheirBytesInOrder)
{
    const QByteArray gbkName = gbk(QStringLiteral("中文")).toPercentEncoding();
    const QByteArray list = "# a comment\r\n"
                            "file:///tmp/a%20b.txt\r\n"
                            "file://localhost/tmp/" +
                            gbkName +
                            "\r\n"
                            "file://elsewhere.example/tmp/remote.txt\r\n"
                            "https://example.com/page\r\n"
                            "file:///tmp/a%00/etc/passwd\r\n"
                            "file:///tmp/folder/\r\n";
    const QStringList paths = dropwin::localPathsFromUriList(list);
    ASSERT_EQ(paths.size(), 3);
    EXPECT_EQ(paths[0], "/tmp/a b.txt");
    EXPECT_EQ(platform::nativePath(paths[1]), "/tmp/" + gbk(QStringLiteral("中文")));
    EXPECT_EQ(paths[2], "/tmp/folder");
}
