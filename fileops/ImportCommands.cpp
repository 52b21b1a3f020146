#include "fileops/ImportCommands.h"

#include "core/FileFormats.h"
#include "core/FileListing.h"
#include "core/Texts.h"
#include "fileops/FileOpsTexts.h"
#include "fileops/LinkMender.h"
#include "fileops/RowSteps.h"
#include "platform/FileIdentity.h"
#include "platform/FileNames.h"
#include "platform/ShownNames.h"

#include <cerrno>

namespace fileops {

ImportCommands::ImportCommands(core::Workspace& workspace, core::Dialogs& dialogs)
    : m_workspace(workspace), m_dialogs(dialogs)
{
}

void ImportCommands::t103Click()
{
    importFiles(TransferMode::Move);
}

void ImportCommands::t104Click()
{
    importFiles(TransferMode::Copy);
}

void ImportCommands::t1051Click()
{
    importFolder(TransferMode::Move);
}

void ImportCommands::t1052Click()
{
    importFolder(TransferMode::Copy);
}

bool ImportCommands::targetAllowed()
{
    const int kind = m_workspace.activeKind();
    // An external library whose folder is not set has no folder to bring files into.
    return kind >= 0 && kind != core::RootKind && kind != core::ExternalRootKind &&
           kind != core::RecycleBoxKind && !m_workspace.session().currentDir().isEmpty();
}

bool ImportCommands::refuseOwnFolder(const QString& folder)
{
    if (!platform::isSameFolder(folder, m_workspace.session().currentDir()))
        return false;
    m_dialogs.showMessage(texts::AlreadyInCategory);
    return true;
}

void ImportCommands::importFiles(TransferMode mode)
{
    if (!targetAllowed())
        return;
    const QStringList chosen =
        m_dialogs.chooseFiles(texts::ChooseFilesTitle, texts::ChooseFilesFilter);
    if (chosen.isEmpty())
        return;
    // All chosen files lie in one folder, so the first one speaks for all.
    if (refuseOwnFolder(platform::folderOfPath(chosen.first())))
        return;

    const core::BusyCursor busy(m_dialogs);
    const platform::FileSystem& fs = m_workspace.session().fs();
    const QString dir = m_workspace.session().currentDir();
    core::FileListModel& list = m_workspace.fileList();
    platform::ShownNames shown(dir);
    std::vector<core::FileRow> added;
    // A file and links to it brought in together keep leading to each other.
    LinkMender links;
    try {
        for (const QString& source : chosen) {
            const QString name = platform::nameOfPath(source);
            const QString target = dir + name;
            const qint64 size = fs.fileSize(source);
            const QDateTime modified = fs.times(source).modified;
            const platform::Attributes attributes = fs.attributes(source);

            const bool replacing = fs.exists(target);
            int listRow = -1;
            int addedRow = -1;
            if (replacing && platform::isAlreadyAt(source, target))
                continue; // a link to a file of the category is that file
            if (replacing && fs.isDirectory(target)) {
                // Only a file of that name can be replaced; a folder stays as it is.
                m_dialogs.showMessage(
                    texts::folderOfSameName(core::CaptionInFolder(fs, dir, name)));
                continue;
            }
            if (!replacing && !shown.otherShowingAs(name).isEmpty()) {
                m_dialogs.showMessage(texts::shownAlike(
                    core::CaptionInFolder(fs, platform::folderOfPath(source), name)));
                continue;
            }
            if (replacing) {
                const QString prompt = texts::ImportSameNamePrompt(
                    core::CaptionInFolder(fs, dir, name), core::DateText(fs.times(target).modified),
                    fs.fileSize(target), core::DateText(modified), size);
                if (m_dialogs.ask(texts::SameNameCaption, prompt, core::MessageIcon::Question,
                                  core::Buttons::YesNo, core::Answer::Yes) != core::Answer::Yes)
                    continue;
                // The row of the file being replaced; it goes only once its successor is in.
                listRow = findRowOfFile(list.listedRows(), name, target);
                if (listRow < 0)
                    addedRow = findRowOfFile(added, name, target);
            }

            const platform::FsResult result = replacing ? ReplaceTarget(fs, mode, source, target)
                                                        : transferNew(fs, mode, source, target);
            if (!result) {
                m_dialogs.showMessage(texts::importFailed(source));
                continue;
            }
            links.arrived(source, target);
            shown.arrived(name);
            // The replaced file's row makes way; the new one shows the note stored for the
            // name, which an import leaves as it is.
            QString note;
            if (replacing) {
                if (listRow >= 0)
                    TakeOverRow(list, listRow);
                else if (addedRow >= 0)
                    added.erase(added.begin() + addedRow);
                note = core::NotesFile::open(dir).readNote(core::CaptionInFolder(fs, dir, name));
            }
            added.push_back(ImportedRow(fs, dir, name, note, core::ImportSizeText(size), size,
                                        modified, attributes));
        }
    } catch (...) {
        finish(std::move(added));
        throw;
    }
    links.mend();
    finish(std::move(added));
}

void ImportCommands::importFolder(TransferMode mode)
{
    if (!targetAllowed())
        return;
    const QString chosen = m_dialogs.chooseFolder(texts::ChooseFolderTitle);
    if (chosen.trimmed().isEmpty())
        return;
    const QString folder = platform::withTrailingSlash(chosen);
    if (refuseOwnFolder(folder))
        return;

    const core::BusyCursor busy(m_dialogs);
    const platform::FileSystem& fs = m_workspace.session().fs();
    const QString dir = m_workspace.session().currentDir();
    platform::ShownNames shown(dir);
    std::vector<core::FileRow> added;
    LinkMender links;
    for (const platform::DirEntry& entry : fs.list(folder)) {
        // Only the files directly in the folder; a link to a folder is a folder.
        if (entry.isDir || (entry.isSymlink && fs.isDirectory(folder + entry.name)) ||
            platform::isTemporaryName(entry.name))
            continue;
        // A name that shows like another file of the category is skipped as that name is.
        if (!fs.exists(dir + entry.name) && !shown.otherShowingAs(entry.name).isEmpty())
            continue;
        // A name the category already holds makes the transfer fail; it is skipped quietly.
        // Any other failure (a full disk, a read error) is told, and the file stays where it
        // was.
        if (const platform::FsResult result =
                transferNew(fs, mode, folder + entry.name, dir + entry.name);
            !result) {
            if (result.error != EEXIST)
                m_dialogs.showMessage(texts::importFailed(folder + entry.name));
            continue;
        }
        links.arrived(folder + entry.name, dir + entry.name);
        shown.arrived(entry.name);
        added.push_back(ImportedRow(fs, dir, entry.name, QString(),
                                    core::KilobyteNumber(entry.size) + QStringLiteral(" K"),
                                    entry.size, entry.modified, entry.attributes));
    }
    links.mend();
    finish(std::move(added));
}

void ImportCommands::finish(std::vector<core::FileRow> rows)
{
    AddImportedRows(m_workspace.fileList(), m_workspace.fileSelection(), std::move(rows));
    m_workspace.status().setText(
        1, core::texts::fileCountAfterRefresh(m_workspace.fileList().count()));
}

} // namespace fileops
