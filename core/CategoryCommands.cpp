#include "core/CategoryCommands.h"

#include "core/FileListing.h"
#include "core/ReadOnly.h"
#include "core/Texts.h"
#include "notes/NotesKeeper.h"
#include "platform/FileNames.h"

namespace core {

QModelIndex fallbackAfterRemoval(const QModelIndex& index)
{
    const QModelIndex next = index.sibling(index.row() + 1, 0);
    if (next.isValid())
        return next;
    if (index.row() > 0)
        return index.sibling(index.row() - 1, 0);
    return index.parent();
}

void removeNodeAndSelectAnother(CategoryTreeModel& tree, QItemSelectionModel& selection,
                                const QModelIndex& index)
{
    const QPersistentModelIndex fallback = fallbackAfterRemoval(index);
    {
        const QSignalBlocker blocker(selection);
        tree.removeNode(index);
    }
    selection.setCurrentIndex(fallback, QItemSelectionModel::ClearAndSelect);
}

bool recreateSpecialFolder(int kind, const QString& dir, const platform::FileSystem& fs,
                           Dialogs& dialogs)
{
    dialogs.showMessage(kind == RecycleBoxKind ? texts::RecycleBoxMissing : texts::TransitMissing);
    const platform::FsResult made = fs.makeDirectory(dir);
    if (!made)
        dialogs.showError(made.message());
    return made.ok();
}

CategoryCommands::CategoryCommands(Workspace& workspace, FileListController& files,
                                   Dialogs& dialogs, QObject* parent)
    : QObject(parent), m_workspace(workspace), m_files(files), m_dialogs(dialogs)
{
    CategoryTreeModel& tree = workspace.systemTree();
    tree.setEditableRule([this](const QModelIndex& index) { return treeviewEditing(index); });
    tree.setEditHandler(
        [this](const QModelIndex& index, const QString& text) { treeviewEdited(index, text); });
    connect(&workspace.systemTreeSelection(), &QItemSelectionModel::selectionChanged, this,
            &CategoryCommands::selectionChanged);
}

void CategoryCommands::buildAtStart()
{
    CategoryTreeModel& tree = m_workspace.systemTree();
    tree.FillCategoryChildren(m_workspace.session().layout().programDir(), tree.rootIndex());
    tree.sortChildren(tree.rootIndex());
}

void CategoryCommands::selectionChanged()
{
    const QModelIndex node = m_workspace.selectedNode(m_workspace.systemTree());
    if (node.isValid())
        treeviewChange(node);
}

bool CategoryCommands::refuseWhenReadOnly()
{
    return core::refuseWhenReadOnly(m_workspace.session(), m_dialogs);
}

void CategoryCommands::treeviewChange(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    CategoryTreeModel& tree = m_workspace.systemTree();
    Session& session = m_workspace.session();
    const int kind = tree.kindOf(index);

    m_workspace.startNodeSelection(false, kind);
    if (kind == RootKind) {
        m_files.showRoot(texts::SystemRootStatus);
        return;
    }

    const QString dir = tree.directoryOf(index);
    session.setCurrentDir(dir);
    m_workspace.status().setText(0, dir);
    if (!session.fs().isDirectory(dir)) {
        if (kind == CategoryKind) {
            m_dialogs.showMessage(texts::CategoryMissing);
            removeNodeAndSelectAnother(tree, m_workspace.systemTreeSelection(), index);
            return;
        }
        if (!recreateSpecialFolder(kind, dir, session.fs(), m_dialogs))
            return;
    }
    m_files.showFolder(dir);
}

void CategoryCommands::reftreeClick()
{
    CategoryTreeModel& tree = m_workspace.systemTree();
    QItemSelectionModel& selection = m_workspace.systemTreeSelection();
    const QModelIndex selected = m_workspace.selectedNode(tree);

    const QStringList path =
        tree.kindOf(selected) == CategoryKind ? tree.namePath(selected) : QStringList();
    {
        const QSignalBlocker blocker(selection);
        tree.refillRoot();
    }
    Q_EMIT expandRequested(tree.rootIndex());
    if (path.isEmpty())
        return;
    // The same category again where it still is, else the nearest level above it.
    const QModelIndex found = tree.findPath(path);
    selection.setCurrentIndex(found, QItemSelectionModel::ClearAndSelect);
}

void CategoryCommands::addtreeClick()
{
    if (refuseWhenReadOnly())
        return;
    if (m_workspace.section() != Workspace::Section::System)
        return;
    const QModelIndex node = m_workspace.selectedNode(m_workspace.systemTree());
    const int kind = m_workspace.systemTree().kindOf(node);
    if (!node.isValid() || kind == RecycleBoxKind || kind == TransitKind)
        return;

    NameDialogSpec spec;
    spec.caption = texts::NewCategoryCaption;
    spec.label = texts::NewCategoryLabel;
    spec.maxLength = 100;
    spec.backColor = m_workspace.session().treeBackColor();
    spec.fontColor = m_workspace.session().treeFontColor();
    spec.okText = texts::NewCategoryOk;
    spec.cancelText = texts::NewCategoryCancel;
    m_dialogs.runNameDialog(spec, [this](const QString& text) { return BitBtn1Click(text); });
}

OkResult CategoryCommands::BitBtn1Click(const QString& text)
{
    const QString name = text.trimmed();
    if (name.isEmpty())
        return OkResult::Stay;
    if (LibraryLayout::isReservedCategoryName(name)) {
        m_dialogs.showMessage(texts::reservedNameMessage(name));
        return OkResult::StaySelectInput;
    }
    if (HasInvalidNameChar(name)) {
        m_dialogs.showMessage(texts::invalidNameMessageNew());
        return OkResult::StaySelectInput;
    }
    Session& session = m_workspace.session();
    const QString dir = session.currentDir() + name;
    // A folder whose name reads as this one (GBK bytes from Windows) is that category.
    if (!NameShownAs(session.fs(), session.currentDir(), name).isEmpty()) {
        m_dialogs.showMessage(texts::CategoryExists);
        return OkResult::StayFocusInput;
    }
    if (!session.fs().makeDirectory(dir)) {
        m_dialogs.showMessage(texts::CategoryCreateFailed);
        return OkResult::StayFocusInput;
    }

    CategoryTreeModel& tree = m_workspace.systemTree();
    const QModelIndex parent = m_workspace.selectedNode(tree);
    const QModelIndex child = tree.childForNewFolder(parent, name);
    Q_EMIT expandRequested(parent);
    m_workspace.systemTreeSelection().setCurrentIndex(child, QItemSelectionModel::ClearAndSelect);
    return OkResult::Close;
}

void CategoryCommands::rendirClick()
{
    const QModelIndex node = m_workspace.selectedNode(m_workspace.systemTree());
    if (treeviewEditing(node))
        Q_EMIT editRequested(node);
}

bool CategoryCommands::treeviewEditing(const QModelIndex& index) const
{
    const int kind = m_workspace.systemTree().kindOf(index);
    return m_workspace.session().writable() && kind != RecycleBoxKind && kind != TransitKind &&
           kind >= 0;
}

void CategoryCommands::treeviewEdited(const QModelIndex& index, const QString& text)
{
    CategoryTreeModel& tree = m_workspace.systemTree();
    if (!index.isValid() || !treeviewEditing(index))
        return;
    if (text.isEmpty()) {
        m_dialogs.showMessage(texts::CategoryNameEmpty);
        return;
    }
    // A caption is one line: the root's is stored in the configuration file and a
    // category's is a folder name that notes files use as a key.
    if (text.contains(u'\n') || text.contains(u'\r')) {
        m_dialogs.showMessage(texts::CaptionLineBreak);
        return;
    }
    if (text == tree.captionOf(index))
        return;
    if (tree.kindOf(index) == RootKind) {
        tree.setCaption(index, text);
        return;
    }
    if (HasInvalidNameChar(text)) {
        m_dialogs.showMessage(texts::invalidNameMessageRename());
        return;
    }
    Session& session = m_workspace.session();
    const QString parentDir = session.layout().programDir() + tree.NodePath(index.parent());
    if (!session.fs().move(parentDir + tree.nameOf(index), parentDir + text)) {
        m_dialogs.showMessage(texts::categoryRenameFailed());
        return;
    }
    tree.setName(index, text);
    session.setCurrentDir(session.layout().programDir() + tree.NodePath(index));
    m_workspace.status().setText(0, session.currentDir());
    session.openNotesFile(session.currentDir());
}

void CategoryCommands::deltreeClick()
{
    CategoryTreeModel& tree = m_workspace.systemTree();
    const QModelIndex node = m_workspace.selectedNode(tree);
    if (!node.isValid())
        return;
    switch (tree.kindOf(node)) {
    case RootKind:
        m_dialogs.ask(texts::DeleteRootCaption, texts::DeleteRootRefusal, MessageIcon::Warning,
                      Buttons::Ok, Answer::Ok);
        return;
    case TransitKind:
    case RecycleBoxKind:
        m_dialogs.ask(texts::DeleteSystemFolderCaption, texts::DeleteSystemFolderRefusal,
                      MessageIcon::Warning, Buttons::Ok, Answer::Ok);
        return;
    default:
        break;
    }
    if (tree.rowCount(node) > 0) {
        m_dialogs.showMessage(texts::CategoryHasChildren);
        return;
    }
    if (m_workspace.fileList().count() > 0) {
        m_dialogs.showMessage(texts::CategoryHasFiles);
        return;
    }
    if (m_dialogs.ask(texts::DeleteCategoryCaption, texts::DeleteCategoryQuestion,
                      MessageIcon::Question, Buttons::YesNo, Answer::No) != Answer::Yes)
        return;

    // What the folder holds at this moment decides, not the rows: a file that came while the
    // question was open keeps the category, its notes file and its note.
    const Session& session = m_workspace.session();
    switch (notes::NotesKeeper::removeFolder(session.fs(), session.currentDir())) {
    case notes::NotesKeeper::FolderRemoval::Removed:
        break;
    case notes::NotesKeeper::FolderRemoval::HoldsFiles:
        m_dialogs.showMessage(texts::CategoryHasFiles);
        m_files.flistrefClick();
        return;
    case notes::NotesKeeper::FolderRemoval::HoldsFolders:
        m_dialogs.showMessage(texts::CategoryHasChildren);
        tree.fillIfNeverOpened(node);
        Q_EMIT expandRequested(node);
        return;
    case notes::NotesKeeper::FolderRemoval::Failed:
        m_dialogs.showMessage(texts::CategoryDeleteFailed);
        return;
    }
    removeNodeAndSelectAnother(tree, m_workspace.systemTreeSelection(), node);
}

} // namespace core
