#include "ui/MainWindow.h"

#include "core/CategoryCommands.h"
#include "core/FileListController.h"
#include "core/LiveList.h"
#include "core/NoteCleanup.h"
#include "core/OutwardCommands.h"
#include "core/StandardTemplate.h"
#include "core/SystemOptions.h"
#include "core/Texts.h"
#include "core/Workspace.h"
#include "dropwin/DropCommands.h"
#include "export/HtmlExport.h"
#include "external/ExternalTreeCommands.h"
#include "fileops/AttributeCommands.h"
#include "fileops/DocumentCommands.h"
#include "fileops/ImportCommands.h"
#include "fileops/MoveCommands.h"
#include "fileops/NoteCommands.h"
#include "fileops/RecycleBoxCommands.h"
#include "fileops/RenameCommands.h"
#include "fileops/RestoreCommands.h"
#include "fileops/RunCommands.h"
#include "fileops/SendCommands.h"
#include "notes/NotesKeeper.h"
#include "platform/DriveInfo.h"
#include "platform/Errors.h"
#include "platform/FileNames.h"
#include "search/SearchCommands.h"
#include "search/SearchTexts.h"
#include "ui/AboutDialog.h"
#include "ui/CategoryTreeView.h"
#include "ui/ColorScheme.h"
#include "ui/Conversions.h"
#include "ui/DesktopShell.h"
#include "ui/DocumentPage.h"
#include "ui/DropWindow.h"
#include "ui/EffectSound.h"
#include "ui/FileListView.h"
#include "ui/GraphicalSession.h"
#include "ui/HelpViewer.h"
#include "ui/Icons.h"
#include "ui/ListLook.h"
#include "ui/MainActions.h"
#include "ui/NoteEdit.h"
#include "ui/OuterGeometry.h"
#include "ui/SearchPage.h"
#include "ui/StatusPanelsBar.h"
#include "ui/ToolTipSwitch.h"
#include "ui/TreeExpansion.h"
#include "ui/TreePane.h"
#include "ui/WidgetDialogs.h"
#include "ui/WindowOptionEffects.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDBusConnection>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabBar>
#include <QTableView>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <utility>

namespace ui {

namespace {

// A command, a menu or a dialog is under way: what other programs or later starts bring
// waits until it ends.
bool busyNow()
{
    return QApplication::activeModalWidget() || QApplication::activePopupWidget() ||
           QApplication::overrideCursor() || QThread::currentThread()->loopLevel() > 1;
}

} // namespace

MainWindow::MainWindow(core::Session& session, std::unique_ptr<core::Dialogs> dialogs,
                       QWidget* parent)
    : QMainWindow(parent), m_session(session),
      m_dialogs(dialogs ? std::move(dialogs) : std::make_unique<WidgetDialogs>(this)),
      m_workspace(std::make_unique<core::Workspace>(session)),
      m_files(std::make_unique<core::FileListController>(*m_workspace)),
      m_categories(std::make_unique<core::CategoryCommands>(*m_workspace, *m_files, *m_dialogs)),
      m_external(
          std::make_unique<external::ExternalTreeCommands>(*m_workspace, *m_files, *m_dialogs)),
      m_liveList(std::make_unique<core::LiveList>(*m_workspace, *m_files)),
      m_import(std::make_unique<fileops::ImportCommands>(*m_workspace, *m_dialogs)),
      m_recycleBox(std::make_unique<fileops::RecycleBoxCommands>(*m_workspace, *m_dialogs)),
      m_restore(std::make_unique<fileops::RestoreCommands>(*m_workspace, *m_dialogs)),
      m_notes(std::make_unique<fileops::NoteCommands>(*m_workspace, *m_dialogs)),
      m_search(std::make_unique<search::SearchCommands>(*m_workspace, *m_dialogs)),
      m_moves(std::make_unique<fileops::MoveCommands>(*m_workspace, *m_dialogs)),
      m_rename(std::make_unique<fileops::RenameCommands>(*m_workspace, *m_dialogs)),
      m_shell(std::make_unique<DesktopShell>()),
      m_run(std::make_unique<fileops::RunCommands>(*m_workspace, *m_dialogs, *m_shell, *m_notes)),
      m_sound(std::make_unique<EffectSound>()),
      m_htmlExport(std::make_unique<htmlexport::HtmlExport>(*m_workspace, *m_dialogs)),
      m_drives(std::make_unique<platform::SystemDriveOracle>()),
      m_send(std::make_unique<fileops::SendCommands>(*m_workspace, *m_dialogs, *m_drives)),
      m_attributes(
          std::make_unique<fileops::AttributeCommands>(*m_workspace, *m_dialogs, m_shell.get())),
      m_outward(std::make_unique<core::OutwardCommands>(session, *m_shell, *m_dialogs)),
      m_optionEffects(std::make_unique<WindowOptionEffects>(*this)),
      m_fileIcons(std::make_unique<FileIconProvider>())
{
    setObjectName(QStringLiteral("mainf"));
    setWindowTitle(core::texts::AppTitle);
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.png")));
    m_actions = new MainActions(this);
    m_outer = new OuterGeometry(this);
    buildLayout();
    m_look = std::make_unique<ListLook>(m_session, *m_dialogs,
                                        ListLook::Views{m_treePane->systemTree(),
                                                        m_treePane->externalTree(), m_fileView,
                                                        m_findView, m_topEdit});
    // The desktop's preference comes over the session bus.
    m_scheme = new ColorScheme(QDBusConnection::sessionBus(), this);
    connect(m_scheme, &ColorScheme::changed, this, [this] {
        m_look->applyScheme();
        m_documentPage->applyScheme();
    });
    createDropWindow();
    connectViews();
    connectCommands();
    setUpAtStart();
}

MainWindow::~MainWindow() = default;

void MainWindow::setShell(std::unique_ptr<platform::Shell> shell)
{
    m_shell = std::move(shell);
    m_run = std::make_unique<fileops::RunCommands>(*m_workspace, *m_dialogs, *m_shell, *m_notes);
    m_outward = std::make_unique<core::OutwardCommands>(m_session, *m_shell, *m_dialogs);
    m_attributes =
        std::make_unique<fileops::AttributeCommands>(*m_workspace, *m_dialogs, m_shell.get());
}

void MainWindow::setSound(std::unique_ptr<platform::Sound> sound)
{
    m_sound = std::move(sound);
    m_drop->setSound(m_sound.get());
}

void MainWindow::guarded(const std::function<void()>& command)
{
    core::showErrorsOf(*m_dialogs, command);
    updateCommandStates();
}

namespace {

// Commands whose folder choosers have the same title as the folder import's keep their own
// last folder: sending files out, and choosing an outside folder.
QString folderGroupOf(const QString& action)
{
    static const QHash<QString, QString> groups = {
        {QStringLiteral("sendother"), QStringLiteral("send")},
        {QStringLiteral("copytoother"), QStringLiteral("send")},
        {QStringLiteral("t101"), QStringLiteral("external")},
        {QStringLiteral("addtreebtn"), QStringLiteral("external")},
        {QStringLiteral("newuserdir"), QStringLiteral("external")},
        {QStringLiteral("rendef"), QStringLiteral("external")},
    };
    return groups.value(action);
}

} // namespace

void MainWindow::on(const QString& action, const std::function<void()>& command)
{
    connect(m_actions->action(action), &QAction::triggered, this, [this, action, command] {
        auto* widgets = dynamic_cast<WidgetDialogs*>(m_dialogs.get());
        if (widgets)
            widgets->setFolderGroup(folderGroupOf(action));
        guarded(command);
        if (widgets)
            widgets->setFolderGroup({});
    });
}

// ---------------------------------------------------------------------------------------
// Layout

void MainWindow::buildLayout()
{
    m_actions->buildMenuBar(menuBar());
    m_toolBar = new QToolBar(QStringLiteral("常用工具栏"), this);
    m_toolBar->setObjectName(QStringLiteral("ToolBar1"));
    m_toolBar->setMovable(false);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    // The original bar's 16-pixel pictures, drawn from the program's own scalable icons, so
    // every button shows at the designed width and stays sharp on a dense screen.
    m_toolBar->setIconSize(QSize(16, 16));
    m_actions->buildToolBar(m_toolBar);
    addToolBar(m_toolBar);

    m_treePane = new TreePane(this);
    m_workArea = new QStackedWidget(this);
    m_workArea->setObjectName(QStringLiteral("Notebook1"));
    m_workArea->addWidget(buildBrowsePage());
    m_workArea->addWidget(buildSearchPage());

    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName(QStringLiteral("Splitter1"));
    m_splitter->setHandleWidth(3);
    m_splitter->setChildrenCollapsible(false);
    m_splitter->addWidget(m_treePane);
    m_splitter->addWidget(m_workArea);
    m_splitter->setStretchFactor(1, 1);
    connect(m_splitter, &QSplitter::splitterMoved, this, &MainWindow::splitterMoved);
    setCentralWidget(m_splitter);

    m_status = new StatusPanelsBar(m_workspace->status(), this);
    setStatusBar(m_status);
}

QWidget* MainWindow::buildBrowsePage()
{
    auto* page = new QWidget(this);
    auto* strip = new QHBoxLayout;
    strip->setContentsMargins(0, 0, 0, 0);
    strip->setSpacing(2);
    m_clearEdit = new QToolButton(page);
    m_clearEdit->setObjectName(QStringLiteral("ClearEditText"));
    m_clearEdit->setIcon(icons::own(QStringLiteral("clear-edit")));
    m_clearEdit->setToolTip(QStringLiteral("清除修改"));
    m_clearEdit->setAccessibleName(QStringLiteral("清除修改"));
    m_clearEdit->setAutoRaise(true);
    m_saveEdit = new QToolButton(page);
    m_saveEdit->setObjectName(QStringLiteral("SaveEditText"));
    m_saveEdit->setIcon(icons::own(QStringLiteral("save-edit")));
    m_saveEdit->setToolTip(QStringLiteral("保存修改后的文字"));
    m_saveEdit->setAccessibleName(QStringLiteral("保存修改后的文字"));
    m_saveEdit->setAutoRaise(true);
    m_topEdit = new NoteEdit(page);
    m_topEdit->setObjectName(QStringLiteral("TopEdit"));
    m_topEdit->setAccessibleName(QStringLiteral("注释"));
    QFont editFont(QStringLiteral("宋体"));
    editFont.setPixelSize(12);
    m_topEdit->setFont(editFont);
    strip->addWidget(m_clearEdit);
    strip->addWidget(m_saveEdit);
    strip->addWidget(m_topEdit, 1);

    m_fileView = new FileListView(&m_workspace->fileList(), &m_workspace->fileSelection(), page);
    m_fileView->setObjectName(QStringLiteral("filelist"));
    m_fileView->setAccessibleName(QStringLiteral("文件列表"));

    // The file page and the document page.
    auto* notebook = new QStackedWidget(page);
    notebook->setObjectName(QStringLiteral("Notebook"));
    m_notebook = notebook;
    auto* filePage = new QWidget(notebook);
    auto* fileLayout = new QVBoxLayout(filePage);
    fileLayout->setContentsMargins(0, 0, 0, 0);
    fileLayout->setSpacing(0);
    fileLayout->addLayout(strip);
    fileLayout->addWidget(m_fileView, 1);
    notebook->addWidget(filePage);
    m_documentPage = new DocumentPage(*m_workspace, *m_dialogs, notebook);
    notebook->addWidget(m_documentPage);

    m_bottomTabs = new QTabBar(page);
    m_bottomTabs->setObjectName(QStringLiteral("TabCon"));
    m_bottomTabs->setShape(QTabBar::RoundedSouth);
    m_bottomTabs->addTab(icons::own(QStringLiteral("tab-files")), QStringLiteral("文件"));
    m_bottomTabs->addTab(icons::own(QStringLiteral("tab-document")), QStringLiteral("文档"));
    m_bottomTabs->setAccessibleName(QStringLiteral("文件和文档"));

    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(notebook, 1);
    layout->addWidget(m_bottomTabs);
    return page;
}

QWidget* MainWindow::buildSearchPage()
{
    m_searchPage = new SearchPage(*m_search, *m_workspace, *m_actions, this);
    m_findView = m_searchPage->findList();
    return m_searchPage;
}

// ---------------------------------------------------------------------------------------
// Views and commands

void MainWindow::connectViews()
{
    core::Workspace& w = *m_workspace;
    CategoryTreeView* system = m_treePane->systemTree();
    CategoryTreeView* external = m_treePane->externalTree();
    system->setModel(&w.systemTree());
    system->setSelectionModel(&w.systemTreeSelection());
    external->setModel(&w.externalTree());
    external->setSelectionModel(&w.externalTreeSelection());
    const auto nodeIcon = [](int kind) { return QVariant(icons::node(kind)); };
    w.systemTree().setIconProvider(nodeIcon);
    w.externalTree().setIconProvider(nodeIcon);
    w.fileList().setIconProvider(
        [this](const core::FileRow& row) { return QVariant(m_fileIcons->iconFor(row)); });
    w.searchList().setIconProvider(
        [this](const core::FileRow& row) { return QVariant(m_fileIcons->iconFor(row)); });

    connect(m_categories.get(), &core::CategoryCommands::expandRequested, system,
            &QTreeView::expand);
    connect(m_categories.get(), &core::CategoryCommands::editRequested, system,
            [system](const QModelIndex& index) {
                system->scrollTo(index);
                system->edit(index);
            });
    connect(&w.systemTreeSelection(), &QItemSelectionModel::currentChanged, system,
            [system](const QModelIndex& index) { system->scrollTo(index); });
    system->setKeyHandler(Qt::Key_Delete,
                          [this] { guarded([this] { m_categories->deltreeClick(); }); });
    system->setKeyHandler(Qt::Key_F2, [this] { guarded([this] { m_categories->rendirClick(); }); });
    system->setKeyHandler(Qt::Key_F5,
                          [this] { guarded([this] { m_categories->reftreeClick(); }); });
    connect(system, &QWidget::customContextMenuRequested, this, [this, system](const QPoint& at) {
        showPopup(QStringLiteral("treepop"), system->viewport()->mapToGlobal(at));
    });
    connect(m_external.get(), &external::ExternalTreeCommands::expandRequested, external,
            &QTreeView::expand);
    connect(m_external.get(), &external::ExternalTreeCommands::editRequested, external,
            [external](const QModelIndex& index) {
                external->scrollTo(index);
                external->edit(index);
            });
    connect(&w.externalTreeSelection(), &QItemSelectionModel::currentChanged, external,
            [external](const QModelIndex& index) { external->scrollTo(index); });
    external->setKeyHandler(Qt::Key_F2,
                            [this] { guarded([this] { m_external->editdirnameClick(); }); });
    connect(external, &QWidget::customContextMenuRequested, this,
            [this, external](const QPoint& at) {
                showPopup(QStringLiteral("tree2pop"), external->viewport()->mapToGlobal(at));
            });
    connect(m_treePane, &QToolBox::currentChanged, this, &MainWindow::OutBarChange);

    // The header shows the column the list is sorted by and the order it shows.
    const auto showSort = [](FileListView* view, const core::SortState& sort) {
        QHeaderView* header = view->details()->horizontalHeader();
        header->setSortIndicatorShown(true);
        header->setSortIndicator(sort.column,
                                 sort.ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    };
    showSort(m_fileView, w.fileSort());
    showSort(m_findView, w.searchSort());
    connect(m_fileView, &FileListView::headerClicked, this, [this, showSort](int column) {
        m_files->filelistColumnClick(column);
        showSort(m_fileView, m_workspace->fileSort());
    });
    connect(m_findView, &FileListView::headerClicked, this, [this, showSort](int column) {
        m_files->findListColumnClick(column);
        showSort(m_findView, m_workspace->searchSort());
    });
    m_fileView->setKeyHandler(Qt::Key_F5,
                              [this] { guarded([this] { m_files->flistrefClick(); }); });
    m_fileView->setKeyHandler(Qt::Key_Delete, [this] {
        if (m_workspace->fileSelection().hasSelection())
            guarded([this] { m_recycleBox->delselfileClick(); });
    });
    m_findView->setKeyHandler(Qt::Key_Delete,
                              [this] { guarded([this] { m_recycleBox->DELFMClick(); }); });
    // Dropping one row of the list onto another copies its note.
    m_fileView->setRowDropHandler(
        [this](bool fromThisList) {
            return m_notes->filelistDragOver(fromThisList,
                                             m_fileView->viewStyle() == FileListView::Details);
        },
        [this](int row) { guarded([this, row] { m_notes->filelistDragDrop(row); }); });
    connect(m_fileView, &FileListView::rowDoubleClicked, this,
            [this] { guarded([this] { m_run->filelistDblClick(); }); });
    connect(m_findView, &FileListView::rowDoubleClicked, this,
            [this] { guarded([this] { m_run->findListDblClick(); }); });
    for (const int key : {Qt::Key_Return, Qt::Key_Enter}) {
        m_fileView->setKeyHandler(key, [this] { guarded([this] { m_run->filelistDblClick(); }); });
        m_findView->setKeyHandler(key, [this] { guarded([this] { m_run->findListDblClick(); }); });
    }
    m_fileView->setKeyHandler(Qt::Key_F2,
                              [this] { guarded([this] { m_rename->renfileClick(); }); });
    connectDrops();

    // Renaming in place: a click on the caption of the selected row, or the rename commands.
    m_fileView->setCaptionEditing(true);
    m_findView->setCaptionEditing(true);
    w.fileList().setEditableRule([this](int) { return m_rename->filelistEditing(); });
    w.fileList().setEditHandler([this](int row, const QString& text) {
        guarded([&] { m_rename->filelistEdited(row, text); });
    });
    w.searchList().setEditableRule([](int) { return true; });
    w.searchList().setEditHandler([this](int row, const QString& text) {
        guarded([&] { m_rename->findListEdited(row, text); });
    });
    connect(m_rename.get(), &fileops::RenameCommands::editRequested, this,
            [this](core::FileListModel* list, int row) {
                FileListView* view = list == &m_workspace->fileList() ? m_fileView : m_findView;
                view->editCaption(row);
            });
    connect(m_fileView, &FileListView::contextMenuRequested, this,
            [this](const QPoint& at) { showPopup(QStringLiteral("filepop"), at); });
    connect(m_findView, &FileListView::contextMenuRequested, this,
            [this](const QPoint& at) { showPopup(QStringLiteral("findpop"), at); });

    connect(m_saveEdit, &QToolButton::clicked, this,
            [this] { guarded([this] { m_notes->SaveEditTextClick(); }); });
    connect(m_topEdit, &QLineEdit::returnPressed, this,
            [this] { guarded([this] { m_notes->SaveEditTextClick(); }); });
    connect(m_clearEdit, &QToolButton::clicked, this,
            [this] { guarded([this] { m_notes->ClearEditTextClick(); }); });
    // The note editor shows the workspace's text and gives it back as the user types.
    connect(m_topEdit, &QLineEdit::textChanged, &w, &core::Workspace::setTopEditText);
    connect(&w, &core::Workspace::topEditTextChanged, m_topEdit, [this](const QString& text) {
        if (m_topEdit->text() == text)
            return; // the user's own typing
        m_topEdit->showNote(text);
    });

    connect(&w, &core::Workspace::toolStatesChanged, this, &MainWindow::updateCommandStates);
    connect(&w.fileSelection(), &QItemSelectionModel::selectionChanged, this,
            &MainWindow::updateCommandStates);
    connect(&w.searchSelection(), &QItemSelectionModel::selectionChanged, this,
            &MainWindow::updateCommandStates);
    for (const char* name :
         {"t100", "t200", "t300", "t400", "treepop", "filepop", "tree2pop", "findpop"})
        connect(m_actions->menu(QLatin1String(name)), &QMenu::aboutToShow, this,
                &MainWindow::updateCommandStates);
}

void MainWindow::connectDrops()
{
    CategoryTreeView* system = m_treePane->systemTree();
    CategoryTreeView* external = m_treePane->externalTree();
    system->setDropHandlers(
        [this](core::DragSource source, const QModelIndex& node) {
            return m_moves->treeviewDragOver(m_workspace->systemTree(), source, node);
        },
        [this](core::DragSource source, const QModelIndex& node) {
            guarded([&] { m_moves->treeviewDragDrop(source, node); });
        });
    external->setDropHandlers(
        [this](core::DragSource source, const QModelIndex& node) {
            return m_moves->treeviewDragOver(m_workspace->externalTree(), source, node);
        },
        [this](core::DragSource source, const QModelIndex& node) {
            guarded([&] { m_moves->usertreeDragDrop(source, node); });
        });
    // A moved category shows in its new place.
    connect(m_moves.get(), &fileops::MoveCommands::categoryMoved, system,
            [system](const QModelIndex& index) {
                system->expand(index.parent());
                system->scrollTo(index);
            });
}

void MainWindow::connectCommands()
{
    // The list follows the disk, but never in the middle of a command, a menu or a dialog.
    m_liveList->setBusyRule(busyNow);
    // Rows that go away above what the list shows must not move what the user looks at.
    connect(m_liveList.get(), &core::LiveList::aboutToApply, this, [this] {
        const QAbstractItemView* view = m_fileView->currentView();
        const QModelIndex top = view->indexAt(QPoint(1, 1));
        m_liveTop = top.isValid()
                        ? TopRow{top.row(), top.column(), m_workspace->fileList().pathOf(top.row())}
                        : TopRow{};
    });
    connect(m_liveList.get(), &core::LiveList::applied, this, [this] {
        const TopRow top = std::exchange(m_liveTop, {});
        const core::FileListModel& list = m_workspace->fileList();
        if (top.row < 0 || list.count() == 0)
            return;
        // Rows keep their order and new ones come at the end, so the top row is found at or
        // above where it was.
        for (int row = std::min(top.row, list.count() - 1); row >= 0; --row) {
            if (list.pathOf(row) == top.path) {
                if (row != top.row)
                    m_fileView->currentView()->scrollTo(list.index(row, top.column),
                                                        QAbstractItemView::PositionAtTop);
                return;
            }
        }
    });
    connect(m_liveList.get(), &core::LiveList::folderVanished, this, [this] {
        // The tree's rule for a folder that is gone.
        if (m_workspace->section() == core::Workspace::Section::External)
            m_external->usertreeChange(m_workspace->selectedNode(m_workspace->externalTree()));
        else
            m_categories->treeviewChange(m_workspace->selectedNode(m_workspace->systemTree()));
    });
    const auto external = [this] {
        return m_workspace->section() == core::Workspace::Section::External;
    };
    for (const char* name : {"t101", "addtreebtn", "addtree"}) {
        on(QLatin1String(name), [this, external] {
            if (external())
                m_external->addtreeClick();
            else
                m_categories->addtreeClick();
        });
    }
    for (const char* name : {"t102", "deltreebtn", "deltree"}) {
        on(QLatin1String(name), [this, external] {
            if (external())
                m_external->deltreeClick();
            else
                m_categories->deltreeClick();
        });
    }
    on(QStringLiteral("newuserdir"), [this] { m_external->newuserdirClick(); });
    on(QStringLiteral("movedir"), [this] { m_external->movedirClick(); });
    on(QStringLiteral("editdirname"), [this] { m_external->editdirnameClick(); });
    on(QStringLiteral("rendef"), [this] { m_external->rendefClick(); });
    on(QStringLiteral("N25"), [this] { m_external->N25Click(); });
    on(QStringLiteral("rendir"), [this] { m_categories->rendirClick(); });
    on(QStringLiteral("reftree"), [this] { m_categories->reftreeClick(); });
    for (const char* name : {"refbtn", "flistref"})
        on(QLatin1String(name), [this] { m_files->flistrefClick(); });
    for (const char* name : {"t107", "ToolButton11"})
        on(QLatin1String(name), [this] { close(); });
    on(QStringLiteral("t201"), [this] {
        if (m_files->t201Click())
            m_fileView->currentView()->setFocus();
    });
    on(QStringLiteral("t202"), [this] {
        if (m_files->t202Click())
            m_fileView->currentView()->setFocus();
    });
    on(QStringLiteral("selall"), [this] { m_files->selallClick(); });
    on(QStringLiteral("reverssel"), [this] { m_files->reversselClick(); });
    on(QStringLiteral("t301"), [this] { t301Click(); });
    on(QStringLiteral("t302"), [this] { t302Click(); });
    on(QStringLiteral("t304"), [this] { m_look->t304Click(); });
    on(QStringLiteral("liststyle"), [this] { liststyleClick(); });
    on(QStringLiteral("showline"), [this] { showlineClick(); });
    for (const char* name : {"B1", "M1", "L1", "D1"}) {
        QAction* item = m_actions->action(QLatin1String(name));
        on(QLatin1String(name), [this, item] { m_fileView->SetViewStyle(item->data().toInt()); });
    }
    for (const char* name : {"TreeFontColor", "N34"})
        on(QLatin1String(name), [this] { m_look->chooseTreeColor(true); });
    for (const char* name : {"TreeBackColor", "N36"})
        on(QLatin1String(name), [this] { m_look->chooseTreeColor(false); });
    on(QStringLiteral("FileFontColor"), [this] { m_look->chooseListColor(true); });
    on(QStringLiteral("FileBackColor"), [this] { m_look->chooseListColor(false); });
    on(QStringLiteral("t403"), [this] { core::t403Click(*m_workspace, *m_dialogs); });

    for (const char* name : {"t103", "popmf", "N17"})
        on(QLatin1String(name), [this] { m_import->t103Click(); });
    for (const char* name : {"t104", "popcf", "N18"})
        on(QLatin1String(name), [this] { m_import->t104Click(); });
    for (const char* name : {"t1051", "N12"})
        on(QLatin1String(name), [this] { m_import->t1051Click(); });
    for (const char* name : {"t1052", "N13"})
        on(QLatin1String(name), [this] { m_import->t1052Click(); });
    for (const char* name : {"t106", "delfielbtn", "delselfile"})
        on(QLatin1String(name), [this] { m_recycleBox->delselfileClick(); });
    for (const char* name : {"emptybox", "emptyrec"})
        on(QLatin1String(name), [this] { m_recycleBox->emptyboxClick(); });
    on(QStringLiteral("DELFM"), [this] { m_recycleBox->DELFMClick(); });
    for (const char* name : {"t108", "restorefile"})
        on(QLatin1String(name), [this] { m_restore->restorefileClick(); });

    on(QStringLiteral("stfibtn"), [this] { stfibtnClick(); });
    on(QStringLiteral("t401"), [this] { t401Click(); });
    on(QStringLiteral("findButton"), [this] { m_search->findButtonClick(); });
    on(QStringLiteral("clsfindbtn"), [this] { m_search->clsfindbtnClick(); });
    on(QStringLiteral("moveitem"), [this] { m_search->moveitemClick(); });
    m_search->setRepaint([this] { repaintWhileBusy(); });
    for (const char* name : {"editmemobtn", "editmemo", "editm"})
        on(QLatin1String(name), [this] { m_notes->editmemoClick(); });
    on(QStringLiteral("copymemo"), [this] { m_notes->copymemoClick(); });
    on(QStringLiteral("clsmemo"), [this] { m_notes->clsmemoClick(); });
    for (const char* name : {"runsoft", "runfile", "ExecuteFile"})
        on(QLatin1String(name), [this] { m_run->runfileClick(); });
    for (const char* name : {"vfd", "openfild"})
        on(QLatin1String(name), [this] { m_run->openfildClick(); });
    on(QStringLiteral("renfile"), [this] { m_rename->renfileClick(); });
    on(QStringLiteral("renfn"), [this] { m_rename->renfnClick(); });
    connect(m_actions->action(QStringLiteral("showdrogwinbtn")), &QAction::toggled, this,
            &MainWindow::showdrogwinbtnClick);

    on(QStringLiteral("toAdrive"), [this] { m_send->toAdriveClick(); });
    on(QStringLiteral("sendother"), [this] { m_send->sendotherClick(); });
    on(QStringLiteral("copytofolly"), [this] { m_send->copytofollyClick(); });
    on(QStringLiteral("copytoother"), [this] { m_send->copytootherClick(); });
    for (const char* name : {"attrbtn", "fattr"})
        on(QLatin1String(name), [this] { m_attributes->fattrClick(); });
    on(QStringLiteral("t402"), [this] { t402Click(); });
    for (const char* name : {"t404", "sysconfig"})
        on(QLatin1String(name), [this] { t404Click(); });
    for (const char* name : {"t604", "ToolButton1"})
        on(QLatin1String(name), [this] { t604Click(); });
    for (const char* name : {"t601", "helpbtn"})
        on(QLatin1String(name), [this] { showHelp(); });
    // The search bar's help button opens the help at the search topic.
    on(QStringLiteral("SpeedButton2"), [this] { showHelp(QStringLiteral("findfile")); });
    on(QStringLiteral("t602"), [this] { m_outward->t602Click(); });
    on(QStringLiteral("t603"), [this] { m_outward->t603Click(); });
    for (const char* name : {"t203", "exedragpro"})
        on(QLatin1String(name), [this] { m_outward->exedragproClick(); });
    for (const char* name : {"PutToHtmlBtn", "BuildHtmlMenu"})
        on(QLatin1String(name), [this] { m_htmlExport->BuildHtmlMenuClick(); });
    connectDocumentPage();
}

void MainWindow::connectDocumentPage()
{
    fileops::DocumentCommands& document = m_documentPage->commands();
    on(QStringLiteral("t501"), [&document] { document.savenoteClick(); });
    on(QStringLiteral("t502"), [&document] { document.t502Click(); });
    on(QStringLiteral("t503"), [&document] { document.t503Click(); });
    on(QStringLiteral("t504"), [&document] { document.t504Click(); });
    on(QStringLiteral("t505"), [&document] { document.backcolorbtnClick(); });
    on(QStringLiteral("t303"), [this] { m_documentPage->t303Click(); });
    connect(m_documentPage, &DocumentPage::toolbarShownChanged, this,
            [this](bool shown) { m_actions->action(QStringLiteral("t303"))->setChecked(shown); });
    connect(m_documentPage, &DocumentPage::commandDone, this, &MainWindow::updateCommandStates);
    connect(m_actions->menu(QStringLiteral("t500")), &QMenu::aboutToShow, this,
            &MainWindow::updateCommandStates);
    connect(m_bottomTabs, &QTabBar::currentChanged, this, &MainWindow::bottomTabChanged);
}

void MainWindow::bottomTabChanged(int tab)
{
    if (tab == m_bottomTab)
        return;
    // The tab bar has already moved; a refused change moves it back.
    if (!m_documentPage->TabConChanging(m_bottomTab)) {
        const QSignalBlocker blocker(m_bottomTabs);
        m_bottomTabs->setCurrentIndex(m_bottomTab);
        return;
    }
    m_bottomTab = tab;
    m_notebook->setCurrentIndex(tab);
    m_documentPage->TabConChange(tab);
    ShowTabMenu();
    updateCommandStates();
}

void MainWindow::ShowTabMenu()
{
    m_actions->menu(QStringLiteral("t500"))
        ->menuAction()
        ->setVisible(m_bottomTab == fileops::DocumentCommands::DocumentTab);
}

// ---------------------------------------------------------------------------------------
// The drop window

void MainWindow::createDropWindow()
{
    // Its messages have no owner and stay on top, as this window may be hidden; dialogs that
    // a test gives stand in for them too.
    core::Dialogs* dialogs = m_dialogs.get();
    if (dynamic_cast<WidgetDialogs*>(m_dialogs.get())) {
        auto ownerless = std::make_unique<WidgetDialogs>(nullptr);
        ownerless->setStaysOnTop(true);
        m_ownerlessDialogs = std::move(ownerless);
        dialogs = m_ownerlessDialogs.get();
    }
    m_drop = std::make_unique<dropwin::DropCommands>(*m_workspace, *dialogs);
    m_drop->setSound(m_sound.get());
    m_dropWindow = std::make_unique<DropWindow>(*m_drop, *dialogs);
    connect(m_dropWindow.get(), &DropWindow::showMainRequested, this,
            &MainWindow::showmainformClick);
    connect(m_dropWindow.get(), &DropWindow::closedByMenu, this,
            [this] { m_actions->action(QStringLiteral("showdrogwinbtn"))->setChecked(false); });
    connect(m_dropWindow.get(), &DropWindow::helpRequested, this,
            [this] { showHelp(QStringLiteral("dropwin")); });
    // The mark in its corner follows the drop mode the options choose.
    connect(this, &MainWindow::dropModeChanged, m_dropWindow.get(), &DropWindow::showModeMark);
    connect(m_dropWindow.get(), &DropWindow::exitRequested, this, &QWidget::close);
}

void MainWindow::showdrogwinbtnClick(bool down)
{
    if (down) {
        m_dropWindow->showModeMark();
        m_dropWindow->show();
        m_dropWindow->raise();
        if (!m_dropWindow->keptOnTop() && !std::exchange(m_toldNotOnTop, true)) {
            if (isVisible())
                m_status->showMessage(core::texts::DropWindowNotOnTop, 20000);
            else
                m_tellNotOnTop = true;
        }
    } else {
        m_dropWindow->hide();
    }
}

void MainWindow::bringIn(const QStringList& paths)
{
    showmainformClick();
    if (!paths.isEmpty())
        m_incoming.append(paths);
    takeIncoming();
}

void MainWindow::takeIncoming()
{
    m_incomingWaits = false;
    if (m_incoming.isEmpty())
        return;
    if (busyNow()) {
        if (!std::exchange(m_incomingWaits, true))
            QTimer::singleShot(200, this, &MainWindow::takeIncoming);
        return;
    }
    while (!m_incoming.isEmpty() && !busyNow())
        m_dropWindow->DropFileDrop(m_incoming.takeFirst());
    updateCommandStates();
    if (!m_incoming.isEmpty())
        takeIncoming();
}

void MainWindow::showmainformClick()
{
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}

void MainWindow::t402Click()
{
    core::t402Click(m_session.layout(), m_session.fs(), m_session.writable(), *m_dialogs,
                    *m_categories, [this] { showHelp(QStringLiteral("template")); });
}

void MainWindow::t404Click()
{
    core::OptionsForm form(m_session, *m_optionEffects, *m_dialogs, m_session.options().SysHint,
                           documentToolsShown());
    form.showHelp = [this] { showHelp(QStringLiteral("sysoption")); };
    m_dialogs->runOptionsDialog(form);
    m_treePane->systemTree()->viewport()->update();
    m_treePane->externalTree()->viewport()->update();
}

void MainWindow::t604Click()
{
    AboutDialog about([this] { m_outward->Label_WebUrlClick(); }, this);
    about.exec();
}

void MainWindow::showHelp(const QString& topic)
{
    const QString file = m_session.layout().helpFilePath();
    if (!m_session.fs().isFile(file)) {
        m_dialogs->showMessage(QStringLiteral("找不到帮助文件") + file +
                               QStringLiteral("，无法显示帮助。"));
        return;
    }
    if (!m_help)
        m_help = new HelpViewer(file, this);
    m_help->showTopic(topic);
}

HelpViewer* MainWindow::helpViewer() const
{
    return m_help;
}

bool MainWindow::documentToolsShown() const
{
    return m_documentPage->toolbarShown();
}

void MainWindow::setDocumentToolsShown(bool shown)
{
    m_documentPage->setToolbarShown(shown);
}

void MainWindow::showPopup(const QString& menu, const QPoint& at)
{
    updateCommandStates();
    m_actions->menu(menu)->exec(at);
}

void MainWindow::updateCommandStates()
{
    core::Workspace& w = *m_workspace;
    MainActions& a = *m_actions;
    const core::ToolStates& tools = w.toolStates();
    const bool system = w.section() == core::Workspace::Section::System;
    const int systemKind = w.selectedKind(w.systemTree());
    const int externalKind = w.selectedKind(w.externalTree());
    const int activeKind = system ? systemKind : externalKind;

    a.setEnabled(QStringLiteral("addtreebtn"), tools.addtreebtn);
    a.setEnabled(QStringLiteral("deltreebtn"), tools.deltreebtn);
    a.setEnabled(QStringLiteral("refbtn"), tools.refbtn);
    a.setEnabled(QStringLiteral("addfilebtn"), tools.addfilebtn);
    a.setEnabled(QStringLiteral("vfd"), tools.vfd);

    const core::FileMenuStates file = core::fileMenuStates(tools, systemKind);
    a.setEnabled(QStringLiteral("t101"), file.t101);
    a.setEnabled(QStringLiteral("t102"), file.t102);
    for (const char* name : {"t103", "t104", "t1051", "t1052", "t105"})
        a.setEnabled(QLatin1String(name), file.t103);
    a.setEnabled(QStringLiteral("t106"), file.t106);

    const bool operation = core::operationMenuEnabled(!system, activeKind);
    a.setEnabled(QStringLiteral("t201"), operation);
    a.setEnabled(QStringLiteral("t202"), operation);
    // The document tool bar's item is shown only with the document page.
    a.setVisible(QStringLiteral("t303"), m_bottomTab == fileops::DocumentCommands::DocumentTab);
    a.action(QStringLiteral("t303"))->setChecked(m_documentPage->toolbarShown());
    const fileops::DocumentMenuStates document = m_documentPage->commands().t500Click();
    // Its key saves nothing while the file page is shown.
    a.setEnabled(QStringLiteral("t501"),
                 document.t501 && m_bottomTab == fileops::DocumentCommands::DocumentTab);
    a.setEnabled(QStringLiteral("t502"), document.t502);
    a.setEnabled(QStringLiteral("t503"), document.t503);
    a.setEnabled(QStringLiteral("t403"), core::noteCleanupEnabled(activeKind));

    const core::TreePopupStates tree = core::treePopupStates(tools, systemKind);
    a.setEnabled(QStringLiteral("addtree"), tree.addtree);
    a.setEnabled(QStringLiteral("deltree"), tree.deltree);
    a.setEnabled(QStringLiteral("rendir"), tree.rendir);
    a.setVisible(QStringLiteral("emptybox"), tree.emptyboxVisible);

    const bool fileSelected = w.fileSelection().hasSelection();
    const core::FilePopupStates popup =
        core::filePopupStates(tools, systemKind, m_session.writable(), fileSelected);
    for (const char* name : {"BuildHtmlMenu", "openfild", "flistref"})
        a.setEnabled(QLatin1String(name), popup.general);
    // The later steps of the rule decide their items whatever the first step said, so in the
    // external section the file items follow the file selection.
    for (const char* name : {"addfile", "N17", "N18"})
        a.setEnabled(QLatin1String(name), popup.addfile);
    for (const char* name :
         {"copymemo", "editmemo", "clsmemo", "runfile", "delselfile", "renfile", "sendto", "fattr"})
        a.setEnabled(QLatin1String(name), popup.fileCommands);
    const bool restore = core::restoreEnabled(activeKind, w.page() == core::Workspace::Page::Browse,
                                              m_session.writable(), fileSelected);
    a.setEnabled(QStringLiteral("t108"), restore);
    a.setEnabled(QStringLiteral("restorefile"), restore);
    a.setEnabled(QStringLiteral("FileFontColor"), popup.colours);
    a.setEnabled(QStringLiteral("FileBackColor"), popup.colours);

    const core::ExternalPopupStates ext = core::externalPopupStates(externalKind);
    a.setVisible(QStringLiteral("emptyrec"), ext.emptyrecVisible);
    a.setEnabled(QStringLiteral("movedir"), ext.movedir);
    a.setEnabled(QStringLiteral("editdirname"), ext.editdirname);
    a.setEnabled(QStringLiteral("rendef"), ext.rendef);

    const bool found = w.searchSelection().hasSelection();
    for (const char* name : {"editm", "renfn", "ExecuteFile", "DELFM", "moveitem", "copytofolly",
                             "copytoother", "selall", "reverssel"})
        a.setEnabled(QLatin1String(name), found);
}

// ---------------------------------------------------------------------------------------
// Start and close

void MainWindow::setUpAtStart()
{
    ApplyWritableState();

    if (m_session.writable()) {
        for (const QString& error : m_session.layout().createSpecialFolders(m_session.fs()))
            m_dialogs->showError(error);
    }
    LoadConfig();
    m_workArea->setCurrentIndex(0);
    m_bottomTabs->setCurrentIndex(0);
    m_fileView->SetViewStyle(m_loaded.listStyle);
    m_actions->viewStyleGroup()->actions().at(m_fileView->viewStyle())->setChecked(true);

    core::ConfigFile& config = m_session.config();
    m_session.options() = config.loadOptions();
    m_scheme->setChoice(m_session.options().ColorScheme);
    notes::NotesKeeper::setCommentsFollowNotes(m_session.options().XattrComment);
    ToolTipSwitch::install(m_session.options().SysHint);
    applyBackgrounds();

    // The drop window shows when it was shown at the last close, with the mode's mark.
    m_dropWindow->showModeMark();
    m_actions->action(QStringLiteral("showdrogwinbtn"))->setChecked(m_loaded.dropWindow.visible);

    m_categories->buildAtStart();
    m_external->buildAtStart();
    if (m_session.options().ExpNoteTree) {
        m_treePane->systemTree()->expand(m_workspace->systemTree().rootIndex());
        m_treePane->externalTree()->expand(m_workspace->externalTree().rootIndex());
    }
    // The nodes that were open at the last close open again.
    TreeExpansion::reopen(*m_treePane->systemTree(), m_workspace->systemTree(),
                          m_loaded.openSystemNodes);
    TreeExpansion::reopen(*m_treePane->externalTree(), m_workspace->externalTree(),
                          m_loaded.openExternalNodes);
    // The external root first, so that the status bar speaks of the tree that is shown.
    m_workspace->externalTreeSelection().setCurrentIndex(m_workspace->externalTree().rootIndex(),
                                                         QItemSelectionModel::ClearAndSelect);
    m_workspace->setSection(core::Workspace::Section::System);
    m_workspace->systemTreeSelection().setCurrentIndex(m_workspace->systemTree().rootIndex(),
                                                       QItemSelectionModel::ClearAndSelect);
    updateCommandStates();
}

void MainWindow::ApplyWritableState()
{
    // The note editor and its save button follow the read-only state, decided once.
    m_topEdit->setEnabled(m_session.writable());
    m_saveEdit->setEnabled(m_session.writable());
}

void MainWindow::applyBackgrounds()
{
    core::Options& options = m_session.options();
    core::ConfigFile& config = m_session.config();
    const auto apply = [&](QString& path, const char* key,
                           void (WindowOptionEffects::*show)(const QString&)) {
        if (path.trimmed().isEmpty())
            return;
        if (!m_session.fs().exists(path)) {
            // A picture that no longer exists is forgotten.
            path.clear();
            guarded(
                [&] { config.writeString(core::section::SystemConfig, QLatin1String(key), {}); });
            return;
        }
        guarded([&] { ((*m_optionEffects).*show)(path); });
    };
    apply(options.ToolbarBmp, "ToolbarBmp", &WindowOptionEffects::setToolbarPicture);
    apply(options.TreeBarBmp, "TreeBarBmp", &WindowOptionEffects::setTreePicture);
}

void MainWindow::LoadConfig()
{
    core::ConfigFile& config = m_session.config();
    const core::WindowSettings w = config.loadWindowSettings();
    m_loaded = w;

    // The stored size is the outer one, frame included.
    m_outer->restore(w.placement);

    m_splitter->setSizes({w.outBarWidth, qMax(100, w.placement.width - w.outBarWidth)});
    m_paneWidth = m_treePane->width() > 0 ? m_treePane->width() : w.outBarWidth;
    m_fileView->setColumnWidths(QList<int>(w.fileColumns.begin(), w.fileColumns.end()));
    m_findView->setColumnWidths(QList<int>(w.searchColumns.begin(), w.searchColumns.end()));

    m_workspace->systemTree().setCaption(m_workspace->systemTree().rootIndex(), w.rootCaption);
    m_dropWindow->move(w.dropWindow.left, w.dropWindow.top);

    m_toolBar->setVisible(w.toolbarShown);
    m_actions->action(QStringLiteral("t301"))->setChecked(w.toolbarShown);
    m_status->setVisible(w.statusbarShown);
    m_actions->action(QStringLiteral("t302"))->setChecked(w.statusbarShown);
    m_fileView->setGridLines(w.gridLines);
    m_actions->action(QStringLiteral("showline"))->setChecked(w.gridLines);

    m_look->applyAtStart(w.listFont);
    m_documentPage->applySettings(w.document);
}

void MainWindow::SaveConfig()
{
    core::WindowSettings w = m_loaded;
    const bool maximized = isMaximized();
    const bool normal = !maximized && !isMinimized();
    w.placement.maximized = maximized;
    if (normal) {
        const QRect outer = m_outer->outer();
        w.placement = {outer.y(), outer.x(), outer.height(), outer.width(), false};
    }
    w.outBarWidth = m_treePane->width();
    const QList<int> files = m_fileView->columnWidths();
    for (int i = 0; i < int(w.fileColumns.size()) && i < files.size(); ++i)
        w.fileColumns[size_t(i)] = files[i];
    const QList<int> found = m_findView->columnWidths();
    for (int i = 0; i < int(w.searchColumns.size()) && i < found.size(); ++i)
        w.searchColumns[size_t(i)] = found[i];
    w.gridLines = m_fileView->gridLines();
    w.toolbarShown = m_actions->action(QStringLiteral("t301"))->isChecked();
    w.statusbarShown = m_actions->action(QStringLiteral("t302"))->isChecked();
    w.listStyle = m_fileView->viewStyle();
    w.rootCaption = m_workspace->systemTree().captionOf(m_workspace->systemTree().rootIndex());
    w.dropWindow.visible = m_actions->action(QStringLiteral("showdrogwinbtn"))->isChecked();
    // Where the window system places windows itself, the place a window reports is not its
    // own: the stored one stays for the next session on X.
    if (m_dropWindow->keptOnTop()) {
        w.dropWindow.top = m_dropWindow->y();
        w.dropWindow.left = m_dropWindow->x();
    }
    m_documentPage->storeSettings(w.document);
    w.openSystemNodes =
        TreeExpansion::openNodes(*m_treePane->systemTree(), m_workspace->systemTree());
    w.openExternalNodes =
        TreeExpansion::openNodes(*m_treePane->externalTree(), m_workspace->externalTree());
    try {
        m_session.config().saveWindowSettings(w, normal);
    } catch (const std::exception&) {
        // Closing goes on whatever the file system says.
    }
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    SaveConfig();
    // The program ends with this window; the drop window goes with it.
    m_dropWindow->hide();
    event->accept();
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // A message given before the window showed would have the panels shown over it.
    if (std::exchange(m_tellNotOnTop, false))
        m_status->showMessage(core::texts::DropWindowNotOnTop, 20000);
}

void MainWindow::setFrameSource(std::function<QMargins()> frame)
{
    m_outer->setFrameSource(std::move(frame));
}

bool MainWindow::focusNextPrevChild(bool next)
{
    // On the file page Tab and Shift+Tab go round the tree, the note editor and the list.
    const bool filePage = m_workArea->currentIndex() == 0 && m_notebook->currentIndex() == 0;
    QWidget* focus = QApplication::focusWidget();
    if (!filePage || !focus)
        return QMainWindow::focusNextPrevChild(next);
    const std::array<QWidget*, 3> ring{m_treePane->currentWidget(), m_topEdit,
                                       m_fileView->currentView()};
    int at = -1;
    for (int i = 0; i < int(ring.size()); ++i) {
        if (ring[size_t(i)] && (ring[size_t(i)] == focus || ring[size_t(i)]->isAncestorOf(focus)))
            at = i;
    }
    if (at < 0)
        return QMainWindow::focusNextPrevChild(next);
    for (int step = 1; step < int(ring.size()); ++step) {
        const int i = (at + (next ? step : int(ring.size()) - step)) % int(ring.size());
        QWidget* target = ring[size_t(i)];
        if (target && target->isVisible() && target->isEnabled()) {
            target->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return true;
}

void MainWindow::splitterMoved()
{
    // A step that would make the tree pane wider than 300 pixels is refused; it keeps its
    // last width.
    const int width = m_treePane->width();
    if (width > 300 && width > m_paneWidth) {
        const QList<int> sizes = m_splitter->sizes();
        const int total = sizes.value(0) + sizes.value(1);
        const QSignalBlocker blocker(m_splitter);
        m_splitter->setSizes({m_paneWidth, qMax(0, total - m_paneWidth)});
        return;
    }
    m_paneWidth = width;
}

// ---------------------------------------------------------------------------------------
// Window commands

void MainWindow::OutBarChange(int section)
{
    core::Workspace& w = *m_workspace;
    const bool external = section == 1;
    w.setSection(external ? core::Workspace::Section::External : core::Workspace::Section::System);
    core::CategoryTreeModel& tree = w.activeTree();
    QModelIndex node = w.selectedNode(tree);
    if (!node.isValid()) {
        // Selecting the top node runs the change handler through the selection.
        w.activeTreeSelection().setCurrentIndex(tree.rootIndex(),
                                                QItemSelectionModel::ClearAndSelect);
        return;
    }
    guarded([&] {
        if (external)
            m_external->usertreeChange(node);
        else
            m_categories->treeviewChange(node);
    });
}

void MainWindow::stfibtnClick()
{
    QAction* button = m_actions->action(QStringLiteral("stfibtn"));
    const bool down = button->isChecked();
    m_search->stfibtnClick(down);
    m_workArea->setCurrentIndex(down ? 1 : 0);
    button->setIcon(icons::own(down ? QStringLiteral("search-active") : QStringLiteral("search")));
    button->setToolTip(down ? search::texts::ToBrowseHint : search::texts::ToSearchHint);
    // The page that opens takes the focus: the keyword box, or the file list.
    if (down) {
        m_findView->setGridLines(m_fileView->gridLines());
        m_searchPage->focusKeyword(false);
    } else if (m_notebook->currentIndex() == 0) {
        m_fileView->currentView()->setFocus(Qt::OtherFocusReason);
    }
    m_actions->action(QStringLiteral("t401"))->setChecked(down);
}

void MainWindow::t401Click()
{
    // The menu item's check mark has already flipped; the button follows it.
    m_actions->action(QStringLiteral("stfibtn"))
        ->setChecked(m_actions->action(QStringLiteral("t401"))->isChecked());
    stfibtnClick();
}

void MainWindow::repaintWhileBusy()
{
    // Paints the whole window at once without taking any event, so nothing the user does
    // can start in the middle of a command.
    repaint();
}

void MainWindow::t301Click()
{
    m_toolBar->setVisible(!m_toolBar->isVisible());
    m_actions->action(QStringLiteral("t301"))->setChecked(m_toolBar->isVisible());
}

void MainWindow::t302Click()
{
    // The check mark has already flipped; the status bar follows it.
    m_status->setVisible(m_actions->action(QStringLiteral("t302"))->isChecked());
}

void MainWindow::liststyleClick()
{
    m_fileView->SetViewStyle((m_fileView->viewStyle() + 1) % 4);
    m_actions->viewStyleGroup()->actions().at(m_fileView->viewStyle())->setChecked(true);
}

void MainWindow::showlineClick()
{
    const bool shown = !m_fileView->gridLines();
    m_fileView->setGridLines(shown);
    m_findView->setGridLines(shown);
    m_actions->action(QStringLiteral("showline"))->setChecked(shown);
}

} // namespace ui
