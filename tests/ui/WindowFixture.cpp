#include "ui/WindowFixture.h"

#include "ui/CategoryTreeView.h"
#include "ui/FileListView.h"
#include "ui/StatusPanelsBar.h"
#include "ui/TreePane.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QTest>

namespace testing_support {

void WindowFixture::open(bool writable)
{
    create(writable);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
}

void WindowFixture::create(bool writable)
{
    config = std::make_unique<core::ConfigFile>(configPath);
    session = std::make_unique<core::Session>(library.layout(), *config,
                                              platform::FileSystem::local(), writable);
    auto scripted = std::make_unique<ScriptedDialogs>();
    dialogs = scripted.get();
    window = std::make_unique<ui::MainWindow>(*session, std::move(scripted));
}

void WindowFixture::TearDown()
{
    window.reset();
}

namespace {

void clickNode(QTreeView* view, const QModelIndex& index)
{
    ASSERT_TRUE(index.isValid());
    view->scrollTo(index);
    const QRect rect = view->visualRect(index);
    ASSERT_TRUE(rect.isValid());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
}

} // namespace

void WindowFixture::clickSystemNode(const QModelIndex& index)
{
    window->treePane()->setCurrentIndex(0);
    clickNode(window->treePane()->systemTree(), index);
}

void WindowFixture::clickExternalNode(const QModelIndex& index)
{
    window->treePane()->setCurrentIndex(1);
    clickNode(window->treePane()->externalTree(), index);
}

void WindowFixture::clickRow(int row)
{
    QTableView* table = window->fileView()->details();
    const QRect rect = table->visualRect(table->model()->index(row, 0));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, rect.center());
}

void WindowFixture::clickHeader(int column, bool searchList)
{
    ui::FileListView* view = searchList ? window->findView() : window->fileView();
    QHeaderView* header = view->details()->horizontalHeader();
    const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
}

QModelIndex WindowFixture::category(const QStringList& captions)
{
    bool complete = false;
    const QModelIndex node = workspace().systemTree().findPath(captions, &complete);
    // Show the levels on the way, as a user opening them would.
    for (QModelIndex i = node.parent(); i.isValid(); i = i.parent())
        window->treePane()->systemTree()->expand(i);
    return complete ? node : QModelIndex();
}

QStringList WindowFixture::listedNames()
{
    QStringList names;
    QAbstractItemModel* model = window->fileView()->details()->model();
    for (int row = 0; row < model->rowCount(); ++row)
        names.append(model->index(row, 0).data().toString());
    return names;
}

QString WindowFixture::panel(int index)
{
    return window->statusPanels()->panel(index)->text();
}

} // namespace testing_support
