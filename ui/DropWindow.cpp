#include "ui/DropWindow.h"

#include "core/Dialogs.h"
#include "dropwin/DropCommands.h"
#include "dropwin/DropTexts.h"
#include "dropwin/UriList.h"
#include "platform/Errors.h"
#include "ui/GraphicalSession.h"
#include "ui/Icons.h"

#include <QAction>
#include <QActionGroup>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

namespace ui {

namespace {

const QString kUriList = QStringLiteral("text/uri-list");

} // namespace

DropWindow::DropWindow(dropwin::DropCommands& commands, core::Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), m_commands(commands), m_dialogs(dialogs),
      m_pictureIcon(icons::own(QStringLiteral("drop-window"))),
      m_keptOnTop(session::placesWindows())
{
    setWindowFlags(m_keptOnTop ? Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                               : Qt::Window | Qt::FramelessWindowHint);
    setObjectName(QStringLiteral("TDragForm"));
    setWindowTitle(dropwin::texts::WindowTitle);
    setAccessibleName(dropwin::texts::WindowTitle);
    setFixedSize(50, 45);
    setAcceptDrops(true);
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(12);
    setFont(font);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setLineWidth(1);
    // The black square behind the picture.
    panel->setAutoFillBackground(true);
    QPalette black = panel->palette();
    black.setColor(QPalette::Window, Qt::black);
    panel->setPalette(black);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(panel);

    m_picture = new QLabel(panel);
    m_picture->setObjectName(QStringLiteral("Image1"));
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setAccessibleName(QStringLiteral("拖放文件到这里"));
    m_picture->setToolTip(QStringLiteral("把文件拖到这里放入当前分类库；按住图片可移动本窗口"));
    auto* pictureLayout = new QVBoxLayout(panel);
    pictureLayout->setContentsMargins(1, 1, 1, 1);
    pictureLayout->addWidget(m_picture);
    m_picture->installEventFilter(this);

    m_mark = new QLabel(panel);
    m_mark->setObjectName(QStringLiteral("Label1"));
    m_mark->setTextFormat(Qt::PlainText);
    m_mark->setAttribute(Qt::WA_TranslucentBackground);
    m_mark->setCursor(Qt::PointingHandCursor);
    QPalette yellow = m_mark->palette();
    yellow.setColor(QPalette::WindowText, Qt::yellow);
    m_mark->setPalette(yellow);
    // The mark is drawn from the font's outline at the screen's own pixels, hinted to the
    // pixel grid and without grey edges: sharp at any scale, like the bitmap glyph it stands
    // for, never a scaled picture of one.
    QFont markFont = font;
    markFont.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::PreferOutline));
    markFont.setHintingPreference(QFont::PreferFullHinting);
    m_mark->setFont(markFont);
    m_mark->move(5, 5);
    m_mark->raise();
    m_mark->installEventFilter(this);

    buildMenu();
    showModeMark();
}

QAction* DropWindow::addItem(const QString& name, const QString& text)
{
    auto* action = new QAction(text, this);
    action->setObjectName(name);
    m_menu->addAction(action);
    return action;
}

void DropWindow::buildMenu()
{
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("dwPopupMenu"));
    connect(addItem(QStringLiteral("showmainform"), QStringLiteral("显示主窗口")),
            &QAction::triggered, this, &DropWindow::showMainRequested);
    m_menu->addSeparator();
    m_modes = new QActionGroup(this);
    QAction* move = addItem(QStringLiteral("MoveDR"), QStringLiteral("移动方式拖动"));
    QAction* copy = addItem(QStringLiteral("CopyDR"), QStringLiteral("复制方式拖动"));
    for (QAction* mode : {move, copy}) {
        mode->setCheckable(true);
        m_modes->addAction(mode);
    }
    connect(move, &QAction::triggered, this,
            [this] { guarded([this] { m_commands.MoveDRClick(); }); });
    connect(copy, &QAction::triggered, this,
            [this] { guarded([this] { m_commands.CopyDRClick(); }); });
    m_menu->addSeparator();
    connect(addItem(QStringLiteral("CloseDragFormMenu"), QStringLiteral("关闭拖放窗")),
            &QAction::triggered, this, [this] {
                hide();
                Q_EMIT closedByMenu();
            });
    connect(addItem(QStringLiteral("N4"), QStringLiteral("帮助...")), &QAction::triggered, this,
            &DropWindow::helpRequested);
    m_menu->addSeparator();
    connect(addItem(QStringLiteral("haltmenu"), QStringLiteral("退出程序")), &QAction::triggered,
            this, &DropWindow::exitRequested);
    connect(m_menu, &QMenu::aboutToShow, this, &DropWindow::dwPopupMenuPopup);
}

QAction* DropWindow::menuAction(const QString& name) const
{
    return findChild<QAction*>(name, Qt::FindDirectChildrenOnly);
}

void DropWindow::showModeMark()
{
    const QString mark = m_commands.modeMark();
    m_mark->setText(mark);
    m_mark->setAccessibleName(mark);
    m_mark->adjustSize();
}

void DropWindow::dwPopupMenuPopup()
{
    const bool copying = m_commands.mode() == 0;
    menuAction(QStringLiteral("CopyDR"))->setChecked(copying);
    menuAction(QStringLiteral("MoveDR"))->setChecked(!copying);
}

void DropWindow::guarded(const std::function<void()>& command)
{
    core::showErrorsOf(m_dialogs, command);
    showModeMark();
}

QStringList DropWindow::droppedPaths(const QMimeData* data)
{
    if (!data || !data->hasFormat(kUriList))
        return {};
    return dropwin::droppedItemsFromUriList(data->data(kUriList));
}

void DropWindow::dragEnterEvent(QDragEnterEvent* event)
{
    // The list itself is read only when the drop happens.
    if (!event->mimeData()->hasFormat(kUriList))
        return event->ignore();
    // The window moves or copies the files itself: the drag source is told it was a copy,
    // so that it never deletes anything of its own.
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void DropWindow::dragMoveEvent(QDragMoveEvent* event)
{
    if (!event->mimeData()->hasFormat(kUriList))
        return event->ignore();
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void DropWindow::dropEvent(QDropEvent* event)
{
    const QStringList paths = droppedPaths(event->mimeData());
    if (paths.isEmpty())
        return event->ignore();
    event->setDropAction(Qt::CopyAction);
    event->accept();
    // The drag source is released first; questions and messages come after it.
    QTimer::singleShot(0, this, [this, paths] { DropFileDrop(paths); });
}

void DropWindow::DropFileDrop(const QStringList& paths)
{
    guarded([&] { m_commands.DropFileDrop(paths); });
}

void DropWindow::contextMenuEvent(QContextMenuEvent* event)
{
    m_menu->exec(event->globalPos());
}

void DropWindow::paintPicture()
{
    // Drawn from the scalable picture at the screen's own pixels, sharp at any scale.
    QPainter painter(m_picture);
    const QSize size(28, 28);
    const QRect place(
        QPoint((m_picture->width() - size.width()) / 2, (m_picture->height() - size.height()) / 2),
        size);
    m_pictureIcon.paint(&painter, place);
}

bool DropWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Paint && watched == m_picture) {
        paintPicture();
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress && watched == m_picture) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        // The picture is the grip: the window follows the pointer while the button is down.
        if (mouse->button() == Qt::LeftButton && windowHandle()) {
            windowHandle()->startSystemMove();
            return true;
        }
    } else if (event->type() == QEvent::MouseButtonRelease && watched == m_mark) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            m_mark->rect().contains(mouse->position().toPoint())) {
            guarded([this] { m_commands.Label1Click(); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace ui
