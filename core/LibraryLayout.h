#pragma once
// Where the library lives: the program's own folder is the library root, its sub-folders are
// the top-level categories, and three special folders beside them hold the recycle box, the
// transit folder and the detailed documents.

#include "platform/DriveInfo.h"
#include "platform/FileSystem.h"

#include <QString>
#include <QStringList>

namespace core {

class LibraryLayout
{
public:
    // `programDir` is the library root; `executablePath` names the program (for the help
    // file and the configuration file name).
    LibraryLayout(const QString& programDir, const QString& executablePath);
    // The layout of the running program: the folder of its executable.
    static LibraryLayout forApplication();

    const QString& programDir() const { return m_programDir; } // ends in "/"
    QString docDir() const { return m_programDir + QStringLiteral("filecomm/"); }
    QString recycleBoxDir() const { return m_programDir + QStringLiteral("oprecy/"); }
    QString transitDir() const { return m_programDir + QStringLiteral("tempdir/"); }
    // The HTML help file beside the executable.
    QString helpFilePath() const { return m_executablePath + QStringLiteral(".html"); }
    QString configPath() const;
    const QString& executablePath() const { return m_executablePath; }

    // Folder names never shown as categories, at any depth; compared exactly.
    static const QStringList& hiddenFolderNames();
    // Names refused for a new category: oprecy, tempdir, filecomm and the notes file's,
    // without letter case.
    static bool isReservedCategoryName(const QString& name);

    // Creates oprecy, tempdir and filecomm (one level each) where they are missing; returns
    // one error text per folder that could not be created.
    QStringList createSpecialFolders(const platform::FileSystem& fs) const;

private:
    QString m_programDir;
    QString m_executablePath;
};

// True when the text holds one of the nine characters a file name cannot carry:
// " * / : < > ? \ |
bool HasInvalidNameChar(const QString& text);

// Size in bytes of the file at `path`, or -1 when there is none.
qint64 FileSizeOf(const QString& path);

// The library runs from a CD-ROM.
bool IsOnCdRom(const platform::DriveOracle& drives, const QString& programDir);

// False when the library is on a CD-ROM or on a mount that is read-only.
bool isLibraryWritable(const platform::DriveOracle& drives, const QString& programDir);

} // namespace core
