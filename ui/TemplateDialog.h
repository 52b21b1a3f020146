#pragma once
// The standard category template form: the template tree with a check box on every node, the
// hint and the create, close and help buttons.

#include "core/StandardTemplate.h"

#include <QDialog>
#include <QTreeWidget>

class QPushButton;

namespace ui {

// The template tree: a left press on a node's check box flips it, any left press makes the
// tree follow the pressed node; Space does the same for the current node.
class TemplateTree : public QTreeWidget
{
    Q_OBJECT
public:
    explicit TemplateTree(QWidget* parent = nullptr) : QTreeWidget(parent) {}
    // The check box's place in the row of `item`.
    QRect checkBoxRect(QTreeWidgetItem* item);

Q_SIGNALS:
    void pressed(int node, bool onCheckBox);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

class TemplateDialog : public QDialog
{
    Q_OBJECT
public:
    TemplateDialog(core::TemplateForm& form, QWidget* parent = nullptr);

    TemplateTree* tree() const { return m_tree; }
    QPushButton* createButton() const { return m_create; }
    QTreeWidgetItem* item(int node) const { return m_items[size_t(node)]; }

private:
    // DirTreeViewMouseDown
    void DirTreeViewMouseDown(int node, bool onCheckBox);
    void showStates();

    core::TemplateForm& m_form;
    TemplateTree* m_tree;
    QPushButton* m_create;
    std::vector<QTreeWidgetItem*> m_items;
};

} // namespace ui
