#pragma once
// Listing a folder's files as rows: every entry that is not a folder or the notes file, with
// its caption in the folder and its note from one read of the folder's notes file. The file
// list and the search share these steps.

#include "core/FileRow.h"
#include "core/NotesStore.h"
#include "platform/FileSystem.h"

#include <QSet>

#include <vector>

namespace core {

// A row for a directory entry of `folder` (which ends in "/").
FileRow makeFileRow(const platform::DirEntry& entry, const QString& folder, const QString& note);

// The caption of `name` in `folder`: its caption (see platform/FileNames.h), or the name as it
// is when that caption would spell another file of the folder.
QString CaptionInFolder(const platform::FileSystem& fs, const QString& folder, const QString& name);

// The name of the entry of `folder` shown as `caption`: the caption itself when an entry has
// that name, else the entry whose name reads as it (GBK bytes from Windows); empty when none.
QString NameShownAs(const platform::FileSystem& fs, const QString& folder, const QString& caption);

// False for the entries no list shows: the notes file (in any letter case) and the program's
// temporary files.
bool isListedEntry(const QString& name);

// True for the notes file's name in any letter case.
bool isNotesFileName(const QString& name);

// The names of every entry of one folder, for the rules that look at the folder's other
// files: a caption that would spell another file of the folder is not taken, and a note key
// spelled in other letter case is not taken from a file of exactly that name.
class FolderNames
{
public:
    void reserve(size_t count) { m_names.reserve(count); }
    void add(const QString& name) { m_names.push_back(name); }
    // A name as the folder's listing gave its bytes; it is read only when a rule needs it.
    void addNative(QByteArrayView name);

    // The caption of the folder's entry `name`.
    QString captionOf(const QString& name) const;
    // The note of the folder's file shown as `caption`.
    QString noteOf(const NotesSnapshot& notes, const QString& caption) const;
    bool contains(const QString& name) const;

private:
    std::vector<QString> m_names;
    QByteArray m_native;         // names given as bytes, each ended by a NUL
    mutable QSet<QString> m_set; // made at the first question that needs it
};

// The row of the folder's file `entry`: its caption in the folder and its note.
FileRow folderRow(const platform::DirEntry& entry, const QString& folder, const FolderNames& names,
                  const NotesSnapshot& notes);

// ListCategoryFiles: one row per file of `dir`, in listing order.
std::vector<FileRow> ListCategoryFiles(const platform::FileSystem& fs, const QString& dir,
                                       const NotesSnapshot& notes);

} // namespace core
