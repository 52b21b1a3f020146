#include "ui/ListItemDelegate.h"

#include "ui/Conversions.h"
#include "ui/NameEditor.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QToolTip>

namespace ui {

namespace {

QStyle* styleOf(const QStyleOptionViewItem& option)
{
    return option.widget ? option.widget->style() : QApplication::style();
}

} // namespace

ListItemDelegate::ListItemDelegate(QObject* parent, std::function<bool()> dragging)
    : QStyledItemDelegate(parent), m_dragging(std::move(dragging))
{
}

void ListItemDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (m_dragging && m_dragging() && index.column() > 0)
        option->state &= ~QStyle::State_Selected;
}

bool ListItemDelegate::isCut(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    if (opt.text.isEmpty())
        return false;
    QStyle* style = styleOf(opt);
    const QRect room = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, opt.widget);
    // The style keeps a margin on either side of the text.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, opt.widget) + 1;
    const int width = room.width() - 2 * margin;
    if (opt.features & QStyleOptionViewItem::WrapText) {
        const QRect needed =
            opt.fontMetrics.boundingRect(QRect(0, 0, qMax(1, width), 1 << 20),
                                         Qt::TextWordWrap | Qt::TextWrapAnywhere, opt.text);
        return needed.height() > room.height();
    }
    return opt.fontMetrics.horizontalAdvance(opt.text) > width;
}

bool ListItemDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                 const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (event->type() != QEvent::ToolTip || !index.isValid() || !view ||
        index.data(Qt::ToolTipRole).isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    // A cell the column cuts shows its whole text; one that shows whole needs no tip.
    if (isCut(option, index))
        QToolTip::showText(event->globalPos(), plainToolTip(index.data().toString()),
                           view->viewport(), option.rect);
    else
        QToolTip::hideText();
    return true;
}

QWidget* ListItemDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                        const QModelIndex&) const
{
    return new NameEditor(parent);
}

void ListItemDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                            const QModelIndex& index) const
{
    auto* name = qobject_cast<NameEditor*>(editor);
    if (!name)
        return QStyledItemDelegate::updateEditorGeometry(editor, option, index);
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    QStyle* style = styleOf(opt);
    QRect cell = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, opt.widget);
    // In the details view the editor keeps to the name column: from the text to the cell's end.
    if (!(opt.features & QStyleOptionViewItem::WrapText))
        cell.setRight(option.rect.right());
    const int maxRight =
        editor->parentWidget() ? editor->parentWidget()->width() - 1 : cell.right();
    name->setRoom(cell, maxRight);
}

} // namespace ui
