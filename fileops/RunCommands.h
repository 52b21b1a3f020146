#pragma once
// Running a file of the file list or of the search list with the program the desktop gives
// it, the double-click and Enter actions of both lists, and opening the current category's
// folder in the desktop's file manager.

#include "core/Dialogs.h"
#include "core/Workspace.h"
#include "platform/Shell.h"

namespace fileops {

class NoteCommands;

class RunCommands
{
public:
    RunCommands(core::Workspace& workspace, core::Dialogs& dialogs, platform::Shell& shell,
                NoteCommands& notes);

    // "运行文件", "执行所选文件", "执行文件": runs or opens the first selected file of the list
    // the work area shows, in the file's own folder.
    void runfileClick();
    // A double click or Enter in the file list / in the search list: runs the file or edits
    // its note, as the options say.
    void filelistDblClick();
    void findListDblClick();
    // "查看目录", "查看文件夹": opens the current category's folder in the file manager.
    void openfildClick();

private:
    void doubleClick();

    core::Workspace& m_workspace;
    core::Dialogs& m_dialogs;
    platform::Shell& m_shell;
    NoteCommands& m_notes;
};

} // namespace fileops
