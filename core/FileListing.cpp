#include "core/FileListing.h"

#include "notes/ConflictCopies.h"
#include "platform/FileNames.h"
#include "platform/OpenFolder.h"
#include "platform/TemporaryFiles.h"
#include "platform/Utf8Reader.h"

#include <cstring>
#include <string>

namespace core {

namespace {

bool isDotName(QByteArrayView name)
{
    return name.startsWith('.') && name != "." && name != "..";
}

// The text of a name in valid UTF-8, written into `out` (whose room is kept between names).
void readUtf8(QByteArrayView bytes, QString& out)
{
    out.resize(bytes.size());
    auto* to = reinterpret_cast<char16_t*>(out.data());
    const auto* at = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = at + bytes.size();
    while (at < end) {
        const char32_t c = platform::nextUtf8(at, end);
        if (QChar::requiresSurrogates(c)) {
            *to++ = QChar::highSurrogate(c);
            *to++ = QChar::lowSurrogate(c);
        } else {
            *to++ = char16_t(c);
        }
    }
    out.resize(to - reinterpret_cast<char16_t*>(out.data()));
}

// The entries of a folder as one listing gave them.
struct Entries
{
    std::string names; // each name followed by a NUL
    struct Entry
    {
        size_t at;
        size_t length;
        platform::OpenFolder::Kind kind;
    };
    std::vector<Entry> entries;

    QByteArrayView name(const Entry& e) const
    {
        return QByteArrayView(names.data() + e.at, qsizetype(e.length));
    }
    const char* cName(const Entry& e) const { return names.data() + e.at; }
};

} // namespace

bool isListedEntry(const QString& name)
{
    return !notes::isNotesFileName(name) && !platform::isTemporaryName(name);
}

bool isListedName(QByteArrayView name)
{
    if (notes::isNotesFileName(name))
        return false;
    // The program's temporary names (see platform::isTemporaryName), spelled in ASCII.
    return !name.startsWith(".quillet-") ||
           !(name.endsWith(".part") || name.endsWith(".tmp") || name.endsWith(".keep"));
}

QString NameShownAs(const platform::FileSystem& fs, const QString& folder, const QString& caption)
{
    if (fs.exists(folder + caption))
        return caption;
    // Only a name that is not UTF-8 reads as something else.
    for (const platform::DirEntry& entry : fs.list(folder, nullptr, platform::StoredFlags::Later)) {
        if (platform::hasKeptBytes(entry.name) && platform::captionOfName(entry.name) == caption)
            return entry.name;
    }
    return {};
}

void FolderNames::addNative(QByteArrayView name)
{
    m_native.append(name.data(), name.size()).append('\0');
}

bool FolderNames::contains(const QString& name) const
{
    if (m_set.isEmpty() && (!m_names.empty() || !m_native.isEmpty())) {
        m_set.reserve(qsizetype(m_names.size()));
        for (const QString& n : m_names)
            m_set.insert(n);
        for (qsizetype at = 0; at < m_native.size();) {
            const qsizetype end = m_native.indexOf('\0', at);
            m_set.insert(platform::pathFromNative(QByteArrayView(m_native).sliced(at, end - at)));
            at = end + 1;
        }
    }
    return m_set.contains(name);
}

QString FolderNames::captionOf(const QString& name) const
{
    if (!platform::hasKeptBytes(name))
        return name;
    const QString caption = platform::captionOfName(name);
    // As notes::captionInFolder, with the folder's names at hand.
    if (caption != name && contains(caption))
        return name;
    return caption;
}

FolderListing listFolder(const platform::OpenFolder& folder, const RowFilter* filter, int parts,
                         const notes::NotesSnapshot* stored)
{
    const bool withSubfolders = parts & ListSubfolders;
    FolderListing out;
    // Each thread keeps its buffer of names from folder to folder, unless it grew large.
    static thread_local Entries all;
    all.names.clear();
    all.entries.clear();
    struct GiveBack
    {
        ~GiveBack()
        {
            constexpr size_t kKept = 1 << 20;
            if (all.names.capacity() > kKept) {
                all.names = std::string();
                all.entries = std::vector<Entries::Entry>();
            }
        }
    } giveBack;
    out.complete = folder.forEachEntry([&](QByteArrayView name, platform::OpenFolder::Kind kind) {
        all.entries.push_back({all.names.size(), size_t(name.size()), kind});
        all.names.append(name.data(), size_t(name.size())).push_back('\0');
    });
    if (!out.complete)
        return out; // a folder that cannot be read to its end lists nothing

    // The folder's notes, read at the first file that needs them.
    notes::NotesSnapshot read;
    bool notesRead = stored != nullptr;
    const notes::NotesSnapshot* const givenNotes = stored;
    const auto folderNotes = [&]() -> const notes::NotesSnapshot& {
        if (!notesRead) {
            notesRead = true;
            QByteArray bytes;
            if (folder.readFile(notes::NotesFileName, &bytes) == platform::ReadOutcome::Loaded &&
                (!filter || !filter->byNote() || filter->notesMayPass(bytes)))
                read = notes::NotesSnapshot::fromFile(bytes);
        }
        return givenNotes ? *givenNotes : read;
    };
    // Every name of the folder, for the rules that look at the other files; made when asked.
    FolderNames names;
    bool namesMade = false;
    const auto folderNames = [&]() -> const FolderNames& {
        if (!namesMade) {
            namesMade = true;
            for (const Entries::Entry& e : all.entries)
                names.addNative(all.name(e));
        }
        return names;
    };
    const notes::NotesSnapshot::OtherFile isOtherFile = [&](const QString& key) {
        return folderNames().contains(key);
    };

    const bool byNote = filter && filter->byNote();
    // A file without a note never passes by note.
    const bool filesWanted = (parts & ListFiles) && (!byNote || !folderNotes().isEmpty());
    const quint32 folderIndex = out.rows.folderIndex(folder.path());
    if (!filter && (parts & ListFiles))
        out.rows.reserve(all.entries.size());
    QString captionText; // the caption of the entry at hand, its room kept
    // Entries are added at the end as the pass over leftovers settles them.
    for (size_t at = 0; at < all.entries.size(); ++at) {
        const Entries::Entry e = all.entries[at];
        const QByteArrayView name = all.name(e);
        // What a killed write left, if it is one (a copy's leftover may be a folder); a file
        // a killed command left parked shows again, under its own name or beside it.
        if ((parts & RemoveLeftovers) && name.startsWith(".quillet-")) {
            if (folder.removeLeftover(all.cName(e)))
                continue;
            QByteArray shownAs;
            if (name.endsWith(".keep") && folder.settleParked(all.cName(e), &shownAs)) {
                if (!shownAs.isEmpty()) {
                    all.entries.push_back({all.names.size(), size_t(shownAs.size()), e.kind});
                    all.names.append(shownAs.constData(), size_t(shownAs.size())).push_back('\0');
                }
                continue;
            }
        }
        if (e.kind == platform::OpenFolder::Kind::Folder) {
            if (withSubfolders)
                out.subfolders.push_back({name.toByteArray(), out.rows.size(), false});
            continue;
        }
        platform::OpenFolder::Details details;
        bool looked = false;
        if (e.kind == platform::OpenFolder::Kind::Link) {
            // A link to a folder is a folder, which a list does not show.
            if (!folder.details(all.cName(e), &details))
                continue;
            looked = true;
            if (details.isFolder) {
                if (withSubfolders)
                    out.subfolders.push_back({name.toByteArray(), out.rows.size(), true});
                continue;
            }
        }
        if (!filesWanted || !isListedName(name))
            continue;
        if (!(parts & ConflictCopiesAsFiles) && notes::isConflictCopyName(name)) {
            out.conflictCopies.push_back(name.toByteArray());
            continue;
        }
        // A name that is UTF-8 is its own caption; any other is read as GB18030 where that
        // spells no other file of the folder.
        const bool utf8 = name.isValidUtf8();
        bool captionDecoded = false;
        if (utf8) {
            if (filter && !byNote && !filter->utf8NamePasses(name))
                continue;
            readUtf8(name, captionText);
        } else {
            const QString nameText = platform::pathFromNative(name);
            captionText = folderNames().captionOf(nameText);
            captionDecoded = captionText != nameText;
        }
        if (filter && !byNote && !utf8 && !filter->passes(captionText))
            continue;
        const QStringView note = folderNotes().noteView(captionText, isOtherFile);
        if (byNote && !filter->passes(note))
            continue;
        if (!looked && !(parts & ListNoDetails) && !folder.details(all.cName(e), &details))
            continue; // gone since the folder was read
        if (details.isRealFolder)
            continue;
        platform::Attributes attributes = 0;
        if (!details.ownerWrite)
            attributes |= platform::ReadOnly;
        if (isDotName(name))
            attributes |= platform::Hidden;
        out.rows.addListed({name, folderIndex, details.size, details.modifiedSeconds, attributes,
                            !details.isLink, captionDecoded, note});
    }
    // A search keeps the rows of many folders: none keeps more room than it needs.
    out.rows.squeeze();
    return out;
}

FileRows listCategoryRows(const QString& dir, const notes::NotesSnapshot* stored)
{
    return listFolder(platform::OpenFolder(dir), nullptr, ListFiles | RemoveLeftovers, stored).rows;
}

std::vector<FileRow> ListCategoryFiles(const platform::FileSystem&, const QString& dir,
                                       const notes::NotesSnapshot& stored)
{
    const FolderListing listing =
        listFolder(platform::OpenFolder(dir), nullptr, ListFiles | RemoveLeftovers, &stored);
    std::vector<FileRow> rows;
    rows.reserve(listing.rows.size());
    for (size_t i = 0; i < listing.rows.size(); ++i)
        rows.push_back(listing.rows.row(i, false));
    return rows;
}

} // namespace core
