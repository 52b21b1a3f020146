#pragma once
// The help viewer: the HTML help file beside the program, shown at its contents or at a named
// topic ("sysoption", "dropwin", "findfile"), with back, forward and contents buttons. It is a
// window of its own, also for screen readers.

#include <QMainWindow>

class QTextBrowser;

namespace ui {

class HelpViewer : public QMainWindow
{
    Q_OBJECT
public:
    explicit HelpViewer(const QString& helpFile, QWidget* parent = nullptr);

    // Shows the topic (the contents for an empty one) and brings the viewer to the front.
    void showTopic(const QString& topic);
    QTextBrowser* browser() const { return m_browser; }

private:
    void followModalDialog();
    // Opens over the main window, on its screen and within the screen's free area, smaller
    // when the screen is; a viewer the user placed there stays where it is.
    void placeOnOwnersScreen();

    QString m_helpFile;
    QWidget* m_home = nullptr; // the owner outside modal dialogs
    bool m_placed = false;
    QTextBrowser* m_browser;
};

} // namespace ui
