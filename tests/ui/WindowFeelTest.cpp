// The window as a new user meets it: the same size at every start, Tab between the working
// controls, new listings at the left edge, file dialogs where the user was, added rows in
// name order, whole texts of cut cells, renaming in place and names for screen readers.
#include "core/FileListModel.h"
#include "core/LiveList.h"
#include "ui/CategoryTreeView.h"
#include "ui/FileListView.h"
#include "ui/NameEditor.h"
#include "ui/NoteEdit.h"
#include "ui/SearchPage.h"
#include "ui/StatusPanelsBar.h"
#include "ui/TreePane.h"
#include "ui/WidgetDialogs.h"
#include "ui/WindowFixture.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>

using testing_support::WindowFixture;

namespace {

const QString kLongName =
    QStringLiteral("a-very-long-archive-name-of-the-network-tools-1.2.tar.gz");

class WindowFeelTest : public WindowFixture
{
protected:
    void SetUp() override
    {
        library.makeDir(QStringLiteral("网络工具"));
        library.makeFile(QStringLiteral("网络工具/") + kLongName);
        library.makeFile(QStringLiteral("网络工具/b.txt"));
        library.writeNotes(QStringLiteral("网络工具/"),
                           {{QStringLiteral("b.txt"), QStringLiteral("短")}});
        library.makeDir(QStringLiteral("办公"));
        library.makeFile(QStringLiteral("办公/plan.xls"));
    }

    void openActive()
    {
        open();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
};

} // namespace

TEST_F(WindowFeelTest, TheSameOuterSizeComesBackAtEveryStartThoughTheFrameComesLate)
{
    // A window manager's frame: one pixel at the sides and the bottom under a 24-pixel title
    // bar, known only after the window is on the screen.
    for (int start = 1; start <= 3; ++start) {
        bool framed = false;
        create();
        window->setFrameSource([&framed] { return framed ? QMargins(1, 24, 1, 1) : QMargins(); });
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        framed = true;
        EXPECT_TRUE(QTest::qWaitFor([&] { return window->size() == QSize(538, 385); }))
            << "start " << start << ": " << window->width() << "x" << window->height();
        window->close();
        const core::WindowPlacement stored =
            core::ConfigFile(configPath).loadWindowSettings().placement;
        EXPECT_EQ(QSize(stored.width, stored.height), QSize(540, 410)) << "start " << start;
        window.reset();
    }
}

TEST_F(WindowFeelTest, TabGoesRoundTreeNoteEditorAndListAndTheSearchPageTakesTheKeyword)
{
    openActive();
    clickSystemNode(category({QStringLiteral("网络工具")}));
    clickRow(1);
    QWidget* tree = window->treePane()->systemTree();
    QWidget* note = window->topEdit();
    QTableView* list = window->fileView()->details();
    const auto press = [](Qt::KeyboardModifiers modifiers) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, modifiers);
        return QApplication::focusWidget();
    };
    tree->setFocus();
    EXPECT_EQ(press(Qt::NoModifier), note);
    EXPECT_EQ(press(Qt::NoModifier), list);
    EXPECT_EQ(press(Qt::NoModifier), tree);
    EXPECT_EQ(press(Qt::ShiftModifier), list);
    EXPECT_EQ(press(Qt::ShiftModifier), note);
    list->setFocus();
    EXPECT_EQ(press(Qt::ShiftModifier), note) << "Shift+Tab in the list leaves it";
    EXPECT_EQ(list->selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(list->currentIndex().row(), 1) << "only arrows and clicks move the selection";

    action("stfibtn")->trigger();
    QComboBox* keyword = window->searchPage()->keywordBox();
    EXPECT_TRUE(keyword->hasFocus() || keyword->isAncestorOf(QApplication::focusWidget()));
}

TEST_F(WindowFeelTest, EveryNewListingStartsAtTheLeftEdge)
{
    open();
    clickSystemNode(category({QStringLiteral("网络工具")}));
    QTableView* table = window->fileView()->details();
    table->setColumnWidth(1, 1500);
    QScrollBar* bar = table->horizontalScrollBar();
    bar->setValue(bar->maximum());
    ASSERT_GT(bar->value(), 0);
    clickSystemNode(category({QStringLiteral("办公")}));
    EXPECT_EQ(bar->value(), 0);
}

TEST_F(WindowFeelTest, RowsACommandAddsComeInTheListsNameOrder)
{
    QTemporaryDir downloads;
    // Created in this order, listed by the disk in an order of its own.
    for (const char* name : {"zeta.txt", "Beta.txt", "中文.txt", "alpha.txt", "Gamma.txt"})
        QFile(downloads.filePath(QString::fromUtf8(name))).open(QIODevice::WriteOnly);
    open();
    clickSystemNode(category({QStringLiteral("办公")}));
    dialogs->folderChoices.push_back(downloads.path());
    action("t1052")->trigger();
    EXPECT_EQ(listedNames(), QStringList({"plan.xls", "alpha.txt", "Beta.txt", "Gamma.txt",
                                          "zeta.txt", QStringLiteral("中文.txt")}))
        << "appended after the rows there were, in name order";
}

TEST_F(WindowFeelTest, ACutCellShowsItsWholeTextAsATipAndTheNoteColumnTakesTheRoomToSpare)
{
    open();
    clickSystemNode(category({QStringLiteral("网络工具")}));
    QTableView* table = window->fileView()->details();
    const auto tipAt = [&](int row, int column) {
        QToolTip::hideText();
        EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));
        const QPoint at = table->visualRect(table->model()->index(row, column)).center();
        QHelpEvent help(QEvent::ToolTip, at, table->viewport()->mapToGlobal(at));
        QApplication::sendEvent(table->viewport(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    EXPECT_EQ(tipAt(0, 0), kLongName);
    EXPECT_EQ(tipAt(1, 0), QString()) << "a name shown whole needs no tip";

    QHeaderView* header = table->horizontalHeader();
    window->showMaximized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return header->sectionSize(1) > 200; }));
    int others = 0;
    for (int column : {0, 2, 3, 4})
        others += header->sectionSize(column);
    EXPECT_EQ(header->sectionSize(1), table->viewport()->width() - others);
    EXPECT_EQ(header->sectionSize(0), 100);
    EXPECT_EQ(header->sectionSize(3), 120);
    window->close();
    EXPECT_EQ(core::ConfigFile(configPath).loadWindowSettings().fileColumns[1], 200)
        << "the note column keeps its own width";
}

TEST_F(WindowFeelTest, RenamingInPlaceSelectsTheNameWithoutItsLastExtensionInAFramedEditor)
{
    openActive();
    clickSystemNode(category({QStringLiteral("网络工具")}));
    clickRow(0);
    action("renfile")->trigger();
    QTableView* table = window->fileView()->details();
    auto* editor = table->findChild<ui::NameEditor*>();
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return editor->hasFocus(); }));
    EXPECT_EQ(editor->selectedText(), kLongName.chopped(3));
    EXPECT_TRUE(editor->hasFrame());
    EXPECT_TRUE(editor->autoFillBackground());
    const QRect cell = table->visualRect(table->model()->index(0, 0));
    EXPECT_GT(editor->x(), cell.left()) << "beside the icon";
    EXPECT_GT(editor->geometry().right(), cell.right()) << "wider, as the long name needs it";
    EXPECT_LE(editor->geometry().right(), table->viewport()->width());
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_EQ(ui::NameEditor::stemLength(QStringLiteral(".profile")), 8);
    EXPECT_EQ(ui::NameEditor::stemLength(QStringLiteral("README")), 6);
}

TEST_F(WindowFeelTest, FileDialogsOpenWhereTheirCommandWasLastUsedElseInDownloadsElseHome)
{
    QTemporaryDir place;
    const QString downloads = place.filePath(QStringLiteral("下载"));
    const QString software = place.filePath(QStringLiteral("软件"));
    QDir().mkpath(downloads);
    QDir().mkpath(software);
    QFile(software + QStringLiteral("/a.txt")).open(QIODevice::WriteOnly);
    // The desktop names its download folder in user-dirs.dirs.
    QFile dirs(qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/user-dirs.dirs"));
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_DOWNLOAD_DIR=\"" + downloads.toUtf8() + "\"\n");
    dirs.close();

    ui::WidgetDialogs widgets;
    QString openedIn;
    const auto answer = [&](const QString& pick) {
        QTimer::singleShot(0, [&openedIn, pick] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            openedIn = dialog->directory().absolutePath();
            if (pick.isEmpty())
                return dialog->reject();
            dialog->selectFile(pick);
            static_cast<QDialog*>(dialog)->accept();
        });
    };
    const QString files = QStringLiteral("请选择一个或多个文件");
    answer(software + QStringLiteral("/a.txt"));
    EXPECT_EQ(widgets.chooseFiles(files, QStringLiteral("所有文件|*.*")),
              QStringList(software + QStringLiteral("/a.txt")));
    EXPECT_EQ(openedIn, downloads) << "first in the download folder";
    answer({});
    widgets.chooseFiles(files, QStringLiteral("所有文件|*.*"));
    EXPECT_EQ(openedIn, software) << "then where that command was last used";
    answer({});
    widgets.chooseFile(QStringLiteral("请选择一个文本文件"), QStringLiteral("文本|*.txt"));
    EXPECT_EQ(openedIn, downloads) << "another command has its own";

    // The folder choosers share a title; the command decides.
    const QString folder = QStringLiteral("请选择一个目录...");
    widgets.setFolderGroup(QStringLiteral("send"));
    answer(software);
    widgets.chooseFolder(folder);
    answer({});
    widgets.chooseFolder(folder);
    EXPECT_EQ(openedIn, place.path());
    widgets.setFolderGroup({});
    answer({});
    widgets.chooseFolder(folder);
    EXPECT_EQ(openedIn, downloads);

    QDir(downloads).removeRecursively();
    answer({});
    widgets.chooseFolder(folder);
    EXPECT_EQ(openedIn, QDir::homePath()) << "without a download folder, the home folder";
    QFile::remove(dirs.fileName());
}

TEST_F(WindowFeelTest, EveryControlHasAnAccessibleNameAndALabelIsNamedByItsText)
{
    open();
    clickSystemNode(category({QStringLiteral("网络工具")}));
    const QList<QAccessible::Role> controls = {
        QAccessible::PushButton,   QAccessible::ButtonMenu,  QAccessible::ButtonDropDown,
        QAccessible::CheckBox,     QAccessible::RadioButton, QAccessible::ComboBox,
        QAccessible::EditableText, QAccessible::List,        QAccessible::Table,
        QAccessible::Tree,         QAccessible::PageTabList};
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(widget);
        if (!widget->isVisible() || !a)
            continue;
        const QString name = a->text(QAccessible::Name);
        const QString what =
            QString::fromLatin1(widget->metaObject()->className()) + u' ' + widget->objectName();
        if (controls.contains(a->role())) {
            EXPECT_FALSE(name.isEmpty()) << what.toStdString();
        }
        if (auto* label = qobject_cast<QLabel*>(widget); label && !label->text().isEmpty()) {
            EXPECT_EQ(name, label->text()) << what.toStdString();
        }
    }
}

TEST_F(WindowFeelTest, FilesAnotherProgramRemovesAboveTheShownRowsLeaveTheTopRowInPlace)
{
    for (int i = 0; i < 300; ++i)
        library.makeFile(QStringLiteral("办公/f%1.txt").arg(i, 3, 10, QLatin1Char('0')));
    open();
    clickSystemNode(category({QStringLiteral("办公")}));
    QTableView* table = window->fileView()->details();
    const core::FileListModel& list = workspace().fileList();
    QApplication::processEvents();
    table->scrollTo(list.index(200, 0), QAbstractItemView::PositionAtTop);
    const QString topBefore = list.pathOf(table->indexAt(QPoint(1, 1)).row());
    ASSERT_TRUE(topBefore.endsWith(QStringLiteral("/f200.txt"))) << qPrintable(topBefore);
    for (int i = 0; i < 50; ++i)
        ASSERT_TRUE(QFile::remove(
            library.path(QStringLiteral("办公/f%1.txt").arg(i, 3, 10, QLatin1Char('0')))));
    library.makeFile(QStringLiteral("办公/new.txt"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->liveList().applyNow(); }, 2000));
    ASSERT_EQ(list.count(), 252);
    EXPECT_EQ(list.pathOf(table->indexAt(QPoint(1, 1)).row()), topBefore);
}

TEST_F(WindowFeelTest, TheCreditPanelShrinksToItsEllipsisBeforeAnyCountPanelGoes)
{
    open();
    ui::StatusPanelsBar* bar = window->statusPanels();
    auto* credit = static_cast<ui::CreditPanel*>(bar->panel(4));
    // The default width, a little wider, and wide enough for every panel.
    for (const int width : {540, 640, 1000}) {
        window->resize(width, 410);
        ASSERT_TRUE(QTest::qWaitFor([&] { return bar->width() == width; }));
        SCOPED_TRACE(width);
        EXPECT_TRUE(credit->isVisible());
        EXPECT_EQ(credit->width() == credit->leastWidth(), width == 540) << credit->width();
        EXPECT_EQ(credit->width() == 100, width == 1000) << credit->width();
        for (int i : {1, 2, 3})
            EXPECT_TRUE(bar->panel(i)->isVisible()) << i;
    }
    EXPECT_EQ(credit->toolTip(), QStringLiteral("Tarnwick制作"));
}

TEST_F(WindowFeelTest, TheRootShowsItsMarkAndTheCategoriesOpenAtCloseOpenAgain)
{
    const QString odd = QStringLiteral("50% off "); // a percent sign and a trailing blank
    library.makeDir(QStringLiteral("网络工具/下载/") + odd);
    library.makeDir(QStringLiteral("办公/表格"));
    open();
    QTreeView* tree = window->treePane()->systemTree();
    EXPECT_TRUE(tree->rootIsDecorated());
    EXPECT_FALSE(tree->isExpanded(workspace().systemTree().rootIndex()));
    EXPECT_TRUE(workspace().systemTree().hasChildren(workspace().systemTree().rootIndex()));
    for (QModelIndex node = category({QStringLiteral("网络工具"), QStringLiteral("下载"), odd});
         node.isValid(); node = node.parent())
        tree->expand(node);
    window->close();
    EXPECT_EQ(core::ConfigFile(configPath).readString("OpenCategories", "4", {}),
              QStringLiteral("/网络工具/下载/50%25%20off%20"));
    window.reset();

    open();
    tree = window->treePane()->systemTree();
    core::CategoryTreeModel& model = workspace().systemTree();
    QStringList open;
    for (QModelIndex node = model.rootIndex(); node.isValid(); node = tree->indexBelow(node)) {
        if (tree->isExpanded(node))
            open.append(model.captionOf(node));
    }
    EXPECT_EQ(open, QStringList({QStringLiteral("我的软件库"), QStringLiteral("网络工具"),
                                 QStringLiteral("下载"), odd}));
}

TEST_F(WindowFeelTest, AWindowThatStartsMaximisedReturnsToItsStoredPlace)
{
    QFile file(configPath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[positus]\r\nformtop=120\r\nformleft=90\r\nformheight=400\r\nformwidth=560\r\n"
               "formfettle=1\r\n");
    file.close();
    create();
    window->setFrameSource([] { return QMargins(1, 24, 1, 1); });
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    EXPECT_TRUE(window->isMaximized());
    window->showNormal();
    // A window manager that knows no normal place for it gives it the whole screen.
    window->setGeometry(window->screen()->availableGeometry());
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return window->pos() == QPoint(90, 120) && window->size() == QSize(558, 375); }));
    window->close();
    EXPECT_EQ(core::ConfigFile(configPath).loadWindowSettings().placement,
              (core::WindowPlacement{120, 90, 400, 560, false}));
}
