#pragma once
// The desktop drop window's commands: files and folders dropped on it are copied or moved
// into the category selected in the main window, and the drop mode is switched and stored.
// Every message goes through the Dialogs it is given, which the window shows on top of
// everything without an owner, as the main window may be hidden.

#include "core/Dialogs.h"
#include "core/Workspace.h"
#include "fileops/Transfer.h"
#include "notes/Arrivals.h"
#include "platform/Sound.h"

#include <QStringList>

namespace dropwin {

class DropCommands
{
public:
    DropCommands(core::Workspace& workspace, core::Dialogs& dialogs);

    // What plays the sound at the end of a drop; none plays nothing.
    void setSound(platform::Sound* sound) { m_sound = sound; }

    // The drop mode: 0 copies, 1 moves; any other value read from the configuration file
    // counts as 1.
    int mode() const;
    // The mode's mark in the window's corner: "复" or "移".
    QString modeMark() const;
    // A click on the mark: switches the mode and stores it at once.
    void Label1Click();
    // "移动方式拖动" and "复制方式拖动".
    void MoveDRClick();
    void CopyDRClick();

    // The dropped paths, in the order the drag source gave them.
    void DropFileDrop(const QStringList& paths);
    // Copies or moves every file directly in `source` into `target`, each with its note from
    // the folder's notes file; each failure has its message and the rest go on. No row is
    // touched.
    void DropFolderFiles(const QString& source, const QString& target);

private:
    void setMode(int mode);
    fileops::TransferMode transferMode() const;
    // The receiving category: a selected node of the active tree that is not its root and
    // has a folder.
    bool receivingAllowed();
    void dropFolder(const QString& path);
    // `path` is the dropped path as cleaned, `dropped` as given, which a failure shows.
    void dropFile(const QString& path, const QString& dropped, notes::Arrivals& arrivals);
    // The library's own folder, its reserved folders and the program's files in it are never
    // brought into a category.
    bool isOfTheProgram(const QString& path) const;
    // After a dropped folder's files were moved: its notes file goes when it holds no note of
    // a file that stayed; one that cannot be read stays and is reported.
    void leaveNotesFile(const QString& folder);
    void warn(const QString& caption, const QString& text);

    core::Workspace& m_workspace;
    core::Dialogs& m_dialogs;
    platform::Sound* m_sound = nullptr;
};

} // namespace dropwin
