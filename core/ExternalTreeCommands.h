#pragma once
// The external tree's selection: its root lists nothing, its transit and recycle box nodes
// show the library's own folders, and a registered library shows its folder.

#include "core/Dialogs.h"
#include "core/FileListController.h"
#include "core/Workspace.h"

#include <QObject>

namespace core {

class ExternalTreeCommands : public QObject
{
    Q_OBJECT
public:
    ExternalTreeCommands(Workspace& workspace, FileListController& files, Dialogs& dialogs,
                         QObject* parent = nullptr);

    // The change handler of the external tree; runs on every selection change.
    void usertreeChange(const QModelIndex& index);

private:
    Workspace& m_workspace;
    FileListController& m_files;
    Dialogs& m_dialogs;
};

} // namespace core
