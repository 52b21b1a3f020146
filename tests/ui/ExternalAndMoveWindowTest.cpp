// External libraries and moves in the real window: registering a folder through the external
// tree's pop-up, the folder form itself, and rows dragged from the file list onto the trees.
#include "platform/DriveInfo.h"
#include "platform/FileNames.h"
#include "ui/CategoryTreeView.h"
#include "ui/FileListView.h"
#include "ui/OutDirForm.h"
#include "ui/TreePane.h"
#include "ui/WindowFixture.h"

#include <QDir>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using testing_support::WindowFixture;

namespace {

class FixedDrives : public platform::DriveOracle
{
public:
    platform::MountInfo mountOf(const QString&) const override
    {
        platform::MountInfo mount;
        mount.type = platform::DriveType::Fixed;
        return mount;
    }
    qint64 freeSpace(const QString&) const override { return 1 << 30; }
    bool isMountPoint(const QString&) const override { return false; }
};

class ExternalAndMoveWindowTest : public WindowFixture
{
protected:
    FixedDrives drives;
    QString outside = QDir::cleanPath(library.path("../outside")) + u'/';

    void SetUp() override
    {
        library.makeFile("src/a.txt", "a");
        library.makeFile("src/b.txt", "b");
        library.writeNotes("src/", {{"a.txt", QStringLiteral("甲")}});
        library.makeDir("dst");
        QDir().mkpath(outside);
        open();
        session->setDrives(&drives);
    }

    // Drags what `from` drags over `node` of `tree` and drops it there when the tree takes it;
    // returns whether it did.
    bool dragOnto(QAbstractItemView* from, ui::CategoryTreeView* tree, const QModelIndex& node)
    {
        tree->scrollTo(node);
        const QPoint at = tree->visualRect(node).center();
        std::unique_ptr<QMimeData> data(
            from->model()->mimeData(from->selectionModel()->selectedIndexes()));
        QDragEnterEvent enter(at, Qt::CopyAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(tree->viewport(), &enter);
        QDragMoveEvent move(at, Qt::CopyAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(tree->viewport(), &move);
        if (!move.isAccepted())
            return false;
        QDropEvent drop(QPointF(at), Qt::CopyAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(tree->viewport(), &drop);
        QCoreApplication::processEvents();
        return drop.isAccepted();
    }
};

} // namespace

TEST_F(ExternalAndMoveWindowTest, AFolderRegisteredThroughThePopupIsListedWithItsNotes)
{
    library.makeFile("../outside/x.txt", "x");
    library.writeNotes("../outside/", {{"x.txt", QStringLiteral("外面")}});
    window->treePane()->setCurrentIndex(1);
    EXPECT_TRUE(enabled("newuserdir"));
    dialogs->folderChoices.push_back(outside);
    dialogs->folderFormInputs.push_back({{QStringLiteral("外面的库"), true}});
    action("newuserdir")->trigger();

    core::CategoryTreeModel& tree = workspace().externalTree();
    ASSERT_EQ(tree.rowCount(tree.rootIndex()), 1);
    const QModelIndex entry = tree.index(0, 0, tree.rootIndex());
    EXPECT_EQ(tree.captionOf(entry), QStringLiteral("外面的库"));
    clickExternalNode(entry);
    EXPECT_EQ(listedNames(), QStringList({"x.txt"}));
    EXPECT_EQ(panel(0), outside);
}

TEST_F(ExternalAndMoveWindowTest, RowsDraggedOntoTheTreesMoveWithTheirNotes)
{
    clickSystemNode(category({"src"}));
    clickRow(0);
    ui::CategoryTreeView* system = window->treePane()->systemTree();
    core::CategoryTreeModel& tree = workspace().systemTree();

    QAbstractItemView* rows = window->fileView()->details();
    ASSERT_TRUE(dragOnto(rows, system, category({"dst"})));
    EXPECT_TRUE(library.exists("dst/a.txt"));
    EXPECT_EQ(library.notesText("dst/"), QStringLiteral("[fileinfo]\r\na.txt=甲\r\n"));
    EXPECT_EQ(listedNames(), QStringList({"b.txt"}));

    // The recycle box takes rows but no category.
    clickRow(0);
    ASSERT_TRUE(dragOnto(rows, system, tree.recycleBoxIndex()));
    EXPECT_TRUE(library.exists("oprecy/b.txt"));
    EXPECT_TRUE(listedNames().isEmpty());
    EXPECT_EQ(panel(1), "共0个文件");
    EXPECT_FALSE(dragOnto(system, system, tree.recycleBoxIndex()));

    // A category dropped onto another moves with its files.
    ASSERT_TRUE(dragOnto(system, system, category({"dst"})));
    EXPECT_TRUE(library.exists("dst/src"));
    EXPECT_EQ(panel(0), library.path("dst/src/"));
}

TEST(OutDirForm, StaysOpenForTheNextLibraryAndKeepsTheFolderBytes)
{
    core::FolderFormSpec spec;
    spec.caption = QStringLiteral("自定义文件夹");
    spec.okText = QStringLiteral("确 定");
    spec.closeText = QStringLiteral("关 闭");
    const QString odd = platform::pathFromNative("/data/odd\xff/");
    std::vector<std::pair<QString, QString>> pressed;
    std::vector<core::OkResult> answers = {core::OkResult::StayCleared, core::OkResult::Close};
    ui::OutDirForm form(
        spec, [&](const QString&) { return odd; },
        [&](const QString& name, const QString& folder) {
            pressed.emplace_back(name, folder);
            const core::OkResult answer = answers.front();
            answers.erase(answers.begin());
            return answer;
        });
    form.show();
    EXPECT_TRUE(form.folderEdit()->isReadOnly());
    form.nameEdit()->setText("one");
    form.browseButton()->click();
    EXPECT_EQ(form.folderEdit()->text(), QStringLiteral("/data/odd\uFFFD/"));
    form.okButton()->click();
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(form.nameEdit()->text().isEmpty());
    EXPECT_TRUE(form.folderEdit()->text().isEmpty());
    form.nameEdit()->setText("two");
    form.okButton()->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(pressed, (std::vector<std::pair<QString, QString>>{{"one", odd}, {"two", ""}}));
}
