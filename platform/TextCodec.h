#pragma once
// Text encodings of the files the program reads and writes. Files are written in GB18030
// (identical to GBK for every GBK character and able to hold any character a file name can
// carry); a file with a UTF-8 byte-order mark, or valid UTF-8 that holds sequences of three
// or more bytes (as every Chinese character in UTF-8 does), is read as UTF-8, anything else
// as GB18030. A rewritten file keeps its encoding.
//
// Decoding loses nothing: a byte that starts no character of the encoding is kept as the
// character U+DC80..U+DCFF, and encoding writes such a character back as that byte, so bytes
// that no edit touched are written back as they were.

#include <QByteArray>
#include <QString>

namespace platform {

enum class TextEncoding {
    Gb18030,
    Utf8,
    Utf8WithBom,
};

namespace text {

// The encoding of existing file contents.
TextEncoding detect(const QByteArray& bytes);

// Decodes bytes (a byte-order mark is skipped when the encoding has one).
QString decode(QByteArrayView bytes, TextEncoding encoding);

// Encodes text without a byte-order mark.
QByteArray encode(QStringView text, TextEncoding encoding);

// The byte-order mark that starts a file of this encoding (empty for most).
QByteArray byteOrderMark(TextEncoding encoding);

// Decodes at most `maxBytes` bytes, never cutting a character in half: a character whose
// bytes would cross the limit is left out whole.
QString decodeLimited(const QByteArray& bytes, TextEncoding encoding, int maxBytes);

// True when `text` survives encode and decode unchanged.
bool roundTrips(const QString& text, TextEncoding encoding);

// The length of the first character of `bytes` at `pos` in this encoding (1 for a byte
// that starts no valid sequence).
int characterLength(const QByteArray& bytes, qsizetype pos, TextEncoding encoding);

} // namespace text
} // namespace platform
