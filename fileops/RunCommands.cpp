#include "fileops/RunCommands.h"

#include "fileops/FileOpsTexts.h"
#include "fileops/NoteCommands.h"

namespace fileops {

RunCommands::RunCommands(core::Workspace& workspace, core::Dialogs& dialogs, platform::Shell& shell,
                         NoteCommands& notes)
    : m_workspace(workspace), m_dialogs(dialogs), m_shell(shell), m_notes(notes)
{
}

void RunCommands::runfileClick()
{
    const bool browsing = m_workspace.page() == core::Workspace::Page::Browse;
    const core::FileListModel& list = browsing ? m_workspace.fileList() : m_workspace.searchList();
    const int row = core::Workspace::firstSelectedRow(browsing ? m_workspace.fileSelection()
                                                               : m_workspace.searchSelection());
    if (row < 0 || row >= list.count())
        return;
    const QString folder = browsing ? m_workspace.session().currentDir() : list.row(row).folder;
    if (folder.isEmpty())
        return;
    const QString path = folder + list.row(row).name;
    const platform::FileSystem& fs = m_workspace.session().fs();
    // The desktop would fail on a vanished file without a word.
    if (!fs.exists(path)) {
        m_dialogs.showMessage(texts::fileToRunMissing(path));
        return;
    }
    platform::ShellExecute(m_shell, fs, path, folder);
}

void RunCommands::doubleClick()
{
    switch (m_workspace.session().options().DoubleEnv) {
    case 0:
        runfileClick();
        break;
    case 1:
        m_notes.editmemoClick();
        break;
    default:
        m_dialogs.showMessage(texts::DoubleEnvError);
        break;
    }
}

void RunCommands::filelistDblClick()
{
    doubleClick();
}

void RunCommands::findListDblClick()
{
    doubleClick();
}

void RunCommands::openfildClick()
{
    const QString dir = m_workspace.session().currentDir();
    if (!dir.isEmpty())
        m_shell.openPath(dir);
}

} // namespace fileops
