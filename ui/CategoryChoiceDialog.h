#pragma once
// The tree question: a prompt over the categories of a tree, one of which the user chooses
// (OK only on a node that can be chosen, a double click on one chooses it), or Cancel.

#include "core/Dialogs.h"

#include <QDialog>
#include <QPersistentModelIndex>

class QPushButton;
class QTreeView;

namespace ui {

class CategoryChoiceDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CategoryChoiceDialog(const core::CategoryChoiceSpec& spec, QWidget* parent = nullptr);

    QTreeView* tree() const { return m_tree; }
    QPushButton* okButton() const { return m_ok; }
    // The node chosen once the dialog was accepted.
    QModelIndex chosen() const { return m_chosen; }

private:
    bool canChoose(const QModelIndex& node) const;
    void choose(const QModelIndex& node);

    std::function<bool(const QModelIndex&)> m_canChoose;
    QTreeView* m_tree;
    QPushButton* m_ok = nullptr;
    QPersistentModelIndex m_chosen;
};

} // namespace ui
