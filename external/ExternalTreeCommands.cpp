#include "external/ExternalTreeCommands.h"

#include "core/CategoryCommands.h"
#include "core/ReadOnly.h"
#include "core/Texts.h"
#include "external/ExternalTexts.h"
#include "platform/Errors.h"
#include "platform/FileNames.h"

#include <QCollator>

#include <cerrno>

namespace external {

ExternalTreeCommands::ExternalTreeCommands(core::Workspace& workspace,
                                           core::FileListController& files, core::Dialogs& dialogs,
                                           QObject* parent)
    : QObject(parent), m_workspace(workspace), m_files(files), m_dialogs(dialogs),
      m_libraries(workspace.session().config())
{
    core::CategoryTreeModel& tree = workspace.externalTree();
    tree.setEditableRule([this](const QModelIndex& index) { return usertreeEditing(index); });
    tree.setEditHandler(
        [this](const QModelIndex& index, const QString& text) { usertreeEdited(index, text); });
    connect(&workspace.externalTreeSelection(), &QItemSelectionModel::selectionChanged, this,
            &ExternalTreeCommands::selectionChanged);
}

void ExternalTreeCommands::selectionChanged()
{
    const QModelIndex node = m_workspace.selectedNode(m_workspace.externalTree());
    if (!node.isValid())
        return;
    // A click reaches here without a command around it; a configuration file that cannot be
    // written is reported here.
    core::showErrorsOf(m_dialogs, [&] { usertreeChange(node); });
}

// ---------------------------------------------------------------------------------------
// Filling

void ExternalTreeCommands::LoadOuterLibraries()
{
    core::CategoryTreeModel& tree = m_workspace.externalTree();
    for (const core::ExternalLibrary& library : m_libraries.all())
        tree.appendChild(tree.rootIndex(), library.name);
}

void ExternalTreeCommands::sortLibraries()
{
    // The platform's order of texts, letter case counting.
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseSensitive);
    core::CategoryTreeModel& tree = m_workspace.externalTree();
    tree.sortChildren(tree.rootIndex(), [&collator](const QString& a, const QString& b) {
        return collator.compare(a, b) < 0;
    });
}

void ExternalTreeCommands::buildAtStart()
{
    LoadOuterLibraries();
    sortLibraries();
}

void ExternalTreeCommands::N25Click()
{
    core::CategoryTreeModel& tree = m_workspace.externalTree();
    QItemSelectionModel& selection = m_workspace.externalTreeSelection();
    const QModelIndex selected = selectedLibrary();
    const bool wasLibrary = selected.isValid();
    const QString name = tree.captionOf(selected);
    {
        const QSignalBlocker blocker(selection);
        tree.removeChildren(tree.rootIndex());
        LoadOuterLibraries();
        sortLibraries();
    }
    Q_EMIT expandRequested(tree.rootIndex());
    if (!wasLibrary && m_workspace.selectedNode(tree).isValid())
        return;
    // The same library again where it is still registered, else the root.
    const QModelIndex found = wasLibrary ? entryNamed(name) : QModelIndex();
    selection.setCurrentIndex(found.isValid() ? found : tree.rootIndex(),
                              QItemSelectionModel::ClearAndSelect);
}

QModelIndex ExternalTreeCommands::entryNamed(const QString& name) const
{
    const core::CategoryTreeModel& tree = m_workspace.externalTree();
    const QModelIndex root = tree.rootIndex();
    for (int row = 0; row < tree.rowCount(root); ++row) {
        const QModelIndex entry = tree.index(row, 0, root);
        if (tree.captionOf(entry).compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return {};
}

QModelIndex ExternalTreeCommands::selectedLibrary() const
{
    const core::CategoryTreeModel& tree = m_workspace.externalTree();
    const QModelIndex node = m_workspace.selectedNode(tree);
    return tree.kindOf(node) == core::CategoryKind ? node : QModelIndex();
}

// ---------------------------------------------------------------------------------------
// Selecting

void ExternalTreeCommands::usertreeChange(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    core::CategoryTreeModel& tree = m_workspace.externalTree();
    core::Session& session = m_workspace.session();
    const int kind = tree.kindOf(index);

    m_workspace.startNodeSelection(true, kind);
    if (kind == core::ExternalRootKind) {
        m_files.showRoot(core::texts::ExternalRootStatus);
        return;
    }

    QString dir;
    if (kind == core::RecycleBoxKind)
        dir = session.layout().recycleBoxDir();
    else if (kind == core::TransitKind)
        dir = session.layout().transitDir();
    else
        dir = m_libraries.folderOf(tree.captionOf(index));
    session.setCurrentDir(dir);
    m_workspace.status().setText(0, dir);

    if (dir.isEmpty()) {
        // The entry stays, so that its folder can be defined again.
        m_dialogs.showMessage(texts::FolderNotSet);
        m_files.clearList();
        return;
    }
    if (const platform::FsResult state = session.fs().folderState(dir); !state) {
        // Only a folder that is not there is unregistered; one that cannot be reached now (no
        // permission on the way, a medium gone bad) keeps its registration.
        if (kind == core::CategoryKind && state.error != ENOENT) {
            m_dialogs.showMessage(
                texts::folderUnreachable(platform::displayPath(dir), state.message()));
            m_files.clearList();
            return;
        }
        if (kind == core::CategoryKind) {
            m_dialogs.showMessage(texts::FolderVanished);
            m_libraries.remove(tree.captionOf(index));
            removeEntry(index);
            return;
        }
        if (!core::recreateSpecialFolder(kind, dir, session.fs(), m_dialogs))
            return;
    }
    m_files.showFolder(dir);
}

void ExternalTreeCommands::removeEntry(const QModelIndex& index)
{
    core::removeNodeAndSelectAnother(m_workspace.externalTree(),
                                     m_workspace.externalTreeSelection(), index);
}

// ---------------------------------------------------------------------------------------
// Registering

void ExternalTreeCommands::addtreeClick()
{
    if (core::refuseWhenReadOnly(m_workspace.session(), m_dialogs))
        return;
    newuserdirClick();
}

void ExternalTreeCommands::newuserdirClick()
{
    FolderForm form(m_workspace.session(), m_libraries, m_dialogs);
    m_dialogs.runFolderForm(
        FolderForm::spec(FolderForm::Mode::Add, {}, {}, m_workspace.session().treeBackColor()),
        [&form](const QString& shown) { return form.SpeedButton1Click(shown); },
        [this](const QString& name, const QString& folder) {
            return BitBtn1Click(FolderForm::Mode::Add, name, folder);
        });
}

void ExternalTreeCommands::rendefClick()
{
    const QPersistentModelIndex node = selectedLibrary();
    if (!node.isValid())
        return;
    const QString name = m_workspace.externalTree().captionOf(node);
    FolderForm form(m_workspace.session(), m_libraries, m_dialogs);
    m_dialogs.runFolderForm(
        FolderForm::spec(FolderForm::Mode::Redefine, name, m_libraries.folderOf(name),
                         m_workspace.session().treeBackColor()),
        [&form](const QString& shown) { return form.SpeedButton1Click(shown); },
        [this](const QString& typed, const QString& folder) {
            return BitBtn1Click(FolderForm::Mode::Redefine, typed, folder);
        });
    // Saved or not, the entry's folder is listed as it is registered now.
    if (node.isValid())
        usertreeChange(node);
}

core::OkResult ExternalTreeCommands::BitBtn1Click(FolderForm::Mode mode, const QString& name,
                                                  const QString& folder)
{
    FolderForm form(m_workspace.session(), m_libraries, m_dialogs);
    if (const std::optional<core::OkResult> refused = form.refusal(name, folder))
        return *refused;
    try {
        m_libraries.write(name, folder);
    } catch (const platform::UserError& error) {
        m_dialogs.showError(error.message());
        return core::OkResult::Stay;
    }
    if (mode == FolderForm::Mode::Redefine)
        return core::OkResult::Close;

    // A name registered again keeps its one entry; the key holds the new folder.
    core::CategoryTreeModel& tree = m_workspace.externalTree();
    if (!entryNamed(name).isValid())
        tree.appendChild(tree.rootIndex(), name);
    Q_EMIT expandRequested(tree.rootIndex());
    return core::OkResult::StayCleared;
}

// ---------------------------------------------------------------------------------------
// Removing and renaming

void ExternalTreeCommands::movedirClick()
{
    const QModelIndex node = selectedLibrary();
    if (!node.isValid())
        return;
    // Removing a name the configuration file does not hold writes nothing; one that cannot be
    // read is refused rather than taken for one without the name.
    m_libraries.remove(m_workspace.externalTree().captionOf(node));
    removeEntry(node);
}

void ExternalTreeCommands::deltreeClick()
{
    const core::CategoryTreeModel& tree = m_workspace.externalTree();
    const QModelIndex node = m_workspace.selectedNode(tree);
    switch (tree.kindOf(node)) {
    case core::ExternalRootKind:
        m_dialogs.showMessage(texts::RootNotRemovable);
        return;
    case core::RecycleBoxKind:
        m_dialogs.ask(texts::BoxNotRemovableCaption, core::texts::DeleteSystemFolderRefusal,
                      core::MessageIcon::Error, core::Buttons::Ok, core::Answer::Ok);
        return;
    case core::CategoryKind:
        break;
    default:
        // Nothing selected, or the transit folder, which is no registration.
        return;
    }
    const QString name = tree.captionOf(node);
    if (m_dialogs.ask(texts::RemoveCaption, texts::removeQuestion(m_libraries.folderOf(name)),
                      core::MessageIcon::Warning, core::Buttons::YesNo,
                      core::Answer::No) != core::Answer::Yes)
        return;
    m_libraries.remove(name);
    removeEntry(node);
}

void ExternalTreeCommands::editdirnameClick()
{
    const QModelIndex node = selectedLibrary();
    if (node.isValid())
        Q_EMIT editRequested(node);
}

bool ExternalTreeCommands::usertreeEditing(const QModelIndex& index) const
{
    return m_workspace.externalTree().kindOf(index) == core::CategoryKind;
}

void ExternalTreeCommands::usertreeEdited(const QModelIndex& index, const QString& text)
{
    if (!usertreeEditing(index))
        return;
    if (text.isEmpty()) {
        m_dialogs.showMessage(core::texts::CategoryNameEmpty);
        return;
    }
    core::CategoryTreeModel& tree = m_workspace.externalTree();
    const QString old = tree.captionOf(index);
    if (text == old)
        return;
    if (!m_libraries.isStorableName(text)) {
        m_dialogs.showMessage(texts::NameUnstorable);
        return;
    }
    // Keys match without letter case: another spelling of the same name re-keys it, any
    // other registered name would lose its folder.
    if (text.compare(old, Qt::CaseInsensitive) != 0 && m_libraries.contains(text)) {
        m_dialogs.showMessage(texts::NameTaken);
        return;
    }
    try {
        m_libraries.rename(old, text);
    } catch (const platform::UserError& error) {
        m_dialogs.showError(error.message());
        return;
    }
    tree.setName(index, text);
}

} // namespace external
