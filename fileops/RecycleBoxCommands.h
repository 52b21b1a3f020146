#pragma once
// The recycle box: deleting files of the file list or of the search list moves them into the
// box with their notes; deleting while the box is shown removes files for good with their
// documents; emptying the box removes every listed file of it.

#include "core/Dialogs.h"
#include "core/Workspace.h"
#include "fileops/BoxOrigins.h"
#include "fileops/CarriedRows.h"
#include "fileops/LinkMender.h"

namespace fileops {

class RecycleBoxCommands
{
public:
    RecycleBoxCommands(core::Workspace& workspace, core::Dialogs& dialogs);

    // "删除文件" (tool button, menus, Delete in the file list): refuses on a read-only
    // library; on the browse page deletes the selected files of the file list, on the search
    // page the selected rows of the search list.
    void delselfileClick();
    // Deletes the selected rows of the file list: into the box, or for good when the tree's
    // selected node is the box.
    void DeleteToRecycleBox(const core::CategoryTreeModel& tree);
    // "删除文件" of the search list (and Delete there): moves its selected rows into the box.
    void DELFMClick();
    // "清空废物箱" / "清空回收箱": deletes every listed file of the box, its document and the
    // box's notes.
    void emptyboxClick();

private:
    void moveIntoBox();
    notes::NoteCarrier::Transfer moveTransfer() const;
    // The carrier of rows of `list` into the box: arrived files record where they came from,
    // and a file that does not arrive is told (one whose name the box has only with
    // `tellNameTaken`).
    CarriedRows intoBox(LinkMender& links, BoxOrigins& origins, core::FileListModel& list,
                        QItemSelectionModel& selection, bool tellNameTaken);
    void deleteForGood();
    void countFiles();

    core::Workspace& m_workspace;
    core::Dialogs& m_dialogs;
};

} // namespace fileops
