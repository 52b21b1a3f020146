#include "fileops/ImportCommands.h"

#include "core/FileFormats.h"
#include "core/FileListing.h"
#include "core/Texts.h"
#include "fileops/FileOpsTexts.h"
#include "fileops/LinkMender.h"
#include "fileops/RowSteps.h"
#include "notes/Arrivals.h"
#include "notes/FileComments.h"
#include "platform/FileNames.h"

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
    notes::Arrivals arrivals(fs, dir);
    Brought brought;
    // A file and links to it brought in together keep leading to each other.
    LinkMender links;
    try {
        for (const QString& source : chosen) {
            const QString name = platform::nameOfPath(source);
            const QString target = dir + name;
            const qint64 size = fs.fileSize(source);
            const QDateTime modified = fs.times(source).modified;
            const platform::Attributes attributes = fs.attributes(source);
            // Where it comes from it may carry a comment that a folder without attributes
            // would not keep: read before it leaves.
            const QString comment = notes::commentOf(source);

            const notes::Arrival arrival = arrivals.of(source, name);
            switch (arrival) {
            case notes::Arrival::Free:
            case notes::Arrival::Taken:
                break;
            case notes::Arrival::AlreadyThere:
                continue; // a link to a file of the category is that file
            case notes::Arrival::SourceGone:
                m_dialogs.showMessage(texts::importFailed(source));
                continue;
            case notes::Arrival::NotAFile:
                m_dialogs.showMessage(texts::notesFileNotImported(source));
                continue;
            case notes::Arrival::FolderInTheWay:
                // Only a file of that name can be replaced; a folder stays as it is.
                m_dialogs.showMessage(
                    texts::folderOfSameName(notes::captionInFolder(fs, dir, name)));
                continue;
            case notes::Arrival::ShownAlike:
                m_dialogs.showMessage(texts::shownAlike(
                    notes::captionInFolder(fs, platform::folderOfPath(source), name)));
                continue;
            }
            const bool replacing = arrival == notes::Arrival::Taken;
            if (replacing) {
                const QString prompt = texts::ImportSameNamePrompt(
                    notes::captionInFolder(fs, dir, name),
                    core::DateText(fs.times(target).modified), fs.fileSize(target),
                    core::DateText(modified), size);
                if (m_dialogs.ask(texts::SameNameCaption, prompt, core::MessageIcon::Question,
                                  core::Buttons::YesNo, core::Answer::Yes) != core::Answer::Yes)
                    continue;
            }

            const platform::FsResult result = replacing ? ReplaceTarget(fs, mode, source, target)
                                                        : transferNew(fs, mode, source, target);
            if (!result) {
                m_dialogs.showMessage(texts::importFailed(source));
                continue;
            }
            links.arrived(source, target);
            arrivals.arrived(name);
            // The replaced file's row makes way (one brought in before it by this command, or
            // one of the list); the new one shows the note stored for the name, which an import
            // leaves as it is.
            if (replacing) {
                if (!brought.drop(name)) {
                    const int listRow = findRowOfFile(list.listedRows(), name, target);
                    if (listRow >= 0)
                        TakeOverRow(list, listRow);
                }
            }
            brought.add(ImportedRow(fs, dir, name, QString(), core::ImportSizeText(size), size,
                                    modified, attributes),
                        comment);
        }
    } catch (...) {
        finish(std::move(brought));
        throw;
    }
    links.mend();
    finish(std::move(brought));
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
    notes::Arrivals arrivals(fs, dir);
    Brought brought;
    LinkMender links;
    for (const platform::DirEntry& entry : fs.list(folder)) {
        // Only the files directly in the folder; a link to a folder is a folder. Its notes file
        // is no file of it: an import brings no notes.
        if (entry.isDir || (entry.isSymlink && fs.isDirectory(folder + entry.name)))
            continue;
        const QString source = folder + entry.name;
        const notes::Arrival arrival = arrivals.of(source, entry.name);
        // A name the category already holds, or one that shows like another file of it, is
        // skipped quietly, as the notes file's name is.
        if (arrival != notes::Arrival::Free)
            continue;
        const QString comment = notes::commentOf(source);
        // Any failure but a name taken meanwhile (a full disk, a read error) is told, and the
        // file stays where it was.
        if (const platform::FsResult result = transferNew(fs, mode, source, dir + entry.name);
            !result) {
            if (result.error != EEXIST)
                m_dialogs.showMessage(texts::importFailed(source));
            continue;
        }
        links.arrived(source, dir + entry.name);
        arrivals.arrived(entry.name);
        brought.add(ImportedRow(fs, dir, entry.name, QString(),
                                core::KilobyteNumber(entry.size) + QStringLiteral(" K"), entry.size,
                                entry.modified, entry.attributes),
                    comment);
    }
    links.mend();
    finish(std::move(brought));
}

bool ImportCommands::Brought::drop(const QString& name)
{
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].name == name) {
            rows.erase(rows.begin() + qsizetype(i));
            comments.removeAt(qsizetype(i));
            return true;
        }
    }
    return false;
}

void ImportCommands::Brought::add(core::FileRow row, const QString& comment)
{
    rows.push_back(std::move(row));
    comments.append(comment);
}

void ImportCommands::finish(Brought brought)
{
    // The files show the notes stored for their names, or take the comments they brought.
    TakeBroughtComments(m_workspace.session().currentDir(), brought.rows, brought.comments);
    AddImportedRows(m_workspace.fileList(), m_workspace.fileSelection(), std::move(brought.rows));
    m_workspace.status().setText(
        1, core::texts::fileCountAfterRefresh(m_workspace.fileList().count()));
}

} // namespace fileops
