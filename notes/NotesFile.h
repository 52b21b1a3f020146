#pragma once
// A folder's notes file "zzfdat.nod": one note per file under the file's caption in its
// [fileinfo] section, so a copied folder keeps its notes. This is the reading side, for
// anyone; every change goes through the notes keeper (NotesKeeper.h). A NotesFile is only a
// path: every read reads the file at once.

#include "notes/NotesSnapshot.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"

#include <QString>

#include <optional>

namespace notes {

inline const QString NotesFileName = QStringLiteral("zzfdat.nod");
inline const QString NotesSection = QStringLiteral("fileinfo");

// True for the notes file's name in any letter case.
bool isNotesFileName(const QString& name);
// The same for a name given as its bytes (only ASCII letters fold).
bool isNotesFileName(QByteArrayView name);

// A file name that cannot be a key of a notes file: writing it would corrupt the file or
// store a note that never reads back under that name.
class NoteKeyError : public platform::UserError
{
public:
    explicit NoteKeyError(const QString& name);
};

// The caption of `name` in `folder`, which is also the key its note is stored under: its
// caption (see platform/FileNames.h), or the name as it is when that caption would spell
// another file of the folder.
QString captionInFolder(const platform::FileSystem& fs, const QString& folder, const QString& name);

class NotesFile
{
public:
    NotesFile() = default;
    // The notes file of `dir` (a folder path ending in "/"); nothing on disk changes.
    static NotesFile open(const QString& dir);

    bool isNull() const { return m_file.isNull(); }
    const QString& path() const { return m_file.path(); }
    const QString& dir() const { return m_dir; }

    // The note of `caption`; empty when the file, the section or the key is missing.
    QString readNote(const QString& caption) const;
    // True when a key holds the caption's note, even an empty one.
    bool hasNote(const QString& caption) const;
    // Whether `caption` can be a key of this file: one line, no "=", no blanks around it, and
    // every character storable in the file's encoding.
    bool canHoldKey(const QString& caption) const;
    // Every note of the folder in one read of the file.
    NotesSnapshot readAll() const;
    // The same, but nothing when the file exists and cannot be read: what it holds cannot be
    // told, so nothing may be decided from it.
    std::optional<NotesSnapshot> snapshot() const;
    // The notes file as it is now, for reading many notes at once: empty when it is missing;
    // nothing when it exists but cannot be read (no access, not a regular file, too large), so
    // that it is kept rather than taken for empty.
    std::optional<platform::IniDocument> document() const;

    bool operator==(const NotesFile& other) const { return path() == other.path(); }

private:
    friend class NotesWriter;
    QString m_dir;
    platform::IniFile m_file;
};

// A note is blank when nothing but blanks remains after trimming.
bool isBlankNote(QStringView text);
// A note as stored and shown: one line, its line breaks taken out.
QString oneLineNote(QString text);

// Reading notes inside one notes file held in memory. `dir` is the folder of the notes file,
// which tells which keys belong to other files (a key spelled in other letter case belongs to
// the file of exactly that name where one lies in the folder).
// The key that holds the note of `caption`, spelled as in the file; nothing when none does.
std::optional<QString> noteKeyIn(const platform::IniDocument& document, const QString& dir,
                                 const QString& caption);
// The note of `caption`, as noteKeyIn() finds its key; nothing when no key holds it.
std::optional<QString> noteIn(const platform::IniDocument& document, const QString& dir,
                              const QString& caption);
// Whether `caption` can be a key of the notes file (see NotesFile::canHoldKey).
bool canBeKeyIn(const platform::IniDocument& document, const QString& caption);

} // namespace notes
