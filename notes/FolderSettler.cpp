#include "notes/FolderSettler.h"

#include "notes/FileComments.h"
#include "notes/FolderStamp.h"
#include "notes/Mirror.h"
#include "notes/NotesFile.h"
#include "notes/NotesWriter.h"
#include "platform/FileNames.h"

#include <sys/stat.h>

namespace notes {

FolderSettler::FolderSettler(QString dir, const NotesSnapshot& notes, bool writable)
    : m_dir(std::move(dir)), m_dirNative(platform::nativePath(m_dir)), m_notes(notes),
      m_writable(writable), m_folder(folderIdOf(m_dir))
{
    m_attributes = !m_folder.isNull();
}

bool FolderSettler::unchanged() const
{
    return m_attributes && FolderStamp::holds(m_dir);
}

bool FolderSettler::isThere(const QByteArray& name) const
{
    struct stat st;
    return ::lstat((m_dirNative + name).constData(), &st) == 0;
}

QString FolderSettler::captionOf(const QByteArray& name) const
{
    return captionInFolder(platform::FileSystem::local(), m_dir, platform::pathFromNative(name));
}

NotesSnapshot::OtherFile FolderSettler::otherFile() const
{
    return [this](const QString& key) { return isThere(platform::nativePath(key)); };
}

std::optional<QString> FolderSettler::look(QByteArrayView name, QStringView listedNote,
                                           const std::function<QString()>& caption)
{
    if (!m_attributes)
        return std::nullopt;
    const QByteArray bytes = name.toByteArray();
    const CarriedNote carried = carriedAt(m_dirNative + bytes, listedNote.isEmpty());
    if (carried.unsupported) {
        m_attributes = false; // names alone decide in this folder
        return std::nullopt;
    }
    if (!carried.record && carried.comment.isEmpty() && listedNote.isEmpty())
        return std::nullopt; // carries nothing and has no note: nothing to keep in step
    // The common case, without making a caption: a noted file recorded here as it is.
    if (carried.record && !listedNote.isEmpty() && carried.record->folder == m_folder &&
        carried.record->name == bytes && Mirror::inStep(*carried.record, listedNote))
        return std::nullopt;
    const QString shownCaption = caption();
    const QStringView stored = m_notes.noteView(shownCaption, otherFile());
    const QString nameText = platform::pathFromNative(bytes);

    if (carried.record && carried.record->folder == m_folder) {
        if (carried.record->name != bytes)
            return renamedFrom(bytes, *carried.record, shownCaption, stored);
        // Known here under its own name: the notes file is the truth, and the comment follows
        // what another program did to it, a removed note too.
        if (!Mirror::inStep(*carried.record, stored))
            m_follows.emplace_back(nameText, stored.toString());
        return std::nullopt;
    }
    // Moved or copied in, or never recorded: the note stored for its name, else the comment
    // it brought.
    if (!stored.isNull() || carried.comment.isEmpty()) {
        if (!stored.isNull())
            m_follows.emplace_back(nameText, stored.toString());
        return std::nullopt;
    }
    m_intakes.push_back({nameText, shownCaption, carried.comment});
    return carried.comment;
}

std::optional<QString> FolderSettler::renamedFrom(const QByteArray& name, const NoteRecord& record,
                                                  const QString& caption, QStringView stored)
{
    const QString nameText = platform::pathFromNative(name);
    const QString fromCaption = captionOf(record.name);
    const QStringView before = m_notes.noteView(fromCaption, otherFile());
    const bool oldNameFree = !isThere(record.name);
    // The note stored under its old name is this file's when no file has that name any more,
    // or when it is the note the file was recorded with (a file of that name came since).
    if (!before.isNull() && (oldNameFree || NoteRecord::hashOf(before) == record.noteHash) &&
        fromCaption != caption) {
        m_moves.push_back({nameText, caption, fromCaption, record.name, oldNameFree});
        if (stored == before && !stored.isNull())
            return std::nullopt;
        return before.toString();
    }
    if (oldNameFree && fromCaption != caption)
        m_documents.append({fromCaption, caption});
    m_follows.emplace_back(nameText, stored.toString());
    return std::nullopt;
}

FolderSettler::Settled FolderSettler::finish(bool everyFile)
{
    Settled settled;
    if (!m_writable || !m_attributes) {
        if (!m_writable) {
            m_documents.clear(); // nothing is renamed where nothing may change
            m_moves.clear();
        }
        settled.documents = std::move(m_documents);
        return settled;
    }
    NotesWriter writer(m_dir);
    for (const auto& [name, note] : m_follows)
        writer.follow(name, note);
    const bool keys = !m_moves.empty() || !m_intakes.empty();
    try {
        writer.update([&](platform::IniDocument& document) {
            if (!keys)
                return false;
            // Every note is read before any is written: files that swapped their names take
            // each other's notes.
            std::vector<std::optional<QString>> taken;
            for (const Move& move : m_moves)
                taken.push_back(noteIn(document, m_dir, move.fromCaption));
            bool changed = false;
            for (size_t i = 0; i < m_moves.size(); ++i) {
                const Move& move = m_moves[i];
                if (!taken[i] || !canBeKeyIn(document, move.caption))
                    continue;
                // A key of the new name held the note of a file that is gone.
                removeNoteIn(document, m_dir, move.caption);
                document.setValue(NotesSection, move.caption, *taken[i], Qt::CaseSensitive);
                writer.follow(move.name, *taken[i]);
                changed = true;
            }
            // The old name's note goes where no file has that name any more.
            for (Move& move : m_moves) {
                move.oldNameFree = move.oldNameFree && !isThere(move.fromName);
                if (move.oldNameFree)
                    changed = removeNoteIn(document, m_dir, move.fromCaption) || changed;
            }
            for (const Intake& intake : m_intakes) {
                if (noteIn(document, m_dir, intake.caption) ||
                    !canBeKeyIn(document, intake.caption))
                    continue; // a note of its own came meanwhile, or the comment stays shown only
                document.setValue(NotesSection, intake.caption, intake.comment, Qt::CaseSensitive);
                writer.follow(intake.name, intake.comment);
                changed = true;
            }
            return changed;
        });
    } catch (const platform::UserError& error) {
        settled.failure = error.message();
        m_documents.clear();
    }
    for (const Move& move : m_moves) {
        if (move.oldNameFree && settled.failure.isEmpty())
            m_documents.append({move.fromCaption, move.caption});
    }
    if (everyFile && settled.failure.isEmpty() && m_attributes)
        FolderStamp::stamp(m_dir);
    settled.documents = std::move(m_documents);
    return settled;
}

} // namespace notes
