#pragma once
// The outside folders registered as external libraries: the configuration file's section
// [UserDefDir] holds one key per library, its name, with the library's folder as the value.

#include "core/ConfigFile.h"

#include <QList>
#include <QString>

namespace core {

struct ExternalLibrary
{
    QString name;   // the key, spelled as in the file
    QString folder; // ends in "/"; empty when the key holds no folder
};

// The folder registered under `name`, ending in "/" however it was stored; empty when the
// name is not registered or holds no folder.
QString registeredFolder(const ConfigFile& config, const QString& name);

// Every registered library in the file's order, from one read of the file.
QList<ExternalLibrary> registeredLibraries(const ConfigFile& config);

} // namespace core
