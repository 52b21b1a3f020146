#pragma once
// The document page of the browse area: the editor of the selected file's detailed document
// with its tool bar, which docks on any side of the page or hides, and the tool bar's
// pop-up menu. The page's commands are fileops::DocumentCommands.

#include "core/Dialogs.h"
#include "core/Settings.h"
#include "core/Workspace.h"
#include "fileops/DocumentEditor.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QActionGroup;
class QMenu;
class QPlainTextEdit;
class QToolBar;

namespace fileops {
class DocumentCommands;
}

namespace ui {

class DocumentPage : public QMainWindow, private fileops::DocumentEditor
{
    Q_OBJECT
public:
    DocumentPage(core::Workspace& workspace, core::Dialogs& dialogs, QWidget* parent = nullptr);
    ~DocumentPage() override;

    fileops::DocumentCommands& commands() const { return *m_commands; }
    QPlainTextEdit* editor() const { return m_editor; }
    QToolBar* toolBar() const { return m_toolBar; }
    QMenu* dockMenu() const { return m_dockMenu; }
    QAction* action(const QString& name) const;

    // TabConChanging and TabConChange of the bottom tabs, for this page.
    bool TabConChanging(int currentTab);
    void TabConChange(int tab);

    // Docks the tool bar at a side (1 top, 2 bottom, 3 left, 4 right) and marks it; any
    // other value changes nothing.
    void dockAt(int side);
    // The edge border and the dock menu's mark for the side the tool bar docks to.
    void SetDocToolbar(int side);
    int dockSide() const { return m_side; }
    // Shows or hides the tool bar ("显示文档工具栏", "隐藏工具栏").
    void t303Click();
    void setToolbarShown(bool shown);
    bool toolbarShown() const;

    // The editor's colours again, after the colour scheme changed.
    void applyScheme();
    // The editor's font and colours, and the tool bar's side and visibility.
    void applySettings(const core::DocumentSettings& settings);
    void storeSettings(core::DocumentSettings& settings) const;

Q_SIGNALS:
    // The tool bar was shown or hidden.
    void toolbarShownChanged(bool shown);
    // A command ran: the states that depend on the page may have changed.
    void commandDone();

private:
    // fileops::DocumentEditor
    QString text() const override;
    bool hasText() const override;
    void setText(const QString& text) override;
    bool isModified() const override;
    void setModified(bool modified) override;
    void setEditorEnabled(bool enabled) override;
    void setLook(const core::FontSpec& font, int backColor) override;

    QAction* addTool(const QString& name, const QString& hint, const QString& icon);
    void buildDockMenu();
    void run(const std::function<void()>& command);
    void updateButtons();
    void updateEditActions();
    QWidget* editTarget() const;

    core::Dialogs& m_dialogs;
    QPlainTextEdit* m_editor = nullptr;
    QToolBar* m_toolBar = nullptr;
    QMenu* m_dockMenu = nullptr;
    QActionGroup* m_dockSides = nullptr;
    std::unique_ptr<fileops::DocumentCommands> m_commands;
    int m_side = 4;
    core::FontSpec m_lookFont; // the editor's font and colours as stored
    int m_lookBack = 16777215;
    QMetaObject::Connection m_focusSelection;
};

} // namespace ui
