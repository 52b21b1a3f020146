#include "core/ExternalFolders.h"

#include "platform/FileSystem.h"

namespace core {

namespace {

// A folder written by hand without its final "/" names the same folder as one with it;
// listing and notes must not use two spellings of it.
QString folderFromValue(const QString& value)
{
    return value.isEmpty() ? QString() : platform::withTrailingSlash(value);
}

} // namespace

QString registeredFolder(const ConfigFile& config, const QString& name)
{
    return folderFromValue(config.readString(section::UserDefDir, name, QString()));
}

QList<ExternalLibrary> registeredLibraries(const ConfigFile& config)
{
    const platform::IniDocument document = config.load();
    QList<ExternalLibrary> libraries;
    for (const QString& name : document.keys(section::UserDefDir)) {
        libraries.append(
            {name, folderFromValue(document.value(section::UserDefDir, name).value_or(QString()))});
    }
    return libraries;
}

} // namespace core
