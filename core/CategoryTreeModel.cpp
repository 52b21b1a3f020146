#include "core/CategoryTreeModel.h"

#include "core/DragSource.h"
#include "core/FileListModel.h"
#include "core/FileListing.h"
#include "core/Texts.h"
#include "platform/FileNames.h"

#include <algorithm>

namespace core {

struct CategoryTreeModel::Node
{
    QString name;    // the folder's name on disk, bytes kept
    QString caption; // what the tree shows
    int kind = CategoryKind;
    bool hasChildrenMark = false; // shows an expand button before the children are read
    bool filled = false;          // the folder was read once
    int row = 0;
    Node* parent = nullptr;
    std::vector<std::unique_ptr<Node>> children;

    Node* add(const QString& folderName, const QString& text, int nodeKind)
    {
        auto child = std::make_unique<Node>();
        child->name = folderName;
        child->caption = text;
        child->kind = nodeKind;
        child->parent = this;
        child->row = int(children.size());
        children.push_back(std::move(child));
        return children.back().get();
    }
};

CategoryTreeModel::CategoryTreeModel(Tree tree, const LibraryLayout& layout,
                                     const platform::FileSystem& fs, QObject* parent)
    : QAbstractItemModel(parent), m_tree(tree), m_layout(layout), m_fs(fs),
      m_invisibleRoot(std::make_unique<Node>())
{
    if (tree == Tree::System)
        m_invisibleRoot->add({}, texts::DefaultRootCaption, RootKind);
    else
        m_invisibleRoot->add({}, texts::ExternalRootCaption, ExternalRootKind);
    m_invisibleRoot->add({}, texts::TransitCaption, TransitKind);
    m_invisibleRoot->add({}, texts::RecycleBoxCaption, RecycleBoxKind);
}

CategoryTreeModel::~CategoryTreeModel() = default;

CategoryTreeModel::Node* CategoryTreeModel::nodeOf(const QModelIndex& index) const
{
    return index.isValid() ? static_cast<Node*>(index.internalPointer()) : m_invisibleRoot.get();
}

QModelIndex CategoryTreeModel::indexOf(const Node* node) const
{
    if (!node || node == m_invisibleRoot.get())
        return {};
    return createIndex(node->row, 0, node);
}

void CategoryTreeModel::renumber(Node* parent)
{
    for (size_t i = 0; i < parent->children.size(); ++i)
        parent->children[i]->row = int(i);
}

QModelIndex CategoryTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    const Node* p = nodeOf(parent);
    if (column != 0 || row < 0 || row >= int(p->children.size()))
        return {};
    return createIndex(row, 0, p->children[size_t(row)].get());
}

QModelIndex CategoryTreeModel::parent(const QModelIndex& child) const
{
    if (!child.isValid())
        return {};
    return indexOf(nodeOf(child)->parent);
}

int CategoryTreeModel::rowCount(const QModelIndex& parent) const
{
    return int(nodeOf(parent)->children.size());
}

int CategoryTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

bool CategoryTreeModel::hasChildren(const QModelIndex& parent) const
{
    const Node* node = nodeOf(parent);
    return !node->children.empty() || (node->hasChildrenMark && !node->filled);
}

QVariant CategoryTreeModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const Node* node = nodeOf(index);
    switch (role) {
    case Qt::DisplayRole:
        return platform::displayText(node->caption);
    case Qt::EditRole:
        return node->caption;
    case Qt::DecorationRole:
        return m_iconProvider ? m_iconProvider(node->kind) : QVariant();
    case KindRole:
        return node->kind;
    default:
        return {};
    }
}

Qt::ItemFlags CategoryTreeModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDropEnabled;
    if (m_tree == Tree::System)
        f |= Qt::ItemIsDragEnabled;
    if (m_editable && m_editable(index))
        f |= Qt::ItemIsEditable;
    return f;
}

bool CategoryTreeModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !m_editHandler)
        return false;
    m_editHandler(index, value.toString());
    return true;
}

QStringList CategoryTreeModel::mimeTypes() const
{
    return {dragSourceFormat()};
}

QMimeData* CategoryTreeModel::mimeData(const QModelIndexList&) const
{
    return m_tree == Tree::System ? dragDataFor(DragSource::SystemTree) : nullptr;
}

bool CategoryTreeModel::canFetchMore(const QModelIndex& parent) const
{
    const Node* node = nodeOf(parent);
    return parent.isValid() && node->kind == CategoryKind && node->hasChildrenMark &&
           !node->filled && node->children.empty();
}

void CategoryTreeModel::fetchMore(const QModelIndex& parent)
{
    treeviewExpanding(parent);
}

int CategoryTreeModel::kindOf(const QModelIndex& index) const
{
    return index.isValid() ? nodeOf(index)->kind : -1;
}

QString CategoryTreeModel::captionOf(const QModelIndex& index) const
{
    return index.isValid() ? nodeOf(index)->caption : QString();
}

QString CategoryTreeModel::nameOf(const QModelIndex& index) const
{
    return index.isValid() ? nodeOf(index)->name : QString();
}

bool CategoryTreeModel::isFilled(const QModelIndex& index) const
{
    return nodeOf(index)->filled;
}

QString CategoryTreeModel::NodePath(const QModelIndex& index) const
{
    QString path;
    for (const Node* node = nodeOf(index); node && node->parent && node->parent->parent;
         node = node->parent)
        path.prepend(node->name + u'/');
    return path;
}

QStringList CategoryTreeModel::namePath(const QModelIndex& index) const
{
    QStringList path;
    for (QModelIndex i = index; i.isValid() && !isTopLevel(i); i = i.parent())
        path.prepend(nameOf(i));
    return path;
}

QModelIndex CategoryTreeModel::childNamed(const QModelIndex& parent, const QString& name) const
{
    for (int row = 0; row < rowCount(parent); ++row) {
        if (nameOf(index(row, 0, parent)) == name)
            return index(row, 0, parent);
    }
    return {};
}

QModelIndex CategoryTreeModel::findPath(const QStringList& names, bool* complete)
{
    QModelIndex node = rootIndex();
    for (const QString& name : names) {
        treeviewExpanding(node);
        const QModelIndex child = childNamed(node, name);
        if (!child.isValid()) {
            if (complete)
                *complete = false;
            return node;
        }
        node = child;
    }
    if (complete)
        *complete = true;
    return node;
}

QString CategoryTreeModel::directoryOf(const QModelIndex& index) const
{
    switch (kindOf(index)) {
    case RootKind:
    case ExternalRootKind:
        return m_layout.programDir();
    case RecycleBoxKind:
        return m_layout.recycleBoxDir();
    case TransitKind:
        return m_layout.transitDir();
    default:
        return m_layout.programDir() + NodePath(index);
    }
}

bool CategoryTreeModel::HasSubfolders(const QString& dir) const
{
    // Not trimmed: a folder name may end in blanks.
    return !m_fs.subfolders(dir, true).isEmpty();
}

void CategoryTreeModel::FillCategoryChildren(const QString& dir, const QModelIndex& parent)
{
    const QString folder = platform::withTrailingSlash(dir);
    Node* node = nodeOf(parent);
    QStringList names = m_fs.subfolders(folder);
    // A folder copy that a crash cut short keeps its temporary name, and is no category.
    names.removeIf([](const QString& name) {
        return LibraryLayout::hiddenFolderNames().contains(name) || platform::isTemporaryName(name);
    });
    node->filled = true;
    if (names.isEmpty()) {
        if (parent.isValid())
            Q_EMIT dataChanged(parent, parent);
        return;
    }
    const int first = int(node->children.size());
    beginInsertRows(parent, first, first + int(names.size()) - 1);
    // A caption read as GB18030 that spells another folder stays the name as it is.
    FolderNames siblings;
    siblings.reserve(size_t(names.size()));
    for (const QString& name : names)
        siblings.add(name);
    for (const QString& name : names) {
        Node* child = node->add(name, siblings.captionOf(name), CategoryKind);
        child->hasChildrenMark = HasSubfolders(folder + name);
    }
    endInsertRows();
}

void CategoryTreeModel::reorderChildren(
    const QModelIndex& parent,
    const std::function<void(std::vector<std::unique_ptr<Node>>&)>& sorter)
{
    Node* node = nodeOf(parent);
    if (node->children.size() < 2)
        return;
    Q_EMIT layoutAboutToBeChanged({QPersistentModelIndex(parent)},
                                  QAbstractItemModel::VerticalSortHint);
    sorter(node->children);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    renumber(node);
    for (const QModelIndex& old : before) {
        const Node* n = static_cast<Node*>(old.internalPointer());
        after.append(createIndex(n->row, old.column(), n));
    }
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({QPersistentModelIndex(parent)}, QAbstractItemModel::VerticalSortHint);
}

void CategoryTreeModel::sortChildren(const QModelIndex& parent)
{
    reorderChildren(parent, [](std::vector<std::unique_ptr<Node>>& children) {
        // The order the file list sorts names in, each caption's key made once.
        std::vector<std::pair<QByteArray, std::unique_ptr<Node>>> keyed;
        keyed.reserve(children.size());
        for (std::unique_ptr<Node>& child : children)
            keyed.emplace_back(textSortKey(child->caption), std::move(child));
        std::stable_sort(keyed.begin(), keyed.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (size_t i = 0; i < keyed.size(); ++i)
            children[i] = std::move(keyed[i].second);
    });
}

void CategoryTreeModel::sortChildren(
    const QModelIndex& parent, const std::function<bool(const QString&, const QString&)>& less)
{
    reorderChildren(parent, [&less](std::vector<std::unique_ptr<Node>>& children) {
        std::stable_sort(children.begin(), children.end(), [&less](const auto& a, const auto& b) {
            return less(a->caption, b->caption);
        });
    });
}

void CategoryTreeModel::treeviewExpanding(const QModelIndex& index)
{
    Node* node = nodeOf(index);
    if (!index.isValid() || isTopLevel(index) || !node->children.empty() || node->filled)
        return;
    const QString dir = directoryOf(index);
    if (!m_fs.isDirectory(dir)) {
        node->filled = true;
        return;
    }
    FillCategoryChildren(dir, index);
    sortChildren(index);
}

void CategoryTreeModel::refillRoot()
{
    const QModelIndex root = rootIndex();
    removeChildren(root);
    FillCategoryChildren(m_layout.programDir(), root);
    sortChildren(root);
}

QString CategoryTreeModel::captionIn(const QModelIndex& parent, const QString& name) const
{
    // A registered library's name is a caption of its own, not a folder's.
    if (m_tree == Tree::External && kindOf(parent) == ExternalRootKind)
        return name;
    return notes::captionInFolder(m_fs, directoryOf(parent), name);
}

void CategoryTreeModel::fillIfNeverOpened(const QModelIndex& parent)
{
    if (!isTopLevel(parent) && !isFilled(parent) && rowCount(parent) == 0)
        treeviewExpanding(parent);
}

QModelIndex CategoryTreeModel::childForNewFolder(const QModelIndex& parent, const QString& name)
{
    fillIfNeverOpened(parent);
    const QModelIndex found = childNamed(parent, name);
    return found.isValid() ? found : appendChild(parent, name);
}

QModelIndex CategoryTreeModel::appendChild(const QModelIndex& parent, const QString& name, int kind)
{
    Node* node = nodeOf(parent);
    const QString caption = captionIn(parent, name);
    const int row = int(node->children.size());
    beginInsertRows(parent, row, row);
    node->add(name, caption, kind);
    endInsertRows();
    return index(row, 0, parent);
}

void CategoryTreeModel::removeNode(const QModelIndex& index)
{
    if (!index.isValid() || isTopLevel(index))
        return;
    Node* parentNode = nodeOf(index)->parent;
    beginRemoveRows(index.parent(), index.row(), index.row());
    parentNode->children.erase(parentNode->children.begin() + index.row());
    renumber(parentNode);
    endRemoveRows();
}

QModelIndex CategoryTreeModel::moveNode(const QModelIndex& index, const QModelIndex& newParent,
                                        int row)
{
    if (!index.isValid() || isTopLevel(index))
        return index;
    Node* node = nodeOf(index);
    Node* to = nodeOf(newParent);
    for (const Node* n = to; n; n = n->parent) {
        if (n == node)
            return index;
    }
    Node* from = node->parent;
    const int source = index.row();
    row = std::clamp(row, 0, int(to->children.size()));
    if (!beginMoveRows(index.parent(), source, source, newParent, row))
        return index;
    std::unique_ptr<Node> owned = std::move(from->children[size_t(source)]);
    from->children.erase(from->children.begin() + source);
    const int target = from == to && row > source ? row - 1 : row;
    to->children.insert(to->children.begin() + target, std::move(owned));
    node->parent = to;
    renumber(from);
    renumber(to);
    endMoveRows();
    return indexOf(node);
}

void CategoryTreeModel::removeChildren(const QModelIndex& parent)
{
    Node* node = nodeOf(parent);
    if (node->children.empty())
        return;
    beginRemoveRows(parent, 0, int(node->children.size()) - 1);
    node->children.clear();
    endRemoveRows();
}

void CategoryTreeModel::setCaption(const QModelIndex& index, const QString& caption)
{
    if (!index.isValid())
        return;
    nodeOf(index)->caption = caption;
    Q_EMIT dataChanged(index, index);
}

void CategoryTreeModel::setName(const QModelIndex& index, const QString& name)
{
    if (!index.isValid())
        return;
    nodeOf(index)->name = name;
    nodeOf(index)->caption = captionIn(index.parent(), name);
    Q_EMIT dataChanged(index, index);
}

} // namespace core
