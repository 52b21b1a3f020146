// Moving by drag and drop onto the trees: file rows, search rows and whole categories, with
// every refusal and question, and the notes on disk afterwards.
#include "FileOpsHelpers.h"
#include "core/ConfigFile.h"
#include "fileops/MoveCommands.h"
#include "fileops/NoteCommands.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using core::DragSource;
using fileops_testing::notesFileText;
using fileops_testing::searchRow;
using fileops_testing::selectedNames;
using testing_support::Shown;
using testing_support::World;

namespace {

class Move : public ::testing::Test
{
protected:
    World world;
    fileops::MoveCommands moves{world.workspace, world.dialogs};
    core::CategoryTreeModel& system = world.workspace.systemTree();
    core::CategoryTreeModel& external = world.workspace.externalTree();

    void SetUp() override
    {
        for (const char* name : {"a.txt", "b.txt", "c.txt"})
            world.library.makeFile(QStringLiteral("src/") + name, name);
        world.library.writeNotes(
            "src/",
            {{"a.txt", QStringLiteral("甲的注释")}, {"b.txt", "  "}, {"other.txt", "stays"}});
        world.library.makeDir("dst/sub");
        world.start();
    }

    QModelIndex node(const QStringList& captions) { return world.findCategory(captions); }
    void showSource() { world.selectCategory({"src"}); }
    void dropFiles(const QStringList& names, const QModelIndex& target)
    {
        world.selectFiles(names);
        if (target.model() == &external)
            moves.usertreeDragDrop(DragSource::FileList, target);
        else
            moves.treeviewDragDrop(DragSource::FileList, target);
    }
    QModelIndex registerExternal(const QString& name, const QString& folder)
    {
        world.config.writeString("UserDefDir", name, folder);
        return external.appendChild(external.rootIndex(), name);
    }
};

} // namespace

TEST_F(Move, FileRowsMoveIntoACategoryWithTheirNotes)
{
    showSource();
    dropFiles({"a.txt", "b.txt"}, node({"dst"}));

    EXPECT_TRUE(world.dialogs.nothingShown());
    EXPECT_EQ(world.listedNames(), QStringList({"c.txt"}));
    EXPECT_EQ(world.workspace.status().text(1), "共1个文件");
    EXPECT_TRUE(world.library.exists("dst/a.txt"));
    EXPECT_TRUE(world.library.exists("dst/b.txt"));
    EXPECT_FALSE(world.library.exists("src/a.txt"));
    // A blank note is not carried; in the file list both keys leave the source.
    EXPECT_EQ(world.library.notesText("dst/"), notesFileText({QStringLiteral("a.txt=甲的注释")}));
    EXPECT_EQ(world.library.notesText("src/"), notesFileText({"other.txt=stays"}));
    EXPECT_EQ(world.dialogs.busyDepth, 0);

    // Selecting the target lists them with their notes.
    world.selectCategory({"dst"});
    world.selectFiles({"a.txt"});
    EXPECT_EQ(world.workspace.topEditText(), QStringLiteral("甲的注释"));
}

TEST_F(Move, FilesGoIntoTheBoxAndComeBackOutWithTheirNotes)
{
    showSource();
    dropFiles({"a.txt"}, system.recycleBoxIndex());
    EXPECT_EQ(world.library.notesText("oprecy/"),
              notesFileText({QStringLiteral("a.txt=甲的注释")}));

    world.selectSystemNode(system.recycleBoxIndex());
    dropFiles({"a.txt"}, node({"dst", "sub"}));
    EXPECT_TRUE(world.library.exists("dst/sub/a.txt"));
    EXPECT_EQ(world.library.notesText("dst/sub/"),
              notesFileText({QStringLiteral("a.txt=甲的注释")}));
    EXPECT_EQ(world.library.notesText("oprecy/"), "[fileinfo]\r\n");
}

TEST_F(Move, ASameNamedFileIsReplacedOnlyOnYes)
{
    world.library.makeFile("dst/a.txt", QByteArray(2048, 'o'));
    world.library.makeFile("dst/b.txt", "old b");
    world.library.makeDir("dst/c.txt");
    world.library.writeNotes("dst/", {{"b.txt", "old note"}});
    showSource();
    const core::FileRow a = world.workspace.fileList().row(world.rowOf("a.txt"));

    world.dialogs.answers = {core::Answer::Yes, core::Answer::No};
    dropFiles({"a.txt", "b.txt", "c.txt"}, node({"dst"}));

    ASSERT_EQ(world.dialogs.shown.size(), 3u);
    const Shown& prompt = world.dialogs.shown[0];
    EXPECT_EQ(prompt.caption, "系统提示");
    EXPECT_EQ(prompt.icon, core::MessageIcon::Question);
    EXPECT_EQ(prompt.defaultButton, core::Answer::Yes);
    const QStringList lines = prompt.text.split(u'\n');
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0], "分类库[dst]中已有a.txt文件存在,");
    EXPECT_TRUE(lines[1].startsWith("日期:")) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].endsWith(",大小:2.00 K")) << lines[1].toStdString();
    EXPECT_EQ(lines[2], "要移动的文件:");
    EXPECT_EQ(lines[3], "日期:" + a.dateText + ",大小:" + a.sizeText);
    EXPECT_EQ(lines[4], "是否覆盖？");
    // A folder of that name is never replaced.
    EXPECT_EQ(world.dialogs.shown[2].text,
              "分类库[dst]中已有名为 c.txt 的文件夹，文件夹不能被文件替换，这个文件没有移动！");

    EXPECT_EQ(world.library.read("dst/a.txt"), "a.txt");
    EXPECT_EQ(world.library.read("dst/b.txt"), "old b");
    EXPECT_TRUE(QDir(world.library.path("dst/c.txt")).exists());
    // Declined and refused rows stay, deselected.
    EXPECT_EQ(world.listedNames(), QStringList({"b.txt", "c.txt"}));
    EXPECT_TRUE(selectedNames(world).isEmpty());
    EXPECT_EQ(world.library.notesText("dst/"),
              notesFileText({"b.txt=old note", QStringLiteral("a.txt=甲的注释")}));
    EXPECT_EQ(QDir(world.library.path("dst")).entryList(QDir::Files | QDir::Hidden),
              QStringList({"a.txt", "b.txt", "zzfdat.nod"}));
}

TEST_F(Move, DropsThatCannotMoveFilesAreRefused)
{
    const QString outside = QDir::cleanPath(world.library.path("../outside")) + u'/';
    QDir().mkpath(outside);
    const QModelIndex unset = registerExternal("unset", "");
    const QModelIndex lib = registerExternal("lib", outside);
    showSource();

    const struct
    {
        QModelIndex target;
        QString text;
    } cases[] = {
        {system.rootIndex(), "不能移动到总分类库中，总分类库不保存文件！"},
        {node({"src"}), "移动错误，目标分类库和原分类库相同。"},
        {external.rootIndex(), "对不起，这是个总分类库标题，不能移动到这里！"},
        {unset, "无法提取目标类库目录路径，拖动失败，请重试！"},
    };
    for (const auto& c : cases) {
        world.dialogs.shown.clear();
        dropFiles({"a.txt"}, c.target);
        ASSERT_EQ(world.dialogs.texts(), QStringList({c.text}));
    }
    EXPECT_EQ(world.dialogs.last().text, "无法提取目标类库目录路径，拖动失败，请重试！");
    world.dialogs.shown.clear();
    dropFiles({"a.txt"}, system.rootIndex());
    EXPECT_EQ(world.dialogs.last().caption, "信息提示");
    EXPECT_EQ(world.dialogs.last().icon, core::MessageIcon::Warning);

    // The external library shown takes nothing from its own list, and neither does another
    // node standing for the shown folder.
    world.selectExternalNode(lib);
    world.dialogs.shown.clear();
    dropFiles({}, lib);
    world.selectSystemNode(system.transitIndex());
    world.library.makeFile("tempdir/t.txt", "t");
    world.library.writeNotes("tempdir/", {{"t.txt", "kept"}});
    world.files.flistrefClick();
    dropFiles({"t.txt"}, external.transitIndex());
    EXPECT_EQ(world.dialogs.texts(), QStringList({"移动错误，目标分类库和原分类库相同。",
                                                  "移动错误，目标分类库和原分类库相同。"}));
    EXPECT_EQ(world.library.notesText("tempdir/"), notesFileText({"t.txt=kept"}));
    EXPECT_TRUE(world.library.exists("src/a.txt"));

    // A file that cannot be moved is reported; the next one goes on.
    world.selectExternalNode(external.rootIndex());
    showSource();
    QFile::remove(world.library.path("src/a.txt"));
    world.dialogs.shown.clear();
    dropFiles({"a.txt", "c.txt"}, lib);
    EXPECT_EQ(world.dialogs.texts(), QStringList({"移动文件[a.txt]时失败！请稍后重试。"}));
    EXPECT_TRUE(QFile::exists(outside + "c.txt"));
    EXPECT_EQ(world.listedNames(), QStringList({"a.txt", "b.txt"}));
}

TEST_F(Move, SearchRowsMoveWithTheirOwnFolders)
{
    const QString src = world.library.path("src/");
    const QString dst = world.library.path("dst/");
    world.library.makeFile("dst/d.txt", "d");
    world.selectCategory({"dst"});
    core::FileListModel& found = world.workspace.searchList();
    found.setRows({searchRow(src, "a.txt", QStringLiteral("甲的注释")),
                   searchRow(src, "b.txt", "  "), searchRow(dst, "d.txt", "")});
    const auto selectAllFound = [&] {
        world.workspace.searchSelection().select(
            QItemSelection(found.index(0, 0), found.index(found.count() - 1, 0)),
            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    };

    // The system tree asks first.
    selectAllFound();
    moves.treeviewDragDrop(DragSource::SearchList, node({"dst"}));
    EXPECT_EQ(world.dialogs.last().caption, "操作确认");
    EXPECT_EQ(world.dialogs.last().text, "你确定要将这些选中的文件移动到[ dst ]分类库中吗？");
    EXPECT_EQ(found.count(), 3);

    world.dialogs.shown.clear();
    world.dialogs.answers.push_back(core::Answer::Yes);
    moves.treeviewDragDrop(DragSource::SearchList, node({"dst"}));
    EXPECT_EQ(
        world.dialogs.texts().mid(1),
        QStringList({"文件[ d.txt ]原本就在[ dst ]分类库中\n\n按[确定]按钮继续移动其它文件！"}));
    ASSERT_EQ(found.count(), 1);
    EXPECT_EQ(world.workspace.status().text(1), "共1个文件");
    // A blank note leaves its key behind in the search path.
    EXPECT_EQ(world.library.notesText("src/"), notesFileText({"b.txt=  ", "other.txt=stays"}));
    EXPECT_EQ(world.library.notesText("dst/"), notesFileText({QStringLiteral("a.txt=甲的注释")}));
    // The shown folder's list takes the files that arrived in it.
    EXPECT_EQ(world.listedNames(), QStringList({"d.txt", "a.txt", "b.txt"}));
    EXPECT_EQ(world.workspace.fileList().row(1).note, QStringLiteral("甲的注释"));

    // Onto the external tree without the question.
    const QString outside = QDir::cleanPath(world.library.path("../outside")) + u'/';
    QDir().mkpath(outside);
    const QModelIndex lib = registerExternal("lib", outside);
    world.dialogs.shown.clear();
    found.setRows({searchRow(dst, "a.txt", QStringLiteral("甲的注释"))});
    selectAllFound();
    moves.usertreeDragDrop(DragSource::SearchList, lib);
    EXPECT_TRUE(world.dialogs.nothingShown());
    EXPECT_TRUE(QFile::exists(outside + "a.txt"));
    EXPECT_EQ(world.library.notesText("../outside/"),
              notesFileText({QStringLiteral("a.txt=甲的注释")}));
    EXPECT_EQ(world.library.notesText("dst/"), "[fileinfo]\r\n");
    // It left the shown folder, so its row went too.
    EXPECT_EQ(world.listedNames(), QStringList({"d.txt", "b.txt"}));
}

TEST_F(Move, CategoriesMoveOnlyWhereTheyCanGo)
{
    world.library.makeDir("dst/sub/deep");
    const QModelIndex src = node({"src"});
    const QModelIndex dst = node({"dst"});
    const QModelIndex sub = node({"dst", "sub"});
    const QModelIndex deep = node({"dst", "sub", "deep"});
    const auto allowed = [&](const QModelIndex& dragged, const QModelIndex& target) {
        world.selectSystemNode(dragged);
        return moves.treeviewDragOver(system, DragSource::SystemTree, target);
    };
    EXPECT_FALSE(allowed(system.rootIndex(), dst));
    EXPECT_FALSE(allowed(system.transitIndex(), dst));
    EXPECT_FALSE(allowed(sub, sub));
    EXPECT_FALSE(allowed(sub, dst));
    EXPECT_FALSE(allowed(dst, deep));
    EXPECT_FALSE(allowed(src, system.recycleBoxIndex()));
    EXPECT_FALSE(allowed(src, system.transitIndex()));
    EXPECT_FALSE(moves.treeviewDragOver(external, DragSource::SystemTree, external.transitIndex()));
    EXPECT_TRUE(allowed(sub, system.rootIndex()));
    EXPECT_TRUE(allowed(sub, src));
    EXPECT_TRUE(allowed(src, deep));
    // Rows are taken anywhere; the drop decides.
    EXPECT_TRUE(moves.treeviewDragOver(external, DragSource::FileList, external.rootIndex()));
    EXPECT_TRUE(moves.treeviewDragOver(system, DragSource::SearchList, system.recycleBoxIndex()));
    EXPECT_FALSE(moves.treeviewDragOver(system, DragSource::Other, dst));
}

TEST_F(Move, AMovedCategoryTakesItsFilesAndNotesAlong)
{
    world.library.makeDir("src/inner");
    world.library.makeDir("dst/src");
    world.library.makeDir("dst/sub/other");
    showSource();
    world.selectFiles({"a.txt"});

    // A folder of that name in the target: nothing changes.
    moves.treeviewDragDrop(DragSource::SystemTree, node({"dst"}));
    EXPECT_EQ(world.dialogs.last().caption, "对不起,我也不知道");
    EXPECT_EQ(world.dialogs.last().text, "移动分类库失败，请重试！");
    EXPECT_TRUE(node({"src"}).isValid());
    EXPECT_TRUE(world.library.exists("src/a.txt"));

    // Onto a node never opened: its own subfolders show beside the moved one.
    world.dialogs.shown.clear();
    moves.treeviewDragDrop(DragSource::SystemTree, node({"dst", "sub"}));
    EXPECT_TRUE(world.dialogs.nothingShown());
    EXPECT_TRUE(world.library.exists("dst/sub/src/a.txt"));
    EXPECT_TRUE(world.library.exists("dst/sub/src/inner"));
    EXPECT_FALSE(world.library.exists("src"));
    const QModelIndex moved = node({"dst", "sub", "src"});
    ASSERT_TRUE(moved.isValid());
    EXPECT_EQ(moved.row(), 0);
    EXPECT_EQ(world.childCaptions(node({"dst", "sub"})), QStringList({"src", "other"}));
    EXPECT_EQ(world.workspace.selectedNode(system), moved);

    const QString now = world.library.path("dst/sub/src/");
    EXPECT_EQ(world.session.currentDir(), now);
    EXPECT_EQ(world.workspace.status().text(0), now);
    EXPECT_EQ(world.workspace.fileList().row(0).folder, now);
    // The list still shows the files; a note edited now reaches the moved notes file.
    world.selectFiles({"c.txt"});
    world.workspace.setTopEditText("new note");
    fileops::NoteCommands(world.workspace, world.dialogs).SaveEditTextClick();
    EXPECT_TRUE(world.library.notesText("dst/sub/src/").contains("c.txt=new note"));

    // Onto the root: the top level, first child.
    moves.treeviewDragDrop(DragSource::SystemTree, system.rootIndex());
    EXPECT_TRUE(world.library.exists("src/c.txt"));
    EXPECT_EQ(node({"src"}).row(), 0);
    EXPECT_EQ(world.session.currentDir(), world.library.path("src/"));
}
