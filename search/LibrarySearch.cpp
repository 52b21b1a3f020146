#include "search/LibrarySearch.h"

#include "platform/FileNames.h"

namespace search {

LibrarySearch::LibrarySearch(Mode mode, const QString& keyword, int threads)
    : m_filter(mode == Mode::ByNote, keyword), m_walk(m_filter, threads)
{
}

void LibrarySearch::setProgress(std::function<void(const SearchProgress&)> report, int intervalMs)
{
    m_walk.setProgress(std::move(report), intervalMs);
}

bool LibrarySearch::isExcludedFolder(const QString& name)
{
    return name.compare(QLatin1String("oprecy"), Qt::CaseInsensitive) == 0 ||
           name.compare(QLatin1String("filecomm"), Qt::CaseInsensitive) == 0 ||
           platform::isTemporaryName(name);
}

void LibrarySearch::FindFiles(const QString& programDir)
{
    m_walk.walkTree(programDir, &LibrarySearch::isExcludedFolder, m_rows);
}

void LibrarySearch::FindOuterFiles(const QStringList& folders)
{
    m_walk.listFolders(folders, m_rows);
}

} // namespace search
