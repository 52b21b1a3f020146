#include "ui/CategoryChoiceDialog.h"

#include "core/CategoryTreeModel.h"

#include <QDialogButtonBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace ui {

CategoryChoiceDialog::CategoryChoiceDialog(const core::CategoryChoiceSpec& spec, QWidget* parent)
    : QDialog(parent), m_canChoose(spec.canChoose), m_tree(new QTreeView(this))
{
    setWindowTitle(spec.caption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* label = new QLabel(spec.prompt, this);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAccessibleName(spec.prompt);
    label->setBuddy(m_tree);

    m_tree->setModel(spec.tree);
    m_tree->setAccessibleName(spec.treeName);
    m_tree->setHeaderHidden(true);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setDragEnabled(false);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setIndentation(19);
    m_tree->setUniformRowHeights(true);

    auto* buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(spec.okText, QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(spec.cancelText, QDialogButtonBox::RejectRole);
    m_ok->setAccessibleName(spec.okText);
    cancel->setAccessibleName(spec.cancelText);
    m_ok->setDefault(true);
    m_ok->setEnabled(false);
    connect(m_ok, &QPushButton::clicked, this, [this] { choose(m_tree->currentIndex()); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& node) { m_ok->setEnabled(canChoose(node)); });
    connect(m_tree, &QTreeView::doubleClicked, this, [this](const QModelIndex& node) {
        if (canChoose(node))
            choose(node);
    });

    // The categories below the root show; the node given is selected, with the levels above
    // it open.
    if (spec.tree) {
        // Beside the root, a top node that cannot be chosen and holds no category (the recycle
        // box) is left out.
        for (int row = 0; row < spec.tree->rowCount(); ++row) {
            const QModelIndex top = spec.tree->index(row, 0);
            m_tree->setRowHidden(row, QModelIndex(),
                                 top != spec.tree->rootIndex() && !canChoose(top) &&
                                     !spec.tree->hasChildren(top));
        }
        m_tree->expand(spec.tree->rootIndex());
        const QModelIndex initial = spec.initial.isValid() ? spec.initial : spec.tree->rootIndex();
        for (QModelIndex above = initial.parent(); above.isValid(); above = above.parent())
            m_tree->expand(above);
        m_tree->setCurrentIndex(initial);
        m_tree->scrollTo(initial);
    }
    m_tree->setFocus();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_tree, 1);
    layout->addWidget(buttons);
    resize(360, 420);
}

bool CategoryChoiceDialog::canChoose(const QModelIndex& node) const
{
    return node.isValid() && (!m_canChoose || m_canChoose(node));
}

void CategoryChoiceDialog::choose(const QModelIndex& node)
{
    if (!canChoose(node))
        return;
    m_chosen = node;
    accept();
}

} // namespace ui
