#pragma once
// The notes store: one notes file "zzfdat.nod" per directory holds a one-line note per file
// under the file's name in its [fileinfo] section, so a copied folder keeps its notes. A
// NotesFile is only a path: every operation reads or writes the file at once.

#include "platform/Errors.h"
#include "platform/IniFile.h"

#include <QHash>
#include <QString>

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

// The notes of one directory read in one pass, for listing many files.
class NotesSnapshot
{
public:
    NotesSnapshot() = default;
    explicit NotesSnapshot(QHash<QString, QString> byFoldedName) : m_notes(std::move(byFoldedName)) {}
    QString note(const QString& name) const { return m_notes.value(name.toCaseFolded()); }
    bool has(const QString& name) const { return m_notes.contains(name.toCaseFolded()); }
    qsizetype size() const { return m_notes.size(); }

private:
    QHash<QString, QString> m_notes;
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

    bool operator==(const NotesFile& other) const { return path() == other.path(); }

private:
    QString m_dir;
    platform::IniFile m_file;
};

// A note is blank when nothing but blanks remains after trimming.
bool isBlankNote(const QString& text);

// Moves the note of `name` with a file: writes `text` (as shown, untrimmed) into the notes
// file of `targetDir` when it is not blank, then removes the key from `source`.
void MoveNote(const NotesFile& source, const QString& targetDir, const QString& name,
              const QString& text);

// Re-keys a note after a rename; returns the note as stored under the new name.
QString RenameNote(const NotesFile& file, const QString& oldName, const QString& newName,
                   const QString& text);

} // namespace core
