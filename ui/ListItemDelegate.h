#pragma once
// How the cells of a file list are drawn, explained and edited: while rows are dragged only
// the caption of a selected row shows as selected, a cell whose text the column cuts shows
// the whole text as a tool tip, and a caption is renamed in a framed editor.

#include <QStyledItemDelegate>

#include <functional>

namespace ui {

class ListItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    // `dragging` tells whether rows of the view are being dragged just now.
    explicit ListItemDelegate(QObject* parent, std::function<bool()> dragging = {});

    // Whether the view shows the cell's text cut (elided) for want of room.
    bool isCut(const QStyleOptionViewItem& option, const QModelIndex& index) const;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    std::function<bool()> m_dragging;
};

} // namespace ui
