// The template, attributes and options forms as widgets, the help viewer at its topics, and
// the window's commands that open them.
#include "core/StandardTemplate.h"
#include "core/SystemOptions.h"
#include "core/Texts.h"
#include "support/ScriptedDialogs.h"
#include "support/TempLibrary.h"
#include "ui/AttributesDialog.h"
#include "ui/DropWindow.h"
#include "ui/HelpViewer.h"
#include "ui/OptionsDialog.h"
#include "ui/TemplateDialog.h"
#include "ui/WindowFixture.h"

#include <QAccessible>
#include <QButtonGroup>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QScreen>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using testing_support::WindowFixture;

TEST(TemplateDialog, AClickOnACheckBoxChoosesTheNodeAndItsAncestors)
{
    testing_support::TempLibrary library;
    testing_support::ScriptedDialogs dialogs;
    const core::LibraryLayout layout = library.layout();
    core::TemplateForm form(layout, platform::FileSystem::local(), dialogs, true);
    ui::TemplateDialog dialog(form);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTreeWidgetItem* networking = dialog.item(17); // 网络工具
    ASSERT_EQ(networking->text(0), "网络工具");
    EXPECT_TRUE(dialog.item(0)->isExpanded()) << "the first level shows";

    QTest::mouseClick(dialog.tree()->viewport(), Qt::LeftButton, {},
                      dialog.tree()->visualItemRect(networking).center());
    EXPECT_EQ(networking->checkState(0), Qt::Unchecked) << "beside the box nothing flips";
    QTest::mouseClick(dialog.tree()->viewport(), Qt::LeftButton, {},
                      dialog.tree()->checkBoxRect(networking).center());
    EXPECT_EQ(networking->checkState(0), Qt::Checked);
    EXPECT_EQ(dialog.item(0)->checkState(0), Qt::Checked);
    EXPECT_TRUE(form.tree().isChosen(0));

    dialog.createButton()->click();
    EXPECT_TRUE(library.exists("网络工具"));
    EXPECT_FALSE(dialog.createButton()->isEnabled());
}

TEST(AttributesDialog, SeveralFilesCycleGrayedTickedCleared)
{
    core::AttributesDialogSpec spec;
    spec.several = true;
    spec.fileName = QStringLiteral("选中了 2 个文件;");
    spec.boxes = {core::BoxState::Grayed, core::BoxState::Grayed, core::BoxState::Grayed,
                  core::BoxState::Grayed};
    spec.okEnabled = false;
    ui::AttributesDialog dialog(spec, QIcon());
    dialog.show();
    QCheckBox* readOnly = dialog.box("rcb");
    EXPECT_EQ(readOnly->checkState(), Qt::PartiallyChecked);
    readOnly->click();
    EXPECT_EQ(dialog.boxes().readOnly, core::BoxState::Checked);
    readOnly->click();
    EXPECT_EQ(dialog.boxes().readOnly, core::BoxState::Unchecked);
    readOnly->click();
    EXPECT_EQ(dialog.boxes().readOnly, core::BoxState::Grayed);
    EXPECT_FALSE(dialog.label("Label_ModifyTime")->isVisible()) << "no times for several files";
    EXPECT_TRUE(dialog.label("Label1")->isVisible()) << "their captions stay";
    EXPECT_FALSE(dialog.okButton()->isEnabled()) << "view-only";
}

TEST(AttributesDialog, AnOriginShowsAsPlainSelectableTextAndOpensOnlyWhenOffered)
{
    for (const bool offered : {true, false}) {
        core::AttributesDialogSpec spec;
        spec.fileName = QStringLiteral("page.html");
        spec.origin = QStringLiteral("https://example.org/<b>x</b>");
        int opened = 0;
        if (offered)
            spec.openOrigin = [&] { ++opened; };
        ui::AttributesDialog dialog(spec, QIcon());
        dialog.show();
        EXPECT_EQ(dialog.label("Label_OriginCaption")->text(), "来源：");
        QLabel* origin = dialog.label("Label_Origin");
        ASSERT_NE(origin, nullptr);
        EXPECT_EQ(origin->text(), spec.origin);
        EXPECT_EQ(origin->textFormat(), Qt::PlainText);
        EXPECT_TRUE(origin->textInteractionFlags() & Qt::TextSelectableByMouse);
        QTest::mouseClick(origin, Qt::LeftButton);
        EXPECT_EQ(opened, offered ? 1 : 0);
    }
}

class ToolCommandsWindow : public WindowFixture
{
};

TEST_F(ToolCommandsWindow, OptionsOpenFromTheMenuAndApplyChangesTheWindowAtOnce)
{
    open();
    int dropMode = -1;
    QObject::connect(window.get(), &ui::MainWindow::dropModeChanged,
                     [&](int mode) { dropMode = mode; });
    ASSERT_TRUE(window->documentToolsShown());
    ASSERT_TRUE(enabled("t404"));
    dialogs->optionsScripts.push_back([](core::OptionsForm& form) {
        ui::OptionsDialog dialog(form);
        dialog.show();
        EXPECT_TRUE(dialog.box("btnhint")->isChecked());
        EXPECT_EQ(dialog.dropGroup()->checkedId(), 1);
        dialog.box("showdoctoolbar")->setChecked(false);
        QCheckBox* instant = dialog.box("InstantSearchCh");
        ASSERT_NE(instant, nullptr);
        EXPECT_EQ(instant->text(), "输入时即时查找");
        EXPECT_TRUE(dialog.tabs()->widget(0)->isAncestorOf(instant)) << "on the first tab";
        EXPECT_TRUE(instant->isChecked()) << "on by default";
        instant->setChecked(false);
        dialog.dropGroup()->button(0)->setChecked(true);
        dialog.applyButton()->click();
        EXPECT_TRUE(dialog.isVisible()) << "应用 keeps the dialog open";
    });
    action("sysconfig")->trigger();
    EXPECT_EQ(dialogs->optionsDialogs, 1);
    EXPECT_EQ(dropMode, 0);
    EXPECT_EQ(window->dropWindow()->modeLabel()->text(), "复") << "the drop window's mark follows";
    EXPECT_FALSE(window->documentToolsShown()) << "the document tool bar goes at once";
    EXPECT_EQ(config->readString("SystemConfig", "DropMode", "-"), "0");
    EXPECT_EQ(config->readString("SystemConfig", "InstantSearch", "-"), "0");
}

TEST_F(ToolCommandsWindow, APipeAsBackgroundPictureHoldsUpNeitherTheStartNorApply)
{
    const QString pipe = library.path("picture.bmp");
    const QByteArray pipeBytes = QFile::encodeName(pipe);
    ASSERT_EQ(::mkfifo(pipeBytes.constData(), 0600), 0);
    // Should the window open the pipe and wait for a writer, one comes after a while and
    // lets it go, so that the test fails rather than hangs.
    std::atomic<bool> done{false};
    std::thread rescuer([&] {
        for (int waited = 0; !done; waited += 50) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            if (waited < 3000)
                continue;
            const int fd = ::open(pipeBytes.constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
        }
    });
    QFile file(configPath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[SystemConfig]\r\nToolbarBmp=" + pipeBytes + "\r\n");
    file.close();
    QElapsedTimer timer;
    timer.start();

    open();
    EXPECT_EQ(dialogs->texts(), QStringList(core::texts::pictureLoadFailed(pipe)))
        << "the start goes on after saying so";
    dialogs->optionsScripts.push_back([&](core::OptionsForm& form) {
        form.values.TreeBarBmp = pipe;
        EXPECT_FALSE(form.YesBtnClick(true)) << "the dialog stays open";
    });
    action("sysconfig")->trigger();
    EXPECT_EQ(dialogs->texts().size(), 2);
    EXPECT_EQ(dialogs->last().kind, testing_support::Shown::Kind::Error);
    EXPECT_EQ(dialogs->last().text, core::texts::pictureLoadFailed(pipe));
    EXPECT_LT(timer.elapsed(), 3000) << "no pipe is ever opened for a picture";
    done = true;
    rescuer.join();
}

TEST_F(ToolCommandsWindow, HelpShowsItsTopicsOrSaysTheFileIsMissing)
{
    open();
    action("helpbtn")->trigger();
    EXPECT_EQ(dialogs->texts().size(), 1);
    EXPECT_TRUE(dialogs->last().text.contains(library.root())) << "the missing file is named";
    EXPECT_EQ(window->helpViewer(), nullptr);

    QFile::copy(QStringLiteral(QUILLET_SOURCE_DIR "/assets/quillet.html"),
                session->layout().helpFilePath());
    int previous = 0;
    for (const char* topic : {"sysoption", "dropwin", "findfile"}) {
        window->showHelp(QLatin1String(topic));
        ui::HelpViewer* help = window->helpViewer();
        ASSERT_NE(help, nullptr);
        EXPECT_TRUE(help->isVisible());
        EXPECT_EQ(help->browser()->source().fragment(), QLatin1String(topic));
        const int at = help->browser()->verticalScrollBar()->value();
        EXPECT_GT(at, previous) << topic << " is an anchor further down the file";
        previous = at;
    }
    EXPECT_EQ(dialogs->texts().size(), 1);

    // A window of its own for a screen reader, and the page's boxes drawn as boxes: a line
    // never has a background of its own other than the box around it (a band).
    ui::HelpViewer* help = window->helpViewer();
    EXPECT_EQ(QAccessible::queryAccessibleInterface(help)->role(), QAccessible::Window);
    for (QTextBlock block = help->browser()->document()->begin(); block.isValid();
         block = block.next()) {
        if (!block.blockFormat().hasProperty(QTextFormat::BackgroundBrush))
            continue;
        const QTextCursor cursor(block);
        QTextTable* box = cursor.currentTable();
        ASSERT_NE(box, nullptr) << block.text().left(20).toStdString();
        EXPECT_EQ(block.blockFormat().background(), box->cellAt(cursor).format().background())
            << block.text().left(20).toStdString();
    }
}

TEST_F(ToolCommandsWindow, HelpOpensOverTheMainWindowWithinItsScreen)
{
    open();
    QFile::copy(QStringLiteral(QUILLET_SOURCE_DIR "/assets/quillet.html"),
                session->layout().helpFilePath());
    const QRect area = window->screen()->availableGeometry();
    window->move(area.right() - 300, area.bottom() - 200); // partly off the screen
    window->showHelp();
    ui::HelpViewer* help = window->helpViewer();
    ASSERT_TRUE(help->isVisible());
    EXPECT_EQ(help->screen(), window->screen());
    EXPECT_TRUE(area.contains(help->frameGeometry()));
    EXPECT_EQ(help->frameGeometry().bottomRight(), area.bottomRight())
        << "as near to the middle of the main window as the screen lets it";

    // Where the user puts it, it stays; put off the screen, it comes back when next opened.
    help->move(area.topLeft() + QPoint(10, 10));
    window->showHelp(QStringLiteral("dropwin"));
    EXPECT_EQ(help->pos(), area.topLeft() + QPoint(10, 10));
    help->hide();
    help->move(area.right() - 100, area.top());
    window->showHelp();
    EXPECT_TRUE(area.contains(help->frameGeometry()));
}
