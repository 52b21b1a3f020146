// A file and its note travel together through every command that moves a file: the note
// carried is the one stored when the file moves (whatever a row shows), a file is never moved
// onto itself, names that show alike never share a note, a notes file that cannot be written
// keeps the file where it is, and a moved link keeps leading to its file.
#include "FileOpsHelpers.h"
#include "core/ConfigFile.h"
#include "fileops/ImportCommands.h"
#include "fileops/MoveCommands.h"
#include "fileops/RecycleBoxCommands.h"
#include "platform/FileNames.h"
#include "search/SearchCommands.h"
#include "support/FolderNotes.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>

#include <functional>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

using core::DragSource;
using fileops_testing::notesFileText;
using fileops_testing::searchRow;
using testing_support::World;

namespace {

const QString kGbkName = platform::pathFromNative("\xD6\xD0.txt"); // 中.txt in GBK
const QString kUtf8Name = QStringLiteral("中.txt");
const QString kMarkedName = QStringLiteral("\uFEFFreadme.txt"); // EF BB BF, then readme.txt

class NotesTravel : public ::testing::Test
{
public:
    World world;
    fileops::MoveCommands moves{world.workspace, world.dialogs};
    fileops::RecycleBoxCommands box{world.workspace, world.dialogs};
    fileops::ImportCommands imports{world.workspace, world.dialogs};
    core::CategoryTreeModel& system = world.workspace.systemTree();

    void SetUp() override
    {
        world.library.makeDir("src");
        world.library.makeDir("dst/sub");
        world.session.options().DelDialog = false;
        world.session.options().EmptyDialog = false;
    }
    void TearDown() override
    {
        // The temporary folder's clean-up cannot name files whose names are not UTF-8.
        for (const char* folder : {"src/", "dst/", "oprecy/", "../outside/"})
            ::unlink(platform::nativePath(world.library.path(folder) + kGbkName).constData());
    }

    QModelIndex dst() { return world.findCategory({"dst"}); }
    void show(const QString& folder)
    {
        if (folder == "oprecy/")
            world.selectSystemNode(system.recycleBoxIndex());
        else
            world.selectCategory({folder.chopped(1)});
    }
    // Search rows for these files of `folder`, each showing `note`, all selected.
    void find(const QString& folder, const QStringList& names, const QString& note)
    {
        std::vector<core::FileRow> rows;
        for (const QString& name : names)
            rows.push_back(searchRow(world.library.path(folder), name, note));
        core::FileListModel& found = world.workspace.searchList();
        found.setRows(std::move(rows));
        world.workspace.searchSelection().select(
            QItemSelection(found.index(0, 0), found.index(found.count() - 1, 0)),
            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QString noteIn(const QString& folder, const QString& name) const
    {
        return notes::NotesFile::open(world.library.path(folder)).readNote(name);
    }
};

// The ways a file leaves its folder with its note: from the file list or the search list,
// onto a category, into the box or out of it.
struct Way
{
    const char* name;
    QString from;
    QString to;
    std::function<void(NotesTravel&, const QStringList& names)> move;
};

const Way kWays[] = {
    {"FileListOntoACategory", "src/", "dst/",
     [](NotesTravel& t, const QStringList& names) {
         t.world.selectFiles(names);
         t.moves.treeviewDragDrop(DragSource::FileList, t.dst());
     }},
    {"SearchListOntoACategory", "src/", "dst/",
     [](NotesTravel& t, const QStringList& names) {
         t.find("src/", names, QStringLiteral("搜索时的注释"));
         t.world.dialogs.answers.push_back(core::Answer::Yes);
         t.moves.treeviewDragDrop(DragSource::SearchList, t.dst());
     }},
    {"FileListIntoTheBox", "src/", "oprecy/",
     [](NotesTravel& t, const QStringList& names) {
         t.world.selectFiles(names);
         t.box.delselfileClick();
     }},
    {"SearchListIntoTheBox", "src/", "oprecy/",
     [](NotesTravel& t, const QStringList& names) {
         t.find("src/", names, "");
         t.box.DELFMClick();
     }},
    {"FileListOutOfTheBox", "oprecy/", "dst/",
     [](NotesTravel& t, const QStringList& names) {
         t.world.selectFiles(names);
         t.moves.treeviewDragDrop(DragSource::FileList, t.dst());
     }},
};

class EveryWay : public NotesTravel, public ::testing::WithParamInterface<Way>
{
};

void PrintTo(const Way& way, std::ostream* out)
{
    *out << way.name;
}

} // namespace

TEST_P(EveryWay, TheNoteCarriedIsTheOneStoredWhenTheFileMoves)
{
    const Way& way = GetParam();
    world.library.makeFile(way.from + "a.txt", "a");
    world.library.makeFile(way.from + "b.txt", "b");
    world.library.writeNotes(way.from, {{"a.txt", QStringLiteral("旧的")}});
    world.start();
    show(way.from);
    // Edited elsewhere after the rows were read: a newer note, and a note added.
    testing_support::FolderNotes(world.library.path(way.from))
        .writeNote("a.txt", QStringLiteral("新的"));
    testing_support::FolderNotes(world.library.path(way.from))
        .writeNote("b.txt", QStringLiteral("后来的"));

    way.move(*this, {"a.txt", "b.txt"});

    EXPECT_TRUE(world.library.exists(way.to + "b.txt"));
    EXPECT_EQ(world.library.notesText(way.to),
              notesFileText({QStringLiteral("a.txt=新的"), QStringLiteral("b.txt=后来的")}));
    EXPECT_EQ(world.library.notesText(way.from), "[fileinfo]\r\n");
}

TEST_P(EveryWay, ANotesFileThatCannotBeWrittenKeepsTheFileAndEndsTheCommand)
{
    const Way& way = GetParam();
    for (const char* name : {"0.txt", "a.txt", "b.txt"})
        world.library.makeFile(way.from + name, name);
    world.library.writeNotes(way.from, {{"a.txt", "A"}, {"b.txt", "B"}});
    // A full disk, or anything else that refuses the write.
    world.library.makeDir(way.to + "zzfdat.nod");
    world.start();
    show(way.from);

    EXPECT_THROW(way.move(*this, {"0.txt", "a.txt", "b.txt"}), platform::WriteError);

    // 0.txt has no note to write and goes; a.txt and b.txt stay with their notes and rows.
    EXPECT_TRUE(world.library.exists(way.to + "0.txt"));
    EXPECT_TRUE(world.library.exists(way.from + "a.txt"));
    EXPECT_TRUE(world.library.exists(way.from + "b.txt"));
    EXPECT_EQ(world.library.notesText(way.from), notesFileText({"a.txt=A", "b.txt=B"}));
    if (QString(way.name).startsWith("FileList")) {
        EXPECT_EQ(world.listedNames(), QStringList({"a.txt", "b.txt"}));
    }
}

TEST_P(EveryWay, AFileWhoseNotesCannotBeReadStaysWithThem)
{
    const Way& way = GetParam();
    world.library.makeFile(way.from + "a.txt", "a");
    const qint64 tooLarge = 65 * 1024 * 1024; // more than a notes file is read for
    world.library.makeFileOfSize(way.from + "zzfdat.nod", tooLarge);
    world.start();
    show(way.from);

    way.move(*this, {"a.txt"});

    EXPECT_TRUE(world.dialogs.last().text.contains(QStringLiteral("[a.txt]时失败")))
        << world.dialogs.last().text.toStdString();
    EXPECT_TRUE(world.library.exists(way.from + "a.txt"));
    EXPECT_FALSE(world.library.exists(way.to + "a.txt"));
    EXPECT_EQ(QFile(world.library.path(way.from + "zzfdat.nod")).size(), tooLarge);
}

INSTANTIATE_TEST_SUITE_P(Ways, EveryWay, ::testing::ValuesIn(kWays),
                         [](const ::testing::TestParamInfo<Way>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(NotesTravel, AFileIsNeverMovedOntoItself)
{
    // A link with the name of the file it leads to, and a second name of a file, each in
    // another category than the file.
    world.library.makeFile("dst/t.txt", "precious");
    world.library.makeFile("dst/h.txt", "hard");
    world.library.writeNotes("dst/", {{"t.txt", QStringLiteral("真的")}, {"h.txt", "H"}});
    ASSERT_EQ(::symlink("../dst/t.txt",
                        platform::nativePath(world.library.path("src/t.txt")).constData()),
              0);
    ASSERT_EQ(::link(platform::nativePath(world.library.path("dst/h.txt")).constData(),
                     platform::nativePath(world.library.path("src/h.txt")).constData()),
              0);
    const QString notes = world.library.notesText("dst/");
    world.start();
    show("src/");
    world.dialogs.answers = {core::Answer::Yes, core::Answer::Yes};
    world.selectFiles({"h.txt", "t.txt"});
    moves.treeviewDragDrop(DragSource::FileList, dst());

    EXPECT_EQ(
        world.dialogs.texts(),
        QStringList({"文件[ h.txt ]原本就在[ dst ]分类库中\n\n按[确定]按钮继续移动其它文件！",
                     "文件[ t.txt ]原本就在[ dst ]分类库中\n\n按[确定]按钮继续移动其它文件！"}));
    EXPECT_EQ(world.library.read("dst/t.txt"), "precious");
    EXPECT_EQ(world.library.read("dst/h.txt"), "hard");
    EXPECT_TRUE(QFileInfo(world.library.path("src/t.txt")).isSymLink());
    EXPECT_EQ(world.library.read("src/h.txt"), "hard");
    EXPECT_EQ(world.library.notesText("dst/"), notes);
}

TEST_F(NotesTravel, AFolderMountedTwiceIsOneFolder)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "a bind mount needs root";
    world.library.makeFile("src/a.txt", "a");
    world.library.writeNotes("src/", {{"a.txt", QStringLiteral("甲")}});
    const QString bound = world.library.path("../bound");
    QDir().mkpath(bound);
    ASSERT_EQ(::mount(platform::nativePath(world.library.path("src")).constData(),
                      platform::nativePath(bound).constData(), nullptr, MS_BIND, nullptr),
              0);
    const auto unmount =
        qScopeGuard([&] { ::umount2(platform::nativePath(bound).constData(), MNT_DETACH); });
    world.config.writeString(core::section::UserDefDir, "bound", bound + u'/');
    world.start();
    world.external.buildAtStart();
    core::CategoryTreeModel& external = world.workspace.externalTree();
    QModelIndex lib;
    for (int row = 0; row < external.rowCount(external.rootIndex()); ++row) {
        if (external.captionOf(external.index(row, 0, external.rootIndex())) == "bound")
            lib = external.index(row, 0, external.rootIndex());
    }
    ASSERT_TRUE(lib.isValid());
    show("src/");

    world.selectFiles({"a.txt"});
    moves.usertreeDragDrop(DragSource::FileList, lib);
    find("src/", {"a.txt"}, QStringLiteral("甲"));
    moves.usertreeDragDrop(DragSource::SearchList, lib);

    EXPECT_EQ(
        world.dialogs.texts(),
        QStringList({"移动错误，目标分类库和原分类库相同。",
                     "文件[ a.txt ]原本就在[ bound ]分类库中\n\n按[确定]按钮继续移动其它文件！"}));
    EXPECT_EQ(world.library.read("src/a.txt"), "a");
    EXPECT_EQ(world.library.notesText("src/"), notesFileText({QStringLiteral("a.txt=甲")}));
}

// Two names that show alike, each with a note: the one already there and the one that comes.
struct AlikeNames
{
    const char* name;
    QString there;
    QString coming;
};

class ShowAlike : public NotesTravel, public ::testing::WithParamInterface<AlikeNames>
{
};

TEST_P(ShowAlike, NamesThatShowAlikeNeverShareANote)
{
    const AlikeNames& names = GetParam();
    world.library.makeFile("dst/" + names.there, "there");
    world.library.writeNotes("dst/",
                             {{platform::captionOfName(names.there), QStringLiteral("原有的")}});
    world.library.makeFile("src/" + names.coming, "coming");
    world.library.writeNotes("src/",
                             {{platform::captionOfName(names.coming), QStringLiteral("来的")}});
    world.library.makeFile("../outside/" + names.coming, "outside");
    world.start();
    const QString notesBefore = world.library.notesText("dst/");

    show("src/");
    world.selectFiles({names.coming});
    moves.treeviewDragDrop(DragSource::FileList, dst());
    show("dst/");
    world.dialogs.fileChoices.push_back({world.library.path("../outside/" + names.coming)});
    imports.t103Click();

    const QString shown = platform::captionOfName(names.coming);
    EXPECT_EQ(world.dialogs.texts(),
              QStringList({"分类库[dst]中已有一个看起来同名的文件 " + shown +
                               "（名字的字节不同），两个文件会共用一条注释，这个文件没有移动！",
                           "此分类库中已有一个看起来同名的文件 " + shown +
                               "（名字的字节不同），两个文件会共用一条注释，这个文件没有导入！"}));
    EXPECT_EQ(world.library.read("src/" + names.coming), "coming");
    EXPECT_FALSE(world.library.exists("dst/" + names.coming));
    EXPECT_EQ(world.library.notesText("dst/"), notesBefore);
    EXPECT_EQ(noteIn("src/", platform::captionOfName(names.coming)), QStringLiteral("来的"));
}

INSTANTIATE_TEST_SUITE_P(
    Names, ShowAlike,
    ::testing::Values(AlikeNames{"Utf8ComingGbkThere", kGbkName, kUtf8Name},
                      AlikeNames{"GbkComingUtf8There", kUtf8Name, kGbkName},
                      AlikeNames{"MarkedComingPlainThere", "readme.txt", kMarkedName},
                      AlikeNames{"PlainComingMarkedThere", kMarkedName, "readme.txt"}),
    [](const ::testing::TestParamInfo<AlikeNames>& info) { return std::string(info.param.name); });

TEST_F(NotesTravel, ANameStartingWithAByteOrderMarkIsAFileOfItsOwn)
{
    world.library.makeFile("src/readme.txt", "plain");
    world.library.makeFile("src/" + kMarkedName, "marked");
    world.start();
    show("src/");
    QStringList listed = world.listedNames();
    listed.sort();
    ASSERT_EQ(listed, QStringList({"readme.txt", kMarkedName}));

    world.selectFiles({kMarkedName});
    box.delselfileClick();
    EXPECT_EQ(world.library.read("oprecy/" + kMarkedName), "marked");
    EXPECT_EQ(world.library.read("src/readme.txt"), "plain");

    search::SearchCommands search(world.workspace, world.dialogs);
    world.library.makeFile("dst/" + kMarkedName, "found");
    search.setKeyword("readme");
    search.findButtonClick();
    QStringList found;
    for (const core::FileRow& row : world.workspace.searchList().listedRows())
        found.append(row.folder + row.name);
    found.sort();
    EXPECT_EQ(found, QStringList({world.library.path("dst/") + kMarkedName,
                                  world.library.path("src/readme.txt")}));
}

TEST_F(NotesTravel, AMovedLinkLeadsToTheSameFile)
{
    world.library.makeFile("docs/x.txt", "x");
    ASSERT_EQ(::symlink("../docs/x.txt",
                        platform::nativePath(world.library.path("src/x.lnk")).constData()),
              0);
    world.start();
    const auto linkText = [&](const QString& relative) {
        char text[256] = {};
        const ssize_t n = ::readlink(platform::nativePath(world.library.path(relative)).constData(),
                                     text, sizeof text - 1);
        return n < 0 ? QByteArray() : QByteArray(text, int(n));
    };

    // Into a folder as deep the link stays as it is; into a deeper one it goes up once more.
    show("src/");
    world.selectFiles({"x.lnk"});
    moves.treeviewDragDrop(DragSource::FileList, dst());
    EXPECT_EQ(linkText("dst/x.lnk"), "../docs/x.txt");
    show("dst/");
    world.selectFiles({"x.lnk"});
    moves.treeviewDragDrop(DragSource::FileList, world.findCategory({"dst", "sub"}));
    EXPECT_EQ(linkText("dst/sub/x.lnk"), "../../docs/x.txt");
    // It leads through none of its old folders, which may go.
    QDir(world.library.path("src")).removeRecursively();
    EXPECT_EQ(world.library.read("dst/sub/x.lnk"), "x");
}
