#include "core/ExternalTreeCommands.h"

#include "core/CategoryCommands.h"
#include "core/Texts.h"

namespace core {

ExternalTreeCommands::ExternalTreeCommands(Workspace& workspace, FileListController& files,
                                           Dialogs& dialogs, QObject* parent)
    : QObject(parent), m_workspace(workspace), m_files(files), m_dialogs(dialogs)
{
    connect(&workspace.externalTreeSelection(), &QItemSelectionModel::selectionChanged, this,
            [this] {
                const QModelIndex node = m_workspace.selectedNode(m_workspace.externalTree());
                if (node.isValid())
                    usertreeChange(node);
            });
}

void ExternalTreeCommands::usertreeChange(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    CategoryTreeModel& tree = m_workspace.externalTree();
    Session& session = m_workspace.session();
    const int kind = tree.kindOf(index);

    m_workspace.startNodeSelection(true, kind);
    if (kind == ExternalRootKind) {
        m_files.showRoot(texts::ExternalRootStatus);
        return;
    }

    QString dir;
    if (kind == RecycleBoxKind)
        dir = session.layout().recycleBoxDir();
    else if (kind == TransitKind)
        dir = session.layout().transitDir();
    else
        dir = session.config().readString(section::UserDefDir, tree.captionOf(index), QString());
    session.setCurrentDir(dir);
    m_workspace.status().setText(0, dir);

    if (dir.isEmpty()) {
        m_dialogs.showMessage(QStringLiteral("这个分类库的对应目录不明确,请重新设定对应目录!"));
        m_files.clearList();
        return;
    }
    if (!session.fs().isDirectory(dir)) {
        if (kind == CategoryKind) {
            m_dialogs.showMessage(
                QStringLiteral("此分类库的外部对应目录不存在,系统将要移去这个分类库！"));
            session.config().removeKey(section::UserDefDir, tree.captionOf(index));
            removeNodeAndSelectAnother(tree, m_workspace.externalTreeSelection(), index);
            return;
        }
        if (!recreateSpecialFolder(kind, dir, session.fs(), m_dialogs))
            return;
    }
    m_files.showFolder(dir);
}

} // namespace core
