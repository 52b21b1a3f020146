#include "ui/CategoryTreeView.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace ui {

CategoryTreeView::CategoryTreeView(QWidget* parent) : QTreeView(parent)
{
    header()->hide();
    setRootIsDecorated(false);
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

void CategoryTreeView::setTextColor(const QColor& text)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Text, text);
    setPalette(palette);
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
}

} // namespace ui
