#pragma once
// A file renamed or moved by another program leaves its note's key behind, but its comment
// attribute (the mirror of its note) travels with it. A listed file without a note key that
// carries a comment shows that comment as its note, and the note goes back into the folder's
// notes file where the library can be written.

#include "core/FileRow.h"
#include "core/FileRows.h"
#include "core/NotesStore.h"

#include <QList>

#include <utility>
#include <vector>

namespace core {

// Gives the rows without a note key the comments their files carry; returns those notes,
// caption and text, to be written. `notes` is the rows' notes file, read only when a comment
// is found.
QList<std::pair<QString, QString>> TakeListedComments(FileRows& rows, const NotesFile& notes);
QList<std::pair<QString, QString>> TakeListedComments(std::vector<FileRow>& rows,
                                                      const NotesSnapshot& notes);

// Writes such notes (caption, text) into the notes file in one rewrite; a notes file that
// cannot be written, or a caption that cannot be a key, leaves them shown only: the comment
// stays with the file and shows again at every listing.
void KeepListedComments(const NotesFile& file, const QList<std::pair<QString, QString>>& notes);

} // namespace core
