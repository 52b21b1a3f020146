#include "ui/CategoryTreeView.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>

namespace ui {

CategoryTreeView::CategoryTreeView(QWidget* parent) : QTreeView(parent)
{
    header()->hide();
    // The top nodes show their expand marks too: a closed root must not look empty.
    setRootIsDecorated(true);
    setIndentation(19);
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setMouseTracking(true); // hot tracking
    setAttribute(Qt::WA_Hover);
    setContextMenuPolicy(Qt::CustomContextMenu);
}

void CategoryTreeView::setKeyHandler(int key, std::function<void()> handler)
{
    m_keys.insert(key, std::move(handler));
}

void CategoryTreeView::keyPressEvent(QKeyEvent* event)
{
    if (state() != QAbstractItemView::EditingState && event->modifiers() == Qt::NoModifier) {
        const auto handler = m_keys.constFind(event->key());
        if (handler != m_keys.cend()) {
            (*handler)();
            event->accept();
            return;
        }
    }
    QTreeView::keyPressEvent(event);
}

void CategoryTreeView::setDropHandlers(DropRule accept, DropHandler drop)
{
    m_acceptDrop = std::move(accept);
    m_drop = std::move(drop);
    setAcceptDrops(true);
    setDragDropMode(dragEnabled() ? QAbstractItemView::DragDrop : QAbstractItemView::DropOnly);
    setDropIndicatorShown(false);
    // Holding a dragged object over a closed node opens it.
    setAutoExpandDelay(700);
}

void CategoryTreeView::dragEnterEvent(QDragEnterEvent* event)
{
    if (!m_acceptDrop) {
        event->ignore();
        return;
    }
    // Each node decides as the pointer moves over it.
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void CategoryTreeView::dragMoveEvent(QDragMoveEvent* event)
{
    // Scrolling and opening nodes while dragging.
    QTreeView::dragMoveEvent(event);
    const QModelIndex node = indexAt(event->position().toPoint());
    if (m_acceptDrop && m_acceptDrop(core::dragSourceOf(event->mimeData()), node)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void CategoryTreeView::dropEvent(QDropEvent* event)
{
    stopAutoScroll();
    setState(QAbstractItemView::NoState);
    viewport()->update();
    const QModelIndex node = indexAt(event->position().toPoint());
    const core::DragSource source = core::dragSourceOf(event->mimeData());
    if (!m_acceptDrop || !m_drop || !m_acceptDrop(source, node)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    // The command runs once the drag is over, so that its questions and messages show over a
    // window that takes input again.
    const QPersistentModelIndex target = node;
    QMetaObject::invokeMethod(
        this,
        [this, source, target] {
            if (target.isValid())
                m_drop(source, target);
        },
        Qt::QueuedConnection);
}

void CategoryTreeView::setTextColor(const QColor& text, const QColor& onPicture)
{
    m_text = text;
    m_textOnPicture = onPicture.isValid() ? onPicture : text;
    setBackgroundPicture(m_picture);
}

QColor CategoryTreeView::textColor() const
{
    return palette().color(QPalette::Text);
}

void CategoryTreeView::setBackgroundColor(const QColor& background)
{
    m_background = background;
    QPalette palette = this->palette();
    palette.setColor(QPalette::Base, background);
    setPalette(palette);
    setBackgroundPicture(m_picture);
}

void CategoryTreeView::setBackgroundPicture(const QPixmap& picture)
{
    m_picture = picture;
    QPalette palette = viewport()->palette();
    if (picture.isNull())
        palette.setBrush(QPalette::Base, m_background.isValid() ? QBrush(m_background) : QBrush());
    else
        palette.setBrush(QPalette::Base, QBrush(picture));
    viewport()->setPalette(palette);
    viewport()->setAutoFillBackground(true);
    // The picture wins over the scheme's background, and the text keeps its own colour there.
    const QColor text = picture.isNull() ? m_text : m_textOnPicture;
    if (text.isValid()) {
        QPalette own = this->palette();
        own.setColor(QPalette::Text, text);
        setPalette(own);
    }
}

} // namespace ui
