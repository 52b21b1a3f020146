// The main window on a temporary library: start-up, selections in both sections, the list's
// headers, the enabling rules, the view styles and the settings written at close.
#include "ui/CategoryTreeView.h"
#include "ui/FileListView.h"
#include "ui/NoteEdit.h"
#include "ui/StatusPanelsBar.h"
#include "ui/TreePane.h"
#include "ui/WindowFixture.h"

#include <QActionGroup>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QSplitter>
#include <QTableView>
#include <QTest>
#include <QToolBar>

using testing_support::WindowFixture;

namespace {

class MainWindowTest : public WindowFixture
{
protected:
    void SetUp() override
    {
        library.makeDir(QStringLiteral("网络工具/下载工具"));
        library.makeFile(QStringLiteral("网络工具/下载器.exe"), QByteArray(3000, 'x'));
        library.makeFile(QStringLiteral("网络工具/Fetcher.zip"), QByteArray(100, 'x'));
        library.makeFile(QStringLiteral("网络工具/alpha2.tar"), QByteArray(2000, 'x'));
        library.writeNotes(QStringLiteral("网络工具/"), {{QStringLiteral("下载器.exe"), QStringLiteral("下载工具")}});
        library.makeDir(QStringLiteral("办公"));
        library.makeFile(QStringLiteral("oprecy/old.doc"));
    }
};

} // namespace

TEST_F(MainWindowTest, StartsOnTheSystemRootWithTheFirstStartPlacement)
{
    open();
    EXPECT_EQ(window->windowTitle(), "Quillet 2.96 for WIN98/ME/2000");
    EXPECT_EQ(window->pos(), QPoint(197, 106));
    EXPECT_EQ(window->frameGeometry().size(), QSize(540, 410)) << "the outer size, frame included";
    EXPECT_EQ(panel(0), library.root());
    EXPECT_EQ(panel(1), "系统总分类库");
    EXPECT_TRUE(listedNames().isEmpty());
    EXPECT_EQ(window->treePane()->itemText(0), "系统文件库");
    EXPECT_EQ(window->treePane()->itemText(1), "外部文件库");
    EXPECT_EQ(window->fileView()->viewStyle(), ui::FileListView::Details);

    // On the root only the new-category button of the tree's buttons is available.
    EXPECT_TRUE(enabled("addtreebtn"));
    EXPECT_FALSE(enabled("refbtn"));
    EXPECT_FALSE(enabled("deltreebtn"));
    EXPECT_FALSE(enabled("addfilebtn"));
    EXPECT_FALSE(enabled("vfd"));
    EXPECT_TRUE(QFileInfo(library.path("filecomm")).isDir());
}

TEST_F(MainWindowTest, SelectingACategoryListsItsFilesWithNotesAndCounts)
{
    open();
    clickSystemNode(category({QStringLiteral("网络工具")}));
    EXPECT_EQ(panel(0), library.path(QStringLiteral("网络工具/")));
    EXPECT_EQ(panel(1), "共3个文件");
    EXPECT_EQ(listedNames(), QStringList({"alpha2.tar", "Fetcher.zip", QStringLiteral("下载器.exe")}));
    QTableView* table = window->fileView()->details();
    EXPECT_EQ(table->model()->index(2, 1).data().toString(), QStringLiteral("下载工具"));
    EXPECT_EQ(table->model()->index(2, 2).data().toString(), "2.93KB");
    EXPECT_TRUE(enabled("refbtn") && enabled("deltreebtn") && enabled("addfilebtn"));

    clickRow(2);
    EXPECT_EQ(panel(2), "共选取了1个文件");
    EXPECT_EQ(window->topEdit()->text(), QStringLiteral("下载工具"));
}

TEST_F(MainWindowTest, HeaderClicksSortDescendingFirstAndFlipEveryTime)
{
    open();
    clickSystemNode(category({QStringLiteral("网络工具")}));
    // The header's mark shows the column and the order the list shows.
    QHeaderView* header = window->fileView()->details()->horizontalHeader();
    const auto mark = [header] {
        EXPECT_TRUE(header->isSortIndicatorShown());
        return std::pair(header->sortIndicatorSection(), header->sortIndicatorOrder());
    };
    EXPECT_EQ(mark(), std::pair(0, Qt::AscendingOrder));
    clickHeader(0);
    EXPECT_EQ(listedNames(), QStringList({QStringLiteral("下载器.exe"), "Fetcher.zip", "alpha2.tar"}));
    EXPECT_EQ(mark(), std::pair(0, Qt::DescendingOrder));
    clickHeader(2);
    EXPECT_EQ(listedNames(), QStringList({"Fetcher.zip", "alpha2.tar", QStringLiteral("下载器.exe")}));
    EXPECT_EQ(mark(), std::pair(2, Qt::AscendingOrder));
    clickHeader(2);
    EXPECT_EQ(listedNames(), QStringList({QStringLiteral("下载器.exe"), "alpha2.tar", "Fetcher.zip"}));
    EXPECT_EQ(mark(), std::pair(2, Qt::DescendingOrder));
}

TEST_F(MainWindowTest, TheBoxAndTransitNodesFollowTheirRulesInBothSections)
{
    open();
    core::CategoryTreeModel& tree = workspace().systemTree();
    clickSystemNode(tree.recycleBoxIndex());
    EXPECT_EQ(listedNames(), QStringList("old.doc"));
    EXPECT_FALSE(enabled("addtreebtn"));
    EXPECT_FALSE(enabled("deltreebtn"));
    EXPECT_FALSE(enabled("addfilebtn"));
    window->actions().menu("treepop")->aboutToShow();
    EXPECT_TRUE(action("emptybox")->isVisible());
    EXPECT_FALSE(enabled("rendir"));

    clickSystemNode(tree.transitIndex());
    EXPECT_FALSE(enabled("addtreebtn"));
    EXPECT_FALSE(enabled("deltreebtn"));
    EXPECT_TRUE(enabled("addfilebtn"));
    window->actions().menu("treepop")->aboutToShow();
    EXPECT_FALSE(action("emptybox")->isVisible());

    // The external section: its root lists nothing, its box shows the same folder.
    window->treePane()->setCurrentIndex(1);
    EXPECT_EQ(panel(1), "外部文件库");
    EXPECT_TRUE(listedNames().isEmpty());
    clickExternalNode(workspace().externalTree().recycleBoxIndex());
    EXPECT_EQ(panel(0), library.path("oprecy/"));
    EXPECT_EQ(listedNames(), QStringList("old.doc"));
    window->actions().menu("tree2pop")->aboutToShow();
    EXPECT_TRUE(action("emptyrec")->isVisible());

    // Delete-files in the file menu looks at the system tree even now: its transit node.
    window->actions().menu("t100")->aboutToShow();
    EXPECT_TRUE(enabled("t106"));
    window->treePane()->setCurrentIndex(0);
    EXPECT_EQ(panel(0), library.path("tempdir/")) << "switching back shows the system selection";
}

TEST_F(MainWindowTest, TheFilePopupFollowsTheSelectionAndTheReadOnlyState)
{
    open(false);
    clickSystemNode(category({QStringLiteral("网络工具")}));
    window->actions().menu("filepop")->aboutToShow();
    EXPECT_FALSE(enabled("editmemo"));
    EXPECT_FALSE(enabled("clsmemo"));
    EXPECT_FALSE(window->actions().menu("addfile")->menuAction()->isEnabled())
        << "bringing files in needs a writable library";
    EXPECT_TRUE(enabled("FileFontColor"));
    EXPECT_TRUE(enabled("flistref"));
    EXPECT_FALSE(window->topEdit()->isEnabled());

    clickRow(0);
    window->actions().menu("filepop")->aboutToShow();
    EXPECT_TRUE(enabled("copymemo"));
    EXPECT_TRUE(enabled("fattr")) << "the attributes dialog opens view-only";
    EXPECT_TRUE(window->actions().menu("sendto")->menuAction()->isEnabled());
}

TEST_F(MainWindowTest, TreeKeysRefreshRenameAndDelete)
{
    open();
    ui::CategoryTreeView* view = window->treePane()->systemTree();
    clickSystemNode(category({QStringLiteral("办公")}));
    library.makeDir("新来的");
    QTest::keyClick(view, Qt::Key_F5);
    EXPECT_TRUE(category({QStringLiteral("新来的")}).isValid());
    EXPECT_EQ(panel(0), library.path(QStringLiteral("办公/"))) << "the selection survives";

    dialogs->answers.push_back(core::Answer::Yes);
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(dialogs->last().text, "你真的要删除这个软件分类库吗？");
    EXPECT_FALSE(library.exists(QStringLiteral("办公")));
    EXPECT_FALSE(category({QStringLiteral("办公")}).isValid());
}

TEST_F(MainWindowTest, TheViewButtonCyclesTheFourStylesSharingOneSelection)
{
    open();
    clickSystemNode(category({QStringLiteral("网络工具")}));
    clickRow(1);
    ui::FileListView* list = window->fileView();
    for (int style : {0, 1, 2, 3}) {
        action("liststyle")->trigger();
        EXPECT_EQ(list->viewStyle(), style);
        EXPECT_TRUE(window->actions().viewStyleGroup()->actions().at(style)->isChecked());
        EXPECT_TRUE(list->currentView()->selectionModel()->isRowSelected(1));
    }
    action("L1")->trigger();
    EXPECT_EQ(list->viewStyle(), 2);
    action("showline")->trigger();
    EXPECT_TRUE(list->gridLines());
    EXPECT_TRUE(window->findView()->gridLines());
}

TEST_F(MainWindowTest, TheSplitterKeepsTheTreePaneBetween110And300Pixels)
{
    open();
    window->resize(900, 500);
    QSplitterHandle* handle = window->splitter()->handle(1);
    const auto drag = [&](int by) {
        const QPoint from(1, 10);
        const QPoint to = from + QPoint(by, 0);
        QMouseEvent press(QEvent::MouseButtonPress, from, handle->mapToGlobal(from),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(handle, &press);
        QMouseEvent move(QEvent::MouseMove, to, handle->mapToGlobal(to), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(handle, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, to, handle->mapToGlobal(to),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(handle, &release);
        return window->treePane()->width();
    };
    const int start = window->treePane()->width();
    ASSERT_LT(start + 100, 300);
    const int wider = drag(100);
    EXPECT_NEAR(wider, start + 100, 2);
    EXPECT_EQ(drag(100), wider) << "a step past 300 pixels is refused";
    EXPECT_EQ(drag(-400), 110);
}

TEST_F(MainWindowTest, AStoredTreePaneWidthIsAppliedAsItIs)
{
    QFile file(configPath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[contlor]\r\nOutBarWidth=340\r\n[positus]\r\nformwidth=800\r\n");
    file.close();
    open();
    EXPECT_EQ(window->treePane()->width(), 340);
}

TEST_F(MainWindowTest, BarsToggleAndTheSettingsAreWrittenAtClose)
{
    open();
    action("t301")->trigger();
    EXPECT_FALSE(window->toolBar()->isVisible());
    EXPECT_FALSE(action("t301")->isChecked());
    action("t302")->trigger();
    EXPECT_FALSE(window->statusPanels()->isVisible());
    action("liststyle")->trigger(); // large icons
    window->workspace().systemTree().setCaption(window->workspace().systemTree().rootIndex(),
                                               QStringLiteral("我的收藏"));
    window->close();

    core::ConfigFile saved(configPath);
    const core::WindowSettings w = saved.loadWindowSettings();
    EXPECT_FALSE(w.toolbarShown);
    EXPECT_FALSE(w.statusbarShown);
    EXPECT_EQ(w.listStyle, 0);
    EXPECT_EQ(w.rootCaption, QStringLiteral("我的收藏"));
    EXPECT_EQ(w.placement.left, 197);
    EXPECT_EQ(w.fileColumns[1], 200);
    for (const char* key : {"formtop", "formleft", "formheight", "formwidth", "formfettle"})
        EXPECT_TRUE(saved.hasKey("positus", key)) << key;
}

TEST_F(MainWindowTest, StartsFromTheSavedSettings)
{
    QFile file(configPath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[contlor]\r\nliststyle=0x2\r\ngridline=1\r\ntoolbarshow=0\r\ncoum0wdith=150\r\n"
               "[positus]\r\nformleft=50\r\nformtop=60\r\nformwidth=700\r\nformheight=500\r\n"
               "[SystemConfig]\r\nExpNoteTree=1\r\nTreeBarBmp=/nowhere/picture.bmp\r\n");
    file.close();
    open();
    EXPECT_EQ(window->fileView()->viewStyle(), 2);
    EXPECT_TRUE(window->fileView()->gridLines());
    EXPECT_FALSE(window->toolBar()->isVisible());
    EXPECT_EQ(window->fileView()->details()->columnWidth(0), 150);
    EXPECT_EQ(window->pos(), QPoint(50, 60));
    EXPECT_EQ(window->frameGeometry().size(), QSize(700, 500));
    EXPECT_TRUE(window->treePane()->systemTree()->isExpanded(workspace().systemTree().rootIndex()));
    EXPECT_EQ(config->readString("SystemConfig", "TreeBarBmp", "x"), "")
        << "a picture that no longer exists is forgotten";
}

TEST_F(MainWindowTest, F2RenamesACategoryInPlace)
{
    open();
    ui::CategoryTreeView* view = window->treePane()->systemTree();
    const QModelIndex node = category({QStringLiteral("办公")});
    clickSystemNode(node);
    QTest::keyClick(view, Qt::Key_F2);
    auto* editor = view->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("办公软件"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the editor hands its text over from the event loop
    EXPECT_TRUE(QFileInfo(library.path(QStringLiteral("办公软件"))).isDir());
    EXPECT_EQ(workspace().systemTree().captionOf(node), QStringLiteral("办公软件"));
    EXPECT_EQ(panel(0), library.path(QStringLiteral("办公软件/")));

    // The recycle box cannot be renamed.
    clickSystemNode(workspace().systemTree().recycleBoxIndex());
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QTest::keyClick(view, Qt::Key_F2);
    EXPECT_EQ(view->findChild<QLineEdit*>(), nullptr);
}

TEST_F(MainWindowTest, ColoursAndTheListFontAreAppliedAndStored)
{
    open();
    dialogs->colorChoices.push_back(0x0000FF); // red in the stored encoding
    action("TreeFontColor")->trigger();
    EXPECT_EQ(window->treePane()->externalTree()->palette().color(QPalette::Text), QColor(255, 0, 0));
    EXPECT_EQ(config->readInt("SystemConfig", "TreeFontColor", -1), 255);

    dialogs->colorChoices.push_back(0xFF0000); // blue
    action("FileBackColor")->trigger();
    EXPECT_EQ(window->fileView()->backgroundColor(), QColor(0, 0, 255));
    EXPECT_EQ(window->topEdit()->palette().color(QPalette::Base), QColor(0, 0, 255));
    EXPECT_EQ(config->readInt("SystemConfig", "ListBackColor", -1), 0xFF0000);

    core::FontSpec font;
    font.name = QStringLiteral("文泉驿微米黑");
    font.height = -15;
    font.bold = true;
    dialogs->fontChoices.push_back(font);
    action("t304")->trigger();
    EXPECT_EQ(window->fileView()->details()->font().pixelSize(), 15);
    EXPECT_TRUE(window->treePane()->systemTree()->font().bold());
    EXPECT_EQ(config->readInt("SystemConfig", "FaceFontHeight", 0), -15);
    EXPECT_TRUE(config->readBool("SystemConfig", "FaceFontfsBold", false));

    dialogs->colorChoices.push_back(std::nullopt); // cancelled
    action("TreeBackColor")->trigger();
    EXPECT_FALSE(config->hasKey("SystemConfig", "TreeBackColor"));

    // The chosen list colours come back with the program.
    window->close();
    window.reset();
    open();
    EXPECT_EQ(window->fileView()->backgroundColor(), QColor(0, 0, 255));
    EXPECT_EQ(window->findView()->backgroundColor(), QColor(0, 0, 255));
}
