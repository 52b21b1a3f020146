#include "core/FileListing.h"

#include "core/FileFormats.h"
#include "platform/FileNames.h"
#include "platform/TemporaryFiles.h"

namespace core {

bool isNotesFileName(const QString& name)
{
    return name.compare(NotesFileName, Qt::CaseInsensitive) == 0;
}

FileRow makeFileRow(const platform::DirEntry& entry, const QString& folder, const QString& note)
{
    FileRow row;
    row.name = entry.name;
    row.caption = platform::captionOfName(entry.name);
    row.note = note;
    row.size = entry.size;
    row.modifiedMs = entry.modified.toMSecsSinceEpoch();
    row.textsLater = true;
    row.attributes = entry.attributes;
    row.attrText = AttrText(entry.attributes);
    row.storedAttributesLater = entry.storedAttributesLater;
    row.folder = folder;
    return row;
}

void completeRow(FileRow& row)
{
    if (row.textsLater) {
        row.textsLater = false;
        row.sizeText = SizeText(row.size);
        row.dateText = DateText(platform::fileDate(row.modifiedMs / 1000));
    }
    completeStoredFlags(row);
}

void completeStoredFlags(FileRow& row)
{
    if (!row.storedAttributesLater)
        return;
    row.storedAttributesLater = false;
    row.attributes |= platform::FileSystem::local().storedAttributes(row.folder + row.name);
    row.attrText = AttrText(row.attributes);
}

QString CaptionInFolder(const platform::FileSystem& fs, const QString& folder, const QString& name)
{
    const QString caption = platform::captionOfName(name);
    // A name read as GB18030 must not take the caption (and so the note) of a file that is
    // spelled that way in UTF-8 beside it; it then shows its bytes as they are.
    if (caption != name && fs.exists(folder + caption))
        return name;
    return caption;
}

QString NameShownAs(const platform::FileSystem& fs, const QString& folder, const QString& caption)
{
    if (fs.exists(folder + caption))
        return caption;
    // Only a name that is not UTF-8 reads as something else.
    for (const platform::DirEntry& entry : fs.list(folder, nullptr, platform::StoredFlags::Later)) {
        if (platform::hasKeptBytes(entry.name) && platform::captionOfName(entry.name) == caption)
            return entry.name;
    }
    return {};
}

bool isListedEntry(const QString& name)
{
    return !isNotesFileName(name) && !platform::isTemporaryName(name);
}

void FolderNames::addNative(QByteArrayView name)
{
    m_native.append(name.data(), name.size()).append('\0');
}

bool FolderNames::contains(const QString& name) const
{
    if (m_set.isEmpty() && (!m_names.empty() || !m_native.isEmpty())) {
        m_set.reserve(qsizetype(m_names.size()));
        for (const QString& n : m_names)
            m_set.insert(n);
        for (qsizetype at = 0; at < m_native.size();) {
            const qsizetype end = m_native.indexOf('\0', at);
            m_set.insert(platform::pathFromNative(QByteArrayView(m_native).sliced(at, end - at)));
            at = end + 1;
        }
    }
    return m_set.contains(name);
}

QString FolderNames::captionOf(const QString& name) const
{
    if (!platform::hasKeptBytes(name))
        return name;
    const QString caption = platform::captionOfName(name);
    // As CaptionInFolder, with the folder's names at hand.
    if (caption != name && contains(caption))
        return name;
    return caption;
}

QString FolderNames::noteOf(const NotesSnapshot& notes, const QString& caption) const
{
    return notes.note(caption, [this](const QString& key) { return contains(key); });
}

FileRow folderRow(const platform::DirEntry& entry, const QString& folder, const FolderNames& names,
                  const NotesSnapshot& notes)
{
    FileRow row = makeFileRow(entry, folder, QString());
    if (row.caption != row.name)
        row.caption = names.captionOf(entry.name);
    row.note = names.noteOf(notes, row.caption);
    return row;
}

std::vector<FileRow> ListCategoryFiles(const platform::FileSystem& fs, const QString& dir,
                                       const NotesSnapshot& notes)
{
    std::vector<FileRow> rows;
    // The stored flags are read only for the rows that are looked at.
    const std::vector<platform::DirEntry> entries =
        fs.list(dir, nullptr, platform::StoredFlags::Later);
    FolderNames names;
    names.reserve(entries.size());
    for (const platform::DirEntry& entry : entries)
        names.add(entry.name);
    rows.reserve(entries.size());
    for (const platform::DirEntry& entry : entries) {
        if (platform::isTemporaryName(entry.name)) {
            platform::removeLeftover(dir + entry.name); // what a killed write left, if it is
            continue;
        }
        if (entry.isDir || !isListedEntry(entry.name))
            continue;
        // A link to a folder is a folder here, as it is in the tree.
        if (entry.isSymlink && fs.isDirectory(dir + entry.name))
            continue;
        rows.push_back(folderRow(entry, dir, names, notes));
    }
    return rows;
}

} // namespace core
