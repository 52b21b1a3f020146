#pragma once
// Listing a folder's files as rows: every entry that is not a folder or the notes file, with
// its note from one read of the folder's notes file.

#include "core/FileRow.h"
#include "core/NotesStore.h"
#include "platform/FileSystem.h"

#include <vector>

namespace core {

// A row for a directory entry of `folder` (which ends in "/").
FileRow makeFileRow(const platform::DirEntry& entry, const QString& folder, const QString& note);

// The caption of `name` in `folder`: its caption (see platform/FileNames.h), or the name as it
// is when that caption would spell another file of the folder.
QString CaptionInFolder(const platform::FileSystem& fs, const QString& folder, const QString& name);

// False for the entries no list shows: the notes file (in any letter case) and the program's
// temporary files.
bool isListedEntry(const QString& name);

// ListCategoryFiles: one row per file of `dir`, in listing order.
std::vector<FileRow> ListCategoryFiles(const platform::FileSystem& fs, const QString& dir,
                                       const NotesSnapshot& notes);

// True for the notes file's name in any letter case.
bool isNotesFileName(const QString& name);

} // namespace core
