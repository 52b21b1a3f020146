#include "ui/HelpViewer.h"

#include "ui/Icons.h"

#include <QApplication>
#include <QDialog>
#include <QScreen>
#include <QScrollBar>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>
#include <QWindow>

namespace ui {

namespace {

constexpr QSize kSize(760, 560); // the viewer's size where the screen has room

} // namespace

HelpViewer::HelpViewer(const QString& helpFile, QWidget* parent)
    : QMainWindow(parent, Qt::Window), m_helpFile(helpFile), m_browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QStringLiteral("Quillet 帮助"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.png")));
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    m_browser->setAccessibleName(QStringLiteral("帮助内容"));
    // Links to the web and to mail go to the desktop; links inside the file stay here.
    m_browser->setOpenExternalLinks(true);

    auto* tools = new QToolBar(QStringLiteral("帮助工具栏"), this);
    tools->setObjectName(QStringLiteral("HelpTools"));
    tools->setMovable(false);
    tools->setIconSize(QSize(16, 16));
    tools->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QAction* back = tools->addAction(icons::own(QStringLiteral("go-back")), QStringLiteral("后退"),
                                     m_browser, &QTextBrowser::backward);
    QAction* forward = tools->addAction(icons::own(QStringLiteral("go-forward")),
                                        QStringLiteral("前进"), m_browser, &QTextBrowser::forward);
    tools->addAction(icons::own(QStringLiteral("help-contents")), QStringLiteral("目录"), this,
                     [this] { showTopic(QString()); });
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);

    addToolBar(tools);
    setCentralWidget(m_browser);
    resize(kSize);
}

void HelpViewer::placeOnOwnersScreen()
{
    QWidget* owner = m_home ? m_home : parentWidget();
    QScreen* screen = owner ? owner->screen() : this->screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    // The frame is the window manager's; the main window's tells how wide it is.
    const QWindow* framed = owner ? owner->windowHandle() : nullptr;
    const QMargins frame = framed ? framed->frameMargins() : QMargins();
    const QSize frameSize(frame.left() + frame.right(), frame.top() + frame.bottom());
    if (m_placed && area.contains(QRect(pos(), size() + frameSize)))
        return;
    QRect outer(QPoint(), (m_placed ? size() : kSize) + frameSize);
    outer.setSize(outer.size().boundedTo(area.size()));
    outer.moveCenter(owner ? owner->frameGeometry().center() : area.center());
    outer.moveLeft(qBound(area.left(), outer.left(), area.right() - outer.width() + 1));
    outer.moveTop(qBound(area.top(), outer.top(), area.bottom() - outer.height() + 1));
    resize(outer.size() - frameSize);
    move(outer.topLeft()); // a window's position is its frame's
    m_placed = true;
}

void HelpViewer::followModalDialog()
{
    // A modal dialog blocks every window but its own, so while one is open the viewer
    // belongs to it, and goes back to its first owner when the dialog closes.
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner || owner == this || owner == parentWidget())
        return;
    if (!m_home)
        m_home = parentWidget();
    const QRect place = geometry();
    setParent(owner, Qt::Window);
    setGeometry(place);
    if (auto* dialog = qobject_cast<QDialog*>(owner)) {
        connect(
            dialog, &QDialog::finished, this,
            [this] {
                const bool shown = isVisible();
                const QRect place = geometry();
                setParent(m_home, Qt::Window);
                setGeometry(place);
                if (shown)
                    show();
            },
            Qt::SingleShotConnection);
    }
}

void HelpViewer::showTopic(const QString& topic)
{
    followModalDialog();
    QUrl url = QUrl::fromLocalFile(m_helpFile);
    if (!topic.isEmpty())
        url.setFragment(topic);
    m_browser->setSource(url);
    if (topic.isEmpty())
        m_browser->verticalScrollBar()->setValue(0);
    if (!isVisible())
        placeOnOwnersScreen();
    show();
    raise();
    activateWindow();
}

} // namespace ui
