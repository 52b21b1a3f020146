#include "core/FileListing.h"

#include "core/FileFormats.h"
#include "platform/FileNames.h"

#include <QSet>

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
    row.sizeText = SizeText(entry.size);
    row.dateText = DateText(entry.modified);
    row.modifiedMs = entry.modified.toMSecsSinceEpoch();
    row.attributes = entry.attributes;
    row.attrText = AttrText(entry.attributes);
    row.storedAttributesLater = entry.storedAttributesLater;
    row.folder = folder;
    return row;
}

void completeAttributes(FileRow& row)
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

bool isListedEntry(const QString& name)
{
    return !isNotesFileName(name) && !platform::isTemporaryName(name);
}

std::vector<FileRow> ListCategoryFiles(const platform::FileSystem& fs, const QString& dir,
                                       const NotesSnapshot& notes)
{
    std::vector<FileRow> rows;
    // The stored flags are read only for the rows that are looked at.
    const std::vector<platform::DirEntry> entries =
        fs.list(dir, nullptr, platform::StoredFlags::Later);
    rows.reserve(entries.size());
    bool readNames = false;
    for (const platform::DirEntry& entry : entries) {
        if (entry.isDir || !isListedEntry(entry.name))
            continue;
        // A link to a folder is a folder here, as it is in the tree.
        if (entry.isSymlink && fs.isDirectory(dir + entry.name))
            continue;
        rows.push_back(makeFileRow(entry, dir, QString()));
        readNames = readNames || rows.back().caption != entry.name;
    }

    // Every name of the folder, where a caption or a note key must not be another file's.
    QSet<QString> names;
    const auto fillNames = [&] {
        if (!names.isEmpty())
            return;
        names.reserve(qsizetype(entries.size()));
        for (const platform::DirEntry& entry : entries)
            names.insert(entry.name);
    };
    if (readNames) {
        fillNames();
        for (FileRow& row : rows) {
            if (row.caption != row.name && names.contains(row.caption))
                row.caption = row.name;
        }
    }
    const auto isOtherFile = [&](const QString& key) {
        fillNames();
        return names.contains(key);
    };
    for (FileRow& row : rows)
        row.note = notes.note(row.caption, isOtherFile);
    return rows;
}

} // namespace core
