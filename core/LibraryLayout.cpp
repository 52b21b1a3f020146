#include "core/LibraryLayout.h"

#include "core/ConfigFile.h"

#include <QCoreApplication>

namespace core {

LibraryLayout::LibraryLayout(const QString& programDir, const QString& executablePath)
    : m_programDir(platform::withTrailingSlash(programDir)), m_executablePath(executablePath)
{
}

LibraryLayout LibraryLayout::forApplication()
{
    return LibraryLayout(QCoreApplication::applicationDirPath(),
                         QCoreApplication::applicationFilePath());
}

QString LibraryLayout::configPath() const
{
    return ConfigFile::pathFor(m_executablePath);
}

const QStringList& LibraryLayout::hiddenFolderNames()
{
    static const QStringList names{QStringLiteral("oprecy"), QStringLiteral("tempdir"),
                                   QStringLiteral("filecomm"), QStringLiteral("language")};
    return names;
}

bool LibraryLayout::isReservedCategoryName(const QString& name)
{
    // A folder named as the notes file would stand where every note of its parent is written.
    for (const char* reserved : {"oprecy", "tempdir", "filecomm", "zzfdat.nod"}) {
        if (name.compare(QLatin1String(reserved), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QStringList LibraryLayout::createSpecialFolders(const platform::FileSystem& fs) const
{
    QStringList errors;
    for (const char* name : {"oprecy", "tempdir", "filecomm"}) {
        const QString path = m_programDir + QLatin1String(name);
        if (fs.isDirectory(path))
            continue;
        const platform::FsResult result = fs.makeDirectory(path);
        if (!result)
            errors.append(result.message());
    }
    return errors;
}

bool HasInvalidNameChar(const QString& text)
{
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'"':
        case u'*':
        case u'/':
        case u':':
        case u'<':
        case u'>':
        case u'?':
        case u'\\':
        case u'|':
            return true;
        default:
            break;
        }
    }
    return false;
}

qint64 FileSizeOf(const QString& path)
{
    return platform::FileSystem::local().fileSize(path);
}

bool IsOnCdRom(const platform::DriveOracle& drives, const QString& programDir)
{
    return drives.driveType(programDir) == platform::DriveType::CdRom;
}

bool isLibraryWritable(const platform::DriveOracle& drives, const QString& programDir)
{
    return drives.isWritable(programDir);
}

} // namespace core
