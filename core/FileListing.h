#pragma once
// Listing a folder's files as rows: every entry that is not a folder, the notes file or one of
// the program's temporary files, with its caption in the folder and its note from one read of
// the folder's notes file. The file list and the search share these steps: a folder is read
// once through its open handle, an entry is looked at on disk only when it makes a row, and a
// row is kept as bytes and numbers until it is shown.

#include "core/FileRow.h"
#include "core/FileRows.h"
#include "notes/NotesFile.h"
#include "platform/FileSystem.h"

#include <QSet>

#include <vector>

namespace platform {
class OpenFolder;
}

namespace core {

// The name of the entry of `folder` shown as `caption`: the caption itself when an entry has
// that name, else the entry whose name reads as it (GBK bytes from Windows); empty when none.
QString NameShownAs(const platform::FileSystem& fs, const QString& folder, const QString& caption);

// False for the entries no list shows: the notes file (in any letter case) and the program's
// temporary files. The notes file's conflict copies (notes/ConflictCopies.h) are shown by the
// recycle box only, as its listing asks.
bool isListedEntry(const QString& name);
// The same for a name given as its bytes.
bool isListedName(QByteArrayView name);

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
    bool contains(const QString& name) const;

private:
    std::vector<QString> m_names;
    QByteArray m_native;         // names given as bytes, each ended by a NUL
    mutable QSet<QString> m_set; // made at the first question that needs it
};

// Which files of a folder make rows, for a listing that does not want every one.
class RowFilter
{
public:
    virtual ~RowFilter() = default;
    // True when files are chosen by their notes, else by their captions.
    virtual bool byNote() const = 0;
    // The verdict on a caption (by name) or a note (by note).
    virtual bool passes(QStringView text) const = 0;
    // The verdict on a name in UTF-8, which is its own caption (by name).
    virtual bool utf8NamePasses(QByteArrayView name) const = 0;
    // False when a notes file's bytes cannot hold a note that passes (by note).
    virtual bool notesMayPass(const QByteArray& bytes) const = 0;
};

// What one read of a folder gave.
struct FolderListing
{
    bool complete = false; // the folder was read to its end
    FileRows rows;         // the rows of its files, in listing order
    // Its subfolders in listing order (with ListSubfolders), and with each the number of rows
    // listed before it; a symbolic link to a folder is one too.
    struct Subfolder
    {
        QByteArray name;
        size_t rowsBefore = 0;
        bool isLink = false;
    };
    std::vector<Subfolder> subfolders;
    // The names of the conflict copies of the notes file it came upon (with ListFiles, unless
    // they are listed as files), which make no rows.
    std::vector<QByteArray> conflictCopies;
};

// What a listing is asked for.
enum ListingPart
{
    ListFiles = 1,
    ListSubfolders = 2,
    // A leftover of a killed write that the listing comes upon is removed (a search only
    // reads).
    RemoveLeftovers = 4,
    // Conflict copies of the notes file that a synced folder left are rows like any file (the
    // recycle box); else they make no rows and are gathered to be merged.
    ConflictCopiesAsFiles = 8,
    // The files are not looked at on disk (a link still is): their sizes and times are 0 and
    // none has the R attribute, for a reader that looks at them before it shows them.
    ListNoDetails = 16,
};

// Reads the folder once: with ListFiles a row for every file (or every file `filter` passes,
// when given), with its note from the folder's notes file, read once (or from `stored` when
// given); with ListSubfolders its subfolders.
FolderListing listFolder(const platform::OpenFolder& folder, const RowFilter* filter, int parts,
                         const notes::NotesSnapshot* stored = nullptr);

// The rows of every file of `dir`, in listing order, with the notes of `stored` (or of its
// notes file, read once); leftovers of killed writes go.
FileRows listCategoryRows(const QString& dir, const notes::NotesSnapshot* stored = nullptr);
// The same as FileRows made whole, with the notes of `stored`.
std::vector<FileRow> ListCategoryFiles(const platform::FileSystem& fs, const QString& dir,
                                       const notes::NotesSnapshot& stored);

} // namespace core
