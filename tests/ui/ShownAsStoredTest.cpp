// The window shows what is stored, as plain text, and acts on exactly what it shows.
#include "support/TempLibrary.h"
#include "ui/CategoryTreeView.h"
#include "ui/FileListView.h"
#include "ui/NoteEdit.h"
#include "ui/StatusPanelsBar.h"
#include "ui/TreePane.h"
#include "ui/WindowFixture.h"

#include <QListView>
#include <QMenu>
#include <QTableView>
#include <QTest>

using testing_support::WindowFixture;

namespace {

class ShownAsStored : public WindowFixture
{
protected:
    void SetUp() override
    {
        for (const char* name : {"a<b>c.txt", "r&lt;1.txt", "z.txt"})
            library.makeFile(QStringLiteral("cat/") + QLatin1String(name), "x");
        library.writeNotes("cat/", {{"z.txt", QString(600, u'长')}, {"a<b>c.txt", "<b>x</b>"}});
        open();
        clickSystemNode(category({"cat"}));
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

TEST_F(ShownAsStored, MarkupInNamesShowsAsTextAndPanelsAreReadAsTheyShow)
{
    clickRow(0);
    QLabel* folder = window->statusPanels()->panel(0);
    QLabel* count = window->statusPanels()->panel(1);
    EXPECT_EQ(folder->textFormat(), Qt::PlainText);
    EXPECT_EQ(count->text(), "共3个文件");
    EXPECT_EQ(count->accessibleName(), "共3个文件");
    EXPECT_EQ(workspace().fileList().data(workspace().fileList().index(1, 0)).toString(),
              "r&lt;1.txt");
    const QString tip =
        workspace().fileList().data(workspace().fileList().index(0, 1), Qt::ToolTipRole).toString();
    EXPECT_TRUE(tip.contains("&lt;b&gt;")) << "a note's markup shows as typed in its tip";
}

TEST_F(ShownAsStored, EveryViewStyleSelectsWholeRowsSoInvertingActsOnWhatIsShown)
{
    action("liststyle")->trigger(); // large icons
    QListView* icons = window->fileView()->icons();
    const QRect first = icons->visualRect(workspace().fileList().index(0, 0));
    QTest::mouseClick(icons->viewport(), Qt::LeftButton, {}, first.center());
    action("t202")->trigger();
    EXPECT_EQ(selectedNames(), QStringList({"r&lt;1.txt", "z.txt"}));
    for (int column = 0; column < workspace().fileList().columnCount(); ++column)
        EXPECT_FALSE(workspace().fileSelection().isSelected(workspace().fileList().index(0, column)));

    dialogs->answers.push_back(core::Answer::Yes);
    QTest::keyClick(icons, Qt::Key_Delete, Qt::KeypadModifier);
    EXPECT_EQ(listedNames(), QStringList("a<b>c.txt")) << "the keypad's Delete deletes too";
}

TEST_F(ShownAsStored, ALongNoteShowsAndSavesWholeAndEnteringSelectsNothing)
{
    clickRow(2);
    ui::NoteEdit* edit = window->topEdit();
    EXPECT_EQ(edit->text().size(), 600);
    edit->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(edit->hasSelectedText());
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(workspace().fileList().row(2).note.size(), 600);
    EXPECT_TRUE(library.notesText("cat/").contains("\r\nz.txt=" + QString(600, u'长') + "\r\n"));
    QTest::keyClicks(edit, "more");
    EXPECT_EQ(edit->text().size(), 600) << "typing stops at the limit";
}

TEST_F(ShownAsStored, TheToolBarHasOneSwitchAndTreeColoursChangeOneAtATime)
{
    EXPECT_EQ(window->createPopupMenu(), nullptr);

    ui::CategoryTreeView* tree = window->treePane()->systemTree();
    const QColor text = tree->textColor();
    dialogs->colorChoices.push_back(0x00FF00); // green in the stored order
    action("TreeBackColor")->trigger();
    EXPECT_EQ(tree->backgroundColor(), QColor(0, 255, 0));
    EXPECT_EQ(tree->textColor(), text) << "the background command leaves the text colour";
}

TEST_F(ShownAsStored, InTheExternalSectionTheFileItemsFollowTheFileSelection)
{
    library.makeFile("tempdir/in-transit.txt", "t");
    clickExternalNode(workspace().externalTree().transitIndex());
    clickSystemNode(workspace().systemTree().rootIndex());
    window->treePane()->setCurrentIndex(1);
    clickExternalNode(workspace().externalTree().transitIndex());
    clickRow(0);
    window->actions().menu("filepop")->aboutToShow();
    EXPECT_TRUE(enabled("editmemo")) << "the system tree's root does not decide the file items";
    EXPECT_TRUE(window->actions().menu("addfile")->menuAction()->isEnabled());
    EXPECT_EQ(window->findView()->textColor(), window->fileView()->textColor())
        << "the search list takes the list font's colour at start";
}
