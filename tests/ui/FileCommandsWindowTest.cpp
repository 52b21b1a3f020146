// Bringing files in, editing notes and the recycle box, driven through the real window.
#include "support/TempLibrary.h"
#include "ui/FileListView.h"
#include "ui/NoteEdit.h"
#include "ui/WindowFixture.h"

#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using testing_support::WindowFixture;

namespace {

class FileCommandsWindowTest : public WindowFixture
{
protected:
    QTemporaryDir outside;

    void SetUp() override
    {
        library.makeDir(QStringLiteral("软件"));
        library.makeFile(QStringLiteral("软件/old.zip"), "old");
        library.writeNotes(QStringLiteral("软件/"), {{"old.zip", QStringLiteral("旧的注释")}});
        open();
        clickSystemNode(category({QStringLiteral("软件")}));
    }

    QString outsideFile(const QString& name, const QByteArray& content)
    {
        QFile file(outside.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(content);
        return file.fileName();
    }

    QStringList selectedNames()
    {
        QStringList names;
        for (int row : core::Workspace::selectedRows(workspace().fileSelection()))
            names.append(workspace().fileList().row(row).name);
        return names;
    }
};

} // namespace

TEST_F(FileCommandsWindowTest, MovingFilesInAppendsSelectedRowsAndCountsThem)
{
    dialogs->fileChoices.push_back({outsideFile(QStringLiteral("新工具.exe"), QByteArray(2048, 'x')),
                                    outsideFile("b.txt", "b")});
    action("t103")->trigger();
    EXPECT_EQ(dialogs->fileDialogTitles.back(), "请选择一个或多个文件");
    // The new rows follow the old ones, in name order.
    EXPECT_EQ(listedNames(), QStringList({"old.zip", "b.txt", QStringLiteral("新工具.exe")}));
    EXPECT_EQ(selectedNames(), QStringList({"b.txt", QStringLiteral("新工具.exe")}));
    EXPECT_EQ(workspace().fileList().row(2).sizeText, "2.00 K");
    EXPECT_EQ(panel(1), "3个文件");
    EXPECT_FALSE(QFile::exists(outside.filePath("b.txt")));
    EXPECT_TRUE(library.exists(QStringLiteral("软件/新工具.exe")));
}

TEST_F(FileCommandsWindowTest, TheNoteEditorSavesOnEnterIntoTheNotesFile)
{
    clickRow(0);
    QLineEdit* edit = window->topEdit();
    EXPECT_EQ(edit->text(), QStringLiteral("旧的注释"));
    edit->setText(QStringLiteral("新的注释"));
    QTest::keyClicks(edit, "=x");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(library.notesText(QStringLiteral("软件/")),
              QStringLiteral("[fileinfo]\r\nold.zip=新的注释=x\r\n"));
    EXPECT_EQ(workspace().fileList().row(0).note, QStringLiteral("新的注释=x"));

    // The undo button shows the stored note again.
    QTest::keyClicks(edit, "typed");
    window->findChild<QToolButton*>("ClearEditText")->click();
    EXPECT_EQ(edit->text(), QStringLiteral("新的注释=x"));
}

TEST_F(FileCommandsWindowTest, TheNoteDialogJoinsItsLines)
{
    clickRow(0);
    dialogs->noteInputs.push_back(QStringList{QStringLiteral("第一行"), QStringLiteral("第二行")});
    action("editmemobtn")->trigger();
    ASSERT_EQ(dialogs->noteDialogs.size(), 1u);
    EXPECT_EQ(dialogs->noteDialogs[0].caption, "编辑软件说明");
    EXPECT_EQ(dialogs->noteDialogs[0].label, QStringLiteral(" 编辑 old.zip 文件的说明文字！"));
    EXPECT_EQ(library.notesText(QStringLiteral("软件/")),
              QStringLiteral("[fileinfo]\r\nold.zip=第一行第二行\r\n"));
    EXPECT_EQ(window->topEdit()->text(), QStringLiteral("第一行第二行"));
}

TEST_F(FileCommandsWindowTest, DeleteMovesIntoTheBoxWithTheNoteAndTheBoxDeletesForGood)
{
    clickRow(0);
    dialogs->answers.push_back(core::Answer::Yes);
    QTest::keyClick(window->fileView()->details(), Qt::Key_Delete);
    EXPECT_EQ(dialogs->last().caption, "请你三思！");
    EXPECT_TRUE(listedNames().isEmpty());
    EXPECT_TRUE(library.exists("oprecy/old.zip"));
    EXPECT_EQ(library.notesText("oprecy/"), QStringLiteral("[fileinfo]\r\nold.zip=旧的注释\r\n"));
    EXPECT_EQ(panel(1), "共0个文件");

    library.makeFile("filecomm/old.zip.txt", "document");
    clickSystemNode(workspace().systemTree().recycleBoxIndex());
    EXPECT_EQ(listedNames(), QStringList("old.zip"));
    clickRow(0);
    dialogs->answers.push_back(core::Answer::Yes);
    action("delfielbtn")->trigger();
    EXPECT_EQ(dialogs->last().text, "确定要删除选取的文件吗？");
    EXPECT_FALSE(library.exists("oprecy/old.zip"));
    EXPECT_FALSE(library.exists("filecomm/old.zip.txt"));
}

TEST_F(FileCommandsWindowTest, EmptyingTheBoxFromItsPopup)
{
    library.makeFile("oprecy/a.bin", "a");
    library.makeFile("oprecy/b.bin", "b");
    clickSystemNode(workspace().systemTree().recycleBoxIndex());
    dialogs->answers.push_back(core::Answer::Yes);
    action("emptybox")->trigger();
    EXPECT_EQ(dialogs->last().caption, "请保持头脑清醒");
    EXPECT_TRUE(listedNames().isEmpty());
    EXPECT_FALSE(library.exists("oprecy/a.bin"));
}

TEST_F(FileCommandsWindowTest, NothingComesInWhileTheRootIsSelectedAndTheImportItemsFollowTheNode)
{
    clickSystemNode(workspace().systemTree().rootIndex());
    window->actions().menu("t100")->aboutToShow();
    EXPECT_FALSE(enabled("t103"));
    dialogs->fileChoices.push_back({outsideFile("c.txt", "c")});
    action("t103")->trigger(); // disabled: nothing happens
    EXPECT_TRUE(dialogs->fileDialogTitles.empty());
    clickSystemNode(workspace().systemTree().transitIndex());
    window->actions().menu("t100")->aboutToShow();
    EXPECT_TRUE(enabled("t103"));
}
