#include "dropwin/DropCommands.h"

#include "core/FileFormats.h"
#include "core/FileListing.h"
#include "core/Texts.h"
#include "dropwin/DropTexts.h"
#include "fileops/FileOpsTexts.h"
#include "fileops/ImportCommands.h"
#include "fileops/NoteCarrier.h"
#include "fileops/RowSteps.h"
#include "platform/Errors.h"
#include "platform/FileNames.h"

#include <sys/stat.h>

namespace dropwin {

namespace {

bool isSymlink(const QString& path)
{
    struct stat st;
    return ::lstat(platform::nativePath(path).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

} // namespace

DropCommands::DropCommands(core::Workspace& workspace, core::Dialogs& dialogs)
    : m_workspace(workspace), m_dialogs(dialogs)
{
}

int DropCommands::mode() const
{
    return m_workspace.session().options().DropMode == 0 ? 0 : 1;
}

QString DropCommands::modeMark() const
{
    return texts::DropModeMarks[mode()];
}

fileops::TransferMode DropCommands::transferMode() const
{
    return mode() == 0 ? fileops::TransferMode::Copy : fileops::TransferMode::Move;
}

void DropCommands::setMode(int mode)
{
    m_workspace.session().options().DropMode = mode;
    m_workspace.session().config().writeInt(core::section::SystemConfig, QStringLiteral("DropMode"),
                                            mode);
}

void DropCommands::Label1Click()
{
    setMode(1 - mode());
}

void DropCommands::MoveDRClick()
{
    setMode(1);
}

void DropCommands::CopyDRClick()
{
    setMode(0);
}

void DropCommands::warn(const QString& caption, const QString& text)
{
    m_dialogs.ask(caption, text, core::MessageIcon::Warning, core::Buttons::Ok, core::Answer::Ok);
}

bool DropCommands::receivingAllowed()
{
    core::CategoryTreeModel& tree = m_workspace.activeTree();
    const QModelIndex node = m_workspace.selectedNode(tree);
    // An external library whose folder is not set has nowhere to put files.
    return node.isValid() && node != tree.rootIndex() &&
           !m_workspace.session().currentDir().isEmpty();
}

void DropCommands::DropFileDrop(const QStringList& paths)
{
    core::Session& session = m_workspace.session();
    if (!session.writable()) {
        warn(core::texts::ReadOnlyCaption, core::texts::ReadOnlyRefusal);
        return;
    }
    if (!receivingAllowed()) {
        warn(texts::NoticeCaption, texts::NoCategory);
        return;
    }
    {
        const core::BusyCursor busy(m_dialogs);
        const platform::FileSystem& fs = session.fs();
        for (const QString& path : paths) {
            // A link is brought in as the link itself, never entered as a folder.
            if (fs.isDirectory(path) && !isSymlink(path))
                dropFolder(path);
            else
                dropFile(path);
        }
    }
    m_workspace.status().setText(
        1, core::texts::fileCountAfterRefresh(m_workspace.fileList().count()));

    const QString sound = session.layout().programDir() + texts::SoundFileName;
    if (session.options().EnabledSound && m_sound && session.fs().isFile(sound))
        m_sound->play(sound);
}

void DropCommands::dropFolder(const QString& path)
{
    core::CategoryTreeModel& tree = m_workspace.systemTree();
    const QModelIndex node = m_workspace.selectedNode(tree);
    const int kind = tree.kindOf(node);
    if (m_workspace.section() != core::Workspace::Section::System || kind == core::RecycleBoxKind ||
        kind == core::TransitKind)
        return;

    const platform::FileSystem& fs = m_workspace.session().fs();
    const QString name = platform::nameOfPath(path);
    const QString target = m_workspace.session().currentDir() + name;
    if (!fs.isDirectory(target)) {
        if (!fs.makeDirectory(target)) {
            warn(texts::FolderFailedCaption, texts::folderCreateFailed(target));
            return;
        }
        tree.childForNewFolder(node, name);
    }
    // A folder dropped onto itself (a sub-category dropped onto its own category) is in place.
    if (fileops::isSameFolder(path, target))
        return;
    DropFolderFiles(path, target);
}

void DropCommands::DropFolderFiles(const QString& source, const QString& target)
{
    const QString from = platform::withTrailingSlash(source);
    const QString to = platform::withTrailingSlash(target);
    const platform::FileSystem& fs = m_workspace.session().fs();
    for (const platform::DirEntry& entry : fs.list(from)) {
        // Plain files only; a link to a folder is a folder.
        if (entry.isDir || (entry.isSymlink && fs.isDirectory(from + entry.name)) ||
            platform::isTemporaryName(entry.name))
            continue;
        if (core::isNotesFileName(entry.name) && fs.exists(to + core::NotesFileName)) {
            mergeNotesFile(from + entry.name, to);
            continue;
        }
        // Copying overwrites a file of that name; moving never does.
        const platform::FsResult result =
            transferMode() == fileops::TransferMode::Copy
                ? fs.copyFile(from + entry.name, to + entry.name, true)
                : fs.move(from + entry.name, to + entry.name);
        if (!result)
            warn(texts::NoticeCaption,
                 texts::folderFileFailed(core::CaptionInFolder(fs, from, entry.name)));
    }
}

bool DropCommands::mergeNotesFile(const QString& source, const QString& targetDir)
{
    // Replacing the folder's notes file would lose the notes of every file already there.
    const platform::FileSystem& fs = m_workspace.session().fs();
    try {
        fileops::writeNotes(targetDir,
                            platform::IniFile(source).load().entries(core::NotesSection));
    } catch (const platform::UserError&) {
        warn(texts::NoticeCaption, texts::folderFileFailed(platform::nameOfPath(source)));
        return false;
    }
    if (transferMode() == fileops::TransferMode::Move)
        fs.removeFile(source);
    return true;
}

void DropCommands::dropFile(const QString& path)
{
    core::Session& session = m_workspace.session();
    const platform::FileSystem& fs = session.fs();
    const QString dir = session.currentDir();
    const QString name = platform::nameOfPath(path);
    const QString target = dir + name;

    // A file that already lies in the category stays as it is.
    if (m_workspace.session().fs().isSameFile(path, target))
        return;
    if (core::isNotesFileName(name) && fs.exists(dir + core::NotesFileName)) {
        mergeNotesFile(path, dir);
        return;
    }

    const qint64 size = fs.fileSize(path);
    const QDateTime modified = fs.times(path).modified;
    const platform::Attributes attributes = fs.attributes(path);
    core::FileListModel& list = m_workspace.fileList();
    const bool replacing = fs.exists(target);
    int listRow = -1;
    if (replacing) {
        const QString caption = core::CaptionInFolder(fs, dir, name);
        if (fs.isDirectory(target) && !isSymlink(target)) {
            // Only a file of that name can be replaced; a folder stays as it is.
            warn(texts::NoticeCaption, fileops::texts::folderOfSameName(caption));
            return;
        }
        const QString prompt = texts::DropSameNamePrompt(
            caption, core::SizeText(fs.fileSize(target)), core::DateText(fs.times(target).modified),
            core::SizeText(size), core::DateText(modified));
        if (m_dialogs.ask(texts::sameNameCaption(caption), prompt, core::MessageIcon::Warning,
                          core::Buttons::YesNo, core::Answer::Yes) != core::Answer::Yes)
            return;
        listRow = fileops::findRowOfFile(list.listedRows(), name, target);
    }

    // A replaced file stays until its successor has fully arrived.
    const platform::FsResult result = replacing
                                          ? fileops::ReplaceTarget(fs, transferMode(), path, target)
                                          : fileops::transferNew(fs, transferMode(), path, target);
    if (!result) {
        warn(texts::NoticeCaption, texts::dropFailed(path));
        return;
    }
    const QString note = listRow >= 0 ? fileops::TakeOverRow(list, listRow) : QString();
    if (!core::isListedEntry(name))
        return;
    fileops::AddImportedRow(list, m_workspace.fileSelection(),
                            fileops::ImportedRow(fs, dir, name, note, core::SizeText(size), size,
                                                 modified, attributes));
}

} // namespace dropwin
