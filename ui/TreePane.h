#pragma once
// The tree pane: two captioned sections, "系统文件库" with the system tree and "外部文件库"
// with the external tree, one open at a time.

#include <QToolBox>

namespace ui {

class CategoryTreeView;

class TreePane : public QToolBox
{
    Q_OBJECT
public:
    explicit TreePane(QWidget* parent = nullptr);

    CategoryTreeView* systemTree() const { return m_systemTree; }
    CategoryTreeView* externalTree() const { return m_externalTree; }

    // The same picture behind both sections; a null pixmap removes it.
    void setBackgroundPicture(const QPixmap& picture);

private:
    CategoryTreeView* m_systemTree;
    CategoryTreeView* m_externalTree;
};

} // namespace ui
