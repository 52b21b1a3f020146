#pragma once
// The registrations of the external libraries in the configuration file: reading, writing,
// renaming and removing them, and which names and folders the file can hold. Registering
// never creates, moves or deletes a folder.

#include "core/ExternalFolders.h"

namespace external {

class ExternalLibraries
{
public:
    explicit ExternalLibraries(core::ConfigFile& config) : m_config(config) {}

    QList<core::ExternalLibrary> all() const { return core::registeredLibraries(m_config); }
    // The folder of `name`, ending in "/"; empty when there is none.
    QString folderOf(const QString& name) const { return core::registeredFolder(m_config, name); }
    // Whether the file holds the key `name` (keys match without letter case).
    bool contains(const QString& name) const;

    // Writes the folder under `name`, replacing the folder an existing name had.
    void write(const QString& name, const QString& folder);
    void remove(const QString& name);
    // The folder of `oldName` goes under `newName`, in one rewrite of the file.
    void rename(const QString& oldName, const QString& newName);

    // A name is kept only when the file gives it back exactly as typed: no blanks around it,
    // no "=", no line break, and it does not start with ";" (a comment) or "[" (a section).
    bool isStorableName(const QString& name) const;
    // A folder path the file can hold and give back unchanged.
    bool isStorableFolder(const QString& folder) const;

private:
    core::ConfigFile& m_config;
};

} // namespace external
