// Bringing files in, editing notes and the recycle box, driven through the real window.
#include "fileops/FileOpsTexts.h"
#include "support/TempLibrary.h"
#include "ui/CategoryChoiceDialog.h"
#include "ui/FileListView.h"
#include "ui/NoteEdit.h"
#include "ui/WindowFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

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

TEST_F(FileCommandsWindowTest, RestoreIsOfferedOnlyInTheBoxAndPutsTheFileBack)
{
    QMenu* popup = window->actions().menu("filepop");
    QMenu* fileMenu = window->actions().menu("t100");
    EXPECT_TRUE(popup->actions().contains(action("restorefile")));
    EXPECT_TRUE(fileMenu->actions().contains(action("t108")));
    EXPECT_EQ(action("restorefile")->text(), "还原文件");
    const auto offered = [&] {
        popup->aboutToShow();
        fileMenu->aboutToShow();
        EXPECT_EQ(enabled("restorefile"), enabled("t108"));
        return enabled("restorefile");
    };
    clickRow(0);
    EXPECT_FALSE(offered()) << "not in a category";
    dialogs->answers.push_back(core::Answer::Yes);
    QTest::keyClick(window->fileView()->details(), Qt::Key_Delete);

    clickSystemNode(workspace().systemTree().recycleBoxIndex());
    EXPECT_FALSE(offered()) << "no file selected";
    clickRow(0);
    EXPECT_TRUE(offered());
    action("restorefile")->trigger();
    EXPECT_TRUE(listedNames().isEmpty());
    EXPECT_EQ(library.read(QStringLiteral("软件/old.zip")), "old");
    EXPECT_EQ(library.notesText(QStringLiteral("软件/")),
              QStringLiteral("[fileinfo]\r\nold.zip=旧的注释\r\n"));
    EXPECT_EQ(dialogs->shown.size(), 1u) << "only the question before deleting";
}

TEST_F(FileCommandsWindowTest, TheTreeQuestionChoosesOnlyACategory)
{
    core::CategoryTreeModel& tree = workspace().systemTree();
    core::CategoryChoiceSpec spec;
    spec.caption = fileops::texts::RestoreCaption;
    spec.prompt = fileops::texts::restoreElsewhere("a.txt");
    spec.treeName = fileops::texts::RestoreTreeName;
    spec.okText = fileops::texts::RestoreOk;
    spec.cancelText = fileops::texts::RestoreCancel;
    spec.tree = &tree;
    spec.canChoose = [&](const QModelIndex& node) {
        return tree.kindOf(node) == core::CategoryKind;
    };
    ui::CategoryChoiceDialog dialog(spec, window.get());
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "还原文件");
    EXPECT_EQ(dialog.tree()->accessibleName(), fileops::texts::RestoreTreeName);
    EXPECT_EQ(dialog.findChild<QLabel*>()->accessibleName(), spec.prompt);
    EXPECT_EQ(dialog.okButton()->accessibleName(), "还原");
    EXPECT_FALSE(dialog.okButton()->isEnabled()) << "the root holds no files";
    EXPECT_TRUE(dialog.tree()->isExpanded(tree.rootIndex()));
    EXPECT_TRUE(dialog.tree()->isRowHidden(tree.recycleBoxIndex().row(), {}));
    EXPECT_FALSE(dialog.tree()->isRowHidden(tree.rootIndex().row(), {}));
    const QModelIndex category = this->category({QStringLiteral("软件")});
    dialog.tree()->setCurrentIndex(category);
    ASSERT_TRUE(dialog.okButton()->isEnabled());
    dialog.okButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.chosen(), category);
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
