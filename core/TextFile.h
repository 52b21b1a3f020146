#pragma once
// Whole text files the user reads and writes through the program (detailed documents, text
// loaded into a document): decoded by detection, held with "\n" line breaks, and written
// back in the encoding and line end they came with.

#include "platform/AtomicFile.h"
#include "platform/TextCodec.h"

#include <QByteArray>
#include <QString>

namespace core {

// How a text file is written.
struct TextFormat
{
    platform::TextEncoding encoding = platform::TextEncoding::Gb18030;
    bool crLf = true; // CR LF line ends; LF only when false

    bool operator==(const TextFormat&) const = default;
};

struct TextFile
{
    platform::ReadOutcome outcome = platform::ReadOutcome::Missing;
    int error = 0;     // the errno value of an unreadable file
    QString text;      // every line break ("\r\n", "\r" or "\n") as "\n"
    TextFormat format; // the file's own; GB18030 with CR LF for a missing file
};

// Reads the file at `path` whole (at most `limit` bytes, else EFBIG).
TextFile readTextFile(const QString& path, qint64 limit = platform::kMaxOwnFileSize);

// The file's bytes for `text`: its lines (a last line break ends the last line rather than
// starting an empty one) each followed by the format's line end, in its encoding. When those
// bytes would be read back as another encoding (UTF-8 text made only of ASCII and two-byte
// characters reads as GB18030), the file is written as UTF-8 with a byte-order mark, so that
// it always reads back as the text written.
QByteArray textFileBytes(const QString& text, const TextFormat& format);

// Writes `text` to `path` atomically; 0 or the errno value of the failed step.
int writeTextFile(const QString& path, const QString& text, const TextFormat& format,
                  platform::LinkPolicy links);

} // namespace core
