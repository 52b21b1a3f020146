#include "core/SyncConflicts.h"

#include "core/TextFile.h"
#include "core/Texts.h"
#include "notes/NotesKeeper.h"
#include "platform/FileNames.h"

#include <cerrno>

namespace core {

namespace {

QString reasonOf(int error)
{
    return platform::FsResult::fromErrno(error).message();
}

// Adds `line` to the document at `path`, in the encoding and line ends it has, unless it
// holds that line already (a copy merged again after a failure); 0 or the errno value.
int addDocumentLine(const platform::FileSystem& fs, const Documents& documents, const QString& path,
                    const QString& line)
{
    const TextFile document = readTextFile(path);
    if (document.outcome == platform::ReadOutcome::Unreadable)
        return document.error != 0 ? document.error : EIO; // never replaced by a shorter one
    if (document.text.split(u'\n').contains(line))
        return 0;
    // The document folder is made at start; one removed since is made again.
    if (!fs.isDirectory(documents.docDir())) {
        if (const platform::FsResult made = fs.makeDirectory(documents.docDir()); !made)
            return made.error;
    }
    QString text = document.text;
    if (!text.isEmpty() && !text.endsWith(u'\n'))
        text += u'\n';
    text += line;
    return writeTextFile(path, text, document.format, platform::LinkPolicy::Refuse);
}

// `name` with a number before its extension: "a (2).nod".
QString numbered(const QString& name, int number)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    const qsizetype at = dot > 0 ? dot : name.size();
    return name.left(at) + QStringLiteral(" (%1)").arg(number) + name.mid(at);
}

// Moves the file at `path` into `box` under its name, or where a file has that name, under
// the first numbered name free there; never replaces a file of the box.
platform::FsResult moveIntoBox(const platform::FileSystem& fs, const QString& path,
                               const QString& box, const QString& name)
{
    if (!fs.isDirectory(box)) {
        if (const platform::FsResult made = fs.makePath(box); !made)
            return made;
    }
    constexpr int kTries = 10000;
    for (int number = 1; number <= kTries; ++number) {
        const QString target = box + (number == 1 ? name : numbered(name, number));
        if (fs.exists(target))
            continue;
        const platform::FsResult moved = fs.move(path, target);
        if (moved.error != EEXIST)
            return moved;
    }
    return platform::FsResult::fromErrno(EEXIST);
}

} // namespace

bool MergesConflictCopies(const Session& session, const QString& dir)
{
    const QString box = session.layout().recycleBoxDir();
    return dir != box && !session.fs().isSameFile(dir, box);
}

QString SettleConflictCopies(const Session& session, const QString& dir,
                             const std::vector<QByteArray>& names)
{
    if (!session.writable())
        return {}; // nothing may change where the library lies
    const platform::FileSystem& fs = session.fs();
    const Documents& documents = session.documents();
    QString problem;
    for (const QByteArray& bytes : names) {
        const QString name = platform::pathFromNative(bytes);
        const QString path = dir + name;
        const notes::NotesKeeper::ConflictMerge merge =
            notes::NotesKeeper::mergeConflictCopy(dir, name);
        if (merge.readError == ENOENT)
            continue; // gone since the folder was read
        if (merge.readError != 0) {
            problem = texts::conflictCopyUnreadable(path, reasonOf(merge.readError));
            continue;
        }
        if (!merge.merged) {
            problem = texts::conflictCopyNotMerged(path, merge.writeFailure);
            continue;
        }
        // The notes that differ from the files' own are kept in their documents.
        bool kept = true;
        for (const auto& [caption, note] : merge.differing) {
            const QString document = documents.DocumentPath(caption);
            if (const int error =
                    addDocumentLine(fs, documents, document, texts::conflictNoteLine(path, note))) {
                problem = texts::conflictCopyNotMerged(
                    path, platform::displayPath(document) + QStringLiteral("：") + reasonOf(error));
                kept = false;
                break;
            }
        }
        if (!kept)
            continue;
        // The copy goes as it was merged; one changed meanwhile is merged again next time.
        QByteArray now;
        int error = 0;
        if (platform::readWholeFile(path, &now, platform::kMaxOwnFileSize, &error) !=
            platform::ReadOutcome::Loaded) {
            problem = texts::conflictCopyNotMoved(path, reasonOf(error != 0 ? error : ENOENT));
            continue;
        }
        if (now != merge.copy)
            continue;
        if (const platform::FsResult moved =
                moveIntoBox(fs, path, session.layout().recycleBoxDir(), name);
            !moved)
            problem = texts::conflictCopyNotMoved(path, moved.message());
    }
    return problem;
}

} // namespace core
