#include "dropwin/DropCommands.h"

#include "core/FileFormats.h"
#include "core/FileListing.h"
#include "core/Texts.h"
#include "dropwin/DropTexts.h"
#include "fileops/FileOpsTexts.h"
#include "fileops/ImportCommands.h"
#include "fileops/LinkMender.h"
#include "fileops/NoteCarrier.h"
#include "fileops/RowSteps.h"
#include "platform/Errors.h"
#include "platform/FileIdentity.h"
#include "platform/FileNames.h"
#include "platform/ShownNames.h"

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
        platform::ShownNames shown(session.currentDir());
        for (const QString& dropped : paths) {
            const std::optional<QString> path = droppedPath(dropped);
            if (!path) {
                warn(texts::NoticeCaption, texts::dropFailed(dropped));
                continue;
            }
            // A link is brought in as the link itself, never entered as a folder.
            if (fs.isDirectory(*path) && !isSymlink(*path))
                dropFolder(*path);
            else
                dropFile(*path, dropped, shown);
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
        warn(texts::NoticeCaption, texts::folderFileFailed(core::CaptionInFolder(fs, from, name)));
    };
    const core::NotesFile notes = core::NotesFile::open(from);
    if (fs.exists(notes.path()) && !notes.document()) {
        // Notes that cannot be read cannot come with their files: the folder stays as it is.
        failed(core::NotesFileName);
        return;
    }
    // A file of the folder brings its note from the folder's notes file; the notes of files
    // that do not come stay where they are.
    platform::ShownNames shown(to);
    fileops::LinkMender links;
    fileops::NoteCarrier carrier(
        to,
        links.recording(
            [&](const fileops::NoteCarrier::Item&, const QString& file, const QString& into) {
                // Copying overwrites a file of that name; moving never does.
                return copying ? fs.copyFile(file, into, true) : fs.move(file, into);
            }),
        [&](const fileops::NoteCarrier::Item& item, platform::FsResult result) {
            if (result)
                shown.arrived(item.name);
            else
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
            !core::isListedEntry(name))
            continue;
        carrier.makeWayFor(name);
        const bool taken = fs.exists(to + name);
        if (taken && platform::isAlreadyAt(from + name, to + name))
            continue;
        if ((taken && (!copying || fs.isDirectory(to + name))) ||
            (!taken && !shown.otherShowingAs(name).isEmpty())) {
            refuse(name);
            continue;
        }
        carrier.add({from,
                     name,
                     core::CaptionInFolder(fs, from, name),
                     core::CaptionInFolder(fs, to, name),
                     taken,
                     copying ? fileops::SourceKey::Keep : fileops::SourceKey::Remove,
                     QPersistentModelIndex(),
                     {}});
    }
    carrier.carry();
    links.mend();
    if (!copying)
        leaveNotesFile(from);
}

void DropCommands::leaveNotesFile(const QString& folder)
{
    const platform::FileSystem& fs = m_workspace.session().fs();
    const core::NotesFile notes = core::NotesFile::open(folder);
    if (!fs.exists(notes.path()))
        return;
    const std::optional<platform::IniDocument> document = notes.document();
    if (!document) {
        // What it holds cannot be told: it stays as it is.
        warn(texts::NoticeCaption, texts::folderFileFailed(core::NotesFileName));
        return;
    }
    // Moved away it goes, unless a key of it belongs to a file that stayed behind.
    QSet<QString> stayed;
    for (const platform::DirEntry& entry : fs.list(folder)) {
        if (!entry.isDir && core::isListedEntry(entry.name))
            stayed.insert(core::CaptionInFolder(fs, folder, entry.name).toCaseFolded());
    }
    for (const QString& key : document->keys(core::NotesSection, Qt::CaseSensitive)) {
        if (stayed.contains(key.toCaseFolded()))
            return;
    }
    fs.removeFile(notes.path());
}

void DropCommands::dropFile(const QString& path, const QString& dropped,
                            platform::ShownNames& shown)
{
    core::Session& session = m_workspace.session();
    const platform::FileSystem& fs = session.fs();
    const QString dir = session.currentDir();
    const QString name = platform::nameOfPath(path);
    const QString target = dir + name;

    // A file that already lies in the category stays as it is, and so does a link to it.
    if (platform::isAlreadyAt(path, target))
        return;

    const qint64 size = fs.fileSize(path);
    const QDateTime modified = fs.times(path).modified;
    const platform::Attributes attributes = fs.attributes(path);
    core::FileListModel& list = m_workspace.fileList();
    const bool replacing = fs.exists(target);
    const QString caption = core::CaptionInFolder(fs, dir, name);
    int listRow = -1;
    if (replacing) {
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
    } else if (!shown.otherShowingAs(name).isEmpty()) {
        // Named as it shows where it comes from: in the category its bytes would show.
        warn(texts::NoticeCaption,
             texts::shownAlike(core::CaptionInFolder(fs, platform::folderOfPath(path), name)));
        return;
    }

    // A replaced file stays until its successor has fully arrived.
    const platform::FsResult result = replacing
                                          ? fileops::ReplaceTarget(fs, transferMode(), path, target)
                                          : fileops::transferNew(fs, transferMode(), path, target);
    if (!result) {
        warn(texts::NoticeCaption, texts::dropFailed(dropped));
        return;
    }
    shown.arrived(name);
    if (listRow >= 0)
        fileops::TakeOverRow(list, listRow);
    if (!core::isListedEntry(name))
        return;
    // A drop writes no note: a file that replaced another shows the note stored for its name.
    const QString note = replacing ? core::NotesFile::open(dir).readNote(caption) : QString();
    fileops::AddImportedRow(list, m_workspace.fileSelection(),
                            fileops::ImportedRow(fs, dir, name, note, core::SizeText(size), size,
                                                 modified, attributes));
}

} // namespace dropwin
