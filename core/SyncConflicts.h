#pragma once
// Conflict copies of a notes file that a synced folder left beside it (notes/ConflictCopies.h),
// settled when a listing or the live list comes upon them: the notes keeper takes every note
// of the copy for a file that has none; a note that differs from the file's own is added to
// the file's document as a line of its own that says where it came from; then the copy goes
// into the recycle box under a name free there. Nothing is lost: a copy that cannot be read,
// a notes file or a document that cannot be written, leaves the copy where it is.

#include "core/Session.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace core {

// Whether a listing of `dir` settles the conflict copies it finds: every folder but the
// recycle box, which shows them as ordinary files.
bool MergesConflictCopies(const Session& session, const QString& dir);

// Settles the conflict copies `names` (their bytes on disk) of the folder `dir`. Returns what
// went wrong, for the status bar; empty when all went well.
QString SettleConflictCopies(const Session& session, const QString& dir,
                             const std::vector<QByteArray>& names);

} // namespace core
