#include "ui/TemplateDialog.h"

#include "core/Texts.h"
#include "ui/Icons.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QVBoxLayout>

namespace ui {

QRect TemplateTree::checkBoxRect(QTreeWidgetItem* item)
{
    const QModelIndex index = indexFromItem(item);
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    option.checkState = item->checkState(0);
    return style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, this);
}

void TemplateTree::mousePressEvent(QMouseEvent* event)
{
    QTreeWidgetItem* item = itemAt(event->position().toPoint());
    // A right press selects too; only a left press changes the choice.
    QTreeWidget::mousePressEvent(event);
    if (!item || event->button() != Qt::LeftButton)
        return;
    const bool onCheckBox = checkBoxRect(item).contains(event->position().toPoint());
    Q_EMIT pressed(item->data(0, Qt::UserRole).toInt(), onCheckBox);
}

void TemplateTree::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && currentItem()) {
        Q_EMIT pressed(currentItem()->data(0, Qt::UserRole).toInt(), true);
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

TemplateDialog::TemplateDialog(core::TemplateForm& form, QWidget* parent)
    : QDialog(parent), m_form(form), m_tree(new TemplateTree(this))
{
    setObjectName(QStringLiteral("TCreateDirForm"));
    setWindowTitle(core::texts::TemplateCaption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_tree->setObjectName(QStringLiteral("DirTreeView"));
    m_tree->setAccessibleName(core::texts::TemplateCaption);
    m_tree->setHeaderHidden(true);
    m_tree->setRootIsDecorated(false);
    m_tree->setMouseTracking(true); // hot tracking
    m_tree->setContextMenuPolicy(Qt::PreventContextMenu);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    const core::StandardTemplate& tree = form.tree();
    for (int n = 0; n < tree.count(); ++n) {
        const core::StandardTemplate::Node& node = tree.node(n);
        auto* item = node.parent < 0 ? new QTreeWidgetItem(m_tree)
                                     : new QTreeWidgetItem(m_items[size_t(node.parent)]);
        item->setText(0, node.caption);
        item->setData(0, Qt::UserRole, n);
        item->setIcon(0,
                      icons::own(n == core::StandardTemplate::Root ? QStringLiteral("library-root")
                                                                   : QStringLiteral("category")));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        m_items.push_back(item);
    }
    m_tree->expandItem(m_items.front());
    showStates();
    connect(m_tree, &TemplateTree::pressed, this, &TemplateDialog::DirTreeViewMouseDown);

    auto* picture = new QLabel(this);
    picture->setPixmap(icons::own(QStringLiteral("new-category")).pixmap(48, 48));
    picture->setAlignment(Qt::AlignCenter);
    auto* hint = new QLabel(core::texts::TemplateHint, this);
    hint->setWordWrap(true);
    hint->setTextFormat(Qt::PlainText);

    m_create = new QPushButton(QStringLiteral("创建(&Y)"), this);
    m_create->setObjectName(QStringLiteral("BitBtn1"));
    m_create->setDefault(true);
    m_create->setEnabled(form.createEnabled());
    auto* close = new QPushButton(QStringLiteral("关闭(&C)"), this);
    auto* help = new QPushButton(QStringLiteral("帮助(&H)"), this);
    help->setEnabled(bool(form.showHelp));
    connect(m_create, &QPushButton::clicked, this, [this] {
        m_form.BitBtn1Click();
        m_create->setEnabled(m_form.createEnabled());
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { m_form.showHelp(); });

    auto* side = new QVBoxLayout;
    side->addWidget(picture);
    side->addWidget(hint);
    side->addStretch(1);
    side->addWidget(m_create);
    side->addWidget(close);
    side->addWidget(help);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_tree, 1);
    layout->addLayout(side);
    resize(400, 360);
}

void TemplateDialog::DirTreeViewMouseDown(int node, bool onCheckBox)
{
    m_form.tree().press(node, onCheckBox);
    showStates();
}

void TemplateDialog::showStates()
{
    const core::StandardTemplate& tree = m_form.tree();
    for (int n = 0; n < tree.count(); ++n)
        m_items[size_t(n)]->setCheckState(0, tree.isChosen(n) ? Qt::Checked : Qt::Unchecked);
}

} // namespace ui
