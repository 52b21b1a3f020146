#include "core/Documents.h"


namespace core {

QString Documents::DocumentPath(const QString& name) const
{
    return m_docDir + name.trimmed() + QStringLiteral(".txt");
}

bool Documents::HasDocument(const QString& name) const
{
    return !m_docDir.isEmpty() && platform::FileSystem::local().isFile(DocumentPath(name));
}

platform::FsResult Documents::RenameDocument(const QString& oldName, const QString& newName) const
{
    if (!HasDocument(oldName))
        return {};
    return platform::FileSystem::local().move(DocumentPath(oldName), DocumentPath(newName));
}

void Documents::DeleteDocument(const QString& name) const
{
    if (!HasDocument(name))
        return;
    platform::FileSystem::local().removeFile(DocumentPath(name));
}

} // namespace core
