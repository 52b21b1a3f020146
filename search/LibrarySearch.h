#pragma once
// One search walk: the whole library depth first (never into the recycle box or the document
// folder, at any depth, and never through a symbolic link) and the top level of each external
// folder, collecting a result row for every file whose caption, or whose note, holds the
// keyword. Each folder's notes file is read at most once; a folder that cannot be read adds
// nothing.

#include "core/FileListing.h"
#include "search/KeywordMatcher.h"

#include <QElapsedTimer>

#include <functional>
#include <vector>

namespace platform {
class OpenFolder;
}

namespace search {

enum class Mode
{
    ByName = 0,
    ByNote = 1
};

// How far a walk has come.
struct SearchProgress
{
    int folders = 0; // folders read so far
    int found = 0;   // result rows so far
};

class LibrarySearch
{
public:
    LibrarySearch(Mode mode, const QString& keyword);

    // `report` is called while the walk goes on, at most once per `intervalMs`.
    void setProgress(std::function<void(const SearchProgress&)> report, int intervalMs);

    // FindFilesByName / FindFilesByNote on the library root `programDir` (ending in "/"):
    // every folder below it; the files lying directly in it belong to the program.
    void FindFiles(const QString& programDir);
    // FindOuterFilesByName / FindOuterFilesByNote: the files directly in each folder.
    void FindOuterFiles(const QStringList& folders);

    const std::vector<core::FileRow>& rows() const { return m_rows; }
    std::vector<core::FileRow> takeRows() { return std::move(m_rows); }
    const SearchProgress& progress() const { return m_progress; }

    // The folders no walk enters: the recycle box and the document folder, in any letter case.
    static bool isExcludedFolder(const QString& name);

private:
    struct Listing;
    enum class Walk
    {
        Library,
        Outer
    };
    void searchFolder(platform::OpenFolder& folder, Walk walk, bool listFiles, int depth);
    // The folder's entries: its subfolders and, with `listFiles`, the rows of its files that
    // match, each at its place in the listing.
    bool list(const platform::OpenFolder& folder, bool listFiles, Listing& listing);
    core::NotesSnapshot readNotes(const platform::OpenFolder& folder) const;
    // False when a notes file's bytes cannot hold a note with the keyword.
    bool mayHoldKeyword(const QByteArray& bytes) const;
    void tick();

    Mode m_mode;
    KeywordMatcher m_matcher;
    // The keyword's bytes in UTF-8 and in GB18030, A to Z folded.
    QByteArray m_utf8Keyword;
    QList<QByteArray> m_keywordBytes;
    std::vector<core::FileRow> m_rows;
    SearchProgress m_progress;
    std::function<void(const SearchProgress&)> m_report;
    int m_intervalMs = 100;
    QElapsedTimer m_sinceReport;
    unsigned m_steps = 0;
};

} // namespace search
