#pragma once
// The state every command shares for one run: the library layout, the configuration, the
// read-only state, the options, the current folder and its notes file.

#include "core/ConfigFile.h"
#include "core/Documents.h"
#include "core/LibraryLayout.h"
#include "core/Settings.h"
#include "notes/NotesFile.h"
#include "platform/DriveInfo.h"

namespace core {

class Session
{
public:
    Session(LibraryLayout layout, ConfigFile& config, const platform::FileSystem& fs, bool writable)
        : m_layout(std::move(layout)), m_config(config), m_fs(fs), m_writable(writable),
          m_documents(m_layout.docDir())
    {
    }

    const LibraryLayout& layout() const { return m_layout; }
    ConfigFile& config() const { return m_config; }
    const platform::FileSystem& fs() const { return m_fs; }
    // False when the library is on a CD-ROM or a read-only mount; fixed for the run.
    bool writable() const { return m_writable; }
    const Documents& documents() const { return m_documents; }
    // What kind of medium holds a path: the running system's mounts unless a test stands in
    // with an oracle of its own (which must outlive the session).
    const platform::DriveOracle& drives() const { return m_drives ? *m_drives : systemDrives(); }
    void setDrives(const platform::DriveOracle* drives) { m_drives = drives; }

    Options& options() { return m_options; }
    const Options& options() const { return m_options; }

    // The font of the lists (file list, system tree, search list), with its colour.
    const FontSpec& listFont() const { return m_listFont; }
    void setListFont(const FontSpec& font) { m_listFont = font; }

    // The colours of both trees, in the stored colour encoding.
    int treeFontColor() const { return m_treeFontColor; }
    int treeBackColor() const { return m_treeBackColor; }
    void setTreeColors(int font, int back)
    {
        m_treeFontColor = font;
        m_treeBackColor = back;
    }

    // The folder of the node selected in the active tree, ending in "/".
    const QString& currentDir() const { return m_currentDir; }
    void setCurrentDir(const QString& dir) { m_currentDir = dir; }

    // The notes file of the folder the file list shows.
    const notes::NotesFile& notesFile() const { return m_notesFile; }
    void openNotesFile(const QString& dir) { m_notesFile = notes::NotesFile::open(dir); }

private:
    static const platform::DriveOracle& systemDrives()
    {
        static const platform::SystemDriveOracle oracle;
        return oracle;
    }

    LibraryLayout m_layout;
    ConfigFile& m_config;
    const platform::FileSystem& m_fs;
    const platform::DriveOracle* m_drives = nullptr;
    bool m_writable;
    Documents m_documents;
    Options m_options;
    FontSpec m_listFont;
    int m_treeFontColor = 0;
    int m_treeBackColor = 16777215;
    QString m_currentDir;
    notes::NotesFile m_notesFile;
};

} // namespace core
