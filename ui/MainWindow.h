#pragma once
// The program's working window: the tool bar, the tree pane, the file list with its note
// strip, the search page and the status bar. It routes every menu, tool button, key and
// pop-up to the command that owns it and keeps the commands' availability up to date.

#include "core/Dialogs.h"
#include "core/Settings.h"

#include <QMainWindow>
#include <QMargins>
#include <QPointer>

#include <functional>
#include <memory>

class QLineEdit;
class QMenu;
class QStackedWidget;
class QSplitter;
class QTabBar;
class QToolBar;
class QToolButton;

namespace core {
class CategoryCommands;
class FileListController;
class LiveList;
class OutwardCommands;
class Session;
class Workspace;
} // namespace core

namespace external {
class ExternalTreeCommands;
} // namespace external

namespace htmlexport {
class HtmlExport;
}

namespace fileops {
class AttributeCommands;
class ImportCommands;
class MoveCommands;
class NoteCommands;
class RecycleBoxCommands;
class RestoreCommands;
class RenameCommands;
class RunCommands;
class SendCommands;
} // namespace fileops

namespace search {
class SearchCommands;
}

namespace dropwin {
class DropCommands;
}

namespace platform {
class DriveOracle;
class Shell;
class Sound;
} // namespace platform

namespace ui {

class ColorScheme;
class DropWindow;
class DocumentPage;
class FileIconProvider;
class FileListView;
class HelpViewer;
class ListLook;
class MainActions;
class NoteEdit;
class OuterGeometry;
class SearchPage;
class StatusPanelsBar;
class TreePane;
class WidgetDialogs;
class WindowOptionEffects;

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
    core::LiveList& liveList() const { return *m_liveList; }
    FileListView* findView() const { return m_findView; }
    SearchPage* searchPage() const { return m_searchPage; }
    search::SearchCommands& searchCommands() const { return *m_search; }
    StatusPanelsBar* statusPanels() const { return m_status; }
    QToolBar* toolBar() const { return m_toolBar; }
    NoteEdit* topEdit() const { return m_topEdit; }
    QSplitter* splitter() const { return m_splitter; }
    DropWindow* dropWindow() const { return m_dropWindow.get(); }
    // Light or dark, as the options and the desktop say.
    ColorScheme* colorScheme() const { return m_scheme; }

    // What starts programs and opens files and folders, and what plays the drop sound; the
    // desktop's unless a test stands in.
    void setShell(std::unique_ptr<platform::Shell> shell);
    void setSound(std::unique_ptr<platform::Sound> sound);
    QTabBar* bottomTabs() const { return m_bottomTabs; }
    DocumentPage* documentPage() const { return m_documentPage; }

    // LoadConfig and SaveConfig: the window's settings from and to the configuration file.
    void LoadConfig();
    void SaveConfig();
    // Recomputes the availability of every command from the selections.
    void updateCommandStates();

    // No built-in menu of bars: the tool bar has one switch, t301.
    QMenu* createPopupMenu() override { return nullptr; }

    // Runs a command; an error it raises is shown in the error box.
    void guarded(const std::function<void()>& command);

    // The help file at a topic ("sysoption", "dropwin", "findfile"), or at its contents for
    // none; a missing help file is reported.
    void showHelp(const QString& topic = {});
    HelpViewer* helpViewer() const;

    // Where the window manager's frame margins come from: the platform's unless a test stands
    // in (no margins: the frame is not known yet).
    void setFrameSource(std::function<QMargins()> frame);

    // Files a later start handed over, or named at this start: the window comes to the front
    // and they are brought into the selected category as the drop window brings dropped
    // files, once no command, menu or dialog is under way.
    void bringIn(const QStringList& paths);

    // The document page's tool bar, shown or hidden.
    bool documentToolsShown() const;
    void setDocumentToolsShown(bool shown);

Q_SIGNALS:
    // The drop mode the options chose: 0 copies dropped files, 1 moves them.
    void dropModeChanged(int mode);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool focusNextPrevChild(bool next) override;

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
    void splitterMoved();
    void connectDocumentPage();
    void bottomTabChanged(int tab);
    void ShowTabMenu();
    void t301Click();
    void t302Click();
    void liststyleClick();
    void showlineClick();
    void t402Click();
    void t404Click();
    void t604Click();
    void showPopup(const QString& menu, const QPoint& at);
    void createDropWindow();
    void showdrogwinbtnClick(bool down);
    void showmainformClick();
    void takeIncoming();
    void connectDrops();
    void on(const QString& action, const std::function<void()>& command);

    core::Session& m_session;
    std::unique_ptr<core::Dialogs> m_dialogs;
    std::unique_ptr<core::Workspace> m_workspace;
    std::unique_ptr<core::FileListController> m_files;
    std::unique_ptr<core::CategoryCommands> m_categories;
    std::unique_ptr<external::ExternalTreeCommands> m_external;
    std::unique_ptr<core::LiveList> m_liveList;
    struct TopRow
    {
        int row = -1;
        int column = 0;
        QString path;
    };
    TopRow m_liveTop; // the row at the top of the file list while the disk's changes apply
    std::unique_ptr<fileops::ImportCommands> m_import;
    std::unique_ptr<fileops::RecycleBoxCommands> m_recycleBox;
    std::unique_ptr<fileops::RestoreCommands> m_restore;
    std::unique_ptr<fileops::NoteCommands> m_notes;
    std::unique_ptr<search::SearchCommands> m_search;
    std::unique_ptr<fileops::MoveCommands> m_moves;
    std::unique_ptr<fileops::RenameCommands> m_rename;
    std::unique_ptr<platform::Shell> m_shell;
    std::unique_ptr<fileops::RunCommands> m_run;
    std::unique_ptr<platform::Sound> m_sound;
    std::unique_ptr<core::Dialogs> m_ownerlessDialogs; // the drop window's, without an owner
    std::unique_ptr<dropwin::DropCommands> m_drop;
    std::unique_ptr<DropWindow> m_dropWindow;
    bool m_toldNotOnTop = false;   // the status bar said why the drop window is not on top
    bool m_tellNotOnTop = false;   // ... and says it when this window shows
    QList<QStringList> m_incoming; // files handed over, each hand-over one drop
    bool m_incomingWaits = false;  // a later try is due
    std::unique_ptr<htmlexport::HtmlExport> m_htmlExport;
    std::unique_ptr<platform::DriveOracle> m_drives;
    std::unique_ptr<fileops::SendCommands> m_send;
    std::unique_ptr<fileops::AttributeCommands> m_attributes;
    std::unique_ptr<core::OutwardCommands> m_outward;
    std::unique_ptr<WindowOptionEffects> m_optionEffects;
    QPointer<HelpViewer> m_help;
    std::unique_ptr<FileIconProvider> m_fileIcons;
    MainActions* m_actions = nullptr;
    QToolBar* m_toolBar = nullptr;
    QSplitter* m_splitter = nullptr;
    TreePane* m_treePane = nullptr;
    QStackedWidget* m_workArea = nullptr;
    QStackedWidget* m_notebook = nullptr;
    QTabBar* m_bottomTabs = nullptr;
    int m_bottomTab = 0; // the tab shown, for the question before it changes
    DocumentPage* m_documentPage = nullptr;
    NoteEdit* m_topEdit = nullptr;
    QToolButton* m_saveEdit = nullptr;
    QToolButton* m_clearEdit = nullptr;
    FileListView* m_fileView = nullptr;
    FileListView* m_findView = nullptr;
    SearchPage* m_searchPage = nullptr;
    StatusPanelsBar* m_status = nullptr;
    core::WindowSettings m_loaded; // what the file held, for the settings this window keeps
    int m_paneWidth = 0;           // the tree pane's width before the splitter's last step
    OuterGeometry* m_outer = nullptr;
    std::unique_ptr<ListLook> m_look;
    ColorScheme* m_scheme = nullptr;
};

} // namespace ui
