#include "core/FileListing.h"

#include "core/FileFormats.h"

namespace core {

bool isNotesFileName(const QString& name)
{
    return name.compare(NotesFileName, Qt::CaseInsensitive) == 0;
}

FileRow makeFileRow(const platform::DirEntry& entry, const QString& folder, const QString& note)
{
    FileRow row;
    row.name = entry.name;
    row.note = note;
    row.size = entry.size;
    row.sizeText = SizeText(entry.size);
    row.dateText = DateText(entry.modified);
    row.modifiedMs = entry.modified.toMSecsSinceEpoch();
    row.attributes = entry.attributes;
    row.attrText = AttrText(entry.attributes);
    row.folder = folder;
    return row;
}

std::vector<FileRow> ListCategoryFiles(const platform::FileSystem& fs, const QString& dir,
                                       const NotesSnapshot& notes)
{
    std::vector<FileRow> rows;
    const std::vector<platform::DirEntry> entries = fs.list(dir);
    rows.reserve(entries.size());
    for (const platform::DirEntry& entry : entries) {
        if (entry.isDir || isNotesFileName(entry.name))
            continue;
        // A link to a folder is a folder here, as it is in the tree.
        if (entry.isSymlink && fs.isDirectory(dir + entry.name))
            continue;
        rows.push_back(makeFileRow(entry, dir, notes.note(entry.name)));
    }
    return rows;
}

} // namespace core
