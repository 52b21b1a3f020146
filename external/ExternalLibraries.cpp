#include "external/ExternalLibraries.h"

namespace external {

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
    // One rewrite, through the configuration file's own handle (which writes a linked file
    // where the link leads).
    m_config.update([&](platform::IniDocument& document) {
        const QString folder = document.value(core::section::UserDefDir, oldName).value_or(QString());
        document.removeKey(core::section::UserDefDir, oldName);
        document.setValue(core::section::UserDefDir, newName, folder);
        return true;
    });
}

bool ExternalLibraries::isStorableName(const QString& name) const
{
    return platform::IniDocument::isStorableKey(name) && !name.startsWith(u';') &&
           !name.startsWith(u'[') && platform::text::roundTrips(name, m_config.encoding());
}

bool ExternalLibraries::isStorableFolder(const QString& folder) const
{
    if (folder.contains(u'\n') || folder.contains(u'\r') || folder != folder.trimmed())
        return false;
    const platform::TextEncoding encoding = m_config.encoding();
    return platform::text::roundTrips(folder, encoding) &&
           platform::text::encode(folder, encoding).size() <= platform::IniDocument::kMaxValueBytes;
}

} // namespace external
