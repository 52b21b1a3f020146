#pragma once
// The notes store: one notes file "zzfdat.nod" per directory holds a one-line note per file
// under the file's name in its [fileinfo] section, so a copied folder keeps its notes. A
// NotesFile is only a path: every operation reads or writes the file at once.

#include "core/NotesSnapshot.h"
#include "platform/Errors.h"
#include "platform/IniFile.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace core {

inline const QString NotesFileName = QStringLiteral("zzfdat.nod");
inline const QString NotesSection = QStringLiteral("fileinfo");

// A file name that cannot be a key of a notes file: writing it would corrupt the file or
// store a note that never reads back under that name.
class NoteKeyError : public platform::UserError
{
public:
    explicit NoteKeyError(const QString& name);
};

class NotesFile
{
public:
    NotesFile() = default;
    // OpenNotesFile: the notes file of `dir` (a folder path ending in "/"); nothing on disk
    // changes.
    static NotesFile open(const QString& dir);

    bool isNull() const { return m_file.isNull(); }
    const QString& path() const { return m_file.path(); }
    const QString& dir() const { return m_dir; }

    // The note of `name`; empty when the file, the section or the key is missing.
    QString readNote(const QString& name) const;
    // Creates the file and section when needed and sets the key, also to empty text.
    // Throws NoteKeyError for a name that cannot be a key and WriteError when the file
    // cannot be written.
    void writeNote(const QString& name, const QString& text) const;
    // Removes the key when present; a failure is ignored.
    void deleteNote(const QString& name) const;
    // Removes the key when present; throws WriteError when the file cannot be written (for
    // a note the user clears, whose removal must not fail unseen).
    void removeNote(const QString& name) const;
    // Whether `name` can be a key of this file: one line, no "=", no blanks around it, and
    // every character storable in the file's encoding.
    bool canHoldKey(const QString& name) const;
    // True when the key is present, even with an empty value.
    bool hasNote(const QString& name) const;
    // Removes the whole [fileinfo] section; throws WriteError on failure.
    void eraseNotes() const;
    // Replaces every note with these, in this order, in one rewrite of the file (the
    // section is left out when there are none). Throws NoteKeyError before writing anything
    // when a name cannot be a key, and WriteError when the file cannot be written.
    void replaceAll(const QList<std::pair<QString, QString>>& notes) const;
    // Every note of the directory in one read of the file.
    NotesSnapshot readAll() const;
    // The notes file as it is now, for a command that reads many notes at once: empty when it
    // is missing; nothing when it exists but cannot be read (no access, not a regular file,
    // too large), so that it is kept rather than taken for empty.
    std::optional<platform::IniDocument> document() const;
    // One read-modify-write of the notes file; it is written only when `edit` returns true.
    // Throws WriteError when it cannot be written.
    void update(const std::function<bool(platform::IniDocument&)>& edit) const;

    bool operator==(const NotesFile& other) const { return path() == other.path(); }

private:
    QString m_dir;
    platform::IniFile m_file;
};

// A note is blank when nothing but blanks remains after trimming.
bool isBlankNote(const QString& text);
// A note as stored and shown: one line, its line breaks taken out.
QString oneLineNote(QString text);

// Notes inside one notes file held in memory, for commands that write many at once. `dir` is
// the folder of the notes file, which tells which keys belong to other files.
// The key that holds the note of `caption`, spelled as in the file; nothing when none does.
std::optional<QString> noteKeyIn(const platform::IniDocument& document, const QString& dir,
                                 const QString& caption);
// Sets the note of `caption` (line breaks taken out); throws NoteKeyError for a caption that
// cannot be a key.
void setNoteIn(platform::IniDocument& document, const QString& dir, const QString& caption,
               const QString& text);
// The note of `caption`, as noteKeyIn() finds its key; nothing when no key holds it.
std::optional<QString> noteIn(const platform::IniDocument& document, const QString& dir,
                              const QString& caption);
// Whether `caption` can be a key of the notes file (see NotesFile::canHoldKey).
bool canBeKeyIn(const platform::IniDocument& document, const QString& caption);
// Removes every key that belongs to `caption`; false when there was none.
bool removeNoteIn(platform::IniDocument& document, const QString& dir, const QString& caption);

// Moves the note of `name` with a file: writes `text` (as shown, untrimmed) into the notes
// file of `targetDir` when it is not blank, then removes the key from `source`.
void MoveNote(const NotesFile& source, const QString& targetDir, const QString& name,
              const QString& text);

// Re-keys a note after a rename; returns the note as stored under the new name.
QString RenameNote(const NotesFile& file, const QString& oldName, const QString& newName,
                   const QString& text);

} // namespace core
