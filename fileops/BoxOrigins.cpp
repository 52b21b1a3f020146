#include "fileops/BoxOrigins.h"

#include "notes/NotesFile.h"
#include "notes/NotesKeeper.h"
#include "notes/OriginRecords.h"
#include "platform/ExtendedAttributes.h"
#include "platform/FileIdentity.h"
#include "platform/FileNames.h"

namespace fileops {

BoxOrigins::BoxOrigins(const core::LibraryLayout& layout)
    : m_root(layout.programDir()), m_box(layout.recycleBoxDir())
{
}

BoxOrigins::~BoxOrigins()
{
    settle();
}

const std::optional<platform::IniDocument>& BoxOrigins::boxNotes()
{
    if (!m_notes)
        m_notes = notes::NotesFile::open(m_box).document();
    return *m_notes;
}

bool BoxOrigins::hasNotesRecord(const QString& name)
{
    // A notes file that cannot be read may hold one.
    const std::optional<platform::IniDocument>& document = boxNotes();
    return !document || notes::originIn(*document, name).has_value();
}

void BoxOrigins::arrived(const QString& name, const QString& from)
{
    const QString folder = platform::withTrailingSlash(from);
    const bool inLibrary = folder.startsWith(m_root) && folder.size() > m_root.size();
    const QByteArray origin = platform::nativePath(inLibrary ? folder.mid(m_root.size()) : folder);
    if (platform::writeAttribute(m_box + name, FromFolderAttribute, origin)) {
        // An older record in the notes file would count over the file's own.
        if (hasNotesRecord(name))
            m_pending.append({name, QByteArray()});
    } else {
        m_pending.append({name, origin});
    }
}

void BoxOrigins::left(const QString& name, const QString& path)
{
    platform::removeAttribute(path, FromFolderAttribute);
    if (hasNotesRecord(name))
        m_pending.append({name, QByteArray()});
}

bool BoxOrigins::isBox(const QString& dir)
{
    auto known = m_isBox.constFind(dir);
    if (known == m_isBox.cend())
        known = m_isBox.insert(dir, platform::isSameFolder(dir, m_box));
    return *known;
}

void BoxOrigins::carried(const QString& sourceDir, const QString& targetDir, const QString& name)
{
    if (isBox(targetDir))
        arrived(name, sourceDir);
    else if (isBox(sourceDir))
        left(name, targetDir + name);
}

void BoxOrigins::settle()
{
    if (m_pending.isEmpty())
        return;
    notes::NotesKeeper::recordOrigins(m_box, std::exchange(m_pending, {}));
    m_notes.reset();
}

QString BoxOrigins::originOf(const QString& name)
{
    std::optional<QByteArray> origin;
    if (const std::optional<platform::IniDocument>& document = boxNotes())
        origin = notes::originIn(*document, name);
    if (!origin)
        origin = platform::readAttribute(m_box + name, FromFolderAttribute);
    if (!origin || origin->isEmpty())
        return {};
    const QString folder = platform::withTrailingSlash(platform::pathFromNative(*origin));
    return folder.startsWith(u'/') ? folder : m_root + folder;
}

} // namespace fileops
