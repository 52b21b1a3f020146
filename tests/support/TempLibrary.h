#pragma once
// A library on disk in a temporary folder: the root with its special folders, and helpers to
// make categories, files and notes files (written as GBK bytes, as the program writes them).

#include "core/LibraryLayout.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <utility>

namespace testing_support {

QByteArray gbk(const QString& text);
QString fromGbk(const QByteArray& bytes);

class TempLibrary
{
public:
    explicit TempLibrary(bool withSpecialFolders = true);

    const QString& root() const { return m_root; } // ends in "/"
    QString path(const QString& relative) const { return m_root + relative; }
    core::LibraryLayout layout() const;

    void makeDir(const QString& relative) const;
    void makeFile(const QString& relative, const QByteArray& content = {}) const;
    // A file of `size` bytes.
    void makeFileOfSize(const QString& relative, qint64 size) const;
    QByteArray read(const QString& relative) const;
    bool exists(const QString& relative) const;

    // Writes "zzfdat.nod" of the folder (relative, ending in "/" or empty for the root)
    // with these notes in GBK.
    void writeNotes(const QString& folder, const QList<std::pair<QString, QString>>& notes) const;
    // The notes file's bytes decoded from GBK ("" when it is missing).
    QString notesText(const QString& folder) const;

private:
    QTemporaryDir m_dir;
    QString m_root;
};

} // namespace testing_support
