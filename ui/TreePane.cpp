#include "ui/TreePane.h"

#include "core/Texts.h"
#include "ui/CategoryTreeView.h"

namespace ui {

TreePane::TreePane(QWidget* parent)
    : QToolBox(parent), m_systemTree(new CategoryTreeView(this)),
      m_externalTree(new CategoryTreeView(this))
{
    setObjectName(QStringLiteral("OutBar"));
    m_systemTree->setObjectName(QStringLiteral("treeview"));
    m_externalTree->setObjectName(QStringLiteral("usertree"));
    m_systemTree->setAccessibleName(core::texts::SystemSectionCaption);
    m_externalTree->setAccessibleName(core::texts::ExternalSectionCaption);
    m_systemTree->setDragEnabled(true);
    addItem(m_systemTree, core::texts::SystemSectionCaption);
    addItem(m_externalTree, core::texts::ExternalSectionCaption);
    setCurrentIndex(0);
    // A drag of the splitter cannot make it wider than 300 pixels (the main window sees to
    // it), but a stored wider width is applied as it is.
    setMinimumWidth(110);
}

void TreePane::setBackgroundPicture(const QPixmap& picture)
{
    m_systemTree->setBackgroundPicture(picture);
    m_externalTree->setBackgroundPicture(picture);
}

} // namespace ui
