// The drop window and renaming in place, driven through the real windows.
#include "platform/FileNames.h"
#include "platform/Shell.h"
#include "support/TempLibrary.h"
#include "ui/DropWindow.h"
#include "ui/FileListView.h"
#include "ui/NoteEdit.h"
#include "ui/SearchPage.h"
#include "ui/WindowFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QScopeGuard>
#include <QStyleHints>
#include <QTableView>
#include <QTest>

#include <cstdio>
#include <unistd.h>

using testing_support::gbk;
using testing_support::WindowFixture;

namespace {

struct RecordingShell : platform::Shell
{
    QStringList launches;
    int startProgram(const QString& program, const QString&) override
    {
        launches.append("start " + program);
        return 0;
    }
    void openPath(const QString& path) override { launches.append("open " + path); }
    void openUrl(const QString& url) override { launches.append("open " + url); }
};

class DropAndRenameWindowTest : public WindowFixture
{
protected:
    QTemporaryDir outside;
    RecordingShell* shell = nullptr;

    void SetUp() override
    {
        library.makeFile(QStringLiteral("软件/tool.zip"), "tool");
        library.writeNotes(QStringLiteral("软件/"), {{"tool.zip", QStringLiteral("好工具")}});
        library.makeFile("filecomm/tool.zip.txt", "doc");
    }
    void start()
    {
        open();
        auto recording = std::make_unique<RecordingShell>();
        shell = recording.get();
        window->setShell(std::move(recording));
        clickSystemNode(category({QStringLiteral("软件")}));
    }
    ui::DropWindow* drop() { return window->dropWindow(); }
};

} // namespace

TEST_F(DropAndRenameWindowTest, FilesDroppedFromAFileManagerLandInTheSelectedCategory)
{
    start();
    // A name in GBK bytes, as an archive from Windows leaves it.
    const QByteArray gbkName = gbk(QStringLiteral("说明.txt"));
    const QByteArray path = QFile::encodeName(outside.path()) + '/' + gbkName;
    std::FILE* raw = std::fopen(path.constData(), "wb");
    ASSERT_NE(raw, nullptr);
    std::fputs("readme", raw);
    std::fclose(raw);

    action("showdrogwinbtn")->trigger();
    ASSERT_TRUE(drop()->isVisible());
    QMimeData data;
    data.setData("text/uri-list", "file://" + path.toPercentEncoding("/") + "\r\n");
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QCoreApplication::sendEvent(drop(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent dropped(QPointF(20, 20), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                       Qt::NoModifier);
    QCoreApplication::sendEvent(drop(), &dropped);
    EXPECT_TRUE(dropped.isAccepted());
    // The drag source is told it was a copy, so it never deletes a file of its own.
    EXPECT_EQ(dropped.dropAction(), Qt::CopyAction);

    ASSERT_TRUE(QTest::qWaitFor([&] { return listedNames().size() == 2; }));
    EXPECT_EQ(listedNames(), QStringList({"tool.zip", QStringLiteral("说明.txt")}));
    const QByteArray arrived = QFile::encodeName(library.path(QStringLiteral("软件/"))) + gbkName;
    char content[16] = {};
    raw = std::fopen(arrived.constData(), "rb");
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(std::fread(content, 1, sizeof content, raw), 6u);
    std::fclose(raw);
    EXPECT_STREQ(content, "readme");
    std::remove(arrived.constData());
    EXPECT_NE(::access(path.constData(), F_OK), 0); // moved: the default mode
    EXPECT_TRUE(dialogs->nothingShown());
}

TEST_F(DropAndRenameWindowTest, TheMarkAndThePopUpMenuSwitchTheModeAndCloseTheWindow)
{
    start();
    action("showdrogwinbtn")->trigger();
    QLabel* mark = drop()->modeLabel();
    EXPECT_EQ(mark->text(), QStringLiteral("移"));
    QTest::mouseClick(mark, Qt::LeftButton);
    EXPECT_EQ(mark->text(), QStringLiteral("复"));
    EXPECT_EQ(mark->accessibleName(), QStringLiteral("复"));
    EXPECT_EQ(config->readInt("SystemConfig", "DropMode", -1), 0);

    Q_EMIT drop()->popupMenu()->aboutToShow();
    EXPECT_TRUE(drop()->menuAction("CopyDR")->isChecked());
    drop()->menuAction("MoveDR")->trigger();
    EXPECT_EQ(mark->text(), QStringLiteral("移"));
    EXPECT_EQ(config->readInt("SystemConfig", "DropMode", -1), 1);

    drop()->menuAction("CloseDragFormMenu")->trigger();
    EXPECT_FALSE(drop()->isVisible());
    EXPECT_FALSE(action("showdrogwinbtn")->isChecked());

    window->showMinimized();
    drop()->menuAction("showmainform")->trigger();
    EXPECT_FALSE(window->isMinimized());
}

TEST_F(DropAndRenameWindowTest, TheDropWindowsPlaceAndVisibilityComeBackAfterARestart)
{
    start();
    action("showdrogwinbtn")->trigger();
    drop()->move(300, 200);
    drop()->menuAction("haltmenu")->trigger(); // closes the main window
    EXPECT_EQ(config->readInt("DragFormPos", "left", -1), 300);
    EXPECT_EQ(config->readInt("DragFormPos", "top", -1), 200);
    EXPECT_TRUE(config->readBool("DragFormPos", "Visible", false));

    window.reset();
    open();
    EXPECT_TRUE(drop()->isVisible());
    EXPECT_TRUE(action("showdrogwinbtn")->isChecked());
    EXPECT_EQ(drop()->pos(), QPoint(300, 200));
    EXPECT_EQ(drop()->size(), QSize(50, 45));
}

TEST_F(DropAndRenameWindowTest, F2RenamesTheFileInPlaceWithItsNoteAndDocument)
{
    start();
    clickRow(0);
    QTableView* table = window->fileView()->details();
    QTest::keyClick(table, Qt::Key_F2);
    auto* editor = table->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "tool.zip");
    editor->setText(QStringLiteral("新工具.zip"));
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return table->findChild<QLineEdit*>() == nullptr; }));

    EXPECT_TRUE(dialogs->nothingShown());
    EXPECT_EQ(listedNames(), QStringList(QStringLiteral("新工具.zip")));
    EXPECT_EQ(library.read(QStringLiteral("软件/新工具.zip")), "tool");
    EXPECT_EQ(library.read(QStringLiteral("filecomm/新工具.zip.txt")), "doc");
    EXPECT_EQ(workspace().fileList().row(0).note, QStringLiteral("好工具"));

    // Enter runs the file, as a double click does.
    QTest::keyClick(table, Qt::Key_Return);
    EXPECT_EQ(shell->launches,
              QStringList("open " + library.path(QStringLiteral("软件/新工具.zip"))));
}

TEST_F(DropAndRenameWindowTest, AReadOnlyLibraryOpensNoCaptionEditor)
{
    open(false);
    clickSystemNode(category({QStringLiteral("软件")}));
    clickRow(0);
    QTableView* table = window->fileView()->details();
    QTest::keyClick(table, Qt::Key_F2);
    EXPECT_EQ(dialogs->texts(), QStringList(QStringLiteral(
                                    "当前应用程序运行在一个只读存储存设备上，本命令不可执行！")));
    EXPECT_EQ(table->findChild<QLineEdit*>(), nullptr);
    table->edit(table->model()->index(0, 0)); // the list's own gesture
    EXPECT_EQ(table->findChild<QLineEdit*>(), nullptr);
}

TEST_F(DropAndRenameWindowTest, ASecondClickRenamesOnlyWhileTheFocusStaysInTheList)
{
    start();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTableView* table = window->fileView()->details();
    QStyleHints* hints = QGuiApplication::styleHints();
    const int usual = hints->mouseDoubleClickInterval();
    hints->setMouseDoubleClickInterval(150);
    const auto restore = qScopeGuard([&] { hints->setMouseDoubleClickInterval(usual); });
    const int delay = QApplication::doubleClickInterval();

    // The note field clicked within the double-click time: what the user types then is the
    // note's, and Enter saves it on the file without renaming it.
    const auto type = [](const QString& text, bool enter) {
        QTest::keyClicks(QApplication::focusWidget(), text);
        if (enter)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    };
    clickRow(0);
    clickRow(0);
    QTest::mouseClick(window->topEdit(), Qt::LeftButton);
    window->topEdit()->selectAll();
    QTest::qWait(delay + 100);
    type(QStringLiteral("new note"), true);
    EXPECT_EQ(table->findChild<QLineEdit*>(), nullptr);
    EXPECT_EQ(listedNames(), QStringList("tool.zip"));
    EXPECT_EQ(workspace().fileList().row(0).note, "new note");

    // Left alone in the list, the second click opens the caption editor.
    clickRow(0);
    clickRow(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return table->findChild<QLineEdit*>() != nullptr; }));
    QTest::keyClick(table->findChild<QLineEdit*>(), Qt::Key_Escape);

    // The search list, left for its keyword box.
    action("stfibtn")->trigger();
    QTableView* found = window->findView()->details();
    QComboBox* keyword = window->searchPage()->keywordBox();
    keyword->lineEdit()->insert(QStringLiteral("tool"));
    QTest::keyClick(keyword->lineEdit(), Qt::Key_Return);
    ASSERT_EQ(workspace().searchList().count(), 1);
    const QPoint cell = found->visualRect(found->model()->index(0, 0)).center();
    QTest::mouseClick(found->viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseClick(found->viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseClick(keyword->lineEdit(), Qt::LeftButton);
    QTest::qWait(delay + 100);
    type(QStringLiteral("x"), false);
    EXPECT_EQ(found->findChild<QLineEdit*>(), nullptr);
    EXPECT_EQ(keyword->currentText(), "toolx");
    EXPECT_EQ(workspace().searchList().row(0).name, "tool.zip");
    EXPECT_TRUE(dialogs->nothingShown());
}
