#pragma once
// Where a file of the recycle box was deleted from, for the files that cannot carry it in an
// extended attribute of their own (a file system without user attributes, a read-only file, a
// link): a section of the box's notes file, one key per file. Key and value are the bytes of
// the file's name and of the folder, percent-encoded, so that any name and any path read back
// exactly, whatever the notes file's encoding. The notes themselves are not touched. Reading is
// for anyone; the notes keeper writes the section (NotesKeeper::recordOrigins).

#include "platform/IniDocument.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace notes {

inline const QString OriginsSection = QStringLiteral("fromdir");

// The key of a file's record: its name's bytes, percent-encoded.
QString originKey(const QString& name);
// The value of a record of the folder `origin` (its path's bytes); nothing when it would be
// too long to read back whole.
std::optional<QString> originValue(const QByteArray& origin);
// The folder bytes recorded for `name` in the document; nothing when none is.
std::optional<QByteArray> originIn(const platform::IniDocument& document, const QString& name);

} // namespace notes
