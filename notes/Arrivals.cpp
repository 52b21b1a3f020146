#include "notes/Arrivals.h"

#include "notes/NotesFile.h"
#include "platform/FileIdentity.h"
#include "platform/FileNames.h"

namespace notes {

Arrivals::Arrivals(const platform::FileSystem& fs, QString targetDir)
    : m_fs(fs), m_targetDir(std::move(targetDir)), m_alike(m_targetDir)
{
}

Arrival Arrivals::of(const QString& source, const QString& name)
{
    m_otherName.clear();
    if (isNotesFileName(name) || platform::isTemporaryName(name))
        return Arrival::NotAFile;
    const QString target = m_targetDir + name;
    if (!m_fs.exists(source))
        return Arrival::SourceGone;
    if (m_fs.exists(target)) {
        if (platform::isAlreadyAt(source, target))
            return Arrival::AlreadyThere;
        // A folder, or a link to one, which lists show as a folder.
        if (m_fs.isDirectory(target))
            return Arrival::FolderInTheWay;
        return Arrival::Taken;
    }
    m_otherName = m_alike.otherShowingAs(name);
    return m_otherName.isEmpty() ? Arrival::Free : Arrival::ShownAlike;
}

} // namespace notes
