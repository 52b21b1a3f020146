#pragma once
// A tree of libraries: expand marks on every node that has children, selection kept visible,
// and the tree's own keys (Delete, F2, F5) handed to its commands.

#include "core/DragSource.h"

#include <QModelIndex>
#include <QTreeView>

#include <functional>

namespace ui {

class CategoryTreeView : public QTreeView
{
    Q_OBJECT
public:
    explicit CategoryTreeView(QWidget* parent = nullptr);

    // What a key does in this tree; keys without a handler keep their usual behaviour.
    void setKeyHandler(int key, std::function<void()> handler);
    // A picture behind the nodes; a null pixmap removes it.
    void setBackgroundPicture(const QPixmap& picture);
    // The text colour; `onPicture` is the one shown over a background picture (the text's
    // own colour, where a dark scheme gives the plain background another one).
    void setTextColor(const QColor& text, const QColor& onPicture = {});
    void setBackgroundColor(const QColor& background);
    QColor textColor() const;
    QColor backgroundColor() const { return m_background; }

    // Drops onto the nodes: `accept` decides while the pointer moves, from where the drag
    // started and the node under the pointer; `drop` runs once the drag has ended.
    using DropRule = std::function<bool(core::DragSource source, const QModelIndex& node)>;
    using DropHandler = std::function<void(core::DragSource source, const QModelIndex& node)>;
    void setDropHandlers(DropRule accept, DropHandler drop);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    DropRule m_acceptDrop;
    DropHandler m_drop;
    QHash<int, std::function<void()>> m_keys;
    QPixmap m_picture;
    QColor m_background;
    QColor m_text;
    QColor m_textOnPicture;
};

} // namespace ui
