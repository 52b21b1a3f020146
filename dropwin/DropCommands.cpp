#include "dropwin/DropCommands.h"

#include "core/FileFormats.h"
#include "core/FileListing.h"
#include "core/Texts.h"
#include "dropwin/DropTexts.h"
#include "fileops/CarriedRows.h"
#include "fileops/FileOpsTexts.h"
#include "fileops/ImportCommands.h"
#include "fileops/LinkMender.h"
#include "fileops/RowSteps.h"
#include "notes/FileComments.h"
#include "notes/NotesKeeper.h"
#include "platform/Errors.h"
#include "platform/FileIdentity.h"
#include "platform/FileNames.h"

#include <QSet>

#include <optional>
#include <sys/stat.h>

namespace dropwin {

namespace {

bool isSymlink(const QString& path)
{
    struct stat st;
    return ::lstat(platform::nativePath(path).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

// A dropped path with its "." and ".." taken out, so that what it names is what it shows;
// nothing when it names no file or folder of its own: a relative path, one holding a NUL,
// or one whose last part is empty (the root, or an address that could not be read).
std::optional<QString> droppedPath(const QString& path)
{
    if (!path.startsWith(u'/') || path.contains(QChar(0)))
        return std::nullopt;
    QStringList parts;
    for (const QString& part : path.split(u'/')) {
        if (part.isEmpty() || part == u".")
            continue;
        if (part == u"..") {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts.append(part);
    }
    if (parts.isEmpty())
        return std::nullopt;
    return u'/' + parts.join(u'/');
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
        notes::Arrivals arrivals(fs, session.currentDir());
        for (const QString& dropped : paths) {
            const std::optional<QString> path = droppedPath(dropped);
            if (!path || isOfTheProgram(*path)) {
                warn(texts::NoticeCaption, texts::dropFailed(dropped));
                continue;
            }
            // A link is brought in as the link itself, never entered as a folder.
            if (fs.isDirectory(*path) && !isSymlink(*path))
                dropFolder(*path);
            else
                dropFile(*path, dropped, arrivals);
        }
    }
    m_workspace.status().setText(
        1, core::texts::fileCountAfterRefresh(m_workspace.fileList().count()));

    const QString sound = session.layout().programDir() + texts::SoundFileName;
    if (session.options().EnabledSound && m_sound && session.fs().isFile(sound))
        m_sound->play(sound);
}

bool DropCommands::isOfTheProgram(const QString& path) const
{
    const core::LibraryLayout& layout = m_workspace.session().layout();
    const QString root = layout.programDir();
    if (platform::isSameFolder(path, root))
        return true;
    const QString folder = platform::folderOfPath(path);
    if (!platform::isSameFolder(folder, root))
        return false;
    // In the library's own folder: its reserved folders and the program's files; the
    // categories are folders of their own.
    const QString name = platform::nameOfPath(path);
    return core::LibraryLayout::isReservedCategoryName(name) ||
           !m_workspace.session().fs().isDirectory(path);
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
    const QString here = m_workspace.session().currentDir();
    // The category's own folder dropped onto it is in place already.
    if (platform::isSameFolder(path, here))
        return;
    // A folder of a name no category may have (the notes file's, a reserved folder's).
    if (core::LibraryLayout::isReservedCategoryName(name)) {
        warn(texts::NoticeCaption, core::texts::reservedNameMessage(name));
        return;
    }
    const QString target = here + name;
    if (!fs.isDirectory(target)) {
        if (!fs.makeDirectory(target)) {
            warn(texts::FolderFailedCaption, texts::folderCreateFailed(target));
            return;
        }
        tree.childForNewFolder(node, name);
    }
    // A folder dropped onto itself (a sub-category dropped onto its own category) is in place.
    if (platform::isSameFolder(path, target))
        return;
    DropFolderFiles(path, target);
}

void DropCommands::DropFolderFiles(const QString& source, const QString& target)
{
    const QString from = platform::withTrailingSlash(source);
    const QString to = platform::withTrailingSlash(target);
    const platform::FileSystem& fs = m_workspace.session().fs();
    const bool copying = transferMode() == fileops::TransferMode::Copy;
    const auto failed = [&](const QString& name) {
        warn(texts::NoticeCaption, texts::folderFileFailed(notes::captionInFolder(fs, from, name)));
    };
    const notes::NotesFile sourceNotes = notes::NotesFile::open(from);
    if (fs.exists(sourceNotes.path()) && !sourceNotes.document()) {
        // Notes that cannot be read cannot come with their files: the folder stays as it is.
        failed(notes::NotesFileName);
        return;
    }
    // A file of the folder brings its note from the folder's notes file; the notes of files
    // that do not come stay where they are.
    fileops::LinkMender links;
    fileops::CarriedRows carrier(
        fs, to,
        links.recording(
            [&](const notes::NoteCarrier::Item&, const QString& file, const QString& into) {
                // Copying overwrites a file of that name; moving never does.
                return copying ? fs.copyFile(file, into, true) : fs.move(file, into);
            }),
        [&](const notes::NoteCarrier::Item& item, platform::FsResult result) {
            if (!result)
                failed(item.name);
        });
    const auto refuse = [&](const QString& name) {
        carrier.carry();
        failed(name);
    };
    for (const platform::DirEntry& entry : fs.list(from)) {
        // Plain files only; a link to a folder is a folder. The notes file is no file of the
        // category: its notes come with their files.
        const QString& name = entry.name;
        if (entry.isDir || (entry.isSymlink && fs.isDirectory(from + name)) ||
            notes::isNotesFileName(name) || platform::isTemporaryName(name))
            continue;
        switch (carrier.arrivalOf(from, name)) {
        case notes::Arrival::AlreadyThere:
            continue;
        case notes::Arrival::Free:
            carrier.add(from, name, false,
                        copying ? notes::SourceKey::Keep : notes::SourceKey::Remove, -1);
            continue;
        case notes::Arrival::Taken:
            // Copying overwrites a file of that name; moving never does.
            if (copying) {
                carrier.add(from, name, true, notes::SourceKey::Keep, -1);
                continue;
            }
            refuse(name);
            continue;
        default:
            refuse(name);
            continue;
        }
    }
    carrier.carry();
    links.mend();
    if (!copying)
        leaveNotesFile(from);
}

void DropCommands::leaveNotesFile(const QString& folder)
{
    // What it holds cannot be told when it cannot be read: it stays as it is.
    if (!notes::NotesKeeper::leaveNotesFile(m_workspace.session().fs(), folder))
        warn(texts::NoticeCaption, texts::folderFileFailed(notes::NotesFileName));
}

void DropCommands::dropFile(const QString& path, const QString& dropped, notes::Arrivals& arrivals)
{
    core::Session& session = m_workspace.session();
    const platform::FileSystem& fs = session.fs();
    const QString dir = session.currentDir();
    const QString name = platform::nameOfPath(path);
    const QString target = dir + name;
    const QString caption = notes::captionInFolder(fs, dir, name);

    const notes::Arrival arrival = arrivals.of(path, name);
    switch (arrival) {
    case notes::Arrival::Free:
    case notes::Arrival::Taken:
        break;
    case notes::Arrival::AlreadyThere:
        // A file that already lies in the category stays as it is, and so does a link to it.
        return;
    case notes::Arrival::FolderInTheWay:
        // Only a file of that name can be replaced; a folder stays as it is.
        warn(texts::NoticeCaption, fileops::texts::folderOfSameName(caption));
        return;
    case notes::Arrival::ShownAlike:
        // Named as it shows where it comes from: in the category its bytes would show.
        warn(texts::NoticeCaption,
             texts::shownAlike(notes::captionInFolder(fs, platform::folderOfPath(path), name)));
        return;
    case notes::Arrival::SourceGone:
    case notes::Arrival::NotAFile:
        warn(texts::NoticeCaption, texts::dropFailed(dropped));
        return;
    }

    const qint64 size = fs.fileSize(path);
    const QDateTime modified = fs.times(path).modified;
    const platform::Attributes attributes = fs.attributes(path);
    // Where it comes from it may carry a comment that a folder without attributes would not
    // keep: read before it leaves.
    const QString comment = notes::commentOf(path);
    core::FileListModel& list = m_workspace.fileList();
    const bool replacing = arrival == notes::Arrival::Taken;
    int listRow = -1;
    if (replacing) {
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
        warn(texts::NoticeCaption, texts::dropFailed(dropped));
        return;
    }
    arrivals.arrived(name);
    if (listRow >= 0)
        fileops::TakeOverRow(list, listRow);
    // A drop writes no note of its own: the file shows the note stored for its name, else the
    // comment it brought.
    std::vector<core::FileRow> rows;
    rows.push_back(fileops::ImportedRow(fs, dir, name, QString(), core::SizeText(size), size,
                                        modified, attributes));
    fileops::TakeBroughtComments(dir, rows, {comment});
    fileops::AddImportedRow(list, m_workspace.fileSelection(), std::move(rows.front()));
}

} // namespace dropwin
