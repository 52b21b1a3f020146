#pragma once
// The desktop drop window: a tiny frameless square that stays above every other window,
// apart from the main window, and takes files and folders dropped from any file manager into
// the category selected in the main window. Its corner shows the drop mode, which a click
// switches; its picture is the grip to move it; its pop-up menu holds the window's commands.
// Where the window system lets no program keep a window on top or place it (Wayland), it is
// an ordinary window with a task-bar entry, so that it can be found again when covered.

#include <QIcon>
#include <QWidget>

#include <functional>

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QMimeData;

namespace core {
class Dialogs;
}
namespace dropwin {
class DropCommands;
}

namespace ui {

class DropWindow : public QWidget
{
    Q_OBJECT
public:
    // `dialogs` shows the window's messages and the errors of its commands.
    DropWindow(dropwin::DropCommands& commands, core::Dialogs& dialogs, QWidget* parent = nullptr);

    // The mark in the corner shows the current drop mode.
    void showModeMark();
    // False where the window system keeps no window on top and places none.
    bool keptOnTop() const { return m_keptOnTop; }
    // Brings the dropped paths (or the files a later start handed over) into the selected
    // category; questions and messages as for a drop.
    void DropFileDrop(const QStringList& paths);

    QLabel* modeLabel() const { return m_mark; }
    QLabel* picture() const { return m_picture; }
    QMenu* popupMenu() const { return m_menu; }
    // The pop-up menu's items by name: showmainform, MoveDR, CopyDR, CloseDragFormMenu, N4,
    // haltmenu.
    QAction* menuAction(const QString& name) const;

    // The local paths a drag carries as "text/uri-list", in its order (an address that cannot
    // be read as it stands, for the drop to refuse).
    static QStringList droppedPaths(const QMimeData* data);

Q_SIGNALS:
    void showMainRequested();
    // Hidden by its own menu; the main window's button goes up.
    void closedByMenu();
    void helpRequested();
    void exitRequested();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenu();
    QAction* addItem(const QString& name, const QString& text);
    void dwPopupMenuPopup();
    void guarded(const std::function<void()>& command);
    void paintPicture();

    dropwin::DropCommands& m_commands;
    core::Dialogs& m_dialogs;
    QLabel* m_picture = nullptr;
    QLabel* m_mark = nullptr;
    QMenu* m_menu = nullptr;
    QActionGroup* m_modes = nullptr;
    QIcon m_pictureIcon;
    bool m_keptOnTop = true;
};

} // namespace ui
