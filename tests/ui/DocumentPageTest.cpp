// The document page in the real window: the tab with its question, the document menu and the
// tool bar's items, the settings kept over a restart, and the list export's buttons.
#include "ui/DocumentPage.h"

#include "fileops/DocumentCommands.h"
#include "ui/FileListView.h"
#include "ui/WindowFixture.h"

#include <QKeyEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <QToolBar>

using testing_support::WindowFixture;

namespace {

class DocumentPageTest : public WindowFixture
{
protected:
    void SetUp() override
    {
        library.makeFile(QStringLiteral("软件/工具.zip"));
        library.makeFile(QStringLiteral("软件/b.txt"));
    }
    void openOnFile(int row)
    {
        open();
        clickSystemNode(category({QStringLiteral("软件")}));
        clickRow(row);
    }
    void clickTab(int tab)
    {
        QTabBar* tabs = window->bottomTabs();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(tab).center());
    }
    // Typing, as an input method hands over Chinese text.
    void type(const QString& text)
    {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
        QApplication::sendEvent(editor(), &press);
    }
    ui::DocumentPage* page() { return window->documentPage(); }
    QPlainTextEdit* editor() { return page()->editor(); }
    bool documentMenuShown()
    {
        return window->actions().menu(QStringLiteral("t500"))->menuAction()->isVisible();
    }
    bool documentShown()
    {
        return window->findChild<QStackedWidget*>(QStringLiteral("Notebook"))->currentWidget() ==
               page();
    }
};

} // namespace

TEST_F(DocumentPageTest, TheTabAsksBeforeLeavingAnEditedDocumentAndTheMenusFollowIt)
{
    openOnFile(1); // 工具.zip
    EXPECT_FALSE(documentMenuShown());
    EXPECT_FALSE(action("t303")->isVisible());
    clickTab(1);
    EXPECT_TRUE(documentShown());
    EXPECT_TRUE(documentMenuShown());
    EXPECT_TRUE(action("t303")->isVisible());
    EXPECT_TRUE(action("t303")->isChecked());
    EXPECT_FALSE(enabled("addfilebtn"));
    EXPECT_TRUE(enabled("t501") && enabled("t503"));
    EXPECT_FALSE(enabled("t502")) << "nothing to save as yet";

    type(QStringLiteral("详细说明"));
    window->updateCommandStates();
    EXPECT_TRUE(enabled("t502"));

    dialogs->answers = {core::Answer::Cancel};
    clickTab(0);
    EXPECT_EQ(window->bottomTabs()->currentIndex(), 1);
    EXPECT_TRUE(documentShown());
    EXPECT_TRUE(editor()->document()->isModified());

    dialogs->answers = {core::Answer::Yes};
    clickTab(0);
    EXPECT_EQ(window->bottomTabs()->currentIndex(), 0);
    EXPECT_FALSE(documentShown());
    EXPECT_FALSE(documentMenuShown());
    EXPECT_TRUE(enabled("addfilebtn"));
    EXPECT_EQ(library.read(QStringLiteral("filecomm/工具.zip.txt")),
              testing_support::gbk(QStringLiteral("详细说明\r\n")));
    EXPECT_EQ(dialogs->shown.size(), 2u);
}

TEST_F(DocumentPageTest, CtrlSSavesTheDocumentOnTheDocumentPageOnly)
{
    openOnFile(1);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    EXPECT_EQ(page()->action(QStringLiteral("savenote"))->toolTip(),
              QStringLiteral("保存 (Ctrl+S)"));
    clickTab(1);
    type(QStringLiteral("说明"));
    QTest::keyClick(editor(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(editor()->document()->isModified());
    EXPECT_EQ(library.read(QStringLiteral("filecomm/工具.zip.txt")),
              testing_support::gbk(QStringLiteral("说明\r\n")));

    // An edit the user chose not to save stays unsaved on the file page.
    type(QStringLiteral("不要"));
    dialogs->answers = {core::Answer::No};
    clickTab(0);
    QTest::keyClick(window->fileView()->details(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(library.read(QStringLiteral("filecomm/工具.zip.txt")),
              testing_support::gbk(QStringLiteral("说明\r\n")));
    EXPECT_EQ(dialogs->shown.size(), 1u) << "only the question";
}

TEST_F(DocumentPageTest, TheDocumentAndThePagesSettingsAreThereAfterARestart)
{
    openOnFile(1);
    clickTab(1);
    type(QStringLiteral("第一行"));
    QTest::keyClick(editor(), Qt::Key_Return);
    QTest::keyClicks(editor(), "second");
    action("t501")->trigger();
    EXPECT_FALSE(editor()->document()->isModified());

    page()->action(QStringLiteral("ToolButton15"))->trigger(); // 12 points
    page()->action(QStringLiteral("dockleft"))->trigger();
    EXPECT_EQ(page()->toolBarArea(page()->toolBar()), Qt::LeftToolBarArea);
    EXPECT_TRUE(page()->action(QStringLiteral("dockleft"))->isChecked());
    page()->action(QStringLiteral("N31"))->trigger();
    EXPECT_FALSE(page()->toolBar()->isVisible());
    EXPECT_FALSE(action("t303")->isChecked());
    window->close();
    window.reset();

    core::ConfigFile saved(configPath);
    const core::DocumentSettings d = saved.loadWindowSettings().document;
    EXPECT_EQ(d.fontSize, 12);
    EXPECT_EQ(d.toolDock, 3);
    EXPECT_FALSE(d.showTools);

    openOnFile(1);
    EXPECT_EQ(page()->toolBarArea(page()->toolBar()), Qt::LeftToolBarArea);
    EXPECT_EQ(editor()->font().pointSize(), 12);
    clickTab(1);
    EXPECT_FALSE(page()->toolBar()->isVisible());
    EXPECT_EQ(editor()->toPlainText(), QStringLiteral("第一行\nsecond\n"));
    action("t303")->trigger();
    EXPECT_TRUE(page()->toolBar()->isVisible());
}

TEST_F(DocumentPageTest, TheEditButtonsFollowTheFocusedEditor)
{
    openOnFile(1);
    clickTab(1);
    editor()->setPlainText(QStringLiteral("一段文字"));
    editor()->setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(page()->action(QStringLiteral("ToolButton18"))->isEnabled()) << "nothing selected";
    page()->action(QStringLiteral("ToolButton20"))->trigger();
    EXPECT_EQ(editor()->textCursor().selectedText(), QStringLiteral("一段文字"));
    EXPECT_TRUE(page()->action(QStringLiteral("ToolButton17"))->isEnabled());
    page()->action(QStringLiteral("ToolButton17"))->trigger();
    EXPECT_TRUE(editor()->toPlainText().isEmpty());
    EXPECT_TRUE(page()->action(QStringLiteral("ToolButton19"))->isEnabled()) << "text to paste";
    page()->action(QStringLiteral("ToolButton19"))->trigger();
    EXPECT_EQ(editor()->toPlainText(), QStringLiteral("一段文字"));
}

TEST_F(DocumentPageTest, TheExportButtonAndPopupItemWriteTheList)
{
    openOnFile(0);
    EXPECT_TRUE(enabled("PutToHtmlBtn"));
    window->updateCommandStates();
    EXPECT_TRUE(enabled("BuildHtmlMenu"));
    const QString path = library.path(QStringLiteral("../list.htm"));
    dialogs->saveChoices = {path};
    action("PutToHtmlBtn")->trigger();
    EXPECT_TRUE(
        library.read(QStringLiteral("../list.htm")).contains("<td width=\"120\">b.txt</td>"));
    EXPECT_EQ(dialogs->saveDialogs.back().fileName, QStringLiteral("软件文件列表"));
}
