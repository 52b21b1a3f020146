#pragma once
// The about box: the program's icon, name and version, the terms of use, the maker's credit
// and the link to the home page.

#include <QDialog>

#include <functional>

class QLabel;

namespace ui {

class AboutDialog : public QDialog
{
    Q_OBJECT
public:
    // `openHomePage` runs when the link is clicked.
    AboutDialog(std::function<void()> openHomePage, QWidget* parent = nullptr);

    QLabel* versionLabel() const { return m_version; }
    QLabel* link() const { return m_link; }

private:
    QLabel* m_version;
    QLabel* m_link;
};

} // namespace ui
