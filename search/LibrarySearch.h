#pragma once
// One search: the whole library depth first (never into the recycle box or the document
// folder, at any depth, nor into the program's temporary folders; a symbolic link to a folder
// is followed to a folder not searched yet) and the top level of each external folder,
// collecting a result row for every file whose caption, or whose note, holds the keyword.
// Each folder and its notes file are read at most once; a folder that cannot be read adds
// nothing. The folders are read on worker threads; the rows come in the order of a walk by
// one thread.

#include "core/FileRows.h"
#include "search/FolderWalk.h"
#include "search/KeywordFilter.h"

#include <functional>

namespace search {

enum class Mode
{
    ByName = 0,
    ByNote = 1
};

class LibrarySearch
{
public:
    // `threads` workers read the folders; 0: one for each processor.
    LibrarySearch(Mode mode, const QString& keyword, int threads = 0);

    // `report` is called on the calling thread while the walk goes on, at most once per
    // `intervalMs`, and when each walk ends.
    void setProgress(std::function<void(const SearchProgress&)> report, int intervalMs);

    // FindFilesByName / FindFilesByNote on the library root `programDir` (ending in "/"):
    // every folder below it; the files lying directly in it belong to the program.
    void FindFiles(const QString& programDir);
    // FindOuterFilesByName / FindOuterFilesByNote: the files directly in each folder.
    void FindOuterFiles(const QStringList& folders);

    const core::FileRows& rows() const { return m_rows; }
    core::FileRows takeRows() { return std::move(m_rows); }
    SearchProgress progress() const { return m_walk.progress(); }

    // The folders no walk enters: the recycle box and the document folder, in any letter
    // case, and the program's temporary folders.
    static bool isExcludedFolder(const QString& name);

private:
    KeywordFilter m_filter;
    FolderWalk m_walk;
    core::FileRows m_rows;
};

} // namespace search
