#include "fileops/SendCommands.h"

#include "core/FileFormats.h"
#include "fileops/FileOpsTexts.h"
#include "fileops/ImportCommands.h"
#include "fileops/RowSteps.h"
#include "platform/FileIdentity.h"

namespace fileops {

namespace {

bool askYes(core::Dialogs& dialogs, const QString& caption, const QString& text)
{
    return dialogs.ask(caption, text, core::MessageIcon::Question, core::Buttons::YesNo,
                       core::Answer::Yes) == core::Answer::Yes;
}

} // namespace

SendCommands::SendCommands(core::Workspace& workspace, core::Dialogs& dialogs,
                           const platform::DriveOracle& drives)
    : m_workspace(workspace), m_dialogs(dialogs), m_drives(drives)
{
}

QString SendCommands::floppyDir() const
{
    return platform::withTrailingSlash(m_workspace.session().options().FloppyDir);
}

qint64 SendCommands::floppyFreeSpace() const
{
    const QString dir = floppyDir();
    if (dir.isEmpty() || !m_drives.isMountPoint(dir))
        return -1;
    return m_drives.freeSpace(dir);
}

bool SendCommands::isFloppyFolder(const QString& folder) const
{
    return !floppyDir().isEmpty() && platform::isSameFolder(folder, floppyDir());
}

void SendCommands::toAdriveClick()
{
    copyToFloppy(m_workspace.fileList(), m_workspace.fileSelection());
}

void SendCommands::copytofollyClick()
{
    copyToFloppy(m_workspace.searchList(), m_workspace.searchSelection());
}

void SendCommands::copyToFloppy(core::FileListModel& list, QItemSelectionModel& selection)
{
    const std::vector<int> rows = core::Workspace::selectedRows(selection);
    if (rows.empty())
        return;
    bool success = false;
    if (floppyFreeSpace() < 0) {
        m_dialogs.showMessage(texts::FloppyNotReady);
        return;
    }
    {
        const core::BusyCursor busy(m_dialogs);
        const platform::FileSystem& fs = m_workspace.session().fs();
        const QString floppy = floppyDir();
        for (int row : rows) {
            const QString source = list.pathOf(row);
            const QString target = floppy + list.row(row).name;
            if (fs.exists(target)) {
                if (fs.isSameFile(source, target)) {
                    // The file is on the disk already: there is nothing to copy.
                    deselectRow(list, selection, row);
                    success = true;
                    continue;
                }
                if (!askYes(m_dialogs, texts::SystemHintCaption,
                            texts::floppySameNameQuestion(list.row(row).caption)))
                    continue;
            }
            if (floppyFreeSpace() < fs.fileSize(source)) {
                m_dialogs.showMessage(texts::FloppyFull);
                success = false;
                break;
            }
            if (!fs.copyFile(source, target, true)) {
                m_dialogs.showMessage(texts::FloppyWriteProtected);
                break;
            }
            deselectRow(list, selection, row);
            success = true;
        }
    }
    if (success)
        m_dialogs.showMessage(texts::FloppyDone);
}

QString SendCommands::chooseFolder()
{
    const QString chosen = m_dialogs.chooseFolder(texts::SendFolderTitle);
    if (chosen.trimmed().isEmpty())
        return {};
    return platform::withTrailingSlash(chosen);
}

void SendCommands::sendToChosenFolder(core::FileListModel& list, QItemSelectionModel& selection,
                                      void (SendCommands::*floppyCommand)(), const SendOne& sendOne)
{
    const std::vector<int> rows = core::Workspace::selectedRows(selection);
    if (rows.empty())
        return;
    const QString folder = chooseFolder();
    if (folder.isEmpty())
        return;
    if (isFloppyFolder(folder)) {
        (this->*floppyCommand)();
        return;
    }
    {
        const core::BusyCursor busy(m_dialogs);
        for (int row : rows) {
            if (sendOne(list.row(row), list.pathOf(row), folder))
                deselectRow(list, selection, row);
        }
    }
    m_dialogs.showMessage(texts::SendDone);
}

void SendCommands::sendotherClick()
{
    const platform::FileSystem& fs = m_workspace.session().fs();
    // Every row is deselected, also one whose replacement the user declined.
    sendToChosenFolder(
        m_workspace.fileList(), m_workspace.fileSelection(), &SendCommands::toAdriveClick,
        [&](const core::FileRow& file, const QString& source, const QString& folder) {
            const QString target = folder + file.name;
            if (!fs.exists(target)) {
                if (!fs.copyFile(source, target, false))
                    m_dialogs.showMessage(texts::sendCopyFailed(file.caption));
            } else if (!fs.isSameFile(source, target)) {
                const QString prompt = texts::SendReplacePrompt(
                    folder + file.caption, core::DateText(fs.times(target).modified),
                    fs.fileSize(target), file.dateText, file.sizeText);
                if (askYes(m_dialogs, texts::SameNameCaption, prompt) &&
                    !fs.copyFile(source, target, true))
                    m_dialogs.showMessage(texts::sendCopyFailed(file.caption));
            }
            return true;
        });
}

void SendCommands::copytootherClick()
{
    const platform::FileSystem& fs = m_workspace.session().fs();
    // A row whose replacement the user declined stays selected.
    sendToChosenFolder(
        m_workspace.searchList(), m_workspace.searchSelection(), &SendCommands::copytofollyClick,
        [&](const core::FileRow& file, const QString& source, const QString& folder) {
            const QString target = folder + file.name;
            if (fs.exists(target) && !fs.isSameFile(source, target)) {
                if (!askYes(m_dialogs, texts::SystemHintCaption,
                            texts::folderSameNameQuestion(folder, file.caption)))
                    return false;
            }
            if (!fs.isSameFile(source, target) && !fs.copyFile(source, target, true))
                m_dialogs.showMessage(texts::copyToFolderFailed(file.caption));
            return true;
        });
}

} // namespace fileops
