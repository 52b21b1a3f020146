#pragma once
// The keeper's hand on a file's extended attributes: its comment ("user.xdg.comment"), which
// mirrors its note for the desktop's file managers, and its record (NoteRecord.h). The notes
// file stays the truth: the mirror follows a note only once the notes file holds it. Where an
// attribute cannot be written (a file system without user attributes, a read-only file, a
// link, which is never followed) nothing is reported; a comment that could not follow is
// removed, so no old text is left to be taken back as a note later.

#include "notes/NoteRecord.h"

#include <QByteArray>
#include <QStringView>

namespace notes {

class Mirror
{
public:
    // Comments follow notes (the default), or are left as they are; the record follows in
    // either case.
    static void setCommentsEnabled(bool enabled);
    static bool commentsEnabled();

    // Brings the file at `path` in step with `note`, the note its folder's notes file now holds
    // for it under `name` (blank: none). False when an old comment may have stayed: it could
    // neither follow nor be removed.
    static bool follow(const QByteArray& path, const FolderId& folder, QByteArrayView name,
                       QStringView note);

    // Whether a file carrying `record` mirrors `note` already (while comments are left alone,
    // whether it is recorded with that note).
    static bool inStep(const NoteRecord& record, QStringView note);
};

} // namespace notes
