#pragma once
// Conflict copies of a notes file: where a synced folder's notes file was changed on two
// machines at once, the sync program keeps the other machine's version beside it under a name
// of its own. Only these shapes count (the notes file's name in any ASCII letter case around
// the sync program's own part); any other name is an ordinary file.
//   zzfdat.sync-conflict-20261207-120000-ABCDEFG.nod
//   zzfdat (conflicted copy 2026-12-07 120000).nod
//   zzfdat (host's conflicted copy 2026-12-07).nod

#include <QByteArrayView>
#include <QString>

namespace notes {

// True for a conflict copy's name given as its bytes.
bool isConflictCopyName(QByteArrayView name);
// The same for a name as the program holds it.
bool isConflictCopyName(const QString& name);

} // namespace notes
