#pragma once
// The program's configuration file: every section and key with its type and default, the
// settings read at start and written back at close, and the immediate writes of single
// settings. Writes the file system refuses throw platform::WriteError.

#include "core/Settings.h"
#include "platform/IniFile.h"

#include <QString>
#include <QStringList>

namespace core {

class ConfigFile
{
public:
    explicit ConfigFile(QString path);

    // $XDG_CONFIG_HOME (default ~/.config) + the executable's file name in lower case with
    // its extension replaced by ".ini".
    static QString pathFor(const QString& executablePath);

    const QString& path() const { return m_file.path(); }

    QString readString(const QString& section, const QString& key, const QString& fallback) const;
    int readInt(const QString& section, const QString& key, int fallback) const;
    bool readBool(const QString& section, const QString& key, bool fallback) const;
    bool hasKey(const QString& section, const QString& key) const;
    QStringList keys(const QString& section) const;

    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInt(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);
    void removeKey(const QString& section, const QString& key);
    // One read-modify-write of the file; it is written only when `edit` returns true.
    void update(const std::function<bool(platform::IniDocument&)>& edit);
    // The whole file as it is now, read once.
    platform::IniDocument load() const;
    // The encoding the file is in (a new file's for a missing one).
    platform::TextEncoding encoding() const;

    // The settings the main window applies at start; `designed` gives the placement
    // defaults (the window's own values).
    WindowSettings loadWindowSettings(const WindowPlacement& designed = {}) const;
    // Writes the closing settings in their order in one atomic rewrite of the file; the
    // normal placement only when the window is not maximised or minimised.
    void saveWindowSettings(const WindowSettings& settings, bool normalState);

    Options loadOptions() const;
    int treeFontColor() const;
    int treeBackColor() const;

    void writeListFont(const FontSpec& font);

private:
    // Makes the file's folder where it is missing (a first start); WriteError when it cannot.
    void makeFolder() const;

    platform::IniFile m_file;
};

// Section names.
namespace section {
inline const QString positus = QStringLiteral("positus");
inline const QString contlor = QStringLiteral("contlor");
inline const QString findforma = QStringLiteral("findforma");
inline const QString sysinfo = QStringLiteral("sysinfo");
inline const QString NoteWindow = QStringLiteral("NoteWindow");
inline const QString DragFormPos = QStringLiteral("DragFormPos");
inline const QString SystemConfig = QStringLiteral("SystemConfig");
inline const QString UserDefDir = QStringLiteral("UserDefDir");
// The open nodes of the system tree and of the external tree, one key per node.
inline const QString OpenCategories = QStringLiteral("OpenCategories");
inline const QString OpenFolders = QStringLiteral("OpenFolders");
} // namespace section

} // namespace core
