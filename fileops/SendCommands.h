#pragma once
// Sending copies of the selected files of the file list or of the search list out of the
// library: onto the floppy disk (the folder [SystemConfig] FloppyDir names, ready only while a
// disk is mounted there) or into a folder the user chooses. Only file contents go out: notes
// and documents stay in the library. Rows whose file was sent are deselected.

#include "core/Dialogs.h"
#include "core/Workspace.h"
#include "platform/DriveInfo.h"

#include <functional>

namespace fileops {

class SendCommands
{
public:
    SendCommands(core::Workspace& workspace, core::Dialogs& dialogs,
                 const platform::DriveOracle& drives);

    // "发送到" → "A：驱动器磁盘": the file list's selected files onto the floppy disk.
    void toAdriveClick();
    // "发送到" → "其它文件夹...": the file list's selected files into a chosen folder.
    void sendotherClick();
    // "复制到软盘驱动器": the search list's selected files onto the floppy disk.
    void copytofollyClick();
    // "复制到其它目录...": the search list's selected files into a chosen folder.
    void copytootherClick();

    // The floppy disk's folder, ending in "/".
    QString floppyDir() const;
    // Free bytes on the floppy disk; -1 when no disk is ready.
    qint64 floppyFreeSpace() const;

private:
    void copyToFloppy(core::FileListModel& list, QItemSelectionModel& selection);
    // Sends one file (its row, its path) into the folder; true when its row is deselected.
    using SendOne = std::function<bool(const core::FileRow& file, const QString& source,
                                       const QString& folder)>;
    // The selected rows into a chosen folder, or onto the floppy disk when its folder is chosen.
    void sendToChosenFolder(core::FileListModel& list, QItemSelectionModel& selection,
                            void (SendCommands::*floppyCommand)(), const SendOne& sendOne);
    // The folder chooser's answer ending in "/"; empty when cancelled.
    QString chooseFolder();
    bool isFloppyFolder(const QString& folder) const;

    core::Workspace& m_workspace;
    core::Dialogs& m_dialogs;
    const platform::DriveOracle& m_drives;
};

} // namespace fileops
