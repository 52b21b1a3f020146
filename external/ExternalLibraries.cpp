#include "external/ExternalLibraries.h"

#include "platform/IniFile.h"

namespace external {

namespace {

platform::TextEncoding encodingOf(const core::ConfigFile& config)
{
    return platform::IniFile(config.path()).load().encoding();
}

} // namespace

bool ExternalLibraries::contains(const QString& name) const
{
    return m_config.hasKey(core::section::UserDefDir, name);
}

void ExternalLibraries::write(const QString& name, const QString& folder)
{
    m_config.writeString(core::section::UserDefDir, name, folder);
}

void ExternalLibraries::remove(const QString& name)
{
    m_config.removeKey(core::section::UserDefDir, name);
}

void ExternalLibraries::rename(const QString& oldName, const QString& newName)
{
    const QString folder = folderOf(oldName);
    platform::IniFile(m_config.path()).update([&](platform::IniDocument& document) {
        document.removeKey(core::section::UserDefDir, oldName);
        document.setValue(core::section::UserDefDir, newName, folder);
        return true;
    });
}

bool ExternalLibraries::isStorableName(const QString& name) const
{
    return platform::IniDocument::isStorableKey(name) && !name.startsWith(u';') &&
           !name.startsWith(u'[') && platform::text::roundTrips(name, encodingOf(m_config));
}

bool ExternalLibraries::isStorableFolder(const QString& folder) const
{
    if (folder.contains(u'\n') || folder.contains(u'\r') || folder != folder.trimmed())
        return false;
    const platform::TextEncoding encoding = encodingOf(m_config);
    return platform::text::roundTrips(folder, encoding) &&
           platform::text::encode(folder, encoding).size() <= platform::IniDocument::kMaxValueBytes;
}

} // namespace external
