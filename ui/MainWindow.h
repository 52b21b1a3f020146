#pragma once
// The program's working window: the tool bar, the tree pane, the file list with its note
// strip, the search page and the status bar. It routes every menu, tool button, key and
// pop-up to the command that owns it and keeps the commands' availability up to date.

#include "core/Dialogs.h"
#include "core/Settings.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class QLineEdit;
class QStackedWidget;
class QSplitter;
class QTabBar;
class QToolBar;
class QToolButton;

namespace core {
class CategoryCommands;
class ExternalTreeCommands;
class FileListController;
class Session;
class Workspace;
} // namespace core

namespace fileops {
class ImportCommands;
class NoteCommands;
class RecycleBoxCommands;
} // namespace fileops

namespace search {
class SearchCommands;
}

namespace ui {

class FileIconProvider;
class FileListView;
class MainActions;
class SearchPage;
class StatusPanelsBar;
class TreePane;
class WidgetDialogs;

class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    // `dialogs` stands in for the program's message boxes and dialogs (tests script them);
    // without it the window uses Qt's.
    explicit MainWindow(core::Session& session, std::unique_ptr<core::Dialogs> dialogs = nullptr,
                        QWidget* parent = nullptr);
    ~MainWindow() override;

    core::Workspace& workspace() const { return *m_workspace; }
    MainActions& actions() const { return *m_actions; }
    core::Dialogs& dialogs() const { return *m_dialogs; }
    TreePane* treePane() const { return m_treePane; }
    FileListView* fileView() const { return m_fileView; }
    FileListView* findView() const { return m_findView; }
    SearchPage* searchPage() const { return m_searchPage; }
    search::SearchCommands& searchCommands() const { return *m_search; }
    StatusPanelsBar* statusPanels() const { return m_status; }
    QToolBar* toolBar() const { return m_toolBar; }
    QLineEdit* topEdit() const { return m_topEdit; }
    QSplitter* splitter() const { return m_splitter; }

    // LoadConfig and SaveConfig: the window's settings from and to the configuration file.
    void LoadConfig();
    void SaveConfig();
    // Recomputes the availability of every command from the selections.
    void updateCommandStates();

    // Runs a command; an error it raises is shown in the error box.
    void guarded(const std::function<void()>& command);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildLayout();
    QWidget* buildBrowsePage();
    QWidget* buildSearchPage();
    void connectCommands();
    void connectViews();
    void setUpAtStart();
    void ApplyWritableState();
    void applyBackgrounds();
    void OutBarChange(int section);
    void stfibtnClick();
    void t401Click();
    void repaintWhileBusy();
    void t301Click();
    void t302Click();
    void liststyleClick();
    void showlineClick();
    void chooseTreeColor(bool font);
    void chooseListColor(bool font);
    void t304Click();
    void applyListFont(const core::FontSpec& font);
    void showPopup(const QString& menu, const QPoint& at);
    void rowDoubleClicked();
    void on(const QString& action, const std::function<void()>& command);

    core::Session& m_session;
    std::unique_ptr<core::Dialogs> m_dialogs;
    std::unique_ptr<core::Workspace> m_workspace;
    std::unique_ptr<core::FileListController> m_files;
    std::unique_ptr<core::CategoryCommands> m_categories;
    std::unique_ptr<core::ExternalTreeCommands> m_external;
    std::unique_ptr<fileops::ImportCommands> m_import;
    std::unique_ptr<fileops::RecycleBoxCommands> m_recycleBox;
    std::unique_ptr<fileops::NoteCommands> m_notes;
    std::unique_ptr<search::SearchCommands> m_search;
    std::unique_ptr<FileIconProvider> m_fileIcons;
    MainActions* m_actions = nullptr;
    QToolBar* m_toolBar = nullptr;
    QSplitter* m_splitter = nullptr;
    TreePane* m_treePane = nullptr;
    QStackedWidget* m_workArea = nullptr;
    QTabBar* m_bottomTabs = nullptr;
    QLineEdit* m_topEdit = nullptr;
    QToolButton* m_saveEdit = nullptr;
    QToolButton* m_clearEdit = nullptr;
    FileListView* m_fileView = nullptr;
    FileListView* m_findView = nullptr;
    SearchPage* m_searchPage = nullptr;
    StatusPanelsBar* m_status = nullptr;
    core::WindowSettings m_loaded; // what the file held, for the settings this window keeps
    QColor m_listText;
    QColor m_listBack;
};

} // namespace ui
