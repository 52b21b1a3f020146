#pragma once
// Every command of the main window as a named action, and the menus, pop-up menus and tool
// bar built from them. Actions are found by their item names ("t101", "addtreebtn", ...).

#include <QHash>
#include <QObject>
#include <QString>

class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

namespace ui {

class MainActions : public QObject
{
    Q_OBJECT
public:
    explicit MainActions(QWidget* window);

    QAction* action(const QString& name) const;
    QMenu* menu(const QString& name) const;
    const QHash<QString, QAction*>& all() const { return m_actions; }

    // Builds the menu bar and the tool bar.
    void buildMenuBar(QMenuBar* bar);
    void buildToolBar(QToolBar* bar);

    // Enables or disables an item (an action or a sub-menu) by its name.
    void setEnabled(const QString& name, bool enabled);
    void setVisible(const QString& name, bool visible);

    QActionGroup* viewStyleGroup() const { return m_viewStyles; }

private:
    QAction* add(const QString& name, const QString& text, const QString& icon = {});
    QMenu* addMenu(const QString& name, const QString& title);
    void buildPopups();

    QWidget* m_window;
    QHash<QString, QAction*> m_actions;
    QHash<QString, QMenu*> m_menus;
    QActionGroup* m_viewStyles = nullptr;
};

} // namespace ui
