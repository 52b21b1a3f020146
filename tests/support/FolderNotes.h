#pragma once
// A folder's notes as a test writes and reads them: reads go to the notes file at once, writes
// go through the notes keeper, as every command's do.

#include "notes/NotesFile.h"
#include "notes/NotesKeeper.h"

namespace testing_support {

class FolderNotes : public notes::NotesFile
{
public:
    explicit FolderNotes(const QString& dir) : notes::NotesFile(notes::NotesFile::open(dir)) {}

    // The note of the file `name` (as the disk holds it, or the caption of a file not there).
    void writeNote(const QString& name, const QString& text) const
    {
        notes::NotesKeeper::setNote(dir(), name, text);
    }
    // Clears the note; a notes file that cannot be written keeps it.
    void deleteNote(const QString& name) const
    {
        try {
            notes::NotesKeeper::clearNote(dir(), name);
        } catch (const platform::UserError&) {
        }
    }
};

} // namespace testing_support
