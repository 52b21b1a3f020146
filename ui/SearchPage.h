#pragma once
// The search page: the search bar (mode, keyword box with this run's keywords, and the
// search, clear and help buttons) above the result list. The bar shows the search commands'
// keyword, history and mode and hands the user's typing back to them.

#include <QWidget>

class QComboBox;
class QToolButton;

namespace core {
class Workspace;
}
namespace search {
class SearchCommands;
}

namespace ui {

class FileListView;
class MainActions;

class SearchPage : public QWidget
{
    Q_OBJECT
public:
    // The buttons show the actions "findButton", "clsfindbtn" and "SpeedButton2".
    SearchPage(search::SearchCommands& commands, core::Workspace& workspace, MainActions& actions,
               QWidget* parent = nullptr);

    FileListView* findList() const { return m_findList; }
    QComboBox* modeBox() const { return m_mode; }
    QComboBox* keywordBox() const { return m_keyword; }
    QToolButton* button(const QString& name) const;
    // The keyword box takes the focus, with its text selected or not.
    void focusKeyword(bool selectAll);

private:
    void showHistory(const QStringList& history);
    void showKeyword(const QString& text);

    search::SearchCommands& m_commands;
    QComboBox* m_mode = nullptr;
    QComboBox* m_keyword = nullptr;
    FileListView* m_findList = nullptr;
};

} // namespace ui
