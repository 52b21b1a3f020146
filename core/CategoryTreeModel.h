#pragma once
// The nodes of a tree of libraries: three fixed top-level nodes (the root, the transit folder
// and the recycle box) and, below the root, one node per category folder, read from disk one
// level at a time. A node's folder is computed from its caption and its ancestors' captions.
// The same model serves the system tree and the external tree.

#include "core/LibraryLayout.h"

#include <QAbstractItemModel>

#include <functional>
#include <memory>
#include <vector>

namespace core {

// A node's kind is its image number throughout the program.
enum NodeKind : int {
    RootKind = 0,
    RecycleBoxKind = 1,
    CategoryKind = 2,
    TransitKind = 4,
    ExternalRootKind = 60,
};

class CategoryTreeModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    enum class Tree { System, External };
    enum Role { KindRole = Qt::UserRole + 1 };

    CategoryTreeModel(Tree tree, const LibraryLayout& layout, const platform::FileSystem& fs,
                      QObject* parent = nullptr);
    ~CategoryTreeModel() override;

    Tree tree() const { return m_tree; }

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    // A dragged category carries only where it comes from; the drop reads the selection.
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // The fixed top-level nodes.
    QModelIndex rootIndex() const { return index(0, 0); }
    QModelIndex transitIndex() const { return index(1, 0); }
    QModelIndex recycleBoxIndex() const { return index(2, 0); }

    int kindOf(const QModelIndex& index) const;
    // What the node shows, and the folder name on disk it stands for (bytes kept); the top
    // nodes have no folder name of their own.
    QString captionOf(const QModelIndex& index) const;
    QString nameOf(const QModelIndex& index) const;
    bool isTopLevel(const QModelIndex& index) const { return index.isValid() && !index.parent().isValid(); }
    bool isFilled(const QModelIndex& index) const;

    // The folder names from the first level below the root down to the node, each followed
    // by "/"; empty for a top-level node.
    QString NodePath(const QModelIndex& index) const;
    // The folder names from the first level below the root down to the node.
    QStringList namePath(const QModelIndex& index) const;
    // The node at that path of folder names below the root, reading the levels on the way:
    // the deepest node found, with `complete` telling whether the whole path was there.
    QModelIndex findPath(const QStringList& names, bool* complete = nullptr);
    // The child of `parent` standing for the folder `name`; invalid when none (no reading).
    QModelIndex childNamed(const QModelIndex& parent, const QString& name) const;
    // The folder a system-tree node stands for, ending in "/".
    QString directoryOf(const QModelIndex& index) const;

    // Adds the visible subfolders of `dir` as children of `parent`, in listing order,
    // marking those that have subfolders of their own. Does not sort.
    void FillCategoryChildren(const QString& dir, const QModelIndex& parent);
    // Sorts the direct children in the order the file list sorts names.
    void sortChildren(const QModelIndex& parent);
    // Sorts the direct children by their captions with `less`.
    void sortChildren(const QModelIndex& parent,
                      const std::function<bool(const QString&, const QString&)>& less);
    // Expanding a node: reads its folder once, when it has no child node yet.
    void treeviewExpanding(const QModelIndex& index);
    // Rebuilds the root's children one level deep and sorts them.
    void refillRoot();

    // A node for the folder `name`, with the caption it reads as in its folder.
    QModelIndex appendChild(const QModelIndex& parent, const QString& name,
                            int kind = CategoryKind);
    // A node never opened reads its folder, so that all its subfolders show once it has one
    // child; a node opened before stays as it is.
    void fillIfNeverOpened(const QModelIndex& parent);
    // The node of a folder just made below `parent`: found after reading a never-opened
    // parent, else added.
    QModelIndex childForNewFolder(const QModelIndex& parent, const QString& name);
    void removeNode(const QModelIndex& index);
    // Moves a node with everything below it to `row` among the children of `newParent`
    // (neither a top node nor onto itself or below itself); returns its new index.
    QModelIndex moveNode(const QModelIndex& index, const QModelIndex& newParent, int row);
    void removeChildren(const QModelIndex& parent);
    // A top node's caption (the root's is the user's to choose).
    void setCaption(const QModelIndex& index, const QString& caption);
    // A category's folder name after a rename; the caption follows it.
    void setName(const QModelIndex& index, const QString& name);

    // In-place editing: whether a node may be edited, and what to do with the typed text.
    void setEditableRule(std::function<bool(const QModelIndex&)> rule) { m_editable = std::move(rule); }
    void setEditHandler(std::function<void(const QModelIndex&, const QString&)> handler)
    {
        m_editHandler = std::move(handler);
    }
    // Supplies the node icons by kind (the widgets give pictures).
    void setIconProvider(std::function<QVariant(int kind)> provider) { m_iconProvider = std::move(provider); }

    // True when `dir` holds at least one subfolder, hidden names included.
    bool HasSubfolders(const QString& dir) const;

private:
    struct Node;
    QString captionIn(const QModelIndex& parent, const QString& name) const;
    Node* nodeOf(const QModelIndex& index) const;
    QModelIndex indexOf(const Node* node) const;
    static void renumber(Node* parent);
    // Puts the children of `parent` in the order `sorter` leaves them, keeping persistent
    // indexes (and so the selection) on their nodes.
    void reorderChildren(const QModelIndex& parent,
                         const std::function<void(std::vector<std::unique_ptr<Node>>&)>& sorter);

    Tree m_tree;
    LibraryLayout m_layout;
    const platform::FileSystem& m_fs;
    std::unique_ptr<Node> m_invisibleRoot;
    std::function<bool(const QModelIndex&)> m_editable;
    std::function<void(const QModelIndex&, const QString&)> m_editHandler;
    std::function<QVariant(int)> m_iconProvider;
};

} // namespace core
