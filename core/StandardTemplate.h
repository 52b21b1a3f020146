#pragma once
// The standard category template: a fixed tree of category names for downloaded software, the
// user's choice among them with the rules that keep it consistent, and the creation of the
// chosen folders under the library root.

#include "core/Dialogs.h"
#include "core/LibraryLayout.h"

#include <QString>

#include <functional>
#include <vector>

namespace core {

class CategoryCommands;

class StandardTemplate
{
public:
    // A node's check state, as the tree shows it by its state image.
    enum State
    {
        NotChosen = 2,
        Chosen = 3
    };
    struct Node
    {
        QString caption;
        int parent = -1; // -1 for the root
        int level = 0;   // 0 for the root, 1 for the first level of categories
        State state = NotChosen;
    };
    static constexpr int Root = 0;

    StandardTemplate();

    // The root and every category, in tree order (parents before their children).
    int count() const { return int(m_nodes.size()); }
    const Node& node(int i) const { return m_nodes[size_t(i)]; }
    bool isChosen(int i) const { return node(i).state == Chosen; }
    std::vector<int> children(int i) const;

    // DirTreeViewMouseDown: a left press on node `n`; `onStateImage` when it hit the node's
    // check box, which flips the node first. Then the tree follows the node's state: the root
    // gives its state to every node, a cleared node clears its descendants (and the root when
    // no first-level category is left chosen), a chosen node chooses its ancestors.
    void press(int n, bool onStateImage);

    // The captions from the node's first-level ancestor down to the node, joined by "/".
    QString TemplateNodePath(int n) const;

private:
    void setSubtree(int n, State state);
    std::vector<Node> m_nodes;
};

// The template dialog's state: the template tree, the created flag and the create button.
class TemplateForm
{
public:
    TemplateForm(const LibraryLayout& layout, const platform::FileSystem& fs, Dialogs& dialogs,
                 bool writable);

    // The help button's action.
    std::function<void()> showHelp;

    StandardTemplate& tree() { return m_tree; }
    const StandardTemplate& tree() const { return m_tree; }
    bool created() const { return m_created; }
    bool createEnabled() const { return m_createEnabled; }

    // The create button: makes the folder of every chosen node that has none, in tree order,
    // reporting each failure, and ends with the completion message.
    void BitBtn1Click();

private:
    const LibraryLayout& m_layout;
    const platform::FileSystem& m_fs;
    Dialogs& m_dialogs;
    StandardTemplate m_tree;
    bool m_created = false;
    bool m_createEnabled;
};

// "创建标准分类库": shows the template dialog; the category tree is refreshed afterwards when
// the dialog created folders. `showHelp` is the dialog's help button.
void t402Click(const LibraryLayout& layout, const platform::FileSystem& fs, bool writable,
               Dialogs& dialogs, CategoryCommands& categories, std::function<void()> showHelp = {});

} // namespace core
