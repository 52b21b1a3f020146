// The search page in the real window: switching to it, searching from its bar, the result
// list's pop-up menu and the file commands on its rows.
#include "search/SearchCommands.h"
#include "support/TempLibrary.h"
#include "ui/FileListView.h"
#include "ui/SearchPage.h"
#include "ui/WindowFixture.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

using testing_support::WindowFixture;

namespace {

class SearchWindowTest : public WindowFixture
{
protected:
    void SetUp() override
    {
        library.makeFile(QStringLiteral("软件/工具.zip"), "tool");
        library.makeFile(QStringLiteral("软件/子类/tool-two.zip"), "two");
        library.writeNotes(QStringLiteral("软件/"),
                           {{QStringLiteral("工具.zip"), QStringLiteral("好用的tool")}});
        open();
    }

    ui::SearchPage* page() { return window->searchPage(); }

    void search(const QString& keyword)
    {
        QComboBox* box = page()->keywordBox();
        box->lineEdit()->clear();
        box->lineEdit()->insert(keyword); // typed, as an input method hands it over
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    }

    void selectResult(int row)
    {
        QTableView* table = window->findView()->details();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                          table->visualRect(table->model()->index(row, 0)).center());
    }
};

} // namespace

TEST_F(SearchWindowTest, TheButtonAndTheMenuItemSwitchPagesTogether)
{
    workspace().status().setText(2, QStringLiteral("共选取了1个文件"));
    action("t401")->trigger();
    EXPECT_TRUE(page()->isVisible());
    EXPECT_TRUE(action("stfibtn")->isChecked());
    EXPECT_EQ(action("stfibtn")->toolTip(), QStringLiteral("切换到文件浏览方式"));
    EXPECT_EQ(panel(2), QString());

    action("stfibtn")->trigger();
    EXPECT_FALSE(page()->isVisible());
    EXPECT_FALSE(action("t401")->isChecked());
    EXPECT_EQ(action("stfibtn")->toolTip(), QStringLiteral("切换到文件查找方式"));
}

TEST_F(SearchWindowTest, EnterInTheKeywordBoxSearchesAndKeepsTheKeyword)
{
    action("stfibtn")->trigger();
    search(QStringLiteral("TOOL"));
    ASSERT_EQ(workspace().searchList().count(), 1);
    EXPECT_EQ(workspace().searchList().row(0).name, "tool-two.zip");
    EXPECT_EQ(panel(2), QStringLiteral("共找到 1 个文件"));

    page()->modeBox()->setCurrentIndex(1);
    search(QStringLiteral("好用"));
    ASSERT_EQ(workspace().searchList().count(), 1);
    EXPECT_EQ(workspace().searchList().row(0).caption, QStringLiteral("工具.zip"));
    QComboBox* box = page()->keywordBox();
    EXPECT_EQ(box->count(), 2);
    EXPECT_EQ(box->itemText(0), QStringLiteral("好用"));
    EXPECT_EQ(box->currentText(), QStringLiteral("好用"));
    EXPECT_TRUE(box->lineEdit()->hasSelectedText());

    action("clsfindbtn")->trigger();
    EXPECT_EQ(box->currentText(), QString());
    EXPECT_EQ(box->count(), 2);
    EXPECT_EQ(workspace().searchList().count(), 0);
}

TEST_F(SearchWindowTest, TypingShowsTheResultsAsItGoesWithoutHistoryOrMessages)
{
    action("stfibtn")->trigger();
    int ended = 0;
    QObject::connect(&window->searchCommands().index(), &search::IndexedSearch::typedSearchEnded,
                     [&] { ++ended; });
    QComboBox* box = page()->keywordBox();
    QTest::keyClicks(box->lineEdit(), QStringLiteral("two"));
    while (ended < 3)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    ASSERT_EQ(workspace().searchList().count(), 1);
    EXPECT_EQ(workspace().searchList().row(0).name, "tool-two.zip");
    EXPECT_EQ(panel(2), QStringLiteral("共找到 1 个文件"));
    EXPECT_EQ(box->count(), 0) << "typing adds nothing to the history";
    EXPECT_EQ(box->currentText(), QStringLiteral("two"));
    EXPECT_TRUE(dialogs->shown.empty());
}

TEST_F(SearchWindowTest, HeaderClicksSortTheResultsDescendingFirstAndFlipEveryTime)
{
    action("stfibtn")->trigger();
    search(QStringLiteral("zip"));
    QTableView* table = window->findView()->details();
    const auto shown = [table] {
        return QStringList{table->model()->index(0, 0).data().toString(),
                           table->model()->index(1, 0).data().toString()};
    };
    clickHeader(3, true); // the size: "工具.zip" holds 4 bytes, "tool-two.zip" 3
    EXPECT_EQ(shown(), QStringList({QStringLiteral("工具.zip"), "tool-two.zip"}));
    EXPECT_EQ(table->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
    clickHeader(3, true);
    EXPECT_EQ(shown(), QStringList({"tool-two.zip", QStringLiteral("工具.zip")}));
    EXPECT_EQ(table->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
    EXPECT_EQ(table->horizontalHeader()->sortIndicatorSection(), 3);
}

TEST_F(SearchWindowTest, ThePopUpOffersWhatIsBuiltOnlyForASelectedResult)
{
    action("stfibtn")->trigger();
    search(QStringLiteral("zip"));
    const char* const built[] = {"editm",       "renfn",    "ExecuteFile",
                                 "DELFM",       "moveitem", "copytofolly",
                                 "copytoother", "selall",   "reverssel"};
    window->updateCommandStates();
    for (const char* name : built)
        EXPECT_FALSE(enabled(name)) << name;

    selectResult(0);
    for (const char* name : built)
        EXPECT_TRUE(enabled(name)) << name;
    EXPECT_TRUE(enabled("SpeedButton2"));
}

TEST_F(SearchWindowTest, AResultsNoteIsEditedAndAResultGoesIntoTheRecycleBox)
{
    action("stfibtn")->trigger();
    search(QStringLiteral("zip"));
    ASSERT_EQ(workspace().searchList().count(), 2);
    const int tool = workspace().searchList().row(0).name == "tool-two.zip" ? 0 : 1;

    selectResult(tool);
    dialogs->noteInputs.push_back(QStringList{QStringLiteral("第二个工具")});
    action("editm")->trigger();
    EXPECT_EQ(library.notesText(QStringLiteral("软件/子类/")),
              QStringLiteral("[fileinfo]\r\ntool-two.zip=第二个工具\r\n"));
    EXPECT_EQ(workspace().searchList().row(tool).note, QStringLiteral("第二个工具"));

    selectResult(1 - tool);
    dialogs->answers.push_back(core::Answer::Yes);
    QTest::keyClick(window->findView()->details(), Qt::Key_Delete);
    EXPECT_TRUE(library.exists(QStringLiteral("oprecy/工具.zip")));
    EXPECT_FALSE(library.exists(QStringLiteral("软件/工具.zip")));
    EXPECT_EQ(library.notesText(QStringLiteral("oprecy/")),
              QStringLiteral("[fileinfo]\r\n工具.zip=好用的tool\r\n"));
    ASSERT_EQ(workspace().searchList().count(), 1);
    EXPECT_EQ(workspace().searchList().row(0).name, "tool-two.zip");
}
