#pragma once
// Detailed documents: one text file per file name in the library's one document folder, so
// a file keeps its document wherever it moves inside the library.

#include "platform/FileSystem.h"

#include <QString>

namespace core {

class Documents
{
public:
    Documents() = default;
    explicit Documents(QString docDir) : m_docDir(std::move(docDir)) {}

    const QString& docDir() const { return m_docDir; }
    // The document folder + the name without blanks around it + ".txt".
    QString DocumentPath(const QString& name) const;
    bool HasDocument(const QString& name) const;
    // Renames the document of `oldName` to that of `newName` when it exists.
    platform::FsResult RenameDocument(const QString& oldName, const QString& newName) const;
    // Deletes the document when it exists; a missing document is no error.
    void DeleteDocument(const QString& name) const;

private:
    QString m_docDir;
};

} // namespace core
