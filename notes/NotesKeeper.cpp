#include "notes/NotesKeeper.h"

#include "notes/Mirror.h"
#include "notes/NotesWriter.h"
#include "notes/OriginRecords.h"
#include "platform/FileIdentity.h"
#include "platform/FileNames.h"
#include "platform/FolderLock.h"
#include "platform/NamesShownAlike.h"
#include "platform/ParkedFiles.h"
#include "platform/TemporaryFiles.h"

#include <QHash>
#include <QSet>

#include <cerrno>

namespace notes {

namespace {

const platform::FileSystem& localFs()
{
    return platform::FileSystem::local();
}

// Another spelling of the same file's name, in a folder that ignores letter case.
bool isOtherSpellingOfSameFile(const QString& from, const QString& to)
{
    return from != to &&
           platform::nameOfPath(from).compare(platform::nameOfPath(to), Qt::CaseInsensitive) == 0 &&
           platform::isSameFile(from, to);
}

// Renames without replacing; a name that differs only in letter case on a folder that ignores
// it goes through a hidden name, as such a folder would take the rename for no change.
platform::FsResult renameNoReplace(const platform::FileSystem& fs, const QString& from,
                                   const QString& to)
{
    if (!isOtherSpellingOfSameFile(from, to))
        return fs.move(from, to);
    // Parked for a moment under a name that records its old one, which a listing gives it
    // back should the rename be cut short.
    platform::ParkedEntry parked;
    if (const platform::FsResult result =
            parked.moveIn(fs, from, platform::folderOfPath(to), platform::nameOfPath(from));
        !result)
        return result;
    const platform::FsResult result = fs.move(parked.path(), to);
    if (!result)
        fs.move(parked.path(), from);
    return result;
}

// A key line of a notes file as it was, to be put back.
struct KeyBefore
{
    QString key;
    std::optional<QString> value;
};

void putBack(platform::IniDocument& document, const std::vector<KeyBefore>& keys)
{
    for (const KeyBefore& before : keys) {
        if (before.value)
            document.setValue(NotesSection, before.key, *before.value, Qt::CaseSensitive);
        else
            document.removeKey(NotesSection, before.key, Qt::CaseSensitive);
    }
}

// Removes the record of where `name` came from; an emptied section goes with its last key.
bool removeOriginIn(platform::IniDocument& document, const QString& name)
{
    if (!document.removeKey(OriginsSection, originKey(name), Qt::CaseSensitive))
        return false;
    if (document.keys(OriginsSection).isEmpty())
        document.removeSection(OriginsSection);
    return true;
}

// A file of the folder's list: no folder, notes file or temporary file of the program.
bool isListedFile(const platform::DirEntry& entry)
{
    return !entry.isDir && !isNotesFileName(entry.name) && !platform::isTemporaryName(entry.name);
}

bool holdsListedFile(const platform::FileSystem& fs, const QString& dir)
{
    for (const platform::DirEntry& entry : fs.list(dir)) {
        if (isListedFile(entry))
            return true;
    }
    return false;
}

} // namespace

void NotesKeeper::setCommentsFollowNotes(bool follow)
{
    Mirror::setCommentsEnabled(follow);
}

QString NotesKeeper::setNote(const QString& dir, const QString& name, const QString& text)
{
    const QString caption = captionInFolder(localFs(), dir, name);
    const QString stored = oneLineNote(text);
    NotesWriter writer(dir);
    writer.follow(name, stored);
    writer.update([&](platform::IniDocument& document) {
        setNoteIn(document, dir, caption, stored);
        return true;
    });
    return stored;
}

void NotesKeeper::clearNote(const QString& dir, const QString& name)
{
    const QString caption = captionInFolder(localFs(), dir, name);
    NotesWriter writer(dir);
    writer.follow(name, QString());
    writer.update(
        [&](platform::IniDocument& document) { return removeNoteIn(document, dir, caption); });
    if (writer.stale().isEmpty())
        return;
    // The old comment stays on the file: an empty note of its own keeps it from coming back.
    writer.update([&](platform::IniDocument& document) {
        if (!canBeKeyIn(document, caption))
            return false;
        document.setValue(NotesSection, caption, QString(), Qt::CaseSensitive);
        return true;
    });
}

void NotesKeeper::recordFile(const QString& dir, const QString& name)
{
    NotesWriter writer(dir);
    const QString caption = captionInFolder(localFs(), dir, name);
    const QString note = writer.file().readNote(caption);
    writer.follow(name, note);
    try {
        writer.update([](platform::IniDocument&) { return false; });
    } catch (const platform::UserError&) {
        // Recorded next time its folder is listed.
    }
}

void NotesKeeper::forget(const QString& dir, const QStringList& names)
{
    if (names.isEmpty())
        return;
    const platform::FileSystem& fs = localFs();
    NotesWriter writer(dir);
    try {
        writer.update([&](platform::IniDocument& document) {
            bool changed = false;
            for (const QString& name : names) {
                if (fs.exists(dir + name))
                    continue; // a file of that name is there again: the note is its own
                changed = removeNoteIn(document, dir, captionInFolder(fs, dir, name)) || changed;
                changed = removeOriginIn(document, name) || changed;
            }
            return changed;
        });
    } catch (const platform::UserError&) {
        // A key that cannot be removed stays; the clean-up takes it away.
    }
}

void NotesKeeper::forgetEmptied(const QString& dir, const QStringList& names)
{
    const platform::FileSystem& fs = localFs();
    {
        // Looked at and removed under the folder's lock, so that no note written meanwhile by
        // another program for a file that came goes with it.
        const platform::FolderLock lock(dir);
        if (lock.acquired() && !holdsListedFile(fs, dir)) {
            for (const platform::DirEntry& entry : fs.list(dir)) {
                if (!entry.isDir && isNotesFileName(entry.name))
                    fs.removeFile(dir + entry.name);
            }
            return;
        }
    }
    forget(dir, names);
}

void NotesKeeper::recordOrigins(const QString& dir,
                                const QList<std::pair<QString, QByteArray>>& origins)
{
    if (origins.isEmpty())
        return;
    NotesWriter writer(dir);
    try {
        writer.update([&](platform::IniDocument& document) {
            bool changed = false;
            for (const auto& [name, origin] : origins) {
                const std::optional<QString> value = originValue(origin);
                const QString key = originKey(name);
                if (!value) {
                    changed = removeOriginIn(document, name) || changed;
                } else if (document.value(OriginsSection, key, Qt::CaseSensitive) != value) {
                    document.setValue(OriginsSection, key, *value, Qt::CaseSensitive);
                    changed = true;
                }
            }
            return changed;
        });
    } catch (const platform::UserError&) {
        // No record: the file goes back where the user chooses.
    }
}

void NotesKeeper::cleanUp(const QString& dir, const QStringList& names)
{
    const platform::FileSystem& fs = localFs();
    NotesWriter writer(dir);
    writer.update([&](platform::IniDocument& document) {
        // The files that are there: those of the list first, in its order, then the others.
        QStringList files;
        QSet<QString> seen;
        for (const QString& name : names) {
            if (fs.exists(dir + name) && !seen.contains(name)) {
                files.append(name);
                seen.insert(name);
            }
        }
        for (const platform::DirEntry& entry : fs.list(dir)) {
            if (isListedFile(entry) && !seen.contains(entry.name)) {
                files.append(entry.name);
                seen.insert(entry.name);
            }
        }
        QList<std::pair<QString, QString>> kept;
        for (const QString& name : std::as_const(files)) {
            const QString caption = captionInFolder(fs, dir, name);
            const std::optional<QString> note = noteIn(document, dir, caption);
            if (note && !isBlankNote(*note) && canBeKeyIn(document, caption))
                kept.append({caption, *note});
        }
        document.replaceSection(NotesSection, kept);
        return true;
    });
}

QStringList NotesKeeper::takeComments(const QString& dir,
                                      const QList<std::pair<QString, QString>>& namesAndComments)
{
    const platform::FileSystem& fs = localFs();
    QStringList captions;
    QStringList shown;
    for (const auto& [name, comment] : namesAndComments) {
        captions.append(captionInFolder(fs, dir, name));
        shown.append(comment);
    }
    NotesWriter writer(dir);
    try {
        writer.update([&](platform::IniDocument& document) {
            writer.dropFollows();
            bool changed = false;
            for (qsizetype i = 0; i < namesAndComments.size(); ++i) {
                const auto& [name, comment] = namesAndComments[i];
                // A note stored for the name stays: the file took that name's place.
                if (const std::optional<QString> stored = noteIn(document, dir, captions[i])) {
                    shown[i] = *stored;
                    continue;
                }
                shown[i] = comment;
                if (isBlankNote(comment) || !canBeKeyIn(document, captions[i]))
                    continue; // shown only: the comment stays with the file
                document.setValue(NotesSection, captions[i], comment, Qt::CaseSensitive);
                writer.follow(name, comment);
                changed = true;
            }
            return changed;
        });
    } catch (const platform::UserError&) {
        // Shown only; the comments still show at every listing.
    }
    return shown;
}

NotesKeeper::Renamed NotesKeeper::rename(const platform::FileSystem& fs, const QString& dir,
                                         const QString& from, const QString& to)
{
    Renamed renamed;
    const QString source = dir + from;
    const QString target = dir + to;
    if (isNotesFileName(to) || platform::isTemporaryName(to)) {
        renamed.outcome = RenameOutcome::NotesFileName;
        return renamed;
    }
    if (fs.exists(target) && !isOtherSpellingOfSameFile(source, target)) {
        renamed.outcome = RenameOutcome::NameTaken;
        return renamed;
    }
    {
        platform::NamesShownAlike shown(dir);
        const QString other = shown.otherShowingAs(to);
        if (!other.isEmpty() && other != from) {
            renamed.outcome = RenameOutcome::ShownAlike;
            return renamed;
        }
    }
    const QString oldCaption = captionInFolder(fs, dir, from);
    const QString newCaption = captionInFolder(fs, dir, to);
    renamed.caption = newCaption;

    // The new name's key first; the old one stays until the file has its new name.
    NotesWriter writer(dir);
    std::optional<QString> oldKey;
    std::vector<KeyBefore> before;
    try {
        writer.update([&](platform::IniDocument& document) {
            before.clear();
            oldKey = noteKeyIn(document, dir, oldCaption);
            const QString note =
                oldKey
                    ? document.value(NotesSection, *oldKey, Qt::CaseSensitive).value_or(QString())
                    : QString();
            renamed.note = isBlankNote(note) ? QString() : note;
            if (!renamed.note.isEmpty())
                checkKey(document, newCaption);
            // A key left by a file of the new name that is gone is not this file's note.
            bool changed = false;
            while (const std::optional<QString> stale = noteKeyIn(document, dir, newCaption)) {
                if (stale == oldKey)
                    break; // the same key: a name that shows as it did
                before.push_back({*stale, document.value(NotesSection, *stale, Qt::CaseSensitive)});
                document.removeKey(NotesSection, *stale, Qt::CaseSensitive);
                changed = true;
            }
            if (!renamed.note.isEmpty() && oldKey != newCaption) {
                before.push_back(
                    {newCaption, document.value(NotesSection, newCaption, Qt::CaseSensitive)});
                document.setValue(NotesSection, newCaption, renamed.note, Qt::CaseSensitive);
                changed = true;
            }
            return changed;
        });
    } catch (const NoteKeyError&) {
        renamed.outcome = RenameOutcome::KeyRefused;
        return renamed;
    }

    // The file; one that is no longer there still gives its note to the new name.
    if (fs.exists(source)) {
        if (const platform::FsResult moved = renameNoReplace(fs, source, target); !moved) {
            renamed.failure = moved;
            renamed.outcome = RenameOutcome::Failed;
            try {
                writer.update([&](platform::IniDocument& document) {
                    putBack(document, before);
                    return !before.empty();
                });
            } catch (const platform::UserError&) {
                // The note stays under both names, as after a crash.
            }
            return renamed;
        }
    }
    renamed.outcome = RenameOutcome::Renamed;

    // The old key goes, and the file's comment and record follow its new name.
    writer.follow(to, renamed.note);
    try {
        writer.update([&](platform::IniDocument& document) {
            return oldKey && *oldKey != newCaption &&
                   document.removeKey(NotesSection, *oldKey, Qt::CaseSensitive);
        });
    } catch (const platform::UserError&) {
        // The old key stays for the clean-up; the file is recorded under its new name.
        writer.follow(to, renamed.note);
        try {
            writer.update([](platform::IniDocument&) { return false; });
        } catch (const platform::UserError&) {
        }
    }
    return renamed;
}

NotesKeeper::FolderRemoval NotesKeeper::removeFolder(const platform::FileSystem& fs,
                                                     const QString& dir)
{
    // What the folder holds at this moment, under its lock: a note written meanwhile by
    // another program waits until this is decided.
    const platform::FolderLock lock(dir);
    if (!lock.acquired())
        return FolderRemoval::Failed;
    std::vector<QString> notesFiles;
    std::vector<QString> leftovers;
    bool folders = false;
    for (const platform::DirEntry& entry : fs.list(dir)) {
        if (entry.isDir)
            folders = true;
        else if (isNotesFileName(entry.name))
            notesFiles.push_back(entry.name);
        else if (platform::isPartialWriteName(entry.name))
            leftovers.push_back(entry.name);
        else
            return FolderRemoval::HoldsFiles; // a file, a link or a parked file of the user's
    }
    if (folders)
        return FolderRemoval::HoldsFolders;
    for (const QString& name : leftovers) {
        if (!platform::removeLeftover(dir + name))
            return FolderRemoval::HoldsFiles; // a write of another program goes on there
    }
    for (const QString& name : notesFiles) {
        if (!fs.removeFile(dir + name))
            return FolderRemoval::Failed;
    }
    return fs.removeDirectory(dir) ? FolderRemoval::Removed : FolderRemoval::Failed;
}

NotesKeeper::ConflictMerge NotesKeeper::mergeConflictCopy(const QString& dir,
                                                          const QString& copyName)
{
    const platform::FileSystem& fs = localFs();
    ConflictMerge merge;
    NotesWriter writer(dir);
    try {
        writer.update([&](platform::IniDocument& document) {
            // Read under the lock the rewrite holds, so that the notes file is as merged.
            merge = ConflictMerge();
            writer.dropFollows();
            if (platform::readWholeFile(dir + copyName, &merge.copy, platform::kMaxOwnFileSize,
                                        &merge.readError) != platform::ReadOutcome::Loaded) {
                if (merge.readError == 0)
                    merge.readError = ENOENT;
                merge.copy.clear();
                return false;
            }
            const platform::IniDocument copy = platform::IniDocument::parse(merge.copy);
            // The file each key stands for: a key is the caption its file's note is stored
            // under, which for a name that is not UTF-8 is not the name itself.
            QHash<QString, QString> fileOfKey;
            for (const platform::DirEntry& entry : fs.list(dir)) {
                if (isListedFile(entry))
                    fileOfKey.insert(captionInFolder(fs, dir, entry.name), entry.name);
            }
            for (const QString& key : copy.keys(NotesSection, Qt::CaseSensitive)) {
                const QString note = oneLineNote(
                    copy.value(NotesSection, key, Qt::CaseSensitive).value_or(QString()));
                if (isBlankNote(note) || key.contains(u'/') || key == u"." || key == u"..")
                    continue; // no note, or the key of no file
                if (const std::optional<QString> storedKey = noteKeyIn(document, dir, key)) {
                    if (document.value(NotesSection, *storedKey, Qt::CaseSensitive) != note) {
                        // The document of the file the stored key belongs to.
                        const bool ownName =
                            fileOfKey.contains(key) || !fileOfKey.contains(*storedKey);
                        merge.differing.append({ownName ? key : *storedKey, note});
                    }
                    continue;
                }
                if (!canBeKeyIn(document, key)) {
                    merge.differing.append({key, note}); // kept beside the file instead
                    continue;
                }
                document.setValue(NotesSection, key, note, Qt::CaseSensitive);
                if (const QString file = fileOfKey.value(key); !file.isEmpty())
                    writer.follow(file, note);
                ++merge.taken;
            }
            merge.merged = true;
            return merge.taken > 0;
        });
    } catch (const platform::UserError& error) {
        merge.merged = false;
        merge.writeFailure = error.message();
    }
    return merge;
}

bool NotesKeeper::leaveNotesFile(const platform::FileSystem& fs, const QString& dir)
{
    const NotesFile notes = NotesFile::open(dir);
    const platform::FolderLock lock(dir);
    if (!fs.exists(notes.path()))
        return true;
    const std::optional<platform::IniDocument> document = notes.document();
    if (!document || !lock.acquired())
        return false; // what it holds cannot be told: it stays as it is
    // Moved away it goes, unless a key of it belongs to a file that stayed behind.
    QSet<QString> stayed;
    for (const platform::DirEntry& entry : fs.list(dir)) {
        if (isListedFile(entry))
            stayed.insert(captionInFolder(fs, dir, entry.name).toCaseFolded());
    }
    for (const QString& key : document->keys(NotesSection, Qt::CaseSensitive)) {
        if (stayed.contains(key.toCaseFolded()))
            return true;
    }
    fs.removeFile(notes.path());
    return true;
}

} // namespace notes
