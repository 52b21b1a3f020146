#pragma once
// The notes a listing shows, settled by the notes keeper (notes/FolderSettler.h): a file that
// another program renamed keeps its own note, a file that brought a comment takes it as its
// note, and the files' comments follow what another program did to the notes file. The file
// list's listing and its live following both come here, so they show the same.

#include "core/Documents.h"
#include "core/FileRows.h"
#include "notes/NotesSnapshot.h"

#include <QString>

#include <initializer_list>

namespace core {

// Settles every row of `lists`, files of `dir` whose notes were read as `stored`; their notes
// change where the keeper says so, and documents follow renames. Returns why the notes file,
// or a document to follow, could not be written; empty when all went well.
// With `wholeFolder` (a listing of every file of `dir`) a folder that is as the last such
// settling left it is not looked at again.
QString SettleListedNotes(std::initializer_list<FileRows*> lists, const QString& dir,
                          const notes::NotesSnapshot& stored, bool writable,
                          const Documents& documents, bool wholeFolder = false);

} // namespace core
