#pragma once
// Bringing files into the current category: chosen files or every file directly in a chosen
// folder, moved or copied. Every file that arrives gets a selected row at the end of the
// file list; the folder is not read again.

#include "core/Dialogs.h"
#include "core/Workspace.h"
#include "fileops/Transfer.h"

#include <vector>

namespace fileops {

class ImportCommands
{
public:
    ImportCommands(core::Workspace& workspace, core::Dialogs& dialogs);

    // "移动文件入库": moves chosen files in; a same-named file is replaced only on Yes.
    void t103Click();
    // "复制文件入库": copies chosen files in; a same-named file is replaced only on Yes.
    void t104Click();
    // "移动方式入库": moves every file of a chosen folder in; same names are skipped.
    void t1051Click();
    // "复制方式入库": copies every file of a chosen folder in; same names are skipped.
    void t1052Click();

private:
    // The selected node of the active tree can take files: not a root, not the recycle box,
    // and it has a folder.
    bool targetAllowed();
    // True (after the message) when `folder` is the current category's own folder.
    bool refuseOwnFolder(const QString& folder);
    void importFiles(TransferMode mode);
    void importFolder(TransferMode mode);
    // Appends the run's rows in one insertion and counts the files.
    // The rows of the files brought in by a command, with the comments they carried where
    // they came from.
    struct Brought
    {
        std::vector<core::FileRow> rows;
        QStringList comments;
        void add(core::FileRow row, const QString& comment);
        // Takes out the row of `name`; false when none.
        bool drop(const QString& name);
    };
    void finish(Brought brought);

    core::Workspace& m_workspace;
    core::Dialogs& m_dialogs;
};

} // namespace fileops
