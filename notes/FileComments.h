#pragma once
// What a file carries beside the notes file, read from its extended attributes: its comment
// ("user.xdg.comment", which desktop file managers show and which the keeper keeps as the
// mirror of its note), the keeper's record of the note it mirrors, and where a downloader got
// it. Reading is for anyone; only the keeper writes the comment and the record.

#include "notes/NoteRecord.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace notes {

// A comment as a note: one line, without control characters or the characters that turn
// text around (bidirectional overrides and isolates), cut to what a note holds; empty when
// nothing is left.
QString noteOfComment(const QByteArray& utf8);

// The comment a file carries, as a note; empty when it carries none.
QString commentOf(const QString& path);
QString commentAt(const QByteArray& nativePath);

// The address a downloader recorded for the file; empty when none.
QString originOf(const QString& path);
// Whether an address may be handed to the desktop to open: http, https and ftp only.
bool isOpenableAddress(const QString& address);

// What one file carries, read with as few calls as the file allows: a file with no extended
// attributes at all (most files) costs one call.
struct CarriedNote
{
    std::optional<NoteRecord> record;
    QString comment;          // as a note; read only when asked for
    bool unsupported = false; // the file system keeps no user attributes
};
// Reads the record, and the comment too when `withComment`.
CarriedNote carriedAt(const QByteArray& nativePath, bool withComment);

} // namespace notes
