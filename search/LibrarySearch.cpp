#include "search/LibrarySearch.h"

#include "platform/FileNames.h"
#include "platform/OpenFolder.h"
#include "platform/TextCodec.h"

#include <array>
#include <cstring>
#include <limits>

namespace search {

namespace {

// Deeper than this, a folder gives its descriptor back before the walk goes into its
// subfolders, which are then opened by their paths.
constexpr int kMostOpenLevels = 64;

constexpr std::array<char, 256> kFolded = [] {
    std::array<char, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[size_t(c)] = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return table;
}();

inline char foldedByte(char c)
{
    return kFolded[static_cast<unsigned char>(c)];
}

// True when `folded` (A to Z folded) occurs in `bytes` with A to Z folded.
bool containsFolded(QByteArrayView bytes, const QByteArray& folded)
{
    const qsizetype length = folded.size();
    if (length == 0 || bytes.size() < length)
        return false;
    const char first = folded[0];
    const bool letter = first >= 'a' && first <= 'z';
    const char* at = bytes.data();
    const char* const end = at + bytes.size() - length + 1;
    for (; at < end; ++at) {
        if (!letter) {
            // A byte that is no letter is found as it is.
            at = static_cast<const char*>(std::memchr(at, first, size_t(end - at)));
            if (!at)
                return false;
        } else if (foldedByte(*at) != first) {
            continue;
        }
        qsizetype i = 1;
        while (i < length && foldedByte(at[i]) == folded[i])
            ++i;
        if (i == length)
            return true;
    }
    return false;
}

QByteArray foldedBytes(const QString& text, platform::TextEncoding encoding)
{
    QByteArray bytes = platform::text::encode(text, encoding);
    for (char& c : bytes)
        c = foldedByte(c);
    return bytes;
}

} // namespace

// What one folder holds for the walk, in listing order.
struct LibrarySearch::Listing
{
    // Subfolders and the rows of matching files, by their place in the listing.
    std::vector<std::pair<qsizetype, QString>> subfolders;
    std::vector<std::pair<qsizetype, core::FileRow>> rows;
};

LibrarySearch::LibrarySearch(Mode mode, const QString& keyword)
    : m_mode(mode), m_matcher(keyword),
      m_utf8Keyword(foldedBytes(m_matcher.keyword(), platform::TextEncoding::Utf8))
{
    m_keywordBytes.append(m_utf8Keyword);
    const QByteArray gb = foldedBytes(m_matcher.keyword(), platform::TextEncoding::Gb18030);
    if (gb != m_utf8Keyword)
        m_keywordBytes.append(gb);
}

void LibrarySearch::setProgress(std::function<void(const SearchProgress&)> report, int intervalMs)
{
    m_report = std::move(report);
    m_intervalMs = intervalMs;
}

bool LibrarySearch::isExcludedFolder(const QString& name)
{
    return name.compare(QLatin1String("oprecy"), Qt::CaseInsensitive) == 0 ||
           name.compare(QLatin1String("filecomm"), Qt::CaseInsensitive) == 0;
}

bool LibrarySearch::mayHoldKeyword(const QByteArray& bytes) const
{
    // Every character of a note has its one spelling in the file's encoding, so a note that
    // holds the keyword puts the keyword's bytes into the file. The keyword's bytes are known
    // in the 8-bit encodings only; a UTF-16 notes file is read whole.
    const platform::TextEncoding encoding = platform::text::detect(bytes);
    if (encoding == platform::TextEncoding::Utf16Le || encoding == platform::TextEncoding::Utf16Be)
        return true;
    for (const QByteArray& keyword : m_keywordBytes) {
        if (containsFolded(bytes, keyword))
            return true;
    }
    return false;
}

void LibrarySearch::FindFiles(const QString& programDir)
{
    m_sinceReport.start();
    platform::OpenFolder root(programDir);
    searchFolder(root, Walk::Library, false, 0);
}

void LibrarySearch::FindOuterFiles(const QStringList& folders)
{
    m_sinceReport.start();
    for (const QString& path : folders) {
        if (path.isEmpty())
            continue;
        platform::OpenFolder folder(path);
        searchFolder(folder, Walk::Outer, true, 0);
    }
}

void LibrarySearch::tick()
{
    // Looking at the clock for every entry would cost more than the entry itself.
    if (!m_report || (++m_steps & 63) != 0 || m_sinceReport.elapsed() < m_intervalMs)
        return;
    m_report(m_progress);
    m_sinceReport.start();
}

core::NotesSnapshot LibrarySearch::readNotes(const platform::OpenFolder& folder) const
{
    QByteArray bytes;
    if (folder.readFile(core::NotesFileName, &bytes) != platform::ReadOutcome::Loaded)
        return {};
    // By note, a folder whose notes cannot hold the keyword has nothing to find.
    if (m_mode == Mode::ByNote && !mayHoldKeyword(bytes))
        return {};
    return core::NotesSnapshot::fromFile(bytes);
}

bool LibrarySearch::list(const platform::OpenFolder& folder, bool listFiles, Listing& listing)
{
    core::NotesSnapshot notes;
    bool notesRead = false;
    if (listFiles && m_mode == Mode::ByNote) {
        notes = readNotes(folder);
        notesRead = true;
        listFiles = !notes.isEmpty(); // a file without a note never matches
    }

    // Every name of the folder, for the rules that look at the other files.
    core::FolderNames names;

    QStringList matched;
    std::vector<qsizetype> matchedAt;
    qsizetype index = 0;
    const bool complete =
        folder.forEachEntry([&](QByteArrayView name, platform::OpenFolder::Kind kind) {
            tick();
            const qsizetype at = index++;
            names.addNative(name);
            if (kind == platform::OpenFolder::Kind::Folder) {
                listing.subfolders.emplace_back(at, platform::pathFromNative(name));
                return;
            }
            if (!listFiles)
                return;
            // A name that is UTF-8 is its own caption, so its bytes can be matched as they are:
            // a keyword's bytes in a UTF-8 text always start at a character.
            const bool utf8 = name.isValidUtf8();
            if (m_mode == Mode::ByName && utf8 && !containsFolded(name, m_utf8Keyword))
                return;
            matched.append(platform::pathFromNative(name));
            matchedAt.push_back(at);
        });
    if (!complete)
        return false;

    // The candidates by their captions (and notes); the notes are read once, when a file is
    // found.
    QStringList found;
    std::vector<qsizetype> foundAt;
    for (qsizetype i = 0; i < matched.size(); ++i) {
        tick();
        const QString& name = matched[i];
        if (!core::isListedEntry(name))
            continue;
        if (m_mode == Mode::ByNote || platform::hasKeptBytes(name)) {
            const QString caption = names.captionOf(name);
            if (!m_matcher.matches(m_mode == Mode::ByName ? caption : names.noteOf(notes, caption)))
                continue;
        }
        found.append(name);
        foundAt.push_back(matchedAt[size_t(i)]);
    }
    matched = std::move(found);
    matchedAt = std::move(foundAt);
    if (matched.isEmpty())
        return true;
    if (!notesRead)
        notes = readNotes(folder);
    // Looked at on disk together; one that went away since the listing is left out.
    qsizetype next = 0;
    for (const platform::DirEntry& entry :
         folder.entriesNamed(matched, platform::StoredFlags::Later)) {
        while (matched[next] != entry.name)
            ++next;
        // A link to a folder is a folder, which the file list does not show either.
        if (entry.isSymlink && folder.isDirectory(entry.name))
            continue;
        listing.rows.emplace_back(matchedAt[size_t(next)],
                                  core::folderRow(entry, folder.path(), names, notes));
    }
    return true;
}

void LibrarySearch::searchFolder(platform::OpenFolder& folder, Walk walk, bool listFiles, int depth)
{
    ++m_progress.folders;
    m_steps |= 63; // every folder looks at the clock
    tick();
    Listing listing;
    if (!list(folder, listFiles, listing))
        return; // a folder that cannot be read to its end adds nothing
    if (walk == Walk::Outer) {
        for (auto& [at, row] : listing.rows)
            m_rows.push_back(std::move(row));
        m_progress.found = int(m_rows.size());
        return;
    }
    if (depth >= kMostOpenLevels)
        folder.close();

    // In listing order: the folder's own rows, and each subfolder's at its place.
    auto row = listing.rows.begin();
    const auto rowsBefore = [&](qsizetype at) {
        for (; row != listing.rows.end() && row->first < at; ++row)
            m_rows.push_back(std::move(row->second));
        m_progress.found = int(m_rows.size());
    };
    for (const auto& [at, name] : listing.subfolders) {
        rowsBefore(at);
        if (isExcludedFolder(name))
            continue;
        platform::OpenFolder subfolder = folder.subfolder(name);
        searchFolder(subfolder, walk, true, depth + 1);
    }
    rowsBefore(std::numeric_limits<qsizetype>::max());
}

} // namespace search
